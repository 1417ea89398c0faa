#include "app/RootController.h"

#include "app/ActivitySpinner.h"
#include "app/AppShell.h"
#include "app/ClickFocusGuard.h"
#include "app/EntryEvaluator.h"
#include "app/GraphScreen.h"
#include "app/OverlayPlacement.h"
#include "app/ScreenController.h"
#include "app/StatusLine.h"
#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/services/EntryManager.h"
#include "core/services/ProgramManager.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"

#include <QCloseEvent>
#include <QPalette>

#include <algorithm>
#include <utility>

namespace orvenda {

namespace {

// The tablet's keyboard area sits inside the window's margins.
constexpr int kTabletInsetX = 13;
constexpr int kTabletInsetY = 12;
// The tablet's debugger starts below the display's top line.
constexpr int kDebuggerTop = 22;
constexpr int kIndicatorTop = 150;

GraphScreen* graphOf(ScreenController* c) { return dynamic_cast<GraphScreen*>(c); }

} // namespace

RootController::RootController(Calculator& calc, AppShell& shell, bool tablet)
    : calc_(calc), shell_(shell), tablet_(tablet), registry_(calc), safeArea_(new QWidget(this)),
      keyboardArea_(new QWidget(safeArea_)), router_(new ScreenRouter(calc, registry_, shell, keyboardArea_)),
      status_(new StatusLine(calc, this)), spinner_(new ActivitySpinner(this)), alerts_(*this)
{
    setWindowTitle(QStringLiteral("Orvenda"));
    if (tablet_) {
        const VColor back = calc_.interfaceColorIndex(7);
        setBackgroundColor(back.r, back.g, back.b);
    } else {
        setBackgroundColor(0, 0, 0);
    }
    router_->setDelegate(this);
    router_->setActive(true);
    clickGuard_ = std::make_unique<ClickFocusGuard>(
        *this, [this] { return &router_->keyboard(); },
        [this]() -> QWidget* {
            // A screen over the whole window, else what the router shows.
            if (ScreenController* full = fullScreen(frontId()); full && full->isVisible())
                return full;
            return router_->keysTaker();
        });
    activate(nullptr);
    layout();
}

RootController::~RootController()
{
    router_->setDelegate(nullptr);
    calc_.notificationCenter().removeObserver(this);
}

ScreenController* RootController::fullScreen(int id) const
{
    const auto found = full_.find(id);
    return found == full_.end() ? nullptr : found->second;
}

ScreenController* RootController::make(int id)
{
    if (ScreenController* made = fullScreen(id))
        return made;
    const bool overRoot = id == screens::Debugger || id == screens::Help || id == screens::FunctionHelp;
    ScreenController* c = registry_.make(id, overRoot ? static_cast<QWidget*>(this) : safeArea_);
    switch (id) {
    case screens::Graph: c->setLeave([this] { graphDone(); }); break;
    case screens::PeriodicTable: c->setLeave([this] { periodicTableDone(); }); break;
    case screens::StatTests: c->setLeave([this] { statTestDone(); }); break;
    case screens::Geometry: c->setLeave([this] { geometryDone(); }); break;
    case screens::Debugger: c->setLeave([this] { hideDebugger(); }); break;
    case screens::Help: c->setLeave([this] { helpDone(); }); break;
    default: break;
    }
    c->hide();
    c->setGeometry(overRoot ? rect() : safeArea_->rect());
    full_[id] = c;
    return c;
}

int RootController::frontId() const
{
    // Children are stacked in the order of their list: the last shown is on top.
    const QObjectList& children = this->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        for (int id : {screens::Debugger, screens::Help, screens::FunctionHelp})
            if (*it == fullScreen(id) && fullScreenVisible(id))
                return id;
    for (int id : {screens::Graph, screens::PeriodicTable, screens::StatTests, screens::Geometry})
        if (fullScreenVisible(id))
            return id;
    return router_->frontId();
}

ScreenController* RootController::controllerOf(int id) const
{
    if (ScreenController* c = fullScreen(id))
        return c;
    return router_->controller(id);
}

bool RootController::open(int id, int number)
{
    switch (id) {
    case screens::Graph: showGraph(true); return true;
    case screens::PeriodicTable: showPeriodicTable(); return true;
    case screens::StatTests: showStatTest(number); return true;
    case screens::Geometry: showGeometry(number); return true;
    case screens::Debugger: showDebugger(); return true;
    case screens::Help: showHelp(); return true;
    // Opened by itself, function help shows the page of sin(, the first key's function.
    case screens::FunctionHelp: showFunctionHelp(0xC2); return true;
    default: return router_->open(id, number);
    }
}

bool RootController::fullScreenVisible(int id) const
{
    const ScreenController* c = fullScreen(id);
    return c && !c->isHidden();
}

// ---- Layout ----

void RootController::resizeEvent(QResizeEvent*) { layout(); }

void RootController::layout()
{
    QRect safe = rect();
    if (!tablet_)
        safe.setHeight(std::max(0, height() - kStatusHeight));
    safeArea_->setGeometry(safe);
    for (const auto& [id, c] : full_) {
        if (id == screens::Help)
            c->setGeometry(rect());
        else if (id == screens::FunctionHelp)
            c->setGeometry(functionHelpRect());
        else if (id != screens::Debugger)
            c->setGeometry(safeArea_->rect());
    }
    QRect keys = safeArea_->rect();
    ScreenController* debugger = fullScreen(screens::Debugger);
    const bool debugging = debugger && !debugger->isHidden();
    const bool beside = debugging && ScreenRouter::debuggerBeside(QSizeF(safe.size()), tablet_);
    // Beside the debugger the display and keyboard keep the left half.
    if (beside)
        keys.setWidth(keys.width() / 2);
    if (tablet_) {
        keys.adjust(kTabletInsetX, kTabletInsetY, -kTabletInsetX, -kTabletInsetY);
        status_->hide();
    } else {
        status_->setGeometry(0, safe.bottom() + 1, width(), height() - safe.height());
        status_->show();
    }
    keyboardArea_->setGeometry(keys);
    router_->setGeometry(keyboardArea_->rect());
    // The router hidden under a full-size screen lays itself out only once shown again: what
    // stands by its display now takes the frames of its new size.
    const ScreenRouter::Frames frames = ScreenRouter::layoutFrames(QSizeF(keys.size()), tablet_);
    // The graph a debugged run showed stands in the display the debugger leaves free (beside
    // it, in the half the display and keyboard keep).
    if (ScreenController* graph = fullScreen(screens::Graph)) {
        if (debugging)
            graph->setGeometry(beside ? keys : frames.display.translated(keys.topLeft()).toRect());
        if (std::exchange(graphBesideDebugger_, debugging) != debugging && !graph->isHidden())
            if (GraphScreen* g = graphOf(graph))
                g->fitWindow();
    }
    spinner_->move((width() - spinner_->width()) / 2, spinner_->y());
    if (debugger) {
        if (tablet_) {
            const QRectF display = frames.display;
            // Down to the keyboard's bottom edge, inside the window's margin.
            debugger->setGeometry(QRectF(display.x() + keys.x(), display.y() + keys.y() + kDebuggerTop,
                                      display.width(), frames.keyboard.height() + display.height() - kDebuggerTop)
                                      .toRect());
        } else {
            debugger->setGeometry(safe);
        }
    }
    // The screens have been laid out at the new size: every overlay open over them follows.
    OverlayPlacement::placeAll(*this);
}

void RootController::activate(ScreenController* c)
{
    for (const auto& [id, screen] : full_)
        if (screen != c && id != screens::Debugger && id != screens::Help)
            screen->hide();
    if (c) {
        keyboardArea_->hide();
        c->show();
        c->raise();
    } else {
        keyboardArea_->show();
        keyboardArea_->raise();
    }
    layout();
    spinner_->raise();
}

void RootController::setBackgroundColor(double r, double g, double b)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor::fromRgbF(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b)));
    setPalette(colours);
    setAutoFillBackground(true);
}

// ---- The view delegate ----

void RootController::VCGraphChanged()
{
    if (GraphScreen* graph = graphOf(fullScreen(screens::Graph)))
        graph->graphChanged();
}

void RootController::VCProgramRunning(bool running)
{
    if (running)
        programRunning();
    else
        programStopped();
    // The pause's ENTER, a stop or a new run ended the pause over the graph.
    if (!calc_.pauseRunning)
        if (GraphScreen* graph = graphOf(fullScreen(screens::Graph)))
            graph->pauseEnded();
}

void RootController::VCPauseProgram()
{
    if (calc_.currentScreen() != screens::Graph) {
        router_->showProgramOutput();
        return;
    }
    spinner_->stop();
    if (GraphScreen* graph = graphOf(fullScreen(screens::Graph)))
        graph->pause();
}

void RootController::VCShowDebugger(bool show)
{
    if (show)
        showDebugger();
    else
        hideDebugger();
}

// ---- Error alerts ----

void RootController::reportError(const nlohmann::json& error)
{
    const int number = error.value("errorNum", 0);
    const auto name = error.find("programName");
    const std::string program = name != error.end() && name->is_string() ? name->get<std::string>() : std::string();
    errorNotification_ = error;
    Parser& parser = calc_.parser();
    if (number == ErrPause) {
        if (calc_.currentScreen() == screens::Graph) {
            spinner_->stop();
            if (GraphScreen* graph = graphOf(fullScreen(screens::Graph)))
                graph->pause();
            return;
        }
        alerts_.show({QStringLiteral("Program:%1").arg(QString::fromStdString(program)), QStringLiteral("Paused"),
                      {{QStringLiteral("Continue"), [&parser] { parser.resumeProgramThread(); }},
                       {QStringLiteral("Stop"), [&parser] { parser.stopProgramThread(); }}}});
        return;
    }
    // A report that knows why (a file refused for a cause of its own) says so in place of
    // the number's text.
    const auto message = error.find("message");
    const std::string text = message != error.end() && message->is_string() && !message->get<std::string>().empty()
        ? message->get<std::string>()
        : EntryEvaluator::errString(number);
    AlertQueue::Alert shown{QStringLiteral("Calc Error"), QString::fromStdString(text), {{QStringLiteral("OK"), {}}}};
    if (!program.empty() && program != "none") {
        shown.title = QStringLiteral("Program Error");
        shown.buttons.emplace_back(QStringLiteral("Show program"), [this] {
            // The program opens at the fault, in debug mode under the debugger: keys typed
            // next step it or answer it, and never edit it.
            calc_.notificationCenter().post(VQViewPrgmError, this, errorNotification_);
            if (calc_.prgmManager)
                calc_.prgmManager->setDebug(true);
            showDebugger();
        });
    }
    if (const auto equation = error.find("equation"); equation != error.end() && equation->is_number_integer()) {
        // The way back to a faulty equation: the Y= editor with the cursor at the fault.
        const int token = equation->get<int>();
        const int location = error.value("tokenLocation", 0);
        shown.buttons.emplace_back(QStringLiteral("Goto"), [this, token, location] {
            if (YEqModel* equations = YEqModel::of(calc_)) {
                equations->setCurrentFunction(YEqModel::indexForEquation(token));
                equations->setEntryCursor(location);
            }
            closeFullScreens();
            router_->showScreen(screens::YEq);
        });
    }
    if (number == ErrBreak || number == ErrFileImportSuccess) {
        shown.title = number == ErrBreak ? QStringLiteral("User break") : QStringLiteral("Import Succeeded");
        shown.message.clear();
    }
    alerts_.show(std::move(shown));
}

// ---- Full-size screens ----

ScreenController* RootController::showFull(int id, int screen)
{
    // The screen left takes its line before the next one is made.
    router_->setCurrentScreen(screen);
    // A screen the user opens while the debugger's run waits has the window to itself; the
    // graph a step shows keeps the debugger beside or under it.
    if (id != screens::Graph && calc_.question().debugged() && calc_.question().waitsForUser())
        debuggerFollows(false);
    ScreenController* c = make(id);
    c->setGeometry(safeArea_->rect());
    if (id == screens::Graph)
        if (GraphScreen* graph = graphOf(c))
            graph->didShow(true);
    c->raise();
    c->show();
    router_->setActive(false);
    // The graph types on the home line, once the screen left has taken its own.
    router_->giveHomeLineBack();
    keyboardArea_->hide();
    activate(c);
    // The keys (Escape among them) go to the screen in place of the hidden keyboard.
    c->setFocus();
    return c;
}

void RootController::showGraph(bool show)
{
    ScreenController* graph = fullScreen(screens::Graph);
    if (show) {
        // A menu over the display keeps the graph back.
        if (!router_->shouldShowGraphView())
            return;
        // Shown again while in front (DispGraph from a control's label): the curves follow
        // the values the run gave the variables.
        if (calc_.currentScreen() == screens::Graph) {
            if (GraphScreen* g = graphOf(graph))
                g->graphChanged();
            return;
        }
        const bool stepping = calc_.currentScreen() == screens::ProgramEditor && calc_.prgmManager
            && calc_.prgmManager->stepping();
        // A full-size form screen in front (GRAPH by its chord) gives way as it does to any
        // other screen, its field entered; the graph's Done then comes back past it.
        for (int id : {screens::StatTests, screens::Geometry})
            if (fullScreenVisible(id))
                closeFormScreen(id);
        graph = showFull(screens::Graph, stepping ? screens::ProgramEditor : screens::Graph);
    } else {
        // QUIT (the router going home) leaves a full-size screen in front too: the home
        // screen it makes current is the one drawn and typed on.
        if (fullScreenVisible(screens::StatTests)) {
            statTestDone();
            return;
        }
        if (fullScreenVisible(screens::Geometry)) {
            geometryDone();
            return;
        }
        if (fullScreenVisible(screens::PeriodicTable)) {
            periodicTableDone();
            return;
        }
        if (!graph || graph->isHidden())
            return;
        keyboardArea_->show();
        graph->hide();
        if (GraphScreen* g = graphOf(graph))
            g->didShow(false);
        shell_.blink().resetBlink();
        if (calc_.currentScreen() != screens::ProgramEditor)
            calc_.setCurrentScreen(calc_.programRunning ? screens::ProgramOutput : router_->homeScreen());
        // Once the graph has taken what its sheets held: the screen it gives way to hears
        // the keys, never the one left for the graph beneath it.
        router_->setActive(true);
    }
    moveActivityIndicatorToBottom(show);
    status_->update();
    activate(show ? graph : nullptr);
}

void RootController::showPlot()
{
    status_->update();
    if (calc_.currentScreen() == screens::Graph) {
        if (ScreenController* graph = fullScreen(screens::Graph))
            graph->updateDisplay();
        return;
    }
    showFull(screens::Graph, screens::Graph);
    moveActivityIndicatorToBottom(true);
    status_->update();
}

void RootController::showSolverPlot(const nlohmann::json& window)
{
    ScreenController* c = showFull(screens::Graph, screens::Graph);
    if (GraphScreen* graph = graphOf(c))
        graph->showSolverPlot(window.value("L", -10.0), window.value("R", 10.0), window.value("B", -10.0),
            window.value("T", 10.0));
}

void RootController::quitting()
{
    // An answer half typed to the debugger's question is not entered by the quit, which ends
    // that run as a break, as it ends one asked on the output screen.
    if (calc_.currentScreen() == screens::ProgramEditor && calc_.question().asks() && calc_.entryManager)
        calc_.entryManager->clear();
    // A screen whose field is being typed in is left as QUIT leaves it: what was typed is
    // entered in its field (a formula stays with its screen), never left on the home line.
    // So is the graph with a line typed on a sheet or the table beside it, and Y= with a
    // sequence's initial value typed on its row. This comes before the quit ends a waiting
    // run: the run's end empties the line the field still holds.
    const int screen = calc_.currentScreen();
    const ScreenController* graph = screen == screens::Graph ? controllerOf(screen) : nullptr;
    if (calc_.leavingCommits() || screen == screens::KeySetEditor || screen == screens::YEq
        || (graph && graph->typedPlace().is_object()))
        router_->showHome();
    router_->setCurrentScreen(screens::Home);
}

void RootController::closeEvent(QCloseEvent* event)
{
    quitting();
    QWidget::closeEvent(event);
}

void RootController::returnToKeyboard(ScreenController* closing, int screen)
{
    if (closing)
        closing->hide();
    calc_.secondShift = false;
    shell_.blink().resetBlink();
    // A program waiting for its question has its output for a home screen.
    if (screen == screens::Home)
        screen = router_->homeScreen();
    router_->setCurrentScreen(screen);
    keyboardArea_->show();
    router_->setActive(true);
    refresh();
    activate(nullptr);
}

void RootController::showTable()
{
    if (calc_.currentScreen() == screens::Table) {
        router_->updateDisplay();
        return;
    }
    ScreenController* graph = fullScreen(screens::Graph);
    if (graph) {
        graph->hide();
        if (GraphScreen* g = graphOf(graph))
            g->didShow(false);
    }
    returnToKeyboard(nullptr, screens::Table);
    // The table may not have been made yet.
    router_->showScreen(screens::Table);
    moveActivityIndicatorToBottom(false);
    status_->update();
}

void RootController::showHomeScreen()
{
    returnToKeyboard(nullptr, screens::Home);
    moveActivityIndicatorToBottom(false);
    status_->update();
}

void RootController::showPeriodicTable()
{
    ScreenController* c = showFull(screens::PeriodicTable, screens::PeriodicTable);
    c->shown({});
}

void RootController::showStatTest(int test)
{
    std::optional<Calculator::FailedLine> failed = calc_.takeFailedLine(screens::StatTests);
    ScreenController* c = showFull(screens::StatTests, screens::StatTests);
    c->focus(true);
    c->shown({test, {}});
    router_->giveBackFailedLine(*c, std::move(failed));
    shell_.blink().resetBlink();
}

void RootController::showGeometry(int shape)
{
    std::optional<Calculator::FailedLine> failed = calc_.takeFailedLine(screens::Geometry);
    ScreenController* c = showFull(screens::Geometry, screens::Geometry);
    c->shown({shape, {}});
    c->focus(true);
    router_->giveBackFailedLine(*c, std::move(failed));
    shell_.blink().resetBlink();
}

void RootController::periodicTableDone() { returnToKeyboard(fullScreen(screens::PeriodicTable), screens::Home); }

void RootController::statTestDone() { closeFormScreen(screens::StatTests); }

void RootController::geometryDone() { closeFormScreen(screens::Geometry); }

void RootController::closeFullScreens()
{
    if (fullScreenVisible(screens::Graph))
        graphDone();
    if (fullScreenVisible(screens::PeriodicTable))
        periodicTableDone();
    for (int id : {screens::StatTests, screens::Geometry})
        if (fullScreenVisible(id))
            closeFormScreen(id);
}

void RootController::closeFormScreen(int id)
{
    // The form takes its own half-typed value while it is still current: the line the
    // screen in front gets back (a program's answer) is not the form's.
    ScreenController* c = fullScreen(id);
    if (c)
        c->focus(false);
    returnToKeyboard(c, screens::Home);
}

void RootController::graphDone()
{
    ScreenController* graph = fullScreen(screens::Graph);
    if (graph) {
        graph->hide();
        if (GraphScreen* g = graphOf(graph))
            g->didShow(false);
    }
    int back = screens::Home;
    // The debugger's graph gives the display back to its output; a paused program waits
    // on its output screen; the solver and polynomial apps get their plots back.
    if (calc_.prgmManager && calc_.prgmManager->debug())
        back = screens::ProgramEditor;
    else if (calc_.parser().programQueue().frameCount() > 0)
        back = screens::ProgramOutput;
    else if (calc_.prevScreen() == screens::Solver || calc_.prevScreen() == screens::Polynomial)
        back = calc_.prevScreen();
    returnToKeyboard(graph, back);
    moveActivityIndicatorToBottom(false);
    status_->update();
}

// ---- Debugger and help ----

void RootController::showDebugger()
{
    // The debugger stands over the program's output. A run stopped between its statements
    // (a step, a breakpoint) keeps the graph or the table it showed last in the display
    // above, until a statement writes; its end brings the output back.
    if (calc_.prgmManager && calc_.prgmManager->debug()) {
        const bool stopped = !calc_.prgmManager->runStartedIn().empty();
        const bool graph = fullScreenVisible(screens::Graph);
        const bool keeps = stopped && (graph || calc_.currentScreen() == screens::Table);
        // Whatever the user had in front (the graph, the periodic table, a form) gives way.
        if (!keeps)
            closeFullScreens();
        // The editor in front draws its debug face (its program's output) from now on.
        if (!keeps && calc_.currentScreen() != screens::ProgramEditor)
            router_->showScreen(screens::ProgramEditor);
        else if (!keeps)
            router_->updateDisplay();
    }
    bringDebugger(make(screens::Debugger));
}

void RootController::bringDebugger(ScreenController* debugger)
{
    debugger->show();
    layout();
    debugger->raise();
    debugger->focus(true);
    debugger->setFocus();
    debugger->updateDisplay();
}

void RootController::hideDebugger()
{
    ScreenController* debugger = fullScreen(screens::Debugger);
    if (debugger)
        debugger->hide();
    // The editor comes to the front: a graph the stopped run kept above the debugger goes.
    closeFullScreens();
    layout();
    if (calc_.prgmManager)
        calc_.prgmManager->setDebug(false);
    router_->showScreen(screens::ProgramEditor);
    if (debugger)
        debugger->focus(false);
}

void RootController::suspendDebugger()
{
    safeArea_->raise();
    status_->raise();
    // Hidden, not only covered: the keyboard in front has the keys until the debugger
    // comes back.
    if (ScreenController* debugger = fullScreen(screens::Debugger)) {
        debugger->hide();
        debugger->focus(false);
    }
    layout();
    router_->keyboard().setFocus();
}

void RootController::debuggerFollows(bool editorInFront)
{
    ScreenController* debugger = fullScreen(screens::Debugger);
    if (!debugger)
        return;
    const bool shown = editorInFront && !ScreenRouter::debuggerStandsAside(calc_, QSizeF(safeArea_->size()), tablet_);
    if (shown == debugger->isVisible())
        return;
    if (shown)
        bringDebugger(debugger);
    else
        suspendDebugger();
}

void RootController::showHelp()
{
    ScreenController* help = make(screens::Help);
    help->setGeometry(rect());
    help->show();
    help->raise();
    help->focus(true);
    help->setFocus();
}

QRect RootController::helpPanelRect(QSize window, QRect keyFrame)
{
    constexpr int kGap = 6;
    const QSize panel = QSize(400, 800).boundedTo(window);
    const QRect key = keyFrame.intersected(QRect(QPoint(0, 0), window));
    if (key.isEmpty())
        return QRect(QPoint((window.width() - panel.width()) / 2, (window.height() - panel.height()) / 2), panel);
    // As a popover: beside the key, on the side with more room, pointing at it.
    const int above = key.top() - kGap;
    const int below = window.height() - key.bottom() - 1 - kGap;
    const int h = std::max(0, std::min(panel.height(), std::max(above, below)));
    const int x = std::clamp(key.center().x() - panel.width() / 2, 0, window.width() - panel.width());
    const int y = above >= below ? above - h : key.bottom() + 1 + kGap;
    return QRect(x, y, panel.width(), h);
}

QRect RootController::functionHelpRect() const
{
    if (!tablet_)
        return rect();
    return helpPanelRect(size(), helpKey_);
}

void RootController::showFunctionHelp(std::uint32_t op, QRect keyFrame)
{
    helpKey_ = keyFrame.isEmpty() ? QRect() : QRect(mapFromGlobal(keyFrame.topLeft()), keyFrame.size());
    ScreenController* help = make(screens::FunctionHelp);
    help->setGeometry(functionHelpRect());
    help->shown({static_cast<int>(op), {}});
    help->show();
    help->raise();
    help->focus(true);
}

void RootController::helpDone()
{
    if (ScreenController* help = fullScreen(screens::Help)) {
        help->hide();
        help->focus(false);
    }
    router_->overlayDone();
}

// ---- State ----

void RootController::refresh()
{
    for (int id : {screens::Graph, screens::PeriodicTable, screens::StatTests, screens::Geometry}) {
        if (fullScreenVisible(id)) {
            fullScreen(id)->updateDisplay();
            return;
        }
    }
    keyboardArea_->show();
    router_->updateDisplay();
    shell_.blink().resetBlink();
}

void RootController::programRunning()
{
    spinner_->start();
    shell_.blink().cursorBlink(false);
}

void RootController::programStopped()
{
    spinner_->stop();
    if (!keyboardArea_->isHidden())
        shell_.blink().resetBlink();
}

void RootController::moveActivityIndicatorToBottom(bool bottom)
{
    spinner_->move(spinner_->x(), bottom ? height() - spinner_->height() : kIndicatorTop);
}

} // namespace orvenda
