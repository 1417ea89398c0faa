#include "stats/StatEditView.h"

#include "app/KeyRouter.h"
#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "core/NumberFormatter.h"
#include "core/VQList.h"
#include "core/VQNumber.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr const char* kFont = "CourierNewPS-BoldMT";
constexpr int kShownCharacters = 8;

} // namespace

StatEditView::StatEditView(Calculator& calc, KeyRouter& keys, QWidget* parent)
    : DrawnView(parent), calc_(calc), keys_(keys)
{
    adjustSize(1);
}

void StatEditView::adjustSize(double scale)
{
    if (calc_.device != 1) {
        headerFontSize_ = fontSize_ = 16;
        leadAdjust_ = 2;
        leftEdgeWidth_ = 28;
        headerHeight_ = 20;
        colWidth_ = 96;
        rowHeight_ = 15;
        return;
    }
    headerFontSize_ = fontSize_ = 20 * scale;
    leadAdjust_ = 3 * scale;
    leftEdgeWidth_ = 42 * scale;
    headerHeight_ = 25 * scale;
    colWidth_ = 146 * scale;
    rowHeight_ = 23 * scale;
}

QSizeF StatEditView::size()
{
    const auto state = calc_.locked();
    int longest = 0;
    for (const std::string& name : state->statEditList) {
        if (name == kPlaceholder)
            continue;
        // A named column always has a list to edit.
        longest = std::max(longest, state->lists[name].count());
    }
    const auto columns = static_cast<double>(state->statEditList.size());
    return {(columns + 1) * colWidth_ + leftEdgeWidth_, (longest + 1) * rowHeight_ + headerHeight_};
}

QRectF StatEditView::rectForCursor() const
{
    return {colWidth_ * cursorCol, rowHeight_ * cursorRow, colWidth_ + leftEdgeWidth_, rowHeight_ + headerHeight_};
}

double StatEditView::inkWidth(const QFontMetricsF& metrics, const QString& text)
{
    // A glyph may reach past its advance (the imaginary unit's dot, a fallback font's
    // letter): right-aligned by the advance alone, its last stroke would lie under the
    // column's rule.
    return std::max(metrics.horizontalAdvance(text), metrics.tightBoundingRect(text).right());
}

QString StatEditView::cellText(const NumberFormatter& format, const VQNumber& number, bool complexList, int realCplxMode,
                               const QFontMetricsF& metrics, double width)
{
    width -= kInkMargin;
    QString text;
    if (!complexList) {
        text = QString::fromStdString(format.formatReal(number.r()));
    } else {
        const bool polar = realCplxMode == 2;
        text = QString::fromStdString(format.formatComplex(number.r(), number.i(), polar));
        if (inkWidth(metrics, text) > width) {
            NumberFormatter whole = format;
            whole.settings.numDigits = 0;
            text = QString::fromStdString(whole.formatComplex(number.r(), number.i(), polar));
        }
    }
    if (inkWidth(metrics, text) > width)
        text = text.left(kShownCharacters) + QStringLiteral("…");
    return text;
}

// ---- Drawing ----

void StatEditView::paintContent(QPainter& painter, const QRectF& rect)
{
    const QRectF b = bounds();
    const QRectF inner(b.left() + 2, b.top() + 2, b.width() - 4, b.height() - 2);
    // The rows under the header band clip to a plain rectangle (a rounded clip costs every
    // cell's drawing dearly); only the band, over the top corners, is rounded.
    painter.setClipRect(QRectF(inner.left(), b.top() + headerHeight_, inner.width(), inner.bottom() - b.top() - headerHeight_));

    NumberFormatter format = calc_.numberFormatter();
    format.settings.maxWidth = kCellWidth;
    const int cplxMode = format.settings.realCplxMode;
    {
        // One look at the columns for the whole draw; the lists share their elements.
        const auto state = calc_.locked();
        names_.assign(state->statEditList.begin(), state->statEditList.end());
        lists_.resize(names_.size());
        hasList_.assign(names_.size(), false);
        for (std::size_t k = 0; k < names_.size(); ++k) {
            const auto found = state->lists.find(names_[k]);
            if (names_[k] != kPlaceholder && found != state->lists.end()) {
                lists_[k] = found->second;
                hasList_[k] = true;
            } else {
                lists_[k] = VQList();
            }
        }
    }
    const int columns = static_cast<int>(names_.size());
    int longest = 0;
    for (int k = 0; k < columns; ++k)
        if (hasList_[static_cast<std::size_t>(k)])
            longest = std::max(longest, lists_[static_cast<std::size_t>(k)].count());

    const QFont font = FontMap::shared().font(kFont, fontSize_);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const QColor text = namedColor("fontColor");
    const QColor highlight = namedColor("yellowHilightColor");
    const QColor banner = namedColor("bannerColor");
    auto rowTop = [this](int row) { return headerHeight_ + row * rowHeight_; };
    const int firstRow = std::max(0, static_cast<int>(std::floor((rect.top() - headerHeight_) / rowHeight_)));

    // Every other row striped across the list columns.
    QColor stripe = namedColor("docBackgroundColor");
    stripe.setAlphaF(0.2);
    for (int row = firstRow - firstRow % 2; row < longest && rowTop(row) < rect.bottom(); row += 2)
        painter.fillRect(QRectF(leftEdgeWidth_, rowTop(row), colWidth_ * columns, rowHeight_), stripe);

    rowsDrawn_ = 0;
    for (int k = 0; k < columns; ++k) {
        const double left = leftEdgeWidth_ + k * colWidth_;
        if (left > rect.right() || left + colWidth_ < rect.left())
            continue;
        const VQList& list = lists_[static_cast<std::size_t>(k)];
        const int count = hasList_[static_cast<std::size_t>(k)] ? list.count() : -1;
        const bool complexList = list.type() != 0;
        for (int row = firstRow; row <= count && rowTop(row) < rect.bottom(); ++row) {
            ++rowsDrawn_;
            const QRectF cell(left, rowTop(row), colWidth_, rowHeight_);
            if (row == cursorRow && k == cursorCol)
                painter.fillRect(cell, highlight);
            const VQNumber* number = list.numberAtIndex(row);
            if (!number)
                continue;
            const QString shown = cellText(format, *number, complexList, cplxMode, metrics, colWidth_);
            painter.setPen(text);
            painter.drawText(QPointF(cell.right() - kInkMargin - inkWidth(metrics, shown), cell.top() - leadAdjust_ + metrics.ascent()),
                             shown);
        }
    }

    // The grid.
    painter.setPen(QPen(Qt::white, 1));
    const double gridBottom = headerHeight_ + longest * rowHeight_ + 0.5;
    for (int k = 0; k <= columns; ++k) {
        const double x = leftEdgeWidth_ + 0.5 + k * colWidth_;
        painter.drawLine(QPointF(x, headerHeight_), QPointF(x, gridBottom));
    }
    painter.drawLine(QPointF(0, gridBottom), QPointF(leftEdgeWidth_ + 0.5 + columns * colWidth_, gridBottom));

    // The row numbers, pinned at the visible left.
    painter.fillRect(QRectF(b.left(), b.top(), leftEdgeWidth_, b.height()), banner);
    const QFont numberFont = FontMap::shared().font(kFont, fontSize_ - 1);
    painter.setFont(numberFont);
    const QFontMetricsF numberMetrics(numberFont);
    painter.setPen(Qt::white);
    for (int row = firstRow; row < longest && rowTop(row) < rect.bottom(); ++row) {
        const QString number = QString::number(row + 1);
        painter.drawText(QPointF(b.left() + leftEdgeWidth_ - numberMetrics.horizontalAdvance(number),
                                 rowTop(row) - leadAdjust_ + numberMetrics.ascent()),
                         number);
    }

    painter.drawLine(QPointF(b.left() + leftEdgeWidth_ + 0.5, rect.top()), QPointF(b.left() + leftEdgeWidth_ + 0.5, rect.bottom()));

    QPainterPath rounded;
    rounded.addRoundedRect(inner.adjusted(0, 0, 0, 3), 3, 3);
    QPainterPath band;
    band.addRect(QRectF(inner.left(), inner.top(), inner.width(), headerHeight_ - 2));
    painter.setClipPath(rounded.intersected(band));
    // The header band, pinned at the visible top.
    painter.fillRect(QRectF(b.left(), b.top(), b.width(), headerHeight_), banner);
    const QFont headerFont = FontMap::shared().font(kFont, headerFontSize_);
    painter.setFont(headerFont);
    const QFontMetricsF headerMetrics(headerFont);
    for (int k = 0; k <= columns; ++k) {
        const double left = leftEdgeWidth_ + k * colWidth_;
        const bool selected = cursorRow < 0 && cursorCol == k;
        if (selected)
            painter.fillRect(QRectF(left, b.top(), colWidth_, headerHeight_), highlight);
        if (k < columns && names_[static_cast<std::size_t>(k)] != kPlaceholder) {
            painter.setPen(selected ? QColor(Qt::black) : QColor(Qt::white));
            // A column scrolled partly under the row-number band shows its name from the
            // band's edge, cut at its own right edge.
            const double shownLeft = std::max(left, b.left() + leftEdgeWidth_);
            if (shownLeft < left + colWidth_) {
                painter.save();
                painter.setClipRect(QRectF(shownLeft, b.top(), left + colWidth_ - shownLeft, headerHeight_), Qt::IntersectClip);
                // Centred in the band: the font's own leading would put the name against its top.
                painter.drawText(QPointF(shownLeft + 2, b.top() + (headerHeight_ + headerMetrics.ascent() - headerMetrics.descent()) / 2),
                                 QString::fromStdString(names_[static_cast<std::size_t>(k)]));
                painter.restore();
            }
        }
        painter.setPen(Qt::white);
        painter.drawLine(QPointF(left + 0.5, b.top()), QPointF(left + 0.5, b.top() + headerHeight_));
    }

    // The corner and the lines under the header.
    painter.fillRect(QRectF(b.left(), b.top(), leftEdgeWidth_, headerHeight_), banner);
    painter.setPen(Qt::white);
    painter.drawLine(QPointF(b.left() + leftEdgeWidth_ + 0.5, b.top()), QPointF(b.left() + leftEdgeWidth_ + 0.5, b.top() + headerHeight_));
    painter.setClipRect(inner);
    painter.setPen(QColor::fromRgbF(0.8, 0.8, 0.8));
    painter.drawLine(QPointF(rect.left(), b.top() + headerHeight_ - 1.5), QPointF(rect.right(), b.top() + headerHeight_ - 1.5));
    painter.setPen(QColor::fromRgbF(0.5, 0.5, 0.5));
    painter.drawLine(QPointF(rect.left(), b.top() + headerHeight_ - 0.5), QPointF(rect.right(), b.top() + headerHeight_ - 0.5));
}

// ---- Taps ----

void StatEditView::tap(QPointF p)
{
    keys_.doKeyClick();
    // The header band is pinned: a tap on it is the header row wherever the grid scrolled.
    const int row = p.y() < bounds().top() + headerHeight_ ? -1 : static_cast<int>(std::trunc((p.y() - headerHeight_) / rowHeight_));
    const int col = std::max(0, static_cast<int>(std::trunc((p.x() - leftEdgeWidth_) / colWidth_)));
    if (delegate_)
        delegate_->selectRow(row, col);
}

} // namespace orvenda
