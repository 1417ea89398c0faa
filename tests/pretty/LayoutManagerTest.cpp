#include "pretty/FontMap.h"
#include "pretty/LayoutManager.h"

#include "PrettyTestSupport.h"

#include "language/Vocabulary.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace orvenda {
namespace {

using test::Ops;

constexpr double kSize = 16;
constexpr double kLeading = 20;
constexpr double kWidth = 320;

QFont displayFont()
{
    return FontMap::shared().font("CourierNewPS-BoldMT", kSize);
}

// Code points of a token's name.
int length(std::uint32_t op)
{
    const std::string name = Vocabulary::shared().nameForOpcode(op);
    return static_cast<int>(QString::fromStdString(name).toUcs4().size());
}

// Where each op of a fixed-pitch line goes, worked out cell by cell: the line and the
// first and last x of its name.
struct Place {
    int line;
    double from, to;
};
std::vector<Place> expectedPlaces(const Ops& ops, double cell)
{
    std::vector<Place> places;
    double x = 0;
    int line = 0;
    for (std::uint32_t op : ops) {
        const double w = length(op) * cell;
        if (x > 0 && x + w > kWidth + 1e-9) {
            ++line;
            x = 0;
        }
        places.push_back({line, x, x + w});
        x += w;
    }
    return places;
}

class LayoutManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        layout.setFont(displayFont());
        layout.setLeading(kLeading);
        layout.setBounds(QRectF(0, 0, kWidth, 1000));
        cell = QFontMetricsF(displayFont()).horizontalAdvance(QLatin1Char('0'));
    }

    QImage draw(std::optional<QRectF> visible = std::nullopt)
    {
        QImage image(static_cast<int>(kWidth) + 40, 400, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(Qt::black);
        layout.drawInContext(painter, visible);
        return image;
    }

    // Whether any pixel of the rectangle is not white.
    static bool inked(const QImage& image, QRect r)
    {
        r = r.intersected(image.rect());
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255))
                    return true;
        return false;
    }

    LayoutManager layout;
    double cell = 0;
};

// 40 tokens of one to thirteen characters in a 320-point box.
Ops fortyTokens()
{
    const std::uint32_t names[] = {0xC2, 0x31, 0x70, 0xAC, 0x11, 0x82, 0x72, 0x3C, 0x32, 0xF4, 0x58, 0x83, 0xBE};
    Ops ops;
    for (int i = 0; i < 40; ++i)
        ops.push_back(names[(i * 7) % std::size(names)]);
    return ops;
}

TEST_F(LayoutManagerTest, FortyTokensWrapBetweenTokensAsDrawn)
{
    const Ops ops = fortyTokens();
    const std::vector<Place> places = expectedPlaces(ops, cell);
    const int lines = places.back().line + 1;
    ASSERT_GE(lines, 3);
    const QRectF laidOut = layout.setOps(ops);
    EXPECT_EQ(layout.numLines(), lines);
    EXPECT_DOUBLE_EQ(layout.height(), lines * kLeading);
    EXPECT_DOUBLE_EQ(laidOut.height(), lines * kLeading);

    for (std::size_t i = 0; i < ops.size(); ++i) {
        const Place& p = places[i];
        const QPointF centre((p.from + p.to) / 2, (p.line + 0.5) * kLeading);
        EXPECT_EQ(layout.touchAt(centre), static_cast<int>(i)) << "token " << i;
    }

    const QImage image = draw();
    // Ink on every line, none below the height.
    for (int line = 0; line < lines; ++line)
        EXPECT_TRUE(inked(image, QRect(0, line * kLeading, kWidth, kLeading))) << "line " << line;
    EXPECT_FALSE(inked(image, QRect(0, lines * kLeading, image.width(), image.height())));
    // Past the last token of each line the line is empty (no token was split there) and
    // touches there answer none.
    for (std::size_t i = 0; i + 1 < ops.size(); ++i) {
        if (places[i + 1].line != places[i].line) {
            EXPECT_FALSE(inked(image, QRect(std::ceil(places[i].to) + 1, places[i].line * kLeading,
                                            image.width(), kLeading)))
                << "after token " << i;
            EXPECT_EQ(layout.touchAt({places[i].to + 0.5, (places[i].line + 0.5) * kLeading}), -1);
        }
    }

    // The cell after the last token answers the op count; past it, outside the bounds and
    // while an overlay shows there is nothing.
    layout.setCursorPosition(static_cast<int>(ops.size()));
    const Place& last = places.back();
    EXPECT_EQ(layout.touchAt({last.to + cell / 2, (last.line + 0.5) * kLeading}), static_cast<int>(ops.size()));
    EXPECT_EQ(layout.touchAt({last.to + cell * 1.5, (last.line + 0.5) * kLeading}), -1);
    EXPECT_EQ(layout.touchAt({-1, 5}), -1);
    EXPECT_EQ(layout.touchAt({kWidth + 1, 5}), -1);
    layout.setOverlayStr("12.5");
    EXPECT_EQ(layout.touchAt({places[0].from + 1, kLeading / 2}), -1);
}

// Drawn for what shows of it, a long line draws the lines that show (and one each side for
// glyphs reaching past theirs), and nothing of the others: its cost is what shows.
TEST_F(LayoutManagerTest, OnlyTheLinesThatShowAreDrawn)
{
    Ops ops = fortyTokens();
    ops.insert(ops.end(), ops.begin(), ops.end());
    layout.setOps(ops);
    const int lines = layout.numLines();
    ASSERT_GE(lines, 6);
    const QImage image = draw(QRectF(0, 2 * kLeading, kWidth, kLeading));
    for (int line = 0; line < lines; ++line)
        EXPECT_EQ(inked(image, QRect(0, line * kLeading + 1, kWidth, kLeading - 2)), line >= 1 && line <= 3)
            << "line " << line;
}

TEST_F(LayoutManagerTest, APrefixComesFirstAndALongTokenBreaksByCharacters)
{
    layout.setPrefixStr("L1=");
    // "LinReg(ax+b) " is 13 characters; at five to a line it takes three lines.
    layout.setBounds(QRectF(0, 0, cell * 5 + 0.5, 1000));
    layout.setOps({0x31, 0xFF});
    EXPECT_EQ(layout.numLines(), 4);
    EXPECT_EQ(layout.touchAt({cell, kLeading / 2}), -1);            // on the prefix
    EXPECT_EQ(layout.touchAt({cell * 3.5, kLeading / 2}), 0);       // "1"
    EXPECT_EQ(layout.touchAt({cell * 4.5, kLeading / 2}), 1);       // "L" on the first line
    EXPECT_EQ(layout.touchAt({cell * 0.5, kLeading * 1.5}), 1);
    EXPECT_EQ(layout.touchAt({cell * 0.5, kLeading * 3.5}), 1);
}

TEST_F(LayoutManagerTest, TheCursorIsABlockAnUnderlineOrNothing)
{
    const Ops ops = {0x31, 0x70, 0x32};
    layout.setCursorPosition(3);
    layout.setOps(ops);
    // The end cell, after three one-character tokens.
    const QRect cellRect(std::ceil(3 * cell) + 1, 0, std::floor(cell) - 2, kLeading);
    const QRect middle(cellRect.left() + 1, 4, cellRect.width() - 2, kLeading - 8);
    const QRect bottom(cellRect.left() + 1, kLeading - 2, cellRect.width() - 2, 2);

    layout.setCursorChar(0);
    EXPECT_FALSE(inked(draw(), cellRect));

    layout.setCursorChar(224);
    const QImage block = draw();
    EXPECT_EQ(block.pixel(middle.center()), qRgb(0, 0, 0));
    EXPECT_EQ(block.pixel(bottom.center()), qRgb(0, 0, 0));

    layout.setInsertMode(true);
    const QImage underline = draw();
    EXPECT_FALSE(inked(underline, middle));
    EXPECT_EQ(underline.pixel(bottom.center()), qRgb(0, 0, 0));

    // No cursor while an overlay shows.
    layout.setInsertMode(false);
    layout.setOverlayStr("7");
    EXPECT_FALSE(inked(draw(), QRect(std::ceil(cell) + 1, 0, 3 * cell, kLeading)));
}

} // namespace
} // namespace orvenda
