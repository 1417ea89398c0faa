// The root controller: error alerts, the graph coming and going, the window's layout and
// where the function help stands.

#include "ScreenTestSupport.h"

#include "app/ActivitySpinner.h"
#include "app/AlertQueue.h"
#include "app/PlaceholderScreen.h"
#include "app/StatusLine.h"
#include "eval/Parser.h"

#include <QKeyEvent>
#include <QScrollArea>
#include <QScrollBar>

namespace orvenda::test {
namespace {

using Alert = std::vector<std::string>;

TEST_F(ScreensTest, ErrorReportsBecomeTheAlertsOfTheirKind)
{
    struct Case {
        nlohmann::json error;
        Alert alert;
    };
    const std::vector<Case> cases = {
        {{{"errorNum", 43}, {"programName", "ABC"}}, {"User break", "", "OK", "Show program"}},
        {{{"errorNum", 14}, {"programName", "none"}}, {"Calc Error", "Divide by 0", "OK"}},
        {{{"errorNum", 14}, {"programName", "P"}, {"tokenLocation", 3}}, {"Program Error", "Divide by 0", "OK", "Show program"}},
        {{{"errorNum", 64}, {"programName", "P"}}, {"Program:P", "Paused", "Continue", "Stop"}},
        {{{"errorNum", 80}}, {"Import Succeeded", "", "OK"}},
        {{{"errorNum", 9999}}, {"Calc Error", "Unknown error", "OK"}},
    };
    for (const Case& c : cases) {
        calc.showError(c.error);
        EXPECT_EQ(describe(openAlert()), c.alert) << c.error.dump();
        openAlert()->done(0);
    }
}

TEST_F(ScreensTest, TwoReportsAtOnceShowTwoAlertsInOrder)
{
    calc.showError({{"errorNum", 14}});
    calc.showError({{"errorNum", 80}});
    EXPECT_EQ(describe(openAlert()).front(), "Calc Error");
    press("OK");
    EXPECT_EQ(describe(openAlert()).front(), "Import Succeeded");
    press("OK");
    EXPECT_EQ(openAlert(), nullptr);
}

// A message taller than the window (thirty kept sessions named at a launch) scrolls in its
// box, which fits the window with its buttons in sight, also once the window is made smaller,
// and Return still presses OK; a short one shows as it is.
TEST(AlertQueueTest, ALongMessageScrollsWithItsButtonsInSight)
{
    QWidget window;
    window.resize(390, 600);
    window.show();
    AlertQueue alerts(window);
    QStringList lines;
    for (int k = 0; k < 30; ++k)
        lines << QStringLiteral("/home/someone/.local/share/Orvenda/memorySetting.session-20260101-1200%1.cbor "
                                "(kept 2026-01-01 12:00:%1)")
                     .arg(k, 2, 10, QLatin1Char('0'));
    int pressed = 0;
    alerts.show({QStringLiteral("Orvenda"), lines.join(QLatin1Char('\n')), {{QStringLiteral("OK"), [&] { ++pressed; }}}});
    QMessageBox* box = openAlert();
    ASSERT_TRUE(box);
    EXPECT_LE(box->height(), window.height());
    const auto* scroll = box->findChild<QScrollArea*>();
    ASSERT_TRUE(scroll);
    EXPECT_TRUE(scroll->isVisible());
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
    const QAbstractButton* ok = box->buttons().value(0);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(box->rect().contains(QRect(ok->mapTo(box, QPoint()), ok->size())));
    window.resize(390, 400);
    EXPECT_LE(box->height(), window.height()) << "at the window's new size";
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(box, &enter);
    EXPECT_EQ(pressed, 1);
    alerts.show({QStringLiteral("Short"), QStringLiteral("One line"), {{QStringLiteral("OK"), {}}}});
    ASSERT_TRUE(openAlert());
    EXPECT_FALSE(openAlert()->findChild<QScrollArea*>());
    openAlert()->done(0);
}

// Every kind of alert the app asks (a question with two buttons, a long greeting, a path
// with no blank to break it at) stands whole in the window at each of its sizes, the least
// too, opened there or turned to it: its buttons inside it, and centred over the window.
TEST(AlertQueueTest, EveryAlertStandsWholeInTheWindowAtEverySize)
{
    const std::vector<QSize> sizes{{390, 844}, {844, 390}, {320, 390}, {768, 1024}, {1024, 768}};
    // The launch's list of ten sessions kept beside the saved calculator, each a path.
    QString kept = QStringLiteral("10 sessions were kept beside the saved calculator /home/someone/.local/share/Orvenda/memorySetting.cbor, "
                                  "the newest first:");
    for (int k = 9; k >= 0; --k)
        kept += QStringLiteral("\n/home/someone/.local/share/Orvenda/memorySetting.session-20260101-1%10000.cbor (kept 2026-01-01 1%1:00:00)").arg(k);
    const std::vector<AlertQueue::Alert> alerts{
        {QStringLiteral("Decimal Places Change"),
         QStringLiteral("All results will be displayed rounded to 3 decimal places. Do you want to proceed?"),
         {{QStringLiteral("Cancel"), {}}, {QStringLiteral("OK"), {}}}},
        {QStringLiteral("Welcome to Orvenda"), QString(QStringLiteral("Thank you for choosing Orvenda. ")).repeated(12), {{QStringLiteral("OK"), {}}}},
        {QStringLiteral("Orvenda"), QStringLiteral("/home/someone/.local/share/Orvenda/memorySetting.session-20260101-120000.cbor"),
         {{QStringLiteral("OK"), {}}}},
        {QStringLiteral("Orvenda"), kept, {{QStringLiteral("OK"), {}}}},
    };
    for (const QSize& opened : sizes)
        for (const AlertQueue::Alert& alert : alerts) {
            QWidget window;
            window.resize(opened);
            window.show();
            AlertQueue queue(window);
            queue.show(alert);
            QMessageBox* box = openAlert();
            ASSERT_TRUE(box);
            for (const QSize& size : sizes) {
                window.resize(size);
                const QRect inWindow(window.mapFromGlobal(box->mapToGlobal(QPoint(0, 0))), box->size());
                const std::string what = alert.title.toStdString() + " opened at " + std::to_string(opened.width()) + "x"
                    + std::to_string(opened.height()) + ", at " + std::to_string(size.width()) + "x" + std::to_string(size.height());
                EXPECT_TRUE(window.rect().contains(inWindow)) << what;
                EXPECT_LE(std::abs(inWindow.center().x() - window.rect().center().x()), 1) << what;
                for (const QAbstractButton* button : box->buttons())
                    EXPECT_TRUE(box->rect().contains(QRect(button->mapTo(box, QPoint()), button->size()))) << what;
                // A message that scrolls is read whole across: no word of it cut at the right.
                if (const auto* scroll = box->findChild<QScrollArea*>(); scroll && scroll->isVisible()) {
                    EXPECT_LE(scroll->widget()->minimumSizeHint().width(), scroll->viewport()->width()) << what;
                }
            }
            box->done(0);
        }
}

TEST_F(ScreensTest, APauseOverTheGraphPausesItWithoutAnAlert)
{
    Probe*& graph = probe(screens::Graph);
    root->showGraph(true);
    calc.showError({{"errorNum", 64}, {"programName", "P"}});
    EXPECT_EQ(openAlert(), nullptr);
    EXPECT_EQ(graph->pauses, 1);
}

TEST_F(ScreensTest, ShowProgramOpensTheDebuggerAndTheProgram)
{
    Posted posted(calc.notificationCenter(), {VQViewPrgmError});
    calc.showError({{"errorNum", 43}, {"programName", "ABC"}, {"tokenLocation", 2}});
    press("Show program");
    EXPECT_EQ(posted.count(VQViewPrgmError), 1);
    ASSERT_TRUE(root->fullScreen(screens::Debugger));
    EXPECT_TRUE(root->fullScreen(screens::Debugger)->isVisible());
    EXPECT_EQ(calc.currentScreen(), screens::ProgramEditor);
    EXPECT_EQ(calc.lastPrgmName, "ABC");
}

TEST_F(ScreensTest, StopEndsThePausedProgram)
{
    std::string bad;
    const auto program = EntryText().toOps("Pause\n5", bad);
    const auto call = EntryText().toOps("prgmP", bad);
    ASSERT_TRUE(program && call);
    programs->store("P", *program);
    for (std::uint32_t op : *call)
        shell.keys().processKeyOp(op);
    shell.keys().processKeyOp(KeyRouter::kEnter);
    ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
    // Paused on the output screen, its frame waiting.
    EXPECT_EQ(calc.currentScreen(), screens::ProgramOutput);
    ASSERT_GT(calc.parser().programQueue().frameCount(), 0);

    calc.showError({{"errorNum", 64}, {"programName", "P"}});
    press("Stop");
    ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
    EXPECT_EQ(calc.parser().programQueue().frameCount(), 0);
}

TEST_F(ScreensTest, TheGraphShowsOnceAndNotUnderAMenu)
{
    Probe*& graph = probe(screens::Graph);
    router().showMenu(0);
    root->showGraph(true);
    EXPECT_EQ(graph, nullptr);
    EXPECT_EQ(calc.currentScreen(), screens::Home);

    router().overlayDone();
    root->showGraph(true);
    root->showGraph(true);
    ASSERT_TRUE(graph);
    EXPECT_EQ(graph->showings, 1);
    EXPECT_EQ(calc.currentScreen(), screens::Graph);
    EXPECT_TRUE(graph->isVisible());
    EXPECT_FALSE(root->keyboardArea().isVisible());

    root->showGraph(false);
    EXPECT_EQ(graph->hidings, 1);
    EXPECT_EQ(calc.currentScreen(), screens::Home);
    EXPECT_TRUE(root->keyboardArea().isVisible());
}

TEST_F(ScreensTest, ClosingTheGraphReturnsToTheScreenThatAskedForIt)
{
    struct Case {
        int from;
        bool pausedProgram;
        int back;
    };
    for (const Case& c : {Case{screens::Solver, false, screens::Solver}, Case{screens::Polynomial, false, screens::Polynomial},
                          Case{screens::Table, false, screens::Home}, Case{screens::Solver, true, screens::ProgramOutput}}) {
        router().showScreen(c.from);
        if (c.pausedProgram)
            calc.parser().programQueue().pushFrame(RunObject{});
        root->showGraph(true);
        root->graphDone();
        EXPECT_EQ(calc.currentScreen(), c.back) << c.from;
        calc.parser().programQueue().clearFrames();
    }
}

TEST_F(ScreensTest, TheSpinnerRunsWhileAProgramRuns)
{
    root->VCProgramRunning(true);
    EXPECT_TRUE(root->activityIndicator().animating());
    EXPECT_FALSE(shell.blink().running());
    root->VCProgramRunning(false);
    EXPECT_FALSE(root->activityIndicator().animating());
    EXPECT_TRUE(shell.blink().running());
}

TEST_F(ScreensTest, ScreensNotBuiltYetShowTheirTitle)
{
    root->showPeriodicTable();
    const auto* table = dynamic_cast<const PlaceholderScreen*>(root->fullScreen(screens::PeriodicTable));
    ASSERT_TRUE(table);
    EXPECT_EQ(table->title(), "Periodic table");
    EXPECT_TRUE(table->isVisible());
    root->periodicTableDone();
    EXPECT_FALSE(table->isVisible());
    EXPECT_EQ(calc.currentScreen(), screens::Home);
}

TEST_F(ScreensTest, ThePhoneStatusLineFillsTheStripUnderTheKeyboardArea)
{
    EXPECT_EQ(root->statusLine().geometry(), QRect(0, 820, 390, 24));
    EXPECT_EQ(router().size(), QSize(390, 820));
}

// On a tablet the function help is a panel by the touched key, like a popover: centred on
// the key across (kept in the window), on the side of the key with more room, shortened to
// fit there; without a key it is centred. On a phone it fills the window.
TEST_F(ScreensTest, TheTabletsHelpPanelStandsByTheTouchedKey)
{
    const QSize window(768, 1024);
    // A key low on the keypad: the panel above it, ending just over it.
    QRect panel = RootController::helpPanelRect(window, QRect(300, 900, 60, 40));
    EXPECT_EQ(panel.size(), QSize(400, 800));
    EXPECT_LT(panel.bottom(), 900);
    EXPECT_GE(panel.bottom(), 900 - 10);
    EXPECT_NEAR(panel.center().x(), 330, 2);
    // A key high up: below it.
    panel = RootController::helpPanelRect(window, QRect(300, 40, 60, 40));
    EXPECT_GT(panel.top(), 80);
    EXPECT_LE(panel.top(), 80 + 10);
    EXPECT_LE(panel.bottom(), 1023);
    // At the right edge the panel stays in the window; a key in the middle of a short
    // window gets a shortened panel.
    panel = RootController::helpPanelRect(window, QRect(720, 900, 40, 40));
    EXPECT_EQ(panel.right(), 767);
    panel = RootController::helpPanelRect(QSize(768, 600), QRect(300, 280, 60, 40));
    EXPECT_GE(panel.top(), 0);
    EXPECT_LT(panel.bottom(), 280);
    EXPECT_GT(panel.height(), 200);
    EXPECT_EQ(RootController::helpPanelRect(window, QRect()), QRect(184, 112, 400, 800));

    // Through the router, with the key in global coordinates; a relayout keeps the place.
    Probe* help = nullptr;
    calc.viewDelegate = nullptr;
    root.reset();
    root = std::make_shared<RootController>(calc, shell, true);
    calc.viewDelegate = root;
    root->screens().set(screens::FunctionHelp, [&help, this](QWidget* parent) { return help = new Probe(calc, parent); });
    root->resize(window);
    root->show();
    root->router().showFunctionHelp(0xC2, QRect(root->mapToGlobal(QPoint(300, 900)), QSize(60, 40)));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    const QRect shown = RootController::helpPanelRect(window, QRect(300, 900, 60, 40));
    EXPECT_EQ(help->geometry(), shown);
    root->resize(window.width(), window.height() - 1);
    root->resize(window);
    EXPECT_EQ(help->geometry(), shown);
    // Opened without a key (from the catalogue or by the driver): centred.
    root->router().showFunctionHelp(0xC2);
    EXPECT_EQ(help->geometry(), QRect(184, 112, 400, 800));
}

TEST_F(ScreensTest, ThePhonesFunctionHelpFillsTheWindow)
{
    Probe* help = nullptr;
    root->screens().set(screens::FunctionHelp, [&help, this](QWidget* parent) { return help = new Probe(calc, parent); });
    root->router().showFunctionHelp(0xC2, QRect(root->mapToGlobal(QPoint(100, 700)), QSize(60, 40)));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->geometry(), root->rect());
}

} // namespace
} // namespace orvenda::test
