#include "app/VarsFrameView.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace orvenda {

namespace {

constexpr double kRadius = 3;

// A rectangle with the top corners (or the bottom ones) rounded, filled top to bottom
// from one colour to the other through their mean at the middle.
void fillPanel(QPainter& painter, const QRectF& r, bool roundTop, const QColor& from, const QColor& to)
{
    QPainterPath path;
    path.addRoundedRect(r, kRadius, kRadius);
    // Square off the corners that stay square.
    const QRectF square = roundTop ? QRectF(r.left(), r.center().y(), r.width(), r.height() / 2)
                                   : QRectF(r.left(), r.top(), r.width(), r.height() / 2);
    path.addRect(square);
    path.setFillRule(Qt::WindingFill);
    QLinearGradient gradient(r.topLeft(), r.bottomLeft());
    gradient.setColorAt(0, from);
    gradient.setColorAt(0.5, QColor((from.red() + to.red()) / 2, (from.green() + to.green()) / 2,
                                 (from.blue() + to.blue()) / 2));
    gradient.setColorAt(1, to);
    painter.fillPath(path.simplified(), gradient);
}

} // namespace

void VarsFrameView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = width();
    const double h = height();
    fillPanel(painter, QRectF(0, 0, w, kTitleHeight), true, QColor(37, 81, 193), QColor(0, 102, 204));
    fillPanel(painter, QRectF(0, kTitleHeight, w, h - kTitleHeight), false, QColor(196, 227, 253),
        QColor(168, 214, 253));
    painter.setPen(QPen(QColor(0, 31, 73), 1));
    painter.drawLine(QPointF(0, kTitleHeight - 0.5), QPointF(w, kTitleHeight - 0.5));
    // The outline with a soft shadow below and to the right.
    painter.setPen(QPen(QColor(0, 0, 0, 64), 2));
    painter.drawRoundedRect(QRectF(1, 1, w - 1, h - 1), kRadius, kRadius);
    painter.setPen(QPen(QColor(20, 20, 20, 128), 2));
    painter.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), kRadius, kRadius);
}

} // namespace orvenda
