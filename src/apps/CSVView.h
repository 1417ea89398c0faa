#pragma once

#include "app/DrawnView.h"

#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <vector>

namespace orvenda {

// The CSV preview's grid: rows of texts in cells, each column as wide as its widest text
// plus a space, in Helvetica at 20 points on 26-point rows with 10 points of space on a
// tablet (18, 20 and 6 on a phone). A touch selects the cell under it, start and end; a
// drag moves the end, and the rectangle between them is drawn selected. Only the cells
// in view are drawn. Main thread.
class CSVView : public DrawnView {
public:
    // A cell by row and column; -1, -1 for none.
    struct Cell {
        int row = -1;
        int column = -1;
        bool valid() const { return row >= 0 && column >= 0; }
        bool operator==(const Cell&) const = default;
    };

    explicit CSVView(QWidget* parent = nullptr);

    // The measures of a tablet or a phone; the column widths follow.
    void setTablet(bool tablet);
    bool tablet() const { return tablet_; }
    // The rows shown; the selection is cleared.
    void setRows(std::vector<std::vector<QString>> rows);
    const std::vector<std::vector<QString>>& rows() const { return rows_; }

    double fontSize() const { return tablet_ ? 20 : 18; }
    double rowHeight() const { return tablet_ ? 26 : 20; }
    double columnSpace() const { return tablet_ ? 10 : 6; }
    QFont gridFont() const;
    // Each column's width: its widest text plus the space.
    const std::vector<double>& columnWidths() const { return widths_; }
    // The whole grid's size, for the scroll view.
    QSizeF contentSize() const;
    QRectF cellRect(Cell cell) const;
    // The cell at a point of the content; none outside the grid, or with clamp the
    // nearest one.
    Cell cellAt(QPointF point, bool clamp = false) const;

    // A touch at a point of the content selects the cell under it (none outside the grid).
    void touchBegan(QPointF point);
    // A drag to a point moves the selection's end to the nearest cell.
    void touchMoved(QPointF point);
    Cell selectionStart() const { return start_; }
    Cell selectionEnd() const { return end_; }

    void paintContent(QPainter& painter, const QRectF& rect) override;

private:
    void measure();

    bool tablet_ = false;
    std::vector<std::vector<QString>> rows_;
    std::vector<double> widths_;
    // Where each column starts, and after the last where the grid ends.
    std::vector<double> edges_{0};
    Cell start_;
    Cell end_;
};

} // namespace orvenda
