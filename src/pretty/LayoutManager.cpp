#include "pretty/LayoutManager.h"

#include "pretty/FontMap.h"
#include "pretty/GlyphNames.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr double kSlack = 1e-6;
constexpr double kUnderline = 2;

QString cursorMark(int code)
{
    switch (code) {
    case 225: return QStringLiteral("\u2191");
    case 226: return QStringLiteral("A");
    case 227: return QStringLiteral("a");
    default: return {};
    }
}

} // namespace

QRectF LayoutManager::setOps(const Ops& ops)
{
    ops_ = ops;
    invalidate();
    layout();
    return {bounds_.x(), bounds_.y(), widest_, height()};
}

void LayoutManager::setBounds(const QRectF& bounds)
{
    bounds_ = bounds;
    invalidate();
}

void LayoutManager::setCursorPosition(int position)
{
    cursorPosition_ = position;
    invalidate();
}

void LayoutManager::setPrefixStr(std::string prefix)
{
    prefix_ = std::move(prefix);
    prefixText_ = QString::fromStdString(prefix_);
    invalidate();
}

void LayoutManager::setOverlayStr(std::optional<std::string> overlay)
{
    overlay_ = std::move(overlay);
    overlayText_ = overlay_ ? QString::fromStdString(*overlay_) : QString{};
    invalidate();
}

void LayoutManager::setFont(const QFont& font)
{
    if (font_ && *font_ == font)
        return;
    font_ = font;
    glyphs_.clear();
    invalidate();
}

void LayoutManager::setLeading(double leading)
{
    leading_ = leading;
    invalidate();
}

QFont LayoutManager::activeFont() const
{
    return font_ ? *font_ : FontMap::shared().font("CourierNewPS-BoldMT", 16);
}

const LayoutManager::Glyph& LayoutManager::glyph(std::uint32_t op)
{
    auto it = glyphs_.find(op);
    if (it == glyphs_.end()) {
        Glyph g;
        const std::string_view name = GlyphNames::name(op);
        g.text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        g.width = QFontMetricsF(activeFont()).horizontalAdvance(g.text);
        it = glyphs_.emplace(op, std::move(g)).first;
    }
    return it->second;
}

const QString& LayoutManager::textOf(int op)
{
    if (op == kPrefix)
        return prefixText_;
    if (op == kOverlay)
        return overlayText_;
    return glyph(ops_[static_cast<std::size_t>(op)]).text;
}

void LayoutManager::layout()
{
    if (laidOut_)
        return;
    const QFontMetricsF metrics(activeFont());
    ascent_ = metrics.ascent();
    descent_ = metrics.descent();
    cellWidth_ = metrics.horizontalAdvance(QLatin1Char('0'));
    pieces_.clear();
    firstPiece_.assign(ops_.size(), -1);
    x_ = widest_ = 0;
    line_ = 0;
    if (!prefixText_.isEmpty())
        place(kPrefix, prefixText_, metrics.horizontalAdvance(prefixText_));
    if (overlay_) {
        place(kOverlay, overlayText_, metrics.horizontalAdvance(overlayText_));
    } else {
        for (std::size_t i = 0; i < ops_.size(); ++i) {
            const Glyph& g = glyph(ops_[i]);
            firstPiece_[i] = static_cast<int>(pieces_.size());
            place(static_cast<int>(i), g.text, g.width);
        }
    }
    // The cell after the last op, on the next line when it does not fit.
    int endLine = line_;
    double endX = x_;
    if (x_ > 0 && x_ + cellWidth_ > bounds_.width() + kSlack) {
        ++endLine;
        endX = 0;
    }
    endCell_ = {endX, static_cast<double>(endLine)};
    numLines_ = line_ + 1;
    if (!overlay_ && cursorPosition_ >= 0)
        numLines_ = std::max(numLines_, endLine + 1);
    laidOut_ = true;
}

void LayoutManager::place(int op, const QString& text, double width)
{
    const double lineWidth = bounds_.width();
    if (width <= lineWidth + kSlack) {
        if (x_ > 0 && x_ + width > lineWidth + kSlack) {
            ++line_;
            x_ = 0;
        }
        pieces_.push_back({op, line_, x_, width, 0, static_cast<int>(text.size())});
        x_ += width;
        widest_ = std::max(widest_, x_);
        return;
    }
    // Wider than a line: as many characters as fit on each line, from where the line is.
    const QFontMetricsF metrics(activeFont());
    std::vector<int> ends;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype b = finder.toNextBoundary(); b != -1; b = finder.toNextBoundary())
        ends.push_back(static_cast<int>(b));
    std::size_t k = 0;
    int from = 0;
    while (k < ends.size()) {
        int to = from;
        double w = 0;
        while (k < ends.size()) {
            const double advance = metrics.horizontalAdvance(text.mid(from, ends[k] - from));
            if (x_ + advance > lineWidth + kSlack && (to > from || x_ > 0))
                break;
            to = ends[k++];
            w = advance;
        }
        if (to == from) {
            ++line_;
            x_ = 0;
            continue;
        }
        pieces_.push_back({op, line_, x_, w, from, to});
        x_ += w;
        widest_ = std::max(widest_, x_);
        from = to;
        if (k < ends.size()) {
            ++line_;
            x_ = 0;
        }
    }
}

double LayoutManager::height()
{
    layout();
    return numLines_ * leading_;
}

int LayoutManager::numLines()
{
    layout();
    return numLines_;
}

QPointF LayoutManager::cellAt(int index) const
{
    double x = endCell_.x();
    double line = endCell_.y();
    if (index < static_cast<int>(ops_.size()) && firstPiece_[static_cast<std::size_t>(index)] >= 0) {
        const Piece& p = pieces_[static_cast<std::size_t>(firstPiece_[static_cast<std::size_t>(index)])];
        x = p.x;
        line = p.line;
    }
    return {bounds_.x() + x, bounds_.y() + line * leading_};
}

void LayoutManager::drawInContext(QPainter& painter, std::optional<QRectF> visible)
{
    layout();
    painter.save();
    painter.setFont(activeFont());
    // The text's box is centred in its line.
    const double baseline = (leading_ - (ascent_ + descent_)) / 2 + ascent_;
    auto first = pieces_.begin(), last = pieces_.end();
    if (visible && leading_ > 0) {
        // A line's glyphs may reach a little past it: one line more each side.
        const int top = static_cast<int>(std::floor((visible->top() - bounds_.y()) / leading_)) - 1;
        const int bottom = static_cast<int>(std::ceil((visible->bottom() - bounds_.y()) / leading_));
        first = std::lower_bound(pieces_.begin(), pieces_.end(), top, [](const Piece& p, int l) { return p.line < l; });
        last = std::upper_bound(first, pieces_.end(), bottom, [](int l, const Piece& p) { return l < p.line; });
    }
    for (auto it = first; it != last; ++it) {
        const Piece& p = *it;
        const QString& text = textOf(p.op);
        const QPointF at(bounds_.x() + p.x, bounds_.y() + p.line * leading_ + baseline);
        if (p.from == 0 && p.to == text.size())
            painter.drawText(at, text);
        else
            painter.drawText(at, text.mid(p.from, p.to - p.from));
    }
    if (cursorChar_ != 0 && cursorPosition_ >= 0 && !overlay_) {
        const QPointF cell = cellAt(std::min(cursorPosition_, static_cast<int>(ops_.size())));
        const QColor color = painter.pen().color();
        if (insert_) {
            painter.fillRect(QRectF(cell.x(), cell.y() + leading_ - kUnderline, cellWidth_, kUnderline), color);
        } else {
            painter.fillRect(QRectF(cell.x(), cell.y(), cellWidth_, leading_), color);
            const QString mark = cursorMark(cursorChar_);
            if (!mark.isEmpty()) {
                painter.setPen(painter.background().color());
                painter.drawText(QPointF(cell.x(), cell.y() + baseline), mark);
            }
        }
    }
    painter.restore();
}

int LayoutManager::touchAt(const QPointF& point)
{
    layout();
    if (overlay_ || !bounds_.contains(point))
        return -1;
    const int line = static_cast<int>(std::floor((point.y() - bounds_.y()) / leading_));
    if (line < 0 || line >= numLines_)
        return -1;
    const double x = point.x() - bounds_.x();
    auto it = std::lower_bound(pieces_.begin(), pieces_.end(), line,
                               [](const Piece& p, int l) { return p.line < l; });
    for (; it != pieces_.end() && it->line == line; ++it)
        if (it->op >= 0 && x >= it->x && x < it->x + it->width)
            return it->op;
    if (line == static_cast<int>(endCell_.y()) && x >= endCell_.x() && x < endCell_.x() + cellWidth_)
        return static_cast<int>(ops_.size());
    return -1;
}

} // namespace orvenda
