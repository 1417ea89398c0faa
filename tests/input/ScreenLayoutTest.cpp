// Controls a phone shows whole and lined up: the DRAW menu's four tabs on the menu's bar,
// and the mode screen's rows of segments in one column.

#include "InputTestSupport.h"

#include "input/ModeScreen.h"
#include "input/SegmentedControl.h"

#include <QTabBar>

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

} // namespace
} // namespace orvenda::test
