// Through orvenda-drive: the computer keyboard's command chords on every screen that types
// in a field. A chord that goes to a screen (Ctrl+G GRAPH, Ctrl+Y Y=, ...) goes there as it
// does from the home screen; a menu's chord opens its menu or does nothing where the screen
// covers the keyboard; no chord of the keyboard types its key's token into the field. Where
// the compact keypad has the keys (the graph's sheet, the statistics tests, geometry) the
// chords it has commands of are its own: Ctrl+G types log(, Ctrl+S sin(.

#include "DriveSession.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvenda::test {
namespace {

using nlohmann::json;

struct FieldScreen {
    const char* name;
    // Once, before the first chord.
    std::string setup;
    // Brings the screen with its field ready to type in.
    std::string open;
    int id;
    // What is typed in its field.
    const char* text = "3";
    // The compact keypad takes the keys.
    bool keypad = false;
};

// The field screens, each with a way to it.
const FieldScreen kScreens[] = {
    {"matrix", "", "open 3\nwait idle\n", 3},
    {"lists", "", "open 4\nwait idle\n", 4},
    {"table", "type \"X\"->Y₁:IndpntAsk\nkey ENTER\nwait idle\n", "open 5\nwait idle\n", 5},
    {"tblset", "", "open 6\nwait idle\n", 6},
    {"window", "", "open 7\nwait idle\n", 7},
    {"graph's sheet", "type \"X²\"->Y₁\nkey ENTER\nwait idle\n",
        "key GRAPH\nwait idle\nkey 0x403\nwait idle\npress Calc\nwait still\n", 8, "3", true},
    {"solver", "", "open 10\nwait idle\n", 10},
    {"tvm", "", "open 12\nwait idle\n", 12},
    {"chemistry", "", "open 14\nwait idle\n", 14, "H2O"},
    {"stat tests", "", "open 15\nwait idle\n", 15, "3", true},
    {"geometry", "", "open 16\nwait idle\n", 16, "3", true},
    {"polynomial", "", "open 20\nwait idle\n", 20},
    {"simultaneous", "", "open 21\nwait idle\n", 21},
    {"key sets", "", "open 22\nwait idle\n", 22},
    {"stat wizard", "", "open 23\nwait idle\n", 23},
};

struct Chord {
    const char* keys;
    // The screen it brings, or -1 for a menu's chord (its menu or nothing).
    int goesTo;
    // What the compact keypad types on it, if it has a command of it.
    const char* keypadTypes = nullptr;
};

// The keyboard's chords: the screens' and a few menus' whose letters the compact keypad
// also knows (sin, cos, ln, log).
const Chord kChords[] = {
    {"Ctrl+G", 8, "log("}, {"Ctrl+Y", 1}, {"Ctrl+Shift+G", 7, "₁₀^("}, {"Ctrl+T", 5, "tan("},
    {"Ctrl+Shift+T", 6, "tan⁻¹("}, {"Ctrl+Q", 0}, {"Ctrl+H", 0}, {"Ctrl+S", -1, "sin("}, {"Ctrl+C", -1, "cos("},
    {"Ctrl+L", -1, "ln("}, {"Ctrl+M", -1},
};

// The overlays a menu's chord may bring over the screen: a menu or the catalogue.
bool menuOverlay(int id) { return id == 101 || id == 102; }

class FieldChordsDrive : public ::testing::TestWithParam<FieldScreen> {};

TEST_P(FieldChordsDrive, EveryChordDoesItsCommandAndNeverTypesAToken)
{
    const FieldScreen& screen = GetParam();
    const std::string quit = "key 2ND\nkey MODE\nwait idle\n";
    std::string script = screen.setup;
    // CLEAR first: a screen left with its line keeps it for its next showing (the graph's
    // sheet opens empty, and CLEAR there leaves the graph).
    const std::string clear = screen.id == 8 ? "" : "key CLEAR\n";
    // The keypad's token is cleared again before Escape enters the line.
    for (const Chord& chord : kChords)
        script += screen.open + clear + "type " + screen.text + "\nwait idle\ndump\nhkey " + chord.keys
            + "\nwait idle\nwait still\ndump\n" + (screen.keypad && chord.keypadTypes ? "hkey Shift+Backspace\n" : "")
            + "hkey Escape\nwait idle\n" + quit + quit;
    const DriveRun run = driveScript(script, "", 300);
    ASSERT_TRUE(endedWithDumps(run, 2 * std::size(kChords)));
    for (std::size_t k = 0; k < std::size(kChords); ++k) {
        const Chord& chord = kChords[k];
        const json& before = run.dumps[2 * k];
        const json& after = run.dumps[2 * k + 1];
        const std::string where = std::string(screen.name) + " " + chord.keys;
        ASSERT_EQ(before["top"]["id"], screen.id) << where;
        ASSERT_EQ(before["entry"], screen.text) << where;
        EXPECT_EQ(after["alerts"], json::array()) << where;
        const int front = after["top"]["id"];
        if (screen.keypad && chord.keypadTypes) {
            EXPECT_EQ(front, screen.id) << where;
            EXPECT_EQ(after["entry"], std::string(screen.text) + chord.keypadTypes) << where;
            continue;
        }
        // A screen's own chord shows it again (its field entered); GRAPH on the graph keeps
        // its sheet.
        if (chord.goesTo >= 0 && chord.goesTo != screen.id) {
            EXPECT_EQ(front, chord.goesTo) << where;
        } else {
            EXPECT_TRUE(front == screen.id || menuOverlay(front)) << where << " " << after["top"];
        }
        // The field's text as typed, or entered as the screen (or the menu over the home
        // screen) came: never a token more.
        if (front == screen.id || menuOverlay(front)) {
            EXPECT_TRUE(after["entry"] == screen.text || after["entry"] == "") << where << " " << after["entry"];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, FieldChordsDrive, ::testing::ValuesIn(kScreens),
    [](const ::testing::TestParamInfo<FieldScreen>& info) { return testName(info.param.name); });

} // namespace
} // namespace orvenda::test
