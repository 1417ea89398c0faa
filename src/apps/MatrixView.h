#pragma once

#include "app/DrawnView.h"
#include "apps/MarkUpText.h"
#include "core/VQMatrix.h"

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>
#include <vector>

namespace orvenda {

class Calculator;
class KeyRouter;

// The matrix editor's grid: a pinned header band of column names, a pinned band of row
// numbers, every second row shaded, the cursor cell highlighted and each value right-aligned
// in its cell, cut with "…" when too wide. Four styles: a matrix [A]…[J] (0), a system's
// coefficients with the constants column b (1), its solution as one line per unknown (2)
// and its reduced row-echelon form (3). Only the cells in view are formatted. Taps go to
// the delegate as a row and column. Main thread.
class MatrixView : public DrawnView {
public:
    enum Style { Matrix = 0, Coefficients = 1, Solution = 2, RRef = 3 };

    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void selectRow(int row, int col) = 0;
    };

    MatrixView(Calculator& calc, KeyRouter& keys, QWidget* parent = nullptr);

    void setDelegate(Delegate* delegate) { delegate_ = delegate; }
    int style() const { return style_; }
    void setStyle(int style) { style_ = style; }
    // The measures for a view this wide: the font size from the width, the rest from it.
    void layoutForWidth(double width);
    double fontSize() const { return fontSize_; }
    double rowHeight() const { return rowHeight_; }
    double topEdgeWidth() const { return topEdgeWidth_; }
    double leftEdgeWidth() const { return leftEdgeWidth_; }
    // A column's width: fixed for a matrix, a quarter of the grid for a system.
    double columnWidth() const;

    // The matrix the style shows (sharing the calculator's cells), none for style 2.
    VQMatrix shownMatrix() const;
    // Rows drawn: the matrix's, or one per unknown of the solution (one without).
    int rowCount() const;
    // The content size for the scroller.
    QSizeF size() const;
    // The cell with the bands before it, to scroll into view.
    QRectF rectForCol(int col, int row) const;

    // One line of a solution in mark-up: "x<s1>=2+3x<s3>"; "No Solution" without one.
    static QString solutionRow(const Calculator& calc, const std::optional<VQMatrix>& solution, int row);
    // A cell's value in mark-up as the grid shows it (fraction answers as fractions).
    QString cellText(double value) const;

    int cursorRow = -1;
    int cursorCol = -1;
    // Cells formatted by the last draw (the visible ones only).
    int cellsDrawn() const { return cellsDrawn_; }

    void paintContent(QPainter& painter, const QRectF& rect) override;
    void tap(QPointF point) override;

private:
    Calculator& calc_;
    KeyRouter& keys_;
    Delegate* delegate_ = nullptr;
    int style_ = Matrix;
    double fontSize_ = 16;
    double leadAdjust_ = 2;
    double leftEdgeWidth_ = 18;
    double topEdgeWidth_ = 13;
    double colWidth_ = 100;
    double rowHeight_ = 16;
    int cellsDrawn_ = 0;
};

} // namespace orvenda
