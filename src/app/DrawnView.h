#pragma once

#include <QPointF>
#include <QRectF>
#include <QWidget>

class QPainter;

namespace orvenda {

// A view that draws in content coordinates while its scroll view keeps it the size of the
// visible area: its origin is the scroll offset, so bounds() is the visible part of the
// content. Subclasses paint through paintContent with the painter already moved.
class DrawnView : public QWidget {
public:
    explicit DrawnView(QWidget* parent = nullptr);

    QPointF origin() const { return origin_; }
    // Moves the visible part of the content; redraws when it changed.
    void setOrigin(QPointF origin);
    // The visible part of the content, in content coordinates.
    QRectF bounds() const { return QRectF(origin_, QSizeF(size())); }
    // A point of the widget in content coordinates.
    QPointF toContent(QPointF widgetPoint) const { return widgetPoint + origin_; }

    // Draws `rect` (content coordinates) into the painter, whose origin is the content's.
    virtual void paintContent(QPainter& painter, const QRectF& rect) = 0;
    // A tap at a point of the content, from the scroll view that holds the view.
    virtual void tap(QPointF) {}

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointF origin_;
};

} // namespace orvenda
