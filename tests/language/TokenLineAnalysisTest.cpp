#include "language/TokenLineAnalysis.h"

#include "core/Calculator.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace orvenda;
using namespace orvenda::test;

namespace {

using Range = TokenLineAnalysis::Range;

// Tokens by their look.
constexpr std::uint32_t kSin = 0xC2, kParen = 0x10, kClose = 0x11, kBracket = 0x06, kBracketEnd = 0x07,
                        kBrace = 0x08, kBraceEnd = 0x09, kQuote = 0x2A, kComma = 0x2B, kColon = 0x3E,
                        kStore = 0x04, kPlus = 0x70, kA = 0x41, kB = 0x42, kX = 0x58, kTheta = 0x5B;
constexpr std::uint32_t d(int digit)
{
    return 0x30 + static_cast<std::uint32_t>(digit);
}

} // namespace

TEST(TokenLineAnalysis, TokensThatOpenAGroup)
{
    for (std::uint32_t op : {0x10u, 0x12u, 0x25u, 0xC2u, 0xD3u, 0xFFu, 0xBB00u, 0xBB2Eu, 0xBB32u, 0xBBFFu,
             0xEF02u, 0xEF98u, 0x5C36u, 0x5C64u, 0xC2u | (5u << 16)})
        EXPECT_TRUE(TokenLineAnalysis::hasLeftParen(op)) << std::hex << op;
    for (std::uint32_t op : {0x06u, 0x08u, 0x11u, 0x26u, 0xBB2Fu, 0xBB31u, 0xEF09u, 0x5C3Au, 0x41u})
        EXPECT_FALSE(TokenLineAnalysis::hasLeftParen(op)) << std::hex << op;
}

TEST(TokenLineAnalysis, ContextAroundTheLocation)
{
    const struct {
        const char* what;
        Calculator::Ops ops;
        int location;
        Range context;
    } cases[] = {
        {"sin( 2 + ( 3: the inner paren, open to the end", {kSin, d(2), kPlus, kParen, d(3)}, 4, {3, 2}},
        {"closed context", {kSin, d(2), kClose, kPlus, d(1)}, 1, {0, 2}},
        {"outside every context", {kSin, d(2), kClose, kPlus, d(1)}, 4, {0, 0}},
        {"a paren inside a string closes nothing", {kParen, kQuote, kClose, kQuote, d(1), kClose}, 4, {0, 5}},
        {"the string itself", {kParen, kQuote, kClose, kA, kQuote}, 3, {1, 3}},
        {"brackets and braces", {kBracket, kBrace, d(1), kBraceEnd, kBracketEnd}, 2, {1, 2}},
        {"mismatched closer", {kParen, d(1), kBracketEnd, kClose}, 1, {0, 0}},
        {"statement end after the location", {kParen, d(1), kColon, d(2)}, 1, {0, 2}},
        {"statement end well before it", {kParen, d(1), kStore, kA, kColon, kParen, d(2)}, 6, {5, 2}},
        {"statement end clears", {kParen, d(1), kColon, d(2), d(3)}, 4, {0, 0}},
        {"cursor at the end of the line", {kSin, d(1)}, 2, {0, 2}},
        {"negative location", {kSin, d(1)}, -1, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TokenLineAnalysis::parenContextInOps(c.ops, c.location), c.context) << c.what;
}

TEST(TokenLineAnalysis, EquationVariablesFollowEquationsOnce)
{
    Calculator calc(kUS);
    auto yEq = std::make_shared<FakeYEq>();
    yEq->equations[0x5E10] = {kA, kPlus, 0x5E10, kPlus, 0x5E11};   // Y₁ = A+Y₁+Y₂
    yEq->equations[0x5E11] = {kTheta, kPlus, 0x5E10};              // Y₂ = θ+Y₁
    calc.yEqManager = yEq;
    calc.locked()->solverEq = {kX, kPlus, 0x5E10, kPlus, kB, kPlus, kX};
    EXPECT_EQ(calc.solverVars(), (Calculator::Ops{kA, kB, kX, kTheta}));
}

TEST(TokenLineAnalysis, ValuesAsTokens)
{
    Calculator calc(kUS);
    calc.locked()->matrices[1] = matrixOf({{1, 2}, {3, 4}});
    calc.locked()->lists["L₂"] = complexes({{1, -2}, {3, 0}});
    calc.locked()->vars[0] = {-5, 9};
    const std::uint32_t kMinus = 0x71, kNegate = 0xB0, kI = 0x2C;
    EXPECT_EQ(calc.valueOpsForVar(0x5C01), (Calculator::Ops{kBracket, kBracket, d(1), kComma, d(2), kBracketEnd,
                                               kBracket, d(3), kComma, d(4), kBracketEnd, kBracketEnd}));
    EXPECT_EQ(calc.valueOpsForVar(0x5D01), (Calculator::Ops{kBrace, d(1), kMinus, d(2), kI, kComma, d(3), kBraceEnd}));
    EXPECT_EQ(calc.valueOpsForVar(0x5D00), (Calculator::Ops{kBrace, kBraceEnd}));
    EXPECT_EQ(calc.valueOpsForVar(kA), (Calculator::Ops{kNegate, d(5)}));
    // Xmin, slot 38 of the window variables.
    EXPECT_EQ(calc.valueOpsForVar(0x630A), (Calculator::Ops{kNegate, d(1)}));
    EXPECT_EQ(calc.valueOpsForVar(0xAA00), std::nullopt);
    EXPECT_EQ(calc.valueOpsForVar(0x5D06), std::nullopt);
}

// A program call runs a program; the same token inside a string is the string's text, up to
// its closing quote, a store or the line's end.
TEST(TokenLineAnalysis, AProgramCallOutsideAString)
{
    constexpr std::uint32_t kProgram = 0x5F, kNewLine = 0x3F;
    const struct {
        const char* what;
        std::vector<std::uint32_t> ops;
        int at;
    } cases[] = {
        {"a call", {kProgram, kA}, 0},
        {"after a value", {d(1), kColon, kProgram, kA}, 2},
        {"in a string", {0xBB2B, kQuote, kProgram, kA, kQuote, kClose}, -1},
        {"after a closed string", {kQuote, kProgram, kQuote, kColon, kProgram, kB}, 4},
        {"after a string a store ends", {kQuote, kA, kStore, kProgram, kB}, 3},
        {"after a string the line ends", {kQuote, kA, kNewLine, kProgram, kB}, 3},
        {"none", {d(1), kPlus, d(2)}, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TokenLineAnalysis::programCallAt(c.ops), c.at) << c.what;
}
