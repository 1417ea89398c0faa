#include "graphui/ThumbSlider.h"

#include <QPainter>

namespace orvenda {

ThumbSlider::ThumbSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}

void ThumbSlider::setThumb(const QImage& normal, const QImage& held)
{
    normal_ = normal;
    held_ = held;
    update();
}

void ThumbSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QImage& thumb = isSliderDown() ? held_ : normal_;
    const QSizeF size = thumb.isNull() ? QSizeF(0, 0) : thumb.deviceIndependentSize();
    const double y = height() / 2.0;
    painter.setPen(QPen(isEnabled() ? QColor(90, 90, 90) : QColor(170, 170, 170), 2));
    painter.drawLine(QPointF(size.width() / 2, y), QPointF(width() - size.width() / 2, y));
    const int span = maximum() - minimum();
    const double f = span > 0 ? double(value() - minimum()) / span : 0;
    painter.drawImage(QPointF((width() - size.width()) * f, y - size.height() / 2), thumb);
}

} // namespace orvenda
