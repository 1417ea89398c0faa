#include "input/MenuRowDelegate.h"

#include "pretty/FontMap.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace orvenda {

void MenuRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const FontMap& fonts = FontMap::shared();
    painter->save();
    const QRect r = option.rect;
    if (index.data(RowRole).toInt() < 0) {
        painter->fillRect(r, option.palette.alternateBase());
        painter->setFont(fonts.font("Helvetica-Bold", 14));
        painter->setPen(option.palette.text().color());
        painter->drawText(r.adjusted(8, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, index.data().toString());
        painter->restore();
        return;
    }
    const QVariant fill = index.data(FillRole);
    if (fill.isValid())
        painter->fillRect(r, fill.value<QColor>());
    if (option.state & QStyle::State_Selected)
        painter->fillRect(r, QColor(128, 128, 128, 90));
    const bool struck = index.data(StruckRole).toBool();
    const QVariant ink = index.data(InkRole);
    painter->setPen(struck ? QColor(Qt::red) : ink.isValid() ? ink.value<QColor>() : option.palette.text().color());
    const QString key = index.data(KeyRole).toString();
    if (!key.isEmpty()) {
        painter->save();
        painter->setPen(Qt::gray);
        painter->setFont(fonts.font("Helvetica-Bold", 16));
        painter->drawText(QRect(r.left() + 2, r.top(), 18, r.height()), Qt::AlignCenter, key);
        painter->restore();
    }
    const QString detail = index.data(DetailRole).toString();
    const int left = r.left() + 26;
    const QRect text(left, r.top(), r.right() - left - kDetailButtonWidth, r.height());
    if (detail.isEmpty()) {
        painter->setFont(fonts.font("CourierNewPS-BoldMT", tablet_ ? 30 : 21));
        drawTitle(*painter, text, false, index.data().toString());
    } else {
        QFont title = fonts.font("CourierNewPS-BoldMT", tablet_ ? 22 : 16);
        title.setStrikeOut(struck);
        painter->setFont(title);
        drawTitle(*painter, text.adjusted(0, 2, 0, -text.height() / 2), true, index.data().toString());
        painter->setFont(fonts.font("Helvetica-Oblique", tablet_ ? 16 : 12));
        // A description longer than the room before the mark ends in an ellipsis.
        const QString shown = QFontMetrics(painter->font()).elidedText(detail, Qt::ElideRight, text.width());
        painter->drawText(text.adjusted(0, text.height() / 2, 0, 0), Qt::AlignTop | Qt::AlignLeft, shown);
        // The detail mark opens the help page.
        const QRect mark(r.right() - 28, r.center().y() - 9, 18, 18);
        painter->drawEllipse(mark);
        painter->drawText(mark, Qt::AlignCenter, QStringLiteral("i"));
    }
    painter->restore();
}

void MenuRowDelegate::drawTitle(QPainter& painter, const QRect& area, bool bottom, const QString& title)
{
    const auto subscript = [](QChar c) { return c.unicode() >= 0x2080 && c.unicode() <= 0x2089; };
    if (std::none_of(title.begin(), title.end(), subscript)) {
        painter.drawText(area, (bottom ? Qt::AlignBottom : Qt::AlignVCenter) | Qt::AlignLeft, title);
        return;
    }
    const QFont fixed = painter.font();
    QFont proportional = FontMap::shared().font("Helvetica-Bold", fixed.pixelSize() > 0 ? fixed.pixelSize() : fixed.pointSizeF());
    proportional.setStrikeOut(fixed.strikeOut());
    const QFontMetricsF metrics(fixed);
    const double baseline = bottom ? area.bottom() + 1 - metrics.descent()
                                   : area.center().y() + (metrics.ascent() - metrics.descent()) / 2;
    double x = area.left();
    for (qsizetype i = 0; i < title.size();) {
        const bool low = subscript(title.at(i));
        qsizetype end = i;
        while (end < title.size() && subscript(title.at(end)) == low)
            ++end;
        const QString run = title.mid(i, end - i);
        painter.setFont(low ? proportional : fixed);
        painter.drawText(QPointF(x, baseline), run);
        const QFontMetricsF runMetrics(painter.font());
        // Subscripts follow the letter's ink, not the end of its fixed-pitch cell.
        const bool subscriptNext = end < title.size() && !low;
        x += subscriptNext ? runMetrics.tightBoundingRect(run).right() + 1 : runMetrics.horizontalAdvance(run);
        i = end;
    }
    painter.setFont(fixed);
}

QSize MenuRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    return {100, index.data(RowRole).toInt() < 0 ? kHeaderHeight : tablet_ ? 52 : 44};
}

} // namespace orvenda
