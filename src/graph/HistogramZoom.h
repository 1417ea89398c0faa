#pragma once

#include "graph/GraphGeometry.h"

namespace orvenda {

// What ZoomStat asks of a histogram plot beyond the plot interface.
class HistogramZoom {
public:
    virtual ~HistogramZoom() = default;

    // The automatic bin width for the plot's sample.
    virtual double tiBarWidth() = 0;
    // The extent of the bars from the left edge in bins of the width: {xMin, xMax, yMin, yMax}.
    virtual Calculator::Bounds statBounds(const GraphTransform& t, double leftEdge, double binWidth) = 0;
};

} // namespace orvenda
