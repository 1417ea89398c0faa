#include "stats/StatMarks.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <cmath>

namespace orvenda {

namespace {

// The picture's margin around the mark's box, for the cross's stroke and the edges'
// antialiasing.
constexpr double kMargin = 2;
constexpr double kSide = 2 * (StatMarks::kHalf + kMargin);

} // namespace

void StatMarks::begin(int mark, const QRectF& area)
{
    mark_ = mark;
    near_ = area.adjusted(-kHalf - kMargin, -kHalf - kMargin, kHalf + kMargin, kHalf + kMargin);
    points_.clear();
}

void StatMarks::add(double x, double y)
{
    if (std::isfinite(x) && std::isfinite(y) && near_.contains(x, y))
        points_.emplace_back(x, y);
}

const QImage& StatMarks::sprite(const QColor& color, double scale)
{
    if (mark_ == spriteMark_ && color.rgba() == spriteColor_ && scale == spriteScale_)
        return sprite_;
    spriteMark_ = mark_;
    spriteColor_ = color.rgba();
    spriteScale_ = scale;
    const int side = static_cast<int>(std::ceil(kSide * scale));
    sprite_ = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
    sprite_.setDevicePixelRatio(scale);
    sprite_.fill(Qt::transparent);
    QPainter painter(&sprite_);
    painter.setRenderHint(QPainter::Antialiasing);
    const double c = kSide / 2;
    const QRectF box(c - kHalf, c - kHalf, 2 * kHalf, 2 * kHalf);
    switch (mark_) {
    case 0:
        painter.fillRect(box, color);
        break;
    case 1:
        painter.setPen(QPen(color, 2));
        painter.drawLine(box.topLeft(), box.bottomRight());
        painter.drawLine(box.topRight(), box.bottomLeft());
        break;
    case 2:
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(box);
        break;
    default:
        break;
    }
    return sprite_;
}

void StatMarks::paint(QPainter& context, const QColor& color)
{
    if (points_.empty() || mark_ < 0 || mark_ > 2)
        return;
    const QTransform device = context.deviceTransform();
    // Copies land on whole device pixels only when the painter merely moves and scales.
    if (device.type() > QTransform::TxScale || device.m11() <= 0 || device.m22() <= 0) {
        const QImage& picture = sprite(color, 1);
        for (const QPointF& p : points_)
            context.drawImage(p - QPointF(kSide / 2, kSide / 2), picture);
        return;
    }
    const double scale = std::max(device.m11(), device.m22());
    const QImage& picture = sprite(color, scale);
    const double sx = device.m11(), sy = device.m22(), dx = device.dx(), dy = device.dy();
    for (const QPointF& p : points_) {
        // The picture's corner on the device pixel nearest to where it would lie.
        const double px = std::round((p.x() - kSide / 2) * sx + dx), py = std::round((p.y() - kSide / 2) * sy + dy);
        context.drawImage(QPointF((px - dx) / sx, (py - dy) / sy), picture);
    }
}

} // namespace orvenda
