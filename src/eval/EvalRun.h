#pragma once

#include "core/Operand.h"
#include "core/VQStack.h"

#include <cstdint>

namespace orvenda {

// The working state of one evaluation run as a token handler sees it.
//
// When a handler is entered, `token` is the low 16 bits of the record's opcode (`opcode`
// keeps the high half: jump targets, constant indexes, unit conversions), the parser's
// errorToken and R.location hold the token's location, and, for tokens that take
// arguments, X holds the top of the evaluation stack already popped (resolved; raw for
// the store arrow and DelVar) with `number` its real part when X is real. A counted
// function finds its argument count in `number`.
//
// A handler leaves by one of:
//  - filling R (a value, or kind 31 done): the run pushes R at R.location and goes on;
//  - pushing its result on `stack` itself and leaving R empty (kind 44 without an
//    error): nothing more is pushed;
//  - giving R a program-control kind that ends the run: the run ends with R;
//  - setting the parser's error (and errorToken): the run ends with that error;
//  - returning R of kind 44 with an error number: the same as setting it.
// A handler that rewrites `token` and sets `redispatch` has the same record dispatched
// again with X unchanged (Ans(3) with a number in Ans multiplies).
struct EvalRun {
    EvalRun(VQStack& evalStack, const VQStack& rpnStack) : stack(evalStack), rpn(rpnStack) {}

    // The evaluation stack of this run (the context's evalStack at depth 0, the run's own
    // when nested) and the compiled expression being walked.
    VQStack& stack;
    const VQStack& rpn;
    // Index of the record being worked on.
    int index = 0;

    std::uint32_t opcode = 0;
    int token = 0;

    Operand X;
    Operand Y;
    Operand R;
    double number = 0;

    bool immediate = false;
    // Drawing goes to the main queue instead of being done directly.
    bool async = false;
    bool redispatch = false;

    // The context's complex-mode switch at the start of the run, put back when it ends:
    // a switch to a+bi made during the run lasts only as long as the run.
    int savedComplexSwitch = -1;
};

} // namespace orvenda
