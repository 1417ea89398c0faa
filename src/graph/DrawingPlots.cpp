#include "graph/DrawingPlots.h"

#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "core/services/StatGraphManager.h"
#include "graph/PlotCircle.h"
#include "graph/PlotFn.h"
#include "graph/PlotInvFn.h"
#include "graph/PlotLine.h"
#include "graph/PlotPolyline.h"
#include "graph/PlotShadeFn.h"
#include "graph/PlotText.h"
#include "graph/StatPlotSource.h"
#include "language/VariableSlots.h"

namespace orvenda {

namespace {

// The graph variable of drawn functions.
constexpr int kSlotXVariable = 23;

VQColor colorOf(const DrawObject& record)
{
    return VQColor::colorR(record.r, record.g, record.b, 1);
}

} // namespace

std::shared_ptr<PlotObject> DrawingPlots::plotFor(Calculator& calc, const std::shared_ptr<DrawObject>& record,
                                                  bool withTexts)
{
    if (auto line = std::dynamic_pointer_cast<DrawLine>(record)) {
        auto plot = std::make_shared<PlotLine>(calc);
        plot->drawFunc = line;
        plot->color = colorOf(*line);
        plot->p1 = line->p1;
        plot->p2 = line->p2;
        plot->setSelected(line->selected);
        plot->lineWidth = line->lineWidth;
        plot->style = line->style;
        return plot;
    }
    if (auto function = std::dynamic_pointer_cast<DrawFunc>(record)) {
        auto plot = std::make_shared<PlotFn>(calc);
        plot->fn = function->fn;
        plot->color = colorOf(*function);
        plot->expression = function->expression;
        plot->eqNum = -1;
        plot->varNum = kSlotXVariable;
        plot->style = 2;
        plot->lineWidth = function->lineWidth;
        plot->showTangent = function->showTangent;
        plot->tangentX = function->tangentX;
        plot->drawFunc = function;
        plot->setSelected(function->selected);
        return plot;
    }
    if (auto circle = std::dynamic_pointer_cast<DrawCircle>(record)) {
        auto plot = std::make_shared<PlotCircle>(calc);
        plot->drawFunc = circle;
        plot->color = colorOf(*circle);
        plot->center = circle->center;
        plot->radius = circle->radius;
        plot->lineWidth = circle->lineWidth;
        plot->fillPercent = circle->fillPercent;
        plot->setSelected(circle->selected);
        return plot;
    }
    if (auto inverse = std::dynamic_pointer_cast<DrawInv>(record))
        return PlotInvFn::plotFor(calc, inverse);
    if (auto shade = std::dynamic_pointer_cast<DrawShadeFn>(record))
        return PlotShadeFn::plotFor(calc, shade);
    if (auto polyline = std::dynamic_pointer_cast<DrawPolyline>(record))
        return PlotPolyline::forRecord(calc, polyline, colorOf(*polyline));
    if (auto text = std::dynamic_pointer_cast<DrawText>(record); text && withTexts) {
        auto plot = std::make_shared<PlotText>(calc);
        plot->drawFunc = text;
        plot->text = text->text;
        plot->x = text->x;
        plot->y = text->y;
        plot->alignment = text->alignment;
        plot->tiTextColor = text->tiTextColor;
        plot->color = colorOf(*text);
        return plot;
    }
    // Distribution shadings are drawn by the statistics' plots.
    if (auto* stats = dynamic_cast<StatPlotSource*>(calc.statGraphManager.get()))
        return stats->plotForRecord(record);
    return nullptr;
}

void DrawingPlots::addPlots(Calculator& calc, PlotObject::PlotList& plots, bool withTexts)
{
    for (const auto& record : calc.drawing)
        if (auto plot = plotFor(calc, record, withTexts))
            plots.push_back(std::move(plot));
}

} // namespace orvenda
