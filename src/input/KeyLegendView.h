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

    void setLegends(std::vector<Legend> legends);
    const std::vector<Legend>& legends() const { return legends_; }
    // Where a key's 2nd (or alpha) legend is printed; empty when it has none.
    QRectF secondRect(int key) const;
    QRectF alphaRect(int key) const;
    // The font of a key's legends: both share the strip by their lengths.
    QFont fontFor(const Legend& legend) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF legendRect(int key, bool second) const;
    void drawLegend(QPainter& painter, const QRectF& where, const QString& text, const QColor& color, bool glow) const;

    Kind kind_;
    std::vector<Legend> legends_;
};

} // namespace orvenda
