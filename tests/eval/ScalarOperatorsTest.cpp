#include "eval/ScalarOperators.h"

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "eval/Parser.h"

#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

using namespace orvenda;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

enum Mode { Degree = 0, Radian = 1, Gradian = 2 };

Operand real(double x, int location = 1, int sigFig = 15, int sigDec = -15)
{
    Operand op;
    op.kind = KindReal;
    op.value = {x, 0.0};
    op.location = location;
    op.sigFig = sigFig;
    op.sigDec = sigDec;
    return op;
}

Operand cplx(double re, double im, int location = 1)
{
    Operand op = real(re, location);
    op.kind = KindComplex;
    op.value = {re, im};
    return op;
}

class ScalarOperatorsTest : public ::testing::Test {
protected:
    Calculator calc;
    Parser parser{calc};
    ScalarOperators ops{parser};

    int error() { return parser.ctx().error; }
    int errorToken() { return parser.ctx().errorToken; }
    void clearError()
    {
        parser.ctx().error = 0;
        parser.ctx().errorToken = 0;
    }
    // One operand through doOp, error cleared first.
    Operand f(std::uint32_t token, const Operand& x)
    {
        clearError();
        return ops.doOp(token, x);
    }
    double fr(std::uint32_t token, double x) { return f(token, real(x)).value.real(); }
    // Y token X, error cleared first.
    Operand g(int token, const Operand& y, const Operand& x)
    {
        clearError();
        return ops.doOp(token, x, y);
    }
    double gr(int token, double y, double x) { return g(token, real(y, 1), real(x, 2)).value.real(); }
};

// Token codes used below.
constexpr std::uint32_t kRadianMark = 0x0A, kDegreeMark = 0x0B, kInverse = 0x0C, kSquare = 0x0D, kCube = 0x0F,
                        kRound = 0x12, kFactorial = 0x2D, kNegate = 0xB0, kInt = 0xB1, kAbs = 0xB2, kIPart = 0xB9,
                        kFPart = 0xBA, kSqrt = 0xBC, kCbrt = 0xBD, kLn = 0xBE, kExp = 0xBF, kLog = 0xC0,
                        kTenPow = 0xC1, kSin = 0xC2, kAsin = 0xC3, kCos = 0xC4, kTan = 0xC6, kAtan = 0xC7,
                        kNotB = 0x5C43, kConj = 0xBB25, kAngle = 0xBB28, kPercent = 0xBBDA, kShift = 0xBBFA,
                        kRotate = 0xBBFB, kSign = 0xBBFE, kLn1p = 0xBBFF, kIdentity = 0xB4, kTimeCnv = 0xEF05,
                        kEval = 0xEF98;
constexpr int kPlus = 0x70, kMinus = 0x71, kTimes = 0x82, kDivide = 0x83, kND = 0xEF38, kPower = 0xF0,
              kXRoot = 0xF1, kEq = 0x6A, kNe = 0x6F, kLt = 0x6B, kGt = 0x6C, kLe = 0x6D, kGe = 0x6E, kAnd = 0x40,
              kOr = 0x3C, kXor = 0x3D, kAndB = 0x5C40, kOrB = 0x5C41, kXorB = 0x5C42, kMax = 0x19, kMin = 0x1A,
              kRtoPr = 0x1B, kRtoPtheta = 0x1C, kPtoRx = 0x1D, kPtoRy = 0x1E, kHypot = 0x5C3D, kAtan2 = 0x5C3E,
              kNPr = 0x94, kNCr = 0x95, kRoundSigFig = 0x5C64, kNom = 0xBB05, kEff = 0xBB06, kDbd = 0xBB07,
              kLcm = 0xBB08, kGcd = 0xBB09, kTpdf = 0xBB1C, kRemainder = 0xEF32, kLogBase = 0xEF34,
              kRandM = 0x20;

} // namespace

// ---- Trigonometry in every angle unit ----

TEST_F(ScalarOperatorsTest, DegreeQuarterTurnsAreExact) {
    calc.setAngleFormat(Degree);
    EXPECT_EQ(fr(kSin, 180), 0.0);
    EXPECT_EQ(fr(kSin, 90), 1.0);
    EXPECT_EQ(fr(kCos, 90), 0.0);
    EXPECT_EQ(fr(kCos, 180), -1.0);
    EXPECT_EQ(fr(kTan, 180), 0.0);
    EXPECT_DOUBLE_EQ(fr(kSin, 30), 0.5);
    EXPECT_EQ(error(), 0);

    fr(kTan, 90);
    EXPECT_EQ(error(), 17);
    fr(kTan, 270);
    EXPECT_EQ(error(), 17);
    // A negative quarter turn keeps the library tangent.
    const double t = fr(kTan, -90);
    EXPECT_EQ(error(), 0);
    EXPECT_TRUE(std::fabs(t) > 1e15);
}

TEST_F(ScalarOperatorsTest, RadianAndGradianQuarterTurns) {
    calc.setAngleFormat(Radian);
    EXPECT_EQ(fr(kSin, std::numbers::pi), 0.0);
    EXPECT_EQ(fr(kCos, std::numbers::pi / 2), 0.0);
    fr(kTan, std::numbers::pi / 2);
    EXPECT_EQ(error(), 17);
    EXPECT_DOUBLE_EQ(fr(kAtan, 1), std::numbers::pi / 4);

    calc.setAngleFormat(Gradian);
    EXPECT_EQ(fr(kSin, 200), 0.0);
    EXPECT_EQ(fr(kCos, 100), 0.0);
    fr(kTan, 100);
    EXPECT_EQ(error(), 17);
    EXPECT_DOUBLE_EQ(fr(kAsin, 1), 100.0);
}

TEST_F(ScalarOperatorsTest, InverseTrigDomainAndComplexArguments) {
    calc.setAngleFormat(Degree);
    EXPECT_DOUBLE_EQ(fr(kAsin, 0.5), 30.0);
    EXPECT_TRUE(std::isnan(fr(kAsin, 1.5)));
    EXPECT_EQ(error(), 17);
    // A complex argument is a data-type error, still computed on the real part.
    Operand r = f(kSin, cplx(90, 1));
    EXPECT_EQ(error(), 12);
    EXPECT_EQ(r.value.real(), 1.0);
}

TEST_F(ScalarOperatorsTest, AngleMarks) {
    calc.setAngleFormat(Radian);
    EXPECT_EQ(fr(kDegreeMark, 30), 0.5235987755982988);
    EXPECT_EQ(fr(kRadianMark, 2), 2.0);
    calc.setAngleFormat(Degree);
    EXPECT_EQ(fr(kDegreeMark, 30), 30.0);
    EXPECT_DOUBLE_EQ(fr(kRadianMark, std::numbers::pi), 180.0);
    calc.setAngleFormat(Gradian);
    EXPECT_DOUBLE_EQ(fr(kDegreeMark, 90), 100.0);
    EXPECT_DOUBLE_EQ(fr(kRadianMark, std::numbers::pi), 200.0);
}

TEST_F(ScalarOperatorsTest, PolarAndRectangularConversions) {
    calc.setAngleFormat(Degree);
    EXPECT_EQ(gr(kPtoRx, 2, 90), 0.0);
    EXPECT_EQ(gr(kPtoRy, 2, 90), 2.0);
    EXPECT_DOUBLE_EQ(gr(kRtoPr, 3, 4), 5.0);
    EXPECT_DOUBLE_EQ(gr(kRtoPtheta, 1, 1), 45.0);
    EXPECT_DOUBLE_EQ(gr(kHypot, 3, 4), 5.0);
    EXPECT_DOUBLE_EQ(gr(kAtan2, 1, 0), 90.0);  // atan2(y, x)
    calc.setAngleFormat(Radian);
    EXPECT_DOUBLE_EQ(gr(kRtoPtheta, 0, 1), std::numbers::pi / 2);
    g(kRtoPr, cplx(1, 1), real(1));
    EXPECT_EQ(error(), 12);
}

// ---- Roots, powers, exponentials and logarithms ----

TEST_F(ScalarOperatorsTest, SquareRootOfNegativeIsExactlyPositiveImaginary) {
    for (int mode : {0, 1, 2}) {
        calc.setRealCplxMode(mode);
        Operand r = f(kSqrt, real(-4));
        EXPECT_EQ(r.value, std::complex<double>(0.0, 2.0));
        // Complex result: the dispatcher turns it into error 15 in Real mode.
        EXPECT_EQ(r.kind, KindComplex);
        EXPECT_EQ(error(), 0);
    }
    EXPECT_EQ(fr(kSqrt, 9), 3.0);
    EXPECT_EQ(f(kSqrt, cplx(-3, 4)).value, std::complex<double>(1, 2));
}

TEST_F(ScalarOperatorsTest, CubeRoots) {
    EXPECT_EQ(fr(kCbrt, -8), -2.0);
    Operand r = f(kCbrt, cplx(-8, 0.0));
    EXPECT_EQ(r.value.real(), -2.0);  // a kind-2 value with zero imaginary part stays real
    r = f(kCbrt, cplx(0, 8));
    EXPECT_NEAR(r.value.real(), std::sqrt(3.0), 1e-15);
    EXPECT_NEAR(r.value.imag(), 1.0, 1e-15);
    // x-th root: 3 ˣ√ -8.
    EXPECT_EQ(gr(kXRoot, 3, -8), -2.0);
    EXPECT_EQ(gr(kXRoot, 2, 16), 4.0);
}

TEST_F(ScalarOperatorsTest, PowersWithNegativeBases) {
    EXPECT_EQ(gr(kPower, -8, 1.0 / 3), -2.0);
    EXPECT_EQ(gr(kPower, -8, 2.0 / 3), 4.0);
    EXPECT_EQ(gr(kPower, -2, 3), -8.0);
    EXPECT_EQ(gr(kPower, 2, 10), 1024.0);
    Operand r = g(kPower, real(-4), real(0.5));
    EXPECT_EQ(r.value, std::complex<double>(0.0, 2.0));
    EXPECT_EQ(r.kind, KindComplex);
    EXPECT_DOUBLE_EQ(gr(kPower, -8, -1.0 / 3), -0.5);
}

TEST_F(ScalarOperatorsTest, ZeroToANonPositivePowerIsADomainError) {
    gr(kPower, 0, 0);
    EXPECT_EQ(error(), 17);
    gr(kPower, 0, -1);
    EXPECT_EQ(error(), 17);
    EXPECT_EQ(gr(kPower, 0, 2), 0.0);
    EXPECT_EQ(error(), 0);
}

TEST_F(ScalarOperatorsTest, ExactQuarterTurnsOfEAndI) {
    calc.setRealCplxMode(1);
    const Operand e = real(std::numbers::e);
    Operand r = g(kPower, e, cplx(0, std::numbers::pi));
    EXPECT_EQ(r.value, std::complex<double>(-1.0, 0.0));
    EXPECT_EQ(r.kind, KindComplex);  // a complex operand keeps the kind
    EXPECT_EQ(g(kPower, e, cplx(0, std::numbers::pi / 2)).value, std::complex<double>(0.0, 1.0));
    EXPECT_EQ(g(kPower, e, cplx(0, -std::numbers::pi / 2)).value, std::complex<double>(0.0, -1.0));
    EXPECT_EQ(g(kPower, cplx(0, 1), real(2)).value, std::complex<double>(-1.0, 0.0));
    // The e^( function gives the same exact value.
    EXPECT_EQ(f(kExp, cplx(0, std::numbers::pi)).value, std::complex<double>(-1.0, 0.0));
}

TEST_F(ScalarOperatorsTest, ExponentialsAndLogarithms) {
    calc.setRealCplxMode(0);
    EXPECT_DOUBLE_EQ(fr(kExp, 1), std::numbers::e);
    EXPECT_EQ(fr(kTenPow, 3), 1000.0);
    EXPECT_EQ(fr(kLog, 100), 2.0);
    fr(kLn, 0);
    EXPECT_EQ(error(), 17);
    fr(kLn, -1);
    EXPECT_EQ(error(), 15);
    fr(kLn1p, -1);
    EXPECT_EQ(error(), 17);
    EXPECT_DOUBLE_EQ(fr(kLn1p, 1e-20), 1e-20);

    calc.setRealCplxMode(1);
    Operand r = f(kLn, real(-1));
    EXPECT_EQ(error(), 0);
    EXPECT_EQ(r.value, std::complex<double>(0.0, std::numbers::pi));
    // A purely imaginary argument has a logarithm.
    r = f(kLn, cplx(0, 1));
    EXPECT_EQ(error(), 0);
    EXPECT_DOUBLE_EQ(r.value.imag(), std::numbers::pi / 2);
}

TEST_F(ScalarOperatorsTest, ComplexResultsInBothComplexModes) {
    for (int mode : {1, 2}) {
        calc.setRealCplxMode(mode);
        EXPECT_EQ(f(kLn, real(-1)).value, std::complex<double>(0.0, std::numbers::pi));
        Operand r = f(kLog, real(-100));
        EXPECT_EQ(error(), 0);
        EXPECT_DOUBLE_EQ(r.value.real(), 2.0);
        EXPECT_EQ(r.kind, KindComplex);
        EXPECT_EQ(f(kExp, cplx(0, std::numbers::pi / 2)).value, std::complex<double>(0.0, 1.0));
        EXPECT_EQ(g(kPower, real(-4), real(0.5)).value, std::complex<double>(0.0, 2.0));
    }
    // Real mode: a complex argument still takes the complex path.
    calc.setRealCplxMode(0);
    EXPECT_EQ(f(kExp, cplx(0, std::numbers::pi)).value, std::complex<double>(-1.0, 0.0));
    // A zero imaginary part is no complex argument, whatever the kind.
    f(kLn, cplx(-1, 0));
    EXPECT_EQ(error(), 15);
    f(kLog, real(-100));
    EXPECT_EQ(error(), 15);
}

TEST_F(ScalarOperatorsTest, TwoArgumentLogarithm) {
    calc.setRealCplxMode(0);
    EXPECT_DOUBLE_EQ(gr(kLogBase, 8, 2), 3.0);
    EXPECT_EQ(gr(kLog, 1000, 10), 3.0);
    g(kLogBase, real(-8, 4), real(2, 5));
    EXPECT_EQ(error(), 15);
    EXPECT_EQ(errorToken(), 4);
    g(kLogBase, real(0, 4), real(2, 5));
    EXPECT_EQ(error(), 17);
    calc.setRealCplxMode(1);
    Operand r = g(kLogBase, real(-8), real(2));
    EXPECT_EQ(error(), 0);
    EXPECT_DOUBLE_EQ(r.value.real(), 3.0);
    EXPECT_DOUBLE_EQ(r.value.imag(), std::numbers::pi / std::numbers::ln2);
}

// ---- Arithmetic ----

TEST_F(ScalarOperatorsTest, ArithmeticIsLeftOpRight) {
    EXPECT_EQ(gr(kMinus, 7, 2), 5.0);
    EXPECT_EQ(gr(kDivide, 1, 4), 0.25);
    EXPECT_EQ(gr(kTimes, 3, 4), 12.0);
    EXPECT_EQ(g(kTimes, cplx(1, 2), cplx(3, 4)).value, std::complex<double>(-5, 10));
    EXPECT_EQ(g(kDivide, cplx(-5, 10), cplx(3, 4)).value, std::complex<double>(1, 2));
    g(kDivide, real(1, 3), real(0, 7));
    EXPECT_EQ(error(), 14);
    EXPECT_EQ(errorToken(), 7);
    g(kDivide, cplx(1, 1), cplx(0, 0));
    EXPECT_EQ(error(), 14);
    EXPECT_FALSE(parser.ctx().f_nd);
    EXPECT_EQ(gr(kND, 3, 4), 0.75);
    EXPECT_TRUE(parser.ctx().f_nd);
}

TEST_F(ScalarOperatorsTest, InfiniteOperandIsAnOverflow) {
    for (int token : {kPlus, kMinus, kDivide, kLt, kEq, kMax}) {
        g(token, real(1, 3), real(kInf, 4));
        EXPECT_EQ(error(), 18) << token;
        EXPECT_EQ(errorToken(), 4);
        g(token, real(-kInf, 3), real(5, 4));
        EXPECT_EQ(error(), 18) << token;
        EXPECT_EQ(errorToken(), 3);
    }
}

TEST_F(ScalarOperatorsTest, OneOperandArithmetic) {
    fr(kInverse, 0);
    EXPECT_EQ(error(), 14);
    EXPECT_EQ(fr(kInverse, 4), 0.25);
    EXPECT_EQ(f(kInverse, cplx(0, 2)).value, std::complex<double>(0, -0.5));
    EXPECT_EQ(f(kSquare, cplx(0, 1)).value, std::complex<double>(-1, 0));
    EXPECT_EQ(f(kCube, cplx(0, 1)).value, std::complex<double>(0, -1));
    EXPECT_EQ(fr(kCube, -2), -8.0);
    EXPECT_EQ(fr(kFactorial, 5), 120.0);
    EXPECT_EQ(fr(kPercent, 50), 0.5);
    Operand n = f(kNegate, real(3));
    EXPECT_EQ(n.value.real(), -3.0);
    EXPECT_FALSE(std::signbit(n.value.imag()));
    Operand a = f(kAbs, cplx(3, 4));
    EXPECT_EQ(a.value.real(), 5.0);
    EXPECT_EQ(a.kind, KindReal);
    EXPECT_EQ(f(kConj, cplx(1, 2)).value, std::complex<double>(1, -2));
    calc.setAngleFormat(Degree);
    EXPECT_DOUBLE_EQ(fr(kAngle, -1), 180.0);
}

TEST_F(ScalarOperatorsTest, OutOfDomainLibraryValuesRaiseNothing) {
    EXPECT_TRUE(std::isnan(fr(0xCB, 0.5)));  // cosh⁻¹( below 1
    EXPECT_EQ(error(), 0);
    EXPECT_TRUE(std::isinf(fr(0xCD, 1)));  // tanh⁻¹(1)
    EXPECT_EQ(error(), 0);
    const double v = fr(kFactorial, -2);
    EXPECT_TRUE(std::isnan(v) || std::isinf(v));
    EXPECT_EQ(error(), 0);
    EXPECT_DOUBLE_EQ(fr(kFactorial, 0.5), std::sqrt(std::numbers::pi) / 2);
    f(kFactorial, cplx(1, 1));
    EXPECT_EQ(error(), 12);
}

TEST_F(ScalarOperatorsTest, WholeAndFractionalParts) {
    EXPECT_EQ(fr(kInt, -2.5), -3.0);
    EXPECT_EQ(fr(kIPart, -2.5), -2.0);
    EXPECT_EQ(fr(kFPart, -2.5), -0.5);
    EXPECT_EQ(f(kInt, cplx(2.5, 3)).kind, KindReal);
    EXPECT_EQ(error(), 0);
    EXPECT_EQ(fr(kSign, -0.0), 0.0);
    EXPECT_EQ(fr(kSign, -3), -1.0);
    EXPECT_EQ(fr(kSign, kNaN), 1.0);
}

TEST_F(ScalarOperatorsTest, UnknownTokenIsADataTypeErrorAtTheReadPosition) {
    parser.ctx().nextToken = 42;
    f(0x3F, real(1));
    EXPECT_EQ(error(), 12);
    EXPECT_EQ(errorToken(), 42);
    g(0x3F, real(1), real(2));
    EXPECT_EQ(error(), 12);
}

// ---- Relations and logic ----

TEST_F(ScalarOperatorsTest, EqualityTolerance) {
    EXPECT_EQ(gr(kEq, 0.1 + 0.2, 0.3), 1.0);
    EXPECT_EQ(gr(kEq, 1e-320, 0), 1.0);
    EXPECT_EQ(gr(kEq, 1e-300, 0), 0.0);
    EXPECT_EQ(gr(kEq, 1, 1.00000000001), 1.0);
    EXPECT_EQ(gr(kEq, 1, 1.001), 0.0);
    EXPECT_EQ(gr(kNe, 1, 1.001), 1.0);
    EXPECT_EQ(gr(kEq, 1e308, 1.7e308), 0.0);
    EXPECT_EQ(gr(kEq, kNaN, kNaN), 0.0);
    // Complex operands compare exactly.
    EXPECT_EQ(g(kEq, cplx(1, 1), cplx(1, 1)).value.real(), 1.0);
    EXPECT_EQ(g(kEq, cplx(1, 1), cplx(1.00000000001, 1)).value.real(), 0.0);
    EXPECT_EQ(g(kEq, cplx(1, 0), real(1)).value.real(), 1.0);
}

TEST_F(ScalarOperatorsTest, RelationsAreExact) {
    EXPECT_EQ(gr(kLt, 3, 3.00000000001), 1.0);
    EXPECT_EQ(gr(kGt, 3, 2), 1.0);
    EXPECT_EQ(gr(kLe, 3, 3), 1.0);
    EXPECT_EQ(gr(kGe, 2, 3), 0.0);
    EXPECT_EQ(gr(kLt, kNaN, 3), 0.0);
    g(kLt, cplx(1, 1, 3), cplx(1, 1, 4));
    EXPECT_EQ(error(), 12);
    EXPECT_EQ(errorToken(), 4);  // the right operand is checked first
    g(kLt, cplx(1, 1, 3), real(1, 4));
    EXPECT_EQ(errorToken(), 3);
}

TEST_F(ScalarOperatorsTest, LogicalOperators) {
    EXPECT_EQ(gr(kAnd, 2, 0), 0.0);
    EXPECT_EQ(gr(kAnd, 2, kNaN), 1.0);
    EXPECT_EQ(gr(kOr, 0, 0), 0.0);
    EXPECT_EQ(gr(kOr, 0, -1), 1.0);
    EXPECT_EQ(gr(kXor, 1, 1), 0.0);
    EXPECT_EQ(gr(kXor, 1, 0), 1.0);
}

// ---- Bitwise ----

TEST_F(ScalarOperatorsTest, BitwiseOperatorsOnUnsigned32Bits) {
    EXPECT_EQ(fr(kNotB, 5), 4294967290.0);
    EXPECT_EQ(fr(kNotB, -7), 4294967295.0);
    EXPECT_EQ(fr(kNotB, kNaN), 4294967295.0);
    EXPECT_EQ(gr(kAndB, 12, 10), 8.0);
    EXPECT_EQ(gr(kOrB, 12, 10), 14.0);
    EXPECT_EQ(gr(kXorB, 12, 10), 6.0);
    EXPECT_EQ(gr(kOrB, 1e20, -5), 4294967295.0);
    g(kAndB, real(1), cplx(1, 1));
    EXPECT_EQ(error(), 12);
}

TEST_F(ScalarOperatorsTest, ShiftAndRotate) {
    EXPECT_EQ(gr(kShift, 1, 3), 8.0);
    EXPECT_EQ(gr(kShift, 8, -3), 1.0);
    EXPECT_EQ(gr(kRotate, 1, -1), 2147483648.0);
    EXPECT_EQ(gr(kRotate, 2147483648.0, 1), 1.0);
    EXPECT_EQ(gr(kShift, 1, 1e300), 0.0);
    EXPECT_EQ(error(), 0);
    EXPECT_EQ(gr(kShift, 1.5, 1), 2.0);  // still computed
    EXPECT_EQ(error(), 27);
    EXPECT_EQ(fr(kShift, 4), 2.0);
    EXPECT_EQ(fr(kRotate, 1), 2147483648.0);
    fr(kRotate, 1.5);
    EXPECT_EQ(error(), 27);
    f(kShift, cplx(4, 1));
    EXPECT_EQ(error(), 12);
}

// ---- max( and min( ----

TEST_F(ScalarOperatorsTest, MaxAndMinChooseWholeRecords) {
    Operand r = g(kMax, real(3, 5, 2, 0), real(3, 6, 4, -3));
    EXPECT_EQ(r.sigFig, 4);  // the right-hand record when equal
    r = g(kMax, real(4, 5, 2, 0), real(3, 6, 4, -3));
    EXPECT_EQ(r.value.real(), 4.0);
    EXPECT_EQ(r.sigFig, 2);
    EXPECT_EQ(gr(kMin, 3, 2), 2.0);
    EXPECT_EQ(gr(kMin, 2, 3), 2.0);
    EXPECT_EQ(g(kMax, cplx(1, 1), cplx(0, 2)).value, std::complex<double>(0, 2));
    EXPECT_EQ(g(kMin, cplx(1, 1), cplx(0, 2)).value, std::complex<double>(1, 1));
    g(kMax, cplx(1, 1, 3), real(2, 4));
    EXPECT_EQ(error(), 12);
    EXPECT_EQ(errorToken(), 4);
}

// ---- Counting and number theory ----

TEST_F(ScalarOperatorsTest, PermutationsAndCombinations) {
    EXPECT_EQ(gr(kNCr, 52, 5), 2598960.0);
    EXPECT_EQ(gr(kNPr, 5, 3), 60.0);
    EXPECT_EQ(gr(kNCr, 3, 5), 0.0);
    g(kNCr, real(5), cplx(2, 1));
    EXPECT_EQ(error(), 12);
}

TEST_F(ScalarOperatorsTest, GcdAndLcmRanges) {
    EXPECT_EQ(gr(kGcd, 12, 18), 6.0);
    EXPECT_EQ(gr(kLcm, 4, 6), 12.0);
    g(kGcd, real(1e12, 3), real(2, 4));
    EXPECT_EQ(error(), 17);
    EXPECT_EQ(errorToken(), 3);
    g(kGcd, real(12, 3), real(1.5, 4));
    EXPECT_EQ(error(), 17);
    EXPECT_EQ(errorToken(), 4);
    g(kLcm, real(-2, 3), real(4, 4));
    EXPECT_EQ(error(), 17);
    g(kGcd, cplx(2, 1, 3), real(4, 4));
    EXPECT_EQ(error(), 12);
    EXPECT_EQ(errorToken(), 3);
}

TEST_F(ScalarOperatorsTest, Remainder) {
    EXPECT_EQ(gr(kRemainder, 17, 5), 2.0);
    EXPECT_EQ(gr(kRemainder, 0, 5), 0.0);
    g(kRemainder, real(17, 3), real(0, 4));
    EXPECT_EQ(error(), 14);
    EXPECT_EQ(errorToken(), 4);
    g(kRemainder, real(-1, 3), real(5, 4));
    EXPECT_EQ(error(), 17);
    EXPECT_EQ(errorToken(), 3);
    g(kRemainder, real(17, 3), real(2.5, 4));
    EXPECT_EQ(error(), 12);
    g(kRemainder, real(17.5, 3), real(2, 4));
    EXPECT_EQ(error(), 12);
    EXPECT_EQ(errorToken(), 3);
}

// ---- Rounding ----

TEST_F(ScalarOperatorsTest, RoundWithDigits) {
    EXPECT_EQ(gr(kRound, 2.5, 0), 3.0);
    EXPECT_EQ(gr(kRound, -2.5, 0), -3.0);
    EXPECT_DOUBLE_EQ(gr(kRound, 2.345, 2), 2.35);
    EXPECT_EQ(gr(kRound, 1.23456, 10), 1.23456);
    g(kRound, real(1.23, 3), real(11, 4));
    EXPECT_EQ(error(), 17);
    EXPECT_EQ(errorToken(), 4);
    g(kRound, real(1.23), real(1.5));
    EXPECT_EQ(error(), 17);
    EXPECT_EQ(g(kRound, cplx(1.26, 2.34), real(1)).value, std::complex<double>(1.3, 2.3));
}

TEST_F(ScalarOperatorsTest, RoundByTheModeDigits) {
    calc.numDigits = 2;
    EXPECT_DOUBLE_EQ(fr(kRound, 2.345), 2.35);
    calc.numDigits = -1;
    EXPECT_EQ(fr(kRound, 2.345), 2.345);
}

TEST_F(ScalarOperatorsTest, RoundToSignificantFigures) {
    Operand r = g(kRoundSigFig, real(123.456), real(4));
    EXPECT_DOUBLE_EQ(r.value.real(), 123.5);
    EXPECT_EQ(r.sigFig, 4);
    EXPECT_EQ(r.sigDec, -1);
    g(kRoundSigFig, real(1), real(-1, 4));
    EXPECT_EQ(error(), 17);
    EXPECT_EQ(errorToken(), 4);
}

// ---- Finance, dates and densities ----

TEST_F(ScalarOperatorsTest, InterestConversions) {
    EXPECT_NEAR(gr(kEff, 12, 12), 12.682503013196972, 1e-12);
    EXPECT_NEAR(gr(kNom, 12.682503013196972, 12), 12.0, 1e-12);
}

TEST_F(ScalarOperatorsTest, DaysBetweenDates) {
    calc.dateFormat = 0;
    EXPECT_EQ(gr(kDbd, 1.0107, 1.0108), 365.0);
    gr(kDbd, 2.3007, 1.0108);
    EXPECT_EQ(error(), 59);
    calc.dateFormat = 1;
    EXPECT_EQ(gr(kDbd, 101.07, 101.08), 365.0);
}

TEST_F(ScalarOperatorsTest, Densities) {
    EXPECT_NEAR(gr(kTpdf, 0, 1), 1 / std::numbers::pi, 1e-15);
}

// ---- Significance pairs ----

TEST_F(ScalarOperatorsTest, SumsKeepTheCoarserDecimal) {
    Operand r = g(kPlus, real(1.23, 1, 3, -2), real(4.5, 2, 2, -1));
    EXPECT_EQ(r.sigDec, -1);
    EXPECT_EQ(r.sigFig, 2);
    r = g(kMinus, real(100, 1, 3, 0), real(99.5, 2, 3, -1));
    EXPECT_EQ(r.sigDec, 0);
    EXPECT_EQ(r.sigFig, 1);
}

TEST_F(ScalarOperatorsTest, ProductsKeepTheFewerFigures) {
    Operand r = g(kTimes, real(1.23, 1, 3, -2), real(4.5, 2, 2, -1));
    EXPECT_EQ(r.sigFig, 2);
    EXPECT_EQ(r.sigDec, -1);  // 5.535
    r = g(kDivide, real(1, 1, 1, 0), real(300, 2, 3, 0));
    EXPECT_EQ(r.sigFig, 1);
    EXPECT_EQ(r.sigDec, -3);  // 0.00333
    r = g(kPower, real(2.0, 1, 2, -1), real(10, 2, 15, -15));
    EXPECT_EQ(r.sigFig, 2);
    EXPECT_EQ(r.sigDec, 2);  // 1024 to two figures: 1.0ᴱ3
}

TEST_F(ScalarOperatorsTest, OneOperandPairRules) {
    // exponential: as many figures as the argument has decimals.
    Operand r = f(kExp, real(2.00, 1, 3, -2));
    EXPECT_EQ(r.sigFig, 2);
    EXPECT_EQ(r.sigDec, -1);  // 7.4
    // logarithm: as many decimals as the argument has figures.
    r = f(kLog, real(200, 1, 3, 0));
    EXPECT_EQ(r.sigDec, -3);
    EXPECT_EQ(r.sigFig, 4);  // 2.301
    // integer and fraction
    r = f(kIPart, real(12.34, 1, 4, -2));
    EXPECT_EQ(r.sigFig, 2);
    EXPECT_EQ(r.sigDec, 0);
    r = f(kFPart, real(12.34, 1, 4, -2));
    EXPECT_EQ(r.sigFig, 2);
    EXPECT_EQ(r.sigDec, -2);
    r = f(kFPart, real(12, 1, 2, 0));
    EXPECT_EQ(r.sigFig, 0);
    EXPECT_EQ(r.sigDec, 0);
    // exact and kept
    r = f(kSin, real(30, 1, 2, 0));
    EXPECT_EQ(r.sigFig, 15);
    EXPECT_EQ(r.sigDec, -15);
    r = f(kNegate, real(1.5, 1, 2, -1));
    EXPECT_EQ(r.sigFig, 2);
    EXPECT_EQ(r.sigDec, -1);
}

TEST_F(ScalarOperatorsTest, RoundingRemovingRecordedDecimals) {
    calc.numDigits = 1;
    Operand r = f(kRound, real(12.345, 1, 5, -3));
    EXPECT_DOUBLE_EQ(r.value.real(), 12.3);
    EXPECT_EQ(r.sigDec, -1);
    EXPECT_EQ(r.sigFig, 3);
    r = f(kRound, real(12.3, 1, 3, -1));  // nothing removed
    EXPECT_EQ(r.sigFig, 3);
    EXPECT_EQ(r.sigDec, -1);
    r = g(kRound, real(12.345, 1, 5, -3), real(2));
    EXPECT_EQ(r.sigDec, -2);
    EXPECT_EQ(r.sigFig, 4);
}

TEST_F(ScalarOperatorsTest, AdjustmentsOfThePair) {
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

// ---- Display conversions and value-building tokens ----

TEST_F(ScalarOperatorsTest, DisplayConversionsKeepTheValue) {
    Operand r = f(0x03, real(0.5, 1, 2, -1));  // ▸Frac
    EXPECT_EQ(r.displayMod, 1);
    EXPECT_EQ(r.value.real(), 0.5);
    EXPECT_EQ(r.sigFig, 2);
    EXPECT_EQ(f(0xBBF7, real(255)).displayMod, 5);
    EXPECT_EQ(f(0xBB30, cplx(1, 1)).kind, KindComplex);

    calc.fractionFormat = 4;
    EXPECT_EQ(f(0xEF31, real(0.5)).displayMod, 2);
    calc.fractionFormat = 0;
    EXPECT_EQ(f(0xEF31, real(0.5)).displayMod, 1);
    parser.ctx().f_nd = true;
    EXPECT_EQ(f(0xEF31, real(0.5)).displayMod, 3);
    EXPECT_EQ(f(0xEF30, real(0.5)).displayMod, 2);
    parser.ctx().f_und = true;
    EXPECT_EQ(f(0xEF30, real(0.5)).displayMod, 1);
}

TEST_F(ScalarOperatorsTest, IdentityAndTimeConversion) {
    Operand r = f(kIdentity, real(2.9));
    ASSERT_EQ(r.kind, KindMatrix);
    ASSERT_TRUE(r.matrix);
    EXPECT_EQ(r.matrix->dimRow(), 2u);
    EXPECT_EQ(r.matrix->dimCol(), 2u);
    r = f(kIdentity, real(-3));
    ASSERT_TRUE(r.matrix);
    EXPECT_EQ(r.matrix->dimRow(), 0u);

    r = f(kTimeCnv, real(100000));
    ASSERT_EQ(r.kind, KindRealList);
    ASSERT_TRUE(r.list);
    ASSERT_EQ(r.list->count(), 4);
    const double expected[] = {1, 3, 46, 40};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(r.list->realAtIndex(i), expected[i]);
}

TEST_F(ScalarOperatorsTest, EvalSpellsTheValueInTokens) {
    calc.numDigits = 2;
    calc.thousandSeperator = u'.';
    Operand r = f(kEval, real(1234.5));
    ASSERT_EQ(r.kind, KindString);
    ASSERT_TRUE(r.string);
    const Operand::Ops expected = {0x31, 0x32, 0x33, 0x34, 0x3A, 0x35};
    EXPECT_EQ(*r.string, expected);
    EXPECT_EQ(calc.numDigits, 2);
}

TEST_F(ScalarOperatorsTest, NumberTokensReadBackAsTheSameNumber) {
    calc.thousandSeperator = u'.';  // decimal comma
    EXPECT_EQ(parser.numToOps(1234.5), (ScalarOperators::Ops{0x31, 0x32, 0x33, 0x34, 0x3A, 0x35}));
    calc.thousandSeperator = u' ';
    calc.numBase = 2;
    EXPECT_EQ(parser.numToOps(-12), (ScalarOperators::Ops{0xB0, 0x31, 0x32}));
    calc.numBase = 0;
    EXPECT_EQ(parser.complexToOps(1, -2), (ScalarOperators::Ops{0x31, 0x71, 0x32, 0x2C}));
    EXPECT_EQ(parser.complexToOps(0, -1), (ScalarOperators::Ops{0xB0, 0x2C}));
    EXPECT_EQ(parser.complexToOps(3, 0), (ScalarOperators::Ops{0x33}));
}

TEST_F(ScalarOperatorsTest, RandomMatrixDimensions) {
    Operand r = g(kRandM, real(2, 3), real(3, 4));
    ASSERT_EQ(r.kind, KindMatrix);
    ASSERT_TRUE(r.matrix);
    EXPECT_EQ(r.matrix->dimRow(), 2u);
    EXPECT_EQ(r.matrix->dimCol(), 3u);
    g(kRandM, real(2, 3), real(2.5, 4));
    EXPECT_EQ(error(), 27);
    EXPECT_EQ(errorToken(), 4);
    g(kRandM, real(-2, 3), real(2, 4));
    EXPECT_EQ(error(), 24);
    EXPECT_EQ(errorToken(), 3);
}

TEST_F(ScalarOperatorsTest, ResultKindFollowsTheValueAndOperands) {
    EXPECT_EQ(g(kPlus, cplx(1, 1), cplx(1, -1)).kind, KindComplex);
    EXPECT_EQ(g(kPlus, real(1), real(2)).kind, KindReal);
    EXPECT_EQ(f(kSquare, cplx(0, 1)).kind, KindReal);
    Operand r = g(kPlus, real(1, 5), real(2, 3));
    EXPECT_EQ(r.location, 3);
    EXPECT_EQ(r.error, 0);
}

TEST_F(ScalarOperatorsTest, ParserForwardsToTheOperators) {
    clearError();
    EXPECT_EQ(parser.doOp(kNCr, real(5), real(52)).value.real(), 2598960.0);
    EXPECT_EQ(parser.op(kMinus, real(2), real(7)).value.real(), 5.0);
    EXPECT_EQ(parser.doOp(kSqrt, real(-4)).value, std::complex<double>(0, 2));
    calc.setAngleFormat(Degree);
    EXPECT_EQ(parser.op(kCos, real(90)).value.real(), 0.0);
    EXPECT_DOUBLE_EQ(parser.toRadians(180), std::numbers::pi);
    EXPECT_EQ(Parser::shift(1, 3), 8.0);
    EXPECT_EQ(Parser::rotate(1, -1), 2147483648.0);
    EXPECT_EQ(Parser::gcdArg1(12, 18), 6.0);
}
