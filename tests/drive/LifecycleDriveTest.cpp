// The app's life as real processes live it: killed outright a moment after some work, asked
// to end by the desktop's signals, and launched with files while the running app does not
// answer.

#include "Sanitized.h"
#include "drive/DriveSession.h"
#include "drive/LiveDrive.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using namespace std::chrono_literals;

// However loaded the machine, nothing here takes this long unless it is broken.
constexpr auto kGenerous = 90s;


fs::path scratch(const std::string& name) { return orvenda::test::driveScratch(name); }

// An empty folder of the test's own.
fs::path fresh(const std::string& name)
{
    const fs::path folder = scratch(name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// A program the test starts, its output and errors read line by line; killed outright if
// it still runs when the test ends.
class Process {
public:
    explicit Process(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {})
    {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, out[1], 2);
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        // The test's own variables first: the first of a name is the one read.
        std::vector<char*> env;
        for (const std::string& variable : environment)
            env.push_back(const_cast<char*>(variable.c_str()));
        for (char** e = environ; *e; ++e)
            env.push_back(*e);
        env.push_back(nullptr);
        if (posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), env.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        fd_ = out[0];
    }
    ~Process()
    {
        if (pid_ > 0 && !status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (fd_ >= 0)
            ::close(fd_);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return pid_ > 0; }
    void signal(int number) const { ::kill(pid_, number); }
    // Waits until a signal sent is no longer pending: the process has taken it (or is gone).
    bool taken(int number) const
    {
        const auto deadline = std::chrono::steady_clock::now() + kGenerous;
        while (std::chrono::steady_clock::now() < deadline) {
            std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
            bool pending = false;
            for (std::string line; std::getline(status, line);) {
                if (line.starts_with("State:") && line.find_first_of("ZX") != std::string::npos)
                    return true;
                if (line.starts_with("ShdPnd:") || line.starts_with("SigPnd:"))
                    pending = pending || (std::stoull(line.substr(7), nullptr, 16) >> (number - 1) & 1);
            }
            if (!pending)
                return true;
            std::this_thread::sleep_for(1ms);
        }
        return false;
    }
    const std::string& output() const { return output_; }

    // The next line holding text (JSON lines are the driver's dumps); none when the output
    // ends first.
    std::optional<std::string> lineWith(const std::string& text)
    {
        for (;;) {
            const auto newline = pending_.find('\n');
            if (newline != std::string::npos) {
                std::string line = pending_.substr(0, newline);
                pending_.erase(0, newline + 1);
                if (line.find(text) != std::string::npos)
                    return line;
                continue;
            }
            if (!readMore())
                return std::nullopt;
        }
    }
    // How the process ended: its exit status as waitpid gives it.
    std::optional<int> ended()
    {
        while (readMore()) {
        }
        int status = 0;
        if (::waitpid(pid_, &status, 0) != pid_)
            return std::nullopt;
        status_ = status;
        return status;
    }

private:
    bool readMore()
    {
        const auto deadline = std::chrono::steady_clock::now() + kGenerous;
        pollfd wait{fd_, POLLIN, 0};
        while (std::chrono::steady_clock::now() < deadline) {
            if (::poll(&wait, 1, 100) <= 0)
                continue;
            char buffer[4096];
            const ssize_t got = ::read(fd_, buffer, sizeof buffer);
            if (got <= 0)
                return false;
            output_.append(buffer, static_cast<std::size_t>(got));
            pending_.append(buffer, static_cast<std::size_t>(got));
            return true;
        }
        return false;
    }

    pid_t pid_ = -1;
    int fd_ = -1;
    std::string output_;
    std::string pending_;
    std::optional<int> status_;
};

bool exitedWith(std::optional<int> status, int code) { return status && WIFEXITED(*status) && WEXITSTATUS(*status) == code; }

// The driver on a script and a data folder, a process of its own (with these variables),
// once it has given its first dump (the work before it done).
std::unique_ptr<Process> driverAtDump(const std::string& name, const std::string& script, const fs::path& data,
    const std::vector<std::string>& environment = {}, const std::vector<std::string>& options = {})
{
    const fs::path file = scratch(name + ".txt");
    std::ofstream(file) << script;
    std::vector<std::string> argv{ORVENDA_DRIVE, file.string(), "--data", data.string()};
    argv.insert(argv.end(), options.begin(), options.end());
    auto driver = std::make_unique<Process>(argv, environment);
    if (!driver->started() || !driver->lineWith("{\"")) {
        ADD_FAILURE() << driver->output();
        return nullptr;
    }
    return driver;
}

// The first file of the folder whose name starts so; empty when none.
fs::path firstNamed(const fs::path& folder, const std::string& start)
{
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().starts_with(start))
            return entry.path();
    return {};
}

// Whether the check comes to hold, looked at again whenever a file in the folder is written
// or renamed into it (each save lands by a rename, which wakes the wait).
bool cameTrueIn(const fs::path& folder, const std::function<bool()>& holds)
{
    const int events = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (events < 0 || ::inotify_add_watch(events, folder.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE) < 0) {
        ADD_FAILURE() << "cannot watch " << folder << ": " << std::strerror(errno);
        if (events >= 0)
            ::close(events);
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + kGenerous;
    bool held = false;
    while (!(held = holds())) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd wait{events, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) <= 0)
            break;
        char drained[4096];
        while (::read(events, drained, sizeof drained) > 0) {
        }
    }
    ::close(events);
    return held;
}

// The saved state (or the first file of the data folder named so) once it holds what the
// check looks for; null when it never does.
json savedWhen(const fs::path& data, const std::function<bool(const json&)>& holds,
    const std::string& named = "memorySetting.cbor")
{
    json found;
    cameTrueIn(data, [&] {
        std::ifstream in(firstNamed(data, named), std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const json archive = json::from_cbor(bytes, true, false);
        if (archive.is_discarded() || !holds(archive))
            return false;
        found = archive;
        return true;
    });
    return found;
}

// The driver with a list typed, running a program that counts for ever, once the program has
// shown that it counts (it dumps for half a minute at most).
std::unique_ptr<Process> countingApp(const std::string& name, const fs::path& data)
{
    std::string looks;
    for (int k = 0; k < 300; ++k)
        looks += "dump\nwait 100\n";
    auto app = driverAtDump(name,
        "program COUNT\n1->N\nDisp \"COUNTING\"\nWhile 1\nN+1->N\nEnd\nend\n"
        "type {4,5}->L₂\nkey ENTER\nwait idle\ntype prgmCOUNT\nkey ENTER\nwait running\n" + looks,
        data);
    if (app && !app->lineWith("COUNTING")) {
        ADD_FAILURE() << app->output();
        return nullptr;
    }
    return app;
}

// What the next launch on the folder answers to each line typed (on a line of its own: the
// entry line is kept too).
std::vector<std::string> answers(const fs::path& data, const std::vector<std::string>& lines)
{
    std::string script = "key CLEAR\n";
    for (const std::string& line : lines)
        script += "type " + line + "\nkey ENTER\nwait idle\n";
    const orvenda::test::DriveRun run = orvenda::test::driveScript(script + "dump\n", "--data '" + data.string() + "'");
    std::vector<std::string> got;
    if (run.dumps.size() != 1) {
        ADD_FAILURE() << run.output;
        return got;
    }
    const json& history = run.dumps[0]["history"];
    for (std::size_t k = history.size() - std::min(history.size(), lines.size()); k < history.size(); ++k)
        got.push_back(history[k]["answer"]);
    return got;
}

// Work that is kept without leaving the app: a list, a variable, a Y= function and a mode,
// saved a moment after the last of them, so that a kill a few seconds later loses nothing.
TEST(Lifecycle, AKillAFewSecondsAfterTheWorkLosesNothing)
{
    const fs::path data = fresh("killed");
    const auto app = driverAtDump("killed",
        "type {1,2,3}->L₁\nkey ENTER\nwait idle\ntype 5->A\nkey ENTER\nwait idle\n"
        "type \"X²+1\"->Y₁\nkey ENTER\nwait idle\ntype Radian\nkey ENTER\nwait idle\ndump\nwait 600000\n",
        data);
    ASSERT_TRUE(app);
    // Radian was the last change: once the saved state has it, it has the rest.
    const json saved = savedWhen(data, [](const json& archive) { return archive.value("afmt", -1) == 1; });
    ASSERT_FALSE(saved.is_null()) << app->output();
    app->signal(SIGKILL);
    ASSERT_TRUE(app->ended());
    EXPECT_EQ(answers(data, {"L₁", "A", "Y₁(2)", "sin(π/2)"}), (std::vector<std::string>{"{1 2 3}", "5", "5", "1"}));
}

// SIGTERM while a program runs: the app ends in order (exit 0), stopping the program and
// saving as a quit does. Nothing else saves while the program runs.
TEST(Lifecycle, SigtermEndsTheAppInOrderAndSavesAsAQuitDoes)
{
    const fs::path data = fresh("terminated");
    const auto app = countingApp("terminated", data);
    ASSERT_TRUE(app);
    app->signal(SIGTERM);
    const auto status = app->ended();
    EXPECT_TRUE(exitedWith(status, 0)) << (status ? *status : -1) << "\n" << app->output();
    const std::vector<std::string> got = answers(data, {"L₂", "N>0"});
    EXPECT_EQ(got, (std::vector<std::string>{"{4 5}", "1"}));
}

// A second ending signal once the first has arrived (a shutdown, a service manager, `kill`
// twice, the same signal or others) neither kills the app nor cuts its quit save short.
TEST(Lifecycle, EndingSignalsInARowEndTheAppInOrder)
{
    for (const std::vector<int>& sent : {std::vector{SIGTERM, SIGTERM}, std::vector{SIGTERM, SIGHUP, SIGINT}}) {
        const fs::path data = fresh("ending-" + std::to_string(sent.size()));
        const auto app = countingApp("ending", data);
        ASSERT_TRUE(app);
        for (const int signal : sent) {
            app->signal(signal);
            ASSERT_TRUE(app->taken(signal));
        }
        const auto status = app->ended();
        EXPECT_TRUE(exitedWith(status, 0)) << sent.size() << ": " << (status ? *status : -1) << "\n" << app->output();
        EXPECT_EQ(answers(data, {"L₂", "N>0"}), (std::vector<std::string>{"{4 5}", "1"})) << sent.size();
    }
}

// The app running on the folder is stopped (a hung app): a launch with a file waits for it
// and says so; once that app is gone, the launch takes the folder and opens the file. The
// launched app (the real one) then ends in order on SIGTERM, keeping the import.
TEST(Lifecycle, ALaunchWhoseRunningAppDoesNotAnswerOpensItsFilesOnceThatAppEnds)
{
    // The launched app's data folder under XDG_DATA_HOME, as the desktop gives it.
    const fs::path home = fresh("waiting-home");
    const fs::path data = home / "Orvenda";
    const fs::path list = scratch("handed.csv");
    std::ofstream(list) << "SCORE,7,8,9\n";
    const auto running = driverAtDump("waiting", "dump\nwait imported 1\n", data);
    ASSERT_TRUE(running);
    running->signal(SIGSTOP);
    Process launch({ORVENDA_APP, list.string()}, {"QT_QPA_PLATFORM=offscreen", "XDG_DATA_HOME=" + home.string()});
    ASSERT_TRUE(launch.lineWith("does not answer yet")) << launch.output();
    running->signal(SIGKILL);
    ASSERT_TRUE(running->ended());
    ASSERT_TRUE(launch.lineWith("Received URL:")) << launch.output();
    launch.signal(SIGTERM);
    const auto status = launch.ended();
    EXPECT_TRUE(exitedWith(status, 0)) << (status ? *status : -1) << "\n" << launch.output();
    EXPECT_EQ(answers(data, {"ʟSCORE"}), std::vector<std::string>{"{7 8 9}"});
}

// Two apps on one folder, each guarded in a runtime folder of its own (a desktop launcher
// and a terminal): the first, ending after the second saved, keeps the second's save and
// says so, instead of saving over it (B was lost).
TEST(Lifecycle, AnAppNeverSavesOverAnotherAppsSaveWhateverItsGuard)
{
    const fs::path data = fresh("guarded-apart");
    std::vector<std::unique_ptr<Process>> apps;
    for (const auto& [slot, line] : {std::pair(0, "7->A"), std::pair(1, "5->B")}) {
        const fs::path runtime = fresh("runtime-" + std::to_string(slot));
        fs::permissions(runtime, fs::perms::owner_all);
        apps.push_back(driverAtDump("guarded-apart-" + std::to_string(slot),
            std::string("type ") + line + "\nkey ENTER\nwait idle\ndump\nwait 600000\n", data,
            {"XDG_RUNTIME_DIR=" + runtime.string()}));
        ASSERT_TRUE(apps.back());
        // Saved a moment after, before the next app starts.
        const std::size_t at = 2 * std::size_t(slot);
        const json saved = savedWhen(data, [at](const json& archive) {
            const json vars = archive.value("vars", json::array());
            return vars.size() > at && vars[at] != 0;
        });
        ASSERT_FALSE(saved.is_null()) << apps.back()->output();
    }
    // The second ends first: the first, ending after, would save over its save.
    for (const auto& app : {apps[1].get(), apps[0].get()}) {
        app->signal(SIGTERM);
        EXPECT_TRUE(exitedWith(app->ended(), 0)) << app->output();
    }
    EXPECT_NE(apps[0]->output().find("changed on disk"), std::string::npos) << apps[0]->output();
    EXPECT_EQ(answers(data, {"A", "B"}), (std::vector<std::string>{"7", "5"}));
}

// No runtime folder, and the user's folder in the temporary folder taken by another account
// (a link planted there): the guard goes to the user's cache folder, and a launch still hands
// its file to the app running on the folder instead of running beside it.
TEST(Lifecycle, ALaunchFindsTheRunningAppWhenTheTemporaryFolderIsTaken)
{
    const fs::path temporary = fresh("taken-tmp");
    fs::create_directory_symlink(fresh("taken-elsewhere"), temporary / ("orvenda-" + std::to_string(::getuid())));
    const fs::path home = fresh("taken-home");
    const std::vector<std::string> environment{"XDG_RUNTIME_DIR=", "TMPDIR=" + temporary.string(),
        "XDG_CACHE_HOME=" + fresh("taken-cache").string(), "XDG_DATA_HOME=" + home.string(),
        "QT_QPA_PLATFORM=offscreen"};
    const fs::path list = scratch("taken.csv");
    std::ofstream(list) << "SCORE,7,8,9\n";
    const auto running = driverAtDump("taken", "dump\nwait 600000\n", home / "Orvenda", environment);
    ASSERT_TRUE(running);
    Process launch({ORVENDA_APP, list.string()}, environment);
    ASSERT_TRUE(running->lineWith("Received URL:")) << running->output() << launch.output();
    EXPECT_TRUE(exitedWith(launch.ended(), 0)) << launch.output();
}

// Whether a saved state holds A of that value.
std::function<bool(const json&)> holdsA(double value)
{
    return [value](const json& archive) {
        const json vars = archive.value("vars", json::array());
        return !vars.empty() && vars[0] == value;
    };
}

std::string readBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// `cp -p`, as a sync tool or a person puts a version in place.
bool copied(const fs::path& from, const fs::path& to)
{
    Process cp({"cp", "-p", from.string(), to.string()});
    return exitedWith(cp.ended(), 0);
}

// A launch hands a list of that name to the app running on home's data folder (a change of
// the test's timing to that app) and ends.
bool handedOver(const fs::path& home, const std::string& list)
{
    const fs::path file = scratch(list + ".csv");
    std::ofstream(file) << list << ",7,8,9\n";
    Process launch({ORVENDA_APP, file.string()}, {"QT_QPA_PLATFORM=offscreen", "XDG_DATA_HOME=" + home.string()});
    return exitedWith(launch.ended(), 0);
}

std::function<bool(const json&)> holdsList(const std::string& name)
{
    return [name](const json& archive) { return archive.value("lists", json::object()).contains(name); };
}

// The alerts over a launch's first screen.
json launchAlerts(const fs::path& data, const std::string& options = {})
{
    const orvenda::test::DriveRun run =
        orvenda::test::driveScript("dump\n", "--data '" + data.string() + "' " + options);
    if (!orvenda::test::endedWithDumps(run, 1)) {
        ADD_FAILURE() << run.output;
        return nullptr;
    }
    return run.dumps[0]["alerts"];
}

// An app on home's data folder that saved 2 in A (that save copied to own), then, a backup
// of the state before (1 in A, copied to backup) put back, was handed the list FIRST and so
// keeps its session beside the state file.
std::unique_ptr<Process> sessionBesideABackup(
    const std::string& name, const fs::path& home, const fs::path& backup, const fs::path& own)
{
    const fs::path data = home / "Orvenda", state = data / "memorySetting.cbor";
    const bool first =
        orvenda::test::driveScript("type 1->A\nkey ENTER\nwait idle\n", "--data '" + data.string() + "'").exitCode == 0;
    auto app = first && copied(state, backup)
        ? driverAtDump(name, "type 2->A\nkey ENTER\nwait idle\ndump\nwait 600000\n", data)
        : nullptr;
    if (!app || savedWhen(data, holdsA(2)).is_null() || !copied(state, own) || !copied(backup, state)
        || !handedOver(home, "FIRST") || savedWhen(data, holdsList("FIRST"), "memorySetting.session-").is_null()) {
        ADD_FAILURE() << (app ? app->output() : "no app");
        return nullptr;
    }
    return app;
}

// A sync tool (or `cp` onto the file) rewrites the state file in place with the bytes it
// holds, emptying it first, just as the app saves: the app finds it empty, reads it again,
// and saves over it as its own. Nothing is refused, and nothing is kept elsewhere.
TEST(Lifecycle, AStateFileRewrittenInPlaceWithItsOwnBytesIsSavedOver)
{
    const fs::path data = fresh("rewritten"), state = data / "memorySetting.cbor";
    const auto app = driverAtDump("rewritten", "type 7->A\nkey ENTER\nwait idle\ndump\nwait 600000\n", data);
    ASSERT_TRUE(app);
    ASSERT_FALSE(savedWhen(data, holdsA(7)).is_null()) << app->output();
    const std::string bytes = readBytes(state);
    // Emptied; filled again once the app, saving as it ends, has read it empty.
    const int file = ::open(state.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    ASSERT_GE(file, 0);
    const int events = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(events, state.c_str(), IN_CLOSE_NOWRITE), 0);
    app->signal(SIGTERM);
    pollfd read{events, POLLIN, 0};
    ASSERT_EQ(::poll(&read, 1, static_cast<int>(std::chrono::milliseconds(kGenerous).count())), 1) << app->output();
    ASSERT_EQ(::write(file, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(file);
    ::close(events);
    EXPECT_TRUE(exitedWith(app->ended(), 0)) << app->output();
    EXPECT_EQ(app->output().find("changed on disk"), std::string::npos) << app->output();
    EXPECT_EQ(app->output().find("Another Orvenda"), std::string::npos) << app->output();
    EXPECT_TRUE(firstNamed(data, "memorySetting.session-").empty());
    EXPECT_EQ(answers(data, {"A"}), std::vector<std::string>{"7"});
}

// A backup put back while the app runs (`cp -p`, as a sync tool restores a version): the app
// never saves over it and says, once, that the file changed on disk; the rest of the session,
// saved after as before up to the quit, is kept beside it in a file the alert names, which a
// next launch takes in its place. Files handed to it make the session's changes (each
// arrives as a list).
TEST(Lifecycle, ABackupPutBackIsNotSavedOverAndTheSessionIsKeptBesideIt)
{
    const fs::path home = fresh("restored-home"), data = home / "Orvenda";
    const fs::path state = data / "memorySetting.cbor", backup = scratch("restored-backup.cbor");
    const auto app = sessionBesideABackup("restored", home, backup, scratch("restored-own.cbor"));
    ASSERT_TRUE(app);
    ASSERT_TRUE(handedOver(home, "AFTER"));
    ASSERT_FALSE(savedWhen(data, holdsList("AFTER"), "memorySetting.session-").is_null()) << app->output();
    app->signal(SIGTERM);
    EXPECT_TRUE(exitedWith(app->ended(), 0)) << app->output();

    EXPECT_EQ(readBytes(state), readBytes(backup)) << "the backup is not saved over";
    // Told once (as the alert tells it), naming the file the session is kept in.
    const fs::path kept = firstNamed(data, "memorySetting.session-");
    const std::string& output = app->output();
    const auto told = output.find("changed on disk");
    ASSERT_NE(told, std::string::npos) << output;
    EXPECT_EQ(output.find("changed on disk", told + 1), std::string::npos) << output;
    EXPECT_NE(output.find("kept as " + kept.string()), std::string::npos) << output;
    EXPECT_EQ(answers(data, {"A", "dim(ʟFIRST)"}), (std::vector<std::string>{"1", "0"}));
    // Put in place, the session kept goes on where it ended.
    fs::rename(kept, state);
    EXPECT_EQ(answers(data, {"A", "ʟFIRST", "ʟAFTER"}), (std::vector<std::string>{"2", "{7 8 9}", "{7 8 9}"}));
}

// A sync tool brings another machine's state while the app runs; 3→C is typed and the app is
// ended (SIGTERM) within the autosave delay, so the refusal comes with the quit save, told
// where nobody sees it. Then the state file may be newer than the session kept: the other
// machine's next state synced in later, or the first carrying the time of a clock ten minutes
// ahead. Whatever the times, the next launch's first screen names the kept file, when it was
// kept and why; the launch after says nothing more; put in place, the kept file has C.
TEST(Lifecycle, ASessionKeptAsTheAppEndedIsToldAtTheNextLaunch)
{
    for (const std::string then : {"", "-synced-later", "-clock-ahead"}) {
        const fs::path data = fresh("ended-kept" + then), state = data / "memorySetting.cbor";
        const fs::path elsewhere = fresh("ended-kept-elsewhere" + then);
        const auto otherSaves = [&](const std::string& work) {
            return orvenda::test::driveScript("type " + work + "\nkey ENTER\nwait idle\n",
                       "--data '" + elsewhere.string() + "'")
                       .exitCode
                == 0;
        };
        ASSERT_TRUE(otherSaves("5->B"));
        const auto app = driverAtDump("ended-kept", "type 3->C\nkey ENTER\nwait idle\ndump\nwait 600000\n", data);
        ASSERT_TRUE(app);
        ASSERT_TRUE(copied(elsewhere / "memorySetting.cbor", state));
        if (then == "-clock-ahead")
            fs::last_write_time(state, fs::file_time_type::clock::now() + 10min);
        app->signal(SIGTERM);
        EXPECT_TRUE(exitedWith(app->ended(), 0)) << app->output();
        const fs::path kept = firstNamed(data, "memorySetting.session-");
        ASSERT_FALSE(kept.empty()) << app->output();
        if (then == "-synced-later") {
            ASSERT_TRUE(otherSaves("6->D") && copied(elsewhere / "memorySetting.cbor", state));
        }

        const json told = launchAlerts(data);
        ASSERT_EQ(told.size(), 1u) << then << told;
        const std::string message = told[0]["message"];
        for (const std::string& says : {kept.string() + " (kept 20",
                 std::string("changed on disk while the session ran"), "put that file in place of " + state.string()})
            EXPECT_NE(message.find(says), std::string::npos) << says << "\n" << message;
        EXPECT_EQ(launchAlerts(data), json::array()) << "told once";
        EXPECT_EQ(answers(data, {"B", "C"}), (std::vector<std::string>{"5", "0"}));
        fs::rename(kept, state);
        EXPECT_EQ(answers(data, {"C"}), std::vector<std::string>{"3"});
    }
}

// Another program writing bytes in place into a file, in a process of its own: it writes
// half of them, says so, and writes the rest once released (or after its pause, in ms).
class SlowWriter {
public:
    SlowWriter(const fs::path& file, const std::string& bytes, int pauseMs)
    {
        int half[2], go[2];
        if (::pipe(half) != 0 || ::pipe(go) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(go[1]);
            ::close(half[0]);
            const int out = ::open(file.c_str(), O_WRONLY | O_TRUNC);
            ssize_t written = ::write(out, bytes.data(), bytes.size() / 2);
            if (::write(half[1], "h", 1) != 1)
                ::_exit(1);
            pollfd pause{go[0], POLLIN, 0};
            ::poll(&pause, 1, pauseMs);
            written += ::write(out, bytes.data() + bytes.size() / 2, bytes.size() - bytes.size() / 2);
            ::_exit(written == static_cast<ssize_t>(bytes.size()) ? 0 : 1);
        }
        ::close(half[1]);
        ::close(go[0]);
        half_ = half[0];
        go_ = go[1];
    }
    ~SlowWriter()
    {
        release();
        ended();
    }
    SlowWriter(const SlowWriter&) = delete;
    SlowWriter& operator=(const SlowWriter&) = delete;

    // Once half is written.
    bool halfWay() const
    {
        char got = 0;
        return pid_ > 0 && ::read(half_, &got, 1) == 1;
    }
    void release()
    {
        if (go_ >= 0)
            ::close(std::exchange(go_, -1));
        if (half_ >= 0)
            ::close(std::exchange(half_, -1));
    }
    // Whether it wrote every byte.
    bool ended()
    {
        int status = 0;
        if (pid_ <= 0 || ::waitpid(std::exchange(pid_, -1), &status, 0) < 0)
            return false;
        return exitedWith(status, 0);
    }

private:
    pid_t pid_ = -1;
    int half_ = -1, go_ = -1;
};

// Another machine's state written in place by a tool that pauses half-way, holding the file,
// longer than a file is given to settle (a sync tool, a slow download), into the state file
// or through the link it is, as the app quits: the app leaves the file to its writer, as it
// leaves another's save, and keeps its session beside it. The other machine's state arrives
// whole where it was written, nothing is kept aside as damaged, and the alert names where
// the session is. (The pause ends when the test says.)
TEST(Lifecycle, AStateFileWrittenSlowlyInPlaceIsLeftToItsWriter)
{
    for (const bool linked : {false, true}) {
        const std::string name = linked ? "slow-linked" : "slow";
        const fs::path data = fresh(name), state = data / "memorySetting.cbor", elsewhere = fresh(name + "-elsewhere");
        const fs::path dotfiles = fresh(name + "-dotfiles");
        if (linked)
            fs::create_symlink(dotfiles / "orvenda.cbor", state);
        ASSERT_EQ(orvenda::test::driveScript("type 5->B\nkey ENTER\nwait idle\n", "--data '" + elsewhere.string() + "'")
                      .exitCode,
            0);
        const std::string other = readBytes(elsewhere / "memorySetting.cbor");
        const auto app =
            driverAtDump(name, "type 2->A\nkey ENTER\nwait idle\ndump\nwait 600000\n", data, {}, {"--settle", "0"});
        ASSERT_TRUE(app);
        ASSERT_FALSE(
            savedWhen(linked ? dotfiles : data, holdsA(2), linked ? "orvenda.cbor" : "memorySetting.cbor").is_null())
            << app->output();
        SlowWriter writer(state, other, 5000);
        ASSERT_TRUE(writer.halfWay());
        app->signal(SIGTERM);
        EXPECT_TRUE(exitedWith(app->ended(), 0)) << app->output();
        writer.release();
        EXPECT_TRUE(writer.ended());

        EXPECT_TRUE(readBytes(state) == other) << "the other machine's state arrives whole";
        EXPECT_EQ(fs::is_symlink(state), linked);
        EXPECT_TRUE(firstNamed(data, "memorySetting.damaged-").empty()) << app->output();
        EXPECT_EQ(std::distance(fs::directory_iterator(dotfiles), fs::directory_iterator()), linked ? 1 : 0);
        const fs::path kept = firstNamed(data, "memorySetting.session-");
        ASSERT_FALSE(kept.empty()) << app->output();
        EXPECT_NE(app->output().find("kept as " + kept.string()), std::string::npos) << app->output();
        EXPECT_TRUE(holdsA(2)(json::from_cbor(readBytes(kept), true, false)));
        EXPECT_EQ(answers(data, {"A", "B"}), (std::vector<std::string>{"0", "5"}));
    }
}

// Another machine's state written in place by a tool that stalls half-way, the app launched
// meanwhile: however the launch stops waiting for it ("Start Without It", Escape, or the wait
// running out), the app never saves over it. The save after a key, the automatic save of the
// kept session the launch went on from, and the quit's (with no key at all) each keep the
// session beside it, saying where. When the writer ends, the file holds the other machine's
// state, byte for byte; the next launch goes on from it and names the kept session.
TEST(Lifecycle, ALaunchThatStoppedWaitingNeverSavesOverTheFileBeingWritten)
{
    const auto savedIn = [](const std::string& name, const std::string& work) {
        const fs::path folder = fresh(name);
        const bool saved = orvenda::test::driveScript("type " + work + "\nkey ENTER\nwait idle\n",
                               "--data '" + folder.string() + "'")
                               .exitCode
            == 0;
        return saved ? readBytes(folder / "memorySetting.cbor") : std::string();
    };
    const std::string other = savedIn("stalled-other", "5->B"), earlier = savedIn("stalled-earlier", "1->A");
    const std::string keptBefore = savedIn("stalled-kept", "3->A");
    ASSERT_FALSE(other.empty() || earlier.empty() || keptBefore.empty());
    struct Case {
        std::string stop;
        std::vector<std::string> options;
        std::string script;
        bool sessionKeptBefore;
    };
    const std::string keyed = "press OK\ntype 2->A\nkey ENTER\nwait idle\ndump\nwait 600000\n", none = "dump\nwait 600000\n";
    for (const Case& c : {Case{"button", {"--stop-waiting", "button"}, keyed, false},
             Case{"escape", {"--stop-waiting", "escape"}, none, true}, Case{"minute", {"--wait-limit", "300"}, none, false}}) {
        const fs::path data = fresh("stalled-" + c.stop), state = data / "memorySetting.cbor";
        std::ofstream(state, std::ios::binary) << earlier;
        const fs::path before = data / "memorySetting.session-20250101-000000.cbor";
        if (c.sessionKeptBefore)
            std::ofstream(before, std::ios::binary) << keptBefore;
        SlowWriter writer(state, other, 600000);
        ASSERT_TRUE(writer.halfWay());
        std::vector<std::string> options = c.options;
        options.insert(options.end(), {"--settle", "600000"});
        const auto app = driverAtDump("stalled", c.script, data, {}, options);
        ASSERT_TRUE(app);
        EXPECT_NE(app->output().find("will not save over it"), std::string::npos) << c.stop << app->output();
        // The key's save, or the kept session's own a moment after the launch; the quit's.
        if (c.stop != "minute") {
            ASSERT_TRUE(app->lineWith("This session is kept as")) << c.stop << app->output();
        }
        EXPECT_EQ(readBytes(state), other.substr(0, other.size() / 2)) << c.stop;
        app->signal(SIGTERM);
        EXPECT_TRUE(exitedWith(app->ended(), 0)) << app->output();
        EXPECT_EQ(readBytes(state), other.substr(0, other.size() / 2)) << c.stop;
        writer.release();
        EXPECT_TRUE(writer.ended());
        EXPECT_TRUE(readBytes(state) == other) << c.stop << ": the other machine's state, whole";

        const fs::path kept = c.sessionKeptBefore ? before : firstNamed(data, "memorySetting.session-");
        ASSERT_FALSE(kept.empty()) << app->output();
        EXPECT_NE(app->output().find("kept as " + kept.string()), std::string::npos) << app->output();
        const json session = json::from_cbor(readBytes(kept), true, false);
        EXPECT_TRUE(holdsA(c.stop == "button" ? 2 : c.sessionKeptBefore ? 3 : 0)(session))
            << c.stop << " " << session.value("vars", json()) << app->output();
        EXPECT_TRUE(firstNamed(data, "memorySetting.damaged-").empty()) << c.stop;
        const json told = launchAlerts(data);
        ASSERT_EQ(told.size(), 1u) << c.stop << told;
        EXPECT_NE(told[0]["message"].get<std::string>().find(kept.string()), std::string::npos) << told;
        EXPECT_EQ(answers(data, {"A", "B"}), (std::vector<std::string>{"0", "5"})) << c.stop;
    }
}

// The app's clock 30 s off the file system's (run under libfaketime; skipped where it is
// not, and in a sanitized build, whose runtime reads the clock before libfaketime is ready
// and hangs): a state file being written in place by a tool that closes it between its
// parts is still taken for one being written at the quit, never kept aside as damaged.
TEST(Lifecycle, AStateFileBeingWrittenIsLeftToItsWriterWhateverTheAppsClock)
{
    const char* library = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1";
    if (!fs::exists(library))
        GTEST_SKIP() << "no libfaketime";
    if (orvenda::test::kSanitized)
        GTEST_SKIP() << "libfaketime does not start under the sanitizers' runtime";
    const fs::path elsewhere = fresh("skewed-elsewhere");
    ASSERT_EQ(
        orvenda::test::driveScript("type 5->B\nkey ENTER\nwait idle\n", "--data '" + elsewhere.string() + "'").exitCode, 0);
    const std::string other = readBytes(elsewhere / "memorySetting.cbor");
    for (const std::string offset : {"-30", "+30"}) {
        const fs::path data = fresh("skewed" + offset), state = data / "memorySetting.cbor";
        const auto app = driverAtDump("skewed", "type 2->A\nkey ENTER\nwait idle\ndump\nwait 600000\n", data,
            {std::string("LD_PRELOAD=") + library, "FAKETIME=" + offset, "NO_FAKE_STAT=1", "DONT_FAKE_MONOTONIC=1"});
        ASSERT_TRUE(app);
        ASSERT_FALSE(savedWhen(data, holdsA(2)).is_null()) << app->output();
        std::ofstream(state, std::ios::binary | std::ios::trunc) << other.substr(0, other.size() / 2);
        app->signal(SIGTERM);
        EXPECT_TRUE(exitedWith(app->ended(), 0)) << app->output();
        EXPECT_NE(app->output().find("was being written by another program"), std::string::npos) << app->output();
        EXPECT_TRUE(firstNamed(data, "memorySetting.damaged-").empty()) << offset << app->output();
        std::ofstream(state, std::ios::binary | std::ios::app) << other.substr(other.size() / 2);
        EXPECT_TRUE(readBytes(state) == other) << offset;
    }
}

// Whether the file comes to hold the text (a program file the notes page writes).
bool cameToHold(const fs::path& file, const std::string& text)
{
    return cameTrueIn(file.parent_path(), [&] { return readBytes(file).find(text) != std::string::npos; });
}

// QUIT as the computer's keys give it, on every screen (the full-size ones hide the keyboard).
const char* const kQuit = "hkey Escape\nwait idle\n";

// How each of those screens is typed in: the way to one of its fields (past the first where
// it has more), the key typed there and the next one; then what shows the value the field
// took, from the home screen, at this place of its dump, and whether a later launch still
// has it (the chemistry screen keeps its formula only while the app runs).
struct FieldTyping {
    std::string way, first, next, check, at;
    json value;
    bool lasts = true;
};

const std::map<int, FieldTyping>& fieldTypings()
{
    static const std::map<int, FieldTyping> typings{
        {3, {"open 3\nwait idle\ntype 2\nkey ENTER\nwait idle\ntype 2\nkey ENTER\nwait idle\nkey RIGHT\n", "7", "5",
                "open 3\nwait idle\n", "/matrixEdit/cells/0/1", "75"}},
        {4, {"open 4\nwait idle\nkey RIGHT\n", "7", "5", "type L₂(1)\nkey ENTER\nwait idle\n", "/ans", "75"}},
        {5, {"open 5\nwait idle\ntype 1\nkey ENTER\nwait idle\n", "7", "5", "open 5\nwait idle\nkey DOWN\n", "/table/shows", "75"}},
        {6, {"open 6\nwait idle\nkey DOWN\n", "7", "5", "type ΔTbl\nkey ENTER\nwait idle\n", "/ans", "75"}},
        {7, {"open 7\nwait idle\nkey DOWN\n", "7", "5", "type Xmax\nkey ENTER\nwait idle\n", "/ans", "75"}},
        {10, {"open 10\nwait idle\ntype X-2\nkey ENTER\nwait idle\n", "7", "5", "type X\nkey ENTER\nwait idle\n", "/ans", "75"}},
        {12, {"open 12\nwait idle\nkey DOWN\n", "7", "5", "type I%\nkey ENTER\nwait idle\n", "/ans", "75"}},
        {14, {"open 14\nwait idle\n", "C", "7", "open 14\nwait idle\n", "/chemistry/molarMass", 84.077, false}},
        {15, {"open 15\nwait idle\nkey DOWN\n", "7", "5", "open 15\nwait idle\n", "/statTest/fields/1/value", 75}},
        {16, {"open 16\nwait idle\nkey DOWN\n", "7", "5", "open 16\nwait idle\n", "/geometry/fields/2/value", 75}},
        {20, {"open 20\nwait idle\ntype 2\nkey ENTER\nwait idle\nkey DOWN\n", "7", "5", "open 20\nwait idle\nkey ENTER\nwait idle\n",
                 "/poly/lines/1", "a1=75"}},
        {21, {"open 21\nwait idle\nkey RIGHT\n", "7", "5", "open 21\nwait idle\n", "/simulEq/editor/cells/0/1", "75"}},
        {22, {"key 0x438\npress +\nhkey M\nhkey y\nhkey Return\npress Edit\ntap 40 195\nwait idle\nkey DOWN\n", "7", "5",
                 "open 22\nwait idle\n", "/keyEditor/lines/1", "      key=75"}},
        // The wizard's form goes with it: what shows it is the screen itself, back after a kill.
        {23, {"key STAT\nkey RIGHT\nkey 2\nwait idle\nkey DOWN\n", "L₃", "", "", "", nullptr}},
    };
    return typings;
}

// A dump without what a relaunch legitimately changes.
json screenShown(json dump)
{
    for (const char* changes : {"history", "ans", "alerts", "error"})
        dump.erase(changes);
    return dump;
}

// Whether a saved state keeps a line of this many ops typed in a field of that screen (or
// any line as the home screen's, where it does not belong).
std::function<bool(const json&)> keepsTyping(int screen, std::size_t ops)
{
    return [screen, ops](const json& archive) {
        const json field = archive.value("field", json::object());
        return (field.value("scrn", -1) == screen && field.value("ops", json::array()).size() == ops)
            || (field.empty() && archive.value("entry", json::object()).value("text", "") != "");
    };
}

// The driver on a script and a data folder, a process of its own (its script named after the
// folder, so that drivers on other folders run beside it).
std::unique_ptr<Process> driverOn(const fs::path& data, const std::string& script)
{
    const fs::path file = scratch(data.filename().string() + ".txt");
    std::ofstream(file) << script;
    return std::make_unique<Process>(std::vector<std::string>{ORVENDA_DRIVE, file.string(), "--data", data.string()});
}

// What the driver printed by the time it ended, and how it ended.
orvenda::test::DriveRun endedRun(Process& app)
{
    orvenda::test::DriveRun run;
    const auto status = app.ended();
    run.exitCode = status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
    run.output = app.output();
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with('{'))
            run.dumps.push_back(json::parse(line));
    return run;
}

// What is typed stays where it was typed, however the app ends, on every screen whose entry
// line fills a field (as the app lists them) and on a program's notes page:
// - the app's own save, then kill -9: the next launch is back on that screen with the line in
//   its field, the screen as it was; the next key goes on typing there, the next save keeps
//   that, and after another kill the launch is back again, where QUIT enters the line;
// - the window's close, and QUIT: the line is entered in its field, never left on the home
//   line.
// Each way, the field then holds the value. The apps on the screens run side by side.
TEST(Lifecycle, WhatIsTypedStaysWhereItWasTypedHoweverTheAppEnds)
{
    const std::vector<int> screens = orvenda::test::fieldScreens();
    ASSERT_GE(screens.size(), 14u);
    for (int screen : screens)
        ASSERT_TRUE(fieldTypings().contains(screen)) << "screen " << screen << " takes typed text: how is it typed?";
    const auto folder = [](const std::string& way, int screen) { return fresh("typed-" + way + std::to_string(screen)); };
    const auto check = [](const FieldTyping& typing) { return typing.check.empty() ? "" : typing.check + "dump\n" + kQuit; };
    const auto holds = [](const json& dump, const FieldTyping& typing) {
        return typing.at.empty() || dump.at(json::json_pointer(typing.at)) == typing.value;
    };
    // The notes page's program, ZNOTE, without notes, as its file holds it.
    const std::string notes = "key PRGM\nhkey Right\nhkey z\nhkey Ctrl+I\nwait idle\ntap 195 300\n";
    const auto notesFolder = [](const std::string& way) {
        const fs::path data = fresh("typed-notes-" + way);
        fs::create_directories(data / "programs");
        std::ofstream(data / "programs" / "ZNOTE") << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                                                      "<key>prgm</key><array/><key>notes</key><string></string></dict></plist>";
        return data;
    };

    // The app's own save, kill -9, twice; the screen as it was before each kill.
    std::map<int, json> shown;
    std::map<int, fs::path> data;
    const fs::path notesKilled = notesFolder("kill");
    for (const bool again : {false, true}) {
        std::map<int, std::unique_ptr<Process>> apps;
        for (int screen : screens) {
            const FieldTyping& typing = fieldTypings().at(screen);
            if (!again)
                data[screen] = folder("kill", screen);
            apps[screen] = driverOn(data[screen], (again ? "dump\n" + (typing.next.empty() ? "" : "type " + typing.next + "\n")
                                                         : typing.way + "type " + typing.first + "\n")
                                                      + "dump\nwait 600000\n");
        }
        if (!again)
            apps[-1] = driverOn(notesKilled, notes + "hkey h\nhkey i\nwait 600000\n");
        for (int screen : screens) {
            Process& app = *apps[screen];
            std::optional<std::string> dump = app.lineWith("{\"");
            if (again) {
                ASSERT_TRUE(dump) << screen << app.output();
                EXPECT_EQ(screenShown(json::parse(*dump)), shown[screen]) << "screen " << screen << ": back as it was";
                dump = app.lineWith("{\"");
            }
            ASSERT_TRUE(dump) << screen << app.output();
            shown[screen] = screenShown(json::parse(*dump));
            const std::size_t ops = again && !fieldTypings().at(screen).next.empty() ? 2 : 1;
            ASSERT_FALSE(savedWhen(data[screen], keepsTyping(screen, ops)).is_null()) << screen << app.output();
            app.signal(SIGKILL);
            ASSERT_TRUE(app.ended());
        }
        if (!again) {
            ASSERT_TRUE(cameToHold(notesKilled / "programs" / "ZNOTE", "<string>hi</string>")) << apps[-1]->output();
            apps[-1]->signal(SIGKILL);
            ASSERT_TRUE(apps[-1]->ended());
        }
    }

    // Back after the kills, then QUIT; the window's close (each screen in an app of its own);
    // QUIT, all screens in one app.
    std::map<int, std::unique_ptr<Process>> back, closed;
    std::string quits;
    std::size_t checks = 0;
    for (int screen : screens) {
        const FieldTyping& typing = fieldTypings().at(screen);
        back[screen] = driverOn(data[screen], "dump\n" + std::string(kQuit) + "dump\n" + check(typing));
        const std::string typed = typing.way + "type " + typing.first + typing.next + "\n";
        closed[screen] = driverOn(folder("close", screen), typed + "close\n");
        quits += typed + kQuit + "dump\n" + check(typing);
        checks += typing.check.empty() ? 1 : 2;
    }
    const fs::path notesClosed = notesFolder("close");
    closed[-1] = driverOn(notesClosed, notes + "hkey h\nhkey i\nclose\n");
    const auto quitting = driverOn(folder("quit", 0), quits);
    for (int screen : screens) {
        const FieldTyping& typing = fieldTypings().at(screen);
        const orvenda::test::DriveRun next = endedRun(*back[screen]);
        ASSERT_TRUE(orvenda::test::endedWithDumps(next, typing.check.empty() ? 2 : 3)) << screen;
        EXPECT_EQ(screenShown(next.dumps[0]), shown[screen]) << "screen " << screen << ": back again";
        EXPECT_EQ(next.dumps[1]["screen"], 0) << screen;
        EXPECT_EQ(next.dumps[1]["entry"], "") << "screen " << screen << ": QUIT entered it";
        EXPECT_EQ(next.dumps[1]["mathPrint"], true) << "screen " << screen << ": the user's setting";
        EXPECT_TRUE(typing.check.empty() || holds(next.dumps[2], typing)) << screen << " " << next.dumps[2];
    }
    const orvenda::test::DriveRun quit = endedRun(*quitting);
    ASSERT_TRUE(orvenda::test::endedWithDumps(quit, checks));
    std::size_t at = 0;
    for (int screen : screens) {
        const FieldTyping& typing = fieldTypings().at(screen);
        EXPECT_EQ(quit.dumps[at]["screen"], 0) << screen;
        EXPECT_EQ(quit.dumps[at]["entry"], "") << "screen " << screen << ": QUIT entered it";
        EXPECT_TRUE(typing.check.empty() || holds(quit.dumps[at + 1], typing)) << screen << " " << quit.dumps[at + 1];
        at += typing.check.empty() ? 1 : 2;
    }
    for (auto& [screen, app] : closed) {
        ASSERT_EQ(endedRun(*app).exitCode, 0) << screen << app->output();
        // Not an app of a screen's: the notes page's.
        if (screen < 0)
            continue;
        const FieldTyping& typing = fieldTypings().at(screen);
        const bool lasts = !typing.check.empty() && typing.lasts;
        app = driverOn(scratch("typed-close" + std::to_string(screen)), "dump\n" + (lasts ? check(typing) : ""));
    }
    for (const fs::path& page : {notesKilled, notesClosed})
        back[page == notesKilled ? -1 : -2] = driverOn(page, notes + "dump\n");
    for (auto& [screen, app] : closed) {
        if (screen < 0)
            continue;
        const FieldTyping& typing = fieldTypings().at(screen);
        const bool lasts = !typing.check.empty() && typing.lasts;
        const orvenda::test::DriveRun next = endedRun(*app);
        ASSERT_TRUE(orvenda::test::endedWithDumps(next, lasts ? 2 : 1)) << screen;
        EXPECT_EQ(next.dumps[0]["screen"], 0) << screen;
        EXPECT_EQ(next.dumps[0]["entry"], "") << "screen " << screen << ": never on the home line";
        EXPECT_TRUE(!lasts || holds(next.dumps[1], typing)) << screen << " " << next.dumps[1];
    }
    for (const int page : {-1, -2}) {
        const orvenda::test::DriveRun next = endedRun(*back[page]);
        ASSERT_TRUE(orvenda::test::endedWithDumps(next, 1));
        EXPECT_EQ(next.dumps[0]["notes"]["text"], "hi") << (page == -1 ? "kill" : "close");
    }
}

// The keys that open the debugger on that program (defined by its lines, its name starting
// with that letter) and take that many steps; empty when the driver failed.
std::string debuggerSteps(const std::string& program, const char* letter, int steps)
{
    const std::string editor = std::string("key PRGM\nkey RIGHT\nhkey ") + letter + "\nhkey Return\n";
    const orvenda::test::DriveRun opened = orvenda::test::driveScript(program + editor + "dump\n");
    if (!orvenda::test::endedWithDumps(opened, 1))
        return {};
    const json& debug = opened.dumps[0]["editor"]["controls"]["debug"];
    std::string keys = editor + "tap " + std::to_string(debug[0].get<int>()) + " " + std::to_string(debug[1].get<int>()) + "\n";
    for (int step = 0; step < steps; ++step)
        keys += "hkey s\nwait idle\n";
    return keys;
}

// Every place a run can wait: the output (a question, a menu, a pause), the graph's pause
// bar, a graph button's label run (asking on the output, pausing on the graph), the table
// shown by the program, and the debugger (a stepped question, its Run at a question). Killed
// outright there after the app's own save, the app opens next on an empty home line.
TEST(Lifecycle, AKillAtEveryPlaceARunWaitsLeavesAnEmptyLine)
{
    const char* const button = "FnOff \nButton(10,60,120,\"GO\",\"P\")\nDispGraph\nStop\nLbl P\n";
    struct Place {
        std::string name;
        std::string program; // its lines; named after the place's letter
        std::string run;     // the keys that run it up to where it waits
    };
    const std::string call = "key ENTER\nwait idle\n";
    std::vector<Place> places{
        {"output's question", "Input \"N=\",N\n", "type prgmQA\n" + call},
        {"output's Prompt", "Prompt N\n", "type prgmQB\n" + call},
        {"output's menu", "Menu(\"T\",\"ONE\",A)\nLbl A\n", "type prgmQC\n" + call},
        {"output's pause", "Pause \n", "type prgmQD\n" + call},
        {"graph's pause bar", "FnOff \nDispGraph \nPause \n", "type prgmQE\n" + call},
        {"label's question", std::string(button) + "Input \"N=\",N\n", "type prgmQF\n" + call + "press GO\nwait idle\n"},
        {"label's pause on the graph", std::string(button) + "Pause \n", "type prgmQG\n" + call + "press GO\nwait idle\n"},
        {"table's pause", "DispTable \nPause \n", "type prgmQH\n" + call},
    };
    // The debugger's Step onto a question, and its Run up to one.
    const std::string asks = "Input \"N=\",N\nDisp N\n";
    const std::string stepped = debuggerSteps("program QI\n" + asks + "end\n", "q", 0);
    ASSERT_FALSE(stepped.empty());
    // Its first step sets P, its second asks.
    places.push_back({"debugger's step", asks, stepped + "hkey s\nwait idle\nhkey s\nwait idle\n"});
    const orvenda::test::DriveRun shown = orvenda::test::driveScript("program QJ\n" + asks + "end\n" + stepped + "wait idle\ndump\n");
    ASSERT_TRUE(orvenda::test::endedWithDumps(shown, 1));
    const json& runButton = shown.dumps[0]["debugger"]["controls"]["run"];
    places.push_back({"debugger's Run", asks, stepped + "tap " + std::to_string(runButton[0].get<int>()) + " "
                                                   + std::to_string(runButton[1].get<int>()) + "\nwait idle\n"});

    // Side by side: each app up to its wait and its save, then killed.
    std::vector<fs::path> folders;
    std::vector<std::unique_ptr<Process>> apps;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const std::string program = std::string("program Q") + static_cast<char>('A' + i) + "\n1->P\n" + places[i].program + "end\n";
        folders.push_back(fresh("kill-at-" + std::to_string(i)));
        const fs::path file = scratch("kill-at-" + std::to_string(i) + ".txt");
        std::ofstream(file) << program + places[i].run + "wait saved\ndump\nwait 600000\n";
        apps.push_back(std::make_unique<Process>(std::vector<std::string>{ORVENDA_DRIVE, file.string(), "--data", folders.back().string()}));
    }
    for (std::size_t i = 0; i < places.size(); ++i) {
        const std::optional<std::string> dump = apps[i]->lineWith("{\"");
        ASSERT_TRUE(dump) << places[i].name << apps[i]->output();
        const json waited = json::parse(dump->substr(dump->find('{')));
        EXPECT_EQ(waited["waiting"], true) << places[i].name << " " << waited["screen"];
        apps[i]->signal(SIGKILL);
        ASSERT_TRUE(apps[i]->ended()) << places[i].name;
    }
    std::vector<std::future<orvenda::test::DriveRun>> relaunched;
    for (const fs::path& folder : folders)
        relaunched.push_back(std::async(std::launch::async, [folder] {
            return orvenda::test::driveScript("dump\n", "--data '" + folder.string() + "'");
        }));
    std::vector<orvenda::test::DriveRun> runs;
    for (auto& run : relaunched)
        runs.push_back(run.get());
    for (std::size_t i = 0; i < places.size(); ++i) {
        ASSERT_TRUE(orvenda::test::endedWithDumps(runs[i], 1)) << places[i].name;
        EXPECT_EQ(runs[i].dumps[0]["entry"], "") << places[i].name;
        EXPECT_EQ(runs[i].dumps[0]["home"].is_object(), true) << places[i].name << " " << runs[i].dumps[0]["screen"];
    }
}

// A value half typed in the graph's calculate sheet, or an equation on the header of the
// table beside the graph: QUIT, the window's close and SIGTERM enter it there (the trace
// stands at the value; the table's Y₁ becomes X+5) and leave the home line empty; a value
// half typed in a program's input field on the graph goes (only Done runs its label). That
// line, or an answer half typed to a program's question (on the output screen or in the
// debugger), at the app's own save then kill -9: the next launch's home line is empty (no
// save keeps the sheet, the table's line or the run).
TEST(Lifecycle, ALineTypedWhereNoSaveKeepsItNeverReachesTheHomeLine)
{
    const std::string sheet = "key Y=\ntype X²-4\nkey GRAPH\nwait idle\nkey 0x403\nwait idle\npress Calc\nwait idle\ntype 3\n";
    const std::string table = "type \"X\"->Y₁:G-T:ZStandard\nkey ENTER\nwait idle\ntap 234 253\nwait idle\ntap 195 643\nwait idle\n"
                              "hkey Shift+X\nhkey +\nhkey 5\nwait idle\n";
    const std::string field = "program PF\n0->B\nFnOff \nInputField(10,240,100,B,\"P\")\nDispGraph\nStop\nLbl P\n2->B\nend\n"
                              "type prgmPF\nhkey Return\nwait idle\n";
    const orvenda::test::DriveRun graph = orvenda::test::driveScript(field + "dump\n");
    ASSERT_TRUE(orvenda::test::endedWithDumps(graph, 1));
    const json& box = graph.dumps[0]["graph"];
    ASSERT_TRUE(box.is_array()) << graph.dumps[0];
    const std::string inField = field + "tap " + std::to_string(box[0].get<int>() + 60) + " "
        + std::to_string(box[1].get<int>() + 257) + "\nwait idle\nhkey 7\nwait idle\n";
    const orvenda::test::DriveRun quit = orvenda::test::driveScript(sheet + "key 2ND\nkey MODE\nwait idle\ndump\n");
    ASSERT_TRUE(orvenda::test::endedWithDumps(quit, 1));
    EXPECT_EQ(quit.dumps[0]["screen"], 0);
    EXPECT_EQ(quit.dumps[0]["entry"], "");
    EXPECT_EQ(quit.dumps[0]["trace"]["x"], 3) << quit.dumps[0]["trace"];
    for (const auto& [name, typing, value, entered] :
        {std::tuple("sheet", sheet, "Y₁", "-4"), std::tuple("table", table, "Y₁", "5"), std::tuple("field", inField, "B", "0")})
        for (const std::string end : {"quit", "close", "term"}) {
            const std::string way = std::string("entered-") + name + "-" + end;
            const fs::path data = fresh(way);
            if (end == "term") {
                const auto app = driverAtDump(way, typing + "dump\nwait 600000\n", data);
                ASSERT_TRUE(app);
                app->signal(SIGTERM);
                ASSERT_TRUE(exitedWith(app->ended(), 0)) << app->output();
            } else {
                const std::string ending = end == "quit" ? "key 2ND\nkey MODE\nwait idle\n" : "close\n";
                ASSERT_EQ(orvenda::test::driveScript(typing + ending, "--data '" + data.string() + "'").exitCode, 0) << way;
            }
            const orvenda::test::DriveRun next = orvenda::test::driveScript(
                "dump\ntype " + std::string(value) + "\nkey ENTER\nwait idle\ndump\n", "--data '" + data.string() + "'");
            ASSERT_TRUE(orvenda::test::endedWithDumps(next, 2)) << way;
            EXPECT_EQ(next.dumps[0]["entry"], "") << way << ": never the home line's";
            EXPECT_EQ(next.dumps[1]["ans"], entered) << way;
        }

    const std::string asks = "program IN\nInput \"X=\",X\nend\n";
    const std::string question = asks + "type prgmIN\nkey ENTER\nwait idle\ntype 5\n";
    const std::string debugged = debuggerSteps(asks, "i", 1);
    ASSERT_FALSE(debugged.empty());
    for (const auto& [name, typing, screen, ops] : {std::tuple("sheet", sheet, 8, 1), std::tuple("table", table, 8, 3),
             std::tuple("question", question, 11, 1), std::tuple("debugged-question", asks + debugged + "hkey 5\nwait idle\n", 2, 1)}) {
        const fs::path data = fresh(std::string("typed-") + name);
        const auto app = driverAtDump(std::string("typed-") + name, typing + "dump\nwait 600000\n", data);
        ASSERT_TRUE(app);
        ASSERT_FALSE(savedWhen(data, keepsTyping(screen, ops)).is_null()) << app->output();
        app->signal(SIGKILL);
        ASSERT_TRUE(app->ended());
        const orvenda::test::DriveRun next = orvenda::test::driveScript("dump\n", "--data '" + data.string() + "'");
        ASSERT_TRUE(orvenda::test::endedWithDumps(next, 1));
        EXPECT_EQ(next.dumps[0]["entry"], "") << name << ": never the home line's";
    }
}

// This machine's own state put back in place slowly as the app quits (a backup tool, or a
// copy of the same file, pausing half-way): the quit waits for it and saves over it as over
// its own file, with no alert, nothing kept beside it and nothing told at the next launch.
// (The copy goes on only once the app has looked at the half file more often than a quick
// second look would.)
TEST(Lifecycle, OwnBytesPutBackSlowlyAsTheAppQuitsAreSavedOverWithoutAWord)
{
    const fs::path data = fresh("own-slow"), state = data / "memorySetting.cbor";
    const auto app =
        driverAtDump("own-slow", "type 2->A\nkey ENTER\nwait idle\ndump\nwait 600000\n", data, {}, {"--settle", "600000"});
    ASSERT_TRUE(app);
    ASSERT_FALSE(savedWhen(data, holdsA(2)).is_null()) << app->output();
    const std::string own = readBytes(state);
    const int looks = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(looks, 0);
    SlowWriter writer(state, own, 60000);
    ASSERT_TRUE(writer.halfWay());
    ASSERT_GE(::inotify_add_watch(looks, state.c_str(), IN_OPEN), 0);
    app->signal(SIGTERM);
    for (int opened = 0; opened < 9;) {
        pollfd wait{looks, POLLIN, 0};
        if (::poll(&wait, 1, 5000) <= 0)
            break;
        char events[4096];
        const ssize_t got = ::read(looks, events, sizeof events);
        for (ssize_t at = 0; at < got; at += static_cast<ssize_t>(sizeof(inotify_event)) + reinterpret_cast<inotify_event*>(events + at)->len)
            ++opened;
    }
    ::close(looks);
    writer.release();
    EXPECT_TRUE(writer.ended());
    EXPECT_TRUE(exitedWith(app->ended(), 0)) << app->output();
    EXPECT_EQ(app->output().find("not saved over"), std::string::npos) << app->output();
    EXPECT_TRUE(firstNamed(data, "memorySetting.session-").empty()) << app->output();
    EXPECT_TRUE(firstNamed(data, "memorySetting.damaged-").empty()) << app->output();
    EXPECT_TRUE(holdsA(2)(json::from_cbor(readBytes(state), true, false)));
    EXPECT_EQ(launchAlerts(data), json::array());
}

// A state file emptied, or filled with zeros, while the app runs (a sync tool's failed
// download, another program's crash) and left so holds no calculator to protect: the quit
// save keeps it aside as a launch keeps a damaged file, says so, and saves the session in
// its place. (The app judges it at once: it stands as if left so long ago.)
TEST(Lifecycle, AnEmptiedStateFileIsKeptAsideAndTheSessionSavedInItsPlace)
{
    for (const std::size_t zeros : {0, 4096}) {
        const fs::path data = fresh("emptied-" + std::to_string(zeros)), state = data / "memorySetting.cbor";
        const auto app =
            driverAtDump("emptied", "type 2->A\nkey ENTER\nwait idle\ndump\nwait 600000\n", data, {}, {"--settle", "0"});
        ASSERT_TRUE(app);
        ASSERT_FALSE(savedWhen(data, holdsA(2)).is_null()) << app->output();
        std::ofstream(state, std::ios::binary | std::ios::trunc) << std::string(zeros, '\0');
        app->signal(SIGTERM);
        EXPECT_TRUE(exitedWith(app->ended(), 0)) << app->output();
        const fs::path aside = firstNamed(data, "memorySetting.damaged-");
        ASSERT_FALSE(aside.empty()) << zeros;
        EXPECT_EQ(fs::file_size(aside), zeros);
        EXPECT_NE(app->output().find("held no calculator"), std::string::npos) << app->output();
        EXPECT_TRUE(firstNamed(data, "memorySetting.session-").empty()) << zeros;
        EXPECT_EQ(answers(data, {"A"}), std::vector<std::string>{"2"}) << zeros;
    }
}

// A sync tool puts another machine's state in place, then settles the conflict by putting
// this machine's file back: the saves go to the state file again, and the copy kept beside it
// meanwhile, which would only grow older, is removed, saying so.
TEST(Lifecycle, ASessionBackInTheStateFileLeavesNoCopyBesideIt)
{
    const fs::path home = fresh("settled-home"), data = home / "Orvenda";
    const fs::path state = data / "memorySetting.cbor", own = scratch("settled-own.cbor");
    const auto app = sessionBesideABackup("settled", home, scratch("settled-other.cbor"), own);
    ASSERT_TRUE(app);
    const fs::path kept = firstNamed(data, "memorySetting.session-");
    ASSERT_TRUE(copied(own, state));
    ASSERT_TRUE(handedOver(home, "AFTER"));
    const auto told = app->lineWith("so this session is saved in it again");
    ASSERT_TRUE(told) << app->output();
    EXPECT_NE(told->find(kept.string() + ", where the session was kept meanwhile, is removed"), std::string::npos)
        << *told;
    EXPECT_FALSE(fs::exists(kept));
    app->signal(SIGTERM);
    EXPECT_TRUE(exitedWith(app->ended(), 0)) << app->output();
    EXPECT_EQ(answers(data, {"A", "ʟFIRST", "ʟAFTER"}), (std::vector<std::string>{"2", "{7 8 9}", "{7 8 9}"}));
}

// A state file in a loop of links (memorySetting.cbor → loop.cbor → memorySetting.cbor) is
// told as one, naming it: the folder, which can be written, is not blamed.
TEST(Lifecycle, AStateFileInALoopOfLinksIsToldAsOne)
{
    const fs::path data = fresh("loop");
    fs::create_symlink("loop.cbor", data / "memorySetting.cbor");
    fs::create_symlink("memorySetting.cbor", data / "loop.cbor");
    const json alerts = launchAlerts(data);
    ASSERT_EQ(alerts.size(), 1u) << alerts;
    const std::string message = alerts[0]["message"];
    EXPECT_NE(message.find((data / "memorySetting.cbor").string() + ": it is a link in a loop of links"),
        std::string::npos)
        << message;
}

// A state file that is a link into another folder (dotfiles, a sync folder) stays one: a
// launch where it leads to no file yet starts as a first one, and every save goes through
// the link to the file it leads to, replaced beside itself.
TEST(Lifecycle, AStateFileThatIsALinkIsSavedThroughIt)
{
    const fs::path data = fresh("linked"), dotfiles = fresh("dotfiles");
    const fs::path state = data / "memorySetting.cbor", target = dotfiles / "orvenda.cbor";
    fs::create_symlink("../dotfiles/orvenda.cbor", state);
    const orvenda::test::DriveRun first =
        orvenda::test::driveScript("type 1->A\nkey ENTER\nwait idle\ndump\n", "--data '" + data.string() + "'");
    ASSERT_TRUE(orvenda::test::endedWithDumps(first, 1));
    EXPECT_EQ(first.dumps[0]["alerts"], json::array()) << "not a damaged state";
    EXPECT_EQ(answers(data, {"A"}), std::vector<std::string>{"1"});
    EXPECT_EQ(answers(data, {"A+1->A"}), std::vector<std::string>{"2"});
    EXPECT_TRUE(fs::is_symlink(state));
    EXPECT_TRUE(holdsA(2)(json::from_cbor(readBytes(target), true, false)));
    // Nothing else in either folder: no plain file beside the link, nothing left by a save.
    EXPECT_EQ(std::distance(fs::directory_iterator(data), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dotfiles), fs::directory_iterator()), 1);
}

// A state file beyond what any state holds, valid as it may be, stopped every launch: two
// million empty lists (2 MB that took 170 MB to read; 200 MB ran out of memory), or more bytes
// than any state has. The launch keeps it aside, says so, and starts from the factory settings.
TEST(Lifecycle, AStateFileBeyondWhatAnyStateHoldsIsKeptAsideAtTheLaunch)
{
    for (const bool longest : {false, true}) {
        const fs::path data = fresh(longest ? "longest" : "lists");
        const fs::path state = data / "memorySetting.cbor";
        // {"ver": 39, "zz": ...}: the lists, or bytes past any state's.
        const std::uint32_t count = longest ? (65u << 20) : 2'000'000u;
        std::string bytes = "\xA2\x63ver\x18\x27\x62zz";
        bytes += char(longest ? 0x5A : 0x9A);
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes += char(count >> shift);
        if (!longest)
            bytes.append(count, '\x80');
        std::ofstream(state, std::ios::binary) << bytes;
        if (longest)
            fs::resize_file(state, bytes.size() + count);
        const json alerts = launchAlerts(data, "--settle 0");
        ASSERT_EQ(alerts.size(), 1u) << alerts;
        EXPECT_NE(alerts[0]["message"].get<std::string>().find("could not be read and was kept as"), std::string::npos)
            << alerts[0];
        EXPECT_FALSE(firstNamed(data, "memorySetting.damaged-").empty());
    }
}

// A run killed outright while it waits (a question, a pause, a menu), after
// the app's own save: the next launch opens on an empty home line, never on the call of the
// program it cannot go on with.
TEST(Lifecycle, AKillWhileARunWaitsLeavesAnEmptyLine)
{
    const std::pair<const char*, const char*> waits[] = {{"KI", "Input \"N=\",N\n"}, {"KW", "Pause \n"},
                                                         {"KM", "Menu(\"T\",\"ONE\",A)\nLbl A\n"}};
    for (const auto& [name, lines] : waits) {
        const fs::path data = fresh(std::string("kill-waiting-") + name);
        // P is set as the run starts: a save that holds it came after the call was entered.
        const auto app = driverAtDump(std::string("kill-waiting-") + name,
            std::string("program ") + name + "\n1->P\n" + lines + "end\ntype prgm" + name + "\nkey ENTER\nwait running\ndump\nwait 600000\n",
            data);
        ASSERT_TRUE(app) << name;
        const json saved = savedWhen(data, [](const json& archive) {
            const json vars = archive.value("vars", json::array());
            // Real and imaginary parts in turn: P's real part.
            return vars.size() > 30 && vars[30] != 0;
        });
        ASSERT_FALSE(saved.is_null()) << name << app->output();
        app->signal(SIGKILL);
        ASSERT_TRUE(app->ended()) << name;
        const orvenda::test::DriveRun relaunched = orvenda::test::driveScript("dump\n", "--data '" + data.string() + "'");
        ASSERT_TRUE(orvenda::test::endedWithDumps(relaunched, 1)) << name;
        EXPECT_EQ(relaunched.dumps[0]["entry"], "") << name;
        EXPECT_EQ(relaunched.dumps[0]["screen"], 0) << name;
    }
}

// A run the app's quit ends, by the window's close or SIGTERM, whether it loops, reads keys,
// pauses, asks or stands between the debugger's steps: the quit stops it as ON (or the
// debugger's Quit) does, and the next launch shows its one item, "User break" after what it
// showed, with the entry line empty.
TEST(Lifecycle, ARunTheQuitEndsLeavesItsBreakItem)
{
    const std::string debugger = debuggerSteps("program DB\n0->K\nRepeat K\ngetKey->K\nEnd\nend\n", "d", 2);
    ASSERT_FALSE(debugger.empty());
    // The debugger's Run, and a step, at its question with an answer half typed: the quit
    // enters no answer.
    const char* const asks = "Input \"N=\",N\nDisp N\n";
    const std::string opened = debuggerSteps(std::string("program XR\n") + asks + "end\n", "x", 0);
    ASSERT_FALSE(opened.empty());
    const orvenda::test::DriveRun shown =
        orvenda::test::driveScript(std::string("program XR\n") + asks + "end\n" + opened + "wait idle\ndump\n");
    ASSERT_TRUE(orvenda::test::endedWithDumps(shown, 1));
    const json& run = shown.dumps[0]["debugger"]["controls"]["run"];
    const std::string debuggerRun = opened + "tap " + std::to_string(run[0].get<int>()) + " " + std::to_string(run[1].get<int>())
        + "\nwait idle\ntype 4\n";
    const std::string debuggerStep = debuggerSteps(std::string("program YS\n") + asks + "end\n", "y", 1) + "type 4\n";
    struct Case {
        const char* program;
        const char* lines;
        // How it is run, up to where the quit comes: the run taken, its question asked.
        std::string run;
        const char* item;
    };
    const auto entered = [](const char* name, const char* ready) { return std::string("type prgm") + name + "\nkey ENTER\n" + ready; };
    const Case cases[] = {
        {"LP", "0->N\nWhile 1\nN+1->N\nEnd\n", entered("LP", "wait running\n"), "prgm»LP → User break"},
        {"GK", "0->K\nRepeat K\ngetKey->K\nEnd\n", entered("GK", "wait running\n"), "prgm»GK → User break"},
        {"PA", "Disp \"GO\"\nPause\nDisp 2\n", entered("PA", "wait idle\n"), "prgm»PA → GO/User break"},
        {"IN", "Input \"N=\",N\nDisp N\n", entered("IN", "wait idle\n"), "prgm»IN → N=/User break"},
        {"DB", "0->K\nRepeat K\ngetKey->K\nEnd\n", debugger, "prgm»DB → User break"},
        {"XR", asks, debuggerRun, "prgm»XR → N=/User break"},
        {"YS", asks, debuggerStep, "prgm»YS → N=/User break"},
    };
    for (const Case& c : cases)
        for (const bool signal : {false, true}) {
            const std::string name = std::string("quit-") + c.program + (signal ? "-term" : "-close");
            const fs::path data = fresh(name);
            const std::string run = std::string("program ") + c.program + "\n" + c.lines + "end\n" + c.run;
            if (signal) {
                const auto app = driverAtDump(name, run + "dump\nwait 600000\n", data);
                ASSERT_TRUE(app) << name;
                app->signal(SIGTERM);
                const auto status = app->ended();
                ASSERT_TRUE(exitedWith(status, 0)) << name << "\n" << app->output();
            } else {
                const orvenda::test::DriveRun closed = orvenda::test::driveScript(run + "close\n", "--data '" + data.string() + "'");
                ASSERT_EQ(closed.exitCode, 0) << name << closed.output;
            }
            const orvenda::test::DriveRun next = orvenda::test::driveScript("dump\n", "--data '" + data.string() + "'");
            ASSERT_TRUE(orvenda::test::endedWithDumps(next, 1)) << name;
            EXPECT_EQ(next.dumps[0]["history"].size(), 1u) << name << next.dumps[0]["history"];
            EXPECT_EQ(orvenda::test::lastItem(next.dumps[0]), c.item) << name;
            EXPECT_EQ(next.dumps[0]["entry"], "") << name;
        }
}

} // namespace

namespace {

// The values a state file holds, as the archive's bounds count them.
std::size_t valuesSaved(const fs::path& state)
{
    std::ifstream in(state, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const json archive = json::from_cbor(bytes, true, false);
    const std::function<std::size_t(const json&)> count = [&count](const json& v) {
        std::size_t n = 1;
        if (v.is_structured())
            for (const json& child : v)
                n += count(child);
        return n;
    };
    return archive.is_discarded() ? 0 : count(archive);
}

} // namespace

// A fresh data folder, A = 5, then a state past what a save holds (a string or a list, each
// beside its copy in Ans, or a list answer in Ans and the history) at every ending: the autosave and leaving the app
// say in the app what the save leaves out; the quit, the window's close and the signals
// say it at the next launch; and that launch has A = 5 whatever the ending.
TEST(Lifecycle, AStatePastWhatASaveHoldsKeepsAAndSaysWhatWentAtEveryEnding)
{
    constexpr int kWatchdog = 120;
    const fs::path first = fresh("too-big-first");
    ASSERT_EQ(orvenda::test::driveScript("type 5->A\nkey ENTER\nwait idle\n", "--data '" + first.string() + "'").exitCode, 0);
    const std::size_t values = valuesSaved(first / "memorySetting.cbor");
    ASSERT_GT(values, 0u);
    const std::vector<std::string> states{
        "program S\n\"ABCDEFGHIJ\"->Str1\nFor(I,1,8)\nStr1+Str1->Str1\nEnd\nend\ntype prgmS\nkey ENTER\nwait idle\n",
        "program S\nseq(I,I,1,500)->L₁\nend\ntype prgmS\nkey ENTER\nwait idle\n",
        "type seq(I,I,1,999)\nkey ENTER\nwait idle\n"};
    struct Case {
        std::string name;
        int ending;
        std::string said;
        std::string state;
        fs::path data;
    };
    const std::vector<std::tuple<std::string, int, std::string>> endings{{"autosave", SIGKILL, "wait saved\n"},
        {"inactive", SIGKILL, "inactive\n"}, {"quit", -1, ""}, {"close", 0, ""}, {"term", SIGTERM, ""},
        {"int", SIGINT, ""}, {"hup", SIGHUP, ""}};
    std::vector<Case> cases;
    for (const auto& [name, ending, said] : endings) {
        const fs::path data = fresh("too-big-" + name);
        fs::copy(first, data, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        cases.push_back({name, ending, said, states[cases.size() % states.size()], data});
    }
    orvenda::test::driveInTurns(
        cases.size(), cases.size(),
        [&](std::size_t i) { return "--data " + cases[i].data.string() + " --save-values " + std::to_string(values + 3000); },
        [&](std::size_t i, orvenda::test::LiveDrive& app) {
            const Case& c = cases[i];
            const std::optional<json> shown = app.ask(c.state + c.said + "dump\n", kWatchdog);
            ASSERT_TRUE(shown) << c.name << app.messages();
            if (c.said.empty())
                return;
            ASSERT_EQ((*shown)["alerts"].size(), 1u) << c.name << (*shown)["alerts"];
            const std::string message = (*shown)["alerts"][0]["message"];
            EXPECT_NE(message.find("cannot be saved whole"), std::string::npos) << c.name << message;
        },
        [&](std::size_t i, orvenda::test::LiveDrive& app) { app.end(cases[i].ending, kWatchdog); });
    std::vector<std::string> scripts;
    std::vector<fs::path> folders;
    for (const Case& c : cases) {
        scripts.push_back("dump\npress? OK\nwait idle\ntype A\nkey ENTER\nwait idle\ndump\n");
        folders.push_back(c.data);
    }
    const std::vector<orvenda::test::DriveRun> next = orvenda::test::driveScriptsOnFolders(scripts, folders, kWatchdog);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        ASSERT_TRUE(orvenda::test::endedWithDumps(next[i], 2)) << c.name;
        const json& alerts = next[i].dumps[0]["alerts"];
        if (!c.said.empty()) {
            EXPECT_EQ(alerts, json::array()) << c.name << ": told in the app already";
        } else {
            ASSERT_EQ(alerts.size(), 1u) << c.name << alerts;
            const std::string message = alerts[0]["message"];
            EXPECT_NE(message.find("could not be saved whole when Orvenda was last left"), std::string::npos)
                << c.name << message;
        }
        EXPECT_EQ(orvenda::test::lastItem(next[i].dumps[1]), "A → 5") << c.name;
    }
}
