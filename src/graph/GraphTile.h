#pragma once

#include "core/GraphScale.h"
#include "graph/GraphGeometry.h"
#include "graph/PlotObject.h"

#include <QImage>
#include <QPointF>
#include <QRectF>

#include <atomic>

class QPainter;

namespace orvenda {

class Calculator;
class VQGraphPtArray;
class GraphView;

// One square of the graph view's 3 × 3 ring. It renders its region of the plane once into
// a bitmap at the screen's scale (grid, axes, every plot, then the program's points) and is
// then only moved by the view until it is marked dirty again. Its region is its bounds, in
// the view coordinates of the last layout, drawn through the transform t of that layout.
class GraphTile {
public:
    static constexpr double kSide = 160;
    // Grid lines drawn along an axis, at most: far from the origin a step may be lost in
    // the magnitude of its values.
    static constexpr int kMaxLines = 512;

    GraphTile(Calculator& calc, double scale);

    // The layer: where its middle sits in the view, the region it shows, its bitmap.
    QPointF position;
    QRectF bounds() const { return bounds_; }
    // A new region is drawn afresh.
    void setBounds(const QRectF& bounds);
    QRectF frame() const;
    const QImage& contents() const { return contents_; }
    double rasterizationScale = 1;
    bool hidden = false;

    // Renders the tile when it is dirty and can be drawn: the transform is finite, the
    // view is not rebuilding its plots and a bitmap can be had; otherwise it stays dirty.
    void displayLayer();
    // Grid (lines at every half label step) and axes over rect, pixel-aligned, each line
    // reaching 2 points past the right and bottom edges so neighbouring tiles overlap.
    void drawAxii(QPainter& context, const QRectF& rect, int quality);
    // The same through any transform and steps: lines reach `overlap` points past the
    // right and bottom edges, grid lines `gridWidth` wide.
    static void drawGridAndAxes(QPainter& context, const QRectF& rect, const GraphTransform& t,
                                const GraphScale& axisGrid, const Calculator& calc, double overlap, double gridWidth);
    // Every plot over rect, the last selected one on top (other selected ones are left out).
    static void drawPlots(const PlotObject::PlotList& plots, QPainter& context, const QRectF& rect,
                          const GraphTransform& t, int quality);
    // Where a line at view coordinate c is drawn: the middle of the pixel it covers.
    static double alignedLine(double c);
    // The calculator's graph points; graphRect (graph coordinates) is where the tile lies.
    void drawPointsInContext(QPainter& context, const QRectF& graphRect);
    // The shown points of the array whose view point lies in `near`, through t.
    static void drawPoints(QPainter& context, const GraphTransform& t, const QRectF& near, const VQGraphPtArray& points);

    int index = 0;
    GraphScale axisGrid;
    std::atomic<bool> dirty{true};
    GraphView* graphView = nullptr;
    Calculator& calc;
    GraphTransform t;

private:
    QRectF bounds_;
    QImage contents_;
};

} // namespace orvenda
