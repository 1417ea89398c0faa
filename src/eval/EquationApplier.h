#pragma once

#include "core/Operand.h"
#include "core/services/EquationEvaluator.h"

namespace orvenda {

class Calculator;
class Parser;
class VQStack;

// Stored equations evaluated as functions: a Y=, parametric, polar or sequence equation
// at a value or at each element of a list (Y₁(3), Y₁({1,2,3}), u(5)), and an implicit XY
// equation at a point. The equation's independent variable is borrowed and given back.
//
// It is also the evaluator the operand stack uses to give an equation variable its value
// at the current variables; the parser registers one with its calculator.
class EquationApplier : public EquationEvaluator {
public:
    explicit EquationApplier(Parser& parser);

    // Equation `token` at X (a number or a list): kind 1 (or a list) with the value, with
    // the error in the record and the parser: 27 for a token without an independent
    // variable, an argument of another kind or a sequence index that is not whole; 15 for
    // a non-real value at a real argument in Real mode; the equation's own errors.
    Operand applyYEq(int token, const Operand& X);
    // Equation `token` with X := x and Y := y.
    Operand applyXYEq(int token, double x, double y);

    // ---- EquationEvaluator ----

    Operand evalSeqNum(int token, double n) override;
    Operand evaluate(const VQStack& rpn) override;

private:
    // The equation's value with its independent variable at z.
    Operand valueAt(const VQStack& rpn, int slot, std::complex<double> z);

    Parser& p_;
    Calculator& calc_;
};

} // namespace orvenda
