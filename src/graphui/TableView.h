#pragma once

#include "app/DrawnView.h"
#include "core/NumberFormatter.h"
#include "core/VQList.h"
#include "eval/GraphSampler.h"

#include <QSizeF>

#include <vector>

namespace orvenda {

class Calculator;
class KeyRouter;

// The TABLE screen's grid: the independent column (X, T, θ or η by graph mode) pinned at
// the left and one column per equation of the graph mode that is plotted, each cell the
// equation's value at its row's independent value, under a pinned header row. Two row
// models by the calculator's tableMode: automatic (1: row r is TblStart + r·ΔTbl, row 0
// at the middle of a 32000-point content) and ask (0: the values of the table list, then
// one empty row). Cells are evaluated while drawing, only for the rows in view. Taps turn
// into cursor, header and mode requests to the delegate. Main thread. A paint draws from
// one copy of the table's settings and list, taken at its start, and leaves the
// calculator's settings alone: the narrow number width and the automatic table's real
// values are its own formatter's and evaluations'.
class TableView : public DrawnView {
public:
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void selectRow(int row, int col) = 0;
        virtual void selectHeader(int col) = 0;
        virtual void selectDelRow() = 0;
        virtual void tableModeChanged() = 0;
    };

    static constexpr double kContentHeight = 32000;
    static constexpr double kOrigin = 16000;

    TableView(Calculator& calc, KeyRouter& keys, QWidget* parent = nullptr);

    void setDelegate(Delegate* delegate) { delegate_ = delegate; }

    // The graph mode's equation tokens in column order, and those that get a column.
    static std::vector<int> modeEquations(int graphMode);
    std::vector<int> columnEquations() const;
    // The column's name ("X", "T", "θ", "η"); empty for another mode.
    static QString independentName(int graphMode);

    // Scales the metrics from their device values and re-measures.
    void adjustSize(double scale);
    // Counts the columns (numColumns) and gives the content size.
    QSizeF size();
    QRectF rectForCol(int col, int row) const;
    // The furthest row from 0 the automatic content holds.
    int maxAutoRow() const;
    // The independent value of an automatic row (row 0 exactly TblStart).
    double autoValue(int row) const;
    // The independent values of `count` automatic rows from firstRow, as they are drawn.
    std::vector<double> rowValues(int firstRow, int count) const;

    int cursorRow = 0;
    int cursorCol = 0;
    bool headerSelected = false;
    int numColumns() const { return numColumns_; }
    double colWidth() const { return colWidth_; }
    double rowHeight() const { return rowHeight_; }
    double colHeadHeight() const { return colHeadHeight_; }
    double fontSize() const { return fontSize_; }

    void paintContent(QPainter& painter, const QRectF& rect) override;
    void tap(QPointF point) override;

private:
    // What one paint draws from.
    struct Snapshot {
        bool automatic = false;
        double start = 0;
        double step = 0;
        VQList list;
        int graphMode = 0;
        NumberFormatter format;
    };
    Snapshot snapshot() const;
    static std::vector<double> rowValues(double start, double step, int firstRow, int count);
    void drawTable(QPainter& painter, const QRectF& rect, const std::vector<int>& columns, const Snapshot& table);
    void drawTableList(QPainter& painter, const QRectF& rect, const std::vector<int>& columns, const Snapshot& table);
    void drawHeader(QPainter& painter, const QRectF& rect, const std::vector<int>& columns, const Snapshot& table);
    // One cell's text right-aligned in its column.
    void drawCell(QPainter& painter, double x, double top, const QString& text);
    // The cursor's highlight or the row's band.
    void fillCell(QPainter& painter, const QRectF& cell, int col, int row, const QColor& band);

    Calculator& calc_;
    KeyRouter& keys_;
    GraphSampler sampler_;
    Delegate* delegate_ = nullptr;
    int numColumns_ = 1;
    double fontSize_;
    double leadAdjust_;
    double colHeadHeight_ = 25;
    double colWidth_;
    double rowHeight_;
};

} // namespace orvenda
