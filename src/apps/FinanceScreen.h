#pragma once

#include "app/ScreenController.h"
#include "graphui/VQTemplateView.h"
#include "numeric/TVM.h"

#include <optional>
#include <vector>

class QPushButton;

namespace orvenda {

class AppShell;
class LcdView;
class SegmentedControl;

// The time-value-of-money solver (APPS ▸ Finance ▸ TVM Solver…): "TVM SOLVER" over the
// seven quantities N, I%, PV, PMT, FV, P/Y and C/Y, each bound to its variable slot, and
// the payment timing "End" / "Begin" bound to the begin/end slot. Solve (its button or the
// solve key) finds the quantity under the cursor from the other six, writes it to its
// slot and marks it until a field is edited; a solver's failure is shown as its error
// and changes no value. Main thread.
class FinanceScreen : public ScreenController, public VQTemplateView::Delegate {
public:
    FinanceScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);

    // The calculator's error number for a solver's error: 45 + e for 1 to 12, 16 for any
    // other but 0.
    static int errorNumberFor(int tvmError);

    VQTemplateView& form() const { return *form_; }
    SegmentedControl& timing() const { return *timing_; }
    QPushButton& solveButton() const { return *solve_; }

    void updateFields();
    void solve();
    void begEnd(int segment);

    void updateDisplay() override;
    void focus(bool gained) override;
    nlohmann::json typedPlace() const override { return form_->place(); }
    void restoreTypedPlace(const nlohmann::json& place) override { form_->restorePlace(place); }
    void fieldDidChange(VQTemplateField& field) override;
    QWidget* leaveControl() const override;
    QRect cursorRect() const override;

protected:
    void subscribe() override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void reportTVMError();

    LcdView* lcd_;
    AppShell& shell_;
    VQTemplateView* form_;
    SegmentedControl* timing_;
    QPushButton* done_;
    QPushButton* solve_;
    TVM tvm_;
    // The slot last solved and the value found: marked while the slot still holds it.
    int solvedSlot_ = 0;
    double solvedValue_ = 0;
};

} // namespace orvenda
