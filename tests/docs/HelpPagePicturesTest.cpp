// Writes pictures of a few help pages when ORVENDA_HELP_PICTURES names a folder, so a
// person can look at them; checks that each page drew, and that the ⓘ the pages name and
// draw in their menus is the mark, not a missing glyph's box.

#include "core/Calculator.h"
#include "docs/FunctionHelpPDF.h"
#include "drawing/DrawString.h"
#include "drawing/GraphicsContext.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QGlyphRun>
#include <QRegularExpression>
#include <QTextLayout>

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

// What the ink in an area of a picture on white looks like: a ring (the circled i) leaves
// the corners of its ink's bounding box empty, the box a font draws for a glyph it lacks
// fills them.
struct Ink {
    QRect box;
    bool cornersEmpty = false;
};
Ink inkIn(const QImage& picture, QRect area)
{
    area &= picture.rect();
    const auto inked = [&](int x, int y) { return qGray(picture.pixel(x, y)) < 128; };
    Ink ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (inked(x, y))
                ink.box |= QRect(x, y, 1, 1);
    if (ink.box.width() < 6 || ink.box.height() < 6)
        return ink;
    const int cw = std::max(1, ink.box.width() / 10), ch = std::max(1, ink.box.height() / 10);
    ink.cornersEmpty = true;
    for (const QPoint corner : {ink.box.topLeft(), QPoint(ink.box.right() - cw + 1, ink.box.top()),
                                QPoint(ink.box.left(), ink.box.bottom() - ch + 1),
                                QPoint(ink.box.right() - cw + 1, ink.box.bottom() - ch + 1)})
        for (int y = corner.y(); y < corner.y() + ch; ++y)
            for (int x = corner.x(); x < corner.x() + cw; ++x)
                ink.cornersEmpty = ink.cornersEmpty && !inked(x, y);
    return ink;
}

// One string drawn as the pages draw their text, black on white.
QImage drawn(const QString& text, const TextFont& font)
{
    const QSizeF size = DrawString::VQsizeWithFont(text, font);
    QImage image(QSize(int(size.width()) + 8, int(size.height()) + 8), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    GraphicsContext context(painter);
    DrawString::VQdrawAtPoint(context, text, QPointF(4, 4), font, Qt::black);
    return image;
}

TEST(HelpPagePictures, TheInfoMarkIsDrawnNotTheMissingGlyphBox)
{
    const QString mark = QString::fromUtf8("\u24D8");
    // The fonts of the pages' text and of the mark in their menus, at a phone's scale and
    // a tablet's.
    for (const double scale : {1.0, 1.25}) {
        for (const TextFont& font : {TextFont{"HelveticaNeue", 15 * scale}, TextFont{"HelveticaNeue-Bold", 15 * scale},
                                     TextFont{"HelveticaNeue-Italic", 15 * scale}, TextFont{"Helvetica", 22 * scale}}) {
            QTextLayout layout(mark, DrawString::referenceFont(font.name));
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            for (const QGlyphRun& run : layout.glyphRuns())
                for (const quint32 glyph : run.glyphIndexes())
                    EXPECT_NE(glyph, 0u) << font.name << " has no glyph for the mark";
            const QImage picture = drawn(mark, font);
            const Ink ink = inkIn(picture, picture.rect());
            EXPECT_GE(ink.box.height(), int(font.size / 2)) << font.name << " " << font.size;
            EXPECT_TRUE(ink.cornersEmpty) << font.name << " " << font.size;
        }
    }
    // What a lacking glyph looks like to the check.
    const QImage lacking = drawn(QString(QChar(0x0378)), TextFont{"Helvetica", 22});
    EXPECT_FALSE(inkIn(lacking, lacking.rect()).cornersEmpty);

    // The menu on the page that tells of the mark, at a phone's width and a tablet's: each
    // row's mark where the menu puts it.
    Calculator& calc = Calculator::calculator();
    const bool dark = calc.honorDarkMode;
    calc.honorDarkMode = false;
    FunctionHelpPDF renderer(calc);
    renderer.setLanguage(QStringLiteral("en"));
    renderer.changeFunction(QStringLiteral("Menus"));
    ASSERT_TRUE(renderer.functionDefined());
    for (const int width : {320, 400}) {
        QImage page(width, 900, QImage::Format_ARGB32_Premultiplied);
        page.fill(Qt::white);
        QPainter painter(&page);
        painter.setRenderHint(QPainter::Antialiasing);
        GraphicsContext context(painter);
        renderer.setBounds(QRectF(0, 0, width, FunctionHelpPDF::kTallHeight));
        renderer.drawRect(context, QRectF(0, 0, width, 900));
        painter.end();
        const double s = renderer.pageState().scale;
        const QRectF menu = renderer.pageState().menuBox;
        ASSERT_GT(menu.width(), 0) << width;
        const QSizeF m = DrawString::VQsizeWithFont(mark, TextFont{"Helvetica", 22 * s});
        for (int row = 0; row < 3; ++row) {
            const double top = menu.bottom() + row * 32 * s;
            const QRect area = QRectF(menu.right() - 2 * m.width(), top + 2, m.width(), 32 * s - 4).toAlignedRect();
            const Ink ink = inkIn(page, area);
            EXPECT_GE(ink.box.height(), int(12 * s)) << width << " row " << row;
            EXPECT_TRUE(ink.cornersEmpty) << width << " row " << row;
        }
    }
    calc.honorDarkMode = dark;
}

} // namespace
} // namespace orvenda
