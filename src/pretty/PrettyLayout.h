#pragma once

#include "pretty/PrettyMetrics.h"
#include "pretty/PrettyTree.h"

#include <QPointF>
#include <QRectF>

#include <cstdint>
#include <string_view>
#include <vector>

namespace orvenda {

// The laid-out two-dimensional form of a PrettyTree: every node's box, the drawing list,
// and the cursor stops. Layout coordinates put the root's baseline at y = 0 (y grows
// downwards, so the top is at −height()) and its left edge at x = 0.
//
// A cursor stop is an op index the cursor can stand on: the boundaries of every row's
// items (a template part's end is the index of its closer or separator), the digits of a
// number, and the ends of a power's base and a mixed number's whole. Where one index
// bounds several rows (an unclosed bracket's content and the line around it), the
// innermost row owns it. A cursor at a stop with no ordinary op to stand on (a template op
// or the end) gets a cell of its own; a cursor in an empty part makes its box cursor-sized.
class PrettyLayout {
public:
    using Role = PrettyMetrics::Role;
    static constexpr int kNoCursor = 50000;

    // One thing to draw, in layout coordinates.
    struct Item {
        enum class Kind : std::uint8_t {
            Text,     // text at (rect.x, baseline); a number run draws ops [op, opEnd)
            Rule,     // a filled rectangle: fraction bars, radical overbars, abs bars
            Radical,  // the radical sign in rect
            Bracket,  // a stretchy bracket `glyph` ("(", ")", "[", "]", "{", "}") in rect
            BigSign,  // ∑ (token 0xEF33) or ∫ in rect
            Box,      // an empty part's dotted box
        };
        Kind kind = Kind::Text;
        Role role = PrettyMetrics::Base;
        QRectF rect;
        double baseline = 0;
        std::string_view text;
        int op = -1;
        int opEnd = -1;
        std::uint32_t token = 0;
    };

    struct Stop {
        bool valid = false;
        double x = 0;
        double baseline = 0;
        Role role = PrettyMetrics::Base;
        // The node whose line the stop lies on: the root, or a part drawn on a line of its
        // own (numerator, denominator, exponent, limit, index, subscript, matrix cell).
        int line = -1;
        // The row (or single-node base or whole) the stop is a boundary of.
        int owner = -1;
        int depth = 0;
    };

    // Lays the tree out at the base font size with the cursor (kNoCursor for none).
    void layout(const PrettyTree& tree, double size, int cursor, const PrettyMetrics& metrics);

    const PrettyTree& tree() const { return *tree_; }
    double size() const { return size_; }
    int cursor() const { return cursor_; }
    // The thickness of bars and overbars.
    double rule() const { return rule_; }
    double width() const { return width_; }
    // From the top to the root's baseline.
    double height() const { return height_; }
    // From the root's baseline to the bottom.
    double depth() const { return depth_; }
    QRectF printRect() const { return {0, 0, width_, height_ + depth_}; }
    const std::vector<Item>& items() const { return items_; }

    int opCount() const { return static_cast<int>(stops_.size()) - 1; }
    bool isStop(int i) const { return i >= 0 && i <= opCount() && stops_[static_cast<std::size_t>(i)].valid; }
    const Stop& stop(int i) const { return stops_[static_cast<std::size_t>(i)]; }
    // The smallest stop at or after i (the end for none).
    int stopAtOrAfter(int i) const;

    // The cursor's cell at stop i: an empty part's box, else one character of its line.
    QRectF cursorRect(int i) const;
    // What op i shows: its glyph, digit, a template's sign or bar, an empty part's box;
    // the cursor's cell where it shows nothing. Indices that are no stop give the rectangle
    // of the next stop.
    QRectF hitRect(int i) const;
    // The stop under the point: the smallest drawn op or box that holds it, else the
    // smallest cursor cell, else the nearest within half the font size; −1 when none is.
    int tap(QPointF point) const;

private:
    struct Geom {
        double x = 0, y = 0;  // origin: left edge and baseline
        double w = 0, a = 0, d = 0;
        double ink = 0;  // how high ink reaches above the baseline
        Role role = PrettyMetrics::Base;
        // Per kind: the offset of the first part, a sign's width, a gap.
        double p0 = 0, p1 = 0, p2 = 0, p3 = 0;
    };

    const PrettyNode& node(int i) const { return tree_->node(i); }
    std::uint32_t opAt(int i) const { return tree_->ops()[static_cast<std::size_t>(i)]; }
    Geom& g(int i) { return geom_[static_cast<std::size_t>(i)]; }
    const Geom& g(int i) const { return geom_[static_cast<std::size_t>(i)]; }
    PrettyMetrics::Font font(Role role) const { return fonts_[role]; }
    double advance(Role role, std::string_view text) const { return metrics_->advance(role, size_, text); }
    double cell(Role role) const { return cells_[role]; }
    Role partRole(Role role) const;
    Role glyphRole(int i) const;

    // Which row owns each stop, before anything is measured.
    void assignRow(int row, int line, int depth);
    void assignSeq(int n, int line, int depth);
    void assignItem(int n, int line, int depth);
    void record(int index, int owner, int line, int depth);
    // A cell is kept for the cursor at `index` in the row or base `owner`.
    bool reservesAt(int owner, int index) const;

    void measure(int n, Role role);
    void measureRow(int n, Role role);
    void measureBrackets(int n, Role role);
    void measureFraction(int n, Role role, int num, int den, double left);
    void measureScript(int n, Role role);
    // Whether a power or postfix draws its base in brackets: the base is raised itself, so
    // (2³)² reads as the (2^3)^2 it computes where 2³² would read as 2^(3^2).
    bool bracketsBase(int n) const;
    void measureRadical(int n, Role role);
    void measureLog(int n, Role role);
    void measureBig(int n, Role role);
    void measureDerivative(int n, Role role);
    void measureMatrix(int n, Role role);
    // Keeps a child's box inside its parent's extents.
    void extend(Geom& parent, const Geom& child) const;

    // Fixes absolute positions, emits the drawing list and the stops. A decorative copy
    // (the variable repeated after a derivative's bar) draws without stops or hit areas.
    void place(int n, double x, double y, bool decorative);
    void placeBrackets(int n, double x, double y, bool decorative);
    void placeFraction(int n, int num, int den, double x, double y, bool decorative);
    void placeRadical(int n, double x, double y, bool decorative);
    void placeLog(int n, double x, double y, bool decorative);
    void placeBig(int n, double x, double y, bool decorative);
    void placeDerivative(int n, double x, double y, bool decorative);
    void placeMatrix(int n, double x, double y, bool decorative);
    void setStop(int index, int owner, double x, double baseline, Role role);
    void text(Role role, double x, double y, std::string_view s, int op, bool decorative);
    void bracket(Role role, QRectF rect, std::string_view glyph, int op, bool decorative);
    void ink(int op, const QRectF& rect, bool decorative);

    const PrettyTree* tree_ = nullptr;
    const PrettyMetrics* metrics_ = nullptr;
    double size_ = 0;
    int cursor_ = kNoCursor;
    PrettyMetrics::Font fonts_[4];
    double cells_[4] = {};
    double rule_ = 1, fractionGap_ = 0, fractionPad_ = 0, scriptGap_ = 0;
    double width_ = 0, height_ = 0, depth_ = 0;
    std::vector<Geom> geom_;
    std::vector<Item> items_;
    std::vector<Stop> stops_;
    std::vector<QRectF> ink_;
    std::vector<QRectF> boxes_;
};

} // namespace orvenda
