#include "eval/QuickEvaluator.h"

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "eval/Parser.h"
#include "numeric/AngleConversion.h"
#include "numeric/BitOps.h"
#include "numeric/Combinatorics.h"
#include "numeric/ElementaryFunctions.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace orvenda {

enum class QuickEvaluator::Op : std::uint8_t {
    Constant,
    Variable,
    // One value.
    Negate, Int, Abs, Not, IPart, FPart, Sqrt, Cbrt, Ln, Exp, TenPow,
    Sin, ASin, Cos, ACos, Tan, ATan, Sinh, ASinh, Cosh, ACosh, Tanh, ATanh,
    RadianMark, DegreeMark, Inverse, Square, Cube, Factorial,
    Expm1, Ln1p, Floor, Ceiling, Sign, Percent, UnitConversion,
    // Two values.
    Add, Subtract, Multiply, Divide, Fraction, Mixed,
    Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual,
    And, Or, Xor, AndB, OrB, XorB, Power, XRoot,
    // Two values under an argument count that must be 2.
    Max, Min, RToPr, RToPTheta, PToRx, PToRy, Hypot, Atan2, Lcm, Gcd, Remainder, LogBase,
    // Two values under a count; a count of 1 stands for the default second value.
    Round, Log, RoundSigFig,
    // Three values: a whole part, a denominator and a numerator.
    MixedNumber,
};

namespace {

using Op = QuickEvaluator::Op;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kSlotCount = Calculator::kVarCount;

std::optional<Op> opFor(int token)
{
    switch (token) {
    case 0xB0: return Op::Negate;
    case 0xB1: return Op::Int;
    case 0xB2: return Op::Abs;
    case 0xB8: return Op::Not;
    case 0xB9: return Op::IPart;
    case 0xBA: return Op::FPart;
    case 0xBC: return Op::Sqrt;
    case 0xBD: return Op::Cbrt;
    case 0xBE: return Op::Ln;
    case 0xBF: return Op::Exp;
    case 0xC1: return Op::TenPow;
    case 0xC2: return Op::Sin;
    case 0xC3: return Op::ASin;
    case 0xC4: return Op::Cos;
    case 0xC5: return Op::ACos;
    case 0xC6: return Op::Tan;
    case 0xC7: return Op::ATan;
    case 0xC8: return Op::Sinh;
    case 0xC9: return Op::ASinh;
    case 0xCA: return Op::Cosh;
    case 0xCB: return Op::ACosh;
    case 0xCC: return Op::Tanh;
    case 0xCD: return Op::ATanh;
    case 0x0A: return Op::RadianMark;
    case 0x0B: return Op::DegreeMark;
    case 0x0C: return Op::Inverse;
    case 0x0D: return Op::Square;
    case 0x0F: return Op::Cube;
    case 0x2D: return Op::Factorial;
    case 0xBB5C: return Op::Expm1;
    case 0xBBFF: return Op::Ln1p;
    case 0xBBFC: return Op::Floor;
    case 0xBBFD: return Op::Ceiling;
    case 0xBBFE: return Op::Sign;
    case 0xBBDA: return Op::Percent;
    case 0xBB5D: return Op::UnitConversion;
    case 0x70: return Op::Add;
    case 0x71: return Op::Subtract;
    case 0x82: return Op::Multiply;
    case 0x83: return Op::Divide;
    case 0xEF38: return Op::Fraction;
    case 0xEF39: return Op::Mixed;
    case 0x6A: return Op::Equal;
    case 0x6F: return Op::NotEqual;
    case 0x6B: return Op::Less;
    case 0x6C: return Op::Greater;
    case 0x6D: return Op::LessEqual;
    case 0x6E: return Op::GreaterEqual;
    case 0x40: return Op::And;
    case 0x3C: return Op::Or;
    case 0x3D: return Op::Xor;
    case 0x5C40: return Op::AndB;
    case 0x5C41: return Op::OrB;
    case 0x5C42: return Op::XorB;
    case 0xF0: return Op::Power;
    case 0xF1: return Op::XRoot;
    case 0x19: return Op::Max;
    case 0x1A: return Op::Min;
    case 0x1B: return Op::RToPr;
    case 0x1C: return Op::RToPTheta;
    case 0x1D: return Op::PToRx;
    case 0x1E: return Op::PToRy;
    case 0x5C3D: return Op::Hypot;
    case 0x5C3E: return Op::Atan2;
    case 0xBB08: return Op::Lcm;
    case 0xBB09: return Op::Gcd;
    case 0xEF32: return Op::Remainder;
    case 0xEF34: return Op::LogBase;
    case 0x12: return Op::Round;
    case 0xC0: return Op::Log;
    case 0x5C64: return Op::RoundSigFig;
    case 0x5C4B: return Op::MixedNumber;
    // sigFig( works on the significance of its argument, which this path does not keep:
    // it is left to the full evaluator.
    default: return std::nullopt;
    }
}

bool isCounted(Op op) { return op >= Op::Max && op <= Op::LogBase; }
bool hasDefault(Op op) { return op >= Op::Round && op <= Op::RoundSigFig; }
bool isTwoValue(Op op) { return op >= Op::Add && op <= Op::RoundSigFig; }

// The instruction of one record, or nothing when the record is not quick.
std::optional<QuickEvaluator::Instruction> instructionFor(const Operand& record)
{
    QuickEvaluator::Instruction in;
    switch (record.kind) {
    case KindReal:
        in.op = Op::Constant;
        in.value = record.value.real();
        return in;
    case KindVariable:
        if (record.var.subKind != VarReal || record.var.index < 0 || record.var.index >= kSlotCount)
            return std::nullopt;
        in.op = Op::Variable;
        in.slot = record.var.index;
        return in;
    case KindOpcode:
        if (auto op = opFor(static_cast<int>(record.opcode & 0xFFFF))) {
            in.op = *op;
            in.opcode = record.opcode;
            return in;
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

// Truth values: anything but 0 is true, NaN included.
double truth(bool b) { return b ? 1.0 : 0.0; }

// L ^ R on reals: a negative base takes an exponent that is a fraction with an odd
// denominator.
double power(const Calculator& calc, double L, double R)
{
    if (L >= 0.0 || ElementaryFunctions::isWhole(R))
        return std::pow(L, R);
    long long n = 0, d = 0;
    const double w = calc.convertToFraction2(std::fabs(R), n, d);
    if (d == 0)
        return kNaN;
    const double N = static_cast<double>(d) * w + static_cast<double>(n);
    const double m = std::pow(std::fabs(L), R);
    if (std::fmod(N, 2.0) == 0.0)
        return m;
    return d % 2 != 0 ? -m : kNaN;
}

} // namespace

QuickEvaluator::QuickEvaluator(Parser& parser) : p_(parser), calc_(parser.calc) {}

bool QuickEvaluator::isQuick(const VQStack& rpn)
{
    if (rpn.count() > kStackSize)
        return false;
    for (const Operand& record : rpn.stack())
        if (!instructionFor(record))
            return false;
    return true;
}

bool QuickEvaluator::compile(const VQStack& rpn, Program& program)
{
    program.code.clear();
    if (rpn.count() > kStackSize)
        return false;
    for (const Operand& record : rpn.stack()) {
        const auto in = instructionFor(record);
        if (!in) {
            program.code.clear();
            return false;
        }
        program.code.push_back(*in);
    }
    return true;
}

double QuickEvaluator::evalQuickRPN(const VQStack& rpn) const
{
    thread_local Program scratch;
    if (!compile(rpn, scratch))
        return kNaN;
    return run(scratch);
}

double QuickEvaluator::run(const Program& program) const
{
    if (program.code.empty())
        return 0;
    const int angle = calc_.angleFormat();
    const auto toRadians = [angle](double x) { return AngleConversion::toRadians(x, angle); };
    const auto fromRadians = [angle](double x) { return AngleConversion::fromRadians(x, angle); };
    const std::complex<double>* vars = calc_.vars.data();

    // No form is longer than the stack (compile refuses it), and every record adds at
    // most one value.
    double s[kStackSize];
    int n = 0;
    for (const Instruction& in : program.code) {
        if (in.op == Op::Constant) {
            s[n++] = in.value;
            continue;
        }
        if (in.op == Op::Variable) {
            const std::complex<double>& z = vars[in.slot];
            if (z.imag() != 0.0)
                return kNaN;
            s[n++] = z.real();
            if (std::isnan(s[n - 1]))
                return kNaN;
            continue;
        }
        if (n == 0)
            return kNaN;

        // The argument count of a counted token is on top.
        if (isCounted(in.op)) {
            if (s[--n] != 2.0)
                return kNaN;
        } else if (hasDefault(in.op)) {
            if (s[n - 1] == 1.0)
                s[n - 1] = in.op == Op::Round ? calc_.numDigits : in.op == Op::Log ? 10.0 : 15.0;
            else
                --n;
        }

        if (in.op == Op::MixedNumber) {
            if (n < 3)
                return kNaN;
            const double A = s[n - 3], B = s[n - 2], C = s[n - 1];
            n -= 2;
            s[n - 1] = A + C / B;
            p_.ctx().f_und = true;
        } else if (isTwoValue(in.op)) {
            if (n < 2)
                return kNaN;
            const double L = s[n - 2];
            const double R = s[n - 1];
            double v;
            switch (in.op) {
            case Op::Add: v = L + R; break;
            case Op::Subtract: v = L - R; break;
            case Op::Multiply: v = L * R; break;
            case Op::Divide: v = R == 0.0 ? kNaN : L / R; break;
            case Op::Fraction:
                v = R == 0.0 ? kNaN : L / R;
                p_.ctx().f_nd = true;
                break;
            case Op::Mixed:
                v = L + R;
                p_.ctx().f_und = true;
                break;
            case Op::Equal: v = truth(std::fabs(L - R) < 1e-15); break;
            case Op::NotEqual: v = truth(!(std::fabs(L - R) < 1e-15)); break;
            case Op::Less: v = truth(L < R); break;
            case Op::Greater: v = truth(L > R); break;
            case Op::LessEqual: v = truth(L <= R); break;
            case Op::GreaterEqual: v = truth(L >= R); break;
            case Op::And: v = truth(L != 0.0 && R != 0.0); break;
            case Op::Or: v = truth(L != 0.0 || R != 0.0); break;
            case Op::Xor: v = truth((L != 0.0) != (R != 0.0)); break;
            case Op::AndB: v = BitOps::andb(L, R); break;
            case Op::OrB: v = BitOps::orb(L, R); break;
            case Op::XorB: v = BitOps::xorb(L, R); break;
            case Op::Power: v = power(calc_, L, R); break;
            case Op::XRoot: v = power(calc_, R, 1.0 / L); break;
            case Op::Max: v = L > R ? L : R; break;
            case Op::Min: v = L < R ? L : R; break;
            case Op::RToPr:
            case Op::Hypot: v = std::hypot(L, R); break;
            case Op::RToPTheta: v = fromRadians(std::atan2(R, L)); break;
            case Op::Atan2: v = fromRadians(std::atan2(L, R)); break;
            case Op::PToRx: v = L * std::cos(toRadians(R)); break;
            case Op::PToRy: v = L * std::sin(toRadians(R)); break;
            case Op::Lcm:
                v = L < 0.0 || R < 0.0 ? kNaN : Combinatorics::lcmArg1(std::trunc(L), std::trunc(R));
                break;
            case Op::Gcd:
                v = L < 0.0 || R < 0.0 ? kNaN : Combinatorics::gcdArg1(std::trunc(L), std::trunc(R));
                break;
            case Op::Remainder:
                v = R == 0.0 || L < 0.0 || R < 0.0 ? kNaN : std::round(R * (L / R - std::trunc(L / R)));
                break;
            case Op::LogBase:
            case Op::Log: v = R == 10.0 ? std::log10(L) : std::log(L) / std::log(R); break;
            case Op::Round: {
                const double d = std::trunc(R);
                v = d >= 0.0 && d <= 9.0 ? ElementaryFunctions::round(L, static_cast<int>(d)) : L;
                break;
            }
            case Op::RoundSigFig: {
                const double d = std::trunc(R);
                v = d >= 1.0 && d <= 14.0 ? ElementaryFunctions::roundSF(L, static_cast<int>(d)) : L;
                break;
            }
            default: return kNaN;
            }
            --n;
            s[n - 1] = v;
        } else {
            const double x = s[n - 1];
            double v;
            switch (in.op) {
            case Op::Negate: v = -x; break;
            case Op::Int: v = std::floor(x); break;
            case Op::Abs: v = std::fabs(x); break;
            case Op::Not: v = truth(x == 0.0); break;
            case Op::IPart: v = std::trunc(x); break;
            case Op::FPart: v = x - std::trunc(x); break;
            case Op::Sqrt: v = std::sqrt(x); break;
            case Op::Cbrt: v = std::signbit(x) ? -std::pow(std::fabs(x), 1.0 / 3.0) : std::pow(x, 1.0 / 3.0); break;
            case Op::Ln: v = std::log(x); break;
            case Op::Exp: v = std::exp(x); break;
            case Op::TenPow: v = std::pow(10.0, x); break;
            case Op::Sin: v = std::sin(toRadians(x)); break;
            case Op::Cos: v = std::cos(toRadians(x)); break;
            case Op::Tan: v = std::tan(toRadians(x)); break;
            case Op::ASin: v = fromRadians(std::asin(x)); break;
            case Op::ACos: v = fromRadians(std::acos(x)); break;
            case Op::ATan: v = fromRadians(std::atan(x)); break;
            case Op::Sinh: v = std::sinh(x); break;
            case Op::ASinh: v = std::asinh(x); break;
            case Op::Cosh: v = std::cosh(x); break;
            case Op::ACosh: v = std::acosh(x); break;
            case Op::Tanh: v = std::tanh(x); break;
            case Op::ATanh: v = std::atanh(x); break;
            case Op::RadianMark: v = angle == 0 ? x * 180.0 / std::numbers::pi : x; break;
            case Op::DegreeMark: v = angle == 1 ? x * std::numbers::pi / 180.0 : x; break;
            case Op::Inverse: v = x == 0.0 ? kNaN : 1.0 / x; break;
            case Op::Square: v = x * x; break;
            case Op::Cube: v = x * x * x; break;
            case Op::Factorial: v = std::tgamma(x + 1.0); break;
            case Op::Expm1: v = std::expm1(x); break;
            case Op::Ln1p: v = std::log1p(x); break;
            case Op::Floor: v = std::floor(x); break;
            case Op::Ceiling: v = std::ceil(x); break;
            case Op::Sign: v = x == 0.0 ? 0.0 : std::signbit(x) ? -1.0 : 1.0; break;
            case Op::Percent: v = x / 100.0; break;
            case Op::UnitConversion: {
                Operand value;
                value.kind = KindReal;
                value.value = {x, 0.0};
                v = p_.op(in.opcode, value).re();
                break;
            }
            default: return kNaN;
            }
            s[n - 1] = v;
        }
        if (std::isnan(s[n - 1]))
            return kNaN;
    }
    return s[0];
}

} // namespace orvenda
