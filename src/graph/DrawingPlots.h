#pragma once

#include "graph/PlotObject.h"

#include <memory>

namespace orvenda {

class Calculator;
class DrawObject;

// The plot object that shows one record of the calculator's drawing list (lines, DrawF
// and Tangent( curves, circles, inverses, shadings, polylines, distribution shadings
// through the stat plot manager and, when asked, texts), in the record's colour at alpha
// 1 and with its selection. Null for a record no plot shows. Main thread.
class DrawingPlots {
public:
    static std::shared_ptr<PlotObject> plotFor(Calculator& calc, const std::shared_ptr<DrawObject>& record,
                                               bool withTexts);
    // Appends a plot for every record of the drawing list, in order.
    static void addPlots(Calculator& calc, PlotObject::PlotList& plots, bool withTexts);
};

} // namespace orvenda
