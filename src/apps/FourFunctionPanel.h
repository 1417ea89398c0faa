#pragma once

#include "app/ScreenController.h"
#include "apps/FourFunctionCalc.h"

#include <array>
#include <functional>

class QLabel;
class QPushButton;

namespace orvenda {

// The four-function desk calculator over the display and the keyboard: eighteen buttons
// (digits, point, clear, the four operators and two equals keys), a main and a small
// display showing the same text, and Done. It keeps nothing of the main calculator's
// state. The computer's keys work it too: digits, ".", + - * /, Return or "=", Delete or
// "c" to clear; Escape closes it. Main thread.
class FourFunctionPanel : public ScreenController {
public:
    static constexpr int kButtonCount = 18;

    FourFunctionPanel(Calculator& calc, QWidget* parent = nullptr);

    void updateDisplay() override;
    QWidget* leaveControl() const override;

    // A press of the button with this tag (0-17), as a click on it.
    void press(int tag);
    QString text() const;
    QPushButton* button(int tag) const { return buttons_[static_cast<std::size_t>(tag)]; }
    // Without Done where a bar around the panel leads back (the help menu's).
    void setDoneShown(bool shown);

    std::function<void()> keyClick;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    FourFunctionCalc desk_;
    QPushButton* done_;
    QLabel* display_;
    QLabel* smallDisplay_;
    std::array<QPushButton*, kButtonCount> buttons_{};
};

} // namespace orvenda
