// The longest help page laid out and drawn, and sliced into PDF pages.

#include "core/Calculator.h"
#include "docs/FunctionHelpPDF.h"
#include "docs/HelpFile.h"
#include "drawing/GraphicsContext.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <benchmark/benchmark.h>

namespace orvenda {
namespace {

// The name of the page with the most XML.
QString longestPage()
{
    const std::string_view file = HelpFile::resource("FunctionHelp");
    const QString text = QString::fromUtf8(file.data(), qsizetype(file.size()));
    static const QRegularExpression tag(QStringLiteral("<F n=\"([^\"]*)\">"));
    QString best;
    qsizetype longest = 0;
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        const qsizetype end = text.indexOf(QStringLiteral("</F>"), match.capturedEnd());
        if (end - match.capturedStart() > longest) {
            longest = end - match.capturedStart();
            best = match.captured(1);
        }
    }
    return best.replace(QStringLiteral("&amp;"), QStringLiteral("&")).replace(QStringLiteral("&lt;"), QStringLiteral("<"));
}

void BM_HelpPageLayoutAndDraw(benchmark::State& state)
{
    Calculator& calc = Calculator::calculator();
    FunctionHelpPDF renderer(calc);
    renderer.setLanguage(QStringLiteral("en"));
    renderer.changeFunction(longestPage());
    QImage image(320, 1200, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        GraphicsContext context(painter);
        renderer.setBounds(QRectF(0, 0, 320, FunctionHelpPDF::kTallHeight));
        renderer.drawRect(context, renderer.bounds());
        benchmark::DoNotOptimize(renderer.drawPoint());
    }
    state.SetLabel(renderer.functionName().toStdString());
}
BENCHMARK(BM_HelpPageLayoutAndDraw)->Unit(benchmark::kMillisecond);

void BM_HelpPageSlicedPdf(benchmark::State& state)
{
    Calculator& calc = Calculator::calculator();
    FunctionHelpPDF renderer(calc);
    renderer.setLanguage(QStringLiteral("en"));
    const QString name = longestPage();
    for (auto _ : state)
        benchmark::DoNotOptimize(renderer.pdfName(name, QSizeF(), true, false));
    state.SetLabel(name.toStdString());
}
BENCHMARK(BM_HelpPageSlicedPdf)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvenda
