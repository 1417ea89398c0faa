#include "stats/PlotXYLine.h"

#include "core/Calculator.h"

#include <QPainter>

#include <cmath>

namespace orvenda {

PlotXYLine::PlotXYLine(Calculator& calc) : PlotScatter(calc)
{
    plotType = PlotObject::PlotXYLine;
    // The graph view sets -1 when it makes one.
    fitModel_ = 0;
}

void PlotXYLine::drawPairs(const Pairs& lists, const QRectF& rect, QPainter& context, const GraphTransform& t)
{
    path_.clear();
    bool open = false;
    for (int i = 0; i < lists.x.count(); ++i) {
        const GraphGeometry::Point v = GraphGeometry::applyPlotTransform(t, lists.x.realAtIndex(i), lists.y.realAtIndex(i));
        // A pair that is no point breaks the line.
        if (!GraphGeometry::pointIsFinite(v.x, v.y)) {
            open = false;
            continue;
        }
        if (open)
            path_.lineTo(v.x, v.y);
        else
            path_.moveTo(v.x, v.y);
        open = true;
    }
    context.save();
    context.setBrush(Qt::NoBrush);
    if (selected()) {
        context.strokePath(path_, QPen(colorAt(0.3), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        context.strokePath(path_, QPen(colorAt(1), 1));
    } else {
        context.strokePath(path_, QPen(colorAt(0.7), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    context.restore();
    PlotScatter::drawPairs(lists, rect, context, t);
}

std::optional<std::string> PlotXYLine::label()
{
    const auto hold = calc.lockState();
    return "Plot(" + listName(false) + "," + listName(true) + ")";
}

} // namespace orvenda
