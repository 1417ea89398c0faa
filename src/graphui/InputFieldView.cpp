#include "graphui/InputFieldView.h"

#include "core/Calculator.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

namespace orvenda {

InputFieldView::InputFieldView(Calculator& calc, QWidget* parent) : QWidget(parent), calc_(calc) {}

std::string InputFieldView::text() const { return calc_.formatReal(calc_.getVar(varNum).value.real()); }

void InputFieldView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    const QFont font = FontMap::shared().font("Courier", 16);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double top = (height() - metrics.height()) / 2;
    painter.drawText(QPointF(2, top + metrics.ascent()), QString::fromStdString(text()));
}

void InputFieldView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && clicked)
        clicked();
}

} // namespace orvenda
