#pragma once

#include "app/ScreenController.h"

#include <QRect>

#include <functional>

class QKeyEvent;
class QLabel;
class QScrollArea;
class QTimer;

namespace orvenda {

class ImageButton;
class ProgramEditView;
class ProgramModel;
class VarsView;

// The program debugger: below the display (which stays free for the program's output; in
// a window too short for that, beside the output's lines) it shows the program in debug
// mode with its breakpoints and the current statement, the variables panel, and Step, Run
// and Quit. Step (and the keys s and S) runs one statement; a held Step repeats after
// 0.5 s, then every 0.05 s, until a step fails. Run hands the program to the interpreter
// and hides the debugger until the program ends or reaches a breakpoint. Quit (and Escape)
// leaves debug mode for the editor.
class ProgramDebuggerScreen : public ScreenController {
public:
    static constexpr int kFirstRepeatMs = 500;
    static constexpr int kRepeatMs = 50;

    ProgramDebuggerScreen(Calculator& calc, ProgramModel& model, QWidget* parent = nullptr);
    ~ProgramDebuggerScreen() override;

    ProgramEditView& editView() const { return *edit_; }
    VarsView& varsView() const { return *vars_; }
    ImageButton& stepButton() const { return *step_; }
    ImageButton& runButton() const { return *run_; }
    ImageButton& quitButton() const { return *quit_; }
    QLabel& nameLabel() const { return *name_; }
    const QTimer& repeatTimer() const { return *repeat_; }
    // The debugger's own part: under the display, which is left uncovered for the
    // program's output, or beside the output's lines where the window is too short.
    QRect part() const { return part_; }
    int displayHeight() const { return part_.top(); }

    void updateDisplay() override;
    QWidget* leaveControl() const override;
    void focus(bool gained) override;

    // One step, as the key s does; false when the step failed or nothing was left. A step
    // asked for while the last one still runs is taken when that one reports: each press
    // is one step, however quick.
    bool step();
    // Step pressed and released, and the repeat timer's tick.
    void stepPressed();
    void stepReleased();
    void autoKey();
    void run();
    void done();
    // Where the computer's other keys go: the calculator keyboard's dispatch, so a key
    // pressed between steps is the one the next step's getKey reads.
    void setComputerKeys(std::function<bool(const QKeyEvent&)> keys) { computerKeys_ = std::move(keys); }
    // How a key's action waits its turn behind the keys typed before it (the keyboard's
    // hold while a run answers).
    void setInTurn(std::function<void(std::function<void()>)> inTurn) { inTurn_ = std::move(inTurn); }

protected:
    void subscribe() override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The step key s: a step in its turn, after the keys typed before it.
    void stepKey();
    // A run it started stopped: ended, or a step's or breakpoint's stop.
    void runStopped(bool ended);
    // The step before is still running.
    bool stepRunning() const;
    // A step owed to a press made while the step before it ran.
    void takeOwedStep();
    bool stepNow();
    // A computer key other than the debugger's own, for the getKey the next step runs;
    // false when nothing took it.
    bool offerToStep(const QKeyEvent& event);

    ProgramModel& model_;
    QLabel* name_;
    ProgramEditView* edit_;
    VarsView* vars_;
    QScrollArea* varsScroller_;
    ImageButton* step_;
    ImageButton* run_;
    ImageButton* quit_;
    QTimer* repeat_;
    // Owns the observers kept while the debugger is hidden.
    QObject* session_;
    int stepsOwed_ = 0;
    bool leaving_ = false;
    QRect part_;
    std::function<bool(const QKeyEvent&)> computerKeys_;
    std::function<void(std::function<void()>)> inTurn_;
};

} // namespace orvenda
