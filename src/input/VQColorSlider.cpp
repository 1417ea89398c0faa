#include "input/VQColorSlider.h"

#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

QColor trackColor(const VQColor& c) { return QColor::fromRgbF(float(c.r()), float(c.g()), float(c.b()), float(c.a())); }

} // namespace

VQColorSlider::VQColorSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setRange(0, 255);
    setFocusPolicy(Qt::NoFocus);
    setMinimumHeight(kThumbSize + 4);
}

void VQColorSlider::gradientLeft(const VQColor& left, const VQColor& right)
{
    left_ = left;
    right_ = right;
    showHSV_ = false;
    update();
}

void VQColorSlider::showHSV(const VQColor& color)
{
    hsv_ = color;
    showHSV_ = true;
    update();
}

void VQColorSlider::setThumbLabel(const QString& label)
{
    label_ = label;
    thumbs_ = {};
    update();
}

QImage VQColorSlider::thumbImage(const QString& label, bool highlight, double scale)
{
    QImage image(QSize(qRound(kThumbSize * scale), qRound(kThumbSize * scale)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgbF(0.8F, 0.8F, 0.8F));
    painter.drawEllipse(QRectF(0, 0, kThumbSize, kThumbSize));
    const QFont font = FontMap::shared().font("Helvetica-Bold", 14);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double w = metrics.horizontalAdvance(label);
    const double baseline = metrics.ascent();
    painter.setPen(Qt::white);
    painter.drawText(QPointF(11 - w / 2 + 0.5, 2.5 + baseline), label);
    const float gray = highlight ? 0.5F : 0.2F;
    painter.setPen(QColor::fromRgbF(gray, gray, gray));
    painter.drawText(QPointF(11 - w / 2, 2.0 + baseline), label);
    return image;
}

QRectF VQColorSlider::trackRect() const
{
    const double half = kThumbSize / 2.0;
    const double h = std::min(14.0, double(height()));
    return {half, (height() - h) / 2, std::max(1.0, width() - 2 * half), h};
}

void VQColorSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF track = trackRect();
    const double x = track.x();
    const double w = track.width();
    if (showHSV_) {
        VQColor c = VQColor::colorH(0, hsv_.s(), hsv_.v(), 1);
        for (int i = 0; x + i <= x + w + 0.5; ++i) {
            c.setH(i / w);
            painter.fillRect(QRectF(x + i, track.y(), 1, track.height()), trackColor(c));
        }
    } else {
        QLinearGradient gradient(track.topLeft(), track.topRight());
        gradient.setColorAt(0, trackColor(left_));
        gradient.setColorAt(1, trackColor(right_));
        painter.fillRect(track, gradient);
    }
    painter.setPen(QPen(QColor::fromRgbF(0.5F, 0.5F, 0.5F), 1));
    painter.drawRect(track.adjusted(0.5, 0.5, -0.5, -0.5));
    const double at = x + w * (value() - minimum()) / std::max(1, maximum() - minimum());
    const double scale = devicePixelRatioF();
    QImage& thumb = thumbs_[pressed_ ? 1 : 0];
    if (thumb.isNull() || thumb.devicePixelRatio() != scale)
        thumb = thumbImage(label_, pressed_, scale);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(at - kThumbSize / 2.0, (height() - kThumbSize) / 2.0, kThumbSize, kThumbSize), thumb);
}

void VQColorSlider::moveTo(double x)
{
    const QRectF track = trackRect();
    const double fraction = std::clamp((x - track.x()) / track.width(), 0.0, 1.0);
    setValue(minimum() + static_cast<int>(std::lround(fraction * (maximum() - minimum()))));
}

void VQColorSlider::mousePressEvent(QMouseEvent* event)
{
    pressed_ = true;
    moveTo(event->position().x());
}

void VQColorSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        moveTo(event->position().x());
}

void VQColorSlider::mouseReleaseEvent(QMouseEvent* event)
{
    moveTo(event->position().x());
    pressed_ = false;
    update();
}

} // namespace orvenda
