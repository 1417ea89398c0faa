#include "eval/CalculusRoutines.h"

#include "core/VQList.h"
#include "core/VQStack.h"
#include "eval/Parser.h"
#include "eval/VariableFunction.h"
#include "language/ErrorNumbers.h"
#include "numeric/Calculus.h"
#include "numeric/ElementaryFunctions.h"

#include <cmath>
#include <limits>

namespace orvenda {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Lists hold at most 999 elements.
constexpr double kMaxElements = 999;

// Hands a routine's failure to the parser: an error of the expression's own evaluation
// points at where that evaluation failed.
double report(Parser& p, const NumericResult& result, const VariableFunction& f)
{
    if (result.error != 0) {
        p.setError(result.error);
        if (result.error == f.error() && f.errorToken() != 0)
            p.setErrorToken(f.errorToken());
    }
    return result.value;
}

} // namespace

double CalculusRoutines::integrateFunction(const VQStack& rpn, int slot, double lower, double upper, double tolerance)
{
    VariableFunction f(p_, rpn, slot);
    return report(p_, Calculus::integrate(f, lower, upper, tolerance), f);
}

double CalculusRoutines::solve(const VQStack& rpn, int slot, double lower, double upper, double guess)
{
    p_.setError(0);
    VariableFunction f(p_, rpn, slot);
    return report(p_, Calculus::findRoot(f, lower, upper, guess), f);
}

int CalculusRoutines::solveFunction(Ops ops, int slot, double lower, double upper, double guess, double* residual)
{
    const VQStack rpn = p_.getRPNfor(ops);
    if (p_.error() != 0)
        return p_.error();
    double root = 0;
    double atRoot = kNaN;
    {
        VariableFunction f(p_, rpn, slot);
        root = report(p_, Calculus::findRoot(f, lower, upper, guess), f);
        if (p_.error() != 0)
            return p_.error();
        atRoot = f.value(root);
    }
    p_.calc.setVar(slot, {{root, 0.0}, 15, -15});
    if (residual && std::isfinite(atRoot))
        *residual = atRoot;
    return 0;
}

double CalculusRoutines::minMaxFunction(const VQStack& rpn, int slot, double lower, double upper, double tolerance,
                                        bool findMin)
{
    VariableFunction f(p_, rpn, slot);
    return report(p_, Calculus::extremum(f, lower, upper, tolerance, findMin), f);
}

double CalculusRoutines::derivativeFunction(const VQStack& rpn, int slot, double value, double h)
{
    VariableFunction f(p_, rpn, slot);
    return report(p_, Calculus::derivative(f, value, h), f);
}

std::shared_ptr<VQList> CalculusRoutines::sequenceFunction(const VQStack& rpn, int slot, double begin, double end,
                                                           double step)
{
    if (!(step != 0) || (end - begin) * step < 0) {
        p_.setError(ErrArgument);
        return nullptr;
    }
    const double count = ElementaryFunctions::termCount(begin, end, step);
    if (!(count <= kMaxElements)) {
        p_.setError(ErrMemory);
        return nullptr;
    }
    auto list = std::make_shared<VQList>();
    VariableFunction f(p_, rpn, slot);
    for (int i = 0; i < static_cast<int>(count); ++i) {
        const Operand r = f.evaluate(ElementaryFunctions::progressionTerm(begin, step, i));
        if (r.kind == KindError) {
            report(p_, {kNaN, r.error != 0 ? r.error : ErrUndefined}, f);
            return nullptr;
        }
        if (r.kind == KindReal) {
            list->addReal(r.re(), 15, -15);
        } else if (r.kind == KindComplex) {
            list->addComplex(r.value);
        } else {
            p_.setError(ErrDataType);
            return nullptr;
        }
    }
    return list;
}

double CalculusRoutines::sumFunction(const VQStack& rpn, int slot, double lower, double upper)
{
    VariableFunction f(p_, rpn, slot);
    // Neumaier's compensated sum, so that adding tenths gives whole numbers where it should.
    double sum = 0, compensation = 0;
    const double count = ElementaryFunctions::termCount(lower, upper, 1);
    for (double k = 0; k < count; ++k) {
        const double term = f.value(ElementaryFunctions::progressionTerm(lower, 1, k));
        if (!std::isfinite(term))
            return report(p_, {kNaN, f.errorOr(ErrDomain)}, f);
        const double t = sum + term;
        compensation += std::fabs(sum) >= std::fabs(term) ? (sum - t) + term : (term - t) + sum;
        sum = t;
    }
    // A sum past the largest number is an overflow, as a term past it is.
    if (!std::isfinite(sum))
        return report(p_, {kNaN, ErrOverflow}, f);
    return sum + compensation;
}

} // namespace orvenda
