#include "apps/TriangleView.h"

#include "pretty/FontMap.h"

#include <QPainter>

namespace orvenda {

void TriangleView::setKnowns(int mask)
{
    if (mask_ == mask)
        return;
    mask_ = mask;
    update();
}

void TriangleView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const auto colour = [this](int bit) { return (mask_ & bit) ? QColor(0, 255, 0) : QColor(0, 0, 0); };
    // The sides: a from B's corner up to C, b from C down to A, c along the base.
    const QPointF a(0, 54.5), b(96, 54.5), c(70, 0);
    p.setPen(QPen(colour(1), 1));
    p.drawLine(b, c);
    p.setPen(QPen(colour(2), 1));
    p.drawLine(c, a);
    p.setPen(QPen(colour(4), 1));
    p.drawLine(a, b);
    p.setFont(FontMap::shared().font("Helvetica", 10));
    const struct {
        const char* text;
        QPointF at;
        int bit;
    } labels[] = {{"A", {12, 42}, 8}, {"B", {82, 42}, 16}, {"C", {64, 2}, 32}, {"a", {83, 15}, 1}, {"b", {31, 15}, 2}, {"c", {47, 52}, 4}};
    for (const auto& label : labels) {
        p.setPen(colour(label.bit));
        p.drawText(QRectF(label.at, QSizeF(12, 12)), Qt::AlignLeft | Qt::AlignTop, QString::fromLatin1(label.text));
    }
}

} // namespace orvenda
