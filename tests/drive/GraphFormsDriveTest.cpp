// Through orvenda-drive: the graph's forms (the calculate sheet, a slider's value form, a
// program's input field) type on a line of their own. The home line's half-typed text
// never shows in their field and their ENTER never takes it; leaving the graph closes them,
// so nothing of theirs is over the graph when it comes back (a program's DispGraph and
// Pause at 320x390 included) and the home line is back as it was typed.

#include "DriveSession.h"

#include <gtest/gtest.h>

#include <string>

namespace orvenda::test {
namespace {

using nlohmann::json;

const std::string kQuit = "key 2ND\nkey MODE\nwait idle\n";
// Y₁=AX² with A=2, and a program whose input field asks for B.
const std::string kSetup = "program PF\n0->B\nFnOff \nInputField(10,240,100,B,\"P\")\nDispGraph\nStop\nLbl P\nDisp 2B\nend\n"
                           "program FG\nDispGraph\nPause \nend\n"
                           "type 2->A\nkey ENTER\nwait idle\ntype \"AX²\"->Y₁\nkey ENTER\nwait idle\n";
const std::string kTraced = "key GRAPH\nwait idle\nkey 0x403\nwait idle\n";

struct Form {
    const char* name;
    // From the home screen to the form open on the graph.
    std::string open;
    const char* label;
    // What its field shows of its own.
    const char* own;
};

// The input field's box, a little inside the field the program places at (10, 240).
std::string inputBox(const json& graph)
{
    return "tap " + std::to_string(graph[0].get<int>() + 60) + " " + std::to_string(graph[1].get<int>() + 257) + "\nwait still\n";
}

class GraphFormsDrive : public ::testing::Test {
protected:
    std::vector<Form> forms()
    {
        // Where the program's box lies on the graph.
        const DriveRun shown = driveScript(kSetup + "type prgmPF\nkey ENTER\nwait idle\ndump\n");
        EXPECT_TRUE(endedWithDumps(shown, 1));
        const json graph = shown.dumps.empty() ? json::array({0, 0}) : shown.dumps[0]["graph"];
        return {
            {"calculate", kTraced + "press Calc\nwait still\n", "X=", nullptr},
            {"slider value", kTraced + "press A\nwait idle\npress 2\nwait still\n", "A=", "2"},
            {"input field", "type prgmPF\nkey ENTER\nwait idle\n" + inputBox(graph), "B=", "0"},
        };
    }
};

// Each form left open by QUIT, 2+3 typed on the home line, then GRAPH: no form shows, ENTER
// there takes nothing, and QUIT finds 2+3 still on the home line.
TEST_F(GraphFormsDrive, AFormLeftOpenIsClosedWhenTheGraphComesBack)
{
    for (const Form& form : forms()) {
        const DriveRun run = driveScript(kSetup + form.open + "dump\n" + kQuit + "type 2+3\nkey GRAPH\nwait idle\nwait still\ndump\n"
                                         + "key ENTER\nwait idle\n" + kQuit + "dump\n");
        ASSERT_TRUE(endedWithDumps(run, 3)) << form.name;
        ASSERT_TRUE(run.dumps[0]["calcSheet"].is_object()) << form.name << run.dumps[0]["top"];
        EXPECT_EQ(run.dumps[1]["top"]["id"], 8) << form.name;
        EXPECT_FALSE(run.dumps[1].contains("calcSheet")) << form.name << run.dumps[1]["calcSheet"];
        EXPECT_EQ(run.dumps[2]["screen"], 0) << form.name;
        EXPECT_EQ(run.dumps[2]["entry"], "2+3") << form.name;
        EXPECT_EQ(run.dumps[2]["history"].size(), run.dumps[0]["history"].size()) << form.name;
    }
}

// 2+3 typed on the home line, then GRAPH and each form of the traced plot opened over it:
// the field shows its own value; an empty ENTER moves on, and back on the field 7 and
// ENTER enter 7; Done and QUIT give the home line back as typed.
TEST_F(GraphFormsDrive, AFormOpenedOverTheHomeLineShowsAndTakesItsOwn)
{
    for (const Form& form : forms()) {
        if (std::string(form.name) == "input field")
            continue;  // its program's run takes the home line first
        const DriveRun run = driveScript(kSetup + "type 2+3\n" + form.open + "dump\nkey ENTER\nwait idle\nkey UP\nwait idle\n"
                                         + "type 7\nkey ENTER\nwait idle\ndump\npress Done\nwait still\n" + kQuit + "dump\n");
        ASSERT_TRUE(endedWithDumps(run, 3)) << form.name;
        const json& sheet = run.dumps[0]["calcSheet"];
        ASSERT_TRUE(sheet.is_object()) << form.name << run.dumps[0]["top"];
        EXPECT_EQ(sheet["fields"][0]["label"], form.label) << form.name;
        EXPECT_NE(sheet["fields"][0]["shown"], "2+3") << form.name;
        if (form.own) {
            EXPECT_EQ(sheet["fields"][0]["shown"], form.own) << form.name;
        }
        EXPECT_EQ(run.dumps[1]["calcSheet"]["fields"][0]["shown"], "7") << form.name << run.dumps[1]["calcSheet"];
        EXPECT_EQ(run.dumps[2]["screen"], 0) << form.name;
        EXPECT_EQ(run.dumps[2]["entry"], "2+3") << form.name;
        EXPECT_EQ(run.dumps[2]["history"].size(), run.dumps[0]["history"].size()) << form.name;
    }
}

// At 320x390 the calculate sheet left open by QUIT, then a program's DispGraph and Pause
// bring the graph back: no sheet, no field holding the program's call, the graph's Done and
// the pause bar in reach.
TEST_F(GraphFormsDrive, ADispGraphAndPauseFindNoFormOverTheGraph)
{
    const DriveRun run = driveScript(kSetup + kTraced + "press Calc\nwait still\n" + kQuit
                                         + "type prgmFG\nkey ENTER\nwait idle\nwait still\ndump\n",
        "--size 320x390");
    ASSERT_TRUE(endedWithDumps(run, 1));
    const json& paused = run.dumps[0];
    EXPECT_EQ(paused["top"]["id"], 8);
    EXPECT_FALSE(paused.contains("calcSheet")) << paused["calcSheet"];
    ASSERT_TRUE(paused["pauseBar"].is_array()) << paused["top"];
    const json& done = paused["top"]["leave"];
    ASSERT_TRUE(done.is_array());
    EXPECT_LE(done[0].get<int>() + done[2].get<int>(), 320);
    EXPECT_GE(done[1].get<int>(), 0);
    // Nothing that covers Done or the pause bar's buttons.
    for (const json& hidden : paused.value("unreachable", json::array())) {
        const std::string widget = hidden["widget"];
        EXPECT_EQ(widget.find("Done"), std::string::npos) << hidden;
        EXPECT_EQ(widget.find("Continue"), std::string::npos) << hidden;
        EXPECT_EQ(widget.find("Stop"), std::string::npos) << hidden;
    }
}

} // namespace
} // namespace orvenda::test
