// The diagnostics report read back with Qt PDF: its wide legal pages, the settings lines,
// the variables in Float digits whatever the mode, the history cut to its columns, and the
// last program's listing made without touching the editor's program.

#include "TestSupport.h"
#include "PdfReadBack.h"

#include "app/HistoryModel.h"
#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/Operand.h"
#include "docs/DiagnosticsReport.h"
#include "drawing/DrawString.h"
#include "language/EntryText.h"
#include "language/VariableSlots.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramModel.h"

#include <QBuffer>
#include <QPdfDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace orvenda {
namespace {

using Read = PdfReadBack;
Read read(const QByteArray& pdf) { return readPdf(pdf); }

std::vector<std::uint32_t> ops(const std::string& text)
{
    static const EntryText entry;
    std::string bad;
    return entry.toOps(text, bad).value_or(std::vector<std::uint32_t>{});
}

class DiagnosticsReportTest : public ::testing::Test {
protected:
    DiagnosticsReportTest()
        : calc(test::kUS), files(std::make_shared<ProgramFiles>(folder.path() + QStringLiteral("/programs"))),
          editor(std::make_shared<ProgramModel>(calc, files))
    {
        calc.prgmManager = editor;
    }
    bool wrote(const QString& text) const
    {
        for (const auto& w : report.written())
            if (w.text == text)
                return true;
        return false;
    }

    QTemporaryDir folder;
    Calculator calc;
    std::shared_ptr<ProgramFiles> files;
    std::shared_ptr<ProgramModel> editor;
    DiagnosticsReport report{calc, files};
};

TEST_F(DiagnosticsReportTest, WithoutALastProgramTheReportIsOneWidePageOfSettings)
{
    const Read doc = read(report.diagnosticPDF());
    ASSERT_EQ(doc.pages, 1);
    EXPECT_EQ(doc.sizes[0], QSizeF(765, 1008));
    EXPECT_TRUE(doc.texts[0].contains(QStringLiteral("Orvenda Diagnostics")));
    EXPECT_TRUE(doc.texts[0].contains(QStringLiteral("-0-")));
    EXPECT_TRUE(doc.texts[0].contains(QStringLiteral("Orvenda version ")));
    EXPECT_EQ(DiagnosticsReport::contentRect(), QRectF(18, 38, 729, 932));
}

TEST_F(DiagnosticsReportTest, SettingsLinesNameEveryMode)
{
    {
        auto hold = calc.lockState();
        calc.state().answerFormat = 2;
        calc.state().numFormat = 1;
        calc.state().numDigits = 5;
        calc.state().thousandSeperator = u',';
        calc.state().numBase = 2;
        calc.state().fractionFormat = 4;
        calc.state().mathPrint = false;
        calc.state().screenSplit = 1;
        calc.state().graphSequenceFormat = 2;
        calc.state().graphCoordFormat = 1;
        calc.state().drawDyDx = false;
        calc.state().backgroundColor = VQColor::colorR(1, 0.5, 0, 1);
    }
    calc.sessions = 12;
    const auto lines = report.settingsLines();
    const auto has = [&](const std::string& line) { return std::ranges::find(lines, line) != lines.end(); };
    EXPECT_TRUE(has("HM:12"));
    EXPECT_TRUE(has("Answers:FRACTION"));
    EXPECT_TRUE(has("Decimals:Sci 5"));
    EXPECT_TRUE(has("Grouping:1,000.0"));
    EXPECT_TRUE(has("Base:HEX"));
    EXPECT_TRUE(has("Fractions: Un/d"));
    EXPECT_TRUE(has("Format: Classic"));
    EXPECT_TRUE(has("Coord Format:Polar seq:uv"));
    EXPECT_TRUE(has("Backgrnd color:{1.00,0.50,0.00}"));
    EXPECT_TRUE(has("Coord\u2714\uFE0E Axes\u2714\uFE0E Label\u2714\uFE0E Grid\u2714\uFE0E Expr\u2714\uFE0E dy/dx"));
    EXPECT_EQ(lines.front().rfind("Orvenda version ", 0), 0u);
}

TEST_F(DiagnosticsReportTest, VariablesAreWrittenInFloatDigitsAndTheModeIsKept)
{
    calc.setVar(0, VariableRecord{{1.0 / 3, 0.0}});
    {
        auto hold = calc.lockState();
        calc.state().numDigits = 5;
        calc.state().numBase = 1;
    }
    report.diagnosticPDF();
    EXPECT_TRUE(wrote(QStringLiteral("Decimals:Normal 5")));
    // A's value in every digit the Float mode shows, not five.
    EXPECT_TRUE(wrote(QStringLiteral(".3333333333")));
    EXPECT_EQ(calc.settings().numDigits, 5);
    EXPECT_EQ(calc.settings().numBase, 1);
}

TEST_F(DiagnosticsReportTest, EachEquationSlotIsALineMarkedWhenItIsGraphed)
{
    auto equations = std::make_shared<YEqModel>(calc);
    calc.yEqManager = equations;
    ASSERT_EQ(equations->setYEqFunc(0x5E10, ops("X")), 0);
    ASSERT_EQ(equations->setYEqFunc(0x5E11, ops("2X")), 0);
    equations->setFunction(0x5E10, true);
    equations->setFunction(0x5E11, false);
    report.diagnosticPDF();
    EXPECT_TRUE(wrote(QStringLiteral("\u2714\uFE0EY\u2081=X")));
    EXPECT_TRUE(wrote(QStringLiteral(" Y\u2082=2X")));
    int slots = 0;
    for (const auto& w : report.written())
        slots += w.page == 0 && (w.text.startsWith(QStringLiteral(" ")) || w.text.startsWith(QStringLiteral("\u2714")));
    // 41 equation slots and the six stat plots' lines at most.
    EXPECT_GE(slots, 41);
}

TEST_F(DiagnosticsReportTest, HistoryIsCutIntoColumnPieces)
{
    auto history = std::make_shared<HistoryModel>(calc);
    calc.historyManager = history;
    const std::string input(70, '1');
    Operand record = test::operandOf(KindReal);
    history->addEntry(ops(input), std::string(40, '2'), 0, record);
    report.diagnosticPDF();
    EXPECT_TRUE(wrote(QString(32, QLatin1Char('1'))));
    EXPECT_TRUE(wrote(QString(6, QLatin1Char('1'))));
    EXPECT_TRUE(wrote(QString(31, QLatin1Char('2')) + QStringLiteral("…")));
}

// Whatever is wider than a column (the device's line, a long equation, a long string) goes
// on under itself: no two texts of the settings page overlap, and all lie on the page.
TEST_F(DiagnosticsReportTest, NoTextOfTheSettingsPageRunsOverAnother)
{
    auto equations = std::make_shared<YEqModel>(calc);
    calc.yEqManager = equations;
    ASSERT_EQ(equations->setYEqFunc(0x5E10, ops("X+2X+3X+4X+5X+6X+7X+8X+9X+10X+11X+12X+13X")), 0);
    {
        auto hold = calc.lockState();
        calc.state().strings[0] = ops(std::string(50, 'S'));
    }
    report.diagnosticPDF();
    struct Box {
        QString text;
        QRectF rect;
    };
    std::vector<Box> boxes;
    for (const auto& w : report.written())
        if (w.page == 0)
            boxes.push_back({w.text, QRectF(w.at, DrawString::VQsizeWithFont(w.text, TextFont{"CourierNewPS-BoldMT", 6}))
                                         .adjusted(0.2, 0.5, -0.2, -0.5)});
    ASSERT_GT(boxes.size(), 100u);
    const QRectF page(0, 0, 765, 1008);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_TRUE(page.contains(boxes[i].rect)) << boxes[i].text.toStdString();
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
            EXPECT_FALSE(boxes[i].rect.intersects(boxes[j].rect))
                << "\"" << boxes[i].text.toStdString() << "\" over \"" << boxes[j].text.toStdString() << "\"";
    }
    EXPECT_TRUE(wrote(QStringLiteral("Str1 \"") + QString(26, QLatin1Char('S'))));
    EXPECT_TRUE(wrote(QString(24, QLatin1Char('S')) + QStringLiteral("\"")));
}

TEST_F(DiagnosticsReportTest, TheLastProgramIsListedWithoutTouchingTheEditor)
{
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += "Disp " + std::to_string(i) + "\n";
    ASSERT_TRUE(files->storeOps("LAST", ops(text)));
    ASSERT_TRUE(files->storeOps("MINE", ops("Disp 1\n")));
    editor->loadProgram("MINE");
    editor->setPrgmEditCursor(0);
    editor->addOpcode('A', true);
    editor->addOpcode('B', true);
    const auto undo = editor->undoArray().size();
    const auto lines = editor->numLines();
    calc.lastPrgmName = "LAST";
    const Read doc = read(report.diagnosticPDF());
    // 310 lines a page, two columns.
    ASSERT_EQ(doc.pages, 3);
    EXPECT_TRUE(doc.texts[1].contains(QStringLiteral("-1-")));
    EXPECT_TRUE(doc.texts[2].contains(QStringLiteral("Disp 399")));
    EXPECT_EQ(doc.sizes[2], QSizeF(765, 1008));
    EXPECT_EQ(editor->programName(), "MINE");
    EXPECT_EQ(editor->undoArray().size(), undo);
    EXPECT_EQ(editor->numLines(), lines);
    EXPECT_EQ(editor->program().array().front(), static_cast<std::uint32_t>('A'));

    // Each column's lines lie inside the content, clear of the footer under it.
    const QRectF content = DiagnosticsReport::contentRect();
    for (const auto& w : report.written())
        if (w.page > 0 && w.text != QStringLiteral("-%1-").arg(w.page)) {
            EXPECT_LE(w.at.y() + DrawString::VQsizeWithFont(w.text, TextFont{"CourierNewPS-BoldMT", 6}).height(),
                      content.bottom() + 0.5)
                << "page " << w.page << ": " << w.text.toStdString();
        }

    // An empty program: the report ends on its first listing page.
    ASSERT_TRUE(files->storeOps("EMPTY", {}));
    calc.lastPrgmName = "EMPTY";
    EXPECT_EQ(read(report.diagnosticPDF()).pages, 2);
    // A name with no program: the settings page only.
    calc.lastPrgmName = "GONE";
    EXPECT_EQ(read(report.diagnosticPDF()).pages, 1);
}

} // namespace
} // namespace orvenda
