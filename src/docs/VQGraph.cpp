#include "docs/VQGraph.h"

#include "core/Calculator.h"
#include "drawing/DrawString.h"
#include "drawing/GraphicsContext.h"
#include "drawing/VImageDraw.h"
#include "graph/DrawingPlots.h"
#include "graph/FixedGraphView.h"
#include "graph/GraphText.h"
#include "graph/GraphTile.h"

#include <QPainter>

#include <algorithm>
#include <numbers>

namespace orvenda {

namespace {

constexpr double kMinScale = 1e-9;
constexpr double kMaxScale = 1e9;

double clampScale(double s)
{
    const double m = std::fabs(s);
    if (std::isnan(s))
        return s;
    if (m < kMinScale)
        return kMinScale;
    if (m > kMaxScale)
        return kMaxScale;
    return m;
}

} // namespace

VQGraph::VQGraph(Calculator& calc, const QRectF& frame) : calc_(calc), frame_(frame)
{
    plotObjects_.reserve(4);
    plotFunctions_.reserve(4);
}

void VQGraph::reset()
{
    selectX_ = std::numeric_limits<double>::quiet_NaN();
    magnifierLock_ = 0;
    plotObjects_.clear();
    plotFunctions_.clear();
}

void VQGraph::zoom(double x1, double x2, double y1, double y2)
{
    const double xMin = std::min(x1, x2), xMax = std::max(x1, x2);
    const double yMin = std::min(y1, y2), yMax = std::max(y1, y2);
    const double a = frame_.width() / (xMax - xMin);
    const double d = -frame_.height() / (yMax - yMin);
    t_ = {a, 0, 0, d, frame_.x() - xMin * a, frame_.y() - yMax * d};
    setScaleSx(a, d);
    calc_.adjustScale(t_.a, t_.d, axisGrid_);
}

void VQGraph::setScaleSx(double sx, double sy)
{
    t_.a = clampScale(sx);
    t_.d = -clampScale(sy);
}

QString VQGraph::featureLabel(int lock)
{
    return QString::fromStdString(GraphText::featureName(lock));
}

void VQGraph::drawRect(GraphicsContext& context, const QRectF& rect)
{
    lastMagnifier_ = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
    if (!GraphGeometry::transformIsFinite(t_))
        return;
    // The switches, colours, drawing list and the plots' equations may change under a
    // running program.
    const auto hold = calc_.lockState();
    QPainter& painter = context.painter();
    context.saveGState();
    context.clipToRect(rect);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen = painter.pen();
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    calc_.adjustScale(t_.a, t_.d, axisGrid_);
    drawAxii(context, rect);
    drawPlots(context, rect, plotFunctions_);
    plotObjects_.clear();
    DrawingPlots::addPlots(calc_, plotObjects_, true);
    drawPlots(context, rect, plotObjects_);
    drawPointsInContext(context, rect);
    drawLabels(context, rect);
    context.restoreGState();
}

void VQGraph::drawPlots(GraphicsContext& context, const QRectF& rect, const PlotObject::PlotList& plots)
{
    QPainter& painter = context.painter();
    const bool traced = std::isfinite(selectX_);
    const QPointF noPoint(std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN());
    const auto tracePoint = [&](PlotObject& plot) {
        const double y = plot.YAtT(selectX_);
        return std::isfinite(y) ? QPointF(t_.a * selectX_ + t_.tx, t_.d * y + t_.ty) : noPoint;
    };
    PlotObject* selected = nullptr;
    for (const auto& plot : plots) {
        if (!plot)
            continue;
        if (plot->selected())
            selected = plot.get();
        else
            plot->drawRect(rect, painter, t_, 1);
        if (traced) {
            const QPointF at = tracePoint(*plot);
            if (GraphGeometry::pointIsFinite(at.x(), at.y()))
                plot->drawPtAt(at, painter);
        }
    }
    if (!selected)
        return;
    selected->drawRect(rect, painter, t_, 1);
    if (traced) {
        const double y = selected->YAtT(selectX_);
        const double slope = selected->plotType == PlotObject::PlotImplicit
            ? selected->slopeAtPoint({selectX_, y, selectX_})
            : selected->slopeAtT(selectX_);
        drawMagnifierAt(context, {selectX_, y, selectX_}, slope);
    }
    // The plot's name only: the page shows no coordinates.
    if (const auto label = selected->label()) {
        const TextFont font{"Helvetica", 9};
        const QColor ink = QColor::fromRgbF(float(selected->color.r()), float(selected->color.g()),
                                            float(selected->color.b()), 1.0f);
        DrawString::VQdrawAtPoint(context, QString::fromStdString(*label), QPointF(rect.x() + 2, rect.y()), font, ink);
    }
}

void VQGraph::drawAxii(GraphicsContext& context, const QRectF& rect)
{
    FixedGraphView::drawAxii(context.painter(), rect, t_, axisGrid_, calc_);
}

void VQGraph::drawLabels(GraphicsContext& context, const QRectF& rect)
{
    FixedGraphView::drawLabels(context.painter(), rect, t_, axisGrid_, calc_, labels_);
}

void VQGraph::drawPointsInContext(GraphicsContext& context, const QRectF& rect)
{
    const auto points = calc_.graphPts();
    if (points)
        GraphTile::drawPoints(context.painter(), t_, rect.adjusted(-4, -4, 4, 4), *points);
}

void VQGraph::drawMagnifierAt(GraphicsContext& context, const PlotPoint& at, double slope)
{
    if (magnifierLock_ == kNoMagnifier || !GraphGeometry::pointIsFinite(at.x, at.y))
        return;
    const double X = t_.a * at.x + t_.tx, Y = t_.d * at.y + t_.ty;
    double s = std::isfinite(slope) ? slope : 0;
    if (magnifierLock_ == PlotObject::FeatureMaximum)
        s = -1e-10;
    else if (magnifierLock_ == PlotObject::FeatureMinimum)
        s = 0;
    double theta = std::atan(s * t_.d / t_.a);
    if (magnifierLock_ == PlotObject::FeatureMaximum)
        theta = -1e-10;
    else if (magnifierLock_ == PlotObject::FeatureMinimum || !std::isfinite(theta))
        theta = 0;
    if (magnifierLock_ != 0) {
        const double phi = s < 0 ? theta - std::numbers::pi / 2 : theta;
        DrawString::VQdrawAtPoint(context, featureLabel(magnifierLock_), QPointF(X + 10, Y - 16 * std::fabs(std::sin(phi))),
                                  TextFont{"Helvetica-Bold", 14}, Qt::red);
    }
    const bool dark = calc_.locked()->backgroundColor.v() < 0.5;
    const bool locked = magnifierLock_ != 0;
    const char* image = dark ? (locked ? "magnifierLock" : "magnifier") : (locked ? "magnifierWhiteLock" : "magnifierWhite");
    VImageDraw::vImageDraw().drawImage(context, image, QPointF(X - 52, Y - 52));
    lastMagnifier_ = QPointF(X, Y);

    QPainter& painter = context.painter();
    painter.save();
    painter.setPen(locked ? QPen(Qt::red, 3, Qt::SolidLine, Qt::RoundCap) : QPen(QColor(255, 0, 255), 1));
    const double c = std::cos(theta), sn = std::sin(theta);
    for (const QPointF u : {QPointF(c, sn), QPointF(-c, -sn), QPointF(sn, -c), QPointF(-sn, c)})
        painter.drawLine(QPointF(X, Y) + u * 8, QPointF(X, Y) + u * 50);
    if (calc_.locked()->drawDyDx) {
        // Through the traced point of this graph: the graph screen's trace lies elsewhere.
        const PlotPoint& p = at;
        const auto tangentAt = [&](double vx) {
            const double x = (vx - t_.tx) / t_.a;
            return QPointF(vx, t_.d * (p.y + s * (x - p.x)) + t_.ty);
        };
        const QPointF from = tangentAt(frame_.left() - 3), to = tangentAt(frame_.right() + 3);
        if (GraphGeometry::pointIsFinite(from.y(), to.y())) {
            painter.setPen(QPen(QColor(255, 0, 255), 1));
            painter.drawLine(from, to);
        }
    }
    painter.restore();
}

} // namespace orvenda
