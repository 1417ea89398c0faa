#include "apps/PrettyFields.h"

#include "app/NamedColors.h"
#include "apps/MarkUpText.h"
#include "pretty/FontMap.h"
#include "pretty/PrettyDrawInfo.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr const char* kMarkUpFamily = "CourierNewPS-BoldMT";
// The text lines' raised and lowered parts reach this far past the font, by the size.
constexpr double kDrop = 0.3;

// Mark-up is written at a whole number of points.
double markUpSize(double size) { return std::max(1.0, std::floor(size)); }

} // namespace

void PrettyFields::load(int i)
{
    const Field& field = fields_[static_cast<std::size_t>(i)];
    if (i == cursor_.line)
        printer_.setMutableOps(field.ops, cursor_.at, cursor_.mode, size_);
    else
        printer_.setOps(field.ops, PrettyPrint::kNoCursor, 0, size_);
}

void PrettyFields::layout(std::vector<Field> fields, const Cursor& cursor, double size)
{
    fields_ = std::move(fields);
    cursor_ = cursor;
    size_ = size;
    const PrettyDrawInfo& info = PrettyDrawInfo::PrettyDrawInfoSize(size);
    const QFontMetricsF plain(info.font());
    const QFontMetricsF courier(FontMap::shared().font(kMarkUpFamily, markUpSize(size)));
    lines_.assign(fields_.size(), Line{});
    double top = 0;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const Field& field = fields_[i];
        Line& line = lines_[i];
        line.top = top;
        const double labelWidth = field.markUp || field.textOnly
            ? MarkUpText::width(MarkUpText::parse(field.label), kMarkUpFamily, markUpSize(size))
            : plain.horizontalAdvance(field.label);
        if (field.textOnly) {
            line.baseline = courier.ascent();
            line.height = courier.ascent() + courier.descent() + kDrop * size;
            line.valueX = field.indent;
            line.valueWidth = labelWidth;
        } else {
            load(static_cast<int>(i));
            if (static_cast<int>(i) == cursor_.line && cursor_.mode == 0 && cursor_.at >= 0
                && cursor_.at < static_cast<int>(field.ops.size()) && !printer_.canOverwriteAt(cursor_.at))
                cursor_.mode = 1; // a template's own op is never written over: the cursor shows insert
            const QRectF laid = printer_.printRect();
            // A short formula (or none) still takes the label's room.
            const double above = std::max(printer_.height(), info.ascent());
            const double below = std::max(printer_.depth(), -info.descent());
            line.baseline = above;
            line.height = above + below;
            line.valueX = field.indent + labelWidth + field.gap;
            line.valueWidth = laid.width();
        }
        top += line.height;
    }
}

std::vector<double> PrettyFields::heights() const
{
    std::vector<double> h;
    h.reserve(lines_.size());
    for (const Line& line : lines_)
        h.push_back(line.height);
    return h;
}

void PrettyFields::draw(QPainter& painter, int i, QPointF topLeft, const QRectF& clip)
{
    if (i < 0 || i >= static_cast<int>(lines_.size()))
        return;
    const Field& field = fields_[static_cast<std::size_t>(i)];
    const Line& line = lines_[static_cast<std::size_t>(i)];
    const QColor ink = namedColor("fontColor");
    const double baseline = topLeft.y() + line.baseline;
    painter.save();
    if (i == cursor_.line)
        painter.fillRect(QRectF(topLeft.x() + line.valueX - 2, topLeft.y(), std::max(10.0, line.valueWidth) + 4, line.height),
                         namedColor("yellowHilightColor"));
    painter.setPen(ink);
    if (field.textOnly || field.markUp) {
        MarkUpText::draw(painter, MarkUpText::parse(field.label), topLeft.x() + field.indent, baseline, kMarkUpFamily, markUpSize(size_));
    } else {
        painter.setFont(PrettyDrawInfo::PrettyDrawInfoSize(size_).font());
        painter.drawText(QPointF(topLeft.x() + field.indent, baseline), field.label);
    }
    if (!field.textOnly) {
        load(i);
        const QPointF at(topLeft.x() + line.valueX, baseline - printer_.height());
        if (i == cursor_.line)
            printer_.drawAt(painter, at, cursor_.at, cursor_.mode, cursor_.glyph, clip);
        else
            printer_.drawAt(painter, at, clip, ink);
    }
    painter.restore();
}

int PrettyFields::tap(int i, QPointF point)
{
    if (i < 0 || i >= static_cast<int>(lines_.size()) || fields_[static_cast<std::size_t>(i)].textOnly)
        return -1;
    const Line& line = lines_[static_cast<std::size_t>(i)];
    if (point.x() < line.valueX - 2)
        return -1;
    load(i);
    return printer_.tapAtPoint(point - QPointF(line.valueX, line.baseline));
}

QRectF PrettyFields::cursorHit()
{
    const int i = cursor_.line;
    if (i < 0 || i >= static_cast<int>(lines_.size()) || fields_[static_cast<std::size_t>(i)].textOnly)
        return {};
    const Line& line = lines_[static_cast<std::size_t>(i)];
    load(i);
    return printer_.offsetHitRectForIndex(cursor_.at).translated(line.valueX, line.baseline - printer_.height());
}

} // namespace orvenda
