#include "eval/ValueTokenHandlers.h"

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "core/VQValue.h"
#include "eval/EvalRun.h"
#include "eval/Parser.h"

#include "EvalTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

// Ans, element references and the clears as an entry shows them are in tests/cases
// (values, store); these are the clock, the key and the flags an answer leaves behind.

namespace orvenda {
namespace {

using orvenda::testing::list;
using orvenda::testing::real;

class ValueTokenHandlersTest : public orvenda::testing::HandlerTest {
protected:
    // Runs an early token; R is its value.
    Operand early(int token)
    {
        parser.setError(0);
        run.token = token;
        run.R = Operand{};
        run.R.location = 4;
        EXPECT_TRUE(values.handleEarly(run));
        return run.R;
    }

    ValueTokenHandlers values{parser};
};

TEST_F(ValueTokenHandlersTest, AnsKeepsItsShape)
{
    calc.ans = VQValue(std::complex<double>(1, 2));
    calc.ans.setDisplayMod(1);
    calc.setRealCplxMode(0);
    const Operand R = early(0x72);
    EXPECT_EQ(R.kind, KindComplex);
    EXPECT_EQ(R.value, std::complex<double>(1, 2));
    EXPECT_EQ(R.location, 4);
    EXPECT_TRUE(parser.ctx().f_nd);
    EXPECT_FALSE(parser.ctx().f_und);

    calc.ans = VQValue(3.0);
    calc.ans.setDisplayMod(2);
    calc.setRealCplxMode(0);
    const Operand three = early(0x72);
    EXPECT_EQ(three.kind, KindReal);
    EXPECT_EQ(three.re(), 3);
    EXPECT_TRUE(parser.ctx().f_und);
}

TEST_F(ValueTokenHandlersTest, GetKeyReadsAndClearsTheLastKey)
{
    calc.lastKey = 105;
    EXPECT_EQ(early(0xAD).re(), 105);
    EXPECT_EQ(early(0xAD).re(), 0);
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
    calc.locked()->dateFormat = 2;
    EXPECT_EQ(early(0xEF0C).re(), 3);
    calc.locked()->timeFormat = 1;
    EXPECT_EQ(early(0xEF0D).re(), 24);
    calc.locked()->timeFormat = 0;
    EXPECT_EQ(early(0xEF0D).re(), 12);
}

// Named lists go; the numbered ones stay defined and empty.
TEST_F(ValueTokenHandlersTest, ClrAllListsRemovesNamedLists)
{
    calc.locked()->lists["ABC"] = *list({1}).list;
    calc.locked()->lists["L₁"] = *list({1}).list;
    EXPECT_EQ(early(0xBB52).kind, KindDone);
    EXPECT_EQ(calc.locked()->lists.count("ABC"), 0u);
    EXPECT_EQ(calc.locked()->lists.count("L₁"), 1u);
    EXPECT_EQ(calc.locked()->lists["L₁"].count(), 0);
}

TEST_F(ValueTokenHandlersTest, StoDimLeavesAnsAndFailedResizesAlone)
{
    calc.ans = VQValue::valWithList(*list({1, 2, 3}).list);
    Operand ans;
    calc.ans.getOperand(ans);
    stack.pushOperand(real(1), 1);
    run.token = 0x101C;
    run.X = ans;
    values.storeDimension(run);
    EXPECT_EQ(calc.ans.list()->count(), 3);

    calc.locked()->lists["L₁"] = *list({1, 2}).list;
    parser.setError(0);
    stack.clear();
    stack.pushOperand(real(2.5), 1);
    VQStack refs(&calc);
    refs.pushVar(0x5D00, 3);
    run.X = *refs.peek();
    values.storeDimension(run);
    EXPECT_EQ(parser.error(), 27) << "a length must be whole";
    EXPECT_EQ(calc.locked()->lists["L₁"].count(), 2);

    parser.setError(0);
    stack.clear();
    values.storeDimension(run);
    EXPECT_EQ(parser.error(), 1) << "no dimension under the target";
}

} // namespace
} // namespace orvenda
