#pragma once

#include "pretty/PrettyPrint.h"

#include <QPointF>
#include <QRectF>
#include <QString>

#include <vector>

class QColor;
class QPainter;

namespace orvenda {

// The MathPrint lines of a screen of fields (the equation solver, the polynomial root
// finder): a label, then the field's value laid out as a formula with the label's baseline
// on the formula's, each line as tall as its formula; the current line drawn with the
// entry line's cursor on its highlight. A line may be text alone (a formatted result).
// Its own layout engine, apart from the entry line's. Main thread.
class PrettyFields {
public:
    using Ops = PrettyPrint::Ops;

    struct Field {
        QString label;
        // The label in the apps' mark-up ("a<s2>="), in the display's Courier at the base
        // size; else plain text in the formula's base font.
        bool markUp = false;
        // The label is the whole line, drawn as mark-up: no formula follows it.
        bool textOnly = false;
        double indent = 4;
        // The gap between the label and the formula.
        double gap = 0;
        Ops ops;
    };
    // A line of the last layout; tops from the first line's top, the rest from the line's.
    struct Line {
        double top = 0;
        double height = 0;
        double baseline = 0;
        double valueX = 0;
        double valueWidth = 0;
    };
    // The entry line's cursor on line `line`: op index, insert mode (1), glyph (0 hides it).
    struct Cursor {
        int line = -1;
        int at = PrettyPrint::kNoCursor;
        int mode = 0;
        int glyph = 0;
    };

    // Lays the fields out at the base size, the current one around the cursor.
    void layout(std::vector<Field> fields, const Cursor& cursor, double size);
    const std::vector<Line>& lines() const { return lines_; }
    std::vector<double> heights() const;
    // Line i with its top at `top` (the painter's coordinates), only within `clip`; the
    // current line on the highlight, with its cursor.
    void draw(QPainter& painter, int i, QPointF topLeft, const QRectF& clip);
    // The cursor position a point on line i falls on (from the line's top left); −1 when
    // no op of its formula is near.
    int tap(int i, QPointF point);
    // The rectangle of the current line's cursor, from that line's top left.
    QRectF cursorHit();

private:
    // Line i laid out in the engine (with the cursor when it is the current one).
    void load(int i);

    PrettyPrint printer_;
    std::vector<Field> fields_;
    std::vector<Line> lines_;
    Cursor cursor_;
    double size_ = 20;
};

} // namespace orvenda
