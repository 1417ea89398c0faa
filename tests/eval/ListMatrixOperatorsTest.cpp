#include "eval/ListMatrixOperators.h"

#include "core/Calculator.h"
#include "eval/Parser.h"

#include "EvalTestSupport.h"

#include <gtest/gtest.h>

// Results an entry line shows are in tests/cases (operators, lists, matrices); these are
// error positions and records handed back as they are.

using namespace orvenda;
using namespace orvenda::testing;

namespace {

using ListMatrixOps = OperatorTest;

} // namespace

TEST_F(ListMatrixOps, ErrorsPointAtTheOperandAtFault)
{
    struct Case {
        Operand r;
        int error, at;
    };
    const Case cases[] = {
        {binary(0x83, list({1, 0, 2}, 7), real(1, 3)), 14, 7},                 // 1/{1,0,2}
        {unary(0xBC, list({-4, 9}, 5)), 15, 5},                                // √({-4,9}) in Real mode
        {unary(0x21, list({}, 3)), 24, 3},                                     // mean({})
        {binary(0x70, list({1, 2, 3}, 4), list({1, 2}, 2)), 13, 2},
        {binary(0x1F, list({1, {0, 1}}, 8), list({1, 2}, 3)), 12, 8},          // complex frequencies
        {binary(0x1F, list({1, 1}, 8), list({1, {0, 2}}, 3)), 12, 3},          // complex data
        {unary(0x0C, matrix(2, 2, {1, 2, 2, 4}, 3)), 28, 3},                   // singular inverse
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.r.error, c.error);
        EXPECT_EQ(c.r.location, c.at);
    }
    // Work a matrix has no form for is a data-type error at the read position.
    parser.ctx().nextToken = 9;
    EXPECT_EQ(parser.unaryOp(0xBC, matrix(1, 1, {4}, 2)).location, 9);
    parser.ctx().error = 0;
    parser.ctx().nextToken = 4;
    EXPECT_EQ(parser.binaryOp(0x83, matrix(2, 2, {5, 6, 7, 8}), matrix(2, 2, {1, 2, 3, 4})).location, 4);
}

TEST_F(ListMatrixOps, DisplayConversionsHandBackTheOperandItself)
{
    const Operand l = list({0.5});
    Operand r = unary(0x03, l);
    EXPECT_EQ(r.list, l.list);
    EXPECT_EQ(r.displayMod, 1);
    // An opcode carrying a template half is not the conversion.
    EXPECT_EQ(unary(0x50003, l).error, 12);

    const Operand a = matrix(2, 3, {1, 2, 3, 4, 5, 6});
    r = unary(0x03, a);
    EXPECT_EQ(r.matrix, a.matrix);
    EXPECT_EQ(r.displayMod, 1);
    parser.ctx().f_und = true;
    EXPECT_EQ(unary(0xEF30, a).displayMod, 1);
    parser.ctx().f_und = false;
    EXPECT_EQ(unary(0xEF30, a).displayMod, 2);
}

TEST_F(ListMatrixOps, SortsAndFillChangeTheOperandsList)
{
    const Operand key = list({2, 3, 1}), carried = list({20, 30, 10});
    EXPECT_EQ(binary(0xE3, carried, key).kind, KindDone);  // SortA(key, carried)
    EXPECT_EQ(key.list->realList(), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(carried.list->realList(), (std::vector<double>{10, 20, 30}));
    EXPECT_EQ(binary(0xE3, list({1, 2}), list({1, 2, 3})).error, 13);

    const Operand l = list({1, {2, 1}, 3});
    EXPECT_EQ(binary(0xE2, l, real(2, 0, 1, 0)).kind, KindDone);  // Fill(2, l)
    EXPECT_EQ(l.list->type(), 0);
    EXPECT_EQ(l.list->v()[1].sigFig(), 1);
}
