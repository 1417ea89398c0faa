#pragma once

#include "graph/PlotObject.h"

#include <memory>

namespace orvenda {

class DrawObject;

// What the statistics side adds to the graph view's plots: the stat plots, the plots of
// the drawing records the graph engine does not draw itself (distribution shadings) and
// the regression curve chosen for a stat plot. The calculator's stat plot manager offers
// it; the graph view finds it there. Called on the main thread holding the state lock.
class StatPlotSource {
public:
    virtual ~StatPlotSource() = default;

    // Appends one plot object per visible stat plot, in plot order.
    virtual void addStatPlots(PlotObject::PlotList& plots) = 0;
    // The plot of a drawing record, or null for a record that is not the source's.
    virtual std::shared_ptr<PlotObject> plotForRecord(const std::shared_ptr<DrawObject>& record) = 0;
    // The regression choice: every scatter and xyLine plot shows the residuals of the model
    // (-1 none), and the selected one of them gets the model's curve, which replaces an
    // earlier regression curve (-1 only removes it).
    virtual void chooseRegression(PlotObject::PlotList& plots, int model) = 0;
};

} // namespace orvenda
