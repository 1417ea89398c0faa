// The SHARE menus: History and Last Calculation under SHARE, rows picked in order and
// sent as one share request with the tab's format, a locked program ending the collection,
// and pictures of the menus at the phone's and the tablet's size.

#include "InputTestSupport.h"

#include "PictureChecks.h"
#include "WidgetEvents.h"
#include "input/MenuTables.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QTabBar>
#include <QPushButton>
#include <QTreeWidget>

namespace orvenda::test {
namespace {

constexpr int kShare = 19, kSharePrograms = 20, kShareLists = 21, kShareMatrices = 22, kShareVars = 23;

// What the menu asked to share, and a request for each.
class SharePicks : public Picks {
public:
    std::optional<ShareRequest> answer(std::string what)
    {
        asked.push_back(std::move(what));
        ShareRequest r;
        r.subject = QString::fromStdString(asked.back());
        return r;
    }
    static std::string join(const std::vector<std::string>& names)
    {
        std::string out;
        for (const std::string& n : names)
            out += (out.empty() ? "" : ",") + n;
        return out;
    }
    static std::string join(const std::vector<std::uint32_t>& tokens)
    {
        std::string out;
        for (std::uint32_t t : tokens)
            out += (out.empty() ? "" : ",") + hex(t);
        return out;
    }
    std::optional<ShareRequest> sharePrograms(const std::vector<std::string>& n, int type) override
    {
        return answer("programs " + join(n) + " " + std::to_string(type));
    }
    std::optional<ShareRequest> shareLists(const std::vector<std::string>& n, int type) override
    {
        return answer("lists " + join(n) + " " + std::to_string(type));
    }
    std::optional<ShareRequest> shareMatrices(const std::vector<std::uint32_t>& t, int type) override
    {
        return answer("matrices " + join(t) + " " + std::to_string(type));
    }
    std::optional<ShareRequest> shareVars(const std::vector<std::uint32_t>& t) override { return answer("vars " + join(t)); }
    std::optional<ShareRequest> shareHistory() override { return answer("history"); }
    std::optional<ShareRequest> shareLastCalculation() override
    {
        asked.push_back("last");
        return std::nullopt;
    }
    void completedActionDialog() override { got.push_back("completed"); }
    std::vector<std::string> asked;
};

class ShareMenuTest : public MenuTest {
protected:
    ShareMenuTest()
    {
        menu->setDelegate(&sharePicks);
        menu->presentShare = [this](const ShareRequest& r) { shown.push_back(r.subject.toStdString()); };
        calc.viewDelegate = view;
    }
    MenuScreen::Place placeOf(const QString& title) const
    {
        for (std::size_t s = 0; s < menu->sections().size(); ++s)
            for (std::size_t r = 0; r < menu->sections()[s].rows.size(); ++r)
                if (menu->sections()[s].rows[r].title == title)
                    return {static_cast<int>(s), static_cast<int>(r)};
        return {};
    }
    std::vector<QString> titles() const
    {
        std::vector<QString> out;
        for (const auto& s : menu->sections())
            for (const auto& r : s.rows)
                out.push_back(r.title);
        return out;
    }

    SharePicks sharePicks;
    std::vector<std::string> shown;
    std::shared_ptr<FakeView> view = std::make_shared<FakeView>();
};

TEST_F(ShareMenuTest, ShareListsTheSixMenusThenHistoryAndTheLastCalculation)
{
    menu->showMenu(kShare);
    EXPECT_EQ(titles(), (std::vector<QString>{"Program…", "List…", "Matrix…", "Var…", "Y-Vars…", "String…", "History",
                            "Last Calculation"}));
    EXPECT_FALSE(menu->sendButton().isVisibleTo(menu.get())) << "SHARE itself sends nothing";
    menu->pickRow({0, 6});
    EXPECT_EQ(sharePicks.asked, std::vector<std::string>{"history"});
    EXPECT_EQ(shown, std::vector<std::string>{"history"});
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(sharePicks.last(), "completed");
    // Nothing to share (an empty history): nothing shown, the menu closes.
    menu->showMenu(kShare);
    menu->show();
    menu->pickRow({0, 7});
    EXPECT_EQ(sharePicks.asked.back(), "last");
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_FALSE(menu->isVisible());
}

TEST_F(ShareMenuTest, RowsAreSentInTheOrderPickedAndASecondPickTakesOneBack)
{
    menu->showMenu(kShareVars);
    menu->show();
    ASSERT_TRUE(menu->sendButton().isVisibleTo(menu.get()));
    menu->pickRow({0, 2}); // C
    menu->pickRow({0, 0}); // A
    menu->pickRow({0, 1}); // B
    menu->pickRow({0, 0}); // A again: taken back
    EXPECT_EQ(menu->shareSelection().size(), 2u);
    EXPECT_TRUE(menu->isVisible()) << "picking only collects";
    const_cast<QPushButton&>(menu->sendButton()).click();
    EXPECT_EQ(sharePicks.asked, std::vector<std::string>{"vars 43,42"});
    EXPECT_EQ(shown, std::vector<std::string>{"vars 43,42"});
    EXPECT_FALSE(menu->isVisible());

    // Nothing picked: Send only closes the menu.
    menu->showMenu(kShareVars);
    menu->show();
    const_cast<QPushButton&>(menu->sendButton()).click();
    EXPECT_EQ(sharePicks.asked.size(), 1u);
    EXPECT_FALSE(menu->isVisible());
}

TEST_F(ShareMenuTest, TheSecondTabChoosesPDFOrCSVAndMatricesGoByToken)
{
    menu->showMenu(kShareMatrices);
    EXPECT_EQ(menu->tabTitles(), (QStringList{"lbxDat", "CSV"}));
    menu->selectTab(1);
    menu->pickRow({0, 0});
    menu->pickRow({0, 2});
    menu->sendItems();
    {
        const auto state = calc.locked();
        state->lists["ABC"] = VQList::listSeqStart(1, 3);
    }
    menu->showMenu(kShareLists);
    const MenuScreen::Place abc = placeOf(QStringLiteral("ABC"));
    ASSERT_TRUE(abc.valid());
    menu->pickRow(abc);
    menu->sendItems();
    EXPECT_EQ(sharePicks.asked, (std::vector<std::string>{"matrices 5C00,5C02 2", "lists ABC 0"}));
}

TEST_F(ShareMenuTest, ALockedProgramReports84AndTheProgramsBeforeItAreStillShared)
{
    ProgramFiles files(programsDir());
    for (const auto& [name, flags] : {std::pair{"PA", 0u}, {"PLOCK", 2u}, {"PB", 0u}})
        ASSERT_TRUE(files.write(name, {ProgramFiles::Ops{0xDE, 0x31}, std::vector<std::string>{}, "", "", flags}));
    menu->showMenu(kSharePrograms);
    menu->selectTab(1);
    for (const char* name : {"PB", "PLOCK", "PA"}) {
        const MenuScreen::Place p = placeOf(QString::fromLatin1(name));
        ASSERT_TRUE(p.valid()) << name;
        menu->pickRow(p);
    }
    menu->sendItems();
    ASSERT_EQ(view->errors.size(), 1u);
    EXPECT_EQ(view->errors[0]["errorNum"], 84);
    EXPECT_EQ(sharePicks.asked, std::vector<std::string>{"programs PB 1"});
    // A locked program first: nothing collected, nothing shared.
    menu->showMenu(kSharePrograms);
    menu->pickRow(placeOf(QStringLiteral("PLOCK")));
    menu->sendItems();
    EXPECT_EQ(view->errors.size(), 2u);
    EXPECT_EQ(sharePicks.asked.size(), 1u);
    EXPECT_FALSE(menu->isVisible());
}

// The SHARE menus as drawn at both sizes: every row's title inked, the picked rows marked,
// and Send reading on its bar.
TEST_F(ShareMenuTest, PicturesOfTheShareMenusAtBothSizes)
{
    for (const bool tablet : {false, true}) {
        calc.device = tablet ? 1 : 0;
        auto screen = std::make_unique<MenuScreen>(calc, shell);
        screen->setDelegate(&sharePicks);
        screen->resize(tablet ? QSize(768, 600) : QSize(390, 700));
        for (const int id : {kShare, kShareVars}) {
            screen->showMenu(id);
            screen->show();
            if (id == kShareVars) {
                screen->pickRow({0, 0});
                screen->pickRow({0, 3});
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            const QImage picture = screen->grab().toImage();
            auto* table = screen->findChild<QTreeWidget*>();
            ASSERT_TRUE(table);
            const QPoint origin = table->viewport()->mapTo(screen.get(), QPoint());
            const int rows = id == kShare ? 8 : 4;
            std::vector<QColor> backs;
            for (int i = 0; i < rows; ++i) {
                const QRect row = table->visualItemRect(table->topLevelItem(i)).translated(origin);
                ASSERT_FALSE(row.isEmpty()) << id << " row " << i;
                EXPECT_GE(textContrast(picture, row.adjusted(2, 2, -2, -2)), 3.0)
                    << (tablet ? "tablet " : "phone ") << id << " row " << i;
                backs.push_back(backgroundIn(picture, row.adjusted(2, 2, -2, -2)));
            }
            if (id == kShareVars) {
                EXPECT_NE(backs[0], backs[1]) << "a picked row is marked";
                EXPECT_EQ(backs[0], backs[3]) << "both picked rows alike";
                EXPECT_EQ(backs[1], backs[2]);
                const QRect send = screen->sendButton().geometry().translated(
                    screen->sendButton().parentWidget()->mapTo(screen.get(), QPoint()));
                EXPECT_GE(textContrast(picture, send.adjusted(3, 3, -3, -3)), 3.0) << "Send reads";
                EXPECT_TRUE(screen->rect().contains(send)) << "Send shows whole";
            }
        }
    }
    calc.device = 0;
}

// Each SHARE menu's bar at both sizes: every tab whole and readable beside the title (the
// title shortened rather than the tabs covered), and SHARE named once, by its tab.
TEST_F(ShareMenuTest, TheBarShowsEveryTabWholeBesideTheTitle)
{
    for (const bool tablet : {false, true}) {
        calc.device = tablet ? 1 : 0;
        auto screen = std::make_unique<MenuScreen>(calc, shell);
        screen->setDelegate(&sharePicks);
        screen->resize(tablet ? QSize(768, 600) : QSize(390, 700));
        for (const int id : {kShare, kSharePrograms, kShareLists, kShareMatrices, kShareVars, 24, 25, 28}) {
            const std::string where = std::string(tablet ? "tablet " : "phone ") + std::to_string(id);
            screen->showMenu(id);
            screen->show();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            const QImage picture = screen->grab().toImage();
            const QTabBar& tabs = screen->tabBar();
            const QLabel& title = screen->titleLabel();
            const QRect titleText(title.mapTo(screen.get(), QPoint(0, 0)),
                QSize(title.fontMetrics().horizontalAdvance(title.text()), title.height()));
            for (int i = 0; i < tabs.count(); ++i) {
                const QRect tab = tabs.tabRect(i).translated(tabs.mapTo(screen.get(), QPoint(0, 0)));
                EXPECT_TRUE(QRect(0, 0, screen->width(), 40).contains(tab)) << where << " tab " << i;
                EXPECT_LE(tab.right(), tabs.mapTo(screen.get(), QPoint(tabs.width(), 0)).x()) << where << " tab " << i;
                EXPECT_GE(tab.width(), tabs.fontMetrics().horizontalAdvance(tabs.tabText(i))) << where << " tab " << i;
                EXPECT_FALSE(title.text().isEmpty() ? false : tab.intersects(titleText)) << where << " tab " << i;
                EXPECT_GE(textContrast(picture, tab.adjusted(3, 3, -3, -3)), 3.0) << where << " tab " << i;
            }
            if (id == kShare) {
                EXPECT_EQ(title.text(), "") << "the tab names the menu";
                EXPECT_EQ(screen->barTitle(), "SHARE");
            } else {
                EXPECT_FALSE(title.text().isEmpty()) << where;
                EXPECT_GE(textContrast(picture, titleText.adjusted(0, 4, 0, -4)), 3.0) << where;
            }
        }
        // On the tablet the program menu's title has room to show whole.
        if (tablet) {
            screen->showMenu(kSharePrograms);
            EXPECT_EQ(screen->titleLabel().text(), "SHARE:program");
        }
    }
    calc.device = 0;
}

} // namespace
} // namespace orvenda::test
