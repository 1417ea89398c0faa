// Figures for the graph view's tiles: laying out and rendering the whole 3 × 3 ring with
// grid and axes, and one pan step that wraps a column and renders it, on a 320 × 480 view
// at twice the pixel density (as on a phone).

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "graph/GraphView.h"

#include <benchmark/benchmark.h>

#include <QApplication>

namespace orvenda {
namespace {

struct Graph {
    Graph() : calc(LocaleFormats{}, notifications), view(calc)
    {
        view.resize(320, 480);
        view.zoom({-10, 10, -15, 15});
        view.displayTiles();
    }
    NotificationCenter notifications;
    Calculator calc;
    GraphView view;
};

void BM_RenderRing(benchmark::State& state)
{
    Graph g;
    for (auto _ : state) {
        g.view.layoutTiles();
        g.view.displayTiles();
    }
}
BENCHMARK(BM_RenderRing)->Unit(benchmark::kMillisecond);

// One step of a pan a little under a tile wide: each step wraps one column. drawQuality 1
// is the draft of a moving graph, 0 full quality.
void BM_PanStepWrappingAColumn(benchmark::State& state)
{
    Graph g;
    g.view.drawQuality = static_cast<int>(state.range(0));
    const double step = g.view.tileWidth() - 1;
    for (auto _ : state) {
        g.view.pan2Dx(step, 0);
        g.view.displayTiles();
    }
}
BENCHMARK(BM_PanStepWrappingAColumn)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
