// Figures for the curves drawn from samples: sampling a parametric and a polar curve at the
// most samples a window gives (2000, 4000 and 2000 evaluations), 1000 terms of a recursive
// sequence, redrawing one tile from the samples, and the equation look-ups while the graph
// pans and zooms (there must be none: panning and zooming never evaluate).

#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "graph/GraphView.h"
#include "graph/PlotParametric.h"
#include "graph/PlotPolar.h"
#include "graph/PlotSequence.h"
#include "language/VariableSlots.h"

#include "../tests/cases/EntryText.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <numbers>
#include <string>

namespace orvenda {
namespace {

constexpr int kX1T = 0x5E20, kR1 = 0x5E40, kU = 0x5E80, kU0 = 0x5E83;
constexpr int kSlotEtaMax = 57, kSlotEtaMin = 59;
constexpr double kTwoPi = 2 * std::numbers::pi;

// Every evaluation of an equation starts by looking up its compiled form.
class CountingYEq : public YEqModel {
public:
    using YEqModel::YEqModel;
    std::shared_ptr<VQStack> rpnForFunction(int token) override
    {
        ++lookups;
        return YEqModel::rpnForFunction(token);
    }
    long lookups = 0;
};

struct Curves {
    Curves()
    {
        calc.yEqManager = eq;
        calc.setAngleFormat(1);
        define(kX1T, "8sin(3T)");
        define(kX1T + 1, "8sin(4T)+cos(T)");
        define(kX1T + 4, "8sin(3T)+0randInt(1,2)");
        define(kX1T + 5, "8sin(4T)+cos(T)+0randInt(1,2)");
        define(kR1, "6cos(5θ)+2");
        set(kSlotTmin, 0);
        set(kSlotTmax, kTwoPi);
        set(kSlotTstep, kTwoPi / 2000);
        set(kSlotThetaMin, 0);
        set(kSlotThetaMax, kTwoPi);
        set(kSlotThetaStep, kTwoPi / 2000);
    }
    ~Curves() { calc.yEqManager.reset(); }
    void define(int token, const std::string& text)
    {
        static const cases::EntryText entry;
        std::string bad;
        cases::EntryText::Ops ops = entry.toOps(text, bad).value_or(cases::EntryText::Ops{});
        // Typed u is the sequence u.
        for (std::uint32_t& op : ops)
            if (op >= 0xBBC5 && op <= 0xBBC7)
                op = op - 0xBBC5 + 0x5E80;
        eq->setYEqFunc(token, ops);
    }
    void set(int slot, double value) { calc.locked()->vars[static_cast<std::size_t>(slot)] = value; }

    NotificationCenter bus;
    Calculator calc{LocaleFormats{}, bus};
    std::shared_ptr<CountingYEq> eq = std::make_shared<CountingYEq>(calc);
};

// A tile of a 320 × 480 view at twice the pixel density, showing -10..10 across.
const QRectF kTile(0, 0, 160, 240);
const GraphTransform kTileT{8, 0, 0, -8, 80, 120};

template <class Plot>
void sampleOnce(benchmark::State& state, int token)
{
    Curves c;
    Plot plot(c.calc);
    plot.eqNum = token;
    for (auto _ : state) {
        plot.recompute();
        plot.computeRect(kTile, kTileT);
    }
    state.counters["samples"] = double(plot.samples().size());
}

// Argument 0 through the fast evaluator; 1 through the full one (randInt( is not for the
// fast evaluator).
void BM_SampleParametric(benchmark::State& state)
{
    sampleOnce<PlotParametric>(state, state.range(0) == 0 ? kX1T : kX1T + 4);
}
BENCHMARK(BM_SampleParametric)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SamplePolar(benchmark::State& state)
{
    sampleOnce<PlotPolar>(state, kR1);
}
BENCHMARK(BM_SamplePolar)->Unit(benchmark::kMillisecond);

// u(n) = 0.5u(n−1) + 1, ηMin 0 to 999.
void BM_Sequence1000Terms(benchmark::State& state)
{
    Curves c;
    c.define(kU, "0.5u(η-1)+1");
    c.eq->setSeqInitOpsForEq(kU0, 1, 0, 0);
    c.set(kSlotEtaMin, 0);
    c.set(kSlotEtaMax, 999);
    PlotSequence plot(c.calc);
    plot.setSequenceType(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        plot.recompute();
        plot.computeRect(kTile, kTileT);
    }
    state.counters["terms"] = double(plot.samples().size());
}
BENCHMARK(BM_Sequence1000Terms)->Arg(PlotSequence::Time)->Arg(PlotSequence::Web)->Unit(benchmark::kMillisecond);

// One tile drawn from 2000 samples as the tiles draw: antialiased, twice the density. The
// first argument picks the curve: 0 an ellipse, 1 the Lissajous figure, which crosses the
// tile back and forth many times; the second selects it (halo and line).
void BM_RedrawTileFromSamples(benchmark::State& state)
{
    Curves c;
    c.define(kX1T + 2, "9cos(T)");
    c.define(kX1T + 3, "6sin(T)");
    PlotParametric plot(c.calc);
    plot.eqNum = state.range(0) == 0 ? kX1T + 2 : kX1T;
    plot.style = 4;
    plot.setSelected(state.range(1) != 0);
    plot.computeRect(kTile, kTileT);
    QImage image(320, 480, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    const long before = c.eq->lookups;
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter context(&image);
        context.setRenderHint(QPainter::Antialiasing);
        plot.drawRect(kTile, context, kTileT, 1);
    }
    state.counters["lookups"] = double(c.eq->lookups - before);
}
BENCHMARK(BM_RedrawTileFromSamples)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

// The graph in parametric mode with the curve drawn, then panned by a little under a
// tile each step and zoomed in and out: the equation look-ups counted over all steps.
void BM_PanAndZoomLookups(benchmark::State& state)
{
    Curves c;
    c.calc.setGraphMode(1);
    GraphView view(c.calc);
    view.resize(320, 480);
    view.updateDisplay();
    view.zoom({-10, 10, -15, 15});
    view.displayTiles();
    const long before = c.eq->lookups;
    const double step = view.tileWidth() - 1;
    long steps = 0;
    for (auto _ : state) {
        view.pan2Dx(step, 0);
        view.displayTiles();
        view.plus(1.5, 0);
        view.displayTiles();
        view.minus(1.5, 0);
        view.displayTiles();
        ++steps;
    }
    state.counters["plots"] = double(view.plotObjects().size());
    state.counters["lookups"] = double(c.eq->lookups - before);
    state.counters["steps"] = double(steps);
}
BENCHMARK(BM_PanAndZoomLookups)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda
