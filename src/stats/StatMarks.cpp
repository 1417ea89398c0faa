#include "stats/StatMarks.h"

#include <QPainter>
#include <QPen>

#include <cmath>

namespace orvenda {

void StatMarks::begin(int mark, const QRectF& area)
{
    mark_ = mark;
    // A cross's stroke reaches a point past its box.
    near_ = area.adjusted(-kHalf - 1, -kHalf - 1, kHalf + 1, kHalf + 1);
    points_.clear();
}

void StatMarks::add(double x, double y)
{
    if (std::isfinite(x) && std::isfinite(y) && near_.contains(x, y))
        points_.emplace_back(x, y);
}

void StatMarks::paint(QPainter& context, const QColor& color)
{
    if (points_.empty())
        return;
    context.save();
    switch (mark_) {
    case 0:
        for (const QPointF& p : points_)
            context.fillRect(QRectF(p.x() - kHalf, p.y() - kHalf, 2 * kHalf, 2 * kHalf), color);
        break;
    case 1:
        lines_.clear();
        for (const QPointF& p : points_) {
            lines_.emplace_back(p.x() - kHalf, p.y() - kHalf, p.x() + kHalf, p.y() + kHalf);
            lines_.emplace_back(p.x() + kHalf, p.y() - kHalf, p.x() - kHalf, p.y() + kHalf);
        }
        context.setPen(QPen(color, 2));
        context.drawLines(lines_.data(), static_cast<int>(lines_.size()));
        break;
    case 2:
        context.setPen(Qt::NoPen);
        context.setBrush(color);
        for (const QPointF& p : points_)
            context.drawEllipse(p, kHalf, kHalf);
        break;
    default:
        break;
    }
    context.restore();
}

} // namespace orvenda
