#pragma once

#include "eval/QuickEvaluator.h"
#include "eval/Significance.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace orvenda {

class Calculator;
class VQStack;
struct Operand;

// The statements a program loop is mostly made of, worked on plain doubles that carry
// their significance pair: arithmetic, comparisons and logic over real numbers, real
// variables, elements of L₁-L₆ and their dim(, and randInt(, alone or stored into a letter
// variable or a list element (one past the end appends), and the tests of If, While,
// Repeat, For( and the For( step, and End, Else, Goto and Gosub.
//
// A statement is compiled once, when its line is first parsed: variable slots, list
// names and the locations the general evaluator would give its result are resolved then.
// Running it allocates nothing. Anything that is not plainly real (a complex, infinite or
// NaN value, a missing list, an index out of range, a division by zero, a loop step of 0)
// hands the statement back to the general evaluator, which then does it from the start
// and gives the answer or error it always gives: until the statement ends it has changed
// nothing (random draws are taken back).
class RealStatement {
    enum class Shape : std::uint8_t { Value, StoreVariable, StoreElement, AppendElement, Condition, For, Jump };

public:
    enum class Outcome : std::uint8_t {
        // A real value; a store it ends with is done.
        Value,
        // A branch, loop or jump decision.
        Branch,
        // Not done: the general evaluator does the statement.
        General,
    };

    // Null when the statement is not one of those taken.
    static std::unique_ptr<RealStatement> compile(const VQStack& rpn);

    // Runs the statement with the variables and lists as they are now; the caller holds
    // the calculator's state lock. A value comes back in `value`, a decision in
    // `condition`.
    Outcome run(Calculator& calc, PairedReal& value, bool& condition) const
    {
        return draws_ ? runDrawing(calc, value, condition) : runCode(calc, value, condition);
    }

    // What else the general evaluator's result record carries: its location, and for a
    // decision the control token's whole opcode word (its jump target in the high half).
    int location() const { return location_; }
    std::uint32_t opcode() const { return opcode_; }
    // Its outcome is a decision (Branch), not a value.
    bool decides() const { return shape_ == Shape::Condition || shape_ == Shape::For || shape_ == Shape::Jump; }
    // End, Else, Goto or Gosub: a decision that is always taken, made without running.
    bool jumps() const { return shape_ == Shape::Jump; }

    enum class Kind : std::uint8_t;
    // Where an instruction takes a value: off the stack, or straight from a number written
    // in the statement or a variable.
    enum class Source : std::uint8_t { Stack, Constant, Variable };
    struct Input {
        Source source = Source::Stack;
        int slot = 0;
        PairedReal constant = kFreshReal;
    };

private:
    struct Instruction {
        Kind kind{};
        // The operator of Unary and Binary.
        QuickEvaluator::Op op{};
        // The list (0-5 for L₁-L₆) of an element.
        std::uint8_t list = 0;
        // The first (left) and second (right) input.
        Input a;
        Input b;
    };

    RealStatement() = default;
    bool compileValue(const VQStack& rpn);
    bool compileStore(const VQStack& rpn);
    bool compileAppend(const VQStack& rpn);
    bool compileCondition(const VQStack& rpn);
    bool compileFor(const VQStack& rpn);
    // The instructions of records [from, to), each leaving a value; the locations of the
    // values left, bottom first. False when a record is not taken.
    bool compileValues(const VQStack& rpn, int from, int to, std::vector<int>& locations);
    bool compileOperator(const Operand& record, Instruction& in, std::vector<int>& locations);
    void foldInputs(Instruction& in, int inputs);
    // How many values the instruction leaves on the stack beyond those it takes from it.
    static int stackEffect(const Instruction& in);
    Outcome runCode(Calculator& calc, PairedReal& value, bool& condition) const;
    // runCode with the random engine saved first and put back when the statement goes to
    // the general evaluator.
    Outcome runDrawing(Calculator& calc, PairedReal& value, bool& condition) const;
    Outcome finish(Calculator& calc, const PairedReal* values, PairedReal& value, bool& condition) const;
    Outcome step(Calculator& calc, const PairedReal* values, bool& condition) const;

    std::vector<Instruction> code_;
    Shape shape_ = Shape::Value;
    // The variable stored into or stepped, or the list stored into.
    int slot_ = 0;
    // For(: a step is given; the statement steps its variable (ForNext) instead of
    // starting it. Condition: the Repeat test, true when the value is 0.
    bool hasStep_ = false;
    bool stepping_ = false;
    bool repeat_ = false;
    // randInt( is drawn, so the engine is saved first.
    bool draws_ = false;
    // A For( whose bounds are all numbers: they are kept here instead of in code.
    bool constantBounds_ = false;
    PairedReal bounds_[3] = {kFreshReal, kFreshReal, kFreshReal};
    int location_ = 0;
    std::uint32_t opcode_ = 0;
};

} // namespace orvenda
