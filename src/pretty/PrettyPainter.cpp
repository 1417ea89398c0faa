#include "pretty/PrettyPainter.h"

#include "pretty/GlyphNames.h"
#include "pretty/PrettyDrawInfo.h"
#include "pretty/TokenClass.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

using Item = PrettyLayout::Item;

constexpr double kUnderline = 2;

QString cursorMark(int glyph)
{
    switch (glyph) {
    case 225: return QStringLiteral("\u2191");
    case 226: return QStringLiteral("A");
    case 227: return QStringLiteral("a");
    default: return {};
    }
}

QPainterPath bracketPath(const QRectF& r, char glyph)
{
    QPainterPath path;
    const double l = r.left() + 0.25 * r.width(), m = r.left() + 0.5 * r.width(), e = r.left() + 0.8 * r.width();
    const double top = r.top() + 1, bottom = r.bottom() - 1;
    switch (glyph) {
    case '(':
        path.moveTo(e, top);
        path.cubicTo(l - 0.1 * r.width(), top + 0.25 * r.height(), l - 0.1 * r.width(), bottom - 0.25 * r.height(), e, bottom);
        break;
    case '[':
        path.moveTo(e, top);
        path.lineTo(l, top);
        path.lineTo(l, bottom);
        path.lineTo(e, bottom);
        break;
    case '{':
        path.moveTo(e, top);
        path.quadTo(m, top, m, top + 0.25 * r.height());
        path.quadTo(m, r.center().y(), l - 0.1 * r.width(), r.center().y());
        path.quadTo(m, r.center().y(), m, bottom - 0.25 * r.height());
        path.quadTo(m, bottom, e, bottom);
        break;
    default: {
        // The closers mirror the openers.
        const char opening = glyph == ')' ? '(' : glyph == ']' ? '[' : '{';
        QTransform mirror;
        mirror.translate(2 * r.center().x(), 0);
        mirror.scale(-1, 1);
        return mirror.map(bracketPath(r, opening));
    }
    }
    return path;
}

QPainterPath signPath(const QRectF& r, std::uint32_t token)
{
    QPainterPath path;
    if (token == TokenClass::kSum) {
        path.moveTo(r.right(), r.top() + 0.1 * r.height());
        path.lineTo(r.right(), r.top());
        path.lineTo(r.left(), r.top());
        path.lineTo(r.left() + 0.55 * r.width(), r.center().y());
        path.lineTo(r.left(), r.bottom());
        path.lineTo(r.right(), r.bottom());
        path.lineTo(r.right(), r.bottom() - 0.1 * r.height());
    } else {
        const double c = r.center().x();
        path.moveTo(r.right(), r.top() + 0.1 * r.height());
        path.cubicTo(r.right() - 0.1 * r.width(), r.top() - 0.02 * r.height(), c, r.top(), c, r.top() + 0.2 * r.height());
        path.lineTo(c, r.bottom() - 0.2 * r.height());
        path.cubicTo(c, r.bottom(), r.left() + 0.1 * r.width(), r.bottom() + 0.02 * r.height(), r.left(),
                     r.bottom() - 0.1 * r.height());
    }
    return path;
}

QPainterPath radicalPath(const QRectF& r, double rule)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top() + 0.62 * r.height());
    path.lineTo(r.left() + 0.25 * r.width(), r.top() + 0.55 * r.height());
    path.lineTo(r.left() + 0.55 * r.width(), r.bottom());
    path.lineTo(r.right(), r.top() + rule / 2);
    return path;
}

} // namespace

const QString& PrettyPainter::text(std::string_view s)
{
    auto it = texts_.find({s.data(), s.size()});
    if (it == texts_.end())
        it = texts_.emplace(PrettyMetrics::TextKey{s.data(), s.size()},
                            QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())))
                 .first;
    return it->second;
}

void PrettyPainter::draw(QPainter& painter, const PrettyLayout& layout, QPointF topLeft, const QRectF& clip,
                         const QColor& color, const Cursor& cursor)
{
    const QPointF origin(topLeft.x(), topLeft.y() + layout.height());
    const QRectF area = clip.translated(-origin);
    const PrettyDrawInfo& info = PrettyDrawInfo::PrettyDrawInfoSize(layout.size());
    const QFont* fonts[] = {&info.font(), &info.fractionFont().font, &info.superscriptFont().font,
                            &info.superscriptItalicFont().font};
    const double rule = layout.rule();
    const double stroke = std::max(1.0, layout.size() / 16);
    const auto& ops = layout.tree().ops();

    painter.save();
    painter.setClipRect(clip, Qt::IntersectClip);
    painter.translate(origin);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPen textPen(color);
    QPen linePen(color, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(textPen);
    painter.setBrush(Qt::NoBrush);
    int role = -1;
    auto useFont = [&](PrettyMetrics::Role r) {
        if (role != r) {
            painter.setFont(*fonts[r]);
            role = r;
        }
    };
    for (const Item& item : layout.items()) {
        if (!item.rect.intersects(area))
            continue;
        switch (item.kind) {
        case Item::Kind::Text:
            useFont(item.role);
            if (item.opEnd > item.op) {
                buffer_.resize(0);
                for (int p = item.op; p < item.opEnd; ++p)
                    buffer_ += text(GlyphNames::name(ops[static_cast<std::size_t>(p)]));
                painter.drawText(QPointF(item.rect.x(), item.baseline), buffer_);
            } else {
                painter.drawText(QPointF(item.rect.x(), item.baseline), text(item.text));
            }
            break;
        case Item::Kind::Rule:
            painter.fillRect(item.rect, color);
            break;
        case Item::Kind::Radical:
            linePen.setWidthF(rule);
            painter.strokePath(radicalPath(item.rect, rule), linePen);
            break;
        case Item::Kind::Bracket:
            if (item.token == 0) {
                useFont(item.role);
                painter.drawText(QPointF(item.rect.x(), item.baseline), text(item.text));
            } else {
                linePen.setWidthF(stroke);
                painter.strokePath(bracketPath(item.rect, item.text.front()), linePen);
            }
            break;
        case Item::Kind::BigSign:
            linePen.setWidthF(stroke);
            painter.strokePath(signPath(item.rect, item.token), linePen);
            break;
        case Item::Kind::Box:
            painter.setPen(QPen(color, 1, Qt::DotLine));
            painter.drawRect(item.rect.adjusted(0.5, 0.5, -0.5, -0.5));
            painter.setPen(textPen);
            break;
        }
    }
    if (cursor.glyph != 0 && cursor.index >= 0 && cursor.index != PrettyLayout::kNoCursor) {
        const int at = std::min(cursor.index, layout.opCount());
        const QRectF cell = layout.cursorRect(at);
        if (cursor.mode != 0) {
            painter.fillRect(QRectF(cell.x(), cell.bottom() - kUnderline, cell.width(), kUnderline), color);
        } else {
            painter.fillRect(cell, color);
            const QString mark = cursorMark(cursor.glyph);
            if (!mark.isEmpty()) {
                useFont(layout.stop(layout.stopAtOrAfter(at)).role);
                painter.setPen(painter.background().color());
                painter.drawText(cell, Qt::AlignCenter, mark);
            }
        }
    }
    painter.restore();
}

} // namespace orvenda
