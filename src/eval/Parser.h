#pragma once

#include "core/Operand.h"
#include "core/VQStack.h"
#include "eval/ArgumentFetcher.h"
#include "eval/CalculusRoutines.h"
#include "eval/EvalContext.h"
#include "eval/Evaluator.h"
#include "eval/NumericServices.h"
#include "eval/OperandOperators.h"
#include "eval/ProgramCompiler.h"
#include "eval/ProgramQueue.h"
#include "eval/QuickEvaluator.h"
#include "eval/ScalarOperators.h"
#include "numeric/BitOps.h"
#include "numeric/Combinatorics.h"
#include "numeric/ElementaryFunctions.h"

#include <complex>
#include <cstdint>
#include <memory>
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
    // A handler's failure: the error and its token, and the result record marked with it.
    void setError(int error, int token, Operand& result)
    {
        setError(error);
        setErrorToken(token);
        result.kind = KindError;
        result.error = error;
    }
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
    static void initOperand(Operand& op) { op.reset(); }

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

    // Evaluates compiled RPN to the value, a program-control request or an error (in the
    // record and in error()). immediateMode stops at control and input/output tokens with
    // error 19; async sends drawing to the main queue.
    Operand evalRPN(const VQStack& rpn, bool immediateMode, bool async)
    {
        return evaluator_.evalRPN(rpn, immediateMode, async);
    }
    Evaluator& evaluator() { return evaluator_; }

    // Argument fetching for token handlers (ArgumentFetcher says what each does).
    Operand popValueFromStack(VQStack* stack) { return ArgumentFetcher(*this).popValueFromStack(stack); }
    int validateArgsMin(int min, int max, int count, const VQStack& stack)
    {
        return ArgumentFetcher(*this).validateArgsMin(min, max, count, stack);
    }
    static int nextArgType(const VQStack& stack) { return ArgumentFetcher::nextArgType(stack); }
    bool getReal(double& value, VQStack& stack) { return ArgumentFetcher(*this).getReal(value, stack); }
    bool getInt(int& value, int min, int max, VQStack& stack)
    {
        return ArgumentFetcher(*this).getInt(value, min, max, stack);
    }
    bool getReal(double& value, int index, const VQStack* stack)
    {
        return ArgumentFetcher(*this).getReal(value, index, stack);
    }
    std::shared_ptr<VQList> getColorFromStack(VQStack& stack)
    {
        return ArgumentFetcher(*this).getColorFromStack(stack);
    }
    std::optional<VQColor> getVQColorFromStack(VQStack& stack)
    {
        return ArgumentFetcher(*this).getVQColorFromStack(stack);
    }
    bool getColorR(double& r, double& g, double& b, const Operand& op)
    {
        return ArgumentFetcher(*this).getColorR(r, g, b, op);
    }
    static bool getMark(int& mark, const Operand& op) { return ArgumentFetcher::getMark(mark, op); }
    std::optional<Ops> getProgram(const std::string& name) { return ArgumentFetcher(*this).getProgram(name); }

    // ==== Operators by operand type (OperandOperators says what each does) ====

    Operand unaryOp(std::uint32_t opcode, const Operand& X) { return OperandOperators(*this).unaryOp(opcode, X); }
    Operand binaryOp(int token, const Operand& X, const Operand& Y)
    {
        return OperandOperators(*this).binaryOp(token, X, Y);
    }
    static int calcMatrixError(const VQMatrix& matrix) { return OperandOperators::calcMatrixError(matrix); }

    // ==== Scalar operators (ScalarOperators says what each does) ====

    Operand doOp(std::uint32_t opcode, const Operand& Xc) { return ScalarOperators(*this).doOp(opcode, Xc); }
    Operand op(std::uint32_t opcode, const Operand& Xc) { return ScalarOperators(*this).op(opcode, Xc); }
    Operand doOp(int token, const Operand& Xc, const Operand& Yc) { return ScalarOperators(*this).doOp(token, Xc, Yc); }
    Operand op(int token, const Operand& Xc, const Operand& Yc) { return ScalarOperators(*this).op(token, Xc, Yc); }
    std::complex<double> fPowerX(const Operand& exponent, const Operand& base)
    {
        return ScalarOperators(*this).fPowerX(exponent, base);
    }
    static void adjustSigDec(Operand& op) { ScalarOperators::adjustSigDec(op); }
    static void adjustSigFig(Operand& op) { ScalarOperators::adjustSigFig(op); }
    Ops numToOps(double x) const { return ScalarOperators::numToOps(calc, x); }
    Ops complexToOps(double re, double im) const { return ScalarOperators::complexToOps(calc, re, im); }

    // ==== Numeric helpers (AngleConversion, ElementaryFunctions, BitOps, Combinatorics) ====

    // In the calculator's current angle unit.
    double toRadians(double x) const;
    double fromRadians(double x) const;
    static double round(double x, int precision) { return ElementaryFunctions::round(x, precision); }
    static double roundSF(double x, int digits) { return ElementaryFunctions::roundSF(x, digits); }
    static double VQSin(double x) { return ElementaryFunctions::VQSin(x); }
    static double VQCos(double x) { return ElementaryFunctions::VQCos(x); }
    static double shift(double x, int by) { return BitOps::shift(x, by); }
    static double rotate(double x, int by) { return BitOps::rotate(x, by); }
    static double gcdArg1(double arg1, double arg2) { return Combinatorics::gcdArg1(arg1, arg2); }
    static double lcmArg1(double arg1, double arg2) { return Combinatorics::lcmArg1(arg1, arg2); }
    static double permutationX(double x, double y) { return Combinatorics::permutationX(x, y); }
    static double combinationX(double x, double y) { return Combinatorics::combinationX(x, y); }

    // ==== Polynomials, chemistry and value text (NumericServices says what each does) ====

    std::shared_ptr<VQList> polySolve(const VQList* coefficients, int yEqu, int& error)
    {
        return NumericServices(*this).polySolve(coefficients, yEqu, error);
    }
    double chemWeight(std::string_view formula, int& errLocation)
    {
        return NumericServices(*this).chemWeight(formula, errLocation);
    }
    Operand chemProperty(int token, int first, int last)
    {
        return NumericServices(*this).chemProperty(token, first, last);
    }
    Operand toString(const Operand& value) { return NumericServices(*this).toString(value); }

    // ==== Expressions over a variable ====

    // The fast real path (QuickEvaluator): whether rpn qualifies, and its value (NaN for
    // anything it cannot do in reals).
    bool isQuick(const VQStack& rpn) { return QuickEvaluator(*this).isQuick(rpn); }
    double evalQuickRPN(const VQStack& rpn) { return QuickEvaluator(*this).evalQuickRPN(rpn); }

    // Stored equations as functions (EquationApplier) and sequence terms (SequenceEvaluator).
    Operand applyYEq(int token, const Operand& X);
    Operand applyXYEq(int token, double x, double y);
    Operand evalSeqNum(int token, double n, double* out);
    // An answer typed at a prompt into its variable (VariableStore).
    void store(const Operand& value, const Operand& target);

    // The numeric routines over a compiled expression and a variable slot (CalculusRoutines).
    double integrateFunction(const VQStack& rpn, int slot, double lower, double upper, double tolerance)
    {
        return CalculusRoutines(*this).integrateFunction(rpn, slot, lower, upper, tolerance);
    }
    double solve(const VQStack& rpn, int slot, double lower, double upper, double guess)
    {
        return CalculusRoutines(*this).solve(rpn, slot, lower, upper, guess);
    }
    int solveFunction(Ops ops, int slot, double lower, double upper, double guess, double* residual)
    {
        return CalculusRoutines(*this).solveFunction(std::move(ops), slot, lower, upper, guess, residual);
    }
    double minMaxFunction(const VQStack& rpn, int slot, double lower, double upper, double tolerance, bool findMin)
    {
        return CalculusRoutines(*this).minMaxFunction(rpn, slot, lower, upper, tolerance, findMin);
    }
    double minFunction(const VQStack& rpn, int slot, double lower, double upper, double tolerance)
    {
        return CalculusRoutines(*this).minFunction(rpn, slot, lower, upper, tolerance);
    }
    double maxFunction(const VQStack& rpn, int slot, double lower, double upper, double tolerance)
    {
        return CalculusRoutines(*this).maxFunction(rpn, slot, lower, upper, tolerance);
    }
    double derivativeFunction(const VQStack& rpn, int slot, double value, double h)
    {
        return CalculusRoutines(*this).derivativeFunction(rpn, slot, value, h);
    }
    std::shared_ptr<VQList> sequenceFunction(const VQStack& rpn, int slot, double begin, double end, double step)
    {
        return CalculusRoutines(*this).sequenceFunction(rpn, slot, begin, end, step);
    }
    double sumFunction(const VQStack& rpn, int slot, double lower, double upper)
    {
        return CalculusRoutines(*this).sumFunction(rpn, slot, lower, upper);
    }

    // ==== Programs ====

    // Compilation (ProgramCompiler says what each does).
    void compile(Ops& ops) { ProgramCompiler(*this).compile(ops); }
    static unsigned skipStringInOps(const Ops& ops, unsigned at) { return ProgramCompiler::skipStringInOps(ops, at); }
    Operand eval(Ops& ops, bool doSubprogram) { return ProgramCompiler(*this).eval(ops, doSubprogram); }
    VQStack getRPNfor(Ops& ops) { return ProgramCompiler(*this).getRPNfor(ops); }
    std::optional<VQStack> getSeqRPNfor(const Ops& ops, int* flags)
    {
        return ProgramCompiler(*this).getSeqRPNfor(ops, flags);
    }
    std::string printProgram(const Ops& ops) { return ProgramCompiler(*this).printProgram(ops); }

    // The program queue and the statement interpreter (ProgramQueue, StatementInterpreter).
    ProgramQueue& programQueue() { return *programQueue_; }
    const ProgramQueue& programQueue() const { return *programQueue_; }
    void startProgramThread(Ops ops) { programQueue_->startProgramThread(std::move(ops)); }
    void runProgramThread(Ops ops, const std::string& name, bool singleStep, int startIP)
    {
        programQueue_->runProgramThread(std::move(ops), name, singleStep, startIP);
    }
    bool stepProgramThread(Ops ops, const std::string& name, int start)
    {
        return programQueue_->stepProgramThread(std::move(ops), name, start);
    }
    bool resumeProgramThread() { return programQueue_->resumeProgramThread(); }
    bool resumeFromDrawing() { return programQueue_->resumeFromDrawing(); }
    bool runSubroutine(const std::string& label, const std::string& inProgram)
    {
        return programQueue_->runSubroutine(label, inProgram);
    }
    bool animateSlider(const std::string& label, const std::string& inProgram, int var, double value)
    {
        return programQueue_->animateSlider(label, inProgram, var, value);
    }
    bool stopProgramThread() { return programQueue_->stopProgramThread(); }
    void cleanUp() { programQueue_->cleanUp(); }
    void menuKey(int key) { programQueue_->menuKey(key); }
    void pauseKey(int key) { programQueue_->pauseKey(key); }
    int jumpToLabel(unsigned label, bool stepping) { return programQueue_->jumpToLabel(label, stepping); }
    int findLabel(const std::string& label, const Ops& inOps)
    {
        return programQueue_->interpreter().findLabel(label, inOps);
    }
    void popProgramStack() { programQueue_->popProgramStack(); }
    bool programQueued() const { return programQueue_->programQueued(); }
    bool busy() const { return programQueue_->busy(); }
    int programQueueCount() const { return programQueue_->programQueueCount(); }
    bool programRunning() const { return programQueue_->programRunning(); }
    std::string currentProgramName() const { return programQueue_->currentProgramName(); }
    void setCurrentProgramName(std::string name) { programQueue_->setCurrentProgramName(std::move(name)); }
    std::shared_ptr<VQMenu> menuDisplay() const { return programQueue_->menuDisplay(); }
    VQStack promptStack() const { return programQueue_->promptStack(); }
    // Empties the statement cache of the calling thread's context.
    void clearLineCache() { programQueue_->clearLineCache(); }
    // ==== End of programs ====

private:
    EvalContext main_;
    Evaluator evaluator_{*this};

    // The program queue comes last, so its worker has stopped before the evaluator and
    // the contexts it uses go.
    std::unique_ptr<ProgramQueue> programQueue_ = std::make_unique<ProgramQueue>(*this);
};

} // namespace orvenda
