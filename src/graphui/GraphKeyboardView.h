#pragma once

#include "graphui/SmallCalcView.h"
#include "graphui/VQTemplateView.h"

#include <QWidget>

class QComboBox;
class QPushButton;

namespace orvenda {

class AppShell;
class Calculator;
class GraphKeyboardDelegate;
class OverlaySlide;

// The sheet that slides up over the graph with a form of fields from the graph screen
// (a calculation's bounds and result, a slider's value and range) and the compact keypad
// to type them, a value/integral switch where the screen offers it and a done button,
// laid out whole inside the view at every size (GraphSheetLayout). The graph behind is
// dimmed while it shows. Main thread only.
class GraphKeyboardView : public QWidget, public SmallCalcViewDelegate, public VQTemplateView::Delegate {
public:
    static constexpr int kSlideMs = 350;

    GraphKeyboardView(Calculator& calc, AppShell& shell, GraphKeyboardDelegate& delegate, QWidget* parent = nullptr);

    // Slides the sheet in or out; the view hides once the sheet is out.
    void show(bool shown);
    // Out and hidden at once (the screen under it is going).
    void hideNow();
    // In, or on its way in.
    bool isOpen() const;
    void focus(bool on);
    void updateDisplay();
    void updateFields();
    // The done button: the field being typed is committed, then the screen is told.
    void gkDone();
    // The value/integral switch chose a compute mode.
    void valueIntegral(int mode);

    VQTemplateView& form() const { return *form_; }
    SmallCalcView& keypad() const { return *keypad_; }
    QPushButton& doneButton() const { return *doneButton_; }
    QComboBox& valueIntegralSeg() const { return *segment_; }
    // The sheet's frame as it stands (it slides between below the bottom edge and on it).
    QRect sheetFrame() const;
    double dim() const { return dim_; }

    void keyTouched() override;
    void smallKeyboardDone() override { gkDone(); }
    void fieldDidChange(VQTemplateField& field) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutSheet(double shownFraction);
    // The form takes the screen's title and fields.
    void refreshForm();

    Calculator& calc_;
    GraphKeyboardDelegate& delegate_;
    QWidget* sheet_;
    QWidget* lcdView_;
    VQTemplateView* form_;
    SmallCalcView* keypad_;
    QComboBox* segment_;
    QPushButton* doneButton_;
    OverlaySlide* slide_;
    double shown_ = 0;
    double dim_ = 0;
};

} // namespace orvenda
