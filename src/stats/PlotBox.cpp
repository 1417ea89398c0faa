#include "stats/PlotBox.h"

#include "core/Calculator.h"
#include "graph/GraphTile.h"
#include "numeric/VQStatistics.h"
#include "stats/StatPlotModel.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

constexpr double kTick = 3;

} // namespace

PlotBox::PlotBox(Calculator& calc) : PlotObject(calc)
{
    plotType = PlotObject::PlotBox;
}

std::shared_ptr<VQStatistics> PlotBox::statistics() const
{
    return StatPlotModel::statsOf(calc, eqNum);
}

double PlotBox::centreLine(const GraphTransform& t) const
{
    return GraphTile::alignedLine(t.ty - vertLocation);
}

PlotBox::Whiskers PlotBox::whiskers(const VQStatistics& s) const
{
    return {s.minX, s.maxX};
}

void PlotBox::drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int)
{
    if (!GraphGeometry::transformIsFinite(t))
        return;
    const auto hold = calc.lockState();
    const auto stats = statistics();
    if (!stats)
        return;
    const VQStatistics& s = *stats;
    const double yc = centreLine(t);
    // The band and its outlier marks reach no further than this from the centre line.
    if (yc + kHalfHeight + 4 < rect.top() || yc - kHalfHeight - 4 > rect.bottom())
        return;
    context.save();
    drawBeforeBox(context, t, yc, s);
    const QColor ink = colorAt(1);
    QColor fill = ink;
    fill.setAlphaF(0.4f);
    const auto x = [&t](double v) { return v * t.a + t.tx; };
    const Whiskers w = whiskers(s);
    context.setPen(QPen(ink, selected() ? 2 : 1));
    context.setBrush(fill);
    context.drawRect(QRectF(QPointF(x(s.Q1), yc - kHalfHeight), QPointF(x(s.Q3), yc + kHalfHeight)).normalized());
    QPainterPath lines;
    lines.moveTo(x(w.lo), yc);
    lines.lineTo(x(s.Q1), yc);
    lines.moveTo(x(w.lo), yc - kTick);
    lines.lineTo(x(w.lo), yc + kTick);
    lines.moveTo(x(s.medianX), yc - kHalfHeight);
    lines.lineTo(x(s.medianX), yc + kHalfHeight - 0.5);
    lines.moveTo(x(s.Q3), yc);
    lines.lineTo(x(w.hi), yc);
    lines.moveTo(x(w.hi), yc - kTick);
    lines.lineTo(x(w.hi), yc + kTick);
    context.strokePath(lines, context.pen());
    context.restore();
}

std::vector<double> PlotBox::candidates(const VQStatistics& s, double) const
{
    return {s.minX, s.Q1, s.medianX, s.Q3, s.maxX};
}

double PlotBox::traceStep(double x, bool right) const
{
    const auto hold = calc.lockState();
    const auto stats = statistics();
    if (!stats)
        return x;
    // Every value a touch could stop at: near each data value (the modified plot's
    // outliers are stops only near themselves).
    std::vector<double> stops;
    for (const VQNumber& v : stats->listX.v())
        for (double c : candidates(*stats, v.r()))
            if (std::isfinite(c))
                stops.push_back(c);
    std::sort(stops.begin(), stops.end());
    if (right) {
        const auto next = std::upper_bound(stops.begin(), stops.end(), x);
        return next == stops.end() ? x : *next;
    }
    const auto next = std::lower_bound(stops.begin(), stops.end(), x);
    return next == stops.begin() ? x : *std::prev(next);
}

bool PlotBox::hitPoint(PlotPoint& pt, const GraphTransform& t, double err)
{
    const auto hold = calc.lockState();
    const auto stats = statistics();
    if (!stats)
        return false;
    const VQStatistics& s = *stats;
    double best = std::numeric_limits<double>::infinity(), winner = pt.x;
    for (double v : candidates(s, pt.x)) {
        const double distance = std::fabs(v - pt.x);
        if (distance < best) {
            best = distance;
            winner = v;
        }
    }
    const double dy = std::fabs(pt.y * t.d + vertLocation);
    pt.x = winner;
    pt.y = -vertLocation / t.d;
    if (s.minX <= pt.x && pt.x <= s.maxX && dy < kHalfHeight)
        return true;
    return best * t.a < err && dy <= err;
}

Calculator::Bounds PlotBox::statBounds(const GraphTransform&)
{
    const auto hold = calc.lockState();
    const StatPlotModel* model = StatPlotModel::of(calc);
    const StatPlotModel::Bounds b = model ? model->bounds(eqNum) : StatPlotModel::Bounds{};
    return {b.xMin, b.xMax, vertLocation + kHalfHeight, vertLocation - kHalfHeight};
}

Calculator::Rect PlotBox::boundsInRect(const QRectF&, const GraphTransform& t)
{
    const Calculator::Bounds b = statBounds(t);
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    return {b.xMin, kNaN, b.xMax - b.xMin, kNaN};
}

std::optional<std::string> PlotBox::label()
{
    const auto hold = calc.lockState();
    const auto s = statistics();
    const std::string x = s ? s->listXName.value_or(std::string()) : std::string();
    if (s && s->freqName)
        return std::string(title()) + "(" + x + "," + *s->freqName + ")";
    return std::string(title()) + "(" + x + ")";
}

std::string PlotBox::nameFor(double x, const VQStatistics& s) const
{
    if (x == s.minX)
        return "minX";
    if (x == s.Q1)
        return "Q1";
    if (x == s.medianX)
        return "Med";
    if (x == s.Q3)
        return "Q3";
    return "maxX";
}

std::optional<std::vector<std::string>> PlotBox::infoLines()
{
    const auto hold = calc.lockState();
    std::vector<std::string> lines;
    lines.reserve(3);
    if (calc.state().drawExpr)
        lines.push_back(label().value_or(std::string()));
    const auto s = statistics();
    if (calc.state().drawCoord && s) {
        const double x = calc.pTrackPoint.x;
        lines.push_back(nameFor(x, *s) + "=" + calc.formatReal(x));
    }
    return lines;
}

} // namespace orvenda
