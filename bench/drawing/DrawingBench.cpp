// The shared drawing: a 40-symbol formula typeset and drawn, and the keyboards' full sets of
// legends rendered from the image library, at a phone's density (2 pixels a point).

#include "core/VColor.h"
#include "drawing/GraphicsContext.h"
#include "drawing/MainScreen.h"
#include "drawing/VImageDraw.h"
#include "drawing/VLaTeX.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace orvenda;

// 40 symbols: letters, digits, operators, Greek, a sum with limits, fractions, a root, an
// integral, scripts.
const QString kFormula = QStringLiteral(
    "\\sum_{i=1}^{n}\\frac{(x_i-\\mu)^2}{n-1}+\\sqrt{a^2+b^2}=\\int{0}{\\pi}\\sin\\theta\\,d\\theta"
    "+\\frac{-b\\pm c}{2a}");

int symbols(const VLaTeXObj& box)
{
    int n = box.children.empty() && box.type > 2 && box.type != VLaTeX::kSuperscript && box.type != VLaTeX::kSubscript ? 1 : 0;
    n += box.type == VLaTeX::kFrac || box.type == VLaTeX::kSqrt || box.type == VLaTeX::kSum || box.type == VLaTeX::kInt ? 1 : 0;
    for (const auto& c : box.children)
        n += symbols(*c);
    for (const VLaTeXObj* s : {box.superScript.get(), box.subScript.get()})
        if (s)
            n += symbols(*s);
    return n;
}

void BM_TypesetAndDrawFormula(benchmark::State& state)
{
    QImage image(2 * 420, 2 * 110, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    VLaTeX& tex = VLaTeX::vlaTeX();
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        GraphicsContext context(painter);
        tex.setString(kFormula, QPointF(10, 50), context, 0, 20);
    }
    tex.layout(kFormula, 20);
    state.counters["symbols"] = symbols(tex.parseTree().root());
}
BENCHMARK(BM_TypesetAndDrawFormula)->Unit(benchmark::kMicrosecond);

void BM_TypesetFormulaOnly(benchmark::State& state)
{
    VLaTeX& tex = VLaTeX::vlaTeX();
    for (auto _ : state)
        benchmark::DoNotOptimize(tex.boundsOf(kFormula, 20));
}
BENCHMARK(BM_TypesetFormulaOnly)->Unit(benchmark::kMicrosecond);

// The compact keypad's 25 labels, as it renders them when 2nd changes.
void BM_KeypadLegends(benchmark::State& state)
{
    VImageDraw& images = VImageDraw::vImageDraw();
    for (auto _ : state)
        for (int tag = 0; tag < 25; ++tag)
            benchmark::DoNotOptimize(images.getImage("skb" + std::to_string(tag), 1, VColor{0.94, 0.52, 0.03, 0.5},
                                                     VColor{0.94, 0.52, 0.03, 1}));
}
BENCHMARK(BM_KeypadLegends)->Unit(benchmark::kMicrosecond);

// The calculator keyboard's legend sheet: its labels, 2nd and alpha legends in one picture.
void BM_KeyboardLegendSheet(benchmark::State& state)
{
    VImageDraw& images = VImageDraw::vImageDraw();
    const std::vector<VImageInfo> layers = {VImageInfo::infoWithName("keys83", 1, 1, 1, 1, false),
                                            VImageInfo::infoWithName("keys83yellowPretty", 0.9, 0.65, 0.06, 1, false),
                                            VImageInfo::infoWithName("keys83greenPretty", 0.2, 0.78, 0.4, 1, false)};
    for (auto _ : state)
        benchmark::DoNotOptimize(images.getImages(layers, 1));
}
BENCHMARK(BM_KeyboardLegendSheet)->Unit(benchmark::kMicrosecond);

// The lit 2nd legends: the same sheet's layer drawn with its glow (a blurred shadow).
void BM_KeyboardLitSecondLegends(benchmark::State& state)
{
    VImageDraw& images = VImageDraw::vImageDraw();
    const std::vector<VImageInfo> layers = {VImageInfo::infoWithName("keys83yellowPrettyHi", 1, 0.75, 0.12, 0.9, true)};
    for (auto _ : state)
        benchmark::DoNotOptimize(images.getImages(layers, 1));
}
BENCHMARK(BM_KeyboardLitSecondLegends)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    MainScreen::setScale(2);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
