#pragma once

// orvenda-drive run on a script, for tests that use the app as a user would.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace orvenda::driving {

struct Session {
    int exitCode = -1;
    std::vector<nlohmann::json> dumps;
    std::string output;
};

// A file in this test run's own folder, which goes when the run ends.
inline std::filesystem::path scratch(const std::string& name)
{
    namespace fs = std::filesystem;
    static const struct Folder {
        fs::path path = fs::temp_directory_path() / ("orvenda-drive-" + std::to_string(::getpid()));
        Folder() { fs::create_directories(path); }
        ~Folder()
        {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } folder;
    return folder.path / name;
}

// Runs the driver on the script; the dumps are the lines of its output that are JSON.
// With a watchdog (seconds > 0) a driver that has not ended by then is killed: a hung app
// fails its test (exit code -1) instead of stalling the test run.
inline Session drive(const std::string& script, const std::string& options = "", int watchdogSeconds = 0)
{
    const std::filesystem::path file = scratch("script.txt");
    std::ofstream(file) << script;
    const std::string watchdog = watchdogSeconds > 0 ? "timeout -s KILL " + std::to_string(watchdogSeconds) + " " : "";
    const std::string command = watchdog + "'" + ORVENDA_DRIVE + "' '" + file.string() + "' " + options + " 2>&1";
    Session run;
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
    run.exitCode = WIFEXITED(status) && WEXITSTATUS(status) != 137 ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace orvenda::driving
