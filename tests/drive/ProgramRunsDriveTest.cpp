// Every run shows what it writes and asks, whoever starts it (a click on a graph button, the
// debugger's Run or Step) and whatever screen it brought in front (the graph, the table):
// the output comes in front for Disp, Output(, ClrHome, Input, Prompt, Menu( and a Pause
// with a value, the keys answer it, and the run leaves one history item with what it showed.

#include "drive/DriveSession.h"

#include <QColor>
#include <QImage>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using nlohmann::json;
using orvenda::test::DriveRun;
using orvenda::test::driveScratch;
using orvenda::test::driveScript;
using orvenda::test::endedWithDumps;
using orvenda::test::lastItem;

const char* const kDevices[] = {"phone", "tablet"};

// A program that shows one button, GO at (10, 60), and stops; its label P holds body.
std::string buttonProgram(const std::string& name, const std::string& body)
{
    return "program " + name + "\nFnOff \nButton(10,60,120,\"GO\",\"P\")\nDispGraph\nStop\nLbl P\n" + body + "end\n";
}

// Runs a program from the home line and clicks its button once the graph shows it; then
// waits for the label's run to end, unless it goes on waiting for a key.
std::string clickGo(const std::string& name, const json& graph, bool ends = true)
{
    return "type prgm" + name + "\nhkey Return\nwait idle\ntap " + std::to_string(graph[0].get<int>() + 70) + " "
        + std::to_string(graph[1].get<int>() + 77) + "\n" + (ends ? "wait idle\n" : "");
}

// Where the graph lies on this device, from a run that shows it.
json graphFrame(const std::string& options)
{
    const DriveRun shown = driveScript(buttonProgram("BZ", "") + "type prgmBZ\nhkey Return\nwait idle\ndump\n", options);
    return shown.dumps.empty() ? json() : shown.dumps[0]["graph"];
}

} // namespace

// A graph button's label that asks, writes, pauses or fails: its question, output and pause
// come in front of the graph, the keys answer them, and the run's one item keeps what it
// showed (a break's or error's too).
TEST(ProgramRunsDrive, AButtonsLabelShowsWhatItWritesAndAsks)
{
    const std::string programs = buttonProgram("BQ", "Input \"Q=\",Q\nDisp 2Q\n")
        + buttonProgram("BM", "Menu(\"PICK\",\"ONE\",A,\"TWO\",B)\nLbl A\nDisp \"GOT A\"\nStop\nLbl B\nDisp \"GOT B\"\n")
        + buttonProgram("BC", "C+5->C\nDisp C\n") + buttonProgram("BO", "ClrHome\nOutput(2,3,\"HI\")\n")
        + buttonProgram("BX", "R+1->R\nPause R\nDisp \"AFTER\"\n") + buttonProgram("BE", "1/0\n");
    for (const char* device : kDevices) {
        const std::string options = std::string("--device ") + device;
        const json graph = graphFrame(options);
        ASSERT_TRUE(graph.is_array()) << device;
        const DriveRun run = driveScript(programs + clickGo("BQ", graph) + "dump\nhkey 7\nhkey Return\nwait idle\ndump\n"
                                             + clickGo("BM", graph) + "dump\nhkey 2\nwait idle\ndump\n" + clickGo("BC", graph)
                                             + "dump\n" + clickGo("BO", graph) + "dump\n" + clickGo("BX", graph)
                                             + "dump\nhkey Return\nwait idle\ndump\n" + clickGo("BE", graph) + "dump\n",
                                         options);
        ASSERT_TRUE(endedWithDumps(run, 9)) << device;
        const json& asked = run.dumps[0];
        EXPECT_EQ(asked["screen"], 11) << device;
        EXPECT_EQ(asked["output"], json::array({"Q="})) << device;
        EXPECT_EQ(lastItem(run.dumps[1]), "prgm»BQ → Q=7/14/Done") << device;
        EXPECT_EQ(run.dumps[1]["screen"], 0) << device;
        EXPECT_EQ(run.dumps[2]["output"], json::array({"PICK", "1:ONE", "2:TWO"})) << device;
        EXPECT_EQ(lastItem(run.dumps[3]), "prgm»BM → GOT B/Done") << device;
        // What a label writes is shown: its item, on the home screen in front.
        EXPECT_EQ(lastItem(run.dumps[4]), "prgm»BC → 5/Done") << device;
        EXPECT_EQ(run.dumps[4]["top"]["id"], 0) << device;
        // Output( writes where it says, the end's Done where Disp would go next.
        EXPECT_EQ(lastItem(run.dumps[5]), "prgm»BO → Done/HI") << device;
        // A pause with a value waits on the output; Return goes on with the label's lines.
        const json& paused = run.dumps[6];
        EXPECT_EQ(paused["screen"], 11) << device;
        EXPECT_EQ(paused["output"], json::array({"1"})) << device;
        EXPECT_EQ(lastItem(run.dumps[7]), "prgm»BX → 1/AFTER/Done") << device;
        EXPECT_EQ(run.dumps[7]["ans"], "1") << device;
        // One item a run: the runs that showed the graph and the clicked labels.
        EXPECT_EQ(run.dumps[7]["history"].size(), 10u) << device;
        const json& failed = run.dumps[8];
        EXPECT_EQ(lastItem(failed), "prgm»BE → Divide by 0") << device;
        ASSERT_EQ(failed["alerts"].size(), 1u) << device << failed;
        EXPECT_EQ(failed["alerts"][0]["title"], "Program Error") << device;
    }
}

// After DispTable, from the entry line or a button: a question or menu comes in front of the
// table and is answered there; a getKey loop under the table leaves no item until the run
// ends; a run that ends on the table leaves it in front and current, and the home screen
// answers the next line.
TEST(ProgramRunsDrive, AQuestionAfterDispTableComesInFrontOfTheTable)
{
    const std::string programs = "program TI\nDispTable\nInput \"A=\",A\nDisp A*3\nend\n"
                                 "program TM\nDispTable\nMenu(\"PICK\",\"ONE\",A,\"TWO\",B)\nLbl A\nDisp \"GOT A\"\nStop\n"
                                 "Lbl B\nDisp \"GOT B\"\nend\n"
                                 "program DT\nDisp 1\nDispTable\nend\n"
        + buttonProgram("BD", "DispTable\n0->K\nRepeat K\ngetKey->K\nEnd\nDisp K\n");
    for (const char* device : kDevices) {
        const std::string options = std::string("--device ") + device;
        const json graph = graphFrame(options);
        ASSERT_TRUE(graph.is_array()) << device;
        const DriveRun run = driveScript(programs + "type prgmTI\nhkey Return\nwait idle\ndump\nhkey 7\nhkey Return\nwait idle\n"
                                             "type 2+2\nhkey Return\nwait idle\ndump\n"
                                             "type prgmTM\nhkey Return\nwait idle\ndump\nhkey 2\nwait idle\ndump\n"
                                             "type prgmDT\nhkey Return\nwait idle\ndump\nkey 2ND\nkey MODE\n"
                                             + clickGo("BD", graph, false) + "wait screen 5\ndump\nhkey 5\nwait idle\ndump\n",
                                         options);
        ASSERT_TRUE(endedWithDumps(run, 7)) << device;
        const json& asked = run.dumps[0];
        EXPECT_EQ(asked["screen"], 11) << device;
        EXPECT_EQ(asked["top"]["id"], 11) << device;
        EXPECT_EQ(asked["output"].back(), "A=") << device;
        const json& answered = run.dumps[1];
        ASSERT_EQ(answered["history"].size(), 2u) << device << answered["history"];
        EXPECT_EQ(answered["history"][0]["input"], "prgm»TI") << device;
        EXPECT_EQ(lastItem(answered), "2+2 → 4") << device;
        EXPECT_EQ(run.dumps[2]["top"]["id"], 11) << device;
        EXPECT_EQ(lastItem(run.dumps[3]), "prgm»TM → GOT B/Done") << device;
        const json& ended = run.dumps[4];
        EXPECT_EQ(ended["screen"], 5) << device;
        EXPECT_EQ(ended["top"]["id"], 5) << device;
        const std::size_t items = run.dumps[4]["history"].size();
        // The button's loop waits under the table: no item yet, one once it reads the key.
        EXPECT_EQ(run.dumps[5]["screen"], 5) << device;
        EXPECT_EQ(run.dumps[5]["history"].size(), items + 1) << device << run.dumps[5]["history"];
        EXPECT_EQ(run.dumps[6]["history"].size(), items + 2) << device << run.dumps[6]["history"];
        EXPECT_EQ(lastItem(run.dumps[6]), "prgm»BD → 83/Done") << device;
    }
}

namespace {

// A point of a control in a dump, [x, y] or a rectangle's centre, as a tap.
std::string tapAt(const json& at)
{
    const bool rect = at.size() == 4;
    return "tap " + std::to_string(at[0].get<int>() + (rect ? at[2].get<int>() / 2 : 0)) + " "
        + std::to_string(at[1].get<int>() + (rect ? at[3].get<int>() / 2 : 0)) + "\n";
}

// Opens the program whose name starts with letter in the debugger.
std::string openDebugger(const char* letter, const json& debug)
{
    return std::string("key PRGM\nkey RIGHT\nhkey ") + letter + "\nhkey Return\n" + tapAt(debug);
}

// The editor's Debug button and the debugger it opens (its dump) on the program whose name
// starts with letter; nulls when the driver failed.
std::pair<json, json> openedDebugger(const std::string& programs, const char* letter, const std::string& options)
{
    const DriveRun editor =
        driveScript(programs + "key PRGM\nkey RIGHT\nhkey " + letter + "\nhkey Return\ndump\n", options);
    if (!endedWithDumps(editor, 1))
        return {};
    const json debug = editor.dumps[0]["editor"]["controls"]["debug"];
    const DriveRun opened = driveScript(programs + openDebugger(letter, debug) + "dump\n", options);
    if (!endedWithDumps(opened, 1))
        return {};
    return {debug, opened.dumps[0]["debugger"]};
}

// A tap in the debugger's margin beside screen line `line` (from 0): its breakpoint.
std::string breakpointOn(const json& debugger, int line)
{
    const json& text = debugger["text"];
    return "tap " + std::to_string(text[0].get<int>() + 3) + " "
        + std::to_string(text[1].get<int>() + static_cast<int>((line + 0.5) * text[2].get<double>())) + "\n";
}

} // namespace

// The debugger's runs and steps: an answer typed during Run is gone once Run stops at a
// breakpoint; a key pressed between steps is the one getKey reads; s steps on over the
// table a Step showed; a Step's error is a program's error; keys clicked during Run that
// the program does not read type nothing, and Run's break leaves the program's item.
TEST(ProgramRunsDrive, TheDebuggersRunsAndStepsKeepNoKeyOutOfSight)
{
    const std::string programs = "program ZB\nInput \"N=\",N\nDisp N\nInput \"M=\",M\nDisp M\nend\n"
                                 "program KZ\n0->K\nRepeat K\ngetKey->K\nEnd\nDisp K\nend\n"
                                 "program GT\nDispTable\n1->A\n2->A\nend\n"
                                 "program EZ\n1/0\nend\n"
                                 "program UL\n1->A\nWhile 1\nA+1->A\nEnd\nend\n";
    for (const char* device : kDevices) {
        const std::string options = std::string("--device ") + device;
        const auto [debug, debugger] = openedDebugger(programs, "z", options);
        ASSERT_TRUE(debugger.is_object()) << device;
        const json& controls = debugger["controls"];
        const std::string breakOnLine2 = breakpointOn(debugger, 1);
        const std::string run = tapAt(controls["run"]);
        const std::string quit = tapAt(controls["quit"]);
        const std::string step = "hkey s\nwait idle\n";
        const std::string home = "key 2ND\nkey MODE\n";
        std::string script = programs + openDebugger("z", debug) + breakOnLine2 + run
            + "wait idle\nhkey 4\nhkey 2\nhkey Return\nwait idle\n" + quit + "wait idle\ndump\npress OK\n" + home
            + openDebugger("k", debug) + step + step + "hkey 5\n" + step + "dump\n" + quit + "wait idle\npress OK\n" + home
            + openDebugger("g", debug) + step + step + quit + "wait idle\npress OK\n" + home + "type A\nhkey Return\nwait idle\ndump\n"
            + openDebugger("e", debug) + step + "dump\npress OK\n" + quit + home;
        // Where the keyboard shows beside the debugger, its keys are clicked during Run.
        if (std::string(device) == "tablet")
            script += openDebugger("u", debug) + run + "wait running\nkey 7\nkey 8\nkey ON\nwait idle\ndump\npress OK\n"
                + quit + "wait idle\n" + home + "wait idle\ndump\n";
        const DriveRun driven = driveScript(script, options);
        ASSERT_TRUE(endedWithDumps(driven, std::string(device) == "tablet" ? 6 : 4)) << device;
        EXPECT_EQ(driven.dumps[0]["entry"], "") << device;
        // Quit at the breakpoint ends the run as a break.
        EXPECT_EQ(lastItem(driven.dumps[0]), "prgm»ZB → N=42/User break") << device;
        const json& read = driven.dumps[1];
        ASSERT_TRUE(read["debugger"].is_object()) << device << read;
        EXPECT_EQ(read["debugger"]["label"], "Debug:KZ") << device;
        const json& vars = read["debugger"]["vars"];
        EXPECT_NE(std::find(vars.begin(), vars.end(), "K 83"), vars.end()) << device << vars;
        EXPECT_EQ(lastItem(driven.dumps[2]), "A → 1") << device;
        const json& failed = driven.dumps[3];
        ASSERT_EQ(failed["alerts"].size(), 1u) << device << failed;
        EXPECT_EQ(failed["alerts"][0]["title"], "Program Error") << device;
        EXPECT_EQ(failed["alerts"][0]["buttons"], json::array({"OK", "Show program"})) << device;
        if (std::string(device) != "tablet")
            continue;
        EXPECT_EQ(lastItem(driven.dumps[4]), "prgm»UL → User break") << device;
        EXPECT_EQ(driven.dumps[4]["entry"], "") << device;
        EXPECT_EQ(driven.dumps[5]["screen"], 0) << device;
        EXPECT_EQ(driven.dumps[5]["entry"], "") << device;
    }
}

// DispGraph from a button's label, with the graph in front, draws the curves for the values
// the label just gave their variables: Y₁ = S·X steepens from slope 3 to 9.
TEST(ProgramRunsDrive, DispGraphFromALabelDrawsTheCurveForTheNewValues)
{
    const std::string program = "program ZS\n3->S\n\"S*X\"->Y₁\nButton(10,60,120,\"GO\",\"P\")\nDispGraph\nStop\nLbl P\n"
                                "9->S\nDispGraph\nend\n";
    for (const char* device : kDevices) {
        const std::string options = std::string("--device ") + device;
        const json graph = graphFrame(options);
        ASSERT_TRUE(graph.is_array()) << device;
        const auto before = driveScratch(std::string("slope3-") + device + ".png");
        const auto after = driveScratch(std::string("slope9-") + device + ".png");
        const std::string go = clickGo("ZS", graph);
        const std::size_t tap = go.find("tap");
        const DriveRun run = driveScript(program + go.substr(0, tap) + "shot " + before.string() + "\n" + go.substr(tap)
                                             + "shot " + after.string() + "\ndump\n",
                                         options);
        ASSERT_TRUE(endedWithDumps(run, 1)) << device;
        EXPECT_EQ(run.dumps[0]["screen"], 8) << device;
        EXPECT_EQ(run.dumps[0]["window"], json::array({-1.0, 1.0, -1.0, 1.0})) << device;
        // How far right of the y-axis the curve crosses the row where y is 0.6.
        const auto offset = [&](const std::filesystem::path& shot) {
            const QImage picture(QString::fromStdString(shot.string()));
            const int row = graph[1].get<int>() + graph[3].get<int>() / 5;
            const double axis = graph[0].get<int>() + graph[2].get<int>() / 2.0;
            double sum = 0;
            int count = 0;
            for (int x = 0; x < picture.width(); ++x) {
                const QColor c = picture.pixelColor(x, row);
                if (c.green() > 150 && c.red() < 120 && c.blue() < 120)
                    sum += x, ++count;
            }
            return count > 0 ? sum / count - axis : -1.0;
        };
        const double steep = offset(after);
        const double gentle = offset(before);
        ASSERT_GT(gentle, 0) << device;
        EXPECT_NEAR(steep, gentle / 3, gentle / 6) << device << " " << gentle << " " << steep;
    }
}

namespace {

// A statement a debugged run stops or ends on, as the last of a program "2→A" then it:
// the keys that answer it under Run, and under Step once its line is reached; what the
// run's one item shows last, and A at the end.
struct Stop {
    const char* body;
    const char* runKeys;
    const char* stepKeys;
    const char* itemEnd;
    const char* a;
};

// How a run is started: Run; Run to a breakpoint on the statement, then Run on; Step
// through; a Step, then Run.
enum class Starter { Run, BreakThenRun, StepThrough, StepThenRun };

} // namespace

// Whatever a debugged run showed (output, graph, table, a question), once it ends the
// debugger is in front with its marker after the last line, A as the run left it and one
// history item naming the program, whoever started the run; what the user does next (s,
// Step, Run) starts nothing again, and Quit, Escape and QUIT leave with no item more.
// Each statement meets every starter and, turn by turn, each next action; phone and 844x390.
TEST(ProgramRunsDrive, TheDebuggerComesBackWheneverItsRunEnds)
{
    const std::string s = "hkey s\nwait idle\n";
    const std::vector<Stop> stops = {
        {"Disp 7", "", "", "7/Done", "2"},
        {"Output(2,2,\"HI\")", "", "", "HI", "2"},
        {"Disp 1\nClrHome", "", "", "Done", "2"},
        {"Pause 5", "hkey Return\n", "", "5/Done", "2"},
        {"Pause", "hkey Return\n", "", "Done", "2"},
        {"Input \"N=\",N", "hkey 4\nhkey Return\n", "hkey 4\n", "N=4/Done", "2"},
        {"Prompt B", "hkey 4\nhkey Return\n", "hkey 4\n", "B=?4/Done", "2"},
        {"Menu(\"M\",\"ONE\",L,\"TWO\",L)\nLbl L", "hkey 1\n", "hkey 1\n", "Done", "2"},
        {"Menu(\"M\",\"ONE\",Q,\"TWO\",Q)", "hkey 1\n", "hkey 1\n", "Label not found", "2"},
        {"Repeat K\ngetKey->K\nEnd", "hkey 5\n", "hkey 5\n", "Done", "2"},
        {"DispGraph", "", "", "Done", "2"},
        {"DispTable", "", "", "Done", "2"},
        {"Pt-On(0,0)", "", "", "Done", "2"},
        {"prgmZZ", "", "", "3", "3"},
        {"Stop\n5->A", "", "", "Done", "2"},
        {"Return\n5->A", "", "", "Done", "2"},
        {"1/0", "", "", "Divide by 0", "2"},
        {"3->A", "", "", "3", "3"},
    };
    std::string programs = "program ZZ\n3->A\nend\n";
    for (std::size_t i = 0; i < stops.size(); ++i)
        programs += std::string("program ") + static_cast<char>('A' + i) + "A\n0->K\n2->A\n" + stops[i].body + "\nend\n";
    const std::vector<Starter> starters = {Starter::Run, Starter::BreakThenRun, Starter::StepThrough, Starter::StepThenRun};
    for (const char* size : {"390x844", "844x390"}) {
        const std::string options = std::string("--size ") + size;
        const bool beside = std::string(size) == "844x390";
        const auto [debug, debugger] = openedDebugger(programs, "a", options);
        ASSERT_TRUE(debugger.is_object()) << size;
        const json& controls = debugger["controls"];
        const std::string breakOnStatement = breakpointOn(debugger, 2);
        const std::string run = tapAt(controls["run"]) + "wait idle\n";
        // A Run answered as it goes: its keys follow the tap.
        const std::string runOn = tapAt(controls["run"]);
        // What the user does once the run ended; QUIT where the keyboard shows beside (ON
        // there would only arm the keys' help).
        std::vector<std::pair<std::string, bool>> nexts = {{s, false}, {tapAt(controls["step"]) + "wait idle\n", false},
            {run, false}, {tapAt(controls["quit"]) + "wait idle\n", true}, {"hkey Escape\nwait idle\n", true}};
        if (beside)
            nexts.emplace_back("key 2ND\nkey MODE\nwait idle\n", true);
        for (std::size_t k = 0; k < starters.size(); ++k) {
            const Starter starter = starters[k];
            std::string script = programs;
            std::vector<bool> leaves;
            for (std::size_t i = 0; i < stops.size(); ++i) {
                const Stop& stop = stops[i];
                const auto& [next, leaving] = nexts[(i + k) % nexts.size()];
                leaves.push_back(leaving);
                script += openDebugger(std::string(1, static_cast<char>('a' + i)).c_str(), debug);
                switch (starter) {
                case Starter::Run: script += runOn + stop.runKeys; break;
                case Starter::BreakThenRun: script += breakOnStatement + run + "dump\n" + runOn + stop.runKeys; break;
                case Starter::StepThrough: script += s + s + s + stop.stepKeys + s + s + s + s + s; break;
                case Starter::StepThenRun: script += s + runOn + stop.runKeys; break;
                }
                script += "wait idle\ndump\n";
                if (std::string(stop.itemEnd) == "Divide by 0" || std::string(stop.itemEnd) == "Label not found")
                    script += "press OK\n";
                script += next + "dump\n" + (leaving ? "" : "hkey Escape\nwait idle\n") + "key 2ND\nkey MODE\nwait idle\n";
            }
            const bool breaks = starter == Starter::BreakThenRun;
            const std::size_t each = breaks ? 3 : 2;
            const DriveRun driven = driveScript(script, options);
            ASSERT_TRUE(endedWithDumps(driven, stops.size() * each)) << size << " starter " << k;
            for (std::size_t i = 0; i < stops.size(); ++i) {
                const std::string where = std::string(size) + " starter " + std::to_string(k) + " " + stops[i].body;
                const json* dumps = &driven.dumps[i * each];
                if (breaks) {
                    // Stopped at the breakpoint: the debugger is back with its marker there,
                    // and the run has no item yet.
                    ASSERT_TRUE(dumps[0].contains("debugger")) << where << dumps[0];
                    EXPECT_EQ(dumps[0]["debugger"]["line"], 2) << where;
                    EXPECT_EQ(dumps[0]["history"].size(), i) << where;
                    ++dumps;
                }
                const json& ended = dumps[0];
                ASSERT_TRUE(ended.contains("debugger")) << where << ended;
                EXPECT_EQ(ended["top"]["id"], 109) << where;
                EXPECT_EQ(ended["screen"], 2) << where;
                EXPECT_EQ(ended["debugger"]["line"], ended["editor"]["lines"].size()) << where;
                const json& vars = ended["debugger"]["vars"];
                EXPECT_NE(std::find(vars.begin(), vars.end(), std::string("A ") + stops[i].a), vars.end()) << where << vars;
                ASSERT_EQ(ended["history"].size(), i + 1) << where << ended["history"];
                const std::string item = lastItem(ended);
                const std::string call = std::string("prgm»") + static_cast<char>('A' + i) + "A → ";
                EXPECT_EQ(item.substr(0, call.size()), call) << where << item;
                EXPECT_TRUE(item.ends_with(stops[i].itemEnd)) << where << item;
                // Only what this run wrote: no earlier run's end.
                EXPECT_EQ(item.find("Done"), item.rfind("Done")) << where << item;
                const json& after = dumps[1];
                EXPECT_EQ(after["history"].size(), i + 1) << where << after["history"];
                EXPECT_EQ(after["alerts"], json::array()) << where;
                if (leaves[i]) {
                    EXPECT_FALSE(after.contains("debugger")) << where << after;
                } else {
                    ASSERT_TRUE(after.contains("debugger")) << where << after;
                    EXPECT_EQ(after["debugger"]["line"], ended["debugger"]["line"]) << where;
                }
            }
        }
    }
}

// Every run leaves one item of its own, whoever started it: a label that paused over the
// graph (ended by Return or broken there), one that writes after a pause, the debugger's
// Run after an entry line's run, a DispTable run, a Run pressed inside a called program
// the debugger stepped into, a Run left while it waits. A key typed while a step's error alert is open steps nothing
// behind it; on a phone on its side a stepped question is answered with the debugger in
// sight.
TEST(ProgramRunsDrive, EveryRunLeavesOneItemOfItsOwn)
{
    const std::string programs = buttonProgram("BP", "Q+1->Q\nDispGraph\nPause\n")
        + buttonProgram("BA", "Pause\nDisp \"AFTER\"\n")
        + "program OL\nDisp \"OLD\"\nend\nprogram NA\nDisp \"NEW\"\nend\nprogram DT\nDispTable\nend\n"
          "program EZ\n1->Q\n1/0\nDisp 5\nend\nprogram QS\n1->Q\nprgmSUBZ\nQ+1->Q\nDisp \"Z\"\nend\n"
          "program SUBZ\nQ+5->Q\nend\nprogram IN\nInput \"N=\",N\nDisp 2N\nend\n"
          "program GD\n0->A\nDispGraph\n1->A\nDisp A\nend\n";
    const json graph = graphFrame("");
    ASSERT_TRUE(graph.is_array());
    const auto [debug, debugger] = openedDebugger(programs, "n", "");
    ASSERT_TRUE(debugger.is_object());
    const std::string run = tapAt(debugger["controls"]["run"]) + "wait idle\n";
    const std::string s = "hkey s\nwait idle\n";
    const std::string leave = "hkey Escape\nwait idle\nkey 2ND\nkey MODE\nwait idle\n";
    const DriveRun driven = driveScript(
        programs + clickGo("BP", graph) + "hkey Return\nwait idle\ndump\n" + clickGo("BP", graph)
            + "hkey Escape\nwait idle\ndump\npress OK\n" + clickGo("BA", graph) + "hkey Return\nwait idle\ndump\n"
            + "type prgmOL\nhkey Return\nwait idle\n" + openDebugger("n", debug) + run + "dump\n" + leave
            + "type prgmDT\nhkey Return\nwait idle\nkey 2ND\nkey MODE\nwait idle\ndump\n" + openDebugger("e", debug) + s + s
            + s + "dump\npress OK\n" + leave + openDebugger("q", debug) + s + s + run + "dump\n" + leave
            + openDebugger("i", debug) + run + "hkey Escape\nwait idle\ndump\npress OK\ntype 5+5\nhkey Return\nwait idle\ndump\n"
            + openDebugger("g", debug) + s + s + "dump\n" + s + s + "dump\n");
    ASSERT_TRUE(endedWithDumps(driven, 11));
    EXPECT_EQ(lastItem(driven.dumps[0]), "prgm»BP → Done");
    EXPECT_EQ(lastItem(driven.dumps[1]), "prgm»BP → User break");
    EXPECT_EQ(lastItem(driven.dumps[2]), "prgm»BA → AFTER/Done");
    EXPECT_EQ(lastItem(driven.dumps[3]), "prgm»NA → NEW/Done");
    EXPECT_EQ(lastItem(driven.dumps[4]), "prgm»DT → Done");
    const json& failed = driven.dumps[5];
    EXPECT_EQ(lastItem(failed), "prgm»EZ → Divide by 0");
    EXPECT_EQ(failed["output"], json::array({"Divide by 0"}));
    ASSERT_EQ(failed["alerts"].size(), 1u) << failed;
    EXPECT_EQ(lastItem(driven.dumps[6]), "prgm»QS → Z/Done");
    EXPECT_EQ(driven.dumps[6]["debugger"]["vars"], json::array({"ANS 7", "Q 7"}));
    // Each run one item: the two entry lines that showed the graph (the second BP is
    // typed over the graph still in front), three labels, OL, NA, DT, EZ and QS.
    EXPECT_EQ(driven.dumps[6]["history"].size(), 10u) << driven.dumps[6]["history"];
    // Escape while the debugger's Run waits for an answer ends the run as a break: no
    // question waits unseen for the next line.
    EXPECT_EQ(lastItem(driven.dumps[7]), "prgm»IN → N=/User break");
    EXPECT_FALSE(driven.dumps[7].contains("debugger"));
    EXPECT_EQ(lastItem(driven.dumps[8]), "5+5 → 10");
    // A step over DispGraph ends with the debugger over the output, where a later stepped
    // Disp shows.
    EXPECT_EQ(driven.dumps[9]["top"]["id"], 109);
    EXPECT_EQ(driven.dumps[9]["screen"], 2);
    EXPECT_EQ(driven.dumps[10]["output"], json::array({"1", "Done"}));
    EXPECT_EQ(lastItem(driven.dumps[10]), "prgm»GD → 1/Done");

    const std::string options = "--size 844x390";
    const DriveRun asked = driveScript(programs + openDebugger("i", openedDebugger(programs, "i", options).first) + s
                                           + "dump\nkey 4\ndump\n" + s + "dump\nkey 2ND\nkey MODE\nwait idle\ndump\npress OK\n"
                                           + "type 1+1\nhkey Return\nwait idle\ndump\n",
                                       options);
    ASSERT_TRUE(endedWithDumps(asked, 5));
    EXPECT_TRUE(asked.dumps[0].contains("debugger")) << asked.dumps[0];
    EXPECT_EQ(asked.dumps[0]["output"], json::array({"N="}));
    // The keyboard beside the debugger answers.
    EXPECT_EQ(asked.dumps[1]["output"], json::array({"N=4"}));
    ASSERT_TRUE(asked.dumps[2].contains("debugger")) << asked.dumps[2];
    const json& vars = asked.dumps[2]["debugger"]["vars"];
    EXPECT_NE(std::find(vars.begin(), vars.end(), "N 4"), vars.end()) << vars;
    // QUIT between the steps ends the run as a break and leaves for the home screen, which
    // answers the next line.
    EXPECT_FALSE(asked.dumps[3].contains("debugger")) << asked.dumps[3];
    EXPECT_EQ(lastItem(asked.dumps[3]), "prgm»IN → N=4/User break");
    EXPECT_EQ(asked.dumps[4]["screen"], 0);
    EXPECT_EQ(lastItem(asked.dumps[4]), "1+1 → 2");
}

// What the debugger shows and whose keys it keeps, at every size: a step over DispGraph or
// DispTable leaves the graph or the table in the display it keeps free until a statement
// writes; Run answers a stepped question first; no chord opens a screen over it; the
// editor's Quit over its output leaves it as its own Quit does; Show program opens the
// faulty program in it; keys typed at no delay act in order, a stop's alert taking the keys
// typed after the stop; a Run that asks and then shows the graph leaves one item.
TEST(ProgramRunsDrive, TheDebuggerKeepsItsDisplayAndItsKeys)
{
    const std::string programs = "program GA\n0->A\nDispGraph\n1->A\nDisp A\nend\n"
                                 "program TA\n0->A\nDispTable\n1->A\nDisp A\nend\n"
                                 "program IA\nInput \"N=\",N\nDisp 2N\nend\n"
                                 "program EA\n1->A\n1/0\nend\n"
                                 "program QA\n1->A\nInput \"N=\",N\nDisp N\n2->B\n3->C\nDisp C\nend\n"
                                 "program ZA\nPrompt N\nDispGraph\nend\n";
    const std::string s = "hkey s\nwait idle\n";
    // Out of the debugger (a run left in progress ends as a break, whose alert is
    // closed), then home.
    const std::string home = "hkey Escape\nwait idle\npress? OK\nwait idle\nkey 2ND\nkey MODE\nwait idle\n";
    for (const char* size : {"390x844", "844x390", "768x1024", "1024x768"}) {
        const bool tablet = std::string(size).starts_with("768") || std::string(size).starts_with("1024");
        const bool beside = std::string(size) == "844x390";
        const std::string options = std::string("--size ") + size + (tablet ? " --device tablet" : "");
        const auto [debug, debugger] = openedDebugger(programs, "g", options);
        ASSERT_TRUE(debugger.is_object()) << size;
        const std::string run = tapAt(debugger["controls"]["run"]);
        // The editor's Quit over the output of a Run waiting for its answer.
        const DriveRun editor = driveScript(programs + openDebugger("i", debug) + run + "wait idle\ndump\n", options);
        ASSERT_TRUE(endedWithDumps(editor, 1)) << size;
        const std::string editorQuit = tapAt(editor.dumps[0]["editor"]["controls"]["quit"]);
        std::string chords;
        for (const char* chord : {"Ctrl+Y", "Ctrl+T", "Ctrl+G", "Ctrl+Shift+G", "Ctrl+Shift+Y", "Ctrl+Shift+T", "Ctrl+A",
                                  "Ctrl+C", "Ctrl+D", "Ctrl+O"})
            chords += std::string("hkey ") + chord + "\nwait idle\n";
        const DriveRun driven = driveScript(programs
                + openDebugger("g", debug) + s + s + "dump\n" + s + s + "dump\n" + home
                + openDebugger("t", debug) + s + s + "dump\n" + s + s + "dump\n" + home
                // Beside the keyboard Run is in reach while the stepped question waits;
                // elsewhere the keyboard is in front, and ENTER answers before Run.
                + openDebugger("i", debug) + s + "key 7\n" + (beside ? "" : "key ENTER\nwait idle\n") + run
                + "wait idle\ndump\n" + home
                + openDebugger("g", debug) + chords + "dump\n" + s + "dump\n" + home
                + openDebugger("i", debug) + run + "wait idle\n" + editorQuit + "wait idle\ndump\npress OK\n"
                + "type prgmEA\nkey ENTER\nwait idle\npress Show program\nwait idle\ndump\nhkey 7\nhkey Escape\nwait idle\ndump\n" + home
                + openDebugger("q", debug) + "hkey s\nhkey s\nhkey 7\nhkey Return\nhkey s\nhkey s\nhkey s\nwait idle\ndump\n" + home
                + openDebugger("i", debug) + run + "hkey Escape\nhkey Return\ntype 5+5\nhkey Return\nwait idle\ndump\n"
                + openDebugger("z", debug) + run + "wait idle\nkey 5\nkey ENTER\nwait idle\ndump\n" + home,
            options);
        ASSERT_TRUE(endedWithDumps(driven, 13)) << size;
        const json* d = driven.dumps.data();
        // The graph DispGraph showed stands in the display the debugger keeps free.
        ASSERT_TRUE(d[0].contains("debugger")) << size << d[0];
        const json& graph = d[0]["graph"];
        ASSERT_TRUE(graph.is_array()) << size << d[0];
        const json& text = d[0]["debugger"]["text"];
        if (beside)
            EXPECT_LE(graph[0].get<int>() + graph[2].get<int>(), text[0].get<int>()) << size << graph;
        else
            EXPECT_LE(graph[1].get<int>() + graph[3].get<int>(), text[1].get<int>()) << size << graph;
        EXPECT_EQ(d[0]["debugger"]["line"], 2) << size;
        // Disp A writes: the output is back, one item for the run.
        EXPECT_TRUE(d[1]["keyboard"].is_object()) << size;
        EXPECT_EQ(lastItem(d[1]), "prgm»GA → 1/Done") << size;
        // The table DispTable showed, with the debugger over it.
        EXPECT_EQ(d[2]["screen"], 5) << size;
        EXPECT_EQ(d[2]["top"]["id"], 109) << size;
        EXPECT_EQ(lastItem(d[3]), "prgm»TA → 1/Done") << size;
        EXPECT_EQ(d[3]["screen"], 2) << size;
        // Run with the stepped question waiting answers it first.
        EXPECT_EQ(lastItem(d[4]), "prgm»IA → N=7/14/Done") << size;
        // No chord opened anything over the debugger, and s still steps.
        EXPECT_EQ(d[5]["screen"], 2) << size;
        EXPECT_EQ(d[5]["top"]["id"], 109) << size;
        EXPECT_EQ(d[5]["menu"], nullptr) << size;
        EXPECT_EQ(d[6]["debugger"]["line"], 1) << size;
        // The editor's Quit over the output of a Run waiting at its question: a break, and
        // the home screen with its keyboard.
        EXPECT_EQ(lastItem(d[7]), "prgm»IA → N=/User break") << size;
        EXPECT_EQ(d[7]["top"]["id"], 0) << size;
        EXPECT_FALSE(d[7].contains("debugger")) << size;
        // Show program: the faulty program in debug mode under the debugger; a typed key
        // edits nothing, Escape leaves for the editor.
        ASSERT_TRUE(d[8].contains("debugger")) << size << d[8];
        EXPECT_EQ(d[8]["editor"]["debug"], true) << size;
        EXPECT_EQ(d[8]["debugger"]["label"], "Debug:EA") << size;
        EXPECT_EQ(d[8]["editor"]["label"], "Debug:EA") << size;
        EXPECT_EQ(d[9]["editor"]["lines"], json::array({":1➞A", ":1/0"})) << size << d[9]["editor"];
        EXPECT_FALSE(d[9].contains("debugger")) << size;
        EXPECT_EQ(d[9]["top"]["id"], 2) << size;
        // Typed at once: each s in its turn, the answer between them.
        EXPECT_EQ(d[10]["debugger"]["line"], 5) << size;
        EXPECT_EQ(d[10]["output"], json::array({"N=7", "7"})) << size;
        // Run, Escape, Return, 5+5, Return at once: the break's alert took the Return.
        EXPECT_EQ(d[11]["alerts"], json::array()) << size;
        EXPECT_EQ(lastItem(d[11]), "5+5 → 10") << size;
        // A Run that asks and then shows the graph: one item, nothing evaluated again.
        EXPECT_EQ(lastItem(d[12]), "prgm»ZA → N=?5/Done") << size;
        EXPECT_EQ(d[12]["history"].size(), d[11]["history"].size() + 1) << size;
    }
}

// The output's grid spans its area at every size, on the output screen and above the
// debugger: a right-aligned value ends by the pause mark at the right edge, not mid-screen,
// its letters as wide as the grid's cells rather than spread apart.
TEST(ProgramRunsDrive, TheOutputGridSpansItsAreaAtEverySize)
{
    const std::string program = "program YP\nDisp 12345\nPause 7\nend\n";
    for (const char* size : {"390x844", "844x390", "320x390", "1024x768"}) {
        const bool tablet = std::string(size) == "1024x768";
        const std::string options = std::string("--size ") + size + (tablet ? " --device tablet" : "");
        const auto shot = driveScratch(std::string("spans-") + size + ".png");
        const DriveRun run = driveScript(program + "type prgmYP\nkey ENTER\nwait idle\nshot " + shot.string() + "\ndump\n", options);
        ASSERT_TRUE(endedWithDumps(run, 1)) << size;
        const json& grid = run.dumps[0]["programOutput"]["grid"];
        ASSERT_TRUE(grid.is_array()) << size << run.dumps[0];
        // 33 cells, inset 4 on each side.
        EXPECT_GE(33 * grid[5].get<double>(), grid[2].get<double>() - 8.5) << size << grid;
        // The value's last digit stands in the last fifth of the line.
        const QImage picture(QString::fromStdString(shot.string()));
        ASSERT_FALSE(picture.isNull()) << size;
        int right = -1;
        const int y = grid[1].get<int>() + static_cast<int>(grid[4].get<double>() / 2);
        for (int x = grid[0].get<int>(); x < grid[0].get<int>() + grid[2].get<int>() * 9 / 10; ++x)
            if (qGray(picture.pixel(x, y)) < 80)
                right = x;
        EXPECT_GT(right, grid[0].get<int>() + grid[2].get<int>() * 4 / 5) << size;
        // The digits are drawn as wide as their cells, not apart: no run of blank columns
        // between two of them is wider than a third of a cell.
        const double cell = grid[5].get<double>(), leading = grid[4].get<double>();
        int gap = 0, widest = 0;
        // Its five digits fill the last five of the 32 columns (the pause mark stands after).
        const double left = grid[0].get<double>() + 4 + 27 * cell;
        for (int x = static_cast<int>(left + cell / 2); x < static_cast<int>(left + 4.5 * cell); ++x) {
            bool ink = false;
            for (int dy = 0; dy < static_cast<int>(leading) && !ink; ++dy)
                ink = qGray(picture.pixel(x, grid[1].get<int>() + 2 + dy)) < 128;
            gap = ink ? 0 : gap + 1;
            widest = std::max(widest, gap);
        }
        EXPECT_LE(widest, cell / 3) << size << ": a gap of " << widest << " in cells of " << cell;
    }
}

// An error alert's Show program or Goto brings the program's editor (under the debugger) or
// the Y= editor to the front whichever full-size screen the user had opened meanwhile: the
// graph, the periodic table, the statistics tests or geometry. Escape leaves the debugger
// for the editor, with nothing left over it.
TEST(ProgramRunsDrive, AnAlertsWayBackComesInFrontOfEveryFullSizeScreen)
{
    // Each waits for a key, then fails: the key is sent once the screen is in front.
    const std::string programs = "program KE\n0->K\nRepeat K\ngetKey->K\nEnd\n1/0\nend\n"
                                 "program KG\nDispGraph\n0->K\nRepeat K\ngetKey->K\nEnd\n1/0\nend\n"
                                 "program YG\n\"X+\"->Y₁\nDispGraph\nend\n";
    const std::vector<std::pair<std::string, std::string>> screens{
        {"graph", ""}, {"periodic table", "open 13\n"}, {"statistics tests", "open 15\n"}, {"geometry", "open 16\n"}};
    const std::string home = "wait idle\nkey 2ND\nkey MODE\nwait idle\n";
    for (const char* device : kDevices) {
        std::string script = programs;
        for (const auto& [name, opened] : screens) {
            script += std::string("type prgm") + (opened.empty() ? "KG" : "KE") + "\nkey ENTER\nwait running\n" + opened
                + "wait still\nkey 5\nwait idle\npress Show program\nwait idle\ndump\nhkey Escape\nwait idle\ndump\n" + home;
            // The equation's fault comes over the graph; the screen opened under the alert.
            script += "type prgmYG\nkey ENTER\nwait idle\n" + opened + "wait still\npress Goto\nwait idle\ndump\n" + home;
        }
        const DriveRun run = driveScript(script, std::string("--device ") + device);
        ASSERT_TRUE(endedWithDumps(run, 3 * screens.size())) << device;
        for (std::size_t i = 0; i < screens.size(); ++i) {
            const std::string what = std::string(device) + ", " + screens[i].first;
            const json& shown = run.dumps[3 * i];
            EXPECT_EQ(shown["top"]["id"], 109) << what;
            EXPECT_EQ(shown["editor"]["debug"], true) << what;
            EXPECT_EQ(shown["screen"], 2) << what;
            const json& left = run.dumps[3 * i + 1];
            EXPECT_EQ(left["top"]["id"], 2) << what << left["top"];
            EXPECT_EQ(left["screen"], 2) << what;
            const json& equations = run.dumps[3 * i + 2];
            EXPECT_EQ(equations["top"]["id"], 1) << what << equations["top"];
            EXPECT_EQ(equations["screen"], 1) << what;
        }
    }
}

// A run's call left on its output for a screen that types on the entry line is spent with
// the run: the error's Show program brings the debugger over the program stopped, and never
// enters that call again (a second run would wait for a key forever).
TEST(ProgramRunsDrive, ARunsCallLeftOnItsOutputIsNotEnteredAgainByShowProgram)
{
    std::string script = "program KE\n0->K\nRepeat K\ngetKey->K\nEnd\n1/0\nend\n";
    const std::vector<std::string> screens{"13", "15", "16"};
    for (const std::string& id : screens)
        script += "type prgmKE\nkey ENTER\nwait screen 11\nopen " + id + "\nwait still\nkey 5\nwait idle\n"
            + "press Show program\nwait idle\ndump\nhkey Escape\nwait idle\nkey 2ND\nkey MODE\nwait idle\ndump\n";
    const DriveRun run = driveScript(script, "--device phone");
    ASSERT_TRUE(endedWithDumps(run, 2 * screens.size())) << run.output;
    for (std::size_t i = 0; i < screens.size(); ++i) {
        const json& shown = run.dumps[2 * i];
        EXPECT_EQ(shown["running"], false) << screens[i];
        EXPECT_EQ(shown["top"]["id"], 109) << screens[i];
        EXPECT_EQ(shown["entry"], "") << screens[i];
        EXPECT_EQ(run.dumps[2 * i + 1]["entry"], "") << screens[i];
    }
}

// An alert closed gives the keys back to the window: Escape then leaves the periodic table
// opened after it (the tablet's Y= editor with an inequality's alerts, one closed after the
// window turned).
TEST(ProgramRunsDrive, AClosedAlertGivesTheKeysBackToTheScreenInFront)
{
    const DriveRun run = driveScript("hkey Ctrl+Shift+P\npress? Cancel\nhkey Ctrl+Y\nkey UNDO\nwait still\ntype A+1\nkey DOWN\n"
                                     "press? ≤\npress? >\nhkey Ctrl+Shift+F\nwait still\nkey UP\nkey STO→\nsize 1024x768\n"
                                     "press? OK\nwait still\ntype X²\nkey ENTER\npress? OK\nwait still\n"
                                     "open 13\nwait still\nhkey Escape\nwait still\ndump\n",
                                     "--device tablet");
    ASSERT_TRUE(endedWithDumps(run, 1));
    EXPECT_EQ(run.dumps[0]["top"]["id"], 0) << run.dumps[0]["top"] << run.dumps[0].value("keys", json());
}

// The debugger turned with the window lays itself out for the new size, also while the
// graph came over it.
TEST(ProgramRunsDrive, TheDebuggerUnderTheGraphFollowsTheTurn)
{
    for (const auto& [device, from, to] : {std::tuple{"tablet", "768x1024", "1024x768"}, {"tablet", "1024x768", "768x1024"},
             {"phone", "390x844", "844x390"}, {"phone", "844x390", "390x844"}}) {
        const std::string what = std::string(device) + " " + from + " to " + to;
        const DriveRun run = driveScript(std::string("size ") + from + "\nopen 109\nwait idle\nhkey Ctrl+G\nwait idle\nsize "
                + to + "\nwait still\ndump\nhkey Escape\nwait still\ndump\n",
            std::string("--device ") + device);
        ASSERT_TRUE(endedWithDumps(run, 2)) << what;
        for (const json& d : run.dumps)
            EXPECT_FALSE(d.contains("unreachable")) << what << d["top"] << d.value("unreachable", json());
    }
}

// A key that opens a screen, pressed while a run is about to show the graph, opens it in
// front of the graph: its screen is current and on top.
TEST(ProgramRunsDrive, AScreenKeyPressedWhileARunDrawsComesInFrontOfTheGraph)
{
    const std::vector<std::pair<std::string, int>> keys{{"TABLE", 5}, {"Y=", 1}, {"2ND\nkey TABLE", 6}};
    std::string script = "program GW\nFor(I,1,50)\nEnd\nDispGraph\nend\n";
    for (const auto& [key, screen] : keys)
        script += "type prgmGW\nkey ENTER\nwait running\nkey " + key + "\nwait idle\nwait still\ndump\nhkey Escape\nwait idle\n"
            + "key 2ND\nkey MODE\nwait idle\n";
    for (const char* device : kDevices) {
        const DriveRun run = driveScript(script, std::string("--device ") + device);
        ASSERT_TRUE(endedWithDumps(run, keys.size())) << device;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            EXPECT_EQ(run.dumps[i]["screen"], keys[i].second) << device << ", " << keys[i].first;
            EXPECT_EQ(run.dumps[i]["top"]["id"], keys[i].second) << device << ", " << keys[i].first << run.dumps[i]["top"];
        }
    }
}
