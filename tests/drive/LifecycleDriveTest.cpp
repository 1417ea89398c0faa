// The app's life as real processes live it: killed outright a moment after some work, asked
// to end by the desktop's signals, and launched with files while the running app does not
// answer.

#include "drive/DriveSession.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>
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
    const std::vector<std::string>& environment = {})
{
    const fs::path file = scratch(name + ".txt");
    std::ofstream(file) << script;
    auto driver = std::make_unique<Process>(
        std::vector<std::string>{ORVENDA_DRIVE, file.string(), "--data", data.string()}, environment);
    if (!driver->started() || !driver->lineWith("{\"")) {
        ADD_FAILURE() << driver->output();
        return nullptr;
    }
    return driver;
}

// The saved state once it holds what the check looks for; null when it never does. Each
// save lands in the folder by a rename, which wakes the wait.
json savedWhen(const fs::path& data, const std::function<bool(const json&)>& holds)
{
    const fs::path state = data / "memorySetting.cbor";
    const int events = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (events < 0 || ::inotify_add_watch(events, data.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE) < 0) {
        ADD_FAILURE() << "cannot watch " << data << ": " << std::strerror(errno);
        if (events >= 0)
            ::close(events);
        return nullptr;
    }
    const auto deadline = std::chrono::steady_clock::now() + kGenerous;
    json found;
    for (;;) {
        std::ifstream in(state, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const json archive = json::from_cbor(bytes, true, false);
        if (!archive.is_discarded() && holds(archive)) {
            found = archive;
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd wait{events, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) <= 0)
            break;
        char drained[4096];
        while (::read(events, drained, sizeof drained) > 0) {
        }
    }
    ::close(events);
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
    EXPECT_NE(apps[0]->output().find("Another Orvenda saved"), std::string::npos) << apps[0]->output();
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

} // namespace
