// Figures for the geometry app's figure drawn on a 400 by 400 point graph at the values a
// user may type: a polygon of 10⁹ sides, a unit-circle angle of 10⁹ radians, arcs of a
// tiny and a huge radius, and an ordinary triangle for comparison. Each should take well
// under 50 ms.

#include "apps/GeometryModel.h"
#include "apps/PlotGeometry.h"
#include "core/Calculator.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <initializer_list>
#include <utility>

namespace orvenda {
namespace {

void drawFigure(benchmark::State& state, std::uint32_t figure, std::initializer_list<std::pair<int, double>> slots)
{
    Calculator calc;
    for (const auto& [slot, value] : slots)
        calc.locked()->vars[static_cast<std::size_t>(slot)] = {value, 0.0};
    PlotGeometry plot(calc);
    plot.color = VQColor::colorR(0, 1, 0, 1);
    plot.style = 2;
    plot.geometryFunction = figure;
    QImage image(400, 400, QImage::Format_ARGB32_Premultiplied);
    const GraphTransform t{40, 0, 0, -40, 200, 200};
    for (auto _ : state) {
        QPainter painter(&image);
        plot.drawRect(QRectF(0, 0, 400, 400), painter, t, 1);
    }
}

void BM_GeometryHugePolygon(benchmark::State& state) { drawFigure(state, GeometryModel::Polygon, {{190, 1e9}, {191, 4}}); }
void BM_GeometryHugeAngle(benchmark::State& state) { drawFigure(state, GeometryModel::UnitCircle, {{180, 1e9}}); }
void BM_GeometryTinyArc(benchmark::State& state) { drawFigure(state, GeometryModel::Arc, {{191, 1e-9}, {180, 3}}); }
void BM_GeometryHugeArc(benchmark::State& state) { drawFigure(state, GeometryModel::Arc, {{191, 1e9}, {180, 3}}); }
void BM_GeometryTriangle(benchmark::State& state)
{
    drawFigure(state, GeometryModel::Triangle, {{177, 3}, {178, 4}, {179, 5}, {180, 0.6435011087932844}});
}

BENCHMARK(BM_GeometryHugePolygon)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeometryHugeAngle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeometryTinyArc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeometryHugeArc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeometryTriangle)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda
