// Figures for implicit relations: one tile's drawing at full quality and as the draft of a
// moving graph (with the evaluations of f each takes), and a whole 3 × 3 ring brought to
// full quality through the graph view, draft first and the rest over later turns of the
// event loop.

#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "graph/GraphView.h"
#include "graph/ImplicitRefiner.h"
#include "graph/PlotImplicit.h"
#include "language/EntryText.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <iostream>

namespace orvenda {
namespace {

constexpr int kRelation = 0x5EA0;

struct Relation {
    explicit Relation(const char* text) : calc(LocaleFormats{}, notifications), equations(std::make_shared<YEqModel>(calc))
    {
        calc.yEqManager = equations;
        std::string bad;
        const auto ops = EntryText().toOps(text, bad);
        if (!ops) {
            std::cerr << "no token for " << bad << '\n';
            std::abort();
        }
        equations->setYEqFunc(kRelation, *ops);
        equations->setFunction(kRelation, true);
        calc.setAngleFormat(1);
    }
    ~Relation() { calc.yEqManager.reset(); }

    NotificationCenter notifications;
    Calculator calc;
    std::shared_ptr<YEqModel> equations;
};

const char* const kRelations[] = {"X²+Y²=4", "sin(X)=cos(Y)", "Y>X²"};

// One 160-point tile over -4..4 both ways; quality 1 full, 4 the draft.
void BM_Tile(benchmark::State& state)
{
    const char* text = kRelations[state.range(1)];
    Relation r(text);
    PlotImplicit plot(r.calc);
    plot.eqNum = kRelation;
    plot.style = state.range(1) == 2 ? 10 : 2;
    plot.lineWidth = 2;
    const GraphTransform t{20, 0, 0, -20, 80, 80};
    QImage image(160, 160, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        plot.recompute();
        image.fill(Qt::transparent);
        QPainter painter(&image);
        plot.drawRect(QRectF(0, 0, 160, 160), painter, t, int(state.range(0)));
    }
    state.counters["evals"] = double(plot.numEvals());
    state.SetLabel(text);
}
BENCHMARK(BM_Tile)->ArgsProduct({{1, 4}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

// The ring of a 480 × 480 view (tiles 240 points a side) from nothing to full quality.
void BM_RingToFullQuality(benchmark::State& state)
{
    const char* text = kRelations[state.range(0)];
    Relation r(text);
    r.calc.setGraphMode(4);
    GraphView view(r.calc);
    view.resize(480, 480);
    view.zoom({-10, 10, -10, 10});
    ImplicitRefiner& refiner = ImplicitRefiner::of(view);
    for (auto _ : state) {
        view.updateDisplay();
        view.displayTiles();
        while (refiner.busy())
            QApplication::processEvents();
        view.displayTiles();
    }
    state.SetLabel(text);
}
BENCHMARK(BM_RingToFullQuality)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda
