#include "eval/ListMatrixCommands.h"

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "eval/EvalRun.h"
#include "eval/Parser.h"

#include "EvalTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

// The commands' results are in tests/cases (list-commands, matrix-commands); these are the
// length limits, records no entry makes, and error positions.

namespace orvenda {
namespace {

using namespace orvenda::testing;

class ListMatrixCommandsTest : public HandlerTest {
protected:
    // Runs token with the arguments in source order (each at its own location, from 10).
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
        EXPECT_TRUE(commands.handle(run));
        return run.R;
    }

    ListMatrixCommands commands{parser};
};

TEST_F(ListMatrixCommandsTest, LengthLimits)
{
    call(0x08, std::vector<Operand>(100, real(1)));  // a list literal of 100
    EXPECT_EQ(parser.error(), 40);
    EXPECT_EQ(call(0x06, std::vector<Operand>(999, real(1))).list->count(), 999);  // a row of 999
    EXPECT_EQ(parser.error(), 0);
}

TEST_F(ListMatrixCommandsTest, ArgumentsNoEntryMakes)
{
    call(0x08, {list({1})});
    EXPECT_EQ(parser.error(), 12);
    call(0x07, {real(1)});  // a matrix of a number
    EXPECT_EQ(parser.error(), 1);
    call(0xB6, {list({})});  // sum( of nothing
    EXPECT_EQ(parser.error(), 24);
}

TEST_F(ListMatrixCommandsTest, ErrorsPointAtTheArgumentAtFault)
{
    call(0xB6, {list({1, 2}, 7), real(3), real(2)});  // sum({1,2},3,2)
    EXPECT_EQ(parser.error(), 24);
    EXPECT_EQ(parser.errorToken(), 7);
    call(0x15, {matrix(2, 2, {1, 2, 3, 4}), real(1), real(3, 33)});  // rowSwap([A],1,3)
    EXPECT_EQ(parser.error(), 13);
    EXPECT_EQ(parser.errorToken(), 33);
}

} // namespace
} // namespace orvenda
