#include "graph/SampledCurve.h"

#include "core/Calculator.h"
#include "numeric/ElementaryFunctions.h"

#include <QImage>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace orvenda {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kThinStyle = 2;
// Beyond the widest stroke (the 8-point halo) and its round ends.
constexpr double kCullMargin = 8;
// View points nearer than this to the last one drawn add nothing visible.
constexpr double kMinSpacing = 0.25;
// Opaque lines are stroked in pieces of at most this many segments.
constexpr std::size_t kPieceSegments = 128;

// Cohen–Sutherland outcode of a view point against a rectangle.
int outcode(double x, double y, double left, double top, double right, double bottom)
{
    return (x < left ? 1 : 0) | (x > right ? 2 : 0) | (y < top ? 4 : 0) | (y > bottom ? 8 : 0);
}

QPen roundPen(const QColor& color, double width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

SampledCurve::SampledCurve(Calculator& c, int type) : PlotObject(c), sampler_(c)
{
    plotType = type;
}

std::size_t SampledCurve::sampleCount(double min, double max, double& step)
{
    const double n = ElementaryFunctions::termCount(min, max, step);
    if (n < double(kMinSamples)) {
        step = (max - min) / double(kMinSamples);
        return kMinSamples;
    }
    if (n > double(kMaxSamples)) {
        step = (max - min) / double(kMaxSamples);
        return kMaxSamples;
    }
    return static_cast<std::size_t>(n);
}

void SampledCurve::sampleWindow(int minSlot, int maxSlot, int stepSlot, Sampling sampling)
{
    double min = 0, max = 0, step = 0;
    {
        const auto hold = calc.lockState();
        min = calc.state().vars[static_cast<std::size_t>(minSlot)].real();
        max = calc.state().vars[static_cast<std::size_t>(maxSlot)].real();
        step = calc.state().vars[static_cast<std::size_t>(stepSlot)].real();
    }
    samples_.resize(sampleCount(min, max, step));
    (sampler_.*sampling)(eqNum, min, max, step, samples_);
}

void SampledCurve::computeRect(const QRectF& rect, const GraphTransform& t)
{
    if (!doCompute_ && sampled_)
        return;
    takeSamples();
    dataRect_ = rect;
    dataT_ = t;
    doCompute_ = false;
    sampled_ = true;
}

void SampledCurve::drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int)
{
    if (!GraphGeometry::transformIsFinite(t))
        return;
    computeRect(rect, t);
    drawSamples(rect, context, t);
}

void SampledCurve::drawSamples(const QRectF& rect, QPainter& context, const GraphTransform& t)
{
    addRuns(rect, t);
    strokeRuns(context);
}

void SampledCurve::addRuns(const QRectF& rect, const GraphTransform& t)
{
    points_.clear();
    runs_.clear();
    const double left = rect.left() - kCullMargin, right = rect.right() + kCullMargin;
    const double top = rect.top() - kCullMargin, bottom = rect.bottom() + kCullMargin;
    // The previous sample in view points (none after a break), whether a run is open, and
    // a point left out for standing too close to the run's last one.
    bool previous = false, open = false, pending = false;
    QPointF before, skipped;
    int beforeCode = 0;
    std::size_t first = 0;
    const auto close = [&] {
        if (!open)
            return;
        if (pending)
            points_.push_back(skipped);
        runs_.emplace_back(first, points_.size());
        open = pending = false;
    };
    for (const Sample& s : samples_) {
        const double x = t.a * s.x + t.tx, y = t.d * s.y + t.ty;
        if (!GraphGeometry::pointIsFinite(s.x, s.y) || !GraphGeometry::pointIsFinite(x, y)) {
            close();
            previous = false;
            continue;
        }
        const int code = outcode(x, y, left, top, right, bottom);
        if (previous && (code & beforeCode) == 0) {
            if (!open) {
                first = points_.size();
                points_.push_back(before);
                open = true;
            }
            const QPointF& last = points_.back();
            pending = std::fabs(x - last.x()) < kMinSpacing && std::fabs(y - last.y()) < kMinSpacing;
            if (pending)
                skipped = QPointF(x, y);
            else
                points_.emplace_back(x, y);
        } else {
            close();
        }
        previous = true;
        before = QPointF(x, y);
        beforeCode = code;
    }
    close();
}

void SampledCurve::strokePieces(QPainter& context) const
{
    for (const auto& [first, end] : runs_)
        for (std::size_t from = first; from + 1 < end; from += kPieceSegments)
            context.drawPolyline(&points_[from], int(std::min(kPieceSegments + 1, end - from)));
}

void SampledCurve::strokeHalo(QPainter& context, double width)
{
    auto* device = dynamic_cast<QImage*>(context.device());
    if (!device) {
        // Elsewhere (a PDF) the halo stays one path, so that it stays vector.
        path_.clear();
        for (const auto& [first, end] : runs_) {
            path_.moveTo(points_[first]);
            for (std::size_t i = first + 1; i < end; ++i)
                path_.lineTo(points_[i]);
        }
        context.strokePath(path_, roundPen(colorAt(0.3), width));
        return;
    }
    // Opaque pieces on a layer of their own, laid on at 0.3: where pieces meet or the curve
    // crosses itself the halo is no darker, as one stroked path would have it.
    if (haloLayer_.size() != device->size())
        haloLayer_ = QImage(device->size(), QImage::Format_ARGB32_Premultiplied);
    haloLayer_.setDevicePixelRatio(device->devicePixelRatio());
    haloLayer_.fill(Qt::transparent);
    {
        QPainter layer(&haloLayer_);
        layer.setRenderHints(context.renderHints());
        layer.setTransform(context.transform());
        layer.setPen(roundPen(colorAt(1), width));
        strokePieces(layer);
    }
    context.save();
    context.resetTransform();
    context.setOpacity(context.opacity() * 0.3);
    context.drawImage(QPointF(0, 0), haloLayer_);
    context.restore();
}

void SampledCurve::strokeRuns(QPainter& context)
{
    const bool thin = style == kThinStyle;
    context.setBrush(Qt::NoBrush);
    if (selected())
        strokeHalo(context, thin ? 8 : 7);
    context.setPen(roundPen(colorAt(1), selected() || thin ? 2 : 4));
    strokePieces(context);
    restorePen(context);
}

void SampledCurve::strokeCurve(QPainter& context, const QPainterPath& path) const
{
    const bool thin = style == kThinStyle;
    context.setBrush(Qt::NoBrush);
    if (selected()) {
        context.strokePath(path, roundPen(colorAt(0.3), thin ? 8 : 7));
        context.strokePath(path, roundPen(colorAt(1), 2));
    } else {
        context.strokePath(path, roundPen(colorAt(1), thin ? 2 : 4));
    }
    restorePen(context);
}

void SampledCurve::restorePen(QPainter& context) const
{
    context.setPen(roundPen(colorAt(1), 2));
}

std::ptrdiff_t SampledCurve::nearestSample(const PlotPoint& pt, const GraphTransform& t, double& distance) const
{
    std::ptrdiff_t nearest = -1;
    distance = kInf;
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        const double d = std::hypot((samples_[i].x - pt.x) * t.a, (samples_[i].y - pt.y) * t.d);
        if (!std::isnan(d) && (nearest < 0 || d < distance)) {
            nearest = static_cast<std::ptrdiff_t>(i);
            distance = d;
        }
    }
    return nearest;
}

bool SampledCurve::hitPoint(PlotPoint& pt, const GraphTransform& t, double err)
{
    double distance = 0;
    const std::ptrdiff_t i = nearestSample(pt, t, distance);
    if (i < 0)
        return false;
    const Sample& s = samples_[static_cast<std::size_t>(i)];
    pt = {s.x, s.y, s.t};
    return distance < err;
}

Calculator::Rect SampledCurve::boundsInRect(const QRectF& rect, const GraphTransform& t)
{
    double xMin = kInf, xMax = -kInf, yMin = kInf, yMax = -kInf;
    bool any = false;
    for (const Sample& s : samples_) {
        if (std::isnan(s.x) || std::isnan(s.y))
            continue;
        any = true;
        xMin = std::min(xMin, s.x);
        xMax = std::max(xMax, s.x);
        yMin = std::min(yMin, s.y);
        yMax = std::max(yMax, s.y);
    }
    if (!any)
        return {(rect.x() - t.tx) / t.a, 0, rect.width() / t.a, 0};
    return {xMin, yMin, xMax - xMin, yMax - yMin};
}

void SampledCurve::addVariableLines(std::vector<std::string>& lines) const
{
    for (const YEqVarInfo& info : varInfoArray) {
        if (info.varNum < 0 || info.varNum >= Calculator::kVarCount)
            continue;
        lines.push_back(calc.nameForOpcode(0x41 + std::uint32_t(info.varNum)) + "="
                        + calc.formatReal(calc.locked()->vars[static_cast<std::size_t>(info.varNum)].real()));
    }
}

void SampledCurve::addPolarLines(std::vector<std::string>& lines, const PlotPoint& p) const
{
    double theta = std::atan2(p.y, p.x);
    if (calc.angleFormat() == 0)
        theta *= 180 / std::numbers::pi;
    lines.push_back("r:" + calc.formatReal(std::hypot(p.x, p.y)));
    lines.push_back("\xCE\xB8:" + calc.formatReal(theta));
}

void SampledCurve::addSlopeLine(std::vector<std::string>& lines, double t)
{
    if (calc.locked()->graphCoordFormat == 1)
        lines.push_back("dr/d\xCE\xB8:" + calc.formatReal(sampler_.drdThetaAt(t, eqNum, kDerivativeStep)));
    else
        lines.push_back("dy/dx:" + calc.formatReal(slopeAtT(t)));
}

} // namespace orvenda
