#include "eval/QuickEvaluator.h"

#include "AllocationHooks.h"
#include "cases/EntryText.h"
#include "core/Calculator.h"
#include "core/VQStack.h"
#include "eval/Parser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace orvenda;

namespace {

constexpr int kSlotX = 23;

class QuickEvaluatorTest : public ::testing::Test {
protected:
    Calculator calc;
    // Handlers run inside an evaluation, which holds the state lock.
    const std::unique_lock<StateMutex> hold_ = calc.lockState();
    Parser& parser = calc.parser();
    QuickEvaluator quick{parser};

    void SetUp() override { calc.setAngleFormat(1); }

    // The compiled form of typed text.
    VQStack rpn(const std::string& text)
    {
        static const cases::EntryText entry;
        std::string bad;
        auto ops = entry.toOps(text, bad);
        EXPECT_TRUE(ops) << "no token for " << bad;
        parser.setError(0);
        parser.infixToRPN(&*ops, 0);
        EXPECT_EQ(parser.error(), 0) << text;
        return parser.rpnStack();
    }
    // The value through a compiled program, checked against the records walked directly.
    double quickValue(const std::string& text)
    {
        const VQStack form = rpn(text);
        QuickEvaluator::Program program;
        EXPECT_TRUE(quick.compile(form, program)) << text;
        const double v = quick.run(program);
        const double direct = quick.evalQuickRPN(form);
        EXPECT_TRUE(v == direct || (std::isnan(v) && std::isnan(direct))) << text;
        return v;
    }
    void setX(std::complex<double> x) { calc.locked()->vars[kSlotX] = x; }
};

} // namespace

TEST_F(QuickEvaluatorTest, ValuesOfTheFastPath)
{
    struct Case {
        const char* text;
        int angle;  // 0 degree, 1 radian
        double expected;
    };
    setX(3);
    const Case cases[] = {
        {"2+3", 1, 5},
        {"X²", 1, 9},
        {"3X³-2X²+5X-7", 1, 71},
        {"2-X", 1, -1},
        {"12/X", 1, 4},
        {"2^X", 1, 8},
        // The full evaluator's exact quarter turns and its relative equality.
        {"sin(180)", 0, 0},
        {".1+.2=.3", 1, 1},
        {"1ᴱ-20=2ᴱ-20", 1, 0},
        {"(-8)^(1/3)", 1, -2},
        {"R▸Pθ(0,1)", 0, 90},
        {"atan2(1,0)", 0, 90},
        {"max(X,5)", 1, 5},
        {"log(100)", 1, 2},
        {"log(8,2)", 1, 3},
        {"remainder(7,3)", 1, 1},
        {"gcd(12,18)", 1, 6},
        {"not(0)", 1, 1},
        {"sign(-X)", 1, -1},
        {"3ˣ√64", 1, 4},
    };
    for (const Case& c : cases) {
        calc.setAngleFormat(c.angle);
        EXPECT_DOUBLE_EQ(quickValue(c.text), c.expected) << c.text;
    }
}

TEST_F(QuickEvaluatorTest, NoValueIsNaN)
{
    setX(-1);
    // Once a step has no value, no later step may hide it.
    for (const char* text : {"√(X)", "(-8)^(1/2)", "1/0", "0⁻¹", "max(√(X),2)", "not(√(X))", "√(X)^0",
                             "√(X)=√(X)", "gcd(-2,4)", "remainder(5,0)", "2+√(X)*0", "ln(X)"}) {
        EXPECT_TRUE(std::isnan(quickValue(text))) << text;
    }
    // A complex variable has no real value.
    setX({1, 2});
    EXPECT_TRUE(std::isnan(quickValue("X")));
    EXPECT_TRUE(std::isnan(quickValue("2X+1")));
}

TEST_F(QuickEvaluatorTest, RoundingFollowsTheDigitsSetting)
{
    calc.locked()->numDigits = 2;
    EXPECT_DOUBLE_EQ(quickValue("round(2.345)"), 2.35);
    calc.locked()->numDigits = -1;
    EXPECT_DOUBLE_EQ(quickValue("round(2.345)"), 2.345);
}

// Constant parts are worked out once, but never those that depend on the modes.
TEST_F(QuickEvaluatorTest, ProgramsReadTheModesWhenTheyRun)
{
    QuickEvaluator::Program program;
    ASSERT_TRUE(quick.compile(rpn("sin(90)+round(1.26)"), program));
    calc.locked()->numDigits = 1;
    EXPECT_DOUBLE_EQ(quick.run(program), std::sin(90.0) + 1.3);
    calc.setAngleFormat(0);
    calc.locked()->numDigits = -1;
    EXPECT_DOUBLE_EQ(quick.run(program), 1 + 1.26);
}

// The compiled program against the full evaluator on the same records, over a sweep of X:
// the merged and worked-out instructions must give the same doubles.
TEST_F(QuickEvaluatorTest, AgreesWithTheFullEvaluator)
{
    const char* texts[] = {"3X³-2X²+5X-7", "X²+X-1", "-X³", "2X", "X*3", "X/2", "2/X", "X-1/3", "1/3-X",
                           "X^2", "2^X", "e^(-X²/2)/√(2π)", "sin(X)+cos(2X)", "(X+1)(X-1)", "X³*4+X²",
                           "abs(X)-int(X)", "√(2)X²", "7+X²-X", "X-X³+X²-2"};
    for (const char* text : texts) {
        const VQStack form = rpn(text);
        QuickEvaluator::Program program;
        ASSERT_TRUE(quick.compile(form, program)) << text;
        for (double x = -2.75; x <= 3; x += 0.5) {
            setX(x);
            const Operand full = parser.evalRPN(form, true, true);
            parser.setError(0);
            ASSERT_EQ(full.kind, KindReal) << text << " at " << x;
            EXPECT_EQ(quick.run(program), full.re()) << text << " at " << x;
        }
    }
}

TEST_F(QuickEvaluatorTest, WhatIsNotQuick)
{
    // sigFig( needs the significance this path does not keep; lists, strings and the
    // imaginary unit are not reals.
    for (const char* text : {"sigFig(X)", "{1,2}X", "\"A\"", "ɩ̇X", "L₁(1)", "fnInt(X,X,0,1)"})
        EXPECT_FALSE(quick.isQuick(rpn(text))) << text;
    EXPECT_TRUE(quick.isQuick(VQStack(&calc)));
    EXPECT_EQ(quick.evalQuickRPN(VQStack(&calc)), 0);
    EXPECT_TRUE(std::isnan(quick.evalQuickRPN(rpn("sigFig(X)"))));
}

// The value stack holds 100 values: longer forms are left to the full evaluator.
TEST_F(QuickEvaluatorTest, FormsLongerThanTheStack)
{
    VQStack form(&calc);
    for (int i = 0; i < 100; ++i)
        form.pushReal(i + 1, 15, -15, i);
    // Every value stays: the answer is the top one, as the full evaluator's.
    EXPECT_TRUE(quick.isQuick(form));
    EXPECT_EQ(quick.evalQuickRPN(form), 100);
    EXPECT_EQ(parser.evalRPN(form, true, true).re(), 100);
    form.pushReal(101, 15, -15, 100);
    EXPECT_FALSE(quick.isQuick(form));
    EXPECT_TRUE(std::isnan(quick.evalQuickRPN(form)));
}

TEST_F(QuickEvaluatorTest, ArgumentCountsAndMissingValues)
{
    // max( takes exactly two: a count of 3 gives NaN; an operator without its value too.
    VQStack three(&calc);
    three.pushReal(1, 15, -15, 0);
    three.pushReal(2, 15, -15, 1);
    three.pushReal(3, 15, -15, 2);
    three.pushOpcode(0x19, 3);
    EXPECT_TRUE(std::isnan(quick.evalQuickRPN(three)));
    VQStack alone(&calc);
    alone.pushOpcode(0x70, 0);
    EXPECT_TRUE(std::isnan(quick.evalQuickRPN(alone)));
}

TEST_F(QuickEvaluatorTest, FractionTokensSetTheAnswerShape)
{
    parser.ctx().f_nd = false;
    EXPECT_DOUBLE_EQ(quickValue("1／4"), 0.25);
    EXPECT_TRUE(parser.ctx().f_nd);
}

TEST_F(QuickEvaluatorTest, EvaluationsAllocateNothing)
{
    const VQStack form = rpn("3X³-2X²+5X-7+sin(X)/max(X,2)");
    QuickEvaluator::Program program;
    ASSERT_TRUE(quick.compile(form, program));
    quick.evalQuickRPN(form);  // the scratch program grows once
    const test::CountAllocations allocations;
    for (double x = 0; x < 10; ++x) {
        setX(x);
        quick.run(program);
        quick.evalQuickRPN(form);
    }
    EXPECT_EQ(allocations.count(), 0);
}
