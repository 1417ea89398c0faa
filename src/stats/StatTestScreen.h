#pragma once

#include "app/ScreenController.h"
#include "core/Calculator.h"
#include "graphui/SmallCalcView.h"
#include "stats/StatTestView.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

class QCheckBox;
class QPushButton;

namespace orvenda {

class AppShell;
class DrawDistribution;
class EntryModel;
class FixedGraphView;
class PlotDistribution;
class SegmentedControl;
class StatTestListPicker;
class StatTestMenu;

// The statistics test screen: every hypothesis test, confidence interval and regression of
// STAT ▸ TESTS on one screen. From the top: the result graph (the distribution with the
// p-value region or the test's range shaded, or the data with the fitted curve), the form
// (title, data lists, input fields, results) and the compact keypad. The procedure is
// recomputed after every change, so results and graph are always current. Field values and
// results live in the calculator's statistics variable slots. Done, QUIT and Escape close
// it. Main thread.
class StatTestScreen : public ScreenController, public StatTestView::Delegate, public SmallCalcViewDelegate {
public:
    StatTestScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);
    ~StatTestScreen() override;

    // The show: the procedure's token (another number keeps the procedure shown last).
    void shown(const ScreenRequest& request) override;
    void focus(bool gained) override;
    void updateDisplay() override;
    // Done.
    QWidget* leaveControl() const override;
    nlohmann::json typedPlace() const override
    {
        return {{"n", testNum_}, {"stats", statsForm() ? 1 : 0}, {"field", currentField()}};
    }
    void restoreTypedPlace(const nlohmann::json& place) override;

    void setTestNum(std::uint32_t op);
    std::uint32_t testNum() const { return testNum_; }
    // The form's height: its row height times the procedure's row factor.
    double testWindowHeight() const;

    // ---- The form's questions ----
    std::string title() const override;
    std::uint32_t testOpCode() const override { return testNum_; }
    int numLists() const override;
    std::string listName(int i) const override;
    std::string freqName(int i) const override;
    int listN(int i) const override;
    double listXBar(int i) const override;
    double listSx(int i) const override;
    std::string matrixName(int i) const override;
    int numFields() const override { return static_cast<int>(vars().size()); }
    // The slot of field i; -1 outside the fields.
    int getRegForField(int i) const;
    std::string fieldName(int i) const override;
    double fieldValue(int i) const override;
    int numLeftResults() const override { return static_cast<int>(leftVars().size()); }
    std::string resultLName(int i) const override;
    double resultLValue(int i) const override;
    int numResults() const override { return static_cast<int>(rvars().size()); }
    std::string resultName(int i) const override;
    double resultValue(int i) const override;
    std::string entryText() const override;
    int entryCursor() const override;
    void selectList() override;
    void selectField(int i) override;

    std::span<const std::uint32_t> vars() const;
    std::span<const std::uint32_t> rvars() const;
    std::span<const std::uint32_t> leftVars() const;
    bool statsForm() const;
    int currentField() const { return form_->currentField(); }

    // ---- Editing ----
    void cursorUp();
    void cursorDown();
    // RIGHT on an empty line loads the current field's value into it for editing.
    void cursorRight();
    void enter();
    // Evaluates the typed text into the current field: false when it failed (the field
    // keeps its value, the text stays for correcting).
    bool getEntry();
    void keyTouched() override;
    void smallKeyboardDone() override { done(); }
    void done();

    // ---- Lists, picked ----
    void doneLists(const std::string& l1, const std::string& f1, const std::string& l2, const std::string& f2);
    void didSelectLists(const std::string& l1, const std::string& f1, const std::string& l2, const std::string& f2);
    void doneMatrices(int m1, int m2);
    void validateListInputs();
    // The list's position among the calculator's list names; -1 when it is not one.
    int listNumForName(const std::string& name) const;

    // ---- Computation ----
    void computeTest();
    void computeRegression();
    void regressionButton(int tag);
    void reportError(int error);
    // The last computation failed: the results shown are none (NaN).
    bool failed() const { return failed_; }

    // The graph's window {xMin, xMax, yMin, yMax}.
    const Calculator::Bounds& window() const { return window_; }
    const PlotDistribution& distribution() const { return *distribution_; }

    std::string list1 = "L₁", list2 = "L₂", freq1 = "1", freq2 = "1";
    int matrix1 = 0, matrix2 = 1;
    int regressionModel = 0;

    // The parts, for the driver and the tests.
    StatTestView& form() const { return *form_; }
    FixedGraphView& graphView() const { return *graph_; }
    SmallCalcView& keypad() const { return *keypad_; }
    SegmentedControl& hypothesisControl() const { return *hypothesis_; }
    SegmentedControl& dataStatsControl() const { return *dataStats_; }
    SegmentedControl& dataResidControl() const { return *dataResid_; }
    QCheckBox& poolSwitch() const { return *poolSwitch_; }
    QWidget& poolView() const { return *poolView_; }
    QWidget& regressionButtonView() const { return *regressionView_; }
    QPushButton& regressionButtonAt(int tag) const { return *regressionButtons_[static_cast<std::size_t>(tag)]; }
    QPushButton& menuButton() const { return *menuButton_; }
    QPushButton& doneButton() const { return *doneButton_; }
    StatTestMenu& showTestMenu();
    StatTestMenu* testMenu() const { return menu_; }
    StatTestListPicker* listPicker() const { return picker_; }

protected:
    void subscribe() override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    EntryModel* entry() const;
    double slotValue(int slot) const;
    void putSlot(int slot, double value);
    void layout();
    // Data or summary values picked: the form's fields change.
    void formChanged();
    // The computer's keys go to the keypad, or to the screen while it has none.
    void takeKeys();
    // Over the screen on a phone; a tablet's popover at the Tests button.
    void placeMenu();
    void syncViews();
    void saveEntry();
    // The sample statistics of the Data form's lists into their slots: false when a list
    // could not be read (its n 0, mean and deviation NaN).
    bool refreshListStats();
    void normalTest(int h);
    void tTest(int h, double df);
    void chiSquareWindow(double df);
    void linRegGraph();
    void setWindow(double x1, double x2, double y1, double y2);
    void highlightModelButton();

    AppShell& shell_;
    QWidget* toolBar_;
    QPushButton* menuButton_;
    QPushButton* doneButton_;
    FixedGraphView* graph_;
    StatTestView* form_;
    SmallCalcView* keypad_;
    SegmentedControl* hypothesis_;
    SegmentedControl* dataStats_;
    SegmentedControl* dataResid_;
    QWidget* poolView_;
    QCheckBox* poolSwitch_;
    QWidget* regressionView_;
    std::array<QPushButton*, 10> regressionButtons_{};
    StatTestMenu* menu_ = nullptr;
    StatTestListPicker* picker_ = nullptr;
    std::shared_ptr<DrawDistribution> dd_;
    std::shared_ptr<PlotDistribution> distribution_;
    Calculator::Bounds window_{-1, 1, -1, 1};
    std::uint32_t testNum_ = 0x5C26;
    bool listInputErrorReported_ = false;
    // The last computation failed: no results are shown for the inputs on the form.
    bool failed_ = false;
    // A procedure is being chosen: its values are the ones it found.
    bool choosing_ = false;
    // The error of the last computation, 0 for none.
    int lastError_ = 0;
};

} // namespace orvenda
