#include "numeric/TVM.h"

#include "numeric/ElementaryFunctions.h"
#include "numeric/MathPolicy.h"

#include <boost/math/tools/toms748_solve.hpp>

#include <cmath>
#include <cstdint>
#include <limits>

namespace orvenda {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Rates are worked with as x = ln(1 + i), i the rate of one payment period: it keeps the
// digits of small rates and maps every rate above -100 % onto the whole line.

// What 1 paid at the end of each of n periods is worth now: (1 - (1 + i)^-n) / i.
double annuity(double x, double n)
{
    const double i = std::expm1(x);
    return i == 0.0 ? n : -std::expm1(-n * x) / i;
}

// What 1 paid at the end of each of n periods is worth after the last: ((1 + i)^n - 1) / i.
double accumulation(double x, double n)
{
    const double i = std::expm1(x);
    return i == 0.0 ? n : std::expm1(n * x) / i;
}

// A payment at the beginning of a period earns one period more.
double timing(const TVMRecord& r, double x)
{
    return r.paymentAtBegin ? std::exp(x) : 1.0;
}

// Zero when the record balances at rate x: PV + G·PMT·a(N) + FV·(1 + i)^-N.
double imbalance(const TVMRecord& r, double x)
{
    return r.pv + timing(r, x) * r.pmt * annuity(x, r.n) + r.fv * std::exp(-r.n * x);
}

double presentValue(double x, double cf0, std::span<const double> flows, std::span<const double> counts)
{
    double total = cf0;
    double t = 0.0;
    for (std::size_t j = 0; j < flows.size(); ++j) {
        const double f = counts.empty() ? 1.0 : counts[j];
        if (f == 0.0)
            continue;
        total += flows[j] * std::exp(-t * x) * annuity(x, f);
        t += f;
    }
    return total;
}

enum class RootSearch { Found, NoBracket, NotConverged };

// The root of f nearest x = 0: steps outward both ways on a geometric grid until f changes
// sign (a side ends where f stops being finite), then narrows the bracket by TOMS 748.
template <class F>
RootSearch rootNearZero(F f, double& root)
{
    const double f0 = f(0.0);
    if (f0 == 0.0) {
        root = 0.0;
        return RootSearch::Found;
    }
    if (!std::isfinite(f0))
        return RootSearch::NoBracket;
    double lo = 0.0, hi = 0.0, flo = f0, fhi = f0;
    bool found = false;
    double prev[2] = {0.0, 0.0};
    double fprev[2] = {f0, f0};
    bool open[2] = {true, true};
    for (double step = 1e-3; step < 40.0 && !found && (open[0] || open[1]); step *= 1.2) {
        for (int side = 0; side < 2 && !found; ++side) {
            if (!open[side])
                continue;
            const double x = side == 0 ? step : -step;
            const double fx = f(x);
            if (!std::isfinite(fx)) {
                open[side] = false;
                continue;
            }
            if ((fx < 0.0) != (fprev[side] < 0.0) || fx == 0.0) {
                lo = std::min(prev[side], x);
                hi = std::max(prev[side], x);
                flo = lo == x ? fx : fprev[side];
                fhi = hi == x ? fx : fprev[side];
                found = true;
            }
            prev[side] = x;
            fprev[side] = fx;
        }
    }
    if (!found)
        return RootSearch::NoBracket;
    if (flo == 0.0 || fhi == 0.0) {
        root = flo == 0.0 ? lo : hi;
        return RootSearch::Found;
    }
    constexpr std::uintmax_t kMaxIterations = 200;
    std::uintmax_t iterations = kMaxIterations;
    const auto bracket = boost::math::tools::toms748_solve(
        f, lo, hi, flo, fhi, boost::math::tools::eps_tolerance<double>(), iterations, MathPolicy());
    if (iterations >= kMaxIterations)
        return RootSearch::NotConverged;
    root = std::fabs(f(bracket.first)) <= std::fabs(f(bracket.second)) ? bracket.first : bracket.second;
    return RootSearch::Found;
}

bool finite(const TVMRecord& r)
{
    return std::isfinite(r.n) && std::isfinite(r.iPercent) && std::isfinite(r.pv) && std::isfinite(r.pmt)
        && std::isfinite(r.fv);
}

} // namespace

double TVM::fail(int error)
{
    error_ = error;
    return kNaN;
}

bool TVM::begin(const TVMRecord& r, double& x)
{
    error_ = None;
    const double perCompounding = r.iPercent / (100.0 * r.cy);
    if (!(r.py > 0.0) || !(r.cy > 0.0) || !std::isfinite(r.py) || !std::isfinite(r.cy) || !finite(r)
        || !(perCompounding > -1.0)) {
        error_ = OutOfRange;
        return false;
    }
    x = r.cy / r.py * std::log1p(perCompounding);
    return true;
}

double TVM::computeN(const TVMRecord& r)
{
    double x = 0.0;
    if (!begin(r, x))
        return kNaN;
    const double i = std::expm1(x);
    double n;
    if (i == 0.0) {
        if (r.pmt == 0.0)
            return fail(CountNotFound);
        n = -(r.pv + r.fv) / r.pmt;
    } else {
        const double g = timing(r, x) * r.pmt;
        const double ratio = (g - r.fv * i) / (g + r.pv * i);
        if (!(ratio > 0.0) || !std::isfinite(ratio))
            return fail(CountNoSolution);
        n = std::log(ratio) / x;
    }
    return std::isfinite(n) ? n : fail(CountNoSolution);
}

double TVM::computeI(const TVMRecord& r)
{
    double x = 0.0;
    if (!begin(r, x))
        return kNaN;
    const double amounts[] = {r.pv, r.pmt, r.fv};
    bool positive = false, negative = false;
    for (double a : amounts) {
        positive = positive || a > 0.0;
        negative = negative || a < 0.0;
    }
    if (!positive && !negative)
        return fail(RateNoValues);
    if (!positive || !negative)
        return fail(RateSameSign);
    switch (rootNearZero([&r](double t) { return imbalance(r, t); }, x)) {
    case RootSearch::NoBracket:
        return fail(RateNoSolution);
    case RootSearch::NotConverged:
        return fail(RateNotConverged);
    case RootSearch::Found:
        break;
    }
    // Back from the payment period to the nominal annual rate.
    return 100.0 * r.cy * std::expm1(r.py / r.cy * x);
}

double TVM::computePV(const TVMRecord& r)
{
    double x = 0.0;
    if (!begin(r, x))
        return kNaN;
    const double pv = -r.fv * std::exp(-r.n * x) - timing(r, x) * r.pmt * annuity(x, r.n);
    return std::isfinite(pv) ? pv : fail(OutOfRange);
}

double TVM::computePMT(const TVMRecord& r)
{
    double x = 0.0;
    if (!begin(r, x))
        return kNaN;
    const double perPayment = timing(r, x) * annuity(x, r.n);
    if (perPayment == 0.0 || !std::isfinite(perPayment))
        return fail(PaymentNotFound);
    const double pmt = -(r.pv + r.fv * std::exp(-r.n * x)) / perPayment;
    return std::isfinite(pmt) ? pmt : fail(PaymentNoSolution);
}

double TVM::computeFV(const TVMRecord& r)
{
    double x = 0.0;
    if (!begin(r, x))
        return kNaN;
    const double fv = -r.pv * std::exp(r.n * x) - timing(r, x) * r.pmt * accumulation(x, r.n);
    return std::isfinite(fv) ? fv : fail(FutureValueNotFound);
}

double TVM::npv(double ratePercent, double cf0, std::span<const double> flows, std::span<const double> counts)
{
    const double i = ratePercent / 100.0;
    if (!(i > -1.0))
        return kNaN;
    return presentValue(std::log1p(i), cf0, flows, counts);
}

double TVM::irr(double cf0, std::span<const double> flows, std::span<const double> counts)
{
    error_ = None;
    bool positive = cf0 > 0.0, negative = cf0 < 0.0;
    for (std::size_t j = 0; j < flows.size(); ++j) {
        if (!counts.empty() && counts[j] == 0.0)
            continue;
        positive = positive || flows[j] > 0.0;
        negative = negative || flows[j] < 0.0;
    }
    if (!positive || !negative)
        return fail(IrrNoSignChange);
    double x = 0.0;
    if (rootNearZero([&](double t) { return presentValue(t, cf0, flows, counts); }, x) != RootSearch::Found)
        return fail(IrrNoSolution);
    return 100.0 * std::expm1(x);
}

TVM::Amortization TVM::amortize(const TVMRecord& r, int first, int last, int digits)
{
    Amortization out;
    double x = 0.0;
    if (!begin(r, x)) {
        out.balance = out.principal = out.interest = kNaN;
        return out;
    }
    const double i = std::expm1(x);
    auto rnd = [digits](double v) { return ElementaryFunctions::round(v, digits); };
    const double pmt = rnd(r.pmt);
    const int from = std::max(first, 1);
    double balance = rnd(r.pv);
    double before = balance;
    for (int m = 1; m <= last; ++m) {
        // Interest accrues on the balance still owed; a first payment at the beginning of
        // its period has had none yet.
        const double interest = m == 1 && r.paymentAtBegin ? 0.0 : rnd(-i * balance);
        balance = rnd(balance - interest + pmt);
        if (m == from - 1)
            before = balance;
    }
    out.balance = balance;
    if (last >= from) {
        out.principal = rnd(balance - before);
        out.interest = rnd((last - from + 1) * pmt - out.principal);
    }
    return out;
}

} // namespace orvenda
