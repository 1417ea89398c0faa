#include "graph/PlotFn.h"

#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "core/VQStack.h"
#include "eval/Parser.h"
#include "graph/PlotLine.h"
#include "graph/PlotStroke.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

namespace orvenda {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kSlotX = 23;
// The half step of the slope's central difference.
constexpr double kSlopeStep = 1e-5;
constexpr int kFirstFunction = 0x5E10, kLastFunction = 0x5E19;
// The style bits of the equation flag word.
constexpr int kStrokeThin = 2, kStrokeThick = 4, kShadeAbove = 8, kShadeBelow = 16;
// Screen points far beyond any tile are held here, where the painter still draws exactly.
constexpr double kFarPoints = 1e5;

bool isFunctionToken(int token)
{
    return token >= kFirstFunction && token <= kLastFunction;
}

// Signs of two numbers: opposite, or the same (zero and NaN are neither).
bool opposite(double a, double b)
{
    return (a > 0 && b < 0) || (a < 0 && b > 0);
}

bool alike(double a, double b)
{
    return (a > 0 && b > 0) || (a < 0 && b < 0);
}

} // namespace

PlotFn::PlotFn(Calculator& c) : PlotObject(c), sampler_(c)
{
    plotType = PlotObject::PlotFn;
    varNum = kSlotX;
    asymptotes_.reserve(30);
}

YEqModel* PlotFn::yEq() const
{
    return YEqModel::of(calc);
}

void PlotFn::recompute()
{
    // A slider moved: the same rectangle now shows other values.
    haveData_ = false;
    YEqModel* model = yEq();
    if (!model)
        return;
    if (auto limits = model->integrationLimitsForFunction(eqNum)) {
        limits->dirty = true;
        model->setIntegrationLimits(eqNum, *limits);
    }
}

// ---- Evaluation ----

double PlotFn::YAtT(double t)
{
    return fn ? sampler_.evalFn(*fn, varNum, t) : kNaN;
}

double PlotFn::YAtX(double x)
{
    return YAtT(x);
}

const QuickEvaluator::Program* PlotFn::fastProgram()
{
    if (!quickCompiled_ && fn) {
        const auto hold = calc.lockState();
        isQuick_ = QuickEvaluator(calc.parser()).compile(*fn, quick_);
        quickCompiled_ = true;
    }
    return isQuick_ ? &quick_ : nullptr;
}

double PlotFn::qYAtT(double t)
{
    if (!fn)
        return kNaN;
    return sampler_.evalFn(*fn, fastProgram(), varNum, t);
}

double PlotFn::value(double x, Eval how)
{
    return how == Eval::Quick ? qYAtT(x) : YAtT(x);
}

double PlotFn::slopeAtT(double t)
{
    if (!fn)
        return kNaN;
    const auto hold = calc.lockState();
    const double m = sampler_.slopeFn(*fn, varNum, t, kSlopeStep);
    // A failed side leaves the parser's error; a trace leaves none behind.
    calc.parser().setError(0);
    return m;
}

int PlotFn::errorAtT(double t)
{
    return fn ? sampler_.errorNear(*fn, varNum, t, kSlopeStep) : 0;
}

double PlotFn::slope(double x, Eval how)
{
    if (how == Eval::Full)
        return slopeAtT(x);
    constexpr double e = 1e-5;
    return (qYAtT(x + e) - qYAtT(x - e)) / (e + e);
}

// ---- Sampling ----

void PlotFn::allocateStoreCount(std::size_t n)
{
    if (n == 0)
        return;
    data_.resize(n);
    deltas_.resize(n);
    screen_.resize(n);
    segments_.resize(n);
}

void PlotFn::addSegment(std::size_t start, std::size_t count)
{
    if (count == 0 || numSegments_ >= segments_.size())
        return;
    segments_[numSegments_++] = {std::int64_t(start), std::int64_t(count)};
}

std::vector<PlotFn::Segment> PlotFn::segments() const
{
    return {segments_.begin(), segments_.begin() + std::ptrdiff_t(numSegments_)};
}

void PlotFn::computeRect(const QRectF& rect, const GraphTransform& t, int quality)
{
    const double q = quality;
    const double xL = rect.x() - 4 * q, w = rect.width() + 8 * q;
    const double count = std::trunc(w / q);
    // Two samples at least: the step divides by one less.
    if (!fn || !(count >= 2) || count > 1e6) {
        haveData_ = false;
        numSegments_ = 0;
        asymptotes_.clear();
        return;
    }
    const auto n = std::size_t(count);
    // Held across the samples and the probes of the refinement (a tile holds it already),
    // so each probe costs little more than its evaluation.
    const auto hold = calc.lockState();
    fdx_ = (w / t.a) / double(n - 1);
    fdy_ = -1 / t.d;
    // The samples hold while the same strip of the plane is asked for at the same x scale.
    const bool reuse = haveData_ && data_.size() == n && dataRect_.x() == xL && dataRect_.width() == w
        && dataT_.a == t.a && dataT_.tx == t.tx;
    if (!reuse) {
        allocateStoreCount(n);
        ++samplings_;
        const QuickEvaluator::Program* fast = fastProgram();
        sampler_.plotFn(*fn, fast, varNum, (xL - t.tx) / t.a, fdx_, data_);
        refine(fast != nullptr);
    }
    if (!reuse || dataT_.d != t.d || dataT_.ty != t.ty) {
        for (std::size_t i = 0; i < n; ++i) {
            const double y = std::clamp(t.ty + t.d * data_[i].y, -kFarPoints, kFarPoints);
            screen_[i] = QPointF(t.tx + t.a * data_[i].x, std::isnan(data_[i].y) ? kNaN : y);
        }
    }
    haveData_ = true;
    dataT_ = t;
    dataRect_ = QRectF(xL, rect.y(), w, rect.height());

    YEqModel* model = yEq();
    if (!model)
        return;
    auto limits = model->integrationLimitsForFunction(eqNum);
    if (limits && limits->lower != limits->upper && limits->dirty) {
        int error = 0;
        limits->area = integrateLower(limits->lower, limits->upper, 0.001, error);
        limits->dirty = false;
        model->setIntegrationLimits(eqNum, *limits);
    }
}

void PlotFn::refine(bool quick)
{
    asymptotes_.clear();
    numSegments_ = 0;
    const std::size_t n = data_.size();
    if (n < 2)
        return;
    const Eval how = quick ? Eval::Quick : Eval::Full;
    GraphSampler::XY* p = data_.data();
    double* delta = deltas_.data();
    const double halfPoint = std::fabs(fdy_ / 2);

    delta[0] = kNaN;
    for (std::size_t i = 1; i < n; ++i)
        delta[i] = std::isnan(p[i].y) || std::isnan(p[i - 1].y) ? kNaN : p[i].y - p[i - 1].y;

    // Rapid oscillation: steps turning back and forth three times running (or 41 times in
    // all) are drawn as they come, as one run.
    int run = 0, turns = 0;
    for (std::size_t i = 3; i < n; ++i) {
        if (!opposite(delta[i], delta[i - 1])) {
            run = 0;
            continue;
        }
        ++turns;
        if (++run >= 3 || turns >= 41) {
            std::size_t first = 0;
            while (first < n && std::isnan(p[first].y))
                ++first;
            if (first < n)
                addSegment(first, n - first);
            return;
        }
    }
    if (n - 1 < 3)
        return;

    // Bisects an edge of the domain: `inside` is a sample with a value, `outside` one
    // without. It ends when a probe with a value moved less than half a point and the
    // bracket has closed to a millionth of a step: near an edge as steep as √X's a small
    // move alone still leaves the curve points short of its end.
    const double closed = std::fabs(fdx_) * 1e-6;
    const auto edge = [&](GraphSampler::XY& inside, double& outsideX) {
        for (int probe = 0; probe < 46; ++probe) {
            const double mid = (inside.x + outsideX) / 2;
            const double y = value(mid, how);
            if (std::isnan(y)) {
                outsideX = mid;
                continue;
            }
            const double change = std::fabs(y - inside.y);
            inside = {mid, y};
            if (change <= halfPoint && std::fabs(inside.x - outsideX) <= closed)
                break;
        }
    };

    bool open = false, afterNaN = true;
    std::size_t s = 0;
    for (std::size_t i = 2; i <= n - 2; ++i) {
        if (std::isnan(p[i].y)) {
            if (open) {
                GraphSampler::XY left = p[i - 1];
                double rightX = p[i].x;
                edge(left, rightX);
                p[i - 1] = left;
                p[i] = {rightX, kNaN};
                addSegment(s, i - s);
                open = false;
            }
            afterNaN = true;
            continue;
        }
        if (afterNaN) {
            if (std::isnan(p[i - 1].y)) {
                GraphSampler::XY right = p[i];
                double leftX = p[i - 1].x;
                edge(right, leftX);
                p[i - 1] = right;
                p[i] = right;
            }
            s = i;
            open = true;
            afterNaN = false;
        }

        const double a = std::fabs(delta[i - 1]), b = std::fabs(delta[i]), c = std::fabs(delta[i + 1]);
        double step = delta[i];
        // A step larger than both neighbours: a jump, an asymptote, or only a steep part.
        if (b > a && b > c && b > 1.1 * std::min(a, c)) {
            double xLo = p[i - 1].x, yLo = p[i - 1].y, xHi = p[i + 1].x, yHi = p[i + 1].y;
            const double usual = std::max(a, c);
            for (int halvings = 0; std::fabs(yHi - yLo) > usual && xHi - xLo > 1e-13 && halvings < 30; ++halvings) {
                const double mid = (xLo + xHi) / 2;
                const double y = value(mid, how);
                if (std::isnan(y))
                    break;
                if (std::fabs(y - yLo) < std::fabs(y - yHi)) {
                    xLo = mid;
                    yLo = y;
                } else {
                    xHi = mid;
                    yHi = y;
                }
            }
            const double midX = (xLo + xHi) / 2;
            const double s1 = std::fabs(slope(xLo - 0.0001, how)), s2 = std::fabs(slope(xHi + 0.0001, how));
            if (s1 > 100 && s2 > 100 && std::fabs(yLo - yHi) > 100) {
                asymptotes_.push_back(midX);
                addSegment(s, i - s);
                p[i - 1] = {midX, yLo};
                p[i] = {midX, yHi};
                s = i;
                continue;
            }
            if (std::fabs(yHi - yLo) > usual) {
                if (i > s)
                    addSegment(s, i - s + 1);
                p[i] = {midX, yLo};
                p[i + 1] = {midX, yHi};
                s = i + 1;
                continue;
            }
            step = yHi - yLo;
        }

        if (!opposite(delta[i - 1], step))
            continue;
        if (alike(delta[i + 1], delta[i - 1])) {
            // One step against the trend: a break in the curve, maybe an asymptote.
            double xLo = p[i - 1].x, yLo = p[i - 1].y, xHi = p[i].x, yHi = p[i].y;
            const double big = 10 * std::max(a, c);
            for (int probes = 0; std::fabs(yHi - yLo) < big && xHi - xLo > 1e-9 && probes < 100; ++probes) {
                const double mid = (xLo + xHi) / 2;
                const double y = value(mid, how);
                if (alike(y - yLo, delta[i - 1])) {
                    xLo = mid;
                    yLo = y;
                } else {
                    xHi = mid;
                    yHi = y;
                }
            }
            if (std::fabs(slope(xLo - 0.0001, how)) > 100 && std::fabs(slope(xHi + 0.0001, how)) > 10)
                asymptotes_.push_back((xLo + xHi) / 2);
            addSegment(s, i - s);
            p[i - 1] = {xLo, yLo};
            p[i] = {xHi, yHi};
            s = i;
        } else if (opposite(delta[i + 1], delta[i - 1]) && i - s >= 3) {
            // A turning point: the sample moves onto the extreme.
            int feature = FeatureNone;
            double x = minMax(p[i].x, p[i + 1].x - p[i - 1].x, how, feature);
            double y = value(x, how);
            if (!std::isfinite(y) || std::fabs(y) > 1e200)
                asymptotes_.push_back(x);
            // Just off a hole the function has a value again; a gap wider than 100 steps
            // (or a step lost in x's magnitude) keeps the hole.
            for (int steps = 0; std::isnan(y) && steps < 100; ++steps) {
                const double next = x + 1e-8;
                if (next == x)
                    break;
                x = next;
                y = YAtT(x);
            }
            p[i] = {x, y};
        }
    }
    if (open && n - 1 > s)
        addSegment(s, n - 1 - s);
}

// ---- Drawing ----

void PlotFn::integralLimits(double& lo, double& hi) const
{
    lo = hi = 0;
    if (isFunctionToken(eqNum)) {
        YEqModel* model = yEq();
        const auto limits = model ? model->integrationLimitsForFunction(eqNum) : std::nullopt;
        if (limits && limits->lower != limits->upper && std::isfinite(limits->area)) {
            lo = limits->lower;
            hi = limits->upper;
        }
    } else if (const auto* record = dynamic_cast<const DrawFunc*>(drawFunc.get())) {
        lo = record->lower;
        hi = record->upper;
    }
}

template <typename Run>
void PlotFn::eachRun(std::size_t start, std::size_t count, Run run) const
{
    const std::size_t end = std::min(start + count, screen_.size());
    std::size_t i = start;
    while (i < end) {
        while (i < end && std::isnan(screen_[i].y()))
            ++i;
        const std::size_t first = i;
        while (i < end && !std::isnan(screen_[i].y()))
            ++i;
        if (i > first)
            run(first, i - first);
    }
}

void PlotFn::fillSegments(QPainter& context, double closeAtY)
{
    context.setPen(Qt::NoPen);
    context.setBrush(colorAt(0.7));
    for (std::size_t k = 0; k < numSegments_; ++k) {
        eachRun(std::size_t(segments_[k].start), std::size_t(segments_[k].count), [&](std::size_t first, std::size_t count) {
            polygon_.resize(0);
            polygon_.append(QPointF(screen_[first].x(), closeAtY));
            for (std::size_t i = first; i < first + count; ++i)
                polygon_.append(screen_[i]);
            polygon_.append(QPointF(screen_[first + count - 1].x(), closeAtY));
            context.drawPolygon(polygon_);
        });
    }
}

void PlotFn::strokeRun(QPainter& context, std::size_t first, std::size_t count, double top, double bottom)
{
    const auto inside = [&](const QPointF& p) { return p.y() >= top && p.y() <= bottom; };
    // Where the line from p to q crosses the height y.
    const auto cross = [](const QPointF& p, const QPointF& q, double y) {
        const double s = (y - p.y()) / (q.y() - p.y());
        return QPointF(p.x() + s * (q.x() - p.x()), y);
    };
    const auto edge = [&](const QPointF& p) { return p.y() < top ? top : bottom; };
    const auto flush = [&] {
        if (polygon_.size() > 1)
            context.drawPolyline(polygon_.data(), PlotStroke::dropStraightPoints(polygon_.data(), int(polygon_.size())));
        polygon_.resize(0);
    };
    polygon_.resize(0);
    if (inside(screen_[first]))
        polygon_.append(screen_[first]);
    for (std::size_t i = first + 1; i < first + count; ++i) {
        const QPointF &p = screen_[i - 1], &q = screen_[i];
        const bool pIn = inside(p), qIn = inside(q);
        if (pIn && qIn) {
            polygon_.append(q);
        } else if (pIn) {
            polygon_.append(cross(p, q, edge(q)));
            flush();
        } else if (qIn) {
            polygon_.append(cross(p, q, edge(p)));
            polygon_.append(q);
        } else if (edge(p) != edge(q)) {
            // Across the whole band.
            polygon_.append(cross(p, q, edge(p)));
            polygon_.append(cross(p, q, edge(q)));
            flush();
        }
    }
    flush();
}

void PlotFn::strokeSegments(QPainter& context, const QRectF& rect)
{
    context.setBrush(Qt::NoBrush);
    // Lines are cut a little beyond the tile's top and bottom: the rasteriser walks the
    // whole length of a line, and the ends at an asymptote lie 1e5 points away.
    const double margin = lineWidth + 16;
    const double top = rect.top() - margin, bottom = rect.bottom() + margin;
    const auto stroke = [&](const QColor& color, double width) {
        context.setPen(PlotStroke::roundPen(pen_, color, width));
        for (std::size_t k = 0; k < numSegments_; ++k)
            eachRun(std::size_t(segments_[k].start), std::size_t(segments_[k].count),
                    [&](std::size_t first, std::size_t count) { strokeRun(context, first, count, top, bottom); });
    };
    if (selected())
        stroke(colorAt(0.3), lineWidth + 6);
    stroke(colorAt(1), lineWidth);
}

void PlotFn::drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality)
{
    if (!GraphGeometry::transformIsFinite(t))
        return;
    computeRect(rect, t, quality);
    if (numSegments_ == 0)
        return;
    double lo = 0, hi = 0;
    integralLimits(lo, hi);
    const bool integral = lo != hi;

    const double x0 = rect.x(), y0 = rect.y(), w = rect.width(), h = rect.height();
    const std::size_t n = screen_.size();
    std::int64_t iLo = -1, iHi = -1;
    std::size_t yFrom = n;
    double yMin = std::numeric_limits<double>::infinity(), yMax = -yMin;
    for (std::size_t i = 0; i < n; ++i) {
        const QPointF& at = screen_[i];
        if (data_[i].x <= lo)
            iLo = std::int64_t(i);
        if (data_[i].x <= hi)
            iHi = std::int64_t(i);
        if (yFrom == n && at.x() >= x0 - 3)
            yFrom = i == 0 ? 0 : i - 1;
        if (yFrom <= i && std::isfinite(at.y())) {
            yMin = std::min(yMin, at.y());
            yMax = std::max(yMax, at.y());
        }
        if (at.x() > x0 + w + 3)
            break;
    }

    context.save();
    const bool above = (style & kShadeAbove) != 0, below = (style & kShadeBelow) != 0;
    bool outside = false;
    if (!integral) {
        if (above && !below)
            outside = yMax < y0;
        else if (below && !above)
            outside = yMin > y0 + h;
        else
            outside = yMax < y0 || yMin > y0 + h;
    }
    if (outside) {
        drawAsymptotes(rect, context, t);
    } else {
        if (above)
            fillSegments(context, y0 - 4 * quality);
        if (below)
            fillSegments(context, y0 + h + 4 * quality);
        if (style & (kStrokeThin | kStrokeThick)) {
            strokeSegments(context, rect);
            drawAsymptotes(rect, context, t);
        }
        if (integral)
            shadeIntegral(context, t, iLo, iHi);
    }
    drawTangent(rect, context, t);
    context.restore();
}

void PlotFn::shadeIntegral(QPainter& context, const GraphTransform& t, std::int64_t iLo, std::int64_t iHi)
{
    if (iLo == iHi)
        return;
    // Limits given upper first shade the same area.
    if (iLo > iHi)
        std::swap(iLo, iHi);
    const auto first = std::size_t(std::max<std::int64_t>(iLo, 0)), last = std::size_t(iHi);
    context.setPen(Qt::NoPen);
    context.setBrush(colorAt(0.5));
    eachRun(first, last - first + 1, [&](std::size_t from, std::size_t count) {
        polygon_.resize(0);
        polygon_.append(QPointF(screen_[from].x(), t.ty));
        for (std::size_t i = from; i < from + count; ++i)
            polygon_.append(screen_[i]);
        polygon_.append(QPointF(screen_[from + count - 1].x(), t.ty));
        context.drawPolygon(polygon_);
    });
}

void PlotFn::drawAsymptotes(const QRectF& rect, QPainter& context, const GraphTransform& t)
{
    if (asymptotes_.empty() || !GraphGeometry::transformIsFinite(t))
        return;
    // Dashes 12 on, 4 off from y = -32767, so that tiles above and below continue them.
    constexpr double kTop = -32767, kPeriod = 16;
    QPen pen(colorAt(1), 1);
    pen.setDashPattern({12, 4});
    context.setPen(pen);
    const double from = kTop + kPeriod * std::floor((rect.top() - kPeriod - kTop) / kPeriod);
    const double to = std::min(rect.bottom() + kPeriod, -kTop);
    for (double x : asymptotes_) {
        const double at = t.a * x + t.tx;
        const double whole = std::round(at);
        // The middle of the pixel the line covers.
        const double v = at < whole ? whole - 0.5 : whole + 0.5;
        if (v < rect.left() - 1 || v > rect.right() + 1)
            continue;
        context.drawLine(QPointF(v, std::max(from, kTop)), QPointF(v, to));
    }
}

void PlotFn::drawTangent(const QRectF& rect, QPainter& context, const GraphTransform& t)
{
    if (!showTangent)
        return;
    const double x1 = tangentX, y1 = YAtT(x1), m = slopeAtT(x1);
    if (!std::isfinite(y1) || !std::isfinite(m))
        return;
    const auto viewY = [&](double viewX) {
        const double x = (viewX - t.tx) / t.a;
        return std::clamp(t.d * (m * (x - x1) + y1) + t.ty, -kFarPoints, kFarPoints);
    };
    const double left = rect.left() - 3, right = rect.right() + 3;
    context.setPen(QPen(colorAt(1), 1));
    context.drawLine(QPointF(left, viewY(left)), QPointF(right, viewY(right)));
    const GraphGeometry::Point at = GraphGeometry::applyPlotTransform(t, x1, y1);
    context.setPen(Qt::NoPen);
    context.setBrush(colorAt(1));
    context.drawEllipse(QPointF(at.x, at.y), 3, 3);
}

// ---- Hit test and bounds ----

bool PlotFn::hitPoint(PlotPoint& pt, const GraphTransform& t, double err)
{
    if (!fn)
        return false;
    const double step = (2 * err / t.a) / 16;
    sampler_.plotFn(*fn, varNum, pt.x - err / t.a, step, hitSamples_);
    double best = std::numeric_limits<double>::infinity();
    const GraphSampler::XY* nearest = nullptr;
    for (const GraphSampler::XY& s : hitSamples_) {
        if (!std::isfinite(s.y))
            continue;
        const double distance = std::hypot((s.x - pt.x) * t.a, (s.y - pt.y) * t.d);
        if (distance < best) {
            best = distance;
            nearest = &s;
        }
    }
    if (!nearest)
        return false;
    pt = {nearest->x, nearest->y, nearest->x};
    return best <= err;
}

Calculator::Rect PlotFn::boundsInRect(const QRectF& rect, const GraphTransform& t)
{
    const double w = std::trunc(rect.width());
    const double x = (rect.x() - t.tx) / t.a;
    if (!fn || !(w >= 1) || w > 1e6)
        return {x, 0, rect.width() / t.a, 0};
    boundsSamples_.resize(std::size_t(w));
    sampler_.plotFn(*fn, varNum, x, (rect.width() / t.a) / rect.width(), boundsSamples_);
    double least = std::numeric_limits<double>::infinity(), greatest = -least;
    for (const GraphSampler::XY& s : boundsSamples_) {
        if (!std::isfinite(s.y))
            continue;
        least = std::min(least, s.y);
        greatest = std::max(greatest, s.y);
    }
    if (least > greatest)
        return {x, 0, rect.width() / t.a, 0};
    return {x, least, rect.width() / t.a, greatest - least};
}

// ---- Trace ----

PlotPoint PlotFn::PtAtT(double t, double range, const PlotList& other)
{
    calc.setFeatureLock(FeatureNone);
    double x = findZero(t, range);
    if (calc.featureLock == FeatureNone)
        x = findIntersection(t, range, other);
    if (calc.featureLock == FeatureNone)
        x = findMinMax(t, range);
    const int feature = calc.featureLock;
    const double y = feature == FeatureZero || feature == FeatureAsymptote ? 0 : YAtT(x);
    return {x, y, x};
}

double PlotFn::findZero(double x, double range)
{
    const double from = x - range, to = x + range;
    if (!(from < to))
        return x;
    const double step = range / 30;
    double previous = YAtT(from), previousAt = from;
    double lo = kNaN, hi = kNaN;
    for (double a = from + step; a < to; a += step) {
        const double y = YAtT(a);
        if (std::isnan(y) || std::isnan(previous))
            continue;
        if ((y < 0) != (previous < 0)) {
            lo = previousAt;
            hi = a;
            break;
        }
        previous = y;
        previousAt = a;
    }
    if (std::isnan(lo))
        return x;
    const bool loNegative = previous < 0;
    double mid = x, f = kNaN;
    for (int probe = 0; probe < 39; ++probe) {
        mid = (lo + hi) / 2;
        f = YAtT(mid);
        if (std::isnan(f))
            return x;
        if (std::fabs(f) <= 1e-10)
            break;
        if ((f < 0) == loNegative)
            lo = mid;
        else
            hi = mid;
        if (hi - lo <= 1e-12)
            break;
    }
    if (std::fabs(f) < 0.001) {
        calc.setFeatureLock(FeatureZero);
        return std::fabs(mid) < 1e-6 ? 0 : mid;
    }
    if (std::fabs(f) > 100 && std::fabs(slopeAtT(mid - 1e-5)) > 100) {
        calc.setFeatureLock(FeatureAsymptote);
        return mid;
    }
    return x;
}

double PlotFn::findIntersection(double x, double range, const PlotList& other)
{
    const double found = PlotLine::searchIntersection(*this, x, range, other, false, {49, 1e-14, true});
    // A function's crossing of the y-axis (the search's first step) is its y-intercept.
    if (found == 0 && x - range <= 0 && 0 <= x + range && calc.featureLock == FeatureIntersection)
        calc.setFeatureLock(FeatureYIntercept);
    return found;
}

double PlotFn::findMinMax(double x, double range)
{
    int feature = FeatureNone;
    const double m = minMax(x, range, Eval::Full, feature);
    if (feature != FeatureNone)
        calc.setFeatureLock(feature);
    return m;
}

double PlotFn::minMax(double x, double range, Eval how, int& feature)
{
    double lo = x - range, hi = x + range;
    const double sLo = slope(lo, how), sHi = slope(hi, how);
    if (std::isnan(sLo) || std::isnan(sHi) || (sLo < 0) == (sHi < 0))
        return x;
    const bool loFalling = sLo < 0;
    for (int probe = 0; probe < 39 && hi - lo > 1e-12; ++probe) {
        const double mid = (lo + hi) / 2;
        if ((slope(mid, how) < 0) == loFalling)
            lo = mid;
        else
            hi = mid;
    }
    const double m = (lo + hi) / 2;
    const double y = value(m, how);
    if (!std::isfinite(y))
        feature = FeatureAsymptote;
    else if (std::fabs(y) < 1e-10)
        feature = FeatureZero;
    else
        feature = value(m + 1e-5, how) > y ? FeatureMinimum : FeatureMaximum;
    return m;
}

// ---- Calculate menu ----

double PlotFn::calculus(double result, int& error)
{
    error = calc.parser().error();
    calc.parser().setError(0);
    return result;
}

double PlotFn::integrateLower(double lower, double upper, double tol, int& error)
{
    if (!fn)
        return PlotObject::integrateLower(lower, upper, tol, error);
    const auto hold = calc.lockState();
    const double area = calculus(calc.parser().integrateFunction(*fn, varNum, lower, upper, tol), error);
    return error != 0 ? kNaN : area;
}

double PlotFn::zeroLower(double lower, double upper, double tol, int& error)
{
    if (!fn)
        return PlotObject::zeroLower(lower, upper, tol, error);
    const auto hold = calc.lockState();
    return calculus(calc.parser().solve(*fn, varNum, lower, upper, (lower + upper) / 2), error);
}

double PlotFn::minLower(double lower, double upper, double tol, int& error)
{
    if (!fn)
        return PlotObject::minLower(lower, upper, tol, error);
    const auto hold = calc.lockState();
    return calculus(calc.parser().minMaxFunction(*fn, varNum, lower, upper, tol, true), error);
}

double PlotFn::maxLower(double lower, double upper, double tol, int& error)
{
    if (!fn)
        return PlotObject::maxLower(lower, upper, tol, error);
    const auto hold = calc.lockState();
    return calculus(calc.parser().minMaxFunction(*fn, varNum, lower, upper, tol, false), error);
}

// ---- Text ----

std::optional<std::string> PlotFn::label()
{
    if (eqNum < 0)
        return calc.stringFromOps(expression);
    return calc.yEqManager ? calc.yEqManager->eqString(eqNum) : std::string();
}

std::optional<std::map<std::string, PlotFn::Ops>> PlotFn::equationOps()
{
    if (!calc.locked()->drawExpr)
        return std::nullopt;
    std::optional<Ops> ops;
    if (eqNum < 0) {
        ops = expression;
    } else if (YEqModel* model = yEq()) {
        ops = model->getYEqFuncOps(eqNum);
    }
    if (!ops)
        return std::nullopt;
    const char* key = "Y=";
    switch (style) {
    case 8: key = "Y>"; break;
    case 10: key = "Y\xE2\x89\xA5"; break;
    case 16: key = "Y<"; break;
    case 18: key = "Y\xE2\x89\xA4"; break;
    default: break;
    }
    return std::map<std::string, Ops>{{key, std::move(*ops)}};
}

std::optional<std::vector<std::string>> PlotFn::infoLines()
{
    // The format switches and the trace state are the calculator's.
    const auto hold = calc.lockState();
    std::vector<std::string> lines;
    const auto f = [this](double v) { return calc.formatReal(v); };
    if (calc.state().drawExpr) {
        lines.push_back(label().value_or(std::string()));
        if (eqNum >= 0)
            for (const YEqVarInfo& info : varInfoArray)
                lines.push_back(calc.nameForOpcode(std::uint32_t(0x41 + info.varNum)) + "="
                                + f(calc.getVar(info.varNum).value.real()));
    }
    const PlotPoint& p = calc.pTrackPoint;
    if (calc.state().drawCoord) {
        if (calc.state().graphCoordFormat != 0) {
            addCoordinateLines(lines);
        } else {
            const std::string name = calc.nameForVariable(varNum).value_or("X");
            if (calc.state().graphXAxisLabelMode == 1 && varNum == kSlotX)
                lines.push_back(calc.nameForOpcode(0x58) + ":" + f(p.x / std::numbers::pi) + "\xCF\x80");
            else
                lines.push_back(name + ":" + f(p.x));
            lines.push_back("Y:" + (calc.featureLock == FeatureAsymptote ? std::string() : f(p.y)));
        }
    }
    if (calc.state().drawDyDx) {
        const bool extreme = calc.featureLock == FeatureMinimum || calc.featureLock == FeatureMaximum;
        lines.push_back("dy/dx:" + f(extreme ? 0.0 : calc.pTrackSlope));
    }
    double lo = 0, hi = 0, area = 0;
    if (isFunctionToken(eqNum)) {
        YEqModel* model = yEq();
        if (const auto limits = model ? model->integrationLimitsForFunction(eqNum) : std::nullopt) {
            lo = limits->lower;
            hi = limits->upper;
            area = limits->area;
        }
    } else if (const auto* record = dynamic_cast<const DrawFunc*>(drawFunc.get())) {
        lo = record->lower;
        hi = record->upper;
        area = record->area;
    }
    if (lo != hi)
        lines.push_back("\xE2\x88\xAB" "f(x)dx=" + f(area));
    return lines;
}

} // namespace orvenda
