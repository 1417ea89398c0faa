#include "drive/LiveDrive.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <memory>
#include <sstream>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvenda::test {

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

} // namespace

LiveDrive::LiveDrive(const std::string& options)
{
    // A driver that died under a line being written must not take the test with it.
    std::signal(SIGPIPE, SIG_IGN);
    int script[2];
    int output[2];
    if (::pipe2(script, O_CLOEXEC) != 0)
        return;
    if (::pipe2(output, O_CLOEXEC) != 0) {
        ::close(script[0]);
        ::close(script[1]);
        return;
    }
    std::vector<std::string> args{ORVENDA_DRIVE, "/dev/stdin"};
    std::istringstream words(options);
    for (std::string word; words >> word;)
        args.push_back(word);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(script[0], STDIN_FILENO);
        ::dup2(output[1], STDOUT_FILENO);
        ::dup2(output[1], STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(script[0]);
    ::close(output[1]);
    in_ = script[1];
    out_ = output[0];
    ::fcntl(out_, F_SETFL, ::fcntl(out_, F_GETFL) | O_NONBLOCK);
    ::fcntl(in_, F_SETFL, ::fcntl(in_, F_GETFL) | O_NONBLOCK);
    if (pid_ < 0)
        state_ = State::Exited;
}

LiveDrive::~LiveDrive()
{
    if (state_ == State::Running)
        kill();
    if (in_ >= 0)
        ::close(in_);
    if (out_ >= 0)
        ::close(out_);
}

void LiveDrive::send(const std::string& lines)
{
    transcript_ += lines;
    std::size_t written = 0;
    // The driver's output is read meanwhile: a driver blocked on a full pipe reads no script.
    while (written < lines.size() && state_ == State::Running) {
        pollfd fds[2] = {{in_, POLLOUT, 0}, {out_, POLLIN, 0}};
        if (::poll(fds, 2, 1000) < 0 && errno != EINTR)
            return;
        if (fds[1].revents & (POLLIN | POLLHUP)) {
            char chunk[65536];
            const ssize_t n = ::read(out_, chunk, sizeof chunk);
            if (n > 0)
                buffer_.append(chunk, static_cast<std::size_t>(n));
        }
        if (fds[0].revents & (POLLERR | POLLHUP)) {
            reap(true);
            return;
        }
        if (fds[0].revents & POLLOUT) {
            const ssize_t n = ::write(in_, lines.data() + written, lines.size() - written);
            if (n > 0)
                written += static_cast<std::size_t>(n);
            else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                reap(true);
                return;
            }
        }
    }
}

bool LiveDrive::readLine(std::string& line, int watchdogSeconds)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(watchdogSeconds);
    for (;;) {
        if (const auto end = buffer_.find('\n'); end != std::string::npos) {
            line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return true;
        }
        if (Clock::now() >= deadline) {
            kill();
            state_ = State::Hung;
            return false;
        }
        pollfd fd{out_, POLLIN, 0};
        if (::poll(&fd, 1, millisecondsUntil(deadline)) <= 0)
            continue;
        char chunk[65536];
        const ssize_t n = ::read(out_, chunk, sizeof chunk);
        if (n > 0) {
            buffer_.append(chunk, static_cast<std::size_t>(n));
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            // The end of the output: the driver has ended.
            messages_ += buffer_;
            buffer_.clear();
            reap(true);
            return false;
        }
    }
}

std::optional<nlohmann::json> LiveDrive::ask(const std::string& line, int watchdogSeconds)
{
    send(line);
    std::string text;
    while (state_ == State::Running && readLine(text, watchdogSeconds)) {
        if (text.starts_with('{'))
            return nlohmann::json::parse(text, nullptr, false);
        messages_ += text + "\n";
    }
    return std::nullopt;
}

void LiveDrive::finish(int watchdogSeconds)
{
    if (in_ >= 0) {
        ::close(in_);
        in_ = -1;
    }
    std::string text;
    while (state_ == State::Running && readLine(text, watchdogSeconds))
        if (!text.starts_with('{'))
            messages_ += text + "\n";
}

void LiveDrive::sendSignal(int number)
{
    if (pid_ > 0 && state_ == State::Running)
        ::kill(pid_, number);
}

void LiveDrive::end(int how, int watchdogSeconds)
{
    if (how == 0) {
        send("close\n");
    } else if (how == SIGKILL) {
        if (ask("wait saved\ndump\n", watchdogSeconds))
            sendSignal(SIGKILL);
    } else if (how > 0) {
        // The signal reaches the app in the wait that follows.
        sendSignal(how);
        send("wait 60000\n");
    }
    finish(watchdogSeconds);
}

void driveInTurns(std::size_t count, std::size_t atOnce, const std::function<std::string(std::size_t)>& options,
                  const std::function<void(std::size_t, LiveDrive&)>& start,
                  const std::function<void(std::size_t, LiveDrive&)>& end)
{
    for (std::size_t first = 0; first < count; first += atOnce) {
        std::vector<std::unique_ptr<LiveDrive>> apps;
        for (std::size_t i = first; i < std::min(count, first + atOnce); ++i) {
            apps.push_back(std::make_unique<LiveDrive>(options(i)));
            start(i, *apps.back());
        }
        for (std::size_t k = 0; k < apps.size(); ++k)
            end(first + k, *apps[k]);
    }
}

void LiveDrive::reap(bool wait)
{
    if (pid_ <= 0 || state_ != State::Running)
        return;
    int status = 0;
    if (::waitpid(pid_, &status, wait ? 0 : WNOHANG) != pid_)
        return;
    if (WIFSIGNALED(status)) {
        state_ = State::Killed;
        signal_ = WTERMSIG(status);
    } else {
        state_ = State::Exited;
        exitCode_ = WEXITSTATUS(status);
    }
}

void LiveDrive::kill()
{
    if (pid_ <= 0 || state_ != State::Running)
        return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    state_ = State::Killed;
    signal_ = SIGKILL;
}

} // namespace orvenda::test
