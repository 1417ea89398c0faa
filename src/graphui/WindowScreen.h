#pragma once

#include "app/ScreenController.h"
#include "graphui/VQTemplateView.h"

namespace orvenda {

class AppShell;
class LcdView;

// The WINDOW screen: a form of the window variables of the graph mode, each field bound
// to its variable slot (the tag). A change is written at once and announced with
// VQSyncWindowVars; any value is taken (the graph orders each pair when it zooms).
// Main thread.
class WindowScreen : public ScreenController, public VQTemplateView::Delegate {
public:
    WindowScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);

    // The form's fields for a graph mode: label and slot by row, empty for another mode.
    static std::vector<VQTemplateField> fieldsFor(const Calculator& calc, int graphMode);

    VQTemplateView& form() const { return *form_; }
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
};

} // namespace orvenda
