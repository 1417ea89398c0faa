#pragma once

#include "core/LeafMutex.h"

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
// Each run has an identity, given when it is submitted. Stop and clean-up cancel the
// runs submitted before them by identity (a run queued behind them is not touched), and
// a report that a stop or clean-up made stale is dropped when it reaches the main thread.
// A hand-over the worker waits in is given up when its run is cancelled or the queue
// goes; work queued on the main thread for a queue that is gone does nothing.
//
// The frames, the prompt stack, the menu, the interrupt queue and the current program
// name are shared with the main thread (key handlers, stop, widget requests) and are
// guarded by one mutex, taken after the calculator's state lock when both are needed;
// the counters and flags are atomic. Starters, stop, clean-up, the key handlers and the
// destructor are called on the main thread.
class ProgramQueue {
public:
    using Ops = std::vector<std::uint32_t>;
    using ResultHandler = std::function<void(const Operand&)>;
    using RunId = std::uint64_t;

    explicit ProgramQueue(Parser& parser);
    // Cancels the runs, gives up a hand-over in progress and waits for the worker.
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
    // Called on the worker each time the last queued run has ended (the count is 0), so a
    // thread waiting for that can block instead of polling. Once this returns, an earlier
    // handler is no longer running nor called.
    void setIdleHandler(std::function<void()> handler);
    // Called on the main thread as a run is queued, whoever queues it (an entry line, an
    // answer, Pause's ENTER, a menu's pick, a resumed program, the debugger's Run or Step, a
    // graph button's or slider's label): the keys typed from then on are the run's until
    // it reports its end. program: the run is a program's own (not an entry line that may
    // call one), which owns the keys on whichever screen is in front; name: the program it
    // starts in, empty for a run that goes on with a waiting one.
    void setStartedHandler(std::function<void(bool program, const std::string& name)> handler)
    {
        startedHandler_ = std::move(handler);
    }
    // Called on the main thread once every run queued so far has ended and its reports have
    // been handled, with no run queued since: the end of the runs that report no record of
    // their own (a step, a pause over the graph) included.
    void setDrainedHandler(std::function<void()> handler) { drainedHandler_ = std::move(handler); }
    // Called on the main thread when a stop (ON, a screen's Quit or Escape, the debugger
    // left) has ended a run or a waiting program, before its break is reported.
    void setStoppedHandler(std::function<void()> handler) { stoppedHandler_ = std::move(handler); }
    // Called on the worker as a request a run left is about to get a run of its own, so a
    // test can stop the runs at that very point. Set while no run is queued.
    void setLeftoverHook(std::function<void()> hook) { leftoverHook_ = std::move(hook); }

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
    // A slider's subroutine; false when the program or label is missing. Started as a run
    // of its own when no run executes and fewer than 2 are queued, else queued for the
    // runs; a queued request is never dropped before a run has taken it.
    bool animateSlider(const std::string& label, const std::string& inProgram, int varNum, double value);

    // Stops the runs submitted so far (the first of them ends with error 43), or unwinds
    // a waiting program with error 43; false when nothing runs or waits.
    bool stopProgramThread();
    // The output is an earlier run's, to be cleared by a label's run as it first writes or
    // ends.
    bool takeFreshOutput() { return freshOutput_.exchange(false, std::memory_order_relaxed); }
    // Stops the named program, which stands at ip between statements with nothing queued
    // (the debugger's run at a breakpoint or after a step) or waits: either way its run
    // ends as a break. False when nothing could be stopped.
    bool breakStopped(const std::string& name, int ip);
    // Forgets everything a program left: frames, prompts, menu, interrupt requests; the
    // runs submitted so far are cancelled and their reports dropped.
    void cleanUp();
    // Ends the waiting program with an error of its own (an answer it cannot take, a menu's
    // missing label), as a run's error ends it: its item, its alert naming the program, the
    // debugger back over it. The error points where the program waits, or at its menu.
    void failWaiting(int error, bool atMenu = false);

    // ---- Waiting programs (main thread) ----

    void menuKey(int key) { interpreter_.menuKey(key); }
    void pauseKey(int key) { interpreter_.pauseKey(key); }
    int jumpToLabel(unsigned label, bool stepping) { return interpreter_.jumpToLabel(label, stepping); }

    // A waiting program: what a main-thread evaluation continues or leaves behind.
    struct WaitingProgram {
        std::vector<RunObject> frames;
        VQStack prompts;
        std::shared_ptr<VQMenu> menu;
        bool empty() const { return frames.empty() && prompts.count() == 0 && !menu; }
    };
    // Hands the waiting program over to the caller, unless a run is queued or executing
    // (the program is then the runs'); false when nothing was taken.
    bool takeWaiting(WaitingProgram& into);
    // Leaves the program waiting for the next run (its frames over any left before),
    // unless a run is queued or executing; false (nothing kept) then.
    bool leaveWaiting(WaitingProgram program);

    // ---- Step limit ----

    // For the fuzzers, which must not wait on the clock: a run may take at most this many
    // steps (statements, and evaluations of a function or of a sequence's terms within one),
    // and the step past them stops it as ON does, after the same work on every machine.
    // 0, the default: no limit. Set while no run is queued.
    void setStepLimit(std::uint64_t steps) { stepLimit_ = steps; }
    // On the worker, as the executing run takes steps: false once it is stopped.
    bool takeSteps(std::uint64_t steps = 1)
    {
        if (stepLimit_ != 0)
            spendSteps(steps);
        return !cancelProgram();
    }
    // The steps the executing run may still take (worker only).
    std::uint64_t stepsLeft() const
    {
        if (stepLimit_ == 0)
            return UINT64_MAX;
        return runSteps_ < stepLimit_ ? stepLimit_ - runSteps_ : 0;
    }

    // ---- State ----

    int programQueueCount() const { return programQueueCount_.load(); }
    void setProgramQueueCount(int count) { programQueueCount_.store(count); }
    bool programRunning() const { return programRunning_.load(); }
    void setProgramRunning(bool running) { programRunning_.store(running); }
    // The run executing now has been stopped.
    bool cancelProgram() const { return cancelled(executing_.load()); }
    // The run executing now (0 when none).
    RunId executingRun() const { return executing_.load(); }
    std::string currentProgramName() const;
    void setCurrentProgramName(std::string name);
    std::shared_ptr<VQMenu> menuDisplay() const;
    void setMenuDisplay(std::shared_ptr<VQMenu> menu);
    // A copy of the prompt stack.
    VQStack promptStack() const;
    // An Input or Prompt waits for its answer (no copy of the stack).
    bool prompting() const;
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
    // The calling thread is the worker.
    bool onWorker() const { return std::this_thread::get_id() == workerId_.load(); }

    StatementInterpreter& interpreter() { return interpreter_; }

    // ---- Hand-overs to the main thread ----

    // Queues work for the main thread (done at once without a main queue); dropped if the
    // queue is gone by the time it would run.
    void post(std::function<void()> work);
    // The same for drawing work, which is coalesced: work joins the batch already queued
    // when nothing else was queued after it, so however fast a program draws, one batch
    // at most waits on the main thread, and it redraws the graph once.
    void postBatched(std::function<void()> work);
    // Runs work on the main thread and waits for it. False when the run was cancelled or
    // the queue is going: the work is then not done, or no longer waited for. The worker
    // calls it without the calculator's state lock.
    bool handOver(RunId run, std::function<void()> work);

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

    using Run = StatementInterpreter::Run;
    struct Life;
    struct Hop;

    // A run about to be queued: the key pressed before it is forgotten unless kept (a step's
    // getKey reads the key pressed between steps).
    void prepare(bool keepKey = false);
    void ensureWorker();
    // Queues the run, unless the run unlessCancelled (0: none) has been cancelled.
    void submit(Run run, RunId unlessCancelled = 0);
    // Runs the requests left in the interrupt queue when a run has ended.
    void submitLeftovers(RunId after);
    // Counts the executing run's steps, and stops it past the step limit.
    void spendSteps(std::uint64_t steps);
    void work();
    void setCalcProgramRunning(bool running);
    // The stored program's compiled ops and the index after the label, or false.
    bool programWithLabel(const std::string& label, const std::string& inProgram, std::shared_ptr<Ops>& ops,
                          int& ip);
    bool cancelled(RunId run) const { return run != 0 && run <= cancelledThrough_.load(); }
    // Requests may wait in the interrupt queue: a running program looks there only then,
    // instead of taking the mutex between every two statements.
    bool interruptsQueued() const { return interruptsQueued_.load(std::memory_order_relaxed); }
    // With mutex_ held and the interrupt queue found empty.
    void interruptsTaken() { interruptsQueued_.store(false, std::memory_order_relaxed); }
    // With mutex_ held.
    void startLabel();
    void queueInterrupt(AnimateSubroutine sub);
    // Cancels every run submitted so far; with owesBreak the first of them to end reports
    // error 43. A hand-over in progress is given up.
    void cancelSubmitted(bool owesBreak);
    void cancelHandOver();
    // The worker's run has ended (its report not posted yet).
    void runEnded();
    // Posts a report of the run to the main thread, where it is dropped once stale.
    void postReport(RunId run, std::function<void()> report);
    // The reports of a run: the calculator is marked idle only by the last run submitted
    // (run 0: a report made on the main thread with nothing queued).
    // The program's name is the one the run stood in when the report was made (a later
    // run may have changed the current one by the time it arrives).
    void reportDone(RunId run, Operand result, int pc, bool pending, const std::string& program);
    // A step's error (0 for none) is left in the main context for the debugger to show.
    void reportStepPC(RunId run, int pc, const std::string& program, int error = 0, int errorAt = 0);
    // No run is queued or executing.
    bool idle();
    void started(bool program, const std::string& name = {})
    {
        if (startedHandler_)
            startedHandler_(program, name);
    }
    // On the worker, as the run last submitted ends: the main thread hears of it behind
    // that run's reports, unless a run was queued meanwhile.
    void postDrained(RunId last);

    Parser& p_;
    MainQueue* mainQueue_ = nullptr;
    ResultHandler resultHandler_;
    std::function<void(const std::string&)> pasteboard_;

    std::atomic<int> programQueueCount_{0};
    std::atomic<bool> freshOutput_{false};
    std::atomic<bool> programRunning_{false};
    // The last run submitted; runs up to cancelledThrough_ are cancelled, reports of runs up
    // to supersededThrough_ are dropped. breakOwed_: a stop's error 43 still to be
    // reported by the first cancelled run to end.
    std::atomic<RunId> submitted_{0};
    std::atomic<RunId> cancelledThrough_{0};
    std::atomic<RunId> supersededThrough_{0};
    std::atomic<bool> breakOwed_{false};
    // The run executing (0: none); set with the task queue's mutex.
    std::atomic<RunId> executing_{0};
    std::uint64_t stepLimit_ = 0;
    // The executing run's steps so far (worker only).
    std::uint64_t runSteps_ = 0;

    // Guards everything below that the main thread also touches.
    mutable LeafMutex mutex_;
    std::vector<RunObject> prgmStack_;
    VQStack promptStack_;
    std::shared_ptr<VQMenu> menuDisplay_;
    // Where the run stood when its menu was shown, for an error about the menu's labels.
    int menuNextToken_ = 0;
    std::vector<AnimateSubroutine> interruptQueue_;
    // Set with interruptQueue_ appended to, cleared by the run that finds it empty.
    std::atomic<bool> interruptsQueued_{false};
    std::string currentProgramName_;
    // The drawing batch queued on the main thread that later drawing may still join.
    LeafMutex batchMutex_;
    std::shared_ptr<std::vector<std::function<void()>>> openBatch_;
    // Any other work queued after a batch closes it, to keep the order of the two.
    void closeBatch();
    // The hand-over the worker waits in; closing_ refuses new ones.
    std::shared_ptr<Hop> hop_;
    bool closing_ = false;

    EvalContext runContext_;
    StatementInterpreter interpreter_;
    std::shared_ptr<Life> life_;

    // The worker and its task queue.
    std::mutex tasksMutex_;
    std::condition_variable tasksReady_;
    std::deque<Run> tasks_;
    std::function<void()> idleHandler_;
    std::function<void()> leftoverHook_;
    std::function<void(bool program, const std::string& name)> startedHandler_;
    std::function<void()> stoppedHandler_;
    std::function<void()> drainedHandler_;
    bool stopping_ = false;
    std::thread worker_;
    std::atomic<std::thread::id> workerId_{};
};

} // namespace orvenda
