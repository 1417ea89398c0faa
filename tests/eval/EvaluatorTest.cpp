#include "eval/Evaluator.h"

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "eval/BBDispatch.h"
#include "eval/MainQueue.h"
#include "eval/Parser.h"
#include "TestTokens.h"

#include <gtest/gtest.h>
#include <functional>
#include <vector>

using namespace orvenda;

namespace {

// Compiled expressions written record by record; each record's location is its index.
class Rpn {
public:
    explicit Rpn(Calculator& calc) : stack(&calc) {}

    Rpn& num(double x)
    {
        stack.pushReal(x, 15, -15, next());
        return *this;
    }
    Rpn& op(std::uint32_t opcode)
    {
        stack.pushOpcode(opcode, next());
        return *this;
    }
    Rpn& var(int token)
    {
        stack.pushVar(token, next());
        return *this;
    }

    VQStack stack;

private:
    int next() { return stack.count(); }
};

class EvaluatorTest : public ::testing::Test {
protected:
    Calculator calc;
    Parser& parser = calc.parser();

    Operand eval(const Rpn& rpn, bool immediate = false)
    {
        return parser.evalRPN(rpn.stack, immediate, false);
    }
    Rpn rpn() { return Rpn(calc); }
};

class ManualQueue : public MainQueue {
public:
    void post(std::function<void()> work) override { pending.push_back(std::move(work)); }
    void postSync(std::function<void()> work) override { work(); }
    void pump()
    {
        auto work = std::move(pending);
        pending.clear();
        for (auto& w : work)
            w();
    }
    std::vector<std::function<void()>> pending;
};

} // namespace

TEST_F(EvaluatorTest, ValuesAreTheResult)
{
    const Operand r = eval(rpn().num(1).num(7));
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.kind, KindReal);
    // The top is the result; the values under it are dropped.
    EXPECT_EQ(r.re(), 7.0);
    EXPECT_EQ(r.location, 1);
    EXPECT_EQ(parser.evalStack().count(), 0);
    EXPECT_EQ(parser.evalDepth(), 0);
}

TEST_F(EvaluatorTest, VariablesAreResolvedAtTheEnd)
{
    calc.setVar(1, {{2.5, 0.0}, 15, -15});
    const Operand r = eval(rpn().var(0x42));
    EXPECT_EQ(r.kind, KindReal);
    EXPECT_EQ(r.re(), 2.5);
}

TEST_F(EvaluatorTest, NothingToAnswerIsUndefined)
{
    EXPECT_EQ(eval(rpn()).error, 16);
    parser.setError(0);
    // An open bracket does nothing, so nothing is left.
    EXPECT_EQ(eval(rpn().op(0x10)).error, 16);
}

TEST_F(EvaluatorTest, AFunctionWithoutArgumentsIsUndefined)
{
    const Operand r = eval(rpn().op(0xBC));  // √( with nothing before it
    EXPECT_EQ(r.error, 16);
    EXPECT_EQ(r.location, 0);
}

TEST_F(EvaluatorTest, SomeCommandsRunOnAnEmptyStack)
{
    EXPECT_TRUE(Evaluator::runsWithoutArguments(0xF2));     // 1-Var Stats
    EXPECT_TRUE(Evaluator::runsWithoutArguments(0x7E08));   // AxesOn
    EXPECT_TRUE(Evaluator::runsWithoutArguments(0xEF15));   // LinRegTInt
    EXPECT_FALSE(Evaluator::runsWithoutArguments(0xBB35));
    // Such a command gets past the argument check to its own handler.
    const Operand r = eval(rpn().op(0xF2));
    EXPECT_EQ(r.error, 19);
}

TEST_F(EvaluatorTest, ImmediateModeStopsBeforeTheArgumentIsTaken)
{
    Rpn line = rpn();
    line.num(5).op(0xDE);  // 5 Disp
    const Operand r = eval(line, true);
    EXPECT_EQ(r.error, 19);
    EXPECT_EQ(r.location, 1);

    for (int t : {0x84, 0xAD, 0xCE, 0xE1, 0xE5, 0xE8, 0x5C35, 0x5C39, 0x5C3B, 0x5C58, 0xBB53})
        EXPECT_TRUE(Evaluator::stopsImmediate(t)) << std::hex << t;
    for (int t : {0xE2, 0xE9, 0x5C3A, 0x70})
        EXPECT_FALSE(Evaluator::stopsImmediate(t)) << std::hex << t;
}

TEST_F(EvaluatorTest, ArgumentGroupsBecomeFunctions)
{
    // fnBegin X 2 * fnEnd 7: the group is one function record, then 7 on top.
    Rpn line = rpn();
    line.op(0x1012).var(0x58).num(2).op(0x82).op(0x1013).num(7);
    const Operand r = eval(line);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.re(), 7.0);

    // A group standing last is the answer, with the records between the markers.
    Rpn alone = rpn();
    alone.op(0x1012).var(0x58).op(0x1012).num(1).op(0x1013).op(0x1013);
    const Operand fn = eval(alone);
    EXPECT_EQ(fn.error, 0);
    ASSERT_EQ(fn.kind, KindFunction);
    ASSERT_TRUE(fn.stack);
    EXPECT_EQ(fn.stack->count(), 4);  // X, the inner markers and 1
    EXPECT_EQ(fn.location, 0);
}

TEST_F(EvaluatorTest, AnEmptyGroupIsASyntaxError)
{
    const Operand r = eval(rpn().num(1).op(0x1012).op(0x1013));
    EXPECT_EQ(r.error, 1);
    EXPECT_EQ(r.location, 1);
}

TEST_F(EvaluatorTest, AGroupWithoutItsEndRunsToTheEnd)
{
    const Operand r = eval(rpn().op(0x1012).num(3).num(4));
    EXPECT_EQ(r.kind, KindFunction);
    EXPECT_EQ(r.stack->count(), 2);
}

TEST_F(EvaluatorTest, MarkersArePushedAsTokens)
{
    const Operand r = eval(rpn().op(0x81));
    EXPECT_EQ(r.kind, KindOpcode);
    EXPECT_EQ(r.opcode, 0x81u);
}

TEST_F(EvaluatorTest, ProgramControlKinds)
{
    struct Case {
        std::uint32_t token;
        int kind;
    };
    for (const Case c : {Case{0x84, KindGraphShown}, Case{0xDF, KindGraphShown}, Case{0xD5, KindReturn},
                         Case{0xD9, KindStop}, Case{0x5C58, KindBreakpoint}, Case{0x101B, KindQuestion},
                         Case{0xE5, KindDispTable}, Case{0x85, KindClrDraw}, Case{0x5C3A, KindClrControls},
                         Case{0x5C3B, KindDispControls}}) {
        // These end the run: what follows is not walked.
        const Operand r = eval(rpn().op(c.token).op(0xBC));
        EXPECT_EQ(r.error, 0) << std::hex << c.token;
        EXPECT_EQ(r.kind, c.kind) << std::hex << c.token;
        EXPECT_EQ(parser.evalStack().count(), 0);
    }

    const Operand zoom = eval(rpn().op(0x8B));
    EXPECT_EQ(zoom.kind, KindZoom);
    EXPECT_EQ(zoom.opcode, 0x8Bu);
    EXPECT_EQ(eval(rpn().op(0xBB65)).kind, KindZoom);
}

TEST_F(EvaluatorTest, JumpsCarryTheirTarget)
{
    const Operand r = eval(rpn().op((12u << 16) | 0xD7));  // Goto compiled to index 12
    EXPECT_EQ(r.kind, KindBranch);
    EXPECT_EQ(r.ints[0], 12);
    EXPECT_EQ(r.ints[1], 0xD7);
    EXPECT_EQ(r.ints[2], 1);

    EXPECT_EQ(eval(rpn().op(0xE1)).kind, KindClrHome);
}

TEST_F(EvaluatorTest, TokensWithoutAHandlerAreUndefined)
{
    // An internal token with no role, a key operation and the tail of the 0xBB page.
    for (std::uint32_t t : {0x1014u, 0x0400u, 0xBB70u, 0x5C49u, (7u << 16) | 0xBB5Eu}) {
        parser.setError(0);
        const Operand r = eval(rpn().num(1).op(t));
        EXPECT_EQ(r.error, 16) << std::hex << t;
        EXPECT_EQ(r.location, 1) << std::hex << t;
    }
}

TEST_F(EvaluatorTest, TokensOfMissingHandlersAreInvalid)
{
    for (std::uint32_t t : {0xBB00u, 0xBB0Au, 0xBB0Cu, 0xBB10u, 0xBB3Bu, 0xBB54u, 0xEF97u, 0x5C3Cu, 0x24u}) {
        parser.setError(0);
        const Operand r = eval(rpn().num(1).op(t));
        EXPECT_EQ(r.error, 19) << std::hex << t;
        EXPECT_EQ(r.location, 1) << std::hex << t;
    }
}

TEST_F(EvaluatorTest, CountedFunctionsCheckTheirCount)
{
    // gcd( with three arguments, then with one.
    Operand r = eval(rpn().num(4).num(6).num(8).num(3).op(0xBB09));
    EXPECT_EQ(r.error, 40);
    parser.setError(0);
    r = eval(rpn().num(4).num(1).op(0xBB09));
    EXPECT_EQ(r.error, 39);
}

TEST_F(EvaluatorTest, AnInfixOperatorNeedsItsLeftOperand)
{
    const Operand r = eval(rpn().num(1).op(0x70));
    EXPECT_EQ(r.error, 1);
}

TEST_F(EvaluatorTest, TheZeroBBPageTableRoutesByFamily)
{
    using R = BBDispatch::Route;
    EXPECT_EQ(BBDispatch::routeFor(0xBB09), R::TwoArguments);
    EXPECT_EQ(BBDispatch::routeFor(0xBB1D), R::TwoArguments);
    EXPECT_EQ(BBDispatch::routeFor(0xBB0E), R::OneOrTwoArguments);
    EXPECT_EQ(BBDispatch::routeFor(0xBB25), R::OneArgument);
    EXPECT_EQ(BBDispatch::routeFor(0xBB30), R::OneArgument);
    EXPECT_EQ(BBDispatch::routeFor((3u << 26) | (1u << 21) | 0xBB5D), R::OneArgument);
    EXPECT_EQ(BBDispatch::routeFor(0xBB24), R::Finance);
    EXPECT_EQ(BBDispatch::routeFor(0xBB1F), R::Random);
    EXPECT_EQ(BBDispatch::routeFor(0xBB56), R::Strings);
    EXPECT_EQ(BBDispatch::routeFor(0xBB1E), R::Distributions);
    EXPECT_EQ(BBDispatch::routeFor(0xBB59), R::Statistics);
    EXPECT_EQ(BBDispatch::routeFor(0xBB54), R::ListsAndGraphStyle);
    EXPECT_EQ(BBDispatch::routeFor(0xBB31), R::Default);
    EXPECT_EQ(BBDispatch::routeFor(0xBB5E), R::Default);
}

TEST_F(EvaluatorTest, AFailedNestedRunLeavesTheOuterStackAlone)
{
    // An outer run is in progress with two values on its stack.
    EvalContext& c = parser.ctx();
    c.evalStack.pushReal(10, 15, -15, 0);
    c.evalStack.pushReal(20, 15, -15, 1);
    c.evalDepth = 1;

    // The inner expression fails at its token (location 6).
    Rpn inner = rpn();
    inner.num(0);
    inner.stack.pushOpcode(0x1014, 6);
    const Operand r = eval(inner);
    EXPECT_EQ(r.error, 16);
    EXPECT_EQ(r.location, 6);
    EXPECT_EQ(parser.error(), 16);
    EXPECT_EQ(parser.errorToken(), 6);
    EXPECT_EQ(c.evalDepth, 1);
    ASSERT_EQ(c.evalStack.count(), 2);
    EXPECT_EQ(c.evalStack.peek()->re(), 20.0);

    // A successful nested run leaves it alone too.
    parser.setError(0);
    EXPECT_EQ(eval(rpn().num(3)).re(), 3.0);
    EXPECT_EQ(c.evalStack.count(), 2);
    c.evalDepth = 0;
    c.evalStack.clear();
}

TEST_F(EvaluatorTest, DrawingGoesToTheMainQueueWhenAsynchronous)
{
    ManualQueue queue;
    Evaluator& evaluator = parser.evaluator();
    evaluator.setMainQueue(&queue);
    VQStack stack(&calc);
    VQStack rpnStack(&calc);
    EvalRun run(stack, rpnStack);
    int drawn = 0;

    run.async = false;
    evaluator.drawOnMain(run, [&] { ++drawn; });
    EXPECT_EQ(drawn, 1);

    run.async = true;
    evaluator.drawOnMain(run, [&] { ++drawn; });
    EXPECT_EQ(drawn, 1);
    queue.pump();
    EXPECT_EQ(drawn, 2);
    evaluator.setMainQueue(nullptr);
}

TEST_F(EvaluatorTest, TheDecimalFlagComesFromTheParsedStatement)
{
    parser.rpnStack().setHasDecimalPoint(true);
    EXPECT_TRUE(eval(rpn().num(1)).hasDecimalPoint);
    parser.rpnStack().setHasDecimalPoint(false);
    EXPECT_FALSE(eval(rpn().num(1)).hasDecimalPoint);
}

TEST_F(EvaluatorTest, SettingsAnswerDoneAndAComplexModeOutlastsTheRun)
{
    calc.setRealCplxMode(0);
    Operand r = eval(rpn().op(0xBB4F));  // a+bi
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.kind, KindDone);
    EXPECT_EQ(calc.realCplxMode(), 1);

    r = eval(rpn().op(0x65));  // Degree
    EXPECT_EQ(r.kind, KindDone);
    EXPECT_EQ(calc.angleFormat(), 0);

    r = eval(rpn().op(0xBB4D));  // Real
    EXPECT_EQ(calc.realCplxMode(), 0);
}

TEST_F(EvaluatorTest, AModeChangedUnderARunIsPutBack)
{
    calc.setRealCplxMode(0);
    Rpn line = rpn();
    line.num(1);
    parser.evalRPN(line.stack, false, false);
    EXPECT_EQ(calc.realCplxMode(), 0);
    calc.setRealCplxMode(2);
    parser.evalRPN(line.stack, false, false);
    EXPECT_EQ(calc.realCplxMode(), 2);
}

namespace {

// Parses one statement and evaluates it as an entry line does.
Operand enter(Parser& parser, std::vector<std::uint32_t> ops)
{
    parser.setError(0);
    parser.infixToRPN(&ops, 0);
    EXPECT_EQ(parser.error(), 0);
    return parser.evalRPN(parser.rpnStack(), true, false);
}

} // namespace

TEST_F(EvaluatorTest, ParsedArithmetic)
{
    using orvenda::testing::toks;
    const Operand r = enter(parser, toks({"2", "+", "3", "*", "4"}));
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.kind, KindReal);
    EXPECT_EQ(r.re(), 14.0);
    EXPECT_FALSE(r.hasDecimalPoint);
    EXPECT_TRUE(enter(parser, toks({"1", ".", "5", "/", "3"})).hasDecimalPoint);
}

TEST_F(EvaluatorTest, DivisionByZeroIsReportedAtTheDivisor)
{
    using orvenda::testing::toks;
    const Operand r = enter(parser, toks({"1", "/", "0"}));
    EXPECT_EQ(r.error, 14);
    EXPECT_EQ(r.location, 2);
    EXPECT_EQ(parser.evalStack().count(), 0);
}

TEST_F(EvaluatorTest, AnInnerErrorEndsTheOuterRunWithItsLocation)
{
    using orvenda::testing::toks;
    // 7 + expr( "1/0" ): the expression inside the string fails.
    const Operand r = enter(parser, toks({"7", "+", "expr(", 0x2A, "1", "/", "0", 0x2A, ")"}));
    EXPECT_EQ(r.error, 14);
    EXPECT_EQ(parser.evalDepth(), 0);
    EXPECT_EQ(parser.evalStack().count(), 0);

    // The next entry starts clean.
    const Operand ok = enter(parser, toks({"7", "+", "expr(", 0x2A, "1", 0x2A, ")"}));
    EXPECT_EQ(ok.error, 0);
    EXPECT_EQ(ok.re(), 8.0);
}

TEST_F(EvaluatorTest, TheImaginaryUnitSwitchesOnlyForItsRun)
{
    using orvenda::testing::toks;
    calc.setRealCplxMode(0);
    const Operand r = enter(parser, toks({0x2C, "*", 0x2C}));
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.re(), -1.0);
    EXPECT_EQ(calc.realCplxMode(), 0);
}
