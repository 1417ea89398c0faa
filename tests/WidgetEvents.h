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

// Presses the left button at point, in window's coordinates, on whatever lies there; the
// widget pressed is returned for the release.
inline QWidget* pressAt(QWidget& window, QPoint point)
{
    QWidget* target = widgetAt(window, point);
    QMouseEvent down(QEvent::MouseButtonPress, target->mapFrom(&window, point), window.mapToGlobal(QPointF(point)),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &down);
    return target;
}

// Releases the left button at point over the widget pressed.
inline void releaseAt(QWidget& window, QWidget& pressed, QPoint point)
{
    QMouseEvent up(QEvent::MouseButtonRelease, pressed.mapFrom(&window, point), window.mapToGlobal(QPointF(point)),
                   Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&pressed, &up);
}

// Moves the mouse, its left button held, to point over the widget pressed: a drag's step.
inline void dragTo(QWidget& window, QWidget& pressed, QPoint point)
{
    QMouseEvent move(QEvent::MouseMove, pressed.mapFrom(&window, point), window.mapToGlobal(QPointF(point)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&pressed, &move);
}

// Presses and releases the left button at point, in window's coordinates.
inline void clickAt(QWidget& window, QPoint point) { releaseAt(window, *pressAt(window, point), point); }

// The centre of widget in window's coordinates.
inline QPoint centreIn(QWidget& window, const QWidget& widget)
{
    return widget.mapTo(&window, widget.rect().center());
}

} // namespace orvenda::test
