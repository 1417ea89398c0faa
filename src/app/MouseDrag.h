#pragma once

#include "platform/SteadyClock.h"

#include <QPointF>

namespace orvenda {

// A mouse drag read as a finger's pan: nothing until it leaves the press by the desktop's
// drag distance, then its translation from the press and the velocity of its last move.
// A drag that rested more than 100 ms before the release throws nothing. Times come from
// the steady clock the tests replace. Main thread.
class MouseDrag {
public:
    enum class Step { None, Began, Moved };

    void press(QPointF at);
    // A double click's second press: the drag is held again where it was.
    void hold() { pressed_ = true; }
    // None while the drag is within the drag distance, Began when it leaves it, then Moved.
    Step move(QPointF at);
    // The velocity the drag is thrown with; the drag ends.
    QPointF release();

    bool pressed() const { return pressed_; }
    bool panning() const { return panning_; }
    QPointF pressAt() const { return pressAt_; }
    QPointF translation(QPointF at) const { return at - pressAt_; }
    QPointF velocity() const { return velocity_; }

private:
    qint64 msSincePress() const;

    QPointF pressAt_;
    QPointF lastMove_;
    QPointF velocity_;
    SteadyClock::time_point pressTime_;
    qint64 lastMoveAt_ = 0;
    bool pressed_ = false;
    bool panning_ = false;
};

} // namespace orvenda
