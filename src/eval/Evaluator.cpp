#include "eval/Evaluator.h"

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "eval/BBDispatch.h"
#include "eval/CalculusHandlers.h"
#include "eval/ClockColorHandlers.h"
#include "eval/DistributionHandlers.h"
#include "eval/DrawingHandlers.h"
#include "eval/EquationHandlers.h"
#include "eval/ListMatrixCommands.h"
#include "eval/MainQueue.h"
#include "eval/ModeTokenHandlers.h"
#include "eval/OwnPageHandlers.h"
#include "eval/Parser.h"
#include "eval/ProgramTokenHandlers.h"
#include "eval/RandomHandlers.h"
#include "eval/StatPlotCommands.h"
#include "eval/StatisticsHandlers.h"
#include "eval/StoreHandler.h"
#include "eval/ValueTokenHandlers.h"
#include "language/ErrorNumbers.h"

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace orvenda {

namespace {

constexpr int kStore = 0x04;
constexpr int kOpenParen = 0x10;
constexpr int kMultiply = 0x82;
constexpr int kLog = 0xC0;
constexpr int kFnBegin = 0x1012;
constexpr int kFnEnd = 0x1013;
constexpr int kStoDim = 0x101C;
// Fills a stored list or matrix, so it goes where the variable can be written back.
constexpr int kFill = 0xE2;
constexpr int kQuestion = 0x101B;
constexpr int kDelVar = 0xBB54;
// StoreGDB and RecallGDB keep a graph-database variable's name.
constexpr int kStoreGDB = 0x9A;
constexpr int kRecallGDB = 0x9B;
constexpr int kPolyline = 0x5C3F;

bool inRange(int t, int first, int last)
{
    return t >= first && t <= last;
}

// Argument markers of other commands: pushed as token records.
bool isMarker(int t)
{
    return t == 0x05 || inRange(t, 0x7F, 0x81) || inRange(t, 0xFC, 0xFE) || t == 0xBB5A || t == 0xBB5B;
}

bool isZoom(int t)
{
    return inRange(t, 0x86, 0x90) || t == 0x92 || t == 0xBB65;
}

// Values, clocks and clears that need no argument fetching.
bool isEarlyValue(int t)
{
    return t == 0x2C || t == 0x72 || t == 0xAD || t == 0x1000 || inRange(t, 0xEF09, 0xEF0D) || t == 0xFB
        || t == 0xBB52 || t == 0xBB57;
}

// Function of one operand: unaryOp with the token.
bool isUnaryOneByte(int t)
{
    switch (t) {
    case 0x01: case 0x02: case 0x03: case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x0E: case 0x0F:
    case 0x2D: case 0xB0: case 0xB1: case 0xB2: case 0xB3: case 0xB4: case 0xB5: case 0xB8: case 0xB9:
    case 0xBA: case 0xBC: case 0xBD: case 0xBE: case 0xBF: case 0xC1:
        return true;
    default:
        return inRange(t, 0xC2, 0xCD);
    }
}

bool isTwoArgumentOneByte(int t)
{
    return t == 0x14 || inRange(t, 0x1B, 0x1E) || t == 0x20 || t == 0xE2;
}

bool isOneOrTwoArgumentOneByte(int t)
{
    return t == 0x12 || t == 0x19 || t == 0x1A || t == 0x1F || t == 0x21;
}

bool isInfixOneByte(int t)
{
    return t == 0x3C || t == 0x3D || t == 0x40 || inRange(t, 0x6A, 0x71) || t == kMultiply || t == 0x83
        || t == 0x94 || t == 0x95 || t == 0xF0 || t == 0xF1;
}

// The list and matrix commands: literals, ClrList, the sorts, sum( and prod(, row operations.
bool isListCommand(int t)
{
    return t == 0x06 || t == 0x07 || t == 0x08 || t == 0xFA || t == 0xE3 || t == 0xE4 || t == 0xB6 || t == 0xB7
        || inRange(t, 0x15, 0x18);
}

// The stack of a nested run. Each depth keeps its stack for the thread's life, so the
// runs a numeric routine starts thousands of times do not allocate every time.
class NestedStack {
public:
    explicit NestedStack(Calculator& calc)
    {
        auto& pool = pool_();
        if (depth_ >= static_cast<int>(pool.size()))
            pool.push_back(std::make_unique<VQStack>(&calc));
        stack_ = pool[static_cast<std::size_t>(depth_)].get();
        stack_->setCalc(&calc);
        ++depth_;
    }
    ~NestedStack()
    {
        stack_->clear();
        --depth_;
    }
    NestedStack(const NestedStack&) = delete;
    NestedStack& operator=(const NestedStack&) = delete;

    VQStack& stack() { return *stack_; }

private:
    static std::vector<std::unique_ptr<VQStack>>& pool_()
    {
        thread_local std::vector<std::unique_ptr<VQStack>> pool;
        return pool;
    }
    static thread_local int depth_;
    VQStack* stack_;
};

thread_local int NestedStack::depth_ = 0;

} // namespace

bool Evaluator::stopsImmediate(int t)
{
    return t == 0x84 || t == 0xAD || inRange(t, 0xCE, 0xE1) || inRange(t, 0xE5, 0xE8) || inRange(t, 0x5C35, 0x5C39)
        || t == 0x5C3B || t == 0x5C58 || t == 0xBB53;
}

bool Evaluator::runsWithoutArguments(int t)
{
    return t == 0x2E || t == 0x2F || t == 0x96 || t == 0x97 || t == 0xE9 || t == 0xEA || inRange(t, 0xF2, 0xF9)
        || t == 0xFF || t == 0x7E08 || inRange(t, 0xBB32, 0xBB34) || inRange(t, 0xBB46, 0xBB49) || t == 0xEF15;
}

bool Evaluator::endsRun(int kind)
{
    switch (kind) {
    case KindGraphShown:
    case KindReturn:
    case KindStop:
    case KindBreakpoint:
    case KindQuestion:
    case KindDispTable:
    case KindZoom:
    case KindClrDraw:
    case KindClrControls:
    case KindDispControls:
        return true;
    default:
        return false;
    }
}

Operand Evaluator::evalRPN(const VQStack& rpn, bool immediateMode, bool async)
{
    Operand R;
    evalRPN(rpn, immediateMode, async, R);
    return R;
}

void Evaluator::evalRPN(const VQStack& rpn, bool immediateMode, bool async, Operand& into)
{
    EvalContext& c = p_.ctx();
    Calculator& calc = p_.calc;
    // Taken again at no cost by the program queue, which holds it for the statement.
    std::lock_guard state(calc.stateMutex());

    c.f_und = false;
    c.f_nd = false;
    c.f_decimal = rpn.hasDecimalPoint();

    const bool outermost = c.evalDepth++ == 0;
    std::optional<NestedStack> nested;
    if (!outermost)
        nested.emplace(calc);
    VQStack& stack = outermost ? c.evalStack : nested->stack();

    EvalRun run(stack, rpn);
    run.immediate = immediateMode;
    run.async = async;
    run.R.hasDecimalPoint = rpn.hasDecimalPoint();
    run.savedComplexSwitch = c.complexSwitch;

    bool ended = false;
    bool held = false;
    const int n = rpn.count();
    for (int i = 0; i < n && !ended; ++i) {
        const Operand* at = rpn.opAtIndex(i);
        if (!at)
            break;
        const Operand& record = *at;
        c.errorToken = record.location;
        if (record.kind != KindOpcode) {
            stack.pushOperand(record, record.location);
            continue;
        }
        run.index = i;
        const Step step = walkRecord(run, record, i == n - 1);
        ended = step == Step::End;
        held = step == Step::Held;
        if (held && run.index != i) {
            // The walk goes on elsewhere after all: the value goes where it belongs.
            run.stack.pushOperand(std::move(run.R), run.R.location);
            held = false;
        }
        i = run.index;
    }

    if (!ended) {
        if (held) {
            // As popping it back would report it.
            c.error = run.R.error;
            c.errorToken = run.R.location;
        } else if (stack.count() == 0) {
            c.error = ErrUndefined;
        } else {
            ArgumentFetcher(p_).popValueFromStack(&stack, run.R);
        }
    }

    // Leaving, whatever the path.
    c.complexSwitch = run.savedComplexSwitch;
    if (outermost)
        stack.clear();
    nested.reset();
    --c.evalDepth;

    into = std::move(run.R);
    into.error = c.error;
    if (c.error != 0 || into.location == 0)
        into.location = c.errorToken;
    into.hasDecimalPoint = c.rpnStack().hasDecimalPoint();
}

Evaluator::Step Evaluator::walkRecord(EvalRun& run, const Operand& record, bool last)
{
    EvalContext& c = p_.ctx();

    // Every token starts from an empty result.
    const bool decimal = run.rpn.hasDecimalPoint();
    run.R.reset();
    run.R.hasDecimalPoint = decimal;
    run.R.location = record.location;
    run.Y.reset();

    run.opcode = record.opcode;
    run.token = static_cast<int>(record.opcode & 0xFFFF);
    const int t = run.token;

    if (run.immediate && stopsImmediate(t)) {
        c.error = ErrInvalid;
        return Step::End;
    }

    int index = run.index;
    bool ends = false;
    const bool early = handleWithoutArguments(run, index, ends);
    run.index = index;
    if (!early) {
        if (!fetchX(run))
            return Step::End;
        do {
            run.redispatch = false;
            dispatch(run);
        } while (run.redispatch && c.error == 0);
    }
    if (ends)
        return Step::End;

    // What the handler left.
    if (run.R.kind == KindError && run.R.error != 0)
        c.error = run.R.error;
    if (c.error != 0)
        return Step::End;
    if (endsRun(run.R.kind))
        return Step::End;
    if (run.R.kind == KindError)
        return Step::Next;
    // The last value of the run stays in R (a variable reference still goes through the
    // stack, whose pop resolves it).
    if (last && run.R.kind != KindVariable)
        return Step::Held;
    // R is done with: the next token starts it afresh.
    run.stack.pushOperand(std::move(run.R), run.R.location);
    return Step::Next;
}

bool Evaluator::handleWithoutArguments(EvalRun& run, int& index, bool& ends)
{
    const int t = run.token;
    Operand& R = run.R;

    // The operators and one-operand functions, the most frequent tokens, are none of the
    // tokens below: they skip the checks.
    if (t <= 0xFF && (isInfixOneByte(t) || isUnaryOneByte(t) || t == kStore))
        return false;
    if (t == kOpenParen)
        return true;
    if (t == kFnBegin) {
        pushArgumentGroup(run, index);
        return true;
    }
    if (isMarker(t)) {
        run.stack.pushOpcode(run.opcode, R.location);
        return true;
    }
    if (ModeTokenHandlers::isModeToken(t)) {
        ModeTokenHandlers(p_.calc).handle(run);
        return true;
    }
    if (isEarlyValue(t)) {
        ValueTokenHandlers(p_).handleEarly(run);
        return true;
    }

    // Program control: the caller acts on the kind.
    switch (t) {
    case 0x84:  // Trace
    case 0xDF:  // DispGraph
        R.kind = KindGraphShown;
        break;
    case 0xD5:
        R.kind = KindReturn;
        break;
    case 0xD9:
        R.kind = KindStop;
        break;
    case 0xD0:    // Else
    case 0xD4:    // End
    case 0xD7:    // Goto
    case 0x5C35:  // Gosub
        R.kind = KindBranch;
        R.opcode = run.opcode;
        R.ints = {static_cast<int>(run.opcode >> 16), t, 1, 0};
        return true;
    case 0xE1:
        R.kind = KindClrHome;
        return true;
    case 0x5C58:
        R.kind = KindBreakpoint;
        break;
    case kQuestion:
        R.kind = KindQuestion;
        break;
    case 0xE5:
        R.kind = KindDispTable;
        break;
    case 0x85:
        R.kind = KindClrDraw;
        break;
    case 0x5C3A:
        R.kind = KindClrControls;
        break;
    case 0x5C3B:
        R.kind = KindDispControls;
        break;
    default:
        if (!isZoom(t))
            return false;
        R.kind = KindZoom;
        R.opcode = static_cast<std::uint32_t>(t);
        break;
    }
    ends = true;
    return true;
}

void Evaluator::pushArgumentGroup(EvalRun& run, int& index)
{
    EvalContext& c = p_.ctx();
    const int location = run.R.location;
    const int n = run.rpn.count();
    auto group = std::make_shared<VQStack>(&run.rpn.calc());
    group->setHasDecimalPoint(run.rpn.hasDecimalPoint());

    int level = 0;
    int i = index + 1;
    const Operand* end = nullptr;
    for (; i < n; ++i) {
        const Operand& record = *run.rpn.opAtIndex(i);
        if (record.kind == KindOpcode) {
            const int t = static_cast<int>(record.opcode & 0xFFFF);
            if (t == kFnBegin) {
                ++level;
            } else if (t == kFnEnd) {
                if (level == 0) {
                    end = &record;
                    break;
                }
                --level;
            }
        }
        group->pushOperand(record, record.location);
    }
    // The walk goes on after the closing marker (or ends with the RPN when it is missing).
    index = i;
    if (group->count() == 0) {
        c.errorToken = location;
        c.error = ErrSyntax;
        return;
    }
    Operand fn;
    fn.kind = KindFunction;
    fn.stack = std::move(group);
    // The argument as typed, where the parser kept it.
    if (end)
        fn.string = end->string;
    fn.hasDecimalPoint = run.rpn.hasDecimalPoint();
    run.stack.pushOperand(std::move(fn), location);
}

bool Evaluator::fetchX(EvalRun& run)
{
    EvalContext& c = p_.ctx();
    const int t = run.token;
    if (run.stack.count() == 0) {
        if (!runsWithoutArguments(t)) {
            c.error = ErrUndefined;
            return false;
        }
        Parser::initOperand(run.X);
        run.number = 0;
        return true;
    }
    if (t == kStore || t == kDelVar || t == kStoDim || t == kStoreGDB || t == kRecallGDB) {
        // The handler needs the variable reference itself.
        run.stack.pop(run.X);
    } else {
        ArgumentFetcher(p_).popValueFromStack(&run.stack, run.X);
        if (c.error != 0)
            return false;
    }
    c.errorToken = run.X.location;
    run.R.location = run.X.location;
    run.number = run.X.kind == KindReal ? run.X.re() : 0.0;
    return true;
}

void Evaluator::dispatch(EvalRun& run)
{
    const int t = run.token;
    if (t <= 0xFF)
        dispatchOneByte(run);
    else if (inRange(t, 0x1000, 0x10FF))
        dispatchInternal(run);
    else if (inRange(t, 0x5C00, 0x5CFF))
        dispatchOwnPage(run);
    else if (inRange(t, 0xBB00, 0xBBD9))
        BBDispatch::dispatch(*this, run);
    else
        dispatchOtherPages(run);
}

void Evaluator::dispatchOneByte(EvalRun& run)
{
    const int t = run.token;
    if (isInfixOneByte(t))
        binaryOperator(run);
    else if (isUnaryOneByte(t))
        unaryFunction(run);
    else if (t == kFill)
        ListMatrixCommands(p_).handle(run);
    else if (isTwoArgumentOneByte(t))
        twoArgumentFunction(run);
    else if (isOneOrTwoArgumentOneByte(t))
        oneOrTwoArgumentFunction(run);
    else if (t == kLog)
        logarithm(run);
    else if (t == kStore)
        StoreHandler(p_).handle(run);
    else if (ProgramTokenHandlers::handles(t))
        ProgramTokenHandlers(p_).handle(run);
    else if (CalculusHandlers::handles(t))
        CalculusHandlers(p_).handle(run);
    else if (isListCommand(t))
        ListMatrixCommands(p_).handle(run);
    else if (DrawingHandlers::handles(t))
        DrawingHandlers(p_).handle(run);
    else if (StatisticsHandlers::handles(t))
        StatisticsHandlers(p_).handle(run);
    else if (StatPlotCommands::handles(t))
        StatPlotCommands(p_).handle(run);
    else if (t == 0x00 || t == 0x09 || t == 0x11 || t == 0x2B || inRange(t, 0x29, 0x2A) || inRange(t, 0x30, 0x3B)
             || inRange(t, 0x3E, 0x3F) || inRange(t, 0x41, 0x5E) || inRange(t, 0x60, 0x63) || t == 0x7E
             || t == 0xAA || t == 0xAC || t == 0xAE || t == 0xAF || t == 0xBB || t == 0xEB || t == 0xEF)
        noHandler(run);
    else
        notAvailable(run);
}

void Evaluator::dispatchInternal(EvalRun& run)
{
    const int t = run.token;
    if (t == kStoDim)
        ValueTokenHandlers(p_).storeDimension(run);
    else if (inRange(t, 0x1001, 0x1011) || t == 0x101D)
        ValueTokenHandlers(p_).handleIndexed(run);
    else if (ProgramTokenHandlers::handles(t))
        ProgramTokenHandlers(p_).handle(run);
    else if (t == 0x101A)
        notAvailable(run);
    else
        noHandler(run);
}

void Evaluator::dispatchOwnPage(EvalRun& run)
{
    const int t = run.token;
    switch (t) {
    case 0x5C43:  // NOTb(
    case 0x5C52:  // molarMass(
    case 0x5C62:  // sigFig(
    case 0x5C63:  // ▸SigFig
        unaryFunction(run);
        return;
    case 0x5C40:  // ANDb
    case 0x5C41:  // ORb
    case 0x5C42:  // XORb
        binaryOperator(run);
        return;
    case 0x5C3D:  // hypot(
    case 0x5C3E:  // atan2(
        twoArgumentFunction(run);
        return;
    case 0x5C64:  // roundSigFig(
        oneOrTwoArgumentFunction(run);
        return;
    case 0x5C44:  // Plot4(
    case 0x5C45:  // Plot5(
    case 0x5C46:  // Plot6(
        StatPlotCommands(p_).handle(run);
        return;
    default:
        break;
    }
    if (t == kPolyline)
        DrawingHandlers(p_).polyline(run);
    else if (OwnPageHandlers::handles(t))
        OwnPageHandlers(p_).handle(run);
    else
        noHandler(run);
}

void Evaluator::dispatchOtherPages(EvalRun& run)
{
    const int t = run.token;
    switch (t) {
    case 0xEF02: case 0xEF05: case 0xEF30: case 0xEF31: case 0xEF98:
    case 0xBBDA: case 0xBBEF: case 0xBBF6: case 0xBBF7: case 0xBBFC: case 0xBBFD: case 0xBBFE: case 0xBBFF:
        unaryFunction(run);
        return;
    case 0xEF32:  // remainder(
    case 0xEF34:  // logBASE(
        twoArgumentFunction(run);
        return;
    case 0xEF33:  // ∑(
        CalculusHandlers(p_).handle(run);
        return;
    case 0xEF38:  // n/d, the fraction bar
        binaryOperator(run);
        return;
    case 0xBBFA:  // shift(
    case 0xBBFB:  // rotate(
        oneOrTwoArgumentFunction(run);
        return;
    case 0xEF13:  // invT(
    case 0xEF95:  // invBinom(
        DistributionHandlers(p_).handle(run);
        return;
    case 0xEF35:  // randIntNoRep(
        RandomHandlers(p_).handle(run);
        return;
    case 0xEF14:  // χ²GOF-Test(
    case 0xEF15:  // LinRegTInt
        StatisticsHandlers(p_).handle(run);
        return;
    default:
        break;
    }
    if (ClockColorHandlers::handles(t)) {
        ClockColorHandlers(p_).handle(run);
        return;
    }
    if (EquationHandlers::handles(t))
        EquationHandlers(p_).handle(run);
    // Pictures and graph databases.
    else if (inRange(t, 0x6000, 0x61FF))
        notAvailable(run);
    else
        noHandler(run);
}

void Evaluator::unaryFunction(EvalRun& run)
{
    run.R = p_.unaryOp(run.opcode, run.X);
}

void Evaluator::binaryOperator(EvalRun& run)
{
    if (run.stack.count() == 0) {
        p_.ctx().error = ErrSyntax;
        return;
    }
    ArgumentFetcher(p_).popValueFromStack(&run.stack, run.Y);
    if (p_.ctx().error != 0)
        return;
    run.R = p_.binaryOp(run.token, run.X, run.Y);
}

void Evaluator::twoArgumentFunction(EvalRun& run)
{
    const int count = static_cast<int>(run.number);
    if (p_.validateArgsMin(2, 2, count, run.stack) == 0)
        return;
    ArgumentFetcher args(p_);
    args.popValueFromStack(&run.stack, run.X);
    if (p_.ctx().error != 0)
        return;
    args.popValueFromStack(&run.stack, run.Y);
    if (p_.ctx().error != 0)
        return;
    run.R = p_.binaryOp(run.token, run.X, run.Y);
}

void Evaluator::oneOrTwoArgumentFunction(EvalRun& run)
{
    EvalContext& c = p_.ctx();
    const int count = static_cast<int>(run.number);
    if (p_.validateArgsMin(1, 2, count, run.stack) == 0)
        return;
    ArgumentFetcher args(p_);
    args.popValueFromStack(&run.stack, run.X);
    if (c.error != 0)
        return;
    c.errorToken = run.X.location;
    if (count == 2) {
        args.popValueFromStack(&run.stack, run.Y);
        if (c.error != 0)
            return;
        run.R = p_.binaryOp(run.token, run.X, run.Y);
    } else {
        run.R = p_.unaryOp(run.opcode, run.X);
    }
}

void Evaluator::logarithm(EvalRun& run)
{
    EvalContext& c = p_.ctx();
    const int count = static_cast<int>(run.number);
    if (p_.validateArgsMin(1, 2, count, run.stack) == 0)
        return;
    Operand base;
    if (count == 2) {
        base = p_.popValueFromStack(&run.stack);
        if (c.error != 0)
            return;
    } else {
        base.kind = KindReal;
        base.value = {10.0, 0.0};
        base.location = run.R.location;
    }
    ArgumentFetcher(p_).popValueFromStack(&run.stack, run.Y);
    if (c.error != 0)
        return;
    run.X = std::move(base);
    run.R = p_.binaryOp(run.token, run.X, run.Y);
}

void Evaluator::notAvailable(EvalRun& run)
{
    EvalContext& c = p_.ctx();
    if (const Operand* record = run.rpn.opAtIndex(run.index))
        c.errorToken = record->location;
    c.error = ErrInvalid;
}

void Evaluator::noHandler(EvalRun& run)
{
    EvalContext& c = p_.ctx();
    if (const Operand* record = run.rpn.opAtIndex(run.index))
        c.errorToken = record->location;
    c.error = ErrUndefined;
}

MainQueue* Evaluator::mainQueue() const
{
    return mainQueue_ ? mainQueue_ : p_.programQueue().mainQueue();
}

void Evaluator::drawOnMain(const EvalRun& run, std::function<void()> work)
{
    MainQueue* queue = run.async ? mainQueue() : nullptr;
    if (!queue) {
        work();
        return;
    }
    auto guarded = [alive = alive_, work = std::move(work)] {
        if (*alive)
            work();
    };
    if (queue == p_.programQueue().mainQueue())
        p_.programQueue().postBatched(std::move(guarded));
    else
        queue->post(std::move(guarded));
}

void Evaluator::onMainSync(const EvalRun& run, std::function<void()> work)
{
    MainQueue* queue = run.async ? mainQueue() : nullptr;
    ProgramQueue& programs = p_.programQueue();
    if (queue && programs.onWorker()) {
        // The main thread may be waiting for the state lock; a stop gives the wait up.
        StateMutex::Released released(p_.calc.stateMutex());
        if (queue == programs.mainQueue())
            programs.handOver(programs.executingRun(), std::move(work));
        else
            queue->postSync(std::move(work));
    } else if (queue) {
        queue->postSync(std::move(work));
    } else {
        work();
    }
}

} // namespace orvenda
