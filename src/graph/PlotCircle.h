#pragma once

#include "core/DrawObject.h"
#include "graph/PlotObject.h"

namespace orvenda {

// The circle of Circle(: outline, optional translucent fill, and a halo with a centre mark
// when selected. Traced by angle t (radians from the centre), snapping to the crossings of
// the x-axis, the top and bottom, and intersections with other plots.
class PlotCircle : public PlotObject {
public:
    explicit PlotCircle(Calculator& calc);

    DrawPoint center;
    double radius = 0;
    // Fill opacity 0..1 (0 no fill).
    double fillPercent = 0;

    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;
    bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err) override;
    // The upper half; Y2AtX the lower; with a near y, the half nearer to it.
    double YAtX(double x) override;
    double YAtX(double x, double near) override;
    double Y2AtX(double x);
    double YAtT(double t) override;
    double XAtT(double t) override;
    double slopeAtT(double t) override;
    PlotPoint PtAtT(double t, double range, const PlotList& other) override;
    std::optional<std::vector<std::string>> infoLines() override;
    std::optional<std::string> label() override;

    // The angle of the x-axis crossing within range of the point at t (featureLock 1), else
    // the top or bottom when t is within range of ±π/2 (4, 3).
    double findZero(double t, double range);
    // The angle of an intersection with another plot near t (featureLock 2), else t.
    double findIntersection(double t, double range, const PlotList& other);

private:
    double halfChord(double x) const;
};

} // namespace orvenda
