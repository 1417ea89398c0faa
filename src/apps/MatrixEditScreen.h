#pragma once

#include "app/ScreenController.h"

class QPushButton;

namespace orvenda {

class AppShell;
class LcdView;
class MatrixEditView;

// MATRIX ▸ EDIT: one of the matrices [A]…[J] in the matrix editor, opened with the cursor
// on its rows box. Left by its Done, QUIT or Escape. Main thread.
class MatrixEditScreen : public ScreenController {
public:
    MatrixEditScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);

    MatrixEditView& editor() const { return *editor_; }

    void updateDisplay() override;
    void focus(bool gained) override;
    // The request's number is the matrix picked (0 for [A]).
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
    LcdView* lcd_;
    MatrixEditView* editor_;
    QPushButton* done_;
};

} // namespace orvenda
