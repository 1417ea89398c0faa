#include "app/ClickFocusGuard.h"

#include "app/ScreenController.h"

#include <QApplication>
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

} // namespace

ClickFocusGuard::ClickFocusGuard(QWidget& window, std::function<QWidget*()> keyboard)
    : window_(window), keyboard_(std::move(keyboard))
{
    qApp->installEventFilter(this);
}

ClickFocusGuard::~ClickFocusGuard() { qApp->removeEventFilter(this); }

QWidget* ClickFocusGuard::guarded(QObject* watched) const
{
    if (!watched->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(watched);
    return widget->window() == &window_ ? widget : nullptr;
}

bool ClickFocusGuard::eventFilter(QObject* watched, QEvent* event)
{
    // Only the type is read before the receiver is known to be one of the window's widgets.
    switch (event->type()) {
    case QEvent::Polish:
        // A field that takes typed text keeps its click focus (Qt's own mark of one).
        if (QWidget* widget = guarded(watched); widget && (widget->focusPolicy() & Qt::ClickFocus)
            && !widget->testAttribute(Qt::WA_InputMethodEnabled) && widget != keyboard_())
            widget->setFocusPolicy((widget->focusPolicy() & Qt::TabFocus) ? Qt::TabFocus : Qt::NoFocus);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (QWidget* widget = guarded(watched))
            pressed(*widget);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void ClickFocusGuard::pressed(QWidget& widget)
{
    // The keys are with a screen that lies in another one (the table beside the graph), and
    // the click is on that outer screen outside the inner one: the outer screen takes them.
    auto* inner = dynamic_cast<ScreenController*>(window_.focusWidget());
    if (!inner || inner->isAncestorOf(&widget) || inner == &widget)
        return;
    ScreenController* outer = screenAround(&widget);
    if (outer && outer != inner && outer->isAncestorOf(inner))
        outer->setFocus(Qt::OtherFocusReason);
}

} // namespace orvenda
