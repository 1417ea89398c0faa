#include "pretty/PrettyPrint.h"
#include "pretty/TemplateIds.h"

#include "PrettyTestSupport.h"

#include "core/Calculator.h"
#include "core/Operand.h"
#include "eval/Parser.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvenda {
namespace {

using test::ops;
using test::Ops;
using test::T;

class PrettyPrintTest : public ::testing::Test {
protected:
    Operand evaluate(Ops line)
    {
        calc.parser().setError(0);
        return calc.parser().eval(line, false);
    }

    Calculator calc;
};

// Every template, filled with numbers, is an ordinary token line with the value of its
// one-line equivalent.
TEST_F(PrettyPrintTest, TemplatesEvaluateLikeTheirOneLineForms)
{
    struct Case {
        const char* name;
        Ops line;
        double value;
    };
    const Case cases[] = {
        {"n/d", {T(0x10), 0x31, T(0x11), T(0xEF38), T(0x10), 0x32, T(0x11)}, 0.5},
        {"power", {0x32, T(0xF0), T(0x10), 0x33, T(0x11)}, 8},
        {"mixed number", {0x32, T(0xEF39), T(0x10), 0x31, T(0x11), T(0xEF38), T(0x10), 0x34, T(0x11)}, 2.25},
        {"logBASE", {T(0xEF34), 0x38, T(0x2B), 0x32, T(0x11)}, 3},
        {"square root", {T(0xBC), 0x31, 0x36, T(0x11)}, 4},
        {"cube root", {T(0xBD), 0x32, 0x37, T(0x11)}, 3},
        {"x-th root", {T(0x10), 0x33, T(0x11), T(0xF1), T(0x10), 0x38, T(0x11)}, 2},
        {"abs", {T(0xB2), 0xB0, 0x33, T(0x11)}, 3},
        {"e^", {T(0xBF), 0x30, T(0x11)}, 1},
        {"10^", {T(0xC1), 0x32, T(0x11)}, 100},
        {"det of a matrix", {0xB3, T(0x06), T(0x06), 0x31, T(0x2B), 0x32, T(0x07), T(0x06), 0x33, T(0x2B), 0x34,
                             T(0x07), T(0x07), 0x11}, -2},
        // What follows a template applies to all of it, as drawn.
        {"squared n/d", {T(0x10), 0x32, T(0x11), T(0xEF38), T(0x10), 0x33, T(0x11), 0x0D}, 4.0 / 9},
        {"squared power", {0x32, T(0xF0), T(0x10), 0x33, T(0x11), 0x0D}, 64},
        {"squared mixed number", {0x32, T(0xEF39), T(0x10), 0x31, T(0x11), T(0xEF38), T(0x10), 0x32, T(0x11), 0x0D}, 6.25},
        {"sum", {T(0xEF33), 0x58, T(0x2B), 0x58, T(0x2B), 0x31, T(0x2B), 0x34, T(0x11)}, 10},
        {"fnInt", {T(0x24), 0x58, T(0x2B), 0x58, T(0x2B), 0x30, T(0x2B), 0x32, T(0x11)}, 2},
    };
    for (const Case& c : cases) {
        const Operand r = evaluate(c.line);
        EXPECT_EQ(r.error, 0) << c.name;
        EXPECT_NEAR(r.re(), c.value, 1e-10) << c.name;
    }
    // The derivative's template: nDeriv(X²,X,2) with its h of 0.001.
    const Operand d = evaluate({T(0x25), 0x58, 0x0D, T(0x2B), 0x58, T(0x2B), 0x32, T(0x11)});
    EXPECT_EQ(d.error, 0);
    EXPECT_NEAR(d.re(), 4, 1e-9);
}

TEST_F(PrettyPrintTest, BeautifyWritesEachPlainFormAsItsTemplate)
{
    struct Case {
        const char* text;
        Ops pretty;
    };
    const Case cases[] = {
        {"1／2", {T(0x10), 0x31, T(0x11), T(0xEF38), T(0x10), 0x32, T(0x11)}},
        {"2^3", {0x32, T(0xF0), T(0x10), 0x33, T(0x11)}},
        // A bracketed exponent lends its brackets; a bare one gets new ones.
        {"2^(3+4)", {0x32, T(0xF0), T(0x10), 0x33, 0x70, 0x34, T(0x11)}},
        {"2^-3X", {0x32, T(0xF0), T(0x10), 0xB0, 0x33, T(0x11), 0x58}},
        {"2␣1／4", {0x32, T(0xEF39), T(0x10), 0x31, T(0x11), T(0xEF38), T(0x10), 0x34, T(0x11)}},
        {"3ˣ√8", {T(0x10), 0x33, T(0x11), T(0xF1), T(0x10), 0x38, T(0x11)}},
        {"√(2", {T(0xBC), 0x32, T(0x11)}},
        {"abs(-3)", {T(0xB2), 0xB0, 0x33, T(0x11)}},
        {"e^(1)", {T(0xBF), 0x31, T(0x11)}},
        {"logBASE(8,2)", {T(0xEF34), 0x38, T(0x2B), 0x32, T(0x11)}},
        {"fnInt(X,X,0,2)", {T(0x24), 0x58, T(0x2B), 0x58, T(0x2B), 0x30, T(0x2B), 0x32, T(0x11)}},
        {"nDeriv(X²,X,2)", {T(0x25), 0x58, 0x0D, T(0x2B), 0x58, T(0x2B), 0x32, T(0x11)}},
        {"[[1,2][3,4]]", {T(0x06), T(0x06), 0x31, T(0x2B), 0x32, T(0x07), T(0x06), 0x33, T(0x2B), 0x34, T(0x07), T(0x07)}},
        // Templates are numbered in reading order, outer before inner.
        {"1／2+√(3／4)", {T(0x10), 0x31, T(0x11), T(0xEF38), T(0x10), 0x32, T(0x11), 0x70, T(0xBC, 2), T(0x10, 3), 0x33,
                         T(0x11, 3), T(0xEF38, 3), T(0x10, 3), 0x34, T(0x11, 3), T(0x11, 2)}},
        // Left alone: other argument counts, ragged matrices, a ␣ whose numerator is no single
        // operand, and a ^ with nothing after it.
        {"logBASE(8)", ops("logBASE(8)")},
        {"[[1,2][3]]", ops("[[1,2][3]]")},
        {"2␣1²／4", ops("2␣1²／4")},
        {"2␣1／4²", {0x32, T(0xEF39), T(0x10), 0x31, T(0x11), T(0xEF38), T(0x10), 0x34, 0x0D, T(0x11)}},
        {"2^", ops("2^")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PrettyPrint::beautifyOps(ops(c.text)), c.pretty) << c.text;
}

TEST_F(PrettyPrintTest, BeautifyKeepsIdsAndTakesTheSmallestUnusedOnes)
{
    // ID 1 is in use; the two new fractions take 2 and 3.
    Ops line = {T(0xBC, 1), 0x32, T(0x11, 1), 0x70};
    const Ops fractions = ops("1／2+3／4");
    line.insert(line.end(), fractions.begin(), fractions.end());
    const Ops expected = {T(0xBC, 1), 0x32, T(0x11, 1), 0x70,
                          T(0x10, 2), 0x31, T(0x11, 2), T(0xEF38, 2), T(0x10, 2), 0x32, T(0x11, 2), 0x70,
                          T(0x10, 3), 0x33, T(0x11, 3), T(0xEF38, 3), T(0x10, 3), 0x34, T(0x11, 3)};
    EXPECT_EQ(PrettyPrint::beautifyOps(line), expected);
    // A unit conversion keeps its high bits and they are no template ID.
    const Ops conversion = {0x31, (5u << 16) | 0xBB5D};
    EXPECT_EQ(PrettyPrint::beautifyOps(conversion), conversion);
    EXPECT_EQ(TemplateIds::next({T(0x10, 1), T(0x10, 3)}), 2u);
    EXPECT_EQ(TemplateIds::next({0x31}), 1u);
}

// The plain line and its pretty form give the same value, however the parser's precedence
// groups the operands around ^, ／, ˣ√ and ␣.
TEST_F(PrettyPrintTest, BeautifyKeepsTheValue)
{
    evaluate(ops("[[1,2][3,4]]->[A]"));
    evaluate(ops("{2,3,4}->L₁"));
    // Beside the random expressions of PrettyTreeTest: elements, matrices, degrees and
    // the tightest operators on each side of ／.
    const char* lines[] = {
        "L₁(2)／4", "2^L₁(3)", "det([A])／2", "3°／4", "2^-3／4", "3!／4", "2(3)／4", "2／3²", "(1／2)^2",
    };
    for (const char* text : lines) {
        const Ops plain = ops(text);
        const Operand before = evaluate(plain);
        ASSERT_EQ(before.error, 0) << text;
        const Ops pretty = PrettyPrint::beautifyOps(plain);
        const Operand after = evaluate(pretty);
        EXPECT_EQ(after.error, 0) << text;
        EXPECT_DOUBLE_EQ(after.re(), before.re()) << text;
        EXPECT_EQ(PrettyPrint::beautifyOps(pretty), pretty) << text;
    }
}

TEST_F(PrettyPrintTest, CloseParensSuppliesEachStatementsClosers)
{
    struct Case {
        const char* text;
        const char* closed;
        double value;
    };
    const Case cases[] = {
        {"√(2+(3", "√(2+(3))", std::sqrt(5.0)},
        {"(2:(3", "(2):(3)", 3},
        {"(2+3->A", "(2+3)->A", 5},
        {"[[1,2][3,4", "[[1,2][3,4]]", 0},
        {"\"(\"", "\"(\"", 0},
    };
    for (const Case& c : cases) {
        Ops line = ops(c.text);
        PrettyPrint::closeParens(line);
        EXPECT_EQ(line, ops(c.closed)) << c.text;
    }
    Ops root = ops("√(2+(3");
    PrettyPrint::closeParens(root);
    EXPECT_NEAR(evaluate(root).re(), std::sqrt(5.0), 1e-12);
    // Inside a template part the plain bracket closes before the part does.
    Ops part = {T(0xBC), 0x32, 0x70, 0x10, 0x33};
    PrettyPrint::closeParens(part);
    EXPECT_EQ(part, (Ops{T(0xBC), 0x32, 0x70, 0x10, 0x33, 0x11, T(0x11)}));
}

TEST_F(PrettyPrintTest, CleanOpsRemovesOnlyTheTwoDimensionalTokens)
{
    const Ops line = {0x31, 0x5C47, T(0x10), 0x5C48, 0xEF1E, 0x32, T(0x11), 0x5C49};
    EXPECT_EQ(PrettyPrint::cleanOps(line), (Ops{0x31, T(0x10), 0x32, T(0x11), 0x5C49}));
}

TEST_F(PrettyPrintTest, OpTypeDecidesWhereAMinusNegates)
{
    // The entry line negates after types 1, 3, 4, 5, 6 and 10.
    auto negates = [](std::uint32_t before) {
        const int type = PrettyPrint::opType(before);
        return type == 1 || type == 3 || type == 4 || type == 5 || type == 6 || type == 10;
    };
    for (std::uint32_t op : {0x70u, 0xC2u, 0x10u, 0x2Bu, 0x3Eu, T(0x10), T(0xBC), T(0x2B), 0xDEu, 0x04u})
        EXPECT_TRUE(negates(op)) << std::hex << op;
    for (std::uint32_t op : {0x33u, 0x11u, T(0x11), 0x58u, 0x0Du, 0x2Au})
        EXPECT_FALSE(negates(op)) << std::hex << op;

    struct Case {
        std::uint32_t op;
        int type;
    };
    const Case cases[] = {
        {0x33, 0}, {0xAC, 0}, {0x70, 1}, {0x3B, 1}, {0xEF38, 1}, {0x0D, 2}, {(5u << 16) | 0xBB5D, 2},
        {0xC2, 3}, {0x08, 4}, {0x2B, 5}, {0x3F, 6}, {0xCE, 6}, {0x09, 7}, {T(0x07), 7}, {0x2A, 8},
        {0x29, 9}, {T(0xEF38), 10}, {T(0xF0), 10}, {T(0x06), 10},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PrettyPrint::opType(c.op), c.type) << std::hex << c.op;
}

} // namespace
} // namespace orvenda
