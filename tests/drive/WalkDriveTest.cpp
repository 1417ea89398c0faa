// Random walks through the whole app, through orvenda-drive: keys, chords, taps on what the
// screen shows, entries and program calls, runs and steps in the debugger, screens opened
// (most while a program waits), the window resized, waits, and the app ended and launched
// again on its data folder. After every few steps the app answers, shows one screen in
// front with every control in reach and no question behind the home screen; a question out
// of sight takes nothing typed; each launch after an ending shows nothing half done; and at
// the end QUIT leaves a home screen where 1+1 gives 2. A failing walk prints its
// script; ORVENDA_WALK_SEED (a seed or a range A-B), ORVENDA_WALK_STEPS,
// ORVENDA_WALK_DEVICE (phone, tablet or both) and ORVENDA_WALK_SHRINK=1 run other walks and
// shrink their failures, ORVENDA_WALK_SCRIPT=FILE shrinks the steps of a script.

#include "drive/WalkRunner.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

namespace orvenda::test {
namespace {

struct Walk {
    std::uint32_t seed;
    bool tablet;
    int steps;
};

std::string device(bool tablet) { return tablet ? "tablet" : "phone"; }

void PrintTo(const Walk& walk, std::ostream* out) { *out << "seed " << walk.seed << " on the " << device(walk.tablet) << ", " << walk.steps << " steps"; }

std::string describe(const WalkFailure& failure) { return failure.kind + (failure.cause.empty() ? "" : ": " + failure.cause); }

// The shortest script that still fails as the walk did.
std::string shrunk(WalkRunner& runner, const std::vector<std::string>& steps, const WalkFailure& failure)
{
    const WalkRunner::Shrunk fewest = runner.shrink(steps, failure);
    if (fewest.transcript.empty())
        return "# " + describe(failure) + ": no replay failed again\n";
    return "# " + describe(failure) + " (" + std::to_string(fewest.steps.size()) + " steps)\n" + fewest.transcript;
}

class WalkDrive : public ::testing::TestWithParam<Walk> {};

TEST_P(WalkDrive, TheAppAnswersWithOneScreenInReachAndQuitLeavesAHomeScreenThatAdds)
{
    const Walk& walk = GetParam();
    WalkRunner runner(walk.tablet);
    const WalkOutcome outcome = runner.walk(walk.seed, walk.steps);
    if (outcome.failure)
        ADD_FAILURE() << describe(*outcome.failure) << " after step " << outcome.steps << "\n"
                      << outcome.failure->detail << "\n# the script so far (--device " << device(walk.tablet) << "):\n"
                      << outcome.transcript << "# shrink it with ORVENDA_WALK_SEED=" << walk.seed
                      << " ORVENDA_WALK_STEPS=" << outcome.steps << " ORVENDA_WALK_DEVICE=" << device(walk.tablet)
                      << " ORVENDA_WALK_SHRINK=1 and --gtest_filter=WalkDrive.FromTheEnvironment";
}

// The seeds CI walks, on the phone and the tablet: each runs and steps the walk's programs in
// the debugger and ends the app three to ten times, and a program waits for an answer in
// several to fifty of its steps.
INSTANTIATE_TEST_SUITE_P(Seeds, WalkDrive,
                         ::testing::Values(Walk{13, false, 300}, Walk{99, false, 300}, Walk{58, false, 300}, Walk{22, false, 300},
                                           Walk{81, false, 300}, Walk{44, false, 300}, Walk{7, false, 300}, Walk{2, false, 300},
                                           Walk{57, true, 300}, Walk{89, true, 300}, Walk{102, true, 300}, Walk{11, true, 300},
                                           Walk{4, true, 300}, Walk{23, true, 300}, Walk{34, true, 300}, Walk{46, true, 300}),
                         [](const auto& info) { return device(info.param.tablet) + std::to_string(info.param.seed); });

// Each way a walk ends the app, while one of its programs waits for an answer, a pick,
// ENTER or a key: the app ends as asked, and the launch after it on the same data folder
// goes on with no run, no waiting run's call on the home line and, after a quit, the run's
// item named for its program; at the end QUIT and 1+1 still give 2.
TEST(WalkDrive, EachEndingWhileAProgramWaitsLeavesNothingHalfDone)
{
    const std::vector<std::string> steps =
        WalkRunner::stepsOf("type prgmWI\nkey ENTER\nsignal KILL\ntype prgmWP\nkey ENTER\nclose\n"
                            "type prgmWM\nkey ENTER\nsignal TERM\ntype prgmWA\nkey ENTER\nsignal INT\n"
                            "type prgmWK\nkey ENTER\nsignal HUP\ntype prgmWK\nkey ENTER\nsignal KILL\n");
    WalkRunner runner(false);
    const WalkOutcome outcome = runner.replay(steps);
    EXPECT_FALSE(outcome.failure) << describe(*outcome.failure) << "\n" << outcome.failure->detail << "\n" << outcome.transcript;
    EXPECT_EQ(outcome.steps, steps.size());
}

// The walk's checks on dumps as the driver gives them. A question out of sight (the list
// editor over a waiting Input) fails the step that types onto it or answers it, not the one
// that brings it back with its half answer or breaks it (ON, the debugger opened). A launch after an ending
// fails with a run going on, the waiting run's call or a half answer on the home line, or
// without the run's item after a quit; not with the home line a debugger's run left alone,
// nor after a kill while a run went on (no save since).
TEST(WalkDrive, TheChecksTellAQuestionAnsweredOutOfSightAndALaunchLeftHalfDone)
{
    using nlohmann::json;
    const auto dump = [](int front, bool waiting, bool running, const char* output, const char* entry, const char* item = nullptr,
                         const char* answer = "X=\n          User break") {
        json history = json::array();
        if (item)
            history.push_back({{"input", item}, {"answer", answer}});
        return json{{"top", {{"id", front}, {"title", "Screen"}}}, {"waiting", waiting}, {"running", running},
                    {"output", json::array({output})}, {"entry", entry}, {"alerts", json::array()}, {"history", history}};
    };
    const json hidden = dump(4, true, false, "X=", "");
    const struct {
        json before;
        const char* step;
        json after;
        bool fails;
    } steps[] = {
        {hidden, "type 5\n", dump(4, true, false, "X=5", "5"), true},
        {hidden, "key ENTER\n", dump(4, false, true, "X=5", ""), true},
        {hidden, "key 2ND\nkey MODE\n", dump(11, true, false, "X=5", "5"), false},
        {hidden, "key ON\n", dump(4, false, false, "X=", ""), false},
        {dump(11, true, false, "X=", ""), "type 5\nkey ENTER\n", dump(11, false, true, "X=5", ""), false},
        // The debugger opened on another program breaks the run, with its item.
        {hidden, "press? Debug\n", dump(109, false, false, "X=", "", "prgm»WI"), false},
        {hidden, "key ENTER\n", dump(4, false, false, "X=5", "", "prgm»WI", "X=5\n10\nDone"), true},
    };
    for (std::size_t k = 0; k < std::size(steps); ++k)
        EXPECT_EQ(WalkRunner::answeredUnseen(steps[k].before, steps[k].step, steps[k].after).has_value(), steps[k].fails) << k;
    const json waits = dump(11, true, false, "X=", ""), paused = dump(11, true, true, "1", "prgm»WA");
    const struct {
        json before;
        int signal;
        WalkRunner::SeenRun run;
        json after;
        bool fails;
    } launches[] = {
        {waits, SIGTERM, {"WI", false, ""}, dump(0, false, false, "", "", "prgm»WI"), false},
        {waits, SIGTERM, {"WI", false, ""}, dump(0, false, false, "", "", "prgm»none"), true},
        {waits, 0, {"WI", false, ""}, dump(0, false, false, "", "5", "prgm»WI"), true},
        {waits, SIGKILL, {"WM", false, ""}, dump(0, false, false, "", "prgm»WM"), true},
        {waits, SIGKILL, {"WI", true, "2+3"}, dump(0, false, false, "", "2+3"), false},
        {paused, SIGKILL, {"WA", false, ""}, dump(0, false, false, "", "prgm»WA"), false},
        {waits, SIGHUP, {"WI", false, ""}, dump(11, true, false, "", "", "prgm»WI"), true},
    };
    for (std::size_t k = 0; k < std::size(launches); ++k)
        EXPECT_EQ(WalkRunner::relaunched(launches[k].before, launches[k].after, launches[k].signal, launches[k].run).has_value(),
                  launches[k].fails)
            << k;
}

// Walks chosen from the environment, for a search of many seeds and to shrink what fails:
// each failure is printed shrunk, and written to ORVENDA_WALK_OUT/SEED-DEVICE.txt when that
// folder is set.
TEST(WalkDrive, FromTheEnvironment)
{
    const char* seeds = std::getenv("ORVENDA_WALK_SEED");
    const char* script = std::getenv("ORVENDA_WALK_SCRIPT");
    if (!seeds && !script)
        GTEST_SKIP() << "set ORVENDA_WALK_SEED or ORVENDA_WALK_SCRIPT";
    const char* steps = std::getenv("ORVENDA_WALK_STEPS");
    const char* devices = std::getenv("ORVENDA_WALK_DEVICE");
    const char* out = std::getenv("ORVENDA_WALK_OUT");
    const bool shrink = std::getenv("ORVENDA_WALK_SHRINK") && std::string(std::getenv("ORVENDA_WALK_SHRINK")) == "1";
    const std::string which = devices ? devices : "phone";
    std::vector<bool> tablets;
    if (which != "tablet")
        tablets.push_back(false);
    if (which != "phone")
        tablets.push_back(true);
    const auto report = [&](const std::string& name, const std::string& text) {
        std::cout << text << std::flush;
        if (out)
            std::ofstream(std::string(out) + "/" + name + ".txt") << text;
    };
    if (script) {
        std::stringstream text;
        text << std::ifstream(script).rdbuf();
        const std::vector<std::string> replayed = WalkRunner::stepsOf(text.str());
        for (bool tablet : tablets) {
            WalkRunner runner(tablet);
            const WalkOutcome outcome = runner.replay(replayed);
            if (!outcome.failure) {
                std::cout << "the script passes on the " << device(tablet) << "\n";
                continue;
            }
            ADD_FAILURE() << describe(*outcome.failure) << " on the " << device(tablet) << "\n" << outcome.failure->detail;
            if (shrink)
                report("script-" + device(tablet), shrunk(runner, runner.steps(), *outcome.failure));
        }
        return;
    }
    const std::string range = seeds;
    const auto dash = range.find('-');
    const std::uint32_t first = static_cast<std::uint32_t>(std::stoul(range.substr(0, dash)));
    const std::uint32_t last = dash == std::string::npos ? first : static_cast<std::uint32_t>(std::stoul(range.substr(dash + 1)));
    for (std::uint32_t seed = first; seed <= last; ++seed)
        for (bool tablet : tablets) {
            WalkRunner runner(tablet);
            const WalkOutcome outcome = runner.walk(seed, steps ? std::atoi(steps) : 300);
            const std::string name = std::to_string(seed) + "-" + device(tablet);
            if (!outcome.failure) {
                std::cout << "seed " << name << ": passes\n" << std::flush;
                continue;
            }
            ADD_FAILURE() << "seed " << name << ": " << describe(*outcome.failure) << " after step " << outcome.steps;
            std::cout << "seed " << name << ": " << describe(*outcome.failure) << " after step " << outcome.steps << "\n"
                      << outcome.failure->detail << "\n" << std::flush;
            report(name, shrink ? shrunk(runner, runner.steps(), *outcome.failure)
                                : "# " + describe(*outcome.failure) + "\n" + outcome.transcript);
        }
}

} // namespace
} // namespace orvenda::test
