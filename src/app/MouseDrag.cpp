#include "app/MouseDrag.h"

#include <QApplication>

#include <chrono>

namespace orvenda {

void MouseDrag::press(QPointF at)
{
    pressed_ = true;
    panning_ = false;
    pressAt_ = lastMove_ = at;
    velocity_ = QPointF();
    pressTime_ = SteadyClock::now();
    lastMoveAt_ = 0;
}

qint64 MouseDrag::msSincePress() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - pressTime_).count();
}

MouseDrag::Step MouseDrag::move(QPointF at)
{
    Step step = Step::Moved;
    if (!panning_) {
        if ((at - pressAt_).manhattanLength() < QApplication::startDragDistance())
            return Step::None;
        panning_ = true;
        step = Step::Began;
    }
    const qint64 now = msSincePress();
    if (now > lastMoveAt_)
        velocity_ = (at - lastMove_) * 1000.0 / double(now - lastMoveAt_);
    lastMove_ = at;
    lastMoveAt_ = now;
    return step;
}

QPointF MouseDrag::release()
{
    // A finger that rested before lifting throws nothing.
    const QPointF thrown = panning_ && msSincePress() - lastMoveAt_ <= 100 ? velocity_ : QPointF();
    pressed_ = panning_ = false;
    return thrown;
}

} // namespace orvenda
