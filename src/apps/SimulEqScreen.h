#pragma once

#include "app/ScreenController.h"
#include "apps/SimulEqModel.h"

#include <QStringList>

class QPushButton;

namespace orvenda {

class AppShell;
class LcdView;
class MatrixEditView;
class SegmentedControl;

// The simultaneous equation solver: the system as a matrix (one row per equation, the
// constants last) in the matrix editor, with the menu SYSM CLR LOAD SOLVE; SOLVE shows the
// solution as a line per unknown ("No Solution" without one) with STO SOLN and RREF, RREF
// the reduced matrix with STO RREF. LOAD and the stores ask for a matrix from the matrix
// menu; its name comes back on the entry line when the screen regains the focus. A new
// system starts as 2 equations in 2 unknowns. Left by its Done, QUIT or Escape. Main thread.
class SimulEqScreen : public ScreenController {
public:
    SimulEqScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);

    MatrixEditView& editor() const { return *editor_; }
    const SegmentedControl& menu() const { return *menu_; }
    // 0 the system, 1 the solution, 2 the reduced form.
    int state() const;
    // What the next gain of focus finishes: 0 nothing, 1 load the system, 2 store the
    // solution, 3 store the reduced form.
    int pending() const { return pending_; }
    void menuChange(int segment);

    void updateDisplay() override;
    void focus(bool gained) override;
    void shown(const ScreenRequest& request) override;
    QWidget* leaveControl() const override;
    nlohmann::json typedPlace() const override;
    void restoreTypedPlace(const nlohmann::json& place) override;
    QRect cursorRect() const override;

protected:
    void subscribe() override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void changeState(int state);
    // Asks for a matrix from the matrix menu, for `what` to finish.
    void pickMatrix(int what);
    void finishPick();

    AppShell& shell_;
    SimulEqModel model_;
    LcdView* lcd_;
    MatrixEditView* editor_;
    SegmentedControl* menu_;
    QPushButton* done_;
    int pending_ = 0;
};

} // namespace orvenda
