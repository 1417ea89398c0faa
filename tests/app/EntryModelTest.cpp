#include "AppTestSupport.h"

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
    calc.vars[0] = {5, 0}; // A
    type({digit(2), kPlus, kRCL});
    EXPECT_TRUE(entry->processingRCL());
    type({kA});
    EXPECT_EQ(entry->entryOps(), (Ops{digit(2), kPlus, digit(5)}));

    // A list that does not exist recalls nothing.
    calc.lists.erase("L₁");
    type({kRCL, kL1});
    EXPECT_EQ(entry->entryOps(), (Ops{digit(2), kPlus, digit(5)}));
    type({kRCL});
    entry->addVariable("NOPE", false);
    EXPECT_EQ(entry->entryOps(), (Ops{digit(2), kPlus, digit(5)}));

    // RegEQ types the last fitted equation.
    calc.statistics = std::make_shared<VQStatistics>();
    calc.statistics->regEqu = {digit(3), kA};
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

namespace orvenda::test {
namespace {

constexpr std::uint32_t kFraction = 0xEF38;
constexpr std::uint32_t T(std::uint32_t token) { return 0x10000 | token; }

class MathPrintEntry : public HomeTest {
protected:
    MathPrintEntry() { calc.mathPrint = true; }

    void keys(std::initializer_list<std::uint32_t> ops)
    {
        for (std::uint32_t op : ops)
            entry->prettyAddOp(op);
    }
};

TEST_F(MathPrintEntry, TypingThroughAFractionOneUndoStepAKey)
{
    keys({kFraction, 0x31});
    entry->prettyCursorRight();
    keys({0x32});
    entry->prettyCursorRight();
    keys({0x70, 0x33});
    const Ops typed{T(0x10), 0x31, T(0x11), T(kFraction), T(0x10), 0x32, T(0x11), 0x70, 0x33};
    EXPECT_EQ(entry->entryOps(), typed);
    Ops line = entry->entryOps();
    const Operand value = calc.parser().eval(line, false);
    EXPECT_EQ(calc.parser().error(), 0);
    EXPECT_DOUBLE_EQ(value.re(), 3.5);
    entry->undo();
    EXPECT_EQ(entry->entryOps(), Ops(typed.begin(), typed.end() - 1));
    entry->clear();
    keys({0x70});
    EXPECT_EQ(entry->entryOps(), (Ops{0x72, 0x70})) << "an operator on an empty line acts on Ans";
}

TEST_F(MathPrintEntry, DeletingAnEmptyTemplateRemovesIt)
{
    keys({kFraction});
    entry->prettyCursorLeft();
    EXPECT_EQ(entry->entryCursor(), 0);
    entry->prettyDeleteOpcode();
    EXPECT_TRUE(entry->entryOps().empty());
}

TEST_F(MathPrintEntry, TypingOverATemplatesStructureInserts)
{
    entry->forceOps({T(0x10), 0x31, T(0x11), T(kFraction), T(0x10), 0x32, T(0x11)});
    calc.insert = 0;
    entry->addOpcode(0x35, false);
    EXPECT_EQ(entry->entryOps(), (Ops{0x35, T(0x10), 0x31, T(0x11), T(kFraction), T(0x10), 0x32, T(0x11)}));
    EXPECT_EQ(calc.insert, 1);
}

TEST_F(MathPrintEntry, RecalledEntriesComeBackInTwoDimensions)
{
    entry->forceOps({0x31, kFraction, 0x32});
    entry->startNewEntry();
    entry->getPreviousEntry();
    EXPECT_EQ(entry->entryOps(), PrettyPrint::beautifyOps({0x31, kFraction, 0x32}));
    EXPECT_NE(entry->entryOps(), (Ops{0x31, kFraction, 0x32}));
}

} // namespace
} // namespace orvenda::test
