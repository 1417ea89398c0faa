#include "eval/StatementInterpreter.h"

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/services/ProgramManager.h"
#include "core/services/ProgramOutputManager.h"
#include "eval/MenuObject.h"
#include "eval/Parser.h"
#include "eval/ProgramObject.h"
#include "eval/ProgramQueue.h"
#include "eval/ProgramTokens.h"
#include "language/ErrorNumbers.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace orvenda {

using namespace ProgramTokens;

namespace {

constexpr int kMaxFrames = 1000;
constexpr int kGraphScreen = 8;

constexpr int kKeyUp = 1035;
constexpr int kKeyDown = 1036;
constexpr int kKeyCopy = 1040;
constexpr int kKeyEnter = 1065;
constexpr int kKeyStop = 4123;

// The values a finished program shows as its answer.
bool showsValueAtEnd(int kind) { return (kind >= 1 && kind <= 5) || (kind >= 9 && kind <= 30); }

// The kinds a finished run shows as they are; anything else is not shown.
bool keepsKindAtEnd(int kind)
{
    return showsValueAtEnd(kind) || kind == KindInputRequest || kind == KindPrompt || kind == KindMenu
           || kind == KindPause || kind == KindError;
}

bool isListName(std::uint32_t t)
{
    return t == kOpenBrace || t == kListName || (t >= 0x5D00 && t <= 0x5D05);
}

// Stores an answer typed at a prompt into its variable. Uses the parser's store when it
// has one; else the common targets are written directly.
template <class P>
void storeAnswer(P& p, Calculator& calc, const Operand& value, const Operand& target)
{
    if constexpr (requires { p.store(value, target); }) {
        p.store(value, target);
    } else {
        const VarRef& v = target.var;
        switch (v.subKind) {
        case VarReal:
            if (value.kind == KindReal || value.kind == KindComplex)
                calc.setVar(v.index, {value.value, static_cast<std::int8_t>(value.sigFig),
                                      static_cast<std::int8_t>(value.sigDec)});
            else
                p.ctx().error = ErrDataType;
            break;
        case VarString:
            if (value.kind == KindString && value.string && v.index >= 0xAA00 && v.index <= 0xAA09) {
                if (!calc.storeString(static_cast<std::size_t>(v.index - 0xAA00), *value.string))
                    p.ctx().error = ErrMemory;
            } else
                p.ctx().error = ErrDataType;
            break;
        case VarList:
            if ((value.kind == KindRealList || value.kind == KindComplexList) && value.list) {
                if (!calc.storeList(v.name, *value.list))
                    p.ctx().error = ErrMemory;
            } else
                p.ctx().error = ErrDataType;
            break;
        default:
            p.ctx().error = ErrDataType;
            break;
        }
    }
}

} // namespace

void StatementInterpreter::storeAnswer(Parser& parser, const Operand& value, const Operand& target)
{
    orvenda::storeAnswer(parser, parser.calc, value, target);
}

unsigned StatementInterpreter::packLabel(const std::string& label)
{
    unsigned code = 0;
    // Labels are one or two characters; every byte of a multi-byte character is one
    // character that is neither a letter nor a digit.
    for (std::size_t i = 0; i < label.size();) {
        const auto b = static_cast<unsigned char>(label[i]);
        std::size_t width = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
        unsigned c = 0x5B;  // θ
        if (width == 1 && ((b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9')))
            c = b;
        code = code == 0 ? c : (code << 16) | c;
        i += width;
    }
    return code;
}

int StatementInterpreter::findLabel(const std::string& label, const Ops& inOps)
{
    const unsigned wanted = packLabel(label);
    // Reading labels must not disturb the caller's error or read position.
    EvalContext scratch(&p_.calc);
    EvalContext::Binding binding(p_, scratch);
    const int n = static_cast<int>(inOps.size());
    for (int i = 0; i < n; ++i) {
        if (token(inOps[static_cast<std::size_t>(i)]) != kLbl)
            continue;
        int j = i + 1;
        scratch.error = 0;
        const unsigned found = p_.getLabel(inOps, j);
        if (scratch.error == 0 && found == wanted)
            return j;
    }
    return -1;
}

int StatementInterpreter::jumpToLabel(unsigned label, bool stepping)
{
    int lblIndex = -1;
    {
        std::lock_guard lock(q_.mutex_);
        if (q_.prgmStack_.empty())
            return -1;
        RunObject& top = q_.prgmStack_.back();
        const auto& ops = top._ops();
        if (!ops)
            return -1;
        EvalContext scratch(&p_.calc);
        EvalContext::Binding binding(p_, scratch);
        const int n = static_cast<int>(ops->size());
        for (int i = 0; i < n; ++i) {
            if (token((*ops)[static_cast<std::size_t>(i)]) != kLbl)
                continue;
            int j = i + 1;
            scratch.error = 0;
            if (p_.getLabel(*ops, j) == label && scratch.error == 0) {
                top.set_ip(j);
                lblIndex = i;
                break;
            }
        }
    }
    if (lblIndex >= 0 && !stepping)
        q_.startProgramThread({kNewLine});
    return lblIndex;
}

void StatementInterpreter::menuKey(int key)
{
    Calculator& calc = p_.calc;
    std::shared_ptr<VQMenu> menu = q_.menuDisplay();
    int choice = -1;
    if (menu) {
        const int items = static_cast<int>(menu->prompts.size());
        if (key == kKeyUp || key == kKeyDown) {
            if (key == kKeyUp && menu->currentSelection > 0)
                --menu->currentSelection;
            if (key == kKeyDown && menu->currentSelection < items - 1)
                ++menu->currentSelection;
            if (calc.prgmOutputMgr)
                calc.prgmOutputMgr->setCursorPosition({0, menu->currentSelection + 1});
            return;
        }
        if (key >= 49 && key <= 55 && key - 49 < items)
            choice = key - 49;
        else if (key == kKeyEnter)
            choice = menu->currentSelection;
        if (choice < 0)
            return;
    }
    if (menu && choice >= 0 && choice < static_cast<int>(menu->labels.size())) {
        if (calc.prgmOutputMgr)
            calc.prgmOutputMgr->clearMenu();
        const bool stepping = menu->singleStepping;
        // The menu goes before the jump starts the run: the program may reach its next
        // Menu( at once, and that menu must stay.
        q_.setMenuDisplay(nullptr);
        calc.menuRunning = false;
        const int at = jumpToLabel(static_cast<unsigned>(menu->labels[static_cast<std::size_t>(choice)]), stepping);
        if (at >= 0) {
            if (stepping) {
                q_.popProgramStack();
                q_.reportStepPC(at);
            }
            return;
        }
    }
    // A missing label, or a key with no menu shown, ends the program as its error.
    q_.failWaiting(ErrLabelNotFound, true);
}

void StatementInterpreter::pauseKey(int key)
{
    if (key == kKeyCopy) {
        if (q_.pasteboard_ && p_.calc.prgmOutputMgr)
            q_.pasteboard_(p_.calc.prgmOutputMgr->screenShot());
    } else if (key == kKeyStop) {
        q_.stopProgramThread();
    } else if (key == kKeyEnter) {
        q_.startProgramThread({kNewLine});
    }
}

// ---- The line cache ----

StatementInterpreter::CachedLine* StatementInterpreter::parseLine(Ops* ops, int at, bool fast)
{
    EvalContext& c = p_.ctx();
    const int next = p_.infixToRPN(ops, at, false);
    if (c.error != 0)
        return nullptr;
    auto line = std::make_unique<CachedLine>();
    // The parse's output becomes the cached line: the statement runs from the cache.
    line->rpn = std::move(c.rpnStack());
    line->next = next;
    if (fast) {
        line->real = RealStatement::compile(line->rpn);
        if (!line->real)
            line->join = JoinStatement::compile(line->rpn);
    }
    const auto i = static_cast<std::size_t>(at);
    if (i >= lines_.size())
        lines_.resize(std::max(i + 1, ops ? ops->size() + 1 : 0));
    lines_[i] = std::move(line);
    return lines_[i].get();
}

void StatementInterpreter::makeStepping(CachedLine& loop)
{
    loop.stepping.emplace(loop.rpn);
    for (Operand& record : loop.stepping->stack())
        if (record.kind == KindOpcode && token(record.opcode) == kFor) {
            record.opcode = kForNext;
            break;
        }
    loop.steppingReal = RealStatement::compile(*loop.stepping);
}

void StatementInterpreter::clearLineCache()
{
    if (lines_.empty())
        return;
    retired_.push_back(std::move(lines_));
    lines_.clear();
}

void StatementInterpreter::evalLine(const VQStack& rpn, bool immediate, Operand& into)
{
    // The result's decimal-point flag comes from the context's statement, which the
    // cached RPN stands for.
    p_.ctx().rpnStack().setHasDecimalPoint(rpn.hasDecimalPoint());
    p_.evaluator().evalRPN(rpn, immediate, true, into);
}

// ---- A run ----

// One run of runProgramOps: the op array and index it is at, its frames' bounds, and the
// result of the statement last run. The statements are a loop that runs each statement
// and hands its result to the function for that kind of result.
class StatementInterpreter::Runner {
public:
    Runner(StatementInterpreter& interpreter, const Run& run)
        : si_(interpreter),
          p_(interpreter.p_),
          q_(interpreter.q_),
          calc_(interpreter.p_.calc),
          c_(interpreter.p_.ctx()),
          run_(run),
          state_(calc_.stateMutex()),
          out_(calc_.prgmOutputMgr),
          interrupt_(run.interrupt)
    {
    }

    void execute()
    {
        if (start())
            statements();
        finish();
        report();
    }

private:
    enum class Next { Go, Again, Stop };

    // ---- Start and end ----
    bool start();
    void finish();
    void report();

    // ---- Statements ----
    void statements();
    Next beforeStatement();
    void markPromptAnswer();
    void evaluate(CachedLine& line);
    void actOnResult();

    // ---- Results, by kind ----
    void onValue();
    void onList();
    void onMatrix();
    void onInput();
    void onProgramCall();
    void onDisp();
    void onReportIO();
    void onPrompt();
    void onMenu();
    void onOutput();
    void onReturn();
    void onStop();
    void onBranch();
    void onEnd(int target);
    void onClrHome();
    void onPause();
    void showOutput();

    // Follows a decision other than End and Gosub; false for those two.
    bool follow(std::uint32_t control, int target, bool condition);
    // The test of a For( or Repeat loop its End runs again; false on an error.
    bool loopTest(CachedLine& loop, bool stepping, bool& condition);
    // That test as a fast statement, when it is one; `stepping` is made when missing.
    const RealStatement* fastLoopTest(CachedLine& loop, bool stepping);

    // ---- The fast lane ----
    bool laneOpen() const { return !immediate_ && !debug_ && !run_.singleStep; }
    int fastLane();
    void noteStatement(const VQStack& rpn, int location);
    void plainResult();
    void valueResult(const CachedLine& line, const PairedReal& value);
    void joinResult(const CachedLine& line);
    void branchResult(const CachedLine& line, bool condition);

    // ---- Frames and queued subroutines ----
    bool handOver(std::function<void()> work);
    int frameCount();
    bool pushFrame(int at, int breakType);
    std::optional<RunObject> popOwnFrame();
    void dropOwnFrames();
    void makeCurrent(std::shared_ptr<Ops> ops, std::string name, int at);
    std::shared_ptr<Ops> compiledProgram(const std::string& name);
    bool startSubroutine(const AnimateSubroutine& sub, int resumeAt);
    std::optional<AnimateSubroutine> takeQueued();
    bool endOfArray();
    void done();
    void setResult(Operand result);
    int opsCount() const { return static_cast<int>(ops_->size()); }

    StatementInterpreter& si_;
    Parser& p_;
    ProgramQueue& q_;
    Calculator& calc_;
    EvalContext& c_;
    const Run& run_;
    // Held throughout, except while the run waits for the main thread and for a moment
    // between statements when the main thread asks for it.
    std::unique_lock<StateMutex> state_;
    std::shared_ptr<ProgramOutputManager> out_;

    Operand result_;
    // result_ holds nothing but what the fast path writes (kind, location, value, pair,
    // decimal-point flag, opcode, the four ints and error): the fast path need not empty
    // it first. Whatever else sets result_ fields beyond those clears it.
    bool plain_ = false;
    std::shared_ptr<Ops> ops_;
    std::string current_;
    int ip_ = 0;
    bool immediate_ = false;
    // The line answers a program's question: a value, which calls no program.
    bool answers_ = false;
    bool interrupt_ = false;
    // A widget's run keeps to the frames above those it found: a program waiting under it
    // stays as it waits.
    int base_ = 0;
    bool debug_ = false;
    // The outermost frame index of the queued subroutine in progress; -1 for none.
    int activeInterrupt_ = -1;
    bool outputStarted_ = false;
    // This run brought the program output in front itself (no program call had).
    bool outputShown_ = false;
    // Bringing the output in front, still to be done on the main thread.
    std::function<void()> outputStart_;
    bool stopRun_ = false;
    // The program ended by itself (Stop, a Return with no caller left).
    bool ended_ = false;
};

void StatementInterpreter::runProgramOps(const Run& run)
{
    Runner(*this, run).execute();
}

// ---- Start and end ----

bool StatementInterpreter::Runner::start()
{
    c_.error = 0;
    c_.errorToken = 0;
    c_.complexSwitch = -1;
    bool runStatements = true;
    if (run_.ops) {
        p_.compile(*run_.ops);
        if (c_.error != 0)
            runStatements = false;
        immediate_ = run_.start < 0;
        ip_ = immediate_ ? 0 : run_.start;
        ops_ = run_.ops;
        current_ = run_.name;
        if (run_.widget) {
            std::lock_guard lock(q_.mutex_);
            base_ = static_cast<int>(q_.prgmStack_.size());
        }
    } else {
        std::lock_guard lock(q_.mutex_);
        if (q_.prgmStack_.empty()) {
            c_.error = ErrUndefined;
            runStatements = false;
        } else {
            RunObject top = std::move(q_.prgmStack_.back());
            q_.prgmStack_.pop_back();
            ops_ = top._ops();
            current_ = top._name();
            ip_ = top._ip();
        }
    }
    if (!ops_)
        ops_ = std::make_shared<Ops>();

    q_.programRunning_ = true;
    {
        std::lock_guard lock(q_.mutex_);
        if (run_.ops || runStatements)
            q_.currentProgramName_ = current_;
        if (!runStatements && !run_.ops)
            current_ = q_.currentProgramName_;
    }
    si_.clearLineCache();
    if (base_ == 0)
        calc_.menuRunning = false;
    debug_ = calc_.prgmManager && calc_.prgmManager->debug();
    outputStarted_ = !immediate_;
    {
        std::lock_guard lock(q_.mutex_);
        answers_ = immediate_ && base_ == 0 && q_.promptStack_.count() > 0;
    }
    return runStatements && !ops_->empty();
}

void StatementInterpreter::Runner::finish()
{
    si_.releaseRetiredLines();
    if (result_.kind == KindQuestion) {
        // A stop asked for while the program waited.
        bool prompted = false;
        int at = ip_;
        {
            std::lock_guard lock(q_.mutex_);
            if (!q_.prgmStack_.empty()) {
                at = q_.prgmStack_.back()._ip();
                q_.prgmStack_.pop_back();
            }
            prompted = q_.promptStack_.count() > 0;
        }
        if (prompted) {
            handOver([out = out_] {
                if (out)
                    out->newLine();
            });
            std::lock_guard lock(q_.mutex_);
            q_.promptStack_.clear();
        }
        c_.error = ErrBreak;
        c_.errorToken = at;
        ip_ = at;
    }
    if (ip_ >= opsCount() && frameCount() <= base_ && !run_.singleStep && !keepsKindAtEnd(result_.kind))
        result_.kind = KindNoShow;

    if (result_.kind == KindBreakpoint && !debug_) {
        c_.error = ErrBreak;
        c_.errorToken = ip_;
    }
    // A stop ends everything, the program a widget's run found waiting included.
    const bool stopped = q_.cancelled(run_.id);
    if (stopped) {
        base_ = 0;
        // This run carries the stop's error 43; the other runs it cancelled say nothing.
        q_.breakOwed_ = false;
    }
    if (c_.error == 0 && stopped) {
        std::lock_guard lock(q_.mutex_);
        q_.prgmStack_.clear();
        q_.interruptQueue_.clear();
        q_.promptStack_.clear();
        c_.error = ErrBreak;
        c_.errorToken = ip_;
    }
    if (c_.error != 0) {
        bool cleared = false;
        {
            std::lock_guard lock(q_.mutex_);
            if (base_ > 0) {
                dropOwnFrames();
            } else {
                if (q_.promptStack_.count() == 0) {
                    q_.prgmStack_.clear();
                    q_.interruptQueue_.clear();
                    cleared = true;
                }
                q_.menuDisplay_.reset();
            }
        }
        if (cleared)
            calc_.menuRunning = false;
        Parser::initOperand(result_);
        result_.error = c_.error;
        result_.location = c_.errorToken;
    }
}

void StatementInterpreter::Runner::report()
{
    ProgramQueue& q = q_;
    const ProgramQueue::RunId id = run_.id;
    // A program that ended by itself leaves the debugger's marker after its last line: a
    // Run or Step then starts nothing it never reaches.
    const bool ended = result_.error == 0 && frameCount() <= base_ && (ended_ || ip_ >= opsCount());
    const int pc = ended && !immediate_ ? opsCount() : ip_;
    // A program that waits (a question, a menu, a pause) has not ended.
    const bool pending = immediate_ || q.promptStack().count() > 0 || frameCount() > base_;
    const bool pausedOnGraph = result_.kind == KindPause && calc_.currentScreen() == kGraphScreen;
    // Where the run stands now, not where a later run stands when the report arrives.
    std::string program = q.currentProgramName();
    state_.unlock();
    q.runEnded();
    if (outputStart_)
        q.postReport(id, std::exchange(outputStart_, {}));
    if (!run_.singleStep) {
        if (result_.kind == KindBreakpoint) {
            q.postReport(id, [&q, id, pc, program = std::move(program)] { q.reportStepPC(id, pc, program); });
        } else if (pausedOnGraph) {
            q.postReport(id, [&q, name = current_] { q.pauseProgram(name); });
        } else {
            Operand done = result_;
            // A label that only drew ends quietly; one that wrote, asks or failed ends as a
            // program call does.
            const bool asks = result_.kind == KindInputRequest || result_.kind == KindMenu || result_.kind == KindPause;
            if (!run_.report && !outputShown_ && !asks && result_.error == 0)
                done.kind = KindWidgetAdded;
            q.postReport(id, [&q, id, done = std::move(done), pc, pending, program = std::move(program)]() mutable {
                q.reportDone(id, std::move(done), pc, pending, program);
            });
        }
    } else if (ended || result_.error != 0) {
        // A step that ends the program (its last line, Stop, Return, an error) ends the
        // run as Run would: one item, and the debugger back at the end.
        Operand done = result_;
        done.flag = false;
        if (done.error == 0 && !showsValueAtEnd(done.kind))
            done.kind = KindNoShow;
        q.postReport(id, [&q, id, done = std::move(done), pc, program = std::move(program)]() mutable {
            q.reportDone(id, std::move(done), pc, false, program);
        });
    } else {
        if (result_.kind == KindInputRequest || result_.kind == KindMenu)
            q.postReport(id, [&q, result = result_] { q.reportIO(result); });
        // The debugger shows the step's error where it stopped.
        q.postReport(id, [&q, id, pc, error = result_.error, at = result_.location, program = std::move(program)] {
            q.reportStepPC(id, pc, program, error, at);
        });
    }
}

// ---- Statements ----

void StatementInterpreter::Runner::statements()
{
    while (!stopRun_) {
        if (c_.error != 0 || q_.cancelled(run_.id))
            return;
        state_.mutex()->yieldToWaiters();
        si_.releaseRetiredLines();
        if (ip_ >= opsCount()) {
            if (!endOfArray())
                return;
            continue;
        }
        const Next next = beforeStatement();
        if (next == Next::Stop)
            return;
        if (next == Next::Again)
            continue;
        if (laneOpen() && fastLane() > 0)
            continue;
        // A statement is a step of the run (the fast lane counts its own).
        if (!q_.takeSteps())
            return;
        // The statement's RPN, from the cache when it was parsed before.
        CachedLine* line = si_.lineAt(ops_.get(), ip_, !immediate_);
        if (!line)
            return;
        ip_ = line->next;
        if (line->rpn.count() > 0) {
            evaluate(*line);
            if (c_.error != 0)
                return;
            if (line->join && !line->join->ready() && (result_.string || result_.list))
                line->join->learn(result_, c_.errorToken);
            actOnResult();
        }
        if (run_.singleStep) {
            if (ip_ >= opsCount() && !stopRun_ && c_.error == 0)
                endOfArray();
            return;
        }
    }
}

StatementInterpreter::Runner::Next StatementInterpreter::Runner::beforeStatement()
{
    // Queued subroutines, newest first, one at a time.
    if (!interrupt_ && activeInterrupt_ < 0 && q_.interruptsQueued()) {
        if (auto sub = takeQueued()) {
            if (!startSubroutine(*sub, ip_))
                return Next::Stop;
        }
    }
    if (debug_ && calc_.prgmManager) {
        if (!handOver([programs = calc_.prgmManager, at = ip_] { programs->setPrgmEditCursor(at); }))
            return Next::Again;
    }
    if (immediate_ && ip_ == 0)
        markPromptAnswer();
    return Next::Go;
}

// An answer typed for a list or string prompt gets its opening mark.
void StatementInterpreter::Runner::markPromptAnswer()
{
    std::lock_guard lock(q_.mutex_);
    if (const Operand* wanted = q_.promptStack_.peek())
        markAnswer(*ops_, *wanted, calc_);
}

void StatementInterpreter::markAnswer(Ops& ops, const Operand& wanted, const Calculator& calc)
{
    if (wanted.kind != KindVariable || ops.empty())
        return;
    const std::uint32_t first = token(ops[0]);
    const int ansType = first == kAns ? calc.ans.type() : -1;
    if (wanted.var.subKind == VarList && !isListName(first) && ansType != 2 && ansType != 3)
        ops.insert(ops.begin(), kOpenBrace);
    else if (wanted.var.subKind == VarString && first != kQuote && !(first >= 0xAA00 && first <= 0xAA09)
             && ansType != 6)
        ops.insert(ops.begin(), kQuote);
}

void StatementInterpreter::Runner::evaluate(CachedLine& line)
{
    // An entry line's statements go through the general evaluator, which refuses the
    // control tokens there.
    if (line.real && !immediate_) {
        PairedReal value;
        bool condition = false;
        switch (line.real->run(calc_, value, condition)) {
        case RealStatement::Outcome::Value:
            valueResult(line, value);
            return;
        case RealStatement::Outcome::Branch:
            branchResult(line, condition);
            return;
        case RealStatement::Outcome::General:
            break;
        }
    }
    si_.evalLine(line.rpn, immediate_, result_);
    plain_ = false;
}

void StatementInterpreter::Runner::actOnResult()
{
    switch (result_.kind) {
    case KindReal:
    case KindComplex:
    case KindString:
        onValue();
        break;
    case KindRealList:
    case KindComplexList:
        onList();
        break;
    case KindMatrix:
        onMatrix();
        break;
    case KindInputRequest:
        onInput();
        break;
    case KindProgramCall:
        onProgramCall();
        break;
    case KindResults:
        onDisp();
        break;
    case KindGraphShown:
    case KindDispTable:
    case KindZoom:
    case KindClrDraw:
    case KindClrControls:
    case KindDispControls:
    case KindGDBRecall:
        onReportIO();
        break;
    case KindPrompt:
        onPrompt();
        break;
    case KindMenu:
        onMenu();
        break;
    case KindOutput:
        onOutput();
        break;
    case KindReturn:
        onReturn();
        break;
    case KindStop:
        onStop();
        break;
    case KindBranch:
        onBranch();
        break;
    case KindClrHome:
        onClrHome();
        break;
    case KindPause:
        onPause();
        break;
    case KindBreakpoint:
    case KindQuestion:
        stopRun_ = true;
        break;
    default:
        break;
    }
}

// ---- Results, by kind ----

void StatementInterpreter::Runner::onValue()
{
    calc_.ans.setANS(result_, calc_.state().numFormat);
}

void StatementInterpreter::Runner::onList()
{
    if (!result_.list)
        c_.error = ErrListUndefined;
    else
        calc_.ans.setANS(result_, calc_.state().numFormat);
}

void StatementInterpreter::Runner::onMatrix()
{
    if (!result_.matrix || result_.matrix->dimRow() == 0 || result_.matrix->dimCol() == 0)
        c_.error = ErrUndefined;
    else
        calc_.ans.setANS(result_, calc_.state().numFormat);
}

void StatementInterpreter::Runner::onInput()
{
    showOutput();
    pushFrame(ip_, RunObject::BreakInput);
    Operand variable;
    variable.kind = KindVariable;
    variable.var = result_.var;
    variable.location = result_.location;
    std::lock_guard lock(q_.mutex_);
    q_.promptStack_.clear();
    q_.promptStack_.pushOperand(variable, variable.location);
    stopRun_ = true;
}

void StatementInterpreter::Runner::onProgramCall()
{
    auto program = std::dynamic_pointer_cast<ProgramObject>(result_.object);
    if (!program) {
        c_.error = ErrUndefined;
        return;
    }
    // A program called inside an answer would run within the question it answers.
    if (answers_ && immediate_) {
        c_.error = ErrInvalid;
        c_.errorToken = result_.location;
        return;
    }
    if (!pushFrame(ip_, RunObject::BreakProgramCall))
        return;
    if (!outputStarted_ && !run_.singleStep) {
        outputStarted_ = true;
        calc_.programRunning = true;
        if (!handOver([&q = q_, called = program->name] { q.startProgram(called); }))
            return;
    }
    auto calledOps = std::make_shared<Ops>(program->ops);
    p_.compile(*calledOps);
    if (c_.error != 0) {
        Parser::initOperand(result_);
        result_.error = c_.error;
        result_.location = c_.errorToken;
        return;
    }
    makeCurrent(std::move(calledOps), program->name, 0);
}

void StatementInterpreter::Runner::onDisp()
{
    if (!result_.stack)
        return;
    showOutput();
    VQStack values = *result_.stack;
    while (values.count() > 0 && c_.error == 0) {
        Operand value = values.popValue();
        if (value.kind == KindError && value.error != 0) {
            c_.error = value.error;
            c_.errorToken = value.location;
            return;
        }
        if ((value.kind == KindRealList || value.kind == KindComplexList) && !value.list) {
            c_.error = ErrListUndefined;
            c_.errorToken = value.location;
            return;
        }
        if (!handOver([&q = q_, value] { q.displayResult(value); }))
            return;
    }
}

void StatementInterpreter::Runner::onReportIO()
{
    // Handed over while the program goes on: the run's own end is still to come (DispTable
    // shows the table and leaves the history to the end).
    Operand shown = result_;
    shown.flag = true;
    handOver([&q = q_, shown = std::move(shown)] { q.reportIO(shown); });
}

void StatementInterpreter::Runner::onPrompt()
{
    showOutput();
    pushFrame(ip_, RunObject::BreakPrompt);
    std::lock_guard lock(q_.mutex_);
    q_.promptStack_ = result_.stack ? *result_.stack : VQStack(&calc_);
    if (const Operand* first = q_.promptStack_.peek())
        setResult(promptRecord(*first));
    stopRun_ = true;
}

void StatementInterpreter::Runner::onMenu()
{
    showOutput();
    pushFrame(ip_, RunObject::BreakMenu);
    auto menu = std::dynamic_pointer_cast<MenuObject>(result_.object);
    if (menu && menu->menu)
        menu->menu->singleStepping = run_.singleStep;
    std::lock_guard lock(q_.mutex_);
    q_.menuDisplay_ = menu ? menu->menu : nullptr;
    q_.menuNextToken_ = c_.nextToken;
    stopRun_ = true;
}

void StatementInterpreter::Runner::onOutput()
{
    showOutput();
    handOver([&q = q_, result = result_] { q.displayResult(result); });
}

void StatementInterpreter::Runner::onReturn()
{
    std::optional<RunObject> frame;
    {
        std::lock_guard lock(q_.mutex_);
        frame = popOwnFrame();
    }
    if (frame) {
        if (frame->_breakType() != RunObject::BreakSubroutine)
            makeCurrent(frame->_ops() ? frame->_ops() : std::make_shared<Ops>(), frame->_name(), frame->_ip());
        ip_ = frame->_ip();
        return;
    }
    auto sub = takeQueued();
    if (!sub) {
        done();
        return;
    }
    interrupt_ = true;
    if (sub->prgmName() == current_) {
        ip_ = sub->ip();
        return;
    }
    std::shared_ptr<Ops> subOps = compiledProgram(sub->prgmName());
    if (subOps)
        makeCurrent(std::move(subOps), sub->prgmName(), sub->ip());
    else if (c_.error == 0)
        done();
}

void StatementInterpreter::Runner::onStop()
{
    done();
    std::lock_guard lock(q_.mutex_);
    if (base_ == 0)
        q_.promptStack_.clear();
    dropOwnFrames();
    q_.interruptQueue_.clear();
    ip_ = opsCount();
}

void StatementInterpreter::Runner::onBranch()
{
    const auto control = static_cast<std::uint32_t>(result_.ints[1]);
    const int target = result_.ints[0];
    if (follow(control, target, result_.ints[2] != 0))
        return;
    if (control == kEnd) {
        onEnd(target);
    } else if (pushFrame(ip_, RunObject::BreakSubroutine)) {
        // Gosub
        ip_ = target;
    }
}

inline bool StatementInterpreter::Runner::follow(std::uint32_t control, int target, bool condition)
{
    switch (control) {
    case kIf:
    case kWhile:
    case kFor:
        if (!condition)
            ip_ = target;
        return true;
    case kIncrementSkip:
    case kDecrementSkip:
        if (condition)
            ip_ = target;
        return true;
    case kGoto:
    case kElse:
        ip_ = target;
        return true;
    case kEnd:
    case kGosub:
        return false;
    default:
        // Repeat: the body runs once before its End tests the condition.
        return true;
    }
}

void StatementInterpreter::Runner::onEnd(int target)
{
    const std::uint32_t head = target >= 0 && target < opsCount() ? token((*ops_)[static_cast<std::size_t>(target)]) : 0;
    if (head != kFor && head != kRepeat) {
        ip_ = target;
        return;
    }
    CachedLine* loop = si_.lineAt(ops_.get(), target, !immediate_);
    if (!loop)
        return;
    bool again = false;
    if (loopTest(*loop, head == kFor && target < ip_, again) && again)
        ip_ = loop->next;
}

const RealStatement* StatementInterpreter::Runner::fastLoopTest(CachedLine& loop, bool stepping)
{
    if (!stepping)
        return loop.real.get();
    if (!loop.stepping)
        si_.makeStepping(loop);
    return loop.steppingReal.get();
}

bool StatementInterpreter::Runner::loopTest(CachedLine& loop, bool stepping, bool& condition)
{
    const RealStatement* real = fastLoopTest(loop, stepping);
    const VQStack& rpn = stepping ? *loop.stepping : loop.rpn;
    if (real && !immediate_) {
        PairedReal value;
        if (real->run(calc_, value, condition) == RealStatement::Outcome::Branch) {
            noteStatement(rpn, real->location());
            return true;
        }
    }
    Operand test;
    si_.evalLine(rpn, immediate_, test);
    if (c_.error != 0)
        return false;
    condition = test.kind == KindBranch && test.ints[2] != 0;
    return true;
}

void StatementInterpreter::Runner::onClrHome()
{
    showOutput();
    handOver([out = out_] {
        if (out)
            out->clearHome();
    });
}

void StatementInterpreter::Runner::onPause()
{
    if (result_.ints[2] != KindPause) {
        showOutput();
        if (!handOver([&q = q_, result = result_] { q.displayResult(result); }))
            return;
    }
    if (!run_.singleStep) {
        pushFrame(ip_, RunObject::BreakPause);
        stopRun_ = true;
    }
}

// A run that no program call started (a graph control's label, the debugger's Run, a
// pause's ENTER after such a label) shows what it writes and asks as a called program does:
// the output comes in front, and the run's end leaves its history item. A label's run starts
// on a clear output, as a program called from the entry line does.
void StatementInterpreter::Runner::showOutput()
{
    if (calc_.programRunning || run_.singleStep)
        return;
    calc_.programRunning = true;
    outputShown_ = true;
    // Posted, not waited for: what the statement hands over next comes after it.
    // Named for the program the run started in (a label's, the debugged one), not one it
    // called. Done on the main thread with the statement's own hand-over, or before the
    // run's report: one trip, not two.
    std::string name = run_.ops && run_.start >= 0 ? run_.name : current_;
    outputStart_ = [&q = q_, &calc = calc_, name = std::move(name), clear = q_.takeFreshOutput() || run_.widget] {
        calc.lastPrgmName = name;
        if (clear && calc.prgmOutputMgr)
            calc.prgmOutputMgr->clearHome();
        q.startProgram(name);
    };
}

// ---- The fast lane ----

// Runs statements on the fast path for as long as they are cached fast statements and the
// checks between statements ask for nothing (a stop, a thread waiting for the state lock,
// a queued subroutine). What the last of them leaves (the result, Ans, the context's notes
// of the statement) is written once, on leaving: nothing reads it before, since the run
// holds the state lock all along. A statement the fast path gives back, or an End it
// cannot finish, has changed nothing and is left to the general loop. The number of
// statements run.
int StatementInterpreter::Runner::fastLane()
{
    const StateMutex& mutex = calc_.stateMutex();
    const int size = opsCount();
    // The last statement run, the decision it made or the loop test its End ran, and the
    // last statement that gave a value.
    const CachedLine* last = nullptr;
    bool lastCondition = false;
    const RealStatement* lastTest = nullptr;
    const VQStack* lastTestRpn = nullptr;
    const CachedLine* ansLine = nullptr;
    PairedReal ansValue = kFreshReal;
    bool ansJoined = false;
    // The run's steps left, each statement one.
    const std::uint64_t steps = q_.stepsLeft();
    int count = 0;
    for (;; ++count) {
        if (ip_ >= size || q_.cancelled(run_.id) || mutex.hasWaiters() || q_.interruptsQueued()
            || static_cast<std::uint64_t>(count) >= steps)
            break;
        CachedLine* line = si_.cachedAt(ip_);
        if (!line)
            break;
        if (line->join && line->join->ready()) {
            if (!line->join->run(calc_))
                break;
            ip_ = line->next;
            last = ansLine = line;
            ansJoined = true;
            lastTest = nullptr;
            continue;
        }
        if (!line->real)
            break;
        const RealStatement& real = *line->real;
        PairedReal value;
        bool condition = true;
        if (!real.jumps()) {
            const RealStatement::Outcome outcome = real.run(calc_, value, condition);
            if (outcome == RealStatement::Outcome::General)
                break;
            if (outcome == RealStatement::Outcome::Value) {
                ip_ = line->next;
                last = ansLine = line;
                ansValue = value;
                ansJoined = false;
                lastTest = nullptr;
                continue;
            }
        }
        const int at = ip_;
        ip_ = line->next;
        const std::uint32_t control = token(real.opcode());
        const int target = ProgramTokens::target(real.opcode());
        const RealStatement* test = nullptr;
        if (!follow(control, target, condition)) {
            // End and Gosub.
            CachedLine* loop = control == kEnd ? line->loop : nullptr;
            if (!loop && control == kEnd) {
                const std::uint32_t head = target < size ? token((*ops_)[static_cast<std::size_t>(target)]) : 0;
                if (head != kFor && head != kRepeat) {
                    ip_ = target;
                    last = line;
                    lastCondition = condition;
                    lastTest = nullptr;
                    continue;
                }
                // Found once: the End and its loop statement are cached and let go together.
                loop = si_.cachedAt(target);
                line->loop = loop;
                line->loopSteps = head == kFor && target < ip_;
            }
            test = loop ? fastLoopTest(*loop, line->loopSteps) : nullptr;
            bool again = false;
            if (!test || test->run(calc_, value, again) != RealStatement::Outcome::Branch) {
                ip_ = at;
                break;
            }
            if (again)
                ip_ = loop->next;
            lastTestRpn = line->loopSteps ? &*loop->stepping : &loop->rpn;
        }
        last = line;
        lastCondition = condition;
        lastTest = test;
    }
    if (ansLine) {
        if (ansJoined)
            joinResult(*ansLine);
        else
            valueResult(*ansLine, ansValue);
        onValue();
    }
    if (last && last != ansLine)
        branchResult(*last, lastCondition);
    if (last && lastTest)
        noteStatement(*lastTestRpn, lastTest->location());
    q_.takeSteps(static_cast<std::uint64_t>(count));
    return count;
}

// ---- The fast path's results ----

// What the general evaluator leaves in the context after a statement.
void StatementInterpreter::Runner::noteStatement(const VQStack& rpn, int location)
{
    const bool decimal = rpn.hasDecimalPoint();
    c_.rpnStack().setHasDecimalPoint(decimal);
    c_.f_und = false;
    c_.f_nd = false;
    c_.f_decimal = decimal;
    c_.errorToken = location;
}

void StatementInterpreter::Runner::plainResult()
{
    if (!plain_) {
        result_.reset();
        plain_ = true;
    }
}

// The record the general evaluator gives for the same statement.
void StatementInterpreter::Runner::valueResult(const CachedLine& line, const PairedReal& value)
{
    plainResult();
    noteStatement(line.rpn, line.real->location());
    result_.kind = KindReal;
    result_.location = line.real->location();
    result_.value = {value.value, 0.0};
    result_.sigFig = value.sigFig;
    result_.sigDec = value.sigDec;
    result_.hasDecimalPoint = line.rpn.hasDecimalPoint();
    result_.opcode = 0;
    result_.ints = {};
    result_.error = 0;
}

// The record the general evaluator gives for the same join.
void StatementInterpreter::Runner::joinResult(const CachedLine& line)
{
    noteStatement(line.rpn, line.join->errorToken());
    line.join->result(calc_, result_);
    plain_ = false;
}

void StatementInterpreter::Runner::branchResult(const CachedLine& line, bool condition)
{
    plainResult();
    noteStatement(line.rpn, line.real->location());
    const std::uint32_t opcode = line.real->opcode();
    result_.kind = KindBranch;
    result_.location = line.real->location();
    result_.value = {};
    result_.sigFig = 15;
    result_.sigDec = -15;
    result_.hasDecimalPoint = line.rpn.hasDecimalPoint();
    result_.opcode = opcode;
    result_.ints = {target(opcode), static_cast<int>(token(opcode)), condition ? 1 : 0, 0};
    result_.error = 0;
}

// ---- Frames and queued subroutines ----

bool StatementInterpreter::Runner::handOver(std::function<void()> work)
{
    if (outputStart_)
        work = [start = std::exchange(outputStart_, {}), work = std::move(work)] {
            start();
            work();
        };
    state_.unlock();
    const bool done = q_.handOver(run_.id, std::move(work));
    state_.lock();
    return done;
}

int StatementInterpreter::Runner::frameCount()
{
    std::lock_guard lock(q_.mutex_);
    return static_cast<int>(q_.prgmStack_.size());
}

bool StatementInterpreter::Runner::pushFrame(int at, int breakType)
{
    std::lock_guard lock(q_.mutex_);
    if (static_cast<int>(q_.prgmStack_.size()) >= kMaxFrames) {
        c_.error = ErrReturnStackOverflow;
        c_.errorToken = at;
        return false;
    }
    q_.prgmStack_.emplace_back(ops_, current_, at, breakType);
    return true;
}

// With the queue's mutex held: pops the top frame of this run's own; nothing when only
// frames under it are left.
std::optional<RunObject> StatementInterpreter::Runner::popOwnFrame()
{
    if (static_cast<int>(q_.prgmStack_.size()) <= base_)
        return std::nullopt;
    RunObject top = std::move(q_.prgmStack_.back());
    q_.prgmStack_.pop_back();
    if (static_cast<int>(q_.prgmStack_.size()) <= activeInterrupt_)
        activeInterrupt_ = -1;
    return top;
}

// With the queue's mutex held: forgets this run's frames (all of them for a run that is
// not a widget's).
void StatementInterpreter::Runner::dropOwnFrames()
{
    q_.prgmStack_.resize(std::min(q_.prgmStack_.size(), static_cast<std::size_t>(base_)));
}

void StatementInterpreter::Runner::makeCurrent(std::shared_ptr<Ops> ops, std::string name, int at)
{
    ops_ = std::move(ops);
    current_ = std::move(name);
    ip_ = at;
    immediate_ = false;
    si_.clearLineCache();
    q_.setCurrentProgramName(current_);
}

// A stored program, compiled; null when it is missing or does not compile (the error
// then stands).
std::shared_ptr<StatementInterpreter::Ops> StatementInterpreter::Runner::compiledProgram(const std::string& name)
{
    const auto& programs = calc_.prgmManager;
    std::optional<Ops> loaded = programs ? programs->opsFor(name) : std::nullopt;
    if (!loaded)
        return nullptr;
    auto ops = std::make_shared<Ops>(std::move(*loaded));
    p_.compile(*ops);
    return c_.error == 0 ? ops : nullptr;
}

// Starts a queued subroutine in place of the next statement; false on an error.
bool StatementInterpreter::Runner::startSubroutine(const AnimateSubroutine& sub, int resumeAt)
{
    if (sub.prgmName() == current_) {
        if (sub.ip() < 0)
            return true;
        if (!pushFrame(resumeAt, RunObject::BreakSubroutine))
            return false;
        activeInterrupt_ = frameCount() - 1;
        ip_ = sub.ip();
        return true;
    }
    std::shared_ptr<Ops> subOps = compiledProgram(sub.prgmName());
    if (!subOps || sub.ip() < 0) {
        // A program gone or broken since the request was made: the request is dropped.
        c_.error = 0;
        return true;
    }
    if (!pushFrame(resumeAt, RunObject::BreakProgramCall))
        return false;
    activeInterrupt_ = frameCount() - 1;
    makeCurrent(std::move(subOps), sub.prgmName(), sub.ip());
    return true;
}

// The newest queued request whose slider still holds its value.
std::optional<AnimateSubroutine> StatementInterpreter::Runner::takeQueued()
{
    std::lock_guard lock(q_.mutex_);
    while (!q_.interruptQueue_.empty()) {
        AnimateSubroutine sub = std::move(q_.interruptQueue_.back());
        q_.interruptQueue_.pop_back();
        if (sub.varNum() >= 0) {
            const VariableRecord v = calc_.getVar(sub.varNum());
            if (v.value.real() != sub.value() || v.value.imag() != 0)
                continue;
        }
        return sub;
    }
    q_.interruptsTaken();
    return std::nullopt;
}

// End of the current op array with frames left; false when the run stops.
bool StatementInterpreter::Runner::endOfArray()
{
    Operand variable;
    RunObject waiting;
    bool answered = false;
    bool morePrompts = false;
    {
        std::lock_guard lock(q_.mutex_);
        if (static_cast<int>(q_.prgmStack_.size()) <= base_)
            return false;
        // Prompts are the waiting program's: a widget's run never answers them.
        if (base_ == 0 && q_.promptStack_.count() > 0) {
            variable = *q_.promptStack_.pop();
            answered = true;
            morePrompts = q_.promptStack_.count() > 0;
            waiting = q_.prgmStack_.back();
        }
    }
    if (answered) {
        // The run goes on as the waiting program, where it asked: an answer the program
        // cannot take is its error there, and ends its run, not the line's.
        if (waiting._ops())
            makeCurrent(waiting._ops(), waiting._name(), waiting._ip());
        storeAnswer(p_, result_, variable);
        if (c_.error != 0) {
            c_.errorToken = ip_;
            // The program's own error ends its run, with the questions it had still to ask.
            std::lock_guard lock(q_.mutex_);
            q_.promptStack_.clear();
        }
        if (c_.error != 0 || !handOver([out = out_] {
                if (out)
                    out->newLine();
            }))
            return false;
        Parser::initOperand(result_);
        result_.kind = KindDone;
        if (morePrompts) {
            std::lock_guard lock(q_.mutex_);
            if (const Operand* next = q_.promptStack_.peek()) {
                setResult(promptRecord(*next));
                return false;
            }
        }
    }
    std::lock_guard lock(q_.mutex_);
    bool returned = false;
    while (std::optional<RunObject> top = popOwnFrame()) {
        returned = true;
        if (!top->_ops())
            continue;
        // A frame at its program's end leaves the run standing there: it ends as that
        // program, not as the entry line that went on with it.
        ops_ = top->_ops();
        current_ = top->_name();
        ip_ = std::min(top->_ip(), opsCount());
        immediate_ = false;
        si_.clearLineCache();
        q_.currentProgramName_ = current_;
        // A step past a called program's end stops in its caller, at the line after the
        // call.
        if (ip_ < opsCount())
            return !run_.singleStep;
    }
    // A waiting program (one that paused at its last statement) ended with nothing run
    // after it: it ends as any program does, not with the continuing line's empty record.
    if (returned && result_.kind == KindError && result_.error == 0)
        result_.kind = KindNoShow;
    return false;
}

// The run ends with done (kind 31).
void StatementInterpreter::Runner::done()
{
    Parser::initOperand(result_);
    result_.kind = KindDone;
    stopRun_ = true;
    ended_ = true;
}

void StatementInterpreter::Runner::setResult(Operand result)
{
    result_ = std::move(result);
    plain_ = false;
}

} // namespace orvenda
