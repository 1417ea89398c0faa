#include "app/HistoryView.h"

#include "app/EntryModel.h"
#include "app/HistoryModel.h"
#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "pretty/FontMap.h"
#include "pretty/PrettyFontMetrics.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

// Code points [from, from + count) of a text; count < 0 for the rest.
QString slice(const QList<uint>& text, qsizetype from, qsizetype count)
{
    if (from >= text.size())
        return {};
    const qsizetype n = count < 0 ? text.size() - from : std::min(count, text.size() - from);
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(text.constData() + from), n);
}

void replaceAll(std::string& text, std::string_view from, std::string_view to)
{
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
}

} // namespace

HistoryView::HistoryView(Calculator& calc, QWidget* parent)
    : DrawnView(parent), calc_(calc), fontSize_(calc.device == 1 ? 24 : 16), leading_(calc.device == 1 ? 22 : 15)
{
    setAccessibleDescription(QStringLiteral("result field"));
}

void HistoryView::setResultOffset(QPointF offset)
{
    if (offset == resultOffset_)
        return;
    resultOffset_ = offset;
    update();
}

void HistoryView::setMetricsForWidth(double width)
{
    Calculator::standardFontSize(fontSize_, leading_, {0, 0, width, 0});
}

HistoryModel* HistoryView::history() const { return dynamic_cast<HistoryModel*>(calc_.historyManager.get()); }

EntryModel* HistoryView::entry() const { return dynamic_cast<EntryModel*>(calc_.entryManager.get()); }

std::string HistoryView::spokenResult(const std::string& result)
{
    // The letters replaced have no case of their own, so the replacement is the same in
    // either case.
    std::string spoken = result;
    replaceAll(spoken, ".", " point ");
    replaceAll(spoken, "ᴱ", " e ");
    replaceAll(spoken, "-", " minus ");
    return spoken;
}

void HistoryView::updateLabel()
{
    const HistoryModel* model = history();
    setAccessibleName(QString::fromStdString(spokenResult(model ? model->lastResult() : std::string())));
}

void HistoryView::paintContent(QPainter& painter, const QRectF& r)
{
    const HistoryModel* model = history();
    if (!model)
        return;
    const QFont font = FontMap::shared().font("CourierNewPS-BoldMT", fontSize_);
    const QFontMetricsF metrics(font);
    const QColor resultColour = namedColor("fontColor");
    QColor inputColour = resultColour;
    inputColour.setAlphaF(0.4f);
    QColor markColour = resultColour;
    markColour.setAlphaF(0.2f);
    const QRectF b = bounds();
    const double cw = metrics.horizontalAdvance(QLatin1Char('0'));
    const int cols = cw > 0 ? static_cast<int>(b.width() / cw) : 0;
    const EntryModel* line = entry();
    const bool newestScrolls = !line || line->entryOps().empty();
    const double ascent = metrics.ascent();
    painter.setFont(font);

    const auto& items = model->history();
    double y = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const HistoryEntry& item = items[i];
        const double rowHeight = item.numLines * leading_;
        if (y + rowHeight < r.top()) {
            y += rowHeight;
            continue;
        }
        const bool scrollable = newestScrolls && i + 1 == items.size();
        const QPointF offset = scrollable ? resultOffset_ : QPointF();
        const int ox = static_cast<int>(offset.x());
        const int oy = static_cast<int>(offset.y());
        double lineTop = y - 1;

        if (!item.entry.empty()) {
            // In the lines the item's row is measured with, whatever the view's width: the
            // answer then ends its row and every row below stands where it is counted.
            const QList<uint> input = QString::fromStdString(calc_.stringFromOps(item.cleanEntry())).toUcs4();
            constexpr qsizetype width = HistoryEntry::kInputLineWidth;
            const qsizetype pieces = (input.size() + width - 1) / width;
            // Only the lines that meet the rectangle: a long input costs what shows of it.
            const auto lineAt = [&](double y) { return static_cast<qsizetype>(std::floor((y - lineTop) / leading_)); };
            const qsizetype first = std::clamp<qsizetype>(lineAt(r.top()) - 1, 0, pieces);
            const qsizetype last = std::clamp<qsizetype>(lineAt(r.bottom()) + 2, first, pieces);
            painter.setPen(inputColour);
            for (qsizetype k = first; k < last; ++k)
                painter.drawText(QPointF(4, lineTop + static_cast<double>(k) * leading_ + ascent), slice(input, k * width, width));
            lineTop += static_cast<double>(pieces) * leading_;
        }

        // The fraction bar of one-line answers is drawn as the fraction slash: no face the
        // display uses has the full-width solidus, and both take one column.
        const QStringList lines =
            QString::fromStdString(item.result84()).replace(QChar(0xFF0F), QChar(0x2044)).split(QLatin1Char('\n'));
        painter.setPen(resultColour);
        for (int k = oy; k < lines.size() && k < oy + kMaxLines; ++k) {
            const QString& text = lines[k];
            if (item.width > cols) {
                const QList<uint> chars = text.toUcs4();
                if (chars.size() > ox)
                    painter.drawText(QPointF(4, lineTop + ascent), slice(chars, ox, -1));
                if (scrollable && chars.size() > ox + kScrollColumns)
                    painter.fillRect(QRectF(b.width() - cw, lineTop, cw, leading_), markColour);
            } else if (item.startsAtLeft()) {
                // A program's values placed at the right end by the right edge, where
                // answers end; its other lines and a text start at the left.
                const bool right = item.resultType == HistoryEntry::kProgramScreen
                    && HistoryEntry::screenLineEndsRight(text.toStdU32String());
                const double x = right ? std::max(b.x() + 4, b.x() + b.width() - 4 - HistoryEntry::kScreenColumns * cw)
                                       : b.x() + 4;
                painter.drawText(QPointF(x, lineTop + ascent), text);
            } else {
                // Ends by its ink, so a mark reaching past its advance (ɩ̇'s dot) stays whole.
                const double w = PrettyFontMetrics::inkWidth(metrics, text);
                painter.drawText(QPointF(b.x() + b.width() - 4 - w, lineTop + ascent), text);
            }
            if (scrollable && ox > 0)
                painter.fillRect(QRectF(0, lineTop, cw, leading_), markColour);
            lineTop += leading_;
        }

        painter.setPen(QPen(QColor::fromRgbF(0.3f, 0.3f, 0.3f), 1));
        painter.drawLine(QPointF(r.x() + 1.5, y + 0.5), QPointF(r.x() + r.width() - 2, y + 0.5));
        y += rowHeight;
        if (y > r.bottom())
            break;
    }
}

void HistoryView::tap(QPointF point)
{
    HistoryModel* model = history();
    EntryModel* line = entry();
    if (!model || !line)
        return;
    const QRectF b = bounds();
    double y = 0;
    for (const HistoryEntry& item : model->history()) {
        const QRectF row(b.x(), y, b.width(), item.numLines * leading_);
        y += row.height();
        if (point.y() < row.top() || point.y() > row.bottom())
            continue;
        std::optional<HistoryEntry::Ops> ops;
        if (point.x() <= b.x() + b.width() / 2)
            ops = item.cleanEntry();
        else
            ops = item.resultOps();
        if (!ops)
            return;
        line->addOps(*ops, true, true);
        if (!calc_.locked()->mathPrint)
            line->cleanTemplateIds();
        return;
    }
}

} // namespace orvenda
