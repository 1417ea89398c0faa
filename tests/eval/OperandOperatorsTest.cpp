#include "eval/OperandOperators.h"

#include "core/Calculator.h"
#include "eval/Parser.h"

#include "EvalTestSupport.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

// Results an entry line shows are in tests/cases (operators, strings, matrices); these are
// error positions, records no entry can make and the equation store.

using namespace orvenda;
using namespace orvenda::testing;
using Ops = std::vector<std::uint32_t>;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class OperandOps : public OperatorTest {
protected:
    static Operand var(int subKind, int token)
    {
        Operand r;
        r.kind = KindVariable;
        r.var.subKind = subKind;
        r.var.token = token;
        r.var.index = token;
        return r;
    }
};

} // namespace

TEST_F(OperandOps, EquationAndStringConversion)
{
    auto yEq = std::make_shared<RecordingYEq>();
    calc.yEqManager = yEq;
    EXPECT_EQ(binary(0xBB56, var(VarEquation, 0x5E10), string({0x41, 0x42})).kind, KindDone);  // String▸Equ("AB",Y₁)
    EXPECT_EQ(yEq->equations[0x5E10], (Ops{0x41, 0x42}));
    EXPECT_TRUE(yEq->visible[0x5E10]);
    calc.locked()->strings[2] = {0x58};
    binary(0xBB56, var(VarEquation, 0x5E11), var(VarString, 0xAA02));  // String▸Equ(Str3,Y₂)
    EXPECT_EQ(yEq->equations[0x5E11], (Ops{0x58}));
    EXPECT_EQ(binary(0xBB55, var(VarString, 0xAA00), var(VarEquation, 0x5E10)).kind, KindDone);  // Equ▸String(Y₁,Str1)
    EXPECT_EQ(calc.locked()->strings[0], (Ops{0x41, 0x42}));

    EXPECT_EQ(binary(0xBB56, var(VarReal, 0x41), string({0x41})).error, 12);
    EXPECT_EQ(binary(0xBB55, var(VarEquation, 0x5E10), var(VarEquation, 0x5E11)).error, 12);
    EXPECT_EQ(binary(0xBB55, var(VarString, 0xAA00), string({0x41})).error, 12);
    EXPECT_EQ(binary(0x70, var(VarString, 0xAA00), string({0x41})).error, 1);
}

TEST_F(OperandOps, RecordsNoEntryCanType)
{
    // Equal strings agree in every opcode word, template half included.
    EXPECT_EQ(binary(0x6A, string({0x50070}), string({0x70})).re(), 0);
    // A complex value with no imaginary part has a real root in Real mode.
    EXPECT_EQ(unary(0xBC, cplx(-4, 0)).value, std::complex<double>(0, 2));
    EXPECT_EQ(binary(0xF0, real(kNaN), matrix(2, 2, {1, 2, 3, 4})).error, 17);
    EXPECT_EQ(binary(0x101C, matrix(1, 1, {5}), list({kNaN, 2})).error, 27);
    Operand done;
    done.kind = KindDone;
    EXPECT_EQ(unary(0xBC, done).kind, KindError);
    for (const Operand& r : {unary(0xBC, done), unary(0xB0, var(VarReal, 0x41)), binary(0x70, done, real(1)),
                             binary(0x70, real(1), done)})
        EXPECT_EQ(r.error, 12);
    for (double bad : {kNaN, kInf, -kInf, -4e9}) {
        const Operand r = unary(0xB4, real(bad, 4));  // identity(
        EXPECT_EQ(r.error, 24) << bad;
        EXPECT_FALSE(r.matrix);
    }
    EXPECT_EQ(unary(0xB4, real(99)).matrix->dimRow(), 99u);

    // An earlier error stays.
    parser.ctx().error = 5;
    EXPECT_EQ(parser.unaryOp(0xBB2B, string({0x41})).error, 5);
    EXPECT_EQ(parser.ctx().error, 5);
}

TEST_F(OperandOps, ErrorsPointAtTheOperandAtFault)
{
    const Operand a = matrix(2, 2, {1, 2, 3, 4}, 1);
    struct Case {
        Operand r;
        int error, at;
    };
    const Case cases[] = {
        {unary(0xBC, real(-4, 3)), 15, 3},                              // √(-4) in Real mode
        {unary(0xBC, string({0x41}, 6)), 12, 6},
        {binary(0x70, real(2, 5), a), 1, 5},                             // [A]+2
        {binary(0xF0, list({0.5}, 2), real(-4, 6)), 15, 6},              // -4^{.5}
        {binary(0x20, real(3, 5), real(2.5, 2)), 27, 2},                 // randM(2.5,3)
        {binary(0x20, real(kNaN, 5), real(2, 2)), 27, 5},
        {binary(0x20, real(1e10, 5), real(2, 2)), 24, 5},
        {binary(0x20, real(2, 5), real(100, 2)), 24, 2},
        {unary(0xBB2A, string({}, 3)), 19, 3},                           // expr("")
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.r.error, c.error);
        EXPECT_EQ(c.r.location, c.at);
    }
    // {-4,9}^.5: the list is on the left; a complex element lets the power through.
    EXPECT_EQ(binary(0xF0, real(0.5, 6), list({-4, 9}, 2)).error, 15);
    EXPECT_EQ(binary(0xF0, real(0.5, 6), list({-4, 9, {0, 1}}, 2)).list->type(), 1);
}

TEST_F(OperandOps, RandomMatricesHoldSmallWholeNumbers)
{
    const Operand r = binary(0x20, real(3), real(2));
    ASSERT_EQ(r.kind, KindMatrix);
    for (double v : cells(*r.matrix)) {
        EXPECT_GE(v, -9);
        EXPECT_LE(v, 9);
        EXPECT_EQ(v, std::trunc(v));
    }
}

TEST_F(OperandOps, ExprLeavesTheRunningStatementsCompiledForm)
{
    parser.rpnStack().pushReal(7, 15, -15, 0);
    EXPECT_EQ(unary(0xBB2A, string({0x35}, 3)).re(), 5);
    EXPECT_EQ(parser.rpnStack().count(), 1);
}
