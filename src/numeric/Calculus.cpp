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
#include <numbers>

namespace orvenda {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

NumericResult failure(int error, double value = kNaN)
{
    return {value, error};
}

// The error a point without a value ends a routine with.
int errorOf(const RealFunction& f, int otherwise)
{
    if (const int stop = f.stopError())
        return stop;
    return f.error() != 0 ? f.error() : otherwise;
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
        if (std::isnan(fb))
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

// Points of the scan that looks for what the quadrature's abscissas passed over.
constexpr int kScanPoints = 256;
// Pieces a narrow peak may split the interval into before the integral is given up.
constexpr int kMaxPieces = 32;

struct Piece {
    double value = 0, estimate = 0, l1 = 0;
    // The largest magnitude the quadrature met.
    double largest = 0;
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
        if (std::isfinite(y)) {
            piece.largest = std::max(piece.largest, std::fabs(y));
            return y;
        }
        piece.stopped = errorOf(f, ErrSingularity);
        return 0.0;
    };
    piece.value = half * tanhSinh().integrate(g, internal, &piece.estimate, &piece.l1);
    piece.estimate *= half;
    piece.l1 *= half;
    return piece;
}

// Where, inside (a, b), an evenly spaced scan meets a value far above all the quadrature
// met: a peak between its abscissas. NaN when there is none.
double missedPeak(RealFunction& f, double a, double b, const Piece& piece, double wanted, int& stopped)
{
    const double step = (b - a) / (kScanPoints + 1);
    // Inside the bounds, as the quadrature's points are, however narrow the interval.
    const double first = std::nextafter(a, b), last = std::nextafter(b, a);
    double peak = kNaN, highest = 0;
    for (int k = 1; k <= kScanPoints; ++k) {
        const double x = std::min(std::max(a + k * step, first), last);
        const double y = std::fabs(f.value(x));
        if (f.stopError() != 0) {
            stopped = f.stopError();
            return kNaN;
        }
        // Points without a value are the quadrature's to meet (or not), as before.
        if (std::isfinite(y) && y > highest) {
            highest = y;
            peak = x;
        }
    }
    // Far above what the quadrature met, and enough to matter over one scan step.
    const bool missed = highest > 2 * piece.largest && (highest - piece.largest) * step > wanted * std::max(1.0, piece.l1);
    return missed ? peak : kNaN;
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
    // The quadrature over the whole interval; where a scan finds a peak its abscissas
    // passed over (two levels then agree on a wrong value, with a confident estimate), the
    // piece is split at the peak, whose sides the quadrature resolves finely.
    struct Span {
        double a, b;
    };
    // Each split adds one piece to do: never more than the pieces allowed.
    std::array<Span, kMaxPieces + 1> todo;
    std::size_t open = 0;
    todo[open++] = {std::min(lower, upper), std::max(lower, upper)};
    double value = 0, estimate = 0, l1 = 0;
    int pieces = 1;
    while (open > 0) {
        const Span span = todo[--open];
        const Piece piece = quadrature(f, span.a, span.b, internal);
        if (piece.stopped)
            return failure(piece.stopped);
        int stopped = 0;
        const double peak = missedPeak(f, span.a, span.b, piece, wanted, stopped);
        if (stopped)
            return failure(stopped);
        if (!std::isnan(peak)) {
            // A peak that keeps hiding after this many splits: no value to trust.
            if (++pieces > kMaxPieces)
                return failure(ErrTolNotMet, value + piece.value);
            todo[open++] = {span.a, peak};
            todo[open++] = {peak, span.b};
            continue;
        }
        value += piece.value;
        estimate += piece.estimate;
        l1 += piece.l1;
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
        if (f.stopError())
            return failure(f.stopError());
        return std::fabs(y) <= 1e-28 ? NumericResult{lo, 0} : failure(ErrGuessNotInRange);
    }

    const double f0 = f.value(guess);
    if (f.stopError())
        return failure(f.stopError());
    if (f0 == 0)
        return {guess, 0};
    const int guessError = std::isnan(f0) ? f.error() : 0;

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
            if (std::isnan(y))
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
    if (lower == upper)
        return {lower, 0};
    const double tol = std::clamp(std::fabs(tolerance), 1e-16, 0.001);
    double a = std::min(lower, upper), b = std::max(lower, upper);

    double bestX = kNaN, bestY = std::numeric_limits<double>::infinity();
    // The value to make smallest; a point without a value counts as the worst.
    auto g = [&](double x) {
        const double y = f.value(x);
        const double v = std::isnan(y) ? std::numeric_limits<double>::infinity() : findMin ? y : -y;
        if (v < bestY || std::isnan(bestX)) {
            bestX = x;
            bestY = v;
        }
        return v;
    };

    // The golden section: each round keeps the part of the bracket holding the better of
    // its two inner points, which become the next round's inner points.
    const double r = 1 / std::numbers::phi;
    double c = b - r * (b - a), d = a + r * (b - a);
    double fc = g(c), fd = g(d);
    for (int round = 0; round < 1000; ++round) {
        if (const int stop = f.stopError())
            return failure(stop);
        if (b - a <= tol)
            return {(a + b) / 2, 0};
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
    return failure(ErrTolNotMet, bestX);
}

NumericResult Calculus::derivative(RealFunction& f, double x, double h)
{
    const double above = f.value(x + h);
    if (std::isnan(above))
        return failure(errorOf(f, ErrDomain));
    const double below = f.value(x - h);
    if (std::isnan(below))
        return failure(errorOf(f, ErrDomain));
    return {(above - below) / (2 * h), 0};
}

} // namespace orvenda
