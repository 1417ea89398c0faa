#pragma once

#include "core/GraphScale.h"
#include "graph/AxisLabels.h"
#include "graph/GraphGeometry.h"
#include "pretty/PrettyPrint.h"

#include <QImage>
#include <QRectF>
#include <QWidget>

#include <limits>
#include <string>
#include <vector>

class QPainter;

namespace orvenda {

class Calculator;
class GraphView;
class PlotObject;

// The transparent top layer of the graph view: numbered ticks along the axes, and while a
// trace is shown the trace point on every plot, the magnifier with the name of the feature
// the trace snapped to and the optional tangent, and the traced plot's information lines
// (plain, or pretty-printed equations in MathPrint); the box-zoom rectangle; the texts of
// Text(. It draws over the tiles and never takes a touch. A non-finite transform draws
// nothing at all. Main thread.
class GraphText : public QWidget {
    Q_OBJECT
public:
    // Laid over the view, covering it.
    explicit GraphText(GraphView& view);

    GraphView* graphView;
    // The box of a zoom being dragged out, drawn while showDragRect is set.
    QRectF dragRect;
    bool showDragRect = false;
    // A slider variable is dragged over the graph: no magnifier meanwhile.
    bool draggingVariable = false;
    // Where the screen's own controls stand over the graph: y labels keep clear of it.
    QRectF labelKeepOut;
    // Where a program's controls stand over the graph: the trace's lines stand below those
    // in their way.
    std::vector<QRectF> linesKeepOut;
    // The top of the bars the screen lays over the graph's bottom (the trace's variable,
    // a pause's): the axis labels stand above it. None by default.
    double labelFloor = std::numeric_limits<double>::infinity();

    // The whole overlay over rect (the view's bounds when shown).
    void drawRect(QPainter& painter, const QRectF& rect);
    // The magnifier at a view point, with the snapped feature's name and the tangent of
    // the slope (graph units) when dy/dx is on.
    void drawMagnifierAt(QPainter& painter, const QPointF& at, double slope);
    // An x label in π mode: the fraction of value/π followed by π ("1/2π").
    std::string trigFormat(double value) const;
    // The magnifier's name of a feature code; empty for none (0) and for 19.
    static std::string featureName(int featureLock);

    const GraphScale& axisGrid() const { return axisGrid_; }
    // The ticks and labels of the last drawing.
    const AxisLabels::Layout& labels() const { return labels_; }
    // Where the magnifier's feature name was last drawn (empty when none was).
    const QRectF& featureLabelRect() const { return featureRect_; }
    // Where the traced plot's lines (its equation, the coordinates) were last drawn, in the
    // view; empty when none were.
    const QRectF& infoLinesRect() const { return infoRect_; }
    // Where a feature name of that size goes beside the magnifier at `at`: its usual place
    // (right, raised by `lift`) unless an axis label (Helvetica 14) lies there, then the
    // first free one of below, left and left below, staying inside bounds.
    static QRectF placeFeatureLabel(QPointF at, double lift, QSizeF size, const AxisLabels::Layout& axisLabels,
        const QRectF& bounds);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawTrace(QPainter& painter, const GraphTransform& t);
    void drawInfoLines(QPainter& painter, PlotObject& plot);
    void drawTexts(QPainter& painter, const GraphTransform& t);

    Calculator& calc;
    PrettyPrint prettyPrint_;
    QImage lenseImage_, lenseImageLock_, lenseImageWhite_, lenseImageWhiteLock_;
    GraphScale axisGrid_;
    AxisLabels::Layout labels_;
    QRectF infoRect_;
    QRectF featureRect_;
};

} // namespace orvenda
