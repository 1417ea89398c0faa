#include "eval/VariableFunction.h"

#include "core/VQStack.h"
#include "eval/Parser.h"
#include "eval/ProgramQueue.h"
#include "language/ErrorNumbers.h"

#include <cmath>
#include <limits>

namespace orvenda {

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
}

VariableFunction::VariableFunction(Parser& parser, const VQStack& rpn, int slot)
    : p_(parser), calc_(parser.calc), rpn_(rpn), slot_(slot), saved_(parser.calc.getVar(slot)), quick_(parser)
{
    isQuick_ = quick_.compile(rpn, program_);
    // Only a run on the program queue can be stopped by the user.
    ProgramQueue& queue = p_.programQueue();
    if (&p_.ctx() == &queue.runContext())
        queue_ = &queue;
}

VariableFunction::~VariableFunction()
{
    calc_.setVar(slot_, saved_);
}

int VariableFunction::stopError() const
{
    return queue_ && queue_->cancelProgram() ? ErrBreak : 0;
}

bool VariableFunction::set(double x)
{
    // A routine on the program queue may evaluate for minutes within one statement: the
    // main thread gets the state lock between two evaluations, where nothing refers into it.
    if (queue_)
        calc_.stateMutex().offerToWaiters();
    // Each evaluation is a step of the run.
    if (queue_ && !queue_->takeSteps()) {
        error_ = ErrBreak;
        return false;
    }
    if (slot_ < 0 || slot_ >= Calculator::kVarCount) {
        error_ = ErrArgument;
        return false;
    }
    calc_.setVar(slot_, {{x, 0.0}, 15, -15});
    return true;
}

double VariableFunction::value(double x)
{
    if (isQuick_) {
        if (!set(x))
            return kNaN;
        const double y = quick_.run(program_);
        if (std::isfinite(y)) {
            error_ = 0;
            return y;
        }
    }
    const Operand r = evaluate(x);
    if (r.kind == KindReal) {
        // ±∞ is the overflow the home line shows for the expression here.
        if (std::isinf(r.re())) {
            error_ = ErrOverflow;
            errorToken_ = 0;
        }
        return r.re();
    }
    if (r.kind != KindError)
        error_ = r.kind == KindComplex ? ErrNonReal : ErrDataType;
    return kNaN;
}

Operand VariableFunction::evaluate(double x)
{
    Operand r;
    if (!set(x)) {
        r.error = error_;
        return r;
    }
    EvalContext& c = p_.ctx();
    const int token = c.errorToken;
    r = p_.evalRPN(rpn_, true, true);
    error_ = c.error;
    if (c.error != 0) {
        errorToken_ = c.errorToken;
        c.error = 0;
        c.errorToken = token;
        r.kind = KindError;
        r.error = error_;
    }
    return r;
}

} // namespace orvenda
