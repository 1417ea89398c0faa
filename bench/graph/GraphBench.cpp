// Figures for the graph view's tiles: laying out and rendering the whole 3 × 3 ring with
// grid and axes, and one pan step that wraps a column and renders it, on a 320 × 480 view
// at twice the pixel density (as on a phone); then the same with ten Y= functions: the
// ring, one tile at full and at draft quality, a trace snap, and one function's tile drawn
// beside the bare evaluation of its samples.

#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/VQStack.h"
#include "eval/GraphSampler.h"
#include "eval/Parser.h"
#include "eval/QuickEvaluator.h"
#include "graph/GraphView.h"
#include "graph/PlotFn.h"
#include "language/EntryText.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <array>
#include <chrono>
#include <string>
#include <vector>

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

// Ten functions the fast evaluator takes, as Y₁ to Y₀.
constexpr std::array<const char*, 10> kTen{
    "X²-4", "X³/10-X", "sin(X)", "2cos(2X)", "e^(X/4)", "1/X", "√(X+5)", "abs(X)-3", "X/2+1", "tan(X)/4",
};

std::vector<std::uint32_t> tokens(const std::string& text)
{
    static const EntryText entry;
    std::string bad;
    return entry.toOps(text, bad).value_or(std::vector<std::uint32_t>());
}

struct Functions {
    Functions() : calc(LocaleFormats{}, notifications), equations(std::make_shared<YEqModel>(calc)), view(calc)
    {
        calc.yEqManager = equations;
        for (std::size_t i = 0; i < kTen.size(); ++i)
            equations->setYEqFunc(0x5E10 + int(i), tokens(kTen[i]));
        view.resize(320, 480);
        view.zoom({-10, 10, -15, 15});
        view.updateWindowVars();
        view.updateDisplay();
        view.displayTiles();
    }
    ~Functions() { calc.yEqManager.reset(); }
    // The next drawing samples afresh.
    void forget()
    {
        for (const auto& plot : view.plotObjects())
            plot->recompute();
    }
    NotificationCenter notifications;
    Calculator calc;
    std::shared_ptr<YEqModel> equations;
    GraphView view;
};

void BM_TenFunctionsRing(benchmark::State& state)
{
    Functions f;
    for (auto _ : state) {
        f.view.layoutTiles();
        f.view.displayTiles();
    }
}
BENCHMARK(BM_TenFunctionsRing)->Unit(benchmark::kMillisecond);

// The middle tile sampled afresh: quality 0 full, 1 draft.
void BM_TenFunctionsTile(benchmark::State& state)
{
    Functions f;
    f.view.drawQuality = static_cast<int>(state.range(0));
    GraphTile& tile = *f.view.tiles()[4];
    for (auto _ : state) {
        f.forget();
        tile.dirty = true;
        tile.displayLayer();
    }
}
BENCHMARK(BM_TenFunctionsTile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The trace snapped near the zero of X²−4 with the nine other plots to cross.
void BM_TraceSnap(benchmark::State& state)
{
    Functions f;
    PlotObject& first = *f.view.plotObjects()[0];
    const double range = 4 / f.view.t().a;
    for (auto _ : state)
        benchmark::DoNotOptimize(first.PtAtT(2.03, range, f.view.plotObjects()));
}
BENCHMARK(BM_TraceSnap)->Unit(benchmark::kMicrosecond);

// One function's work for a tile (sampling, refinement, segments and view points) and the
// fast evaluator's bare run over the same samples, timed turn by turn: "ratio" is the first
// over the second. "paint_us" is what stroking the segments into the tile's bitmap at the
// phone's density adds. Argument: the function's index in kTen.
void BM_TileAgainstBareEvaluation(benchmark::State& state)
{
    Functions f;
    auto& plot = dynamic_cast<PlotFn&>(*f.view.plotObjects()[std::size_t(state.range(0))]);
    GraphTile& tile = *f.view.tiles()[4];
    const QRectF rect = tile.bounds();
    const GraphTransform t = tile.t;
    QImage image(int(rect.width() * 2), int(rect.height() * 2), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    QuickEvaluator quick(f.calc.parser());
    QuickEvaluator::Program program;
    quick.compile(*plot.fn, program);
    const std::size_t n = std::size_t(rect.width() + 8);
    const double x0 = (rect.x() - 4 - t.tx) / t.a, dx = ((rect.width() + 8) / t.a) / double(n - 1);
    std::chrono::nanoseconds working{0}, evaluating{0}, painting{0};
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto hold = f.calc.lockState();
        const auto start = Clock::now();
        plot.recompute();
        plot.computeRect(rect, t, 1);
        const auto worked = Clock::now();
        double sum = 0;
        for (std::size_t i = 0; i < n; ++i) {
            f.calc.state().vars[23] = {x0 + double(i) * dx, 0};
            sum += quick.run(program);
        }
        benchmark::DoNotOptimize(sum);
        const auto evaluated = Clock::now();
        image.fill(Qt::transparent);
        {
            // The samples are kept: this draws only.
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.translate(-rect.x(), -rect.y());
            plot.drawRect(rect, painter, t, 1);
        }
        working += worked - start;
        evaluating += evaluated - worked;
        painting += Clock::now() - evaluated;
    }
    const auto perIteration = [&](std::chrono::nanoseconds total) {
        return double(total.count()) / 1e3 / double(state.iterations());
    };
    state.counters["work_us"] = perIteration(working);
    state.counters["eval_us"] = perIteration(evaluating);
    state.counters["ratio"] = double(working.count()) / double(evaluating.count());
    state.counters["paint_us"] = perIteration(painting);
    state.SetLabel(kTen[std::size_t(state.range(0))]);
}
BENCHMARK(BM_TileAgainstBareEvaluation)->DenseRange(0, 9)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace orvenda
