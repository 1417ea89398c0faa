#pragma once

#include "core/Operand.h"
#include "eval/EvalRun.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace orvenda {

class MainQueue;
class Parser;
class VQStack;

// Walks compiled reverse Polish form over an evaluation stack and hands back one record:
// the value, a program-control request or an error. Values are pushed as they come;
// operator, function and command tokens take their arguments from the stack and push
// their result. Nested runs (an expression argument evaluated by its function) recurse on
// the same thread, each with its own stack.
class Evaluator {
public:
    explicit Evaluator(Parser& parser) : p_(parser) {}
    // Drawing work still queued on the main thread is dropped from now on.
    ~Evaluator() { *alive_ = false; }
    Evaluator(const Evaluator&) = delete;
    Evaluator& operator=(const Evaluator&) = delete;

    // The parser whose context the runs use; token handlers are made on it.
    Parser& parser() const { return p_; }

    // immediateMode stops with error 19 at the first control or input/output token;
    // async hands drawing to the main queue instead of doing it here.
    Operand evalRPN(const VQStack& rpn, bool immediateMode, bool async);
    // The same into a record the caller keeps (the statement interpreter's result), which
    // saves moving the result once more per statement.
    void evalRPN(const VQStack& rpn, bool immediateMode, bool async, Operand& into);

    // Where asynchronous runs send their drawing: the queue set here, else the program
    // queue's. Without either, drawing is done directly.
    void setMainQueue(MainQueue* queue) { mainQueue_ = queue; }
    MainQueue* mainQueue() const;
    // Drawing work of a command: queued on the main thread when the run is asynchronous,
    // else done now. Queued work that finds the evaluator gone does nothing.
    void drawOnMain(const EvalRun& run, std::function<void()> work);
    // Work on main-thread state whose outcome the command needs (pxl-Test(, StoreGDB):
    // done on the main thread and waited for when the run is asynchronous, else done now.
    // Queued after the drawing sent before it, so it sees that drawing. The program queue
    // lets the state lock go while it waits, and a stop gives the wait up (the work is then
    // not done).
    void onMainSync(const EvalRun& run, std::function<void()> work);

    // Whether ImmediateMode stops at token t.
    static bool stopsImmediate(int token);
    // Whether t may run on an empty evaluation stack (its handler supplies defaults).
    static bool runsWithoutArguments(int token);
    // Program-control kinds that end the run as soon as their token is handled.
    static bool endsRun(int kind);

    // The argument shapes shared by many tokens; each leaves its result in run.R.
    // One operand: unaryOp with the token and X.
    void unaryFunction(EvalRun& run);
    // Infix operator: Y is popped (error 1 on an empty stack), then binaryOp.
    void binaryOperator(EvalRun& run);
    // Exactly two arguments, X the count.
    void twoArgumentFunction(EvalRun& run);
    // One or two arguments, X the count.
    void oneOrTwoArgumentFunction(EvalRun& run);
    // log( with its optional base (10 by default).
    void logarithm(EvalRun& run);

    // A token whose handler family is not part of the system yet: error 19.
    void notAvailable(EvalRun& run);
    // A token that no handler takes: error 16.
    void noHandler(EvalRun& run);

private:
    // What the record's token did; decides how the walk goes on.
    // Held: the run's last record left its value in R instead of pushing it, since the
    // run would only pop it straight back.
    enum class Step { Next, End, Held };

    Step walkRecord(EvalRun& run, const Operand& record, bool last);
    // Tokens handled before any argument is fetched; false when t is not one of them.
    bool handleWithoutArguments(EvalRun& run, int& index, bool& ends);
    // Copies the records of the argument group opened at index into a function record.
    void pushArgumentGroup(EvalRun& run, int& index);
    bool fetchX(EvalRun& run);
    void dispatch(EvalRun& run);
    void dispatchOneByte(EvalRun& run);
    void dispatchInternal(EvalRun& run);
    void dispatchOwnPage(EvalRun& run);
    void dispatchOtherPages(EvalRun& run);
    Parser& p_;
    MainQueue* mainQueue_ = nullptr;
    // Set to false when the evaluator goes; read on the main thread only.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace orvenda
