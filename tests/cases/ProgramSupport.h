#pragma once

// What program runs need around them in tests and the case runner: a main queue pumped by
// hand, programs kept in memory and an output screen that records what it is asked to show.

#include "core/Calculator.h"
#include "core/Operand.h"
#include "core/services/ProgramManager.h"
#include "core/services/ProgramOutputManager.h"
#include "eval/MainQueue.h"

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace orvenda::testing {

// The processor time the calling thread has used, in seconds: what waiting costs it.
inline double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The main thread of a test: work posted to it runs only when the test pumps.
class ManualMainQueue : public MainQueue {
public:
    ManualMainQueue() : main_(std::this_thread::get_id()) {}

    void post(std::function<void()> work) override
    {
        {
            std::lock_guard lock(mutex_);
            work_.push_back(std::move(work));
        }
        ready_.notify_all();
    }

    void postSync(std::function<void()> work) override
    {
        if (std::this_thread::get_id() == main_) {
            work();
            return;
        }
        std::promise<void> done;
        auto finished = done.get_future();
        post([&] {
            work();
            done.set_value();
        });
        finished.wait();
    }

    // Runs what is queued now; true when anything ran.
    bool pump()
    {
        std::deque<std::function<void()>> batch;
        {
            std::lock_guard lock(mutex_);
            batch.swap(work_);
        }
        for (auto& work : batch)
            work();
        return !batch.empty();
    }

    // Pumps until the condition holds (checked between batches) or the time runs out.
    template <class Condition>
    bool pumpUntil(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        const auto until = std::chrono::steady_clock::now() + limit;
        for (;;) {
            pump();
            if (condition())
                return true;
            if (std::chrono::steady_clock::now() > until)
                return false;
            std::unique_lock lock(mutex_);
            ready_.wait_for(lock, std::chrono::milliseconds(2), [this] { return !work_.empty(); });
        }
    }

    // Waits, without running anything, until work is posted.
    bool waitForWork(std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        std::unique_lock lock(mutex_);
        return ready_.wait_for(lock, limit, [this] { return !work_.empty(); });
    }

    bool idle()
    {
        std::lock_guard lock(mutex_);
        return work_.empty();
    }

    // How many pieces of work wait.
    std::size_t pending()
    {
        std::lock_guard lock(mutex_);
        return work_.size();
    }

private:
    std::thread::id main_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> work_;
};

// Programs by name, kept in memory.
class MemoryProgramManager : public ProgramManager {
public:
    void saveProgram() override {}
    void updatePrograms() override {}
    bool debug() const override { return debugging; }
    void setPrgmEditCursor(int index) override { editCursor = index; }
    void setPrgmCursor(int index, const std::string& inProgram) override
    {
        cursor = index;
        cursorProgram = inProgram;
    }
    void showStepPC(int index, const std::string& inProgram) override
    {
        stepPC = index;
        stepProgram = inProgram;
        ++steps;
    }
    std::string programName() const override { return cursorProgram; }
    std::optional<Ops> opsFor(const std::string& name) const override
    {
        std::lock_guard lock(mutex_);
        const auto found = programs.find(name);
        if (found == programs.end())
            return std::nullopt;
        return found->second;
    }
    void store(const std::string& name, Ops ops)
    {
        std::lock_guard lock(mutex_);
        programs[name] = std::move(ops);
    }
    void clear()
    {
        std::lock_guard lock(mutex_);
        programs.clear();
    }

    bool debugging = false;
    int editCursor = -1;
    int cursor = -1;
    std::string cursorProgram;
    int stepPC = -1;
    std::string stepProgram;
    int steps = 0;

private:
    mutable std::mutex mutex_;
    std::map<std::string, Ops> programs;
};

// The output screen as a list of the calls it received, in order.
class RecordingOutput : public ProgramOutputManager {
public:
    explicit RecordingOutput(Calculator& calc) : calc_(calc) {}

    void newLine() override { add("newLine"); }
    void clearHome() override { add("clearHome"); }
    // "show TEXT" for Disp and Pause, "output COL,ROW TEXT" for Output(.
    void displayOp(const Operand& value) override
    {
        if (value.kind == KindOutput || value.kind == KindPause) {
            Operand shown = value;
            shown.kind = value.ints[2];
            const std::string text = calc_.formatOperand(shown);
            if (value.kind == KindOutput)
                add("output " + std::to_string(value.ints[0]) + "," + std::to_string(value.ints[1]) + " " + text);
            else
                add("show " + text);
        } else {
            add("show " + calc_.formatOperand(value));
        }
    }
    void output(const std::string& text, int x, int y) override
    {
        add("output " + std::to_string(x) + "," + std::to_string(y) + " " + text);
    }
    void startProgram(const std::string& name) override { add("start " + name); }
    void clearMenu() override { add("clearMenu"); }
    void setCursorPosition(CursorPosition position) override
    {
        add("cursor " + std::to_string(position.column) + "," + std::to_string(position.row));
    }
    std::string screenShot() const override { return "<screenShot>\n</screenShot>"; }
    void displayResult(const std::string& text, int type) override
    {
        add("result " + std::to_string(type) + " " + text);
        std::lock_guard lock(mutex_);
        last_ = text;
    }
    void doBreakError(int error) override { add("break " + std::to_string(error)); }
    // Stands in for the screen's text: the answer the last run ended with.
    std::string done() const override
    {
        std::lock_guard lock(mutex_);
        return last_;
    }

    std::vector<std::string> calls() const
    {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    void clear()
    {
        std::lock_guard lock(mutex_);
        calls_.clear();
    }

private:
    void add(std::string call)
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }

    Calculator& calc_;
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    std::string last_;
};

} // namespace orvenda::testing
