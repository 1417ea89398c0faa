#include "apps/CSVView.h"

#include "app/NamedColors.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda {

CSVView::CSVView(QWidget* parent) : DrawnView(parent) {}

QFont CSVView::gridFont() const { return FontMap::shared().font("Helvetica", fontSize()); }

void CSVView::setTablet(bool tablet)
{
    if (tablet == tablet_)
        return;
    tablet_ = tablet;
    measure();
    update();
}

void CSVView::setRows(std::vector<std::vector<QString>> rows)
{
    rows_ = std::move(rows);
    start_ = end_ = {};
    measure();
    update();
}

void CSVView::measure()
{
    const QFontMetricsF metrics(gridFont());
    widths_.clear();
    for (const auto& row : rows_) {
        if (row.size() > widths_.size())
            widths_.resize(row.size(), 0);
        for (std::size_t c = 0; c < row.size(); ++c)
            widths_[c] = std::max(widths_[c], metrics.horizontalAdvance(row[c]));
    }
    edges_.assign(1, 0);
    for (double& width : widths_) {
        width = std::ceil(width) + columnSpace();
        edges_.push_back(edges_.back() + width);
    }
}

QSizeF CSVView::contentSize() const { return {edges_.back(), rowHeight() * double(rows_.size())}; }

QRectF CSVView::cellRect(Cell cell) const
{
    if (!cell.valid() || std::size_t(cell.column) >= widths_.size())
        return {};
    return {edges_[std::size_t(cell.column)], cell.row * rowHeight(), widths_[std::size_t(cell.column)], rowHeight()};
}

CSVView::Cell CSVView::cellAt(QPointF point, bool clamp) const
{
    const QSizeF size = contentSize();
    if (rows_.empty() || widths_.empty())
        return {};
    if (!clamp && (point.x() < 0 || point.y() < 0 || point.x() >= size.width() || point.y() >= size.height()))
        return {};
    const int row = std::clamp(int(std::floor(point.y() / rowHeight())), 0, int(rows_.size()) - 1);
    // The column whose start is the last at or before x.
    const auto after = std::upper_bound(edges_.begin(), edges_.end() - 1, point.x());
    const int column = std::clamp(int(after - edges_.begin()) - 1, 0, int(widths_.size()) - 1);
    return {row, column};
}

void CSVView::touchBegan(QPointF point)
{
    start_ = end_ = cellAt(point);
    update();
}

void CSVView::touchMoved(QPointF point)
{
    if (!start_.valid())
        return;
    const Cell end = cellAt(point, true);
    if (end == end_)
        return;
    end_ = end;
    update();
}

void CSVView::paintContent(QPainter& painter, const QRectF& rect)
{
    if (rows_.empty() || widths_.empty())
        return;
    const double h = rowHeight();
    const QSizeF size = contentSize();
    const int firstRow = std::clamp(int(std::floor(rect.top() / h)), 0, int(rows_.size()));
    const int lastRow = std::clamp(int(std::ceil(rect.bottom() / h)), 0, int(rows_.size()));
    const auto columnOf = [this](double x) {
        return int(std::upper_bound(edges_.begin(), edges_.end(), x) - edges_.begin()) - 1;
    };
    const int firstColumn = std::clamp(columnOf(rect.left()), 0, int(widths_.size()));
    const int lastColumn = std::clamp(columnOf(rect.right()) + 1, 0, int(widths_.size()));

    if (start_.valid() && end_.valid()) {
        const QRectF from = cellRect(start_), to = cellRect(end_);
        painter.fillRect(from.united(to), namedColor("yellowHilightColor"));
    }

    const QColor text = namedColor("fontColor");
    QColor line = text;
    line.setAlphaF(0.3);
    painter.setPen(QPen(line, 1));
    const double right = std::min(size.width(), rect.right()), bottom = std::min(size.height(), rect.bottom());
    const double left = std::max(0.0, rect.left()), top = std::max(0.0, rect.top());
    // Lines on whole pixels, between the cells.
    for (int r = firstRow; r <= lastRow; ++r)
        painter.drawLine(QPointF(left, r * h + 0.5), QPointF(right, r * h + 0.5));
    for (int c = firstColumn; c <= lastColumn; ++c)
        painter.drawLine(QPointF(edges_[std::size_t(c)] + 0.5, top), QPointF(edges_[std::size_t(c)] + 0.5, bottom));

    const QFont font = gridFont();
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(text);
    const double lift = (h - metrics.height()) / 2 + metrics.ascent();
    for (int r = firstRow; r < lastRow; ++r) {
        const auto& row = rows_[std::size_t(r)];
        const int end = std::min(lastColumn, int(row.size()));
        for (int c = firstColumn; c < end; ++c)
            painter.drawText(QPointF(edges_[std::size_t(c)] + columnSpace() / 2, r * h + lift), row[std::size_t(c)]);
    }
}

} // namespace orvenda
