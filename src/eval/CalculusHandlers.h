#pragma once

#include <memory>

namespace orvenda {

class Parser;
class VQStack;
struct EvalRun;

// The function tokens whose first argument is an expression evaluated over a variable —
// solve(, nDeriv(, seq(, fnInt(, fMin(, fMax( and ∑( — and rand with a count. The
// expression arrives compiled (a kind-8 record) and the variable unresolved, so the
// numeric routines can set the variable and evaluate the expression again and again.
// Results are reals with the pair (15, -15), or a list.
class CalculusHandlers {
public:
    explicit CalculusHandlers(Parser& parser) : p_(parser) {}

    static bool handles(int token);
    // X holds the argument count (rand: its count of numbers).
    void handle(EvalRun& run);

    void solve(EvalRun& run);
    void derivative(EvalRun& run);
    // seq(, fnInt(, fMin(, fMax( and ∑(.
    void functionOfVariable(EvalRun& run);
    void randomList(EvalRun& run);

private:
    bool fail(int error, int location);
    // The slot of the real-variable reference on top, popped as it is; `error` otherwise.
    bool popVariable(EvalRun& run, int& slot, int error);
    // The compiled expression on top; `error` otherwise.
    bool popExpression(EvalRun& run, std::shared_ptr<VQStack>& rpn, int error);
    static void setReal(EvalRun& run, double value);

    Parser& p_;
};

} // namespace orvenda
