#pragma once

#include "core/Operand.h"

namespace orvenda {

class Parser;
class VQList;
struct EvalRun;

// How the numeric function handlers (distributions, random numbers, strings, finance) take
// their arguments and leave their results. Arguments are popped last first, resolved; a
// check that fails sets the error at the argument taken last, so the user sees where.
class NumericArguments {
public:
    NumericArguments(Parser& parser, EvalRun& run) : p_(parser), run_(run) {}

    // The argument count in X when it lies within min..max and the stack holds that many
    // (39 or 40 otherwise).
    bool count(int min, int max, int& n);
    // Pops a real; 27 for another kind.
    bool real(double& value);
    // Pops a real or a real list; 27 for anything else.
    bool realOrList(Operand& into);
    // Pops a real list; 27 for anything else.
    bool realList(Operand& into);
    // Pops a string; 27 for anything else.
    bool string(Operand& into);

    // Sets the error at the argument taken last; false, for returning.
    bool fail(int error);
    // Sets the error at the function token itself; false.
    bool failAtToken(int error);
    // The location of the function token.
    int tokenLocation() const;

    // R becomes a full-precision real (NaN is error 17), or a real list.
    void result(double x);
    void result(VQList list);

private:
    bool pop(Operand& into, bool (*accepts)(const Operand&));

    Parser& p_;
    EvalRun& run_;
};

} // namespace orvenda
