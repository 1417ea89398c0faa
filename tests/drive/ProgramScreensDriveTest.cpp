// The program output screen through orvenda-drive as a user meets it: Disp, Prompt,
// Menu(, Pause and getKey in the dump and in the window's picture, and QUIT leaving it.

#include "DriveSession.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

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
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 3u) << run.output;
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

INSTANTIATE_TEST_SUITE_P(Devices, ProgramScreensDrive, ::testing::Values("phone", "tablet"));

// Menu( covers the screen with its title and items; ↓ and ENTER choose, the screen comes
// back and the chosen label's Disp follows.
TEST(ProgramScreensDrive, AMenuShowsAndEnterChooses)
{
    const auto shown = driveScratch("menu.png");
    const DriveRun run = driveScript("program M\nDisp 1\nMenu(\"PICK\",\"ONE\",A,\"TWO\",B)\nLbl A\nDisp 10\nStop\n"
                                     "Lbl B\nDisp 20\nend\n"
                                     "type prgmM\nkey ENTER\nwait idle\ndump\nshot " + shown.string()
                                     + "\nkey DOWN\ndump\nkey ENTER\nwait idle\ndump\n");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 3u) << run.output;
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
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 2u) << run.output;
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

// getKey reads the key pressed while the program loops.
TEST(ProgramScreensDrive, GetKeyReadsAKeyPressedWhileTheProgramRuns)
{
    const DriveRun run = driveScript("program GK\n0->K\nRepeat K\ngetKey->K\nEnd\nDisp K\nend\n"
                                     "type prgmGK\nkey ENTER\nwait 50\ndump\nkey 5\nwait idle\ndump\n");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 2u) << run.output;
    EXPECT_EQ(run.dumps[0]["screen"], 11);
    EXPECT_EQ(run.dumps[1]["output"], json::array({"83", "Done"}));
}

// QUIT (2ND MODE, or Escape) and the Quit button stop a waiting program and leave the
// output screen for the home screen.
TEST(ProgramScreensDrive, QuitAndEscapeAndTheQuitButtonLeaveTheScreen)
{
    const std::string start = "program P\nPrompt A\nend\ntype prgmP\nkey ENTER\nwait idle\n";
    for (const char* leave : {"key 2ND\nkey MODE\n", "hkey Escape\n", "press-quit\n"}) {
        std::string how = leave;
        if (how == "press-quit\n") {
            // The button in the output screen's title band, clicked where it is drawn.
            const DriveRun first = driveScript(start + "dump\n");
            ASSERT_EQ(first.dumps.size(), 1u) << first.output;
            const json& grid = first.dumps[0]["programOutput"]["grid"];
            const int x = grid[0].get<int>() + grid[2].get<int>() - 20;
            const int y = grid[1].get<int>() - 12;
            how = "tap " + std::to_string(x) + " " + std::to_string(y) + "\n";
        }
        const DriveRun run = driveScript(start + how + "wait idle\nkey ENTER\nwait idle\ndump\n");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        ASSERT_EQ(run.dumps.size(), 1u) << run.output;
        EXPECT_EQ(run.dumps[0]["screen"], 0) << how;
        EXPECT_FALSE(run.dumps[0].contains("programOutput")) << how;
        EXPECT_EQ(run.dumps[0]["output"].back(), "User break") << how;
    }
}

} // namespace
} // namespace orvenda::test
