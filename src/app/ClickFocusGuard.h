#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace orvenda {

// The one route of the computer's keys in a window: a click, double click, drag or wheel
// turn selects what it lands on but never takes the keys, which stay with what had them:
// the calculator keyboard, or the screen, sheet or keypad that took them when it came
// forward. No widget of the window takes the focus by a click (each loses that policy as
// it is first shown) but a field that takes typed text (a search field, a form's field,
// the notes page) and the calculator keyboard, which takes the keys back. A widget that
// must have the keys on a tap takes them itself; a click on a screen takes them back from
// a screen inside it (the graph from the table beside it). Watches the application's
// events for one window, which outlives it. Main thread.
class ClickFocusGuard : public QObject {
public:
    // keyboard: the calculator keyboard in front of the window at the time.
    ClickFocusGuard(QWidget& window, std::function<QWidget*()> keyboard);
    ~ClickFocusGuard() override;
    ClickFocusGuard(const ClickFocusGuard&) = delete;
    ClickFocusGuard& operator=(const ClickFocusGuard&) = delete;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* guarded(QObject* watched) const;
    void pressed(QWidget& widget);

    QWidget& window_;
    std::function<QWidget*()> keyboard_;
};

} // namespace orvenda
