#include "stats/ColumnPicker.h"

#include "pretty/FontMap.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace orvenda {

ColumnPicker::ColumnPicker(QWidget* parent)
    : QWidget(parent)
{
}

void ColumnPicker::setColumn(int col, std::vector<Row> rows, int width)
{
    if (col < 0)
        return;
    if (col >= columnCount())
        columns_.resize(static_cast<std::size_t>(col) + 1);
    Column& column = columns_[static_cast<std::size_t>(col)];
    column.rows = std::move(rows);
    column.width = width;
    column.selected = std::clamp(column.selected, 0, std::max(0, static_cast<int>(column.rows.size()) - 1));
    update();
}

int ColumnPicker::rowCount(int col) const
{
    return col >= 0 && col < columnCount() ? static_cast<int>(columns_[static_cast<std::size_t>(col)].rows.size()) : 0;
}

int ColumnPicker::selectedRow(int col) const
{
    return rowCount(col) > 0 ? columns_[static_cast<std::size_t>(col)].selected : -1;
}

void ColumnPicker::selectRow(int col, int row)
{
    if (rowCount(col) == 0)
        return;
    columns_[static_cast<std::size_t>(col)].selected = std::clamp(row, 0, rowCount(col) - 1);
    update();
}

const ColumnPicker::Row* ColumnPicker::row(int col, int row) const
{
    return row >= 0 && row < rowCount(col) ? &columns_[static_cast<std::size_t>(col)].rows[static_cast<std::size_t>(row)] : nullptr;
}

double ColumnPicker::left() const
{
    int total = 0;
    for (const Column& column : columns_)
        total += column.width;
    return std::max(0.0, (width() - total) / 2.0);
}

int ColumnPicker::columnAt(double x) const
{
    double edge = left();
    for (int c = 0; c < columnCount(); ++c) {
        const int w = columns_[static_cast<std::size_t>(c)].width;
        if (x >= edge && x < edge + w)
            return c;
        edge += w;
    }
    return -1;
}

QPointF ColumnPicker::rowCenter(int col, int row) const
{
    double edge = left();
    for (int c = 0; c < col && c < columnCount(); ++c)
        edge += columns_[static_cast<std::size_t>(c)].width;
    const int w = col >= 0 && col < columnCount() ? columns_[static_cast<std::size_t>(col)].width : 0;
    return {edge + w / 2.0, height() / 2.0 + (row - selectedRow(col)) * kRowHeight};
}

void ColumnPicker::pick(int col, int row)
{
    if (rowCount(col) == 0)
        return;
    const int chosen = std::clamp(row, 0, rowCount(col) - 1);
    selectRow(col, chosen);
    if (onSelect_)
        onSelect_(col, chosen);
}

void ColumnPicker::mousePressEvent(QMouseEvent* event)
{
    const int col = columnAt(event->position().x());
    if (col < 0)
        return;
    const double offset = (event->position().y() - height() / 2.0) / kRowHeight;
    pick(col, selectedRow(col) + static_cast<int>(std::lround(offset)));
}

void ColumnPicker::wheelEvent(QWheelEvent* event)
{
    const int col = columnAt(event->position().x());
    const int steps = event->angleDelta().y() / 120;
    if (col >= 0 && steps != 0)
        pick(col, selectedRow(col) - steps);
}

void ColumnPicker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double middle = height() / 2.0;
    painter.fillRect(rect(), background_);
    // The selection band across every column, in a shade of the text's colour.
    QColor band = textColor_;
    band.setAlphaF(0.12);
    painter.fillRect(QRectF(0, middle - kRowHeight / 2.0, width(), kRowHeight), band);
    band.setAlphaF(0.45);
    painter.setPen(band);
    painter.drawLine(QPointF(0, middle - kRowHeight / 2.0), QPointF(width(), middle - kRowHeight / 2.0));
    painter.drawLine(QPointF(0, middle + kRowHeight / 2.0), QPointF(width(), middle + kRowHeight / 2.0));
    painter.setFont(FontMap::shared().font("Helvetica-Bold", 20));
    double edge = left();
    for (int c = 0; c < columnCount(); ++c) {
        const Column& column = columns_[static_cast<std::size_t>(c)];
        const int shown = static_cast<int>(std::ceil(middle / kRowHeight)) + 1;
        for (int r = std::max(0, column.selected - shown); r <= std::min(column.selected + shown, static_cast<int>(column.rows.size()) - 1); ++r) {
            const QRectF cell(edge, middle - kRowHeight / 2.0 + (r - column.selected) * kRowHeight, column.width, kRowHeight);
            // Rows away from the band fade like a wheel's.
            painter.setOpacity(r == column.selected ? 1.0 : 0.45);
            const Row& row = column.rows[static_cast<std::size_t>(r)];
            if (!row.image.isNull()) {
                const QSizeF size = row.image.deviceIndependentSize();
                painter.drawImage(QPointF(cell.center().x() - size.width() / 2, cell.center().y() - size.height() / 2), row.image);
            } else {
                painter.setPen(textColor_);
                painter.drawText(cell, Qt::AlignCenter, row.text);
            }
        }
        painter.setOpacity(1);
        edge += column.width;
    }
}

} // namespace orvenda
