#pragma once

#include "core/Operand.h"
#include "core/VQStack.h"
#include "eval/EvalContext.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;

// The calculator's language engine: it turns statements into reverse Polish form,
// evaluates them and runs programs. Created and owned by the Calculator.
//
// Everything a parse or an evaluation changes lives in an EvalContext; ctx() is the one
// bound to the calling thread (the program queue binds its own), else the main context.
// The accessors below all go through ctx().
class Parser {
public:
    using Ops = std::vector<std::uint32_t>;

    explicit Parser(Calculator& calc);
    ~Parser();
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    Calculator& calc;

    // ==== Context and errors ====

    EvalContext& ctx()
    {
        if (EvalContext* bound = EvalContext::bound(*this))
            return *bound;
        return main_;
    }
    const EvalContext& ctx() const { return const_cast<Parser*>(this)->ctx(); }
    // The context of threads without a binding (the main thread).
    EvalContext& mainContext() { return main_; }

    int error() const { return ctx().error; }
    // Callers set errorToken themselves.
    void setError(int error) { ctx().error = error; }
    int errorToken() const { return ctx().errorToken; }
    void setErrorToken(int token) { ctx().errorToken = token; }
    int nextToken() const { return ctx().nextToken; }
    void setNextToken(int index) { ctx().nextToken = index; }
    bool processingMenu() const { return ctx().processingMenu; }
    VQStack& rpnStack() { return ctx().rpnStack(); }
    VQStack& opStack() { return ctx().opStack; }
    VQStack& openParenStack() { return ctx().openParenStack; }
    VQStack& exprStack() { return ctx().exprStack; }
    VQStack& evalStack() { return ctx().evalStack; }
    int evalDepth() const { return ctx().evalDepth; }

    // The empty record every handler and operator starts its result from: kind 44, no
    // error, pair (15, -15), value 0.
    static Operand initOperand() { return Operand{}; }
    static void initOperand(Operand& op) { op = Operand{}; }

    // ==== Parsing ====

    // Parses the statement starting at `startingAt` into rpnStack() and returns the index
    // after it (past the ":" or new line that ended it, or the count of ops). On failure
    // error() and errorToken() are set and the index where parsing stopped is returned.
    // With closeParens every closing bracket the parser supplies is also appended to ops.
    // A null ops returns 0.
    int infixToRPN(Ops* ops, int startingAt, bool closeParens);
    int infixToRPN(const Ops* ops, int startingAt);

    // Pushes an operator on opStack after moving the operators that bind at least as
    // tightly to rpnStack.
    void processOp(std::uint32_t opcode);
    // How many open bracket groups opened with `token`.
    int parensCountOfType(int token) const;
    // Whether opening `token` here would nest it where it may not be nested.
    bool nestedOp(int token) const;
    // Scans a label of one or two characters at i and moves i past it.
    unsigned getLabel(const Ops& ops, int& i);
    // A list or variable name at nextToken(); none when empty or on error.
    std::optional<std::string> parseNameMaxLen(int maxLen, const Ops& ops);
    // The tokens of the quoted string whose opening quote is at nextToken().
    std::optional<Ops> parseString(const Ops& ops);
    // The program name after "prgm»", at nextToken().
    std::optional<std::string> parseProgramName(const Ops& ops);
    // A to Z, θ and the lower-case letters.
    static bool isAlpha(int token);

    // Number literals at nextToken(), which they advance.
    double parseNumber(const Ops& ops, bool& hasDecimal, int& sigFig, int& digDec);
    double parseBinary(const Ops& ops);
    double parseHex(const Ops& ops);
    // Minutes and seconds after "°", applied to the degrees on top of rpnStack().
    bool parseDMS(const Ops& ops, bool& hasDecimal);

    // The value of physical constant `index` (the high half of a 0xBB5E op).
    double constantValue(int index) const;

    // ==== Evaluation ====

    // ==== Operators ====

    // ==== Programs ====

private:
    EvalContext main_;
};

} // namespace orvenda
