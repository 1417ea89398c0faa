#pragma once

#include "core/VQStack.h"

#include <vector>

namespace orvenda {

class Calculator;
class Parser;

// The mutable state of parsing and evaluating: the parser's stacks, error, read position
// and answer-shape flags. The main thread and the program queue each work in their own
// context, so an editor field evaluated while a program runs cannot disturb it.
//
// A thread binds a context to a parser with a Binding for as long as it runs; a thread
// without a binding for that parser works in the parser's main context.
class EvalContext {
public:
    explicit EvalContext(Calculator* calc = nullptr);
    EvalContext(const EvalContext&) = delete;
    EvalContext& operator=(const EvalContext&) = delete;

    // ---- Errors ----

    // Error number, 0 when none; errorToken is the token index where it arose.
    int error = 0;
    int errorToken = 0;

    // ---- Statement parsing ----

    // Index of the token being read; after a parse, the index where it ended.
    int nextToken = 0;
    // Inside Menu( digits and letters are labels.
    bool processingMenu = false;
    VQStack opStack;
    VQStack openParenStack;
    // One counter per open bracket group: the commas seen in it.
    std::vector<int> listCounts;
    // One entry per open unevaluated first argument:
    // (openParenStack count << 16) | opStack count, taken after its group opened.
    std::vector<int> functionStart;

    // The parse output; it can be pointed at another stack for a while (compiling a
    // string inside a running evaluation without losing the statement being run).
    VQStack& rpnStack() { return *rpn_; }
    const VQStack& rpnStack() const { return *rpn_; }
    // Null points it back at the context's own stack.
    void setRpnStack(VQStack* stack) { rpn_ = stack ? stack : &ownRpnStack_; }
    VQStack exprStack;
    std::vector<VQStack> expressions;

    // ---- Evaluation ----

    // Value stack of the outermost run; nested runs use their own.
    VQStack evalStack;
    // Runs in progress on this context (0 when idle).
    int evalDepth = 0;
    // The complex mode this context's evaluation switched to for its own use (the
    // imaginary unit, a complex Ans); -1 when it follows the calculator's setting. Each
    // run puts back what it found.
    int complexSwitch = -1;
    // Answer shape: mixed number, fraction, and whether the expression has a decimal point.
    bool f_und = false;
    bool f_nd = false;
    bool f_decimal = false;

    // ---- Binding to a thread ----

    // Makes `context` the one `parser` uses on this thread until the binding ends.
    // Bindings nest; the innermost one for a parser wins.
    class Binding {
    public:
        Binding(const Parser& parser, EvalContext& context);
        ~Binding();
        Binding(const Binding&) = delete;
        Binding& operator=(const Binding&) = delete;

    private:
        friend class EvalContext;
        const Parser* parser_;
        EvalContext* context_;
        Binding* outer_;
    };

    // The context bound for `parser` on the calling thread, or null. Inline: every
    // handler asks for its context.
    static EvalContext* bound(const Parser& parser)
    {
        for (const Binding* b = innermost_; b; b = b->outer_)
            if (b->parser_ == &parser)
                return b->context_;
        return nullptr;
    }

private:
    // Innermost binding of the calling thread; each binding links to the one it covers.
    static constinit thread_local Binding* innermost_;

    VQStack ownRpnStack_;
    VQStack* rpn_ = &ownRpnStack_;
};

} // namespace orvenda
