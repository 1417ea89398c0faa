#pragma once

#include "core/GraphScale.h"
#include "graph/AxisLabels.h"
#include "graph/GraphGeometry.h"
#include "graph/PlotObject.h"

#include <QRectF>
#include <QString>

#include <cmath>
#include <limits>

namespace orvenda {

class Calculator;
class GraphicsContext;

// A small graph drawn into a page: background, grid, axes and numbered ticks, the plot
// objects the caller gives, the calculator's drawing list and points, and a magnifier at
// a traced x on the selected plot with the name of a feature ("min", "μ+2σ"). It reads the
// calculator's graph format, drawing list and points and draws with the graph engine's
// plot objects. Not a view: the caller sets the frame and the window, fills
// plotFunctions() and asks it to draw. Main thread.
class VQGraph {
public:
    // Features shown by the magnifier: 1..18 a label, this one no magnifier at all.
    static constexpr int kNoMagnifier = 19;

    explicit VQGraph(Calculator& calc, const QRectF& frame = {});

    // No trace, no feature, no plots.
    void reset();
    // The window x1..x2 by y1..y2, either order, over the frame.
    void zoom(double x1, double x2, double y1, double y2);
    // Points per unit a (x) and d (y), each held to 1e-9..1e9 in size, d negative.
    void setScaleSx(double sx, double sy);
    // The traced x in graph units; NaN for none.
    void selectX(double x) { selectX_ = x; }
    double selectedX() const { return selectX_; }

    const QRectF& frame() const { return frame_; }
    void setFrame(const QRectF& frame) { frame_ = frame; }
    const GraphTransform& t() const { return t_; }
    int magnifierLock() const { return magnifierLock_; }
    void setMagnifierLock(int lock) { magnifierLock_ = lock; }
    PlotObject::PlotList& plotFunctions() { return plotFunctions_; }
    // The plots of the drawing list at the last drawing.
    const PlotObject::PlotList& plotObjects() const { return plotObjects_; }
    const GraphScale& axisGrid() const { return axisGrid_; }
    const AxisLabels::Layout& labels() const { return labels_; }

    // Everything, clipped to the rectangle; nothing when the transform is not finite.
    void drawRect(GraphicsContext& context, const QRectF& rect);
    void drawAxii(GraphicsContext& context, const QRectF& rect);
    void drawLabels(GraphicsContext& context, const QRectF& rect);
    void drawPointsInContext(GraphicsContext& context, const QRectF& rect);
    // The magnifier at a point {x, y, t} in graph units turned by the slope.
    void drawMagnifierAt(GraphicsContext& context, const PlotPoint& at, double slope);
    // The label of a feature; empty for none.
    static QString featureLabel(int lock);

    // Where the last magnifier was centred (view points) and its label; NaN when none was.
    QPointF lastMagnifier() const { return lastMagnifier_; }

private:
    void drawPlots(GraphicsContext& context, const QRectF& rect, const PlotObject::PlotList& plots);

    Calculator& calc_;
    GraphScale axisGrid_;
    GraphTransform t_{1, 0, 0, -1, 0, 0};
    PlotObject::PlotList plotObjects_;
    PlotObject::PlotList plotFunctions_;
    double selectX_ = std::numeric_limits<double>::quiet_NaN();
    int magnifierLock_ = 0;
    QRectF frame_;
    AxisLabels::Layout labels_;
    QPointF lastMagnifier_{std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
};

} // namespace orvenda
