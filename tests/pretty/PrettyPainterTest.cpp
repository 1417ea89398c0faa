#include "pretty/PrettyPrint.h"

#include "PrettyTestSupport.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfWriter>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace orvenda {
namespace {

using test::Ops;
using test::T;

constexpr int kNone = PrettyPrint::kNoCursor;

// 12+√(34/(5^(6)))
const Ops kLine = {0x31, 0x32, 0x70, T(0xBC, 1), T(0x10, 2), 0x33, 0x34, T(0x11, 2), T(0xEF38, 2), T(0x10, 2),
                   0x35, T(0xF0, 3), T(0x10, 3), 0x36, T(0x11, 3), T(0x11, 2), T(0x11, 1)};

QImage blank(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Pixels in the rectangle (of image coordinates) that are not white.
int inkIn(const QImage& image, const QRect& rect)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += image.pixel(x, y) != qRgb(255, 255, 255);
    return count;
}

TEST(PrettyPainterTest, DrawingStaysInsideTheClip)
{
    PrettyPrint pp;
    const QRectF print = pp.setOps(kLine, 3, 0, 24);
    QImage image = blank(static_cast<int>(print.width()) + 20, static_cast<int>(print.height()) + 20);
    const QRect clip(30, 8, 50, 30);
    QPainter painter(&image);
    pp.drawAt(painter, QPointF(10, 10), 3, 0, 224, clip);
    painter.end();
    EXPECT_GT(inkIn(image, clip), 0);
    EXPECT_EQ(inkIn(image, image.rect()), inkIn(image, clip));
}

TEST(PrettyPainterTest, CursorGlyphs)
{
    PrettyPrint pp;
    // The cursor on the 2 of 12.
    const QRectF print = pp.setOps(kLine, 1, 0, 24);
    const int w = static_cast<int>(print.width()) + 20, h = static_cast<int>(print.height()) + 20;
    const QPointF at(10, 10);
    auto draw = [&](int glyph, int mode) {
        QImage image = blank(w, h);
        QPainter painter(&image);
        if (glyph < 0)
            pp.drawAt(painter, at, image.rect());
        else
            pp.drawAt(painter, at, 1, mode, glyph, image.rect());
        return image;
    };
    const QImage plain = draw(-1, 0);
    EXPECT_EQ(draw(0, 0), plain) << "the blink's off phase draws no cursor";

    const QRect cell = pp.offsetHitRectForIndex(1).translated(at).toAlignedRect();
    const QRect inside = cell.adjusted(1, 1, -1, -1);
    const QImage block = draw(224, 0);
    EXPECT_EQ(inkIn(block, inside), inside.width() * inside.height()) << "a filled block";
    EXPECT_EQ(inkIn(block, block.rect()) - inkIn(block, cell), inkIn(plain, plain.rect()) - inkIn(plain, cell));

    // Insert mode: a two-point underline at the cell's foot; the 2 shows above it.
    const QImage underline = draw(224, 1);
    const QRect foot(cell.left() + 1, cell.bottom() - 1, cell.width() - 2, 1);
    EXPECT_EQ(inkIn(underline, foot), foot.width());
    const QRect above = cell.adjusted(0, 0, 0, -3);
    EXPECT_EQ(underline.copy(above), plain.copy(above));
}

TEST(PrettyPainterTest, APdfPageHoldsTheDigits)
{
    PrettyPrint pp;
    const QRectF print = pp.setOps(kLine, kNone, 0, 20);
    QBuffer file;
    file.open(QIODevice::ReadWrite);
    {
        QPdfWriter writer(&file);
        writer.setResolution(72);
        writer.setPageSize(QPageSize(print.size().toSize() + QSize(2, 2), QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        pp.drawTreeInContext(painter, 20);
    }
    file.seek(0);
    QPdfDocument document;
    document.load(&file);
    ASSERT_EQ(document.status(), QPdfDocument::Status::Ready);
    EXPECT_EQ(document.pageCount(), 1);
    // Each glyph is read back on a line of its own: only the characters count.
    QString text = document.getAllText(0).text();
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    EXPECT_EQ(text, QStringLiteral("12+3456"));
}

} // namespace
} // namespace orvenda
