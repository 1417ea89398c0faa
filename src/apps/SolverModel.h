#pragma once

#include <cstdint>
#include <vector>

namespace orvenda {

class Calculator;

// The equation solver's data: the equation (expression = 0) in the calculator's
// solverEq, one line per variable it uses (A…Z, θ, also inside the Y= functions it calls)
// and two lines for the bounds of the search (slots 84 and 85). Main thread; the parser is
// used under the state lock, as a program's statements use it.
class SolverModel {
public:
    static constexpr int kLowerSlot = 84;
    static constexpr int kUpperSlot = 85;
    // The Y= token the solver's function is plotted under.
    static constexpr int kSolverFunction = 0x5E1A;

    struct Window {
        double left = 0, right = 0, bottom = 0, top = 0;
    };

    explicit SolverModel(Calculator& calc) : calc_(calc) {}

    // A fresh calculator's bounds are both 0, an interval no guess lies in: they become
    // −1ᴱ99 and 1ᴱ99. Bounds the user set stay.
    void ensureBounds();
    std::vector<std::uint32_t> variables() const;
    // The equation line only without a variable; else the variables and the two bounds.
    int lineCount() const;
    // The slot a line edits: -1 on the equation line.
    int slotOf(int line) const;
    double value(int slot) const;
    // A real value typed on a line: the real part set, the imaginary part cleared.
    void setValue(int slot, double value);

    // SOLVE for the line's variable from its value between the bounds: 0 with the root
    // stored and the equation's value there in residual, else the solver's error with the
    // variable unchanged. Nothing (-1) on the equation line or a bound line.
    int solve(int line, double& residual);
    // The equation's value at the variables' present values; NaN when it fails.
    double evaluate();
    // The parser's error for the equation (0 when it compiles) and the token it is at.
    int check(int& errorToken);

    // The window PLOT shows around x0, from the values y0 = f(x0) and y1 = f(x0 + 1e-5):
    // x0 ± 2 across; y0 ± 2 up and down when the slope is under 0.0001, else y0 ± 2·slope.
    // A value that is not finite gives no window of NaNs: a slope that is not finite
    // takes y0 ± 2, a y0 that is not finite 0 ± 2, an x0 that is not finite 0 ± 2.
    static Window plotWindow(double x0, double y0, double y1);

private:
    Calculator& calc_;
};

} // namespace orvenda
