#include "graphui/ThumbSlider.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda {

ThumbSlider::ThumbSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}

void ThumbSlider::setThumb(const QImage& normal, const QImage& held)
{
    normal_ = normal;
    held_ = held;
    update();
}

QSizeF ThumbSlider::thumbSize() const
{
    const QImage& thumb = isSliderDown() ? held_ : normal_;
    return thumb.isNull() ? QSizeF(0, 0) : thumb.deviceIndependentSize();
}

QRectF ThumbSlider::thumbRect() const
{
    const QSizeF size = thumbSize();
    const int span = maximum() - minimum();
    const double f = span > 0 ? double(sliderPosition() - minimum()) / span : 0;
    return {QPointF((width() - size.width()) * f, height() / 2.0 - size.height() / 2), size};
}

int ThumbSlider::valueAt(double x) const
{
    const double room = width() - thumbSize().width();
    const double f = room > 0 ? std::clamp(x / room, 0.0, 1.0) : 0;
    return minimum() + static_cast<int>(std::lround(f * (maximum() - minimum())));
}

void ThumbSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QImage& thumb = isSliderDown() ? held_ : normal_;
    const QRectF at = thumbRect();
    const double y = height() / 2.0;
    painter.setPen(QPen(isEnabled() ? QColor(90, 90, 90) : QColor(170, 170, 170), 2));
    painter.drawLine(QPointF(at.width() / 2, y), QPointF(width() - at.width() / 2, y));
    painter.drawImage(at.topLeft(), thumb);
}

void ThumbSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        event->ignore();
        return;
    }
    event->accept();
    const QRectF thumb = thumbRect();
    const double x = event->position().x();
    if (!thumb.contains(event->position())) {
        // Beside the thumb: a page toward the pointer, as a slider's groove does.
        triggerAction(x < thumb.left() ? SliderPageStepSub : SliderPageStepAdd);
        return;
    }
    grabbedAt_ = x - thumb.left();
    setSliderDown(true);
    update();
}

void ThumbSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (!isSliderDown()) {
        event->ignore();
        return;
    }
    event->accept();
    setSliderPosition(valueAt(event->position().x() - grabbedAt_));
}

void ThumbSlider::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isSliderDown()) {
        event->ignore();
        return;
    }
    event->accept();
    setSliderPosition(valueAt(event->position().x() - grabbedAt_));
    setSliderDown(false);
    update();
}

} // namespace orvenda
