#pragma once

#include "app/DrawnView.h"

#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <string>
#include <vector>

namespace orvenda {

class Calculator;
class KeyRouter;
class NumberFormatter;
class VQList;
class VQNumber;

// The list editor's grid: one column per name of the calculator's editor columns (the
// placeholder kPlaceholder marks a column without a list yet) and one empty column after
// them, a pinned header row of names, a pinned band of row numbers, each list's values
// right-aligned in their cells and the cursor cell highlighted. It reads the columns and
// the lists on every draw and keeps only the cursor and its measures; only the rows in
// view are formatted. Taps go to the delegate as a row and column (row -1: the header).
// Main thread.
class StatEditView : public DrawnView {
public:
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void selectRow(int row, int col) = 0;
    };

    static constexpr const char* kPlaceholder = "_notDef";
    // Cells show numbers at most this many characters wide.
    static constexpr int kCellWidth = 9;

    StatEditView(Calculator& calc, KeyRouter& keys, QWidget* parent = nullptr);

    void setDelegate(Delegate* delegate) { delegate_ = delegate; }

    // Scales the tablet's measures (a phone keeps its own).
    void adjustSize(double scale);
    // The content size: a column per name plus the empty one, a row per element of the
    // longest list plus the append slot. Gives every named column without a list an empty
    // one.
    QSizeF size();
    // The cursor cell with room for the pinned header and row band, to scroll into view.
    QRectF rectForCursor() const;

    // The text of an element in a cell of `width` points in the font measured: formatted with the
    // cell's number width (a complex value again with no decimals when too wide), cut to
    // 8 characters and "…" when still too wide.
    static QString cellText(const NumberFormatter& format, const VQNumber& number, bool complexList, int realCplxMode,
                            const QFontMetricsF& metrics, double width);
    // How far a text's ink reaches right of where it starts: its advance, or its last
    // glyph's stroke where that reaches further.
    static double inkWidth(const QFontMetricsF& metrics, const QString& text);
    // The gap kept between a cell's text and the column's rule on its right.
    static constexpr double kInkMargin = 1.5;

    int cursorRow = 0;
    int cursorCol = 0;
    double colWidth() const { return colWidth_; }
    double rowHeight() const { return rowHeight_; }
    double headerHeight() const { return headerHeight_; }
    double leftEdgeWidth() const { return leftEdgeWidth_; }
    // Rows formatted by the last draw (the visible ones only).
    int rowsDrawn() const { return rowsDrawn_; }

    void paintContent(QPainter& painter, const QRectF& rect) override;
    void tap(QPointF point) override;

private:
    Calculator& calc_;
    KeyRouter& keys_;
    Delegate* delegate_ = nullptr;
    double headerFontSize_ = 16;
    double fontSize_ = 16;
    double leadAdjust_ = 2;
    double leftEdgeWidth_ = 28;
    double headerHeight_ = 20;
    double colWidth_ = 96;
    double rowHeight_ = 15;
    int rowsDrawn_ = 0;
    // Reused by every draw: the columns' names and lists as they were when it began.
    std::vector<std::string> names_;
    std::vector<VQList> lists_;
    std::vector<bool> hasList_;
};

} // namespace orvenda
