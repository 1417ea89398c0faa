// The status line's texts and colours and the LCD background's cached image.

#include "ScreenTestSupport.h"

#include "app/LcdView.h"
#include "app/StatusLine.h"

#include <QImage>
#include <QPainter>

namespace orvenda::test {
namespace {

TEST_F(ScreensTest, StatusLineTextsFollowTheModes)
{
    struct Case {
        int angle, complex, fraction, answer, base, digits;
        QString left, right;
    };
    const std::vector<Case> cases = {
        {0, 0, 1, 0, 0, 3, "∠°   Real   n/d", "AUTO  fix3  "},
        {1, 1, 4, 1, 0, -1, "∠r   a+bi   Un/d", "DEC  float  "},
        {0, 2, 1, 2, 2, 3, "∠°   re^θi   n/d", "FRAC  HEX  "},
        {0, 0, 1, 3, 1, -1, "∠°   Real   n/d", "SigFig  BINARY  "},
    };
    for (const Case& c : cases) {
        calc.setAngleFormat(c.angle);
        calc.setRealCplxMode(c.complex);
        calc.locked()->fractionFormat = c.fraction;
        calc.locked()->answerFormat = c.answer;
        calc.locked()->numBase = c.base;
        calc.locked()->numDigits = c.digits;
        EXPECT_EQ(StatusLine::leftText(calc), c.left);
        EXPECT_EQ(StatusLine::rightText(calc), c.right);
    }
}

TEST_F(ScreensTest, StatusLineIsBlackOnlyOnTheGraph)
{
    EXPECT_EQ(root->statusLine().background(), QColor::fromRgbF(0.28f, 0.28f, 0.28f));
    calc.setCurrentScreen(screens::Graph);
    EXPECT_EQ(root->statusLine().background(), QColor(Qt::black));
}

QImage paint(QWidget& view, const QRegion& region)
{
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    view.render(&image, QPoint(), region);
    return image;
}

TEST_F(ScreensTest, LcdBackgroundIsMadeForTheWholeViewWhateverIsPainted)
{
    LcdView partlyFirst(calc);
    LcdView whole(calc);
    partlyFirst.resize(120, 80);
    whole.resize(120, 80);
    paint(partlyFirst, QRegion(0, 0, 10, 10));
    EXPECT_EQ(paint(partlyFirst, QRegion(partlyFirst.rect())), paint(whole, QRegion(whole.rect())));
}

TEST_F(ScreensTest, LcdBackgroundIsRemadeOnlyWhenItsColourChanges)
{
    LcdView view(calc);
    view.resize(60, 40);
    paint(view, QRegion(view.rect()));
    const qint64 first = view.image().cacheKey();
    paint(view, QRegion(view.rect()));
    EXPECT_EQ(view.image().cacheKey(), first);
    calc.lcdColorSet = (calc.lcdColorSet + 1) % 6;
    paint(view, QRegion(view.rect()));
    EXPECT_NE(view.image().cacheKey(), first);
}

} // namespace
} // namespace orvenda::test
