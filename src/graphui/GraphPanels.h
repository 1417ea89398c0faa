#pragma once

#include "core/YEqVarInfo.h"
#include "graph/GraphGeometry.h"
#include "graphui/GraphPanelDelegates.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace orvenda {

class AppShell;
class Calculator;
class GraphKeyboardView;
class GraphProgramControls;
class GraphScreenController;
class GraphStatInfoView;
class GraphVarsView;
class GraphView;
class PlotObject;
class YEqModel;

// The graph screen's panels and what the screen does for them: the calculate form (value,
// zero, minimum, maximum, integral) of the selected plot, the slider-value form of a
// variable, the statistics of a stat plot, and the variables panel along the graph's
// bottom. The graph screen owns one, forwards its graph view's delegate calls and the
// calculate action to it, and lays it out with the view. Panels are made on first use as
// children of the host widget, which also owns this object. It holds the program's
// controls on the graph too. Main thread only.
class GraphPanels : public QObject,
                    public GraphKeyboardDelegate,
                    public GraphStatInfoViewDelegate,
                    public GraphVarsViewDelegate {
public:
    enum ComputeMode { Value = 0, Zero = 1, Minimum = 2, Maximum = 3, Integral = 4 };
    // Form field tags: which quantity a field shows.
    enum Tag {
        TagVarValue = 0, TagVarMin = 1, TagVarMax = 2, TagVarStep = 3, TagLower = 4, TagUpper = 5, TagTol = 6,
        TagArea = 7, TagZero = 8, TagMin = 9, TagMax = 10, TagIndependent = 11, TagX = 12, TagY = 13, TagR = 14,
        TagTheta = 15, TagDyDx = 16, TagDxDt = 17, TagDyDt = 18, TagDrDTheta = 19, TagInputField = 20,
    };
    // The sheet's forms: a slider's value and range, a calculation, a program's input field.
    enum KeyboardMode { SliderForm = 0, CalculateForm = 1, InputFieldForm = 2 };

    // Without a host no panel is shown; without a shell no form (the forms evaluate
    // through it), only their logic.
    GraphPanels(Calculator& calc, GraphView& view, QWidget* host, AppShell* shell);
    ~GraphPanels() override;
    GraphPanels(const GraphPanels&) = delete;
    GraphPanels& operator=(const GraphPanels&) = delete;

    // Lays the panels, a calculate item and the program's controls over a graph screen,
    // for the screen's life.
    static GraphPanels* install(Calculator& calc, AppShell& shell, GraphScreenController& screen);
    // Makes every panel now (the screen places them from the start).
    void makePanels();

    // The screen's toolbar items on or off while a form or panel is up.
    std::function<void(bool enabled)> enableButtons;
    // The cursor blink on or off while a form takes keys.
    std::function<void(bool on)> cursorBlink;

    // ---- Calculate ----

    // The toolbar's calculate action on the selected plot.
    void doCalculation();
    // Leaving the graph closes its sheet and panel at once: a value half typed in a form is
    // entered, as Done does; in a program's input field, whose Done runs the program's
    // label, what was typed goes instead (never to the home line).
    void leaveCalculation();
    void showKeyboardMode(int mode);
    void updateCalculation();
    // When a read-out of the value form has no value, the error the home line gives for
    // the plot's equation there is shown, as zero, minimum, maximum and ∫ show theirs.
    void showReadOutError();
    void clearIntegration();
    void computeZero();
    void computeMin();
    void computeMax();
    void computeIntegral();
    void moveMagnifier();
    void updateFieldValues();
    void showStats();

    // GraphKeyboardDelegate
    std::vector<VQTemplateField> getFields() override;
    std::string title() const override;
    bool showIntegral() const override;
    void valueIntegralChange(int mode) override;
    void fieldDidChange(const VQTemplateField& field) override;
    void graphKeyboardDone() override;

    // GraphStatInfoViewDelegate
    std::vector<VQTemplateField> getStatFields() override;
    std::string getStatTitle() const override;
    void graphStatInfoDone() override;

    // ---- Graph view delegate calls, forwarded by the screen ----

    void selectPlot(PlotObject* plot, const PlotPoint& at);
    void trackObj(PlotObject* plot, const PlotPoint& at);
    void windowChanged();
    // The variables panel's frame after the graph's size changed: 44 points above the
    // bottom edge, hidden without a selected plot.
    void adjustGraphSlidersView();
    // One hook for both: a newly picked plot (null: none) rebuilds the variables panel, the
    // trace dragged along the plot it shows moves its own variable.
    void plotSelected(PlotObject* plot, const PlotPoint& at);

    // GraphVarsViewDelegate
    void showSlider(bool shown, double height) override;
    void startTrackingVar(int varNum) override;
    void stopTrackingVar() override;
    void trace(double value, double err) override;
    void valueChanged() override;
    void editVar(const YEqVarInfo& record, int index) override;

    // A program's input field clicked: the sheet asks for its variable's value; Done
    // stores it and runs the field's label.
    void editInputField(int tag);

    // A range's step kept to 200..2000 steps (0: 200 steps).
    static double adjustStep(double min, double max, double step);
    // The edited record put in order: min <= max, max != min, step >= 0, min <= value <= max.
    static void orderRecord(YEqVarInfo& record);

    // ---- State, read by the screen and the tests ----

    int keyboardMode = -1;
    int computeMode = Value;
    double varIndependent = 0;
    double varX = 0, varY = 0, varR = 0, varTheta = 0, dydx = 0, dxdt = 0, dydt = 0, drdtheta = 0;
    double lower = 0, upper = 0, tol = 0.001, area = 0, zero = 0, min = 0, max = 0;
    // The edited variable: its record and its place in the plot's varInfoArray (-1: the
    // plot's own variable).
    YEqVarInfo varInfo;
    int varInfoIndex = -1;
    int editVarNum = -1;
    // The input field being typed in (its tag) and the value typed so far.
    int inputFieldTag = -1;
    double inputFieldValue = 0;

    GraphKeyboardView* keyboard() const { return keyboard_; }
    GraphStatInfoView* statInfo() const { return statInfo_; }
    GraphVarsView* varsView() const { return varsView_; }
    GraphProgramControls& programControls() const { return *programControls_; }

private:
    PlotObject* plot() const;
    // Zero, minimum or maximum between lower and upper: the read-out and the feature mark.
    void computeFeature(int mode);
    std::shared_ptr<YEqModel> yEq() const;
    // The ∫ record's shading set, on the equation or else on the plot's drawing record.
    void storeIntegration(double lo, double hi, double a, double t);
    double fieldValueFor(int tag) const;
    void closeKeyboard();
    // A form types on a line of its own: the line it finds (the home screen's, half typed)
    // is set aside by the calculator while the form is open and given back, as it was,
    // when it closes.
    void setOtherLineAside();
    void giveOtherLineBack();
    // The variables panel across the graph, its bottom 44 points above the graph's.
    void placeVarsView(double height);

    Calculator& calc_;
    GraphView& view_;
    QWidget* host_;
    AppShell* shell_;
    GraphKeyboardView* keyboard_ = nullptr;
    GraphStatInfoView* statInfo_ = nullptr;
    GraphVarsView* varsView_ = nullptr;
    std::unique_ptr<GraphProgramControls> programControls_;
    std::vector<VQTemplateField> fields_;
    bool tDrawCoord_ = true;
    bool tDrawDyDx_ = false;
};

} // namespace orvenda
