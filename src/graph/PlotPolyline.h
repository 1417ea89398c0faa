#pragma once

#include "graph/PlotObject.h"

#include <memory>
#include <vector>

namespace orvenda {

class DrawPolyline;

// The polyline of a Polyline( drawing command: its points joined in order, closed when
// the last lands on the first, filled at an opacity and outlined at a width. The trace
// runs along its segments; t is the list index of the x that ends the traced segment.
class PlotPolyline : public PlotObject {
public:
    explicit PlotPolyline(Calculator& calc);

    // The plot of a drawing record: its points, fill, width, style and selection, drawn in
    // colour.
    static std::shared_ptr<PlotPolyline> forRecord(Calculator& calc, const std::shared_ptr<DrawPolyline>& record,
                                                   const VQColor& colour);

    // x0, y0, x1, y1, … in graph units; a trailing unpaired number is ignored.
    std::vector<double> points;
    // Fill opacity 0..1; 0 or less: no fill. lineWidth 0 or less: no outline.
    double fillPercent = 0;

    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;
    // The segment nearest the touch in view points; the touch goes to the nearest point of
    // that segment. Hit when the segment meets the box err points across about the touch.
    bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err) override;
    // The slope of the segment that ends at the point whose x has list index t; 0 where
    // there is none.
    double slopeAtT(double t) override;
    std::optional<std::vector<std::string>> infoLines() override;
    std::optional<std::string> label() override { return "Polyline"; }
};

} // namespace orvenda
