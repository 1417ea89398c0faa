#include "input/SharedTabBar.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace orvenda {
namespace {

struct TabBar : SharedTabBar {
    using SharedTabBar::tabSizeHint;
};

// Short of room, only the longest tabs come down to one width, and together the tabs fit
// it; given room again every tab takes its own width, its text whole.
TEST(SharedTabBar, OnlyTheLongestTabsGiveUpTheirWidth)
{
    TabBar bar;
    for (const QString& title : QStringList{"DRAW", "POINTS", "STO", "BACKGROUND"})
        bar.addTab(title);
    bar.setRoom(0);
    QList<int> own;
    int total = 0;
    for (int i = 0; i < bar.count(); ++i) {
        own << bar.tabSizeHint(i).width();
        total += own.back();
    }
    const int room = total - own[3] / 2;
    bar.setRoom(room);
    int shared = 0;
    for (int i = 0; i < bar.count(); ++i)
        shared += bar.tabSizeHint(i).width();
    EXPECT_LE(shared, room);
    EXPECT_EQ(bar.tabSizeHint(0).width(), own[0]);
    EXPECT_EQ(bar.tabSizeHint(2).width(), own[2]);
    EXPECT_LT(bar.tabSizeHint(3).width(), own[3]);
    EXPECT_EQ(bar.elideMode(), Qt::ElideRight);

    bar.setRoom(total);
    for (int i = 0; i < bar.count(); ++i)
        EXPECT_EQ(bar.tabSizeHint(i).width(), own[i]) << i;
    EXPECT_EQ(bar.elideMode(), Qt::ElideNone);
}

} // namespace
} // namespace orvenda
