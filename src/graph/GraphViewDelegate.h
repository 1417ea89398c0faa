#pragma once

#include "graph/GraphGeometry.h"

namespace orvenda {

class PlotObject;

// What the graph view tells the graph screen.
class GraphViewDelegate {
public:
    virtual ~GraphViewDelegate() = default;

    // The window variables were written.
    virtual void windowChanged() = 0;
    // A tap or an equation picked a plot (null for none) and locked the trace at the point.
    virtual void selectPlot(PlotObject* plot, const PlotPoint& at) = 0;
    // The trace moved along the plot while dragged.
    virtual void trackObj(PlotObject* plot, const PlotPoint& at) = 0;
};

} // namespace orvenda
