#include "input/VQColorPallet.h"

#include "core/ColorTables.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace orvenda {

namespace {

QColor cellColor(const VQColor& c) { return QColor::fromRgbF(float(c.r()), float(c.g()), float(c.b())); }

} // namespace

VQColorPallet::VQColorPallet(QWidget* parent) : QWidget(parent) {}

std::optional<VQColor> VQColorPallet::colorAt(int column, int row)
{
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows)
        return std::nullopt;
    return ColorTables::stdVQColor(column * kRows + row);
}

QRectF VQColorPallet::cellRect(QSizeF size, int column, int row)
{
    const double cw = size.width() / 8;
    const double ch = size.height() / 10;
    return {cw * (column + 1), ch * (row + 1), cw, ch};
}

void VQColorPallet::doTouch(QPointF point, Touch phase)
{
    const double cw = width() / 8.0;
    const double ch = height() / 10.0;
    // Floored, so that the margins left of and above the grid are outside it too.
    const int column = cw > 0 ? static_cast<int>(std::floor(point.x() / cw - 1)) : -1;
    const int row = ch > 0 ? static_cast<int>(std::floor(point.y() / ch - 1)) : -1;
    const std::optional<VQColor> color = colorAt(column, row);
    if (color) {
        selectCol_ = column;
        selectRow_ = row;
        if (phase == Touch::Ended && keyClick)
            keyClick();
        if (delegate_)
            delegate_->selectColor(*color);
    }
    update();
}

void VQColorPallet::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QSizeF size(this->size());
    const double cw = size.width() / 8;
    const double ch = size.height() / 10;
    painter.fillRect(QRectF(cw / 2, ch / 2, size.width() - cw, size.height() - ch), Qt::white);
    painter.setPen(QPen(Qt::black, 2));
    for (int i = 0; i < kColumns * kRows; ++i) {
        const QRectF cell = cellRect(size, i / kRows, i % kRows);
        painter.setBrush(cellColor(ColorTables::stdVQColor(i)));
        painter.drawRect(cell);
    }
    if (const auto selected = colorAt(selectCol_, selectRow_)) {
        const QRectF cell = cellRect(size, selectCol_, selectRow_);
        const bool white = selected->r() == 1 && selected->g() == 1 && selected->b() == 1;
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(white ? Qt::black : Qt::white, 4));
        painter.drawRect(QRectF(cell.x() + 3, cell.y() + 3, cw - 5, ch - 5));
    }
}

void VQColorPallet::mousePressEvent(QMouseEvent* event) { doTouch(event->position(), Touch::Began); }

void VQColorPallet::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        doTouch(event->position(), Touch::Moved);
}

void VQColorPallet::mouseReleaseEvent(QMouseEvent* event) { doTouch(event->position(), Touch::Ended); }

} // namespace orvenda
