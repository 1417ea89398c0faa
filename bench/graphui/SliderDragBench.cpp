// Figures for a slider drag on the graph screen: one step of the variables panel's slider
// for A in Y1 = AX²+sin(X) (the plot takes the value, the graph view recomputes it and
// renders every tile in draft quality) on a 320 × 480 view at twice the pixel density.

#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "graph/GraphView.h"
#include "graphui/GraphPanels.h"
#include "graphui/GraphVarsView.h"
#include "language/EntryText.h"

#include <benchmark/benchmark.h>

#include <QWidget>

#include <string>

namespace orvenda {
namespace {

void BM_SliderDragStep(benchmark::State& state)
{
    NotificationCenter bus;
    Calculator calc(LocaleFormats{}, bus);
    auto eq = std::make_shared<YEqModel>(calc);
    calc.yEqManager = eq;
    std::string bad;
    eq->setYEqFunc(0x5E10, EntryText().toOps("AX²+sin(X)", bad).value_or(std::vector<std::uint32_t>{}));
    QWidget host;
    host.resize(320, 480);
    GraphView view(calc, &host);
    view.resize(320, 480);
    view.zoom({-10, 10, -15, 15});
    view.updateDisplay();
    view.selectEqNum(0x5E10, 1);
    GraphPanels panels(calc, view, &host, nullptr);
    panels.selectPlot(view.selectedPlotObj(), calc.pTrackPoint);
    GraphVarsView& vars = *panels.varsView();
    if (vars.buttonCount() != 2) {
        state.SkipWithError("no slider for A");
        return;
    }
    vars.showSlider(1);
    vars.startTracking();
    view.drawQuality = 1;
    double position = 0;
    for (auto _ : state) {
        position = position >= 100 ? 0 : position + 1;
        vars.valueChanged(position);
        view.displayTiles();
    }
    vars.stopTracking();
    calc.yEqManager.reset();
}
BENCHMARK(BM_SliderDragStep)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda
