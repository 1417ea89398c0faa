#pragma once

#include "pretty/InsertMode.h"
#include "pretty/PrettyEditor.h"
#include "pretty/PrettyLayout.h"
#include "pretty/PrettyMetrics.h"
#include "pretty/PrettyPainter.h"
#include "pretty/PrettyTree.h"

#include <QColor>
#include <QPointF>
#include <QRectF>

#include <cstdint>
#include <vector>

class QPainter;

namespace orvenda {

// The two-dimensional (MathPrint) form of op arrays: templates written into an op array
// with their IDs in the high 16 bits, the tree that form is laid out from, and the engine
// that lays a line out, draws it with its cursor, maps taps to cursor positions and edits
// it. Each client keeps its own engine; the calculator's shared one serves the entry line.
// Main thread only.
//
// Template encodings ((t) marks the template ID): fraction (t)( n (t)) (t)／ (t)( d (t));
// power (t)^ (t)( e (t)) after its base; mixed number w (t)␣ (t)( n (t)) (t)／ (t)( d (t));
// matrix (t)[, each row (t)[ cells joined by (t), (t)], then (t)]; √( ³√( abs( e^( ₁₀^(
// (t)f x (t)); ˣ√ (t)( n (t)) (t)ˣ√ (t)( x (t)); logBASE( (t)f x (t), b (t)); ∑( fnInt(
// (t)f body (t), var (t), low (t), high (t)); nDeriv( (t)f body (t), var (t), at (t)).
// Read without the IDs, each is an ordinary token line with the same value.
//
// Coordinates: a layout's own coordinates put its root's baseline at y = 0 and its left
// edge at x = 0; its top is at −height(). Drawing takes the layout's top-left point.
class PrettyPrint {
public:
    using Ops = std::vector<std::uint32_t>;

    // A cursor position that shows no cursor.
    static constexpr int kNoCursor = PrettyLayout::kNoCursor;
    // enterOp's adjustment when the cursor is to stay where the added ops start.
    static constexpr int kNoAdjustment = 0x7FFFFFFF;
    // The insert mode switched on by standing on a template's op.
    static constexpr int kInsertAtTemplate = InsertMode::kAtTemplate;

    // The calculator's shared engine, made on first use.
    static PrettyPrint& prettyPrint();

    // An empty line at 20 points, laid out when first asked for.
    PrettyPrint();

    // A copy for display: the plain forms of the templates become templates with fresh
    // IDs (the smallest unused first), existing IDs stay, and missing closers are
    // supplied. Applying it to its own result changes nothing.
    static Ops beautifyOps(const Ops& ops);
    // Supplies every missing closing bracket: a statement's before the ➞, ":" or new line
    // that ends it, the last one's at the end.
    static void closeParens(Ops& ops);
    // A copy without the ops only the two-dimensional form uses (0x5C47, 0x5C48 and the box
    // 0xEF1E).
    static Ops cleanOps(const Ops& ops);
    // The type code of a token (TokenClass::Type).
    static int opType(std::uint32_t op);

    // Measures with `metrics` instead of the display fonts (null: the fonts again).
    void setMetrics(const PrettyMetrics* metrics);

    // Lays the ops out at the base font size around the cursor (kNoCursor for none; its
    // mode, non-zero for insert, matters only when drawing) and returns the print
    // rectangle: at (0, 0), the laid-out width and height() + depth().
    QRectF setOps(const Ops& ops, int cursorPos, int cursorMode, double fontSize);
    // The same, and the ops become the input that deleteAt edits.
    QRectF setMutableOps(const Ops& ops, int cursorPos, int cursorMode, double fontSize);
    const Ops& inputOps() const { return input_; }
    const PrettyTree& tree() const { return tree_; }
    const PrettyLayout& layout() const { return current(); }
    QRectF printRect() const { return current().printRect(); }
    // From the layout's top to the root's baseline.
    double height() const { return current().height(); }
    // From the root's baseline to the bottom.
    double depth() const { return current().depth(); }
    // Lays the same ops out again around another cursor; returns the print rectangle.
    QRectF updateBoundsCursorPos(int cursorPos, int cursorMode);

    // Draw the last layout with its top left at `point`, only within `drawRect` (both in
    // the painter's coordinates): in black, or in a colour, or in a colour at another size
    // (laid out again), or with a cursor of the given glyph.
    void drawAt(QPainter& painter, QPointF point, const QRectF& drawRect);
    void drawAt(QPainter& painter, QPointF point, const QRectF& drawRect, const QColor& color);
    void drawAt(QPainter& painter, QPointF point, const QRectF& drawRect, const QColor& color, double fontSize);
    void drawAt(QPainter& painter, QPointF point, int cursorPos, int cursorMode, int cursorChar,
                const QRectF& drawRect);
    // The whole line at the painter's origin, laid out at the size: for PDF pages and images.
    void drawTreeInContext(QPainter& painter, double fontSize);

    // What op i shows (the cursor's cell where it shows nothing), in layout coordinates.
    QRectF hitRectForIndex(int i) const { return current().hitRect(i); }
    // The same moved down by height(): relative to the layout's top left.
    QRectF offsetHitRectForIndex(int i) const;
    // The cursor position for a point in layout coordinates; negative when no op is near.
    int tapAtPoint(QPointF point) const { return current().tap(point); }
    // The nearest cursor stop at or after op i.
    int setErrorLoc(int i) const { return current().stopAtOrAfter(i); }

    // The ops the key `op` adds at the cursor `at` of `ops` (PrettyEditor::enterOp) in place
    // of the `taken` ops from `at`; `at` may move (the cursor goes there first),
    // `cursorAdjust` tells where the cursor goes from `at` (0: after what was added,
    // kNoAdjustment: nowhere), `insert` may be switched.
    static Ops enterOp(std::uint32_t op, int& at, const Ops& ops, int& cursorAdjust, int& insert, int& taken);
    // The pasted ")" and "," that act as typed where the paste lands, and the paste added
    // in turn around them (PrettyEditor).
    static std::vector<int> strayClosers(const Ops& ops) { return PrettyEditor::strayClosers(ops); }
    static void pasteInTurn(const Ops& ops, const std::function<void(const Ops& run, bool first)>& add,
                            const std::function<void(std::uint32_t op)>& type)
    {
        PrettyEditor::pasteInTurn(ops, add, type);
    }

    // Cursor moves over the last layout; Up and Down answer −1 when there is no line in
    // that direction. Up and Down measure the line without the cell the cursor keeps at a
    // part's end: that cell moves a centred part half a cell to the left, which would take
    // the cursor from the end of one part onto the other's last digit instead of after it.
    int cursorUpFrom(int cursor) const;
    int cursorDownFrom(int cursor) const;
    int cursorLeftAt(int cursor) const;
    int cursorRightAt(int cursor) const;
    int cursorHome() const { return 0; }
    int cursorEnd() const { return current().opCount(); }

    // NO on a structural op of the input: the caller inserts instead.
    bool canOverwriteAt(int cursor) const;
    // Deletes at the cursor in the input (PrettyEditor::deleteAt), lays it out again and
    // returns the new cursor; `cursorMode` may be switched to insert.
    int deleteAt(int cursor, int& cursorMode);

private:
    void relayout() const;
    const PrettyLayout& current() const;
    // The last layout as it stands without a cursor.
    PrettyLayout withoutCursor() const;

    PrettyTree tree_;
    // Laid out again when the metrics change, on the next use.
    mutable PrettyLayout layout_;
    mutable bool dirty_ = true;
    PrettyPainter painter_;
    const PrettyMetrics* metrics_ = nullptr;
    Ops input_;
    double size_ = 20;
    int cursor_ = kNoCursor;
};

} // namespace orvenda
