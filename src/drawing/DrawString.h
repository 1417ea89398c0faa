#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include <string>
#include <vector>

namespace orvenda {

class GraphicsContext;

// A font by the phone's name for it ("Helvetica-Bold", "TimesNewRomanPSMT", ...) and a
// size in points, which need not be whole.
struct TextFont {
    std::string name;
    double size = 12;
};

// Measuring and drawing a string in a TextFont: the box of a string spans y from 0 (its
// top) to its height (the font's ascent and descent), and a string is drawn with that box's
// top-left corner at the point. Sizes are exact at any fraction of a point: each face is
// held at one large size and scaled. Main thread.
class DrawString {
public:
    static QSizeF VQsizeWithFont(const QString& text, const TextFont& font);
    static double ascent(const TextFont& font);
    // Drawn in the context's fill colour, or in the colour given.
    static void VQdrawAtPoint(GraphicsContext& context, const QString& text, QPointF point, const TextFont& font);
    static void VQdrawAtPoint(GraphicsContext& context, const QString& text, QPointF point, const TextFont& font,
                              const QColor& color);
    // The font as the painter takes it at the face's reference size, and that size.
    static const QFont& referenceFont(const std::string& name);
    static constexpr double kReferenceSize = 96;
    // For a glyph wider than its cell (the store arrow), whose ink would touch its
    // neighbours: the change of coordinates that centres the text's ink in the cell at left
    // of that width and, where it is wider than the cell less inset of its width on either
    // side, narrows it to that. Only x changes; the text is then drawn at x 0.
    static QTransform fitToCell(const QFont& font, const QString& text, double left, double width, double inset);
    // A line of fixed-pitch text in pieces of at most that many characters (code points), as
    // a screen of that many columns wraps it; an empty line is one empty piece.
    static std::vector<QString> columnPieces(const QString& text, int columns);
};

} // namespace orvenda
