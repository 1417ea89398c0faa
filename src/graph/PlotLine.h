#pragma once

#include "core/DrawObject.h"
#include "graph/PlotObject.h"

namespace orvenda {

// The segment of Line( and the full-width or full-height line of Horizontal and Vertical
// (p1 = p2 = (+∞, y), resp. (x, +∞)). Its parameter is x. style: arrow heads, 0 none, 1 at
// p1, 2 at p2, 3 at both.
class PlotLine : public PlotObject {
public:
    explicit PlotLine(Calculator& calc);

    DrawPoint p1;
    DrawPoint p2;

    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;
    bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err) override;
    using PlotObject::YAtX;
    // NaN outside the closed x-interval of the ends and for a vertical line.
    double YAtX(double x) override;
    double YAtT(double t) override { return YAtX(t); }
    double XAtT(double t) override { return t; }
    double slopeAtT(double t) override;
    // Snaps to the x-axis crossing, else an intersection, else an end point in range.
    PlotPoint PtAtT(double t, double range, const PlotList& other) override;
    std::optional<std::vector<std::string>> infoLines() override;
    std::optional<std::string> label() override;

    // The x-axis crossing x0 (featureLock 1 when within range of t and on the segment).
    double findZero(double t, double range);
    double findIntersection(double t, double range, const PlotList& other);

    // The intersection search that lines, sampled functions and distributions share, each
    // through its own YAtT/YAtX: the y-axis crossing within [t − range, t + range], a
    // vertical line there, or a crossing with another plot found by bisection (each
    // featureLock 2); else t. A line gives up when any of its three probes is
    // NaN, the others (anyNaNGivesUp false) only when all three are.
    //
    // The bisection ends after `probes` probes, at once where the plots are within 1e-10 of
    // each other, or when the bracket is `bracket` wide, which counts as a meeting unless
    // bracketMustMeet: the plots must then be within 1e-6 of each other, so a function that
    // jumps across the other plot meets nothing there.
    struct Bisection {
        int probes = 40;
        double bracket = 1e-10;
        bool bracketMustMeet = false;
    };
    static double searchIntersection(PlotObject& self, double t, double range, const PlotList& other,
                                     bool anyNaNGivesUp, const Bisection& limits);
    static double searchIntersection(PlotObject& self, double t, double range, const PlotList& other,
                                     bool anyNaNGivesUp)
    {
        return searchIntersection(self, t, range, other, anyNaNGivesUp, Bisection());
    }

private:
    bool vertical() const { return p1.x == p2.x; }
};

} // namespace orvenda
