#pragma once

#include "core/Operand.h"

namespace orvenda {

class Calculator;
struct EvalRun;

// The setting tokens (Radian, Sci, Func, GridOn, a+bi, ...): each changes one calculator
// setting when a statement executes it and answers done. They take no arguments and never
// fail; whatever is on the evaluation stack is left alone.
class ModeTokenHandlers {
public:
    explicit ModeTokenHandlers(Calculator& calc) : calc_(calc) {}

    static bool isModeToken(int token);
    // The complex mode Real (0), a+bi (1) or re^θi (2) sets; -1 for every other token.
    // The evaluator keeps it past the end of the run.
    static int complexModeFor(int token);

    // Changes the setting and makes R done with the token; false (R untouched) for a token
    // that is not a setting.
    bool handle(int token, Operand& R);
    // The same for the run's token; a complex-mode token also becomes the mode the run
    // keeps when it ends.
    bool handle(EvalRun& run);

private:
    void apply(int token);

    Calculator& calc_;
};

} // namespace orvenda
