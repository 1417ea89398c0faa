#include "graph/FixedGraphView.h"

#include "core/Calculator.h"
#include "graph/AxisLabels.h"
#include "graph/GraphTile.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda {

FixedGraphView::FixedGraphView(Calculator& c, QWidget* parent) : QWidget(parent), calc(c)
{
    plotObjects.reserve(1);
}

void FixedGraphView::zoom(double x1, double x2, double y1, double y2)
{
    const double xMin = std::min(x1, x2), xMax = std::max(x1, x2);
    const double yMin = std::min(y1, y2), yMax = std::max(y1, y2);
    const double a = width() / (xMax - xMin), d = -height() / (yMax - yMin);
    t_ = {a, 0, 0, d, -xMin * a, -yMax * d};
    setScaleSx(a, d);
    calc.adjustScale(t_.a, t_.d, axisGrid_);
    update();
}

void FixedGraphView::setScaleSx(double sx, double sy)
{
    // y grows upwards and x rightwards whatever the signs given: a flipped axis would send
    // the tick walks away from the edges they stop at.
    const auto clamp = [](double s) { return std::clamp(std::fabs(s), 1e-9, 1e9); };
    t_.a = clamp(sx);
    t_.d = -clamp(sy);
}

void FixedGraphView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawRect(painter, QRectF(rect()));
}

void FixedGraphView::drawRect(QPainter& painter, const QRectF& rect)
{
    if (!GraphGeometry::transformIsFinite(t_))
        return;
    // The switches, colours and plots' equations may change under a running program.
    const auto hold = calc.lockState();
    painter.setRenderHint(QPainter::Antialiasing);
    calc.adjustScale(t_.a, t_.d, axisGrid_);
    drawAxii(painter, rect);
    GraphTile::drawPlots(plotObjects, painter, rect, t_, 1);
    drawLabels(painter, rect);
}

void FixedGraphView::drawAxii(QPainter& painter, const QRectF& rect) { drawAxii(painter, rect, t_, axisGrid_, calc); }

void FixedGraphView::drawLabels(QPainter& painter, const QRectF& rect)
{
    drawLabels(painter, rect, t_, axisGrid_, calc, labels_, labelFloor_);
}

void FixedGraphView::setLabelFloor(double y)
{
    if (y != labelFloor_) {
        labelFloor_ = y;
        update();
    }
}

void FixedGraphView::drawAxii(QPainter& painter, const QRectF& rect, const GraphTransform& t, const GraphScale& grid,
                              const Calculator& calc)
{
    const VQColor bg = calc.locked()->backgroundColor;
    painter.fillRect(rect, QColor::fromRgbF(float(bg.r()), float(bg.g()), float(bg.b()), 1.0f));
    GraphTile::drawGridAndAxes(painter, rect, t, grid, calc, 0, 0.25);
}

void FixedGraphView::drawLabels(QPainter& painter, const QRectF& rect, const GraphTransform& t, const GraphScale& grid,
                                const Calculator& calc, AxisLabels::Layout& out, double labelFloor)
{
    out.ticks.clear();
    out.labels.clear();
    if (!calc.locked()->drawLabel)
        return;
    const VQColor axes = calc.locked()->axesColor;
    AxisLabels::Placement place = labelPlacement(rect, t);
    place.labelFloor = labelFloor;
    AxisLabels::draw(painter, place, grid, t,
                     QColor::fromRgbF(float(axes.r()), float(axes.g()), float(axes.b()), 1.0f), out);
}

AxisLabels::Placement FixedGraphView::labelPlacement(const QRectF& rect, const GraphTransform& t)
{
    AxisLabels::Placement place;
    place.area = rect;
    place.axisX = std::clamp(GraphTile::alignedLine(t.tx), rect.left(), rect.right());
    place.axisY = std::clamp(GraphTile::alignedLine(t.ty), rect.top(), rect.bottom());
    place.axisRight = std::clamp(t.tx, rect.left(), rect.right()) > rect.center().x();
    place.snap = GraphTile::alignedLine;
    return place;
}

} // namespace orvenda
