#include "app/ClickFocusGuard.h"

#include "app/ScreenController.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QRect>
#include <QWidget>

#include <utility>

namespace orvenda {

namespace {

ScreenController* screenAround(QWidget* widget)
{
    for (; widget; widget = widget->parentWidget())
        if (auto* screen = dynamic_cast<ScreenController*>(widget))
            return screen;
    return nullptr;
}

bool isTab(const QKeyEvent& key)
{
    return (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab)
        && !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

ClickFocusGuard::ClickFocusGuard(QWidget& window, std::function<QWidget*()> keyboard, std::function<QWidget*()> front)
    : window_(window), keyboard_(std::move(keyboard)), front_(std::move(front))
{
    qApp->installEventFilter(this);
}

ClickFocusGuard::~ClickFocusGuard() { qApp->removeEventFilter(this); }

bool ClickFocusGuard::takesText(const QWidget& widget)
{
    return widget.testAttribute(Qt::WA_InputMethodEnabled) && (widget.focusPolicy() & Qt::ClickFocus);
}

bool ClickFocusGuard::inSight(const QWidget& widget)
{
    const QWidget* window = widget.window();
    QRect shown(widget.mapTo(window, QPoint(0, 0)), widget.size());
    for (const QWidget* around = &widget; around != window && shown.isValid();) {
        around = around->parentWidget();
        shown &= QRect(around->mapTo(window, QPoint(0, 0)), around->size());
    }
    return widget.isVisible() && !shown.isEmpty();
}

QWidget* ClickFocusGuard::guarded(QObject* watched) const
{
    if (!watched->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(watched);
    return widget->window() == &window_ ? widget : nullptr;
}

bool ClickFocusGuard::eventFilter(QObject* watched, QEvent* event)
{
    // Nothing of an event is read before its receiver is known to be a widget: the work the
    // program thread posts is an event made there, which only its receiver reads, under the
    // queue's lock.
    if (!watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Polish:
        // A field that takes typed text keeps its click focus (Qt's own mark of one); no
        // other widget takes the keys by a click, nor from a field hidden under them.
        if (QWidget* widget = guarded(watched); widget && widget->focusPolicy() != Qt::NoFocus
            && !widget->testAttribute(Qt::WA_InputMethodEnabled) && widget != keyboard_())
            widget->setFocusPolicy(Qt::NoFocus);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (QWidget* widget = guarded(watched))
            pressed(*widget);
        break;
    case QEvent::FocusIn:
        if (QWidget* widget = guarded(watched))
            focusedIn(*widget, static_cast<QFocusEvent*>(event)->reason());
        break;
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
        if (QWidget* widget = guarded(watched))
            return keyed(*widget, *static_cast<QKeyEvent*>(event));
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void ClickFocusGuard::pressed(QWidget& widget)
{
    // A click outside the field being typed in: the keys go back at once. (A click on
    // another field has given that one the keys already.)
    if (QWidget* focus = window_.focusWidget(); focus && takesText(*focus) && focus != &widget && !focus->isAncestorOf(&widget)) {
        if (QWidget* home = keysHome())
            home->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The keys are with a screen that lies in another one (the table beside the graph), and
    // the click is on that outer screen outside the inner one: the outer screen takes them.
    auto* inner = dynamic_cast<ScreenController*>(window_.focusWidget());
    if (!inner || inner->isAncestorOf(&widget) || inner == &widget)
        return;
    ScreenController* outer = screenAround(&widget);
    if (outer && outer != inner && outer->isAncestorOf(inner))
        outer->setFocus(Qt::OtherFocusReason);
}

void ClickFocusGuard::focusedIn(QWidget& widget, Qt::FocusReason reason)
{
    if (takesText(widget))
        return;
    switch (reason) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
        passed_ = &widget;
        break;
    case Qt::MouseFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        holder_ = &widget;
        passed_ = nullptr;
        break;
    default:
        // The window given back its keys, or a popup closed: they are where they were.
        if (&widget != passed_)
            holder_ = &widget;
        break;
    }
}

bool ClickFocusGuard::keyed(QWidget& widget, QKeyEvent& event)
{
    QWidget* focus = window_.focusWidget();
    QWidget* aimed = focus ? focus : &window_;
    if (event.type() == QEvent::KeyPress && std::exchange(retarget_, nullptr) == &widget && &widget != aimed && !stranded(focus)) {
        // Sent to where the keys were before its shortcut check took them home: it goes
        // where they are now.
        QApplication::sendEvent(focus, &event);
        return true;
    }
    // Passed on to the widgets around the one with the keys.
    if (&widget != aimed)
        return false;
    if (!stranded(focus)) {
        if (event.type() != QEvent::KeyPress || !isTab(event))
            return false;
        // Tab has no command: it leaves a field for the screen in front and moves nothing.
        if (QWidget* home = takesText(*focus) ? keysHome() : nullptr)
            home->setFocus(Qt::OtherFocusReason);
        return true;
    }
    QWidget* home = keysHome();
    if (!home)
        return false;
    home->setFocus(Qt::OtherFocusReason);
    QWidget* now = window_.focusWidget();
    if (stranded(now))
        return false;
    // The key itself follows its shortcut check (a key sent, not typed, still goes to
    // where it was aimed).
    if (event.type() != QEvent::KeyPress) {
        retarget_ = &widget;
        return false;
    }
    if (!isTab(event))
        QApplication::sendEvent(now, &event);
    return true;
}

bool ClickFocusGuard::stranded(const QWidget* focus) const
{
    if (!focus || focus == &window_ || focus->window() != &window_ || !focus->isVisible() || !focus->isEnabled())
        return true;
    // A field on a page slid out of sight.
    if (takesText(*focus) && !inSight(*focus))
        return true;
    return focus == passed_ && focus != keysHome();
}

QWidget* ClickFocusGuard::keysHome() const
{
    for (QWidget* candidate : {holder_.data(), front_ ? front_() : nullptr})
        if (candidate && candidate != &window_ && candidate->window() == &window_ && candidate->isVisible()
            && candidate->isEnabled())
            return candidate;
    return nullptr;
}

} // namespace orvenda
