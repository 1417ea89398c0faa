#include "eval/ProgramQueue.h"

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/services/ProgramManager.h"
#include "core/services/ProgramOutputManager.h"
#include "core/services/ViewControlDelegate.h"
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

ProgramQueue::ProgramQueue(Parser& parser)
    : p_(parser), promptStack_(&parser.calc), runContext_(&parser.calc), interpreter_(parser, *this)
{
}

ProgramQueue::~ProgramQueue()
{
    {
        std::lock_guard lock(tasksMutex_);
        stopping_ = true;
        tasks_.clear();
    }
    cancelProgram_ = true;
    tasksReady_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

// ---- The worker ----

void ProgramQueue::ensureWorker()
{
    std::lock_guard lock(tasksMutex_);
    if (!worker_.joinable())
        worker_ = std::thread([this] { work(); });
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
        }
        interpreter_.runProgramOps(std::move(run.ops), run.name, run.singleStep, run.start, run.interrupt,
                                   run.report);
        submitLeftovers();
        --programQueueCount_;
    }
}

void ProgramQueue::submitLeftovers()
{
    // A press or drag that came while the run executed but that the run did not take
    // (it had passed its last statement, or it was itself a subroutine that ended without
    // Return) would be dropped when the next run starts: it gets a run of its own.
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
        submit({std::make_shared<Ops>(std::move(*ops)), sub.prgmName(), false, sub.ip(), sub.varNum() >= 0, false});
    }
}

void ProgramQueue::submit(Run run)
{
    ensureWorker();
    ++programQueueCount_;
    {
        std::lock_guard lock(tasksMutex_);
        tasks_.push_back(std::move(run));
    }
    tasksReady_.notify_one();
}

void ProgramQueue::prepare()
{
    Calculator& calc = p_.calc;
    calc.lastKey.exchange(0);
    setCalcProgramRunning(true);
    calc.menuRunning = false;
    calc.pauseRunning = false;
    ensureWorker();
}

void ProgramQueue::setCalcProgramRunning(bool running)
{
    // Only the screens are told: the calculator's own flag means that a called program
    // shows its output, which the program call sets and result handling clears.
    p_.calc.reportProgramRunning(running);
}

// ---- Starters ----

void ProgramQueue::startProgramThread(Ops ops)
{
    prepare();
    submit({std::make_shared<Ops>(std::move(ops)), "none", false, -1, false, true});
}

void ProgramQueue::runProgramThread(Ops ops, const std::string& name, bool singleStep, int startIP)
{
    prepare();
    submit({std::make_shared<Ops>(std::move(ops)), name, singleStep, startIP, false, true});
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
    prepare();
    submit({std::make_shared<Ops>(std::move(ops)), name, true, start, false, true});
    return true;
}

bool ProgramQueue::resumeProgramThread()
{
    ensureWorker();
    if (frameCount() == 0)
        return false;
    submit({nullptr, "", false, 0, false, true});
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
    submit({nullptr, "", false, 0, false, true});
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
    std::shared_ptr<Ops> ops;
    int ip = 0;
    if (!programWithLabel(label, inProgram, ops, ip))
        return false;
    if (programRunning_) {
        std::lock_guard lock(mutex_);
        interruptQueue_.emplace_back(inProgram, ip, -1, 0);
        return true;
    }
    submit({std::move(ops), inProgram, false, ip, false, false});
    return true;
}

bool ProgramQueue::animateSlider(const std::string& label, const std::string& inProgram, int varNum, double value)
{
    std::shared_ptr<Ops> ops;
    int ip = 0;
    if (!programWithLabel(label, inProgram, ops, ip))
        return false;
    {
        std::lock_guard lock(mutex_);
        interruptQueue_.emplace_back(inProgram, ip, varNum, static_cast<int>(std::trunc(value)));
    }
    if (!programRunning_ && programQueueCount_ < 2)
        submit({std::move(ops), inProgram, false, ip, true, false});
    return true;
}

// ---- Stopping ----

bool ProgramQueue::stopProgramThread()
{
    if (programRunning_) {
        cancelProgram_ = true;
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
    p_.ctx().error = ErrBreak;
    record.kind = KindQuestion;
    record.location = ip;
    record.error = ErrBreak;
    p_.calc.menuRunning = false;
    p_.calc.pauseRunning = false;
    reportDone(std::move(record), ip, false);
    return true;
}

void ProgramQueue::cleanUp()
{
    cancelProgram_ = true;
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

void ProgramQueue::onMain(std::function<void()> work)
{
    if (mainQueue_)
        mainQueue_->post(std::move(work));
    else
        work();
}

void ProgramQueue::onMainSync(std::function<void()> work)
{
    if (mainQueue_)
        mainQueue_->postSync(std::move(work));
    else
        work();
}

void ProgramQueue::reportDone(Operand result, int pc, bool pending)
{
    Calculator& calc = p_.calc;
    copyName(calc.lastPrgmName, result.name);
    calc.reportingDone = true;
    if (resultHandler_)
        resultHandler_(result);
    setCalcProgramRunning(false);
    if (!pending) {
        if (calc.prgmManager)
            calc.prgmManager->setPrgmCursor(pc, currentProgramName());
        calc.notificationCenter().post(VQProgramEnded, &p_);
    }
    calc.reportingDone = false;
}

void ProgramQueue::reportStepPC(int pc)
{
    setCalcProgramRunning(false);
    if (p_.calc.prgmManager)
        p_.calc.prgmManager->showStepPC(pc, currentProgramName());
}

void ProgramQueue::pauseProgram(const std::string& name)
{
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
