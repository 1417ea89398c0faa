#pragma once

#include "app/DrawnView.h"
#include "pretty/PrettyPrint.h"

#include <QFont>

namespace orvenda {

class Calculator;
class HistoryModel;

// The MathPrint history: each item's input (left-aligned on a faint band) and answer
// (right-aligned) laid out in two dimensions in the view's own engine, green triangles
// where a row is wider than the view, and the selected input or answer on a light band;
// the selected item, when wide, scrolls sideways. Hit tests and item bounds in content
// coordinates (items stack from y = 0, an input row then an answer row each). Draws only
// the rows that meet the dirty rectangle. Main thread.
class PrettyHistoryView : public DrawnView {
public:
    struct Hit {
        int index = -1;
        // HistoryModel::kInput or kAnswer.
        int kind = 0;
        QRectF rect;
    };

    explicit PrettyHistoryView(Calculator& calc, QWidget* parent = nullptr);

    // The item under the point's y (both row edges inclusive, so a point between an input
    // and its answer hits the input); index −1 when none. Stops past the visible bottom.
    Hit hitEntryAt(QPointF point) const;
    // The rectangle of item n's input (kind 0) or answer (kind 1); n outside the history
    // means the last answer; the zero rectangle for an empty history.
    QRectF boundsForEntryNum(int n, int kind) const;
    QRectF selectedItemBounds() const;

    void paintContent(QPainter& painter, const QRectF& rect) override;

    // The font a program's screen is drawn in: the history's, made smaller when its 32
    // columns would not fit the width.
    static QFont screenFont(const QFont& base, double width);

private:
    HistoryModel* history() const;
    void drawArrows(QPainter& painter, double y, double h, bool left) const;
    void drawTextAnswer(QPainter& painter, const class HistoryEntry& item, double y) const;

    Calculator& calc_;
    PrettyPrint prettyPrint_;
};

} // namespace orvenda
