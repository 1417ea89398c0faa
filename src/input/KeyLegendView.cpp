#include "input/KeyLegendView.h"

#include "input/KeyArtwork.h"
#include "pretty/FontMap.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

// The size of a legend as a part of its strip's height.
constexpr double kLegendSize = 0.78;
// A legend's room from its strip's edge, as a part of the strip's width.
constexpr double kLegendMargin = 0.03;
// The room between a key's two legends, and between legends of neighbouring keys, as parts
// of the legend size: a neighbour's legend must not read as this key's.
constexpr double kPairGap = 0.3;
constexpr double kKeyGap = 0.5;
// How far a legend may run over the gap and a neighbour's strip, as a part of its own
// strip's width.
constexpr double kSpill = 0.12;
// The room a legend keeps from the keyboard's edge, as a part of the legend size.
constexpr double kEdge = 0.15;

} // namespace

KeyLegendView::KeyLegendView(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void KeyLegendView::setLegends(std::vector<Legend> legends)
{
    legends_ = std::move(legends);
    layoutLegends();
    update();
}

void KeyLegendView::layoutLegends()
{
    double strip = 0;
    for (const Legend& legend : legends_)
        if (!legend.strip.isEmpty() && (strip == 0 || legend.strip.height() < strip))
            strip = legend.strip.height();
    const int usual = std::max(1, static_cast<int>(std::lround(strip * kLegendSize)));
    for (int size = usual; size >= 1; --size)
        for (const char* face : {"Helvetica-Bold", "Helvetica-CondensedBold"}) {
            font_ = FontMap::shared().font(face, size);
            if (place(font_))
                return;
        }
}

bool KeyLegendView::place(const QFont& font)
{
    const QFontMetricsF metrics(font);
    const double size = font.pixelSize();
    placed_.assign(legends_.size(), {});
    // Rows of strips, left to right.
    std::vector<int> keys;
    keys.reserve(legends_.size());
    for (std::size_t key = 0; key < legends_.size(); ++key)
        if (!legends_[key].strip.isEmpty())
            keys.push_back(static_cast<int>(key));
    const auto strip = [this](int key) -> const QRectF& { return legends_[static_cast<std::size_t>(key)].strip; };
    std::sort(keys.begin(), keys.end(), [&](int a, int b) {
        const double ta = std::round(strip(a).top()), tb = std::round(strip(b).top());
        return ta != tb ? ta < tb : strip(a).left() < strip(b).left();
    });
    struct Item {
        int key;
        bool second;
        double width, x, lo, hi;
        double packed = 0;
    };
    struct Block {
        double sum;
        int count;
        double lo, hi, value;
    };
    std::vector<Item> items;
    items.reserve(2 * keys.size());
    std::vector<Block> blocks;
    blocks.reserve(2 * keys.size());
    const double right = width() > 0 ? width() : 0;
    bool fits = true;
    for (std::size_t first = 0; first < keys.size();) {
        std::size_t last = first;
        while (last + 1 < keys.size() && std::round(strip(keys[last + 1]).top()) == std::round(strip(keys[first]).top()))
            ++last;
        items.clear();
        for (std::size_t i = first; i <= last; ++i) {
            const int key = keys[i];
            const Legend& legend = legends_[static_cast<std::size_t>(key)];
            const QRectF& s = legend.strip;
            const double spill = s.width() * kSpill;
            // Over the gap towards a neighbouring strip, or to the keyboard's edge; never
            // towards a key with no strip (the arrows), whose body may stand beside it.
            const bool before = i > first && s.left() - strip(keys[i - 1]).right() < spill;
            const bool after = i < last && strip(keys[i + 1]).left() - s.right() < spill;
            const double edge = size * kEdge;
            const double lo = before ? s.left() - spill : s.left() < spill ? std::min(s.left(), edge) : s.left();
            const double hi = after                                ? s.right() + spill
                : right > 0 && right - s.right() < spill ? std::max(s.right(), right - edge)
                                                                   : s.right();
            const double margin = s.width() * kLegendMargin;
            const bool both = !legend.second.isEmpty() && !legend.alpha.isEmpty();
            if (!legend.second.isEmpty()) {
                const double w = metrics.horizontalAdvance(legend.second);
                items.push_back({key, true, w, both ? s.left() + margin : s.center().x() - w / 2, lo, hi, 0});
            }
            if (!legend.alpha.isEmpty()) {
                const double w = metrics.horizontalAdvance(legend.alpha);
                items.push_back({key, false, w, both ? s.right() - margin - w : s.center().x() - w / 2, lo, hi, 0});
            }
        }
        // Each legend as near its place as its neighbours allow (least squares): measured
        // from the packed row, the offsets must not decrease, so runs of legends that
        // would collide are merged and moved together, within their limits. Where a run's
        // limits leave it no room the row cannot hold its legends.
        blocks.clear();
        double packed = 0;
        for (std::size_t i = 0; i < items.size(); ++i) {
            Item& item = items[i];
            if (i > 0)
                packed += items[i - 1].width + size * (items[i - 1].key == item.key ? kPairGap : kKeyGap);
            item.packed = packed;
            Block block{item.x - packed, 1, item.lo - packed, item.hi - item.width - packed, 0};
            block.value = std::clamp(block.sum, block.lo, std::max(block.lo, block.hi));
            fits = fits && block.lo <= block.hi;
            blocks.push_back(block);
            while (blocks.size() > 1 && blocks[blocks.size() - 2].value > blocks.back().value) {
                const Block last = blocks.back();
                blocks.pop_back();
                Block& merged = blocks.back();
                merged.sum += last.sum;
                merged.count += last.count;
                merged.lo = std::max(merged.lo, last.lo);
                merged.hi = std::min(merged.hi, last.hi);
                fits = fits && merged.lo <= merged.hi;
                merged.value = std::clamp(merged.sum / merged.count, merged.lo, std::max(merged.lo, merged.hi));
            }
        }
        std::size_t next = 0;
        for (const Block& block : blocks)
            for (int n = 0; n < block.count; ++n, ++next)
                items[next].x = block.value + items[next].packed;
        for (const Item& item : items) {
            const QRectF& s = strip(item.key);
            Placed& p = placed_[static_cast<std::size_t>(item.key)];
            (item.second ? p.second : p.alpha) = QRectF(item.x, s.top(), item.width, s.height());
        }
        first = last + 1;
    }
    return fits;
}

QRectF KeyLegendView::secondRect(int key) const
{
    return key < 0 || key >= static_cast<int>(placed_.size()) ? QRectF() : placed_[static_cast<std::size_t>(key)].second;
}

QRectF KeyLegendView::alphaRect(int key) const
{
    return key < 0 || key >= static_cast<int>(placed_.size()) ? QRectF() : placed_[static_cast<std::size_t>(key)].alpha;
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
    painter.setFont(font_);
    for (std::size_t key = 0; key < legends_.size(); ++key) {
        const Legend& legend = legends_[key];
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
