#include "eval/CalculusHandlers.h"

#include "core/Calculator.h"
#include "core/RandomSource.h"
#include "core/VQList.h"
#include "core/VQStack.h"
#include "eval/EvalRun.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "numeric/ElementaryFunctions.h"

namespace orvenda {

namespace {

constexpr int kSolve = 0x22;
constexpr int kSeq = 0x23;
constexpr int kFnInt = 0x24;
constexpr int kNDeriv = 0x25;
constexpr int kFMin = 0x27;
constexpr int kFMax = 0x28;
constexpr int kRand = 0xAB;
constexpr int kSum = 0xEF33;

constexpr double kDefaultStep = 0.001;
constexpr double kDefaultTolerance = 1e-5;
constexpr double kUnbounded = 1e99;
constexpr int kMaxRandomCount = 999;

} // namespace

bool CalculusHandlers::handles(int token)
{
    switch (token) {
    case kSolve: case kSeq: case kFnInt: case kNDeriv: case kFMin: case kFMax: case kRand: case kSum:
        return true;
    default:
        return false;
    }
}

void CalculusHandlers::handle(EvalRun& run)
{
    switch (run.token) {
    case kSolve: solve(run); break;
    case kNDeriv: derivative(run); break;
    case kRand: randomList(run); break;
    default: functionOfVariable(run); break;
    }
}

bool CalculusHandlers::fail(int error, int location)
{
    p_.setError(error);
    p_.setErrorToken(location);
    return false;
}

bool CalculusHandlers::popVariable(EvalRun& run, int& slot, int error)
{
    Operand variable;
    if (!run.stack.pop(variable))
        return fail(error, run.R.location);
    if (variable.kind != KindVariable || variable.var.subKind != VarReal || variable.var.index < 0
        || variable.var.index >= Calculator::kVarCount)
        return fail(error, variable.location);
    slot = variable.var.index;
    return true;
}

bool CalculusHandlers::popExpression(EvalRun& run, std::shared_ptr<VQStack>& rpn, int error)
{
    Operand expression;
    if (!run.stack.pop(expression))
        return fail(error, run.R.location);
    if (expression.kind != KindFunction || !expression.stack)
        return fail(error, expression.location);
    rpn = std::move(expression.stack);
    return true;
}

void CalculusHandlers::setReal(EvalRun& run, double value)
{
    run.R.kind = KindReal;
    run.R.value = {value, 0.0};
    run.R.sigFig = 15;
    run.R.sigDec = -15;
}

void CalculusHandlers::solve(EvalRun& run)
{
    const int count = static_cast<int>(run.number);
    if (p_.validateArgsMin(3, 4, count, run.stack) == 0)
        return;
    double lower = -kUnbounded, upper = kUnbounded;
    if (count == 4) {
        const Operand bounds = p_.popValueFromStack(&run.stack);
        if (p_.error() != 0)
            return;
        if (bounds.kind != KindRealList || !bounds.list || bounds.list->count() != 2)
            return (void)fail(ErrArgument, bounds.location);
        lower = bounds.list->realAtIndex(0);
        upper = bounds.list->realAtIndex(1);
        if (lower > upper)
            return (void)fail(ErrArgument, bounds.location);
    }
    double guess = 0;
    int slot = 0;
    std::shared_ptr<VQStack> rpn;
    if (!p_.getReal(guess, run.stack) || !popVariable(run, slot, ErrSyntax) || !popExpression(run, rpn, ErrSyntax))
        return;
    setReal(run, p_.solve(*rpn, slot, lower, upper, guess));
}

void CalculusHandlers::derivative(EvalRun& run)
{
    const int count = static_cast<int>(run.number);
    if (p_.validateArgsMin(3, 4, count, run.stack) == 0)
        return;
    double h = kDefaultStep;
    if (count == 4) {
        if (!p_.getReal(h, run.stack))
            return;
        if (h == 0)
            return (void)fail(ErrDomain, p_.errorToken());
    }
    double value = 0;
    int slot = 0;
    std::shared_ptr<VQStack> rpn;
    if (!p_.getReal(value, run.stack) || !popVariable(run, slot, ErrArgument) || !popExpression(run, rpn, ErrArgument))
        return;
    setReal(run, p_.derivativeFunction(*rpn, slot, value, h));
}

void CalculusHandlers::functionOfVariable(EvalRun& run)
{
    const int t = run.token;
    const int count = static_cast<int>(run.number);
    if (p_.validateArgsMin(4, 5, count, run.stack) == 0)
        return;
    // The step of seq(, the tolerance of the others; where a tolerance not met is shown.
    double fifth = t == kSeq ? 1.0 : kDefaultTolerance;
    int fifthLocation = 0;
    if (count == 5) {
        if (t == kSum)
            return (void)fail(ErrSyntax, run.R.location);
        if (!p_.getReal(fifth, run.stack))
            return;
        fifthLocation = p_.errorToken();
    }
    double upper = 0, lower = 0;
    if (!p_.getReal(upper, run.stack))
        return;
    if (count == 4)
        fifthLocation = p_.errorToken() + 1;
    int slot = 0;
    std::shared_ptr<VQStack> rpn;
    if (!p_.getReal(lower, run.stack) || !popVariable(run, slot, ErrSyntax) || !popExpression(run, rpn, ErrSyntax))
        return;

    switch (t) {
    case kSeq: {
        std::shared_ptr<VQList> list = p_.sequenceFunction(*rpn, slot, lower, upper, fifth);
        if (!list)
            return;
        run.R.kind = list->type() == 0 ? KindRealList : KindComplexList;
        run.R.list = std::move(list);
        return;
    }
    case kFnInt:
        setReal(run, p_.integrateFunction(*rpn, slot, lower, upper, fifth));
        if (p_.error() == ErrTolNotMet)
            p_.setErrorToken(fifthLocation);
        return;
    case kFMin:
    case kFMax:
        if (lower > upper)
            return (void)fail(ErrBound, run.R.location);
        if (fifth == 0)
            return (void)fail(ErrDomain, fifthLocation);
        setReal(run, t == kFMin ? p_.minFunction(*rpn, slot, lower, upper, fifth)
                                : p_.maxFunction(*rpn, slot, lower, upper, fifth));
        return;
    default:
        setReal(run, p_.sumFunction(*rpn, slot, lower, upper));
        return;
    }
}

void CalculusHandlers::randomList(EvalRun& run)
{
    if (run.X.kind != KindReal)
        return (void)fail(ErrDataType, run.X.location);
    const double n = run.X.re();
    if (!(n >= 1) || !ElementaryFunctions::isWhole(n))
        return (void)fail(ErrDomain, run.X.location);
    if (n > kMaxRandomCount)
        return (void)fail(ErrListLength, run.X.location);
    auto list = std::make_shared<VQList>();
    RandomSource& random = RandomSource::shared();
    for (int i = 0; i < static_cast<int>(n); ++i)
        list->addReal(random.uniform(), 15, -15);
    run.R.kind = KindRealList;
    run.R.list = std::move(list);
}

} // namespace orvenda
