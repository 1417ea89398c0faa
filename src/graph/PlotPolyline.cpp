#include "graph/PlotPolyline.h"

#include "core/Calculator.h"
#include "core/DrawObject.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

PlotPolyline::PlotPolyline(Calculator& c) : PlotObject(c)
{
    plotType = PlotObject::PlotPolyline;
}

std::shared_ptr<PlotPolyline> PlotPolyline::forRecord(Calculator& calc, const std::shared_ptr<DrawPolyline>& record,
                                                      const VQColor& colour)
{
    auto plot = std::make_shared<PlotPolyline>(calc);
    plot->drawFunc = record;
    plot->color = colour;
    plot->points = record->points;
    plot->fillPercent = record->fillPercent;
    plot->lineWidth = record->lineWidth;
    plot->style = record->style;
    plot->setSelected(record->selected);
    return plot;
}

void PlotPolyline::drawRect(const QRectF&, QPainter& context, const GraphTransform& t, int)
{
    if (!GraphGeometry::transformIsFinite(t) || points.size() < 2)
        return;
    const std::size_t pairs = points.size() / 2;
    const auto view = [&](std::size_t k) { return QPointF(t.a * points[2 * k] + t.tx, t.d * points[2 * k + 1] + t.ty); };
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.moveTo(view(0));
    for (std::size_t k = 1; k < pairs; ++k)
        path.lineTo(view(k));
    if (pairs > 1 && view(pairs - 1) == view(0))
        path.closeSubpath();

    context.save();
    context.setRenderHint(QPainter::Antialiasing);
    if (selected())
        context.strokePath(path, QPen(colorAt(0.3), lineWidth + 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (fillPercent > 0)
        context.fillPath(path, colorAt(std::min(fillPercent, 1.0)));
    if (lineWidth > 0)
        context.strokePath(path, QPen(colorAt(1), lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    context.restore();
}

bool PlotPolyline::hitPoint(PlotPoint& pt, const GraphTransform& t, double err)
{
    if (points.size() < 2)
        return false;
    const std::size_t pairs = points.size() / 2;
    const double px = pt.x, py = pt.y;
    // Distances are measured on the screen, where the touch tolerance is, so a window
    // stretched in one direction does not favour segments along the other.
    struct Nearest {
        double distance = std::numeric_limits<double>::infinity();
        std::size_t end = 0;
        double x = 0, y = 0;
    } nearest;
    for (std::size_t k = pairs > 1 ? 1 : 0; k < pairs; ++k) {
        const std::size_t from = pairs > 1 ? k - 1 : 0;
        const double x1 = points[2 * from], y1 = points[2 * from + 1], x2 = points[2 * k], y2 = points[2 * k + 1];
        const double ex = t.a * (x2 - x1), ey = t.d * (y2 - y1);
        const double length2 = ex * ex + ey * ey;
        double u = length2 > 0 ? (t.a * (px - x1) * ex + t.d * (py - y1) * ey) / length2 : 0;
        u = std::clamp(u, 0.0, 1.0);
        const double fx = x1 + u * (x2 - x1), fy = y1 + u * (y2 - y1);
        const double distance = std::hypot(t.a * (px - fx), t.d * (py - fy));
        if (distance < nearest.distance)
            nearest = {distance, k, fx, fy};
    }
    if (!(nearest.distance < std::numeric_limits<double>::infinity()))
        return false;
    const std::size_t from = pairs > 1 ? nearest.end - 1 : 0;
    const double w = err / t.a, h = std::fabs(err / t.d);
    const bool hit = GraphGeometry::segmentMeetsRect(px - w / 2, py - h / 2, w, h, points[2 * from],
                                                     points[2 * from + 1], points[2 * nearest.end],
                                                     points[2 * nearest.end + 1]);
    pt = {nearest.x, nearest.y, pairs > 1 ? double(2 * nearest.end) : 1.0};
    return hit;
}

double PlotPolyline::slopeAtT(double t)
{
    if (!std::isfinite(t))
        return 0;
    const auto i = static_cast<long long>(t);
    if (i < 2 || i > static_cast<long long>(points.size()) - 2)
        return 0;
    const auto k = static_cast<std::size_t>(i);
    return (points[k - 1] - points[k + 1]) / (points[k - 2] - points[k]);
}

std::optional<std::vector<std::string>> PlotPolyline::infoLines()
{
    const auto hold = calc.lockState();
    std::vector<std::string> lines;
    if (calc.state().drawExpr)
        lines.push_back(label().value_or(""));
    if (calc.state().drawCoord)
        addCoordinateLines(lines);
    if (calc.state().drawDyDx)
        lines.push_back("dy/dx:" + calc.formatReal(slopeAtT(calc.pTrackPoint.t)));
    return lines;
}

} // namespace orvenda
