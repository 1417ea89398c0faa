#pragma once

#include "core/Calculator.h"
#include "core/Operand.h"
#include "eval/QuickEvaluator.h"
#include "numeric/RealFunction.h"

namespace orvenda {

class Parser;
class ProgramQueue;
class VQStack;

// A compiled expression as a function of one variable slot, for the numeric routines and
// the functions of an expression. The slot's value and significance are saved when it is
// made and given back when it goes, whatever happened in between.
//
// Real expressions run on the fast path. A point the fast path cannot give is evaluated
// in full, which gives the value where there is one after all and otherwise tells why
// there is none; the parser's error is left clear either way. On the program queue every
// value is NaN once the user stops the program (error 43).
class VariableFunction : public RealFunction {
public:
    // slot must be a variable slot (0..217); any other slot gives no values (error 27).
    VariableFunction(Parser& parser, const VQStack& rpn, int slot);
    ~VariableFunction() override;
    VariableFunction(const VariableFunction&) = delete;
    VariableFunction& operator=(const VariableFunction&) = delete;

    // The real value at x; NaN with error() set when the evaluation fails or is not real
    // (15 for a complex value, 12 for anything but a number), ±∞ with error() 18 where it
    // overflows.
    double value(double x) override;
    int error() const override { return error_; }
    int stopError() const override;

    // The full result at x: a kind-44 record carrying the error when the evaluation failed.
    Operand evaluate(double x);
    // Where the last failed evaluation failed.
    int errorToken() const { return errorToken_; }

private:
    bool set(double x);

    Parser& p_;
    Calculator& calc_;
    const VQStack& rpn_;
    int slot_;
    VariableRecord saved_;
    QuickEvaluator quick_;
    QuickEvaluator::Program program_;
    bool isQuick_ = false;
    // The queue whose stop ends the evaluations; null off the program queue.
    ProgramQueue* queue_ = nullptr;
    int error_ = 0;
    int errorToken_ = 0;
};

} // namespace orvenda
