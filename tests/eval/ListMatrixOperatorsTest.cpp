#include "eval/ListMatrixOperators.h"

#include <cmath>
#include <complex>
#include <initializer_list>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "eval/Parser.h"

using namespace orvenda;
using cplx = std::complex<double>;

namespace {

class ListMatrixOps : public ::testing::Test {
protected:
    Calculator calc;
    Parser parser{calc};

    EvalContext& ctx() { return parser.ctx(); }

    static Operand real(double x, int location = 0, int sf = 15, int sd = -15)
    {
        Operand r;
        r.kind = KindReal;
        r.value = {x, 0.0};
        r.location = location;
        r.sigFig = sf;
        r.sigDec = sd;
        return r;
    }

    static Operand list(std::initializer_list<cplx> xs, int location = 0)
    {
        auto l = std::make_shared<VQList>();
        for (cplx x : xs)
            l->addNumber(VQNumber(x, 15, -15));
        Operand r;
        r.kind = l->type() ? KindComplexList : KindRealList;
        r.list = l;
        r.location = location;
        return r;
    }

    static Operand matrix(std::size_t rows, std::size_t cols, std::initializer_list<double> cells,
                          int location = 0)
    {
        auto m = std::make_shared<VQMatrix>(*VQMatrix::matrixWithRow(rows, cols));
        std::size_t k = 0;
        for (double v : cells) {
            m->set(v, k / cols, k % cols);
            ++k;
        }
        Operand r;
        r.kind = KindMatrix;
        r.matrix = m;
        r.location = location;
        return r;
    }

    static std::vector<cplx> values(const Operand& r)
    {
        std::vector<cplx> out;
        if (r.list)
            for (const VQNumber& n : r.list->v())
                out.push_back(n.c());
        return out;
    }

    static std::vector<double> cells(const VQMatrix& m)
    {
        return std::vector<double>(m.m(), m.m() + m.dimRow() * m.dimCol());
    }

    Operand unary(unsigned op, const Operand& x) { return parser.unaryOp(op, x); }
    Operand binary(int op, const Operand& x, const Operand& y) { return parser.binaryOp(op, x, y); }
};

using V = std::vector<cplx>;

} // namespace

// ---- A number with a list ----

TEST_F(ListMatrixOps, ListAndNumberKeepLeftMinusRight)
{
    Operand l = list({1, 2, 3}, 4);
    Operand r = binary(0x71, real(1, 6), l); // {1,2,3} − 1
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.kind, KindRealList);
    EXPECT_EQ(values(r), (V{0, 1, 2}));
    // A new list: the operand's list is left as it was.
    EXPECT_NE(r.list, l.list);
    EXPECT_EQ(values(l), (V{1, 2, 3}));

    r = binary(0x71, list({1, 2, 3}, 2), real(10, 0)); // 10 − {1,2,3}
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(values(r), (V{9, 8, 7}));
}

TEST_F(ListMatrixOps, ElementPairsFollowTheScalarRules)
{
    auto l = std::make_shared<VQList>();
    l->addReal(1.5, 2, -1);
    l->addReal(2.25, 3, -2);
    Operand y;
    y.kind = KindRealList;
    y.list = l;
    Operand r = binary(0x70, real(1.1, 1, 2, -1), y); // {1.5, 2.25} + 1.1: coarser decimal
    ASSERT_EQ(r.error, 0);
    ASSERT_EQ(r.list->count(), 2);
    EXPECT_EQ(r.list->v()[0].sigDec(), -1);
    EXPECT_EQ(r.list->v()[0].sigFig(), 2);
    EXPECT_EQ(r.list->v()[1].sigDec(), -1);
    EXPECT_EQ(r.list->v()[1].sigFig(), 2);
}

TEST_F(ListMatrixOps, ElementErrorStopsAtTheListLocation)
{
    Operand r = binary(0x83, list({1, 0, 2}, 7), real(1, 3)); // 1 / {1,0,2}
    EXPECT_EQ(r.error, 14);
    EXPECT_EQ(r.location, 7);
    EXPECT_EQ(r.kind, KindError);
    EXPECT_FALSE(r.list);
}

TEST_F(ListMatrixOps, StoDimResizesTheListItself)
{
    Operand l = list({1, 2}, 2);
    Operand r = binary(0x101C, l, real(5, 0));
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.kind, KindReal);
    EXPECT_EQ(r.re(), 5);
    EXPECT_EQ(l.list->count(), 5);

    EXPECT_EQ(binary(0x101C, l, real(1000)).error, 24);
    ctx().error = 0;
    EXPECT_EQ(binary(0x101C, l, real(-1)).error, 24);
    ctx().error = 0;
    EXPECT_EQ(binary(0x101C, l, real(2.5)).error, 27);
    ctx().error = 0;
    EXPECT_EQ(binary(0x101C, l, real(NAN)).error, 27);
    EXPECT_EQ(l.list->count(), 5);
}

TEST_F(ListMatrixOps, FillSetsEveryElementAndAnswersDone)
{
    Operand l = list({1, cplx(2, 1), 3}, 2);
    Operand r = binary(0xE2, l, real(2, 0, 1, 0));
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.kind, KindDone);
    EXPECT_EQ(values(l), (V{2, 2, 2}));
    EXPECT_EQ(l.list->type(), 0);
    EXPECT_EQ(l.list->v()[1].sigFig(), 1);
}

// ---- One list ----

TEST_F(ListMatrixOps, ElementwiseFunctionAndRealMode)
{
    Operand r = unary(0xBC, list({4, 9}));
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(values(r), (V{2, 3}));

    r = unary(0xBC, list({-4, 9}, 5));
    EXPECT_EQ(r.error, 15);
    EXPECT_EQ(r.location, 5);

    ctx().error = 0;
    calc.setRealCplxMode(1);
    r = unary(0xBC, list({-4, 9}));
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.kind, KindComplexList);
    EXPECT_EQ(values(r), (V{cplx(0, 2), 3}));
}

TEST_F(ListMatrixOps, ListStatistics)
{
    Operand r = unary(0x19, list({1, 5, 3}));
    EXPECT_EQ(r.kind, KindReal);
    EXPECT_EQ(r.re(), 5);
    EXPECT_EQ(unary(0x1A, list({1, 5, 3})).re(), 1);

    r = unary(0x21, list({}, 3));
    EXPECT_EQ(r.error, 24);
    EXPECT_EQ(r.kind, KindError);
    EXPECT_EQ(r.location, 3);
    ctx().error = 0;
    EXPECT_EQ(unary(0x19, list({})).error, 24);
    ctx().error = 0;
    EXPECT_EQ(unary(0x1F, list({1, cplx(0, 1)})).error, 12);
    ctx().error = 0;
    EXPECT_EQ(unary(0xBB0D, list({cplx(1, 1)})).error, 12);
    ctx().error = 0;

    EXPECT_EQ(unary(0x21, list({1, 2, 3, 6})).re(), 3);
    EXPECT_EQ(unary(0x1F, list({1, 2, 3, 6})).re(), 2.5);
    EXPECT_DOUBLE_EQ(unary(0xBB0E, list({1, 2, 3, 6})).re(), 14.0 / 3);
    EXPECT_DOUBLE_EQ(unary(0xBB0D, list({1, 3})).re(), std::sqrt(2.0));
    r = unary(0xB5, list({1, 2, 3}));
    EXPECT_EQ(r.kind, KindReal);
    EXPECT_EQ(r.re(), 3);
}

TEST_F(ListMatrixOps, ListFunctions)
{
    EXPECT_EQ(values(unary(0xBB29, list({1, 2, 3}))), (V{1, 3, 6}));
    EXPECT_EQ(values(unary(0xBB2C, list({1, 4, 9}))), (V{3, 5}));
    EXPECT_EQ(unary(0xBB2C, list({1})).error, 24);
    ctx().error = 0;

    // A display conversion hands back the list itself with its display mode.
    Operand l = list({0.5});
    Operand r = unary(0x03, l);
    EXPECT_EQ(r.list, l.list);
    EXPECT_EQ(r.displayMod, 1);
    // A template-carrying opcode is not the conversion.
    EXPECT_EQ(unary(0x50003, l).error, 12);
    ctx().error = 0;

    auto pairs = std::make_shared<VQList>();
    pairs->addReal(1.25, 3, -2);
    Operand p;
    p.kind = KindRealList;
    p.list = pairs;
    r = unary(0x5C62, p);
    EXPECT_EQ(values(r), (V{3}));
}

TEST_F(ListMatrixOps, SortInPlace)
{
    Operand l = list({3, 1, 2});
    Operand r = unary(0xE3, l);
    EXPECT_EQ(r.kind, KindDone);
    EXPECT_EQ(values(l), (V{1, 2, 3}));
    unary(0xE4, l);
    EXPECT_EQ(values(l), (V{3, 2, 1}));

    // SortA(L1, L2): L1 the key, L2 carried along.
    Operand key = list({2, 3, 1}), carried = list({20, 30, 10});
    r = binary(0xE3, carried, key);
    EXPECT_EQ(r.kind, KindDone);
    EXPECT_EQ(values(key), (V{1, 2, 3}));
    EXPECT_EQ(values(carried), (V{10, 20, 30}));

    EXPECT_EQ(binary(0xE3, list({1, 2}), list({1, 2, 3})).error, 13);
}

// ---- Two lists ----

TEST_F(ListMatrixOps, TwoListsElementwise)
{
    Operand r = binary(0x71, list({1, 2}), list({10, 20})); // {10,20} − {1,2}
    EXPECT_EQ(values(r), (V{9, 18}));
    r = binary(0x70, list({1, 2, 3}, 4), list({1, 2}, 2));
    EXPECT_EQ(r.error, 13);
    EXPECT_EQ(r.location, 2);
}

TEST_F(ListMatrixOps, TwoListFunctions)
{
    Operand r = binary(0x14, list({3, cplx(0, 1)}), list({1, 2})); // augment({1,2},{3,i})
    EXPECT_EQ(values(r), (V{1, 2, 3, cplx(0, 1)}));
    EXPECT_EQ(r.list->type(), 1);
    EXPECT_EQ(r.list->v()[0].sigFig(), 15);

    EXPECT_EQ(values(binary(0x19, list({4, 1}), list({1, 5}))), (V{4, 5}));
    EXPECT_EQ(values(binary(0x1A, list({4, 1}), list({1, 5}))), (V{1, 1}));
    EXPECT_EQ(binary(0x19, list({4}), list({1, 5})).error, 13);
}

TEST_F(ListMatrixOps, FrequencyStatistics)
{
    Operand r = binary(0x21, list({1, 0, 1}), list({1, 2, 3})); // mean({1,2,3},{1,0,1})
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.re(), 2);

    EXPECT_EQ(binary(0xBB0D, list({1, 0}), list({1, 2})).error, 17);
    ctx().error = 0;
    EXPECT_EQ(binary(0xBB0E, list({}), list({})).error, 17);
    ctx().error = 0;
    EXPECT_EQ(binary(0xBB0D, list({1, 1.5}), list({1, 2})).error, 17);
    ctx().error = 0;
    EXPECT_EQ(binary(0xBB0D, list({1, -1, 2}), list({1, 2, 3})).error, 17);
    ctx().error = 0;
    EXPECT_DOUBLE_EQ(binary(0xBB0E, list({2, 1}), list({1, 4})).re(), 3);

    EXPECT_EQ(binary(0x21, list({0, 0}), list({1, 2})).error, 14);
    ctx().error = 0;
    EXPECT_EQ(binary(0x21, list({1}), list({1, 2})).error, 13);
    ctx().error = 0;

    // median(: a complex frequency list is reported at the frequencies, complex data at the
    // data.
    r = binary(0x1F, list({1, cplx(0, 1)}, 8), list({1, 2}, 3));
    EXPECT_EQ(r.error, 12);
    EXPECT_EQ(r.location, 8);
    ctx().error = 0;
    r = binary(0x1F, list({1, 1}, 8), list({1, cplx(0, 2)}, 3));
    EXPECT_EQ(r.error, 12);
    EXPECT_EQ(r.location, 3);
    ctx().error = 0;
    EXPECT_EQ(binary(0x1F, list({1, 3, 1}), list({1, 2, 3})).re(), 2);
}

// ---- Matrices ----

TEST_F(ListMatrixOps, MatrixFunctions)
{
    Operand a = matrix(2, 3, {1, 2, 3, 4, 5, 6});
    Operand r = unary(0xB5, a);
    EXPECT_EQ(r.kind, KindRealList);
    EXPECT_EQ(values(r), (V{2, 3}));

    r = unary(0x0E, a);
    ASSERT_EQ(r.kind, KindMatrix);
    EXPECT_EQ(r.matrix->dimRow(), 3u);
    EXPECT_NE(r.matrix, a.matrix);

    r = unary(0xB3, matrix(2, 2, {1, 2, 3, 4}));
    EXPECT_EQ(r.kind, KindReal);
    EXPECT_NEAR(r.re(), -2, 1e-12);
    EXPECT_EQ(r.im(), 0);

    r = unary(0xB0, a);
    EXPECT_EQ(cells(*r.matrix), (std::vector<double>{-1, -2, -3, -4, -5, -6}));
    EXPECT_EQ(cells(*a.matrix), (std::vector<double>{1, 2, 3, 4, 5, 6}));

    r = unary(0x03, a);
    EXPECT_EQ(r.matrix, a.matrix);
    EXPECT_EQ(r.displayMod, 1);
    ctx().f_und = true;
    EXPECT_EQ(unary(0xEF30, a).displayMod, 1);
    ctx().f_und = false;
    EXPECT_EQ(unary(0xEF30, a).displayMod, 2);
}

TEST_F(ListMatrixOps, MatrixFunctionErrors)
{
    Operand r = unary(0x0C, matrix(2, 2, {1, 2, 2, 4}, 3));
    EXPECT_EQ(r.error, 28);
    EXPECT_EQ(r.location, 3);
    ctx().error = 0;
    // A non-square inverse is an invalid dimension here, not the non-square error.
    EXPECT_EQ(unary(0x0C, matrix(2, 3, {1, 2, 3, 4, 5, 6})).error, 24);
    ctx().error = 0;
    EXPECT_EQ(unary(0xB3, matrix(2, 3, {1, 2, 3, 4, 5, 6})).error, 24);
    ctx().error = 0;
    EXPECT_EQ(unary(0xBB2D, matrix(3, 2, {1, 2, 3, 4, 5, 6})).error, 24);
    ctx().error = 0;
    EXPECT_EQ(unary(0xBB2D, matrix(2, 3, {1, 2, 3, 4, 5, 6})).error, 0);
    EXPECT_EQ(unary(0xBB2E, matrix(1, 3, {1, 2, 3})).error, 24);
    ctx().error = 0;
    r = unary(0xBB2E, matrix(2, 3, {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(r.error, 0);
    EXPECT_NEAR(r.matrix->row(1, 1), 1, 1e-12);

    ctx().nextToken = 9;
    r = unary(0xBC, matrix(1, 1, {4}, 2));
    EXPECT_EQ(r.error, 12);
    EXPECT_EQ(r.location, 9);
}

TEST_F(ListMatrixOps, MatrixIntIsTheGreatestInteger)
{
    Operand r = unary(0xB1, matrix(1, 3, {2.7, -2.5, 3}));
    EXPECT_EQ(cells(*r.matrix), (std::vector<double>{2, -3, 3}));
}

TEST_F(ListMatrixOps, MatrixRoundFollowsTheDigitsSetting)
{
    Operand a = matrix(1, 2, {1.2345, 16.5});
    Operand r = unary(0x12, a); // Float: every digit kept
    EXPECT_EQ(cells(*r.matrix), (std::vector<double>{1.2345, 16.5}));
    calc.numDigits = 2;
    r = unary(0x12, a);
    EXPECT_EQ(cells(*r.matrix), (std::vector<double>{1.23, 16.5}));
}

TEST_F(ListMatrixOps, TwoMatrices)
{
    Operand a = matrix(2, 2, {1, 2, 3, 4}), b = matrix(2, 2, {5, 6, 7, 8});
    Operand r = binary(0x71, b, a); // [A] − [B]
    EXPECT_EQ(cells(*r.matrix), (std::vector<double>{-4, -4, -4, -4}));
    r = binary(0x82, b, a); // [A] * [B]
    EXPECT_EQ(cells(*r.matrix), (std::vector<double>{19, 22, 43, 50}));
    r = binary(0x14, b, a);
    EXPECT_EQ(r.matrix->dimCol(), 4u);

    r = binary(0x6A, a, a);
    EXPECT_EQ(r.kind, KindReal);
    EXPECT_EQ(r.re(), 1);
    EXPECT_EQ(binary(0x6F, b, a).re(), 1);
    EXPECT_EQ(binary(0x6A, b, a).re(), 0);

    r = binary(0x70, matrix(2, 3, {1, 2, 3, 4, 5, 6}), a);
    EXPECT_EQ(r.error, 13);
    ctx().error = 0;
    ctx().nextToken = 4;
    r = binary(0x83, b, a);
    EXPECT_EQ(r.error, 12);
    EXPECT_EQ(r.location, 4);
}
