#include "graph/PlotFunction.h"

#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/VQStack.h"
#include "eval/Parser.h"
#include "graph/NearestSample.h"
#include "graph/PlotLine.h"
#include "language/ErrorNumbers.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kSlotX = 23;
constexpr int kInvalid = 19;
constexpr double kEpsilon = 1e-5;
constexpr int kHitSamples = 16;
constexpr std::size_t kMaxAsymptotes = 30;
constexpr int kBisections = 40;
constexpr double kTiny = 1e-10;
// Style bits: a stroked curve (thin 2, thick 4), shading above (8) and below (16).
constexpr int kThin = 2, kCurve = 2 | 4, kAbove = 8, kBelow = 16;

// How many times |big| exceeds |small|; a neighbour of 0 counts as 10 times.
double factor(double big, double small)
{
    return small == 0 ? 10 : std::fabs(big) / std::fabs(small);
}

// A line at c through the middle of the pixel it covers.
double halfPoint(double c)
{
    const double r = std::round(c);
    return r > c ? r - 0.5 : r + 0.5;
}

} // namespace

PlotFunction::PlotFunction(Calculator& c) : PlotObject(c), sampler_(c)
{
    plotType = PlotObject::PlotFunction;
    asymptotes_.reserve(kMaxAsymptotes);
}

YEqModel* PlotFunction::model() const
{
    return dynamic_cast<YEqModel*>(calc.yEqManager.get());
}

std::optional<YEqIntegrate> PlotFunction::limits() const
{
    const YEqModel* m = model();
    return m ? m->integrationLimitsForFunction(eqNum) : std::nullopt;
}

void PlotFunction::allocateStoreCount(int n)
{
    if (n <= 0)
        return;
    dataPoints_.resize(std::size_t(n));
    screenPoints_.resize(std::size_t(n));
}

void PlotFunction::computeRect(const QRectF& rect, const GraphTransform& t)
{
    const double x0 = rect.x() - 3;
    const int n = int(rect.width() + 6);
    allocateStoreCount(n);
    sampler_.plotFunction(eqNum, varNum, (x0 - t.tx) / t.a, 1 / t.a, dataPoints_);
    if (std::optional<YEqIntegrate> integral = limits();
        integral && integral->lower != integral->upper && integral->dirty) {
        int error = 0;
        const double area = integrateLower(integral->lower, integral->upper, YEqIntegrate::kDefaultTolerance, error);
        integral->area = error != 0 ? kNaN : area;
        integral->dirty = false;
        model()->setIntegrationLimits(eqNum, *integral);
    }
    dataT = t;
    dataRect = QRectF(x0, rect.y(), n, rect.height());
}

Calculator::Rect PlotFunction::boundsInRect(const QRectF& rect, const GraphTransform& t)
{
    const double x = (rect.x() - t.tx) / t.a, width = rect.width() / t.a;
    std::vector<GraphSampler::XY> samples(std::size_t(std::max(0, int(rect.width()))));
    sampler_.plotFunction(eqNum, varNum, x, 1 / t.a, samples);
    double yMin = std::numeric_limits<double>::infinity(), yMax = -yMin;
    for (const GraphSampler::XY& s : samples) {
        if (!std::isfinite(s.y))
            continue;
        yMin = std::min(yMin, s.y);
        yMax = std::max(yMax, s.y);
    }
    if (yMin > yMax)
        return {x, 0, width, 0};
    return {x, yMin, width, yMax - yMin};
}

void PlotFunction::drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int)
{
    if (!GraphGeometry::transformIsFinite(t))
        return;
    computeRect(rect, t);
    const std::optional<YEqIntegrate> integral = limits();
    const double lower = integral ? integral->lower : 0, upper = integral ? integral->upper : 0;
    const double top = rect.top(), bottom = rect.bottom();
    const std::size_t n = dataPoints_.size();
    if (n == 0)
        return;

    std::size_t iLo = 0, iHi = 0;
    double minY = std::numeric_limits<double>::infinity(), maxY = -minY;
    for (std::size_t i = 0; i < n; ++i) {
        const GraphSampler::XY& s = dataPoints_[i];
        const QPointF p(t.a * s.x + t.tx, t.d * s.y + t.ty);
        screenPoints_[i] = p;
        if (s.x <= lower)
            iLo = i;
        if (s.x <= upper)
            iHi = i;
        if (!std::isnan(p.y())) {
            minY = std::min(minY, p.y());
            maxY = std::max(maxY, p.y());
        }
    }
    const bool above = style & kAbove, below = style & kBelow;
    const bool wholeAbove = !(maxY >= top), wholeBelow = !(minY <= bottom);
    if (lower == upper) {
        // Nothing of the curve or its shading can show in this tile.
        if (above ? wholeAbove : below ? wholeBelow : wholeAbove || wholeBelow)
            return;
    }
    const double farTop = top - PlotStroke::kFar, farBottom = bottom + PlotStroke::kFar;
    const auto bounded = [&](const QPointF& p) { return QPointF(p.x(), std::clamp(p.y(), farTop, farBottom)); };

    if (above || below) {
        context.setPen(Qt::NoPen);
        context.setBrush(colorAt(0.7));
        if ((above && wholeBelow) || (below && wholeAbove)) {
            context.drawRect(rect);
        } else {
            // Without a value the edge closes the polygon: nothing is shaded there.
            const double edge = above ? top : bottom;
            fillPoints_.clear();
            for (const QPointF& p : screenPoints_)
                fillPoints_.emplace_back(p.x(), std::isnan(p.y()) ? edge : std::clamp(p.y(), top, bottom));
            fillPoints_.emplace_back(screenPoints_.back().x(), edge);
            fillPoints_.emplace_back(screenPoints_.front().x(), edge);
            context.drawPolygon(fillPoints_.data(), int(fillPoints_.size()));
        }
    }

    asymptotes_.clear();
    if (style & kCurve) {
        // Where the differences of neighbouring samples zigzag (a jump across an
        // asymptote) or one stands out (a step), the curve breaks and the sample is left
        // out; a zigzag of large differences is an asymptote.
        const double threshold = 1000 / t.a;
        const auto delta = [&](std::ptrdiff_t i) {
            if (i < 0 || std::size_t(i) + 1 >= n)
                return 0.0;
            return dataPoints_[std::size_t(i) + 1].y - dataPoints_[std::size_t(i)].y;
        };
        curve_.clear();
        for (std::size_t i = 0; i < n; ++i) {
            if (!std::isfinite(dataPoints_[i].y)) {
                curve_.endRun();
                continue;
            }
            const auto k = std::ptrdiff_t(i);
            const double d2 = delta(k - 2), d1 = delta(k - 1), d0 = delta(k);
            bool jump = false;
            if (std::signbit(d1) != std::signbit(d2) && std::signbit(d0) == std::signbit(d2)) {
                jump = true;
                const int large = (std::fabs(d2) > threshold) + (std::fabs(d1) > threshold) + (std::fabs(d0) > threshold);
                if (large >= 2 && asymptotes_.size() < kMaxAsymptotes)
                    asymptotes_.push_back(screenPoints_[i].x());
            } else if (std::fabs(d1) > std::fabs(d2) && std::fabs(d1) > std::fabs(d0) && factor(d1, d2) > 2
                       && factor(d1, d0) > 2) {
                jump = true;
            }
            if (jump)
                curve_.endRun();
            else
                curve_.add(bounded(screenPoints_[i]));
        }
        curve_.endRun();
        curve_.stroke(context, colorAt(1), style & kThin, selected());
    }

    if (!asymptotes_.empty()) {
        QPen dashed(colorAt(0.7), 1);
        dashed.setDashPattern({20, 8});
        context.setPen(dashed);
        for (double x : asymptotes_) {
            const double at = halfPoint(x);
            context.drawLine(QLineF(at, top, at, bottom));
        }
    }

    if (lower != upper && iLo != iHi) {
        fillPoints_.clear();
        for (std::size_t i = std::min(iLo, iHi); i <= std::max(iLo, iHi); ++i)
            if (std::isfinite(screenPoints_[i].y()))
                fillPoints_.push_back(bounded(screenPoints_[i]));
        fillPoints_.emplace_back(t.a * upper + t.tx, t.ty);
        fillPoints_.emplace_back(t.a * lower + t.tx, t.ty);
        context.setPen(Qt::NoPen);
        context.setBrush(colorAt(0.5));
        context.drawPolygon(fillPoints_.data(), int(fillPoints_.size()));
    }
}

bool PlotFunction::hitPoint(PlotPoint& pt, const GraphTransform& t, double err)
{
    const double h = err / t.a;
    GraphSampler::XY samples[kHitSamples];
    sampler_.plotFunction(eqNum, varNum, pt.x - h, 2 * h / kHitSamples, samples);
    double best = 0;
    const GraphSampler::XY* nearest = nearestSample(
        samples, pt.x, pt.y, t, [](const GraphSampler::XY& s) { return GraphGeometry::Point{s.x, s.y}; }, best);
    if (nearest)
        pt = {nearest->x, nearest->y, nearest->x};
    return best <= err;
}

double PlotFunction::findZero(double t, double range)
{
    const double lo = t - range, hi = t + range;
    if (!(lo < hi))
        return t;
    const double step = range / 30;
    double a = kNaN, fa = kNaN, b = kNaN;
    for (int k = 0; k <= 60; ++k) {
        const double x = lo + k * step;
        if (!(x < hi))
            return t;
        const double f = YAtT(x);
        if (std::isnan(f))
            continue;
        if (!std::isnan(fa) && std::signbit(f) != std::signbit(fa)) {
            b = x;
            break;
        }
        a = x;
        fa = f;
    }
    if (std::isnan(b))
        return t;
    double mid = a;
    for (int i = 0; i < kBisections; ++i) {
        mid = (a + b) / 2;
        const double f = YAtT(mid);
        if (std::isnan(f))
            return t;
        if (std::fabs(f) <= kTiny)
            break;
        if (std::signbit(f) == std::signbit(fa)) {
            a = mid;
            fa = f;
        } else {
            b = mid;
        }
        if (b - a <= kTiny)
            break;
    }
    if (!(std::fabs(YAtT(mid)) < 1e-6))
        return t;
    calc.setFeatureLock(FeatureZero);
    return mid;
}

double PlotFunction::findMinMax(double t, double range)
{
    double lo = t - range, hi = t + range;
    double slopeLo = sampler_.dydxAt(lo, eqNum, kEpsilon);
    const double slopeHi = sampler_.dydxAt(hi, eqNum, kEpsilon);
    if (std::isnan(slopeLo) || std::isnan(slopeHi) || std::signbit(slopeLo) == std::signbit(slopeHi))
        return t;
    double mid = t;
    for (int i = 0; i < kBisections; ++i) {
        mid = (lo + hi) / 2;
        const double slope = sampler_.dydxAt(mid, eqNum, kEpsilon);
        if (std::signbit(slope) == std::signbit(slopeLo)) {
            lo = mid;
            slopeLo = slope;
        } else {
            hi = mid;
        }
        if (hi - lo <= kTiny || std::fabs(slopeLo) <= kTiny)
            break;
    }
    const double f = YAtT(mid);
    if (std::fabs(f) < kTiny)
        calc.setFeatureLock(FeatureZero);
    else if (YAtT(mid + kEpsilon) > f)
        calc.setFeatureLock(FeatureMinimum);
    else
        calc.setFeatureLock(FeatureMaximum);
    return mid;
}

double PlotFunction::findIntersection(double t, double range, const PlotList& other)
{
    return PlotLine::searchIntersection(*this, t, range, other, false);
}

double PlotFunction::YAtT(double t)
{
    return sampler_.function(eqNum, varNum, t);
}

double PlotFunction::slopeAtT(double t)
{
    return sampler_.dydVar(varNum, t, eqNum, kEpsilon);
}

int PlotFunction::errorAtT(double t)
{
    if (const int error = sampler_.errorNear(eqNum, varNum, t, kEpsilon))
        return error;
    // Finite values whose difference is beyond reach: the home line's nDeriv( overflows.
    return std::isfinite(slopeAtT(t)) ? 0 : ErrOverflow;
}

template <typename Compute>
double PlotFunction::answer(int& error, Compute compute)
{
    const auto hold = calc.lockState();
    const double result = compute();
    error = calc.parser().error();
    calc.parser().setError(0);
    return result;
}

double PlotFunction::integrateLower(double lower, double upper, double tol, int& error)
{
    return answer(error, [&] { return sampler_.integrateEqNum(eqNum, lower, upper, tol); });
}

double PlotFunction::zeroLower(double lower, double upper, double, int& error)
{
    return answer(error, [&] {
        const std::shared_ptr<VQStack> rpn = calc.yEqManager ? calc.yEqManager->rpnForFunction(eqNum) : nullptr;
        if (!rpn) {
            calc.parser().setError(kInvalid);
            return kNaN;
        }
        return calc.parser().solve(*rpn, kSlotX, lower, upper, (lower + upper) / 2);
    });
}

double PlotFunction::minLower(double lower, double upper, double tol, int& error)
{
    return answer(error, [&] { return sampler_.minEqNum(eqNum, lower, upper, tol); });
}

double PlotFunction::maxLower(double lower, double upper, double tol, int& error)
{
    return answer(error, [&] { return sampler_.maxEqNum(eqNum, lower, upper, tol); });
}

PlotPoint PlotFunction::PtAtT(double t, double range, const PlotList& other)
{
    calc.setFeatureLock(FeatureNone);
    double x = findZero(t, range);
    if (calc.featureLock == FeatureNone)
        x = findIntersection(t, range, other);
    if (calc.featureLock == FeatureNone)
        x = findMinMax(x, range);
    if (calc.featureLock == FeatureZero)
        return {x, 0, x};
    return {x, YAtT(x), x};
}

std::optional<std::vector<std::string>> PlotFunction::infoLines()
{
    const auto hold = calc.lockState();
    std::vector<std::string> lines = traceLines();
    if (const std::optional<YEqIntegrate> integral = limits(); integral && integral->lower != integral->upper)
        lines.push_back("\xE2\x88\xAB" "f(x)dx=" + calc.formatReal(integral->area));
    return lines;
}

std::optional<std::string> PlotFunction::label()
{
    return calc.yEqManager ? calc.yEqManager->eqString(eqNum) : std::string();
}

} // namespace orvenda
