// Through orvenda-drive on the phone and the tablet: a click on a screen may select (a
// history item, a cell) but the computer's keys typed after it still reach the calculator;
// and what is open over a screen while the window turns stands where it opens at that size.

#include "DriveSession.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace orvenda::test {
namespace {

using nlohmann::json;

class ClickKeysDrive : public ::testing::TestWithParam<const char*> {
protected:
    bool tablet() const { return std::string(GetParam()) == "tablet"; }
    DriveRun drive(const std::string& script) const { return driveScript(script, std::string("--device ") + GetParam()); }
    // A tap at a point of the display (the tablet's lies inside the window's margins).
    std::string tap(int x, int y) const
    {
        return "tap " + std::to_string(x + (tablet() ? 13 : 0)) + " " + std::to_string(y + (tablet() ? 12 : 0)) + "\nwait idle\n";
    }
};

std::string input(const json& dump, std::size_t back) { return dump["history"][dump["history"].size() - back]["input"]; }

// MathPrint home: a click selects "5*5" and Return pastes it; after clicks on the empty
// display and the status row (the phone's) 1+1 and 2 are entered. Classic home: a click on
// the first answer pastes it before +1. TABLE, the list editor, the simultaneous-equation
// app and the chemistry table take digits and Return after a click on their cells.
TEST_P(ClickKeysDrive, AClickNeverTakesTheKeys)
{
    const std::string cells = tap(60, 90);
    const DriveRun run = drive("type 5*5\nhkey Return\ntype 7*7\nhkey Return\nwait idle\n" + tap(30, 18) + "hkey Return\ndump\nhkey Return\nwait idle\n"
                               + tap(200, 250) + "hkey 1\nhkey +\nhkey 1\nhkey Return\nwait idle\n" + (tablet() ? tap(500, 200) : "tap 200 832\n")
                               + "hkey 2\nhkey Return\nwait idle\ndump\ntype Classic\nhkey Return\nwait idle\n" + tap(tablet() ? 600 : 300, 8)
                               + "hkey +\nhkey 1\nhkey Return\nwait idle\ndump\nkey Y=\ntype X²\nkey TABLE\nwait idle\n" + cells
                               + "hkey 3\nhkey Return\nhkey 4\nhkey Return\nwait idle\ndump\nhkey Escape\nkey STAT\nkey ENTER\nwait idle\n" + cells
                               + "hkey 7\nhkey Return\nwait idle\nhkey Escape\ntype L₁\nkey ENTER\nwait idle\ndump\nopen 21\nwait idle\n" + cells
                               + "hkey 2\ndump\nhkey Escape\nwait idle\nopen 14\nwait idle\n" + cells + "hkey 2\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 7));
    EXPECT_EQ(run.dumps[0]["entry"], "5*5");
    EXPECT_EQ(input(run.dumps[1], 2) + " " + input(run.dumps[1], 1), "1+1 2");
    EXPECT_EQ(input(run.dumps[2], 1), "25+1");
    EXPECT_EQ(run.dumps[3]["table"]["row"], 2) << "3 and 4 asked";
    EXPECT_EQ(run.dumps[4]["ans"], "{7}");
    for (std::size_t k : {5, 6})
        EXPECT_EQ(run.dumps[k]["entry"], "2") << run.dumps[k]["top"];
}

// The graph's calculate sheet: a click on the graph above it leaves the keys to its keypad
// (a digit goes into X=, Escape closes the sheet alone).
TEST_P(ClickKeysDrive, AClickOnTheGraphLeavesTheKeysToItsSheet)
{
    const DriveRun run = drive("key Y=\ntype X²-4\nkey GRAPH\nwait idle\nkey 0x403\nwait idle\npress Calc\nwait idle\n"
                               "tap 100 60\nhkey 2\nwait idle\ndump\nhkey Escape\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 2));
    EXPECT_EQ(run.dumps[0]["calcSheet"]["fields"][0]["shown"], "2");
    EXPECT_EQ(run.dumps[1]["screen"], 8) << "Escape closed the sheet, not the graph";
    EXPECT_FALSE(run.dumps[1].contains("calcSheet"));
}

// The graph's calculate sheet and statistics panel, a Pause's bar over the graph and the
// program library's tag picker, each open while the window turns and turns back: nothing
// lies outside the window, and the pause bar runs across its bottom.
TEST_P(ClickKeysDrive, OverlaysOpenWhileTheWindowTurnsStandWhereTheyOpen)
{
    const int turned[] = {tablet() ? 1024 : 844, tablet() ? 768 : 390}, upright[] = {turned[1], turned[0]};
    const std::string turn = "size " + std::to_string(turned[0]) + "x" + std::to_string(turned[1]) + "\nwait idle\ndump\nsize "
        + std::to_string(upright[0]) + "x" + std::to_string(upright[1]) + "\nwait idle\ndump\n";
    const std::string home = "hkey Escape\nwait idle\nkey 2ND\nkey MODE\nwait idle\n";
    const DriveRun run = drive("key Y=\ntype X²-4\nkey GRAPH\nwait idle\nkey 0x403\nwait idle\npress Calc\nwait idle\n" + turn + home
                               + "type {1,2,3}->L₁\nkey ENTER\ntype FnOff\nkey ENTER\ntype Plot1(Scatter,L₁,L₁)\nkey ENTER\n"
                                 "type ZoomStat\nkey ENTER\nwait idle\nkey 0x403\nwait idle\npress Calc\nwait idle\n" + turn + home
                               + "program PZ\nClrDraw\nPt-On(0,0)\nPause\nend\ntype prgmPZ\nhkey Return\nwait idle\n" + turn + "hkey Return\nwait idle\n"
                               + home + "key PRGM\nwait idle\npress All:Show All\nwait idle\n" + turn);
    ASSERT_TRUE(endedWithDumps(run, 8));
    for (std::size_t k = 0; k < run.dumps.size(); ++k) {
        const json& dump = run.dumps[k];
        // (A tablet's tag picker is a panel over the list, at every size.)
        for (const json& out : dump.value("unreachable", json::array()))
            EXPECT_NE(out["why"], "outside") << k << ": " << out;
        EXPECT_TRUE(dump.contains(k < 2 ? "calcSheet" : k < 4 ? "plots" : k < 6 ? "pauseBar" : "tagPicker")) << k;
        const int* size = k % 2 == 0 ? turned : upright;
        if (k == 4 || k == 5) {
            ASSERT_TRUE(dump["pauseBar"].is_array()) << k;
            EXPECT_EQ(dump["pauseBar"][0].get<int>() + dump["pauseBar"][2].get<int>(), size[0]) << k;
            EXPECT_LE(dump["pauseBar"][1].get<int>() + dump["pauseBar"][3].get<int>(), size[1]) << k;
        }
    }
}

// The program library's side index: a tap on "F" brings the F programs to the top, one on
// "A" the first ones back; at the window's size upright and turned.
TEST_P(ClickKeysDrive, ATapOnTheSideIndexJumpsToItsSection)
{
    for (const char* size : {"", "size 844x390\n"}) {
        const std::string turned = tablet() ? std::string(*size ? "size 1024x768\n" : "") : size;
        const DriveRun where = drive(turned + "key PRGM\nwait idle\ndump\n");
        ASSERT_TRUE(endedWithDumps(where, 1)) << turned;
        const json& dump = where.dumps[0];
        ASSERT_EQ(dump["sideIndex"].size(), 26u) << turned;
        EXPECT_EQ(dump["topSection"], "A") << turned;
        const auto tapOn = [&](const char* letter) {
            for (const json& entry : dump["sideIndex"])
                if (entry[0] == letter)
                    return "tap " + std::to_string(entry[1].get<int>()) + " " + std::to_string(entry[2].get<int>()) + "\nwait idle\n";
            return std::string();
        };
        const DriveRun run = drive(turned + "key PRGM\nwait idle\n" + tapOn("F") + "dump\n" + tapOn("A") + "dump\n");
        ASSERT_TRUE(endedWithDumps(run, 2)) << turned;
        EXPECT_EQ(run.dumps[0]["topSection"], "F") << turned;
        EXPECT_EQ(run.dumps[0]["programs"], dump["programs"]) << turned << ": a jump picks nothing";
        EXPECT_EQ(run.dumps[1]["topSection"], "A") << turned;
    }
}

// Tab has no command: on the home screen 1+2 typed after it is entered, in a menu Escape
// after it closes the menu, on the graph Escape after it leaves the graph.
TEST_P(ClickKeysDrive, TabLeavesTheKeysWhereTheyAre)
{
    const DriveRun run = drive("hkey Tab\nhkey 1\nhkey +\nhkey 2\nhkey Return\nwait idle\ndump\nkey MATH\nwait idle\nhkey Tab\n"
                               "hkey Shift+Tab\nhkey Escape\nwait idle\ndump\nkey GRAPH\nwait idle\nhkey Tab\nhkey Escape\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 3));
    ASSERT_FALSE(run.dumps[0]["history"].empty()) << run.dumps[0]["entry"];
    EXPECT_EQ(input(run.dumps[0], 1), "1+2");
    EXPECT_EQ(run.dumps[1]["menu"], nullptr);
    EXPECT_EQ(run.dumps[2]["top"]["id"], 0);
}

// A program's input field on the graph: a click on its box brings the graph's keyboard
// sheet with the field's variable; 7 and Return enter 7 there, and Done stores it in B and
// runs the field's label, whose output (2B) shows 14.
TEST_P(ClickKeysDrive, AProgramsInputFieldTakesAValueAndRunsItsLabel)
{
    const DriveRun shown = drive("program PF\n0->B\nFnOff \nInputField(10,240,100,B,\"P\")\nDispGraph\nStop\nLbl P\nDisp 2B\nend\n"
                                 "type prgmPF\nhkey Return\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(shown, 1));
    const json& graph = shown.dumps[0]["graph"];
    ASSERT_TRUE(graph.is_array()) << shown.dumps[0]["top"];
    const std::string box = "tap " + std::to_string(graph[0].get<int>() + 60) + " " + std::to_string(graph[1].get<int>() + 257) + "\nwait idle\n";
    const DriveRun run = drive("program PF\n0->B\nFnOff \nInputField(10,240,100,B,\"P\")\nDispGraph\nStop\nLbl P\nDisp 2B\nend\n"
                               "type prgmPF\nhkey Return\nwait idle\n" + box + "hkey 7\nhkey Return\nwait idle\ndump\npress Done\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 2));
    const json& sheet = run.dumps[0]["calcSheet"];
    ASSERT_TRUE(sheet.is_object()) << run.dumps[0]["top"];
    ASSERT_EQ(sheet["fields"].size(), 1u) << sheet;
    EXPECT_EQ(sheet["fields"][0]["label"], "B=");
    EXPECT_EQ(sheet["fields"][0]["shown"], "7");
    EXPECT_FALSE(sheet["choice"]["shown"].get<bool>());
    const json& after = run.dumps[1];
    EXPECT_FALSE(after.contains("calcSheet"));
    const std::string output = after["output"].dump() + after["history"].dump();
    EXPECT_NE(output.find("14"), std::string::npos) << output;
}

// The centre of a rectangle [x, y, w, h] as a tap.
std::string tapAt(const json& r, int dx = 0, int dy = 0)
{
    return "tap " + std::to_string(r[0].get<int>() + r[2].get<int>() / 2 + dx) + " " + std::to_string(r[1].get<int>() + r[3].get<int>() / 2 + dy)
        + "\nwait idle\n";
}

// Every field the window shows that takes typed text, found in the app's own widgets (the
// program notes page's three, the catalogue's search, the new-program form's four, the
// user menu's form), is clicked, typed in and left each way the screen offers: Escape, its
// Back, Cancel or Done, Tab, Preview, a click beside it. The key after it reaches the
// screen in front (Escape there closes what that screen closes, a digit types), never the
// field and never nothing.
// (On the phone: the route of the keys is the window's, whatever the device.)
TEST(ClickKeysFields, EveryFieldGivesTheKeysBackHoweverItIsLeft)
{
    const auto drive = [](const std::string& script) { return driveScript(script); };
    struct Way {
        std::string name, leave;
        // What answers the next key: the page of the field still, or what is under it.
        bool pageStays;
    };
    struct Setup {
        std::string name, open;
        std::vector<Way> ways;
        // The next key, and whether the dump after it shows the screen in front answered.
        std::string next;
        std::function<bool(const json& dump, bool pageStays)> answered;
    };
    const auto menuClosed = [](const json& d, bool) { return d["menu"].is_null(); };
    const std::vector<Setup> setups{
        {"notes", "key PRGM\nwait idle\nhkey Right\nwait idle\nhkey Ctrl+I\nwait idle\n",
            {{"Escape", "hkey Escape\n", false}, {"Back", "press ‹ Back\n", false}, {"Tab", "hkey Tab\n", true},
                {"Preview", "press Preview\n", true}, {"click", "", true}},
            "hkey Escape\n",
            [](const json& d, bool stays) { return stays ? !d["menu"].is_null() && !d.contains("notes") : d["menu"].is_null(); }},
        {"catalogue", "key 0x420\nwait idle\n", {{"Escape", "hkey Escape\n", false}, {"Tab", "hkey Tab\n", true}, {"click", "", true}},
            "hkey 7\n", [](const json& d, bool stays) { return stays ? d["top"]["id"] != 0 : d["entry"] == "7"; }},
        {"new program", "key PRGM\nwait idle\nhkey +\nwait idle\n", {{"Escape", "hkey Escape\n", false}, {"Cancel", "press Cancel\n", false}},
            "hkey Escape\n", menuClosed},
        {"user menu", "type 2\nkey 0x437\nwait idle\npress +\nwait idle\n", {{"Escape", "hkey Escape\n", false}, {"Cancel", "press Cancel\n", false}},
            "hkey Escape\n", menuClosed},
    };
    // First the fields each set-up shows, then each field clicked and left each way.
    std::string discover = "program PA\nDisp 1\nend\n";
    for (const Setup& setup : setups)
        discover += setup.open + "dump\nhkey Escape\nwait idle\nhkey Escape\nwait idle\nkey CLEAR\nkey CLEAR\n";
    const DriveRun shown = drive(discover);
    ASSERT_TRUE(endedWithDumps(shown, setups.size()));
    std::string script = "program PA\nDisp 1\nend\n";
    struct Case {
        const Setup* setup;
        const Way* way;
        std::string name;
    };
    std::vector<Case> cases;
    for (std::size_t k = 0; k < setups.size(); ++k) {
        const json& look = shown.dumps[k];
        EXPECT_TRUE(look.contains("textFields")) << setups[k].name;
        for (const json& field : look.value("textFields", json::array()))
            for (const Way& way : setups[k].ways) {
                // A click beside the field: on the bar over the menu's page, above the
                // catalogue's search.
                const std::string leave = !way.leave.empty() ? way.leave
                    : look.contains("menuRect") && look["menuRect"].is_array() ? tapAt(look["menuRect"], 0, 8 - look["menuRect"][3].get<int>() / 2)
                                                              : tapAt(field["rect"], 0, -field["rect"][3].get<int>() / 2 - 8);
                script += setups[k].open + tapAt(field["rect"]) + "hkey x\n" + leave + "wait idle\n" + setups[k].next
                    + "wait idle\ndump\nhkey Escape\nwait idle\nhkey Escape\nwait idle\nkey CLEAR\nkey CLEAR\n";
                cases.push_back({&setups[k], &way, setups[k].name + " " + field["class"].get<std::string>() + " " + way.name});
            }
    }
    const DriveRun run = drive(script);
    ASSERT_TRUE(endedWithDumps(run, cases.size()));
    for (std::size_t n = 0; n < cases.size(); ++n) {
        const json& after = run.dumps[n];
        EXPECT_TRUE(cases[n].setup->answered(after, cases[n].way->pageStays)) << cases[n].name << ": " << after["top"];
        // (No "keys": the calculator keyboard has them.)
        EXPECT_TRUE(!after.contains("keys") || (after["keys"].is_object() && !after["keys"]["field"].get<bool>()))
            << cases[n].name << ": " << after["keys"];
    }
}

INSTANTIATE_TEST_SUITE_P(Drive, ClickKeysDrive, ::testing::Values("phone", "tablet"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace orvenda::test
