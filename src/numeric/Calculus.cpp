#include "numeric/Calculus.h"

#include "language/ErrorNumbers.h"
#include "numeric/RealFunction.h"

#include <boost/math/policies/policy.hpp>
#include <boost/math/quadrature/tanh_sinh.hpp>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <array>
#include <vector>
#include <numbers>

namespace orvenda {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

NumericResult failure(int error, double value = kNaN)
{
    return {value, error};
}

// A value that overflowed (±∞) is no more a value than NaN: no routine answers from it.
bool hasValue(double y)
{
    return std::isfinite(y);
}

// ---- Integration ----

// Boost.Math reports its failures as values here instead of throwing; the result is
// checked afterwards.
using QuadraturePolicy = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>>;

// Levels of halving the step: 12 bounds a failing integral at about 17 000 evaluations,
// while smooth integrands and endpoint singularities converge within 4 to 7.
constexpr std::size_t kMaxRefinements = 12;

boost::math::quadrature::tanh_sinh<double, QuadraturePolicy>& tanhSinh()
{
    // Its abscissas and weights are built once; integrate is safe from several threads
    // (it locks while it adds rows). Not const: this Boost version defines integrate
    // without the const its declaration has.
    static boost::math::quadrature::tanh_sinh<double, QuadraturePolicy> integrator(kMaxRefinements);
    return integrator;
}

// ---- Zeros ----

bool opposite(double a, double b)
{
    return (a < 0 && b > 0) || (a > 0 && b < 0);
}

// Brent's method (Brent–Dekker) on [a, b] where fa and fb differ in sign: inverse
// quadratic and secant steps, bisection whenever they would not shrink the bracket fast
// enough, down to the spacing of doubles at the zero. False when a point has no value.
bool brent(RealFunction& f, double a, double b, double fa, double fb, double& root)
{
    double c = a, fc = fa;
    double d = b - a, e = d;
    for (int iteration = 0; iteration < 1100; ++iteration) {
        if (!opposite(fb, fc) && fb != 0) {
            c = a;
            fc = fa;
            d = e = b - a;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b;
            b = c;
            c = a;
            fa = fb;
            fb = fc;
            fc = fa;
        }
        const double tol = 2 * DBL_EPSILON * std::fabs(b) + DBL_MIN;
        const double m = (c - b) / 2;
        if (std::fabs(m) <= tol || fb == 0) {
            root = b;
            return true;
        }
        if (std::fabs(e) >= tol && std::fabs(fa) > std::fabs(fb)) {
            const double s = fb / fa;
            double p, q;
            if (a == c) {
                p = 2 * m * s;
                q = 1 - s;
            } else {
                const double qa = fa / fc;
                const double r = fb / fc;
                p = s * (2 * m * qa * (qa - r) - (b - a) * (r - 1));
                q = (qa - 1) * (r - 1) * (s - 1);
            }
            if (p > 0)
                q = -q;
            else
                p = -p;
            if (2 * p < std::min(3 * m * q - std::fabs(tol * q), std::fabs(e * q))) {
                e = d;
                d = p / q;
            } else {
                d = e = m;
            }
        } else {
            d = e = m;
        }
        a = b;
        fa = fb;
        b += std::fabs(d) > tol ? d : (m > 0 ? tol : -tol);
        fb = f.value(b);
        if (!hasValue(fb))
            return false;
    }
    root = b;
    return true;
}

// One side of the outward search: points at growing distances from the guess up to the
// bound, remembering the last point that had a value.
struct SearchSide {
    double bound;
    double direction;
    double last;
    double fLast;
    bool done = false;
};

} // namespace

namespace {

// The scan that looks for what the quadrature's abscissas pass over: a point every half
// unit, so a peak about one unit wide is met wherever it lies, with never fewer points than
// the first and never more than the second (intervals wider than 32 768 units are scanned
// more coarsely).
constexpr int kMinScanPoints = 256;
constexpr int kMaxScanPoints = 65536;
constexpr double kScanStep = 0.5;
// Pieces the peaks may split the interval into; beyond that only the highest peaks split it.
constexpr std::size_t kMaxPieces = 64;

struct Piece {
    double value = 0, estimate = 0, l1 = 0;
    int stopped = 0;
};

// One run of the quadrature over [a, b].
Piece quadrature(RealFunction& f, double a, double b, double internal)
{
    // Boost.Math's tanh-sinh (double-exponential) quadrature never evaluates at the ends of
    // (-1, 1), so integrable singularities at the bounds (1/√(X) from 0) converge as fast
    // as smooth integrands. Its abscissas crowd the ends far closer than a double near a
    // bound can tell apart, and its own mapping onto [a, b] lets such a point round onto
    // the bound. So the interval is mapped here: each abscissa comes with its distance
    // from the nearer end of (-1, 1) (negative on the left), measured from that bound, and
    // a point closer than the next double is moved onto that double.
    const double mid = a / 2 + b / 2, half = b / 2 - a / 2;  // neither overflows
    const double first = std::nextafter(a, b), last = std::nextafter(b, a);
    Piece piece;
    auto g = [&](double t, double distance) {
        if (piece.stopped)
            return 0.0;
        double x = t < -0.5 ? a - half * distance : t > 0.5 ? b - half * distance : mid + half * t;
        // Between neighbouring doubles there is no inside point: the lower one then.
        x = std::min(std::max(x, first), last);
        const double y = f.value(x);
        if (std::isfinite(y))
            return y;
        piece.stopped = f.errorOr(ErrSingularity);
        return 0.0;
    };
    piece.value = half * tanhSinh().integrate(g, internal, &piece.estimate, &piece.l1);
    piece.estimate *= half;
    piece.l1 *= half;
    return piece;
}

// Whether the scanned magnitudes fall to half the peak's on one side of point k before they
// rise above it; running into the end of the scan counts as falling (the bound may cut the
// peak off).
bool fallsAway(const std::vector<double>& y, std::size_t k, int direction)
{
    for (std::size_t j = k;;) {
        if (direction < 0 ? j == 0 : j + 1 == y.size())
            return true;
        j = direction < 0 ? j - 1 : j + 1;
        if (y[j] > y[k])
            return false;
        if (y[j] < y[k] / 2)
            return true;
    }
}

// The peaks of |f| an evenly spaced scan of (a, b) shows inside it, in increasing x: each
// rises to at least twice the scan's values on both sides and matters to the integral. The
// quadrature of a piece resolves what lies near its ends finely, so splitting at them leaves
// no peak between abscissas. Gives the stop error, when the function asked to stop.
// blind is set when the scan is coarser than its half unit and saw nothing above the
// tolerance anywhere: a peak may then hide between its points.
int scanPeaks(RealFunction& f, double a, double b, double wanted, std::vector<double>& peaks, bool& blind)
{
    const double width = 2 * (b / 2 - a / 2);
    const double wanted_points = std::ceil(width / kScanStep);
    const int n = !(wanted_points < kMaxScanPoints) ? kMaxScanPoints
        : std::max(kMinScanPoints, static_cast<int>(wanted_points));
    const double step = (b / 2 - a / 2) / (n + 1) * 2;
    // Inside the bounds, as the quadrature's points are, however narrow the interval.
    const double first = std::nextafter(a, b), last = std::nextafter(b, a);
    std::vector<double> y(static_cast<std::size_t>(n));
    double sum = 0;
    for (int k = 0; k < n; ++k) {
        const double x = std::min(std::max(a + (k + 1) * step, first), last);
        const double v = std::fabs(f.value(x));
        if (const int stop = f.stopError())
            return stop;
        // Points without a value are the quadrature's to meet (or not).
        y[static_cast<std::size_t>(k)] = std::isfinite(v) ? v : 0;
        sum += y[static_cast<std::size_t>(k)];
    }
    blind = step > kScanStep && *std::max_element(y.begin(), y.end()) <= wanted;
    // A peak that cannot change the integral by the tolerance is left to the quadrature.
    const double matters = wanted * std::max(1.0, sum * step) / step;
    struct Peak {
        double x, height;
    };
    std::vector<Peak> found;
    for (std::size_t k = 1; k + 1 < y.size(); ++k) {
        if (!(y[k] > y[k - 1] && y[k] >= y[k + 1] && y[k] > matters))
            continue;
        if (fallsAway(y, k, -1) && fallsAway(y, k, 1))
            found.push_back({std::min(std::max(a + static_cast<double>(k + 1) * step, first), last), y[k]});
    }
    if (found.size() > kMaxPieces - 1) {
        std::nth_element(found.begin(), found.begin() + (kMaxPieces - 1), found.end(),
                         [](const Peak& p, const Peak& q) { return p.height > q.height; });
        found.resize(kMaxPieces - 1);
        std::sort(found.begin(), found.end(), [](const Peak& p, const Peak& q) { return p.x < q.x; });
    }
    peaks.clear();
    for (const Peak& peak : found)
        peaks.push_back(peak.x);
    return 0;
}

} // namespace

NumericResult Calculus::integrate(RealFunction& f, double lower, double upper, double tolerance)
{
    if (!std::isfinite(lower) || !std::isfinite(upper))
        return failure(ErrDomain);
    if (lower == upper)
        return {0.0, 0};

    const double wanted = std::fabs(tolerance);
    // The integrator works to at least the square root of the double precision: its
    // estimate is the change from the last halving, and the result is usually far better.
    const double internal = std::min(wanted, std::sqrt(DBL_EPSILON));
    const double a = std::min(lower, upper), b = std::max(lower, upper);
    // The quadrature over the whole interval first: a point without a value ends it there.
    // Its abscissas are sparse away from the ends, where a peak can lie between them (two
    // levels then agree on a wrong value, with a confident estimate): the interval is split
    // at every peak a scan shows, and each piece, with its peaks at its ends, done again.
    Piece whole = quadrature(f, a, b, internal);
    if (whole.stopped)
        return failure(whole.stopped);
    std::vector<double> peaks;
    bool blind = false;
    if (const int stop = scanPeaks(f, a, b, wanted, peaks, blind))
        return failure(stop);
    // Nothing seen on an interval too wide to scan finely: no value to vouch for.
    if (blind)
        return failure(ErrTolNotMet, whole.value);
    double value = whole.value, estimate = whole.estimate, l1 = whole.l1;
    if (!peaks.empty()) {
        value = estimate = l1 = 0;
        double from = a;
        peaks.push_back(b);
        for (const double to : peaks) {
            if (!(to > from))
                continue;
            const Piece piece = quadrature(f, from, to, internal);
            if (piece.stopped)
                return failure(piece.stopped);
            value += piece.value;
            estimate += piece.estimate;
            l1 += piece.l1;
            from = to;
        }
    }
    if (!std::isfinite(value))
        return failure(ErrDivergent);
    if (!(estimate <= wanted * std::max(1.0, l1)))
        return failure(ErrTolNotMet, value);
    return {lower < upper ? value : -value, 0};
}

NumericResult Calculus::findRoot(RealFunction& f, double lower, double upper, double guess)
{
    const double lo = std::min(lower, upper), hi = std::max(lower, upper);
    if (!(guess >= lo && guess <= hi))
        return failure(ErrGuessNotInRange);
    if (lo == hi) {
        const double y = f.value(lo);
        if (!hasValue(y))
            return failure(f.errorOr(ErrGuessNotInRange));
        return std::fabs(y) <= 1e-28 ? NumericResult{lo, 0} : failure(ErrGuessNotInRange);
    }

    double f0 = f.value(guess);
    if (f.stopError())
        return failure(f.stopError());
    if (f0 == 0)
        return {guess, 0};
    const int guessError = hasValue(f0) ? 0 : f.error();
    if (!hasValue(f0))
        f0 = kNaN;

    // Outward from the guess in steps growing by 1.6, both sides in turn, so the first
    // sign change found lies near the guess; each is refined by Brent's method, and a
    // "zero" where the function grows instead (a pole) is passed over.
    SearchSide sides[2] = {{hi, 1, guess, f0}, {lo, -1, guess, f0}};
    double step = 1e-4 * std::max(1.0, std::fabs(guess));
    while (!sides[0].done || !sides[1].done) {
        for (SearchSide& side : sides) {
            if (side.done)
                continue;
            double x = guess + side.direction * step;
            if (!(side.direction > 0 ? x < side.bound : x > side.bound) || !std::isfinite(x)) {
                x = side.bound;
                side.done = true;
            }
            const double y = f.value(x);
            if (const int stop = f.stopError())
                return failure(stop);
            if (!hasValue(y))
                continue;
            if (y == 0)
                return {x, 0};
            if (!std::isnan(side.fLast) && opposite(side.fLast, y)) {
                double root = 0;
                if (brent(f, side.last, x, side.fLast, y, root)) {
                    const double fr = f.value(root);
                    if (std::fabs(fr) <= std::max(std::fabs(side.fLast), std::fabs(y)))
                        return {root, 0};
                }
                if (const int stop = f.stopError())
                    return failure(stop);
            }
            side.last = x;
            side.fLast = y;
        }
        step *= 1.6;
    }
    return failure(guessError != 0 ? guessError : ErrBadGuess);
}

NumericResult Calculus::extremum(RealFunction& f, double lower, double upper, double tolerance, bool findMin)
{
    if (std::isnan(lower) || std::isnan(upper))
        return failure(ErrDomain);
    if (lower == upper) {
        // The one point there is: an extremum only where the expression has a value.
        if (!hasValue(f.value(lower)))
            return failure(f.errorOr(ErrDomain));
        return {lower, 0};
    }
    const double tol = std::clamp(std::fabs(tolerance), 1e-16, 0.001);
    double a = std::min(lower, upper), b = std::max(lower, upper);

    constexpr double kWorst = std::numeric_limits<double>::infinity();
    double bestX = kNaN, bestY = kWorst;
    bool anyValue = false;
    // The value to make smallest; a point without a value counts as the worst. An overflow
    // keeps its sign: one away from the extremum sought is rightly passed over, one toward
    // it (−∞ here) leads the search to where the expression has no value.
    auto g = [&](double x) {
        const double y = f.value(x);
        anyValue = anyValue || hasValue(y);
        const double v = std::isnan(y) ? kWorst : findMin ? y : -y;
        if (v < bestY || std::isnan(bestX)) {
            bestX = x;
            bestY = v;
        }
        return v;
    };
    // An extremum decided among points without a value is none.
    auto unfounded = [&]() -> int {
        if (bestY == -kWorst)
            return ErrOverflow;
        return anyValue ? 0 : f.errorOr(ErrDomain);
    };

    // The golden section: each round keeps the part of the bracket holding the better of
    // its two inner points, which become the next round's inner points.
    const double r = 1 / std::numbers::phi;
    double c = b - r * (b - a), d = a + r * (b - a);
    double fc = g(c), fd = g(d);
    for (int round = 0; round < 1000; ++round) {
        if (const int stop = f.stopError())
            return failure(stop);
        if (b - a <= tol) {
            if (const int error = unfounded())
                return failure(error);
            return {(a + b) / 2, 0};
        }
        if (!(c < d))
            break;  // the doubles between a and b ran out before the tolerance was met
        if (fc <= fd) {
            b = d;
            d = c;
            fd = fc;
            c = b - r * (b - a);
            fc = g(c);
        } else {
            a = c;
            c = d;
            fc = fd;
            d = a + r * (b - a);
            fd = g(d);
        }
    }
    if (const int stop = f.stopError())
        return failure(stop);
    if (const int error = unfounded())
        return failure(error);
    return failure(ErrTolNotMet, bestX);
}

NumericResult Calculus::derivative(RealFunction& f, double x, double h)
{
    const double above = f.value(x + h);
    if (!hasValue(above))
        return failure(f.errorOr(ErrDomain));
    const double below = f.value(x - h);
    if (!hasValue(below))
        return failure(f.errorOr(ErrDomain));
    const double slope = (above - below) / (2 * h);
    return hasValue(slope) ? NumericResult{slope, 0} : failure(ErrOverflow);
}

} // namespace orvenda
