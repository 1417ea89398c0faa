// A run breaks or ends while the user types in a field: ON, the app left for another window,
// the program's Stop or error, the quit. Whoever started the run and whatever it waits at,
// the field keeps what it shows (typed, not entered), nothing of the screen takes Ans, and
// the run's item is its own.

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
// Home, past the alert a field's value left there may tell, the home line emptied.
const char* const kHome = "press? OK\nwait idle\nopen 0\nwait idle\npress? OK\nwait idle\nkey CLEAR\n";
constexpr int kEditor = 2, kGraph = 8, kOutput = 11, kDebugger = 109;

// Y₁=AX² (the Calc sheet's traced plot), the table asking for its X values, and Ans 5: what a
// field wrongly given Ans would show.
const std::string kSetup = "type 2->A\nkey ENTER\nwait idle\ntype \"AX²\"->Y₁\nkey ENTER\nwait idle\n"
                           "type IndpntAsk\nkey ENTER\nwait idle\ntype 5->B\nkey ENTER\nwait idle\nkey CLEAR\n";

// What a run waits at. A getKey loop goes on rather than waits: the keys typed meanwhile are
// offered to it first, and reach the field once it has ended. It ends itself at ENTER.
struct Waiter {
    std::string name;
    // Its program's first letter: PRGM's list jumps there.
    char letter;
    std::string body;
    bool goesOn;
    std::vector<std::string> endings;
};

const std::string kLoop = "Repeat K=105\ngetKey->K\nEnd\n";
const std::vector<Waiter> kWaiters{
    {"Input", 'G', "Input \"N=\",N\n", false, {"ON", "inactive"}},
    {"Prompt", 'K', "Prompt N\n", false, {"ON", "inactive"}},
    {"Menu(", 'L', "Menu(\"M\",\"A\",A,\"B\",B)\nLbl A\nLbl B\n", false, {"ON", "inactive"}},
    {"Pause", 'M', "Pause \n", false, {"ON", "inactive"}},
    {"getKey, then Stop", 'U', kLoop + "Stop\n", true, {"ON", "inactive", "Stop"}},
    {"getKey, then an error", 'X', kLoop + "1/0\n", true, {"error"}},
};

// How a run ends in the session, and the alert that tells it.
struct Ending {
    std::string lines;
    std::string alert;
};

Ending ending(const std::string& name)
{
    if (name == "ON")
        return {"key ON\n", "User break"};
    if (name == "inactive")
        return {"inactive\n", "User break"};
    // The loop ends at ENTER, then the program goes on to its Stop or its error.
    return {"key ENTER\n", name == "error" ? "Program Error" : ""};
}

// Each waiter's program for PRGM's list and the debugger ("GW"...), and the same behind a
// graph button's label ("YG"...).
std::string programs()
{
    std::string text;
    for (const Waiter& w : kWaiters) {
        text += std::string("program ") + w.letter + "W\n" + w.body + "end\n";
        text += std::string("program Y") + w.letter + "\nButton(10,60,120,\"GO\",\"P\")\nDispGraph\nStop\nLbl P\n" + w.body
            + "end\n";
    }
    return text;
}

std::string still(std::string lines)
{
    for (std::size_t at = lines.find("wait idle"); at != std::string::npos; at = lines.find("wait idle", at))
        lines.replace(at, 9, "wait still");
    return lines;
}

// Who starts the run: its lines for a waiter, the run under way at their end.
struct Starter {
    std::string name;
    std::string before;
    // The screen the run keeps in front while it goes on.
    int shows;
    std::string program(const Waiter& w) const
    {
        return name == "label" ? std::string("Y") + w.letter : std::string(1, w.letter) + "W";
    }
    bool debugged() const { return name == "debugger's Run"; }
};

std::string starting(const Starter& s, const Waiter& w)
{
    std::string lines = s.before;
    const std::string letter(1, static_cast<char>(w.letter - 'A' + 'a'));
    for (std::size_t at = lines.find("{l}"); at != std::string::npos; at = lines.find("{l}"))
        lines.replace(at, 3, letter);
    for (std::size_t at = lines.find("{P}"); at != std::string::npos; at = lines.find("{P}"))
        lines.replace(at, 3, s.program(w));
    // A loop never goes idle: the run is under way once the worker has taken it and its
    // screen is in front.
    if (w.goesOn) {
        const std::size_t last = lines.rfind("wait idle");
        lines.replace(last, 9, "wait running\nwait screen " + std::to_string(s.shows) + "\nwait still");
    }
    return lines;
}

std::string tapAt(const json& at)
{
    return "tap " + std::to_string(at[0].get<int>()) + " " + std::to_string(at[1].get<int>()) + "\n";
}

// The entry line, PRGM's EXEC, a graph button's label and the debugger's Run (its controls
// where this window draws them).
std::vector<Starter> starters()
{
    const std::string editor = "key PRGM\nkey RIGHT\nhkey {l}\nhkey Return\nwait idle\n";
    std::vector<Starter> found{{"entry line", "type prgm{P}\nkey ENTER\nwait idle\n", kOutput},
                               {"EXEC", "key PRGM\nwait idle\nhkey {l}\nhkey Return\nwait idle\nkey ENTER\nwait idle\n", kOutput},
                               {"label", "type prgm{P}\nhkey Return\nwait idle\npress GO\nwait idle\n", kGraph}};
    const Starter probe{"", editor, kEditor};
    const DriveRun opened = orvenda::test::driveScript(programs() + starting(probe, kWaiters[0]) + "dump\n");
    if (!orvenda::test::endedWithDumps(opened, 1))
        return {};
    const std::string debug = editor + tapAt(opened.dumps[0]["editor"]["controls"]["debug"]) + "wait idle\n";
    const DriveRun shown = orvenda::test::driveScript(programs() + starting({"", debug, kEditor}, kWaiters[0]) + "dump\n");
    if (!orvenda::test::endedWithDumps(shown, 1) || !shown.dumps[0]["debugger"].is_object())
        return {};
    found.push_back({"debugger's Run", debug + tapAt(shown.dumps[0]["debugger"]["controls"]["run"]) + "wait idle\n", kEditor});
    return found;
}

// Every screen whose line fills a field, as the app lists them, and the graph's Calc sheet.
struct Field {
    std::string name;
    std::string open;
};

std::vector<Field> fields()
{
    std::vector<Field> found;
    for (int id : orvenda::test::fieldScreens())
        found.push_back({"screen " + std::to_string(id), "open " + std::to_string(id) + "\nwait idle\n"});
    found.push_back({"Calc sheet", "open 8\nwait idle\nkey 0x403\nwait idle\npress Calc\nwait still\n"});
    return found;
}

// What the screen in front shows of its own: everything but the run's, the alerts', the
// history's and the window's.
json shown(const json& dump)
{
    json kept = dump;
    for (const char* key : {"waiting", "running", "alerts", "alertRects", "history", "ans", "error", "output", "programOutput",
             "keyboard", "drawn", "top", "slides", "overlays", "shift", "home", "keys", "pauseBar", "buttons", "debugger",
             "editor", "unreachable", "rowsOutOfView", "dialogs", "textFields"})
        kept.erase(key);
    return kept;
}

} // namespace

// Every field in front × every waiter × every starter × every way a run ends in the session:
// each field meets each waiter once, with the starters and the endings taken in turn so that
// every pair of them meets too. The run ends with one item of its own (none for a label's
// Stop, which shows nothing); the field still shows 47, not entered, and nothing else of the
// screen changed (a loop's field, typed nothing, nothing at all). The debugger's run comes
// back to the debugger.
TEST(RunEndsDrive, ABreakOrAnEndLeavesTheFieldInFrontAsTyped)
{
    const std::vector<Starter> starterList = starters();
    ASSERT_EQ(starterList.size(), 4u);
    const std::vector<Field> fieldList = fields();
    ASSERT_GE(fieldList.size(), 15u);
    struct Case {
        std::string name;
        const Field* field;
        const Waiter* waiter;
        const Starter* starter;
        Ending ending;
    };
    std::vector<Case> cases;
    constexpr std::size_t kParts = 4;
    std::vector<std::string> scripts(kParts, kSetup + programs());
    for (std::size_t f = 0; f < fieldList.size(); ++f)
        for (std::size_t w = 0; w < kWaiters.size(); ++w) {
            const Waiter& waiter = kWaiters[w];
            const Starter& starter = starterList[(f + w) % starterList.size()];
            const std::string& end = waiter.endings[(f / 2 + w) % waiter.endings.size()];
            Case c{fieldList[f].name + ", " + waiter.name + ", " + starter.name + ", " + end, &fieldList[f], &waiter, &starter, ending(end)};
            // Typed (a loop takes the keys typed meanwhile: nothing is), the run ended (alert
            // and all), the alert closed.
            const std::string typed = c.field->open + (waiter.goesOn ? "dump\n" : "type 47\nwait idle\ndump\n");
            std::string& script = scripts[cases.size() % kParts];
            script += starting(starter, waiter) + (waiter.goesOn ? still(typed) : typed) + c.ending.lines
                + "wait idle\ndump\npress? OK\nwait idle\ndump\n";
            // The debugger's Quit, once the field left has told an error of its own.
            if (starter.debugged())
                script += "press? OK\nwait idle\nhkey Escape\nwait idle\n";
            script += kHome;
            cases.push_back(std::move(c));
        }
    const std::vector<DriveRun> runs = orvenda::test::driveScriptsAtOnce(scripts, "", kWatchdogSeconds);
    std::vector<std::size_t> read(kParts, 0);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const DriveRun& run = runs[i % kParts];
        std::size_t& at = read[i % kParts];
        ASSERT_EQ(run.exitCode, 0) << c.name << run.output;
        ASSERT_LE(at + 3, run.dumps.size()) << c.name;
        const json& typed = run.dumps[at];
        const json& ended = run.dumps[at + 1];
        const json& after = run.dumps[at + 2];
        at += 3;
        EXPECT_FALSE(ended["waiting"].get<bool>() || ended["running"].get<bool>()) << c.name;
        // The run's one item, named for its program.
        const std::size_t items = ended["history"].size() - typed["history"].size();
        EXPECT_LE(items, 1u) << c.name << ended["history"];
        if (c.starter->name != "label" || c.ending.alert.size() > 0) {
            EXPECT_EQ(items, 1u) << c.name << ended["history"];
        }
        if (items == 1) {
            EXPECT_EQ(ended["history"].back()["input"], "prgm»" + c.starter->program(*c.waiter)) << c.name;
        }
        if (!c.ending.alert.empty()) {
            ASSERT_FALSE(ended["alerts"].empty()) << c.name;
            EXPECT_EQ(ended["alerts"].back()["title"], c.ending.alert) << c.name;
        }
        // The debugger's run comes back to the debugger, which the field screen leaves as
        // any screen is left.
        if (c.starter->debugged()) {
            EXPECT_EQ(after["screen"], 2) << c.name;
            EXPECT_EQ(after["top"]["id"], kDebugger) << c.name;
            continue;
        }
        EXPECT_EQ(shown(after), shown(typed)) << c.name;
    }
}

// The quit while a run waits with 47 typed in a field in front (the app's quit, its window's
// close, SIGTERM, in turn), every field with a waiter and a starter in turn: the app ends, and
// the next launch has no run, the home line empty and the run's own item last, 47 in none.
TEST(RunEndsDrive, TheQuitEndsTheRunWithItsOwnItemWhateverFieldIsInFront)
{
    const std::vector<Starter> starterList = starters();
    ASSERT_EQ(starterList.size(), 4u);
    const std::vector<Field> fieldList = fields();
    ASSERT_GE(fieldList.size(), 15u);
    const std::vector<std::pair<std::string, int>> doors{{"quit", -1}, {"close", 0}, {"term", SIGTERM}};
    struct Case {
        std::string name;
        const Field* field;
        std::string program;
        std::string start;
        int signal;
        fs::path data;
    };
    std::vector<Case> cases;
    for (std::size_t f = 0; f < fieldList.size(); ++f) {
        // The waiters that wait: a loop's keys are its own until it ends.
        const Waiter& waiter = kWaiters[f % 4];
        const Starter& starter = starterList[f % starterList.size()];
        const auto& [door, signal] = doors[f % doors.size()];
        const fs::path data = orvenda::test::driveScratch("quit" + std::to_string(f));
        fs::remove_all(data);
        fs::create_directories(data);
        cases.push_back({fieldList[f].name + ", " + waiter.name + ", " + starter.name + ", " + door, &fieldList[f],
                         starter.program(waiter), starting(starter, waiter), signal, data});
    }
    // A few apps at a time, each ended its way.
    orvenda::test::driveInTurns(
        cases.size(), 5, [&cases](std::size_t i) { return "--data " + cases[i].data.string(); },
        [&cases](std::size_t i, LiveDrive& app) {
            const Case& c = cases[i];
            const std::optional<json> typed
                = app.ask(kSetup + programs() + c.start + c.field->open + "type 47\nwait idle\ndump\n", kWatchdogSeconds);
            ASSERT_TRUE(typed) << c.name << app.messages();
            ASSERT_TRUE((*typed)["waiting"].get<bool>()) << c.name;
            ASSERT_EQ((*typed)["entry"], "47") << c.name;
        },
        [&cases](std::size_t i, LiveDrive& app) {
            app.end(cases[i].signal, kWatchdogSeconds);
            EXPECT_TRUE(app.state() == LiveDrive::State::Exited && app.exitCode() == 0) << cases[i].name << app.messages();
        });
    // The launches after, each on its folder.
    std::vector<std::string> scripts;
    std::vector<fs::path> folders;
    for (const Case& c : cases) {
        scripts.push_back("dump\n");
        folders.push_back(c.data);
    }
    const std::vector<DriveRun> runs = orvenda::test::driveScriptsOnFolders(scripts, folders, kWatchdogSeconds);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        ASSERT_TRUE(orvenda::test::endedWithDumps(runs[i], 1)) << c.name;
        const json& launch = runs[i].dumps[0];
        EXPECT_EQ(launch["screen"], 0) << c.name;
        EXPECT_FALSE(launch["waiting"].get<bool>()) << c.name;
        EXPECT_EQ(launch["entry"], "") << c.name;
        ASSERT_FALSE(launch["history"].empty()) << c.name;
        EXPECT_EQ(launch["history"].back()["input"], "prgm»" + c.program) << c.name;
        for (const json& item : launch["history"])
            EXPECT_EQ(item["input"].get<std::string>().find("47"), std::string::npos) << c.name << item;
    }
}
