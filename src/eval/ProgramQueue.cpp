#include "eval/ProgramQueue.h"

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/services/EntryManager.h"
#include "core/services/ProgramManager.h"
#include "core/services/ProgramOutputManager.h"
#include "core/services/ViewControlDelegate.h"
#include "core/RandomSource.h"
#include "eval/ArgumentFetcher.h"
#include "eval/MainQueue.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"

#include <cmath>
#include <utility>

namespace orvenda {

namespace {

// The code points of a UTF-8 text, at most as many as the name holds.
void copyName(const std::string& text, Operand::Name& out)
{
    out.clear();
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size() && n < out.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        char32_t cp = b;
        int extra = 0;
        if (b >= 0xF0) {
            cp = b & 0x07;
            extra = 3;
        } else if (b >= 0xE0) {
            cp = b & 0x0F;
            extra = 2;
        } else if (b >= 0xC0) {
            cp = b & 0x1F;
            extra = 1;
        }
        ++i;
        for (int k = 0; k < extra && i < text.size(); ++k, ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        out[n++] = cp;
    }
}

} // namespace

// Tells work queued on the main thread whether the queue still exists.
struct ProgramQueue::Life {
    std::atomic<bool> alive{true};
};

// One synchronous hand-over: done on the main thread, or given up.
struct ProgramQueue::Hop {
    enum State { Waiting, Done, GivenUp };

    void finish(State outcome)
    {
        {
            std::lock_guard lock(mutex);
            if (state == Waiting)
                state = outcome;
        }
        changed.notify_all();
    }

    std::mutex mutex;
    std::condition_variable changed;
    State state = Waiting;
};

ProgramQueue::ProgramQueue(Parser& parser)
    : p_(parser),
      promptStack_(&parser.calc),
      runContext_(&parser.calc),
      interpreter_(parser, *this),
      life_(std::make_shared<Life>())
{
}

ProgramQueue::~ProgramQueue()
{
    life_->alive = false;
    {
        std::lock_guard lock(tasksMutex_);
        stopping_ = true;
        tasks_.clear();
    }
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    cancelSubmitted(false);
    tasksReady_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

// ---- The worker ----

void ProgramQueue::ensureWorker()
{
    std::lock_guard lock(tasksMutex_);
    if (!worker_.joinable()) {
        worker_ = std::thread([this] { work(); });
        workerId_ = worker_.get_id();
    }
}

void ProgramQueue::work()
{
    EvalContext::Binding binding(p_, runContext_);
    for (;;) {
        Run run;
        {
            std::unique_lock lock(tasksMutex_);
            tasksReady_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (stopping_)
                return;
            run = std::move(tasks_.front());
            tasks_.pop_front();
            // A stop's error 43 is reported once, by the first run it cancelled; the other
            // cancelled runs, and those a clean-up cancelled, are dropped unrun.
            const bool dropped = cancelled(run.id)
                                 && (run.id <= supersededThrough_.load() || !breakOwed_.exchange(false));
            executing_ = dropped ? 0 : run.id;
        }
        if (executing_ != 0) {
            runSteps_ = 0;
            RandomSource::RunEngine random;
            interpreter_.runProgramOps(run);
            if (!cancelled(run.id))
                submitLeftovers(run.id);
        }
        // Told before the count drops, so whoever waits for an idle queue with nothing
        // pending on the main thread also waits for this. Only the worker lowers the count:
        // a run queued meanwhile makes the notice stale, which it then sees.
        if (programQueueCount_.load() == 1)
            postDrained(submitted_.load());
        std::lock_guard lock(tasksMutex_);
        if (--programQueueCount_ == 0 && idleHandler_)
            idleHandler_();
    }
}

void ProgramQueue::postDrained(RunId last)
{
    if (!mainQueue_)
        return;
    post([this, last] {
        if (drainedHandler_ && submitted_.load() == last)
            drainedHandler_();
    });
}

void ProgramQueue::setIdleHandler(std::function<void()> handler)
{
    std::lock_guard lock(tasksMutex_);
    idleHandler_ = std::move(handler);
}

void ProgramQueue::runEnded()
{
    {
        std::lock_guard lock(tasksMutex_);
        executing_ = 0;
    }
    // With the interrupt queue's lock: a press either joins the queue before the run's
    // leftovers are taken from it, or finds no run and starts its own.
    std::lock_guard lock(mutex_);
    programRunning_ = false;
}

bool ProgramQueue::idle()
{
    std::lock_guard lock(tasksMutex_);
    return executing_ == 0 && tasks_.empty();
}

void ProgramQueue::spendSteps(std::uint64_t steps)
{
    runSteps_ += steps;
    if (runSteps_ > stepLimit_ && !cancelProgram())
        cancelSubmitted(true);
}

void ProgramQueue::submitLeftovers(RunId after)
{
    // A press or drag that came while the run executed but that the run did not take
    // (it had passed its last statement, or it was itself a subroutine that ended without
    // Return) gets a run of its own.
    std::vector<AnimateSubroutine> left;
    {
        std::lock_guard lock(mutex_);
        left.swap(interruptQueue_);
    }
    for (const AnimateSubroutine& sub : left) {
        if (sub.varNum() >= 0) {
            const VariableRecord v = p_.calc.getVar(sub.varNum());
            if (v.value.real() != sub.value() || v.value.imag() != 0)
                continue;
        }
        const auto& programs = p_.calc.prgmManager;
        std::optional<Ops> ops = programs ? programs->opsFor(sub.prgmName()) : std::nullopt;
        if (!ops || sub.ip() < 0)
            continue;
        Run leftover;
        leftover.ops = std::make_shared<Ops>(std::move(*ops));
        leftover.name = sub.prgmName();
        leftover.start = sub.ip();
        leftover.interrupt = sub.varNum() >= 0;
        leftover.report = false;
        leftover.widget = true;
        if (leftoverHook_)
            leftoverHook_();
        submit(std::move(leftover), after);
    }
}

void ProgramQueue::submit(Run run, RunId unlessCancelled)
{
    ensureWorker();
    {
        std::lock_guard lock(tasksMutex_);
        // Checked with the lock a stop cancels under: a stop is either before the check
        // or after the run is queued, where it cancels it.
        if (cancelled(unlessCancelled))
            return;
        ++programQueueCount_;
        run.id = ++submitted_;
        tasks_.push_back(std::move(run));
    }
    tasksReady_.notify_one();
}

void ProgramQueue::prepare(bool keepKey)
{
    Calculator& calc = p_.calc;
    if (!keepKey)
        calc.lastKey.exchange(0);
    // Cleared before the screens hear of the run: a pause's overlay goes with its pause.
    calc.menuRunning = false;
    calc.pauseRunning = false;
    setCalcProgramRunning(true);
    ensureWorker();
}

void ProgramQueue::setCalcProgramRunning(bool running)
{
    // Only the screens are told: the calculator's own flag means that a called program
    // shows its output, which the program call sets and result handling clears.
    p_.calc.reportProgramRunning(running);
}

// ---- Starters ----

namespace {

StatementInterpreter::Run entryRun(std::vector<std::uint32_t> ops, std::string name, bool step, int start)
{
    StatementInterpreter::Run run;
    run.ops = std::make_shared<std::vector<std::uint32_t>>(std::move(ops));
    run.name = std::move(name);
    run.singleStep = step;
    run.start = start;
    return run;
}

} // namespace

void ProgramQueue::startProgramThread(Ops ops)
{
    // An answer, Pause's ENTER or a menu's pick goes on with the program waiting.
    const bool continues = frameCount() > 0;
    if (!continues)
        freshOutput_.store(false, std::memory_order_relaxed);
    prepare();
    submit(entryRun(std::move(ops), "none", false, -1));
    started(continues);
}

void ProgramQueue::runProgramThread(Ops ops, const std::string& name, bool singleStep, int startIP)
{
    freshOutput_.store(false, std::memory_order_relaxed);
    prepare();
    submit(entryRun(std::move(ops), name, singleStep, startIP));
    started(true, name);
}

bool ProgramQueue::stepProgramThread(Ops ops, const std::string& name, int start)
{
    // A refused step must not tell the screens that a program runs: nothing would tell
    // them it stopped.
    if (programQueueCount_ != 0) {
        p_.calc.lastKey.exchange(0);
        ensureWorker();
        return false;
    }
    // A key pressed between steps is the one a getKey the step runs reads.
    prepare(true);
    submit(entryRun(std::move(ops), name, true, start));
    started(true, name);
    return true;
}

bool ProgramQueue::resumeProgramThread()
{
    ensureWorker();
    if (frameCount() == 0)
        return false;
    submit(Run{});
    started(true);
    return true;
}

bool ProgramQueue::resumeFromDrawing()
{
    ensureWorker();
    {
        std::lock_guard lock(mutex_);
        if (prgmStack_.empty() || prgmStack_.back()._breakType() != RunObject::BreakDrawing)
            return false;
    }
    submit(Run{});
    started(true);
    return true;
}

bool ProgramQueue::programWithLabel(const std::string& label, const std::string& inProgram,
                                    std::shared_ptr<Ops>& ops, int& ip)
{
    const auto& programs = p_.calc.prgmManager;
    std::optional<Ops> stored = programs ? programs->opsFor(inProgram) : std::nullopt;
    if (!stored)
        return false;
    ip = interpreter_.findLabel(label, *stored);
    if (ip < 0)
        return false;
    ops = std::make_shared<Ops>(std::move(*stored));
    return true;
}

bool ProgramQueue::runSubroutine(const std::string& label, const std::string& inProgram)
{
    if (programQueueCount_ >= 3)
        return false;
    Run run;
    if (!programWithLabel(label, inProgram, run.ops, run.start))
        return false;
    {
        std::lock_guard lock(mutex_);
        if (programRunning_) {
            queueInterrupt({inProgram, run.start, -1, 0});
            return true;
        }
    }
    run.name = inProgram;
    run.report = false;
    run.widget = true;
    startLabel();
    submit(std::move(run));
    started(true, inProgram);
    return true;
}

bool ProgramQueue::animateSlider(const std::string& label, const std::string& inProgram, int varNum, double value)
{
    Run run;
    if (!programWithLabel(label, inProgram, run.ops, run.start))
        return false;
    {
        std::lock_guard lock(mutex_);
        if (programRunning_ || programQueueCount_ >= 2) {
            queueInterrupt({inProgram, run.start, varNum, value});
            return true;
        }
    }
    run.name = inProgram;
    run.interrupt = true;
    run.report = false;
    run.widget = true;
    startLabel();
    submit(std::move(run));
    started(true, inProgram);
    return true;
}

void ProgramQueue::startLabel()
{
    // A label's run with no program waiting under it writes on a clear output, as a program
    // called from the entry line does, also when it first writes after a pause: what is
    // left there is an earlier run's. Cleared as it first writes, not now: the graph stays.
    freshOutput_.store(frameCount() == 0, std::memory_order_relaxed);
}

void ProgramQueue::queueInterrupt(AnimateSubroutine sub)
{
    interruptQueue_.push_back(std::move(sub));
    interruptsQueued_.store(true, std::memory_order_relaxed);
}

// ---- Stopping ----

void ProgramQueue::cancelSubmitted(bool owesBreak)
{
    {
        std::lock_guard lock(tasksMutex_);
        // Owed before the runs read as cancelled, so the worker never drops them all.
        breakOwed_ = owesBreak;
        cancelledThrough_ = submitted_.load();
    }
    cancelHandOver();
}

void ProgramQueue::cancelHandOver()
{
    std::shared_ptr<Hop> hop;
    {
        std::lock_guard lock(mutex_);
        hop = hop_;
    }
    if (hop)
        hop->finish(Hop::GivenUp);
}

bool ProgramQueue::stopProgramThread()
{
    if (!idle()) {
        if (stoppedHandler_)
            stoppedHandler_();
        cancelSubmitted(true);
        setCalcProgramRunning(false);
        return true;
    }
    Operand record;
    int ip = 0;
    {
        std::lock_guard lock(mutex_);
        if (prgmStack_.empty())
            return false;
        const RunObject& top = prgmStack_.back();
        currentProgramName_ = top._name();
        ip = top._ip();
        prgmStack_.clear();
        interruptQueue_.clear();
        promptStack_.clear();
        menuDisplay_.reset();
    }
    if (stoppedHandler_)
        stoppedHandler_();
    // What the program reported before it was stopped is stale now.
    cancelSubmitted(false);
    supersededThrough_ = submitted_.load();
    record.kind = KindQuestion;
    record.location = ip;
    record.error = ErrBreak;
    p_.calc.menuRunning = false;
    p_.calc.pauseRunning = false;
    reportDone(0, std::move(record), ip, false, currentProgramName());
    return true;
}

bool ProgramQueue::breakStopped(const std::string& name, int ip)
{
    if (stopProgramThread())
        return true;
    if (!idle())
        return false;
    // A program that stands between statements (at a breakpoint, after a step) holds no
    // frame: it ends with the break a waiting one would.
    if (stoppedHandler_)
        stoppedHandler_();
    setCurrentProgramName(name);
    Operand record;
    record.kind = KindQuestion;
    record.location = ip;
    record.error = ErrBreak;
    reportDone(0, std::move(record), ip, false, name);
    return true;
}

void ProgramQueue::cleanUp()
{
    cancelSubmitted(false);
    supersededThrough_ = submitted_.load();
    if (p_.calc.prgmOutputMgr)
        p_.calc.prgmOutputMgr->clearHome();
    {
        std::lock_guard lock(mutex_);
        prgmStack_.clear();
        interruptQueue_.clear();
        promptStack_.clear();
        menuDisplay_.reset();
    }
    p_.calc.menuRunning = false;
    p_.calc.programRunning = false;
    setCalcProgramRunning(false);
}

void ProgramQueue::failWaiting(int error, bool atMenu)
{
    cancelSubmitted(false);
    Operand record;
    std::string program;
    int location = 0;
    {
        std::lock_guard lock(mutex_);
        if (!prgmStack_.empty()) {
            currentProgramName_ = prgmStack_.back()._name();
            location = prgmStack_.back()._ip();
        }
        program = currentProgramName_;
        if (atMenu)
            location = menuNextToken_;
        prgmStack_.clear();
        interruptQueue_.clear();
        promptStack_.clear();
        menuDisplay_.reset();
    }
    p_.calc.menuRunning = false;
    // Cleared once nothing is asked any more, so the output keeps the answer as typed.
    if (p_.calc.entryManager)
        p_.calc.entryManager->clear();
    record.kind = KindError;
    record.error = error;
    record.location = location;
    reportDone(0, std::move(record), location, false, program);
}

// ---- Waiting programs ----

bool ProgramQueue::takeWaiting(WaitingProgram& into)
{
    if (!idle())
        return false;
    std::lock_guard lock(mutex_);
    into.frames = std::move(prgmStack_);
    prgmStack_.clear();
    into.prompts = std::move(promptStack_);
    promptStack_ = VQStack(&p_.calc);
    into.menu = std::move(menuDisplay_);
    return !into.empty();
}

bool ProgramQueue::leaveWaiting(WaitingProgram program)
{
    if (!idle())
        return false;
    std::lock_guard lock(mutex_);
    for (RunObject& frame : program.frames)
        prgmStack_.push_back(std::move(frame));
    if (program.prompts.count() > 0)
        promptStack_ = std::move(program.prompts);
    if (program.menu)
        menuDisplay_ = std::move(program.menu);
    return true;
}

// ---- State ----

std::string ProgramQueue::currentProgramName() const
{
    std::lock_guard lock(mutex_);
    return currentProgramName_;
}

void ProgramQueue::setCurrentProgramName(std::string name)
{
    std::lock_guard lock(mutex_);
    currentProgramName_ = std::move(name);
}

std::shared_ptr<VQMenu> ProgramQueue::menuDisplay() const
{
    std::lock_guard lock(mutex_);
    return menuDisplay_;
}

void ProgramQueue::setMenuDisplay(std::shared_ptr<VQMenu> menu)
{
    std::lock_guard lock(mutex_);
    menuDisplay_ = std::move(menu);
}

VQStack ProgramQueue::promptStack() const
{
    std::lock_guard lock(mutex_);
    return promptStack_;
}

bool ProgramQueue::prompting() const
{
    std::lock_guard lock(mutex_);
    return promptStack_.count() > 0;
}

void ProgramQueue::setPromptStack(const VQStack& stack)
{
    std::lock_guard lock(mutex_);
    promptStack_ = stack;
}

std::vector<AnimateSubroutine> ProgramQueue::interruptQueue() const
{
    std::lock_guard lock(mutex_);
    return interruptQueue_;
}

int ProgramQueue::frameCount() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(prgmStack_.size());
}

std::vector<RunObject> ProgramQueue::frames() const
{
    std::lock_guard lock(mutex_);
    return prgmStack_;
}

void ProgramQueue::popProgramStack()
{
    std::lock_guard lock(mutex_);
    if (!prgmStack_.empty())
        prgmStack_.pop_back();
}

void ProgramQueue::pushFrame(RunObject frame)
{
    std::lock_guard lock(mutex_);
    prgmStack_.push_back(std::move(frame));
}

std::optional<RunObject> ProgramQueue::popFrame()
{
    std::lock_guard lock(mutex_);
    if (prgmStack_.empty())
        return std::nullopt;
    RunObject top = std::move(prgmStack_.back());
    prgmStack_.pop_back();
    return top;
}

std::optional<Operand> ProgramQueue::popPrompt()
{
    std::lock_guard lock(mutex_);
    return promptStack_.pop();
}

void ProgramQueue::clearFrames()
{
    std::lock_guard lock(mutex_);
    prgmStack_.clear();
    interruptQueue_.clear();
}

void ProgramQueue::clearLineCache()
{
    if (EvalContext::bound(p_) == &runContext_)
        interpreter_.clearLineCache();
}

// ---- Hand-overs ----

void ProgramQueue::closeBatch()
{
    const std::lock_guard lock(batchMutex_);
    openBatch_.reset();
}

void ProgramQueue::postBatched(std::function<void()> work)
{
    if (!mainQueue_) {
        work();
        return;
    }
    std::shared_ptr<std::vector<std::function<void()>>> batch;
    {
        const std::lock_guard lock(batchMutex_);
        if (openBatch_) {
            openBatch_->push_back(std::move(work));
            return;
        }
        batch = openBatch_ = std::make_shared<std::vector<std::function<void()>>>();
        batch->push_back(std::move(work));
    }
    mainQueue_->post([this, life = life_, batch] {
        if (!life->alive)
            return;
        std::vector<std::function<void()>> works;
        {
            const std::lock_guard lock(batchMutex_);
            if (openBatch_ == batch)
                openBatch_.reset();
            works.swap(*batch);
        }
        p_.calc.deferGraphShows();
        for (const auto& w : works)
            w();
        p_.calc.showDeferredGraph();
    });
}

void ProgramQueue::post(std::function<void()> work)
{
    if (!mainQueue_) {
        work();
        return;
    }
    closeBatch();
    mainQueue_->post([life = life_, work = std::move(work)] {
        if (life->alive)
            work();
    });
}

void ProgramQueue::postReport(RunId run, std::function<void()> report)
{
    post([this, run, report = std::move(report)] {
        if (run > supersededThrough_.load())
            report();
    });
}

bool ProgramQueue::handOver(RunId run, std::function<void()> work)
{
    if (!mainQueue_) {
        if (cancelled(run))
            return false;
        work();
        return true;
    }
    auto hop = std::make_shared<Hop>();
    {
        std::lock_guard lock(mutex_);
        if (closing_ || cancelled(run))
            return false;
        hop_ = hop;
    }
    closeBatch();
    mainQueue_->post([this, life = life_, hop, run, work = std::move(work)] {
        // A queue that is gone gave the hand-over up before it went.
        if (!life->alive)
            return;
        {
            std::lock_guard lock(hop->mutex);
            if (hop->state != Hop::Waiting)
                return;
        }
        if (cancelled(run)) {
            hop->finish(Hop::GivenUp);
            return;
        }
        work();
        hop->finish(Hop::Done);
    });
    {
        std::unique_lock lock(hop->mutex);
        hop->changed.wait(lock, [&] { return hop->state != Hop::Waiting; });
    }
    std::lock_guard lock(mutex_);
    if (hop_ == hop)
        hop_.reset();
    return hop->state == Hop::Done;
}

void ProgramQueue::reportDone(Operand result, int pc, bool pending)
{
    reportDone(0, std::move(result), pc, pending, currentProgramName());
}

void ProgramQueue::reportDone(RunId run, Operand result, int pc, bool pending, const std::string& program)
{
    Calculator& calc = p_.calc;
    copyName(calc.lastPrgmName, result.name);
    calc.reportingDone = true;
    if (resultHandler_)
        resultHandler_(result);
    // A run submitted since is under way: the screens still show a program running.
    if (run == 0 || run == submitted_.load())
        setCalcProgramRunning(false);
    if (!pending) {
        if (calc.prgmManager)
            calc.prgmManager->setPrgmCursor(pc, program);
        calc.notificationCenter().post(VQProgramEnded, &p_);
    }
    calc.reportingDone = false;
}

void ProgramQueue::reportStepPC(int pc)
{
    reportStepPC(0, pc, currentProgramName());
}

void ProgramQueue::reportStepPC(RunId run, int pc, const std::string& program, int error, int errorAt)
{
    if (run == 0 || run == submitted_.load())
        setCalcProgramRunning(false);
    if (error != 0) {
        p_.mainContext().error = error;
        p_.mainContext().errorToken = errorAt;
    }
    if (p_.calc.prgmManager)
        p_.calc.prgmManager->showStepPC(pc, program);
}

void ProgramQueue::pauseProgram(const std::string& name)
{
    // The keys go to the pause (ENTER goes on) as they do on the output screen.
    p_.calc.pauseRunning = true;
    // The line that called the program is spent, as at a pause on the output: kept, it
    // would come back on the home line of a launch after the app was ended meanwhile.
    if (p_.calc.entryManager)
        p_.calc.entryManager->clear();
    if (p_.calc.viewDelegate)
        p_.calc.viewDelegate->VCShowError({{"errorNum", int{ErrPause}}, {"programName", name}});
}

void ProgramQueue::displayResult(const Operand& value)
{
    if (p_.calc.prgmOutputMgr)
        p_.calc.prgmOutputMgr->displayOp(value);
}

void ProgramQueue::reportIO(const Operand& result)
{
    if (resultHandler_)
        resultHandler_(result);
}

void ProgramQueue::startProgram(const std::string& name)
{
    if (p_.calc.prgmOutputMgr)
        p_.calc.prgmOutputMgr->startProgram(name);
}

void ProgramQueue::showError(int number, const std::string& programName, std::optional<int> tokenLocation)
{
    if (!p_.calc.viewDelegate)
        return;
    nlohmann::json error{{"errorNum", number}, {"programName", programName}};
    if (tokenLocation)
        error["tokenLocation"] = *tokenLocation;
    p_.calc.viewDelegate->VCShowError(error);
}

} // namespace orvenda
