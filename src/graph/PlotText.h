#pragma once

#include "graph/PlotObject.h"

#include <string>

namespace orvenda {

// A block of text on the graph, at a graph point or at a text-cell position. Lines are
// separated by the two characters backslash and n. alignment: 0 or less a text cell (x
// the pixel row, y the pixel column of a grid of 4 × 6 character cells), top-left; else
// where the anchor sits on the block: 1 top-left, 2 top-centre, 3 top-right, 4
// bottom-right, 5 bottom-centre, 6 bottom-left, 7 middle-left, 8 middle-centre, 9
// middle-right.
class PlotText : public PlotObject {
public:
    explicit PlotText(Calculator& calc);

    double x = 0;
    double y = 0;
    int alignment = 0;
    // The colour number that came with the text; it is drawn in the plot's colour.
    int tiTextColor = 0;
    std::string text;

    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;
};

} // namespace orvenda
