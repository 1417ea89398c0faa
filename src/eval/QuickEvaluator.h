#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace orvenda {

class Calculator;
class Parser;
class VQStack;

// The fast path for plotting, tables and the numeric routines: a compiled expression made
// only of real constants, real variables and a fixed set of real operators is evaluated
// on plain doubles, without operand records, significance pairs or error numbers.
//
// It is only a faster way to the full evaluator's value: each operator gives that value to
// the last bit, or declines with NaN wherever the full evaluator might answer otherwise (an
// error, a non-real or an infinite value, or a rule it cannot follow without the records),
// and the caller then asks the full evaluator. So no value here is ever infinite.
//
// The records are first turned into a Program, which plotting keeps and runs once per
// point; evalQuickRPN does both steps for callers that hold only the records. Running a
// program allocates nothing.
class QuickEvaluator {
public:
    // At most this many values are on the value stack at once; a form of more records
    // than this is not quick, so the bound can never be passed.
    static constexpr int kStackSize = 100;

    enum class Op : std::uint8_t {
        Constant,
        Variable,
        // Left by compilation where a record's work was done already; removed at the end.
        Nop,
        // One value.
        Negate, Int, Abs, Not, IPart, FPart, Sqrt, Cbrt, Ln, Exp, TenPow,
        Sin, ASin, Cos, ACos, Tan, ATan, Sinh, ASinh, Cosh, ACosh, Tanh, ATanh,
        RadianMark, DegreeMark, Inverse, Square, Cube, Factorial,
        Expm1, Ln1p, Floor, Ceiling, Sign, Percent, UnitConversion,
        // round( with one value: to the calculator's digits setting.
        RoundDefault,
        // Two values.
        Add, Subtract, Multiply, Divide, Fraction,
        Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual,
        And, Or, Xor, AndB, OrB, XorB, Power, XRoot,
        // Two values under an argument count that must be 2 (compilation takes the count).
        Max, Min, RToPr, RToPTheta, PToRx, PToRy, Hypot, Atan2, Lcm, Gcd, Remainder, LogBase,
        // Two values under a count of 2; log( counted 1 takes the base 10 (round( counted
        // 1 is RoundDefault, roundSigFig( counted 1 is not quick).
        Round, Log, RoundSigFig,
        // Three values: a whole part, a denominator and a numerator.
        MixedNumber,
        // The commonest operators with their right (R) or left (L) value a constant.
        AddR, AddL, SubtractR, SubtractL, MultiplyR, MultiplyL, DivideR, DivideL, PowerR, PowerL,
        // A variable's square or cube, and a variable, its square or its cube times a
        // constant: the terms of polynomials.
        VariableSquare, VariableCube, VariableTimes, SquareTimes, CubeTimes,
        // Such a term added to or taken from the value on top.
        AddTerm1, AddTerm2, AddTerm3, SubtractTerm1, SubtractTerm2, SubtractTerm3,
        // A run of such terms and constants in one variable, from the program's table.
        Polynomial,
    };

    struct Instruction {
        Op op{};
        // The variable slot of a variable.
        int slot = 0;
        // The constant of a constant, and the constant operand of an operator that takes
        // one of its two values from here instead of the stack.
        double value = 0;
        // The whole opcode word (unit conversions keep their conversion in the high half).
        std::uint32_t opcode = 0;
        // A polynomial's terms: where they start in the program's table, and how many.
        std::uint16_t first = 0;
        std::uint16_t count = 0;
    };

    // One term of a polynomial in one variable: coefficient · x^power, power 0 to 3 (the
    // coefficient negated for a term taken away).
    struct Term {
        double coefficient = 1;
        int power = 0;
    };

    struct Program {
        std::vector<Instruction> code;
        std::vector<Term> terms;
        // The form gives NaN whatever the variables hold (a value missing under an
        // operator, an argument count other than 2, a constant part without a value).
        bool alwaysNaN = false;
    };

    explicit QuickEvaluator(Parser& parser);

    // The operator a token is on this path, none for a token it does not take.
    static std::optional<Op> opFor(int token);

    // Whether every record is a real constant, a real-variable reference or a token of the
    // fast path whose argument count is written out, and the form is short enough for the
    // value stack. An empty form is quick.
    bool isQuick(const VQStack& rpn) const;
    // Compiles rpn into program, reusing its storage; false, with program emptied, when
    // rpn is not quick. Parts made only of constants are worked out here, except where
    // the modes (angle unit, digits, fraction settings) or the answer-shape flags come in.
    bool compile(const VQStack& rpn, Program& program) const;

    // The value of a compiled program with the variables and modes as they are now, the
    // full evaluator's to the last bit; NaN where it declines. An empty program gives 0.
    double run(const Program& program) const;
    // The same straight from the records; NaN when they are not quick.
    double evalQuickRPN(const VQStack& rpn) const;

private:
    double run(const Instruction* code, std::size_t count, const Term* terms) const;

    Parser& p_;
    const Calculator& calc_;
};

} // namespace orvenda
