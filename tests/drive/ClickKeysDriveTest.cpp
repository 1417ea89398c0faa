// A click on a screen, through orvenda-drive on the phone and the tablet: it may select
// (a history item, a cell) but the computer's keys typed after it still reach the
// calculator; and the sheets, panels and bars open while the window turns stand where they
// open at the new size.

#include "DriveSession.h"

#include <gtest/gtest.h>

#include <string>

namespace orvenda::test {
namespace {

using nlohmann::json;

class ClickKeysDrive : public ::testing::TestWithParam<const char*> {
protected:
    std::string device() const { return GetParam(); }
    std::string options() const { return "--device " + device(); }
    bool tablet() const { return device() == "tablet"; }
};

std::string tapAt(int x, int y) { return "tap " + std::to_string(x) + " " + std::to_string(y) + "\nwait idle\n"; }

// A point of the display, from its top left corner (the tablet's lies inside the window's
// margins).
std::string tapInDisplay(bool tablet, int dx, int dy) { return tapAt((tablet ? 13 : 0) + dx, (tablet ? 12 : 0) + dy); }

std::string lastInput(const json& dump) { return dump["history"].empty() ? "" : dump["history"].back()["input"].get<std::string>(); }

// On both home screens: a click on a history item selects it (MathPrint's Return then
// pastes it) or pastes it (classic: the answer, from its right half), a click on the empty
// display or the status row takes nothing, and what is typed after each goes on to the
// entry line.
TEST_P(ClickKeysDrive, AClickOnTheHomeScreenLeavesTheKeysToTheCalculator)
{
    const std::string onStatusRow = tablet() ? tapInDisplay(true, 500, 200) : tapAt(200, 832);
    const DriveRun run = driveScript("type 5*5\nhkey Return\nwait idle\ntype 7*7\nhkey Return\nwait idle\n" + tapInDisplay(tablet(), 30, 18)
                                         + "hkey Return\nwait idle\ndump\nhkey Return\nwait idle\n" + tapInDisplay(tablet(), 200, 250)
                                         + "hkey 1\nhkey +\nhkey 1\nhkey Return\nwait idle\n" + onStatusRow + "hkey 2\nhkey Return\nwait idle\ndump\n"
                                         + "type Classic\nhkey Return\nwait idle\n" + tapInDisplay(tablet(), tablet() ? 600 : 300, 8)
                                         + "hkey +\nhkey 1\nhkey Return\nwait idle\ndump\n",
                                     options());
    ASSERT_TRUE(endedWithDumps(run, 3));
    EXPECT_EQ(run.dumps[0]["entry"], "5*5") << device() << ": Return pastes the item clicked";
    const json& history = run.dumps[1]["history"];
    ASSERT_GE(history.size(), 2u) << device();
    EXPECT_EQ(history[history.size() - 2]["input"], "1+1") << device();
    EXPECT_EQ(lastInput(run.dumps[1]), "2") << device();
    EXPECT_EQ(lastInput(run.dumps[2]), "25+1") << device() << ": the first answer clicked, then +1";
}

// A click on the TABLE's cells, the list editor's lists, the simultaneous-equation app and
// the chemistry table: digits and Return still act there, and Escape leaves.
TEST_P(ClickKeysDrive, AClickOnACellLeavesTheKeysToItsScreen)
{
    const std::string onCells = tapInDisplay(tablet(), 60, 90);
    const DriveRun run = driveScript("key Y=\ntype X²\nkey TABLE\nwait idle\n" + onCells
                                         + "hkey 3\nhkey Return\nhkey 4\nhkey Return\nwait idle\ndump\nhkey Escape\nwait idle\ndump\n"
                                         + "key STAT\nkey ENTER\nwait idle\n" + onCells + "hkey 7\nhkey Return\nwait idle\nhkey Escape\nwait idle\n"
                                         + "type L₁\nkey ENTER\nwait idle\ndump\n"
                                         + "open 21\nwait idle\n" + onCells + "hkey 2\nwait idle\ndump\nhkey Escape\nwait idle\n"
                                         + "open 14\nwait idle\n" + onCells + "hkey 2\nwait idle\ndump\n",
                                     options());
    ASSERT_TRUE(endedWithDumps(run, 5));
    ASSERT_TRUE(run.dumps[0]["table"].is_object()) << device();
    EXPECT_EQ(run.dumps[0]["table"]["row"], 2) << device() << ": 3 and 4 asked";
    EXPECT_EQ(run.dumps[1]["screen"], 0) << device();
    EXPECT_EQ(run.dumps[2]["ans"], "{7}") << device();
    EXPECT_EQ(run.dumps[3]["screen"], 21) << device();
    EXPECT_EQ(run.dumps[3]["entry"], "2") << device();
    EXPECT_EQ(run.dumps[4]["screen"], 14) << device();
    EXPECT_EQ(run.dumps[4]["entry"], "2") << device();
}

// The graph's calculate sheet: a click on the graph above it or on its fields leaves the
// keys to its keypad (a digit goes into X=, Escape closes the sheet alone).
TEST_P(ClickKeysDrive, AClickOnTheGraphLeavesTheKeysToItsSheet)
{
    const std::string open = "key Y=\ntype X²-4\nkey GRAPH\nwait idle\nkey 0x403\nwait idle\npress Calc\nwait idle\n";
    const DriveRun run = driveScript(open + tapAt(100, 60) + "hkey 2\nwait idle\ndump\nhkey Escape\nwait idle\ndump\n", options());
    ASSERT_TRUE(endedWithDumps(run, 2));
    ASSERT_TRUE(run.dumps[0].contains("calcSheet")) << device();
    EXPECT_EQ(run.dumps[0]["calcSheet"]["fields"][0]["shown"], "2") << device();
    EXPECT_EQ(run.dumps[1]["screen"], 8) << device() << ": Escape closed the sheet, not the graph";
    EXPECT_FALSE(run.dumps[1].contains("calcSheet")) << device();
}

// The graph's calculate sheet and statistics panel, a Pause's bar over the graph and the
// program library's tag picker, each open while the window turns and turns back: every
// control stays inside the window, the pause bar across its bottom.
TEST_P(ClickKeysDrive, OverlaysOpenWhileTheWindowTurnsStandWhereTheyOpen)
{
    const std::string turn = tablet() ? "size 1024x768\nwait idle\ndump\nsize 768x1024\nwait idle\ndump\n"
                                      : "size 844x390\nwait idle\ndump\nsize 390x844\nwait idle\ndump\n";
    const std::string home = "hkey Escape\nwait idle\nkey 2ND\nkey MODE\nwait idle\n";
    const std::string traced = "key Y=\ntype X²-4\nkey GRAPH\nwait idle\nkey 0x403\nwait idle\n";
    const std::string stats = "type {1,2,3,4,5}->L₁\nkey ENTER\ntype {2,4,5,4,5}->L₂\nkey ENTER\ntype FnOff\nkey ENTER\n"
                              "type Plot1(Scatter,L₁,L₂)\nkey ENTER\ntype ZoomStat\nkey ENTER\nwait idle\nkey 0x403\nwait idle\n";
    const DriveRun run = driveScript(traced + "press Calc\nwait idle\n" + turn + home + stats + "press Calc\nwait idle\n" + turn + home
                                         + "program PZ\nClrDraw\nPt-On(0,0)\nPause\nDisp 7\nend\ntype prgmPZ\nhkey Return\nwait idle\n"
                                         + turn + "hkey Return\nwait idle\n" + home
                                         + "key PRGM\nwait idle\npress All:Show All\nwait idle\n" + turn,
                                     options());
    ASSERT_TRUE(endedWithDumps(run, 8));
    for (std::size_t k = 0; k < run.dumps.size(); ++k) {
        const json& dump = run.dumps[k];
        // (A tablet's tag picker is a panel over the list, as it opens at every size.)
        for (const json& out : dump.value("unreachable", json::array()))
            EXPECT_NE(out["why"], "outside") << device() << " " << k << ": " << out;
        const bool turned = k % 2 == 0;
        const int width = tablet() ? (turned ? 1024 : 768) : (turned ? 844 : 390);
        const int height = tablet() ? (turned ? 768 : 1024) : (turned ? 390 : 844);
        if (k < 2) {
            EXPECT_TRUE(dump.contains("calcSheet")) << device() << " " << k;
        }
        if (k >= 4 && k < 6) {
            ASSERT_TRUE(dump["pauseBar"].is_array()) << device() << " " << k;
            const json& bar = dump["pauseBar"];
            EXPECT_EQ(bar[0].get<int>() + bar[2].get<int>(), width) << device() << " " << k;
            EXPECT_LE(bar[1].get<int>() + bar[3].get<int>(), height) << device() << " " << k;
        }
        if (k >= 6) {
            EXPECT_TRUE(dump.contains("tagPicker")) << device() << " " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Drive, ClickKeysDrive, ::testing::Values("phone", "tablet"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace orvenda::test
