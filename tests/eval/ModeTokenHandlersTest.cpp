#include "eval/ModeTokenHandlers.h"

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "eval/EvalRun.h"

#include <gtest/gtest.h>

namespace orvenda {
namespace {

class ModeTokenHandlersTest : public ::testing::Test {
protected:
    Operand run(int token)
    {
        Operand R;
        EXPECT_TRUE(modes.handle(token, R)) << std::hex << token;
        return R;
    }

    Calculator calc;
    ModeTokenHandlers modes{calc};
};

TEST_F(ModeTokenHandlersTest, AnswersDoneWithTheToken)
{
    const Operand R = run(0x67);
    EXPECT_EQ(R.kind, KindDone);
    EXPECT_EQ(R.opcode, 0x67u);
    EXPECT_EQ(R.error, 0);
}

TEST_F(ModeTokenHandlersTest, LastAngleTokenWins)
{
    run(0x64);
    EXPECT_EQ(calc.angleFormat(), 1);
    run(0x65);
    EXPECT_EQ(calc.angleFormat(), 0);
}

TEST_F(ModeTokenHandlersTest, NumberFormats)
{
    calc.numDigits = 3;
    run(0x68);
    EXPECT_EQ(calc.numFormat, 2);
    run(0x66);
    EXPECT_EQ(calc.numFormat, 0);
    run(0x69);
    EXPECT_EQ(calc.numDigits, -1);
}

TEST_F(ModeTokenHandlersTest, GraphAndTableModes)
{
    run(0x79);
    EXPECT_EQ(calc.graphMode(), 3);
    run(0x5C5F);
    EXPECT_EQ(calc.graphMode(), 4);
    run(0x76);
    EXPECT_EQ(calc.graphMode(), 0);
    run(0x7A);
    EXPECT_EQ(calc.tableMode, 1);
    run(0x7B);
    EXPECT_EQ(calc.tableMode, 0);
    run(0xBB64);
    EXPECT_EQ(calc.screenSplit, 1);
    run(0x75);
    EXPECT_EQ(calc.screenSplit, 0);
}

TEST_F(ModeTokenHandlersTest, AxesOffAlsoTurnsLabelsOffButLabelOnLeavesAxesOff)
{
    run(0x7E09);
    EXPECT_FALSE(calc.drawAxes);
    EXPECT_FALSE(calc.drawLabel);
    run(0x7E0C);
    EXPECT_TRUE(calc.drawLabel);
    EXPECT_FALSE(calc.drawAxes);
}

TEST_F(ModeTokenHandlersTest, GraphFormatSwitches)
{
    run(0x7E0B);
    EXPECT_FALSE(calc.drawGrid);
    run(0x7E0A);
    EXPECT_TRUE(calc.drawGrid);
    run(0x7E05);
    EXPECT_FALSE(calc.drawCoord);
    run(0x7E02);
    EXPECT_EQ(calc.graphCoordFormat, 1);
    run(0x7E12);
    EXPECT_EQ(calc.graphSequenceFormat, 4);
    run(0x7E0F);
    EXPECT_EQ(calc.graphSequenceFormat, 0);
    run(0xBB51);
    EXPECT_FALSE(calc.drawExpr);
}

TEST_F(ModeTokenHandlersTest, TokensThatChangeNothing)
{
    for (int t : {0x74, 0x7C, 0x7D, 0x7E00, 0x7E01, 0x7E06, 0x7E07}) {
        calc.numFormat = 1;
        const Operand R = run(t);
        EXPECT_EQ(R.kind, KindDone);
        EXPECT_EQ(calc.numFormat, 1);
    }
}

TEST_F(ModeTokenHandlersTest, AxesOnAndFixAreNotSettingTokens)
{
    Operand R;
    EXPECT_FALSE(modes.handle(0x7E08, R));
    EXPECT_FALSE(modes.handle(0x73, R));
    EXPECT_EQ(R.kind, KindError);
    EXPECT_FALSE(ModeTokenHandlers::isModeToken(0x6A));
}

TEST_F(ModeTokenHandlersTest, PaymentTimingKeepsTheSlotPair)
{
    calc.varsSigFig[86] = 3;
    run(0xBB4C);
    EXPECT_EQ(calc.vars[86], std::complex<double>(0, 0));
    run(0xBB4B);
    EXPECT_EQ(calc.vars[86], std::complex<double>(1, 0));
    EXPECT_EQ(calc.varsSigFig[86], 3);
}

TEST_F(ModeTokenHandlersTest, AnswerAndFractionFormats)
{
    run(0x5C57);
    EXPECT_EQ(calc.fractionFormat, 3);
    EXPECT_EQ(calc.answerFormat, 2);
    run(0x5C66);
    EXPECT_EQ(calc.answerFormat, 3);
    run(0xEF3B);
    EXPECT_EQ(calc.answerFormat, 1);
    run(0xEF37);
    EXPECT_FALSE(calc.mathPrint);
    run(0xBB66);
    EXPECT_TRUE(calc.regressionDiagnostic);
}

TEST_F(ModeTokenHandlersTest, BackgroundOffIsOpaqueWhite)
{
    calc.backgroundColor = VQColor::colorR(0, 0, 0, 0.5);
    run(0xEF64);
    EXPECT_EQ(calc.backgroundColor.r(), 1);
    EXPECT_EQ(calc.backgroundColor.g(), 1);
    EXPECT_EQ(calc.backgroundColor.b(), 1);
    EXPECT_EQ(calc.backgroundColor.a(), 1);
}

TEST_F(ModeTokenHandlersTest, ComplexModeOutlastsTheRun)
{
    VQStack stack(&calc);
    VQStack rpn(&calc);
    EvalRun r(stack, rpn);
    r.restoreCplxMode = 0;
    r.token = 0xBB4F;
    ASSERT_TRUE(modes.handle(r));
    EXPECT_EQ(calc.realCplxMode(), 1);
    EXPECT_EQ(r.restoreCplxMode, 1);
    r.token = 0xBB4E;
    modes.handle(r);
    EXPECT_EQ(r.restoreCplxMode, 2);
    r.token = 0x67;
    modes.handle(r);
    EXPECT_EQ(r.restoreCplxMode, 2);
}

} // namespace
} // namespace orvenda
