#pragma once

#include "app/ScreenController.h"
#include "graphui/VQTemplateView.h"

namespace orvenda {

class AppShell;
class LcdView;
class SegmentedControl;

// The TABLE SETUP screen: TblStart and ΔTbl as a form, written at once (with
// VQSyncWindowVars), and the choice between the automatic column (segment 0, tableMode 1)
// and one that asks for each value (segment 1, tableMode 0), the selected segment drawn
// as the mode screen draws its choices. Main thread.
class TableSetScreen : public ScreenController, public VQTemplateView::Delegate {
public:
    static constexpr int kBarHeight = 40;

    TableSetScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);

    VQTemplateView& form() const { return *form_; }
    int selectedSegment() const;
    const SegmentedControl& selector() const { return *segments_; }
    void autoAsk(int segment);
    void updateFields();
    void updateDisplay() override;
    void focus(bool gained) override;
    nlohmann::json typedPlace() const override { return form_->place(); }
    void restoreTypedPlace(const nlohmann::json& place) override { form_->restorePlace(place); }
    void fieldDidChange(VQTemplateField& field) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    LcdView* lcd_;
    VQTemplateView* form_;
    QWidget* bar_;
    SegmentedControl* segments_;
};

} // namespace orvenda
