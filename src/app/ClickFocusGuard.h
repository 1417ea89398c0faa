#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QKeyEvent;
class QWidget;

namespace orvenda {

// The one route of the computer's keys in a window: a click, double click, drag or wheel
// turn selects what it lands on but never takes the keys, which stay with what had them:
// the calculator keyboard, or the screen, sheet or keypad that took them when it came
// forward. No widget of the window takes the focus by a click (each loses that policy as
// it is first shown) but a field that takes typed text (a search field, a form's field,
// the notes page) and the calculator keyboard, which takes the keys back. A widget that
// must have the keys on a tap takes them itself; a click on a screen takes them back from
// a screen inside it (the graph from the table beside it).
//
// A field gives the keys back however it is left: a click outside it hands them at once
// to what had them before (the screen in front); a field closed, hidden or made read-only
// under them (Done, Back, Escape, Preview, QUIT), or a Tab that moved them to a control,
// hands the next key there. Tab leaves a field too, and has no other command. Watches the
// application's events for one window, which outlives it. Main thread.
class ClickFocusGuard : public QObject {
public:
    // keyboard: the calculator keyboard in front of the window at the time; front: what
    // takes the keys in front when what had them last is gone.
    ClickFocusGuard(QWidget& window, std::function<QWidget*()> keyboard, std::function<QWidget*()> front);
    ~ClickFocusGuard() override;
    ClickFocusGuard(const ClickFocusGuard&) = delete;
    ClickFocusGuard& operator=(const ClickFocusGuard&) = delete;

    bool eventFilter(QObject* watched, QEvent* event) override;

    // A widget that takes typed text (Qt's own mark of one) by a click.
    static bool takesText(const QWidget& widget);
    // Shown and not slid out of the pages around it.
    static bool inSight(const QWidget& widget);

private:
    QWidget* guarded(QObject* watched) const;
    void pressed(QWidget& widget);
    void focusedIn(QWidget& widget, Qt::FocusReason reason);
    // A key event aimed at the widget that has (or had) the keys; true when it was taken
    // to the screen in front instead.
    bool keyed(QWidget& widget, QKeyEvent& event);
    // What has the keys can no longer use them: gone, hidden, disabled, or a control a Tab
    // or a hidden field passed them to.
    bool stranded(const QWidget* focus) const;
    // Whom the keys go back to: what took them last, while it can, else the front.
    QWidget* keysHome() const;

    QWidget& window_;
    std::function<QWidget*()> keyboard_;
    std::function<QWidget*()> front_;
    // What last took the keys on purpose (not a field).
    QPointer<QWidget> holder_;
    // A control the focus chain gave the keys to.
    QPointer<QWidget> passed_;
    // A key's shortcut check found the keys stranded here and took them home.
    QPointer<QWidget> retarget_;
};

} // namespace orvenda
