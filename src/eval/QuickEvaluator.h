#pragma once

#include <cstdint>
#include <vector>

namespace orvenda {

class Calculator;
class Parser;
class VQStack;

// The fast path for plotting, tables and the numeric routines: a compiled expression made
// only of real constants, real variables and a fixed set of real operators is evaluated
// on plain doubles, without operand records, significance pairs or error numbers.
// Anything it cannot do in reals gives NaN; callers then fall back to the full evaluator.
//
// A compiled expression is first turned into a Program (one compact instruction per
// record), which plotting keeps and runs once per point. evalQuickRPN does both steps for
// callers that hold only the records. Running a program allocates nothing.
class QuickEvaluator {
public:
    // At most this many values are on the value stack at once; a form of more records
    // than this is not quick, so the bound can never be passed.
    static constexpr int kStackSize = 100;

    enum class Op : std::uint8_t;

    struct Instruction {
        Op op{};
        // The variable slot of a variable.
        int slot = 0;
        // The constant of a constant.
        double value = 0;
        // The whole opcode word (unit conversions keep their conversion in the high half).
        std::uint32_t opcode = 0;
    };

    struct Program {
        std::vector<Instruction> code;
    };

    explicit QuickEvaluator(Parser& parser);

    // Whether every record is a real constant, a real-variable reference or a token of the
    // fast path, and the form is short enough for the value stack. An empty form is quick.
    static bool isQuick(const VQStack& rpn);
    // Compiles rpn into program (reusing its storage); false, with program emptied, when
    // rpn is not quick.
    static bool compile(const VQStack& rpn, Program& program);

    // The value of a compiled program with the variables as they are now; NaN for
    // anything outside the real numbers. An empty program gives 0.
    double run(const Program& program) const;
    // The same straight from the records; NaN when they are not quick.
    double evalQuickRPN(const VQStack& rpn) const;

private:
    Parser& p_;
    const Calculator& calc_;
};

} // namespace orvenda
