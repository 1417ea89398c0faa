#pragma once

#include "core/Operand.h"

namespace orvenda {

class VQStack;

// The evaluator as the operand stack needs it to give an equation variable its value.
// The parser implements it and registers itself with the calculator; without one,
// equation variables are undefined.
class EquationEvaluator {
public:
    virtual ~EquationEvaluator() = default;

    // Term n of the sequence u, v or w (tokens 0x5E80..0x5E82): kind 1 with the term's
    // value, or kind 44 with an error.
    virtual Operand evalSeqNum(int token, double n) = 0;
    // Runs compiled RPN as an immediate, asynchronous evaluation and returns its result.
    virtual Operand evaluate(const VQStack& rpn) = 0;
};

} // namespace orvenda
