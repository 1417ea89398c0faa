#include "eval/QuickEvaluator.h"

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "eval/ArgumentFetcher.h"
#include "eval/Parser.h"
#include "eval/ScalarOperators.h"
#include "language/UnitNames.h"
#include "numeric/AngleConversion.h"
#include "numeric/BitOps.h"
#include "numeric/Combinatorics.h"
#include "numeric/ElementaryFunctions.h"
#include "numeric/UnitConverter.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <optional>

namespace orvenda {

namespace {

using Op = QuickEvaluator::Op;
using Instruction = QuickEvaluator::Instruction;
using Term = QuickEvaluator::Term;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

std::optional<QuickEvaluator::Op> QuickEvaluator::opFor(int token)
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
    // sigFig( works on the significance of its argument, which this path does not keep,
    // and the mixed-number separator alone is no operator of the full evaluator: both are
    // left to it.
    default: return std::nullopt;
    }
}

namespace {

bool isCounted(Op op) { return op >= Op::Max && op <= Op::LogBase; }
bool hasDefault(Op op) { return op >= Op::Round && op <= Op::RoundSigFig; }

int arity(Op op)
{
    if (op == Op::MixedNumber)
        return 3;
    return op >= Op::Add && op <= Op::RoundSigFig ? 2 : 1;
}

// Operators whose value depends on nothing but their values: no angle unit, digits or
// fraction settings, no answer-shape flag. Parts made of constants are worked out once.
bool constantOnly(Op op, double L, double R)
{
    switch (op) {
    case Op::Sin: case Op::ASin: case Op::Cos: case Op::ACos: case Op::Tan: case Op::ATan:
    case Op::RadianMark: case Op::DegreeMark: case Op::UnitConversion:
    case Op::Fraction: case Op::MixedNumber:
    case Op::RToPTheta: case Op::PToRx: case Op::PToRy: case Op::Atan2:
    case Op::Ln:            // the complex modes take the complex logarithm
    case Op::RoundDefault:  // the digits setting
        return false;
    case Op::Power:  // a negative base looks its exponent up as a fraction
        return L >= 0 || ElementaryFunctions::isWhole(R);
    case Op::XRoot:
        return R >= 0 || ElementaryFunctions::isWhole(1 / L);
    default:
        return true;
    }
}

// The operand-in-the-instruction forms: right value constant, left value constant.
std::optional<std::pair<Op, Op>> constantForms(Op op)
{
    switch (op) {
    case Op::Add: return std::pair{Op::AddR, Op::AddL};
    case Op::Subtract: return std::pair{Op::SubtractR, Op::SubtractL};
    case Op::Multiply: return std::pair{Op::MultiplyR, Op::MultiplyL};
    case Op::Divide: return std::pair{Op::DivideR, Op::DivideL};
    case Op::Power: return std::pair{Op::PowerR, Op::PowerL};
    default: return std::nullopt;
    }
}

// The instruction of one record, or nothing when the record is not quick.
std::optional<Instruction> instructionFor(const Operand& record)
{
    Instruction in;
    switch (record.kind) {
    case KindReal:
        in.op = Op::Constant;
        in.value = record.value.real();
        return in;
    case KindVariable:
        if (record.var.subKind != VarReal || record.var.index < 0 || record.var.index >= Calculator::kVarCount)
            return std::nullopt;
        in.op = Op::Variable;
        in.slot = record.var.index;
        return in;
    case KindOpcode:
        if (auto op = QuickEvaluator::opFor(static_cast<int>(record.opcode & 0xFFFF))) {
            // Only the conversion tables' own conversions are conversions.
            if (*op == Op::UnitConversion && !UnitNames::conversionForOp(record.opcode))
                return std::nullopt;
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

// L ^ R on reals as the full evaluator takes it; 0 to a power that is not positive has no
// value there.
double power(const Calculator& calc, double L, double R)
{
    if (L == 0.0 && !(R > 0.0))
        return kNaN;
    return ScalarOperators::realPower(calc, L, R).value_or(kNaN);
}

// Two values that are whole numbers from 0 up to 1e12, as gcd(, lcm( and remainder( take.
bool counts(double L, double R)
{
    return ElementaryFunctions::isWhole(L) && ElementaryFunctions::isWhole(R) && L >= 0.0 && R >= 0.0 && L < 1e12
        && R < 1e12;
}

// What the compiler knows of one value on the stack: a constant, and the instruction
// that pushes it, or a value known only when the program runs. (No initialisers: the
// compiler's stack is not cleared for every compilation.)
struct Known {
    bool constant;
    double value;
    std::size_t producer;
};

// A variable as it is, squared, cubed or times a constant.
inline bool isVariableForm(Op op)
{
    return op == Op::Variable || (op >= Op::VariableSquare && op <= Op::CubeTimes);
}

int powerOf(Op variableForm)
{
    switch (variableForm) {
    case Op::Variable: case Op::VariableTimes: return 1;
    case Op::VariableSquare: case Op::SquareTimes: return 2;
    default: return 3;
    }
}

// A variable followed by ², ³ or a product with a constant, or both, becomes one
// instruction; the products are the same in either order, so the value is too.
void mergeTerms(QuickEvaluator::Program& program)
{
    std::vector<Instruction>& code = program.code;
    std::size_t out = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        Instruction in = code[i];
        if (in.op == Op::Variable && i + 1 < code.size()) {
            std::size_t j = i + 1;
            int power = 1;
            if (code[j].op == Op::Square || code[j].op == Op::Cube)
                power = code[j++].op == Op::Square ? 2 : 3;
            if (j < code.size() && (code[j].op == Op::MultiplyL || code[j].op == Op::MultiplyR)) {
                in.op = power == 1 ? Op::VariableTimes : power == 2 ? Op::SquareTimes : Op::CubeTimes;
                in.value = code[j++].value;
            } else if (power > 1) {
                in.op = power == 2 ? Op::VariableSquare : Op::VariableCube;
            }
            i = j - 1;
        }
        code[out++] = in;
    }
    code.resize(out);

    // Such a value added or taken away at once becomes part of the sum.
    out = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        Instruction in = code[i];
        if (isVariableForm(in.op) && i + 1 < code.size()
            && (code[i + 1].op == Op::Add || code[i + 1].op == Op::Subtract)) {
            if (in.op < Op::VariableTimes)
                in.value = 1;
            const Op first = code[i + 1].op == Op::Add ? Op::AddTerm1 : Op::SubtractTerm1;
            in.op = static_cast<Op>(static_cast<int>(first) + powerOf(in.op) - 1);
            ++i;
        }
        code[out++] = in;
    }
    code.resize(out);

    // A term followed by more terms of the same variable and by constants added or taken
    // away is a polynomial, worked out in one instruction with the same roundings: the
    // powers are the same products, times 1 is exact, and a sum does not depend on the
    // order of its two values.
    out = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        Instruction in = code[i];
        if (isVariableForm(in.op)) {
            std::vector<Term>& terms = program.terms;
            const std::size_t first = terms.size();
            terms.push_back({in.op >= Op::VariableTimes ? in.value : 1.0, powerOf(in.op)});
            std::size_t j = i + 1;
            for (; j < code.size(); ++j) {
                const Instruction& next = code[j];
                if (next.op >= Op::AddTerm1 && next.op <= Op::SubtractTerm3 && next.slot == in.slot) {
                    const bool subtract = next.op >= Op::SubtractTerm1;
                    const int power = static_cast<int>(next.op) - static_cast<int>(subtract ? Op::SubtractTerm1 : Op::AddTerm1) + 1;
                    terms.push_back({subtract ? -next.value : next.value, power});
                } else if (next.op == Op::AddR || next.op == Op::AddL || next.op == Op::SubtractR) {
                    terms.push_back({next.op == Op::SubtractR ? -next.value : next.value, 0});
                } else {
                    break;
                }
            }
            if (terms.size() - first > 1) {
                in.op = Op::Polynomial;
                in.first = static_cast<std::uint16_t>(first);
                in.count = static_cast<std::uint16_t>(terms.size() - first);
                i = j - 1;
            } else {
                terms.resize(first);
            }
        }
        code[out++] = in;
    }
    code.resize(out);
}

// The polynomial's value at the variable's value; NaN for a complex variable.
inline double polynomial(const Instruction& in, const Term* terms, const std::complex<double>* vars)
{
    const std::complex<double>& z = vars[in.slot];
    if (z.imag() != 0.0)
        return kNaN;
    const double x = z.real();
    const double x2 = x * x;
    const double powers[4] = {1, x, x2, x2 * x};
    const Term* term = terms + in.first;
    double sum = powers[term->power] * term->coefficient;
    // A term taken away has its coefficient negated: x·(-c) is -(x·c) exactly, and
    // s + -(t) is s - t.
    for (const Term* end = term + in.count; ++term != end;)
        sum += powers[term->power] * term->coefficient;
    return sum;
}

} // namespace

QuickEvaluator::QuickEvaluator(Parser& parser) : p_(parser), calc_(parser.calc) {}

bool QuickEvaluator::isQuick(const VQStack& rpn) const
{
    thread_local Program scratch;
    return compile(rpn, scratch);
}

bool QuickEvaluator::compile(const VQStack& rpn, Program& program) const
{
    std::vector<Instruction>& code = program.code;
    code.clear();
    program.terms.clear();
    program.alwaysNaN = false;
    if (rpn.count() > kStackSize)
        return false;
    // Each record gives one instruction at the most: they are written in place, which keeps
    // a compilation for every call (evalQuickRPN) cheap.
    code.resize(static_cast<std::size_t>(rpn.count()));
    std::size_t emitted = 0;

    Known stack[kStackSize];
    int depth = 0;
    auto notQuick = [&] {
        code.clear();
        return false;
    };
    // The value of op on constants, worked out by a program of its own.
    auto fold = [&](Op op, const Known* values, int count) {
        Instruction part[4];
        for (int i = 0; i < count; ++i) {
            part[i] = {Op::Constant, 0, values[i].value, 0};
            code[values[i].producer].op = Op::Nop;
        }
        part[count] = {op, 0, 0, 0};
        return run(part, static_cast<std::size_t>(count) + 1, nullptr);
    };
    auto pushConstant = [&](double value) {
        code[emitted] = {Op::Constant, 0, value, 0};
        stack[depth++] = {true, value, emitted++};
    };

    for (const Operand& record : rpn.stack()) {
        const std::optional<Instruction> in = instructionFor(record);
        if (!in)
            return notQuick();
        if (program.alwaysNaN)
            continue;  // the rest need only be quick
        if (in->op == Op::Constant) {
            pushConstant(in->value);
            continue;
        }
        if (in->op == Op::Variable) {
            code[emitted++] = *in;
            stack[depth++] = {false, 0, 0};
            continue;
        }

        Op op = in->op;
        // The argument count is the record on top. It is always written out.
        if (isCounted(op) || hasDefault(op)) {
            if (depth == 0) {
                program.alwaysNaN = true;
                continue;
            }
            Known& count = stack[depth - 1];
            if (!count.constant)
                return notQuick();
            if (hasDefault(op) && count.value == 1) {
                // roundSigFig( alone rounds to the figures its value carries, which this
                // path does not keep.
                if (op == Op::RoundSigFig)
                    return notQuick();
                if (op == Op::Round) {
                    code[count.producer].op = Op::Nop;
                    --depth;
                    op = Op::RoundDefault;
                } else {
                    // log( alone: the count becomes the base.
                    code[count.producer].value = count.value = 10.0;
                }
            } else if (count.value != 2) {
                program.alwaysNaN = true;
                continue;
            } else {
                code[count.producer].op = Op::Nop;
                --depth;
            }
        }

        const int n = arity(op);
        if (depth < n) {
            program.alwaysNaN = true;
            continue;
        }
        Known* values = stack + depth - n;
        bool allConstant = true;
        for (int i = 0; i < n; ++i)
            allConstant = allConstant && values[i].constant;
        const double L = values[0].value;
        const double R = n > 1 ? values[1].value : 0;
        depth -= n;
        if (allConstant && constantOnly(op, L, R)) {
            const double v = fold(op, values, n);
            if (std::isnan(v))
                program.alwaysNaN = true;
            else
                pushConstant(v);
            continue;
        }
        Instruction instruction = *in;
        instruction.op = op;
        if (n == 2) {
            if (auto forms = constantForms(op); forms && (values[1].constant || values[0].constant)) {
                const Known& constant = values[1].constant ? values[1] : values[0];
                code[constant.producer].op = Op::Nop;
                instruction.op = values[1].constant ? forms->first : forms->second;
                instruction.value = constant.value;
            }
        }
        code[emitted++] = instruction;
        stack[depth++] = {false, 0, 0};
    }

    if (program.alwaysNaN) {
        code.clear();
        return true;
    }
    code.resize(emitted);
    std::erase_if(code, [](const Instruction& in) { return in.op == Op::Nop; });
    mergeTerms(program);
    return true;
}

double QuickEvaluator::evalQuickRPN(const VQStack& rpn) const
{
    thread_local Program scratch;
    if (!compile(rpn, scratch))
        return kNaN;
    return run(scratch);
}

namespace {

// The value of a variable as it is, squared, cubed or times a constant (the product in
// the order the records give it), as `form` says; NaN for a complex variable.
inline double pushed(const Instruction& in, const std::complex<double>* vars, Op form)
{
    const std::complex<double>& z = vars[in.slot];
    if (z.imag() != 0.0)
        return kNaN;
    const double x = z.real();
    switch (form) {
    case Op::Variable: return x;
    case Op::VariableSquare: return x * x;
    case Op::VariableCube: return x * x * x;
    case Op::VariableTimes: return x * in.value;
    case Op::SquareTimes: return x * x * in.value;
    default: return x * x * x * in.value;
    }
}

} // namespace

double QuickEvaluator::run(const Program& program) const
{
    if (program.alwaysNaN)
        return kNaN;
    // A lone value (X, X², 3X, a polynomial) needs no stack.
    if (program.code.size() == 1) {
        const Instruction& in = program.code[0];
        double v = kNaN;
        if (isVariableForm(in.op))
            v = pushed(in, calc_.state().vars.data(), in.op);
        else if (in.op == Op::Polynomial)
            v = polynomial(in, program.terms.data(), calc_.state().vars.data());
        else
            return run(program.code.data(), 1, program.terms.data());
        return std::isfinite(v) ? v : kNaN;
    }
    return run(program.code.data(), program.code.size(), program.terms.data());
}

double QuickEvaluator::run(const Instruction* code, std::size_t count, const Term* terms) const
{
    if (count == 0)
        return 0;
    const std::complex<double>* vars = calc_.state().vars.data();
    const int angle = calc_.angleFormat();
    // Radians need no conversion and no call.
    auto toRadians = [angle](double x) { return angle == 1 ? x : AngleConversion::toRadians(x, angle); };
    auto fromRadians = [angle](double x) { return angle == 1 ? x : AngleConversion::fromRadians(x, angle); };

    // The top value is kept apart; s[1..n-1] hold the ones under it, the nearest last
    // (s[0] takes the empty top the first push moves down), so n counts the values.
    // Compilation has checked that every operator finds its values, and no form is
    // longer than the stack.
    //
    // A value that is not finite ends the evaluation with NaN: the full evaluator refuses an
    // infinite operand, and what it does with a value it has no number for is its own. Most
    // operators pass infinities and NaN on, so only those that could hide one (comparisons,
    // logic, e^(-∞), 1/∞, ...) add their values times 0 to `unfinished`, which an infinity or
    // a NaN makes NaN; it and the values left are checked at the end.
    double s[kStackSize + 1];
    int n = 0;
    double top = 0;
    double L = 0;
    double unfinished = 0;
    auto popLeft = [&] { L = s[--n]; };
    auto seen = [&](double v) {
        unfinished += v * 0.0;
        return v;
    };
    for (const Instruction* end = code + count; code != end; ++code) {
        const Instruction& in = *code;
        switch (in.op) {
        case Op::Constant:
            s[n++] = top;
            top = in.value;
            break;
        case Op::Variable: s[n++] = top; top = pushed(in, vars, Op::Variable); break;
        case Op::VariableSquare: s[n++] = top; top = pushed(in, vars, Op::VariableSquare); break;
        case Op::VariableCube: s[n++] = top; top = pushed(in, vars, Op::VariableCube); break;
        case Op::VariableTimes: s[n++] = top; top = pushed(in, vars, Op::VariableTimes); break;
        case Op::SquareTimes: s[n++] = top; top = pushed(in, vars, Op::SquareTimes); break;
        case Op::CubeTimes: s[n++] = top; top = pushed(in, vars, Op::CubeTimes); break;
        case Op::Nop:
            break;

        // One value.
        case Op::Negate: top = -top; break;
        case Op::Int: top = std::floor(top); break;
        case Op::Abs: top = std::fabs(top); break;
        case Op::IPart: top = std::trunc(top); break;
        case Op::FPart: top = top - std::trunc(top); break;
        case Op::Sqrt: top = std::sqrt(top); break;
        case Op::Cbrt: top = std::cbrt(top); break;
        case Op::Ln:
            // The complex modes take the complex logarithm, whose real part may differ in
            // the last bit; a negative value has none that is real.
            if (calc_.realCplxMode() != 0 && top > 0.0)
                top = std::log(std::complex<double>(top, 0.0)).real();
            else
                top = std::log(top);
            break;
        case Op::Sin: top = ElementaryFunctions::VQSin(toRadians(top)); break;
        case Op::Cos: top = ElementaryFunctions::VQCos(toRadians(top)); break;
        case Op::Tan: top = ElementaryFunctions::VQTan(toRadians(top)); break;
        case Op::ASin: top = fromRadians(std::asin(top)); break;
        case Op::ACos: top = fromRadians(std::acos(top)); break;
        case Op::Sinh: top = std::sinh(top); break;
        case Op::ASinh: top = std::asinh(top); break;
        case Op::Cosh: top = std::cosh(top); break;
        case Op::ACosh: top = std::acosh(top); break;
        case Op::ATanh: top = std::atanh(top); break;
        case Op::RadianMark:
            top = angle == 0 ? top * 180 / std::numbers::pi : angle == 2 ? top * 200 / std::numbers::pi : top;
            break;
        case Op::DegreeMark:
            top = angle == 1 ? top * std::numbers::pi / 180 : angle == 2 ? top * 200 / 180 : top;
            break;
        case Op::Square: top = top * top; break;
        case Op::Cube: top = top * top * top; break;
        case Op::Factorial: top = std::tgamma(top + 1.0); break;
        case Op::Ln1p: top = std::log1p(top); break;
        case Op::Floor: top = std::floor(top); break;
        case Op::Ceiling: top = std::ceil(top); break;
        case Op::Percent: top = top / 100; break;
        case Op::RoundDefault: {
            const int digits = calc_.state().numDigits;
            top = ElementaryFunctions::round(top, digits < 0 ? 10 : digits);
            break;
        }
        // One value that could hide an infinity: e^(-∞) would be 0, 1/∞ 0, not(∞) 0.
        case Op::Not: top = truth(seen(top) == 0.0); break;
        case Op::Exp: top = std::exp(seen(top)); break;
        case Op::TenPow: top = std::pow(10.0, seen(top)); break;
        case Op::ATan: top = fromRadians(std::atan(seen(top))); break;
        case Op::Tanh: top = std::tanh(seen(top)); break;
        case Op::Inverse: top = seen(top) == 0.0 ? kNaN : 1.0 / top; break;
        case Op::Expm1: top = std::expm1(seen(top)); break;
        case Op::Sign: top = seen(top) == 0.0 ? 0.0 : std::signbit(top) ? -1.0 : 1.0; break;
        case Op::UnitConversion: top = UnitConverter::convert(seen(top), in.opcode >> 16).value_or(kNaN); break;

        // Two values: L under the top, R the top.
        case Op::Add: popLeft(); top = L + top; break;
        case Op::Subtract: popLeft(); top = L - top; break;
        case Op::Multiply: popLeft(); top = L * top; break;
        // x/∞ would be 0.
        case Op::Divide: popLeft(); top = seen(top) == 0.0 ? kNaN : L / top; break;
        case Op::Fraction:
            popLeft();
            top = seen(top) == 0.0 ? kNaN : L / top;
            p_.ctx().f_nd = true;
            break;
        case Op::AddR: top = top + in.value; break;
        case Op::AddL: top = in.value + top; break;
        case Op::SubtractR: top = top - in.value; break;
        case Op::SubtractL: top = in.value - top; break;
        case Op::MultiplyR: top = top * in.value; break;
        case Op::MultiplyL: top = in.value * top; break;
        case Op::DivideR: top = in.value == 0.0 ? kNaN : top / in.value; break;
        case Op::DivideL: top = seen(top) == 0.0 ? kNaN : in.value / top; break;
        case Op::AddTerm1: top = top + pushed(in, vars, Op::VariableTimes); break;
        case Op::AddTerm2: top = top + pushed(in, vars, Op::SquareTimes); break;
        case Op::AddTerm3: top = top + pushed(in, vars, Op::CubeTimes); break;
        case Op::SubtractTerm1: top = top - pushed(in, vars, Op::VariableTimes); break;
        case Op::SubtractTerm2: top = top - pushed(in, vars, Op::SquareTimes); break;
        case Op::SubtractTerm3: top = top - pushed(in, vars, Op::CubeTimes); break;
        case Op::Polynomial:
            s[n++] = top;
            top = polynomial(in, terms, vars);
            break;
        case Op::MixedNumber: {
            // whole␣numerator／denominator: a whole number and two counts, the denominator
            // not 0.
            const double whole = s[n - 2], numerator = s[n - 1], denominator = top;
            n -= 2;
            if (!ElementaryFunctions::isWhole(whole) || !ElementaryFunctions::isWhole(numerator)
                || !ElementaryFunctions::isWhole(denominator) || numerator < 0.0 || !(denominator > 0.0))
                return kNaN;
            top = whole + numerator / denominator;
            p_.ctx().f_und = true;
            p_.ctx().f_nd = true;
            break;
        }

        // Operators that could hide a NaN or an infinity.
        case Op::PowerR: top = power(calc_, seen(top), in.value); break;
        case Op::PowerL: top = power(calc_, in.value, seen(top)); break;
        default: {
            popLeft();
            seen(L);
            seen(top);
            const double R = top;
            switch (in.op) {
            case Op::Equal: top = truth(ScalarOperators::tolerantEqual(L, R)); break;
            case Op::NotEqual: top = truth(!ScalarOperators::tolerantEqual(L, R)); break;
            case Op::Less: top = truth(L < R); break;
            case Op::Greater: top = truth(L > R); break;
            case Op::LessEqual: top = truth(L <= R); break;
            case Op::GreaterEqual: top = truth(L >= R); break;
            case Op::And: top = truth(L != 0.0 && R != 0.0); break;
            case Op::Or: top = truth(L != 0.0 || R != 0.0); break;
            case Op::Xor: top = truth((L != 0.0) != (R != 0.0)); break;
            case Op::AndB: top = BitOps::andb(L, R); break;
            case Op::OrB: top = BitOps::orb(L, R); break;
            case Op::XorB: top = BitOps::xorb(L, R); break;
            case Op::Power: top = power(calc_, L, R); break;
            case Op::XRoot: top = power(calc_, R, 1.0 / L); break;
            case Op::Max: top = L > R ? L : R; break;
            case Op::Min: top = L < R ? L : R; break;
            case Op::RToPr: top = std::hypot(L, R); break;
            case Op::Hypot: top = std::hypot(R, L); break;
            case Op::RToPTheta: top = fromRadians(std::atan2(R, L)); break;
            case Op::Atan2: top = fromRadians(std::atan2(L, R)); break;
            case Op::PToRx: top = L * ElementaryFunctions::VQCos(toRadians(R)); break;
            case Op::PToRy: top = L * ElementaryFunctions::VQSin(toRadians(R)); break;
            case Op::Lcm: top = counts(L, R) ? Combinatorics::lcmArg1(R, L) : kNaN; break;
            case Op::Gcd: top = counts(L, R) ? Combinatorics::gcdArg1(R, L) : kNaN; break;
            case Op::Remainder: {
                if (!counts(L, R) || R < 1.0)
                    return kNaN;
                const double q = L / R;
                top = std::round(R * (q - std::trunc(q)));
                break;
            }
            case Op::LogBase:
            case Op::Log:
                top = !(L > 0.0) ? kNaN : R == 10.0 ? std::log10(L) : std::log(L) / std::log(R);
                break;
            case Op::Round: {
                const auto d = ArgumentFetcher::wholeIn(R, 0, 10);
                top = d ? ElementaryFunctions::round(L, *d) : kNaN;
                break;
            }
            case Op::RoundSigFig: {
                const auto figures = ArgumentFetcher::wholeIn(R, 0, INT_MAX);
                top = figures ? ElementaryFunctions::roundSF(L, *figures) : kNaN;
                break;
            }
            default: return kNaN;
            }
            break;
        }
        }
    }
    // No value left may be without a number; the top one is the answer.
    if (!std::isfinite(top) || std::isnan(unfinished))
        return kNaN;
    for (int i = 1; i < n; ++i)
        if (!std::isfinite(s[i]))
            return kNaN;
    return top;
}

} // namespace orvenda
