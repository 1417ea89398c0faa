// The menus' actions: MEM's about page and its two RESET questions, and the user menus'
// form that keeps the entry line as an item.

#include "InputTestSupport.h"

#include "input/AboutPage.h"
#include "input/AddUserFnDialog.h"

#include <QImage>
#include <QLineEdit>
#include <QPushButton>

namespace orvenda::test {
namespace {

constexpr int kMemMenu = 29;
constexpr int kResetMenu = 30;
constexpr std::uint32_t kSin = 0xC2, kX = 0x58, kClose = 0x11;

class MenuActions : public MenuTest {
protected:
    MenuActions()
    {
        menu->ask = [this](AlertQueue::Alert alert) { asked = std::move(alert); };
        menu->show();
    }
    void answer(const QString& caption)
    {
        ASSERT_TRUE(asked);
        for (auto& [title, action] : asked->buttons)
            if (title == caption && action)
                action();
    }
    std::vector<QString> captions() const
    {
        std::vector<QString> out;
        for (const auto& [title, action] : asked->buttons)
            out.push_back(title);
        return out;
    }

    std::optional<AlertQueue::Alert> asked;
};

TEST_F(MenuActions, AboutShowsTheVersionUntilDoneOrEscape)
{
    menu->showMenu(kMemMenu);
    menu->pickRow({0, 0});
    ASSERT_TRUE(menu->aboutShown());
    ASSERT_TRUE(menu->aboutPage());
    EXPECT_TRUE(menu->aboutPage()->isVisible());
    EXPECT_EQ(menu->aboutPage()->versionText(), QStringLiteral("version %1").arg(QString::fromStdString(calc.versionString())));
    EXPECT_TRUE(menu->isVisible()) << "the menu stays under the page";
    {
        // The name and the version read on the page's background.
        const QImage page = const_cast<AboutPage*>(menu->aboutPage())->grab().toImage();
        const QRgb background = page.pixel(2, 2);
        const int doneTop = menu->aboutPage()->doneButton().geometry().top() * page.devicePixelRatio();
        int ink = 0;
        for (int y = 0; y < doneTop; ++y)
            for (int x = 0; x < page.width(); ++x)
                ink += qGray(page.pixel(x, y)) / 64 != qGray(background) / 64;
        EXPECT_GT(ink, 200);
    }
    hardware(Qt::Key_Escape);
    EXPECT_FALSE(menu->aboutShown());
    EXPECT_TRUE(menu->isVisible()) << "Escape leaves the page first";
    menu->showAbout();
    const_cast<QPushButton&>(menu->aboutPage()->doneButton()).click();
    EXPECT_FALSE(menu->aboutPage()->isVisible());
    EXPECT_TRUE(picks.got.empty());
}

TEST_F(MenuActions, TheAboutPagesSupportButtonsAreForwardedAndCloseTheMenu)
{
    const char* expected[] = {"question", "bug", "review"};
    for (int action = 0; action < 3; ++action) {
        menu->show();
        menu->showMenu(kMemMenu);
        menu->pickRow({0, 0});
        ASSERT_TRUE(menu->aboutShown());
        QPushButton& button = menu->aboutPage()->supportButton(action);
        EXPECT_TRUE(button.isVisible());
        picks.got.clear();
        button.click();
        ASSERT_FALSE(picks.got.empty()) << action;
        EXPECT_EQ(picks.got.front(), expected[action]);
        EXPECT_FALSE(menu->aboutShown());
    }
}

TEST_F(MenuActions, ClearAllMemoryAsksOkBeforeCancelAndCancelChangesNothing)
{
    calc.setVar(0, {{3.5, 1}, 2, -1});
    calc.keyboardColorSet = 3;
    menu->showMenu(kResetMenu);
    menu->pickRow({0, 0});
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->title, "Clear All Memory");
    EXPECT_EQ(asked->message, "All lists, matrices, strings, y= equations will be cleared and the calculator will be "
                              "returned to default settings. Do you want to proceed?");
    EXPECT_EQ(captions(), (std::vector<QString>{"OK", "Cancel"}));
    EXPECT_EQ(asked->escape, 1u) << "Escape answers Cancel";
    answer("Cancel");
    EXPECT_EQ(calc.getVar(0).value.real(), 3.5);
    EXPECT_TRUE(menu->isVisible()) << "Cancel leaves the menu open";
    EXPECT_TRUE(picks.got.empty());
    answer("OK");
    EXPECT_EQ(calc.getVar(0).value.real(), 0);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(picks.last(), "cancel");
}

TEST_F(MenuActions, SetDefaultsAsksAndRestoresTheModes)
{
    calc.locked()->numFormat = 2;
    menu->showMenu(kResetMenu);
    menu->pickRow({0, 1});
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->title, "Set Defaults");
    EXPECT_EQ(asked->message,
        "Calculator MODES and graphing will be returned to default settings. Do you want to proceed?");
    EXPECT_EQ(captions(), (std::vector<QString>{"OK", "Cancel"}));
    answer("Cancel");
    EXPECT_EQ(calc.settings().numFormat, 2);
    answer("OK");
    EXPECT_EQ(calc.settings().numFormat, 0);
    EXPECT_EQ(picks.last(), "cancel");
}

TEST_F(MenuActions, TheUserFunctionFormSavesAnEntryNamedOrNotAndKeepsTheLineShownBefore)
{
    // An empty entry line has nothing to add: + is off (the program library's is on) and
    // neither it nor the "+" key opens the form.
    menu->showMenu(6);
    EXPECT_TRUE(menu->addButton().isEnabled());
    menu->showMenu(MenuTables::kUserMenu);
    menu->selectTab(1);
    EXPECT_TRUE(menu->addButton().isVisibleTo(menu.get()));
    EXPECT_FALSE(menu->addButton().isEnabled());
    menu->openUserFnForm();
    QKeyEvent plus(QEvent::KeyPress, Qt::Key_Plus, Qt::NoModifier, QStringLiteral("+"));
    QApplication::sendEvent(menu.get(), &plus);
    EXPECT_FALSE(menu->userFnForm());

    entry->setOps({kSin, kX, kClose});
    menu->showMenu(MenuTables::kUserMenu);
    menu->selectTab(1);
    EXPECT_TRUE(menu->addButton().isEnabled());
    menu->openUserFnForm();
    AddUserFnDialog* form = menu->userFnForm();
    ASSERT_TRUE(form);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    EXPECT_EQ(form->entryText(), "sin(X)");
    EXPECT_EQ(form->nameField().text(), "") << "the name starts empty";
    EXPECT_TRUE(form->saveEnabled()) << "a name is optional";
    form->nameField().setText(" wave ");
    EXPECT_TRUE(form->saveEnabled());
    QApplication::sendEvent(&form->nameField(), &enter);
    EXPECT_EQ(calc.userOps2, (std::vector<Ops>{{kSin, kX, kClose}}));
    EXPECT_EQ(calc.userNames2, (std::vector<std::string>{"wave"}));
    EXPECT_EQ(entry->entryOps(), (Ops{kSin, kX, kClose})) << "the entry line stays";
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(menu->sections()[0].rows[0].title, "sin(X)");

    // Without a name (or a blank one) the item is kept nameless and its row shows the entry.
    menu->openUserFnForm();
    form->nameField().setText("   ");
    ASSERT_TRUE(form->saveEnabled());
    form->save();
    EXPECT_EQ(calc.userOps2.size(), 2u);
    EXPECT_EQ(calc.userNames2, (std::vector<std::string>{"wave", ""}));
    ASSERT_EQ(rows(), 2);
    EXPECT_EQ(menu->sections()[0].rows[1].title, "sin(X)");
    EXPECT_EQ(menu->sections()[0].rows[1].detail, "");

    menu->deleteRow({0, 1});

    // A pick pastes the item; a deletion removes it.
    menu->pickRow({0, 0});
    EXPECT_EQ(picks.last(), "paste 3");
    menu->showMenu(MenuTables::kUserMenu);
    menu->selectTab(1);
    EXPECT_TRUE(menu->canDelete({0, 0}));
    EXPECT_TRUE(menu->deleteRow({0, 0}));
    EXPECT_TRUE(calc.userOps2.empty());
    EXPECT_TRUE(calc.userNames2.empty());
    EXPECT_EQ(rows(), 0);
}

// The (i) of a named user-menu row pushes the help page of its name over the list, as
// every menu's (i) does; Back brings the list back. A row without a name has no (i).
TEST_F(MenuActions, AUserItemsDetailMarkOpensItsHelpPage)
{
    calc.userOps1 = {{kSin, kX, kClose}, {kX}};
    calc.userNames1 = {"wave", ""};
    menu->showMenu(MenuTables::kUserMenu);
    menu->openHelp({0, 1});
    EXPECT_FALSE(menu->helpShown());
    menu->openHelp({0, 0});
    ASSERT_TRUE(menu->helpShown());
    EXPECT_EQ(menu->help().functionName(), "wave");
    EXPECT_TRUE(menu->help().isVisible());
    EXPECT_FALSE(menu->cancelButton().isVisible()) << "Back takes Cancel's place";
    menu->popHelp();
    EXPECT_FALSE(menu->helpShown());
    EXPECT_TRUE(picks.got.empty()) << "nothing was pasted";
}

} // namespace
} // namespace orvenda::test
