// The menu overlay: the menus' tabs and rows, what each kind of row hands back, the
// calculator keypad and the computer's keys, drilling into and out of the variable menus.

#include "InputTestSupport.h"

#include "WidgetEvents.h"
#include "drawing/BackgroundPicture.h"
#include "input/MenuTables.h"

#include "PictureChecks.h"
#include "PictureFiles.h"

#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>

namespace orvenda::test {
namespace {

TEST_F(MenuTest, TabsAndRowCounts)
{
    struct Case {
        int menu;
        QStringList tabs;
        std::vector<int> rows;
    };
    const std::vector<Case> cases = {
        {0, {"MATH", "NUM", "CPX", "PRB"}, {17, 25, 7, 8}},
        {1, {"TEST", "LOGIC"}, {6, 8}},
        {3, {"DISTR", "DRAW"}, {20, 4}},
        {7, {"VARS", "Y-VARS", "ABC", "Color"}, {5, 41, 28, 15}},
        {8, {"EDIT", "CALC", "TESTS"}, {5, 14, 18}},
        {10, {"XY", "∑", "EQ", "TEST", "PTS"}, {11, 5, 9, 25, 9}},
        {13, {"CALC", "VARS"}, {16, 8}},
        {16, {"DRAW", "POINTS", "STO", "BACKGROUND"}, {11, 7, 3, 2}},
        {5, {"NAMES", "MATH", "EDIT"}, {10, 16, 10}},
        {31, {}, {4}},
    };
    for (const Case& c : cases) {
        menu->showMenu(c.menu);
        EXPECT_EQ(menu->tabTitles(), c.tabs) << c.menu;
        for (std::size_t tab = 0; tab < c.rows.size(); ++tab) {
            menu->selectTab(static_cast<int>(tab));
            EXPECT_EQ(rows(), c.rows[tab]) << c.menu << " tab " << tab;
        }
    }
}

TEST_F(MenuTest, KeysPickWhatATouchOnTheRowPicks)
{
    constexpr std::uint32_t kEnter = 1065;
    struct Case {
        int menu;
        int tab;
        std::uint32_t keyOp;
        std::string picked;
    };
    const std::vector<Case> cases = {
        {0, 0, '0', "op EF33"},   {0, 0, 'A', "op EF34"},   {0, 1, 'D', "op EF38"},   {3, 0, 'H', "op EF92"},
        {3, 0, 'I', "op EF93"},   {3, 0, 'J', "op EF94"},   {8, 1, '3', "test 5C50"}, {8, 1, '1', "op F2"},
        {8, 2, 'H', "op BB59"},   {8, 2, '1', "test 5C26"}, {7, 2, 'R', "op BBAA"},   {18, 0, 'A', "op 5C3C"},
        {18, 0, '1', "geometry 5C59"}, {14, 0, '1', "periodic"}, {14, 0, '2', "op 1019"}, {35, 0, '1', "poly"},
        {35, 0, '2', "simul"},    {29, 0, '2', "op BB57"},  {5, 2, '3', "matrix 2 edit"}, {5, 0, '3', "matrix 2"},
        // Past the end of the list a key picks nothing; ENTER with no selection the first row.
        {0, 2, '9', ""},          {0, 0, 'H', ""},          {2, 0, kEnter, "op B"},
    };
    for (const Case& c : cases) {
        picks.got.clear();
        menu->showMenu(c.menu);
        menu->selectTab(c.tab);
        menu->processKeyOp(c.keyOp);
        EXPECT_EQ(picks.last(), c.picked) << c.menu << "/" << c.tab << " key " << c.keyOp;
        EXPECT_EQ(menu->isVisible(), c.picked.empty()) << c.menu << "/" << c.tab;
    }
}

TEST_F(MenuTest, TheComputersKeysPickTheRowsOfTheirLabels)
{
    struct Case {
        int menu;
        int tab;
        QString key;
        std::string picked;
    };
    // "J" is the twentieth row; in a list of 17 it picks the last row, as 7 does in a list
    // of 6.
    const std::vector<Case> cases = {
        {0, 1, "j", "op BBFB"}, {0, 0, "j", "op 5C63"}, {0, 0, "0", "op EF33"}, {1, 0, "6", "op 6D"}, {1, 0, "7", "op 6D"},
    };
    for (const Case& c : cases) {
        picks.got.clear();
        menu->showMenu(c.menu);
        menu->selectTab(c.tab);
        hardware(c.key.at(0).isDigit() ? Qt::Key_0 + c.key.toInt() : Qt::Key_A + (c.key.at(0).unicode() - 'a'), c.key);
        EXPECT_EQ(picks.last(), c.picked) << c.menu << "/" << c.tab << " " << c.key.toStdString();
    }
    // Return with no selection picks the first row, with one the selected row.
    menu->showMenu(1);
    hardware(Qt::Key_Return);
    EXPECT_EQ(picks.last(), "op 6A");
    menu->showMenu(1);
    hardware(Qt::Key_Down);
    hardware(Qt::Key_Down);
    hardware(Qt::Key_Return);
    EXPECT_EQ(picks.last(), "op 6F");
}

TEST_F(MenuTest, RowTextsAndKeyLabels)
{
    menu->showMenu(0);
    menu->selectTab(1);
    const auto& num = menu->sections().front().rows;
    EXPECT_EQ(num[13].title, "n/d");
    EXPECT_EQ(num[13].detail, "n/d");
    EXPECT_EQ(num[13].key, "D");
    EXPECT_EQ(num[12].title, "Un/d");

    menu->showMenu(7);
    menu->selectTab(1);
    const auto& yVars = menu->sections().front().rows;
    ASSERT_EQ(yVars.size(), 41u);
    EXPECT_EQ(yVars[35].key, "Z");
    EXPECT_EQ(yVars[35].token, 0x5EA4u);
    for (std::size_t row = 36; row < 41; ++row)
        EXPECT_TRUE(yVars[row].key.isEmpty()) << row;
    // Keys reach no further than "Z".
    menu->processKeyOp('Z');
    EXPECT_EQ(picks.last(), "op 5EA4");

    menu->showMenu(7);
    menu->selectTab(3);
    const auto& colours = menu->sections().front().rows;
    EXPECT_EQ(colours[9].fill, QColor(Qt::yellow));
    EXPECT_EQ(colours[9].ink, QColor(Qt::black));
    EXPECT_EQ(colours[7].fill, QColor::fromRgbF(0, 0, 0.667));
}

TEST_F(MenuTest, VariableMenusGoBackToVarsBeforeClosing)
{
    menu->show();
    for (const auto& [row, opened] : std::vector<std::pair<int, int>>{{0, 9}, {1, 34}, {2, 10}, {3, 11}, {4, 12}}) {
        menu->showMenu(7);
        menu->pickRow({0, row});
        EXPECT_EQ(menu->currentMenu(), opened);
        EXPECT_TRUE(menu->isVisible());
    }
    menu->showMenu(7);
    menu->pickRow({0, 0});
    hardware(Qt::Key_Escape);
    EXPECT_EQ(menu->currentMenu(), 7);
    EXPECT_TRUE(picks.got.empty());
    hardware(Qt::Key_Escape);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(picks.got, std::vector<std::string>{"cancel"});
}

// MATH, TEST, ANGLE, DISTR, LIST, MATRIX, PRGM, VARS, STAT, APPS, DRAW and MEM close with
// a click on their Cancel button, at phone and tablet sizes; the variable menus go back to
// VARS first.
TEST_F(MenuTest, EveryMenuClosesWithAClickOnItsCancelButton)
{
    for (const QSize size : {QSize(390, 700), QSize(768, 900)}) {
        menu->resize(size);
        for (const int id : {0, 1, 2, 3, 4, 5, 6, 7, 8, 15, 16, 29}) {
            picks.got.clear();
            menu->showMenu(id);
            menu->show();
            const QPushButton& cancel = menu->cancelButton();
            ASSERT_TRUE(cancel.isVisible()) << id;
            EXPECT_TRUE(menu->rect().contains(cancel.geometry().translated(cancel.parentWidget()->pos()))) << id;
            clickAt(*menu, centreIn(*menu, cancel));
            EXPECT_FALSE(menu->isVisible()) << id;
            EXPECT_EQ(picks.got, std::vector<std::string>{"cancel"}) << id;
        }
        menu->showMenu(7);
        menu->show();
        menu->pickRow({0, 0});
        clickAt(*menu, centreIn(*menu, menu->cancelButton()));
        EXPECT_TRUE(menu->isVisible());
        EXPECT_EQ(menu->currentMenu(), 7);
    }
}

// The program library's filters (A–Z, Tags; All, User and the sample programs) read on the
// bar's colour, selected or not.
TEST_F(MenuTest, TheProgramLibrarysFiltersReadOnTheirBar)
{
    menu->showMenu(MenuTables::kProgramMenu);
    menu->show();
    ASSERT_TRUE(menu->showsLibrary());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QImage picture = menu->grab().toImage();
    int tabs = 0;
    for (QTabBar* bar : menu->findChildren<QTabBar*>()) {
        if (!bar->isVisible() || bar->parentWidget() == menu->cancelButton().parentWidget())
            continue;
        for (int i = 0; i < bar->count(); ++i, ++tabs) {
            // Inside the tab's outline: its title on its fill.
            const QRect tab = bar->tabRect(i).adjusted(3, 3, -3, -3).translated(bar->mapTo(menu.get(), QPoint()));
            EXPECT_GE(textContrast(picture, tab), 4.5) << bar->tabText(i).toStdString();
        }
    }
    EXPECT_EQ(tabs, 5);
}

// At the phone's width every filter shows whole (no scrolling that cuts "User" to "|ser"),
// and the tag picker's three sources read on their bar.
TEST_F(MenuTest, TheLibrarysFiltersShowWholeAndTheTagPickersSourcesRead)
{
    menu->resize(390, 700);
    menu->showMenu(MenuTables::kProgramMenu);
    menu->show();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (QTabBar* bar : menu->findChildren<QTabBar*>()) {
        if (!bar->isVisible() || bar->parentWidget() == menu->cancelButton().parentWidget())
            continue;
        for (int i = 0; i < bar->count(); ++i) {
            const QRect tab = bar->tabRect(i);
            EXPECT_TRUE(bar->rect().contains(tab)) << bar->tabText(i).toStdString();
            EXPECT_GE(tab.width(), bar->fontMetrics().horizontalAdvance(bar->tabText(i))) << bar->tabText(i).toStdString();
        }
    }
    menu->showTagSelector();
    TagSelector* picker = menu->tagSelector();
    ASSERT_NE(picker, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QImage picture = picker->grab().toImage();
    auto* sources = picker->findChild<QTabBar*>();
    ASSERT_NE(sources, nullptr);
    ASSERT_EQ(sources->count(), 3);
    for (int i = 0; i < sources->count(); ++i) {
        const QRect tab = sources->tabRect(i).adjusted(3, 3, -3, -3).translated(sources->mapTo(picker, QPoint()));
        EXPECT_GE(textContrast(picture, tab), 4.5) << sources->tabText(i).toStdString();
    }
}

// LIST's names: "L₁" is drawn whole, its subscript close to the letter with no blank cell
// between them.
TEST_F(MenuTest, AListNamesSubscriptSitsByItsLetter)
{
    menu->showMenu(4);
    menu->show();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    auto* table = menu->findChild<QTreeWidget*>();
    ASSERT_TRUE(table);
    QTreeWidgetItem* l1 = nullptr;
    for (int i = 0; i < table->topLevelItemCount() && !l1; ++i)
        if (table->topLevelItem(i)->text(0) == QString::fromUtf8("L₁"))
            l1 = table->topLevelItem(i);
    ASSERT_TRUE(l1);
    const QRect row = table->visualItemRect(l1).translated(table->viewport()->mapTo(menu.get(), QPoint()));
    const QImage picture = menu->grab().toImage();
    // The title's ink, column by column, from the title's left edge.
    std::vector<bool> inked;
    for (int x = row.left() + 26; x < row.left() + 100; ++x) {
        bool any = false;
        for (int y = row.top(); y <= row.bottom() && !any; ++y)
            any = qGray(picture.pixel(x, y)) < 110;
        inked.push_back(any);
    }
    const auto first = std::find(inked.begin(), inked.end(), true);
    const auto last = std::find(inked.rbegin(), inked.rend(), true).base();
    ASSERT_LT(first, last);
    int gap = 0, widest = 0;
    for (auto it = first; it != last; ++it) {
        gap = *it ? 0 : gap + 1;
        widest = std::max(widest, gap);
    }
    // No wider than the space between two letters of a word (a fixed-pitch cell left 5).
    EXPECT_LE(widest, 3);
}

// The help page's Back takes Cancel's place, and comes back with it.
TEST_F(MenuTest, CancelGivesWayToBackOnTheHelpPage)
{
    menu->showMenu(0);
    menu->show();
    menu->openHelp({0, 0});
    EXPECT_FALSE(menu->cancelButton().isVisible());
    menu->popHelp();
    EXPECT_TRUE(menu->cancelButton().isVisible());
}

TEST_F(MenuTest, ArrowKeysWalkTheTabsAndStopAtTheEnds)
{
    menu->showMenu(0);
    std::vector<int> tabs;
    for (int i = 0; i < 4; ++i) {
        hardware(Qt::Key_Right);
        tabs.push_back(menu->currentTab());
    }
    hardware(Qt::Key_Left);
    tabs.push_back(menu->currentTab());
    EXPECT_EQ(tabs, (std::vector<int>{1, 2, 3, 3, 2}));
    EXPECT_EQ(menu->currentList(), MenuTables::List::Complex);
    menu->showMenu(0);
    menu->processKeyOp(1033);
    EXPECT_EQ(menu->currentTab(), 0);
}

TEST_F(MenuTest, HelpPageIsPushedAndPopped)
{
    menu->showMenu(0);
    menu->selectTab(1);
    hardware(Qt::Key_Down);
    hardware(Qt::Key_I, QString(), Qt::ControlModifier);
    ASSERT_TRUE(menu->helpShown());
    // The help page is the token's own, not the row's "n/d".
    menu->showMenu(0);
    menu->selectTab(1);
    menu->openHelp({0, 13});
    EXPECT_EQ(menu->help().functionName().toStdString(), calc.nameForOpcode(0xEF38));
    hardware(Qt::Key_Escape);
    EXPECT_FALSE(menu->helpShown());
    EXPECT_TRUE(picks.got.empty());
}

TEST_F(MenuTest, DrawStoreRowsDoNothingInTestMode)
{
    menu->showMenu(16);
    menu->selectTab(2);
    calc.testMode = 1;
    menu->pickRow({0, 1});
    EXPECT_EQ(menu->currentMenu(), 16);
    calc.testMode = 0;
    menu->pickRow({0, 1});
    EXPECT_EQ(menu->currentMenu(), 27);
    EXPECT_EQ(menu->tabTitles(), (QStringList{"StoreGDB", "RecallGDB"}));
}

// "Photo…" asks the photo library; the picture chosen becomes the graph's background, a
// cancelled pick closes the phone's menu and leaves the tablet's open.
TEST_F(MenuTest, ThePhotoRowPutsThePictureChosenBehindTheGraph)
{
    const QString file = folder.filePath(QStringLiteral("photo.png"));
    QImage picture(640, 568, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(file));
    auto view = std::make_shared<FakeView>();
    calc.viewDelegate = view;
    int asked = 0;
    QString answer;
    menu->choosePicture = [&](QWidget*) {
        ++asked;
        return answer;
    };
    menu->show();
    menu->showMenu(16);
    menu->selectTab(2);
    calc.testMode = 1;
    menu->pickRow({0, 2});
    EXPECT_EQ(asked, 0) << "not in test mode";
    calc.testMode = 0;

    calc.device = 1;
    menu->pickRow({0, 2});
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(menu->isVisible()) << "a tablet's menu stays when the pick is cancelled";
    EXPECT_FALSE(calc.backgroundImage);
    calc.device = 0;
    answer = file;
    menu->pickRow({0, 2});
    EXPECT_FALSE(menu->isVisible());
    const auto* stored = static_cast<const QImage*>(calc.backgroundImage.get());
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->size(), BackgroundPicture::graphSize(calc)) << "the graph as the graph view last had it";
    EXPECT_EQ(stored->pixel(10, 10), QColor(Qt::darkCyan).rgb());
    EXPECT_EQ(calc.backgroundScale, 1.0);

    // The frame the window's graph gives; a picture that is not one changes nothing.
    menu->pictureFrame = [] { return QRect(-20, 0, 430, 776); };
    menu->showMenu(16);
    menu->selectTab(2);
    menu->pickRow({0, 2});
    stored = static_cast<const QImage*>(calc.backgroundImage.get());
    EXPECT_EQ(stored->size(), QSize(430, 776));
    EXPECT_EQ(calc.backgroundFrame.x, -20);
    EXPECT_EQ(calc.backgroundFrame.width, 430);
    const QString svg = folder.filePath(QStringLiteral("photo.svg"));
    QFile text(svg);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"9\" height=\"9\"/>");
    text.close();
    answer = svg;
    menu->showMenu(16);
    menu->selectTab(2);
    menu->pickRow({0, 2});
    ASSERT_EQ(view->errors.size(), 1u);
    EXPECT_EQ(view->errors[0]["errorNum"], 74) << "File cannot be read";
    EXPECT_FALSE(view->errors[0].contains("message"));
    EXPECT_EQ(static_cast<const QImage*>(calc.backgroundImage.get()), stored) << "the picture before stays";

    // A picture too large to decode says so, and what size can be read.
    answer = folder.filePath(QStringLiteral("large.jpg"));
    QFile large(answer);
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    large.write(jpegClaiming(true, {8000, 6000}));
    large.close();
    menu->showMenu(16);
    menu->selectTab(2);
    menu->pickRow({0, 2});
    ASSERT_EQ(view->errors.size(), 2u);
    EXPECT_EQ(view->errors[1]["errorNum"], 74);
    const std::string message = view->errors[1].value("message", "");
    EXPECT_TRUE(message.starts_with("File cannot be read: the picture is too large (8000 × 6000 pixels). A picture like "
                                    "it can be read up to "))
        << message;
    EXPECT_EQ(static_cast<const QImage*>(calc.backgroundImage.get()), stored);
}

} // namespace
} // namespace orvenda::test
