#pragma once

#include "app/ScreenController.h"

class QPushButton;

namespace orvenda {

class ProgramOutputModel;
class ProgramOutputView;

// The screen a running program writes to: an LCD frame with a blue title band naming the
// program, the character grid of the output model under it, and a Quit button in the
// band. Quit, QUIT and Escape stop a program that still runs or waits (as ON does) and
// leave the screen; with no program left they only leave it. Redraws on the model's
// changes and the cursor's blink while it has the focus.
class ProgramOutputScreen : public ScreenController {
public:
    ProgramOutputScreen(Calculator& calc, const ProgramOutputModel& model, QWidget* parent = nullptr);

    ProgramOutputView& view() const { return *view_; }
    QPushButton& quitButton() const { return *quit_; }
    double titleHeight() const { return titleHeight_; }

    void updateDisplay() override;
    // The answer being typed to a program's question: no save keeps the run, nor the answer
    // as the home screen's line.
    nlohmann::json typedPlace() const override;
    // Stops the program, or leaves the screen when none is left.
    void quit();

protected:
    void subscribe() override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    const ProgramOutputModel& model_;
    ProgramOutputView* view_;
    QPushButton* quit_;
    double titleHeight_;
};

} // namespace orvenda
