#include "eval/CalculusHandlers.h"

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "eval/Parser.h"

#include "ProgramTestSupport.h"
#include "cases/EquationSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>

// Typed answers are in tests/cases/calculus.cases; here where errors point, what the
// routines give back, and stopping a long sum.

namespace orvenda {
namespace {

using namespace orvenda::testing;

constexpr int kSlotX = 23;

class CalculusHandlersTest : public ::testing::Test {
protected:
    void SetUp() override { calc.setAngleFormat(1); }

    // Evaluates typed text on this thread as an editor field is.
    Operand eval(const std::string& text)
    {
        auto ops = ProgramHarness::ops(text);
        parser.setError(0);
        parser.infixToRPN(&ops, 0);
        const Operand r = parser.evalRPN(parser.rpnStack(), true, false);
        parser.setError(0);
        return r;
    }

    Calculator calc;
    // Handlers run inside an evaluation, which holds the state lock.
    const std::unique_lock<StateMutex> hold_ = calc.lockState();
    Parser& parser = calc.parser();
};

TEST_F(CalculusHandlersTest, ToleranceNotMetPointsPastTheBoundsOrAtTheTolerance)
{
    // fnInt( 1 / X , X , 0 , 1 ): the upper bound is token 9.
    Operand r = eval("fnInt(1/X,X,0,1)");
    EXPECT_EQ(r.error, 31);
    EXPECT_EQ(r.location, 10);
    r = eval("fnInt(1/X,X,0,1,.01)");
    EXPECT_EQ(r.error, 31);
    EXPECT_EQ(r.location, 11);
    // Other errors point where they arose: the bad variable, the zero tolerance.
    EXPECT_EQ(eval("fnInt(X,2,0,1)").location, 3);
    EXPECT_EQ(eval("fMax(X,X,0,1,0)").location, 9);
}

TEST_F(CalculusHandlersTest, TheVariableKeepsItsValueAndFiguresWhateverHappens)
{
    calc.setVar(kSlotX, {{1.25, 0}, 3, -2});
    for (const char* text : {"fnInt(1/X²,X,-1,1)", "solve(X²+1,X,0)", "seq(1/X,X,-1,1)", "∑(X,X,1,3)",
                             "nDeriv(√(X),X,0)", "fMin(X²,X,-1,1)"}) {
        eval(text);
        const VariableRecord x = calc.getVar(kSlotX);
        EXPECT_EQ(x.value, std::complex<double>(1.25, 0)) << text;
        EXPECT_EQ(x.sigFig, 3) << text;
        EXPECT_EQ(x.sigDec, -2) << text;
    }
}

TEST_F(CalculusHandlersTest, SolveFunctionStoresTheZeroAndItsResidual)
{
    double residual = 99;
    EXPECT_EQ(parser.solveFunction(ProgramHarness::ops("X²-2"), kSlotX, -1e99, 1e99, 1, &residual), 0);
    EXPECT_NEAR(calc.locked()->vars[kSlotX].real(), 1.414213562373095, 1.5e-14);
    EXPECT_LT(std::abs(residual), 1e-15);
    // A failed solve leaves the variable as it was and says why.
    calc.locked()->vars[kSlotX] = 5;
    EXPECT_EQ(parser.solveFunction(ProgramHarness::ops("X²+1"), kSlotX, -1e99, 1e99, 1, &residual), 61);
    EXPECT_EQ(parser.solveFunction(ProgramHarness::ops("X²-2"), kSlotX, 0, 1, 3, &residual), 62);
    EXPECT_EQ(parser.solveFunction(ProgramHarness::ops("X+)"), kSlotX, 0, 1, 1, &residual), 1);
    EXPECT_EQ(calc.locked()->vars[kSlotX].real(), 5);
    parser.setError(0);
}

// Y₁ = X, which holds the run at its thousandth look-up until the test lets it go: the
// stop then comes in the middle of the sum. A sum that went on regardless soon finds Y₁
// gone.
class HoldingYEq : public CompilingYEq {
public:
    explicit HoldingYEq(Parser& parser) : CompilingYEq(parser) { setYEqFunc(0x5E10, ProgramHarness::ops("X")); }
    std::shared_ptr<VQStack> rpnForFunction(int token) override
    {
        const int n = ++lookups;
        if (n == kHoldAt) {
            reached.set_value();
            release.get_future().wait();
        }
        return n > kHoldAt + 10 ? nullptr : CompilingYEq::rpnForFunction(token);
    }

    static constexpr int kHoldAt = 1000;
    std::atomic<int> lookups{0};
    std::promise<void> reached;
    std::promise<void> release;
};

// A sum has no limit on its terms: stopping the program ends it with "User break", after
// a term or so (counted in Y₁'s look-ups, one a term).
TEST(CalculusHandlersStopTest, ALongSumStopsWithUserBreak)
{
    ProgramHarness h;
    auto yEq = std::make_shared<HoldingYEq>(h.parser());
    h.calc.yEqManager = yEq;
    h.queue().startProgramThread(h.ops("∑(Y₁,X,1,1ᴱ8)"));
    yEq->reached.get_future().wait();
    EXPECT_TRUE(h.parser().stopProgramThread());
    yEq->release.set_value();
    h.settle();
    ASSERT_FALSE(h.finals.empty());
    EXPECT_EQ(h.finals.back().error, 43);
    EXPECT_LE(yEq->lookups.load(), HoldingYEq::kHoldAt + 1);
}

} // namespace
} // namespace orvenda
