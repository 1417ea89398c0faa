#pragma once

namespace orvenda {

class Parser;
struct EvalRun;

// An equation variable followed by its argument: Y₁(3), X₁T(T), r₂(π), u(5), u(1,10),
// XY₁(x, y). The stored equation is evaluated at the given values (EquationApplier), and a
// sequence given a first and last term number answers the list of its terms.
class EquationHandlers {
public:
    explicit EquationHandlers(Parser& parser) : p_(parser) {}

    // The Y=, parametric, polar, sequence and XY equation tokens.
    static bool handles(int token);
    // Y=, parametric and polar: X is the argument. Sequences and XY: X is the count.
    void handle(EvalRun& run);

private:
    void sequence(EvalRun& run);
    void implicit(EvalRun& run);

    Parser& p_;
};

} // namespace orvenda
