#include "eval/Evaluator.h"

#include "cases/ProgramSupport.h"
#include "core/Calculator.h"
#include "core/VQStack.h"
#include "eval/Parser.h"

#include <gtest/gtest.h>
#include <vector>

// Answers of typed entries are in tests/cases; these walk compiled records directly.

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

// Each record sits at the index of its place, so the location names the record (-1: not checked).
TEST_F(EvaluatorTest, ErrorsNameTheirRecord)
{
    struct Case {
        Rpn line;
        int error, at;
    };
    const Case cases[] = {
        {rpn(), 16, 0},                                   // nothing to answer
        {rpn().op(0x10), 16, 0},                          // an open bracket does nothing
        {rpn().op(0xBC), 16, 0},                          // √( with nothing before it
        {rpn().num(1).op(0x70), 1, -1},                   // an infix operator without its left operand
        {rpn().num(1).op(0x1012).op(0x1013), 1, 1},       // an empty argument group
        {rpn().num(1).num(0).op(0x83), 14, 1},            // at the divisor
        {rpn().num(5).op(0xDE), 19, 1},                   // Disp stops before taking its argument
        {rpn().op(0xF2), 24, 0},                          // 1-Var Stats needs no argument: L₁ is empty
        // Tokens without a role: internal, a key operation, the tail of the 0xBB page.
        {rpn().num(1).op(0x1014), 16, 1},
        {rpn().num(1).op(0x0400), 16, 1},
        {rpn().num(1).op(0xBB70), 16, 1},
        {rpn().num(1).op(0x5C49), 16, 1},
        {rpn().num(1).op((7u << 16) | 0xBB5Eu), 16, 1},
        // Tokens whose handlers are missing.
        {rpn().num(1).op(0x6000), 19, 1},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        parser.setError(0);
        const Operand r = eval(c.line, true);
        EXPECT_EQ(r.error, c.error) << "case " << i;
        if (c.at >= 0) {
            EXPECT_EQ(r.location, c.at) << "case " << i;
        }
        EXPECT_EQ(parser.evalStack().count(), 0);
    }
    parser.setError(0);
    EXPECT_EQ(eval(rpn().op(0x81)).opcode, 0x81u);  // a marker is pushed as its token
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

TEST_F(EvaluatorTest, AGroupWithoutItsEndRunsToTheEnd)
{
    const Operand r = eval(rpn().op(0x1012).num(3).num(4));
    EXPECT_EQ(r.kind, KindFunction);
    EXPECT_EQ(r.stack->count(), 2);
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
    orvenda::testing::ManualMainQueue queue;
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
    EXPECT_TRUE(queue.pump());
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

