// Figures for the stat plots: one tile of a histogram of 100 000 values (with the bin
// width ZoomStat gives and with one far too small, as a program may store into Xscl),
// one tile of a scatter plot of 10 000 points in each mark, and a trace query on each
// (the histogram's bar, the scatter's point, a regression curve's snap).

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "language/VariableSlots.h"
#include "numeric/VQStatistics.h"
#include "stats/PlotHistogram.h"
#include "stats/PlotRegression.h"
#include "stats/PlotScatter.h"
#include "stats/StatPlotModel.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <random>
#include <string>

namespace orvenda {
namespace {

const std::string kL1 = "L\xE2\x82\x81", kL2 = "L\xE2\x82\x82";

// A tile of a 320 × 480 view at twice the pixel density, holding x 0..10 and y 0..10:
// every value and point lies in it.
const QRectF kTile(0, 0, 160, 240);
const GraphTransform kTileT{16, 0, 0, -24, 0, 240};

struct Plots {
    explicit Plots(int count)
    {
        calc.statGraphManager = model;
        std::mt19937 random(47);
        std::normal_distribution<double> normal(5, 1.5);
        VQList x, y;
        for (int i = 0; i < count; ++i) {
            x.addReal(std::clamp(normal(random), 0.0, 10.0), 15, -15);
            y.addReal(std::clamp(normal(random), 0.0, 10.0), 15, -15);
        }
        calc.locked()->lists[kL1] = x;
        calc.locked()->lists[kL2] = y;
        calc.setVar(kSlotXmin, {{0.0, 0.0}});
    }
    ~Plots() { calc.statGraphManager.reset(); }
    void define(int type)
    {
        model->setPlotVisible(0, true);
        model->setPlotType(0, type);
        model->stats(0)->listXName = kL1;
        model->stats(0)->listYName = kL2;
        model->updateStatsFor(0);
    }

    NotificationCenter bus;
    Calculator calc{LocaleFormats{}, bus};
    std::shared_ptr<StatPlotModel> model = std::make_shared<StatPlotModel>(calc);
};

// A picture as the tiles paint them: antialiased, twice the density.
template <class Draw>
void paintTile(benchmark::State& state, Draw draw)
{
    QImage image(320, 480, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter context(&image);
        context.setRenderHint(QPainter::Antialiasing);
        draw(context);
    }
}

// A histogram of 100 000 values from 0, in the automatic width for the sample size.
struct Histogram : Plots {
    Histogram() : Plots(100000)
    {
        define(StatGraphManager::Histogram);
        model->setHistogramXOrigin(0);
        plot.setEqNum(0);
        calc.setVar(kSlotXscl, {{plot.tiBarWidth(), 0.0}});
    }
    PlotHistogram plot{calc};
};

// Argument: 0 the automatic width (ZoomStat's), 1 an Xscl of 1e-9.
void BM_HistogramTile100000(benchmark::State& state)
{
    Histogram h;
    if (state.range(0) != 0)
        h.calc.setVar(kSlotXscl, {{1e-9, 0.0}});
    paintTile(state, [&](QPainter& context) { h.plot.drawRect(kTile, context, kTileT, 1); });
    state.counters["bins"] = h.model->numBars(0);
}
BENCHMARK(BM_HistogramTile100000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A scatter plot of 10 000 pairs.
struct Scatter : Plots {
    Scatter() : Plots(10000)
    {
        define(StatGraphManager::Scatter);
        plot.stats = model->stats(0);
        plot.setFitModel(-1);
    }
    PlotScatter plot{calc};
};

// Argument: the mark (0 square, 1 cross, 2 dot).
void BM_ScatterTile10000(benchmark::State& state)
{
    Scatter s;
    s.model->setPlotMark(0, static_cast<int>(state.range(0)));
    paintTile(state, [&](QPainter& context) { s.plot.drawRect(kTile, context, kTileT, 1); });
}
BENCHMARK(BM_ScatterTile10000)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_TraceHistogramBar(benchmark::State& state)
{
    Histogram h;
    int bar = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(h.plot.PtAtT(bar++ % 12, 0, {}));
}
BENCHMARK(BM_TraceHistogramBar)->Unit(benchmark::kMicrosecond);

void BM_TraceScatterPoint(benchmark::State& state)
{
    Scatter s;
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(s.plot.PtAtT(i++ % 10000, 0, {}));
}
BENCHMARK(BM_TraceScatterPoint)->Unit(benchmark::kMicrosecond);

// A tap on the scatter: the nearest of the 10 000 points.
void BM_TapScatter(benchmark::State& state)
{
    Scatter s;
    for (auto _ : state) {
        PlotPoint at{5, 5, 0};
        benchmark::DoNotOptimize(s.plot.hitPoint(at, kTileT, 20));
    }
}
BENCHMARK(BM_TapScatter)->Unit(benchmark::kMicrosecond);

// A quadratic fitted to 10 000 pairs, traced: its zero, intersection and extremum searches.
void BM_TraceRegressionCurve(benchmark::State& state)
{
    Scatter s;
    PlotRegression plot(s.calc);
    plot.stats = s.model->stats(0);
    plot.setFitModel(VQStatistics::QuadReg);
    plot.computeRegression();
    double x = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(plot.PtAtT(x, 0.125, {}));
        x = std::fmod(x + 0.37, 10);
    }
}
BENCHMARK(BM_TraceRegressionCurve)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace orvenda
