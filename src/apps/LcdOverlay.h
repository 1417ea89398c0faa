#pragma once

#include <QEvent>
#include <QObject>
#include <QPainter>
#include <QWidget>

namespace orvenda {

// The apps' lines drawn over the display: for the display's paint event (from an event
// filter), the display's own background first, then the lines over it.
class LcdOverlay {
public:
    // True when the event was the display's paint and is done; false for any other.
    template <class Paint>
    static bool paint(QWidget* lcd, QObject* watched, QEvent* event, Paint&& lines)
    {
        if (watched != lcd || event->type() != QEvent::Paint)
            return false;
        // event() is public on QObject.
        static_cast<QObject*>(lcd)->event(event);
        QPainter painter(lcd);
        lines(painter);
        return true;
    }
};

} // namespace orvenda
