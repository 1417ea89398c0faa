#include "graphui/StyleSample.h"

#include "core/VQColor.h"

#include <QPainter>

namespace orvenda {

void StyleSample::draw(QPainter& painter, int style, const QPainterPath& curve, const QRectF& box, const VQColor& color)
{
    const QColor line = QColor::fromRgbF(color.r(), color.g(), color.b());
    auto stroke = [&](double width) { painter.strokePath(curve, QPen(line, width, Qt::SolidLine, Qt::RoundCap)); };
    auto shade = [&](double edgeY) {
        QPainterPath area = curve;
        area.lineTo(curve.currentPosition().x(), edgeY);
        area.lineTo(box.left(), edgeY);
        area.closeSubpath();
        painter.fillPath(area, QColor::fromRgbF(color.r(), color.g(), color.b(), 0.7));
    };
    switch (style) {
    case 2: stroke(2); break;
    case 4: stroke(3); break;
    case 32: {
        // Round dots 6 apart: dashes of no length, in pen widths.
        QPen dots(line, 3, Qt::CustomDashLine, Qt::RoundCap);
        dots.setDashPattern({0.001, 2});
        dots.setDashOffset(1);
        painter.strokePath(curve, dots);
        break;
    }
    case 8:
    case 10: shade(box.top()); break;
    case 16:
    case 18: shade(box.bottom()); break;
    default: break;
    }
    // The boundary belongs to the region.
    if (style == 10 || style == 18)
        stroke(2);
}

} // namespace orvenda
