#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace orvenda {

class Parser;
class VQList;
class VQStack;

// The numeric library's routines over a compiled expression and a variable slot: the
// expression is evaluated with the slot set to each point, and the slot gets its value
// back afterwards. Failures set the parser's error (and errorToken where an evaluation of
// the expression failed); the value is still returned.
class CalculusRoutines {
public:
    using Ops = std::vector<std::uint32_t>;

    explicit CalculusRoutines(Parser& parser) : p_(parser) {}

    // The definite integral; 31 tolerance not met, 32 a point without a value, 33
    // divergence, or the expression's own error.
    double integrateFunction(const VQStack& rpn, int slot, double lower, double upper, double tolerance);
    // A zero between the bounds from the guess; clears the error first. 62 guess outside
    // the bounds, 61 no zero found.
    double solve(const VQStack& rpn, int slot, double lower, double upper, double guess);
    // Compiles ops and solves; on success the zero goes into the slot (imaginary part 0),
    // the expression's value there into residual when it is real, and 0 is returned. A
    // compile or solver error is returned with the slot unchanged.
    int solveFunction(Ops ops, int slot, double lower, double upper, double guess, double* residual);
    // The x of the smallest (findMin) or largest value between the bounds; errors of
    // single points are passed over; 31 when the tolerance was not met.
    double minMaxFunction(const VQStack& rpn, int slot, double lower, double upper, double tolerance, bool findMin);
    double minFunction(const VQStack& rpn, int slot, double lower, double upper, double tolerance)
    {
        return minMaxFunction(rpn, slot, lower, upper, tolerance, true);
    }
    double maxFunction(const VQStack& rpn, int slot, double lower, double upper, double tolerance)
    {
        return minMaxFunction(rpn, slot, lower, upper, tolerance, false);
    }
    // (f(x + h) - f(x - h)) / 2h.
    double derivativeFunction(const VQStack& rpn, int slot, double value, double h);
    // The values from begin to end by step, trunc((end - begin + step/2)/step + 1) of
    // them, each with the pair (15, -15); 27 for a zero step or one pointing away from the
    // end, 26 for 1000 or more elements. Null on failure.
    std::shared_ptr<VQList> sequenceFunction(const VQStack& rpn, int slot, double begin, double end, double step);
    // The sum of the real values from lower to upper in steps of 1; a term without a value
    // gives its error, an overflow (a term's or the sum's) 18; stopping the program stops
    // it (43).
    double sumFunction(const VQStack& rpn, int slot, double lower, double upper);

private:
    Parser& p_;
};

} // namespace orvenda
