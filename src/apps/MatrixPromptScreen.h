#pragma once

#include "app/ScreenController.h"

class QLabel;
class QPushButton;
class QSlider;

namespace orvenda {

class LcdView;
class ScreenRouter;

// Asks the size of a matrix template before it goes into a MathPrint entry line: rows and
// columns on two sliders from 1 to 6, 2 × 2 each time it opens. LEFT and RIGHT change the
// selected slider, UP and DOWN switch between them, ENTER or OK inserts the template at
// the home screen, Cancel (or Escape) goes home without one. Main thread.
class MatrixPromptScreen : public ScreenController {
public:
    static constexpr int kMin = 1, kMax = 6;

    MatrixPromptScreen(Calculator& calc, ScreenRouter& router, QWidget* parent = nullptr);

    int rows() const;
    int cols() const;
    int selectedSlider() const { return selected_; }
    QString rowText() const;
    QString colText() const;
    QSlider& rowSlider() const { return *rowSlider_; }
    QSlider& colSlider() const { return *colSlider_; }

    void shown(const ScreenRequest& request) override;
    QWidget* leaveControl() const override;

    void cursorUpDown();
    void cursorLeftRight(int step);
    void ok();

protected:
    void subscribe() override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Shows the slider's nearest whole value (halves away from zero) and, unless its thumb
    // is being dragged, snaps the slider to it.
    void showValue(QSlider* slider, bool snap = true);
    static int whole(const QSlider& slider);

    ScreenRouter& router_;
    LcdView* lcd_;
    QLabel* title_;
    QSlider* rowSlider_;
    QSlider* colSlider_;
    QLabel* rowLabel_;
    QLabel* colLabel_;
    QLabel* rowName_;
    QLabel* colName_;
    QPushButton* ok_;
    QPushButton* cancel_;
    int selected_ = 0;
};

} // namespace orvenda
