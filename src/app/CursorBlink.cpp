#include "app/CursorBlink.h"

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"

#include <QCoreApplication>
#include <QTimer>

namespace orvenda {

CursorBlink::CursorBlink(Calculator& calc)
    : calc_(calc)
{
    if (!QCoreApplication::instance())
        return;
    timer_ = std::make_unique<QTimer>();
    timer_->setInterval(kIntervalMs);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { blinkCursor(); });
}

CursorBlink::~CursorBlink() = default;

void CursorBlink::resetBlink()
{
    if (timer_ && !stepped_)
        timer_->start();
    calc_.cursorVisible = true;
}

void CursorBlink::cursorBlink(bool on)
{
    if (on)
        resetBlink();
    else if (timer_)
        timer_->stop();
}

void CursorBlink::blinkCursor()
{
    calc_.cursorVisible = !calc_.cursorVisible;
    calc_.notificationCenter().post(VQBlinkCursor, &calc_);
}

bool CursorBlink::running() const { return timer_ && timer_->isActive(); }

void CursorBlink::setStepped(bool stepped)
{
    stepped_ = stepped;
    if (stepped && timer_)
        timer_->stop();
}

} // namespace orvenda
