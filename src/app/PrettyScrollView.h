#pragma once

#include "app/VQTableScrollView.h"

namespace orvenda {

class PrettyScrollPanDelegate;

// The scroll view of the MathPrint entry line. A drag scrolls a wide or tall entry; once
// the finger has moved more than 20 points vertically over an entry no taller than the
// delegate's view, the drag instead moves the split between history and entry through the
// pan delegate. Main thread.
class PrettyScrollView : public VQTableScrollView {
public:
    // Vertical travel before a drag moves the split.
    static constexpr double kPanThreshold = 20;

    explicit PrettyScrollView(QWidget* parent = nullptr);

    PrettyScrollPanDelegate* panDelegate() const { return panDelegate_; }
    void setPanDelegate(PrettyScrollPanDelegate* delegate) { panDelegate_ = delegate; }

protected:
    bool viewportEvent(QEvent* event) override;

private:
    PrettyScrollPanDelegate* panDelegate_ = nullptr;
    QPointF basePoint_;
    QPointF lastPoint_;
    bool dragging_ = false;
    bool panning_ = false;
};

} // namespace orvenda
