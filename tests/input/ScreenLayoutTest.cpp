// Controls a phone shows whole and lined up: the DRAW menu's four tabs on the menu's bar,
// and the mode screen's rows of segments in one column; segment titles drawn as written.

#include "InputTestSupport.h"

#include "input/ModeScreen.h"
#include "input/SegmentedControl.h"

#include <QHash>
#include <QImage>
#include <QTabBar>

#include <algorithm>
#include <cstdlib>

namespace orvenda::test {
namespace {

constexpr int kDrawMenu = 16;

TEST_F(MenuTest, EveryTabOfTheDrawMenuIsWholeOnAPhone)
{
    menu->resize(390, 700);
    menu->show();
    menu->showMenu(kDrawMenu);
    QCoreApplication::processEvents();
    QTabBar* tabs = nullptr;
    for (QTabBar* bar : menu->findChildren<QTabBar*>())
        if (bar->isVisible() && bar->count() == 4)
            tabs = bar;
    ASSERT_TRUE(tabs);
    EXPECT_EQ(menu->tabTitles(), (QStringList{"DRAW", "POINTS", "STO", "BACKGROUND"}));
    const QRect bar = tabs->parentWidget()->rect();
    for (int i = 0; i < tabs->count(); ++i) {
        const QRect tab(tabs->mapTo(tabs->parentWidget(), tabs->tabRect(i).topLeft()), tabs->tabRect(i).size());
        EXPECT_TRUE(tabs->rect().contains(tabs->tabRect(i))) << tabs->tabText(i).toStdString() << " inside the tabs";
        EXPECT_TRUE(bar.contains(tab)) << tabs->tabText(i).toStdString() << " inside the bar";
        EXPECT_GE(tabs->tabRect(i).width(), tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)))
            << tabs->tabText(i).toStdString() << " not cut";
    }
    // No scroll arrows: the tabs need no more than their bar gives them.
    EXPECT_LE(tabs->sizeHint().width(), tabs->width());
    EXPECT_GE(tabs->font().pointSizeF(), 8);
}

TEST_F(ScreensTest, TheModeScreensSegmentsStartInOneColumn)
{
    ModeScreen mode(calc, shell);
    mode.resize(390, 700);
    mode.show();
    mode.updateDisplay();
    QCoreApplication::processEvents();
    std::vector<int> starts;
    // SegmentedControl has no meta-object of its own: found among the widgets.
    for (const QWidget* widget : mode.findChildren<QWidget*>())
        if (const auto* control = dynamic_cast<const SegmentedControl*>(widget); control && control->isVisible())
            starts.push_back(control->mapTo(&mode, QPoint(0, 0)).x());
    ASSERT_GE(starts.size(), 10u);
    for (const int x : starts)
        EXPECT_EQ(x, starts.front()) << "every row's segments at one x";
}

// The horizontal extent of what is drawn in a segment: pixels far from its background.
int inkWidth(const QImage& image, QRect area)
{
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb back = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            back = it.key();
        }
    // The text's pixels, away from the frame's edges.
    int left = area.right(), right = area.left();
    for (int y = area.top() + 3; y <= area.bottom() - 3; ++y)
        for (int x = area.left() + 3; x <= area.right() - 3; ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::abs(qGray(p) - qGray(back)) > 80) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    return right >= left ? right - left + 1 : 0;
}

// A segment's title is text: an "&" is drawn as itself, not taken as a shortcut mark
// that hides it and underlines the next letter.
TEST(SegmentTitles, AnAmpersandIsDrawnAsText)
{
    SegmentedControl control({QStringLiteral("Pt&Line"), QStringLiteral("PtLine")});
    control.resize(360, 36);
    control.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(control.title(0), "Pt&Line");
    control.setTitle(1, QStringLiteral("PtLine"));
    const QImage picture = control.grab().toImage();
    const double dpr = picture.devicePixelRatio();
    const QFontMetrics metrics(control.font());
    const int amp = metrics.horizontalAdvance(QLatin1Char('&'));
    ASSERT_GT(amp, 2);
    const int half = picture.width() / 2;
    const int with = inkWidth(picture, QRect(0, 0, half, picture.height()));
    const int without = inkWidth(picture, QRect(half, 0, picture.width() - half, picture.height()));
    ASSERT_GT(without, 0);
    EXPECT_GE(with - without, int(amp * dpr / 2)) << with << " " << without;
    control.setTitle(1, QStringLiteral("\u03B2 & \u03C1\u22600"));
    EXPECT_EQ(control.title(1), QStringLiteral("\u03B2 & \u03C1\u22600"));
}

} // namespace
} // namespace orvenda::test
