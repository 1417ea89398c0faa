#include "graph/PlotShadeFn.h"

#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "graph/PlotStroke.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr int kSlotX = 23;

} // namespace

PlotShadeFn::PlotShadeFn(Calculator& c) : PlotObject(c), sampler_(c)
{
    plotType = PlotObject::PlotShadeFn;
}

std::shared_ptr<PlotShadeFn> PlotShadeFn::plotFor(Calculator& calc, const std::shared_ptr<DrawShadeFn>& record)
{
    auto plot = std::make_shared<PlotShadeFn>(calc);
    plot->drawFunc = record;
    plot->color = VQColor::colorR(record->r, record->g, record->b, 1);
    plot->eqNum = -1;
    plot->varNum = kSlotX;
    plot->style = 2;
    plot->lineWidth = 2;
    plot->fnLower = record->fnLower;
    plot->fnUpper = record->fnUpper;
    plot->expressionLower = record->expressionLower;
    plot->expressionUpper = record->expressionUpper;
    plot->xLeft = record->xLeft;
    plot->xRight = record->xRight;
    plot->setSelected(record->selected);
    return plot;
}

void PlotShadeFn::computeRect(const QRectF& rect, const GraphTransform& t)
{
    // One sample a view point, with a point of margin on each side.
    const double x0 = rect.x() - 1;
    const int n = std::max(0, int(rect.width() + 2));
    fdx = 1 / t.a;
    const Samples& samples = samplesFor(x0, n, t);
    const bool same = polygonSet_ == &samples && t.d == dataT.d && t.ty == dataT.ty;
    dataT = t;
    dataRect = QRectF(x0, rect.y(), n, rect.height());
    if (!same)
        buildPolygon(samples, t);
}

PlotShadeFn::Samples& PlotShadeFn::samplesFor(double x0, int n, const GraphTransform& t)
{
    for (Samples& set : sets_)
        if (set.n == n && set.x0 == x0 && set.a == t.a && set.tx == t.tx)
            return set;
    Samples& set = sets_[nextSet_];
    nextSet_ = (nextSet_ + 1) % kSampleSets;
    set.x0 = x0;
    set.n = n;
    set.a = t.a;
    set.tx = t.tx;
    set.upperPts.resize(std::size_t(n));
    set.lowerPts.resize(std::size_t(n));
    const double xs = (x0 - t.tx) / t.a;
    if (fnUpper && fnLower) {
        sampler_.plotFn(*fnUpper, varNum, xs, fdx, set.upperPts);
        sampler_.plotFn(*fnLower, varNum, xs, fdx, set.lowerPts);
    } else {
        std::fill(set.upperPts.begin(), set.upperPts.end(), GraphSampler::XY{xs, std::nan("")});
        std::fill(set.lowerPts.begin(), set.lowerPts.end(), GraphSampler::XY{xs, std::nan("")});
    }
    // The set may have held the polygon's samples.
    if (polygonSet_ == &set)
        polygonSet_ = nullptr;
    ++samplings_;
    return set;
}

void PlotShadeFn::buildPolygon(const Samples& samples, const GraphTransform& t)
{
    const std::size_t n = samples.lowerPts.size();
    screenPoints_.resize(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const double upper = samples.upperPts[i].y, lower = samples.lowerPts[i].y, x = samples.upperPts[i].x;
        // Where the region is empty or outside the bounds the edges meet: nothing is filled.
        const double y = upper > lower && x >= xLeft && x <= xRight ? upper : lower;
        screenPoints_[i] = QPointF(samples.x0 + double(i), y * t.d + t.ty);
        screenPoints_[2 * n - 1 - i] = QPointF(samples.x0 + double(i), lower * t.d + t.ty);
    }
    polygonSet_ = &samples;
}

void PlotShadeFn::drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int)
{
    if (!GraphGeometry::transformIsFinite(t))
        return;
    computeRect(rect, t);
    const std::size_t n = screenPoints_.size() / 2;
    const double top = rect.top() - PlotStroke::kFar, bottom = rect.bottom() + PlotStroke::kFar;
    const auto bounded = [&](const QPointF& p) { return QPointF(p.x(), std::clamp(p.y(), top, bottom)); };
    context.setPen(Qt::NoPen);
    context.setBrush(colorAt(selected() ? 0.8 : 0.5));
    // Each run of samples with a defined lower value is its own polygon.
    std::size_t i = 0;
    while (i < n) {
        if (!std::isfinite(screenPoints_[2 * n - 1 - i].y())) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < n && std::isfinite(screenPoints_[2 * n - 1 - end].y()))
            ++end;
        if (end - i >= 2) {
            fillPoints_.clear();
            for (std::size_t k = i; k < end; ++k)
                fillPoints_.push_back(bounded(screenPoints_[k]));
            for (std::size_t k = end; k-- > i;)
                fillPoints_.push_back(bounded(screenPoints_[2 * n - 1 - k]));
            context.drawPolygon(fillPoints_.data(), int(fillPoints_.size()));
        }
        i = end;
    }
}

bool PlotShadeFn::hitPoint(PlotPoint& pt, const GraphTransform&, double)
{
    if (pt.x < xLeft || pt.x > xRight) {
        pt.y = kNoValue;
        return false;
    }
    if (!fnUpper || !fnLower)
        return false;
    const double u = sampler_.evalFn(*fnUpper, varNum, pt.x);
    const double l = sampler_.evalFn(*fnLower, varNum, pt.x);
    if (l <= pt.y && pt.y <= u)
        return true;
    pt.y = pt.y < l ? l : u;
    return false;
}

std::optional<std::vector<std::string>> PlotShadeFn::infoLines()
{
    const auto hold = calc.lockState();
    std::vector<std::string> lines;
    if (calc.state().drawExpr) {
        lines.push_back("Shade");
        lines.push_back("left:" + calc.formatReal(xLeft));
        lines.push_back("right:" + calc.formatReal(xRight));
    }
    if (calc.state().drawCoord) {
        PlotPoint p = calc.pTrackPoint;
        const bool inside = hitPoint(p, dataT, 1);
        lines.push_back("x:" + (inside ? calc.formatReal(p.x) : std::string()));
        lines.push_back("y:" + (p.y == kNoValue ? std::string() : calc.formatReal(p.y)));
    }
    return lines;
}

} // namespace orvenda
