// What a field holds when the app ends, or when keys come faster than the app handles them,
// and an answer entered for a run: each stays where the user put it, whatever a waiting run
// does meanwhile.

#include "drive/DriveSession.h"
#include "drive/LiveDrive.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using orvenda::test::DriveRun;
using orvenda::test::LiveDrive;

constexpr int kWatchdogSeconds = 120;
const char* const kQuit = "key 2ND\nkey MODE\nwait idle\n";

// Q sets A (and so Ans) to 5, then asks.
const std::string kAsks = "program Q\n5->A\nInput \"N=\",N\nDisp N\nend\n";

// Up to WINDOW's Xmax holding the value typed, with Q waiting at its question (12 typed as
// its half answer) or with 5 entered on the home line.
std::string typedInXmax(const std::string& value, bool waiting)
{
    return kAsks + (waiting ? "type prgmQ\nkey ENTER\nwait idle\ntype 12\n" : "type 5\nkey ENTER\nwait idle\n")
        + "open 7\nwait idle\nkey DOWN\ntype " + value + "\n";
}

// Every ending: the application's quit alone as the driver's end gives it, the window's
// close, SIGTERM, SIGINT, SIGHUP, and kill -9 after the app's own save.
const std::vector<std::pair<std::string, int>> kEndings{{"quit", -1}, {"close", 0}, {"term", SIGTERM},
    {"int", SIGINT}, {"hup", SIGHUP}, {"kill", SIGKILL}};

fs::path freshFolder(const std::string& name)
{
    const fs::path folder = orvenda::test::driveScratch(name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

} // namespace

// Every ending (the application's quit alone as the driver's end gives it, the window's close,
// SIGTERM, SIGINT, SIGHUP, and kill -9 after the app's own save) × Xmax holding a good value
// or one that fails × a run waiting or not: the next launch has the field's own value (7), or
// gives `1+` back in Xmax, never Ans.
TEST(FieldEndings, AFieldKeepsItsOwnLineAtEveryEnding)
{
    struct Case {
        std::string name;
        int signal;
        std::string value;
        bool waiting;
        fs::path data;
    };
    std::vector<Case> cases;
    for (const auto& [ending, signal] : kEndings)
        for (const std::string value : {"7", "1+"})
            for (const bool waiting : {false, true}) {
                const std::string name = "ending-" + ending + "-" + (value == "7" ? "good" : "failing") + (waiting ? "-waiting" : "");
                cases.push_back({name, signal, value, waiting, freshFolder(name)});
            }
    // A few apps at a time, each ended its way.
    orvenda::test::driveInTurns(
        cases.size(), 6, [&cases](std::size_t i) { return "--data " + cases[i].data.string(); },
        [&cases](std::size_t i, LiveDrive& app) {
            const Case& c = cases[i];
            const std::optional<json> shown = app.ask(typedInXmax(c.value, c.waiting) + "dump\n", kWatchdogSeconds);
            ASSERT_TRUE(shown) << c.name << app.messages();
            ASSERT_EQ((*shown)["entry"], c.value) << c.name;
            ASSERT_EQ((*shown)["waiting"], c.waiting) << c.name;
        },
        [&cases](std::size_t i, LiveDrive& app) {
            const Case& c = cases[i];
            app.end(c.signal, kWatchdogSeconds);
            if (c.signal == SIGKILL)
                EXPECT_EQ(app.state(), LiveDrive::State::Killed) << c.name;
            else
                EXPECT_TRUE(app.state() == LiveDrive::State::Exited && app.exitCode() == 0) << c.name << app.messages();
        });
    // The launch after: back home (entering what a launch on WINDOW shows), then Xmax.
    std::vector<std::string> scripts;
    for (const Case& c : cases) {
        const std::string back = std::string("dump\n") + kQuit + "press? OK\nwait idle\nopen 7\nwait idle\ndump\n";
        scripts.push_back(c.value == "7" ? back + kQuit + "type Xmax\nkey ENTER\nwait idle\ndump\n" : back);
    }
    std::vector<DriveRun> runs;
    for (std::size_t i = 0; i < cases.size(); ++i)
        runs.push_back(orvenda::test::driveScript(scripts[i], "--data '" + cases[i].data.string() + "'", kWatchdogSeconds));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const DriveRun& run = runs[i];
        ASSERT_TRUE(orvenda::test::endedWithDumps(run, c.value == "7" ? 3 : 2)) << c.name;
        EXPECT_EQ(run.dumps[0]["waiting"], false) << c.name;
        // A launch after the kill is back on WINDOW with the line in Xmax; any other is home.
        EXPECT_EQ(run.dumps[0]["screen"], c.signal == SIGKILL ? 7 : 0) << c.name;
        EXPECT_EQ(run.dumps[0]["entry"], c.signal == SIGKILL ? c.value : "") << c.name;
        if (c.value == "7") {
            EXPECT_EQ(run.dumps[2]["ans"], "7") << c.name << " " << run.dumps[2]["history"];
        } else {
            EXPECT_EQ(run.dumps[1]["screen"], 7) << c.name;
            EXPECT_EQ(run.dumps[1]["field"], 1) << c.name;
            EXPECT_EQ(run.dumps[1]["entry"], "1+") << c.name << ": given back in Xmax";
        }
    }
}

namespace {

// What the keys left: the screen and its field, the line, the run, the alerts, the history.
json outcome(const json& dump)
{
    json kept;
    for (const char* key : {"screen", "field", "entry", "cursor", "waiting", "running", "alerts", "ans", "error", "history",
             "output", "statTest", "table"})
        kept[key] = dump.value(key, json());
    if (kept["statTest"].is_object())
        kept["statTest"] = {{"fields", kept["statTest"]["fields"]}, {"current", kept["statTest"].value("current", json())}};
    return kept;
}

} // namespace

// Two calculator keys clicked with no turn of the event loop between them (as a busy main
// thread takes clicks queued meanwhile) act as the same keys one after another: on WINDOW,
// TBLSET and the statistics test form, a good and a failing value, with a run waiting at
// its question or none. The failing value's alert takes the second key; the run keeps
// waiting, the value is not lost and no field takes Ans.
TEST(FieldEndings, ClicksQueuedTogetherActAsClicksOneAfterAnother)
{
    const std::map<int, std::string> screens{{7, "open 7\nwait idle\nkey DOWN\n"}, {6, "open 6\nwait idle\nkey DOWN\n"},
                                             {15, "open 15\nwait idle\nkey DOWN\n"}};
    const std::vector<std::pair<std::string, std::string>> pairs{{"ENTER", "ENTER"}, {"DOWN", "CLEAR"}, {"GRAPH", "CLEAR"}};
    std::vector<std::string> names;
    std::vector<std::string> scripts;
    for (const auto& [screen, way] : screens)
        for (const auto& [firstKey, secondKey] : pairs)
            for (const std::string value : {"7", "1+"})
                for (const bool waiting : {false, true})
                    for (const bool queued : {true, false}) {
                        names.push_back("screen " + std::to_string(screen) + ", " + firstKey + " " + secondKey + ", " + value
                                        + (waiting ? ", waiting" : "") + (queued ? ", queued" : ", one after another"));
                        const std::string start = kAsks
                            + (waiting ? "type prgmQ\nkey ENTER\nwait idle\ntype 12\n" : "type 5\nkey ENTER\nwait idle\n");
                        scripts.push_back(start + way + "type " + value + "\nwait idle\nkey " + firstKey + "\n"
                                          + (queued ? "" : "wait idle\n") + "key " + secondKey + "\nwait idle\ndump\n"
                                          + "press? OK\nwait idle\n" + kQuit + "press? OK\nwait idle\ndump\n");
                    }
    std::vector<DriveRun> runs;
    for (std::size_t first = 0; first < scripts.size(); first += 8) {
        const std::vector<std::string> some(scripts.begin() + first, scripts.begin() + std::min(scripts.size(), first + 8));
        for (DriveRun& run : orvenda::test::driveScriptsAtOnce(some, "", kWatchdogSeconds))
            runs.push_back(std::move(run));
    }
    for (std::size_t i = 0; i + 1 < runs.size(); i += 2) {
        ASSERT_TRUE(orvenda::test::endedWithDumps(runs[i], 2)) << names[i];
        ASSERT_TRUE(orvenda::test::endedWithDumps(runs[i + 1], 2)) << names[i + 1];
        for (std::size_t at : {0u, 1u})
            EXPECT_EQ(outcome(runs[i].dumps[at]), outcome(runs[i + 1].dumps[at])) << names[i] << " (dump " << at << ")";
        const bool waiting = names[i].find("waiting") != std::string::npos;
        // Never broken by the keys: the run still waits once the user is home again.
        EXPECT_EQ(runs[i].dumps[1]["waiting"], waiting) << names[i];
        for (const json& alert : runs[i].dumps[0]["alerts"])
            EXPECT_NE(alert["title"], "User break") << names[i];
    }
}

// A run that asks (Prompt A), then shows the graph, the table or its output, and writes A:
// whoever started it (the home line, PRGM's EXEC, a graph button's label, the debugger's Run
// or Step), the answer 5 once entered is gone from the line, the run leaves one item, and the
// next ENTER where the run left the user (the debugger) enters nothing.
TEST(FieldEndings, AnAnswerOnceEnteredIsGoneFromTheLine)
{
    const std::map<std::string, std::string> shows{{"graph", "DispGraph"}, {"table", "DispTable"}, {"output", "Disp \"HI\""}};
    const auto program = [](const std::string& show, bool label) {
        const std::string body = "Prompt A\n" + show + "\nDisp A\n";
        return label ? "program ZA\nFnOff \nButton(10,60,120,\"GO\",\"P\")\nDispGraph\nStop\nLbl P\n" + body + "end\n"
                     : "program ZA\n" + body + "end\n";
    };
    // The debugger's controls where this window draws them.
    const std::string editor = "key PRGM\nkey RIGHT\nhkey z\nhkey Return\nwait idle\n";
    const DriveRun opened = orvenda::test::driveScript(program("DispGraph", false) + editor + "dump\n");
    ASSERT_TRUE(orvenda::test::endedWithDumps(opened, 1));
    const auto tap = [](const json& at) {
        return "tap " + std::to_string(at[0].get<int>()) + " " + std::to_string(at[1].get<int>()) + "\n";
    };
    const std::string debug = editor + tap(opened.dumps[0]["editor"]["controls"]["debug"]) + "wait idle\n";
    const DriveRun debugging = orvenda::test::driveScript(program("DispGraph", false) + debug + "dump\n");
    ASSERT_TRUE(orvenda::test::endedWithDumps(debugging, 1));
    ASSERT_TRUE(debugging.dumps[0]["debugger"].is_object());
    const std::string run = tap(debugging.dumps[0]["debugger"]["controls"]["run"]) + "wait idle\n";
    struct Starter {
        std::string name;
        bool label;
        std::string start;
        std::string answer;
        std::size_t items;
        bool debugged;
    };
    const std::vector<Starter> starters{
        {"home line", false, "type prgmZA\nkey ENTER\nwait idle\n", "key ENTER\nwait idle\n", 1, false},
        {"EXEC", false, "key PRGM\nwait idle\nhkey z\nhkey Return\nwait idle\nkey ENTER\nwait idle\n", "key ENTER\nwait idle\n", 1, false},
        {"label", true, "type prgmZA\nhkey Return\nwait idle\npress GO\nwait idle\n", "key ENTER\nwait idle\n", 2, false},
        {"debugger's Run", false, debug + run, "key ENTER\nwait idle\n", 1, true},
        {"debugger's Step", false, debug + "hkey s\nwait idle\n", "key ENTER\nwait idle\n" + run, 1, true},
    };
    std::vector<std::string> names;
    std::vector<std::string> scripts;
    for (const Starter& starter : starters)
        for (const auto& [shown, line] : shows) {
            names.push_back(starter.name + ", " + shown);
            scripts.push_back(program(line, starter.label) + starter.start + "type 5\n" + starter.answer + "wait idle\ndump\n"
                              + (starter.debugged ? "hkey Escape\nwait idle\nkey ENTER\nwait idle\nhkey Return\nwait idle\n" : "")
                              + "dump\n");
        }
    const std::vector<DriveRun> runs = orvenda::test::driveScriptsAtOnce(scripts, "", kWatchdogSeconds);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const Starter& starter = starters[i / shows.size()];
        ASSERT_TRUE(orvenda::test::endedWithDumps(runs[i], 2)) << names[i];
        for (const json& dump : runs[i].dumps) {
            EXPECT_EQ(dump["entry"], "") << names[i];
            EXPECT_EQ(dump["waiting"], false) << names[i];
            EXPECT_EQ(dump["history"].size(), starter.items) << names[i] << " " << dump["history"];
            // A stepped run's answer stores A without a result of its own.
            if (!starter.name.ends_with("Step")) {
                EXPECT_EQ(dump["ans"], "5") << names[i];
            }
        }
        EXPECT_EQ(runs[i].dumps[1]["ans"], runs[i].dumps[0]["ans"]) << names[i];
    }
}

// A run that ends showing the table in Ask mode leaves the table's X values as the user typed
// them: its Ans (7) goes into no row.
TEST(FieldEndings, ARunEndingOnTheTableLeavesItsAskRowsAlone)
{
    const std::string script = "program TS\nFnOff \n\"X²\"->Y₁\nIndpntAsk\nend\nprogram TD\n7->A\nDispTable\nend\n"
                               "type prgmTS\nkey ENTER\nwait idle\nopen 5\nwait idle\ntype 47\nkey ENTER\nwait idle\ntype 5\n"
                               "key ENTER\nwait idle\n"
        + std::string(kQuit) + "type prgmTD\nkey ENTER\nwait idle\ndump\n" + kQuit + "open 5\nwait idle\ndump\n" + kQuit
        + "type TblInput\nkey ENTER\nwait idle\ndump\n";
    const DriveRun run = orvenda::test::driveScript(script, "", kWatchdogSeconds);
    ASSERT_TRUE(orvenda::test::endedWithDumps(run, 3));
    EXPECT_EQ(run.dumps[0]["screen"], 5);
    EXPECT_EQ(run.dumps[1]["table"]["shows"], "47");
    EXPECT_EQ(orvenda::test::lastItem(run.dumps[2]), "TblInput → {47 5}");
}

namespace {

// 2+ (a failing value, no ENTER) typed by a case's keys on its own data folder, the app ended
// its way, and the launch after run on that folder.
struct TypedThenEnded {
    std::string name;
    int signal;
    std::string keys;
    std::string launch;
    fs::path data;
};

TypedThenEnded typedThenEnded(const std::string& name, int signal, std::string keys, std::string launch)
{
    return {name, signal, std::move(keys), std::move(launch), freshFolder(name)};
}

// Each case typed (its keys end in a dump, which `typed` checks further), ended, launched again:
// the launches' runs.
std::vector<DriveRun> typeEndAndLaunch(const std::vector<TypedThenEnded>& cases,
                                       const std::function<void(std::size_t, const json&)>& typed)
{
    orvenda::test::driveInTurns(
        cases.size(), 6, [&cases](std::size_t i) { return "--data " + cases[i].data.string(); },
        [&cases, &typed](std::size_t i, LiveDrive& app) {
            const std::optional<json> shown = app.ask(cases[i].keys, kWatchdogSeconds);
            ASSERT_TRUE(shown) << cases[i].name << app.messages();
            ASSERT_EQ((*shown)["entry"], "2+") << cases[i].name;
            typed(i, *shown);
        },
        [&cases](std::size_t i, LiveDrive& app) {
            app.end(cases[i].signal, kWatchdogSeconds);
            EXPECT_NE(app.state(), LiveDrive::State::Hung) << cases[i].name;
        });
    std::vector<std::string> scripts;
    std::vector<fs::path> folders;
    for (const TypedThenEnded& c : cases) {
        scripts.push_back(c.launch);
        folders.push_back(c.data);
    }
    return orvenda::test::driveScriptsOnFolders(scripts, folders, kWatchdogSeconds);
}

} // namespace

// The equation solver's X=, lower and upper bound lines holding 2+ (a failing value, no ENTER)
// × every ending (the application's quit, the window's close, SIGTERM, SIGINT, SIGHUP, and
// kill -9 after the app's own save): the next launch gives 2+ back on its line, the cursor on
// its error where the app's leaving told it.
TEST(FieldEndings, TheSolversLinesKeepAFailingTextAtEveryEnding)
{
    std::vector<TypedThenEnded> cases;
    std::vector<int> lines;
    for (const auto& [ending, signal] : kEndings)
        for (const auto& [line, lineName] : std::vector<std::pair<int, std::string>>{{1, "X"}, {2, "lower"}, {3, "upper"}}) {
            std::string keys = "open 10\nwait idle\ntype X-3\nkey ENTER\nwait idle\n";
            for (int down = 1; down < line; ++down)
                keys += "key DOWN\nwait idle\n";
            // A launch after the kill goes on with the solver in front.
            cases.push_back(typedThenEnded("solver-" + ending + "-" + lineName, signal, keys + "type 2+\nwait idle\ndump\n",
                                           signal == SIGKILL ? "dump\ndump\n" : "dump\nopen 10\nwait idle\ndump\n"));
            lines.push_back(line);
        }
    const std::vector<DriveRun> runs = typeEndAndLaunch(cases, [&cases, &lines](std::size_t i, const json& shown) {
        EXPECT_EQ(shown["solver"]["line"], lines[i]) << cases[i].name;
    });
    const std::vector<std::string> labels{"X=", "lowerBound=", "upperBound="};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const TypedThenEnded& c = cases[i];
        ASSERT_TRUE(orvenda::test::endedWithDumps(runs[i], 2)) << c.name;
        const json& solver = runs[i].dumps[1]["solver"];
        EXPECT_EQ(runs[i].dumps[1]["entry"], "2+") << c.name;
        ASSERT_TRUE(solver.is_object()) << c.name;
        EXPECT_EQ(solver["line"], lines[i]) << c.name;
        EXPECT_EQ(solver["lines"][lines[i]], labels[static_cast<std::size_t>(lines[i] - 1)] + "2+") << c.name;
        // The quit's leaving told the error and marked it; a kill kept the line as typed.
        if (c.signal != SIGKILL) {
            EXPECT_EQ(runs[i].dumps[1]["cursor"], 1) << c.name;
        }
    }
}

// 2+ (a failing value, no ENTER) typed in the first field of every screen whose line fills a
// field, as the app lists them, each ended its own way in turn, and the chemistry screen's
// formula at every ending: the next launch gives 2+ back on its screen (at once after a kill
// that came after the app's own save; once the screen is opened again after any other).
TEST(FieldEndings, EveryFieldScreenKeepsAFailingTextAtEveryEnding)
{
    constexpr int kChemistry = 14;
    const std::vector<int> screens = orvenda::test::fieldScreens();
    ASSERT_GE(screens.size(), 14u);
    std::vector<TypedThenEnded> cases;
    std::vector<int> opened;
    const auto add = [&cases, &opened](int screen, std::size_t ending) {
        const auto& [how, signal] = kEndings[ending % kEndings.size()];
        const std::string open = "open " + std::to_string(screen) + "\nwait idle\n";
        cases.push_back(typedThenEnded("failing-" + std::to_string(screen) + "-" + how, signal, open + "type 2+\nwait idle\ndump\n",
                                       signal == SIGKILL ? "dump\n" : open + "dump\n"));
        opened.push_back(screen);
    };
    for (std::size_t i = 0; i < screens.size(); ++i)
        add(screens[i], i);
    // The chemistry screen keeps its formula itself: every other ending too.
    const auto chemistry = static_cast<std::size_t>(std::find(screens.begin(), screens.end(), kChemistry) - screens.begin());
    for (std::size_t ending = 0; ending < kEndings.size(); ++ending)
        if (ending != chemistry % kEndings.size())
            add(kChemistry, ending);
    const std::vector<DriveRun> runs = typeEndAndLaunch(cases, [](std::size_t, const json&) {});
    for (std::size_t i = 0; i < cases.size(); ++i) {
        ASSERT_TRUE(orvenda::test::endedWithDumps(runs[i], 1)) << cases[i].name;
        EXPECT_EQ(runs[i].dumps[0]["screen"], opened[i]) << cases[i].name;
        EXPECT_EQ(runs[i].dumps[0]["entry"], "2+") << cases[i].name;
    }
}
