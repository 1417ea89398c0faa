#include "stats/PlotScatter.h"

#include "core/Calculator.h"
#include "graph/GraphTile.h"
#include "numeric/VQStatistics.h"
#include "stats/StatPlotModel.h"

#include <QPainter>

#include <cmath>

namespace orvenda {

PlotScatter::PlotScatter(Calculator& calc) : PlotObject(calc)
{
    plotType = PlotObject::PlotScatter;
}

void PlotScatter::setFitModel(int model)
{
    if (model >= 0 && model != fitModel_ && stats) {
        const auto hold = calc.lockState();
        stats->regressionModel(model);
    }
    fitModel_ = model;
}

std::optional<PlotScatter::Pairs> PlotScatter::pairs() const
{
    if (!stats || !stats->listXName || !stats->listYName)
        return std::nullopt;
    const auto x = calc.state().lists.find(*stats->listXName), y = calc.state().lists.find(*stats->listYName);
    if (x == calc.state().lists.end() || y == calc.state().lists.end())
        return std::nullopt;
    if (x->second.type() != 0 || y->second.type() != 0 || x->second.count() != y->second.count())
        return std::nullopt;
    return Pairs{x->second, y->second};
}

double PlotScatter::element(const std::optional<std::string>& name, double t) const
{
    if (!name || !(t >= 0))
        return 0;
    const auto hold = calc.lockState();
    const auto it = calc.state().lists.find(*name);
    if (it == calc.state().lists.end() || !(t < it->second.count()))
        return 0;
    return it->second.realAtIndex(static_cast<int>(t));
}

double PlotScatter::XAtT(double t)
{
    return stats ? element(stats->listXName, t) : 0;
}

double PlotScatter::YAtT(double t)
{
    return stats ? element(stats->listYName, t) : 0;
}

void PlotScatter::drawResiduals(const Pairs& lists, const QRectF& rect, QPainter& context, const GraphTransform& t)
{
    if (fitModel_ < 0 || !stats || !stats->resid)
        return;
    const VQList& resid = *stats->resid;
    const int n = std::min(lists.x.count(), resid.count());
    segments_.clear();
    for (int i = 0; i < n; ++i) {
        const double x = GraphTile::alignedLine(lists.x.realAtIndex(i) * t.a + t.tx);
        const double y = lists.y.realAtIndex(i) * t.d + t.ty;
        const double fitted = y - resid.realAtIndex(i) * t.d;
        if (!(x >= rect.left() - 1 && x <= rect.right() + 1))
            continue;
        if (std::isfinite(y) && std::isfinite(fitted))
            segments_.emplace_back(x, y, x, fitted);
    }
    if (segments_.empty())
        return;
    context.save();
    context.setPen(QPen(colorAt(1), 1));
    context.drawLines(segments_.data(), static_cast<int>(segments_.size()));
    context.restore();
}

void PlotScatter::drawMarks(const Pairs& lists, const QRectF& rect, QPainter& context, const GraphTransform& t)
{
    const StatPlotModel* model = StatPlotModel::of(calc);
    marks_.begin(model ? model->plotMark(eqNum) : 0, rect);
    const int n = lists.x.count();
    for (int i = 0; i < n; ++i) {
        const GraphGeometry::Point v = GraphGeometry::applyPlotTransform(t, lists.x.realAtIndex(i), lists.y.realAtIndex(i));
        marks_.add(v.x, v.y);
    }
    marks_.paint(context, colorAt(1));
}

void PlotScatter::drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int)
{
    if (!GraphGeometry::transformIsFinite(t))
        return;
    const auto hold = calc.lockState();
    if (const auto lists = pairs())
        drawPairs(*lists, rect, context, t);
}

void PlotScatter::drawPairs(const Pairs& lists, const QRectF& rect, QPainter& context, const GraphTransform& t)
{
    drawResiduals(lists, rect, context, t);
    drawMarks(lists, rect, context, t);
}

bool PlotScatter::hitPoint(PlotPoint& pt, const GraphTransform& t, double err)
{
    const auto hold = calc.lockState();
    const auto lists = pairs();
    if (!lists)
        return false;
    double best = 1e99;
    int nearest = -1;
    for (int i = 0; i < lists->x.count(); ++i) {
        const double distance = std::hypot((lists->x.realAtIndex(i) - pt.x) * t.a, (lists->y.realAtIndex(i) - pt.y) * t.d);
        if (distance < best) {
            best = distance;
            nearest = i;
        }
    }
    if (nearest < 0)
        return false;
    pt = {lists->x.realAtIndex(nearest), lists->y.realAtIndex(nearest), double(nearest)};
    return best < err;
}

Calculator::Bounds PlotScatter::statBounds(const GraphTransform&)
{
    const auto hold = calc.lockState();
    if (const StatPlotModel* model = StatPlotModel::of(calc)) {
        const StatPlotModel::Bounds b = model->bounds(eqNum);
        return {b.xMin, b.xMax, b.yMin, b.yMax};
    }
    if (!stats)
        return {0, 0, 0, 0};
    return {stats->minX, stats->maxX, stats->minY, stats->maxY};
}

Calculator::Rect PlotScatter::boundsInRect(const QRectF&, const GraphTransform& t)
{
    const Calculator::Bounds b = statBounds(t);
    return {b.xMin, b.yMin, b.xMax - b.xMin, b.yMax - b.yMin};
}

std::string PlotScatter::listName(bool y) const
{
    if (!stats)
        return {};
    const auto& name = y ? stats->listYName : stats->listXName;
    return name.value_or(std::string());
}

std::optional<std::string> PlotScatter::label()
{
    const auto hold = calc.lockState();
    // Plot1 is the first plot.
    return "P" + std::to_string(eqNum + 1) + ":" + listName(false) + "," + listName(true);
}

std::optional<std::vector<std::string>> PlotScatter::infoLines()
{
    const auto hold = calc.lockState();
    std::vector<std::string> lines;
    lines.reserve(3);
    if (calc.state().drawExpr)
        lines.push_back(label().value_or(std::string()));
    if (!calc.state().drawCoord)
        return lines;
    addCoordinateLines(lines, "x:", "y:");
    if (fitModel_ < 0 || !stats)
        return lines;
    const double t = calc.pTrackPoint.t;
    const double resid = stats->resid && t >= 0 && t < stats->resid->count() ? stats->resid->realAtIndex(int(t)) : 0;
    lines.push_back("resid:" + calc.formatReal(resid));
    if (fitModel_ >= VQStatistics::QuadReg && fitModel_ <= VQStatistics::SinReg) {
        lines.push_back("R\xC2\xB2:" + calc.formatReal(stats->R2));
    } else if (fitModel_ == VQStatistics::LinRegAXB || (fitModel_ >= VQStatistics::ExpReg && fitModel_ <= VQStatistics::PwrReg)) {
        lines.push_back("r\xC2\xB2:" + calc.formatReal(stats->r2));
        lines.push_back("r:" + calc.formatReal(stats->r));
    }
    return lines;
}

} // namespace orvenda
