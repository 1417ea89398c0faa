#include "eval/ScalarOperators.h"

#include "core/Calculator.h"
#include "core/NumberFormatter.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "eval/ArgumentFetcher.h"
#include "eval/EvalContext.h"
#include "eval/Parser.h"
#include "eval/Significance.h"
#include "language/ErrorNumbers.h"
#include "language/UnitNames.h"
#include "numeric/BitOps.h"
#include "numeric/Combinatorics.h"
#include "numeric/DateHelpers.h"
#include "numeric/Densities.h"
#include "numeric/ElementaryFunctions.h"
#include "numeric/UnitConverter.h"

#include <algorithm>
#include <chrono>
#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <optional>

namespace orvenda {

namespace {

using cplx = std::complex<double>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Division of two complex numbers; plain division when both are real so that no 0 * inf
// or NaN from the unused parts leaks in.
cplx divide(cplx a, cplx b)
{
    if (a.imag() == 0.0 && b.imag() == 0.0) return {a.real() / b.real(), 0.0};
    return a / b;
}

cplx multiply(cplx a, cplx b)
{
    if (a.imag() == 0.0 && b.imag() == 0.0) return {a.real() * b.real(), 0.0};
    // The library product follows C99 Annex G: when both parts come out NaN it recovers
    // the infinities.
    return a * b;
}

// Complex logarithm with a zero imaginary part taken as +0 (so ln of a negative real has
// +πi).
cplx clog(cplx z)
{
    if (z.imag() == 0.0) z.imag(0.0);
    return std::log(z);
}

// The principal power b^e as exp(e·ln b); 0 to a power with positive real part is 0.
cplx complexPower(cplx b, cplx e)
{
    if (b == cplx(0.0, 0.0)) return e.real() > 0.0 ? cplx(0.0, 0.0) : cplx(kInf, 0.0);
    return std::exp(multiply(e, clog(b)));
}

// e^z with the exact values of VQSin and VQCos at quarter turns of the imaginary part.
cplx complexExp(cplx z)
{
    const double m = std::exp(z.real());
    if (z.imag() == 0.0) return {m, 0.0};
    return {m * ElementaryFunctions::VQCos(z.imag()), m * ElementaryFunctions::VQSin(z.imag())};
}

using Significance::ruleExact;
using Significance::ruleExponential;
using Significance::ruleFigures;
using Significance::ruleFraction;
using Significance::ruleInteger;
using Significance::ruleKept;
using Significance::ruleLogarithm;
using Significance::ruleProduct;
using Significance::ruleSum;

NumberFormatter::Settings settingsOf(const Calculator& calc)
{
    return calc.numberFormatter().settings;
}

} // namespace

ScalarOperators::ScalarOperators(Parser& parser) : parser_(parser), calc_(parser.calc) {}

// ---- Significance pair ----

void ScalarOperators::adjustSigDec(Operand& op)
{
    Significance::adjustSigDec(op);
}

void ScalarOperators::adjustSigFig(Operand& op)
{
    Significance::adjustSigFig(op);
}

// ---- Helpers ----

bool ScalarOperators::tolerantEqual(double a, double b)
{
    if (a == b) return true;
    const double d = std::fabs(a - b);
    const double s = std::fabs(a) + std::fabs(b);
    if (a == 0.0 || b == 0.0 || s < DBL_MIN) return d < 1e-10 * DBL_MIN;
    return d / std::min(s, DBL_MAX) < 1e-10;
}

ScalarOperators::Ops ScalarOperators::numToOps(const Calculator& calc, double x)
{
    return calc.realToOpcodes(x);
}

ScalarOperators::Ops ScalarOperators::complexToOps(const Calculator& calc, double re, double im)
{
    constexpr std::uint32_t kPlus = 0x70, kMinus = 0x71, kNegate = 0xB0, kImaginary = 0x2C;
    Ops out;
    if (im == 0.0) return numToOps(calc, re);
    const bool withReal = re != 0.0;
    if (withReal) out = numToOps(calc, re);
    if (im < 0.0)
        out.push_back(withReal ? kMinus : kNegate);
    else if (withReal)
        out.push_back(kPlus);
    if (std::fabs(im) != 1.0) {
        const Ops digits = numToOps(calc, std::fabs(im));
        out.insert(out.end(), digits.begin(), digits.end());
    }
    out.push_back(kImaginary);
    return out;
}

// ---- One operand ----

Operand ScalarOperators::doOp(std::uint32_t opcode, const Operand& Xc)
{
    EvalContext& c = parser_.ctx();
    const int token = static_cast<int>(opcode & 0xFFFF);
    switch (token) {
    case 0x01: case 0x02: case 0x03: case 0x5C63: case 0xBB2F: case 0xBB30: case 0xBBEF: case 0xBBF6:
    case 0xBBF7: case 0xEF30: case 0xEF31: case 0xB4: case 0xEF05: case 0xEF98:
        break;
    default: {
        // The elementary functions build their result themselves: no copy of X first.
        Operand r = op(opcode, Xc);
        r.error = c.error;
        return r;
    }
    }
    Operand r = Xc;
    r.kind = Xc.value.imag() != 0.0 || std::isnan(Xc.value.imag()) ? KindComplex : KindReal;
    switch (token) {
    case 0x01: r.displayMod = 8; break;  // ▸DMS
    case 0x02: r.displayMod = 3; break;  // ▸Dec
    case 0x03: r.displayMod = 1; break;  // ▸Frac
    case 0x5C63: r.displayMod = 9; break;  // ▸SigFig
    case 0xBB2F: r.displayMod = 7; break;  // ▸Rect
    case 0xBB30: r.displayMod = 6; break;  // ▸Polar
    case 0xBBEF: r.displayMod = 2; break;  // ▸Ab/c
    case 0xBBF6: r.displayMod = 4; break;  // ▸Bin
    case 0xBBF7: r.displayMod = 5; break;  // ▸Hex
    case 0xEF30: r.displayMod = c.f_und ? 1 : 2; break;  // ▸n/d◂▸Un/d
    case 0xEF31:  // ▸F◂▸D
        if (c.f_nd || c.f_und)
            r.displayMod = 3;
        else
            r.displayMod = calc_.state().fractionFormat == 4 ? 2 : 1;
        break;
    case 0xB4: {  // identity(
        const double x = Xc.value.real();
        // Truncated to an unsigned count: NaN and negatives give 0, huge values no storage.
        const double n = x > 0.0 ? std::trunc(std::fmin(x, 1e9)) : 0.0;
        auto m = VQMatrix::identityDimension(static_cast<std::size_t>(n));
        r.kind = KindMatrix;
        ruleExact(r);
        r.value = {};
        if (m)
            r.matrix = std::make_shared<VQMatrix>(std::move(*m));
        else
            c.error = ErrMemory;
        break;
    }
    case 0xEF05: {  // timeCnv(
        double s = std::fabs(Xc.value.real());
        const double days = std::trunc(s / 86400);
        s -= days * 86400;
        const double hours = std::trunc(s / 3600);
        s -= hours * 3600;
        const double minutes = std::trunc(s / 60);
        s -= minutes * 60;
        auto list = std::make_shared<VQList>(VQList::list());
        for (double v : {days, hours, minutes, std::trunc(s)}) list->addReal(v, 15, -15);
        r.kind = KindRealList;
        r.list = std::move(list);
        r.value = {};
        ruleExact(r);
        break;
    }
    case 0xEF98: {  // eval(
        NumberFormatter::Settings s = settingsOf(calc_);
        s.numFormat = 0;
        s.numDigits = -1;
        s.numBase = 0;
        s.thousandSeperator = u' ';
        r.kind = KindString;
        r.string = VQString(NumberFormatter(s).realToOpcodes(Xc.value.real()));
        break;
    }
    default:
        break;
    }
    r.error = c.error;
    return r;
}

Operand ScalarOperators::op(std::uint32_t opcode, const Operand& Xc)
{
    EvalContext& c = parser_.ctx();
    Operand r = opUnary(opcode, Xc, c);
    // An infinite argument is an overflow that a function must not turn into a number
    // (not(∞) would be 0, e^(-∞) 0, tanh(∞) 1): report it, as the operators of two values do.
    if (c.error == 0 && std::isinf(Xc.value.real()) && Xc.value.imag() == 0.0 && !std::isinf(r.value.real())) {
        c.error = ErrOverflow;
        c.errorToken = Xc.location;
    }
    const double im = r.value.imag();
    r.kind = im != 0.0 || std::isnan(im) ? KindComplex : KindReal;
    return r;
}

Operand ScalarOperators::opUnary(std::uint32_t opcode, const Operand& X, EvalContext& c)
{
    Operand r;
    r.location = X.location;
    const double x = X.value.real();
    const double y = X.value.imag();
    const bool complexArg = y != 0.0 || std::isnan(y);
    const cplx z(x, y == 0.0 ? 0.0 : y);
    const int angle = calc_.angleFormat();
    const bool realMode = calc_.realCplxMode() == 0;
    // Real-only functions: flag a complex argument and go on with its real part.
    auto realOnly = [&] {
        if (complexArg) c.error = ErrDataType;
    };

    switch (static_cast<int>(opcode & 0xFFFF)) {
    case 0x0A:  // ʳ: a radian angle in the current unit
        realOnly();
        if (angle == 1) {
            r.value = X.value;
            ruleKept(r, X);
        } else {
            r.value = {angle == 0 ? x * 180 / std::numbers::pi : x * 200 / std::numbers::pi, 0.0};
            ruleFigures(r, X);
        }
        break;
    case 0x0B:  // °: a degree angle in the current unit
        realOnly();
        if (angle == 0) {
            r.value = X.value;
            ruleKept(r, X);
        } else {
            r.value = {angle == 1 ? x * std::numbers::pi / 180 : x * 200 / 180, 0.0};
            ruleFigures(r, X);
        }
        break;
    case 0x0C:  // ⁻¹
        if (!complexArg && x == 0.0) {
            c.error = ErrDivideBy0;
            r.value = {kNaN, 0.0};
        } else {
            r.value = divide(cplx(1.0, 0.0), z);
        }
        ruleFigures(r, X);
        break;
    case 0x0D:  // ²
        r.value = complexArg ? multiply(z, z) : cplx(x * x, 0.0);
        ruleFigures(r, X);
        break;
    case 0x0F:  // ³
        // The product, as the fast evaluator's polynomials take it: the library power
        // differs from it in the last bit for a quarter of all values.
        r.value = complexArg ? multiply(multiply(z, z), z) : cplx(x * x * x, 0.0);
        ruleFigures(r, X);
        break;
    case 0x12: {  // round( to the mode's decimals
        const int d = calc_.state().numDigits < 0 ? 10 : calc_.state().numDigits;
        r.value = {ElementaryFunctions::round(x, d), complexArg ? ElementaryFunctions::round(y, d) : 0.0};
        ruleKept(r, X);
        if (X.sigDec < 0 && d < -X.sigDec) {
            // The rounding removed recorded decimals: the figures end at the new place.
            r.sigDec = -d;
            adjustSigFig(r);
        }
        break;
    }
    case 0x2D:  // !
        realOnly();
        r.value = {std::tgamma(x + 1.0), 0.0};
        ruleExact(r);
        break;
    case 0xB0:  // negation
        r.value = {-x, y == 0.0 ? 0.0 : -y};
        ruleKept(r, X);
        break;
    case 0xB1:  // int(
        r.value = {std::floor(x), 0.0};
        ruleInteger(r, X);
        break;
    case 0xB2:  // abs(
        r.value = {complexArg ? std::hypot(x, y) : std::fabs(x), 0.0};
        ruleKept(r, X);
        break;
    case 0xB8:  // not(
        r.value = {x == 0.0 ? 1.0 : 0.0, 0.0};
        ruleExact(r);
        break;
    case 0xB9:  // iPart(
        r.value = {std::trunc(x), complexArg ? std::trunc(y) : 0.0};
        ruleInteger(r, X);
        break;
    case 0xBA:  // fPart(
        r.value = {x - std::trunc(x), complexArg ? y - std::trunc(y) : 0.0};
        ruleFraction(r, X);
        break;
    case 0xBC:  // √(
        if (!complexArg)
            r.value = x >= 0.0 ? cplx(std::sqrt(x), 0.0) : cplx(0.0, std::sqrt(-x));
        else
            r.value = std::sqrt(z);
        ruleFigures(r, X);
        break;
    case 0xBD:  // ³√(
        r.value = complexArg ? complexPower(z, cplx(1.0 / 3.0, 0.0)) : cplx(std::cbrt(x), 0.0);
        ruleFigures(r, X);
        break;
    case 0xBE:  // ln(
    case 0xC0: {  // log(
        const bool ln = (opcode & 0xFFFF) == 0xBE;
        if (x == 0.0 && !complexArg) {
            c.error = ErrDomain;
            r.value = {-kInf, 0.0};
        } else if (complexArg || !realMode) {
            r.value = clog(z);
            if (!ln) r.value /= std::numbers::ln10;
        } else if (x < 0.0) {
            c.error = ErrNonReal;
            r.value = {kNaN, 0.0};
        } else {
            r.value = {ln ? std::log(x) : std::log10(x), 0.0};
        }
        ruleLogarithm(r, X.sigFig);
        break;
    }
    case 0xBF:  // e^(
        r.value = realMode && !complexArg ? cplx(std::exp(x), 0.0) : complexExp(z);
        ruleExponential(r, X);
        break;
    case 0xC1:  // ₁₀^(
        r.value = complexArg ? complexPower(cplx(10.0, 0.0), z) : cplx(std::pow(10.0, x), 0.0);
        ruleExponential(r, X);
        break;
    case 0xC2:  // sin(
        realOnly();
        r.value = {ElementaryFunctions::VQSin(parser_.toRadians(x)), 0.0};
        ruleExact(r);
        break;
    case 0xC4:  // cos(
        realOnly();
        r.value = {ElementaryFunctions::VQCos(parser_.toRadians(x)), 0.0};
        ruleExact(r);
        break;
    case 0xC3:  // sin⁻¹(
    case 0xC5:  // cos⁻¹(
        realOnly();
        if (std::fabs(x) > 1.0) {
            c.error = ErrDomain;
            r.value = {kNaN, 0.0};
        } else {
            r.value = {parser_.fromRadians((opcode & 0xFFFF) == 0xC3 ? std::asin(x) : std::acos(x)), 0.0};
        }
        ruleExact(r);
        break;
    case 0xC6:  // tan(
        realOnly();
        r.value = {ElementaryFunctions::VQTan(parser_.toRadians(x)), 0.0};
        if (std::isnan(r.re()) && std::isfinite(x)) c.error = ErrDomain;
        ruleExact(r);
        break;
    case 0xC7:  // tan⁻¹(
        realOnly();
        r.value = {parser_.fromRadians(std::atan(x)), 0.0};
        ruleExact(r);
        break;
    case 0xC8: realOnly(); r.value = {std::sinh(x), 0.0}; ruleExact(r); break;
    case 0xC9: realOnly(); r.value = {std::asinh(x), 0.0}; ruleExact(r); break;
    case 0xCA: realOnly(); r.value = {std::cosh(x), 0.0}; ruleExact(r); break;
    case 0xCB: realOnly(); r.value = {std::acosh(x), 0.0}; ruleExact(r); break;
    case 0xCC: realOnly(); r.value = {std::tanh(x), 0.0}; ruleExact(r); break;
    case 0xCD: realOnly(); r.value = {std::atanh(x), 0.0}; ruleExact(r); break;
    case 0x5C43:  // NOTb(
        r.value = {BitOps::notb(x), 0.0};
        ruleExact(r);
        break;
    case 0xBB25:  // conj(
        r.value = {x, y == 0.0 ? 0.0 : -y};
        ruleFigures(r, X);
        break;
    case 0xBB26:  // real(
        r.value = {x, 0.0};
        ruleFigures(r, X);
        break;
    case 0xBB27:  // imag(
        r.value = {y, 0.0};
        ruleFigures(r, X);
        break;
    case 0xBB28:  // angle(
        r.value = {parser_.fromRadians(std::atan2(y == 0.0 ? 0.0 : y, x)), 0.0};
        ruleFigures(r, X);
        break;
    case 0xBB5C:  // expm1(
        realOnly();
        r.value = {std::expm1(x), 0.0};
        ruleExponential(r, X);
        break;
    case 0xBB5D: {  // unit conversion, packed in the high half
        realOnly();
        // The class and units come from the op, which a file may have brought: only the
        // tables' own.
        const std::optional<double> converted = UnitConverter::convert(x, opcode >> 16);
        if (!converted || !UnitNames::conversionForOp(opcode)) c.error = ErrDomain;
        r.value = {converted.value_or(kNaN), 0.0};
        ruleFigures(r, X);
        break;
    }
    case 0xBBDA:  // %
        r.value = {x / 100, complexArg ? y / 100 : 0.0};
        ruleFigures(r, X);
        break;
    case 0xBBFA:  // shift( by one to the right
    case 0xBBFB:  // rotate( by one to the right
        realOnly();
        if (!complexArg && !ElementaryFunctions::isWhole(x)) c.error = ErrArgument;
        r.value = {(opcode & 0xFFFF) == 0xBBFA ? BitOps::shift(x, -1) : BitOps::rotate(x, -1), 0.0};
        ruleKept(r, X);
        break;
    case 0xBBFC:  // floor(
        realOnly();
        r.value = {std::floor(x), 0.0};
        ruleInteger(r, X);
        break;
    case 0xBBFD:  // ceiling(
        realOnly();
        r.value = {std::ceil(x), 0.0};
        ruleInteger(r, X);
        break;
    case 0xBBFE:  // sign(
        realOnly();
        r.value = {x == 0.0 ? 0.0 : (std::signbit(x) ? -1.0 : 1.0), 0.0};
        ruleExact(r);
        break;
    case 0xBBFF:  // ln1p(
        realOnly();
        if (x <= -1.0) {
            c.error = ErrDomain;
            r.value = {kNaN, 0.0};
        } else {
            r.value = {std::log1p(x), 0.0};
        }
        ruleExact(r);
        break;
    case 0xEF02: {  // checkTmr(
        realOnly();
        const std::chrono::duration<double> elapsed = std::chrono::system_clock::now() - calc_.startTime;
        r.value = {elapsed.count() - x, 0.0};
        ruleExact(r);
        break;
    }
    default:
        c.error = ErrDataType;
        c.errorToken = c.nextToken;
        break;
    }
    return r;
}

// ---- Two operands ----

Operand ScalarOperators::doOp(int token, const Operand& Xc, const Operand& Yc)
{
    EvalContext& c = parser_.ctx();
    c.errorToken = std::min(Xc.location, Yc.location);
    if ((token & 0xFFFF) != 0x20) {
        Operand r = op(token, Xc, Yc);
        const double im = r.value.imag();
        r.kind = im != 0.0 || std::isnan(im) || Xc.kind == KindComplex || Yc.kind == KindComplex ? KindComplex
                                                                                                 : KindReal;
        r.error = c.error;
        r.location = c.errorToken;
        return r;
    }
    Operand r;
    {  // randM(
        auto dimension = [&](const Operand& v, double& n) {
            n = v.value.real();
            if (v.value.imag() != 0.0 || !ElementaryFunctions::isWhole(n)) {
                c.error = ErrArgument;
                c.errorToken = v.location;
                return false;
            }
            // The dimensions a matrix may have; a negative count has no size.
            if (n < 0.0 || n > 99.0) {
                c.error = ErrInvalidDim;
                c.errorToken = v.location;
                return false;
            }
            return true;
        };
        double rows = 0, cols = 0;
        if (dimension(Xc, cols) && dimension(Yc, rows)) {
            auto m = VQMatrix::randomWithRow(static_cast<std::size_t>(rows), static_cast<std::size_t>(cols));
            if (m)
                r.matrix = std::make_shared<VQMatrix>(std::move(*m));
            else
                c.error = ErrMemory;
        }
        r.kind = KindMatrix;
    }
    r.error = c.error;
    r.location = c.errorToken;
    return r;
}

Operand ScalarOperators::op(int token, const Operand& Xc, const Operand& Yc)
{
    EvalContext& c = parser_.ctx();
    return opBinary(token & 0xFFFF, Xc, Yc, c);
}

Operand ScalarOperators::opBinary(int token, const Operand& R, const Operand& L, EvalContext& c)
{
    Operand r;
    const cplx a = L.value;  // left
    const cplx b = R.value;  // right
    const double l = a.real();
    const double rr = b.real();

    // An infinite operand is an overflow that arithmetic must not turn into a number
    // (1/∞ would be 0, ∞ < 5 false): report it.
    if (std::isinf(l) || std::isinf(rr)) {
        c.error = ErrOverflow;
        c.errorToken = std::isinf(l) ? L.location : R.location;
        r.value = {kInf, 0.0};
        return r;
    }

    auto fail = [&](int error, const Operand& at) {
        c.error = error;
        c.errorToken = at.location;
    };
    // R first, then L: both must be real numbers.
    auto bothReal = [&] {
        if (R.kind != KindReal) {
            fail(ErrDataType, R);
            return false;
        }
        if (L.kind != KindReal) {
            fail(ErrDataType, L);
            return false;
        }
        return true;
    };
    auto boolean = [&](bool v) {
        r.value = {v ? 1.0 : 0.0, 0.0};
        ruleExact(r);
    };

    switch (token) {
    case 0x70:  // +
        r.value = a + b;
        ruleSum(r, L, R);
        break;
    case 0x71:  // −
        r.value = a - b;
        ruleSum(r, L, R);
        break;
    case 0x82:  // *
        r.value = multiply(a, b);
        ruleProduct(r, L, R);
        break;
    case 0xEF38:  // n/d
        c.f_nd = true;
        [[fallthrough]];
    case 0x83:  // /
        if (b == cplx(0.0, 0.0)) {
            fail(ErrDivideBy0, R);
            r.value = {kNaN, 0.0};
        } else {
            r.value = divide(a, b);
        }
        ruleProduct(r, L, R);
        break;
    case 0xF0:  // ^
        r.value = fPowerX(R, L);
        r.sigFig = L.sigFig;
        adjustSigDec(r);
        break;
    case 0xF1: {  // ˣ√: R to the power 1/L
        Operand e = L;
        e.value = divide(cplx(1.0, 0.0), a);
        r.value = fPowerX(e, R);
        r.sigFig = R.sigFig;
        adjustSigDec(r);
        break;
    }
    case 0x6A:  // =
    case 0x6F: {  // ≠
        const bool equal = L.kind == KindReal && R.kind == KindReal ? tolerantEqual(l, rr) : a == b;
        boolean(token == 0x6A ? equal : !equal);
        break;
    }
    case 0x6B: case 0x6C: case 0x6D: case 0x6E:  // < > ≤ ≥
        if (!bothReal()) break;
        boolean(token == 0x6B ? l < rr : token == 0x6C ? l > rr : token == 0x6D ? l <= rr : l >= rr);
        break;
    case 0x40: case 0x3C: case 0x3D: {  // and, or, xor
        if (!bothReal()) break;
        const bool p = l != 0.0, q = rr != 0.0;  // NaN is true
        boolean(token == 0x40 ? (p && q) : token == 0x3C ? (p || q) : (p != q));
        break;
    }
    case 0x5C40: case 0x5C41: case 0x5C42:  // ANDb ORb XORb
        if (!bothReal()) break;
        r.value = {token == 0x5C40 ? BitOps::andb(l, rr) : token == 0x5C41 ? BitOps::orb(l, rr) : BitOps::xorb(l, rr),
                   0.0};
        ruleExact(r);
        break;
    case 0x19:  // max(
    case 0x1A: {  // min(
        const bool lComplex = L.kind == KindComplex, rComplex = R.kind == KindComplex;
        if (lComplex != rComplex) {
            fail(ErrDataType, R);
            break;
        }
        bool takeL;
        if (!lComplex)
            takeL = token == 0x19 ? l > rr : !(l >= rr);
        else
            takeL = token == 0x19 ? std::abs(a) > std::abs(b) : std::abs(a) < std::abs(b);
        r = takeL ? L : R;
        break;
    }
    case 0x1B:  // R▸Pr(
        if (!bothReal()) break;
        r.value = {std::hypot(l, rr), 0.0};
        ruleExact(r);
        break;
    case 0x1C:  // R▸Pθ(
        if (!bothReal()) break;
        r.value = {parser_.fromRadians(std::atan2(rr, l)), 0.0};
        ruleExact(r);
        break;
    case 0x1D:  // P▸Rx(
        if (!bothReal()) break;
        r.value = a * ElementaryFunctions::VQCos(parser_.toRadians(rr));
        ruleExact(r);
        break;
    case 0x1E:  // P▸Ry(
        if (!bothReal()) break;
        r.value = a * ElementaryFunctions::VQSin(parser_.toRadians(rr));
        ruleExact(r);
        break;
    case 0x5C3D:  // hypot(
        c.errorToken = R.location;
        if (!bothReal()) break;
        r.value = {std::hypot(rr, l), 0.0};
        ruleExact(r);
        break;
    case 0x5C3E:  // atan2(
        c.errorToken = R.location;
        if (!bothReal()) break;
        r.value = {parser_.fromRadians(std::atan2(l, rr)), 0.0};
        ruleExact(r);
        break;
    case 0x94:  // nPr
    case 0x95:  // nCr
        if (!bothReal()) break;
        r.value = {token == 0x94 ? Combinatorics::permutationX(rr, l) : Combinatorics::combinationX(rr, l), 0.0};
        ruleExact(r);
        break;
    case 0x12: {  // round( with a digit count
        const auto d = R.kind == KindReal ? ArgumentFetcher::wholeIn(rr, 0, 10) : std::nullopt;
        if (!d) {
            fail(ErrDomain, R);
            break;
        }
        r.value = {ElementaryFunctions::round(l, *d), a.imag() == 0.0 ? 0.0 : ElementaryFunctions::round(a.imag(), *d)};
        r.sigDec = -*d;
        adjustSigFig(r);
        break;
    }
    case 0x5C64: {  // roundSigFig( with a figure count
        // Beyond int reach a figure count is refused as a negative one is.
        const auto n = R.kind == KindReal ? ArgumentFetcher::wholeIn(rr, 0, INT_MAX) : std::nullopt;
        if (!n) {
            fail(ErrDomain, R);
            break;
        }
        r.value = {ElementaryFunctions::roundSF(l, *n),
                   a.imag() == 0.0 ? 0.0 : ElementaryFunctions::roundSF(a.imag(), *n)};
        r.sigFig = *n;
        adjustSigDec(r);
        break;
    }
    case 0xBB05: {  // ▸Nom(
        const double q = divide(clog(cplx(1.0 + l / 100, 0.0)), b).real();
        r.value = 100.0 * b * std::exp(q) - 100.0 * b;
        ruleSum(r, L, R);
        break;
    }
    case 0xBB06: {  // ▸Eff(
        const double base = 1.0 + divide(a, 100.0 * b).real();
        r.value = {100.0 * (std::pow(base, rr) - 1.0), 0.0};
        ruleSum(r, L, R);
        break;
    }
    case 0xBB07: {  // dbd(
        const int format = calc_.state().dateFormat;
        if (!DateHelpers::validateDate(l, format) || !DateHelpers::validateDate(rr, format)) {
            c.error = ErrDate;
            r.value = {kNaN, 0.0};
        } else {
            r.value = {DateHelpers::deltaDate1(l, rr, format), 0.0};
        }
        ruleExact(r);
        break;
    }
    case 0xBB08:  // lcm(
    case 0xBB09: {  // gcd(
        auto counted = [&](const Operand& v) {
            if (v.kind != KindReal) {
                fail(ErrDataType, v);
                return false;
            }
            const double n = v.value.real();
            if (!ElementaryFunctions::isWhole(n) || n < 0.0 || n >= 1e12) {
                fail(ErrDomain, v);
                return false;
            }
            return true;
        };
        if (!counted(R) || !counted(L)) break;
        r.value = {token == 0xBB08 ? Combinatorics::lcmArg1(rr, l) : Combinatorics::gcdArg1(rr, l), 0.0};
        ruleExact(r);
        break;
    }
    case 0xBB1C:  // tpdf(
    case 0xBB1D:  // χ²pdf(
        if (!bothReal()) break;
        if (!(rr > 0.0)) {  // degrees of freedom
            fail(ErrDomain, R);
            r.value = {kNaN, 0.0};
            break;
        }
        r.value = {token == 0xBB1C ? Densities::studentTPdf(l, rr) : Densities::chiSquarePdf(l, rr), 0.0};
        ruleExact(r);
        break;
    case 0xBBFA:  // shift(
    case 0xBBFB:  // rotate(
        if (R.kind != KindReal || L.kind != KindReal || !ElementaryFunctions::isWhole(l) || !ElementaryFunctions::isWhole(rr)) c.error = ErrArgument;
        r.value = {token == 0xBBFA ? BitOps::shift(l, ArgumentFetcher::clampedInt(rr))
                                   : BitOps::rotate(l, ArgumentFetcher::clampedInt(rr)),
                   0.0};
        ruleExact(r);
        break;
    case 0xEF32: {  // remainder(
        c.errorToken = R.location;
        if (R.kind != KindReal || !ElementaryFunctions::isWhole(rr)) {
            c.error = ErrDataType;
            break;
        }
        if (rr == 0.0) {
            c.error = ErrDivideBy0;
            break;
        }
        if (rr < 1.0 || rr >= 1e12) {
            c.error = ErrDomain;
            break;
        }
        if (c.error == 0) c.errorToken = L.location;
        if (L.kind != KindReal || !ElementaryFunctions::isWhole(l)) {
            c.error = ErrDataType;
            break;
        }
        if (l < 0.0 || l >= 1e12) {
            c.error = ErrDomain;
            break;
        }
        const double q = l / rr;
        r.value = {std::round(rr * (q - std::trunc(q))), 0.0};
        ruleProduct(r, L, R);
        break;
    }
    case 0xC0:  // log( with a base
    case 0xEF34: {  // logBASE(
        c.errorToken = L.location;
        if (a == cplx(0.0, 0.0)) {
            c.error = ErrDomain;
            r.value = {kNaN, 0.0};
        } else if (L.kind == KindReal && R.kind == KindReal && l >= 0.0) {
            r.value = {rr == 10.0 ? std::log10(l) : std::log(l) / std::log(rr), 0.0};
        } else if (L.kind == KindReal && R.kind == KindReal && calc_.realCplxMode() == 0) {
            c.error = ErrNonReal;
            r.value = {kNaN, 0.0};
        } else {
            r.value = divide(clog(a), clog(b));
        }
        ruleLogarithm(r, L.sigFig);
        break;
    }
    default:
        c.error = ErrDataType;
        break;
    }
    return r;
}

std::optional<double> ScalarOperators::realPower(const Calculator& calc, double B, double E)
{
    if (B >= 0.0 || ElementaryFunctions::isWhole(E)) return std::pow(B, E);
    // A negative base: real when |E| is a fraction with an odd denominator.
    long long n = 0, d = 0;
    const double w = calc.convertToFraction2(std::fabs(E), n, d);
    if (d == 0) return std::nullopt;
    const double N = static_cast<double>(d) * w + static_cast<double>(n);
    const bool nEven = std::fmod(N, 2.0) == 0.0;
    if (!nEven && d % 2 == 0) return std::nullopt;
    double m;
    if (N / static_cast<double>(d) == std::fabs(E) && N <= 64 && d <= 3) {
        // Root first so that (-8)^(2/3) is exactly 4.
        const double root = d == 1 ? -B : d == 2 ? std::sqrt(-B) : std::cbrt(-B);
        m = std::pow(root, N);
        if (E < 0.0) m = 1.0 / m;
    } else {
        m = std::pow(-B, E);
    }
    return nEven ? m : -m;
}

std::complex<double> ScalarOperators::fPowerX(const Operand& exponent, const Operand& base)
{
    EvalContext& c = parser_.ctx();
    const cplx e = exponent.value;
    const cplx b = base.value;
    const bool eReal = exponent.kind == KindReal;
    const bool bReal = base.kind == KindReal;

    if (b == cplx(0.0, 0.0) && eReal && !(e.real() > 0.0)) c.error = ErrDomain;

    cplx v;
    if (eReal) {
        const std::optional<double> real = bReal ? realPower(calc_, b.real(), e.real()) : std::nullopt;
        if (real)
            return {*real, 0.0};
        v = complexPower(b, e);
    } else if (exponent.kind == KindComplex) {
        if (b.imag() != 0.0) {
            v = complexPower(b, e);
        } else if (b.real() == std::numbers::e && e.real() == 0.0) {
            const double q = e.imag() / (std::numbers::pi / 2);
            const double k = std::round(q);
            if (std::fabs(q - k) < 1e-10) {
                static constexpr cplx kTurns[] = {{1.0, 0.0}, {0.0, 1.0}, {-1.0, 0.0}, {0.0, -1.0}};
                // Negative turns too: e^(-πi/2) is -i.
                const int m = static_cast<int>(std::fmod(std::fmod(k, 4.0) + 4.0, 4.0));
                return kTurns[m];
            }
            v = complexPower(b, e);
        } else {
            v = complexPower(b, e);
        }
    } else {
        v = complexPower(b, e);
    }

    // Clean-up of rounding left in a part that should be zero.
    const double re = v.real(), im = v.imag();
    if (im != 0.0 && std::fabs(im) < 1e-15) {
        const bool baseIsI = b == cplx(0.0, 1.0);
        if (std::fabs(re) > 1e-8 || (baseIsI && eReal && ElementaryFunctions::isWhole(e.real()) && std::fmod(e.real(), 2.0) == 0.0))
            v.imag(0.0);
    } else if (std::fabs(im) >= 1e-15 && std::fabs(re) < 1e-15) {
        v.real(0.0);
    }
    return v;
}

} // namespace orvenda
