#include "eval/GraphSampler.h"

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "core/services/YEqManager.h"
#include "eval/Parser.h"
#include "eval/VariableFunction.h"
#include "language/ErrorNumbers.h"
#include "language/TokenRanges.h"
#include "numeric/Densities.h"
#include "numeric/Distributions.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace orvenda {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

constexpr int kSlotT = 19;
constexpr int kSlotX = 23;
constexpr int kSlotTheta = 26;
constexpr int kSlotSequence = 27;

constexpr int kSolverEquation = 0x5E1A;

constexpr int kShadeNorm = 0xBB35;
constexpr int kShadeT = 0xBB36;
constexpr int kShadeChi2 = 0xBB37;
constexpr int kShadeF = 0xBB38;

constexpr tokens::Range kFunctions[]{{0x5E10, 0x5E19}};
constexpr tokens::Range kParametric[]{{0x5E20, 0x5E2B}};
constexpr tokens::Range kPolar[]{{0x5E40, 0x5E45}};
constexpr tokens::Range kSequences[]{{0x5E80, 0x5E82}};
constexpr tokens::Range kImplicit[]{{0x5EA0, 0x5EA9}};

bool isFunction(int token) { return tokens::in(kFunctions, std::uint32_t(token)); }
bool isParametric(int token) { return tokens::in(kParametric, std::uint32_t(token)); }
bool isPolar(int token) { return tokens::in(kPolar, std::uint32_t(token)); }
bool isSequence(int token) { return tokens::in(kSequences, std::uint32_t(token)); }
bool isImplicit(int token) { return tokens::in(kImplicit, std::uint32_t(token)); }

} // namespace

// The slot's complex value is kept and put back when the borrow ends.
class GraphSampler::Borrow {
public:
    Borrow(Calculator& calc, int slot) : var_(calc.state().vars[static_cast<std::size_t>(slot)]), saved_(var_) {}
    Borrow(Calculator& calc, int slot, double value) : Borrow(calc, slot) { set(value); }
    ~Borrow() { var_ = saved_; }
    Borrow(const Borrow&) = delete;
    Borrow& operator=(const Borrow&) = delete;

    void set(double value) { var_ = {value, 0.0}; }

private:
    std::complex<double>& var_;
    const std::complex<double> saved_;
};

GraphSampler::GraphSampler(Calculator& calc) : calc_(calc), parser_(calc.parser()), quick_(parser_) {}

bool GraphSampler::validSlot(int slot)
{
    return slot >= 0 && slot < Calculator::kVarCount;
}

int GraphSampler::varNumForPlotFunction(int token) const
{
    if (isFunction(token) || isImplicit(token))
        return kSlotX;
    if (token == kSolverEquation)
        return calc_.yEqManager ? calc_.yEqManager->solverVar() : kSlotX;
    if (isParametric(token))
        return kSlotT;
    if (isPolar(token))
        return kSlotTheta;
    if (isSequence(token))
        return kSlotSequence;
    return -1;
}

bool GraphSampler::shouldPlotFunction(int token)
{
    const auto hold = calc_.lockState();
    if (!calc_.yEqManager || !calc_.yEqManager->shouldPlotFunction(token))
        return false;
    parser_.setError(0);
    return calc_.yEqManager->rpnForFunction(token) != nullptr;
}

double GraphSampler::judge(double re, double im)
{
    // A NaN imaginary part counts as not real.
    if (parser_.error() != 0 || !(im == 0)) {
        parser_.setError(0);
        return kNaN;
    }
    return re;
}

double GraphSampler::evaluate(const VQStack& fn)
{
    parser_.evaluator().evalRPN(fn, true, true, result_);
    if (result_.kind != KindReal && result_.kind != KindComplex)
        return judge(kNaN, kNaN);
    return judge(result_.value.real(), result_.value.imag());
}

double GraphSampler::sample(const VQStack& fn, const QuickEvaluator::Program* fast)
{
    // A fast value is real and sets no error.
    const double y = fast ? quick_.run(*fast) : kNaN;
    if (std::isnan(y)) [[unlikely]]
        return evaluate(fn);
    return y;
}

double GraphSampler::sequenceTerm(int token, double n)
{
    const Operand term = parser_.evalSeqNum(token, n, nullptr);
    const bool real = (term.kind == KindReal || term.kind == KindComplex) && term.value.imag() == 0;
    return real ? term.value.real() : kNaN;
}

double GraphSampler::valueOf(int token, double at)
{
    if (isSequence(token)) {
        const double term = sequenceTerm(token, at);
        return std::isnan(term) ? judge(kNaN, kNaN) : judge(term, 0);
    }
    const auto fn = calc_.yEqManager ? calc_.yEqManager->rpnForFunction(token) : nullptr;
    return fn ? evaluate(*fn) : kNaN;
}

// The value with the variable lent the value at, under the state lock; none for a slot
// that is not a variable's.
template <class Value>
double GraphSampler::atSlot(int varNum, double at, Value&& value)
{
    const auto hold = calc_.lockState();
    if (!validSlot(varNum))
        return kNaN;
    Borrow slot(calc_, varNum, at);
    return value();
}

double GraphSampler::function(int token, int varNum, double at)
{
    return atSlot(varNum, at, [&] { return valueOf(token, at); });
}

double GraphSampler::evalFn(const VQStack& fn, int varNum, double x)
{
    return atSlot(varNum, x, [&] { return evaluate(fn); });
}

double GraphSampler::evalQuick(const VQStack& fn, int varNum, double x)
{
    return atSlot(varNum, x, [&] { return parser_.evalQuickRPN(fn); });
}

double GraphSampler::evalQuick(const QuickEvaluator::Program& program, int varNum, double x)
{
    return atSlot(varNum, x, [&] { return quick_.run(program); });
}

double GraphSampler::evalFn(const VQStack& fn, const QuickEvaluator::Program* fast, int varNum, double x)
{
    return atSlot(varNum, x, [&] { return sample(fn, fast); });
}

double GraphSampler::dfunction(int token, double x)
{
    const auto hold = calc_.lockState();
    const int varNum = varNumForPlotFunction(token);
    if (!validSlot(varNum))
        return 0.0;
    Borrow slot(calc_, varNum, x);
    const double value = valueOf(token, x);
    parser_.setError(0);
    return value;
}

double GraphSampler::slopeFn(const VQStack& fn, int varNum, double x, double e)
{
    const auto hold = calc_.lockState();
    if (!validSlot(varNum))
        return kNaN;
    Borrow slot(calc_, varNum);
    // The error of a failed side stays for the caller.
    const auto side = [&](double at, double& value) {
        slot.set(at);
        parser_.evaluator().evalRPN(fn, true, true, result_);
        value = result_.value.real();
        return parser_.error() == 0 && (result_.kind == KindReal || result_.kind == KindComplex)
            && result_.value.imag() == 0;
    };
    double below = 0, above = 0;
    if (!side(x - e, below) || !side(x + e, above))
        return kNaN;
    return (above - below) / (e + e);
}

double GraphSampler::dydVar(int varNum, double at, int token, double e)
{
    const auto hold = calc_.lockState();
    return (function(token, varNum, at + e) - function(token, varNum, at - e)) / (2 * e);
}

// The slope's rise and run at value: the changes in y and in x over [value − e, value + e].
std::pair<double, double> GraphSampler::slopeParts(double value, int token, double e)
{
    const double a = value - e, b = value + e;
    if (isFunction(token))
        return {function(token, kSlotX, b) - function(token, kSlotX, a), 2 * e};
    if (isParametric(token)) {
        const int xToken = token & ~1, yToken = token | 1;
        const double xa = function(xToken, kSlotT, a);
        const double ya = function(yToken, kSlotT, a);
        const double xb = function(xToken, kSlotT, b);
        const double yb = function(yToken, kSlotT, b);
        return {yb - ya, xb - xa};
    }
    if (isPolar(token)) {
        const double ra = function(token, kSlotTheta, a);
        const double rb = function(token, kSlotTheta, b);
        const double k = calc_.angleFormat() == 0 ? 0.017453292519943295 : 1.0;
        return {rb * std::sin(b * k) - ra * std::sin(a * k), rb * std::cos(b * k) - ra * std::cos(a * k)};
    }
    return {kNaN, 1};
}

double GraphSampler::dydxAt(double value, int token, double e)
{
    const auto hold = calc_.lockState();
    const auto [rise, run] = slopeParts(value, token, e);
    return rise / run;
}

int GraphSampler::slopeErrorAt(double value, int token, double e)
{
    const auto hold = calc_.lockState();
    if (!isFunction(token) && !isParametric(token) && !isPolar(token))
        return 0;
    const auto [rise, run] = slopeParts(value, token, e);
    if (run == 0)
        return ErrDivideBy0;
    return std::isfinite(rise / run) ? 0 : ErrOverflow;
}

double GraphSampler::drdThetaAt(double theta, int token, double e)
{
    const auto hold = calc_.lockState();
    return (function(token, kSlotTheta, theta + e) - function(token, kSlotTheta, theta - e)) / (2 * e);
}

void GraphSampler::plotFn(const VQStack& fn, int varNum, double xMin, double step, std::span<XY> data)
{
    const auto hold = calc_.lockState();
    plotFn(fn, quick_.compile(fn, fastX_) ? &fastX_ : nullptr, varNum, xMin, step, data);
}

void GraphSampler::plotFn(const VQStack& fn, const QuickEvaluator::Program* fast, int varNum, double xMin,
                          double step, std::span<XY> data)
{
    const auto hold = calc_.lockState();
    double x = xMin;
    if (!validSlot(varNum)) {
        for (XY& record : data) {
            record = {x, kNaN};
            x += step;
        }
        return;
    }
    Borrow slot(calc_, varNum);
    for (XY& record : data) {
        slot.set(x);
        record.x = x;
        record.y = sample(fn, fast);
        x += step;
    }
}

void GraphSampler::plotFunction(int token, int varNum, double xMin, double step, std::span<XY> data)
{
    const auto hold = calc_.lockState();
    const auto fn = calc_.yEqManager ? calc_.yEqManager->rpnForFunction(token) : nullptr;
    if (fn) {
        plotFn(*fn, varNum, xMin, step, data);
        return;
    }
    double x = xMin;
    for (XY& record : data) {
        record = {x, kNaN};
        x += step;
    }
}

void GraphSampler::plotPolar(int token, double thetaMin, double thetaMax, double step, std::span<XYT> data)
{
    const auto hold = calc_.lockState();
    Borrow slot(calc_, kSlotTheta);
    const auto fn = calc_.yEqManager ? calc_.yEqManager->rpnForFunction(token) : nullptr;
    const QuickEvaluator::Program* fast = fn && quick_.compile(*fn, fastX_) ? &fastX_ : nullptr;
    const double toRadians = calc_.angleFormat() == 0 ? std::numbers::pi / 180 : 1.0;
    double running = thetaMin;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const double theta = i + 1 == data.size() ? thetaMax : running;
        slot.set(theta);
        const double r = fn ? sample(*fn, fast) : kNaN;
        const double angle = theta * toRadians;
        data[i] = {r * std::cos(angle), r * std::sin(angle), theta};
        running += step;
    }
}

void GraphSampler::plotParametric(int token, double tMin, double tMax, double step, std::span<XYT> data)
{
    const auto hold = calc_.lockState();
    Borrow slot(calc_, kSlotT);
    const auto xFn = calc_.yEqManager ? calc_.yEqManager->rpnForFunction(token) : nullptr;
    const auto yFn = calc_.yEqManager ? calc_.yEqManager->rpnForFunction(token + 1) : nullptr;
    // The fast evaluator only when it takes both halves.
    const bool fast = xFn && yFn && quick_.compile(*xFn, fastX_) && quick_.compile(*yFn, fastY_);
    const auto value = [&](const std::shared_ptr<VQStack>& fn, const QuickEvaluator::Program& program) {
        return fn ? sample(*fn, fast ? &program : nullptr) : kNaN;
    };
    double running = tMin;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const double t = i + 1 == data.size() ? tMax : running;
        slot.set(t);
        const double x = value(xFn, fastX_);
        data[i] = {x, value(yFn, fastY_), t};
        running += step;
    }
}

int GraphSampler::errorNear(const VQStack& fn, int varNum, double at, double e)
{
    const auto hold = calc_.lockState();
    // The routines' own reading of a point, so the sheet says what they would.
    VariableFunction f(parser_, fn, varNum);
    for (const double x : {at, at - e, at + e})
        if (!std::isfinite(f.value(x)))
            return f.errorOr(ErrDomain);
    return 0;
}

int GraphSampler::errorNear(int token, int varNum, double at, double e)
{
    const auto hold = calc_.lockState();
    const auto fn = calc_.yEqManager && !isSequence(token) ? calc_.yEqManager->rpnForFunction(token) : nullptr;
    return fn ? errorNear(*fn, varNum, at, e) : 0;
}

double GraphSampler::integrateEqNum(int token, double lower, double upper, double tolerance)
{
    const auto hold = calc_.lockState();
    const auto fn = calc_.yEqManager ? calc_.yEqManager->rpnForFunction(token) : nullptr;
    if (!fn) {
        parser_.setError(ErrInvalid);
        return kNaN;
    }
    return parser_.integrateFunction(*fn, kSlotX, lower, upper, tolerance);
}

double GraphSampler::extremum(int token, double lower, double upper, double tolerance, bool findMin)
{
    const auto hold = calc_.lockState();
    const auto fn = calc_.yEqManager ? calc_.yEqManager->rpnForFunction(token) : nullptr;
    if (!fn) {
        parser_.setError(ErrInvalid);
        return kNaN;
    }
    return parser_.minMaxFunction(*fn, kSlotX, lower, upper, tolerance, findMin);
}

double GraphSampler::minEqNum(int token, double lower, double upper, double tolerance)
{
    return extremum(token, lower, upper, tolerance, true);
}

double GraphSampler::maxEqNum(int token, double lower, double upper, double tolerance)
{
    return extremum(token, lower, upper, tolerance, false);
}

double GraphSampler::shadeFunction(int token, double p1, double p2, double x)
{
    switch (token) {
    case kShadeNorm: return Densities::normalPdf(x, p1, p2);
    case kShadeT: return Densities::studentTPdf(x, p1);
    case kShadeChi2: return Densities::chiSquarePdf(x, p1);
    case kShadeF: return Densities::fisherFPdf(x, p1, p2);
    default: return 0.0;
    }
}

double GraphSampler::shadeFunctionArea(int token, double p1, double p2, double lower, double upper)
{
    switch (token) {
    case kShadeNorm: return Distributions::normalcdf(lower, upper, p1, p2);
    case kShadeT: return Distributions::tcdf(lower, upper, p1);
    case kShadeChi2: return Distributions::x2cdf(lower, upper, p1);
    case kShadeF: return Distributions::fcdf(lower, upper, p1, p2);
    default: return 0.0;
    }
}

void GraphSampler::distributionFunction(int token, double p1, double p2, double xMin, double step, std::span<XY> data)
{
    const int density = token == kShadeT || token == kShadeChi2 || token == kShadeF ? token : kShadeNorm;
    double x = xMin;
    for (XY& record : data) {
        record = {x, shadeFunction(density, p1, p2, x)};
        x += step;
    }
}

} // namespace orvenda
