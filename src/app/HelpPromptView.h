#pragma once

#include "pretty/PrettyPrint.h"

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <optional>

namespace orvenda {

class Calculator;

// The syntax-help bubble over the entry line of both home screens: inside a function's
// brackets it shows the function's description in a grey rounded box whose arrow points at
// the function, above the entry line, or below it when there is no room above, pulled in at
// the view's edges. Ignores the mouse. Main thread.
class HelpPromptView : public QWidget {
public:
    struct Bubble {
        QString text;
        // The box, without the arrow.
        QRectF box;
        double arrowX = 0;
        // The box above the function, its arrow pointing down.
        bool above = true;
    };

    explicit HelpPromptView(Calculator& calc, QWidget* parent = nullptr);

    // y of the top of the entry area in this view's coordinates.
    double entryTop() const { return entryTop_; }
    void setEntryTop(double top);
    // The MathPrint entry's scroll offset.
    QPointF originOffset() const { return originOffset_; }
    void setOriginOffset(QPointF offset);
    // The classic entry's font size and leading for a width.
    void setMetricsForWidth(double width);

    // The bubble for the entry line and cursor as they are now; none outside a function's
    // brackets.
    std::optional<Bubble> bubble();
    // Where the bracket group opened at `start` ends: the index of its matching closer, or
    // the op count when it is not closed. The group's length is that minus start.
    static int contextEnd(const Calculator& calc, const PrettyPrint::Ops& ops, int start);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<Bubble> mathPrintBubble(const PrettyPrint::Ops& ops, int start, const QString& text);
    std::optional<Bubble> classicBubble(const PrettyPrint::Ops& ops, int start, const QString& text) const;

    Calculator& calc_;
    PrettyPrint prettyPrint_;
    double fontSize_;
    double leading_;
    double entryTop_ = 0;
    QPointF originOffset_;
};

} // namespace orvenda
