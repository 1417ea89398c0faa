#pragma once

#include "core/Operand.h"

#include <complex>
#include <cstdint>
#include <optional>
#include <vector>

namespace orvenda {

class Calculator;
class EvalContext;
class Parser;

// The work of one- and two-operand tokens on real and complex numbers: display
// conversions, elementary functions, arithmetic and powers, relations, logic, bitwise
// operators, rounding and number theory, with the significance pair of each result.
//
// A light view on the parser: errors go to the parser's context (error, errorToken) and
// modes come from its calculator. X is the right-hand operand (the last argument), Y the
// left-hand one; two-operand tokens compute Y op X. Real work allocates nothing.
class ScalarOperators {
public:
    using Ops = std::vector<std::uint32_t>;

    explicit ScalarOperators(Parser& parser);

    // ---- One operand ----

    // Display conversions, identity(, timeCnv( and eval( on a copy of X; everything else
    // through op(). The opcode keeps its high half for unit conversions.
    Operand doOp(std::uint32_t opcode, const Operand& Xc);
    // The elementary functions; the result's kind is 2 exactly when its imaginary part is
    // not zero.
    Operand op(std::uint32_t opcode, const Operand& Xc);

    // ---- Two operands ----

    // randM( and everything op() takes; sets the result's kind, error and location.
    Operand doOp(int token, const Operand& Xc, const Operand& Yc);
    // Y op X; the caller sets the result's kind.
    Operand op(int token, const Operand& Xc, const Operand& Yc);
    // base ^ exponent with exact results for real bases and quarter turns of e.
    std::complex<double> fPowerX(const Operand& exponent, const Operand& base);
    // B ^ E of a real base and exponent when it is real (a negative base takes an exponent
    // that is a fraction with an odd denominator); nothing when it is complex. The fast
    // evaluator takes its powers from here too.
    static std::optional<double> realPower(const Calculator& calc, double B, double E);

    // ---- Significance pair ----

    // sigDec from sigFig and the real part; a zero real part counts as one figure in the
    // units place. Nothing happens for an infinite or NaN real part.
    static void adjustSigDec(Operand& op);
    // sigFig from sigDec and the real part.
    static void adjustSigFig(Operand& op);

    // ---- Helpers ----

    // The tokens spelling x as the calculator shows it, always in base 10 and without
    // digit grouping so that they read back as the same number.
    static Ops numToOps(const Calculator& calc, double x);
    // The tokens of re + im·i, written as the rectangular complex text.
    static Ops complexToOps(const Calculator& calc, double re, double im);

    // Whether two reals are equal within the relational tolerance (relative 1e-10, or
    // absolute near zero).
    static bool tolerantEqual(double a, double b);

private:
    Operand opUnary(std::uint32_t opcode, const Operand& X, EvalContext& c);
    Operand opBinary(int token, const Operand& R, const Operand& L, EvalContext& c);

    Parser& parser_;
    Calculator& calc_;
};

} // namespace orvenda
