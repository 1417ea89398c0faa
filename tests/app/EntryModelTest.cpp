#include "AppTestSupport.h"
#include "pretty/PrettyTestSupport.h"
#include "pretty/PrettyTree.h"
#include "language/Vocabulary.h"

#include <random>

#include "eval/Parser.h"
#include "numeric/VQStatistics.h"

namespace orvenda::test {
namespace {

constexpr std::uint32_t kPlus = 0x70, kAns = 0x72, kA = 0x41, kB = 0x42, kQuote = 0x2A, kRCL = 1071;
constexpr std::uint32_t kOpen = 0x10, kClose = 0x11, kSin = 0xC2, kIf = 0xCE, kColon = 0x3E;
constexpr std::uint32_t kLowerS = 0xBBC3, kLowerI = 0xBBB8, kLowerN = 0xBBBE;
constexpr std::uint32_t kL1 = 0x5D00, kListPrefix = 0xEB;

std::uint32_t digit(int d) { return 0x30 + static_cast<std::uint32_t>(d); }

using Entry = HomeTest;

TEST_F(Entry, WrapsAtTheScreenWidthAndPlacesTheCursorOnItsLine)
{
    entry->setScreenWidth(16);
    Ops ops;
    for (int k = 0; k < 17; ++k)
        ops.push_back(digit((k + 1) % 10));
    entry->forceOps(ops);
    entry->cursorEnd();
    EXPECT_EQ(entry->text(), "12345678901234567");
    EXPECT_EQ(entry->numLines(), 2);
    EXPECT_EQ(entry->textCursor(), (EntryModel::TextCursor{1, 1}));
    EXPECT_EQ(entry->expandedCursor(), 17);
}

TEST_F(Entry, UpAndDownKeepTheColumnAndLeaveAtTheEnds)
{
    entry->setScreenWidth(4);
    // "12sin(123": line 0 holds "12si", line 1 "n(12", line 2 "3" and the end.
    entry->forceOps({digit(1), digit(2), kSin, digit(1), digit(2), digit(3)});
    entry->cursorSetIndex(4);
    ASSERT_EQ(entry->textCursor(), (EntryModel::TextCursor{3, 1}));
    entry->cursorUp();
    EXPECT_EQ(entry->entryCursor(), 2) << "no op starts at column 3 of line 0; sin( at column 2 is nearest";
    entry->cursorDown();
    EXPECT_EQ(entry->entryCursor(), 3);
    entry->cursorDown();
    EXPECT_EQ(entry->entryCursor(), 6) << "the end at column 1 is nearer column 2 than the 3 at column 0";
    EXPECT_EQ(entry->expandedCursor(), 9);
    entry->cursorSetIndex(1);
    entry->cursorUp();
    EXPECT_EQ(entry->entryCursor(), 0);
}

TEST_F(Entry, NoWrappingIsOneLineWithUpToTheStartAndDownToTheEnd)
{
    entry->setScreenWidth(0);
    entry->forceOps({digit(1), kSin, digit(2), digit(3), kSin, digit(4)});
    EXPECT_EQ(entry->numLines(), 1);
    entry->cursorSetIndex(3);
    entry->cursorDown();
    EXPECT_EQ(entry->entryCursor(), 6);
    entry->cursorUp();
    EXPECT_EQ(entry->entryCursor(), 0);
}

TEST_F(Entry, KeysOnAnEmptyLineOnlyTellTheScreen)
{
    Posted posted(bus, {VQCursorLeft, VQCursorHome, VQCursorMoved, VQDel});
    entry->cursorLeft();
    entry->cursorHome();
    entry->deleteOpcode();
    EXPECT_EQ(posted.names(), (std::vector<std::string>{"VQCursorLeft", "VQCursorHome", "VQDel"}));
    EXPECT_EQ(entry->entryCursor(), 0);

    type({digit(1), digit(2)});
    posted.clear();
    entry->cursorHome();
    entry->deleteOpcode();
    EXPECT_EQ(entry->entryOps(), (Ops{digit(2)}));
    EXPECT_TRUE(posted.names().empty());
}

TEST_F(Entry, AnOperatorOnAnEmptyLineActsOnAns)
{
    type({kPlus});
    EXPECT_EQ(entry->entryOps(), (Ops{kAns, kPlus}));
    entry->clear();
    type({kAns, kPlus});
    EXPECT_EQ(entry->entryOps(), (Ops{kAns, kPlus}));
}

TEST_F(Entry, FiltersRefuseWithoutTouchingTheLineOrUndo)
{
    struct Case {
        int filter;
        Ops typed;
        Ops line;
    };
    const Case cases[] = {
        {EntryModel::Digits, {digit(1), kA, kPlus, digit(2)}, {digit(1), digit(2)}},
        {EntryModel::Name, {kA, kPlus, digit(1), kL1}, {kA, digit(1), kL1}},
        {EntryModel::ListName, {digit(1), kA, digit(1), kB, kB, kB, kB}, {kA, digit(1), kB, kB, kB}},
    };
    for (const Case& c : cases) {
        entry->clear();
        entry->clearUndo();
        entry->setFilter(c.filter);
        for (std::uint32_t op : c.typed)
            type({op});
        EXPECT_EQ(entry->entryOps(), c.line) << "filter " << c.filter;
        EXPECT_EQ(entry->undoArray().size(), c.line.size()) << "filter " << c.filter;
    }
}

TEST_F(Entry, RecallInsertsTheVariablesValueInPlaceOfRCL)
{
    calc.locked()->vars[0] = {5, 0}; // A
    type({digit(2), kPlus, kRCL});
    EXPECT_TRUE(entry->processingRCL());
    type({kA});
    EXPECT_EQ(entry->entryOps(), (Ops{digit(2), kPlus, digit(5)}));

    // A list that does not exist recalls nothing.
    calc.locked()->lists.erase("L₁");
    type({kRCL, kL1});
    EXPECT_EQ(entry->entryOps(), (Ops{digit(2), kPlus, digit(5)}));
    type({kRCL});
    entry->addVariable("NOPE", false);
    EXPECT_EQ(entry->entryOps(), (Ops{digit(2), kPlus, digit(5)}));

    // RegEQ types the last fitted equation.
    calc.locked()->statistics = std::make_shared<VQStatistics>();
    calc.locked()->statistics->regEqu = {digit(3), kA};
    entry->clear();
    type({0x6201});
    EXPECT_EQ(entry->entryOps(), (Ops{digit(3), kA}));
}

TEST_F(Entry, NamesBecomeTheirTokens)
{
    entry->addProgramName("Ab1", false);
    EXPECT_EQ(entry->entryOps(), (Ops{0x5F, kA, 0xBBB1, digit(1)}));
    entry->clear();
    entry->addVariable("L₁", false);
    entry->addVariable("AB1θ", false);
    EXPECT_EQ(entry->entryOps(), (Ops{kL1, kListPrefix, kA, kB, digit(1), 0x5B}));
}

TEST_F(Entry, LowerCaseLettersBeforeABracketBecomeTheFunction)
{
    for (std::uint32_t op : {kLowerS, kLowerI, kLowerN, kOpen})
        type({entry->transformOp(op)});
    EXPECT_EQ(entry->entryOps(), (Ops{kSin}));
    // A name the letters do not begin is no match ("sin" then "+" is not sinh().
    entry->clear();
    for (std::uint32_t op : {kLowerS, kLowerI, kLowerN, kPlus})
        type({entry->transformOp(op)});
    EXPECT_EQ(entry->entryOps(), (Ops{kLowerS, kLowerI, kLowerN, kPlus}));
}

TEST_F(Entry, QuotingAndProgramOnlyCommands)
{
    type({kQuote, kA});
    EXPECT_TRUE(entry->isQuoting());
    type({kQuote});
    EXPECT_FALSE(entry->isQuoting());
    type({kColon, kQuote});
    EXPECT_TRUE(entry->isQuoting());

    entry->forceOps({digit(1), kPlus, digit(2), kIf, digit(1)});
    EXPECT_EQ(entry->hasBasicOps(), 3);
    entry->forceOps({digit(1)});
    EXPECT_EQ(entry->hasBasicOps(), -1);
}

// A constant's index and a conversion's units live in the op's high half, where other
// tokens keep a template id the classic line drops.
TEST_F(Entry, AnEarlierEntryKeepsItsConstantsAndConversions)
{
    constexpr std::uint32_t kElectronMass = 0xBB5Eu | (5u << 16), kMilesToMetres = 0xBB5Du | (3078u << 16);
    type({digit(2), kElectronMass, kPlus, digit(1), kMilesToMetres});
    entry->startNewEntry();
    entry->getPreviousEntry();
    EXPECT_EQ(entry->entryOps(), (Ops{digit(2), kElectronMass, kPlus, digit(1), kMilesToMetres}));
}

TEST_F(Entry, EntryWalksBackThroughEarlierEntriesAndWraps)
{
    type({digit(1)});
    entry->startNewEntry();
    type({digit(2)});
    entry->startNewEntry();
    std::vector<Ops> recalled;
    for (int k = 0; k < 3; ++k) {
        entry->getPreviousEntry();
        recalled.push_back(entry->entryOps());
    }
    EXPECT_EQ(recalled, (std::vector<Ops>{{digit(2)}, {digit(1)}, {digit(2)}}));
    EXPECT_EQ(entry->prevOps(), (Ops{digit(2)}));
    entry->recallHistory(0);
    EXPECT_EQ(entry->entryOps(), (Ops{digit(1)}));
    entry->recallHistory(5);
    entry->recallHistory(-1);
    EXPECT_EQ(entry->entryOps(), (Ops{digit(1)})) << "no entry there";

    entry->clearEntries();
    EXPECT_EQ(entry->entries(), (std::vector<Ops>{{EntryModel::kClearEntries}}));
    EXPECT_EQ(entry->prevOps(), std::nullopt);
}

TEST_F(Entry, KeepsAtMost101Entries)
{
    for (int k = 0; k < 150; ++k) {
        entry->forceOps({digit(k % 10)});
        entry->startNewEntry();
    }
    ASSERT_EQ(entry->entries().size(), 101u);
    EXPECT_EQ(entry->entries().front(), (Ops{digit(50 % 10)}));
    EXPECT_EQ(entry->prevEntry(), 99);
}

TEST_F(Entry, UndoRestoresOpsCursorAndInsertModeAndRedoRepeats)
{
    type({digit(1), digit(2), digit(3)});
    entry->cursorSetIndex(1);
    calc.insert = 1;
    entry->clear();
    calc.insert = 0;
    entry->undo();
    EXPECT_EQ(entry->entryOps(), (Ops{digit(1), digit(2), digit(3)}));
    EXPECT_EQ(entry->entryCursor(), 1);
    EXPECT_EQ(calc.insert, 1);
    entry->redo();
    EXPECT_TRUE(entry->entryOps().empty());
}

TEST_F(Entry, APasteIsOneUndoStepAndDropsALeadingAnsUnlessItIndexesAList)
{
    type({digit(2)});
    entry->pasteOps({kAns, kPlus, digit(1)});
    EXPECT_EQ(entry->entryOps(), (Ops{digit(2), kPlus, digit(1)}));
    entry->undo();
    EXPECT_EQ(entry->entryOps(), (Ops{digit(2)}));
    calc.ans = VQValue::valWithList(reals({1, 2}));
    entry->pasteOps({kAns, kOpen, digit(1), kClose});
    EXPECT_EQ(entry->entryOps(), (Ops{digit(2), kAns, kOpen, digit(1), kClose}));
}

TEST_F(Entry, ListNamePrompt)
{
    struct Case {
        Ops line;
        std::optional<Ops> name;
        int errorAt;
    };
    const Case cases[] = {
        {{kListPrefix, kA, digit(1)}, Ops{kA, digit(1)}, 0},
        {{kL1}, Ops{kL1}, 0},
        {{digit(1), kA}, std::nullopt, 0},
        {{kA, kPlus}, std::nullopt, 1},
        {{kA, kB, kB, kB, kB, kB}, std::nullopt, 5},
        {{kListPrefix}, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        entry->forceOps(c.line);
        entry->cursorEnd();
        EXPECT_EQ(entry->getListName(), c.name);
        if (c.name)
            EXPECT_TRUE(entry->entryOps().empty());
        else
            EXPECT_EQ(entry->entryCursor(), c.errorAt);
    }
}

TEST_F(Entry, BracketContextOfALocation)
{
    // 0 sin( 1 1 2 + 3 ( 4 2 5 ) 6 ) 7 +
    entry->forceOps({kSin, digit(1), kPlus, kOpen, digit(2), kClose, kClose, kPlus});
    const std::pair<int, int> cases[] = {{1, 0}, {4, 3}, {5, 3}, {6, 0}, {7, 0}, {-1, 0}};
    for (auto [loc, start] : cases)
        EXPECT_EQ(entry->parenContextStartForLocation(loc), start) << "location " << loc;
    entry->forceOps({digit(1), kSin, digit(2)});
    EXPECT_EQ(entry->parenContextStartForLocation(3), 1) << "an open bracket at the end of the line";
}

TEST_F(Entry, SpelledWordsBecomeOneOp)
{
    entry->forceOps({kA, kB, digit(1), kA, kB});
    entry->convertString("AB", kSin);
    EXPECT_EQ(entry->entryOps(), (Ops{kSin, digit(1), kSin}));
    entry->convertString("1", 0x5F);
    EXPECT_EQ(entry->entryOps(), (Ops{kSin, kSin}));
}

TEST_F(Entry, ArchiveKeepsEntriesAndCursorAndDropsUndo)
{
    type({digit(1)});
    entry->startNewEntry();
    type({digit(2), kPlus, digit(3)});
    entry->cursorSetIndex(1);
    EntryModel restored(calc);
    restored.decode(entry->encode());
    EXPECT_EQ(restored.entries(), entry->entries());
    EXPECT_EQ(restored.entryCursor(), 1);
    EXPECT_EQ(restored.text(), "2+3");
    EXPECT_FALSE(restored.canUndo());
    // One earlier entry: ENTER on an empty line re-runs it.
    EXPECT_EQ(restored.prevOps(), (Ops{digit(1)}));
}

TEST_F(Entry, DamagedArchivesDecodeToAValidLine)
{
    const nlohmann::json archives[] = {
        nullptr,
        {{"en", "text"}, {"pEntry", 7}, {"eCursor", -3}},
        {{"en", nlohmann::json::array()}, {"pEntry", -9}, {"eCursor", 99}, {"sw", -1}},
        {{"en", {{0x31, 0x32}, "x", {0x33}}}, {"pEntry", 5}, {"eCursor", 99}, {"sw", 4}},
    };
    for (const nlohmann::json& archive : archives) {
        EntryModel model(calc);
        model.decode(archive);
        const int count = static_cast<int>(model.entries().size());
        ASSERT_GE(count, 1) << archive;
        EXPECT_GE(model.prevEntry(), -1);
        EXPECT_LE(model.prevEntry(), count - 2);
        EXPECT_GE(model.entryCursor(), 0);
        EXPECT_LE(model.entryCursor(), static_cast<int>(model.entryOps().size()));
        EXPECT_GE(model.screenWidth(), 0);
        model.getPreviousEntry();
        model.cursorDown();
    }
}

} // namespace
} // namespace orvenda::test

// ---- MathPrint: the entry line edited through the key routing, as on the home screen ----

namespace orvenda::test {
namespace {

using Kind = PrettyNode::Kind;

constexpr std::uint32_t kFraction = 0xEF38, kMixed = 0xEF39, kPower = 0xF0, kRoot = 0xBC, kBox = 0xEF1E;
constexpr std::uint32_t kPlusOp = 0x70, kAnsOp = 0x72;

// Ops as the vocabulary names them, with their template IDs: for failure messages.
std::string text(const Ops& line)
{
    std::string out;
    for (std::uint32_t op : line)
        out += Vocabulary::shared().nameForOpcode(op & 0xFFFF) + (op > 0xFFFF ? std::to_string(op >> 16) : "") + " ";
    return out;
}

// With fixed metrics at 20 points a character is 12 wide (10.2 in a fraction, 7.8 in a
// superscript or limit), so positions can be worked out by hand.
class MathPrintKeys : public KeysTest {
protected:
    MathPrintKeys()
    {
        calc.locked()->mathPrint = true;
        calc.baseFontSize = 20;
        calc.prettyPrint->setMetrics(&metrics);
    }
    const Ops& line() const { return entry->entryOps(); }
    int cursor() const { return entry->entryCursor(); }
    // A line with the cursor on op `at`, insert mode off.
    void set(const Ops& ops, int at)
    {
        entry->forceOps(ops);
        entry->cursorSetIndex(at);
        calc.insert = 0;
    }
    Operand evaluate(Ops ops)
    {
        calc.parser().setError(0);
        return calc.parser().eval(ops, false);
    }

    FixedMetrics metrics;
};

TEST_F(MathPrintKeys, TypingThroughAFractionOneUndoStepAKey)
{
    press({kFraction});
    EXPECT_EQ(cursor(), 1);
    press({0x31, KeyRouter::kRight});
    EXPECT_EQ(cursor(), 5) << "the end of the numerator goes on to the start of the denominator";
    press({0x32, KeyRouter::kRight, kPlusOp, 0x33});
    const Ops typed{T(0x10), 0x31, T(0x11), T(kFraction), T(0x10), 0x32, T(0x11), kPlusOp, 0x33};
    EXPECT_EQ(line(), typed);
    const Operand value = evaluate(line());
    EXPECT_EQ(value.error, 0);
    EXPECT_DOUBLE_EQ(value.re(), 3.5);
    entry->undo();
    EXPECT_EQ(line(), Ops(typed.begin(), typed.end() - 1));
}

TEST_F(MathPrintKeys, TemplateKeysPutTheCursorInTheFirstBox)
{
    // An operator or a power on an empty line takes Ans first; while a program waits for
    // an answer to Input it does not.
    press({kPlusOp});
    EXPECT_EQ(line(), (Ops{kAnsOp, kPlusOp}));
    entry->clear();
    press({kPower});
    EXPECT_EQ(line(), (Ops{kAnsOp, T(kPower), T(0x10), T(0x11)}));
    EXPECT_EQ(cursor(), 3);
    entry->clear();
    programs->store("P", {0xDC, 0x41});  // Input A
    enter("prgmP");
    ASSERT_EQ(calc.parser().promptStack().count(), 1);
    // The question is answered on the program output, in front.
    calc.setCurrentScreen(11);
    press({kPlusOp});
    EXPECT_EQ(line(), (Ops{kPlusOp}));
    entry->clear();
    press({0x35, KeyRouter::kEnter});
    settle();
    EXPECT_EQ(calc.getVar(0).value.real(), 5);
    calc.setCurrentScreen(0);

    // Un/d after a number makes it the whole; without one a box op holds the whole's place
    // and the cursor stays on it, so that typing replaces it.
    entry->clear();
    press({0x33, kMixed});
    EXPECT_EQ(line(), (Ops{0x33, T(kMixed), T(0x10), T(0x11), T(kFraction), T(0x10), T(0x11)}));
    EXPECT_EQ(cursor(), 3);
    entry->clear();
    press({kMixed});
    EXPECT_EQ(line(), (Ops{kBox, T(kMixed), T(0x10), T(0x11), T(kFraction), T(0x10), T(0x11)}));
    EXPECT_EQ(cursor(), 0);
    press({0x32});
    EXPECT_EQ(line(), (Ops{0x32, T(kMixed), T(0x10), T(0x11), T(kFraction), T(0x10), T(0x11)}));
    EXPECT_EQ(cursor(), 1);

    // A second template gets the next free ID.
    entry->clear();
    press({kRoot, kRoot});
    EXPECT_EQ(line(), (Ops{T(kRoot, 1), T(kRoot, 2), T(0x11, 2), T(0x11, 1)}));
}

TEST_F(MathPrintKeys, OverwritingAStructuralOpInsertsAndInsertEndsWithTheLine)
{
    set({T(0x10), 0x31, T(0x11), T(kFraction), T(0x10), 0x32, T(0x11)}, 2);
    press({0x35});
    EXPECT_EQ(line(), (Ops{T(0x10), 0x31, 0x35, T(0x11), T(kFraction), T(0x10), 0x32, T(0x11)}));
    EXPECT_EQ(calc.insert, PrettyPrint::kInsertAtTemplate);
    // On an ordinary op it overwrites.
    set(line(), 1);
    press({0x37});
    EXPECT_EQ(line()[1], 0x37u);
    EXPECT_EQ(line().size(), 8u);
    // INS before an op inserts; at the end of the line there is nothing to insert before.
    set({0x31, 0x32}, 1);
    press({KeyRouter::kIns});
    EXPECT_EQ(calc.insert, 1);
    press({0x39});
    EXPECT_EQ(line(), (Ops{0x31, 0x39, 0x32}));
    set({0x31, 0x32}, 2);
    press({KeyRouter::kIns});
    EXPECT_EQ(calc.insert, 0);
    set({}, 0);
    press({KeyRouter::kIns});
    EXPECT_EQ(calc.insert, 0);
}

TEST_F(MathPrintKeys, DeleteKeepsTemplatesWhole)
{
    struct Case {
        const char* name;
        Ops before;
        int cursor;
        Ops after;
        int cursorAfter;
    };
    const Ops fraction = {T(0x10), 0x31, T(0x11), T(kFraction), T(0x10), 0x32, T(0x11), kPlusOp};
    const Case cases[] = {
        {"an empty template", {T(0x10), T(0x11), T(kFraction), T(0x10), T(0x11)}, 0, {}, 0},
        {"a root's start unwraps it", {0x32, kPlusOp, T(kRoot), 0x33, 0x34, T(0x11)}, 2, {0x32, kPlusOp, 0x33, 0x34}, 2},
        {"a power's start unwraps it", {0x32, T(kPower), T(0x10), 0x33, T(0x11)}, 1, {0x32, 0x33}, 1},
        {"a fraction goes with its content", fraction, 0, {kPlusOp}, 0},
        {"a mixed number keeps its whole",
         {0x32, T(kMixed), T(0x10), 0x31, T(0x11), T(kFraction), T(0x10), 0x34, T(0x11)}, 1, {0x32}, 1},
        {"a part's end removes nothing", fraction, 2, fraction, 2},
        {"a matrix row's bracket removes nothing",
         {T(0x06), T(0x06), 0x31, T(0x2B), 0x32, T(0x07), T(0x07)}, 1,
         {T(0x06), T(0x06), 0x31, T(0x2B), 0x32, T(0x07), T(0x07)}, 2},
        {"an ordinary op", {0x31, 0x32}, 0, {0x32}, 0},
    };
    for (const Case& c : cases) {
        set(c.before, c.cursor);
        press({KeyRouter::kDel});
        EXPECT_EQ(line(), c.after) << c.name;
        EXPECT_EQ(cursor(), c.cursorAfter) << c.name;
    }
    // Typed: n/d, Left onto its start, DEL.
    entry->clear();
    press({kFraction, KeyRouter::kLeft, KeyRouter::kDel});
    EXPECT_TRUE(line().empty());
}

// Up and Down keep the nearest x; where there is nothing above or below the cursor stays.
TEST_F(MathPrintKeys, UpAndDownKeepTheNearestX)
{
    struct Case {
        const char* name;
        Ops ops;
        int from;
        bool up;
        int to;
    };
    // Numerator 12 (x 11.2 to 31.6) over denominator 3456 (x 1 to 41.8).
    const Ops fraction = {T(0x10), 0x31, 0x32, T(0x11), T(kFraction), T(0x10), 0x33, 0x34, 0x35, 0x36, T(0x11)};
    const Ops power = {0x32, T(kPower), T(0x10), 0x33, 0x34, 0x35, T(0x11), kPlusOp, 0x35};
    const Ops matrix = {T(0x06), T(0x06), 0x31, T(0x2B), 0x32, T(0x07), T(0x06), 0x33, T(0x2B), 0x34, T(0x07), T(0x07)};
    // The matrix inside a fraction's numerator, with more after it: what lies past the
    // matrix's last row is not a row of it.
    Ops inFraction = {T(0x10, 2)};
    inFraction.insert(inFraction.end(), matrix.begin(), matrix.end());
    const Ops after = {T(0x11, 2), T(kFraction, 2), T(0x10, 2), 0x35, T(0x11, 2), kPlusOp, T(0x06, 3), T(0x06, 3), 0x36,
                       T(0x07, 3), T(0x06, 3), 0x37, T(0x07, 3), T(0x07, 3)};
    inFraction.insert(inFraction.end(), after.begin(), after.end());
    const Ops sum = {T(0xEF33), 0x58, T(0x2B), 0x58, T(0x2B), 0x31, T(0x2B), 0x34, T(0x11)};
    const Case cases[] = {
        {"numerator to denominator", fraction, 2, false, 8},
        {"denominator to numerator", fraction, 8, true, 2},
        {"nothing above the numerator", fraction, 2, true, -1},
        {"nothing below the denominator", fraction, 8, false, -1},
        // The cursor on the ^ has a cell of its own: the exponent starts at 24.
        {"base into the exponent", power, 1, true, 3},
        {"after a power into its exponent", power, 7, true, 6},
        {"exponent down to the base line", power, 5, false, 7},
        {"matrix row down", matrix, 2, false, 7},
        {"matrix row up", matrix, 9, true, 4},
        {"nothing below a matrix's last row", matrix, 9, false, -1},
        {"nothing above a matrix's first row", matrix, 2, true, -1},
        {"a matrix's last row down to the denominator", inFraction, 10, false, 17},
        {"sum body up to the upper limit", sum, 1, true, 8},
        {"upper limit down to the lower line", sum, 7, false, 4},
        {"lower limit up", sum, 5, true, 8},
    };
    for (const Case& c : cases) {
        set(c.ops, c.from);
        ASSERT_EQ(cursor(), c.from) << c.name;
        press({c.up ? KeyRouter::kUp : KeyRouter::kDown});
        EXPECT_EQ(cursor(), c.to < 0 ? c.from : c.to) << c.name;
        EXPECT_EQ(line(), c.ops) << c.name;
    }
}

TEST_F(MathPrintKeys, TypingOverATemplatesStructureInsertsOnTheEntryLineOnly)
{
    set({T(0x10), 0x31, T(0x11), T(kFraction), T(0x10), 0x32, T(0x11)}, 0);
    entry->addOpcode(0x35, false);
    EXPECT_EQ(line(), (Ops{0x35, T(0x10), 0x31, T(0x11), T(kFraction), T(0x10), 0x32, T(0x11)}));
    EXPECT_EQ(calc.insert, PrettyPrint::kInsertAtTemplate);
}

TEST_F(MathPrintKeys, RecalledEntriesComeBackInTwoDimensions)
{
    entry->forceOps({0x31, kFraction, 0x32});
    entry->startNewEntry();
    entry->getPreviousEntry();
    EXPECT_EQ(line(), PrettyPrint::beautifyOps({0x31, kFraction, 0x32}));
    EXPECT_NE(line(), (Ops{0x31, kFraction, 0x32}));
}

// Every ID'd op belongs to a template node: a glyph or a bare bracket pair carrying one is
// a template torn apart (e^( and ₁₀^( are the glyphs of their own bases).
bool templatesWhole(const PrettyTree& tree, int n)
{
    const PrettyNode& node = tree.node(n);
    const bool base = node.parent >= 0 && tree.node(node.parent).kind == Kind::Script;
    if (node.kind == Kind::Glyph && (tree.ops()[static_cast<std::size_t>(node.begin)] >> 16) != 0 && !base)
        return false;
    if (node.kind == Kind::Brackets && node.id != 0)
        return false;
    for (int c : tree.children(n))
        if (!templatesWhole(tree, c))
            return false;
    return true;
}

bool emptyBoxAt(const PrettyTree& tree, int at)
{
    for (int n = 0; n < tree.size(); ++n)
        if (tree.node(n).kind == Kind::EmptyBox && tree.node(n).begin == at)
            return true;
    return false;
}

// Random typing, deleting and moving never tears a template apart, leaves a line that
// beautifying keeps as it is, and that parses unless a box is empty where the parse
// fails. The keys are those that keep a line well formed when every box is filled:
// operands and templates (nDeriv( is left out: its third nesting is an error of its own).
TEST_F(MathPrintKeys, RandomKeysKeepTheLineWellFormed)
{
    const std::uint32_t tokens[] = {
        0x30, 0x31, 0x32, 0x35, 0x39, 0x58, 0xAC, 0x0D, kFraction, kMixed, kPower, 0xF1, kRoot, 0xBD, 0xB2, 0xBF,
        0xC1, 0xEF34, 0xEF33, 0x24,
    };
    const std::uint32_t moves[] = {KeyRouter::kDel, KeyRouter::kDel, KeyRouter::kLeft, KeyRouter::kLeft,
                                   KeyRouter::kRight, KeyRouter::kRight, KeyRouter::kUp, KeyRouter::kDown,
                                   KeyRouter::kHome, KeyRouter::kEnd, KeyRouter::kIns};
    std::mt19937 random(15);
    PrettyTree tree;
    for (int step = 0; step < 10000; ++step) {
        if (line().size() > 60)
            entry->clear();
        else if (random() % 15 < 4)
            press({tokens[random() % std::size(tokens)]});
        else
            press({moves[random() % std::size(moves)]});
        ASSERT_GE(cursor(), 0);
        ASSERT_LE(cursor(), static_cast<int>(line().size()));
        tree.build(line());
        ASSERT_TRUE(templatesWhole(tree, tree.root())) << step << ": " << text(line());
        ASSERT_EQ(PrettyPrint::beautifyOps(line()), line()) << step << ": " << text(line());
        Ops parsed = line();
        calc.parser().setError(0);
        calc.parser().infixToRPN(&parsed, 0, false);
        const int error = calc.parser().error(), at = calc.parser().errorToken();
        calc.parser().setError(0);
        if (error != 0) {
            ASSERT_TRUE(emptyBoxAt(tree, at)) << step << ": error " << error << " at " << at << " in " << text(line());
        }
    }
}

} // namespace
} // namespace orvenda::test
