#include "eval/ListMatrixCommands.h"

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/VQStack.h"
#include "eval/EvalRun.h"
#include "eval/Parser.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvenda {
namespace {

Operand real(double x, int location = 1)
{
    Operand v;
    v.kind = KindReal;
    v.value = {x, 0};
    v.location = location;
    return v;
}

Operand complexNumber(double re, double im)
{
    Operand v;
    v.kind = KindComplex;
    v.value = {re, im};
    return v;
}

Operand listOf(std::initializer_list<double> xs)
{
    Operand v;
    v.kind = KindRealList;
    v.list = std::make_shared<VQList>();
    for (double x : xs)
        v.list->addReal(x, 15, -15);
    return v;
}

VQList storedList(std::initializer_list<double> xs) { return *listOf(xs).list; }

class ListMatrixCommandsTest : public ::testing::Test {
protected:
    // Runs token with the arguments in source order; R is the answer.
    Operand call(int token, const std::vector<Operand>& args)
    {
        parser.setError(0);
        parser.setErrorToken(0);
        stack.clear();
        int location = 10;
        for (const Operand& a : args)
            stack.pushOperand(a, a.location ? a.location : location++);
        run.token = token;
        run.number = static_cast<double>(args.size());
        run.R = Operand{};
        run.R.location = 50;
        EXPECT_TRUE(commands.handle(run));
        return run.R;
    }
    Operand var(int token)
    {
        VQStack s(&calc);
        s.pushVar(token, 0);
        return *s.peek();
    }
    Operand matrixA()
    {
        VQMatrix m = *VQMatrix::matrixWithRow(2, 2);
        m.set(1, 0, 0);
        m.set(2, 0, 1);
        m.set(3, 1, 0);
        m.set(4, 1, 1);
        Operand v;
        v.kind = KindMatrix;
        v.matrix = std::make_shared<VQMatrix>(m);
        return v;
    }

    Calculator calc;
    Parser& parser = calc.parser();
    VQStack stack{&calc};
    VQStack rpn{&calc};
    EvalRun run{stack, rpn};
    ListMatrixCommands commands{parser};
};

TEST_F(ListMatrixCommandsTest, ListLiteralKeepsSourceOrderAndPairs)
{
    Operand two = real(2);
    two.sigFig = 1;
    two.sigDec = 0;
    const Operand R = call(0x08, {real(1), two, real(3)});
    ASSERT_EQ(parser.error(), 0);
    ASSERT_EQ(R.kind, KindRealList);
    EXPECT_EQ(R.list->realList(), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(R.list->sigFigAtIndex(1), 1);
    EXPECT_EQ(R.list->type(), 0);

    const Operand C = call(0x08, {real(1), complexNumber(0, 2)});
    EXPECT_EQ(C.list->type(), 1);
    EXPECT_EQ(C.list->complexAtIndex(1), std::complex<double>(0, 2));

    call(0x08, {listOf({1})});
    EXPECT_EQ(parser.error(), 12);
}

TEST_F(ListMatrixCommandsTest, ListAndRowLengthLimits)
{
    std::vector<Operand> many(100, real(1));
    call(0x08, many);
    EXPECT_EQ(parser.error(), 40);
    std::vector<Operand> row(999, real(1));
    const Operand R = call(0x06, row);
    EXPECT_EQ(parser.error(), 0);
    EXPECT_EQ(R.list->count(), 999);
}

TEST_F(ListMatrixCommandsTest, MatrixFromRows)
{
    const Operand M = call(0x07, {listOf({1, 2}), listOf({3, 4})});
    ASSERT_EQ(parser.error(), 0);
    ASSERT_EQ(M.kind, KindMatrix);
    EXPECT_EQ(M.matrix->dimRow(), 2u);
    EXPECT_EQ(M.matrix->row(0, 0), 1);
    EXPECT_EQ(M.matrix->row(0, 1), 2);
    EXPECT_EQ(M.matrix->row(1, 0), 3);

    const Operand one = call(0x07, {listOf({5})});
    EXPECT_EQ(one.matrix->dimCol(), 1u);

    call(0x07, {listOf({1, 2}), listOf({3})});
    EXPECT_EQ(parser.error(), 13);
    call(0x07, {real(1)});
    EXPECT_EQ(parser.error(), 1);
    Operand complexRow = listOf({1});
    complexRow.list->setComplex({1, 1}, 0);
    call(0x07, {complexRow});
    EXPECT_EQ(parser.error(), 12);
}

TEST_F(ListMatrixCommandsTest, ClrListEmptiesTheStoredLists)
{
    calc.lists["L₁"] = storedList({1, 2});
    calc.lists["L₂"] = storedList({3});
    const Operand R = call(0xFA, {var(0x5D00), var(0x5D01)});
    ASSERT_EQ(parser.error(), 0);
    EXPECT_EQ(R.kind, KindDone);
    EXPECT_EQ(calc.lists["L₁"].count(), 0);
    EXPECT_EQ(calc.lists.count("L₂"), 1u);
    EXPECT_EQ(calc.lists["L₂"].count(), 0);

    calc.lists["L₁"] = storedList({1, 2});
    call(0xFA, {var(0x5D00), real(5)});
    EXPECT_EQ(parser.error(), 20);
    EXPECT_EQ(calc.lists["L₁"].count(), 2) << "nothing is emptied when an argument is bad";
    call(0xFA, {real(5), var(0x5D00)});
    EXPECT_EQ(parser.error(), 20);
    EXPECT_EQ(calc.lists["L₁"].count(), 2);
}

TEST_F(ListMatrixCommandsTest, SortChangesTheVariable)
{
    calc.lists["L₁"] = storedList({3, 1, 2});
    const Operand R = call(0xE3, {var(0x5D00)});
    ASSERT_EQ(parser.error(), 0);
    EXPECT_EQ(R.kind, KindDone);
    EXPECT_EQ(calc.lists["L₁"].realList(), (std::vector<double>{1, 2, 3}));

    call(0xE4, {var(0x5D00)});
    EXPECT_EQ(calc.lists["L₁"].realList(), (std::vector<double>{3, 2, 1}));
}

TEST_F(ListMatrixCommandsTest, SortPairsCarryTheSecondList)
{
    calc.lists["L₁"] = storedList({3, 1, 2});
    calc.lists["L₂"] = storedList({30, 10, 20});
    call(0xE3, {var(0x5D00), var(0x5D01)});
    ASSERT_EQ(parser.error(), 0);
    EXPECT_EQ(calc.lists["L₁"].realList(), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(calc.lists["L₂"].realList(), (std::vector<double>{10, 20, 30}));

    call(0xE3, {var(0x5D00), var(0x5D01), var(0x5D02)});
    EXPECT_EQ(parser.error(), 39);
}

TEST_F(ListMatrixCommandsTest, FillChangesTheVariable)
{
    calc.lists["L₁"] = storedList({1, 2, 3});
    Operand R = call(0xE2, {real(5), var(0x5D00)});
    ASSERT_EQ(parser.error(), 0);
    EXPECT_EQ(R.kind, KindDone);
    EXPECT_EQ(calc.lists["L₁"].realList(), (std::vector<double>{5, 5, 5}));

    calc.matrices[0] = *matrixA().matrix;
    call(0xE2, {real(7), var(0x5C00)});
    ASSERT_EQ(parser.error(), 0);
    EXPECT_EQ(calc.matrices[0].row(1, 1), 7);

    // A list that is no variable is filled in a copy.
    const Operand literal = listOf({1, 2});
    call(0xE2, {real(9), literal});
    EXPECT_EQ(literal.list->realAtIndex(0), 1);

    call(0xE2, {real(5)});
    EXPECT_EQ(parser.error(), 39);
}

TEST_F(ListMatrixCommandsTest, SumAndProductRanges)
{
    Operand R = call(0xB6, {listOf({1, 2, 3, 4})});
    EXPECT_EQ(R.kind, KindReal);
    EXPECT_EQ(R.re(), 10);
    R = call(0xB6, {listOf({1, 2, 3, 4}), real(2)});
    EXPECT_EQ(R.re(), 9);
    R = call(0xB7, {listOf({1, 2, 3, 4}), real(2), real(3.7)});
    EXPECT_EQ(R.re(), 6);

    Operand L = listOf({1, 2});
    L.location = 7;
    call(0xB6, {L, real(3), real(2)});
    EXPECT_EQ(parser.error(), 24);
    EXPECT_EQ(parser.errorToken(), 7);
    call(0xB6, {listOf({1, 2}), real(0)});
    EXPECT_EQ(parser.error(), 24);
    call(0xB6, {listOf({})});
    EXPECT_EQ(parser.error(), 24);
    call(0xB6, {real(3)});
    EXPECT_EQ(parser.error(), 27);
    call(0xB6, {listOf({1}), complexNumber(1, 1)});
    EXPECT_EQ(parser.error(), 27);

    Operand C = listOf({1});
    C.list->addComplex({0, 1});
    R = call(0xB6, {C});
    EXPECT_EQ(R.kind, KindComplex);
    EXPECT_EQ(R.value, std::complex<double>(1, 1));
}

TEST_F(ListMatrixCommandsTest, RowOperations)
{
    Operand R = call(0x15, {matrixA(), real(1), real(2)});
    ASSERT_EQ(parser.error(), 0);
    ASSERT_EQ(R.kind, KindMatrix);
    EXPECT_EQ(R.matrix->row(0, 0), 3);
    EXPECT_EQ(R.matrix->row(1, 0), 1);

    R = call(0x15, {matrixA(), real(1), real(1)});
    EXPECT_EQ(parser.error(), 0);
    EXPECT_EQ(R.matrix->row(0, 0), 1);

    R = call(0x16, {matrixA(), real(1), real(2)});
    EXPECT_EQ(R.matrix->row(1, 1), 6);

    R = call(0x17, {real(2), matrixA(), real(1)});
    ASSERT_EQ(parser.error(), 0);
    EXPECT_EQ(R.matrix->row(0, 1), 4);
    EXPECT_EQ(R.matrix->row(1, 1), 4);

    R = call(0x18, {real(10), matrixA(), real(1), real(2)});
    ASSERT_EQ(parser.error(), 0);
    EXPECT_EQ(R.matrix->row(1, 0), 13);
    EXPECT_EQ(R.matrix->row(0, 0), 1);
}

TEST_F(ListMatrixCommandsTest, RowOperationErrors)
{
    call(0x15, {matrixA(), real(0), real(1)});
    EXPECT_EQ(parser.error(), 13);
    call(0x15, {matrixA(), real(1.5), real(1)});
    EXPECT_EQ(parser.error(), 13);
    call(0x15, {matrixA(), real(1), real(3, 33)});
    EXPECT_EQ(parser.error(), 13);
    EXPECT_EQ(parser.errorToken(), 33);
    call(0x15, {matrixA(), complexNumber(1, 1), real(1)});
    EXPECT_EQ(parser.error(), 27);
    call(0x15, {listOf({1}), real(1), real(1)});
    EXPECT_EQ(parser.error(), 27);
    call(0x17, {listOf({1}), matrixA(), real(1)});
    EXPECT_EQ(parser.error(), 27);
    call(0x15, {matrixA(), real(1)});
    EXPECT_EQ(parser.error(), 39);
    call(0x18, {real(1), matrixA(), real(1), real(1), real(1)});
    EXPECT_EQ(parser.error(), 40);
}

} // namespace
} // namespace orvenda
