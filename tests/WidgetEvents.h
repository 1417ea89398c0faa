#pragma once

// Mouse clicks as a user makes them: at a point of a window, to whatever widget lies
// there, so a control hidden under another or outside its parent is not reached.

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace orvenda::test {

// The widget a click at point (in window's coordinates) lands on; window itself when
// no child is there.
inline QWidget* widgetAt(QWidget& window, QPoint point)
{
    QWidget* target = window.childAt(point);
    return target ? target : &window;
}

// Presses and releases the left button at point, in window's coordinates.
inline void clickAt(QWidget& window, QPoint point)
{
    QWidget* target = widgetAt(window, point);
    const QPointF local = target->mapFrom(&window, point);
    const QPointF global = window.mapToGlobal(point);
    QMouseEvent down(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &up);
}

// The centre of widget in window's coordinates.
inline QPoint centreIn(QWidget& window, const QWidget& widget)
{
    return widget.mapTo(&window, widget.rect().center());
}

} // namespace orvenda::test
