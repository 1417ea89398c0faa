#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <vector>

namespace orvenda {

// The printed 2nd and alpha legends above the keys, over the whole keyboard. As the legend
// sheet it prints both layers in their colours; as an overlay it lights one layer (2nd in
// bright yellow, alpha in bright green, with a glow) while that shift is on. Takes no
// mouse input.
//
// Every legend is printed at one size, the one the strips above the keys give, so a long
// legend (STAT PLOT, UserKeys) reads as well as a short one: a key's two legends share its
// strip by their lengths and may run into the gap beside it and a little over a
// neighbour's strip when that one has room. Where the regular face does not fit the narrow
// one is used at the same size, and only where neither fits does the size come down.
class KeyLegendView : public QWidget {
public:
    enum class Kind { Sheet, SecondGlow, AlphaGlow };
    struct Legend {
        QRectF strip;
        QString second;
        QString alpha;
        // The printed 2nd legend's colour when it differs from the others' (redo dims
        // while there is nothing to redo).
        QColor secondColor;
    };

    KeyLegendView(Kind kind, QWidget* parent);

    // Lays the legends out within the view's width (set the geometry first).
    void setLegends(std::vector<Legend> legends);
    const std::vector<Legend>& legends() const { return legends_; }
    // Where a key's 2nd (or alpha) legend is printed: its advance by the strip's height;
    // empty when it has none.
    QRectF secondRect(int key) const;
    QRectF alphaRect(int key) const;
    // The font every legend is printed in.
    const QFont& legendFont() const { return font_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Placed {
        QRectF second;
        QRectF alpha;
    };
    void layoutLegends();
    // Places every row's legends in font; false when some row cannot hold them.
    bool place(const QFont& font);
    void drawLegend(QPainter& painter, const QRectF& where, const QString& text, const QColor& color, bool glow) const;

    Kind kind_;
    std::vector<Legend> legends_;
    std::vector<Placed> placed_;
    QFont font_;
};

} // namespace orvenda
