// Keys typed while a program runs, in the same turn as the ENTER that starts it or a moment
// after: the program's readers (getKey, Input, Prompt, Menu(, Pause) take them first, each
// key acts once, and those it does not read act after the run. The calculator's keys and the
// computer's, at both sizes.

#include "drive/DriveSession.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
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
