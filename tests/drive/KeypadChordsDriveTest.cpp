// Through orvenda-drive: the compact keypad's own hardware commands on every screen that
// gives it the computer's keys (the graph's calculate sheet, a slider's form and a
// program's input field, the statistics tests, geometry). Each chord does what its key on
// the keypad does, tapped where it is drawn; its letters are the keypad's even where the
// keyboard gives them another command (Ctrl+G is log( there, not GRAPH), and nothing comes
// over the keypad.

#include "DriveSession.h"

#include <QImage>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace orvenda::test {
namespace {

using nlohmann::json;

// The keypad's keys by their place, in reading order; on the 2nd layer where marked.
enum Tag { kSecond = 0, kDel = 1, kLeft = 5, kRight = 10, kUp = 15, kDown = 20, kEnter = 24 };

struct Key {
    int tag;
    bool second = false;
};

struct Command {
    const char* chord;
    // The keys on the keypad that do the same.
    std::vector<Key> keys;
    // What the field's line shows after "12", LEFT, the command and "3", where the command
    // types or edits; for a token, the text it shows in place of the 2.
    const char* line = nullptr;
    bool token = false;
};

// Every command of the keypad, Return and Escape last: they may end the form.
const std::vector<Command> kCommands = {
    {"Ctrl+I", {{1, true}}, "132"},
    {"Ctrl+S", {{2, true}}, "sin(", true}, {"Ctrl+Shift+S", {{7, true}}, "sin⁻¹(", true},
    {"Ctrl+C", {{3, true}}, "cos(", true}, {"Ctrl+Shift+C", {{8, true}}, "cos⁻¹(", true},
    {"Ctrl+T", {{4, true}}, "tan(", true}, {"Ctrl+Shift+T", {{9, true}}, "tan⁻¹(", true},
    {"Ctrl+L", {{22, true}}, "ln(", true}, {"Ctrl+Shift+L", {{21, true}}, "e^(", true},
    {"Ctrl+G", {{17, true}}, "log(", true}, {"Ctrl+Shift+G", {{16, true}}, "₁₀^(", true},
    {"Ctrl+E", {{19, true}}, "ᴱ", true},
    {"Down", {{kDown}}}, {"Up", {{kUp}}}, {"Left", {{kLeft}}, "32"}, {"Right", {{kRight}}, "123"},
    {"0", {{21}}, "103"}, {"1", {{16}}, "113"}, {"2", {{17}}, "123"}, {"3", {{18}}, "133"}, {"4", {{11}}, "143"},
    {"5", {{12}}, "153"}, {"6", {{13}}, "163"}, {"7", {{6}}, "173"}, {"8", {{7}}, "183"}, {"9", {{8}}, "193"},
    {"(", {{2}}, "(", true}, {")", {{3}}, ")", true}, {"+", {{19}}, "+", true}, {"-", {{14}}, "—", true},
    {"*", {{9}}, "*", true}, {"/", {{4}}, "/", true}, {".", {{22}}, ".", true}, {"^", {{12, true}}, "^", true},
    {"Backspace", {{kLeft}, {kDel}}, "3"}, {"Shift+Backspace", {{kEnter, true}}, "3"},
    {"Alt+-", {{23}}, "-", true}, {"Alt+V", {{13, true}}, "√(", true}, {"Alt+2", {{11, true}}, "²", true},
    {"Alt+Shift+-", {{6, true}}, "⁻¹", true}, {"Alt+P", {{18, true}}, "π", true},
    {"Shift+Return", {{kEnter, true}}, "3"},
    {"Return", {{kEnter}}},
    {"Escape", {}},
};

struct Screen {
    const char* name;
    std::string setup;
    // From the home screen to the keypad in front.
    std::string open;
    // Where the keypad and the done control lie in a dump.
    const char* part;
    // LEFT and RIGHT move along the line (geometry's leave a field at its ends).
    bool arrowsOnLine = true;
};

const std::string kTraced = "key GRAPH\nwait idle\nkey 0x403\nwait idle\n";
// Y₁=AX² with A=2, and a program whose input field (at 10, 240 on the graph, which starts
// at the window's corner) asks for B.
const std::string kSetup = "program PF\n0->B\nFnOff \nInputField(10,240,100,B,\"P\")\nDispGraph\nStop\nLbl P\nDisp 2B\nend\n"
                           "type 2->A\nkey ENTER\nwait idle\ntype \"AX²\"->Y₁\nkey ENTER\nwait idle\n";

const Screen kScreens[] = {
    {"calculate", kSetup, kTraced + "press Calc\nwait still\n", "calcSheet"},
    {"slider", kSetup, kTraced + "press A\nwait idle\npress 2\nwait still\n", "calcSheet"},
    {"input field", kSetup, "type prgmPF\nkey ENTER\nwait idle\ntap 60 257\nwait still\n", "calcSheet"},
    {"stat tests", "", "open 15\nwait idle\n", "statTest"},
    {"geometry", "", "open 16\nwait idle\n", "geometry", false},
};

void PrintTo(const Screen& screen, std::ostream* out) { *out << screen.name; }

std::string tapAt(double x, double y)
{
    return "tap " + std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y)) + "\nwait idle\n";
}

// A tap on a keypad key, where the keypad lays it out: a 64 by 36 grid scaled to its width,
// 3 points down on a phone.
std::string tapKey(const json& keypad, int tag)
{
    const double s = keypad[2].get<double>() / 320;
    const int row = tag / 5, column = tag % 5;
    return tapAt(keypad[0].get<double>() + column * 64 * s + 1 + 31 * s, keypad[1].get<double>() + row * 36 * s + 3 + 17 * s);
}

std::string tapKeys(const json& keypad, const std::vector<Key>& keys)
{
    std::string out;
    for (const Key& key : keys)
        out += (key.second ? tapKey(keypad, kSecond) : "") + tapKey(keypad, key.tag);
    return out;
}

std::string tapDone(const json& done) { return tapAt(done[0].get<int>() + done[2].get<int>() / 2, done[1].get<int>() + done[3].get<int>() / 2); }

// What the two runs are compared on: the dump without what only tells where things lie.
json compared(json dump)
{
    for (const char* part : {"calcSheet", "statTest", "geometry"})
        if (dump.contains(part))
            for (const char* where : {"keypad", "done"})
                dump[part].erase(where);
    return dump;
}

class KeypadChordsDrive : public ::testing::TestWithParam<Screen> {};

// Each command of the keypad after "12" and LEFT, then "3": the chord run and the taps run
// side by side give the same dumps, command after command; and the line shows what the
// command types.
TEST_P(KeypadChordsDrive, EveryCommandDoesWhatItsKeyDoes)
{
    const Screen& screen = GetParam();
    const DriveRun first = driveScript(screen.setup + screen.open + "dump\n", "", 120);
    ASSERT_TRUE(endedWithDumps(first, 1));
    const json& part = first.dumps[0][screen.part];
    ASSERT_TRUE(part.is_object() && part["keypad"].is_array()) << screen.name << " " << first.dumps[0]["top"];
    const json keypad = part["keypad"], done = part["done"];
    const std::vector<Command>& all = kCommands;
    ASSERT_EQ(all.size(), 44u);
    std::string byChord = screen.setup + screen.open, byTaps = byChord;
    const std::vector<Key> startLine{{16}, {kEnter, true}, {16}, {17}, {kLeft}};
    for (const Command& c : all) {
        const std::string start = tapKeys(keypad, startLine);
        const bool escape = std::string(c.chord) == "Escape";
        byChord += start + "hkey " + c.chord + "\nwait idle\nwait still\n";
        byTaps += start + (escape ? tapDone(done) + "wait still\n" : tapKeys(keypad, c.keys));
        if (!escape) {
            byChord += tapKey(keypad, 18);
            byTaps += tapKey(keypad, 18);
        }
        byChord += "dump\n";
        byTaps += "dump\n";
    }
    const std::vector<DriveRun> runs = driveScriptsAtOnce({byChord, byTaps}, "", 300);
    ASSERT_TRUE(endedWithDumps(runs[0], all.size())) << screen.name;
    ASSERT_TRUE(endedWithDumps(runs[1], all.size())) << screen.name;
    for (std::size_t k = 0; k < all.size(); ++k) {
        const Command& c = all[k];
        const json& chord = runs[0].dumps[k];
        const std::string where = std::string(screen.name) + " " + c.chord;
        ASSERT_EQ(compared(chord), compared(runs[1].dumps[k])) << where;
        if (c.line && c.token) {
            EXPECT_EQ(chord["entry"], std::string("1") + c.line + "3") << where;
        } else if (const bool arrow = c.keys.size() == 1 && (c.keys[0].tag == kLeft || c.keys[0].tag == kRight);
                   c.line && (screen.arrowsOnLine || !arrow)) {
            EXPECT_EQ(chord["entry"], c.line) << where;
        }
    }
    // Escape is done: the form or screen is gone.
    EXPECT_FALSE(runs[0].dumps.back().contains(screen.part)) << screen.name << " " << runs[0].dumps.back()["top"];
}

INSTANTIATE_TEST_SUITE_P(Screens, KeypadChordsDrive, ::testing::ValuesIn(kScreens),
    [](const ::testing::TestParamInfo<Screen>& info) { return testName(info.param.name); });

// Ctrl+G on the calculate sheet, upright and turned: log( typed, and nothing comes over
// the keypad (its picture as before the chord; a click on 4 types 4). Ctrl+Z, the graph's
// zoom menu without a sheet, undoes on the sheet's line as on the other keypads' screens,
// and no menu comes over the keypad either.
TEST(KeypadChordsDriveSheet, CtrlGTypesLogAndLeavesTheKeypadUncovered)
{
    for (const char* shape : {"390x844", "844x390"}) {
        const std::string open = "type \"X²\"->Y₁\nkey ENTER\nwait idle\n" + kTraced + "press Calc\nwait still\n";
        const DriveRun first = driveScript(open + "dump\n", std::string("--size ") + shape, 120);
        ASSERT_TRUE(endedWithDumps(first, 1)) << shape;
        const json keypad = first.dumps[0]["calcSheet"]["keypad"];
        ASSERT_TRUE(keypad.is_array()) << shape;
        const std::filesystem::path before = driveScratch(std::string("sheet-before-") + shape + ".png"),
                                    after = driveScratch(std::string("sheet-after-") + shape + ".png"),
                                    undone = driveScratch(std::string("sheet-undone-") + shape + ".png");
        const DriveRun run = driveScript(open + "shot " + before.string() + "\nhkey Ctrl+G\nwait idle\nwait still\ndump\nshot "
                                             + after.string() + "\n" + tapKey(keypad, 11) + "dump\nhkey Ctrl+Z\nwait idle\nwait still\ndump\nshot "
                                             + undone.string() + "\n",
                                         std::string("--size ") + shape, 120);
        ASSERT_TRUE(endedWithDumps(run, 3)) << shape;
        EXPECT_EQ(run.dumps[0]["entry"], "log(") << shape;
        EXPECT_EQ(run.dumps[0]["top"]["id"], 8) << shape;
        EXPECT_EQ(run.dumps[1]["entry"], "log(4") << shape;
        EXPECT_EQ(run.dumps[2]["entry"], "log(") << shape << ": Ctrl+Z";
        EXPECT_TRUE(run.dumps[2]["calcSheet"].is_object()) << shape << ": Ctrl+Z";
        const QImage a(QString::fromStdString(before.string()));
        ASSERT_FALSE(a.isNull()) << shape;
        const QRect pad(keypad[0], keypad[1], keypad[2], keypad[3]);
        for (const auto& [chord, path] : {std::pair{"Ctrl+G", after}, std::pair{"Ctrl+Z", undone}}) {
            const QImage b(QString::fromStdString(path.string()));
            ASSERT_FALSE(b.isNull()) << shape;
            int differ = 0;
            for (int y = pad.top(); y <= pad.bottom(); ++y)
                for (int x = pad.left(); x <= pad.right(); ++x)
                    differ += a.pixel(x, y) != b.pixel(x, y);
            EXPECT_EQ(differ, 0) << shape << ": the keypad's picture changed under " << chord;
        }
    }
}

} // namespace
} // namespace orvenda::test
