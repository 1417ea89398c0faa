#pragma once

#include "app/DrawnView.h"

#include <QFont>
#include <QPointF>

#include <string>

namespace orvenda {

class Calculator;
class EntryModel;
class HistoryModel;

// The history of the classic home screen in a fixed-pitch font: each item's input (faint,
// from the left, in the lines of 32 columns its row is measured in) and up to 8 of its
// result lines (right-aligned, or from the left for text and wide results), a separator
// above each item. The newest result scrolls by line and column (resultOffset) while the
// entry line is empty; a tap on an item's left half pastes its input into the entry line,
// on its right half its answer. Draws in content coordinates inside a VQTableScrollView.
// Main thread.
class HistoryView : public DrawnView {
public:
    // Result lines shown of one item, at most.
    static constexpr int kMaxLines = 8;
    // Columns the newest result scrolls within.
    static constexpr int kScrollColumns = 32;

    explicit HistoryView(Calculator& calc, QWidget* parent = nullptr);

    // x = first column, y = first line shown of the newest result.
    QPointF resultOffset() const { return resultOffset_; }
    void setResultOffset(QPointF offset);
    double fontSize() const { return fontSize_; }
    double leading() const { return leading_; }
    // The font size and line height for a width.
    void setMetricsForWidth(double width);

    // The newest result as it is spoken: "." as " point ", "ᴱ" as " e ", "-" as " minus ".
    static std::string spokenResult(const std::string& result);
    // The accessibility label from the newest result.
    void updateLabel();

    void paintContent(QPainter& painter, const QRectF& rect) override;
    void tap(QPointF point) override;

private:
    HistoryModel* history() const;
    EntryModel* entry() const;

    Calculator& calc_;
    double fontSize_;
    double leading_;
    QPointF resultOffset_;
};

} // namespace orvenda
