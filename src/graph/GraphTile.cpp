#include "graph/GraphTile.h"

#include "core/Calculator.h"
#include "core/VQGraphPtArray.h"
#include "graph/GraphView.h"
#include "graph/PlotObject.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace orvenda {

namespace {

// More lines than any tile needs at a sane step; reached only when the step is absorbed
// by huge coordinates.
constexpr int kMaxLines = GraphTile::kMaxLines;

// A line at c drawn through the middle of the pixel it covers.
double aligned(double c)
{
    const double r = std::round(c);
    return r > c ? r - 0.5 : r + 0.5;
}

QColor colorOf(const VQColor& c)
{
    return QColor::fromRgbF(float(c.r()), float(c.g()), float(c.b()), 1.0f);
}

// The view positions of lines at graph values first − k·step (k = 0, 1, ...) mapped by
// scale and offset, while they lie before end; stepped by index, never by accumulation.
template <typename Line>
void eachLine(double first, double step, double scale, double offset, double end, Line line)
{
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(first))
        return;
    for (int k = 0; k < kMaxLines; ++k) {
        const double at = (first + k * step) * scale + offset;
        if (!(at < end))
            return;
        line(aligned(at));
    }
}

} // namespace

GraphTile::GraphTile(Calculator& c, double scale) : rasterizationScale(scale), calc(c)
{
    bounds_ = QRectF(0, 0, kSide * scale, kSide * scale);
    axisGrid.xScale = axisGrid.yScale = 0;
}

void GraphTile::setBounds(const QRectF& bounds)
{
    if (bounds == bounds_)
        return;
    bounds_ = bounds;
    dirty = true;
}

QRectF GraphTile::frame() const
{
    return QRectF(position.x() - bounds_.width() / 2, position.y() - bounds_.height() / 2, bounds_.width(),
                  bounds_.height());
}

void GraphTile::displayLayer()
{
    if (!GraphGeometry::transformIsFinite(t) || !graphView || graphView->updatingObjects)
        return;
    // The grid and axes switches, the colours and the plots' equations are the calculator's,
    // which a running program may change between its statements.
    const auto hold = calc.lockState();
    const bool draft = graphView->drawQuality != 0;
    const int quality = draft ? 4 : 1;
    const double s = draft ? 1 : graphView->devicePixelRatioF();
    const QRectF r = bounds_;
    QImage image(int(std::ceil(r.width() * s)), int(std::ceil(r.height() * s)), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return;
    image.setDevicePixelRatio(s);
    image.fill(Qt::transparent);
    {
        QPainter context(&image);
        context.setRenderHint(QPainter::Antialiasing);
        context.translate(-r.x(), -r.y());

        calc.adjustScale(t.a, t.d, axisGrid);
        drawAxii(context, r, quality);
        drawPlots(graphView->plotObjects(), context, r, t, quality);
        drawPointsInContext(context, QRectF((r.x() - t.tx) / t.a, (r.y() - t.ty) / t.d, r.width() / t.a,
                                            r.height() / std::fabs(t.d)));
    }
    contents_ = std::move(image);
    dirty = false;
}

void GraphTile::drawAxii(QPainter& context, const QRectF& rect, int)
{
    drawGridAndAxes(context, rect, t, axisGrid, calc, 2, 0.5);
}

void GraphTile::drawGridAndAxes(QPainter& context, const QRectF& rect, const GraphTransform& t, const GraphScale& axisGrid,
                                const Calculator& calc, double overlap, double gridWidth)
{
    const Calculator::Settings settings = calc.settings();
    if (!settings.drawGrid && !settings.drawAxes)
        return;
    const double x = rect.x(), y = rect.y();
    const double right = rect.right() + overlap, bottom = rect.bottom() + overlap;
    if (settings.drawGrid) {
        QPainterPath grid;
        const double dx = axisGrid.xStep, dy = axisGrid.yStep;
        // Half label steps from just outside the top-left corner.
        const double top = dy * (std::trunc(((y - t.ty) / t.d) / dy) + 1);
        const double left = dx * (std::trunc(((x - t.tx) / t.a) / dx) - 1);
        eachLine(-top, dy / 2, -t.d, t.ty, bottom, [&](double at) {
            grid.moveTo(x, at);
            grid.lineTo(right, at);
        });
        eachLine(left, dx / 2, t.a, t.tx, right, [&](double at) {
            grid.moveTo(at, y);
            grid.lineTo(at, bottom);
        });
        context.strokePath(grid, QPen(colorOf(settings.gridColor), gridWidth));
    }
    if (settings.drawAxes) {
        QPainterPath axes;
        const double yAxis = aligned(t.tx), xAxis = aligned(t.ty);
        if (yAxis > x && yAxis < right) {
            axes.moveTo(yAxis, y);
            axes.lineTo(yAxis, bottom);
        }
        if (xAxis > y && xAxis < bottom) {
            axes.moveTo(x, xAxis);
            axes.lineTo(right, xAxis);
        }
        context.strokePath(axes, QPen(colorOf(settings.axesColor), 1));
    }
}

void GraphTile::drawPlots(const PlotObject::PlotList& plots, QPainter& context, const QRectF& rect,
                          const GraphTransform& t, int quality)
{
    // The selected plot goes on top of all others.
    PlotObject* last = nullptr;
    for (const auto& plot : plots) {
        if (!plot)
            continue;
        if (plot->selected())
            last = plot.get();
        else
            plot->drawRect(rect, context, t, quality);
    }
    if (last)
        last->drawRect(rect, context, t, quality);
}

double GraphTile::alignedLine(double c)
{
    return aligned(c);
}

void GraphTile::drawPointsInContext(QPainter& context, const QRectF&)
{
    const auto points = calc.graphPts();
    if (!points || points->count() == 0)
        return;
    // Marks reach 4 points from their point (half the pen past the 6-point box).
    drawPoints(context, t, bounds_.adjusted(-4, -4, 4, 4), *points);
}

void GraphTile::drawPoints(QPainter& context, const GraphTransform& t, const QRectF& near, const VQGraphPtArray& points)
{
    if (points.count() == 0)
        return;
    context.save();
    QColor fill = Qt::black, stroke = Qt::black;
    context.setBrush(fill);
    context.setPen(QPen(stroke, 2));
    const VQGraphPtArray::Record* records = points.points();
    for (std::size_t i = 0; i < points.count(); ++i) {
        const VQGraphPtArray::Record& p = records[i];
        // An erased point keeps its record but is not drawn.
        if (!p.on)
            continue;
        const GraphGeometry::Point v = GraphGeometry::applyPlotTransform(t, p.x, p.y);
        if (!near.contains(v.x, v.y))
            continue;
        const QColor c(p.r, p.g, p.b);
        const bool stroked = p.mark == 2 || p.mark == 6 || p.mark == 3 || p.mark == 7;
        if (stroked && c != stroke) {
            stroke = c;
            context.setPen(QPen(stroke, 2));
        }
        if (!stroked && c != fill) {
            fill = c;
            context.setBrush(fill);
        }
        const QRectF box(v.x - 3, v.y - 3, 6, 6);
        switch (p.mark) {
        case 2: case 6:
            context.setBrush(Qt::NoBrush);
            context.drawRect(box);
            context.setBrush(fill);
            break;
        case 3: case 7:
            context.drawLine(QLineF(v.x - 3, v.y, v.x + 3, v.y));
            context.drawLine(QLineF(v.x, v.y - 3, v.x, v.y + 3));
            break;
        case 4:
            context.fillRect(box, fill);
            break;
        case 5:
            context.fillRect(QRectF(v.x - 1, v.y - 1, 2, 2), fill);
            break;
        default:
            context.save();
            context.setPen(Qt::NoPen);
            context.drawEllipse(box);
            context.restore();
            break;
        }
    }
    context.restore();
}

} // namespace orvenda
