// The screen router: one controller per screen, focus to the one in front, the menu rules
// and what the menus' picks do.

#include "ScreenTestSupport.h"

#include "app/PlaceholderScreen.h"

#include <QThread>

namespace orvenda::test {
namespace {

TEST_F(ScreensTest, EachScreenHasOneControllerInFrontWithTheFocus)
{
    const std::vector<int> numbers = {1, 2, 3, 4, 5, 6, 7, 9, 10, 12, 14, 17, 19, 20, 21, 22, 23, 0, 1};
    std::map<int, ScreenController*> seen;
    for (int n : numbers) {
        router().showScreen(n);
        ASSERT_EQ(calc.currentScreen(), n);
        const int id = n == 0 ? screens::ClassicHome : n;
        ScreenController* c = router().controller(id);
        ASSERT_TRUE(c) << n;
        if (seen.count(id)) {
            EXPECT_EQ(seen[id], c) << n;
        }
        seen[id] = c;
        for (const auto& [other, screen] : seen) {
            EXPECT_EQ(screen->isVisible(), other == id) << n << " shows " << other;
            EXPECT_EQ(screen->listening(), other == id) << n << " listens " << other;
        }
    }
}

TEST_F(ScreensTest, BringingNothingForwardKeepsTheScreenInFront)
{
    router().showScreen(screens::Table);
    router().bringControllerToFront(nullptr);
    EXPECT_TRUE(router().controller(screens::Table)->isVisible());
}

TEST_F(ScreensTest, MenusOverTheEditorsAndInTestMode)
{
    struct Case {
        int screen;
        int menu;
        bool testMode;
        bool opens;
        int screenAfter;
    };
    const std::vector<Case> cases = {
        {screens::YEq, 6, false, true, screens::Home},     {screens::YEq, 0, false, true, screens::YEq},
        {screens::ListEditor, 30, false, true, screens::Home}, {screens::ListEditor, 27, false, true, screens::ListEditor},
        {screens::Home, 6, true, false, screens::Home},    {screens::Home, 15, true, false, screens::Home},
        {screens::Home, 14, true, true, screens::Home},
    };
    for (const Case& c : cases) {
        router().showScreen(c.screen);
        calc.testMode = c.testMode ? 1 : 0;
        router().showMenu(c.menu);
        const auto* menu = dynamic_cast<const PlaceholderScreen*>(router().controller(screens::Menu));
        const bool opened = menu && menu->isVisible() && menu->lastRequest().number == c.menu;
        EXPECT_EQ(opened, c.opens) << c.screen << " menu " << c.menu;
        EXPECT_EQ(calc.currentScreen(), c.screenAfter) << c.screen << " menu " << c.menu;
        EXPECT_EQ(router().shouldShowGraphView(), !opened);
        router().overlayDone();
    }
}

TEST_F(ScreensTest, AProgramAskingForAListBeforeAnyMenuGetsTheListsMenu)
{
    calc.notificationCenter().post(VQGetList);
    const auto* menu = dynamic_cast<const PlaceholderScreen*>(router().controller(screens::Menu));
    ASSERT_TRUE(menu);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->lastRequest().number, 4);
}

TEST_F(ScreensTest, PickedAppLauncherOpensItsScreenWithoutTypingIt)
{
    Posted posted(calc.notificationCenter(), {VQMenuOp, VQSolve});
    nlohmann::json info;
    calc.notificationCenter().addObserver(this, VQMenuOp, [&info](const Notification& n) { info = n.userInfo; });
    router().didPickOp(4119);
    calc.notificationCenter().removeObserver(this);
    EXPECT_EQ(posted.names(), std::vector<std::string>{"VQMenuOp"});
    EXPECT_EQ(info, nlohmann::json({{"menuOp", 4119}}));
    EXPECT_EQ(calc.currentScreen(), screens::Solver);
    EXPECT_EQ(entry->text(), "");
}

TEST_F(ScreensTest, PicksTypeIntoTheEntryLine)
{
    router().recallGDB("GDB1");
    EXPECT_EQ(entry->entryOps(), (EntryModel::Ops{155, 0x2A, 0x47, 0x44, 0x42, 0x31, 0x2A}));
    entry->clear();
    router().executeProgram("AB");
    // The program name follows its marker, as the entry line shows it.
    EXPECT_EQ(entry->text(), "prgm»AB");
    EXPECT_EQ(calc.lastPrgmName, "AB");
}

TEST_F(ScreensTest, LayoutOfDisplayAndKeyboard)
{
    const ScreenRouter::Frames tablet = ScreenRouter::layoutFrames(QSizeF(1024, 768), true);
    EXPECT_NEAR(tablet.keyboard.height(), 537.6, 0.05);
    EXPECT_NEAR(tablet.display.height(), 230.4, 0.05);
    EXPECT_NEAR(tablet.keyboard.bottom(), 768, 1e-9);
    const ScreenRouter::Frames phone = ScreenRouter::layoutFrames(QSizeF(390, 820), false);
    EXPECT_NEAR(phone.display.height(), 310.6, 0.05);
    EXPECT_NEAR(phone.keyboard.height(), 509.4, 0.05);
    EXPECT_NEAR(phone.keyboard.top(), phone.display.height(), 1e-9);
    // Too short for a full-width keyboard: it shrinks, centred, and stays whole.
    const ScreenRouter::Frames shortPhone = ScreenRouter::layoutFrames(QSizeF(400, 576), false);
    EXPECT_NEAR(shortPhone.keyboard.bottom(), 576, 1e-9);
    EXPECT_NEAR(shortPhone.keyboard.width() / shortPhone.keyboard.height(), 390 / 509.4, 1e-3);
    EXPECT_NEAR(shortPhone.keyboard.left() + shortPhone.keyboard.right(), 400, 1e-9);
    EXPECT_NEAR(shortPhone.keyboard.top(), shortPhone.display.bottom(), 1e-9);
    // On its side the phone keeps its upright layout at the window's height, in a column
    // centred across the window, never narrower than the narrowest phone; a window tall
    // enough draws it as the upright phone scaled.
    for (const QSizeF size : {QSizeF(844, 366), QSizeF(1600, 900)}) {
        const ScreenRouter::Frames side = ScreenRouter::layoutFrames(size, false);
        const double column = std::max(320.0, size.height() * 390 / 820);
        EXPECT_NEAR(side.display.width(), column, 1e-9) << size.width();
        EXPECT_NEAR(side.display.left() + side.display.right(), size.width(), 1e-9) << size.width();
        EXPECT_NEAR(side.keyboard.left() + side.keyboard.right(), size.width(), 1e-9) << size.width();
        EXPECT_NEAR(side.keyboard.bottom(), size.height(), 1e-9) << size.width();
        EXPECT_NEAR(side.keyboard.top(), side.display.bottom(), 1e-9) << size.width();
        const ScreenRouter::Frames upright = ScreenRouter::layoutFrames(QSizeF(column, size.height()), false);
        EXPECT_EQ(side.keyboard.size(), upright.keyboard.size()) << size.width();
        EXPECT_EQ(side.display.size(), upright.display.size()) << size.width();
    }
    const ScreenRouter::Frames tall = ScreenRouter::layoutFrames(QSizeF(1600, 900), false);
    EXPECT_NEAR(tall.keyboard.width(), 900 * 390.0 / 820, 1e-9);
    EXPECT_NEAR(tall.keyboard.height() / phone.keyboard.height(), 900 / 820.0, 1e-9);
    EXPECT_NEAR(tall.display.height() / phone.display.height(), 900 / 820.0, 1e-9);
}

// ---- Focus ----

class Listener : public ScreenController {
public:
    Listener(Calculator& calc, int& heard) : ScreenController(calc), heard_(heard) {}

protected:
    void subscribe() override
    {
        observe(VQBlinkCursor, [this](const Notification&) { ++heard_; });
    }

private:
    int& heard_;
};

TEST_F(ScreensTest, AScreenHearsTheBusOnlyWhileItHasTheFocus)
{
    int heard = 0;
    auto screen = std::make_unique<Listener>(calc, heard);
    NotificationCenter& bus = calc.notificationCenter();
    screen->focus(true);
    screen->focus(true);
    bus.post(VQBlinkCursor);
    EXPECT_EQ(heard, 1);

    // A post from another thread arrives on the main thread, unless the focus went first.
    QThread* poster = QThread::create([&bus] { bus.post(VQBlinkCursor); });
    poster->start();
    poster->wait();
    delete poster;
    screen->focus(false);
    QCoreApplication::processEvents();
    bus.post(VQBlinkCursor);
    EXPECT_EQ(heard, 1);

    screen->focus(true);
    screen.reset();
    bus.post(VQBlinkCursor);
    EXPECT_EQ(heard, 1);
}

} // namespace
} // namespace orvenda::test
