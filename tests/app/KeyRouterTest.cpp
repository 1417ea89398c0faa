#include "AppTestSupport.h"

#include "app/LineEditor.h"
#include "cases/EquationSupport.h"

namespace orvenda::test {
namespace {

constexpr std::uint32_t k2nd = KeyRouter::kSecond, kAlpha = KeyRouter::kAlpha, kLock = KeyRouter::kAlphaLock;
constexpr std::uint32_t kA = 0x41, kOne = 0x31, kTwo = 0x32, kPlus = 0x70, kSolveOp = KeyRouter::kSolve;

using Keys = KeysTest;

// An editor that notes the calls it receives: the Y= equations' stand-in.
class EditingYEq : public testing::CompilingYEq, public LineEditor {
public:
    using Ops = std::vector<std::uint32_t>;
    explicit EditingYEq(Parser& parser) : CompilingYEq(parser) {}
    std::vector<std::string> calls;
    std::optional<Ops> line;
    int cursor = 0;

    void addOpcode(std::uint32_t op, bool) override { note("add " + std::to_string(op)); }
    void prettyAddOp(std::uint32_t op) override { note("pretty add " + std::to_string(op)); }
    void addVariable(std::string_view, bool) override { note("variable"); }
    void addProgramName(std::string_view, bool) override { note("program name"); }
    void pasteOps(const Ops& ops) override { note("paste " + std::to_string(ops.size())); }
    void deleteOpcode() override { note("delete"); }
    void prettyDeleteOpcode() override { note("pretty delete"); }
    void cursorLeft() override { note("left"); }
    void cursorRight() override { note("right"); }
    void prettyCursorLeft() override { note("pretty left"); }
    void prettyCursorRight() override { note("pretty right"); }
    void cursorUp() override { note("up"); }
    void cursorDown() override { note("down"); }
    void cursorHome() override { note("home"); }
    void cursorEnd() override { note("end"); }
    int entryCursor() const override { return cursor; }
    void setEntryCursor(int at) override { note("cursor " + std::to_string(at)); }
    std::optional<Ops> currentOps() const override { return line; }
    void undo() override { note("undo"); }
    void redo() override { note("redo"); }
    void clear() override { note("clear"); }
    void enter() override { note("enter"); }
    bool isQuoting() const override { return false; }
    std::uint32_t transformOp(std::uint32_t op) override { return op; }

private:
    void note(std::string call) { calls.push_back(std::move(call)); }
};

TEST_F(Keys, ShiftLayersFollowTheKeys)
{
    struct Case {
        std::vector<std::uint32_t> keys;
        bool second, alpha, lock;
    };
    const Case cases[] = {
        {{k2nd}, true, false, false},
        {{k2nd, k2nd}, false, false, false},
        {{k2nd, kAlpha}, false, true, false},   // ALPHA clears 2nd
        {{kAlpha, kA}, false, false, false},    // a letter ends the one-key alpha
        {{kLock, kA, kA}, false, true, true},   // the lock stays
        {{kLock, k2nd}, true, false, false},    // 2nd ends the lock
        {{kLock, kAlpha}, false, false, false}, // ALPHA toggles the shift and drops the lock
    };
    for (const Case& c : cases) {
        calc.secondShift = calc.alphaShift = calc.alphaLock = false;
        for (std::uint32_t key : c.keys)
            keys.processKeyOp(key);
        EXPECT_EQ(calc.secondShift, c.second) << c.keys.size() << " keys from " << c.keys[0];
        EXPECT_EQ(calc.alphaShift, c.alpha) << c.keys.size() << " keys from " << c.keys[0];
        EXPECT_EQ(calc.alphaLock, c.lock) << c.keys.size() << " keys from " << c.keys[0];
    }
    calc.lowercaseLock = calc.alphaShift = true;
    calc.alphaLock = false;
    press({kA});
    EXPECT_FALSE(calc.lowercaseLock);
}

TEST_F(Keys, CursorGlyphsAndTheEntryInDisplayCodes)
{
    struct Case {
        bool visible, second, alpha, lock, lower;
        int glyph;
    };
    const Case cases[] = {
        {false, true, false, false, false, 0},  {true, true, false, true, false, 225},
        {true, false, false, false, false, 224}, {true, false, true, false, false, 226},
        {true, false, false, true, true, 227},
    };
    for (const Case& c : cases) {
        calc.cursorVisible = c.visible;
        calc.secondShift = c.second;
        calc.alphaShift = c.alpha;
        calc.alphaLock = c.lock;
        calc.lowercaseLock = c.lower;
        EXPECT_EQ(keys.cursorChar(), c.glyph);
    }
    calc.secondShift = calc.alphaShift = calc.alphaLock = calc.lowercaseLock = false;
    entry->forceOps({kOne, kPlus, kTwo});
    entry->cursorEnd();
    calc.cursorVisible = true;
    EXPECT_EQ(keys.currentEntryWithCursor(), (std::vector<std::uint8_t>{'1', '+', '2', 224}));
    // Insert mode's glyphs replace the character under the cursor.
    calc.insert = 1;
    calc.secondShift = true;
    entry->cursorSetIndex(1);
    EXPECT_EQ(keys.currentEntryWithCursor(), (std::vector<std::uint8_t>{'1', 229, '2'}));
    calc.cursorVisible = false;
    EXPECT_EQ(keys.currentEntryWithCursor(), (std::vector<std::uint8_t>{'1', '+', '2'}));
}

TEST_F(Keys, KeysRestartTheBlinkAndClickWhenClicksAreOn)
{
    Posted posted(bus, {VQBlinkCursor});
    blink.cursorBlink(false);
    calc.cursorVisible = false;
    press({kOne});
    EXPECT_TRUE(calc.cursorVisible);
    EXPECT_TRUE(blink.running());
    blink.blinkCursor();
    EXPECT_FALSE(calc.cursorVisible);
    EXPECT_EQ(posted.count(VQBlinkCursor), 1);
    // Stopping keeps the phase.
    blink.cursorBlink(false);
    EXPECT_FALSE(blink.running());
    EXPECT_FALSE(calc.cursorVisible);

    int clicks = 0;
    keys.setClickSound([&] { ++clicks; });
    for (const auto& [mute, on] : {std::pair{false, true}, std::pair{true, true}, std::pair{false, false}}) {
        calc.clickMute = mute;
        calc.clickPref = on;
        keys.doKeyClick();
    }
    EXPECT_EQ(clicks, 1);
}

TEST_F(Keys, FontSizeKeysStopAtTheDevicesLimits)
{
    struct Case {
        int device;
        double from;
        std::uint32_t key;
        double to;
    };
    const Case cases[] = {
        {0, 47, KeyRouter::kFontUp, 48},   {0, 48, KeyRouter::kFontUp, 48},   {0, 11, KeyRouter::kFontDown, 10},
        {0, 10, KeyRouter::kFontDown, 10}, {1, 71, KeyRouter::kFontUp, 72},   {1, 72, KeyRouter::kFontUp, 72},
        {1, 21, KeyRouter::kFontDown, 20}, {1, 20, KeyRouter::kFontDown, 20},
    };
    for (const Case& c : cases) {
        calc.device = c.device;
        calc.baseFontSize = c.from;
        press({c.key});
        EXPECT_EQ(calc.baseFontSize, c.to) << "device " << c.device << " from " << c.from;
    }
}

TEST_F(Keys, ScreensRouteTheEditingKeys)
{
    Posted posted(bus, {VQDoEnter, VQEnter, VQSolve});
    // The graph: ENTER moves down and evaluates nothing.
    calc.setCurrentScreen(8);
    entry->forceOps({kOne, kPlus, kTwo});
    entry->cursorSetIndex(1);
    press({kEnter});
    settle();
    EXPECT_EQ(entry->entryCursor(), 3);
    EXPECT_EQ(calc.ans.r(), 0);
    // The table: VQDoEnter, then the line is evaluated; a result there adds no item. The
    // graph's line is the home line, which waits aside: the table's is typed there.
    calc.setCurrentScreen(5);
    ASSERT_TRUE(calc.homeLineAside());
    EXPECT_EQ(calc.homeLineAside()->first, (std::vector<std::uint32_t>{kOne, kPlus, kTwo}));
    entry->forceOps({kOne, kPlus, kTwo});
    press({kEnter});
    settle();
    EXPECT_EQ(posted.names(), (std::vector<std::string>{"VQDoEnter", "VQEnter"}));
    EXPECT_EQ(calc.ans.r(), 3);
    EXPECT_TRUE(history->history().empty());
    // Leaving a field screen with text on its line enters that text: each screen below
    // starts from a line of its own.
    entry->clear();
    // The list editor: Home and End do nothing, Left and Right move.
    calc.setCurrentScreen(4);
    entry->forceOps({kOne, kPlus, kTwo});
    entry->cursorSetIndex(1);
    press({KeyRouter::kHome, KeyRouter::kEnd});
    EXPECT_EQ(entry->entryCursor(), 1);
    press({KeyRouter::kLeft});
    EXPECT_EQ(entry->entryCursor(), 0);
    entry->clear();
    // The geometry app commits its field itself: ENTER is its request, nothing is evaluated.
    calc.setCurrentScreen(16);
    entry->forceOps({kOne, kPlus, kOne});
    press({kEnter});
    settle();
    EXPECT_EQ(posted.names(), (std::vector<std::string>{"VQDoEnter", "VQEnter", "VQEnter"}));
    EXPECT_EQ(calc.ans.r(), 3);
    entry->clear();
    // The solver takes SOLVE as a request; the home screen types it.
    calc.setCurrentScreen(10);
    press({kSolveOp});
    EXPECT_EQ(posted.count(VQSolve), 1);
    calc.setCurrentScreen(0);
    entry->clearAll();
    press({kSolveOp, 0x26, 0xEF30});
    EXPECT_EQ(entry->entryOps(), (Ops{kSolveOp, 0xEF30})) << "0x26 is never typed";
    calc.setCurrentScreen(3);
    press({0xEF30});
    EXPECT_EQ(entry->entryOps().size(), 2u) << "0xEF30 is typed on the home screen only";
    // (Leaving the matrix editor enters its line.)
    calc.setCurrentScreen(9);
    entry->forceOps({kOne});
    press({kOne});
    EXPECT_EQ(entry->entryOps().size(), 1u) << "the stat plot screen has no editor";
}

TEST_F(Keys, MathPrintHistorySelectionTakesEnterDeleteAndArrows)
{
    calc.locked()->mathPrint = true;
    enter("2+3");
    ASSERT_EQ(history->history().size(), 1u);
    Posted posted(bus, {VQCursorLeft, VQCursorRight});
    history->setSelectedEntry(0);
    history->setSelectedKind(HistoryModel::kInput);
    press({KeyRouter::kLeft, KeyRouter::kRight});
    EXPECT_EQ(posted.names(), (std::vector<std::string>{"VQCursorLeft", "VQCursorRight"}));
    EXPECT_TRUE(entry->entryOps().empty());
    // ENTER pastes the input and evaluates nothing.
    press({kEnter});
    settle();
    EXPECT_EQ(entry->entryOps(), (Ops{kTwo, kPlus, 0x33}));
    EXPECT_EQ(history->history().size(), 1u);
    history->setSelectedEntry(0);
    press({KeyRouter::kDel});
    EXPECT_TRUE(history->history().empty());
}

TEST_F(Keys, TheYEqualsScreenEditsItsEquation)
{
    auto yEq = std::make_shared<EditingYEq>(calc.parser());
    calc.yEqManager = yEq;
    calc.setCurrentScreen(1);
    struct Case {
        bool mathPrint;
        std::optional<Ops> line;
        std::uint32_t key;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {true, Ops{kOne}, kA, {"pretty add 65"}},
        {false, Ops{kOne}, kA, {"add 65"}},
        {true, Ops{kOne}, KeyRouter::kDel, {"pretty delete"}},
        {false, Ops{kOne}, KeyRouter::kDel, {"delete"}},
        {true, Ops{kOne}, KeyRouter::kLeft, {"pretty left"}},
        {true, Ops{kOne}, KeyRouter::kDown, {"down"}},   // no line below: the next equation
        {true, std::nullopt, KeyRouter::kDown, {"down"}},
        {true, Ops{}, KeyRouter::kUp, {"up"}},
        {true, Ops{kOne}, kEnter, {"enter"}},
        {true, Ops{kOne}, KeyRouter::kUndo, {"undo"}},
    };
    for (const Case& c : cases) {
        calc.locked()->mathPrint = c.mathPrint;
        yEq->line = c.line;
        yEq->calls.clear();
        press({c.key});
        EXPECT_EQ(yEq->calls, c.calls) << "key " << c.key << (c.mathPrint ? " in MathPrint" : "");
    }
    // An absent equation is not laid out for Down: the printer keeps the entry line.
    calc.prettyPrint->setMutableOps({kTwo}, 0, 0, 20);
    yEq->line.reset();
    press({KeyRouter::kDown});
    EXPECT_EQ(calc.prettyPrint->inputOps(), Ops{kTwo});
}

} // namespace
} // namespace orvenda::test
