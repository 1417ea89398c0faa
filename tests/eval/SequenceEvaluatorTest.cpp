#include "eval/SequenceEvaluator.h"

#include "cases/EntryText.h"
#include "cases/EquationSupport.h"
#include "core/Calculator.h"
#include "eval/Parser.h"

#include <gtest/gtest.h>

#include <vector>

// Terms asked for on an entry line are in tests/cases/equations.cases; here the plot's
// call for all terms at once and what the stepping leaves behind.

namespace orvenda {
namespace {

constexpr int kU = 0x5E80, kV = 0x5E81;
constexpr int kSlotEta = 27, kSlotEtaMin = 59;

class SequenceEvaluatorTest : public ::testing::Test {
protected:
    SequenceEvaluatorTest()
    {
        calc.yEqManager = yEq;
        calc.locked()->vars[kSlotEtaMin] = 1;
        calc.locked()->vars[kSlotEta] = 42;
    }
    void define(int token, const std::string& text, std::vector<double> starts = {})
    {
        static const cases::EntryText entry;
        std::string bad;
        yEq->setYEqFunc(token, *entry.toOps(text, bad));
        if (!starts.empty()) {
            VQList list;
            for (double x : starts)
                list.addReal(x, 15, -15);
            ASSERT_EQ(yEq->initSeq(token + 3, &list), 0);
        }
    }
    // Terms ηMin..n as a plot asks for them, with the last term answered.
    std::vector<double> terms(int token, int n)
    {
        std::vector<double> out(static_cast<std::size_t>(n), -1);
        const Operand last = parser.evalSeqNum(token, n, out.data());
        EXPECT_EQ(last.error, 0);
        EXPECT_EQ(last.re(), out.back());
        return out;
    }

    Calculator calc;
    // Handlers run inside an evaluation, which holds the state lock.
    const std::unique_lock<StateMutex> hold_ = calc.lockState();
    Parser& parser = calc.parser();
    std::shared_ptr<testing::CompilingYEq> yEq = std::make_shared<testing::CompilingYEq>(parser);
};

TEST_F(SequenceEvaluatorTest, APlotGetsEveryTermInOneCall)
{
    define(kU, "u(η—1)+2", {1});
    EXPECT_EQ(terms(kU, 5), (std::vector<double>{1, 3, 5, 7, 9}));
    // Without earlier terms the first ones still come from the initial values.
    define(kU, "η²", {10});
    EXPECT_EQ(terms(kU, 4), (std::vector<double>{10, 4, 9, 16}));
    EXPECT_EQ(parser.evalSeqNum(kU, 1, nullptr).re(), 10);
    EXPECT_EQ(parser.evalSeqNum(kU, 2, nullptr).re(), 4);
    EXPECT_EQ(calc.locked()->vars[kSlotEta], 42.0);
}

// v refers to u's earlier terms only: v is worked out at every step, its first term with
// u's earlier term before ηMin read as 0.
TEST_F(SequenceEvaluatorTest, ASequenceOfTheOthersOnly)
{
    define(kU, "u(η—1)+2", {1});
    define(kV, "10u(η—1)");
    EXPECT_EQ(terms(kV, 4), (std::vector<double>{0, 10, 30, 50}));
    // With an initial value of its own, v starts from it.
    define(kV, "10u(η—1)", {7});
    EXPECT_EQ(terms(kV, 3), (std::vector<double>{7, 10, 30}));
}

TEST_F(SequenceEvaluatorTest, AFailedTermEndsTheSteppingAndGivesEtaBack)
{
    define(kU, "u(η—1)+1/(η—3)", {1});
    const Operand r = parser.evalSeqNum(kU, 5, nullptr);
    EXPECT_EQ(r.kind, KindError);
    EXPECT_EQ(r.error, 14);
    EXPECT_EQ(calc.locked()->vars[kSlotEta], 42.0);
    parser.setError(0);
    // An equation that does not compile is undefined.
    define(kU, "u(η+1)");
    EXPECT_EQ(parser.evalSeqNum(kU, 3, nullptr).error, 16);
    parser.setError(0);
}

} // namespace
} // namespace orvenda
