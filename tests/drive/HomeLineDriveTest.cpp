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
#include <functional>
#include <future>
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
constexpr int kGraph = 8, kSolver = 10, kPeriodicTable = 13, kStatTests = 15, kGeometry = 16, kFormat = 17,
              kPolynomial = 20, kKeySetEditor = 22, kFirstOverlay = 100, kKeySetCatalogue = 103;

using Way = std::pair<std::string, std::string>;

// Home from a screen where the keyboard is in reach, besides Escape and its Done.
const std::vector<Way> kKeyboardBacks{
    {"QUIT", "key 2ND\nkey MODE\n"}, {"Home", "key 0x1015\n"}, {"Ctrl+H", "hkey Ctrl+H\n"}, {"Ctrl+Q", "hkey Ctrl+Q\n"}};

// A way from one screen into another: a screen key of the keyboard, its chord, a menu's pick;
// or a menu, the catalogue or an overlay opened over the screen and closed.
struct Door {
    std::string name;
    std::string keys;
    // The door is a key of the keyboard (or a menu it opens).
    bool keyboard;
    // The screen it opens; kBack for the screen it was opened from.
    int reaches;
};

constexpr int kBack = -1;

const std::vector<Door> kDoors{
    {"Y=", "key Y=\n", true, 1},
    {"GRAPH", "key GRAPH\n", true, kGraph},
    {"TABLE", "key TABLE\n", true, 5},
    {"STAT PLOT", "key 2ND\nkey Y=\n", true, 9},
    {"WINDOW", "key 2ND\nkey GRAPH\n", true, 7},
    {"FORMAT", "key 2ND\nkey HOME\n", true, 17},
    {"TBLSET", "key 2ND\nkey TABLE\n", true, 6},
    {"Ctrl+Y", "hkey Ctrl+Y\n", false, 1},
    {"Ctrl+G", "hkey Ctrl+G\n", false, kGraph},
    {"Ctrl+T", "hkey Ctrl+T\n", false, 5},
    {"Ctrl+Shift+Y", "hkey Ctrl+Shift+Y\n", false, 9},
    {"Ctrl+Shift+G", "hkey Ctrl+Shift+G\n", false, 7},
    {"Ctrl+Shift+H", "hkey Ctrl+Shift+H\n", false, 17},
    {"Ctrl+Shift+T", "hkey Ctrl+Shift+T\n", false, 6},
    {"STAT EDIT", "key STAT\nkey 1\n", true, 4},
    {"STAT TESTS", "key STAT\nkey RIGHT\nkey RIGHT\nkey 1\n", true, kStatTests},
    {"APPS Finance", "key APPS\nkey 1\nkey 1\n", true, 12},
    {"APPS periodic table", "key APPS\nkey 2\nkey 1\n", true, kPeriodicTable},
    {"APPS chemistry", "key APPS\nkey 2\nkey 2\n", true, 14},
    {"APPS geometry", "key APPS\nkey 3\nkey 1\n", true, kGeometry},
    {"APPS PlySmlt", "key APPS\nkey 4\nkey 1\n", true, kPolynomial},
    {"CATALOG, closed", "key 2ND\nkey 0\nwait idle\nhkey Escape\n", true, kBack},
    {"MATH, closed", "key MATH\nwait idle\nhkey Escape\n", true, kBack},
    {"MODE, closed", "key MODE\nwait idle\nhkey Escape\n", true, kBack},
    {"USER KEYS, closed", "key 0x438\nwait idle\nhkey Escape\n", true, kBack},
};

// The ways home from the screen a door opened (the keyboard's screens for kBack: a door of
// the keyboard is opened where it is in reach).
std::vector<Way> backsFrom(int screen)
{
    std::vector<Way> backs{{"Escape", "hkey Escape\n"}};
    if (screen == kGraph || screen == kPeriodicTable || screen == kStatTests || screen == kGeometry)
        backs.emplace_back("Done", "tap leave\n");
    if (screen == kGraph)
        backs.insert(backs.end(), kKeyboardBacks.begin() + 2, kKeyboardBacks.end());
    else if (backs.size() == 1)
        backs.insert(backs.end(), kKeyboardBacks.begin(), kKeyboardBacks.end());
    return backs;
}

// A screen opened, 5 typed where its field takes the shared line.
std::string opening(int id, bool field) { return "open " + std::to_string(id) + "\nwait idle\n" + (field ? "type 5\n" : ""); }

// Cases spread over a few drivers run side by side, each ending home (past an alert a value
// left) with a dump, read back in turn.
struct Cases {
    std::vector<std::string> names;
    std::vector<std::string> scripts;
    std::vector<std::size_t> scriptOf;

    Cases(std::size_t drivers, const std::string& start) : scripts(drivers, start) {}
    void add(const std::string& name, const std::string& lines, std::size_t script)
    {
        names.push_back(name);
        scriptOf.push_back(script);
        scripts[script] += lines + "wait idle\npress? OK\nwait idle\ndump\nopen 0\nwait idle\nkey CLEAR\nkey CLEAR\n";
    }
    // Each case's dump to check, runs[n] being the run of scripts[n].
    void read(const std::vector<DriveRun>& runs, const std::function<void(const std::string&, const json&)>& check) const
    {
        std::vector<std::size_t> taken(scripts.size(), 0);
        for (std::size_t i = 0; i < names.size(); ++i) {
            const DriveRun& run = runs[scriptOf[i]];
            std::size_t& at = taken[scriptOf[i]];
            ASSERT_EQ(run.exitCode, 0) << names[i] << run.output;
            ASSERT_LT(at, run.dumps.size()) << names[i];
            check(names[i], run.dumps[at++]);
        }
    }
};

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
// Done, and QUIT, the Home key, Ctrl+H, Ctrl+Q where the keyboard is in reach and its own),
// or, from a screen whose field types on the shared line, through another screen (each
// door: a screen key, its chord, a menu's pick) and home from there: the home line is 7*6+
// again, its cursor where it was, and the 5 never joins it. The key-set editor walks every
// door, and the graph and the table from it at every window shape; every other such screen
// walks the graph, and the other doors in turn.
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
    // The last driver is a tablet's.
    Cases cases(5, "");
    const auto onPhone = [&cases](const std::string& name, const std::string& lines) {
        cases.add(name, kHomeLine + lines, cases.names.size() % (cases.scripts.size() - 1));
    };
    // The screens whose field types on the shared line, and whether the keyboard is in reach.
    std::vector<std::pair<int, bool>> sources;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const json& shown = probed.dumps[i];
        const bool keyboard = shown["keyboard"].is_object();
        std::vector<Way> backs{{"Escape", "hkey Escape\n"}};
        // The key-set catalogue's Done empties the line on purpose.
        if (shown["top"]["leave"].is_array() && ids[i] != kKeySetCatalogue)
            backs.emplace_back("Done", "tap leave\n");
        // Over a menu, the catalogue or a picker the keyboard is theirs.
        if (keyboard && ids[i] < kFirstOverlay)
            backs.insert(backs.end(), kKeyboardBacks.begin(), kKeyboardBacks.end());
        const bool field = std::find(fields.begin(), fields.end(), ids[i]) != fields.end();
        if (field)
            sources.emplace_back(ids[i], keyboard);
        for (const auto& [way, keys] : backs)
            onPhone("screen " + std::to_string(ids[i]) + ", " + way, opening(ids[i], field) + keys);
    }
    // Through a door: every door from the key-set editor, home by two ways (from the graph by
    // each); from the other screens the graph, and the other doors handed round them in turn.
    std::size_t turn = 0;
    for (std::size_t d = 0; d < kDoors.size(); ++d) {
        const Door& door = kDoors[d];
        std::vector<int> others;
        for (const auto& [id, keyboard] : sources)
            if ((keyboard || !door.keyboard) && id != kKeySetEditor)
                others.push_back(id);
        for (std::size_t k = 0; k < sources.size(); ++k) {
            const auto [id, keyboard] = sources[k];
            const bool editor = id == kKeySetEditor;
            if ((door.keyboard && !keyboard) || (!editor && door.reaches != kGraph && id != others[turn % others.size()]))
                continue;
            // The solver and the polynomial app get their plots back: the graph's own way
            // back leads there, not home.
            const bool plots = (id == kSolver || id == kPolynomial) && door.reaches == kGraph;
            std::vector<Way> homes;
            for (const Way& way : backsFrom(door.reaches))
                if (!plots || (way.first != "Escape" && way.first != "Done"))
                    homes.push_back(way);
            // The editor leaves for the graph by every way home from there.
            const std::size_t ways = !editor ? 1 : door.reaches == kGraph ? homes.size() : 2;
            for (std::size_t h = 0; h < ways; ++h) {
                const Way& home = homes[(d + k + h) % homes.size()];
                onPhone("screen " + std::to_string(id) + ", " + door.name + ", then " + home.first,
                    opening(id, true) + door.keys + "wait idle\npress? OK\nwait idle\n" + home.second);
            }
        }
        if (door.reaches != kGraph)
            ++turn;
    }
    // The key-set editor left for the graph and for the table at each window shape, the
    // tablet's on a tablet.
    for (const auto& [size, script] : {std::pair{"844x390", 0u}, {"320x390", 1u}, {"768x1024", 4u}, {"1024x768", 4u}})
        for (const auto& [door, home] : {std::pair{"Ctrl+G", kKeyboardBacks[2]}, {"Ctrl+T", kKeyboardBacks[0]}}) {
            cases.add(std::string("screen 22 at ") + size + ", " + door + ", then " + home.first,
                kHomeLine + std::string("size ") + size + "\n" + opening(kKeySetEditor, true) + "hkey " + door
                    + "\nwait idle\n" + home.second,
                script);
            cases.scripts[script] += std::string("size ") + (script == 4 ? "768x1024" : "390x844") + "\n";
        }
    std::future<DriveRun> tablet = std::async(std::launch::async, [&cases] {
        return orvenda::test::driveScript(cases.scripts.back(), "--device tablet", kWatchdogSeconds);
    });
    std::vector<DriveRun> runs =
        orvenda::test::driveScriptsAtOnce({cases.scripts.begin(), cases.scripts.end() - 1}, "", kWatchdogSeconds);
    runs.push_back(tablet.get());
    cases.read(runs, [](const std::string& name, const json& back) {
        EXPECT_EQ(back["screen"], 0) << name;
        EXPECT_EQ(back["entry"], "7*6+") << name;
        EXPECT_EQ(back["cursor"], kCursor) << name;
    });
}

// 7*6+ on the home line, then WINDOW, TBLSET, the TVM solver, a statistics test or the
// key-set editor with 5 typed in its field, and the app ended (its quit, or SIGKILL after its
// own save): the next launch gives the home line back, at once or once the field screen it
// went on with is left (the key-set editor through the graph).
TEST(HomeLineDrive, TheHomeLineSetAsideSurvivesTheEnd)
{
    struct Case {
        std::string name;
        int screen;
        int signal;
        fs::path data;
    };
    std::vector<Case> cases;
    for (int screen : {7, 6, 12, 15, kKeySetEditor})
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
        const std::string leave = c.screen == kKeySetEditor ? "hkey Ctrl+G\nwait idle\nhkey Ctrl+H\n" : "hkey Escape\n";
        scripts.push_back("dump\n" + (c.signal == SIGKILL ? leave + "wait idle\npress? OK\nwait idle\n" : "") + "dump\n");
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

// A line entered is spent, never the home line set aside: prgmLOOP entered on the home line
// runs its getKey loop when each screen that types on the shared line (or empties it) is
// opened, and the run ends there, broken by ON or at the ENTER it reads; then home by a way
// back in turn: the home line is empty, the call not on it to be typed after.
TEST(HomeLineDrive, ALineEnteredIsNeverSetAside)
{
    std::vector<int> screens = orvenda::test::fieldScreens();
    ASSERT_GE(screens.size(), 10u);
    screens.insert(screens.end(), {kPeriodicTable, kFormat});
    Cases cases(4, "program LOOP\nRepeat K=105\ngetKey->K\nEnd\nend\n");
    for (int id : screens)
        for (const auto& [ending, keys] : {Way{"ON", "key ON\n"}, Way{"its end", "key ENTER\n"}}) {
            const std::size_t n = cases.names.size();
            const bool full = id == kPeriodicTable || id == kStatTests || id == kGeometry;
            const Way home = full || n % 2 ? Way{"Escape", "hkey Escape\n"} : kKeyboardBacks[n / 2 % 2];
            cases.add("screen " + std::to_string(id) + ", " + ending + ", then " + home.first,
                "type prgmLOOP\nkey ENTER\nwait running\nwait screen 11\nwait still\nopen " + std::to_string(id)
                    + "\nwait still\n" + keys + "wait idle\npress? OK\nwait idle\n" + home.second,
                n % cases.scripts.size());
        }
    cases.read(orvenda::test::driveScriptsAtOnce(cases.scripts, "", kWatchdogSeconds), [](const std::string& name, const json& back) {
        EXPECT_EQ(back["screen"], 0) << name;
        EXPECT_EQ(back["entry"], "") << name;
        EXPECT_EQ(orvenda::test::lastItem(back).rfind("prgm", 0), 0u) << name << ": " << back["history"];
    });
}
