#pragma once

#include "core/Calculator.h"

namespace orvenda {

// Graph coordinates to view points: x' = a·x + b·y + tx, y' = c·x + d·y + ty. The graph
// keeps b = c = 0 and d < 0 (y grows upwards).
using GraphTransform = Calculator::AffineTransform;
// A point of a plot in graph coordinates and the parameter it lies at (x for functions).
using PlotPoint = Calculator::TracePoint;

// The plain geometry the graph view and the plot objects share.
class GraphGeometry {
public:
    struct Point {
        double x = 0, y = 0;
    };

    static void graphNoOp() {}
    static bool pointIsFinite(double x, double y);
    static bool transformIsFinite(const GraphTransform& t);
    static Point applyPlotTransform(const GraphTransform& t, double x, double y);
    // Whether the segment (x1, y1)–(x2, y2) meets the rectangle (edges inside), by
    // Cohen–Sutherland clipping. A segment with a NaN coordinate meets nothing.
    static bool segmentMeetsRect(double x0, double y0, double w, double h, double x1, double y1, double x2, double y2);
    // Where the line through the first two points crosses the line through the last two;
    // NaN, NaN for parallel lines.
    static Point lineIntersection(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4);
    // The foot of the perpendicular from (px, py) to the line through the two points.
    static Point perpendicularFoot(double px, double py, double x1, double y1, double x2, double y2);
};

} // namespace orvenda
