#pragma once

#include "core/Operand.h"
#include "eval/QuickEvaluator.h"

#include <span>
#include <utility>

namespace orvenda {

class Calculator;
class Parser;
class VQStack;

// The one road by which plots, traces, tables and the calculate menu turn equations into
// numbers. Each operation sets the independent variable's slot (value + 0i), evaluates,
// turns an error or a non-real value into NaN (clearing the parser's error) and puts the
// slot back, so X, T, θ and the sequence index never change as the user sees them.
//
// Equations are named by their Y= token (Y1..Y0 0x5E10..0x5E19, the solver's 0x5E1A,
// parametric pairs 0x5E20..0x5E2B with X on the even token, polar 0x5E40..0x5E45,
// sequences 0x5E80..0x5E82, implicit relations 0x5EA0..0x5EA9) and compiled by the Y=
// manager. Main thread; a program on the program queue uses the same parser and variables,
// so every operation holds the calculator's state lock for its whole run (the worker holds
// it for each statement). Sampling allocates
// nothing: the caller owns the buffers.
class GraphSampler {
public:
    struct XY {
        double x = 0, y = 0;
    };
    struct XYT {
        double x = 0, y = 0, t = 0;
    };

    explicit GraphSampler(Calculator& calc);

    // The variable slot of an equation: 23 X for functions and implicit relations, the Y=
    // manager's solver variable for 0x5E1A, 19 T, 26 θ, 27 the sequence index; -1 else.
    int varNumForPlotFunction(int token) const;
    // The Y= manager plots the equation and it compiles (the parser's error cleared first).
    bool shouldPlotFunction(int token);

    // Single values: NaN on an error or a non-real value. Sequences go through their terms.
    double function(int token, int varNum, double at);
    double evalFn(const VQStack& fn, int varNum, double x);
    // The fast evaluator's value as it comes (NaN where it declines).
    double evalQuick(const VQStack& fn, int varNum, double x);
    // The same for a program compiled once by the caller (QuickEvaluator::compile), so
    // that many single values allocate nothing.
    double evalQuick(const QuickEvaluator::Program& program, int varNum, double x);
    // A single value through the fast program when there is one (null: none), the full
    // evaluator's where it declines: the value evalFn gives, sooner.
    double evalFn(const VQStack& fn, const QuickEvaluator::Program* fast, int varNum, double x);
    // One value with the variables as they are now (the caller holds the state): the fast
    // program's, or the full evaluator's where the fast one declines or there is none; NaN
    // on an error or a non-real value, the error cleared.
    double sample(const VQStack& fn, const QuickEvaluator::Program* fast);
    // The table's value: 0 for a token without a variable, NaN on a failure like every
    // other single value.
    double dfunction(int token, double x);

    // (f(x + e) − f(x − e)) / 2e of a compiled function. A failed evaluation gives NaN,
    // skips the second one and leaves the parser's error set.
    double slopeFn(const VQStack& fn, int varNum, double x, double e);
    // Central differences of an equation over a slot, and dy/dx of a function, parametric
    // or polar equation (NaN for any other), angles in the calculator's unit.
    double dydVar(int varNum, double at, int token, double e);
    double dydxAt(double value, int token, double e);
    // Why dydxAt has no number where the curve's own values near it have one, as the home
    // line's quotient of the two changes would say: Divide by 0 where x does not change (a
    // vertical tangent), Overflow where the quotient is beyond reach; 0 where it has a value.
    int slopeErrorAt(double value, int token, double e);
    double drdThetaAt(double theta, int token, double e);

    // Why a read-out at `at` or the central differences around it (at ± e) have no value:
    // the error the home line gives for the equation at the first of at, at − e, at + e
    // where it has none (18 where it overflows); 0 when all have one, and for a sequence.
    int errorNear(const VQStack& fn, int varNum, double at, double e);
    int errorNear(int token, int varNum, double at, double e);

    // The calculate menu over Y1..Y0 in X: the parser's error is left for the caller (19
    // when the equation does not compile).
    double integrateEqNum(int token, double lower, double upper, double tolerance);
    double minEqNum(int token, double lower, double upper, double tolerance);
    double maxEqNum(int token, double lower, double upper, double tolerance);

    // data.size() samples from xMin by repeated addition of step (the x written is the x
    // used). The fast evaluator is chosen once per call when it accepts the equation; a
    // sample it declines is the full evaluator's.
    void plotFn(const VQStack& fn, int varNum, double xMin, double step, std::span<XY> data);
    // The same with the fast program compiled once by the caller (null: the full evaluator).
    void plotFn(const VQStack& fn, const QuickEvaluator::Program* fast, int varNum, double xMin, double step,
                std::span<XY> data);
    void plotFunction(int token, int varNum, double xMin, double step, std::span<XY> data);
    // Polar r(θ) and parametric (X(T), Y(T)) curves: t is the parameter used, the last
    // record's exactly the maximum; polar angles are converted to radians in Degree mode.
    void plotPolar(int token, double thetaMin, double thetaMax, double step, std::span<XYT> data);
    void plotParametric(int token, double tMin, double tMax, double step, std::span<XYT> data);

    // Densities and probabilities of the shading tokens: 0xBB35 normal (μ = p1, σ = p2),
    // 0xBB36 t (df p1), 0xBB37 χ² (df p1), 0xBB38 F (p1, p2). The density and the area are
    // 0 for any other token; the sampled density is the normal one for any other token.
    static double shadeFunction(int token, double p1, double p2, double x);
    static double shadeFunctionArea(int token, double p1, double p2, double lower, double upper);
    static void distributionFunction(int token, double p1, double p2, double xMin, double step, std::span<XY> data);

private:
    std::pair<double, double> slopeParts(double value, int token, double e);
    // A slot set to value + 0i for the life of the object, then put back.
    class Borrow;

    static bool validSlot(int slot);
    template <class Value>
    double atSlot(int varNum, double at, Value&& value);
    // Full evaluation judged: the real value, or NaN (the error cleared) on an error or a
    // non-real or non-numeric answer.
    double evaluate(const VQStack& fn);
    double judge(double re, double im);
    // The sequence term at n; NaN when it fails or is not real.
    double sequenceTerm(int token, double n);
    // The value of an equation; the caller holds the state and has set the slot.
    double valueOf(int token, double at);
    double extremum(int token, double lower, double upper, double tolerance, bool findMin);

    Calculator& calc_;
    Parser& parser_;
    Operand result_;
    QuickEvaluator quick_;
    // The fast evaluator's programs, reused from call to call.
    QuickEvaluator::Program fastX_;
    QuickEvaluator::Program fastY_;
};

} // namespace orvenda
