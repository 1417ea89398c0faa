#include "eval/ProgramTokenHandlers.h"

#include "ProgramTestSupport.h"
#include "eval/MenuObject.h"
#include "eval/ProgramTokens.h"

#include <gtest/gtest.h>

namespace orvenda {
namespace {

using namespace ProgramTokens;
using testing::ProgramHarness;

// One statement parsed and evaluated as a program statement, on the calling thread.
class ProgramTokenHandlersTest : public ::testing::Test {
protected:
    Operand statement(const std::string& text)
    {
        const auto ops = ProgramHarness::ops(text);
        Parser& p = h.parser();
        p.setError(0);
        p.infixToRPN(&ops, 0);
        if (p.error() != 0) {
            Operand failed;
            failed.error = p.error();
            return failed;
        }
        Operand r = p.evalRPN(p.rpnStack(), false, true);
        p.setError(0);
        return r;
    }

    ProgramHarness h;
};

TEST_F(ProgramTokenHandlersTest, OutputChecksItsPlaceAndAlignment)
{
    Operand r = statement("Output(10,32,5)");
    ASSERT_EQ(r.kind, KindOutput);
    EXPECT_EQ(r.ints[0], 32);
    EXPECT_EQ(r.ints[1], 10);
    EXPECT_EQ(r.ints[2], KindReal);
    EXPECT_EQ(r.ints[3], 0);
    EXPECT_EQ(r.re(), 5);
    EXPECT_EQ(statement("Output(11,1,5)").error, 17);
    EXPECT_EQ(statement("Output(1,33,5)").error, 17);
    EXPECT_EQ(statement("Output(1.5,1,5)").error, 17);
    EXPECT_EQ(statement("Output(1,1,5,C)").ints[3], 1);
    EXPECT_EQ(statement("Output(1,1,5,R)").ints[3], 2);
    EXPECT_EQ(statement("Output(1,1,5,Q)").error, 27);
}

TEST_F(ProgramTokenHandlersTest, MenuNeedsATitleAndWholePairs)
{
    const Operand r = statement("Menu(\"T\",\"A\",1,\"B\",2)");
    ASSERT_EQ(r.kind, KindMenu);
    auto menu = std::dynamic_pointer_cast<MenuObject>(r.object);
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->menu->labels, (std::vector<int>{'1', '2'}));
    EXPECT_EQ(statement("Menu(\"T\",\"A\",\"B\",2)").error, 39);
}

TEST_F(ProgramTokenHandlersTest, ConditionsSetTheirFlags)
{
    EXPECT_EQ(statement("If 0").ints[2], 0);
    EXPECT_EQ(statement("If 2").ints[2], 1);
    EXPECT_EQ(statement("While 0").ints[2], 0);
    EXPECT_EQ(statement("Repeat 0").ints[2], 1);
    EXPECT_EQ(statement("Repeat 1").ints[2], 0);
}

TEST_F(ProgramTokenHandlersTest, ForStartsTheLoopAndChecksItsStep)
{
    Operand r = statement("For(I,10,1,-1)");
    ASSERT_EQ(r.kind, KindBranch);
    EXPECT_EQ(r.ints[2], 1);
    EXPECT_EQ(h.var('I'), 10);
    EXPECT_EQ(statement("For(I,1,0)").ints[2], 0);
    EXPECT_EQ(statement("For(I,1,10,0)").error, 42);
    EXPECT_EQ(statement("For(I,\"A\",10)").error, 1);
}

TEST_F(ProgramTokenHandlersTest, IncrementAndDecrementSkip)
{
    h.calc.setVar(0, {{5.0, 0.0}});
    EXPECT_EQ(statement("IS>(A,5)").ints[2], 1);
    EXPECT_EQ(h.var('A'), 6);
    h.calc.setVar(0, {{5.0, 0.0}});
    EXPECT_EQ(statement("DS<(A,5)").ints[2], 1);
    EXPECT_EQ(h.var('A'), 4);
    EXPECT_EQ(statement("IS>(A,9)").ints[2], 0);
    h.calc.setVar(0, {{1.0, 2.0}});
    EXPECT_EQ(statement("IS>(A,9)").error, 15);
}

TEST_F(ProgramTokenHandlersTest, InputPromptsWithQuestionMarkStringOrStringVariable)
{
    Operand r = statement("Input A");
    ASSERT_EQ(r.kind, KindInputRequest);
    ASSERT_TRUE(r.string);
    EXPECT_EQ(*r.string, (std::vector<std::uint32_t>{kQuestionMark}));
    EXPECT_EQ(r.var.token, 'A');
    r = statement("Input \"N\",A");
    ASSERT_TRUE(r.string);
    EXPECT_EQ(*r.string, (std::vector<std::uint32_t>{'N'}));
    h.calc.locked()->strings[0] = {'H', 'I'};
    r = statement("Input Str1,A");
    ASSERT_TRUE(r.string);
    EXPECT_EQ(*r.string, (std::vector<std::uint32_t>{'H', 'I'}));
    EXPECT_EQ(statement("Input 5").error, 27);
}

TEST_F(ProgramTokenHandlersTest, PauseAndDispGatherTheirValues)
{
    Operand r = statement("Pause");
    ASSERT_EQ(r.kind, KindPause);
    EXPECT_EQ(r.ints[2], KindPause);
    r = statement("Pause 7");
    EXPECT_EQ(r.ints[2], KindReal);
    EXPECT_EQ(r.re(), 7);
    r = statement("Disp 1,2,3");
    ASSERT_EQ(r.kind, KindResults);
    ASSERT_TRUE(r.stack);
    EXPECT_EQ(r.stack->count(), 3);
    r = statement("Prompt A,B");
    ASSERT_EQ(r.kind, KindPrompt);
    ASSERT_TRUE(r.stack);
    EXPECT_EQ(r.stack->peek()->var.token, 'A');
}

TEST_F(ProgramTokenHandlersTest, FixSetsTheDigitsAndNormalFormat)
{
    h.calc.locked()->numFormat = 2;
    EXPECT_EQ(statement("Fix 3").kind, KindDone);
    EXPECT_EQ(h.calc.locked()->numDigits, 3);
    EXPECT_EQ(h.calc.locked()->numFormat, 0);
    EXPECT_EQ(statement("Fix 10").error, 17);
    EXPECT_EQ(h.calc.locked()->numDigits, 3);
}

} // namespace
} // namespace orvenda
