#include "input/FrameView.h"

#include <QPainter>

#include <array>
#include <cmath>

namespace orvenda {

FrameView::FrameView(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

void FrameView::setRects(QRectF display, QRectF keyboard)
{
    display_ = display;
    keyboard_ = keyboard;
    update();
}

bool FrameView::stepped() const { return std::abs(display_.width() - keyboard_.width()) >= 6; }

QPainterPath FrameView::pathWithOffset(QSizeF offset, double r) const
{
    const double gx = 13 - offset.width(), gy = 12 - offset.height();
    const QRectF d = display_.adjusted(-gx, -gy, gx, gy);
    const QRectF k = keyboard_.adjusted(-gx, -gy, gx, gy);
    // Where the outline steps from the display's width to the keyboard's.
    const double join = (display_.bottom() + keyboard_.top()) / 2;
    const std::array<QPointF, 8> corners{QPointF(d.left(), d.top()), QPointF(d.right(), d.top()),
                                         QPointF(d.right(), join),   QPointF(k.right(), join),
                                         QPointF(k.right(), k.bottom()), QPointF(k.left(), k.bottom()),
                                         QPointF(k.left(), join),    QPointF(d.left(), join)};
    auto toward = [r](QPointF from, QPointF to) {
        const QPointF v = to - from;
        const double length = std::hypot(v.x(), v.y());
        return length == 0 ? from : from + v * (std::min(r, length / 2) / length);
    };
    QPainterPath path;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const QPointF& p = corners[i];
        const QPointF& before = corners[(i + corners.size() - 1) % corners.size()];
        const QPointF& after = corners[(i + 1) % corners.size()];
        const QPointF in = toward(p, before);
        if (i == 0)
            path.moveTo(in);
        else
            path.lineTo(in);
        path.quadTo(p, toward(p, after));
    }
    path.closeSubpath();
    return path;
}

QPainterPath FrameView::framePath() const
{
    if (stepped())
        return pathWithOffset(QSizeF(6, 6), 6);
    const QRectF& wider = display_.width() >= keyboard_.width() ? display_ : keyboard_;
    QPainterPath path;
    path.addRoundedRect(QRectF(wider.x() - 7, display_.y() - 6, wider.width() + 14,
                               display_.height() + keyboard_.height() + 12),
                        6, 6);
    return path;
}

void FrameView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor grey = stepped() ? QColor::fromRgbF(0.1f, 0.1f, 0.1f) : QColor(26, 26, 26);
    painter.setPen(QPen(grey, 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(framePath());
}

} // namespace orvenda
