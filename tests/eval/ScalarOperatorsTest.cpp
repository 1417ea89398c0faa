#include "eval/ScalarOperators.h"

#include "core/Calculator.h"
#include "eval/Parser.h"

#include "EvalTestSupport.h"

#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

// Results an entry line shows are in tests/cases (arithmetic, operators, modes); these are
// the error positions, significance pairs and values no entry can type.

using namespace orvenda;
using orvenda::testing::cplx;
using orvenda::testing::real;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

constexpr std::uint32_t kRadianMark = 0x0A, kDegreeMark = 0x0B, kRound = 0x12, kFactorial = 0x2D,
                        kNegate = 0xB0, kIPart = 0xB9, kFPart = 0xBA, kExp = 0xBF, kLog = 0xC0, kSin = 0xC2,
                        kAsin = 0xC3, kCos = 0xC4, kTan = 0xC6, kNotB = 0x5C43, kSign = 0xBBFE, kEval = 0xEF98;
constexpr int kPlus = 0x70, kMinus = 0x71, kTimes = 0x82, kDivide = 0x83, kPower = 0xF0, kEq = 0x6A, kLt = 0x6B,
              kAnd = 0x40, kMax = 0x19, kGcd = 0xBB09, kRemainder = 0xEF32, kLogBase = 0xEF34,
              kRoundSigFig = 0x5C64, kRandM = 0x20;

class ScalarOperatorsTest : public ::testing::Test {
protected:
    Calculator calc;
    // Handlers run inside an evaluation, which holds the state lock.
    const std::unique_lock<StateMutex> hold_ = calc.lockState();
    Parser parser{calc};
    ScalarOperators ops{parser};

    int error() { return parser.ctx().error; }
    int errorToken() { return parser.ctx().errorToken; }
    Operand f(std::uint32_t token, const Operand& x)
    {
        parser.ctx().error = 0;
        parser.ctx().errorToken = 0;
        return ops.doOp(token, x);
    }
    double fr(std::uint32_t token, double x) { return f(token, real(x)).value.real(); }
    // Y token X.
    Operand g(int token, const Operand& y, const Operand& x)
    {
        parser.ctx().error = 0;
        parser.ctx().errorToken = 0;
        return ops.doOp(token, x, y);
    }
};

} // namespace

TEST_F(ScalarOperatorsTest, GradianQuarterTurnsAndMarks)
{
    calc.setAngleFormat(2);
    EXPECT_EQ(fr(kSin, 200), 0.0);
    EXPECT_EQ(fr(kCos, 100), 0.0);
    fr(kTan, 100);
    EXPECT_EQ(error(), 17);
    EXPECT_DOUBLE_EQ(fr(kAsin, 1), 100.0);
    EXPECT_DOUBLE_EQ(fr(kDegreeMark, 90), 100.0);
    EXPECT_DOUBLE_EQ(fr(kRadianMark, std::numbers::pi), 200.0);
}

// Y at token 3, X at token 4: the error names the operand at fault.
TEST_F(ScalarOperatorsTest, ErrorsPointAtTheOperandAtFault)
{
    struct Case {
        int token;
        Operand y, x;
        int error, at;
    };
    const Case cases[] = {
        {kDivide, real(1, 3), real(0, 4), 14, 4},
        {kLogBase, real(-8, 3), real(2, 4), 15, 3},
        {kLt, cplx(1, 1, 3), cplx(1, 1, 4), 12, 4},  // the right operand is checked first
        {kLt, cplx(1, 1, 3), real(1, 4), 12, 3},
        {kMax, cplx(1, 1, 3), real(2, 4), 12, 4},
        {kGcd, real(1e12, 3), real(2, 4), 17, 3},
        {kGcd, real(12, 3), real(1.5, 4), 17, 4},
        {kGcd, cplx(2, 1, 3), real(4, 4), 12, 3},
        {kRemainder, real(17, 3), real(0, 4), 14, 4},
        {kRemainder, real(-1, 3), real(5, 4), 17, 3},
        {kRemainder, real(17.5, 3), real(2, 4), 12, 3},
        {kRound, real(1.23, 3), real(11, 4), 17, 4},
        {kRoundSigFig, real(1, 3), real(-1, 4), 17, 4},
        {kRandM, real(2, 3), real(2.5, 4), 27, 4},
        {kRandM, real(-2, 3), real(2, 4), 24, 3},
    };
    for (const Case& c : cases) {
        g(c.token, c.y, c.x);
        EXPECT_EQ(error(), c.error) << std::hex << c.token;
        EXPECT_EQ(errorToken(), c.at) << std::hex << c.token;
    }
    // An infinite operand is an overflow wherever it stands.
    for (int token : {kPlus, kMinus, kDivide, kLt, kEq, kMax}) {
        g(token, real(1, 3), real(kInf, 4));
        EXPECT_EQ(error(), 18) << token;
        EXPECT_EQ(errorToken(), 4);
        g(token, real(-kInf, 3), real(5, 4));
        EXPECT_EQ(error(), 18) << token;
        EXPECT_EQ(errorToken(), 3);
    }
    // A token with no work is a data-type error at the read position.
    parser.ctx().nextToken = 42;
    ops.doOp(0x3F, real(1));
    EXPECT_EQ(error(), 12);
    EXPECT_EQ(errorToken(), 42);
}

// A digit or figure count beyond int reach is refused before any figure is counted.
TEST_F(ScalarOperatorsTest, CountsBeyondIntReachAreDomainErrors)
{
    for (double count : {1e10, -1e10, 1e99, -1e99, 2147483648.0}) {
        for (int token : {int(kRound), int(kRoundSigFig)}) {
            for (double value : {0.0, 5.0}) {
                g(token, real(value, 3), real(count, 4));
                EXPECT_EQ(error(), 17) << std::hex << token << " " << count;
                EXPECT_EQ(errorToken(), 4);
            }
        }
    }
    const Operand r = g(kRoundSigFig, real(123.456, 3), real(2147483647.0, 4));
    EXPECT_EQ(error(), 0);
    EXPECT_EQ(r.value.real(), 123.456);
}

// Values no entry line can type: subnormals, NaN and the library's out-of-domain answers.
TEST_F(ScalarOperatorsTest, UntypableOperands)
{
    EXPECT_EQ(g(kEq, real(1e-320), real(0)).re(), 1.0);
    EXPECT_EQ(g(kEq, real(1e-300), real(0)).re(), 0.0);
    EXPECT_EQ(g(kEq, real(kNaN), real(kNaN)).re(), 0.0);
    EXPECT_EQ(g(kLt, real(kNaN), real(3)).re(), 0.0);
    EXPECT_EQ(g(kAnd, real(2), real(kNaN)).re(), 1.0);
    EXPECT_EQ(fr(kNotB, kNaN), 4294967295.0);
    EXPECT_EQ(fr(kSign, kNaN), 1.0);
    EXPECT_EQ(fr(kSign, -0.0), 0.0);
    EXPECT_FALSE(std::signbit(f(kNegate, real(3)).value.imag()));

    EXPECT_TRUE(std::isnan(fr(0xCB, 0.5)));  // cosh⁻¹( below 1
    EXPECT_EQ(error(), 0);
    EXPECT_TRUE(std::isinf(fr(0xCD, 1)));  // tanh⁻¹(1)
    EXPECT_EQ(error(), 0);
    const double v = fr(kFactorial, -2);
    EXPECT_TRUE(std::isnan(v) || std::isinf(v));
    EXPECT_EQ(error(), 0);
}

TEST_F(ScalarOperatorsTest, SignificancePairs)
{
    struct Case {
        int token;  // one operand when y is absent
        Operand y, x;
        int sigFig, sigDec;
    };
    const Operand none;
    const Case cases[] = {
        {kPlus, real(1.23, 1, 3, -2), real(4.5, 2, 2, -1), 2, -1},  // sums: the coarser decimal
        {kMinus, real(100, 1, 3, 0), real(99.5, 2, 3, -1), 1, 0},
        {kTimes, real(1.23, 1, 3, -2), real(4.5, 2, 2, -1), 2, -1},  // products: the fewer figures
        {kDivide, real(1, 1, 1, 0), real(300, 2, 3, 0), 1, -3},
        {kPower, real(2.0, 1, 2, -1), real(10, 2, 15, -15), 2, 2},
        {kMax, real(3, 5, 2, 0), real(3, 6, 4, -3), 4, -3},  // the right-hand record when equal
        {kExp, none, real(2.00, 1, 3, -2), 2, -1},  // figures from the argument's decimals
        {kLog, none, real(200, 1, 3, 0), 4, -3},    // decimals from the argument's figures
        {kIPart, none, real(12.34, 1, 4, -2), 2, 0},
        {kFPart, none, real(12.34, 1, 4, -2), 2, -2},
        {kFPart, none, real(12, 1, 2, 0), 0, 0},
        {kSin, none, real(30, 1, 2, 0), 15, -15},
        {kNegate, none, real(1.5, 1, 2, -1), 2, -1},
        {kRound, real(12.345, 1, 5, -3), real(2), 4, -2},
        {kRoundSigFig, real(123.456), real(4), 4, -1},
    };
    for (const Case& c : cases) {
        const Operand r = c.y.kind == KindReal ? g(c.token, c.y, c.x) : f(static_cast<std::uint32_t>(c.token), c.x);
        EXPECT_EQ(r.sigFig, c.sigFig) << std::hex << c.token;
        EXPECT_EQ(r.sigDec, c.sigDec) << std::hex << c.token;
    }

    // Rounding by the mode's digits removes recorded decimals, and only those.
    calc.locked()->numDigits = 1;
    Operand r = f(kRound, real(12.345, 1, 5, -3));
    EXPECT_EQ(r.sigFig, 3);
    EXPECT_EQ(r.sigDec, -1);
    r = f(kRound, real(12.3, 1, 3, -1));
    EXPECT_EQ(r.sigFig, 3);
    EXPECT_EQ(r.sigDec, -1);
}

TEST_F(ScalarOperatorsTest, AdjustmentsOfThePair)
{
    Operand op = real(0.01, 1, 1, 0);
    ScalarOperators::adjustSigDec(op);
    EXPECT_EQ(op.sigDec, -3);
    op = real(123.4, 1, 4, 0);
    ScalarOperators::adjustSigDec(op);
    EXPECT_EQ(op.sigDec, -1);
    op = real(0.5, 1, 0, -1);
    ScalarOperators::adjustSigFig(op);
    EXPECT_EQ(op.sigFig, 2);
    op = real(0, 1, 0, -2);
    ScalarOperators::adjustSigFig(op);
    EXPECT_EQ(op.sigFig, 3);
    ScalarOperators::adjustSigDec(op);
    EXPECT_EQ(op.sigDec, -2);  // zero: the inverse of the rule above
    op = real(kInf, 1, 7, 7);
    ScalarOperators::adjustSigDec(op);
    ScalarOperators::adjustSigFig(op);
    EXPECT_EQ(op.sigFig, 7);
    EXPECT_EQ(op.sigDec, 7);
}

TEST_F(ScalarOperatorsTest, DisplayConversionsFollowTheFractionSettings)
{
    calc.locked()->fractionFormat = 4;
    EXPECT_EQ(f(0xEF31, real(0.5)).displayMod, 2);
    calc.locked()->fractionFormat = 0;
    EXPECT_EQ(f(0xEF31, real(0.5)).displayMod, 1);
    parser.ctx().f_nd = true;
    EXPECT_EQ(f(0xEF31, real(0.5)).displayMod, 3);
    EXPECT_EQ(f(0xEF30, real(0.5)).displayMod, 2);
    parser.ctx().f_und = true;
    EXPECT_EQ(f(0xEF30, real(0.5)).displayMod, 1);
}

// Under a decimal comma and another base the tokens still read back as the same number.
TEST_F(ScalarOperatorsTest, NumberTokensReadBackAsTheSameNumber)
{
    using Ops = ScalarOperators::Ops;
    calc.locked()->thousandSeperator = u'.';
    calc.locked()->numDigits = 2;
    const Operand r = f(kEval, real(1234.5));
    ASSERT_TRUE(r.string);
    EXPECT_EQ(*r.string, (Ops{0x31, 0x32, 0x33, 0x34, 0x3A, 0x35}));
    EXPECT_EQ(calc.locked()->numDigits, 2);
    calc.locked()->numDigits = -1;
    calc.locked()->thousandSeperator = u' ';
    calc.locked()->numBase = 2;
    EXPECT_EQ(parser.numToOps(-12), (Ops{0xB0, 0x31, 0x32}));
    calc.locked()->numBase = 0;
    EXPECT_EQ(parser.complexToOps(1, -2), (Ops{0x31, 0x71, 0x32, 0x2C}));
    EXPECT_EQ(parser.complexToOps(0, -1), (Ops{0xB0, 0x2C}));
    EXPECT_EQ(parser.complexToOps(3, 0), (Ops{0x33}));
}

TEST_F(ScalarOperatorsTest, UnitConversionsConvertOrRefuseUnknownUnits)
{
    constexpr std::uint32_t kConversion = 0xBB5D;
    const auto op = [](std::uint32_t unitClass, std::uint32_t from, std::uint32_t to) {
        return kConversion | (unitClass << 26) | (from << 21) | (to << 16);
    };
    EXPECT_EQ(fr(op(3, 0, 6), 1), 1609.344);
    EXPECT_EQ(error(), 0);
    EXPECT_DOUBLE_EQ(fr(op(7, 1, 0), 100), 212);
    EXPECT_EQ(error(), 0);
    // A file may bring any high half: a class, or a unit of its class, past the tables.
    for (std::uint32_t bad : {op(12, 0, 0), op(31, 0, 0), op(3, 20, 0), op(7, 0, 4), op(5, 7, 0)}) {
        fr(bad, 1);
        EXPECT_EQ(error(), 17) << std::hex << bad;
    }
}
