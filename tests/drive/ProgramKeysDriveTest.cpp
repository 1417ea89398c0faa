// Keys typed while a program runs, in the same turn as the ENTER that starts it or a moment
// after: the program's readers (getKey, Input, Prompt, Menu(, Pause) take them first, each
// key acts once, and those it does not read act after the run. The calculator's keys and the
// computer's, at both sizes.

#include "drive/DriveSession.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

using nlohmann::json;
using orvenda::test::DriveRun;
using orvenda::test::driveScript;
using orvenda::test::endedWithDumps;

const char* const kPrograms = "program GK\n0->K\nRepeat K\ngetKey->K\nEnd\nDisp K\nend\n"
                              "program PR\nPrompt A,B\nDisp A+B\nend\n"
                              "program IN\nInput \"N=\",N\nDisp 2N\nend\n"
                              "program PA\nDisp 1\nPause\nDisp 2\nend\n"
                              "program MN\nMenu(\"PICK\",\"ONE\",A,\"TWO\",B)\nLbl A\nDisp \"GOT A\"\nStop\nLbl B\n"
                              "Disp \"GOT B\"\nend\n"
                              "program Q\n1->Q\nend\n";

// What one program is typed with, and what it shows and leaves.
struct Case {
    const char* program;
    std::vector<std::string> keys;
    json output;
};

// A key as each keyboard types it.
std::string typed(const std::string& key, bool computer)
{
    if (!computer)
        return "key " + key + "\n";
    return "hkey " + (key == "ENTER" ? std::string("Return") : key) + "\n";
}

TEST(ProgramKeysDrive, KeysTypedRightAfterTheEnterThatStartsAProgramAreItsOwn)
{
    const std::vector<Case> cases = {
        // getKey reads the 5 (code 83); it is not typed on the home line after the run.
        {"GK", {"5"}, json::array({"83", "Done"})},
        {"PR", {"3", "ENTER", "4", "ENTER"}, json::array({"A=?3", "B=?4", "7", "Done"})},
        {"IN", {"5", "ENTER"}, json::array({"N=5", "10", "Done"})},
        // Pause takes the ENTER: the program does not run a second time.
        {"PA", {"ENTER"}, json::array({"1", "2", "Done"})},
        {"MN", {"2"}, json::array({"GOT B", "Done"})},
    };
    for (const char* device : {"phone", "tablet"})
        for (const bool computer : {false, true})
            for (const char* gap : {"", "wait 1\n"}) {
                std::string script = kPrograms;
                for (const Case& c : cases) {
                    script += std::string("type prgm") + c.program + "\n" + typed("ENTER", computer) + gap;
                    for (const std::string& key : c.keys)
                        script += typed(key, computer);
                    script += "wait idle\ndump\n";
                }
                // A program that reads no key leaves what was typed to act after it.
                script += "type prgmQ\n" + typed("ENTER", computer) + gap + typed("2", computer) + typed("+", computer)
                    + typed("2", computer) + typed("ENTER", computer) + "wait idle\ndump\n";
                const std::string variant = std::string(device) + (computer ? " hkey " : " key ") + gap;
                const DriveRun run = driveScript(script, std::string("--device ") + device);
                ASSERT_TRUE(endedWithDumps(run, cases.size() + 1)) << variant;
                for (std::size_t i = 0; i < cases.size(); ++i) {
                    const json& dump = run.dumps[i];
                    const std::string name = std::string("prgm»") + cases[i].program;
                    EXPECT_EQ(dump["output"], cases[i].output) << variant << name;
                    EXPECT_EQ(dump["entry"], "") << variant << name;
                    EXPECT_EQ(dump["alerts"], json::array()) << variant << name;
                    // One history item a run, naming the program.
                    ASSERT_EQ(dump["history"].size(), i + 1) << variant << name << dump["history"];
                    EXPECT_EQ(dump["history"][i]["input"], name) << variant;
                }
                const json& last = run.dumps.back()["history"];
                ASSERT_EQ(last.size(), cases.size() + 2) << variant << last;
                EXPECT_EQ(last[cases.size()]["input"], "prgm»Q") << variant;
                EXPECT_EQ(last.back(), json::parse(R"({"input":"2+2","answer":"4"})")) << variant;
            }
}

// Keys typed on the computer ahead of an answer that is an error never close its alert
// unseen: the alert stays, and what was typed acts on a new line under it. After a
// division by zero, and after ON stops a loop.
TEST(ProgramKeysDrive, KeysTypedAheadOfAnErrorActUnderItsAlert)
{
    const std::string ahead = "hkey 5\nhkey +\nhkey 5\nhkey Return\n";
    const DriveRun run = driveScript("program L\nWhile 1\nEnd\nend\n"
                                     "type 7/0\nhkey Return\n" + ahead + "wait idle\ndump\npress OK\nwait idle\ndump\n"
                                     "type prgmL\nhkey Return\nwait running\n" + ahead + "key ON\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 3));
    const json& divided = run.dumps[0];
    ASSERT_EQ(divided["alerts"].size(), 1u) << divided;
    EXPECT_EQ(divided["alerts"][0]["message"], "Divide by 0");
    EXPECT_EQ(divided["history"], json::parse(R"([{"input":"5+5","answer":"10"}])"));
    EXPECT_EQ(divided["entry"], "");
    EXPECT_EQ(run.dumps[1]["alerts"], json::array());
    const json& stopped = run.dumps[2];
    ASSERT_EQ(stopped["alerts"].size(), 1u) << stopped;
    EXPECT_EQ(stopped["alerts"][0]["title"], "User break");
    EXPECT_EQ(stopped["history"].back(), json::parse(R"({"input":"5+5","answer":"10"})"));
    EXPECT_EQ(stopped["entry"], "");
}

} // namespace

namespace {

// A tap at a point [x, y], or at the centre of a rectangle [x, y, width, height], from a dump.
std::string tapAt(const std::vector<int>& at)
{
    const bool rect = at.size() == 4;
    return "tap " + std::to_string(at[0] + (rect ? at[2] / 2 : 0)) + " " + std::to_string(at[1] + (rect ? at[3] / 2 : 0))
        + "\n";
}

// The items of a dump's history as "input → answer" with the answer's blanks trimmed.
std::vector<std::string> items(const json& dump)
{
    std::vector<std::string> out;
    for (const json& item : dump["history"]) {
        std::string answer = item["answer"].get<std::string>();
        answer.erase(0, answer.find_first_not_of(' '));
        out.push_back(item["input"].get<std::string>() + " → " + answer);
    }
    return out;
}

const char* const kDevices[] = {"phone", "tablet"};

} // namespace

// With the graph in front (it covers the keyboard on a phone) the computer's keys, + and
// - among them, go to the program as they would with the keyboard in front: getKey reads
// them, Return ends a Pause and takes its bar away, and an Input's question comes in front
// to be answered.
TEST(ProgramKeysDrive, AProgramOverTheGraphHasTheComputersKeys)
{
    const std::string script = "program GL\nClrDraw\n0->N\n0->K\n{0}->L₁\nRepeat K=45\ngetKey->K\nIf K:Then\nN+1->N\n"
                               "K->L₁(N)\nEnd\nPt-On(N,0)\nEnd\nDisp L₁\nend\n"
                               "program PZ\nClrDraw\nPt-On(0,0)\nPause\nDisp 7\nend\n"
                               "program IG\nDispGraph\nInput \"A=\",A\nDisp A*2\nend\n"
                               "type prgmGL\nhkey Return\nwait screen 8\nhkey 5\nhkey Right\nhkey 8\nhkey +\n"
                               "hkey Shift+Backspace\nwait idle\ndump\n"
                               "type prgmPZ\nhkey Return\nwait idle\ndump\nhkey Return\nwait idle\ndump\n"
                               "type prgmIG\nhkey Return\nwait idle\ndump\nhkey 5\nhkey Return\nwait idle\ndump\n";
    for (const char* device : kDevices) {
        const DriveRun run = driveScript(script, std::string("--device ") + device);
        ASSERT_TRUE(endedWithDumps(run, 5)) << device;
        EXPECT_EQ(run.dumps[0]["output"], json::array({"{83 26 73 95 45}", "Done"})) << device;
        const json& paused = run.dumps[1];
        EXPECT_EQ(paused["screen"], 8) << device;
        EXPECT_TRUE(paused["pauseBar"].is_array()) << device << paused;
        EXPECT_EQ(run.dumps[2]["output"], json::array({"7", "Done"})) << device;
        EXPECT_EQ(run.dumps[2].value("pauseBar", json()), nullptr) << device;
        const json& asked = run.dumps[3];
        EXPECT_EQ(asked["screen"], 11) << device;
        EXPECT_EQ(asked["output"], json::array({"A="})) << device;
        EXPECT_EQ(run.dumps[4]["output"], json::array({"A=5", "10", "Done"})) << device;
        EXPECT_EQ(items(run.dumps[4]),
                  (std::vector<std::string>{"prgm»GL → {83 26 73 95 45}\n                            Done",
                                            "prgm»PZ → 7\n                            Done",
                                            "prgm»IG → A=5                             \n                              10\n"
                                            "                            Done"}))
            << device;
    }
}

// A loop that a graph button's label runs, or that the debugger's Run started, stops when
// Escape leaves the graph: nothing runs on out of sight, and a line typed next is answered.
TEST(ProgramKeysDrive, EscapeStopsARunWhoeverStartedIt)
{
    const std::string programs = "program BT\n0->A\nFnOff \nButton(10,60,120,\"GO\",\"P\")\nDispGraph\nStop\nLbl P\n"
                                 "A+1->A\nWhile 1\nEnd\nend\n";
    for (const char* device : kDevices) {
        const std::string options = std::string("--device ") + device;
        const DriveRun shown = driveScript(programs + "type prgmBT\nhkey Return\nwait idle\ndump\n", options);
        ASSERT_TRUE(endedWithDumps(shown, 1)) << device;
        const json& graph = shown.dumps[0]["graph"];
        const std::string go = "tap " + std::to_string(graph[0].get<int>() + 70) + " " + std::to_string(graph[1].get<int>() + 77)
            + "\n";
        // Run twice: the graph made by the first run shows the button again.
        const DriveRun run = driveScript(programs + "type prgmBT\nhkey Return\nwait idle\nhkey Escape\nwait idle\n"
                                             + "type prgmBT\nhkey Return\nwait idle\n" + go
                                             + "wait running\nhkey Escape\nwait idle\ndump\npress OK\n"
                                               "type 2+2\nhkey Return\nwait idle\ndump\n",
                                         options);
        ASSERT_TRUE(endedWithDumps(run, 2)) << device;
        const json& left = run.dumps[0];
        EXPECT_EQ(left["screen"], 0) << device;
        ASSERT_EQ(left["alerts"].size(), 1u) << device << left;
        EXPECT_EQ(left["alerts"][0]["title"], "User break") << device;
        // The run was taken when Escape came, its first line perhaps not yet run: the break
        // alone tells it stopped.
        EXPECT_NE(left["ans"], "2") << device;
        EXPECT_EQ(items(run.dumps[1]).back(), "2+2 → 4") << device;
    }
}

// Keys typed while a program runs from the debugger are its own as with any run: getKey
// reads them and they are not typed after; an Input's answer stays after its question;
// one history item names the program. Keys the program did not read go to the debugger in
// front afterwards, which types nothing. Escape over the graph the run showed stops it.
TEST(ProgramKeysDrive, KeysDuringTheDebuggersRunAreTheProgramsOnce)
{
    const std::string programs = "program WD\nInput \"N=\",N\n0->K\nRepeat K\ngetKey->K\nEnd\nDisp 2N,K\nend\n"
                                 "program XW\nWhile 1\nEnd\nend\nprogram YG\nClrDraw\nPt-On(0,0)\nWhile 1\nEnd\nend\n";
    const auto open = [](const char* letter) { return std::string("key PRGM\nkey RIGHT\nhkey ") + letter + "\nhkey Return\n"; };
    for (const char* device : kDevices) {
        const std::string options = std::string("--device ") + device;
        const DriveRun editor = driveScript(programs + open("w") + "dump\n", options);
        ASSERT_TRUE(endedWithDumps(editor, 1)) << device;
        const std::string debug = tapAt(editor.dumps[0]["editor"]["controls"]["debug"].get<std::vector<int>>());
        const DriveRun debugger = driveScript(programs + open("w") + debug + "dump\n", options);
        ASSERT_TRUE(endedWithDumps(debugger, 1)) << device;
        const std::string run = tapAt(debugger.dumps[0]["debugger"]["controls"]["run"].get<std::vector<int>>());

        const DriveRun answered = driveScript(programs + open("w") + debug + run
                                                  + "wait idle\nhkey 4\nhkey Return\nhkey 5\nwait idle\ndump\n",
                                              options);
        ASSERT_TRUE(endedWithDumps(answered, 1)) << device;
        const json& read = answered.dumps[0];
        EXPECT_EQ(read["output"], json::array({"N=4", "8", "83", "Done"})) << device;
        EXPECT_EQ(read["entry"], "") << device;
        EXPECT_TRUE(read.contains("debugger")) << device << read;
        // The run's item keeps what it showed, as an entry line's run does.
        EXPECT_EQ(items(read), std::vector<std::string>{"prgm»WD → N=4                             \n"
                                                        "                               8\n"
                                                        "                              83\n"
                                                        "                            Done"})
            << device;
        const DriveRun broken = driveScript(programs + open("x") + debug + run
                                                + "hkey 7\nhkey 8\nkey ON\nwait idle\npress OK\nwait idle\ndump\n",
                                            options);
        ASSERT_TRUE(endedWithDumps(broken, 1)) << device;
        EXPECT_TRUE(broken.dumps[0].contains("debugger")) << device << broken.dumps[0];
        EXPECT_EQ(broken.dumps[0]["entry"], "") << device;
        const DriveRun graph = driveScript(programs + open("y") + debug + run + "wait screen 8\nhkey Escape\nwait idle\ndump\n",
                                           options);
        ASSERT_TRUE(endedWithDumps(graph, 1)) << device;
        EXPECT_NE(graph.dumps[0]["screen"], 8) << device;
    }
}

// DispTable shows the table while the program goes on: the history waits for the run's end,
// one item for the run that keeps what the program showed, and ON's break makes that item.
TEST(ProgramKeysDrive, DispTableLeavesTheHistoryToTheRunsEnd)
{
    const DriveRun run = driveScript("program DT\nDisp 1\nDispTable\nend\n"
                                     "program DL\nDispTable\n0->K\nRepeat K\ngetKey->K\nEnd\nDisp K\nend\n"
                                     "program DW\nDispTable\nWhile 1\nEnd\nend\n"
                                     "type prgmDT\nhkey Return\nwait idle\ndump\nkey 2ND\nkey MODE\n"
                                     "type prgmDL\nhkey Return\nwait screen 5\ndump\nhkey 5\nwait idle\ndump\nkey 2ND\nkey MODE\n"
                                     "type prgmDW\nhkey Return\nwait screen 5\nkey ON\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 4));
    EXPECT_EQ(run.dumps[0]["screen"], 5);
    // DispTable writes no line of its own.
    EXPECT_EQ(items(run.dumps[0]), (std::vector<std::string>{"prgm»DT → 1\n                            Done"}));
    // Waiting for a key with the table in front: nothing in the history yet.
    EXPECT_EQ(run.dumps[1]["history"].size(), 1u) << run.dumps[1]["history"];
    EXPECT_EQ(run.dumps[2]["history"].size(), 2u) << run.dumps[2]["history"];
    EXPECT_EQ(items(run.dumps[2]).back(), "prgm»DL → 83\n                            Done");
    const json& broken = run.dumps[3];
    ASSERT_EQ(broken["history"].size(), 3u) << broken["history"];
    EXPECT_EQ(broken["history"][2]["input"], "prgm»DW");
    ASSERT_EQ(broken["alerts"].size(), 1u);
    EXPECT_EQ(broken["alerts"][0]["title"], "User break");
}

// A letter typed while a program pauses opens no catalogue over it: Return then ends the
// Pause.
TEST(ProgramKeysDrive, ALetterOpensNoCatalogueOverAPause)
{
    for (const char* device : kDevices) {
        const DriveRun run = driveScript("program PA\nDisp 1\nPause\nDisp 2\nend\n"
                                         "type prgmPA\nhkey Return\nwait idle\nhkey s\nhkey Return\nwait idle\ndump\n",
                                         std::string("--device ") + device);
        ASSERT_TRUE(endedWithDumps(run, 1)) << device;
        const json& paused = run.dumps[0];
        EXPECT_EQ(paused.value("overlay", json()), nullptr) << device << paused;
        EXPECT_EQ(paused["output"], json::array({"1", "2", "Done"})) << device;
        EXPECT_EQ(paused["entry"], "") << device;
    }
}

namespace {

// The getKey code a program reads for a key's op: that of the first calculator key with
// the op (plain, then 2nd, then alpha layer); for a letter, that of the key it is printed
// over on the classic keypad; else 11, the code of an op on no key.
int expectedCode(const json& keys, std::uint32_t op)
{
    for (std::size_t layer = 0; layer < 3; ++layer)
        for (const json& key : keys)
            if (key["ops"][layer] == op)
                return key["code"];
    // A to Z and θ: MATH, APPS, PRGM, then x⁻¹ to 3 row by row.
    constexpr int kLetters[] = {41, 42, 43, 51, 52, 53, 54, 55, 61, 62, 63, 64, 65, 71,
                                72, 73, 74, 75, 81, 82, 83, 84, 85, 91, 92, 93, 94};
    return op >= 0x41 && op <= 0x5B ? kLetters[op - 0x41] : 11;
}

} // namespace

// Every command of the computer's keyboard that a program can read (all but the clipboard's
// and those of the ON key, which has no code), typed while a getKey loop runs: the loop
// reads the key's code, and nothing of it lands on the home line. A 5 clicked after it is
// the loop's if the key was not read, and acts after the run when it was. At rest
// afterwards, the keys type again.
TEST(ProgramKeysDrive, GetKeyReadsEveryComputerKeyWithItsCode)
{
    const DriveRun tables = driveScript("hkeys\n");
    ASSERT_TRUE(endedWithDumps(tables, 1));
    const json& keys = tables.dumps[0]["hkeys"]["keys"];
    std::vector<std::pair<std::string, int>> cases;
    for (const json& command : tables.dumps[0]["hkeys"]["commands"]) {
        const int code = command["op"].is_null() ? 0 : expectedCode(keys, command["op"].get<std::uint32_t>());
        ASSERT_NE(command["chord"], "") << command;
        if (code != 0)
            cases.emplace_back(command["chord"], code);
    }
    ASSERT_GT(cases.size(), 150u);
    std::string script = kPrograms;
    for (const auto& [chord, code] : cases)
        script += "type prgmGK\nhkey Return\nwait running\nhkey " + chord + "\nkey 5\nwait idle\ndump\nkey CLEAR\n";
    script += "hkey #\nhkey ~\nhkey Shift+A\ndump\n";
    const DriveRun run = driveScript(script);
    ASSERT_TRUE(endedWithDumps(run, cases.size() + 1));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const json& dump = run.dumps[i];
        EXPECT_EQ(dump["output"], json::array({std::to_string(cases[i].second), "Done"})) << cases[i].first;
        EXPECT_EQ(dump["entry"], "5") << cases[i].first;
        EXPECT_EQ(dump["screen"], 0) << cases[i].first;
    }
    EXPECT_EQ(run.dumps.back()["entry"], "#A");
}

// The keys on no drawn key reach each reader of a program as the drawn keys do: a getKey
// over the graph reads them, a Pause or a Menu( waiting lets them go (nothing is typed
// after the run), and in the debugger a key pressed between steps is what a stepped getKey
// reads. On the graph a 5 typed after the key ends the loop if the key was not read.
TEST(ProgramKeysDrive, KeysOnNoDrawnKeyReachEveryReaderOfAProgram)
{
    const std::string programs = std::string(kPrograms) + "program GG\nDispGraph\n0->K\nRepeat K\ngetKey->K\nEnd\nDisp K\nend\n"
        + "program KZ\n0->K\nRepeat K\ngetKey->K\nEnd\nDisp K\nend\n";
    const auto open = [](const char* letter) { return std::string("key PRGM\nkey RIGHT\nhkey ") + letter + "\nhkey Return\n"; };
    const std::vector<std::pair<std::string, int>> keys = {{"#", 11}, {"~", 11}, {"Shift+A", 41}, {"a", 11}, {"Space", 11}};
    for (const char* device : kDevices) {
        const std::string options = std::string("--device ") + device;
        const DriveRun editor = driveScript(programs + open("k") + "dump\n", options);
        ASSERT_TRUE(endedWithDumps(editor, 1)) << device;
        const std::string debug = tapAt(editor.dumps[0]["editor"]["controls"]["debug"].get<std::vector<int>>());
        const std::string step = "hkey s\nwait idle\n";
        std::string script = programs;
        for (const auto& [key, code] : keys)
            script += "type prgmGG\nhkey Return\nwait screen 8\nhkey " + key + "\nhkey 5\nwait idle\ndump\nkey 2ND\nkey MODE\n"
                + "key CLEAR\ntype prgmPA\nhkey Return\nwait idle\nhkey " + key + "\nhkey Return\nwait idle\ndump\n"
                + "type prgmMN\nhkey Return\nwait idle\nhkey " + key + "\nhkey 2\nwait idle\ndump\n" + open("k") + debug
                + step + step + "hkey " + key + "\n" + step + "dump\nhkey Escape\nwait idle\npress OK\nkey 2ND\nkey MODE\n";
        const DriveRun run = driveScript(script, options);
        ASSERT_TRUE(endedWithDumps(run, 4 * keys.size())) << device;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const std::string name = std::string(device) + " " + keys[i].first;
            const json& graph = run.dumps[4 * i];
            EXPECT_EQ(graph["output"], json::array({std::to_string(keys[i].second), "Done"})) << name;
            EXPECT_EQ(graph["entry"], "5") << name;
            const json& paused = run.dumps[4 * i + 1];
            EXPECT_EQ(paused["output"], json::array({"1", "2", "Done"})) << name;
            EXPECT_EQ(paused["entry"], "") << name;
            const json& menu = run.dumps[4 * i + 2];
            EXPECT_EQ(menu["output"], json::array({"GOT B", "Done"})) << name;
            EXPECT_EQ(menu["entry"], "") << name;
            const json& debugger = run.dumps[4 * i + 3];
            ASSERT_TRUE(debugger["debugger"].is_object()) << name << debugger;
            const json& vars = debugger["debugger"]["vars"];
            EXPECT_NE(std::find(vars.begin(), vars.end(), "K " + std::to_string(keys[i].second)), vars.end()) << name << vars;
        }
    }
}
