#pragma once

// Runs a random walk (or replays its steps) through orvenda-drive and checks the app as a
// user would see it: after every few steps the app answers a dump, one screen is in front,
// every control of it is within reach and no program waits for an answer behind the home
// screen; after every step a question out of sight took nothing typed; where the walk ends
// the app it ends as asked, and the app launched again on the same data folder answers
// with nothing half done (no run going on, no waiting run's call on the home line, an item
// for the run the quit ended); at the end, with the alerts closed, the overlays left and
// QUIT, 1+1 gives 2 on the home screen (or a question in front takes it). A failing walk
// shrinks to the fewest steps that still fail the same way.

#include "drive/LiveDrive.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvenda::test {

class RandomWalk;

// How a walk failed: its kind ("crash", "hang", "driver", "screen", "unreachable",
// "question", "ending", "relaunch" or "quit") and what it showed. Two failures are the same
// when their kind and cause are.
struct WalkFailure {
    std::string kind;
    // What tells this failure from others of its kind: the signal, the sanitizer's first
    // frame of the app, the classes out of reach.
    std::string cause;
    std::string detail;
    bool sameAs(const WalkFailure& other) const { return kind == other.kind && cause == other.cause; }
};

struct WalkOutcome {
    std::optional<WalkFailure> failure;
    // The steps run up to the check that failed (all of them when none did).
    std::size_t steps = 0;
    // Every line sent to the driver, a script that replays the walk (each ending of the app
    // as its step: `close` or `signal NAME`).
    std::string transcript;
};

class WalkRunner {
public:
    // Steps between two checks, and the seconds the app has to answer any one of them.
    static constexpr int kCheckEvery = 4;
    static constexpr int kWatchdogSeconds = 90;

    explicit WalkRunner(bool tablet) : tablet_(tablet) {}

    // A walk of count steps from the seed; its steps are kept in steps().
    WalkOutcome walk(std::uint32_t seed, int count);
    // These steps again, with the same checks.
    WalkOutcome replay(const std::vector<std::string>& steps);
    // As few of these steps as still fail as failure did (delta debugging: chunks of the
    // steps are taken out while the rest still fails, in ever smaller chunks), with the
    // lines the last replay that failed so sent (the checks' own too: a failure may show
    // only in them).
    struct Shrunk {
        std::vector<std::string> steps;
        std::string transcript;
    };
    Shrunk shrink(std::vector<std::string> steps, const WalkFailure& failure);

    // What the dumps showed of the run going on: its program's name (on the output screen,
    // or the one the debugger shows), whether the debugger started it, and the line the
    // last dump before it showed (the home line the debugger's run leaves alone).
    struct SeenRun {
        std::string program;
        bool debugged = false;
        std::string line;
    };
    static void note(SeenRun& run, const nlohmann::json& shown);
    // The checks of a step, from the dumps before and after it: a question out of sight
    // took what was typed; what the app launched again after an ending shows.
    static std::optional<WalkFailure> answeredUnseen(const nlohmann::json& before, const std::string& step,
                                                     const nlohmann::json& after);
    static std::optional<WalkFailure> relaunched(const nlohmann::json& before, const nlohmann::json& shown, int signal,
                                                 const SeenRun& run);

    const std::vector<std::string>& steps() const { return steps_; }
    // The steps of a script (each line but the programs, dumps and waits for the sheets;
    // an ending is a step).
    static std::vector<std::string> stepsOf(const std::string& script);

private:
    // The steps from walk when it is set, otherwise from fixed.
    WalkOutcome run(RandomWalk* walk, const std::vector<std::string>& fixed, std::size_t count);
    // What failed when the driver gave no dump.
    static WalkFailure lost(const LiveDrive& drive);
    static std::optional<WalkFailure> check(const nlohmann::json& shown);
    // Ends the app as the step says (the window closed, a quitting signal, a kill after its
    // own save) and checks that it ended so.
    static std::optional<WalkFailure> end(LiveDrive& drive, int signal);
    // Closes alerts, leaves overlays and the screen in front, stops a run that asks
    // nothing, and enters 1+1.
    static std::optional<WalkFailure> quitCheck(LiveDrive& drive, nlohmann::json shown);

    bool tablet_;
    std::vector<std::string> steps_;
};

} // namespace orvenda::test
