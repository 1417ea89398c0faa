#include "eval/ProgramCompiler.h"

#include "core/Calculator.h"
#include "eval/Parser.h"
#include "eval/ProgramTokens.h"

#include "ProgramTestSupport.h"

#include <gtest/gtest.h>

namespace orvenda {
namespace {

using namespace ProgramTokens;
using Ops = std::vector<std::uint32_t>;

class ProgramCompilerTest : public ::testing::Test {
protected:
    Ops compiled(const std::string& text)
    {
        Ops ops = testing::ProgramHarness::ops(text);
        calc.parser().ctx().error = 0;
        calc.parser().compile(ops);
        return ops;
    }
    int error() { return calc.parser().error(); }
    int errorToken() { return calc.parser().errorToken(); }
    static int indexOf(const Ops& ops, std::uint32_t t, int nth = 0)
    {
        for (std::size_t i = 0; i < ops.size(); ++i)
            if (token(ops[i]) == t && nth-- == 0)
                return static_cast<int>(i);
        return -1;
    }

    Calculator calc;
};

TEST_F(ProgramCompilerTest, IfThenElseTargetsLandAfterElseAndEnd)
{
    const Ops ops = compiled("If A:Then:1:Else:2:End:3");
    ASSERT_EQ(error(), 0);
    const int i = indexOf(ops, kIf), e = indexOf(ops, kElse), end = indexOf(ops, kEnd);
    EXPECT_EQ(target(ops[static_cast<std::size_t>(i)]), e + 2);
    EXPECT_EQ(target(ops[static_cast<std::size_t>(e)]), end + 2);
    EXPECT_EQ(target(ops[static_cast<std::size_t>(end)]), end + 2);
}

TEST_F(ProgramCompilerTest, ForLoopEndPointsBackAndForPointsPastEnd)
{
    const Ops ops = compiled("For(I,1,3):1:End:2");
    ASSERT_EQ(error(), 0);
    const int f = indexOf(ops, kFor), end = indexOf(ops, kEnd);
    EXPECT_EQ(target(ops[static_cast<std::size_t>(end)]), f);
    EXPECT_EQ(target(ops[static_cast<std::size_t>(f)]), end + 2);
}

TEST_F(ProgramCompilerTest, OneStatementIfJumpsToTheEndOfTheGovernedStatement)
{
    const Ops ops = compiled("If A:1➞B:2");
    ASSERT_EQ(error(), 0);
    EXPECT_EQ(target(ops[0]), indexOf(ops, kColon, 1));
    // A condition ended only by the array's last ":" governs nothing.
    compiled("If A:");
    EXPECT_EQ(error(), 1);
}

TEST_F(ProgramCompilerTest, IncrementSkipJumpsPastOneStatement)
{
    const Ops ops = compiled("IS>(A,5):1:2");
    ASSERT_EQ(error(), 0);
    EXPECT_EQ(target(ops[0]), indexOf(ops, kColon, 1) + 1);
}

TEST_F(ProgramCompilerTest, GotoAndGosubTakeTheLabelsIndex)
{
    const Ops ops = compiled("Goto B:1:Lbl B:2");
    ASSERT_EQ(error(), 0);
    const int lbl = indexOf(ops, kLbl);
    EXPECT_EQ(target(ops[0]), lbl + 3);
    EXPECT_EQ(calc.parser().findLabel("B", ops), lbl + 2);
    EXPECT_EQ(calc.parser().findLabel("C", ops), -1);
}

TEST_F(ProgramCompilerTest, BlockAndLabelErrorsStopAtTheOffendingToken)
{
    struct Case {
        const char* text;
        int error, at;  // at -1: not checked
    };
    const Case cases[] = {
        {"Lbl A:Lbl A", 2, 3},       {"Goto B:1", 3, 0},          {"1:Else:End", 1, -1},
        {"While A:Else:End", 4, -1}, {"While A:Then:End", 5, -1}, {"If A:Then:1", 6, -1},
        {"For(I,1,2):1", 7, -1},     {"1:While A:1", 8, 2},       {"Repeat A:1", 9, -1},
        {"If A:Then:1:Else:2", 10, -1}, {"Goto :1", 11, -1},
    };
    for (const Case& c : cases) {
        compiled(c.text);
        EXPECT_EQ(error(), c.error) << c.text;
        if (c.at >= 0) {
            EXPECT_EQ(errorToken(), c.at) << c.text;
        }
    }
}
TEST_F(ProgramCompilerTest, StringsAndDegreeLiteralsHideTheirTokens)
{
    // A "Goto" inside a string is text, not a jump.
    Ops ops = compiled("\"Goto X\"➞Str1");
    EXPECT_EQ(error(), 0);
    ops = {kDegree, 0x33, kQuote, kColon, kGoto, 'Z'};
    calc.parser().compile(ops);
    EXPECT_EQ(error(), 3);  // the quote ends the literal; Goto Z is seen
}

TEST_F(ProgramCompilerTest, SkipStringStopsAtQuoteNewLineOrEnd)
{
    const Ops ops = {kQuote, 'A', kQuote, kQuote, 'B', kNewLine, kQuote, 'C'};
    EXPECT_EQ(ProgramCompiler::skipStringInOps(ops, 0), 2u);
    EXPECT_EQ(ProgramCompiler::skipStringInOps(ops, 3), 4u);
    EXPECT_EQ(ProgramCompiler::skipStringInOps(ops, 6), 8u);
    EXPECT_EQ(ProgramCompiler::skipStringInOps(ops, 1), 1u);
}

TEST_F(ProgramCompilerTest, SequenceNamesBecomeOneTokenEach)
{
    int flags = -1;
    const Ops written = {0xBBC5, 0x10, 0xBBAA, 0x71, 0x32, 0x11};
    auto rpn = calc.parser().getSeqRPNfor(written, &flags);
    ASSERT_TRUE(rpn);
    EXPECT_EQ(flags, 0x02);
    EXPECT_EQ(rpn->count(), 1);
    EXPECT_FALSE(calc.parser().getSeqRPNfor({0x5E81, 0x10, 0x31, 0x11}, &flags));
    flags = 0;
    ASSERT_TRUE(calc.parser().getSeqRPNfor({0x5E82}, &flags));
    EXPECT_EQ(flags, 0x10);
}

TEST_F(ProgramCompilerTest, GetRPNforKeepsTheParsersOwnRPN)
{
    calc.parser().rpnStack().pushReal(7, 15, -15, 0);
    Ops ops = testing::ProgramHarness::ops("5");
    const VQStack rpn = calc.parser().getRPNfor(ops);
    EXPECT_EQ(rpn.count(), 1);
    ASSERT_EQ(calc.parser().rpnStack().count(), 1);
    EXPECT_EQ(calc.parser().rpnStack().peek()->re(), 7);
}

} // namespace
} // namespace orvenda
