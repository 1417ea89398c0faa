#pragma once

namespace orvenda {

class Parser;
struct EvalRun;

// The string functions of the 0xBB page that take several arguments: sub( and inString(,
// and Equ▸String( and String▸Equ(, which hand their variables on unresolved. Positions the
// user gives and sees are 1-based and count tokens.
class StringHandlers {
public:
    explicit StringHandlers(Parser& parser) : p_(parser) {}

    static bool handles(int token);
    void handle(EvalRun& run);

private:
    void sub(EvalRun& run);
    void inString(EvalRun& run);
    void equationString(EvalRun& run);

    Parser& p_;
};

} // namespace orvenda
