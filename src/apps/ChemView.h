#pragma once

#include "app/DrawnView.h"
#include "numeric/ElementDatabase.h"

#include <QSizeF>
#include <QString>

#include <optional>
#include <vector>

namespace orvenda {

class Calculator;
class KeyRouter;

// The chemistry screen's molar-mass table: a banner with the molar mass and the column
// headers, pinned at the top, over one row per element of the formula (symbol, atomic
// weight, number of atoms, mass percent), banded every other row. A tap on the headers
// sorts by that column, a second tap on the same column turns the order round. Main thread.
class ChemView : public DrawnView {
public:
    enum Column { Symbol = 0, Weight = 1, Atoms = 2, Mass = 3 };

    ChemView(Calculator& calc, KeyRouter& keys, QWidget* parent = nullptr);

    // A tablet's measures times factor; a phone keeps its own.
    void adjustSize(double factor);
    // The table's rows and molar mass; nothing drops the table.
    void setTableSource(std::optional<std::vector<ElementDatabase::Share>> rows, double massTotal = 0);
    bool hasTable() const { return table_.has_value(); }
    const std::vector<ElementDatabase::Share>& rows() const;
    double massTotal() const { return massTotal_; }
    int sortField() const { return sortField_; }
    bool sortAscending() const { return sortAscending_; }
    // Sorts by the column; the one already sorted by turns its order round.
    void sortBy(int column);

    // The view's width and room for the banner, the headers and every row.
    QSizeF size() const;
    double leading() const { return leading_; }
    // The right edge of a column (0 to 3).
    double columnEdge(int column) const;

    // The texts as drawn: the banner, a header, a row's cell.
    QString bannerText() const;
    QString headerText(int column) const;
    QString cellText(int row, int column) const;

    void paintContent(QPainter& painter, const QRectF& rect) override;
    void tap(QPointF point) override;

private:
    void sort();

    Calculator& calc_;
    KeyRouter& keys_;
    double fontSize_ = 15;
    double fontSize2_ = 13;
    double leading_ = 16;
    double cols_[4] = {40, 154, 220, 318};
    std::optional<std::vector<ElementDatabase::Share>> table_;
    double massTotal_ = 0;
    int sortField_ = Symbol;
    bool sortAscending_ = false;
};

} // namespace orvenda
