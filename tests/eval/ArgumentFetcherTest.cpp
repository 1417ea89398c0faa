#include "eval/ArgumentFetcher.h"

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/VQStack.h"
#include "eval/Parser.h"

#include "cases/ProgramSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace orvenda;

namespace {

class ArgumentFetcherTest : public ::testing::Test {
protected:
    Calculator calc;
    Parser& parser = calc.parser();
    VQStack stack{&calc};

    void pushList(std::initializer_list<double> values, int location = 0)
    {
        auto list = std::make_shared<VQList>();
        for (double v : values)
            list->addReal(v, 15, -15);
        stack.pushList(list, location);
    }
    // A colour number: no significance recorded.
    void pushColorNumber(double n, int location = 0) { stack.pushReal(n, -1, 0, location); }
};

} // namespace

TEST_F(ArgumentFetcherTest, PopResolvesAndTakesTheRecordsError)
{
    calc.setVar(0, {{4.0, 0.0}, 15, -15});
    stack.pushVar(0x41, 3);
    parser.setError(27);
    const Operand a = parser.popValueFromStack(&stack);
    EXPECT_EQ(a.kind, KindReal);
    EXPECT_DOUBLE_EQ(a.re(), 4.0);
    // A clean record clears the earlier error.
    EXPECT_EQ(parser.error(), 0);
    EXPECT_EQ(parser.errorToken(), 3);

    Operand bad;
    bad.error = 16;
    stack.pushOperand(bad, 5);
    stack.peek()->error = 16;
    parser.popValueFromStack(&stack);
    EXPECT_EQ(parser.error(), 16);
    EXPECT_EQ(parser.errorToken(), 5);

    const Operand zero = parser.popValueFromStack(nullptr);
    EXPECT_EQ(zero.kind, KindOpcode);
    EXPECT_EQ(zero.re(), 0.0);
    EXPECT_EQ(parser.error(), 0);
    EXPECT_EQ(parser.errorToken(), 0);
}

TEST_F(ArgumentFetcherTest, ValidateArgsChecksBoundsAndStackDepth)
{
    stack.pushReal(1, 15, -15, 0);
    stack.pushReal(2, 15, -15, 1);
    EXPECT_EQ(parser.validateArgsMin(1, 2, 2, stack), 2);
    EXPECT_EQ(parser.error(), 0);

    // Fewer records than the count.
    EXPECT_EQ(parser.validateArgsMin(2, 5, 3, stack), 0);
    EXPECT_EQ(parser.error(), 39);

    parser.setError(0);
    EXPECT_EQ(parser.validateArgsMin(2, 2, 1, stack), 0);
    EXPECT_EQ(parser.error(), 39);

    parser.setError(0);
    EXPECT_EQ(parser.validateArgsMin(1, 1, 2, stack), 0);
    EXPECT_EQ(parser.error(), 40);

    // An error already set also refuses.
    parser.setError(12);
    EXPECT_EQ(parser.validateArgsMin(1, 2, 2, stack), 0);
    EXPECT_EQ(parser.error(), 12);
}

TEST_F(ArgumentFetcherTest, NextArgTypePeeks)
{
    EXPECT_EQ(Parser::nextArgType(stack), -1);
    pushList({1, 2});
    EXPECT_EQ(Parser::nextArgType(stack), KindRealList);
    EXPECT_EQ(stack.count(), 1);
}

TEST_F(ArgumentFetcherTest, RealsAndWholeNumbers)
{
    double x = 0;
    EXPECT_FALSE(parser.getReal(x, stack));
    EXPECT_EQ(parser.error(), 27);

    stack.pushComplex({1.0, 2.0}, 4);
    EXPECT_FALSE(parser.getReal(x, stack));
    EXPECT_EQ(parser.error(), 27);

    stack.pushReal(2.5, 15, -15, 1);
    EXPECT_TRUE(parser.getReal(x, stack));
    EXPECT_EQ(x, 2.5);

    int n = 0;
    stack.pushReal(2.5, 15, -15, 1);
    EXPECT_FALSE(parser.getInt(n, 1, 10, stack));
    EXPECT_EQ(parser.error(), 27);

    parser.setError(0);
    stack.pushReal(11, 15, -15, 1);
    EXPECT_FALSE(parser.getInt(n, 1, 10, stack));
    EXPECT_EQ(n, 11);
    EXPECT_EQ(parser.error(), 27);

    parser.setError(0);
    stack.pushReal(7, 15, -15, 1);
    EXPECT_TRUE(parser.getInt(n, 1, 10, stack));
    EXPECT_EQ(n, 7);

    // A value too large for an int is no whole number within any bounds; what is written
    // is held in int reach.
    parser.setError(0);
    stack.pushReal(1e300, 15, -15, 1);
    EXPECT_FALSE(parser.getInt(n, 1, 10, stack));
    EXPECT_EQ(n, INT_MAX);
    EXPECT_EQ(parser.error(), 27);
    parser.setError(0);
    stack.pushReal(-1e300, 15, -15, 1);
    EXPECT_FALSE(parser.getInt(n, INT_MIN, INT_MAX, stack));
    EXPECT_EQ(n, INT_MIN);
}

// Every number a user gives becomes an int through these: none beyond int reach is ever
// converted.
TEST_F(ArgumentFetcherTest, NumbersBecomeIntsOnlyWithinIntReach)
{
    EXPECT_EQ(ArgumentFetcher::wholeIn(7, 1, 10), 7);
    EXPECT_EQ(ArgumentFetcher::wholeIn(-2147483648.0, INT_MIN, 0), INT_MIN);
    EXPECT_EQ(ArgumentFetcher::wholeIn(2147483647.0, 0, INT_MAX), INT_MAX);
    for (double x : {7.5, 11.0, 0.0, 2147483648.0, -1e99, 1e99, double(NAN), double(INFINITY), -double(INFINITY)})
        EXPECT_FALSE(ArgumentFetcher::wholeIn(x, 1, 10)) << x;
    EXPECT_FALSE(ArgumentFetcher::wholeIn(2147483648.0, 0, INT_MAX));

    EXPECT_EQ(ArgumentFetcher::clampedInt(-7.9), -7);
    EXPECT_EQ(ArgumentFetcher::clampedInt(1e99), INT_MAX);
    EXPECT_EQ(ArgumentFetcher::clampedInt(-1e12), INT_MIN);
    EXPECT_EQ(ArgumentFetcher::clampedInt(INFINITY), INT_MAX);
    EXPECT_EQ(ArgumentFetcher::clampedInt(NAN), 0);
    EXPECT_EQ(ArgumentFetcher::clampedInt(NAN, 5, 10), 5);
    EXPECT_EQ(ArgumentFetcher::clampedInt(1e10, -1000, 1000), 1000);
}

TEST_F(ArgumentFetcherTest, RealAtIndexDoesNotPop)
{
    double x = 0;
    EXPECT_FALSE(parser.getReal(x, 0, nullptr));
    EXPECT_EQ(parser.error(), 27);
    EXPECT_EQ(parser.errorToken(), 0);

    parser.setError(0);
    stack.pushReal(3, 15, -15, 8);
    pushList({1}, 9);
    EXPECT_TRUE(parser.getReal(x, 0, &stack));
    EXPECT_EQ(x, 3.0);
    EXPECT_EQ(parser.errorToken(), 8);
    EXPECT_FALSE(parser.getReal(x, 1, &stack));
    EXPECT_EQ(parser.error(), 27);
    EXPECT_EQ(parser.errorToken(), 9);
    EXPECT_EQ(stack.count(), 2);
}

TEST_F(ArgumentFetcherTest, ColourListsAndNumbers)
{
    pushList({0.5, 1, 0});
    auto list = parser.getColorFromStack(stack);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->realAtIndex(0), 0.5);

    // Out of range: no colour, no error, from the lenient reader; error 27 from the other.
    pushList({0.5, 1.2, 0});
    EXPECT_FALSE(parser.getColorFromStack(stack));
    EXPECT_EQ(parser.error(), 0);
    pushList({0.5, 1.2, 0});
    EXPECT_FALSE(parser.getVQColorFromStack(stack));
    EXPECT_EQ(parser.error(), 27);

    parser.setError(0);
    stack.pushReal(49, 15, -15, 0);
    EXPECT_FALSE(parser.getColorFromStack(stack));
    EXPECT_EQ(parser.error(), 17);

    parser.setError(0);
    stack.pushReal(2.5, 15, -15, 0);
    EXPECT_FALSE(parser.getColorFromStack(stack));
    EXPECT_EQ(parser.error(), 17);

    parser.setError(0);
    stack.pushReal(5, 15, -15, 0);
    list = parser.getColorFromStack(stack);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->realAtIndex(0), 0x66 / 255.0); // standard colour 5, 66CCFF

    pushColorNumber(11);
    list = parser.getColorFromStack(stack);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->realAtIndex(0), 1); // TI colour 11, RED
    EXPECT_EQ(list->realAtIndex(2), 0);

    // Another kind is simply no colour.
    stack.pushComplex({1, 1}, 0);
    EXPECT_FALSE(parser.getColorFromStack(stack));
    EXPECT_EQ(parser.error(), 0);
}

TEST_F(ArgumentFetcherTest, ColourObjectsTakeNumbersUpTo24)
{
    stack.pushReal(24, 15, -15, 0);
    auto color = parser.getVQColorFromStack(stack);
    ASSERT_TRUE(color);
    // Standard colour 24, FF8000.
    EXPECT_DOUBLE_EQ(color->r(), 1);
    EXPECT_DOUBLE_EQ(color->g(), 0x80 / 255.0);
    EXPECT_DOUBLE_EQ(color->a(), 1.0);

    stack.pushReal(25, 15, -15, 0);
    EXPECT_FALSE(parser.getVQColorFromStack(stack));
    EXPECT_EQ(parser.error(), 17);

    parser.setError(0);
    pushColorNumber(20);
    ASSERT_TRUE(parser.getVQColorFromStack(stack));

    stack.pushComplex({1, 1}, 0);
    EXPECT_FALSE(parser.getVQColorFromStack(stack));
    EXPECT_EQ(parser.error(), 27);
}

TEST_F(ArgumentFetcherTest, ColourComponentsWithoutPopping)
{
    double r = -1, g = -1, b = -1;
    Operand op;
    op.kind = KindReal;
    op.value = {48, 0};
    EXPECT_TRUE(parser.getColorR(r, g, b, op));
    EXPECT_EQ(r, 0x80 / 255.0); // standard colour 48, 800000

    op.value = {49, 0};
    EXPECT_FALSE(parser.getColorR(r, g, b, op));
    // Numbers beyond int reach are no colour.
    for (double far : {1e99, -1e12, 2147483649.0}) {
        op.value = {far, 0};
        EXPECT_FALSE(parser.getColorR(r, g, b, op)) << far;
    }
    op.sigFig = -1;
    op.value = {12, 0};
    EXPECT_TRUE(parser.getColorR(r, g, b, op));
    EXPECT_EQ(b, 0); // TI colour 12, BLACK
    EXPECT_EQ(parser.error(), 0);
}

TEST_F(ArgumentFetcherTest, MarksComeFromMarkTokens)
{
    stack.pushOpcode(0x81, 0);
    int mark = -1;
    EXPECT_TRUE(Parser::getMark(mark, *stack.peek()));
    EXPECT_EQ(mark, 2);

    Operand real;
    real.kind = KindReal;
    real.value = {0x7F, 0};
    mark = -1;
    EXPECT_FALSE(Parser::getMark(mark, real));
    EXPECT_EQ(mark, -1);
}

TEST_F(ArgumentFetcherTest, ProgramsComeFromTheProgramStore)
{
    EXPECT_FALSE(parser.getProgram("AREA"));
    EXPECT_EQ(parser.error(), 41);

    parser.setError(0);
    auto programs = std::make_shared<orvenda::testing::MemoryProgramManager>();
    programs->store("AREA", {0x41, 0x82, 0x42});
    calc.prgmManager = programs;
    const auto ops = parser.getProgram("AREA");
    ASSERT_TRUE(ops);
    EXPECT_EQ(ops->size(), 3u);
    EXPECT_FALSE(parser.getProgram("NONE"));
    EXPECT_EQ(parser.error(), 41);
}
