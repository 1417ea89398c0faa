#include "graph/PhotoPlot.h"

#include "core/Calculator.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace orvenda {

PhotoPlot::PhotoPlot(Calculator& calc, QWidget* parent) : QWidget(parent), calc_(calc)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void PhotoPlot::paintEvent(QPaintEvent*)
{
    const auto image = std::static_pointer_cast<QImage>(calc_.backgroundImage);
    if (!image)
        return;
    const Calculator::Rect& f = calc_.backgroundFrame;
    const double s = calc_.backgroundScale;
    const QRectF drawn(f.x - (f.width * s - f.width) / 2, f.y - (f.height * s - f.height) / 2, f.width * s, f.height * s);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(drawn, *image);
    if (!selected)
        return;
    QPainterPath marks;
    marks.moveTo(drawn.topLeft());
    marks.lineTo(drawn.bottomRight());
    marks.moveTo(drawn.topRight());
    marks.lineTo(drawn.bottomLeft());
    marks.addRect(drawn);
    painter.strokePath(marks, QPen(Qt::red));
}

} // namespace orvenda
