#pragma once

// orvenda-drive fed its script a few lines at a time: the next lines may depend on what the
// last `dump` showed. The driver reads the script from its standard input; what it prints
// (its dumps, its messages, a sanitizer's report) comes back on one pipe.

#include <nlohmann/json.hpp>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include <sys/types.h>

namespace orvenda::test {

class LiveDrive {
public:
    // How the driver ended, once it has.
    enum class State { Running, Exited, Killed, Hung };

    // Starts the driver with these options (such as "--device tablet").
    explicit LiveDrive(const std::string& options);
    ~LiveDrive();
    LiveDrive(const LiveDrive&) = delete;
    LiveDrive& operator=(const LiveDrive&) = delete;

    // Sends script lines (each ending in a newline); they are noted in the transcript.
    void send(const std::string& lines);
    // Sends a line that asks for one JSON line (`dump`, `screens`) and reads it. Nothing when
    // the driver ended, or gave no answer within the watchdog's seconds (then it is killed
    // as hung).
    std::optional<nlohmann::json> ask(const std::string& line, int watchdogSeconds);
    // Ends the script and waits for the app to quit (killing it as hung after the watchdog).
    void finish(int watchdogSeconds);
    // Sends the driver a signal, as the desktop or a user's kill does.
    void sendSignal(int number);
    // Ends the app and waits for it: -1 the application's quit (the script's end), 0 its
    // window's close, SIGKILL once the app's own save has taken every change, any other
    // signal as the desktop sends it.
    void end(int how, int watchdogSeconds);

    State state() const { return state_; }
    // The exit code, or the signal that ended the driver.
    int exitCode() const { return exitCode_; }
    int signal() const { return signal_; }
    // Everything the driver printed but its JSON lines.
    const std::string& messages() const { return messages_; }
    // Every line sent, as a script that replays the run.
    const std::string& transcript() const { return transcript_; }

private:
    // Reads one line within the deadline; false at the end of the output or past it.
    bool readLine(std::string& line, int watchdogSeconds);
    // Notes how the driver ended (blocking until it has, when wait is set).
    void reap(bool wait);
    void kill();

    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    std::string buffer_;
    std::string messages_;
    std::string transcript_;
    State state_ = State::Running;
    int exitCode_ = -1;
    int signal_ = 0;
};

// Many apps, each driven to where a case ends it, a few at a time: app i is launched with
// options(i) and driven by start(i, app); once those few are all started, each is ended by
// end(i, app) and waited for.
void driveInTurns(std::size_t count, std::size_t atOnce, const std::function<std::string(std::size_t)>& options,
                  const std::function<void(std::size_t, LiveDrive&)>& start,
                  const std::function<void(std::size_t, LiveDrive&)>& end);

} // namespace orvenda::test
