#pragma once

#include "app/ImageButton.h"
#include "app/ScreenController.h"
#include "apps/GeometryModel.h"
#include "apps/GeometryView.h"
#include "core/Calculator.h"
#include "graphui/SmallCalcView.h"

#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>

class QPushButton;

namespace orvenda {

class AppShell;
class EntryModel;
class FixedGraphView;
class GeometryMenu;
class PlotGeometry;
class SegmentedControl;
class ThumbSlider;
class TriangleView;

// The geometry app: pick a figure from the figure menu, type what is known into its
// fields with the compact keypad, and see the unknowns solved and the figure drawn to
// scale on the graph above, with its parts labelled. Lines and circles have sub-modes on a
// segmented control; triangles, arcs and rectangles solve on Solve (triangles and arcs
// clear on Clear); angles can be set with a slider; + and − zoom (repeating while held).
// Values live in calculator variables. Done, QUIT and Escape close it. Main thread.
class GeometryScreen : public ScreenController, public GeometryView::Delegate, public SmallCalcViewDelegate {
public:
    GeometryScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);
    ~GeometryScreen() override;

    // The show: the figure's token (another number keeps the figure shown last).
    void shown(const ScreenRequest& request) override;
    void focus(bool gained) override;
    void updateDisplay() override {}
    QWidget* leaveControl() const override;
    nlohmann::json typedPlace() const override
    {
        return {{"n", model_.figure()}, {"field", model_.currentField()}};
    }
    void restoreTypedPlace(const nlohmann::json& place) override;

    void setGeometryNum(std::uint32_t token);
    GeometryModel& model() { return model_; }
    const GeometryModel& model() const { return model_; }

    // ---- The panel's questions ----
    std::string entryText() const override;
    int entryCursor() const override;
    // A field tapped: ignored outside the fields; the typing is committed first.
    void selectField(int field) override;
    void changeAngleMode() override;

    // ---- Keys ----
    void enter();
    void cursorUp();
    void cursorDown();
    void cursorLeft();
    void cursorRight();
    // Evaluates the typing into the current field: false when it failed (the text stays).
    bool getEntry();
    void keyTouched() override;
    void smallKeyboardDone() override { done(); }
    void solve();
    void clear();
    void done();
    void selectSubMode(int mode);
    // The slider moved to a value of the figure's range.
    void trackSlider(double value);
    double sliderValue() const;

    // ---- Zoom ----
    // Fits the figure into the graph.
    void zoomGraphView();
    // A zoom button pressed (in: +) and released; while held, the timer repeats it, after
    // the first repeat every 0.05 s.
    void zoomDown(bool in);
    void zoomUp();
    // One tick of the repeat timer.
    void zoomTick();
    const QTimer& repeatTimer() const { return repeatTimer_; }
    // The graph's window {xMin, xMax, yMin, yMax}.
    const Calculator::Bounds& window() const { return window_; }
    double windowHeight() const;

    // ---- The parts, for the driver and the tests ----
    GeometryView& panel() const { return *panel_; }
    FixedGraphView& graphView() const { return *graph_; }
    SmallCalcView& keypad() const { return *keypad_; }
    TriangleView& triangleView() const { return *triangle_; }
    ThumbSlider& slider() const { return *slider_; }
    SegmentedControl& segments() const { return *segments_; }
    QPushButton& solveButton() const { return *solve_; }
    QPushButton& clearButton() const { return *clear_; }
    ImageButton& plusButton() const { return *plus_; }
    ImageButton& minusButton() const { return *minus_; }
    QPushButton& menuButton() const { return *menuButton_; }
    QPushButton& doneButton() const { return *doneButton_; }
    GeometryMenu& showGeometryMenu();
    GeometryMenu* geometryMenu() const { return menu_; }
    const PlotGeometry& plot() const { return *plot_; }
    // The last error reported (0 none), for the tests.
    int lastError() const { return lastError_; }

protected:
    void subscribe() override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    EntryModel* entry() const;
    bool typing() const;
    void saveEntry();
    void compute();
    void report(int error);
    void syncViews();
    void refreshSolve();
    void setUpSlider();
    void adjustViewSize();
    // The panel's height follows the rows of the value being typed.
    void fitTyping();
    void zoomBy(double factor);
    // The figure menu over the screen (phone) or at its button (tablet).
    void placeMenu();

    AppShell& shell_;
    GeometryModel model_;
    QWidget* toolBar_;
    QPushButton* menuButton_;
    QPushButton* doneButton_;
    FixedGraphView* graph_;
    GeometryView* panel_;
    SmallCalcView* keypad_;
    TriangleView* triangle_;
    ThumbSlider* slider_;
    SegmentedControl* segments_;
    ImageButton* plus_;
    ImageButton* minus_;
    QPushButton* solve_;
    QPushButton* clear_;
    GeometryMenu* menu_ = nullptr;
    std::shared_ptr<PlotGeometry> plot_;
    QTimer repeatTimer_;
    bool zoomIn_ = true;
    bool fastRepeat_ = false;
    bool settingSlider_ = false;
    Calculator::Bounds window_{-1, 1, -1, 1};
    int lastError_ = 0;
    // The rows the value being typed takes in the panel.
    int typedRows_ = 1;
};

} // namespace orvenda
