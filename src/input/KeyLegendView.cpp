#include "input/KeyLegendView.h"

#include "input/KeyArtwork.h"
#include "pretty/FontMap.h"

#include <QPainter>

#include <algorithm>

namespace orvenda {

namespace {

// The room kept between a key's 2nd and alpha legends, as a part of its width.
constexpr double kLegendGap = 0.06;

} // namespace

KeyLegendView::KeyLegendView(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void KeyLegendView::setLegends(std::vector<Legend> legends)
{
    legends_ = std::move(legends);
    update();
}

QFont KeyLegendView::fontFor(const Legend& legend) const
{
    QFont font = FontMap::shared().font("Helvetica-Bold", legend.strip.height() * 0.78);
    // Both legends share the strip as their lengths ask (STAT PLOT takes more than F1), so
    // a long one is not shrunk to half a key.
    const bool both = !legend.second.isEmpty() && !legend.alpha.isEmpty();
    const QFontMetricsF metrics(font);
    const double needed = metrics.horizontalAdvance(legend.second) + metrics.horizontalAdvance(legend.alpha)
        + (both ? legend.strip.width() * kLegendGap : 0);
    const double room = legend.strip.width() * 0.94;
    if (needed > room && needed > 0)
        font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * room / needed)));
    return font;
}

QRectF KeyLegendView::secondRect(int key) const { return legendRect(key, true); }

QRectF KeyLegendView::alphaRect(int key) const { return legendRect(key, false); }

QRectF KeyLegendView::legendRect(int key, bool second) const
{
    if (key < 0 || key >= static_cast<int>(legends_.size()))
        return {};
    const Legend& legend = legends_[static_cast<std::size_t>(key)];
    const QString& text = second ? legend.second : legend.alpha;
    const QString& other = second ? legend.alpha : legend.second;
    if (text.isEmpty())
        return {};
    const double wide = QFontMetricsF(fontFor(legend)).horizontalAdvance(text);
    const QRectF& s = legend.strip;
    // Alone a legend sits in the middle; beside the other, 2nd at the left and alpha at the
    // right.
    const double x = other.isEmpty() ? s.center().x() - wide / 2
        : second                     ? s.left() + s.width() * 0.03
                                     : s.right() - s.width() * 0.03 - wide;
    return {x, s.top(), wide, s.height()};
}

void KeyLegendView::drawLegend(QPainter& painter, const QRectF& where, const QString& text, const QColor& color,
                               bool glow) const
{
    if (where.isEmpty())
        return;
    if (glow) {
        // A soft halo: the text smeared around itself at low alpha.
        QColor halo = color;
        halo.setAlphaF(0.18f);
        painter.setPen(halo);
        const double r = std::max(1.0, where.height() * 0.12);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (dx != 0 || dy != 0)
                    painter.drawText(where.translated(dx * r, dy * r), Qt::AlignCenter | Qt::TextDontClip, text);
    }
    painter.setPen(color);
    painter.drawText(where, Qt::AlignCenter | Qt::TextDontClip, text);
}

void KeyLegendView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (std::size_t key = 0; key < legends_.size(); ++key) {
        const Legend& legend = legends_[key];
        painter.setFont(fontFor(legend));
        const int n = static_cast<int>(key);
        if (kind_ != Kind::AlphaGlow)
            drawLegend(painter, secondRect(n), legend.second,
                       kind_ != Kind::Sheet            ? KeyArtwork::kSecondHighlight
                           : legend.secondColor.isValid() ? legend.secondColor
                                                          : KeyArtwork::kSecondLegend,
                       kind_ != Kind::Sheet);
        if (kind_ != Kind::SecondGlow)
            drawLegend(painter, alphaRect(n), legend.alpha,
                       kind_ == Kind::Sheet ? KeyArtwork::kAlphaLegend : KeyArtwork::kAlphaHighlight,
                       kind_ != Kind::Sheet);
    }
}

} // namespace orvenda
