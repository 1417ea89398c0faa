// Writes pictures of a few help pages when ORVENDA_HELP_PICTURES names a folder, so a
// person can look at them; checks only that each page drew.

#include "core/Calculator.h"
#include "docs/FunctionHelpPDF.h"
#include "drawing/GraphicsContext.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace orvenda {
namespace {

TEST(HelpPagePictures, PagesDrawOnALightAndADarkBackground)
{
    const QString folder = qEnvironmentVariable("ORVENDA_HELP_PICTURES");
    Calculator& calc = Calculator::calculator();
    FunctionHelpPDF renderer(calc);
    renderer.setLanguage(QStringLiteral("en"));
    const bool dark = calc.honorDarkMode;
    for (const char* name : {"sin(", "fMin(", "ShadeNorm(", "PRGM", "Menus", "tvm_FV", "Tangent(", "Pt-On(", "GRAPH", "STAT", "Poly Root Finder", "Simul Eqn Solver", "2-SampTTest "}) {
        renderer.changeFunction(QString::fromUtf8(name));
        ASSERT_TRUE(renderer.functionDefined()) << name;
        for (bool darkMode : {false, true}) {
            calc.honorDarkMode = darkMode;
            QImage image(320, 700, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            GraphicsContext context(painter);
            renderer.setBounds(QRectF(0, 0, 320, FunctionHelpPDF::kTallHeight));
            renderer.drawRect(context, QRectF(0, 0, 320, 700));
            painter.end();
            EXPECT_GT(renderer.drawPoint().y(), 40) << name;
            if (!folder.isEmpty())
                image.save(QDir(folder).filePath(QStringLiteral("%1%2.png").arg(QString::fromUtf8(name).remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9]"))), darkMode ? QStringLiteral("-dark") : QString())));
        }
    }
    calc.honorDarkMode = dark;
}

} // namespace
} // namespace orvenda
