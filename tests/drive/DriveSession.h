#pragma once

// orvenda-drive run on a script from a test: its exit code, its dumps and what it printed.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace orvenda::test {

struct DriveRun {
    int exitCode = -1;
    std::vector<nlohmann::json> dumps;
    std::string output;
};

// A folder of this test process's own, removed when it ends.
inline std::filesystem::path driveScratch(const std::string& name)
{
    static const struct Folder {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("orvenda-drive-" + std::to_string(::getpid()));
        Folder() { std::filesystem::create_directories(path); }
        ~Folder()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } folder;
    return folder.path / name;
}

// With a watchdog (seconds > 0) a driver that has not ended by then is killed: a hung app
// fails its test (exit code -1) instead of stalling the test run.
inline DriveRun driveScript(const std::string& script, const std::string& options = "", int watchdogSeconds = 0)
{
    // A file of each run's own: runs may go side by side.
    static std::atomic<int> runs{0};
    const std::filesystem::path file = driveScratch("script" + std::to_string(++runs) + ".txt");
    std::ofstream(file) << script;
    const std::string watchdog = watchdogSeconds > 0 ? "timeout -s KILL " + std::to_string(watchdogSeconds) + " " : "";
    const std::string command = watchdog + "'" + ORVENDA_DRIVE + "' '" + file.string() + "' " + options + " 2>&1";
    DriveRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    std::string line;
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        line += buffer;
        if (line.empty() || line.back() != '\n')
            continue;
        run.output += line;
        if (line.starts_with('{'))
            run.dumps.push_back(nlohmann::json::parse(line));
        line.clear();
    }
    const int status = ::pclose(pipe);
    // timeout(1) answers 137 for a driver it killed.
    run.exitCode = WIFEXITED(status) && !(watchdogSeconds > 0 && WEXITSTATUS(status) == 137) ? WEXITSTATUS(status) : -1;
    return run;
}

// Each script run by its own driver, side by side; the runs in the scripts' order.
inline std::vector<DriveRun> driveScriptsAtOnce(const std::vector<std::string>& scripts, const std::string& options = "",
                                                int watchdogSeconds = 0)
{
    std::vector<std::future<DriveRun>> running;
    for (const std::string& script : scripts)
        running.push_back(std::async(std::launch::async, [&script, &options, watchdogSeconds] {
            return driveScript(script, options, watchdogSeconds);
        }));
    std::vector<DriveRun> runs;
    for (std::future<DriveRun>& run : running)
        runs.push_back(run.get());
    return runs;
}

// Each script run by its own driver on its own data folder (the launch after an app ended
// there), a few side by side; the runs in the scripts' order.
inline std::vector<DriveRun> driveScriptsOnFolders(const std::vector<std::string>& scripts,
                                                   const std::vector<std::filesystem::path>& folders, int watchdogSeconds,
                                                   std::size_t atOnce = 8)
{
    std::vector<DriveRun> runs;
    for (std::size_t first = 0; first < scripts.size(); first += atOnce) {
        std::vector<std::future<DriveRun>> running;
        for (std::size_t i = first; i < std::min(scripts.size(), first + atOnce); ++i)
            running.push_back(std::async(std::launch::async, [&scripts, &folders, i, watchdogSeconds] {
                return driveScript(scripts[i], "--data '" + folders[i].string() + "'", watchdogSeconds);
            }));
        for (std::future<DriveRun>& run : running)
            runs.push_back(run.get());
    }
    return runs;
}

// The driver ended with exit code 0 and gave this many dumps; otherwise the failure carries
// what it printed.
inline ::testing::AssertionResult endedWithDumps(const DriveRun& run, std::size_t dumps)
{
    if (run.exitCode == 0 && run.dumps.size() == dumps)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "exit code " << run.exitCode << ", " << run.dumps.size() << " dumps (not "
                                         << dumps << ")\n"
                                         << run.output;
}

// A test parameter's name as the test's name takes it: letters and digits, "_" for the rest.
inline std::string testName(const char* name)
{
    std::string out;
    for (const char* c = name; *c; ++c)
        out += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return out;
}

// The screens and overlays the app lists (id, title, field: whether its entry line fills a
// field).
inline nlohmann::json listedScreens()
{
    const DriveRun listed = driveScript("screens\n");
    return listed.dumps.empty() ? nlohmann::json::array() : listed.dumps[0]["screens"];
}

// The screens whose entry line fills a field, as the app lists them.
inline std::vector<int> fieldScreens()
{
    std::vector<int> ids;
    for (const nlohmann::json& screen : listedScreens())
        if (screen.value("field", false))
            ids.push_back(screen["id"].get<int>());
    return ids;
}

// The last history item as "input → answer", the answer's lines trimmed of their padding.
inline std::string lastItem(const nlohmann::json& dump)
{
    if (dump["history"].empty())
        return "";
    const nlohmann::json& item = dump["history"].back();
    std::string answer = item["answer"].get<std::string>();
    std::string trimmed;
    std::size_t start = 0;
    while (start <= answer.size()) {
        const std::size_t end = std::min(answer.find('\n', start), answer.size());
        std::string line = answer.substr(start, end - start);
        line.erase(0, line.find_first_not_of(' '));
        line.erase(line.find_last_not_of(' ') + 1);
        trimmed += (trimmed.empty() ? "" : "/") + line;
        start = end + 1;
    }
    return item["input"].get<std::string>() + " → " + trimmed;
}

} // namespace orvenda::test
