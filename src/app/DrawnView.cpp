#include "app/DrawnView.h"

#include <QPaintEvent>
#include <QPainter>

namespace orvenda {

DrawnView::DrawnView(QWidget* parent)
    : QWidget(parent)
{
}

void DrawnView::setOrigin(QPointF origin)
{
    if (origin == origin_)
        return;
    origin_ = origin;
    update();
}

void DrawnView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(-origin_);
    paintContent(painter, QRectF(event->rect()).translated(origin_));
}

} // namespace orvenda
