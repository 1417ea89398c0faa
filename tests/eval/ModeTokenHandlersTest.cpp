#include "eval/ModeTokenHandlers.h"

#include "core/Calculator.h"

#include <gtest/gtest.h>

#include <functional>

// Angle, number and complex modes show in answers: see tests/cases/modes.cases. These are the
// settings no answer shows.

namespace orvenda {
namespace {

class ModeTokenHandlersTest : public ::testing::Test {
protected:
    Operand run(int token)
    {
        Operand R;
        EXPECT_TRUE(modes.handle(token, R)) << std::hex << token;
        EXPECT_EQ(R.kind, KindDone);
        EXPECT_EQ(R.opcode, static_cast<std::uint32_t>(token));
        return R;
    }

    Calculator calc;
    // Handlers run inside an evaluation, which holds the state lock.
    const std::unique_lock<StateMutex> hold_ = calc.lockState();
    ModeTokenHandlers modes{calc};
};

TEST_F(ModeTokenHandlersTest, EachTokenSetsItsSetting)
{
    using Read = std::function<double(const Calculator&)>;
    const Read graphMode = [](const Calculator& c) { return c.graphMode(); };
    const Read answer = [](const Calculator& c) { return c.locked()->answerFormat; };
    struct Case {
        int token;
        Read read;
        double expected;
    };
    // In this order: AxesOff also turns labels off; LabelOn leaves the axes off.
    const Case cases[] = {
        {0x79, graphMode, 3},
        {0x5C5F, graphMode, 4},
        {0x76, graphMode, 0},
        {0x7A, [](const Calculator& c) { return c.locked()->tableMode; }, 1},
        {0x7B, [](const Calculator& c) { return c.locked()->tableMode; }, 0},
        {0xBB64, [](const Calculator& c) { return c.locked()->screenSplit; }, 1},
        {0x75, [](const Calculator& c) { return c.locked()->screenSplit; }, 0},
        {0x7E09, [](const Calculator& c) { return c.locked()->drawAxes + c.locked()->drawLabel; }, 0},
        {0x7E0C, [](const Calculator& c) { return c.locked()->drawAxes * 10 + c.locked()->drawLabel; }, 1},
        {0x7E0B, [](const Calculator& c) { return c.locked()->drawGrid; }, 0},
        {0x7E0A, [](const Calculator& c) { return c.locked()->drawGrid; }, 1},
        {0x7E05, [](const Calculator& c) { return c.locked()->drawCoord; }, 0},
        {0x7E02, [](const Calculator& c) { return c.locked()->graphCoordFormat; }, 1},
        {0x7E12, [](const Calculator& c) { return c.locked()->graphSequenceFormat; }, 4},
        {0x7E0F, [](const Calculator& c) { return c.locked()->graphSequenceFormat; }, 0},
        {0xBB51, [](const Calculator& c) { return c.locked()->drawExpr; }, 0},
        {0x5C57, [](const Calculator& c) { return c.locked()->fractionFormat * 10 + c.locked()->answerFormat; }, 32},
        {0x5C66, answer, 3},
        {0xEF3B, answer, 1},
        {0xEF37, [](const Calculator& c) { return c.locked()->mathPrint; }, 0},
        {0xBB66, [](const Calculator& c) { return c.locked()->regressionDiagnostic; }, 1},
        // The payment timing keeps its slot's significance.
        {0xBB4C, [](const Calculator& c) { return c.locked()->vars[86].real() + c.locked()->varsSigFig[86] * 10; }, 30},
        {0xBB4B, [](const Calculator& c) { return c.locked()->vars[86].real() + c.locked()->varsSigFig[86] * 10; }, 31},
        {0xEF64, [](const Calculator& c) { return c.locked()->backgroundColor.r() + c.locked()->backgroundColor.a(); }, 2},
    };
    calc.locked()->varsSigFig[86] = 3;
    calc.locked()->backgroundColor = VQColor::colorR(0, 0, 0, 0.5);
    for (const Case& c : cases) {
        run(c.token);
        EXPECT_EQ(c.read(calc), c.expected) << std::hex << c.token;
    }
}

TEST_F(ModeTokenHandlersTest, TokensThatChangeNothingAndTokensThatAreNoSettings)
{
    calc.locked()->numFormat = 1;
    for (int t : {0x74, 0x7C, 0x7D, 0x7E00, 0x7E01, 0x7E06, 0x7E07})
        run(t);
    EXPECT_EQ(calc.locked()->numFormat, 1);
    Operand R;
    EXPECT_FALSE(modes.handle(0x7E08, R));  // AxesOn
    EXPECT_FALSE(modes.handle(0x73, R));    // Fix
    EXPECT_FALSE(ModeTokenHandlers::isModeToken(0x6A));
}

} // namespace
} // namespace orvenda
