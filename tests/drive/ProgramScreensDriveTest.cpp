// The program output screen through orvenda-drive as a user meets it: Disp, Prompt,
// Menu(, Pause and getKey in the dump and in the window's picture, and QUIT leaving it.

#include "DriveSession.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace orvenda::test {
namespace {

using nlohmann::json;

// Pixels of the line's cells that stand out from the display behind them.
int inkOnLine(const QImage& image, const json& grid, int line, int fromColumn = 0, int columns = 32)
{
    const double x = grid[0].get<double>(), y = grid[1].get<double>(), w = grid[2].get<double>();
    const double leading = grid[4].get<double>();
    const double cell = grid[5].get<double>();
    const QColor back = image.pixelColor(static_cast<int>(x + w - 2), static_cast<int>(y + 9.5 * leading));
    int ink = 0;
    for (int py = static_cast<int>(y + 3 + line * leading); py < static_cast<int>(y + 2 + (line + 1) * leading); ++py)
        for (int px = static_cast<int>(x + 4 + fromColumn * cell); px < static_cast<int>(x + 4 + (fromColumn + columns) * cell);
             ++px) {
            const QColor c = image.pixelColor(px, py);
            ink += std::abs(c.red() - back.red()) + std::abs(c.green() - back.green()) + std::abs(c.blue() - back.blue())
                > 200;
        }
    return ink;
}

QImage load(const std::filesystem::path& png) { return QImage(QString::fromStdString(png.string())); }

class ProgramScreensDrive : public ::testing::TestWithParam<const char*> {};

// Disp, then Prompt: the question is on the output screen, in the picture, and the typed
// answer stands after it; the program's next Disp goes below.
TEST_P(ProgramScreensDrive, APromptIsAskedOnTheOutputScreen)
{
    const auto asked = driveScratch(std::string("asked-") + GetParam() + ".png");
    const DriveRun run = driveScript("program ASK\nDisp 5\nPrompt A\nDisp A*2\nend\n"
                                     "type prgmASK\nkey ENTER\nwait idle\nblink\nblink\ndump\nshot "
                                         + asked.string() + "\ntype 21\ndump\nkey ENTER\nwait idle\ndump\n",
                                     std::string("--device ") + GetParam());
    ASSERT_TRUE(endedWithDumps(run, 3));
    const json& waiting = run.dumps[0];
    EXPECT_EQ(waiting["screen"], 11);
    EXPECT_EQ(waiting["output"], json::array({"5", "A=?"}));
    ASSERT_TRUE(waiting["programOutput"].is_object());
    EXPECT_EQ(waiting["programOutput"]["program"], "ASK");
    EXPECT_EQ(waiting["programOutput"]["visible"], true);
    EXPECT_EQ(waiting["programOutput"]["cursor"], json::array({3, 1}));
    const QImage picture = load(asked);
    ASSERT_FALSE(picture.isNull());
    const json& grid = waiting["programOutput"]["grid"];
    EXPECT_GT(inkOnLine(picture, grid, 0, 30, 2), 10);
    EXPECT_EQ(inkOnLine(picture, grid, 0, 0, 20), 0);
    EXPECT_GT(inkOnLine(picture, grid, 1, 0, 3), 20);
    EXPECT_EQ(inkOnLine(picture, grid, 5), 0);
    EXPECT_EQ(run.dumps[1]["programOutput"]["lines"][1], "A=?21");
    EXPECT_EQ(run.dumps[2]["output"], json::array({"5", "A=?21", "42", "Done"}));
    EXPECT_EQ(run.dumps[2]["screen"], 0);
}

// When the program ends, the history keeps its output screen line for line and column
// for column: what the screen showed while paused, then "Done" ending in the last column.
TEST_P(ProgramScreensDrive, TheHistoryKeepsTheOutputScreenAsItShowedIt)
{
    const DriveRun run = driveScript("program OUT\nDisp 5\nDisp \"HELLO\"\nOutput(5,28,\"X\")\nPause\nend\n"
                                     "type prgmOUT\nkey ENTER\nwait idle\ndump\nkey ENTER\nwait idle\ndump\n",
                                     std::string("--device ") + GetParam());
    ASSERT_TRUE(endedWithDumps(run, 2));
    const json& paused = run.dumps[0]["programOutput"];
    ASSERT_TRUE(paused.is_object()) << run.dumps[0].dump();
    const auto padded = [](std::string line) { return line + std::string(32 - std::min<std::size_t>(32, line.size()), ' '); };
    EXPECT_EQ(paused["lines"][0], padded("").replace(31, 1, "5"));
    EXPECT_EQ(paused["lines"][4], padded("").replace(27, 1, "X").substr(0, 28));
    std::string screen;
    for (int n = 0; n < 5; ++n)
        screen += padded(paused["lines"][n].get<std::string>()) + "\n";
    // Pause's ENTER ends the program on the line below the cursor's: the third.
    screen.replace(2 * 33, 32, padded("").replace(28, 4, "Done"));
    screen.pop_back();
    const json& history = run.dumps[1]["history"];
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0]["input"], "prgm»OUT");
    EXPECT_EQ(history[0]["answer"], screen);
}

INSTANTIATE_TEST_SUITE_P(Devices, ProgramScreensDrive, ::testing::Values("phone", "tablet"));

// A glyph's ink in the window's picture: its columns and rows.
struct Glyph {
    int left = 0, right = 0, top = 0, bottom = 0;
};

// The home display's dark ink above the keyboard (its top given), band by band from the
// top: each band of inked rows as its glyphs from the left (columns of ink side by side).
// The display is where the picture shows the LCD's yellowish grey.
std::vector<std::vector<Glyph>> homeInk(const QImage& image, int keyboardTop)
{
    const auto lcd = [](QRgb c) { return qRed(c) > 100 && std::abs(qRed(c) - qGreen(c)) < 5 && qBlue(c) < qRed(c) - 8; };
    int from = image.width(), to = 0;
    for (int y = 0; y < keyboardTop; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (lcd(image.pixel(x, y))) {
                from = std::min(from, x + 4);
                to = std::max(to, x - 4);
            }
    const auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 80; };
    const auto inked = [&](int y) {
        for (int x = from; x <= to; ++x)
            if (dark(x, y))
                return true;
        return false;
    };
    std::vector<std::vector<Glyph>> bands;
    for (int y = 0; y < keyboardTop; ++y) {
        if (!inked(y))
            continue;
        int end = y;
        while (end + 1 < keyboardTop && inked(end + 1))
            ++end;
        std::vector<Glyph> glyphs;
        for (int x = from; x <= to; ++x) {
            int top = -1, bottom = -1;
            for (int row = y; row <= end; ++row)
                if (dark(x, row)) {
                    top = top < 0 ? row : top;
                    bottom = row;
                }
            if (top < 0)
                continue;
            if (!glyphs.empty() && glyphs.back().right == x - 1)
                glyphs.back() = {glyphs.back().left, x, std::min(glyphs.back().top, top), std::max(glyphs.back().bottom, bottom)};
            else
                glyphs.push_back({x, x, top, bottom});
        }
        bands.push_back(std::move(glyphs));
        y = end;
    }
    return bands;
}

// A program's item in the MathPrint history, "Q=7" then 14 and Done, is drawn in one font
// at every window size, narrow ones too where its 32 columns are drawn smaller than the
// input: the 7 of the question is as tall as the 14 and the D of Done, and each line stands
// as far below the input's top as at the phone's full width.
TEST(ProgramScreensDrive, AProgramsHistoryItemIsOneFontAtEverySize)
{
    std::vector<int> baselines;
    for (const char* size : {"390x844", "844x390", "320x390"}) {
        SCOPED_TRACE(size);
        const auto shot = driveScratch(std::string("item-") + size + ".png");
        const DriveRun run = driveScript("program QQ\nInput \"Q=\",Q\nDisp 2Q\nend\ntype prgmQQ\nkey ENTER\nwait idle\n"
                                         "type 7\nkey ENTER\nwait idle\nshot " + shot.string() + "\ndump\n",
                                         std::string("--size ") + size);
        ASSERT_TRUE(endedWithDumps(run, 1));
        ASSERT_EQ(run.dumps[0]["output"], json::array({"Q=7", "14", "Done"}));
        const auto bands = homeInk(load(shot), run.dumps[0]["keyboard"]["rect"][1].get<int>());
        // The input, the three lines and the cursor.
        ASSERT_EQ(bands.size(), 5u);
        const Glyph seven = bands[1].back(), fourteen = bands[2].front(), done = bands[3].front();
        EXPECT_EQ(seven.bottom - seven.top, fourteen.bottom - fourteen.top);
        EXPECT_EQ(done.bottom - done.top, fourteen.bottom - fourteen.top);
        const int input = bands[0].front().top;
        EXPECT_EQ(fourteen.bottom - seven.bottom, done.bottom - fourteen.bottom) << "rows evenly apart";
        baselines.push_back(fourteen.bottom - input);
    }
    EXPECT_EQ(baselines[1], baselines[0]);
    EXPECT_EQ(baselines[2], baselines[0]);
}

// Menu( covers the screen with its title and items; ↓ and ENTER choose, the screen comes
// back and the chosen label's Disp follows.
TEST(ProgramScreensDrive, AMenuShowsAndEnterChooses)
{
    const auto shown = driveScratch("menu.png");
    const DriveRun run = driveScript("program M\nDisp 1\nMenu(\"PICK\",\"ONE\",A,\"TWO\",B)\nLbl A\nDisp 10\nStop\n"
                                     "Lbl B\nDisp 20\nend\n"
                                     "type prgmM\nkey ENTER\nwait idle\ndump\nshot " + shown.string()
                                     + "\nkey DOWN\ndump\nkey ENTER\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 3));
    EXPECT_EQ(run.dumps[0]["output"], json::array({"PICK", "1:ONE", "2:TWO"}));
    EXPECT_EQ(run.dumps[0]["programOutput"]["menu"], true);
    EXPECT_EQ(run.dumps[0]["programOutput"]["cursor"], json::array({0, 1}));
    const QImage picture = load(shown);
    const json& grid = run.dumps[0]["programOutput"]["grid"];
    EXPECT_GT(inkOnLine(picture, grid, 0, 0, 4), 20);
    // The chosen item's number is reversed: far more ink than the other's.
    EXPECT_GT(inkOnLine(picture, grid, 1, 0, 2), 2 * inkOnLine(picture, grid, 2, 0, 2));
    EXPECT_EQ(run.dumps[1]["programOutput"]["cursor"], json::array({0, 2}));
    EXPECT_EQ(run.dumps[2]["error"], 0);
    EXPECT_EQ(run.dumps[2]["output"], json::array({"1", "20", "Done"}));
}

// Pause shows its value and waits with the output screen in front; ENTER goes on.
TEST(ProgramScreensDrive, PauseShowsItsValueAndEnterGoesOn)
{
    const auto paused = driveScratch("paused.png");
    const DriveRun run = driveScript("program PS\nDisp 3\nPause 7\nDisp 9\nend\n"
                                     "type prgmPS\nkey ENTER\nwait idle\nblink\nblink\ndump\nshot " + paused.string()
                                     + "\nkey ENTER\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 2));
    EXPECT_EQ(run.dumps[0]["screen"], 11);
    EXPECT_EQ(run.dumps[0]["programOutput"]["paused"], true);
    EXPECT_EQ(run.dumps[0]["output"], json::array({"3", "7"}));
    EXPECT_EQ(run.dumps[0]["alerts"], json::array());
    const QImage picture = load(paused);
    const json& grid = run.dumps[0]["programOutput"]["grid"];
    EXPECT_GT(inkOnLine(picture, grid, 1, 30, 2), 10);
    EXPECT_EQ(run.dumps[1]["output"], json::array({"3", "7", "9", "Done"}));
    EXPECT_EQ(run.dumps[1]["screen"], 0);
}

// A program whose last statement is Pause ends with "Done" once ENTER goes on, and its
// entry does not stay on the line to run again.
TEST(ProgramScreensDrive, APauseAtTheEndEndsWithDone)
{
    const DriveRun run = driveScript("program PZ\nDisp 1\nPause\nend\n"
                                     "type prgmPZ\nkey ENTER\nwait idle\ndump\nkey ENTER\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 2));
    EXPECT_EQ(run.dumps[0]["screen"], 11);
    EXPECT_EQ(run.dumps[1]["output"], json::array({"1", "Done"}));
    EXPECT_EQ(run.dumps[1]["error"], 0);
    EXPECT_EQ(run.dumps[1]["entry"], "");
    EXPECT_EQ(run.dumps[1]["screen"], 0);
}

// Output( writes over what a line holds and keeps the rest; past column 31 it goes on at
// the start of the next line.
TEST(ProgramScreensDrive, OutputWritesOverTheLineAndWraps)
{
    const DriveRun run = driveScript("program OW\nClrHome:Output(1,1,\"HELLO WORLD\"):Output(1,1,\"AB\")\n"
                                     "Output(2,29,\"ABCDEF\"):Pause\nend\ntype prgmOW\nkey ENTER\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 1));
    ASSERT_TRUE(run.dumps[0]["programOutput"].is_object()) << run.dumps[0];
    const json& lines = run.dumps[0]["programOutput"]["lines"];
    ASSERT_GE(lines.size(), 3u) << lines;
    EXPECT_EQ(lines[0], "ABLLO WORLD");
    EXPECT_EQ(lines[1], std::string(28, ' ') + "ABC");
    EXPECT_EQ(lines[2], "DEF");
}

// getKey reads the key pressed while the program loops.
TEST(ProgramScreensDrive, GetKeyReadsAKeyPressedWhileTheProgramRuns)
{
    const DriveRun run = driveScript("program GK\n0->K\nRepeat K\ngetKey->K\nEnd\nDisp K\nend\n"
                                     "type prgmGK\nkey ENTER\nwait running\nwait screen 11\ndump\nkey 5\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 2));
    EXPECT_EQ(run.dumps[0]["screen"], 11);
    EXPECT_EQ(run.dumps[1]["output"], json::array({"83", "Done"}));
}

// A program waiting for its question, its pause's ENTER or its menu's pick keeps its output in
// front as the home screen: QUIT (2ND MODE, Escape, Ctrl+Q) and the Home key (its key,
// Ctrl+H) leave the question, the pause and the menu as they were, and the answer then ends
// the run with its one item. The Quit button and ON break it.
TEST(ProgramScreensDrive, TheWaitingProgramKeepsItsScreenUntilItIsAnsweredOrBroken)
{
    const std::string programs = "program P\nPrompt A\nDisp A*2\nend\nprogram W\nDisp \"HI\"\nPause \nDisp \"B\"\nend\n"
                                 "program M\nMenu(\"T\",\"ONE\",A,\"TWO\",B)\nLbl A\nDisp 1\nLbl B\nend\n";
    // What waits, the keys typed before the ways home, its output then, the key that goes on
    // and the run's item.
    const std::vector<std::tuple<std::string, std::string, json, std::string, std::string>> waits{
        {"P", "type 4\n", json::array({"A=?4"}), "key ENTER\n", "prgm»P → A=?4/8/Done"},
        {"W", "", json::array({"HI"}), "key ENTER\n", "prgm»W → HI/B/Done"},
        {"M", "", json::array({"T", "1:ONE", "2:TWO"}), "key 1\n", "prgm»M → 1/Done"}};
    const std::vector<std::string> ways{"key 2ND\nkey MODE\n", "hkey Escape\n", "hkey Ctrl+Q\n", "key 0x1015\n", "hkey Ctrl+H\n"};
    std::string script = programs;
    for (const auto& [name, typed, output, goOn, item] : waits) {
        script += "type prgm" + name + "\nkey ENTER\nwait idle\n" + typed;
        for (const std::string& way : ways)
            script += way + "wait idle\ndump\n";
        script += goOn + "wait idle\ndump\n";
    }
    const DriveRun run = driveScript(script);
    ASSERT_TRUE(endedWithDumps(run, waits.size() * (ways.size() + 1)));
    std::size_t at = 0;
    for (const auto& [name, typed, output, goOn, item] : waits) {
        for (const std::string& way : ways) {
            const json& d = run.dumps[at++];
            EXPECT_EQ(d["top"]["id"], 11) << name << " " << way;
            EXPECT_EQ(d["output"], output) << name << " " << way;
            EXPECT_EQ(d["history"].size(), at / (ways.size() + 1)) << name << " " << way;
        }
        EXPECT_EQ(lastItem(run.dumps[at++]), item) << name;
    }

    // The button in the output screen's title band, clicked where it is drawn, and ON.
    const std::string start = "program P\nPrompt A\nend\ntype prgmP\nkey ENTER\nwait idle\n";
    const DriveRun first = driveScript(start + "dump\n");
    ASSERT_EQ(first.dumps.size(), 1u) << first.output;
    const json& grid = first.dumps[0]["programOutput"]["grid"];
    const std::string button = "tap " + std::to_string(grid[0].get<int>() + grid[2].get<int>() - 20) + " "
        + std::to_string(grid[1].get<int>() - 12) + "\n";
    for (const std::string& stop : {button, std::string("key ON\n")}) {
        const DriveRun broken = driveScript(start + stop + "wait idle\nkey ENTER\nwait idle\ndump\n");
        ASSERT_TRUE(endedWithDumps(broken, 1));
        EXPECT_EQ(broken.dumps[0]["screen"], 0) << stop;
        EXPECT_FALSE(broken.dumps[0].contains("programOutput")) << stop;
        EXPECT_EQ(broken.dumps[0]["output"].back(), "User break") << stop;
        EXPECT_EQ(lastItem(broken.dumps[0]), "prgm»P → A=?/User break") << stop;
    }
}

} // namespace
} // namespace orvenda::test

namespace orvenda::test {
namespace {

// As a user would: PRGM ▸ +, name the program, type it on the keyboard in the editor, QUIT,
// run it from the home screen and read 1, 4, 9; open it again, switch to the debugger, set
// a breakpoint on line 2, run to it, step and see I's value. Pictures of the editor, the
// output and the debugger at both sizes.
class ProgramEditorDrive : public ::testing::TestWithParam<const char*> {};

TEST_P(ProgramEditorDrive, AProgramTypedInTheEditorRunsAndIsDebugged)
{
    const std::string device = GetParam();
    const auto editorShot = driveScratch("editor-" + device + ".png");
    const DriveRun made = driveScript("key PRGM\nhkey +\nhkey Shift+W\nhkey Shift+Q\nhkey Return\npress Save\n"
                                      "type For(I,1,3)\nkey ENTER\ntype Disp I²\nkey ENTER\ntype End\nblink\nblink\ndump\n"
                                      "shot " + editorShot.string() + "\nkey 2ND\nkey MODE\ndump\n"
                                      "type prgmWQ\nkey ENTER\nwait idle\ndump\n",
                                      "--device " + device);
    ASSERT_TRUE(endedWithDumps(made, 3));
    const json& editor = made.dumps[0];
    EXPECT_EQ(editor["screen"], 2);
    ASSERT_TRUE(editor["editor"].is_object()) << editor;
    EXPECT_EQ(editor["editor"]["program"], "WQ");
    EXPECT_EQ(editor["editor"]["label"], "Program:WQ");
    EXPECT_EQ(editor["editor"]["lines"], json::array({":For(I,1,3)", " :Disp I²", ":End"}));
    EXPECT_EQ(editor["editor"]["cursor"], json::array({2, 3}));
    // The editor's picture: the text's lines are drawn where the dump says.
    const QImage picture = load(editorShot);
    ASSERT_FALSE(picture.isNull());
    const json& text = editor["editor"]["text"];
    const auto inkIn = [&](int line) {
        int ink = 0;
        const int y0 = text[1].get<int>() + static_cast<int>(line * text[2].get<double>());
        for (int y = y0 + 2; y < y0 + static_cast<int>(text[2].get<double>()) - 2; ++y)
            for (int x = text[0].get<int>() + 40; x < text[0].get<int>() + 120; ++x)
                ink += qGray(picture.pixel(x, y)) < 60;
        return ink;
    };
    EXPECT_GT(inkIn(0), 20);
    EXPECT_GT(inkIn(1), 20);
    EXPECT_EQ(inkIn(5), 0);
    EXPECT_EQ(made.dumps[1]["screen"], 0);
    EXPECT_EQ(made.dumps[2]["output"], json::array({"1", "4", "9", "Done"}));

    // Open it again (EDIT), switch to the debugger, break on line 2, run, step.
    const auto debuggerShot = driveScratch("debugger-" + device + ".png");
    const std::string data = driveScratch("data-" + device).string();
    std::filesystem::remove_all(data);
    const std::string again = "key PRGM\nhkey +\nhkey Shift+W\nhkey Shift+Q\nhkey Return\npress Save\n"
                              "type For(I,1,3)\nkey ENTER\ntype Disp I²\nkey ENTER\ntype End\ndump\n";
    const DriveRun opened = driveScript(again, "--data '" + data + "' --device " + device);
    ASSERT_EQ(opened.dumps.size(), 1u) << opened.output;
    const json& controls = opened.dumps[0]["editor"]["controls"];
    const std::string debugTap = "tap " + std::to_string(controls["debug"][0].get<int>()) + " "
        + std::to_string(controls["debug"][1].get<int>()) + "\n";
    const DriveRun entered = driveScript("key 2ND\nkey MODE\nkey PRGM\nkey RIGHT\nhkey w\nhkey Return\n" + debugTap + "dump\n",
                                         "--data '" + data + "' --device " + device);
    ASSERT_TRUE(endedWithDumps(entered, 1));
    const json& debugging = entered.dumps[0];
    ASSERT_TRUE(debugging.contains("debugger")) << debugging;
    EXPECT_EQ(debugging["debugger"]["label"], "Debug:WQ");
    EXPECT_EQ(debugging["debugger"]["vars"][0].get<std::string>().substr(0, 4), "ANS ");
    const json& dtext = debugging["debugger"]["text"];
    const json& dcontrols = debugging["debugger"]["controls"];
    const auto tapAt = [](const json& point) {
        return "tap " + std::to_string(point[0].get<int>()) + " " + std::to_string(point[1].get<int>()) + "\n";
    };
    const std::string breakTap = "tap " + std::to_string(dtext[0].get<int>() + 3) + " "
        + std::to_string(dtext[1].get<int>() + static_cast<int>(1.5 * dtext[2].get<double>())) + "\n";
    const DriveRun run = driveScript("key 2ND\nkey MODE\nkey PRGM\nkey RIGHT\nhkey w\nhkey Return\n" + debugTap + breakTap
                                         + "dump\n" + tapAt(dcontrols["run"]) + "wait idle\ndump\nshot " + debuggerShot.string()
                                         + "\n" + tapAt(dcontrols["step"]) + "wait idle\ndump\n"
                                         + tapAt(dcontrols["quit"]) + "dump\n",
                                     "--data '" + data + "' --device " + device);
    ASSERT_TRUE(endedWithDumps(run, 4));
    EXPECT_EQ(run.dumps[0]["debugger"]["breaks"], json::array({1})) << run.dumps[0];
    // Run stops at the breakpoint, before Disp, with I = 1.
    const json& stopped = run.dumps[1];
    ASSERT_TRUE(stopped.contains("debugger")) << stopped;
    EXPECT_EQ(stopped["debugger"]["line"], 1);
    const json& vars = stopped["debugger"]["vars"];
    EXPECT_NE(std::find(vars.begin(), vars.end(), "I 1"), vars.end()) << vars;
    const QImage debuggerPicture = load(debuggerShot);
    ASSERT_FALSE(debuggerPicture.isNull());
    // The breakpoint's red mark left of line 2, none left of line 1.
    const auto redIn = [&](int line) {
        int red = 0;
        const double leading = dtext[2].get<double>();
        for (int y = dtext[1].get<int>() + static_cast<int>(line * leading); y < dtext[1].get<int>() + static_cast<int>((line + 1) * leading); ++y)
            for (int x = dtext[0].get<int>(); x < dtext[0].get<int>() + static_cast<int>(dtext[3].get<double>()) - 4; ++x) {
                const QColor c = debuggerPicture.pixelColor(x, y);
                red += c.red() > 180 && c.green() < 90 && c.blue() < 90;
            }
        return red;
    };
    EXPECT_GT(redIn(1), 10);
    EXPECT_EQ(redIn(0), 0);
    // The step shows 1 on the output above the debugger.
    EXPECT_EQ(run.dumps[2]["output"], json::array({"1"})) << run.dumps[2];
    // Quit leaves debug mode for the editor.
    EXPECT_FALSE(run.dumps[3].contains("debugger"));
    EXPECT_EQ(run.dumps[3]["editor"]["debug"], false);
    EXPECT_EQ(run.dumps[3]["screen"], 2);
}

// With the cursor on cos('s bracket the editor's bubble describes cos( over the line, in
// the picture as in the dump; on a digit there is none.
TEST_P(ProgramEditorDrive, TheBubbleDescribesTheFunctionAtTheCursor)
{
    const std::string device = GetParam();
    const auto shot = driveScratch("bubble-" + device + ".png");
    const DriveRun run = driveScript("key PRGM\nhkey +\nhkey Shift+B\nhkey Return\npress Save\n"
                                     "type Disp 1\nkey ENTER\ntype Disp 2\nkey ENTER\ntype Disp cos(3)\n"
                                     "key LEFT\nkey LEFT\nkey LEFT\nshot " + shot.string() + "\ndump\nkey LEFT\nshot "
                                     + shot.string() + ".2.png\ndump\n",
                                     "--device " + device);
    ASSERT_TRUE(endedWithDumps(run, 2));
    const json& bubble = run.dumps[0]["editor"]["bubble"];
    ASSERT_TRUE(bubble.is_object()) << run.dumps[0]["editor"];
    EXPECT_EQ(bubble["text"], "cos(value)");
    const json& text = run.dumps[0]["editor"]["text"];
    // Above the third line, where the cursor is.
    EXPECT_LE(bubble["rect"][1].get<double>() + bubble["rect"][3].get<double>(), text[1].get<double>() + 2 * text[2].get<double>());
    const QImage picture = load(shot);
    ASSERT_FALSE(picture.isNull());
    const QRect box(bubble["rect"][0].get<int>(), bubble["rect"][1].get<int>(), bubble["rect"][2].get<int>(), bubble["rect"][3].get<int>());
    int grey = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            grey += picture.pixel(x, y) == qRgb(204, 204, 204);
    EXPECT_GT(grey, box.width() * box.height() / 4);
    EXPECT_EQ(run.dumps[1]["editor"]["bubble"], nullptr);
}

// Stepping onto Prompt asks the question with the keyboard in reach: where the debugger
// lies over the keyboard it steps aside until the answer (a phone upright, a tablet either
// way), beside it it stays in sight. The calculator's keys type the answer after the
// question; s (or ENTER) answers it, and the debugger is back at the next statement.
TEST_P(ProgramEditorDrive, AStepOntoPromptIsAnsweredOnTheCalculatorsKeys)
{
    const std::string device = GetParam();
    const std::string start = "key PRGM\nhkey +\nhkey Shift+E\nhkey Return\npress Save\ntype Prompt R\nkey ENTER\ntype Disp 2R\n";
    for (const char* size : device == "phone" ? std::vector<const char*>{"390x844", "844x390"}
                                              : std::vector<const char*>{"768x1024", "1024x768"}) {
        const std::string options = "--device " + device + " --size " + size;
        const bool beside = std::string(size) == "844x390";
        const DriveRun first = driveScript(start + "dump\n", options);
        ASSERT_EQ(first.dumps.size(), 1u) << first.output;
        const json& controls = first.dumps[0]["editor"]["controls"];
        const std::string debugTap = "tap " + std::to_string(controls["debug"][0].get<int>()) + " "
            + std::to_string(controls["debug"][1].get<int>()) + "\n";
        for (const char* answer : {"hkey s\n", "key ENTER\n"}) {
            const DriveRun run = driveScript(start + debugTap + "hkey s\nwait idle\ndump\nkey 5\nkey 7\ndump\n" + answer
                                                 + "wait idle\ndump\nhkey s\nwait idle\ndump\n",
                                             options);
            const std::string where = std::string(size) + " " + answer;
            ASSERT_TRUE(endedWithDumps(run, 4)) << where;
            const json& waiting = run.dumps[0];
            EXPECT_EQ(waiting["output"], json::array({"R=?"})) << where;
            ASSERT_TRUE(waiting["keyboard"].is_object()) << where << waiting;
            EXPECT_EQ(waiting["top"]["id"], beside ? 109 : 2) << where;
            // The drawn keys typed the answer after the question, on the screen and in the model.
            EXPECT_EQ(run.dumps[1]["output"], json::array({"R=?57"})) << where;
            EXPECT_EQ(run.dumps[1]["entry"], "57") << where;
            // Answered: the debugger is back at the next statement, with R stored.
            const json& back = run.dumps[2];
            ASSERT_TRUE(back.contains("debugger")) << where << back;
            EXPECT_EQ(back["top"]["id"], 109) << where;
            EXPECT_EQ(back["debugger"]["line"], 1) << where;
            const json& vars = back["debugger"]["vars"];
            EXPECT_NE(std::find(vars.begin(), vars.end(), "R 57"), vars.end()) << where << vars;
            EXPECT_EQ(back["menu"], nullptr) << where;
            EXPECT_EQ(run.dumps[3]["output"], json::array({"R=?57", "114", "Done"})) << where;
        }
    }
}

// Run from the debugger: while the program waits at Pause the keyboard is in front, and the
// dump says so; the program's end brings the debugger back. QUIT while a stepped Prompt
// waits leaves for the home screen, and Escape stays there.
TEST_P(ProgramEditorDrive, TheDumpNamesWhatShowsWhileRunningAndAfterQuit)
{
    const std::string device = GetParam();
    const std::string start = "key PRGM\nhkey +\nhkey Shift+E\nhkey Return\npress Save\ntype Disp 1\nkey ENTER\ntype Pause\nkey ENTER\n"
                              "type Prompt R\n";
    const DriveRun first = driveScript(start + "dump\n", "--device " + device);
    ASSERT_EQ(first.dumps.size(), 1u) << first.output;
    const json& controls = first.dumps[0]["editor"]["controls"];
    const auto tapAt = [](const json& point) {
        return "tap " + std::to_string(point[0].get<int>()) + " " + std::to_string(point[1].get<int>()) + "\n";
    };
    const DriveRun entered = driveScript(start + tapAt(controls["debug"]) + "dump\n", "--device " + device);
    ASSERT_EQ(entered.dumps.size(), 1u) << entered.output;
    ASSERT_TRUE(entered.dumps[0].contains("debugger")) << entered.dumps[0];
    const json& dcontrols = entered.dumps[0]["debugger"]["controls"];
    const DriveRun run = driveScript(start + tapAt(controls["debug"]) + tapAt(dcontrols["run"]) + "wait idle\ndump\n"
                                         + "key ENTER\nwait idle\ndump\n" + "key 2ND\nkey MODE\nwait idle\ndump\n"
                                         + "hkey Escape\nwait idle\ndump\n",
                                     "--device " + device);
    ASSERT_TRUE(endedWithDumps(run, 4));
    // Paused: the editor's output and the keyboard show.
    EXPECT_FALSE(run.dumps[0].contains("debugger")) << run.dumps[0];
    EXPECT_EQ(run.dumps[0]["top"]["id"], 2);
    EXPECT_EQ(run.dumps[0]["output"], json::array({"1"}));
    // ENTER goes on to Prompt, which waits with the keyboard in front too.
    EXPECT_EQ(run.dumps[1]["top"]["id"], 2) << run.dumps[1];
    EXPECT_EQ(run.dumps[1]["output"], json::array({"1", "R=?"}));
    // QUIT: the home screen, named as such; Escape does not bring the editor back.
    EXPECT_EQ(run.dumps[2]["top"]["id"], 0) << run.dumps[2];
    EXPECT_FALSE(run.dumps[2].contains("debugger"));
    EXPECT_EQ(run.dumps[3]["screen"], 0);
    EXPECT_EQ(run.dumps[3]["top"]["id"], 0);
}

INSTANTIATE_TEST_SUITE_P(Devices, ProgramEditorDrive, ::testing::Values("phone", "tablet"));

// The key s steps; Escape leaves the debugger for the editor, and the editor for the home
// screen; the editor's Quit button leaves it too.
TEST(ProgramEditorDrive, EscapeAndQuitLeaveTheDebuggerAndTheEditor)
{
    const std::string start = "key PRGM\nhkey +\nhkey Shift+E\nhkey Return\npress Save\ntype Disp 1\n";
    const DriveRun first = driveScript(start + "dump\n");
    ASSERT_EQ(first.dumps.size(), 1u) << first.output;
    const json& controls = first.dumps[0]["editor"]["controls"];
    const auto tapAt = [](const json& point) {
        return "tap " + std::to_string(point[0].get<int>()) + " " + std::to_string(point[1].get<int>()) + "\n";
    };
    const DriveRun run = driveScript(start + tapAt(controls["debug"]) + "hkey s\nwait idle\ndump\nhkey Escape\ndump\nhkey Escape\ndump\n"
                                     "key PRGM\nkey RIGHT\nhkey e\nhkey Return\ndump\n" + tapAt(controls["quit"]) + "dump\n");
    ASSERT_TRUE(endedWithDumps(run, 5));
    // s stepped the one statement: its Disp is on the output above the debugger, and the
    // program's end after it.
    EXPECT_TRUE(run.dumps[0].contains("debugger"));
    EXPECT_EQ(run.dumps[0]["output"], json::array({"1", "Done"}));
    EXPECT_FALSE(run.dumps[1].contains("debugger"));
    EXPECT_EQ(run.dumps[1]["screen"], 2);
    EXPECT_EQ(run.dumps[1]["editor"]["debug"], false);
    EXPECT_EQ(run.dumps[2]["screen"], 0);
    EXPECT_EQ(run.dumps[3]["screen"], 2);
    EXPECT_EQ(run.dumps[3]["editor"]["lines"], json::array({":Disp 1"}));
    EXPECT_EQ(run.dumps[4]["screen"], 0);
}

} // namespace
} // namespace orvenda::test
