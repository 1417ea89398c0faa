#pragma once

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class QPainter;

namespace orvenda {

// The classic one-line form of an op array: the ops' display names set one after the
// other from the bounds' top left, wrapped at whole tokens (a token wider than a line
// breaks between characters), each line `leading` high, after an optional prefix; or an
// overlay text in place of the ops. Layout is redone when something it depends on
// changed. Main thread.
class LayoutManager {
public:
    using Ops = std::vector<std::uint32_t>;

    const Ops& ops() const { return ops_; }
    // Returns the laid-out rectangle: the bounds' top left, the widest line and height().
    QRectF setOps(const Ops& ops);
    const QRectF& bounds() const { return bounds_; }
    void setBounds(const QRectF& bounds);
    // An op index, the op count for the end of the line, or −1 for no cursor.
    int cursorPosition() const { return cursorPosition_; }
    void setCursorPosition(int position);
    const std::string& prefixStr() const { return prefix_; }
    void setPrefixStr(std::string prefix);
    // Drawn instead of the ops while set.
    const std::optional<std::string>& overlayStr() const { return overlay_; }
    void setOverlayStr(std::optional<std::string> overlay);
    // None until set; the display font at 16 is used meanwhile.
    const std::optional<QFont>& font() const { return font_; }
    void setFont(const QFont& font);
    double leading() const { return leading_; }
    void setLeading(double leading);
    // The cursor's glyph code: 0 draws nothing (the blink's off phase); 225 (2nd) marks the
    // cell with an up arrow, 226 and 227 (alpha) with "A" and "a".
    int cursorChar() const { return cursorChar_; }
    void setCursorChar(int code) { cursorChar_ = code; }
    // Insert mode draws an underline instead of the block.
    bool insertMode() const { return insert_; }
    void setInsertMode(bool insert) { insert_ = insert; }

    // Draws in the painter's pen colour: the prefix, the overlay or the ops, then the
    // cursor, a one-character cell at its op; with `visible`, only the lines that meet it
    // (a long line costs what shows of it).
    void drawInContext(QPainter& painter, std::optional<QRectF> visible = std::nullopt);
    double height();
    int numLines();
    // The op index under the point: the op count in the cell just after the last op; −1
    // outside the bounds, between ops or while an overlay is shown.
    int touchAt(const QPointF& point);

private:
    static constexpr int kPrefix = -1;
    static constexpr int kOverlay = -2;

    struct Glyph {
        QString text;
        double width = 0;
    };
    // A laid-out run of text: a whole op, the prefix or the overlay, or the part of one
    // that fits on a line (characters [from, to) of its text).
    struct Piece {
        int op;
        int line;
        double x;
        double width;
        int from;
        int to;
    };

    void invalidate() { laidOut_ = false; }
    void layout();
    void place(int op, const QString& text, double width);
    const Glyph& glyph(std::uint32_t op);
    const QString& textOf(int op);
    QFont activeFont() const;
    // Top of the cell where op `index` starts (the op count: the end cell).
    QPointF cellAt(int index) const;

    Ops ops_;
    QRectF bounds_;
    int cursorPosition_ = -1;
    std::string prefix_;
    QString prefixText_;
    std::optional<std::string> overlay_;
    QString overlayText_;
    std::optional<QFont> font_;
    double leading_ = 17;
    int cursorChar_ = 224;
    bool insert_ = false;

    bool laidOut_ = false;
    std::unordered_map<std::uint32_t, Glyph> glyphs_;
    std::vector<Piece> pieces_;
    std::vector<int> firstPiece_;
    double ascent_ = 0, descent_ = 0, cellWidth_ = 0;
    double x_ = 0, widest_ = 0;
    int line_ = 0, numLines_ = 1;
    QPointF endCell_;
};

} // namespace orvenda
