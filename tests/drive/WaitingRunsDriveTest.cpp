// A program belongs to the home screen's line: typed in a field it is refused, and a run
// that waits for its question keeps it wherever the user goes meanwhile.

#include "drive/DriveSession.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
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
        {"ENTER", "key ENTER\n"}, {"DOWN", "key DOWN\n"}, {"leaving", kQuit}};
    std::string script = programs(kCalled);
    std::vector<std::string> cases;
    for (int screen : screens)
        for (const auto& [name, body] : kCalled)
            for (const auto& [way, keys] : ways) {
                script += "open " + std::to_string(screen) + "\nwait idle\ntype prgm" + name + "\n" + keys
                    + "wait idle\ndump\npress? OK\nwait idle\nkey CLEAR\n";
                cases.push_back("screen " + std::to_string(screen) + ", prgm" + name + ", " + way);
            }
    script += std::string(kQuit) + "type B\nkey ENTER\ntype 1+1\nkey ENTER\nwait idle\ndump\n";
    const DriveRun run = driveScript(script, "", 240);
    ASSERT_TRUE(endedWithDumps(run, cases.size() + 1));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const json& d = run.dumps[i];
        const bool left = cases[i].ends_with("leaving");
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
