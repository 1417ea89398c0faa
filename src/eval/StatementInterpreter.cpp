#include "eval/StatementInterpreter.h"

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/services/EntryManager.h"
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

// The kinds a finished run shows as they are; anything else is not shown.
bool keepsKindAtEnd(int kind)
{
    return (kind >= 1 && kind <= 5) || (kind >= 9 && kind <= 30) || kind == KindInputRequest || kind == KindPrompt
           || kind == KindMenu || kind == KindPause || kind == KindError || kind == KindDispTable;
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
            if (value.kind == KindString && value.string && v.index >= 0xAA00 && v.index <= 0xAA09)
                calc.strings[static_cast<std::size_t>(v.index - 0xAA00)] = *value.string;
            else
                p.ctx().error = ErrDataType;
            break;
        case VarList:
            if ((value.kind == KindRealList || value.kind == KindComplexList) && value.list)
                calc.lists[v.name] = *value.list;
            else
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
        const int at = jumpToLabel(static_cast<unsigned>(menu->labels[static_cast<std::size_t>(choice)]), stepping);
        if (at >= 0) {
            q_.setMenuDisplay(nullptr);
            calc.menuRunning = false;
            if (stepping) {
                q_.popProgramStack();
                q_.reportStepPC(at);
            }
            return;
        }
    }
    // A missing label, or a key with no menu shown, ends the program.
    q_.cancelSubmitted(false);
    if (calc.prgmOutputMgr)
        calc.prgmOutputMgr->clearHome();
    if (calc.entryManager)
        calc.entryManager->clear();
    {
        std::lock_guard lock(q_.mutex_);
        q_.prgmStack_.clear();
        q_.interruptQueue_.clear();
        q_.promptStack_.clear();
        q_.menuDisplay_.reset();
    }
    calc.menuRunning = false;
    calc.programRunning = false;
    q_.setCalcProgramRunning(false);
    calc.notificationCenter().post(VQHideProgramOutput, &p_);
    int location = 0;
    {
        std::lock_guard lock(q_.mutex_);
        location = q_.menuNextToken_;
    }
    q_.showError(ErrLabelNotFound, calc.prgmManager ? calc.prgmManager->programName() : std::string(), location);
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

std::shared_ptr<StatementInterpreter::CachedLine> StatementInterpreter::lineAt(Ops* ops, int at)
{
    if (auto cached = lineCache_.find(at); cached != lineCache_.end())
        return cached->second;
    EvalContext& c = p_.ctx();
    const int next = p_.infixToRPN(ops, at, false);
    if (c.error != 0)
        return nullptr;
    auto line = std::make_shared<CachedLine>();
    line->rpn = c.rpnStack();
    line->next = next;
    lineCache_.insert_or_assign(at, line);
    return line;
}

void StatementInterpreter::evalLine(const VQStack& rpn, bool immediate, Operand& into)
{
    // The result's decimal-point flag comes from the context's statement, which the
    // cached RPN stands for.
    p_.ctx().rpnStack().setHasDecimalPoint(rpn.hasDecimalPoint());
    p_.evaluator().evalRPN(rpn, immediate, true, into);
}

void StatementInterpreter::runProgramOps(const Run& run)
{
    Calculator& calc = p_.calc;
    EvalContext& c = p_.ctx();
    ProgramQueue& q = q_;
    const ProgramQueue::RunId id = run.id;
    const bool step = run.singleStep;
    bool interrupt = run.interrupt;
    // The run holds the state lock throughout, except while it waits for the main thread
    // and for a moment between statements when the main thread asks for it.
    std::unique_lock<StateMutex> state(calc.stateMutex());
    auto handOver = [&](std::function<void()> work) -> bool {
        state.unlock();
        const bool done = q.handOver(id, std::move(work));
        state.lock();
        return done;
    };
    std::shared_ptr<ProgramOutputManager> out = calc.prgmOutputMgr;

    c.error = 0;
    c.errorToken = 0;
    c.complexSwitch = -1;
    Operand result;

    std::shared_ptr<Ops> ops;
    std::string current;
    int ip = 0;
    bool immediate = false;
    bool runStatements = true;
    // A widget's run keeps to the frames above those it found: a program waiting under it
    // stays as it waits.
    int base = 0;

    // ---- Start ----
    if (run.ops) {
        p_.compile(*run.ops);
        if (c.error != 0)
            runStatements = false;
        immediate = run.start < 0;
        ip = immediate ? 0 : run.start;
        ops = run.ops;
        current = run.name;
        if (run.widget) {
            std::lock_guard lock(q.mutex_);
            base = static_cast<int>(q.prgmStack_.size());
        }
    } else {
        std::lock_guard lock(q.mutex_);
        if (q.prgmStack_.empty()) {
            c.error = ErrUndefined;
            runStatements = false;
        } else {
            RunObject top = std::move(q.prgmStack_.back());
            q.prgmStack_.pop_back();
            ops = top._ops();
            current = top._name();
            ip = top._ip();
        }
    }
    if (!ops)
        ops = std::make_shared<Ops>();

    q.programRunning_ = true;
    {
        std::lock_guard lock(q.mutex_);
        if (run.ops || runStatements)
            q.currentProgramName_ = current;
        if (!runStatements && !run.ops)
            current = q.currentProgramName_;
    }
    lineCache_.clear();
    if (base == 0)
        calc.menuRunning = false;
    const bool debug = calc.prgmManager && calc.prgmManager->debug();
    // The outermost frame index of the queued subroutine in progress; -1 for none.
    int activeInterrupt = -1;
    bool outputStarted = !immediate;
    bool stopRun = false;

    auto frameCount = [&] {
        std::lock_guard lock(q.mutex_);
        return static_cast<int>(q.prgmStack_.size());
    };
    auto pushFrame = [&](int at, int breakType) -> bool {
        std::lock_guard lock(q.mutex_);
        if (static_cast<int>(q.prgmStack_.size()) >= kMaxFrames) {
            c.error = ErrReturnStackOverflow;
            c.errorToken = at;
            return false;
        }
        q.prgmStack_.emplace_back(ops, current, at, breakType);
        return true;
    };
    // With the queue's mutex held: pops the top frame of this run's own; nothing when only
    // frames under it are left.
    auto popOwnFrame = [&]() -> std::optional<RunObject> {
        if (static_cast<int>(q.prgmStack_.size()) <= base)
            return std::nullopt;
        RunObject top = std::move(q.prgmStack_.back());
        q.prgmStack_.pop_back();
        if (static_cast<int>(q.prgmStack_.size()) <= activeInterrupt)
            activeInterrupt = -1;
        return top;
    };
    // With the queue's mutex held: forgets this run's frames (all of them for a run that is
    // not a widget's).
    auto dropOwnFrames = [&] {
        q.prgmStack_.resize(std::min(q.prgmStack_.size(), static_cast<std::size_t>(base)));
    };
    auto makeCurrent = [&](std::shared_ptr<Ops> newOps, std::string newName, int at) {
        ops = std::move(newOps);
        current = std::move(newName);
        ip = at;
        immediate = false;
        lineCache_.clear();
        q.setCurrentProgramName(current);
    };
    // Starts a queued subroutine in place of the next statement; false on an error.
    auto startSubroutine = [&](const AnimateSubroutine& sub, int resumeAt) -> bool {
        if (sub.prgmName() == current) {
            if (sub.ip() < 0)
                return true;
            if (!pushFrame(resumeAt, RunObject::BreakSubroutine))
                return false;
            activeInterrupt = frameCount() - 1;
            ip = sub.ip();
            return true;
        }
        const auto& programs = calc.prgmManager;
        std::optional<Ops> loaded = programs ? programs->opsFor(sub.prgmName()) : std::nullopt;
        if (!loaded)
            return true;
        auto subOps = std::make_shared<Ops>(std::move(*loaded));
        p_.compile(*subOps);
        if (c.error != 0 || sub.ip() < 0) {
            c.error = 0;
            return true;
        }
        if (!pushFrame(resumeAt, RunObject::BreakProgramCall))
            return false;
        activeInterrupt = frameCount() - 1;
        makeCurrent(std::move(subOps), sub.prgmName(), sub.ip());
        return true;
    };
    // The newest queued request whose slider still holds its value.
    auto takeQueued = [&]() -> std::optional<AnimateSubroutine> {
        std::lock_guard lock(q.mutex_);
        while (!q.interruptQueue_.empty()) {
            AnimateSubroutine sub = std::move(q.interruptQueue_.back());
            q.interruptQueue_.pop_back();
            if (sub.varNum() >= 0) {
                const VariableRecord v = calc.getVar(sub.varNum());
                if (v.value.real() != sub.value() || v.value.imag() != 0)
                    continue;
            }
            return sub;
        }
        return std::nullopt;
    };
    auto newLine = [out] {
        if (out)
            out->newLine();
    };
    // End of the current op array with frames left; false when the run stops.
    auto endOfArray = [&]() -> bool {
        Operand variable;
        bool answered = false;
        bool morePrompts = false;
        {
            std::lock_guard lock(q.mutex_);
            if (static_cast<int>(q.prgmStack_.size()) <= base)
                return false;
            // Prompts are the waiting program's: a widget's run never answers them.
            if (base == 0 && q.promptStack_.count() > 0) {
                variable = *q.promptStack_.pop();
                answered = true;
                morePrompts = q.promptStack_.count() > 0;
            }
        }
        if (answered) {
            storeAnswer(p_, result, variable);
            if (c.error != 0 || !handOver(newLine))
                return false;
            Parser::initOperand(result);
            result.kind = KindDone;
            if (morePrompts) {
                std::lock_guard lock(q.mutex_);
                if (const Operand* next = q.promptStack_.peek()) {
                    result = promptRecord(*next);
                    return false;
                }
            }
        }
        if (step)
            return false;
        std::lock_guard lock(q.mutex_);
        while (std::optional<RunObject> top = popOwnFrame()) {
            if (top->_ops() && top->_ip() < static_cast<int>(top->_ops()->size())) {
                ops = top->_ops();
                current = top->_name();
                ip = top->_ip();
                immediate = false;
                lineCache_.clear();
                q.currentProgramName_ = current;
                return true;
            }
        }
        return false;
    };

    if (runStatements && ops->empty())
        runStatements = false;

    // ---- Statements ----
    while (runStatements && !stopRun) {
        if (c.error != 0 || q.cancelled(id))
            break;
        state.mutex()->yieldToWaiters();
        if (ip >= static_cast<int>(ops->size())) {
            if (!endOfArray())
                break;
            continue;
        }

        // Queued subroutines, newest first, one at a time.
        if (!interrupt && activeInterrupt < 0) {
            if (auto sub = takeQueued()) {
                if (!startSubroutine(*sub, ip))
                    break;
            }
        }

        if (debug && calc.prgmManager) {
            if (!handOver([programs = calc.prgmManager, at = ip] { programs->setPrgmEditCursor(at); }))
                continue;
        }

        // An answer typed for a list or string prompt gets its opening mark.
        if (immediate && ip == 0) {
            std::lock_guard lock(q.mutex_);
            if (const Operand* wanted = q.promptStack_.peek(); wanted && wanted->kind == KindVariable && !ops->empty()) {
                const std::uint32_t first = token((*ops)[0]);
                const int ansType = first == kAns ? calc.ans.type() : -1;
                if (wanted->var.subKind == VarList && !isListName(first) && ansType != 2 && ansType != 3)
                    ops->insert(ops->begin(), kOpenBrace);
                else if (wanted->var.subKind == VarString && first != kQuote && !(first >= 0xAA00 && first <= 0xAA09)
                         && ansType != 6)
                    ops->insert(ops->begin(), kQuote);
            }
        }

        // The statement's RPN, from the cache when it was parsed before.
        const std::shared_ptr<CachedLine> line = lineAt(ops.get(), ip);
        if (!line)
            break;
        ip = line->next;
        if (line->rpn.count() == 0) {
            if (step)
                break;
            continue;
        }

        evalLine(line->rpn, immediate, result);
        if (c.error != 0)
            break;

        switch (result.kind) {
        case KindReal:
        case KindComplex:
        case KindString:
            calc.ans.setANS(result, calc.numFormat);
            break;
        case KindRealList:
        case KindComplexList:
            if (!result.list)
                c.error = ErrListUndefined;
            else
                calc.ans.setANS(result, calc.numFormat);
            break;
        case KindMatrix:
            if (!result.matrix || result.matrix->dimRow() == 0 || result.matrix->dimCol() == 0)
                c.error = ErrUndefined;
            else
                calc.ans.setANS(result, calc.numFormat);
            break;
        case KindInputRequest: {
            pushFrame(ip, RunObject::BreakInput);
            Operand variable;
            variable.kind = KindVariable;
            variable.var = result.var;
            variable.location = result.location;
            std::lock_guard lock(q.mutex_);
            q.promptStack_.clear();
            q.promptStack_.pushOperand(variable, variable.location);
            stopRun = true;
            break;
        }
        case KindProgramCall: {
            auto program = std::dynamic_pointer_cast<ProgramObject>(result.object);
            if (!program) {
                c.error = ErrUndefined;
                break;
            }
            if (!pushFrame(ip, RunObject::BreakProgramCall))
                break;
            if (!outputStarted && !step) {
                outputStarted = true;
                calc.programRunning = true;
                if (!handOver([&q, called = program->name] { q.startProgram(called); }))
                    break;
            }
            auto calledOps = std::make_shared<Ops>(program->ops);
            p_.compile(*calledOps);
            if (c.error != 0) {
                Parser::initOperand(result);
                result.error = c.error;
                result.location = c.errorToken;
                break;
            }
            makeCurrent(std::move(calledOps), program->name, 0);
            break;
        }
        case KindResults: {
            if (!result.stack)
                break;
            VQStack values = *result.stack;
            while (values.count() > 0 && c.error == 0) {
                Operand value = values.popValue();
                if (value.kind == KindError && value.error != 0) {
                    c.error = value.error;
                    c.errorToken = value.location;
                    break;
                }
                if ((value.kind == KindRealList || value.kind == KindComplexList) && !value.list) {
                    c.error = ErrListUndefined;
                    c.errorToken = value.location;
                    break;
                }
                if (!handOver([&q, value] { q.displayResult(value); }))
                    break;
            }
            break;
        }
        case KindGraphShown:
        case KindDispTable:
        case KindZoom:
        case KindClrDraw:
        case KindClrControls:
        case KindDispControls:
        case KindGDBRecall:
            handOver([&q, result] { q.reportIO(result); });
            break;
        case KindPrompt: {
            pushFrame(ip, RunObject::BreakPrompt);
            std::lock_guard lock(q.mutex_);
            q.promptStack_ = result.stack ? *result.stack : VQStack(&calc);
            if (const Operand* first = q.promptStack_.peek())
                result = promptRecord(*first);
            stopRun = true;
            break;
        }
        case KindMenu: {
            pushFrame(ip, RunObject::BreakMenu);
            auto menu = std::dynamic_pointer_cast<MenuObject>(result.object);
            if (menu && menu->menu)
                menu->menu->singleStepping = step;
            std::lock_guard lock(q.mutex_);
            q.menuDisplay_ = menu ? menu->menu : nullptr;
            q.menuNextToken_ = c.nextToken;
            stopRun = true;
            break;
        }
        case KindOutput:
            handOver([&q, result] { q.displayResult(result); });
            break;
        case KindReturn: {
            std::optional<RunObject> frame;
            {
                std::lock_guard lock(q.mutex_);
                frame = popOwnFrame();
            }
            if (frame) {
                if (frame->_breakType() != RunObject::BreakSubroutine)
                    makeCurrent(frame->_ops() ? frame->_ops() : std::make_shared<Ops>(), frame->_name(), frame->_ip());
                ip = frame->_ip();
                break;
            }
            auto sub = takeQueued();
            if (!sub) {
                Parser::initOperand(result);
                result.kind = KindDone;
                stopRun = true;
                break;
            }
            interrupt = true;
            if (sub->prgmName() == current) {
                ip = sub->ip();
            } else {
                const auto& programs = calc.prgmManager;
                std::optional<Ops> loaded = programs ? programs->opsFor(sub->prgmName()) : std::nullopt;
                if (!loaded) {
                    Parser::initOperand(result);
                    result.kind = KindDone;
                    stopRun = true;
                    break;
                }
                auto subOps = std::make_shared<Ops>(std::move(*loaded));
                p_.compile(*subOps);
                if (c.error != 0)
                    break;
                makeCurrent(std::move(subOps), sub->prgmName(), sub->ip());
            }
            break;
        }
        case KindStop: {
            Parser::initOperand(result);
            result.kind = KindDone;
            std::lock_guard lock(q.mutex_);
            if (base == 0)
                q.promptStack_.clear();
            dropOwnFrames();
            q.interruptQueue_.clear();
            stopRun = true;
            ip = static_cast<int>(ops->size());
            break;
        }
        case KindBranch: {
            const int target = result.ints[0];
            const std::uint32_t t = static_cast<std::uint32_t>(result.ints[1]);
            const bool cond = result.ints[2] != 0;
            switch (t) {
            case kIf:
            case kWhile:
            case kFor:
                if (!cond)
                    ip = target;
                break;
            case kRepeat:
                break;
            case kIncrementSkip:
            case kDecrementSkip:
                if (cond)
                    ip = target;
                break;
            case kGoto:
            case kElse:
                ip = target;
                break;
            case kGosub:
                if (pushFrame(ip, RunObject::BreakSubroutine))
                    ip = target;
                break;
            case kEnd: {
                const std::uint32_t head = target >= 0 && target < static_cast<int>(ops->size())
                                               ? token((*ops)[static_cast<std::size_t>(target)])
                                               : 0;
                if (head == kFor || head == kRepeat) {
                    const std::shared_ptr<CachedLine> loop = lineAt(ops.get(), target);
                    if (!loop)
                        break;
                    const VQStack* rpn = &loop->rpn;
                    if (head == kFor && target < ip) {
                        if (!loop->stepping) {
                            loop->stepping.emplace(loop->rpn);
                            for (Operand& record : loop->stepping->stack())
                                if (record.kind == KindOpcode && token(record.opcode) == kFor) {
                                    record.opcode = kForNext;
                                    break;
                                }
                        }
                        rpn = &*loop->stepping;
                    }
                    Operand test;
                    evalLine(*rpn, immediate, test);
                    if (c.error != 0)
                        break;
                    if (test.kind == KindBranch && test.ints[2] != 0)
                        ip = loop->next;
                } else {
                    ip = target;
                }
                break;
            }
            default:
                break;
            }
            break;
        }
        case KindClrHome:
            handOver([out] {
                if (out)
                    out->clearHome();
            });
            break;
        case KindPause:
            if (result.ints[2] != KindPause && !handOver([&q, result] { q.displayResult(result); }))
                break;
            if (!step) {
                pushFrame(ip, RunObject::BreakPause);
                stopRun = true;
            }
            break;
        case KindBreakpoint:
            stopRun = true;
            break;
        case KindQuestion:
            stopRun = true;
            break;
        default:
            break;
        }
        if (step)
            break;
    }

    // ---- End ----
    if (result.kind == KindQuestion) {
        // A stop asked for while the program waited.
        bool prompted = false;
        int at = ip;
        {
            std::lock_guard lock(q.mutex_);
            if (!q.prgmStack_.empty()) {
                at = q.prgmStack_.back()._ip();
                q.prgmStack_.pop_back();
            }
            prompted = q.promptStack_.count() > 0;
        }
        if (prompted) {
            handOver(newLine);
            std::lock_guard lock(q.mutex_);
            q.promptStack_.clear();
        }
        c.error = ErrBreak;
        c.errorToken = at;
        ip = at;
    }
    if (ip >= static_cast<int>(ops->size()) && frameCount() <= base && !step && !keepsKindAtEnd(result.kind))
        result.kind = KindNoShow;

    if (result.kind == KindBreakpoint && !debug) {
        c.error = ErrBreak;
        c.errorToken = ip;
    }
    // A stop ends everything, the program a widget's run found waiting included.
    const bool stopped = q.cancelled(id);
    if (stopped) {
        base = 0;
        // This run carries the stop's error 43; the other runs it cancelled say nothing.
        q.breakOwed_ = false;
    }
    if (c.error == 0 && stopped) {
        std::lock_guard lock(q.mutex_);
        q.prgmStack_.clear();
        q.interruptQueue_.clear();
        q.promptStack_.clear();
        c.error = ErrBreak;
        c.errorToken = ip;
    }
    if (c.error != 0) {
        bool cleared = false;
        {
            std::lock_guard lock(q.mutex_);
            if (base > 0) {
                dropOwnFrames();
            } else {
                if (q.promptStack_.count() == 0) {
                    q.prgmStack_.clear();
                    q.interruptQueue_.clear();
                    cleared = true;
                }
                q.menuDisplay_.reset();
            }
        }
        if (cleared)
            calc.menuRunning = false;
        Parser::initOperand(result);
        result.error = c.error;
        result.location = c.errorToken;
    }

    // ---- Report ----
    const int pc = ip;
    const bool pending = immediate || q.promptStack().count() > 0;
    const bool pausedOnGraph = result.kind == KindPause && calc.currentScreen() == kGraphScreen;
    state.unlock();
    q.runEnded();
    if (!step) {
        if (result.kind == KindBreakpoint) {
            q.postReport(id, [&q, id, pc] { q.reportStepPC(id, pc); });
        } else if (pausedOnGraph) {
            q.postReport(id, [&q, current] { q.pauseProgram(current); });
        } else {
            Operand done = result;
            if (!run.report)
                done.kind = KindWidgetAdded;
            q.postReport(id, [&q, id, done = std::move(done), pc, pending]() mutable {
                q.reportDone(id, std::move(done), pc, pending);
            });
        }
    } else {
        if (result.kind == KindInputRequest || result.kind == KindMenu)
            q.postReport(id, [&q, result] { q.reportIO(result); });
        q.postReport(id, [&q, id, pc] { q.reportStepPC(id, pc); });
    }
}

} // namespace orvenda
