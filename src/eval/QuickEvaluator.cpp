#include "eval/QuickEvaluator.h"

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "eval/ArgumentFetcher.h"
#include "eval/Parser.h"
#include "numeric/AngleConversion.h"
#include "numeric/BitOps.h"
#include "numeric/Combinatorics.h"
#include "numeric/ElementaryFunctions.h"

#include <algorithm>
#include <cmath>
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
    case Op::Fraction: case Op::Mixed: case Op::MixedNumber:
    case Op::RToPTheta: case Op::PToRx: case Op::PToRy: case Op::Atan2:
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
        code.push_back({Op::Constant, 0, value, 0});
        stack[depth++] = {true, value, code.size() - 1};
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
            code.push_back(*in);
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
                // The count becomes the default second value.
                Instruction& at = code[count.producer];
                if (op == Op::Round) {
                    at.op = Op::NumDigits;
                    count.constant = false;
                } else {
                    at.value = count.value = op == Op::Log ? 10.0 : 15.0;
                }
            } else if (isCounted(op) && count.value != 2) {
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
        Instruction emitted = *in;
        if (n == 2) {
            if (auto forms = constantForms(op); forms && (values[1].constant || values[0].constant)) {
                const Known& constant = values[1].constant ? values[1] : values[0];
                code[constant.producer].op = Op::Nop;
                emitted.op = values[1].constant ? forms->first : forms->second;
                emitted.value = constant.value;
                // X² is written X^2 often; the product is the same value.
                if (emitted.op == Op::PowerR && constant.value == 2)
                    emitted.op = Op::Square;
            }
        }
        code.push_back(emitted);
        stack[depth++] = {false, 0, 0};
    }

    if (program.alwaysNaN) {
        code.clear();
        return true;
    }
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
        if (isVariableForm(in.op))
            return pushed(in, calc_.state().vars.data(), in.op);
        if (in.op == Op::Polynomial)
            return polynomial(in, program.terms.data(), calc_.state().vars.data());
    }
    return run(program.code.data(), program.code.size(), program.terms.data());
}

double QuickEvaluator::run(const Instruction* code, std::size_t count, const Term* terms) const
{
    if (count == 0)
        return 0;
    const std::complex<double>* vars = calc_.state().vars.data();
    auto toRadians = [this](double x) { return AngleConversion::toRadians(x, calc_.angleFormat()); };
    auto fromRadians = [this](double x) { return AngleConversion::fromRadians(x, calc_.angleFormat()); };

    // The top value is kept apart; s[1..n-1] hold the ones under it, the nearest last
    // (s[0] takes the empty top the first push moves down), so n counts the values.
    // Compilation has checked that every operator finds its values, and no form is
    // longer than the stack.
    //
    // A value without a number (NaN) ends the evaluation with NaN. Most operators pass
    // NaN on, so only those that could hide it (comparisons, logic, max(, a power to 0,
    // ...) look at their values first; the rest is checked at the end.
    double s[kStackSize + 1];
    int n = 0;
    double top = 0;
    double L = 0;
    auto popLeft = [&] { L = s[--n]; };
    auto popLeftChecked = [&] {
        L = s[--n];
        return !std::isnan(L) && !std::isnan(top);
    };
    for (const Instruction* end = code + count; code != end; ++code) {
        const Instruction& in = *code;
        switch (in.op) {
        case Op::Constant:
            s[n++] = top;
            top = in.value;
            break;
        case Op::NumDigits:
            s[n++] = top;
            top = calc_.state().numDigits;
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
        case Op::Not:
            if (std::isnan(top))
                return kNaN;
            top = truth(top == 0.0);
            break;
        case Op::IPart: top = std::trunc(top); break;
        case Op::FPart: top = top - std::trunc(top); break;
        case Op::Sqrt: top = std::sqrt(top); break;
        case Op::Cbrt: top = std::signbit(top) ? -std::pow(std::fabs(top), 1.0 / 3.0) : std::pow(top, 1.0 / 3.0); break;
        case Op::Ln: top = std::log(top); break;
        case Op::Exp: top = std::exp(top); break;
        case Op::TenPow: top = std::pow(10.0, top); break;
        case Op::Sin: top = std::sin(toRadians(top)); break;
        case Op::Cos: top = std::cos(toRadians(top)); break;
        case Op::Tan: top = std::tan(toRadians(top)); break;
        case Op::ASin: top = fromRadians(std::asin(top)); break;
        case Op::ACos: top = fromRadians(std::acos(top)); break;
        case Op::ATan: top = fromRadians(std::atan(top)); break;
        case Op::Sinh: top = std::sinh(top); break;
        case Op::ASinh: top = std::asinh(top); break;
        case Op::Cosh: top = std::cosh(top); break;
        case Op::ACosh: top = std::acosh(top); break;
        case Op::Tanh: top = std::tanh(top); break;
        case Op::ATanh: top = std::atanh(top); break;
        case Op::RadianMark: top = calc_.angleFormat() == 0 ? top * 180.0 / std::numbers::pi : top; break;
        case Op::DegreeMark: top = calc_.angleFormat() == 1 ? top * std::numbers::pi / 180.0 : top; break;
        case Op::Inverse: top = top == 0.0 ? kNaN : 1.0 / top; break;
        case Op::Square: top = top * top; break;
        case Op::Cube: top = top * top * top; break;
        case Op::Factorial: top = std::tgamma(top + 1.0); break;
        case Op::Expm1: top = std::expm1(top); break;
        case Op::Ln1p: top = std::log1p(top); break;
        case Op::Floor: top = std::floor(top); break;
        case Op::Ceiling: top = std::ceil(top); break;
        case Op::Sign:
            if (std::isnan(top))
                return kNaN;
            top = top == 0.0 ? 0.0 : std::signbit(top) ? -1.0 : 1.0;
            break;
        case Op::Percent: top = top / 100.0; break;
        case Op::UnitConversion: {
            if (std::isnan(top))
                return kNaN;
            Operand value;
            value.kind = KindReal;
            value.value = {top, 0.0};
            top = p_.op(in.opcode, value).re();
            break;
        }

        // Two values: L under the top, R the top.
        case Op::Add: popLeft(); top = L + top; break;
        case Op::Subtract: popLeft(); top = L - top; break;
        case Op::Multiply: popLeft(); top = L * top; break;
        case Op::Divide: popLeft(); top = top == 0.0 ? kNaN : L / top; break;
        case Op::Fraction:
            popLeft();
            top = top == 0.0 ? kNaN : L / top;
            p_.ctx().f_nd = true;
            break;
        case Op::Mixed:
            popLeft();
            top = L + top;
            p_.ctx().f_und = true;
            break;
        case Op::AddR: top = top + in.value; break;
        case Op::AddL: top = in.value + top; break;
        case Op::SubtractR: top = top - in.value; break;
        case Op::SubtractL: top = in.value - top; break;
        case Op::MultiplyR: top = top * in.value; break;
        case Op::MultiplyL: top = in.value * top; break;
        case Op::DivideR: top = in.value == 0.0 ? kNaN : top / in.value; break;
        case Op::DivideL: top = top == 0.0 ? kNaN : in.value / top; break;
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
            const double A = s[n - 2], B = s[n - 1];
            n -= 2;
            top = A + top / B;
            p_.ctx().f_und = true;
            break;
        }

        // Operators that could hide a NaN.
        case Op::PowerR:
            if (std::isnan(top))
                return kNaN;
            top = power(calc_, top, in.value);
            break;
        case Op::PowerL:
            if (std::isnan(top))
                return kNaN;
            top = power(calc_, in.value, top);
            break;
        default: {
            if (!popLeftChecked())
                return kNaN;
            const double R = top;
            switch (in.op) {
            case Op::Equal: top = truth(std::fabs(L - R) < 1e-15); break;
            case Op::NotEqual: top = truth(!(std::fabs(L - R) < 1e-15)); break;
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
            case Op::RToPr:
            case Op::Hypot: top = std::hypot(L, R); break;
            case Op::RToPTheta: top = fromRadians(std::atan2(R, L)); break;
            case Op::Atan2: top = fromRadians(std::atan2(L, R)); break;
            case Op::PToRx: top = L * std::cos(toRadians(R)); break;
            case Op::PToRy: top = L * std::sin(toRadians(R)); break;
            case Op::Lcm:
                top = L < 0.0 || R < 0.0 ? kNaN : Combinatorics::lcmArg1(std::trunc(L), std::trunc(R));
                break;
            case Op::Gcd:
                top = L < 0.0 || R < 0.0 ? kNaN : Combinatorics::gcdArg1(std::trunc(L), std::trunc(R));
                break;
            case Op::Remainder:
                top = R == 0.0 || L < 0.0 || R < 0.0 ? kNaN : std::round(R * (L / R - std::trunc(L / R)));
                break;
            case Op::LogBase:
            case Op::Log: top = R == 10.0 ? std::log10(L) : std::log(L) / std::log(R); break;
            case Op::Round: {
                const double d = std::trunc(R);
                top = d >= 0.0 && d <= 9.0 ? ElementaryFunctions::round(L, ArgumentFetcher::clampedInt(d)) : L;
                break;
            }
            case Op::RoundSigFig: {
                const double d = std::trunc(R);
                top = d >= 1.0 && d <= 14.0 ? ElementaryFunctions::roundSF(L, ArgumentFetcher::clampedInt(d)) : L;
                break;
            }
            default: return kNaN;
            }
            break;
        }
        }
    }
    // No value left may be NaN; the bottom one is the answer.
    if (std::isnan(top))
        return kNaN;
    for (int i = 1; i < n; ++i)
        if (std::isnan(s[i]))
            return kNaN;
    return n <= 1 ? top : s[1];
}

} // namespace orvenda
