#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

#include <cstdint>

class QPainter;

namespace orvenda {

// The drawn artwork of the calculator keyboard, in code so it is crisp at every scale: key
// faces by name ("fkeyBlack", "fkeyBlue", "fkey", "fkeyYellow", "fkeyGreen", "fkeyShort",
// the arrow faces, the undo, X,T,θ,n and help-key faces; a "T" in a name is the tall
// phone's variant of the same face) in the keyboard colour set's colours, and the legends,
// whose text comes from the token names of what each key does.
class KeyArtwork {
public:
    // A key's legend strip (the 2nd and alpha legends above the key body) and body.
    static QRectF legendStrip(const QRectF& key, const QString& face);
    static QRectF body(const QRectF& key, const QString& face);

    static void drawFace(QPainter& painter, const QRectF& key, const QString& face, int colorSet, bool pressed);
    // The body alone, filling the rectangle: a key with no legend strip above it.
    static void drawBody(QPainter& painter, const QRectF& body, const QString& face, int colorSet, bool pressed);
    // The back panel behind the keys.
    static void drawBackPanel(QPainter& painter, const QRectF& panel);

    // The legend printed for an op: its token name with a function's "(" dropped, and the
    // arithmetic signs as a keypad prints them.
    static QString legendText(std::uint32_t op);
    // The X,T,θ,n key's face and printed letter in a graph mode (0 function, 1 parametric,
    // 2 polar, 3 sequence); tall is the tall phone's face.
    static QString xKeyFace(int graphMode, bool tall);
    static QString xKeyLegend(int graphMode);
    // Text on a key body: dark on the light 2ND and ALPHA keys, grey on an undo key with
    // nothing to undo, white elsewhere.
    static QColor bodyTextColor(const QString& face);
    // The font made smaller where the text is wider than room.
    static QFont fitted(QFont font, const QString& text, double room);

    static const QColor kWhite;
    static const QColor kSecondLegend;
    static const QColor kAlphaLegend;
    static const QColor kSecondHighlight;
    static const QColor kAlphaHighlight;
};

} // namespace orvenda
