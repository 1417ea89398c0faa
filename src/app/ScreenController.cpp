#include "app/ScreenController.h"

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "eval/Parser.h"

#include <QMetaObject>
#include <QPointer>
#include <QThread>

namespace orvenda {

void observeOnOwnerThread(NotificationCenter& bus, QObject* owner, std::string_view name,
    std::function<void(const Notification&)> callback)
{
    bus.addObserver(owner, name, [owner, callback = std::move(callback)](const Notification& note) {
        if (QThread::currentThread() == owner->thread()) {
            callback(note);
            return;
        }
        // The owner stays while this runs (removal waits for it); the queued call is
        // dropped with the owner.
        QMetaObject::invokeMethod(owner, [callback, note] { callback(note); }, Qt::QueuedConnection);
    });
}

ScreenController::ScreenController(Calculator& calc, QWidget* parent)
    : QWidget(parent), calc_(calc)
{
}

ScreenController::~ScreenController() { calc_.notificationCenter().removeObserver(this); }

double ScreenController::textScale() const { return calc_.device == 1 ? kTabletTextScale : 1; }

void ScreenController::focus(bool gained)
{
    if (gained == listening_)
        return;
    if (gained) {
        listening_ = true;
        subscribe();
    } else {
        calc_.notificationCenter().removeObserver(this);
        listening_ = false;
    }
}

void ScreenController::leave()
{
    // A copy: leaving may make the screen's owner set another way back.
    if (const auto leave = leave_)
        leave();
}

void ScreenController::observe(std::string_view name, std::function<void(const Notification&)> callback)
{
    // A delivery queued from another thread before the focus went is not made.
    QPointer<ScreenController> self(this);
    observeOnOwnerThread(calc_.notificationCenter(), this, name,
        [self, callback = std::move(callback)](const Notification& note) {
            if (self && self->listening_)
                callback(note);
        });
}

nlohmann::json ScreenController::answerPlace() const
{
    return calc().question().asks() ? nlohmann::json::object() : nlohmann::json();
}

} // namespace orvenda
