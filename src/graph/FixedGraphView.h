#pragma once

#include "core/GraphScale.h"
#include "graph/AxisLabels.h"
#include "graph/GraphGeometry.h"
#include "graph/PlotObject.h"

#include <QWidget>

#include <limits>

class QPainter;

namespace orvenda {

class Calculator;

// A graph of one fixed window drawn in a single pass, without tiles or panning: the
// background, the grid and axes as the tiles draw them (grid lines 0.25 points wide,
// ending at the edges), the plot objects (the last selected one on top) and numbered ticks
// along the axes. For pages and worksheets that show a graph. Main thread.
class FixedGraphView : public QWidget {
    Q_OBJECT
public:
    explicit FixedGraphView(Calculator& calc, QWidget* parent = nullptr);

    const GraphTransform& t() const { return t_; }
    PlotObject::PlotList plotObjects;

    // Shows the window x1..x2 by y1..y2 (either order) over the view's size.
    void zoom(double x1, double x2, double y1, double y2);
    // Points per unit kept within 1e-9..1e9 in size, x positive and y negative; the offsets
    // stay.
    void setScaleSx(double sx, double sy);
    // The whole graph over rect.
    void drawRect(QPainter& painter, const QRectF& rect);
    void drawAxii(QPainter& painter, const QRectF& rect);
    void drawLabels(QPainter& painter, const QRectF& rect);
    // The same for any transform and steps, as other graphs of pages draw them.
    static void drawAxii(QPainter& painter, const QRectF& rect, const GraphTransform& t, const GraphScale& grid,
                         const Calculator& calc);
    static void drawLabels(QPainter& painter, const QRectF& rect, const GraphTransform& t, const GraphScale& grid,
                           const Calculator& calc, AxisLabels::Layout& out,
                           double labelFloor = std::numeric_limits<double>::infinity());
    // Where drawLabels puts the numbers over rect, for plots that keep their own names
    // clear of them.
    static AxisLabels::Placement labelPlacement(const QRectF& rect, const GraphTransform& t);

    // The screen's controls lie along the graph's bottom from this y down: the axis
    // numbers stand above them (none by default).
    void setLabelFloor(double y);

    const GraphScale& axisGrid() const { return axisGrid_; }
    // The ticks and labels of the last drawing.
    const AxisLabels::Layout& labels() const { return labels_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Calculator& calc;
    GraphTransform t_;
    GraphScale axisGrid_;
    AxisLabels::Layout labels_;
    double labelFloor_ = std::numeric_limits<double>::infinity();
};

} // namespace orvenda
