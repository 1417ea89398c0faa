#include "apps/SolverModel.h"

#include "core/Calculator.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "language/TokenLineAnalysis.h"
#include "language/VariableSlots.h"

#include <cmath>

namespace orvenda {

void SolverModel::ensureBounds()
{
    if (value(kLowerSlot) == 0 && value(kUpperSlot) == 0) {
        setValue(kLowerSlot, -1e99);
        setValue(kUpperSlot, 1e99);
    }
}

std::vector<std::uint32_t> SolverModel::variables() const { return calc_.solverVars(); }

int SolverModel::lineCount() const
{
    const int n = static_cast<int>(variables().size());
    return n == 0 ? 1 : n + 3;
}

int SolverModel::slotOf(int line) const
{
    const auto vars = variables();
    const int n = static_cast<int>(vars.size());
    if (line <= 0 || n == 0 || line > n + 2)
        return -1;
    if (line == n + 1)
        return kLowerSlot;
    if (line == n + 2)
        return kUpperSlot;
    return VariableSlots::varNumFromOpcode(vars[static_cast<std::size_t>(line - 1)]);
}

double SolverModel::value(int slot) const
{
    if (slot < 0)
        return 0;
    return calc_.locked()->vars[static_cast<std::size_t>(slot)].real();
}

void SolverModel::setValue(int slot, double value)
{
    if (slot >= 0)
        calc_.setVar(slot, {{value, 0.0}, 15, -15});
}

int SolverModel::check(int& errorToken)
{
    const auto hold = calc_.lockState();
    Parser& parser = calc_.parser();
    parser.setError(0);
    std::vector<std::uint32_t> equation = calc_.state().solverEq;
    // The equation is evaluated on this thread, over and over: a program it called could
    // neither ask nor be stopped. Refused as a field refuses it.
    if (const int call = TokenLineAnalysis::programCallAt(equation); call >= 0) {
        errorToken = call;
        return ErrInvalid;
    }
    parser.getRPNfor(equation);
    const int error = parser.error();
    errorToken = parser.errorToken();
    parser.setError(0);
    return error;
}

int SolverModel::solve(int line, double& residual)
{
    const int slot = slotOf(line);
    if (slot < 0 || slot == kLowerSlot || slot == kUpperSlot)
        return -1;
    const auto hold = calc_.lockState();
    Parser& parser = calc_.parser();
    parser.setError(0);
    const double guess = value(slot), lower = value(kLowerSlot), upper = value(kUpperSlot);
    const int error = parser.solveFunction(calc_.state().solverEq, slot, lower, upper, guess, &residual);
    parser.setError(0);
    return error;
}

double SolverModel::evaluate()
{
    const auto hold = calc_.lockState();
    Parser& parser = calc_.parser();
    parser.setError(0);
    std::vector<std::uint32_t> equation = calc_.state().solverEq;
    const Operand result = parser.eval(equation, false);
    const bool failed = parser.error() != 0 || result.kind != KindReal;
    parser.setError(0);
    return failed ? std::nan("") : result.value.real();
}

SolverModel::Window SolverModel::plotWindow(double x0, double y0, double y1)
{
    if (!std::isfinite(x0))
        x0 = 0;
    const double slope = std::abs(y1 - y0) / 1e-5;
    if (!std::isfinite(y0))
        y0 = 0;
    const double half = std::isfinite(slope) && slope >= 0.0001 ? 2 * slope : 2;
    return {x0 - 2, x0 + 2, y0 - half, y0 + half};
}

} // namespace orvenda
