// A program belongs to the home screen's line: typed in a field it is refused, and a run
// that waits for its question keeps it wherever the user goes meanwhile.

#include "drive/DriveSession.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using nlohmann::json;
using orvenda::test::DriveRun;
using orvenda::test::driveScript;
using orvenda::test::endedWithDumps;
using orvenda::test::lastItem;

// Programs of every kind a field could call; each first counts its runs in B.
const std::vector<std::pair<std::string, std::string>> kCalled{
    {"PS", ""}, {"PW", "Disp \"RUN\"\n"}, {"PI", "Input \"X=\",X\nDisp X*2\n"}, {"PP", "Prompt X\n"},
    {"PZ", "Pause \n"}, {"PD", "Line(0,0,1,1)\nDispGraph \n"}, {"PL", "While 1\nEnd\n"},
    {"PK", "Repeat K\ngetKey→K\nEnd\n"}, {"PE", "1/0\n"}};

const char* const kQuit = "key 2ND\nkey MODE\nwait idle\n";

std::string programs(const std::vector<std::pair<std::string, std::string>>& list)
{
    std::string text;
    for (const auto& [name, body] : list)
        text += "program " + name + "\nB+1→B\n" + body + "end\n";
    return text;
}

// The screens whose entry line fills a field, as the app lists them.
std::vector<int> fieldScreens()
{
    const DriveRun listed = driveScript("screens\n");
    std::vector<int> ids;
    for (const json& screen : listed.dumps.empty() ? json::array() : listed.dumps[0]["screens"])
        if (screen.value("field", false))
            ids.push_back(screen["id"].get<int>());
    return ids;
}

} // namespace

// A program called from any field, by ENTER, DOWN or leaving the screen, is refused where it
// was typed: nothing runs (B stays 0), nothing recurses, the field's screen stays in front
// with a calculator error, or the home screen when it was left; and the next line works.
TEST(WaitingRunsDrive, AProgramCalledFromAFieldIsRefusedWhereverItIsTyped)
{
    const std::vector<int> screens = fieldScreens();
    ASSERT_GE(screens.size(), 12u);
    const std::vector<std::pair<std::string, std::string>> ways{
        {"ENTER", "key ENTER\n"}, {"DOWN", "key DOWN\n"}, {"leaving", kQuit}, {"Escape leaving", "hkey Escape\n"}};
    std::string script = programs(kCalled);
    std::vector<std::string> cases;
    for (int screen : screens)
        for (const auto& [name, body] : kCalled)
            for (const auto& [way, keys] : ways) {
                script += "open " + std::to_string(screen) + "\nwait idle\ntype prgm" + name + "\n" + keys
                    + "wait idle\ndump\npress? OK\nwait idle\nkey CLEAR\n";
                cases.push_back("screen " + std::to_string(screen) + ", prgm" + name + ", " + way);
            }
    script += std::string(kQuit) + "hkey Escape\nwait idle\n" + kQuit + "type B\nkey ENTER\ntype 1+1\nkey ENTER\nwait idle\ndump\n";
    const DriveRun run = driveScript(script, "", 240);
    ASSERT_TRUE(endedWithDumps(run, cases.size() + 1));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const json& d = run.dumps[i];
        const bool left = cases[i].ends_with("leaving");
        // Escape leaves a form for the home screen; elsewhere it is the screen's own key.
        if (cases[i].ends_with("Escape leaving")) {
            EXPECT_NE(d["screen"], 11) << cases[i];
            EXPECT_TRUE(d["output"].empty()) << cases[i];
            continue;
        }
        EXPECT_EQ(d["screen"], left ? 0 : std::stoi(cases[i].substr(7))) << cases[i];
        for (const json& alert : d["alerts"])
            EXPECT_EQ(alert["title"], "Calc Error") << cases[i];
        EXPECT_TRUE(d["output"].empty()) << cases[i];
    }
    const json& last = run.dumps.back();
    ASSERT_GE(last["history"].size(), 2u);
    EXPECT_EQ(last["history"][last["history"].size() - 2]["answer"], "0");
    EXPECT_EQ(lastItem(last), "1+1 → 2");
}

namespace {

// Every way a screen or overlay opens: by its id as the app asks for it, by a key
// operation of the keyboard's table (1024 on) and by a computer chord; only those that
// open something in front of the home screen are kept, with what they show.
struct Opener {
    std::string keys;
    // The calculator keyboard is in reach (no full-size screen or overlay covers it).
    bool keyboard = false;
    bool leave = false;
    std::string title;
};

std::vector<Opener> openers()
{
    std::vector<std::string> tried;
    const DriveRun listed = driveScript("screens\n");
    for (const json& screen : listed.dumps.empty() ? json::array() : listed.dumps[0]["screens"]) {
        const int id = screen["id"].get<int>();
        // The home screens, the output itself and the debugger (which needs a program in
        // the editor) are not elsewhere.
        if (id != 0 && id != 11 && id != 100 && screen["title"] != "Debugger")
            tried.push_back("open " + std::to_string(id) + "\n");
    }
    // The editing and shift keys move within a screen; the others open one.
    const std::vector<int> editing{1030, 1031, 1032, 1033, 1034, 1035, 1036, 1037, 1038, 1039, 1040, 1041, 1042, 1043,
                                   1048, 1063, 1065, 1071, 1077, 1078};
    for (int op = 1024; op <= 1080; ++op)
        if (std::find(editing.begin(), editing.end(), op) == editing.end())
            tried.push_back("key 0x" + std::to_string(op / 256) + "0123456789ABCDEF"[op / 16 % 16] + "0123456789ABCDEF"[op % 16] + "\n");
    for (const char* modifiers : {"Ctrl+", "Ctrl+Shift+"})
        for (char letter = 'A'; letter <= 'Z'; ++letter)
            tried.push_back(std::string("hkey ") + modifiers + letter + "\n");
    std::string script;
    for (const std::string& keys : tried)
        script += keys + "wait idle\ndump\nhkey Escape\nwait idle\npress? OK\nopen 0\nwait idle\n";
    const DriveRun run = driveScript(script, "", 120);
    std::vector<Opener> found;
    for (std::size_t i = 0; i < run.dumps.size() && i < tried.size(); ++i)
        if (const json& top = run.dumps[i]["top"]; top["id"] != 0)
            found.push_back({tried[i], !run.dumps[i]["keyboard"].is_null() && top["id"] < 100,
                             !top["leave"].is_null(), top["title"].get<std::string>()});
    return found;
}

} // namespace

// A program waiting at Input or Prompt owns its question wherever the user goes meanwhile:
// every screen and overlay, opened every way, left every way back home (QUIT, Escape, its
// Done, the Home key, Ctrl+H) brings the output in front with the question and what was
// typed for it, and the next line answers it: one item for the run.
TEST(WaitingRunsDrive, AWaitingQuestionComesBackWheneverTheUserGoesHome)
{
    const std::vector<Opener> ways = openers();
    ASSERT_GE(ways.size(), 60u);
    std::string script = "program ZI\nInput \"X=\",X\nDisp X*2\nend\nprogram ZP\nPrompt X\nDisp X*2\nend\n";
    std::vector<std::string> cases;
    // What stays typed for the question when the user is back.
    std::vector<std::string> typed;
    for (const Opener& opener : ways) {
        std::vector<std::pair<std::string, std::string>> backs{{"Escape", "hkey Escape\n"}};
        if (opener.leave)
            backs.emplace_back("Done", "tap leave\n");
        if (opener.keyboard) {
            backs.emplace_back("QUIT", "key 2ND\nkey MODE\n");
            backs.emplace_back("Home", "key 0x1015\n");
            backs.emplace_back("Ctrl+H", "hkey Ctrl+H\n");
        }
        for (const auto& [back, keys] : backs) {
            const bool input = cases.size() % 2 == 0;
            script += std::string("type prgm") + (input ? "ZI" : "ZP") + "\nkey ENTER\nwait idle\ntype 4\n" + opener.keys
                + "wait idle\n" + keys + "wait idle\ndump\ntype 1\nkey ENTER\nwait idle\ndump\n";
            cases.push_back(opener.keys.substr(0, opener.keys.size() - 1) + ", back by " + back);
            // The key-set catalogue's Done empties the line, as it always does.
            typed.push_back(opener.title == "User keys" && back == "Done" ? "" : "4");
        }
    }
    const DriveRun run = driveScript(script, "", 300);
    ASSERT_TRUE(endedWithDumps(run, 2 * cases.size()));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const bool input = i % 2 == 0;
        const json& back = run.dumps[2 * i];
        const json& answered = run.dumps[2 * i + 1];
        EXPECT_EQ(back["top"]["id"], 11) << cases[i];
        const std::string answer = typed[i] + "1";
        EXPECT_EQ(back["entry"], typed[i]) << cases[i];
        EXPECT_EQ(back["output"].empty() ? json() : back["output"].back(), (input ? "X=" : "X=?") + typed[i]) << cases[i];
        EXPECT_EQ(lastItem(answered), std::string("prgm»") + (input ? "ZI → X=" : "ZP → X=?") + answer + "/"
                                          + std::to_string(2 * std::stoi(answer)) + "/Done")
            << cases[i];
        // The history keeps the last 100 items.
        EXPECT_EQ(answered["history"].size(), std::min<std::size_t>(i + 1, 100)) << cases[i];
    }
}

// The same question asked by a run PRGM's EXEC started and by a graph button's label:
// another screen opened and left brings it back with what was typed.
TEST(WaitingRunsDrive, AQuestionFromAnyStarterComesBack)
{
    const std::string programs = "program ZI\nInput \"X=\",X\nDisp X*2\nend\n"
                                 "program BQ\nFnOff \nButton(10,60,120,\"GO\",\"P\")\nDispGraph\nStop\nLbl P\n"
                                 "Input \"X=\",X\nDisp X*2\nend\n";
    const DriveRun shown = driveScript(programs + "type prgmBQ\nhkey Return\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(shown, 1));
    const json& graph = shown.dumps[0]["graph"];
    ASSERT_TRUE(graph.is_array());
    const std::string label = "type prgmBQ\nhkey Return\nwait idle\ntap " + std::to_string(graph[0].get<int>() + 70) + " "
        + std::to_string(graph[1].get<int>() + 77) + "\nwait idle\n";
    const std::string exec = "key PRGM\nwait idle\nhkey z\nhkey Return\nwait idle\nkey ENTER\nwait idle\n";
    const std::vector<std::tuple<std::string, std::string, std::string, std::string>> rows{
        {"EXEC", exec, "key Y=\nwait idle\n", "key 2ND\nkey MODE\n"},
        {"EXEC", exec, "key 2ND\nkey Y=\nwait idle\n", "hkey Escape\n"},
        {"EXEC", exec, "key GRAPH\nwait idle\n", "hkey Escape\n"},
        {"label", label, "key 2ND\nkey Y=\nwait idle\n", "key 2ND\nkey MODE\n"},
        {"label", label, "hkey Ctrl+Shift+Y\nwait idle\n", "hkey Ctrl+H\n"},
        {"label", label, "key GRAPH\nwait idle\n", "hkey Escape\n"}};
    std::string script = programs;
    for (const auto& [name, start, open, back] : rows)
        script += start + "type 4\n" + open + back + "wait idle\ndump\ntype 1\nkey ENTER\nwait idle\ndump\n";
    const DriveRun run = driveScript(script, "", 120);
    ASSERT_TRUE(endedWithDumps(run, 2 * rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string where = std::get<0>(rows[i]) + " " + std::get<2>(rows[i]);
        EXPECT_EQ(run.dumps[2 * i]["top"]["id"], 11) << where;
        EXPECT_EQ(run.dumps[2 * i]["output"].back(), "X=4") << where;
        EXPECT_EQ(lastItem(run.dumps[2 * i + 1]), std::string("prgm»") + (i < 3 ? "ZI" : "BQ") + " → X=41/82/Done") << where;
    }
}
