#include "eval/EquationHandlers.h"

#include "core/VQList.h"
#include "core/VQStack.h"
#include "eval/EquationApplier.h"
#include "eval/EvalRun.h"
#include "eval/Parser.h"
#include "eval/SequenceEvaluator.h"
#include "eval/StoreHandler.h"
#include "language/ErrorNumbers.h"

#include <cmath>

namespace orvenda {

namespace {

bool inRange(int t, int first, int last) { return t >= first && t <= last; }

// Lists hold at most 999 elements.
constexpr int kMaxTerms = 999;

} // namespace

bool EquationHandlers::handles(int t)
{
    return StoreHandler::isEquationToken(t);
}

void EquationHandlers::handle(EvalRun& run)
{
    const int t = run.token;
    if (inRange(t, 0x5E80, 0x5E82)) {
        sequence(run);
    } else if (inRange(t, 0x5EA0, 0x5EA9)) {
        implicit(run);
    } else {
        const int location = run.R.location;
        run.R = EquationApplier(p_).applyYEq(t, run.X);
        run.R.location = location;
    }
}

void EquationHandlers::sequence(EvalRun& run)
{
    const int count = static_cast<int>(run.number);
    if (p_.validateArgsMin(1, 3, count, run.stack) == 0)
        return;
    const int location = run.R.location;
    if (count == 1) {
        const Operand n = p_.popValueFromStack(&run.stack);
        if (p_.error() != 0)
            return;
        run.R = EquationApplier(p_).applyYEq(run.token, n);
        run.R.location = location;
        return;
    }
    double step = 1, last = 0, first = 0;
    if ((count == 3 && !p_.getReal(step, run.stack)) || !p_.getReal(last, run.stack) || !p_.getReal(first, run.stack))
        return;
    auto list = std::make_shared<VQList>();
    SequenceEvaluator terms(p_);
    for (double k = std::trunc(first); k <= last;) {
        // A step that does not move on, or more terms than a list holds, would never end
        // or could not be kept.
        const double next = std::trunc(k + step);
        if (!(next > k)) {
            p_.setError(ErrArgument);
            p_.setErrorToken(location);
            return;
        }
        if (list->count() == kMaxTerms) {
            p_.setError(ErrMemory);
            p_.setErrorToken(location);
            return;
        }
        const Operand term = terms.evalSeqNum(run.token, k, nullptr);
        if (p_.error() != 0) {
            p_.setErrorToken(location);
            return;
        }
        list->addReal(term.re(), 15, -15);
        k = next;
    }
    run.R.kind = KindRealList;
    run.R.list = std::move(list);
}

void EquationHandlers::implicit(EvalRun& run)
{
    const int count = static_cast<int>(run.number);
    if (p_.validateArgsMin(1, 2, count, run.stack) == 0)
        return;
    double x = 0, y = 0;
    if ((count == 2 && !p_.getReal(y, run.stack)) || !p_.getReal(x, run.stack))
        return;
    const int location = run.R.location;
    run.R = EquationApplier(p_).applyXYEq(run.token, x, y);
    run.R.location = location;
}

} // namespace orvenda
