// Figures for the graph's text overlay and the drawing-command plots, on a 320 × 480 view
// at twice the pixel density (as on a phone): an overlay redraw with axis labels, the trace
// markers of ten functions, the magnifier and the traced function's lines; a shade plot
// over the 3 × 3 tile ring while the graph is panned (its samplings counted); an inverse
// plot's tile.

#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "core/NotificationCenter.h"
#include "core/VQStack.h"
#include "eval/Parser.h"
#include "graph/GraphText.h"
#include "graph/GraphView.h"
#include "graph/PlotFunction.h"
#include "graph/PlotInvFn.h"
#include "graph/PlotShadeFn.h"
#include "language/EntryText.h"

#include <benchmark/benchmark.h>

#include <QPainter>

#include <string>

namespace orvenda {
namespace {

std::vector<std::uint32_t> typed(const std::string& text)
{
    static const EntryText entry;
    std::string bad;
    return entry.toOps(text, bad).value_or(std::vector<std::uint32_t>{});
}

std::shared_ptr<VQStack> compiled(Calculator& calc, const std::string& text)
{
    auto ops = typed(text);
    return std::make_shared<VQStack>(calc.parser().getRPNfor(ops));
}

struct Graph {
    Graph() : calc(LocaleFormats{}, notifications), view(calc)
    {
        view.resize(320, 480);
        view.zoom({-10, 10, -15, 15});
    }
    NotificationCenter notifications;
    Calculator calc;
    GraphView view;
};

// Ten functions Y1..Y0 traced at x = 1.5 on the third; MathPrint off (0) or on (1).
void BM_OverlayRedraw(benchmark::State& state)
{
    Graph g;
    auto eq = std::make_shared<YEqModel>(g.calc);
    g.calc.yEqManager = eq;
    g.calc.locked()->mathPrint = state.range(0) != 0;
    g.calc.locked()->drawDyDx = true;
    for (int i = 0; i < 10; ++i) {
        const int token = 0x5E10 + i;
        eq->setYEqFunc(token, typed(std::to_string(i + 1) + "sin(X)+X²/" + std::to_string(i + 2)));
        auto f = std::make_shared<PlotFunction>(g.calc);
        f->eqNum = token;
        f->varNum = 23;
        f->style = 2;
        f->color = VQColor::colorR(0.1 * i, 0.5, 1 - 0.1 * i, 1);
        f->setSelected(i == 2);
        g.view.plotObjects().push_back(f);
    }
    g.calc.lockMagnifier = true;
    g.calc.pTrackPoint = {1.5, g.view.plotObjects()[2]->YAtT(1.5), 1.5};
    g.calc.pTrackSlope = g.view.plotObjects()[2]->slopeAtT(1.5);
    g.calc.featureLock = 4;
    auto& text = *qobject_cast<GraphText*>(g.view.graphTextView);
    const qreal ratio = g.view.devicePixelRatioF();
    QImage image(int(320 * ratio), int(480 * ratio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        text.drawRect(painter, QRectF(0, 0, 320, 480));
    }
    state.counters["labels"] = double(text.labels().labels.size());
}
BENCHMARK(BM_OverlayRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Labels only, over a window far from the origin and zoomed in (1e12 ± 1e-6), where a
// label step is lost in rounding.
void BM_OverlayFarAndZoomedIn(benchmark::State& state)
{
    Graph g;
    g.view.zoom({1e12 - 1e-6, 1e12 + 1e-6, 1e12 - 1e-6, 1e12 + 1e-6});
    auto& text = *qobject_cast<GraphText*>(g.view.graphTextView);
    QImage image(640, 960, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        text.drawRect(painter, QRectF(0, 0, 320, 480));
    }
    state.counters["labels"] = double(text.labels().labels.size());
}
BENCHMARK(BM_OverlayFarAndZoomedIn)->Unit(benchmark::kMillisecond);

// Shade( between sin(X) and X²/4 over the ring; each step pans the graph vertically (0,
// the samples stay), horizontally by a point (1) or zooms x only (2) and renders all nine
// tiles afresh. "samplings" is the count per step.
void BM_ShadeRingStep(benchmark::State& state)
{
    Graph g;
    auto record = std::make_shared<DrawShadeFn>();
    record->fnLower = compiled(g.calc, "sin(X)");
    record->fnUpper = compiled(g.calc, "X²/4");
    record->xLeft = -1e99;
    record->xRight = 1e99;
    g.calc.drawing = {record};
    g.view.updateDisplay();
    g.view.displayTiles();
    auto* shade = static_cast<PlotShadeFn*>(g.view.plotObjects()[0].get());
    const int before = shade->samplings();
    const int move = int(state.range(0));
    double k = 1;
    for (auto _ : state) {
        if (move == 0) {
            g.view.pan2Dx(0, 1);
        } else if (move == 1) {
            g.view.pan2Dx(1, 0);
        } else {
            k = k == 1 ? 1.01 : 1;
            g.view.zoom({-10 * k, 10 * k, -15, 15});
        }
        g.view.layoutTiles();
        g.view.displayTiles();
    }
    state.counters["samplings"] =
        benchmark::Counter(double(shade->samplings() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ShadeRingStep)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// DrawInv of a cubic over one full-quality 160-point tile.
void BM_InverseTile(benchmark::State& state)
{
    Graph g;
    auto record = std::make_shared<DrawInv>();
    record->fn = compiled(g.calc, "X³-2X");
    auto plot = PlotInvFn::plotFor(g.calc, record);
    QImage image(320, 320, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    const GraphTransform t{16, 0, 0, -16, 80, 80};
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        plot->drawRect(QRectF(0, 0, 160, 160), painter, t, 1);
    }
}
BENCHMARK(BM_InverseTile)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace orvenda
