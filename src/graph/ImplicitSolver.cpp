#include "graph/ImplicitSolver.h"

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "eval/Parser.h"
#include "graph/PlotObject.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

constexpr int kSlotX = 23;
constexpr int kSlotY = 24;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Sides by cell code: where the curve enters and where it leaves.
constexpr int kFirstSide[16] = {-1, 0, 3, 0, 1, 0, 3, 0, 2, 2, 3, 2, 1, 1, 3, -1};
constexpr int kSecondSide[16] = {-1, 3, 1, 1, 2, 2, 2, 2, 0, 3, 0, 1, 0, 3, 0, -1};

// The corners that close the chosen side's part of a crossed cell after its segment; -1
// ends a list.
constexpr int kFillAbove[16][3] = {
    {-1, -1, -1}, {0, -1, -1}, {1, -1, -1}, {1, 0, -1}, {2, -1, -1}, {-1, -1, -1}, {2, 1, -1}, {2, 1, 0},
    {3, -1, -1}, {0, 3, -1}, {-1, -1, -1}, {1, 0, 3}, {3, 2, -1}, {0, 3, 2}, {3, 2, 1}, {-1, -1, -1}};
constexpr int kFillBelow[16][3] = {
    {-1, -1, -1}, {1, 2, 3}, {2, 3, 0}, {2, 3, -1}, {3, 0, 1}, {-1, -1, -1}, {3, 0, -1}, {3, -1, -1},
    {0, 1, 2}, {1, 2, -1}, {-1, -1, -1}, {2, -1, -1}, {0, 1, -1}, {1, -1, -1}, {0, -1, -1}, {-1, -1, -1}};

bool sameSign(double a, double b)
{
    return std::signbit(a) == std::signbit(b);
}

bool finite(const GraphGeometry::Point& p)
{
    return GraphGeometry::pointIsFinite(p.x, p.y);
}

} // namespace

ImplicitSolver::Use::Use(ImplicitSolver& solver)
    : hold_(solver.calc_.lockState()), calc_(solver.calc_), x_(calc_.state().vars[kSlotX]), y_(calc_.state().vars[kSlotY])
{
}

ImplicitSolver::Use::~Use()
{
    calc_.state().vars[kSlotX] = x_;
    calc_.state().vars[kSlotY] = y_;
}

ImplicitSolver::ImplicitSolver(Calculator& calc) : calc_(calc), quick_(calc.parser()), sampler_(calc), rpn_(&calc) {}

bool ImplicitSolver::setFunction(const VQStack* rpn)
{
    inputSlots_.clear();
    valid_ = rpn && quick_.compile(*rpn, program_) && !program_.alwaysNaN;
    if (!valid_)
        return false;
    rpn_ = *rpn;
    for (const Operand& record : rpn->stack())
        if (record.kind == KindVariable && record.var.subKind == VarReal && record.var.index != kSlotX
            && record.var.index != kSlotY && record.var.index >= 0 && record.var.index < Calculator::kVarCount)
            inputSlots_.push_back(record.var.index);
    return true;
}

std::vector<double> ImplicitSolver::inputs() const
{
    std::vector<double> values;
    values.reserve(inputSlots_.size() * 2 + 2);
    const auto state = calc_.locked();
    for (int slot : inputSlots_) {
        const std::complex<double>& z = state->vars[static_cast<std::size_t>(slot)];
        values.push_back(z.real());
        values.push_back(z.imag());
    }
    values.push_back(calc_.angleFormat());
    values.push_back(state->numDigits);
    return values;
}

double ImplicitSolver::fX(double x, double y)
{
    ++numEvals;
    // Inside a Use, which holds the state lock.
    auto& vars = calc_.state().vars;
    vars[kSlotX] = {x, 0.0};
    vars[kSlotY] = {y, 0.0};
    const double f = sampler_.sample(rpn_, &program_);
    return std::isnan(f) ? kInf : f;
}

int ImplicitSolver::cellCode(double v0, double v1, double v2, double v3)
{
    return (std::signbit(v0) ? 0 : 1) | (std::signbit(v1) ? 0 : 2) | (std::signbit(v2) ? 0 : 4)
        | (std::signbit(v3) ? 0 : 8);
}

int ImplicitSolver::firstSide(int code)
{
    return code >= 0 && code < 16 ? kFirstSide[code] : -1;
}

int ImplicitSolver::secondSide(int code)
{
    return code >= 0 && code < 16 ? kSecondSide[code] : -1;
}

int ImplicitSolver::fillCorners(int code, int fill, int corners[3])
{
    if (code < 0 || code > 15 || (fill != 1 && fill != 2))
        return 0;
    const int* list = fill == 1 ? kFillAbove[code] : kFillBelow[code];
    int n = 0;
    while (n < 3 && list[n] >= 0) {
        corners[n] = list[n];
        ++n;
    }
    return n;
}

double ImplicitSolver::searchMin(double lo, double hi, double fLo, double fHi, double d, Axis axis)
{
    if (std::fabs(fLo) < 1e-8)
        return lo;
    if (std::fabs(fHi) < 1e-8)
        return hi;
    if (sameSign(fLo, fHi))
        return (lo + hi) / 2;
    if (!std::isfinite(fLo))
        return hi;
    if (!std::isfinite(fHi))
        return lo;
    double x = lo;
    for (int k = 0; k < 20; ++k) {
        const double aLo = std::fabs(fLo), aHi = std::fabs(fHi);
        x = lo + aLo / (aLo + aHi) * (hi - lo);
        const double fx = at(axis, d, x);
        if (hi - lo < 1e-11)
            return x;
        // Past the false-position point the root is bracketed by stepping on from it,
        // towards the end of the other sign: a first overshooting step, then quarters of
        // what is left.
        const bool towardsHi = sameSign(fx, fLo);
        if (std::fabs(fx) > (towardsHi ? aLo : aHi))
            return search(d, lo, x, hi, fLo, fx, axis);
        const double dir = towardsHi ? 1 : -1;
        const double room = towardsHi ? hi - x : x - lo;
        double offset = 3 * room * std::fabs(fx) / (towardsHi ? aHi : aLo);
        double fEnd = 0;
        for (; offset < room; offset += room / 4) {
            fEnd = at(axis, d, x + dir * offset);
            if (!sameSign(fEnd, fx))
                break;
        }
        if (towardsHi) {
            if (offset < room) {
                hi = x + offset;
                fHi = fEnd;
            }
            lo = x;
            fLo = fx;
        } else {
            if (offset < room) {
                lo = x - offset;
                fLo = fEnd;
            }
            hi = x;
            fHi = fx;
        }
    }
    return x;
}

double ImplicitSolver::search(double d, double lo, double mid, double hi, double fLo, double fMid, Axis axis)
{
    for (int k = 0; k < 10 && hi - lo > 1e-8; ++k) {
        if (!sameSign(fLo, fMid)) {
            hi = mid;
        } else {
            lo = mid;
            fLo = fMid;
        }
        mid = (lo + hi) / 2;
        fMid = at(axis, d, mid);
    }
    return mid;
}

ImplicitSolver::Point ImplicitSolver::searchSide(int side, const Point c[4], const double v[4])
{
    switch (side) {
    case 0: return {c[0].x, searchMin(c[0].y, c[3].y, v[0], v[3], c[0].x, AlongY)};
    case 1: return {c[1].x, searchMin(c[1].y, c[2].y, v[1], v[2], c[1].x, AlongY)};
    case 2: return {searchMin(c[3].x, c[2].x, v[3], v[2], c[3].y, AlongX), c[3].y};
    case 3: return {searchMin(c[0].x, c[1].x, v[0], v[1], c[0].y, AlongX), c[0].y};
    default: return {kNaN, kNaN};
    }
}

void ImplicitSolver::lineCorners(const Point corners[4], const double values[4], Point& p1, Point& p2)
{
    const int code = cellCode(values[0], values[1], values[2], values[3]);
    p1 = searchSide(firstSide(code), corners, values);
    p2 = searchSide(secondSide(code), corners, values);
}

void ImplicitSolver::lineAround(Point centre, Size size, Point& p1, Point& p2)
{
    const double w = size.width / 2, h = size.height / 2;
    const Point c[4] = {{centre.x - w, centre.y - h}, {centre.x + w, centre.y - h}, {centre.x + w, centre.y + h},
                        {centre.x - w, centre.y + h}};
    const double v[4] = {fX(c[0].x, c[0].y), fX(c[1].x, c[1].y), fX(c[2].x, c[2].y), fX(c[3].x, c[3].y)};
    lineCorners(c, v, p1, p2);
}

double ImplicitSolver::slopeAtPt(Point p, double e)
{
    Point p1, p2;
    lineAround(p, {e, e}, p1, p2);
    return (p1.y - p2.y) / (p1.x - p2.x);
}

double ImplicitSolver::bracket(double d, double guess, Axis axis)
{
    double eps = 1e-14, fa = 0, fb = 0;
    do {
        eps *= 10;
        fa = at(axis, d, guess - eps);
        fb = at(axis, d, guess + eps);
    } while (eps < 1e-8 && sameSign(fa, fb));
    if (sameSign(fa, fb))
        return guess;
    double lo = guess - eps, hi = guess + eps, fLo = fa, mid = guess;
    for (int k = 0; k < 10 && hi - lo > 1e-12; ++k) {
        const double fm = at(axis, d, mid);
        if (sameSign(fm, fLo)) {
            lo = mid;
            fLo = fm;
        } else {
            hi = mid;
        }
        mid = (lo + hi) / 2;
    }
    return mid;
}

double ImplicitSolver::byAtX(double x, double guess)
{
    return bracket(x, guess, AlongY);
}

double ImplicitSolver::bxAtY(double y, double guess)
{
    return bracket(y, guess, AlongX);
}

double ImplicitSolver::newton(double d, double v, double& tol, Axis axis)
{
    constexpr double h = 1e-12;
    double f0 = at(axis, d, v);
    if (std::fabs(f0) < tol)
        return v;
    for (int iteration = 0;; ++iteration) {
        const double f1 = at(axis, d, v + h);
        // Where f hardly moves over h (or is undefined), bracketing finds the root.
        if (!(std::fabs(f1 - f0) >= 1e-10))
            return bracket(d, v, axis);
        const double slope = (f1 - f0) / h;
        if (std::fabs(slope) < 1e-14)
            return v;
        const double next = v - f0 / slope;
        const double fNext = at(axis, d, next);
        if (std::fabs(fNext) > std::fabs(f0)) {
            if (std::fabs(next - v) > h && iteration < 2)
                tol = -1;
            return next;
        }
        if (fNext == f0 || iteration > 8 || !(std::fabs(fNext) > tol))
            return next;
        v = next;
        f0 = fNext;
    }
}

double ImplicitSolver::yAtX(double x, double guess, double& tol)
{
    return newton(x, guess, tol, AlongY);
}

double ImplicitSolver::xAtY(double y, double guess, double& tol)
{
    return newton(y, guess, tol, AlongX);
}

bool ImplicitSolver::putOnCurvePt(Point& p, Size range)
{
    const double rx = range.width, ry = range.height;
    const int code = cellCode(fX(p.x - rx, p.y - ry), fX(p.x + rx, p.y - ry), fX(p.x + rx, p.y + ry),
                              fX(p.x - rx, p.y + ry));
    switch (code) {
    case 0: case 15:
        return false;
    case 6: case 9: {
        double tol = 1e-14;
        p.x = xAtY(p.y, p.x, tol);
        return true;
    }
    case 3: case 12: {
        double tol = 1e-14;
        p.y = yAtX(p.x, p.y, tol);
        return true;
    }
    default: {
        double tolX = 1e-14, tolY = 1e-14;
        const double x = xAtY(p.y, p.x, tolX);
        const double y = yAtX(p.x, p.y, tolY);
        const bool xSolved = tolX != -1, ySolved = tolY != -1;
        if (xSolved && ySolved) {
            if (std::fabs(y - p.y) < std::fabs(x - p.x))
                p.y = y;
            else
                p.x = x;
        } else if (ySolved) {
            p.y = y;
        } else if (xSolved) {
            p.x = x;
        } else {
            return false;
        }
        return true;
    }
    }
}

ImplicitSolver::Point ImplicitSolver::stepFrom(Point p, double s)
{
    double half = std::fabs(s) / 2;
    for (int tries = 0; tries < 10; ++tries, half /= 2) {
        const Point c[4] = {{p.x - half, p.y - half}, {p.x + half, p.y - half}, {p.x + half, p.y + half},
                            {p.x - half, p.y + half}};
        const double v[4] = {fX(c[0].x, c[0].y), fX(c[1].x, c[1].y), fX(c[2].x, c[2].y), fX(c[3].x, c[3].y)};
        const int code = cellCode(v[0], v[1], v[2], v[3]);
        if (crossed(code))
            return searchSide(s >= 0 ? firstSide(code) : secondSide(code), c, v);
    }
    return {kNaN, kNaN};
}

int ImplicitSolver::minMaxAt(Point& p, double s)
{
    Point a = stepFrom(p, s), b = stepFrom(p, -s);
    int feature = PlotObject::FeatureNone;
    if (p.y < a.y && p.y < b.y)
        feature = PlotObject::FeatureMinimum;
    else if (p.y > a.y && p.y > b.y)
        feature = PlotObject::FeatureMaximum;
    else
        return PlotObject::FeatureNone;
    const bool minimum = feature == PlotObject::FeatureMinimum;
    const auto better = [minimum](double y, double than) { return minimum ? y < than : y > than; };
    numEvals = 0;
    double step = s / 4;
    Point best = p;
    do {
        // From the left neighbour back across the best point towards the right one.
        const bool aLeft = a.x < b.x;
        const Point left = aLeft ? a : b, right = aLeft ? b : a;
        const double walk = aLeft ? -step : step;
        Point at = left;
        bool improvedOnce = false;
        for (int k = 0; k < 40; ++k) {
            at = stepFrom(at, walk);
            if (!finite(at))
                break;
            const bool improved = better(at.y, best.y);
            if (improved) {
                best = at;
                improvedOnce = true;
            }
            if (!(at.x > left.x) || !(at.x < right.x) || (!improved && improvedOnce))
                break;
        }
        a = stepFrom(best, step);
        b = stepFrom(best, -step);
        step /= 4;
    } while (std::fabs(step) > 1e-4 && std::fabs(b.x - a.x) > 1e-10);

    // The vertex of the parabola through the neighbours and the best point.
    const double x1 = a.x, y1 = a.y, x2 = best.x, y2 = best.y, x3 = b.x, y3 = b.y;
    const double denom = (x1 - x2) * (x1 - x3) * (x2 - x3);
    const double lead = (x3 * (y2 - y1) + x2 * (y1 - y3) + x1 * (y3 - y2)) / denom;
    const double linear = (x3 * x3 * (y1 - y2) + x2 * x2 * (y3 - y1) + x1 * x1 * (y2 - y3)) / denom;
    if (lead == 0 || !std::isfinite(lead) || !std::isfinite(linear)) {
        p = best;
        return feature;
    }
    const double x = -linear / (2 * lead);
    const double lo = best.y - 0.001, hi = best.y + 0.001;
    p = {x, searchMin(lo, hi, fX(x, lo), fX(x, hi), x, AlongY)};
    return feature;
}

} // namespace orvenda
