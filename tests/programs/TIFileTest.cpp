// The calculator's variable files: the exact bytes of an export, every type there and back,
// the older signatures, and files that are none or broken, refused without reading past
// their end (the sanitizer builds run these).

#include "TIFileSupport.h"

#include "language/UnitNames.h"
#include "programs/TIFileWriter.h"
#include "programs/TIVarFile.h"

#include <QDir>

#include <limits>

namespace orvenda::test::tifiles {
namespace {

constexpr std::uint32_t kStore = 0x04, kQuote = 0x2A, kLineBreak = 0x3F, kDisp = 0xDE, kPlus = 0x70;
constexpr std::uint32_t kLowerH = 0xBBB7, kLowerI = 0xBBB8, kY1 = 0x5E10, kR1 = 0x5E40, kMatA = 0x5C00, kMatJ = 0x5C09;
constexpr std::uint32_t kStr1 = 0xAA00, kStr0 = 0xAA09;

class TIFiles : public ::testing::Test {
protected:
    TIFiles() { GDBManager::setShared(gdbs); }
    ~TIFiles() override { GDBManager::setShared(nullptr); }

    std::shared_ptr<FakeGDBs> gdbs = std::make_shared<FakeGDBs>();
    CalculatorSide a, b;
    int error = -1;
};

TEST(TIVarBytes, RealsOnlyWithinTheFilesRange)
{
    Bytes bytes(9, 0xEE);
    EXPECT_FALSE(TIVarBytes::writeReal(1e100, bytes.data()));
    EXPECT_EQ(bytes, Bytes(9, 0));
    EXPECT_FALSE(TIVarBytes::writeReal(-9.999999999999999e99, bytes.data()));
    EXPECT_FALSE(TIVarBytes::writeReal(std::numeric_limits<double>::infinity(), bytes.data()));
    ASSERT_TRUE(TIVarBytes::writeReal(-9.9999999999999e99, bytes.data()));
    EXPECT_EQ(bytes, (Bytes{0x80, 0xE3, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99}));
    EXPECT_EQ(TIVarBytes::dblFrom(bytes.data()), -9.9999999999999e99);
    // Below the smallest exponent: 0.
    ASSERT_TRUE(TIVarBytes::writeReal(4e-100, bytes.data()));
    EXPECT_EQ(bytes, Bytes(9, 0));
    ASSERT_TRUE(TIVarBytes::writeReal(1e-99, bytes.data()));
    EXPECT_EQ(bytes, (Bytes{0x00, 0x1D, 0x10, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(TIVarBytes::dblFrom(bytes.data()), 1e-99);
    // Digits above 9 in either nibble are no number.
    EXPECT_TRUE(TIVarBytes::isDecimal(real(0.123456789).data()));
    EXPECT_FALSE(TIVarBytes::isDecimal(Bytes{0, 0x80, 0x1A, 0, 0, 0, 0, 0, 0}.data()));
    EXPECT_FALSE(TIVarBytes::isDecimal(Bytes{0, 0x80, 0x10, 0, 0, 0, 0, 0, 0xF0}.data()));
}

TEST_F(TIFiles, ExportingAZeroIsTheExact83ByteFile)
{
    a.calc.setVar(0, {0.0});
    const auto file = TIFileWriter::dataWithVars(a.calc, std::vector<int>{'A'}, error);
    ASSERT_TRUE(file);
    EXPECT_EQ(error, 0);
    Bytes expected{'*', '*', 'T', 'I', '8', '3', 'F', '*', 0x1A, 0x0A, 0x0A};
    expected.resize(53, 0);
    expected += Bytes{26, 0};
    expected += Bytes{13, 0, 9, 0, 0, 'A', 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 0};
    expected += Bytes(9, 0);
    expected += Bytes{0x60, 0x00};
    EXPECT_EQ(*file, expected);
    EXPECT_EQ(file->size(), 83u);

    // 1.5: positive, exponent 0, digits 15; the checksum takes them in.
    a.calc.setVar(0, {1.5});
    const auto half = TIFileWriter::dataWithVars(a.calc, std::vector<int>{'A'}, error);
    ASSERT_TRUE(half);
    EXPECT_EQ(Bytes(half->begin() + 72, half->begin() + 81), (Bytes{0x00, 0x80, 0x15, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes(half->end() - 2, half->end()), (Bytes{0xF5, 0x00}));
    EXPECT_EQ(b.load(*half), 0);
    EXPECT_EQ(b.var('A'), 1.5);
    EXPECT_EQ(b.arrived, std::vector<std::string>{"variable A"});

    // The export's file is what the hand-over takes.
    QTemporaryDir dir;
    const auto path = TIFileWriter::exportTo(dir.path(), "VarA", *file);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, dir.filePath("VarA.lbxDat"));
    EXPECT_TRUE(a.calc.validFileExtension(QFileInfo(*path).suffix().toStdString()));
}

TEST_F(TIFiles, VariablesListsMatricesAndStringsComeBackAsTheyWent)
{
    a.calc.setVar(1, {{2.25, -3}});
    a.calc.setVar(26, {-4e-50});
    {
        const auto state = a.calc.locked();
        state->lists["L₁"] = VQList::listSeqStart(1, 999);
        VQList speed;
        speed.addReal(-0.5, 15, -15);
        speed.addReal(6.02214179e23, 15, -15);
        state->lists["SPEED"] = speed;
        VQList complex;
        for (std::complex<double> z : {std::complex<double>(1, 2), {0, -1}, {3.5, 0}})
            complex.addComplex(z);
        state->lists["Zθ1"] = complex;
        VQMatrix big = *VQMatrix::matrixWithRow(99, 99);
        for (std::size_t r = 0; r < 99; ++r)
            for (std::size_t c = 0; c < 99; ++c)
                big.set(static_cast<double>(r * 100 + c) / -8, r, c);
        state->matrices[0] = big;
        state->matrices[9] = *VQMatrix::matrixWithRow(1, 2);
        state->matrices[9].set(5, 0, 1);
        state->strings[0] = {kLowerH, kLowerI, 0x29, 'X'};
        state->strings[9] = {};
    }

    const auto vars = TIFileWriter::dataWithVars(a.calc, std::vector<int>{'B', 91}, error);
    ASSERT_TRUE(vars);
    // A complex variable is a type-12 entry of two reals.
    EXPECT_EQ((*vars)[55 + 4], TIVarFile::ComplexVar);
    EXPECT_EQ((*vars)[55 + 2], 18);
    ASSERT_EQ(b.load(*vars), 0);
    EXPECT_EQ(b.var('B'), std::complex<double>(2.25, -3));
    EXPECT_EQ(b.calc.getVar(26).value, -4e-50);

    const auto lists = TIFileWriter::dataWithLists(a.calc, std::vector<std::string>{"L₁", "SPEED", "Zθ1"}, error);
    ASSERT_TRUE(lists);
    // L₁ by its two name bytes.
    EXPECT_EQ((*lists)[55 + 5], 0x5D);
    EXPECT_EQ((*lists)[55 + 6], 0x00);
    ASSERT_EQ(b.load(*lists), 0);
    const auto listsRead = b.calc.locked()->lists;
    EXPECT_EQ(listsRead.at("L₁").realList(), VQList::listSeqStart(1, 999).realList());
    EXPECT_EQ(listsRead.at("SPEED").realList(), (std::vector<double>{-0.5, 6.02214179e23}));
    const VQList& complex = listsRead.at("Zθ1");
    EXPECT_EQ(complex.type(), 1);
    ASSERT_EQ(complex.count(), 3);
    EXPECT_EQ(complex.complexAtIndex(0), std::complex<double>(1, 2));
    EXPECT_EQ(complex.complexAtIndex(1), std::complex<double>(0, -1));
    EXPECT_EQ(complex.complexAtIndex(2), std::complex<double>(3.5, 0));
    EXPECT_EQ(b.arrived, (std::vector<std::string>{"variable B", "variable θ", "list L₁", "list SPEED", "list Zθ1"}));

    // A complex list of 3 has 56 bytes of data.
    const auto three = TIFileWriter::dataWithLists(a.calc, std::vector<std::string>{"Zθ1"}, error);
    ASSERT_TRUE(three);
    EXPECT_EQ(TIVarFile::word(&(*three)[55 + 2]), 56);
    EXPECT_EQ((*three)[55 + 4], TIVarFile::ComplexList);

    // 99 × 99 is longer than a length word: written as 65535, read by its dimensions.
    const auto matrices = TIFileWriter::dataWithMatrices(a.calc, std::vector<std::uint32_t>{kMatA, kMatJ}, error);
    ASSERT_TRUE(matrices);
    EXPECT_EQ(TIVarFile::word(&(*matrices)[55 + 2]), 0xFFFF);
    EXPECT_EQ(TIVarFile::word(&(*matrices)[55 + 15]), 0xFFFF);
    EXPECT_EQ(matrices->size(), 57u + 17 + 88211 + 17 + 20);
    // The file's own length is escaped: 24 bits at 50, 0xFFFF at 53.
    EXPECT_EQ(TIVarFile::word(&(*matrices)[53]), 0xFFFF);
    EXPECT_EQ((*matrices)[50] | (*matrices)[51] << 8 | (*matrices)[52] << 16, 17 + 88211 + 17 + 20);
    ASSERT_EQ(b.load(*matrices), 0);
    const auto matricesRead = b.calc.locked()->matrices;
    EXPECT_TRUE(matricesRead[0].equal(a.calc.locked()->matrices[0]));
    EXPECT_EQ(matricesRead[9].dimRow(), 1u);
    EXPECT_EQ(matricesRead[9].row(0, 1), 5);

    const auto strings = TIFileWriter::dataWithStrings(a.calc, std::vector<std::uint32_t>{kStr1, kStr0}, error);
    ASSERT_TRUE(strings);
    b.calc.locked()->strings[9] = {'A'};
    ASSERT_EQ(b.load(*strings), 0);
    EXPECT_EQ(b.calc.locked()->strings[0], a.calc.locked()->strings[0]);
    EXPECT_TRUE(b.calc.locked()->strings[9].empty());
}

TEST_F(TIFiles, EquationsComeBackWithTheirStylesAndColours)
{
    ASSERT_EQ(a.equations->setYEqFunc(kY1, Ops{'X', kPlus, '1'}), 0);
    a.equations->setStyle(8, VQColor::colorIntR(255, 0, 128, 1), kY1);
    ASSERT_EQ(a.equations->setYEqFunc(kR1, Ops{0xC2, 0x5B, 0x11}), 0);
    const auto file = TIFileWriter::dataWithYEQs(*a.equations, std::vector<std::uint32_t>{kY1, kR1}, error);
    ASSERT_TRUE(file);
    // The equations first, then their styles.
    const std::size_t second = 55 + 17 + 2 + 3;
    EXPECT_EQ((*file)[55 + 4], TIVarFile::Equation);
    EXPECT_EQ((*file)[second + 4], TIVarFile::Equation);
    const std::size_t style = second + 17 + 2 + 3;
    EXPECT_EQ((*file)[style + 4], TIVarFile::EquationStyle);
    EXPECT_EQ(Bytes(file->begin() + static_cast<std::ptrdiff_t>(style + 17), file->begin() + static_cast<std::ptrdiff_t>(style + 21)),
        (Bytes{8, 255, 0, 128}));

    ASSERT_EQ(b.load(*file), 0);
    EXPECT_EQ(b.equations->equationOps(kY1), (Ops{'X', kPlus, '1'}));
    EXPECT_EQ(b.equations->equationOps(kR1), (Ops{0xC2, 0x5B, 0x11}));
    EXPECT_EQ(b.equations->styleForFunction(kY1), 8);
    const VQColor color = b.equations->colorForFunction(kY1).value();
    EXPECT_NEAR(color.r(), 1, 1e-9);
    EXPECT_NEAR(color.b(), 128 / 255.0, 1e-9);
    EXPECT_TRUE(b.equations->shouldPlotFunction(kY1));
    EXPECT_EQ(b.arrived, (std::vector<std::string>{"equation Y₁", "equation r₁", "style Y₁", "style r₁"}));
}

TEST_F(TIFiles, ProgramsComeBackWithTheirMetadataAndEveryToken)
{
    const std::uint32_t feetToMeters = UnitNames::opcodeForClass(3, 3, 6);
    const std::uint32_t avogadro = 0x0003BB5E;
    const Ops body{kDisp, kQuote, kLowerH, kLowerI, kQuote, kLineBreak, '2', feetToMeters, kStore, 'A', kLineBreak, avogadro};
    ASSERT_TRUE(a.files->write("HIθ", {body, std::vector<std::string>{"fun", "greeting"}, "Says hi", "Ünïcode notes", 0u}));
    ASSERT_TRUE(a.files->write("EMPTY", {Ops{}, std::vector<std::string>{}, "", "", 0u}));

    const auto plain = TIFileWriter::dataWithPrograms(*a.programs, std::vector<std::string>{"HIθ"}, false, error);
    ASSERT_TRUE(plain);
    // The conversion carries its units in two more bytes, counted with the tokens.
    const std::size_t tokenBytes = 1 + 1 + 2 + 2 + 1 + 1 + 1 + (2 + 2) + 1 + 1 + 1 + (2 + 2);
    EXPECT_EQ(TIVarFile::word(&(*plain)[55 + 17]), tokenBytes);
    EXPECT_EQ(TIVarFile::word(&(*plain)[55 + 2]), tokenBytes + 2);
    EXPECT_EQ(Bytes(plain->begin() + 60, plain->begin() + 68), (Bytes{'H', 'I', 0x5B, 0, 0, 0, 0, 0}));
    EXPECT_EQ((*plain)[55 + 13], 0);

    const auto file = TIFileWriter::dataWithPrograms(*a.programs, std::vector<std::string>{"HIθ", "EMPTY"}, true, error);
    ASSERT_TRUE(file);
    EXPECT_EQ((*file)[55 + 13], TIVarFile::kMetadataVersion);
    ASSERT_EQ(b.load(*file), 0);
    EXPECT_EQ(b.files->opsFor("HIθ"), body);
    EXPECT_EQ(b.files->descFor("HIθ"), "Says hi");
    EXPECT_EQ(b.files->tagsFor("HIθ"), (std::vector<std::string>{"fun", "greeting"}));
    EXPECT_EQ(b.files->notesFor("HIθ"), "Ünïcode notes");
    EXPECT_EQ(b.files->opsFor("EMPTY"), Ops{});
    EXPECT_EQ(b.files->programListOf(1), (std::vector<std::string>{"EMPTY", "HIθ"}));
    EXPECT_EQ(b.arrived, (std::vector<std::string>{"program HIθ", "program EMPTY"}));
    // Imported, it runs as the editor opens it.
    b.programs->loadProgram("HIθ");
    EXPECT_EQ(b.programs->pdfLine(0), "Disp \"hi\"");
    EXPECT_TRUE(b.programs->isEditable());
}

TEST_F(TIFiles, EveryTwoBytePrefixIsWrittenAndReadAsItsToken)
{
    // Every prefix the format names, each before a low byte that is also a token of its own,
    // and after a one-byte token: a prefix dropped on either side reads as other tokens.
    const std::uint8_t prefixes[] = {0x5C, 0x5D, 0x5E, 0x60, 0x61, 0x62, 0x63, 0x7E, 0xAA, 0xBB, 0xEF};
    Ops body;
    Bytes bytes;
    for (const std::uint8_t prefix : prefixes) {
        body.push_back('A');
        bytes.push_back('A');
        body.push_back(static_cast<std::uint32_t>(prefix) << 8 | 0x05);
        bytes += Bytes{prefix, 0x05};
    }
    Bytes written;
    TIVarBytes::writeTokens(body, written);
    EXPECT_EQ(written, bytes);
    EXPECT_EQ(TIVarBytes::opByteLength(body), bytes.size());
    EXPECT_EQ(TIVarBytes::tokensFrom(bytes), body);
    // Whole, through a program's entry from one calculator to another.
    ASSERT_TRUE(a.files->write("PREFIXES", {body, std::vector<std::string>{}, "", "", 0u}));
    const auto file = TIFileWriter::dataWithPrograms(*a.programs, std::vector<std::string>{"PREFIXES"}, false, error);
    ASSERT_TRUE(file);
    EXPECT_EQ(TIVarFile::word(&(*file)[55 + 17]), bytes.size());
    EXPECT_EQ(Bytes(file->begin() + 55 + 19, file->begin() + 55 + 19 + static_cast<std::ptrdiff_t>(bytes.size())), bytes);
    ASSERT_EQ(b.load(*file), 0);
    EXPECT_EQ(b.files->opsFor("PREFIXES"), body);
    // A byte next to a prefix that is none is a token alone.
    EXPECT_EQ(TIVarBytes::tokensFrom(Bytes{0x5B, 0x05, 0x7F, 0x05}), (Ops{0x5B, 0x05, 0x7F, 0x05}));
}

TEST_F(TIFiles, AProtectedProgramArrivesReadOnlyAndOverTheOpenOne)
{
    // The user has the program open with an edit not yet saved.
    ASSERT_TRUE(b.programs->storeProgram("GAME", Ops{'A'}));
    b.programs->loadProgram("GAME");
    b.programs->addOpcode('B', true);
    ASSERT_TRUE(b.programs->dirty());
    std::vector<std::string> told;
    b.programs->tell = [&told](const std::string& message) { told.push_back(message); };

    const Ops body{kDisp, '4', '2'};
    Bytes tokens;
    TIVarBytes::writeTokens(body, tokens);
    const Bytes file = tiFile(entry(TIVarFile::ProtectedProgram, {'G', 'A', 'M', 'E'}, counted(tokens)), "**TI83F*", 0x0A,
        "Single file dated Mon");
    ASSERT_EQ(b.load(file), 0);
    // The editor shows what arrived, read-only, and keeps it.
    EXPECT_EQ(b.programs->program().array(), body);
    EXPECT_EQ(b.programs->programFlags(), ProgramManager::kProtected);
    EXPECT_FALSE(b.programs->isEditable());
    EXPECT_EQ(b.programs->programDescription(), "Single file dated Mon");
    b.programs->addOpcode('C', true);
    b.programs->saveProgram();
    b.programs->loadProgram("");
    EXPECT_EQ(b.files->opsFor("GAME"), body);
    EXPECT_EQ(b.files->flagsFor("GAME"), ProgramManager::kProtected);
    // The typed lines were kept under a name of their own, and the user was told where.
    EXPECT_EQ(b.files->opsFor("GAME1"), (Ops{'B', 'A'}));
    EXPECT_EQ(told, std::vector<std::string>{"The lines typed in \"GAME\" were kept as the program \"GAME1\": the import "
                                             "replaced \"GAME\"."});
    // Imported again over the program as it was opened, nothing more is kept; over an
    // eight-letter name with GAME1 taken, the copy takes the next number in the name.
    b.programs->loadProgram("GAME");
    ASSERT_EQ(b.load(file), 0);
    EXPECT_EQ(b.files->programListOf(1), (std::vector<std::string>{"GAME", "GAME1"}));
    ASSERT_TRUE(b.programs->storeProgram("LONGNAME", Ops{'A'}));
    ASSERT_TRUE(b.files->addProgram("LONGNAM1", Ops{'Z'}));
    b.programs->loadProgram("LONGNAME");
    b.programs->addOpcode('Q', true);
    b.programs->saveProgram();
    const Bytes longFile = tiFile(entry(TIVarFile::Program, {'L', 'O', 'N', 'G', 'N', 'A', 'M', 'E'}, counted(tokens)));
    ASSERT_EQ(b.load(longFile), 0);
    EXPECT_EQ(b.files->opsFor("LONGNAM2"), (Ops{'Q', 'A'}));
    EXPECT_EQ(b.files->opsFor("LONGNAME"), body);
    EXPECT_EQ(b.programs->program().array(), body);

    // Exported again it is an ordinary program entry.
    const auto out = TIFileWriter::dataWithPrograms(*b.programs, std::vector<std::string>{"GAME"}, true, error);
    ASSERT_TRUE(out);
    EXPECT_EQ((*out)[55 + 4], TIVarFile::Program);
}

TEST_F(TIFiles, GraphDatabasesAreStoredAsTheyCame)
{
    gdbs->bodies["GRAPH1"] = {8, 0, 0, 0x10, 0x04, 0x80, 1, 0};
    const auto file = TIFileWriter::dataWithGDBs(std::vector<std::string>{"GRAPH1"}, error);
    ASSERT_TRUE(file);
    gdbs->bodies.clear();
    ASSERT_EQ(b.load(*file), 0);
    EXPECT_EQ(gdbs->bodies.at("GRAPH1"), (Bytes{8, 0, 0, 0x10, 0x04, 0x80, 1, 0}));
    EXPECT_EQ(b.arrived, std::vector<std::string>{"graph database GRAPH1"});
    // Only the body's own length is kept; a name not starting with a letter is passed over.
    gdbs->bodies.clear();
    const Bytes longer = tiFile(entry(TIVarFile::GraphDatabase, {'G', '2'}, {4, 0, 7, 7, 9, 9})
        + entry(TIVarFile::GraphDatabase, {'1', 'G'}, {2, 0}));
    ASSERT_EQ(b.load(longer), 0);
    EXPECT_EQ(gdbs->bodies, (std::map<std::string, Bytes>{{"G2", {4, 0, 7, 7}}}));
}

TEST_F(TIFiles, TheOlderSignaturesImport)
{
    // "**TI83**": 15-byte entry headers, so an equation's tokens start at entry offset 17.
    const Bytes equation = entry(TIVarFile::Equation, {0x5E, 0x10}, counted({'X', 0x0D}), false);
    EXPECT_EQ(equation[15], 2);
    EXPECT_EQ(equation[17], 'X');
    ASSERT_EQ(b.load(tiFile(equation, "**TI83**", 0x00)), 0);
    EXPECT_EQ(b.equations->equationOps(kY1), (Ops{'X', 0x0D}));

    // "**TI82**": a program, the file's comment becoming its description.
    const Bytes program = entry(TIVarFile::Program, {'O', 'L', 'D'}, counted({kDisp, '1'}), false);
    ASSERT_EQ(b.load(tiFile(program, "**TI82**", 0x00, "FROM AN OLD ONE")), 0);
    EXPECT_EQ(b.files->opsFor("OLD"), (Ops{kDisp, '1'}));
    EXPECT_EQ(b.files->descFor("OLD"), "FROM AN OLD ONE");

    // "**TI83F*" ending in 0x0F, and one whose entry has no version and flag.
    ASSERT_EQ(b.load(tiFile(entry(TIVarFile::RealVar, {'C'}, real(7)), "**TI83F*", 0x0F)), 0);
    EXPECT_EQ(b.var('C'), 7.0);
    ASSERT_EQ(b.load(tiFile(entry(TIVarFile::RealVar, {'D'}, real(8), false))), 0);
    EXPECT_EQ(b.var('D'), 8.0);
    // The older files have no entries with version bytes.
    EXPECT_EQ(b.load(tiFile(entry(TIVarFile::RealVar, {'E'}, real(9)), "**TI83**", 0x00)), 76);
    // Entries of unknown types are passed over.
    ASSERT_EQ(b.load(tiFile(entry(7, {'P', 'I', 'C'}, Bytes(10, 1)) + entry(TIVarFile::RealVar, {'F'}, real(3)))), 0);
    EXPECT_EQ(b.var('F'), 3.0);
}

TEST_F(TIFiles, DataThatIsNoFileGivesOne)
{
    const Bytes good = tiFile(entry(TIVarFile::RealVar, {'A'}, real(1)));
    ASSERT_EQ(b.load(good), 0);
    Bytes shorter(good.begin(), good.end() - 1);
    Bytes longer = good;
    longer.push_back(0);
    Bytes checksum = good;
    checksum.back() ^= 1;
    Bytes data = good;
    data[60] ^= 1;
    Bytes signature = good;
    signature[2] = 't';
    Bytes ending = good;
    ending[10] = 0x0B;
    for (const Bytes& bad : {shorter, longer, checksum, data, signature, ending, Bytes{}, Bytes(good.begin(), good.begin() + 56)})
        EXPECT_EQ(b.load(bad), 1);
}

// What comes before a broken entry stays; the broken one and what follows do not.
TEST_F(TIFiles, BrokenEntriesAreRefusedKeepingWhatCameBefore)
{
    const Bytes first = entry(TIVarFile::RealVar, {'A'}, real(5));
    const Bytes after = entry(TIVarFile::RealVar, {'Z'}, real(9));
    const auto list = [](std::size_t count, std::size_t elements) {
        Bytes data = le16(count);
        for (std::size_t k = 0; k < elements; ++k)
            data += real(static_cast<double>(k));
        return data;
    };
    Bytes badHeader = entry(TIVarFile::RealVar, {'B'}, real(1));
    badHeader[0] = 12;
    Bytes twoLengths = entry(TIVarFile::RealVar, {'B'}, real(1));
    twoLengths[15] = 8;
    Bytes crossing = entry(TIVarFile::RealVar, {'B'}, real(1));
    crossing[2] = crossing[15] = 10;
    Bytes nonDecimal = real(1);
    nonDecimal[5] = 0x0C;
    Bytes escaped = entry(TIVarFile::Matrix, {0x5C, 0}, Bytes{99, 99} + real(1));
    escaped[2] = escaped[3] = escaped[15] = escaped[16] = 0xFF;
    struct Case {
        const char* what;
        Bytes entries;
        int error;
        // The entry ends the file.
        bool last = false;
    };
    const Case cases[] = {
        {"header length 12", badHeader, 76},
        {"two data lengths", twoLengths, 76},
        {"an entry past the end", crossing, 76, true},
        {"a header cut off", Bytes{13, 0, 9, 0, 0, 'B'}, 76, true},
        {"one byte left", Bytes{13}, 76, true},
        {"a real cut off", entry(TIVarFile::RealVar, {'B'}, Bytes(8, 0)), 76},
        {"a complex cut off", entry(TIVarFile::ComplexVar, {'B'}, real(1)), 76},
        {"digits above 9", entry(TIVarFile::RealVar, {'B'}, nonDecimal), 77},
        {"a variable a", entry(TIVarFile::RealVar, {'a'}, real(1)), 78},
        {"a list of 0", entry(TIVarFile::RealList, {'L', 'S'}, list(0, 0)), 79},
        {"a list of 1000", entry(TIVarFile::RealList, {'L', 'S'}, list(1000, 1000)), 79},
        {"a list longer than its entry", entry(TIVarFile::RealList, {'L', 'S'}, list(3, 2)), 76},
        {"a complex list of reals", entry(TIVarFile::ComplexList, {'L', 'S'}, list(2, 2)), 76},
        {"a list without a count", entry(TIVarFile::RealList, {'L', 'S'}, {3}), 76},
        {"L7", entry(TIVarFile::RealList, {0x5D, 6}, list(1, 1)), 78},
        {"an unnamed list", entry(TIVarFile::RealList, {}, list(1, 1)), 78},
        {"a list named L.S", entry(TIVarFile::RealList, {'L', '.', 'S'}, list(1, 1)), 78},
        {"a list of non-decimal digits", entry(TIVarFile::RealList, {'L'}, le16(1) + nonDecimal), 77},
        {"matrix [K]", entry(TIVarFile::Matrix, {0x5C, 0x0A}, {1, 1}), 78},
        {"a matrix of 0 columns", entry(TIVarFile::Matrix, {0x5C, 0}, {0, 1}), 79},
        {"a matrix of 100 rows", entry(TIVarFile::Matrix, {0x5C, 0}, {1, 100}), 79},
        {"a matrix short of cells", entry(TIVarFile::Matrix, {0x5C, 0}, Bytes{2, 1} + real(1)), 76},
        {"an escaped matrix past the end", escaped, 76},
        {"an equation Y10", entry(TIVarFile::Equation, {0x5E, 0x1A}, counted({'X'})), 78},
        {"tokens past their entry", entry(TIVarFile::Equation, {0x5E, 0x10}, le16(5) + Bytes{'X'}), 76},
        {"tokens ending inside a token", entry(TIVarFile::Equation, {0x5E, 0x10}, counted({'X', 0xBB})), 76},
        {"a style cut off", entry(TIVarFile::EquationStyle, {0x5E, 0x10}, {2, 0, 0}), 76},
        {"a style of Y10", entry(TIVarFile::EquationStyle, {0x5E, 0x1A}, {2, 0, 0, 0}), 78},
        {"Str10", entry(TIVarFile::String, {0xAA, 0x0A}, counted({'X'})), 78},
        {"a conversion cut off", entry(TIVarFile::String, {0xAA, 0}, counted({0xBB, 0x5D, 0x12})), 76},
        {"an equation of itself", entry(TIVarFile::Equation, {0x5E, 0x10}, counted({0x5E, 0x10})), 29},
        {"a program's metadata cut off", entry(TIVarFile::Program, {'P'}, counted({'1'}) + le16(4) + Bytes{'a'}), 76},
        {"a program's metadata of one byte", entry(TIVarFile::Program, {'P'}, counted({'1'}) + Bytes{0}), 76},
        {"a body longer than its entry", entry(TIVarFile::GraphDatabase, {'G'}, {9, 0, 1, 1}), 76},
        {"a body of length 1", entry(TIVarFile::GraphDatabase, {'G'}, {1, 0, 1}), 76},
        {"an unnamed database", entry(TIVarFile::GraphDatabase, {}, {2, 0}), 78},
    };
    for (const Case& c : cases) {
        CalculatorSide side;
        EXPECT_EQ(side.load(tiFile(first + c.entries + (c.last ? Bytes{} : after))), c.error) << c.what;
        EXPECT_EQ(side.var('A'), 5.0) << c.what;
        EXPECT_EQ(side.var('Z'), 0.0) << c.what;
        EXPECT_EQ(side.arrived, std::vector<std::string>{"variable A"}) << c.what;
    }
    // The walk ends with the last entry, also when the data has room left for no entry.
    CalculatorSide side;
    EXPECT_EQ(side.load(tiFile(first + Bytes{0})), 76);
    EXPECT_EQ(side.load(tiFile(first)), 0);
    EXPECT_EQ(side.load(tiFile({})), 0);
    // A list whose name starts with no letter is passed over.
    EXPECT_EQ(side.load(tiFile(entry(TIVarFile::RealList, {'1', 'X'}, list(1, 1)) + after)), 0);
    EXPECT_EQ(side.var('Z'), 9.0);
}

TEST_F(TIFiles, NamesThatCouldLeaveTheProgramFolderAre78)
{
    const Bytes body = counted({kDisp, '1'});
    for (const Bytes& name : {Bytes{'.', '.'}, Bytes{'A', '/', 'B'}, Bytes{'A', '.', 'B'}, Bytes{'A', '\\'}, Bytes{},
             Bytes{'A', 0xC3, 0xA9}, Bytes{' ', 'A'}}) {
        CalculatorSide side;
        EXPECT_EQ(side.load(tiFile(entry(TIVarFile::Program, name, body))), 78);
        EXPECT_EQ(side.load(tiFile(entry(TIVarFile::GraphDatabase, Bytes{'G'} + name, {2, 0}))), name.empty() ? 0 : 78);
        EXPECT_TRUE(QDir(side.files->folder()).isEmpty());
    }
    EXPECT_TRUE(gdbs->bodies.contains("G"));
    EXPECT_EQ(gdbs->bodies.size(), 1u);
    // A name of lower-case letters is a program name too.
    CalculatorSide side;
    EXPECT_EQ(side.load(tiFile(entry(TIVarFile::Program, {'a', 'b', 'C'}, body))), 0);
    EXPECT_EQ(side.files->programListOf(1), std::vector<std::string>{"abC"});
}

TEST_F(TIFiles, ALongFilesLengthIsEscaped)
{
    // An escaped length below 65535 is no long file.
    Bytes file = tiFile(entry(TIVarFile::RealVar, {'A'}, real(1)));
    file[53] = file[54] = 0xFF;
    file[50] = 26;
    EXPECT_EQ(b.load(file), 77);
    // One just long enough.
    const Bytes entries = entry(TIVarFile::String, {0xAA, 0}, counted(Bytes(0xFFFF - 17 - 2, 'A')));
    ASSERT_EQ(entries.size(), 0xFFFFu);
    ASSERT_EQ(b.load(tiFile(entries)), 0);
    EXPECT_EQ(b.calc.locked()->strings[0].size(), 0xFFFFu - 19);
}

TEST_F(TIFiles, WritersRefuseWhatTheFileCannotHold)
{
    a.calc.setVar(0, {1e100});
    a.calc.setVar(1, {std::numeric_limits<double>::infinity()});
    a.calc.setVar(2, {{1, 1e101}});
    a.calc.setVar(3, {1e-120});
    for (int name : {'A', 'B', 'C'}) {
        EXPECT_FALSE(TIFileWriter::dataWithVars(a.calc, std::vector<int>{name}, error));
        EXPECT_EQ(error, 70);
    }
    // Too small for the file: 0.
    const auto tiny = TIFileWriter::dataWithVars(a.calc, std::vector<int>{'D'}, error);
    ASSERT_TRUE(tiny);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(b.load(*tiny), 0);
    EXPECT_EQ(b.var('D'), 0.0);
    // Names and tokens the file has no place for, and items that are not there: nothing, no
    // error number.
    EXPECT_FALSE(TIFileWriter::dataWithVars(a.calc, std::vector<int>{'A' - 1}, error));
    EXPECT_EQ(error, 0);
    EXPECT_FALSE(TIFileWriter::dataWithVars(a.calc, std::vector<int>{92}, error));
    EXPECT_FALSE(TIFileWriter::dataWithMatrices(a.calc, std::vector<std::uint32_t>{0x5C0A}, error));
    EXPECT_FALSE(TIFileWriter::dataWithMatrices(a.calc, std::vector<std::uint32_t>{kMatA}, error));
    EXPECT_FALSE(TIFileWriter::dataWithStrings(a.calc, std::vector<std::uint32_t>{0xAA0A}, error));
    EXPECT_FALSE(TIFileWriter::dataWithYEQs(*a.equations, std::vector<std::uint32_t>{0x5EA0}, error));
    EXPECT_FALSE(TIFileWriter::dataWithLists(a.calc, std::vector<std::string>{"NONE"}, error));
    EXPECT_FALSE(TIFileWriter::dataWithLists(a.calc, std::vector<std::string>{"L₂"}, error));
    EXPECT_FALSE(TIFileWriter::dataWithPrograms(*a.programs, std::vector<std::string>{"NONE"}, true, error));
    EXPECT_FALSE(TIFileWriter::dataWithGDBs(std::vector<std::string>{"NONE"}, error));
    EXPECT_EQ(error, 0);

    // Lists longer than 999, entries longer than 65535 bytes.
    {
        const auto state = a.calc.locked();
        state->lists["LONG"] = VQList::listSeqStart(1, 1000);
        VQList big;
        big.addReal(1e100, 15, -15);
        state->lists["BIG"] = big;
        state->strings[0] = Ops(0x8000, kLowerH);
    }
    EXPECT_FALSE(TIFileWriter::dataWithLists(a.calc, std::vector<std::string>{"LONG"}, error));
    EXPECT_EQ(error, 70);
    EXPECT_FALSE(TIFileWriter::dataWithLists(a.calc, std::vector<std::string>{"BIG"}, error));
    EXPECT_EQ(error, 70);
    EXPECT_FALSE(TIFileWriter::dataWithStrings(a.calc, std::vector<std::uint32_t>{kStr1}, error));
    EXPECT_EQ(error, 70);
    ASSERT_EQ(a.equations->setYEqFunc(kY1, Ops(0x8000, kLowerH)), 0);
    EXPECT_FALSE(TIFileWriter::dataWithYEQs(*a.equations, std::vector<std::uint32_t>{kY1}, error));
    EXPECT_EQ(error, 70);
    ASSERT_TRUE(a.files->write("LONG", {Ops(0x7FFF, kLowerH), std::vector<std::string>{}, "", "", 0u}));
    EXPECT_FALSE(TIFileWriter::dataWithPrograms(*a.programs, std::vector<std::string>{"LONG"}, false, error));
    EXPECT_EQ(error, 70);
    // 65533 token bytes fit alone, not with a description beside them.
    Ops full(0x7FFE, kLowerH);
    full.push_back('A');
    ASSERT_TRUE(a.files->write("FULL", {full, std::vector<std::string>{}, "D", "", 0u}));
    ASSERT_TRUE(TIFileWriter::dataWithPrograms(*a.programs, std::vector<std::string>{"FULL"}, false, error));
    EXPECT_FALSE(TIFileWriter::dataWithPrograms(*a.programs, std::vector<std::string>{"FULL"}, true, error));
    EXPECT_EQ(error, 70);
}

} // namespace
} // namespace orvenda::test::tifiles
