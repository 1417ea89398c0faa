#include "eval/ValueTokenHandlers.h"

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/VQStack.h"
#include "core/VQValue.h"
#include "eval/EvalRun.h"
#include "eval/Parser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

namespace orvenda {
namespace {

Operand real(double x)
{
    Operand v;
    v.kind = KindReal;
    v.value = {x, 0};
    return v;
}

VQList listOf(std::initializer_list<double> xs)
{
    VQList l;
    for (double x : xs)
        l.addReal(x, 15, -15);
    return l;
}

class ValueTokenHandlersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parser.setError(0);
        run.R.location = 4;
    }

    // Runs an early token; R is its value.
    Operand early(int token)
    {
        run.token = token;
        run.R = Operand{};
        run.R.location = 4;
        EXPECT_TRUE(values.handleEarly(run));
        return run.R;
    }

    // Runs an indexed token with the given X (and earlier arguments already on the stack).
    Operand indexed(int token, const Operand& X, double number = 0)
    {
        run.token = token;
        run.X = X;
        run.X.location = 2;
        run.number = number;
        run.R = Operand{};
        run.R.location = 4;
        EXPECT_TRUE(values.handleIndexed(run));
        return run.R;
    }

    Calculator calc;
    Parser& parser = calc.parser();
    VQStack stack{&calc};
    VQStack rpn{&calc};
    EvalRun run{stack, rpn};
    ValueTokenHandlers values{parser};
};

TEST_F(ValueTokenHandlersTest, ImaginaryUnitSwitchesToComplexArithmetic)
{
    calc.setRealCplxMode(0);
    const Operand R = early(0x2C);
    EXPECT_EQ(R.kind, KindComplex);
    EXPECT_EQ(R.value, std::complex<double>(0, 1));
    EXPECT_EQ(calc.realCplxMode(), 1);
    calc.setRealCplxMode(2);
    early(0x2C);
    EXPECT_EQ(calc.realCplxMode(), 2) << "a polar mode stays";
}

TEST_F(ValueTokenHandlersTest, AnsKeepsItsShape)
{
    calc.ans = VQValue(std::complex<double>(1, 2));
    calc.ans.setDisplayMod(1);
    calc.setRealCplxMode(0);
    const Operand R = early(0x72);
    EXPECT_EQ(R.kind, KindComplex);
    EXPECT_EQ(R.value, std::complex<double>(1, 2));
    EXPECT_EQ(R.location, 4);
    EXPECT_EQ(calc.realCplxMode(), 1);
    EXPECT_TRUE(parser.ctx().f_nd);
    EXPECT_FALSE(parser.ctx().f_und);

    calc.ans = VQValue(3.0);
    calc.ans.setDisplayMod(2);
    calc.setRealCplxMode(0);
    EXPECT_EQ(early(0x72).re(), 3);
    EXPECT_EQ(calc.realCplxMode(), 0);
    EXPECT_TRUE(parser.ctx().f_und);
}

TEST_F(ValueTokenHandlersTest, GetKeyReadsAndClearsTheLastKey)
{
    calc.lastKey = 105;
    EXPECT_EQ(early(0xAD).re(), 105);
    EXPECT_EQ(early(0xAD).re(), 0);
}

TEST_F(ValueTokenHandlersTest, RandWithoutArgumentIsAFraction)
{
    for (int k = 0; k < 20; ++k) {
        const Operand R = early(0x1000);
        EXPECT_EQ(R.kind, KindReal);
        EXPECT_GE(R.re(), 0);
        EXPECT_LT(R.re(), 1);
        EXPECT_EQ(R.sigFig, 15);
    }
}

TEST_F(ValueTokenHandlersTest, ClockTokensReadTheGivenClock)
{
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 14;
    t.tm_min = 7;
    t.tm_sec = 9;
    t.tm_isdst = -1;
    const auto fixed = std::chrono::system_clock::from_time_t(std::mktime(&t));
    values.setClock([fixed] { return fixed; });

    const Operand date = early(0xEF09);
    ASSERT_EQ(date.kind, KindRealList);
    EXPECT_EQ(date.list->realList(), (std::vector<double>{2024, 3, 5}));
    const Operand time = early(0xEF0A);
    EXPECT_EQ(time.list->realList(), (std::vector<double>{14, 7, 9}));

    const auto later = calc.startTime + std::chrono::milliseconds(2500);
    values.setClock([later] { return later; });
    EXPECT_DOUBLE_EQ(early(0xEF0B).re(), 2.5);
}

TEST_F(ValueTokenHandlersTest, DateAndTimeFormats)
{
    calc.dateFormat = 2;
    EXPECT_EQ(early(0xEF0C).re(), 3);
    calc.timeFormat = 1;
    EXPECT_EQ(early(0xEF0D).re(), 24);
    calc.timeFormat = 0;
    EXPECT_EQ(early(0xEF0D).re(), 12);
}

TEST_F(ValueTokenHandlersTest, ClearCommandsAnswerDone)
{
    calc.tableList = listOf({1, 2});
    Operand R = early(0xFB);
    EXPECT_EQ(R.kind, KindDone);
    EXPECT_EQ(R.opcode, 0xFBu);
    EXPECT_EQ(calc.tableList.count(), 0);

    calc.lists["ABC"] = listOf({1});
    calc.lists["L₁"] = listOf({1});
    R = early(0xBB52);
    EXPECT_EQ(R.kind, KindDone);
    EXPECT_EQ(calc.lists.count("ABC"), 0u);
    EXPECT_EQ(calc.lists["L₁"].count(), 0);

    EXPECT_EQ(early(0xBB57).kind, KindDone) << "no history or entry manager wired";
}

TEST_F(ValueTokenHandlersTest, OtherTokensAreNotTaken)
{
    run.token = 0x70;
    EXPECT_FALSE(values.handleEarly(run));
    EXPECT_FALSE(values.handleIndexed(run));
    run.token = 0x101C;
    EXPECT_FALSE(values.handleIndexed(run));
}

TEST_F(ValueTokenHandlersTest, ListElementReferences)
{
    Operand R = indexed(0x1003, real(2));
    ASSERT_EQ(R.kind, KindVariable);
    EXPECT_EQ(R.var.subKind, VarListElement);
    EXPECT_EQ(R.var.index, 1);
    EXPECT_EQ(R.var.name, "L₂");
    EXPECT_EQ(R.var.elem1, 1);

    indexed(0x1002, real(2.5));
    EXPECT_EQ(parser.error(), 24);
    EXPECT_EQ(parser.errorToken(), 2);
    parser.setError(0);
    Operand list;
    list.kind = KindRealList;
    list.list = std::make_shared<VQList>(listOf({1}));
    indexed(0x1002, list);
    EXPECT_EQ(parser.error(), 13);
}

TEST_F(ValueTokenHandlersTest, NamedListElementTakesTheRecordsName)
{
    Operand record;
    record.kind = KindOpcode;
    record.opcode = 0x1001;
    record.var.name = "ABC";
    rpn.pushOperand(record, 0);
    run.index = 0;
    const Operand R = indexed(0x1001, real(3));
    EXPECT_EQ(R.var.index, -1);
    EXPECT_EQ(R.var.name, "ABC");
    EXPECT_EQ(R.var.elem1, 2);
}

TEST_F(ValueTokenHandlersTest, MatrixElementReferencesAreNotBoundsChecked)
{
    stack.pushOperand(real(0), 1);
    Operand R = indexed(0x1009, real(1));
    ASSERT_EQ(parser.error(), 0);
    EXPECT_EQ(R.var.subKind, VarMatrixElement);
    EXPECT_EQ(R.var.index, 1);
    EXPECT_EQ(R.var.elem2, -1);
    EXPECT_EQ(R.var.elem1, 0);
    EXPECT_EQ(stack.count(), 0);

    stack.pushOperand(real(1.5), 1);
    indexed(0x1008, real(1));
    EXPECT_EQ(parser.error(), 24);
}

TEST_F(ValueTokenHandlersTest, ElementsOfAListAns)
{
    calc.ans = VQValue::valWithList(listOf({5, 6, 7}));
    stack.pushOperand(real(2), 1);
    EXPECT_EQ(indexed(0x101D, real(1), 1).re(), 6);

    stack.pushOperand(real(4), 1);
    indexed(0x101D, real(1), 1);
    EXPECT_EQ(parser.error(), 24);

    parser.setError(0);
    stack.clear();
    stack.pushOperand(real(1), 1);
    stack.pushOperand(real(2), 1);
    indexed(0x101D, real(2), 2);
    EXPECT_EQ(parser.error(), 13);
}

TEST_F(ValueTokenHandlersTest, ElementsOfAMatrixAns)
{
    VQMatrix m = *VQMatrix::matrixWithRow(2, 2);
    m.set(9, 1, 0);
    calc.ans = VQValue::valWithMatrix(m);
    stack.pushOperand(real(2), 1);
    stack.pushOperand(real(1), 1);
    EXPECT_EQ(indexed(0x101D, real(2), 2).re(), 9);

    stack.pushOperand(real(3), 1);
    stack.pushOperand(real(1), 1);
    indexed(0x101D, real(2), 2);
    EXPECT_EQ(parser.error(), 24);

    parser.setError(0);
    stack.clear();
    stack.pushOperand(real(1), 1);
    indexed(0x101D, real(1), 1);
    EXPECT_EQ(parser.error(), 13);
}

TEST_F(ValueTokenHandlersTest, AnsOfANumberMultiplies)
{
    calc.ans = VQValue(2.0);
    stack.pushOperand(real(3), 1);
    indexed(0x101D, real(1), 1);
    EXPECT_EQ(parser.error(), 0);
    EXPECT_TRUE(run.redispatch);
    EXPECT_EQ(run.token, 0x82);
    EXPECT_EQ(run.X.re(), 3);
    ASSERT_EQ(stack.count(), 1);
    EXPECT_EQ(stack.peek()->re(), 2);
}

} // namespace
} // namespace orvenda

namespace orvenda {
namespace {

TEST_F(ValueTokenHandlersTest, StoDimResizesTheVariableItself)
{
    calc.lists["L₁"] = listOf({1, 2});
    stack.pushOperand(real(4), 1);
    VQStack refs(&calc);
    refs.pushVar(0x5D00, 3);
    run.token = 0x101C;
    run.X = *refs.peek();
    run.R = Operand{};
    run.R.location = 4;
    values.storeDimension(run);
    ASSERT_EQ(parser.error(), 0);
    EXPECT_EQ(run.R.re(), 4);
    EXPECT_EQ(calc.lists["L₁"].realList(), (std::vector<double>{1, 2, 0, 0}));
}

TEST_F(ValueTokenHandlersTest, StoDimLeavesAnsAndFailedResizesAlone)
{
    calc.ans = VQValue::valWithList(listOf({1, 2, 3}));
    Operand ans;
    calc.ans.getOperand(ans);
    stack.pushOperand(real(1), 1);
    run.token = 0x101C;
    run.X = ans;
    values.storeDimension(run);
    EXPECT_EQ(calc.ans.list()->count(), 3);

    calc.lists["L₁"] = listOf({1, 2});
    parser.setError(0);
    stack.clear();
    stack.pushOperand(real(2.5), 1);
    VQStack refs(&calc);
    refs.pushVar(0x5D00, 3);
    run.X = *refs.peek();
    values.storeDimension(run);
    EXPECT_NE(parser.error(), 0);
    EXPECT_EQ(calc.lists["L₁"].count(), 2);

    parser.setError(0);
    stack.clear();
    values.storeDimension(run);
    EXPECT_EQ(parser.error(), 1) << "no dimension under the target";
}

} // namespace
} // namespace orvenda
