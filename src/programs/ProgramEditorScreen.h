#pragma once

#include "app/ScreenController.h"

#include <functional>

class QLabel;

namespace orvenda {

class ImageButton;
class LcdView;
class ProgramEditMagnifier;
class ProgramEditView;
class ProgramModel;
class ProgramOutputModel;
class ProgramOutputView;

// The program editor (screen 2): the open program in an edit view under a bar with its
// name ("Program:NAME"), the Edit/Debug toggle and a Quit button. The calculator keys edit
// the program through the model; taps and long presses go to the view. In debug mode the
// debugger covers the keyboard and this screen shows the program's output instead of its
// text ("Debug:NAME"). Losing the focus saves the program.
class ProgramEditorScreen : public ScreenController {
public:
    ProgramEditorScreen(Calculator& calc, ProgramModel& model, const ProgramOutputModel& output, QWidget* parent = nullptr);

    ProgramEditView& editView() const { return *edit_; }
    // The loupe over the edit view while a long press selects.
    ProgramEditMagnifier& magnifier() const { return *magnifier_; }
    ProgramOutputView& outputView() const { return *output_; }
    QLabel& nameLabel() const { return *name_; }
    ImageButton& debugButton() const { return *debug_; }
    ImageButton& quitButton() const { return *quit_; }

    // Leaves the editor for the home screen (Quit, as 2nd QUIT does).
    std::function<void()> onQuit;

    void updateDisplay() override;
    void focus(bool gained) override;
    // In debug mode a question the run asks is answered on the shared line.
    nlohmann::json typedPlace() const override;
    // The Edit/Debug button.
    void editDebug();

protected:
    void subscribe() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // A step, a breakpoint or the end of a run in debug mode.
    void programStopped();

    ProgramModel& model_;
    LcdView* background_;
    QLabel* name_;
    ImageButton* debug_;
    ImageButton* quit_;
    ProgramEditView* edit_;
    ProgramOutputView* output_;
    ProgramEditMagnifier* magnifier_;
};

} // namespace orvenda
