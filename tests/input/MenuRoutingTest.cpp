// The menu in the window: opened by the router, its picks handed to the router and on to
// the entry line or the screen they open; the menus test mode keeps closed.

#include "InputTestSupport.h"

#include "app/PlaceholderScreen.h"
#include "input/MenuRouterLink.h"

namespace orvenda::test {
namespace {

class MenuRoutingTest : public ScreensTest {
protected:
    MenuRoutingTest()
    {
        root->screens().set(screens::Menu, [this](QWidget* parent) {
            auto* menu = new MenuScreen(calc, shell, parent);
            menu->setDelegate(std::make_unique<MenuRouterLink>(router()));
            return menu;
        });
    }
    MenuScreen* menu() const { return dynamic_cast<MenuScreen*>(root->router().controller(screens::Menu)); }

    QTemporaryDir folder;
};

TEST_F(MenuRoutingTest, PicksReachTheEntryLineAndTheScreens)
{
    router().showHome();
    router().showMenu(0);
    ASSERT_TRUE(menu() && menu()->isVisible());
    menu()->processKeyOp('A');
    EXPECT_EQ(entry->entryOps(), (Calculator::Ops{0xEF34}));
    EXPECT_FALSE(menu()->isVisible());

    // Cancelling brings the screen back.
    router().showMenu(1);
    menu()->cancel();
    EXPECT_FALSE(menu()->isVisible());
    EXPECT_TRUE(router().controller(screens::ClassicHome)->isVisible());

    router().showMenu(8);
    menu()->selectTab(1);
    menu()->processKeyOp('3');
    const auto* tests = dynamic_cast<const PlaceholderScreen*>(root->fullScreen(screens::StatTests));
    ASSERT_TRUE(tests);
    EXPECT_EQ(tests->lastRequest().number, 0x5C50);
}

TEST_F(MenuRoutingTest, TheFractionTemplateFromTheMathPrintMenus)
{
    calc.locked()->mathPrint = true;
    router().showHome();
    router().showMenu(0);
    menu()->selectTab(1);
    menu()->processKeyOp('D');
    // The template: its two boxes around the fraction bar.
    const Calculator::Ops& ops = entry->entryOps();
    ASSERT_EQ(ops.size(), 5u);
    EXPECT_EQ(ops[2] & 0xFFFF, 0xEF38u);
}

TEST_F(MenuRoutingTest, TestModeKeepsTheProgramAppsAndUserMenusClosed)
{
    calc.testMode = 1;
    for (const int id : {6, 15, 36}) {
        router().showMenu(id);
        EXPECT_TRUE(!menu() || !menu()->isVisible()) << id;
    }
    router().showMenu(14);
    EXPECT_TRUE(menu()->isVisible());
}

} // namespace
} // namespace orvenda::test
