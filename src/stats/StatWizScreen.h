#pragma once

#include "app/ScreenController.h"
#include "graphui/VQTemplateView.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QPushButton;

namespace orvenda {

class AppShell;
class LcdView;
class ScreenRouter;

// The statistics wizard: a form of a statistics command's arguments (its lists, the
// frequency list, the equation to store a regression in, SinReg's iterations and period),
// opened from a menu in place of the bare command. Calculate pastes the finished command
// into the entry line and goes home, where ENTER runs it. Every opening starts from L₁, L₂,
// no frequency list, no equation, 1 iteration and period 0. Main thread.
class StatWizScreen : public ScreenController, public VQTemplateView::Delegate {
public:
    using Ops = std::vector<std::uint32_t>;

    // The field tags: where fieldDidChange stores a value.
    enum Tag { XListTag = 0, YListTag = 1, FreqTag = 2, RegEqTag = 3, IterationsTag = 4, PeriodTag = 5 };

    StatWizScreen(Calculator& calc, AppShell& shell, ScreenRouter& router, QWidget* parent = nullptr);

    // The wizard's show: the command's opcode.
    void shown(const ScreenRequest& request) override;
    void focus(bool gained) override;
    void updateDisplay() override;
    // The field typed in, with the form around it (no save keeps the form otherwise).
    nlohmann::json typedPlace() const override;
    void restoreTypedPlace(const nlohmann::json& place) override;

    void setOp(std::uint32_t op);
    std::uint32_t op() const { return op_; }
    // The command's name, as the form's title shows it.
    std::string commandName() const;
    void fieldDidChange(VQTemplateField& field) override;
    // The command with its arguments; empty for an opcode without a form.
    Ops commandOps() const;
    // Commits the field being edited, pastes the command and goes home; a field that
    // fails to evaluate keeps the form open.
    void calculate();

    VQTemplateView& form() const { return *form_; }
    QPushButton& calculateButton() const { return *calculate_; }
    // The equation token a stored value names: a Y= function, else none.
    static std::optional<std::uint32_t> regEqToken(double value);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::vector<VQTemplateField> fields() const;

    ScreenRouter& router_;
    LcdView* lcd_;
    VQTemplateView* form_;
    QPushButton* calculate_;
    std::uint32_t op_ = 0;
    Ops xList_;
    Ops yList_;
    Ops freqList_;
    std::array<double, 6> wizValues_{};
};

} // namespace orvenda
