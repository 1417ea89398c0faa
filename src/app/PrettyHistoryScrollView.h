#pragma once

#include "app/VQTableScrollView.h"

namespace orvenda {

class Calculator;
class PrettyHistoryView;

// The scroll view of the MathPrint history. A tap selects the input or answer under it
// (VQHistorySelectionChanged, with this view as object; a tap on nothing changes nothing);
// a press on an item wider than the view locks the drag to one direction; the selected
// item scrolls sideways by a distance (cursorAmount). Main thread.
class PrettyHistoryScrollView : public VQTableScrollView {
public:
    PrettyHistoryScrollView(Calculator& calc, QWidget* parent = nullptr);

    void setHistoryView(PrettyHistoryView* view);
    PrettyHistoryView* historyView() const { return view_; }

    // Scrolls the selected item sideways by d (clamped to its width).
    void cursorAmount(double d);

protected:
    void tapped(QPointF contentPoint) override;
    bool viewportEvent(QEvent* event) override;

private:
    Calculator& calc_;
    PrettyHistoryView* view_ = nullptr;
};

} // namespace orvenda
