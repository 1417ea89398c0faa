#pragma once

#include "core/AnimateSubroutine.h"
#include "core/Operand.h"
#include "core/VQMenu.h"
#include "core/VQStack.h"
#include "eval/EvalContext.h"
#include "eval/RunObject.h"
#include "eval/StatementInterpreter.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace orvenda {

class MainQueue;
class Parser;

// The one serial background queue on which home-screen entries, programs, single steps
// and widget subroutines run, so the interface stays live while a program runs. Runs
// execute one at a time in submission order on a single worker thread, which evaluates
// in its own EvalContext: an editor field evaluated on the main thread meanwhile never
// shares stacks, errors or depth with it.
//
// The frames, the prompt stack, the menu, the interrupt queue and the current program
// name are shared with the main thread (key handlers, stop, widget requests) and are
// guarded by one mutex; the counters and flags are atomic. Starters, stop and clean-up
// are called on the main thread.
class ProgramQueue {
public:
    using Ops = std::vector<std::uint32_t>;
    using ResultHandler = std::function<void(const Operand&)>;

    explicit ProgramQueue(Parser& parser);
    // Waits for the run in progress (a run waiting on the main thread must have been let
    // through first) and drops the runs not yet started.
    ~ProgramQueue();
    ProgramQueue(const ProgramQueue&) = delete;
    ProgramQueue& operator=(const ProgramQueue&) = delete;

    // ---- Wiring ----

    // Where hand-overs and reports go. Without one they run at once on the worker.
    void setMainQueue(MainQueue* queue) { mainQueue_ = queue; }
    MainQueue* mainQueue() const { return mainQueue_; }
    // Result handling of the home screen: every final and hand-over record goes to it.
    void setResultHandler(ResultHandler handler) { resultHandler_ = std::move(handler); }
    // Where a paused program's screen text goes when copied.
    void setPasteboard(std::function<void(const std::string&)> pasteboard) { pasteboard_ = std::move(pasteboard); }

    // ---- Starters (main thread) ----

    // An entry line: ops, "none", immediate mode.
    void startProgramThread(Ops ops);
    void runProgramThread(Ops ops, const std::string& name, bool singleStep, int startIP);
    // Refused (false) while runs are queued.
    bool stepProgramThread(Ops ops, const std::string& name, int start);
    // Continues the top frame; false when there is none.
    bool resumeProgramThread();
    // Continues a drawing break; false unless the top frame is one.
    bool resumeFromDrawing();
    // A button's subroutine; false when 3 runs are queued or the program or label is
    // missing. While a run executes the request is queued for it instead.
    bool runSubroutine(const std::string& label, const std::string& inProgram);
    // A slider's subroutine; false when the program or label is missing.
    bool animateSlider(const std::string& label, const std::string& inProgram, int varNum, double value);

    // Stops the running program, or unwinds a waiting one with error 43; false when
    // nothing runs or waits.
    bool stopProgramThread();
    // Forgets everything a program left: frames, prompts, menu, interrupt requests.
    void cleanUp();

    // ---- Waiting programs (main thread) ----

    void menuKey(int key) { interpreter_.menuKey(key); }
    void pauseKey(int key) { interpreter_.pauseKey(key); }
    int jumpToLabel(unsigned label, bool stepping) { return interpreter_.jumpToLabel(label, stepping); }

    // ---- State ----

    int programQueueCount() const { return programQueueCount_.load(); }
    void setProgramQueueCount(int count) { programQueueCount_.store(count); }
    bool programRunning() const { return programRunning_.load(); }
    void setProgramRunning(bool running) { programRunning_.store(running); }
    bool cancelProgram() const { return cancelProgram_.load(); }
    std::string currentProgramName() const;
    void setCurrentProgramName(std::string name);
    std::shared_ptr<VQMenu> menuDisplay() const;
    void setMenuDisplay(std::shared_ptr<VQMenu> menu);
    // A copy of the prompt stack.
    VQStack promptStack() const;
    void setPromptStack(const VQStack& stack);
    std::vector<AnimateSubroutine> interruptQueue() const;
    int frameCount() const;
    std::vector<RunObject> frames() const;
    void popProgramStack();
    void pushFrame(RunObject frame);
    std::optional<RunObject> popFrame();
    // Removes the top variable still waiting for an answer.
    std::optional<Operand> popPrompt();
    // Forgets the frames and the interrupt requests.
    void clearFrames();
    // Frames exist (a program waits or was interrupted).
    bool programQueued() const { return frameCount() > 0; }
    // More than 100 frames.
    bool busy() const { return frameCount() > 100; }

    // The context the worker evaluates in.
    EvalContext& runContext() { return runContext_; }
    // Empties the line cache of the calling thread's context (the worker's; the main
    // thread keeps none).
    void clearLineCache();

    StatementInterpreter& interpreter() { return interpreter_; }

    // ---- Hand-overs to the main thread ----

    void onMain(std::function<void()> work);
    void onMainSync(std::function<void()> work);

    // Reports, run on the main thread.
    void reportDone(Operand result, int pc, bool pending);
    void reportStepPC(int pc);
    void pauseProgram(const std::string& name);
    void displayResult(const Operand& value);
    void reportIO(const Operand& result);
    void startProgram(const std::string& name);
    void showError(int number, const std::string& programName, std::optional<int> tokenLocation);

private:
    friend class StatementInterpreter;

    struct Run {
        std::shared_ptr<Ops> ops;
        std::string name;
        bool singleStep = false;
        int start = 0;
        bool interrupt = false;
        bool report = true;
    };

    void prepare();
    void ensureWorker();
    void submit(Run run);
    // Runs the requests left in the interrupt queue when a run has ended.
    void submitLeftovers();
    void work();
    void setCalcProgramRunning(bool running);
    // The stored program's compiled ops and the index after the label, or false.
    bool programWithLabel(const std::string& label, const std::string& inProgram, std::shared_ptr<Ops>& ops,
                          int& ip);

    Parser& p_;
    MainQueue* mainQueue_ = nullptr;
    ResultHandler resultHandler_;
    std::function<void(const std::string&)> pasteboard_;

    std::atomic<int> programQueueCount_{0};
    std::atomic<bool> programRunning_{false};
    std::atomic<bool> cancelProgram_{false};

    // Guards everything below that the main thread also touches.
    mutable std::mutex mutex_;
    std::vector<RunObject> prgmStack_;
    VQStack promptStack_;
    std::shared_ptr<VQMenu> menuDisplay_;
    std::vector<AnimateSubroutine> interruptQueue_;
    std::string currentProgramName_;

    EvalContext runContext_;
    StatementInterpreter interpreter_;

    // The worker and its task queue.
    std::mutex tasksMutex_;
    std::condition_variable tasksReady_;
    std::deque<Run> tasks_;
    bool stopping_ = false;
    std::thread worker_;
};

} // namespace orvenda
