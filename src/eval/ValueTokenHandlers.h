#pragma once

#include "core/Calculator.h"
#include "core/Operand.h"

#include <functional>

namespace orvenda {

class Parser;
struct EvalRun;

// Tokens that make a value without ordinary argument fetching (the imaginary unit, Ans,
// getKey, rand without argument, the clock tokens, the clear commands), and the internal
// tokens of indexed variables, which turn the index in X into an element reference
// (L₁(2), ʟNAME(i), [A](r, c)) or an element of Ans.
class ValueTokenHandlers {
public:
    using TimePoint = Calculator::TimePoint;
    using Clock = std::function<TimePoint()>;

    explicit ValueTokenHandlers(Parser& parser);

    // Tokens handled before X is fetched.
    static bool isEarlyToken(int token);
    // Element tokens, handled with X popped (the last index, or Ans( 's argument count).
    static bool isIndexedToken(int token);

    // Fills R with the token's value (or done); false for a token not of this family.
    bool handleEarly(EvalRun& run);
    // Fills R with the reference or element, or sets the error; false for a token not of
    // this family. Ans( with a number in Ans rewrites the token to * and asks for the
    // record to be dispatched again.
    bool handleIndexed(EvalRun& run);

    // StoDim( (n➞dim(L₁), {r,c}➞dim([A])): X is the target taken raw, the new dimension
    // is under it. The resized list or matrix is written back to its variable.
    void storeDimension(EvalRun& run);

    // The time the clock tokens read; the system clock unless replaced.
    void setClock(Clock clock) { clock_ = std::move(clock); }

private:
    bool fail(int error, int location, EvalRun& run);
    bool badIndex(const Operand& index, int location, EvalRun& run);
    VarRef& elementReference(EvalRun& run, int subKind, int index, double elem1);
    void pushAnsRules(const Operand& ans);
    Operand ansOperand();
    bool listElement(EvalRun& run, int listIndex, const std::string& name);
    bool matrixElement(EvalRun& run, int matrixIndex);
    bool ansElement(EvalRun& run);
    void clockList(int a, int b, int c, Operand& R);

    Parser& p_;
    Calculator& calc_;
    Clock clock_;
};

} // namespace orvenda
