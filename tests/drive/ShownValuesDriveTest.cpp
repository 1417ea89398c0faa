// What a Y= row holding a value shows is what the app uses however the editor is left, and
// a field's empty ENTER never runs the home line's last entry.

#include "drive/DriveSession.h"
#include "drive/LiveDrive.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

namespace {

using nlohmann::json;
using orvenda::test::DriveRun;
using orvenda::test::driveScratch;
using orvenda::test::driveScript;
using orvenda::test::driveScriptsAtOnce;
using orvenda::test::endedWithDumps;
using orvenda::test::LiveDrive;
using orvenda::test::lastItem;

constexpr int kWatchdog = 240;
const std::string kQuit = "key 2ND\nkey MODE\nwait idle\n";

// The initial values' rows of sequence mode: the row's name as the dump gives it, the
// DOWN keys from u's row to it, and how the home line names its value.
struct Row {
    std::string name;
    int down;
    std::string value;
};
const std::vector<Row> kRows{{"u(ηMin)", 1, "u(ηMin)"}, {"v(ηMin)", 3, "v(ηMin)"}, {"w(ηMin)", 5, "w(ηMin)"}};

// A good value and one that fails; each row's value in use is 0 until a good one is taken.
struct Value {
    std::string typed;
    bool good;
};
const std::vector<Value> kValues{{"2+", false}, {"7", true}};

const std::string kSequenceMode = "type Seq\nkey ENTER\nwait idle\n";

// Y= in front, the row typed on: from u's row (five UPs reach it from any row) down to it.
std::string typeOnRow(const Row& row, const Value& value)
{
    std::string keys = "key Y=\nwait idle\n";
    for (int k = 0; k < 5; ++k)
        keys += "key UP\n";
    for (int k = 0; k < row.down; ++k)
        keys += "key DOWN\n";
    return keys + "key CLEAR\ntype " + value.typed + "\nwait idle\n";
}

// The row's text in a Y= dump.
std::string rowText(const json& dump, const std::string& name)
{
    for (const json& row : dump.value("yEq", json::object()).value("rows", json::array()))
        if (row.value("name", "") == name)
            return row.value("text", "");
    return "<no row>";
}

} // namespace

// Every way of leaving Y= while a row holds a typed initial value takes it as shown: the
// home line's u(ηMin) gives it and the row shows it again; a failing value is told where
// the user is and comes back in its row, the value in use unchanged.
TEST(ShownValuesDrive, LeavingYEqTakesTheInitialValuesItShows)
{
    // Each way's keys, and what the user does once its alert (if any) is closed.
    const struct Way {
        std::string name;
        std::string keys;
        std::string after;
    } ways[] = {
        {"GRAPH", "key GRAPH\n", ""},
        {"TABLE", "key TABLE\n", ""},
        {"WINDOW", "key 2ND\nkey GRAPH\n", ""},
        {"QUIT", kQuit, ""},
        {"Escape", "hkey Escape\n", ""},
        {"Ctrl+G", "hkey Ctrl+G\n", ""},
        // MODE covers Y= and gives it back when left; Y='s QUIT then leaves it.
        {"MODE", "key MODE\nwait idle\ntap leave\nwait idle\n" + kQuit, ""},
        // The menu leaves the editor as it opens; its row is picked once the alert is read.
        {"STAT row", "key STAT\nwait idle\nkey 1\n", "key 1\nwait idle\n"},
        {"turn", "size 844x390\nwait idle\nkey GRAPH\n", ""},
    };
    std::vector<std::string> scripts;
    for (const Way& way : ways) {
        std::string script = kSequenceMode;
        for (const Row& row : kRows)
            for (const Value& value : kValues)
                script += typeOnRow(row, value) + way.keys + "wait idle\ndump\npress? OK\nwait idle\n"
                    + (value.good ? "" : way.after) + "size 390x844\nwait idle\n" + kQuit + kQuit + "type " + row.value
                    + "\nkey ENTER\nwait idle\ndump\nkey Y=\nwait idle\ndump\nkey CLEAR\n" + kQuit;
        scripts.push_back(script);
    }
    const std::vector<DriveRun> runs = driveScriptsAtOnce(scripts, "", kWatchdog);
    for (std::size_t w = 0; w < std::size(ways); ++w) {
        const DriveRun& run = runs[w];
        ASSERT_TRUE(endedWithDumps(run, 3 * kRows.size() * kValues.size())) << ways[w].name;
        std::size_t d = 0;
        for (const Row& row : kRows)
            for (const Value& value : kValues) {
                const std::string where = ways[w].name + ", " + row.name + "=" + value.typed;
                const json& left = run.dumps[d++];
                const json& used = run.dumps[d++];
                const json& back = run.dumps[d++];
                EXPECT_NE(left["screen"], 1) << where;
                const json told = value.good ? json::array()
                                             : json::array({{{"buttons", {"OK"}}, {"message", "Syntax error"}, {"title", "Calc Error"}}});
                EXPECT_EQ(left["alerts"], told) << where;
                EXPECT_EQ(lastItem(used), row.value + " → " + (value.good ? value.typed : "0")) << where;
                EXPECT_EQ(back["screen"], 1) << where;
                EXPECT_EQ(rowText(back, row.name), value.typed) << where;
            }
    }
}

// The graph's trace and the table, reached straight from Y=, start each sequence at the
// value its row shows.
TEST(ShownValuesDrive, TheTraceAndTheTableStartAtTheValueShown)
{
    std::vector<std::string> scripts;
    for (const Row& row : kRows) {
        const std::string name = row.name.substr(0, 1);
        // The sequence from its previous term, typed on its own row just above.
        std::string script = kSequenceMode + "key Y=\nwait idle\n";
        for (int k = 1; k < row.down; ++k)
            script += "key DOWN\n";
        script += "type " + name + "(η-1)+1\nwait idle\n" + typeOnRow(row, kValues[1]);
        scripts.push_back(script + "key GRAPH\nwait idle\nkey 0x403\nwait idle\ndump\nkey TABLE\nwait idle\nkey RIGHT\nwait idle\ndump\n");
    }
    const std::vector<DriveRun> runs = driveScriptsAtOnce(scripts, "", kWatchdog);
    for (std::size_t k = 0; k < kRows.size(); ++k) {
        ASSERT_TRUE(endedWithDumps(runs[k], 2)) << kRows[k].name;
        const json& trace = runs[k].dumps[0]["trace"];
        const json lines = trace.value("lines", json::array());
        ASSERT_EQ(lines.size(), 3u) << kRows[k].name;
        EXPECT_EQ(lines[1], "η:0") << kRows[k].name;
        EXPECT_EQ(lines[2], kRows[k].name.substr(0, 1) + ":7") << kRows[k].name;
        EXPECT_EQ(runs[k].dumps[1]["table"]["shows"], "7") << kRows[k].name;
    }
}

namespace {

// How the app ends while Y= shows a typed initial value.
enum class Ending { Close, Quit, Term, KillAfterSave };

// Ends a driven app as asked; false when it did not end that way.
bool end(LiveDrive& drive, Ending ending)
{
    switch (ending) {
    case Ending::Close: drive.send("close\n"); break;
    case Ending::Quit: break;
    case Ending::Term:
        // Once the lines sent have been taken.
        if (!drive.ask("dump\n", kWatchdog))
            return false;
        drive.sendSignal(SIGTERM);
        if (!drive.ask("wait 60000\ndump\n", kWatchdog))
            return false;
        break;
    case Ending::KillAfterSave:
        if (!drive.ask("wait saved\ndump\n", kWatchdog))
            return false;
        drive.sendSignal(SIGKILL);
        break;
    }
    drive.finish(kWatchdog);
    return ending == Ending::KillAfterSave ? drive.state() == LiveDrive::State::Killed
                                           : drive.state() == LiveDrive::State::Exited && drive.exitCode() == 0;
}

} // namespace

// Every ending with a typed initial value on its row: the launch after it uses the value
// the row showed and shows it again; a failing one comes back on its row, told when Y= is
// left, the value in use unchanged.
TEST(ShownValuesDrive, EveryEndingKeepsTheInitialValuesShown)
{
    const std::vector<std::pair<std::string, Ending>> endings{
        {"close", Ending::Close}, {"quit", Ending::Quit}, {"SIGTERM", Ending::Term}, {"kill after save", Ending::KillAfterSave}};
    struct Case {
        std::string where;
        Row row;
        Value value;
        Ending ending;
        std::filesystem::path data;
    };
    std::vector<Case> cases;
    for (const auto& [name, ending] : endings)
        for (const Row& row : kRows)
            for (const Value& value : kValues) {
                const auto data = driveScratch("shown-" + std::to_string(cases.size()));
                std::filesystem::remove_all(data);
                std::filesystem::create_directories(data);
                cases.push_back({name + ", " + row.name + "=" + value.typed, row, value, ending, data});
            }
    std::vector<std::future<std::string>> ended;
    for (const Case& c : cases)
        ended.push_back(std::async(std::launch::async, [&c] {
            LiveDrive drive("--data " + c.data.string());
            drive.send(kSequenceMode + typeOnRow(c.row, c.value));
            return end(drive, c.ending) ? std::string() : drive.messages();
        }));
    for (std::size_t k = 0; k < cases.size(); ++k)
        ASSERT_EQ(ended[k].get(), "") << cases[k].where;
    std::vector<std::future<DriveRun>> launched;
    for (const Case& c : cases)
        launched.push_back(std::async(std::launch::async, [&c] {
            return driveScript("type " + c.row.value + "\nkey ENTER\nwait idle\ndump\nkey Y=\nwait idle\ndump\nkey GRAPH\nwait idle\ndump\n",
                               "--data '" + c.data.string() + "'", kWatchdog);
        }));
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const Case& c = cases[k];
        const DriveRun run = launched[k].get();
        ASSERT_TRUE(endedWithDumps(run, 3)) << c.where;
        EXPECT_EQ(lastItem(run.dumps[0]), c.row.value + " → " + (c.value.good ? c.value.typed : "0")) << c.where;
        EXPECT_EQ(rowText(run.dumps[1], c.row.name), c.value.typed) << c.where;
        EXPECT_EQ(run.dumps[2]["alerts"].size(), c.value.good ? 0u : 1u) << c.where;
    }
}

// After a program run from the home line (it adds 1 to B), an empty ENTER or Return on
// every field screen does what that field's empty ENTER does: the program does not run
// again, no item is added, and the screen stays in front.
TEST(ShownValuesDrive, AFieldsEmptyEnterNeverRunsTheLastEntry)
{
    const DriveRun listing = driveScript("screens\n");
    ASSERT_TRUE(endedWithDumps(listing, 1));
    std::vector<std::pair<std::string, std::string>> screens;
    for (const json& screen : listing.dumps[0]["screens"])
        if (screen["field"] == true)
            screens.push_back({"screen " + std::to_string(screen["id"].get<int>()), "open " + std::to_string(screen["id"].get<int>()) + "\n"});
    ASSERT_GE(screens.size(), 14u);
    // The table asking for its values, as its setup sets it.
    screens.push_back({"table in Ask mode", "type IndpntAsk\nkey ENTER\nwait idle\nopen 5\n"});
    const std::string program = "program FX\nB+1->B\nend\n";
    std::string script = program;
    std::vector<std::string> cases;
    for (const auto& [name, open] : screens)
        for (const std::string key : {"key ENTER\n", "hkey Return\n"}) {
            script += "type prgmFX\nkey ENTER\nwait idle\n" + open + "wait idle\ndump\n" + key + "wait idle\ndump\npress? OK\nwait idle\n"
                + kQuit + "hkey Escape\nwait idle\n" + kQuit + "key CLEAR\n";
            cases.push_back(name + ", " + key.substr(0, key.size() - 1));
        }
    script += "type B\nkey ENTER\nwait idle\ndump\n";
    const DriveRun run = driveScript(script, "", kWatchdog);
    ASSERT_TRUE(endedWithDumps(run, 2 * cases.size() + 1));
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const json& before = run.dumps[2 * k];
        const json& after = run.dumps[2 * k + 1];
        EXPECT_EQ(after["screen"], before["screen"]) << cases[k];
        EXPECT_EQ(after["history"].size(), before["history"].size()) << cases[k];
        EXPECT_FALSE(after["running"].get<bool>()) << cases[k];
        EXPECT_EQ(after["output"], before["output"]) << cases[k];
    }
    // Each case ran the program once, by its own ENTER on the home line.
    EXPECT_EQ(lastItem(run.dumps.back()), "B → " + std::to_string(cases.size()));
}
