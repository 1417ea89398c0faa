// The home line half typed stays the home line: whatever screen the user opens meanwhile
// (one whose fields type on the shared line among them) and however the user comes back,
// and across the app's end.

#include "drive/DriveSession.h"
#include "drive/LiveDrive.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using orvenda::test::DriveRun;
using orvenda::test::LiveDrive;

constexpr int kWatchdogSeconds = 240;
const char* const kHomeLine = "type 7*6+\nkey LEFT\n";
// Where the cursor stands: before the +.
constexpr int kCursor = 3;
constexpr int kFirstOverlay = 100, kKeySetCatalogue = 103;

// Every screen and overlay the app lists, but the home screen, the graph (which types on the
// home line), the program output and the debugger (a run's).
std::vector<int> screensOpened()
{
    std::vector<int> ids;
    for (const json& screen : orvenda::test::listedScreens())
        if (const int id = screen["id"].get<int>(); id != 0 && id != 8 && id != 11 && id != 100 && id != 109)
            ids.push_back(id);
    return ids;
}

} // namespace

// 7*6+ typed on the home line (the cursor moved into it), then each screen opened (5 typed
// where its field takes the shared line), then left by each way back it offers (Escape, its
// Done, and QUIT, the Home key, Ctrl+H, Ctrl+Q where the keyboard is in reach and its own):
// the home line is 7*6+ again, its cursor where it was, and the 5 never joins it.
TEST(HomeLineDrive, TheHomeLineComesBackFromEveryScreenByEveryWayBack)
{
    const std::vector<int> ids = screensOpened();
    ASSERT_GE(ids.size(), 25u);
    const std::vector<int> fields = orvenda::test::fieldScreens();
    // What each shows: a leave control, the keyboard.
    std::string probe;
    for (int id : ids)
        probe += "open " + std::to_string(id) + "\nwait idle\ndump\nopen 0\nwait idle\n";
    const DriveRun probed = orvenda::test::driveScript(probe, "", kWatchdogSeconds);
    ASSERT_TRUE(orvenda::test::endedWithDumps(probed, ids.size()));
    std::vector<std::string> names;
    std::vector<std::string> scripts(4);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const json& shown = probed.dumps[i];
        std::vector<std::pair<std::string, std::string>> backs{{"Escape", "hkey Escape\n"}};
        // The key-set catalogue's Done empties the line on purpose.
        if (shown["top"]["leave"].is_array() && ids[i] != kKeySetCatalogue)
            backs.emplace_back("Done", "tap leave\n");
        // Over a menu, the catalogue or a picker the keyboard is theirs.
        if (shown["keyboard"].is_object() && ids[i] < kFirstOverlay)
            for (const auto& way : std::vector<std::pair<std::string, std::string>>{{"QUIT", "key 2ND\nkey MODE\n"},
                     {"Home", "key 0x1015\n"}, {"Ctrl+H", "hkey Ctrl+H\n"}, {"Ctrl+Q", "hkey Ctrl+Q\n"}})
                backs.push_back(way);
        for (const auto& [way, keys] : backs) {
            names.push_back("screen " + std::to_string(ids[i]) + ", " + way);
            // A field's own text, where the screen types on the shared line.
            const bool field = std::find(fields.begin(), fields.end(), ids[i]) != fields.end();
            scripts[names.size() % scripts.size()] += std::string(kHomeLine) + "open " + std::to_string(ids[i])
                + "\nwait idle\n" + (field ? "type 5\n" : "") + keys
                + "wait idle\npress? OK\nwait idle\ndump\nopen 0\nwait idle\nkey CLEAR\nkey CLEAR\n";
        }
    }
    const std::vector<DriveRun> runs = orvenda::test::driveScriptsAtOnce(scripts, "", kWatchdogSeconds);
    std::vector<std::size_t> read(scripts.size(), 0);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const DriveRun& run = runs[(i + 1) % scripts.size()];
        std::size_t& at = read[(i + 1) % scripts.size()];
        ASSERT_EQ(run.exitCode, 0) << names[i] << run.output;
        ASSERT_LT(at, run.dumps.size()) << names[i];
        const json& back = run.dumps[at++];
        EXPECT_EQ(back["screen"], 0) << names[i];
        EXPECT_EQ(back["entry"], "7*6+") << names[i];
        EXPECT_EQ(back["cursor"], kCursor) << names[i];
    }
}

// 7*6+ on the home line, then WINDOW, TBLSET, the TVM solver or a statistics test with 5
// typed in its field, and the app ended (its quit, or SIGKILL after its own save): the next
// launch gives the home line back, at once or once the field screen it went on with is left.
TEST(HomeLineDrive, TheHomeLineSetAsideSurvivesTheEnd)
{
    struct Case {
        std::string name;
        int screen;
        int signal;
        fs::path data;
    };
    std::vector<Case> cases;
    for (int screen : {7, 6, 12, 15})
        for (int signal : {-1, SIGKILL}) {
            const std::string name = "home-line-" + std::to_string(screen) + (signal == SIGKILL ? "-kill" : "-quit");
            const fs::path data = orvenda::test::driveScratch(name);
            fs::remove_all(data);
            fs::create_directories(data);
            cases.push_back({name, screen, signal, data});
        }
    orvenda::test::driveInTurns(
        cases.size(), cases.size(), [&cases](std::size_t i) { return "--data " + cases[i].data.string(); },
        [&cases](std::size_t i, LiveDrive& app) {
            const Case& c = cases[i];
            const std::optional<json> typed = app.ask(
                std::string(kHomeLine) + "open " + std::to_string(c.screen) + "\nwait idle\ntype 5\nwait idle\ndump\n", kWatchdogSeconds);
            ASSERT_TRUE(typed) << c.name << app.messages();
            ASSERT_EQ((*typed)["entry"], "5") << c.name;
        },
        [&cases](std::size_t i, LiveDrive& app) { app.end(cases[i].signal, kWatchdogSeconds); });
    std::vector<std::string> scripts;
    std::vector<fs::path> folders;
    for (const Case& c : cases) {
        scripts.push_back("dump\n" + std::string(c.signal == SIGKILL ? "hkey Escape\nwait idle\npress? OK\nwait idle\n" : "") + "dump\n");
        folders.push_back(c.data);
    }
    const std::vector<DriveRun> runs = orvenda::test::driveScriptsOnFolders(scripts, folders, kWatchdogSeconds);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        ASSERT_TRUE(orvenda::test::endedWithDumps(runs[i], 2)) << c.name;
        const json& launch = runs[i].dumps[0];
        // A kill after the save goes on with the field as typed; the quit entered it.
        EXPECT_EQ(launch["screen"], c.signal == SIGKILL ? c.screen : 0) << c.name;
        EXPECT_EQ(launch["entry"], c.signal == SIGKILL ? "5" : "7*6+") << c.name;
        EXPECT_EQ(runs[i].dumps[1]["screen"], 0) << c.name;
        EXPECT_EQ(runs[i].dumps[1]["entry"], "7*6+") << c.name;
    }
}
