#pragma once

#include "app/GraphScreen.h"
#include "app/ImageButton.h"
#include "app/ScreenController.h"
#include "graph/GraphViewDelegate.h"
#include "graphui/KeyCommandSpec.h"
#include "graphui/TableScreen.h"
#include "graphui/ZoomMenu.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTimer>

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

class QAbstractButton;
class QToolButton;

namespace orvenda {

class AppShell;
class GraphView;
class PlotObject;

// The graph screen: the graph view over the whole screen less a bottom toolbar (the zoom
// menu item and the zoom-in and zoom-out buttons), a Done button at the graph's top right,
// and with split screen on the function table beside the graph (landscape) or between the
// graph and the toolbar (portrait) with four arrow buttons that move its cursor. Six more
// zoom buttons fix their axes (both, horizontal, vertical; in and out): on the toolbar when
// it is wide (a tablet from 510 points of width, 400 after a display update; a phone wider
// than high), else in a column at the graph's right edge under Done. Holding a zoom or
// arrow button acts at once, again after 0.5 s, then every 0.05 s. Computer keys: Escape
// is Done, Ctrl+Z opens the zoom menu on ZStandard, + and - zoom by 1.1 on both axes. The
// zoom menu covers the screen on a phone; on a tablet it is a 320 x 480 popover at the
// zoom item.
//
// It follows VQSyncWindowVars (the window or table set-up changed: re-zoom to the window
// with each pair in order), VQZoomPlot (a zoom command) and VQShowControls (program
// controls) for its whole life, not only while in front.
//
// The panels laid over the graph plug in through Panels (setPanels), each optional:
//   vars         shown only while a plot is selected, full graph width, its own height,
//                its bottom 44 points above the graph's bottom;
//   keyboard     the graph keyboard sheet, kept in front of everything after each layout;
//   statInfo     the statistics panel, kept in front of the graph;
//   calcButtons  toolbar items of the calculate menu, enabled only while a plot they work
//                on is selected;
//   updateIOControls / layoutIOControls / removeIOControls: the program controls, made on
//                VQShowControls and at creation, placed at each layout, removed on Done
//                and when the screen goes back; ioControlRects, where they stand (Done and
//                the fixed zoom buttons move clear of them);
//   plotSelected the graph view picked a plot (null: none) or dragged the trace to a point.
// toolbar() takes further items. Main thread.
class GraphScreenController : public ScreenController,
                              public GraphScreen,
                              public GraphViewDelegate,
                              public ZoomMenu::Delegate,
                              public TableScreen::Delegate {
public:
    static constexpr int kToolbarHeight = 44;
    static constexpr double kZoomFactor = 1.1;
    static constexpr int kFirstRepeatMs = 500;
    static constexpr int kRepeatMs = 50;
    static constexpr int kZoomMenuWidth = 320, kZoomMenuHeight = 480;
    // The fixed-direction zoom buttons' side, and the toolbar widths from which a tablet
    // shows them on the bar: after a layout pass, and after a display update.
    static constexpr int kFixedZoomSide = 40;
    static constexpr int kTabletWideLayout = 510, kTabletWideUpdate = 400;

    struct Panels {
        QWidget* vars = nullptr;
        QWidget* keyboard = nullptr;
        QWidget* statInfo = nullptr;
        std::vector<QAbstractButton*> calcButtons;
        std::function<void()> updateIOControls;
        std::function<void()> layoutIOControls;
        std::function<void()> removeIOControls;
        // Where the program's controls stand: the screen's own buttons keep clear of them.
        std::function<std::vector<QRect>()> ioControlRects;
        std::function<void(PlotObject*, const PlotPoint&)> plotSelected;
        std::function<void()> windowChanged;
        // The screen goes back (QUIT, Done): what is half typed in a sheet is entered.
        std::function<void()> leaving;
    };

    GraphScreenController(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);
    ~GraphScreenController() override;

    // The line a sheet over the graph is being typed in (a value to calculate at, a
    // slider's, a program's input field), or the table beside it: no save keeps the sheet
    // or the table's line, nor the line as the home screen's.
    nlohmann::json typedPlace() const override
    {
        const bool sheet = panels_.keyboard && !panels_.keyboard->isHidden();
        return sheet || (table_ && table_->typingBesideGraph()) ? nlohmann::json::object() : nlohmann::json();
    }

    // The graph view's size on a screen of that size, the table not shown beside it.
    static QSize graphSize(QSize screen) { return {screen.width(), std::max(0, screen.height() - kToolbarHeight)}; }

    // Told when Done closes the screen (the root then brings the previous screen back).
    void setOnDone(std::function<void()> done) { onDone_ = std::move(done); }
    // A text item of the toolbar in the bar's style (dimmed while disabled).
    static QToolButton* makeBarButton(const QString& title, QWidget* parent);

    // The worksheet of the graph as shown, upright or turned (the composition root's).
    std::function<QByteArray(GraphView& view, bool landscape)> makeWorksheet;
    // Hands the worksheet, a picture of the screen and the subject to the share sheet.
    std::function<void(const QByteArray& pdf, const QImage& picture, const QString& subject)> shareWorksheet;
    // Shows the share button when both are set.
    void updateShareButton();
    QToolButton& shareButton() const { return *share_; }
    // The share button: the worksheet (turned when the graph is wider than high) and the
    // screen's picture under the subject "Lumbrix Graph".
    void shareAction();
    void setPanels(Panels panels);
    Panels& panels() { return panels_; }

    GraphView& graphView() const { return *graphView_; }
    QWidget& toolbar() const { return *toolbar_; }
    // The split screen's table, null before split screen was first on.
    TableScreen* table() const { return table_; }
    ZoomMenu* zoomMenu() const { return zoomMenu_; }
    // The toolbar's zoom item, which opens the zoom menu (a tablet's popover points at it).
    QToolButton& zoomItem() const { return *zoomButton_; }
    ImageButton& doneButton() const { return *done_; }
    QWidget* leaveControl() const override;
    ImageButton& plusButton() const { return *plus_; }
    ImageButton& minusButton() const { return *minus_; }
    // The zoom button of a fixed direction (0 both axes, 1 horizontal, 2 vertical), in or out.
    ImageButton& fixedZoomButton(int direction, bool in) const
    {
        return *fixedZoom_[static_cast<std::size_t>(2 * direction + (in ? 0 : 1))];
    }
    // Whether the toolbar is the wide one, with the fixed-direction zoom buttons on it.
    bool wideToolbar() const { return wide_; }
    // Left, right, up, down (tags 0 to 3).
    ImageButton& arrowButton(int tag) const { return *arrows_[static_cast<std::size_t>(tag)]; }
    QWidget& pauseView() const { return *pauseView_; }
    int zoomButtonDir() const { return zoomButtonDir_; }
    bool repeating() const { return repeatTimer_.isActive(); }
    int repeatInterval() const { return repeatTimer_.interval(); }
    // The repeat timer's tick: the held button's step again, faster after the first.
    void repeatTick();

    // ---- The root's operations ----

    void updateDisplay() override { updateDisplay(0); }
    void updateDisplay(int quality);
    void didShow(bool shown) override;
    void pause() override;
    void pauseEnded() override;
    void graphChanged() override;
    void fitWindow() override;
    void showSolverPlot(double left, double right, double bottom, double top) override;
    void zoomTo(const Calculator::Bounds& window);

    // ---- Actions ----

    void done();
    void zoomMenuAction();
    // Ctrl+Z: the menu with ZStandard selected.
    void keyZoomMenu();
    // A zoom button pressed and released; tag 0, 1, 2 fix the axes, 3 or more follows the
    // zoom menu's choice.
    void plusDown(int tag);
    void plusUp();
    void minusDown(int tag);
    void minusUp();
    void zoomEnlarge();
    void zoomShrink();
    // An arrow button (tag 0 left, 1 right, 2 up, 3 down) pressed and released.
    void arrowButtonDown(int tag);
    void arrowButtonUp();
    void pauseContinue();
    void pauseStop();

    // Whether the calculate items work on a plot of this type.
    static bool calcEnabledFor(const PlotObject* plot);
    // The calculate items on exactly when the plot is one they work on.
    void enableCalcButtons(const PlotObject* plot);
    // Every item of the toolbar, and the zoom buttons off it, on or off (while a form or
    // panel is up).
    void enableButtons(bool enabled);
    // After the window or table set-up changed.
    void syncWindowVars();

    // ---- Zoom menu ----

    void didPickOp(int token) override;
    void didPickZoomButton(int direction) override;
    void zoomCanceled() override;

    // ---- Graph view and split table ----

    void windowChanged() override
    {
        if (panels_.windowChanged)
            panels_.windowChanged();
    }
    void selectPlot(PlotObject* plot, const PlotPoint& at) override;
    void trackObj(PlotObject* plot, const PlotPoint& at) override;
    void selectEq(int token, double value) override;
    // The table beside the graph changed an equation: the graph draws it, and traces it,
    // as it is now.
    void equationChanged() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The x axis's numbers stand above the bars over the graph's bottom that show (the
    // trace's variable, a pause's), whenever one shows, hides, moves or changes height.
    void placeLabelFloor();
    // The table and arrows for split screen, the graph's frame, the Done button.
    void adjustSplit();
    void adjustGraphView();
    // The bar of a paused program's Continue and Stop, over the toolbar across the screen.
    void placePauseBar();
    void adjustGraphSlidersView();
    // The open sheet or panel in front of the buttons and bars raised over the graph.
    void keepSheetsInFront();
    // The wide toolbar from that width on a tablet (a phone's is wide when wider than high).
    void chooseToolbar(int tabletWidth);
    // The fixed-direction zoom buttons onto the toolbar (wide) or into their column; the
    // graph's axis numbers keep clear of the column and Done.
    void placeFixedZoomButtons();
    // Done at the graph's top right, or clear of the program's controls there.
    void placeDone();
    // The tablet's popover above (or below) the zoom item, kept inside the screen.
    void placeZoomPopover();
    void hideZoomMenu();
    void startRepeat(std::function<void()> step);
    void resetHistogramOrigin();

    AppShell& shell_;
    QObject* lifeObserver_;
    GraphView* graphView_;
    QWidget* toolbar_;
    QToolButton* zoomButton_;
    ImageButton* plus_;
    ImageButton* minus_;
    ImageButton* done_;
    QToolButton* share_;
    // In, out for both axes, then horizontal, then vertical.
    std::array<ImageButton*, 6> fixedZoom_{};
    std::array<ImageButton*, 4> arrows_{};
    QWidget* pauseView_;
    TableScreen* table_ = nullptr;
    ZoomMenu* zoomMenu_ = nullptr;
    Panels panels_;
    std::function<void()> onDone_;
    std::vector<KeyCommandSpec> keyCmds_;
    QTimer repeatTimer_;
    std::function<void()> repeatStep_;
    int zoomButtonDir_ = 0;
    int buttonDirection_ = 0;
    bool wide_ = false;
    bool buttonsEnabled_ = true;
};

} // namespace orvenda
