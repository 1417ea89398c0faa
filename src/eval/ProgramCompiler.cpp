#include "eval/ProgramCompiler.h"

#include "core/Calculator.h"
#include "eval/Parser.h"
#include "eval/ProgramTokens.h"
#include "language/ErrorNumbers.h"
#include "language/LiteralScanner.h"

#include <algorithm>
#include <map>
#include <utility>

namespace orvenda {

using namespace ProgramTokens;

namespace {

// The index of the last token of a degree-minute-second literal starting with "°" at i.
unsigned skipDMS(const std::vector<std::uint32_t>& ops, unsigned i)
{
    while (i + 1 < ops.size()) {
        const std::uint32_t t = token(ops[i + 1]);
        if (!LiteralScanner::isDigit(t) && t != kQuote && t != kApostrophe)
            break;
        ++i;
    }
    return i;
}

// Index of the first token at or after `from` for which `ends` holds, strings skipped;
// the count when none.
template <class Ends>
unsigned findEnd(const std::vector<std::uint32_t>& ops, unsigned from, Ends ends)
{
    const unsigned n = static_cast<unsigned>(ops.size());
    for (unsigned k = from; k < n; ++k) {
        const std::uint32_t t = token(ops[k]);
        if (t == kQuote) {
            k = ProgramCompiler::skipStringInOps(ops, k);
            continue;
        }
        if (ends(t))
            return k;
    }
    return n;
}

bool isStatementEndOrComment(std::uint32_t t)
{
    return endsStatement(t) || t == kComment;
}

struct Compile {
    Parser& p;
    std::vector<std::uint32_t>& ops;
    EvalContext& c;

    void fail(int error, int at)
    {
        c.error = error;
        c.errorToken = at;
    }

    void setTarget(unsigned at, unsigned target) { ops[at] = withTarget(ops[at], static_cast<int>(target)); }

    bool labels(std::map<unsigned, unsigned>& table)
    {
        const unsigned n = static_cast<unsigned>(ops.size());
        for (unsigned i = 0; i < n; ++i) {
            const std::uint32_t t = token(ops[i]);
            if (t == kQuote) {
                i = ProgramCompiler::skipStringInOps(ops, i);
            } else if (t == kDegree) {
                i = skipDMS(ops, i);
            } else if (t == kLbl) {
                int j = static_cast<int>(i) + 1;
                const unsigned label = p.getLabel(ops, j);
                if (c.error != 0 || label == 0) {
                    // A label that cannot be read stops here; without a reason of the
                    // label reader's own it is a syntax error.
                    fail(c.error != 0 ? c.error : ErrSyntax, static_cast<int>(i));
                    return false;
                }
                if (table.contains(label)) {
                    fail(ErrDuplicateLabel, static_cast<int>(i));
                    return false;
                }
                table.emplace(label, static_cast<unsigned>(j) + 1);
            }
        }
        return true;
    }

    bool blocks(const std::map<unsigned, unsigned>& table)
    {
        const unsigned n = static_cast<unsigned>(ops.size());
        std::vector<std::uint32_t> open;  // (index << 16) | token
        auto entryIndex = [](std::uint32_t e) { return e >> 16; };
        auto entryToken = [](std::uint32_t e) { return e & 0xFFFF; };

        for (unsigned i = 0; i < n; ++i) {
            const std::uint32_t t = token(ops[i]);
            switch (t) {
            case kQuote:
                i = ProgramCompiler::skipStringInOps(ops, i);
                break;
            case kDegree:
                i = skipDMS(ops, i);
                break;
            case kIf: {
                // The condition ends at a ":" or new line that is not the array's last token.
                unsigned k = i + 1;
                for (;; ++k) {
                    k = findEnd(ops, k, endsStatement);
                    if (k >= n || k != n - 1)
                        break;
                }
                if (k >= n - 1) {
                    fail(ErrSyntax, static_cast<int>(std::min(k, n)));
                    return false;
                }
                if (token(ops[k + 1]) == kThen) {
                    open.push_back((i << 16) | t);
                } else {
                    // One governed statement: a false condition jumps to its end.
                    unsigned m = findEnd(ops, k + 1, endsStatement);
                    if (m < n)
                        while (m + 1 < n && token(ops[m + 1]) == kNewLine)
                            ++m;
                    setTarget(i, m);
                }
                i = k;
                break;
            }
            case kThen:
                if (open.empty() || entryToken(open.back()) != kIf) {
                    fail(ErrThenWithoutIf, static_cast<int>(i));
                    return false;
                }
                break;
            case kWhile:
            case kRepeat:
            case kFor:
                open.push_back((i << 16) | t);
                break;
            case kElse: {
                if (open.empty()) {
                    fail(ErrSyntax, static_cast<int>(i));
                    return false;
                }
                const std::uint32_t e = open.back();
                open.pop_back();
                if (entryToken(e) != kIf) {
                    fail(ErrMissingThen, static_cast<int>(i));
                    return false;
                }
                setTarget(entryIndex(e), i + 2);
                open.push_back((i << 16) | t);
                break;
            }
            case kEnd: {
                if (open.empty()) {
                    fail(ErrSyntax, static_cast<int>(i));
                    return false;
                }
                const std::uint32_t e = open.back();
                open.pop_back();
                const unsigned j = entryIndex(e);
                switch (entryToken(e)) {
                case kIf:
                case kElse:
                    setTarget(i, i + 2);
                    setTarget(j, i + 2);
                    break;
                case kFor:
                case kWhile:
                case kRepeat:
                    setTarget(i, j);
                    setTarget(j, i + 2);
                    break;
                default:
                    fail(ErrSyntax, static_cast<int>(i));
                    return false;
                }
                break;
            }
            case kIncrementSkip:
            case kDecrementSkip: {
                // A true test skips the one statement after this one.
                const unsigned own = findEnd(ops, i + 1, isStatementEndOrComment);
                const unsigned next = own < n ? findEnd(ops, own + 1, isStatementEndOrComment) : n;
                setTarget(i, next < n ? next + 1 : n);
                i = own < n ? own : n;
                break;
            }
            case kGoto:
            case kGosub: {
                int j = static_cast<int>(i) + 1;
                const unsigned label = p.getLabel(ops, j);
                if (c.error != 0 || label == 0) {
                    fail(ErrGotoBadLabel, static_cast<int>(i));
                    return false;
                }
                const auto found = table.find(label);
                if (found == table.end()) {
                    fail(ErrParseLabelNotFound, static_cast<int>(i));
                    return false;
                }
                setTarget(i, found->second);
                break;
            }
            default:
                break;
            }
        }

        if (!open.empty()) {
            // The innermost block left open is reported.
            const std::uint32_t e = open.back();
            int error = ErrSyntax;
            switch (entryToken(e)) {
            case kIf: error = ErrMissingIfEnd; break;
            case kFor: error = ErrMissingForEnd; break;
            case kWhile: error = ErrMissingWhileEnd; break;
            case kRepeat: error = ErrMissingRepeatEnd; break;
            case kElse: error = ErrMissingElseEnd; break;
            default: break;
            }
            fail(error, static_cast<int>(entryIndex(e)));
            return false;
        }
        return true;
    }
};

} // namespace

void ProgramCompiler::compile(Ops& ops)
{
    p_.clearLineCache();
    if (ops.empty())
        return;
    EvalContext& c = p_.ctx();
    Compile pass{p_, ops, c};
    std::map<unsigned, unsigned> table;
    if (!pass.labels(table))
        return;
    pass.blocks(table);
}

unsigned ProgramCompiler::skipStringInOps(const Ops& ops, unsigned at)
{
    const unsigned n = static_cast<unsigned>(ops.size());
    if (at >= n || token(ops[at]) != kQuote)
        return at;
    for (unsigned k = at + 1; k < n; ++k) {
        const std::uint32_t t = token(ops[k]);
        if (t == kQuote)
            return k;
        if (t == kNewLine)
            return k - 1;
    }
    return n;
}

VQStack ProgramCompiler::getRPNfor(Ops& ops)
{
    EvalContext& c = p_.ctx();
    c.error = 0;
    VQStack saved = c.rpnStack();
    p_.infixToRPN(&ops, 0, true);
    VQStack result = c.rpnStack();
    c.rpnStack() = std::move(saved);
    return result;
}

std::optional<VQStack> ProgramCompiler::getSeqRPNfor(const Ops& ops, int* flags)
{
    constexpr std::uint32_t kParenOpen = 0x10, kParenClose = 0x11, kEta = 0xBBAA, kMinus = 0x71;
    int found = 0;
    Ops out;
    out.reserve(ops.size());
    const std::size_t n = ops.size();
    for (std::size_t i = 0; i < n; ++i) {
        std::uint32_t t = token(ops[i]);
        if (t >= 0xBBC5 && t <= 0xBBC7)
            t = 0x5E80 + (t - 0xBBC5);
        if (t < 0x5E80 || t > 0x5E82) {
            out.push_back(ops[i]);
            continue;
        }
        const int which = static_cast<int>(t - 0x5E80);  // u, v, w
        int back = 1;
        if (i + 1 < n) {
            if (i + 5 >= n || token(ops[i + 1]) != kParenOpen || token(ops[i + 2]) != kEta
                || token(ops[i + 3]) != kMinus || (token(ops[i + 4]) != 0x31 && token(ops[i + 4]) != 0x32)
                || token(ops[i + 5]) != kParenClose)
                return std::nullopt;
            back = token(ops[i + 4]) == 0x32 ? 2 : 1;
            i += 5;
        }
        const int slot = which * 2 + (back - 1);
        out.push_back(0x1020u + static_cast<std::uint32_t>(slot));
        found |= 1 << slot;
    }
    if (flags)
        *flags = found;
    return getRPNfor(out);
}

std::string ProgramCompiler::printProgram(const Ops& ops) const
{
    std::string listing;
    for (std::size_t i = 0; i < ops.size(); ++i) {
        const std::string index = std::to_string(i);
        listing += std::string(index.size() < 4 ? 4 - index.size() : 0, ' ') + index + ": ";
        listing += p_.calc.nameForOpcode(token(ops[i]));
        switch (token(ops[i])) {
        case kIf: case kElse: case kWhile: case kRepeat: case kFor: case kEnd:
        case kGoto: case kIncrementSkip: case kDecrementSkip: case kGosub:
            listing += "," + std::to_string(target(ops[i])) + ", ";
            break;
        default:
            break;
        }
        listing += '\n';
    }
    return listing;
}

} // namespace orvenda

// ---- Direct evaluation ----

#include "core/services/EntryManager.h"
#include "core/services/ProgramManager.h"
#include "core/services/ProgramOutputManager.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "eval/MenuObject.h"
#include "eval/ProgramObject.h"
#include "eval/ProgramQueue.h"
#include "eval/StatementInterpreter.h"

namespace orvenda {

Operand ProgramCompiler::eval(Ops& ops, bool doSubprogram)
{
    EvalContext& c = p_.ctx();
    Calculator& calc = p_.calc;
    auto state = calc.lockState();
    ProgramQueue& q = p_.programQueue();
    ProgramOutputManager* out = calc.prgmOutputMgr.get();

    Operand result;
    result.error = ErrUndefined;
    if (ops.empty())
        return result;
    c.error = 0;
    compile(ops);
    if (c.error != 0) {
        result.error = c.error;
        result.location = c.errorToken;
        return result;
    }

    // The evaluation's own frames, prompts and menu: a program that runs on the queue
    // meanwhile keeps its own. Continuing takes over the program waiting for this answer,
    // and a program this evaluation leaves waiting is kept for the next run, as long as no
    // run is under way.
    ProgramQueue::WaitingProgram program;
    program.prompts = VQStack(&calc);
    if (doSubprogram)
        q.takeWaiting(program);
    std::vector<RunObject>& frames = program.frames;
    auto cur = std::make_shared<Ops>(ops);
    std::string name;
    int ip = 0;
    bool stop = false;
    auto frame = [&](int at, int type) { frames.emplace_back(cur, name, at, type); };

    while (!stop && c.error == 0) {
        if (ip >= static_cast<int>(cur->size())) {
            if (!doSubprogram || frames.empty())
                break;
            if (std::optional<Operand> variable = program.prompts.pop()) {
                StatementInterpreter::storeAnswer(p_, result, *variable);
                if (c.error != 0)
                    break;
                if (out)
                    out->newLine();
                Parser::initOperand(result);
                result.kind = KindDone;
                if (const Operand* next = program.prompts.peek()) {
                    result = promptRecord(*next);
                    break;
                }
            }
            bool resumed = false;
            while (!frames.empty()) {
                RunObject top = std::move(frames.back());
                frames.pop_back();
                if (top._ops() && top._ip() < static_cast<int>(top._ops()->size())) {
                    cur = top._ops();
                    name = top._name();
                    ip = top._ip();
                    resumed = true;
                    break;
                }
            }
            if (!resumed)
                break;
            continue;
        }

        ip = p_.infixToRPN(cur.get(), ip, false);
        if (c.error != 0 || c.rpnStack().count() == 0)
            continue;
        result = p_.evalRPN(c.rpnStack(), false, false);
        if (c.error != 0)
            break;

        switch (result.kind) {
        case KindRealList:
        case KindComplexList:
            if (!result.list)
                c.error = ErrListUndefined;
            break;
        case KindMatrix:
            if (!result.matrix || result.matrix->dimRow() == 0 || result.matrix->dimCol() == 0)
                c.error = ErrUndefined;
            break;
        case KindResults:
            if (result.stack) {
                VQStack values = *result.stack;
                while (values.count() > 0) {
                    const Operand value = values.popValue();
                    if (out)
                        out->displayOp(value);
                }
            }
            break;
        case KindOutput:
            if (out)
                out->displayOp(result);
            break;
        case KindClrHome:
            if (out)
                out->clearHome();
            break;
        case KindProgramCall: {
            auto program = std::dynamic_pointer_cast<ProgramObject>(result.object);
            if (!program) {
                c.error = ErrUndefined;
                break;
            }
            // A value evaluated here (a field's, a stepped answer) runs no program: nothing
            // on this thread could answer its question or break its loop.
            if (!doSubprogram) {
                c.error = ErrInvalid;
                c.errorToken = result.location;
                break;
            }
            if (!calc.programRunning) {
                if (out)
                    out->startProgram(program->name);
                calc.programRunning = true;
                if (calc.entryManager)
                    calc.entryManager->startNewEntry();
            }
            frame(ip, RunObject::BreakProgramCall);
            auto called = std::make_shared<Ops>(program->ops);
            compile(*called);
            if (c.error != 0)
                break;
            cur = std::move(called);
            name = program->name;
            ip = 0;
            break;
        }
        case KindPause:
            if (out && result.ints[2] != KindPause)
                out->displayOp(result);
            frame(ip, RunObject::BreakPause);
            calc.pauseRunning = true;
            stop = true;
            break;
        case KindMenu: {
            auto menu = std::dynamic_pointer_cast<MenuObject>(result.object);
            program.menu = menu ? menu->menu : nullptr;
            stop = true;
            break;
        }
        case KindPrompt: {
            frame(ip, RunObject::BreakPrompt);
            program.prompts = result.stack ? *result.stack : VQStack(&calc);
            if (const Operand* first = program.prompts.peek())
                result = promptRecord(*first);
            stop = true;
            break;
        }
        case KindInputRequest: {
            frame(ip, RunObject::BreakInput);
            Operand variable;
            variable.kind = KindVariable;
            variable.var = result.var;
            program.prompts.clear();
            program.prompts.pushOperand(variable, result.location);
            stop = true;
            break;
        }
        case KindReturn: {
            if (!frames.empty() && frames.back()._breakType() == RunObject::BreakSubroutine) {
                ip = frames.back()._ip();
                frames.pop_back();
            } else {
                Parser::initOperand(result);
                result.kind = KindDone;
                stop = true;
            }
            break;
        }
        case KindStop:
            Parser::initOperand(result);
            result.kind = KindDone;
            result.flag = true;
            frames.clear();
            stop = true;
            break;
        case KindBranch: {
            bool gosub = false;
            const int to = branchTo(result, cur.get(), ip, gosub);
            if (gosub)
                frame(ip, RunObject::BreakSubroutine);
            ip = to;
            break;
        }
        default:
            break;
        }
    }

    if (c.error == 0) {
        result.error = 0;
        // Left waiting: kept for the next run unless a run is under way.
        if (!program.empty())
            q.leaveWaiting(std::move(program));
        result.flag = result.flag || q.programQueued();
    } else {
        result.flag = false;
        result.kind = KindError;
        result.error = c.error;
        result.location = c.errorToken;
    }
    return result;
}

int ProgramCompiler::branchTo(const Operand& branch, Ops* ops, int ip, bool& gosub)
{
    EvalContext& c = p_.ctx();
    const int to = branch.ints[0];
    const auto t = static_cast<std::uint32_t>(branch.ints[1]);
    const bool cond = branch.ints[2] != 0;
    if ((t == kIf || t == kWhile || t == kFor) && !cond)
        return to;
    if ((t == kIncrementSkip || t == kDecrementSkip) && cond)
        return to;
    if (t == kGoto || t == kElse)
        return to;
    if (t == kGosub) {
        gosub = true;
        return to;
    }
    if (t != kEnd)
        return ip;
    const std::uint32_t head = to >= 0 && to < static_cast<int>(ops->size()) ? token((*ops)[static_cast<std::size_t>(to)]) : 0;
    if (head != kFor && head != kRepeat)
        return to;
    // A loop's End tests its head again: past the End when it runs on.
    const int after = p_.infixToRPN(ops, to, false);
    if (c.error != 0)
        return ip;
    if (head == kFor && to < ip)
        for (Operand& record : c.rpnStack().stack())
            if (record.kind == KindOpcode && token(record.opcode) == kFor) {
                record.opcode = kForNext;
                break;
            }
    const Operand test = p_.evalRPN(c.rpnStack(), false, true);
    if (c.error == 0 && test.kind == KindBranch && test.ints[2] != 0)
        return after;
    return ip;
}

} // namespace orvenda
