#include "drive/WalkRunner.h"

#include "drive/RandomWalk.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>

namespace orvenda::test {

namespace {

using nlohmann::json;

// Screen ids of the driver's dump (the app's ScreenRegistry).
constexpr int kHome = 0, kProgramEditor = 2, kProgramOutput = 11, kClassicHome = 100, kMenu = 101;
constexpr int kDebugger = 109, kFunctionHelp = 111;
// The ids `open` is not given: the classic home screen comes with the mode, and the
// debugger with a program in the editor, not by themselves.
constexpr int kNotOpened[] = {kClassicHome, kDebugger};

const std::string kCheckpoint = "wait still\ndump\n";
// Until the app's own save has taken the last change (or a run holds the save back).
const std::string kSaved = "wait saved\ndump\n";
// Longer than anything takes: a quitting signal ends the wait at once, as it ends the app.
const std::string kSignalTaken = "wait 60000\ndump\n";
// The buttons of an alert a user closes it with, by preference (never one that goes
// elsewhere, such as Goto).
constexpr const char* kClosingButtons[] = {"Quit", "Cancel", "OK", "Close", "Done", "No"};

// The four-function calculator, the CSV preview and whatever is numbered after the root
// controller's views are overlays too.
bool overlay(int id) { return (id >= kMenu && id < kDebugger) || id > kFunctionHelp; }
bool rootView(int id) { return id >= kDebugger && id <= kFunctionHelp; }
bool home(int id) { return id == kHome || id == kClassicHome; }

// A sanitizer's report (AddressSanitizer's, LeakSanitizer's, UndefinedBehaviorSanitizer's)
// by its kind and the first frame of the app's code in it; empty without one.
std::string sanitizerCause(const std::string& messages)
{
    const auto error = messages.find("Sanitizer: ");
    const auto runtime = messages.find("runtime error: ");
    if (error == std::string::npos && runtime == std::string::npos)
        return {};
    // "AddressSanitizer: stack-overflow", "LeakSanitizer: detected", "runtime error: signed".
    const auto start = error < runtime ? messages.find_last_of(" \n", error) + 1 : runtime;
    const auto at = error < runtime ? error + 11 : runtime + 15;
    std::string kind = messages.substr(start, messages.find_first_of(" \n", at) - start);
    std::istringstream lines(messages.substr(at));
    for (std::string line; std::getline(lines, line);)
        if (const auto in = line.find(" in orvenda::"); line.find('#') != std::string::npos && in != std::string::npos)
            return kind + " in " + line.substr(in + 4, line.find('(', in) - in - 4);
    return kind;
}

std::string top(const json& shown) { return shown["top"].value("title", std::string()) + " (" + shown["top"]["id"].dump() + ")"; }

// 1+1's answer in any display mode: 2, 2.000, 2ᴇ0 (2ᴱ0), 0b10, 0h2.
bool two(const std::string& answer)
{
    if (answer == "0b10" || answer == "0h2" || answer == "0o2")
        return true;
    if (!answer.starts_with('2'))
        return false;
    std::string_view rest = std::string_view(answer).substr(1);
    if (rest.starts_with('.'))
        rest.remove_prefix(std::min(rest.find_first_not_of('0', 1), rest.size()));
    return rest.empty() || rest == "ᴇ0" || rest == "ᴱ0";
}

// A data folder of the walk's own, for the app and each launch after it; removed at the end.
struct ScratchFolder {
    std::filesystem::path path;
    ScratchFolder()
    {
        std::string name = (std::filesystem::temp_directory_path() / "orvenda-walk-XXXXXX").string();
        if (::mkdtemp(name.data()))
            path = name;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
};

// Whether a program waits for an answer (a question, a menu's pick) while no run goes on.
bool asks(const json& shown) { return shown.value("waiting", false) && !shown.value("running", true); }

// Whether the screen in front is one that does not show a waiting program's question: not
// the output screen, not the editor the debugger steps in, no pause bar over the graph, and
// nothing over it (an overlay's pick goes to the line under it, whatever that is).
bool hidesTheQuestion(const json& shown)
{
    const int front = shown["top"]["id"];
    const json& editor = shown.value("editor", json());
    return !overlay(front) && !rootView(front) && front != kProgramOutput
        && !(front == kProgramEditor && editor.is_object() && editor.value("debug", false))
        && shown.value("pauseBar", json()).is_null() && shown["alerts"].empty() && !shown.contains("dialog");
}

} // namespace

void WalkRunner::note(SeenRun& run, const json& shown)
{
    if (!shown.value("running", false) && !shown.value("waiting", false)) {
        run = {};
        run.line = shown.value("entry", "");
        return;
    }
    if (const json& output = shown.value("programOutput", json()); output.is_object() && output.value("program", "") != "")
        run.program = output["program"];
    if (const json& editor = shown.value("editor", json()); editor.is_object() && editor.value("debug", false)) {
        run.debugged = true;
        if (run.program.empty())
            run.program = editor.value("program", "");
    }
}

// A question out of sight takes nothing the user types or enters where they are: after a
// step on such a screen (as it stood at rest) the program still waits (unless the step broke
// the run: ON's key, Ctrl+/, the computer's ON, or the debugger opened on another program,
// leaving the run's item), and while the question stays out of sight
// its output is as it was (a half-typed answer kept aside comes back with the question).
std::optional<WalkFailure> WalkRunner::answeredUnseen(const json& before, const std::string& step, const json& after)
{
    if (!asks(before) || !hidesTheQuestion(before) || step.find("key ON\n") != std::string::npos
        || step.find("hkey Ctrl+/\n") != std::string::npos)
        return std::nullopt;
    if (after.value("waiting", false) && (after["output"] == before["output"] || !hidesTheQuestion(after)))
        return std::nullopt;
    // The run broken, not answered: the debugger opened on another program ends it as ON
    // does, with its one item.
    const json& items = before["history"];
    const json& now = after["history"];
    if (!after.value("waiting", false) && now.size() == items.size() + 1
        && now.back().value("answer", "").ends_with("User break"))
        return std::nullopt;
    return WalkFailure{"question",
                       std::string(after.value("waiting", false) ? "typed onto" : "answered") + " a question out of sight on "
                           + before["top"].value("title", std::string()),
                       after.dump()};
}

// What the app launched again shows after the way it ended, from before (the dump before
// the ending) and the run the dumps showed: no run going on; when a program waited for an
// answer (and the state before the ending was saved), no answer half typed and no call of
// the run on the home line (the line it held before a run the debugger started, or none:
// other runs came from it), and after a quit (the close, a signal) the run's item named for
// its program.
std::optional<WalkFailure> WalkRunner::relaunched(const json& before, const json& shown, int signal, const SeenRun& run)
{
    const std::string way = signal == 0 ? "the window's close" : signal == SIGKILL ? "a kill after a save" : "a quitting signal";
    const std::string both =
        "before the run: " + json(run.line).dump() + "\nbefore the ending: " + before.dump() + "\nafter: " + shown.dump();
    if (shown.value("running", true) || shown.value("waiting", true))
        return WalkFailure{"relaunch", "a run goes on after " + way, both};
    // The app's own save waits for a run to end: a kill while one goes on relaunches an
    // earlier state. A quit saves whatever goes on.
    const bool running = before.value("running", true);
    if (!before.value("waiting", false) || (running && (signal == SIGKILL || run.program.empty())))
        return std::nullopt;
    // The home line, when the program stood waiting (a launch back on a screen with a field
    // shows the field's line).
    const std::string entry = home(shown["top"]["id"]) && !running ? shown.value("entry", "") : "", call = "prgm»" + run.program;
    if (!run.debugged && !run.program.empty() && entry == call)
        return WalkFailure{"relaunch", "the waiting run's call on the home line after " + way, both};
    if (!entry.empty() && !(run.debugged && entry == run.line))
        return WalkFailure{"relaunch", "a line on the home screen after " + way + " of a waiting run", both};
    if (signal == SIGKILL)
        return std::nullopt;
    const json& history = shown["history"];
    const std::string input = history.empty() ? "" : history.back().value("input", "");
    if (run.program.empty() ? !input.starts_with("prgm»") : input != call)
        return WalkFailure{"relaunch", "no item named for the waiting run's program after " + way, both};
    return std::nullopt;
}

WalkOutcome WalkRunner::walk(std::uint32_t seed, int count)
{
    RandomWalk walk(seed, tablet_);
    return run(&walk, {}, static_cast<std::size_t>(count));
}

WalkOutcome WalkRunner::replay(const std::vector<std::string>& steps) { return run(nullptr, steps, steps.size()); }

WalkOutcome WalkRunner::run(RandomWalk* walk, const std::vector<std::string>& fixed, std::size_t count)
{
    steps_.clear();
    const ScratchFolder data;
    const std::string options = RandomWalk::options(tablet_) + " --data " + data.path.string();
    auto drive = std::make_unique<LiveDrive>(options);
    // The lines sent to the apps ended before this one, each with its ending.
    std::string earlier;
    WalkOutcome outcome;
    const auto failed = [&](WalkFailure failure) {
        outcome.failure = std::move(failure);
        outcome.transcript = earlier + drive->transcript();
        return outcome;
    };
    drive->send(RandomWalk::programs());
    std::optional<json> shown = drive->ask(kCheckpoint, kWatchdogSeconds);
    if (walk && shown) {
        std::vector<int> ids;
        if (const std::optional<json> screens = drive->ask("screens\n", kWatchdogSeconds))
            for (const json& screen : (*screens)["screens"])
                if (const int id = screen["id"]; std::find(std::begin(kNotOpened), std::end(kNotOpened), id) == std::end(kNotOpened))
                    ids.push_back(id);
        walk->setScreens(std::move(ids));
    }
    SeenRun run;
    // A dump after every step: the walk chooses its next step from it, and a replay leaves
    // out a step the walk would not make there (its shrinking may have taken out the
    // steps that led there).
    std::size_t sent = 0;
    for (std::size_t n = 0; n < count; ++n) {
        if (!shown)
            return failed(lost(*drive));
        std::string step = walk ? walk->step(*shown) : fixed[n];
        if (!walk && !RandomWalk::fits(step, *shown))
            continue;
        steps_.push_back(std::move(step));
        outcome.steps = n + 1;
        const json before = std::move(*shown);
        if (const std::optional<int> signal = RandomWalk::ending(steps_.back())) {
            // The app ended, then launched again on its data folder, as a user does. The
            // transcript has the step in place of the lines that ended the app.
            const std::string lines = drive->transcript() + steps_.back();
            if (std::optional<WalkFailure> failure = end(*drive, *signal)) {
                outcome.failure = std::move(failure);
                outcome.transcript = earlier + lines;
                return outcome;
            }
            earlier += lines;
            drive = std::make_unique<LiveDrive>(options);
            if (!(shown = drive->ask(kCheckpoint, kWatchdogSeconds)))
                return failed(lost(*drive));
            if (std::optional<WalkFailure> failure = check(*shown))
                return failed(std::move(*failure));
            if (std::optional<WalkFailure> failure = relaunched(before, *shown, *signal, run))
                return failed(std::move(*failure));
            note(run, *shown);
            continue;
        }
        drive->send(steps_.back());
        // While a program waits every step is checked once the sheets are at rest: what the
        // next step finds in front is then what the user sees.
        if (++sent % kCheckEvery != 0 && !before.value("waiting", false)) {
            shown = drive->ask("dump\n", kWatchdogSeconds);
        } else if ((shown = drive->ask(kCheckpoint, kWatchdogSeconds))) {
            if (std::optional<WalkFailure> failure = check(*shown))
                return failed(std::move(*failure));
        }
        if (shown) {
            if (std::optional<WalkFailure> failure = answeredUnseen(before, steps_.back(), *shown))
                return failed(std::move(*failure));
            note(run, *shown);
        }
    }
    if (!shown || !(shown = drive->ask(kCheckpoint, kWatchdogSeconds)))
        return failed(lost(*drive));
    if (std::optional<WalkFailure> failure = check(*shown))
        return failed(std::move(*failure));
    if (std::optional<WalkFailure> failure = quitCheck(*drive, *shown))
        return failed(std::move(*failure));
    drive->finish(kWatchdogSeconds);
    if (drive->state() != LiveDrive::State::Exited || drive->exitCode() != 0)
        return failed(lost(*drive));
    outcome.transcript = earlier + drive->transcript();
    return outcome;
}

std::optional<WalkFailure> WalkRunner::end(LiveDrive& drive, int signal)
{
    if (signal == 0) {
        drive.send("close\n");
    } else if (signal == SIGKILL) {
        if (!drive.ask(kSaved, kWatchdogSeconds))
            return lost(drive);
        drive.sendSignal(SIGKILL);
    } else {
        // The signal reaches the app's event loop in the wait that follows: its window closes
        // and the app quits, saving.
        drive.sendSignal(signal);
        const std::optional<json> shown = drive.ask(kSignalTaken, kWatchdogSeconds);
        if (!shown)
            return lost(drive);
        if (!(*shown)["drawn"].empty())
            return WalkFailure{"ending", std::string("the app went on after ") + ::strsignal(signal), shown->dump()};
    }
    drive.finish(kWatchdogSeconds);
    if (signal == SIGKILL ? drive.state() == LiveDrive::State::Killed && drive.signal() == SIGKILL
                          : drive.state() == LiveDrive::State::Exited && drive.exitCode() == 0)
        return std::nullopt;
    return lost(drive);
}

WalkFailure WalkRunner::lost(const LiveDrive& drive)
{
    const std::string& messages = drive.messages();
    const std::string tail = messages.substr(messages.size() > 6000 ? messages.size() - 6000 : 0);
    if (drive.state() == LiveDrive::State::Hung)
        return {"hang", "", "no answer within " + std::to_string(kWatchdogSeconds) + " s\n" + tail};
    if (const std::string cause = sanitizerCause(messages); !cause.empty())
        return {"crash", cause, tail};
    if (drive.state() == LiveDrive::State::Killed)
        return {"crash", std::string("signal ") + ::strsignal(drive.signal()), tail};
    if (const auto line = messages.find("orvenda-drive: line "); line != std::string::npos) {
        // The driver's message, without its line number.
        const auto colon = messages.find(": ", line + 20);
        const auto end = messages.find('\n', line);
        return {"driver", messages.substr(colon + 2, end - colon - 2), tail};
    }
    return {"crash", "exit code " + std::to_string(drive.exitCode()), tail};
}

std::optional<WalkFailure> WalkRunner::check(const json& shown)
{
    const int front = shown["top"]["id"];
    if (front < 0)
        return WalkFailure{"screen", "no screen in front", shown.dump()};
    // One screen drawn, the one in front, unless an overlay or a view over the whole
    // window covers it; and the calculator's screen number is the one in front.
    std::vector<int> screens;
    for (const json& id : shown["drawn"])
        if (const int n = id; !overlay(n) && !rootView(n))
            screens.push_back(n);
    const bool covered = overlay(front) || rootView(front);
    if (covered ? screens.size() > 1 : screens != std::vector<int>{front}) {
        std::string ids;
        for (int n : screens)
            ids += " " + std::to_string(n);
        return WalkFailure{"screen", std::to_string(screens.size()) + " screens drawn:" + ids + " under " + top(shown), shown.dump()};
    }
    // A program waits for an answer with the home screen in front: what is typed there
    // answers a question the user cannot see.
    if (asks(shown) && home(front) && shown["alerts"].empty())
        return WalkFailure{"question", "a question waits out of sight on " + shown["top"].value("title", std::string()), shown.dump()};
    // While a program runs or waits the screen number is the output's, whatever is in front.
    const bool program = shown.value("running", false) || shown.value("waiting", false);
    if (const int screen = shown["screen"];
        !covered && screen != front && !(front == kClassicHome && screen == kHome) && !(program && screen == kProgramOutput))
        return WalkFailure{"screen", "screen " + std::to_string(screen) + " current with " + top(shown) + " in front", shown.dump()};
    // A run's posts lay out the screen in front again (its output screen coming in under a
    // menu): what a user reaches is looked at once nothing runs.
    if (shown.contains("unreachable") && !shown.value("running", false)) {
        std::set<std::string> classes;
        for (const json& widget : shown["unreachable"])
            classes.insert(widget.value("widget", std::string("?")) + " " + widget.value("why", std::string()) + " by "
                           + widget.value("by", std::string("?")));
        std::string cause = "on " + top(shown) + ":";
        for (const std::string& c : classes)
            cause += " " + c;
        return WalkFailure{"unreachable", cause, shown["unreachable"].dump()};
    }
    return std::nullopt;
}

std::optional<WalkFailure> WalkRunner::quitCheck(LiveDrive& drive, json shown)
{
    bool question = false;
    // Each round does what a user does next to get home: an alert closed, a form, a help
    // page or an overlay left, a run that asks nothing stopped with ON, an armed help key
    // answered, a lit shift put out, QUIT.
    for (int round = 0; round < 16; ++round) {
        std::string lines;
        const int front = shown["top"]["id"];
        if (!shown["alerts"].empty()) {
            const json& buttons = shown["alerts"][0]["buttons"];
            std::string caption = buttons.empty() ? "" : buttons[0].get<std::string>();
            for (const char* preferred : kClosingButtons)
                if (std::find(buttons.begin(), buttons.end(), preferred) != buttons.end()) {
                    caption = preferred;
                    break;
                }
            lines = caption.empty() ? "key ENTER\n" : "press? " + caption + "\n";
        } else if (shown.contains("dialog") || overlay(front) || rootView(front) || !shown["help"].is_null()) {
            // Escape, or the control that leaves it when Escape did not.
            lines = round % 2 && !shown["top"]["leave"].is_null() ? "tap leave\n" : "hkey Escape\n";
        } else if (shown["waiting"] && front == kProgramOutput) {
            question = true;
            break;
        } else if (shown["running"]) {
            lines = "key ON\n";
        } else if (shown["keyboard"].is_object() && shown["keyboard"].value("helpArmed", false)) {
            // ON armed the next key to show its help: a key answers it (its page is closed next).
            lines = "key CLEAR\n";
        } else if (!shown["shift"].is_null() && !shown["keyboard"].is_null()) {
            // The lit shift key pressed again puts it out.
            lines = shown["shift"] == "2nd" ? "key 2ND\n" : "key ALPHA\n";
        } else if (!home(front)) {
            // Escape, QUIT (on the keyboard, where it is drawn), or the screen's control
            // that leaves it.
            const bool keys = !shown["keyboard"].is_null(), leave = !shown["top"]["leave"].is_null();
            const int way = round % 3;
            lines = way == 1 && keys ? "key 2ND\nkey MODE\n" : way == 2 && leave ? "tap leave\n" : "hkey Escape\n";
        } else {
            break;
        }
        std::optional<json> next = drive.ask(lines + kCheckpoint, kWatchdogSeconds);
        if (!next)
            return lost(drive);
        shown = std::move(*next);
    }
    if (!question && (!home(shown["top"]["id"]) || shown["running"] || !shown["alerts"].empty()))
        return WalkFailure{"quit", "not home: " + top(shown), shown.dump()};
    // A program waiting with its question out of sight would take the line as its answer.
    if (!question && shown["waiting"])
        return WalkFailure{"quit", "a program waits on the home screen", shown.dump()};
    const json before = shown;
    std::optional<json> after =
        drive.ask(std::string("key CLEAR\ntype 1+1\nkey ENTER\n") + (question ? "wait still\n" : "wait idle\n") + "dump\n",
                  kWatchdogSeconds);
    if (!after)
        return lost(drive);
    const json& history = (*after)["history"];
    if (!history.empty() && history.back()["input"] == "1+1" && two(history.back()["answer"].get<std::string>())
        && history.size() >= before["history"].size())
        return std::nullopt;
    // A question in front takes the line as its answer.
    if (question && ((*after)["output"] != before["output"] || (*after)["history"] != before["history"] || !(*after)["waiting"]))
        return std::nullopt;
    return WalkFailure{"quit", question ? "the question took no answer" : "1+1 gave no 2", after->dump()};
}

WalkRunner::Shrunk WalkRunner::shrink(std::vector<std::string> steps, const WalkFailure& failure)
{
    std::string transcript;
    // Steps first, then the lines of the steps left.
    for (const bool lines : {false, true}) {
        if (lines) {
            std::vector<std::string> split;
            for (const std::string& step : steps) {
                std::istringstream in(step);
                for (std::string line; std::getline(in, line);)
                    split.push_back(line + "\n");
            }
            steps = std::move(split);
        }
        std::size_t parts = 2;
        while (steps.size() >= 2) {
            const std::size_t chunk = (steps.size() + parts - 1) / parts;
            bool smaller = false;
            for (std::size_t start = 0; start < steps.size() && !smaller; start += chunk) {
                std::vector<std::string> candidate(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(start));
                candidate.insert(candidate.end(), steps.begin() + static_cast<std::ptrdiff_t>(std::min(start + chunk, steps.size())),
                                 steps.end());
                const WalkOutcome outcome = replay(candidate);
                if (outcome.failure && outcome.failure->sameAs(failure)) {
                    transcript = outcome.transcript;
                    candidate.resize(std::min(candidate.size(), outcome.steps));
                    steps = std::move(candidate);
                    parts = std::max<std::size_t>(parts - 1, 2);
                    smaller = true;
                }
            }
            if (!smaller) {
                if (parts >= steps.size())
                    break;
                parts = std::min(steps.size(), parts * 2);
            }
        }
    }
    if (transcript.empty())
        if (const WalkOutcome outcome = replay(steps); outcome.failure && outcome.failure->sameAs(failure))
            transcript = outcome.transcript;
    return {std::move(steps), std::move(transcript)};
}

std::vector<std::string> WalkRunner::stepsOf(const std::string& script)
{
    std::vector<std::string> steps;
    std::istringstream in(script);
    bool program = false;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("program "))
            program = true;
        else if (program)
            program = line != "end";
        else if (!line.empty() && line != "dump" && line != "wait still" && !line.starts_with('#') && line != "screens")
            steps.push_back(line + "\n");
    }
    return steps;
}

} // namespace orvenda::test
