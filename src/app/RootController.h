#pragma once

#include "app/AlertQueue.h"
#include "app/ScreenRegistry.h"
#include "app/ScreenRouter.h"
#include "core/services/ViewControlDelegate.h"

#include <QWidget>

#include <map>
#include <memory>

namespace orvenda {

class ActivitySpinner;
class AppShell;
class ClickFocusGuard;
class Calculator;
class ScreenController;
class StatusLine;

// The window's root: the calculator's view delegate. It holds the keyboard area (the
// ScreenRouter, with the display and every ordinary screen), the mode status line under it
// on a phone, the activity spinner, and the full-size screens that replace the keyboard
// area (graph, periodic table, statistics tests, geometry), the debugger over both and the
// help page, each made on first use from the registry. It turns error reports into alerts,
// queued so that none is lost. Main thread.
class RootController : public QWidget, public ScreenRouter::Delegate, public ViewControlDelegate {
public:
    // The phone's strip under the keyboard area, where the status line is.
    static constexpr int kStatusHeight = 24;

    // tablet chooses the tablet layout (calc.device says the same once the window has
    // connected).
    RootController(Calculator& calc, AppShell& shell, bool tablet);
    ~RootController() override;

    ScreenRegistry& screens() { return registry_; }
    ScreenRouter& router() { return *router_; }
    AlertQueue& alerts() { return alerts_; }
    StatusLine& statusLine() { return *status_; }
    ActivitySpinner& activityIndicator() { return *spinner_; }
    // A full-size screen (Graph, PeriodicTable, StatTests, Geometry, Debugger, Help), nullptr
    // before its first show.
    ScreenController* fullScreen(int id) const;
    QWidget& keyboardArea() const { return *keyboardArea_; }
    // The id of what is drawn on top of the window: the debugger or help page over all,
    // a full-size screen, else the router's screen or overlay in front.
    int frontId() const;
    // The controller of that id, nullptr when none is made.
    ScreenController* controllerOf(int id) const;
    // Shows any screen or overlay id (the router's through its show operations, the
    // full-size ones as the calculator asks for them), with the number a show hands it (a
    // matrix, a figure, a procedure); false for an id no one shows.
    bool open(int id, int number = 0);
    QWidget& safeArea() const { return *safeArea_; }

    // ---- The view delegate ----

    void VCUpdateDisplay() override { refresh(); }
    void VCShowGraph(bool show) override { showGraph(show); }
    void VCGraphChanged() override;
    void VCProgramRunning(bool running) override;
    void VCPauseProgram() override;
    void VCShowProgramOutput() override { router_->showProgramOutput(); }
    void VCShowDebugger(bool show) override;
    void VCSuspendDebugger() override { suspendDebugger(); }
    void VCShowError(const nlohmann::json& error) override { reportError(error); }
    void VCShowPeriodicTable() override { showPeriodicTable(); }
    void VCShowStatTest(int token) override { showStatTest(token); }
    void VCShowGeometry(int token) override { showGeometry(token); }
    void VCShowSolverPlot(const nlohmann::json& window) override { showSolverPlot(window); }
    void VCShowTable() override { showTable(); }

    // ---- Screens ----

    // The alert of an error report: "errorNum" with its text, or with "message" in its place
    // when the report says why (a file refused for a cause of its own).
    void reportError(const nlohmann::json& error);
    void showGraph(bool show) override;
    void showPlot();
    // {"L", "R", "B", "T"}: the window of the solver's plot.
    void showSolverPlot(const nlohmann::json& window);
    void showTable();
    void showHomeScreen();
    void showPeriodicTable();
    void showStatTest(int test);
    void showGeometry(int shape);
    // The full-size screens closing.
    void periodicTableDone();
    void statTestDone();
    void geometryDone();
    void graphDone();
    void showDebugger();
    void hideDebugger();
    void suspendDebugger();
    void debuggerFollows(bool editorInFront) override;
    ScreenController* fullScreenOf(int id) const override { return fullScreen(id); }
    // The debugger shown over its editor, with the keys.
    void bringDebugger(ScreenController* debugger);
    void showHelp() override;
    // keyFrame: the touched key in global coordinates, empty for none.
    void showFunctionHelp(std::uint32_t op, QRect keyFrame = {}) override;
    // Hides the full-size screen in front (each as its own leaving does) for the keyboard area.
    void closeFullScreens() override;
    void helpDone();
    // The tablet's help panel (at most 400 × 800) for a key at keyFrame (in the same
    // coordinates as the window size): centred on the key across, on the side of the key
    // with more room, shortened to fit that side; centred in the window without a key.
    static QRect helpPanelRect(QSize window, QRect keyFrame);
    // The visible full-size screen, or the keyboard area, redrawn.
    void refresh();
    void programRunning();
    void programStopped();
    void moveActivityIndicatorToBottom(bool bottom);
    void setBackgroundColor(double r, double g, double b);
    // The app quits (before its state is saved, and before the runs are ended): the screen
    // in front is left as QUIT leaves it, a field's line entered in its field and the
    // key-set editor's kept in the set with MathPrint back as the user set it; a half-typed
    // answer is not entered.
    void quitting();

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Closing the window leaves the screen in front: what its entry line holds is entered
    // first, as every other way of leaving it enters it, and is saved with the rest.
    void closeEvent(QCloseEvent* event) override;

private:
    ScreenController* make(int id);
    // Shows one full-size screen in place of the keyboard area.
    ScreenController* showFull(int id, int screen);
    // Back to the keyboard area with screen n.
    void returnToKeyboard(ScreenController* closing, int screen);
    // The statistics test or geometry screen closed for the keyboard's screens.
    void closeFormScreen(int id);

    // c in front: the keyboard area when c is null, else that full-size screen.
    void activate(ScreenController* c);
    bool fullScreenVisible(int id) const;
    void layout();
    // Where the function help screen stands: the window on a phone, a panel by the
    // touched key on a tablet.
    QRect functionHelpRect() const;

    Calculator& calc_;
    AppShell& shell_;
    bool tablet_;
    // The graph stands in the display above the debugger.
    bool graphBesideDebugger_ = false;
    // The key the function help was opened from, in this widget's coordinates.
    QRect helpKey_;
    ScreenRegistry registry_;
    QWidget* safeArea_;
    QWidget* keyboardArea_;
    ScreenRouter* router_;
    StatusLine* status_;
    ActivitySpinner* spinner_;
    AlertQueue alerts_;
    std::map<int, ScreenController*> full_;
    nlohmann::json errorNotification_;
    // Gone before the widgets it asks about.
    std::unique_ptr<ClickFocusGuard> clickGuard_;
};

} // namespace orvenda
