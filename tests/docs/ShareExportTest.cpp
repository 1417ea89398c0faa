// Share requests of the SHARE menus: file names and subjects, the values as text, the
// app's own export folder holding only the request's file, and the failures that stop a
// share (a writer's error, a locked program as PDF, a file that cannot be written).

#include "docs/ShareExport.h"
#include "programs/TIFileSupport.h"

#include "app/HistoryModel.h"
#include "core/Operand.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "pretty/PrettyPrint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace orvenda::test {
namespace {

constexpr std::uint32_t kMatA = 0x5C00, kMatC = 0x5C02, kStr1 = 0xAA00, kStr0 = 0xAA09, kY1 = 0x5E10;
constexpr std::uint32_t kLowerH = 0xBBB7, kLowerI = 0xBBB8;

class ShareExportTest : public ::testing::Test {
protected:
    ShareExportTest()
    {
        side.calc.viewDelegate = view;
        share.tell = [this](const QString& message) { told.push_back(message); };
        share.bringCurrentScreenToFront = [this] { ++broughtBack; };
        share.programPDF = [this](const std::string& name) {
            listed.push_back(name);
            return QByteArray("%PDF-1.4 listing of ") + QByteArray::fromStdString(name);
        };
        QDir().mkpath(exportPath());
    }

    QString exportPath() const { return outer.path() + QStringLiteral("/export"); }
    QStringList exported() const { return QDir(exportPath()).entryList(QDir::Files | QDir::NoDotAndDotDot); }
    static QString fileName(const ShareRequest& r) { return QFileInfo(r.files.value(0)).fileName(); }
    static Bytes bytesOf(const QString& path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QByteArray data = f.readAll();
        return Bytes(data.begin(), data.end());
    }
    int lastError() const { return view->errors.empty() ? 0 : view->errors.back().value("errorNum", 0); }
    void program(const std::string& name, std::uint32_t flags = 0)
    {
        ASSERT_TRUE(side.files->write(name, {Ops{0xDE, 0x31}, std::vector<std::string>{}, "", "", flags}));
    }

    CalculatorSide side;
    std::shared_ptr<FakeView> view = std::make_shared<FakeView>();
    QTemporaryDir outer;
    ShareExport share{side.calc, exportPath()};
    std::vector<QString> told;
    std::vector<std::string> listed;
    int broughtBack = 0;
};

TEST_F(ShareExportTest, ProgramsAsOneCalculatorFileOrTheFirstAsItsListing)
{
    program("A");
    program("B");
    const auto data = share.sharePrograms({"A", "B"}, ShareExport::kDataFile);
    ASSERT_TRUE(data);
    EXPECT_EQ(fileName(*data), "PrgmAB.lbxDat");
    EXPECT_EQ(data->subject, "Programs:A,B");
    EXPECT_TRUE(data->text.isEmpty());
    // The file brings both programs back.
    CalculatorSide other;
    ASSERT_EQ(other.load(bytesOf(data->files[0])), 0);
    EXPECT_EQ(other.arrived, (std::vector<std::string>{"program A", "program B"}));

    const auto pdf = share.sharePrograms({"B", "A"}, ShareExport::kProgramPDF);
    ASSERT_TRUE(pdf);
    EXPECT_EQ(fileName(*pdf), "B.pdf");
    EXPECT_EQ(pdf->subject, "Programs:B,A") << "the subject names every program picked";
    EXPECT_EQ(listed, (std::vector<std::string>{"B"}));
    EXPECT_EQ(exported(), QStringList{"B.pdf"}) << "only the request's own file";
    const auto listing = share.shareListing("A");
    ASSERT_TRUE(listing);
    EXPECT_EQ(fileName(*listing), "A.pdf");
    EXPECT_EQ(listing->subject, "A") << "the library's listing is named by its program";
}

TEST_F(ShareExportTest, ALockedProgramAsPDFIsError84AndAMissingProgramIs70)
{
    program("LOCKED", ProgramManager::kProtected);
    EXPECT_FALSE(share.sharePrograms({"LOCKED"}, ShareExport::kProgramPDF));
    EXPECT_EQ(lastError(), 84);
    EXPECT_TRUE(listed.empty()) << "no listing made";
    // Nothing written, so no request names a file that is not there.
    EXPECT_FALSE(share.sharePrograms({"NONE"}, ShareExport::kDataFile));
    EXPECT_EQ(lastError(), 70);
    EXPECT_EQ(broughtBack, 1);
    EXPECT_TRUE(exported().isEmpty());
    share.programPDF = nullptr;
    program("A");
    EXPECT_FALSE(share.sharePrograms({"A"}, ShareExport::kProgramPDF)) << "no listing without its maker";
}

TEST_F(ShareExportTest, MatricesByLetterAsCSVOrCalculatorFile)
{
    {
        const auto state = side.calc.locked();
        state->matrices[0] = *VQMatrix::matrixWithRow(1, 2);
        state->matrices[0].set(1.5, 0, 0);
        state->matrices[0].set(-2, 0, 1);
        state->matrices[2] = *VQMatrix::matrixWithRow(2, 1);
        state->matrices[2].set(7, 0, 0);
        state->matrices[2].set(8, 1, 0);
    }
    const auto csv = share.shareMatrices({kMatA, kMatC}, ShareExport::kCSV);
    ASSERT_TRUE(csv);
    EXPECT_EQ(fileName(*csv), "MatrixAC.csv");
    EXPECT_EQ(csv->subject, "Matrix:A,C");
    QFile text(csv->files[0]);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(text.readAll(), QByteArray("1.5,-2\n7\n8"));
    const auto data = share.shareMatrices({kMatA, kMatC}, ShareExport::kDataFile);
    ASSERT_TRUE(data);
    EXPECT_EQ(fileName(*data), "MatrixAC.lbxDat");
    EXPECT_EQ(exported(), QStringList{"MatrixAC.lbxDat"}) << "the CSV of the request before is gone";
}

TEST_F(ShareExportTest, ListStemsStopGrowingAt80CharactersAndAreSanitised)
{
    std::vector<std::string> names;
    {
        const auto state = side.calc.locked();
        for (const char* name : {"L₁", "ABCDE", "FGHIJ", "KLMNO", "PQRST", "UVWXY", "ZABCD", "EFGHI", "JKLMN", "OPQRS",
                 "TUVWX", "YZABC", "DEFGH", "IJKLM", "NOPQR", "STUVW", "XYZAB", "CDEFG", "HIJKL"}) {
            VQList list;
            list.addReal(2, 15, -15);
            list.addReal(-0.5, 15, -15);
            state->lists[name] = list;
            names.push_back(name);
        }
    }
    const auto request = share.shareLists(names, ShareExport::kDataFile);
    ASSERT_TRUE(request);
    const QString stem = QFileInfo(request->files[0]).completeBaseName();
    EXPECT_TRUE(stem.startsWith(QStringLiteral("L₁ABCDE"))) << "a subscript digit stays";
    // 2 + 5 × 16 = 82: the name that reached 80 was still added, the next one not.
    EXPECT_EQ(stem.size(), 82);
    EXPECT_TRUE(request->subject.endsWith(QStringLiteral(",HIJKL"))) << "the subject names every list";
    EXPECT_TRUE(request->text.startsWith(QStringLiteral("L₁={2,-.5}\nABCDE={2,-.5}"))) << request->text.toStdString();

    // Only what a file system refuses is replaced.
    EXPECT_EQ(ShareExport::sanitized(QStringLiteral("A/../θ b*Ü-_")), QStringLiteral("A_.._θ b_Ü-_"));
    EXPECT_EQ(ShareExport::sanitized(QStringLiteral("a\\b:c?d\"e<f>g|h\ti")), QStringLiteral("a_b_c_d_e_f_g_h_i"));
    EXPECT_EQ(ShareExport::sanitized(QStringLiteral("Y₁ᴛX₂ r₆ u")), QStringLiteral("Y₁ᴛX₂ r₆ u"));
    EXPECT_EQ(ShareExport::stem(QStringLiteral("Prgm"), {QStringLiteral("X"), QStringLiteral("Y")}, true),
        QStringLiteral("PrgmXY"));
    const auto csv = share.shareLists({"L₁"}, ShareExport::kCSV);
    ASSERT_TRUE(csv);
    EXPECT_EQ(fileName(*csv), "L₁.csv");
    const auto pair = share.shareLists({"L₁", "ABCDE"}, ShareExport::kCSV);
    ASSERT_TRUE(pair);
    EXPECT_EQ(fileName(*pair), "L₁ABCDE.csv");
    EXPECT_TRUE(QFile::exists(pair->files[0]));
}

// A list or matrix the writer cannot write says what is wrong with it, not that it is too
// large: an empty one is an invalid dimension, a missing list an undefined one.
TEST_F(ShareExportTest, AnEmptyOrMissingListOrAnEmptyMatrixSaysSo)
{
    {
        const auto state = side.calc.locked();
        state->lists["L₁"] = VQList();
        VQList full;
        full.addReal(1, 15, -15);
        state->lists["L₂"] = full;
    }
    for (const int type : {ShareExport::kDataFile, ShareExport::kCSV}) {
        view->errors.clear();
        EXPECT_FALSE(share.shareLists({"L₂", "L₁"}, type));
        EXPECT_EQ(lastError(), 24);
        EXPECT_FALSE(share.shareLists({"L₂", "NOPE"}, type));
        EXPECT_EQ(lastError(), 35);
        EXPECT_FALSE(share.shareMatrices({kMatA}, type));
        EXPECT_EQ(lastError(), 24);
        EXPECT_EQ(view->errors.size(), 3u);
    }
    EXPECT_EQ(broughtBack, 6);
    EXPECT_TRUE(exported().isEmpty()) << "nothing was written";
    EXPECT_TRUE(share.shareLists({"L₂"}, ShareExport::kDataFile));
}

TEST_F(ShareExportTest, StringsAreNamedByTheirOwnDigits)
{
    {
        const auto state = side.calc.locked();
        state->strings[0] = {kLowerH, kLowerI};
        state->strings[9] = {'X'};
    }
    const auto request = share.shareStrings({kStr1, kStr0});
    ASSERT_TRUE(request);
    EXPECT_EQ(request->subject, "Strings:1,0");
    EXPECT_EQ(fileName(*request), "Str10.lbxDat");
    EXPECT_EQ(request->text, "str1=hi\nstr0=X\n");
    EXPECT_EQ(ShareExport::stringDigit(0xAA04), 5);
}

TEST_F(ShareExportTest, VariablesComeBackWithTheirValuesAndEquationsHaveBareNames)
{
    side.calc.setVar(0, {{2.5, 0}});
    side.calc.setVar(1, {{1, -2}});
    const auto vars = share.shareVars({0x41, 0x42});
    ASSERT_TRUE(vars);
    EXPECT_EQ(fileName(*vars), "VarAB.lbxDat");
    EXPECT_EQ(vars->subject, "Variables:A,B");
    EXPECT_TRUE(vars->text.startsWith(QStringLiteral("A=2.5\nB="))) << vars->text.toStdString();
    CalculatorSide other;
    ASSERT_EQ(other.load(bytesOf(vars->files[0])), 0);
    EXPECT_EQ(other.var('A'), std::complex<double>(2.5, 0));
    EXPECT_EQ(other.var('B'), std::complex<double>(1, -2));

    ASSERT_EQ(side.equations->setYEqFunc(kY1, Ops{'X'}), 0);
    const auto eq = share.shareEquations({kY1});
    ASSERT_TRUE(eq);
    EXPECT_EQ(eq->subject, QStringLiteral("Y₁")) << "no prefix";
    EXPECT_EQ(eq->text, QStringLiteral("Y₁=X\n"));
    EXPECT_EQ(fileName(*eq), "Y₁.lbxDat");
}

// Every kind of variable the Var… list offers comes with its value: a letter, θ, a complex
// value, η (the sequences' index, which the calculator's files do not hold: the text goes
// alone when it is all that is chosen).
TEST_F(ShareExportTest, EveryKindOfVariableSharesItsValue)
{
    constexpr std::uint32_t kTheta = 0x5B, kEta = 0xBBAA;
    side.calc.setVar(0, {{2.5, 0}});
    side.calc.setVar(26, {{-4, 0}});
    side.calc.setVar(27, {{7, 0}});
    side.calc.setVar(2, {{1, -2}});
    const std::string complex = "C=" + side.calc.formatComplex(1, -2, false) + "\n";
    const struct {
        std::vector<std::uint32_t> tokens;
        std::string text;
        const char* file;  // empty: no file
    } cases[] = {
        {{0x41}, "A=2.5\n", "VarA.lbxDat"},
        {{kTheta}, "θ=-4\n", "Varθ.lbxDat"},
        {{kTheta, kEta}, "θ=-4\nη=7\n", "Varθη.lbxDat"},
        {{kEta}, "η=7\n", ""},
        {{0x43, kEta}, complex + "η=7\n", "VarCη.lbxDat"},
    };
    for (const auto& c : cases) {
        const auto request = share.shareVars(c.tokens);
        ASSERT_TRUE(request) << c.text;
        EXPECT_EQ(request->text.toStdString(), c.text);
        EXPECT_EQ(request->files.isEmpty() ? std::string() : fileName(*request).toStdString(), c.file) << c.text;
    }
    EXPECT_TRUE(view->errors.empty());
}

TEST_F(ShareExportTest, EachRequestEmptiesOnlyItsOwnFolderAndAFailedWriteIsTold)
{
    QFile beside(outer.path() + QStringLiteral("/keep.txt"));
    ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
    beside.close();
    QFile stale(exportPath() + QStringLiteral("/old.lbxDat"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    side.calc.setVar(0, {{1, 0}});
    ASSERT_TRUE(share.shareVars({0x41}));
    EXPECT_EQ(exported(), QStringList{"VarA.lbxDat"});
    EXPECT_TRUE(QFile::exists(outer.path() + QStringLiteral("/keep.txt"))) << "nothing outside the folder goes";

    // The folder's place is taken by a file: nothing can be written there.
    ShareExport blocked(side.calc, outer.path() + QStringLiteral("/keep.txt"));
    blocked.tell = share.tell;
    EXPECT_FALSE(blocked.shareVars({0x41}));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].contains(QStringLiteral("keep.txt")));
}

TEST_F(ShareExportTest, HistoryAndLastCalculation)
{
    auto history = std::make_shared<HistoryModel>(side.calc);
    side.calc.historyManager = history;
    side.calc.prettyPrint = std::make_shared<PrettyPrint>();
    EXPECT_FALSE(share.shareLastCalculation()) << "nothing to share from an empty history";
    Operand record = operandOf(KindReal);
    history->addEntry({0x31, 0x70, 0x31}, "2", 0, record);
    const auto pdf = share.shareHistory();
    ASSERT_TRUE(pdf);
    EXPECT_EQ(fileName(*pdf), "LumbrixHistory.pdf");
    EXPECT_EQ(pdf->subject, "Lumbrix history");
    side.calc.locked()->mathPrint = false;
    const auto html = share.shareLastCalculation();
    ASSERT_TRUE(html);
    EXPECT_EQ(html->text, "1+1\n2");
    EXPECT_TRUE(html->html.startsWith(QStringLiteral("<html>")));
    EXPECT_TRUE(html->pdf.isEmpty());
    EXPECT_EQ(html->subject, "Lumbrix calculation");
    side.calc.locked()->mathPrint = true;
    const auto picture = share.shareLastCalculation();
    ASSERT_TRUE(picture);
    EXPECT_TRUE(picture->pdf.startsWith("%PDF"));
    EXPECT_TRUE(picture->files.isEmpty());
}

} // namespace
} // namespace orvenda::test
