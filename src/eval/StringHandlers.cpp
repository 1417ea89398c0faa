#include "eval/StringHandlers.h"

#include "core/VQStack.h"
#include "eval/EvalRun.h"
#include "eval/NumericArguments.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "numeric/ElementaryFunctions.h"
#include "numeric/StringFunctions.h"

#include <memory>

namespace orvenda {

bool StringHandlers::handles(int t)
{
    return t == 0xBB0C || t == 0xBB0F || t == 0xBB55 || t == 0xBB56;
}

void StringHandlers::handle(EvalRun& run)
{
    switch (run.token) {
    case 0xBB0C: sub(run); break;
    case 0xBB0F: inString(run); break;
    default: equationString(run); break;
    }
}

void StringHandlers::sub(EvalRun& run)
{
    NumericArguments args(p_, run);
    int n = 0;
    double length = 0.0, begin = 0.0;
    Operand string;
    if (!args.count(3, 3, n) || !args.real(length) || !args.real(begin) || !args.string(string))
        return;
    const double start = begin - 1.0;
    if (!ElementaryFunctions::isWhole(length) || !ElementaryFunctions::isWhole(start)) {
        args.fail(ErrArgument);
        return;
    }
    // A negative length is refused like any other range that does not fit the string.
    auto tokens = StringFunctions::subString(*string.string, start, length);
    if (!tokens) {
        args.fail(ErrInvalidDim);
        return;
    }
    run.R.kind = KindString;
    run.R.string = VQString(*tokens);
}

void StringHandlers::inString(EvalRun& run)
{
    NumericArguments args(p_, run);
    int n = 0;
    if (!args.count(2, 3, n))
        return;
    double start = 1.0;
    if (n == 3) {
        if (!args.real(start))
            return;
        if (!ElementaryFunctions::isWhole(start) || start < 1.0) {
            args.fail(ErrDomain);
            return;
        }
    }
    Operand sub, string;
    if (!args.string(sub) || !args.string(string))
        return;
    args.result(StringFunctions::inString(*string.string, *sub.string, start));
}

void StringHandlers::equationString(EvalRun& run)
{
    NumericArguments args(p_, run);
    int n = 0;
    if (!args.count(2, 2, n))
        return;
    // Taken as they are: the operator needs the variables, not their values.
    run.stack.pop(run.X);
    run.stack.pop(run.Y);
    run.R = p_.binaryOp(run.token, run.X, run.Y);
}

} // namespace orvenda
