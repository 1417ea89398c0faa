#include "app/PrettyHistoryView.h"

#include "app/HistoryModel.h"
#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "pretty/PrettyFontMetrics.h"
#include "pretty/FontMap.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

// Wider than any row: a row test never depends on the horizontal scroll.
constexpr double kUnbounded = 100000000000.0;
// The kind of a result record whose text lines all but the last start at the left.
constexpr int kLeftLinesOperand = 45;

bool meets(const QRectF& a, const QRectF& b)
{
    return a.left() < b.right() && b.left() < a.right() && a.top() < b.bottom() && b.top() < a.bottom();
}

} // namespace

PrettyHistoryView::PrettyHistoryView(Calculator& calc, QWidget* parent)
    : DrawnView(parent), calc_(calc)
{
}

HistoryModel* PrettyHistoryView::history() const { return dynamic_cast<HistoryModel*>(calc_.historyManager.get()); }

PrettyHistoryView::Hit PrettyHistoryView::hitEntryAt(QPointF point) const
{
    Hit hit;
    const HistoryModel* model = history();
    if (!model)
        return hit;
    const double bottom = bounds().bottom();
    double y = 0;
    const auto& items = model->history();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const HistoryEntry& item = items[i];
        if (y <= point.y() && point.y() <= y + item.inputHeight())
            return {static_cast<int>(i), HistoryModel::kInput, QRectF(0, y, item.prettySize.width, item.inputHeight())};
        y += item.inputHeight();
        if (y <= point.y() && point.y() <= y + item.answerHeight())
            return {static_cast<int>(i), HistoryModel::kAnswer, QRectF(0, y, item.pAnswerSize.width, item.answerHeight())};
        y += item.answerHeight();
        if (y > bottom)
            break;
    }
    return hit;
}

QRectF PrettyHistoryView::boundsForEntryNum(int n, int kind) const
{
    const HistoryModel* model = history();
    if (!model || model->history().empty())
        return {};
    const auto& items = model->history();
    const int count = static_cast<int>(items.size());
    if (n < 0 || n >= count) {
        n = count - 1;
        kind = HistoryModel::kAnswer;
    }
    double y = 0;
    for (int i = 0; i < n; ++i)
        y += items[static_cast<std::size_t>(i)].inputHeight() + items[static_cast<std::size_t>(i)].answerHeight();
    const HistoryEntry& item = items[static_cast<std::size_t>(n)];
    if (kind == HistoryModel::kAnswer)
        return {0, y + item.inputHeight(), item.pAnswerSize.width, item.answerHeight()};
    return {0, y, item.prettySize.width, item.inputHeight()};
}

QRectF PrettyHistoryView::selectedItemBounds() const
{
    const HistoryModel* model = history();
    return model ? boundsForEntryNum(model->selectedEntry(), model->selectedKind()) : QRectF();
}

void PrettyHistoryView::drawArrows(QPainter& painter, double y, double h, bool left) const
{
    const QRectF b = bounds();
    const double s = std::min(h, 24.0);
    const double m = y + (h - s) / 2;
    const double r = b.x() + b.width();
    const QColor green = QColor::fromRgbF(0, 1, 0, 0.4f);
    QPainterPath right;
    right.moveTo(r - s, m);
    right.lineTo(r, m + s / 2);
    right.lineTo(r - s, m + s);
    right.closeSubpath();
    painter.fillPath(right, green);
    if (!left)
        return;
    QPainterPath back;
    back.moveTo(b.x() + s, m);
    back.lineTo(b.x(), m + s / 2);
    back.lineTo(b.x() + s, m + s);
    back.closeSubpath();
    painter.fillPath(back, green);
}

void PrettyHistoryView::drawTextAnswer(QPainter& painter, const HistoryEntry& item, double y) const
{
    const QRectF b = bounds();
    const QFont base = painter.font();
    const bool screen = item.resultType == HistoryEntry::kProgramScreen;
    if (screen)
        painter.setFont(screenFont(base, b.width()));
    const QFontMetricsF metrics(painter.font());
    // Every line stands on the baseline the history's font gives its row: a screen drawn
    // smaller to fit keeps its lines' places instead of hanging them under the input.
    const double ascent = QFontMetricsF(base).ascent();
    const QStringList lines = QString::fromStdString(item.result).split(QLatin1Char('\n'));
    // A screen's values placed at the right keep their columns with the last at the
    // display's right edge, where answers end; its other lines start at the left, as the
    // output screen had them (a wide display leaves room between).
    const double screenX = b.x() + std::max(0.0, b.width() - HistoryEntry::kScreenColumns * metrics.horizontalAdvance(QLatin1Char('0')));
    for (qsizetype k = 0; k < lines.size(); ++k) {
        const double top = y + static_cast<double>(k) * calc_.baseFontSize;
        double x = !screen ? 0 : HistoryEntry::screenLineEndsRight(lines[k].toStdU32String()) ? screenX : b.x();
        if (!item.startsAtLeft()) {
            const bool leftLine = item.operandType == kLeftLinesOperand && k + 1 < lines.size();
            // Ends by its ink, so a mark reaching past its advance (ɩ̇'s dot) stays whole.
            const double w = PrettyFontMetrics::inkWidth(metrics, lines[k]);
            x = leftLine ? b.x() : b.x() + b.width() - w;
        }
        painter.drawText(QPointF(x, top + ascent), lines[k]);
    }
    painter.setFont(base);
}

QFont PrettyHistoryView::screenFont(const QFont& base, double width)
{
    const double wide = HistoryEntry::kScreenColumns * QFontMetricsF(base).horizontalAdvance(QLatin1Char('0'));
    if (wide <= width || wide <= 0)
        return base;
    QFont fitted = base;
    const int pixels = base.pixelSize() > 0 ? base.pixelSize() : QFontInfo(base).pixelSize();
    int size = std::max(1, static_cast<int>(std::floor(pixels * width / wide)));
    // Advances are whole pixels at some sizes: step down until the columns fit.
    for (fitted.setPixelSize(size); size > 1; fitted.setPixelSize(--size))
        if (HistoryEntry::kScreenColumns * QFontMetricsF(fitted).horizontalAdvance(QLatin1Char('0')) <= width)
            break;
    return fitted;
}

void PrettyHistoryView::paintContent(QPainter& painter, const QRectF& r)
{
    const HistoryModel* model = history();
    if (!model)
        return;
    const QRectF b = bounds();
    const double size = calc_.baseFontSize;
    const QColor text = namedColor("fontColor");
    QColor faint = text;
    faint.setAlphaF(0.1f);
    painter.setFont(FontMap::shared().font("CourierNewPS-BoldMT", size));
    painter.setPen(text);
    const int selected = model->selectedEntry();
    const int selectedKind = model->selectedKind();
    const auto& items = model->history();
    double y = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const HistoryEntry& item = items[i];
        const double h = item.inputHeight();
        const double a = item.answerHeight();
        if (y > r.bottom())
            break;
        if (y + h + a < r.top()) {
            y += h + a;
            continue;
        }
        const bool isSelected = static_cast<int>(i) == selected;
        if (isSelected) {
            const QRectF band = selectedKind == HistoryModel::kInput ? QRectF(b.x(), y, b.width(), h)
                                                                     : QRectF(b.x(), y + h, b.width(), a);
            painter.fillRect(band, QColor::fromRgbF(1, 1, 1, 0.5f));
        }

        const bool inputSelected = isSelected && selectedKind == HistoryModel::kInput;
        const bool wideInput = inputSelected && item.prettySize.width > b.width();
        const double inputX = wideInput ? 0 : b.x();
        const QRectF inputTest = wideInput ? QRectF(0, y, item.prettySize.width, h) : QRectF(inputX, y, kUnbounded, h);
        if (meets(inputTest, r)) {
            if (!inputSelected)
                painter.fillRect(QRectF(b.x(), y, b.width(), h), faint);
            const QRectF laid = prettyPrint_.setOps(PrettyPrint::beautifyOps(item.entry), PrettyPrint::kNoCursor, 0, size);
            if (laid.width() > b.width())
                drawArrows(painter, y, h, inputSelected && b.x() != 0);
            prettyPrint_.drawAt(painter, QPointF(inputX, y), r, text);
        }
        y += h;

        const bool answerSelected = isSelected && selectedKind == HistoryModel::kAnswer;
        const double rowX = answerSelected && item.pAnswerSize.width > b.width() ? 0 : b.x();
        if (meets(QRectF(rowX, y, kUnbounded, a), r)) {
            if (item.answerOps) {
                const QRectF laid = prettyPrint_.setOps(*item.answerOps, PrettyPrint::kNoCursor, 0, size);
                if (laid.width() > b.width())
                    drawArrows(painter, y, a, answerSelected && b.x() != 0);
                const double x = std::max(0.0, b.width() - laid.width()) + (answerSelected ? 0 : b.x());
                prettyPrint_.drawAt(painter, QPointF(x, y), r, text);
            } else {
                drawTextAnswer(painter, item, y);
            }
        }
        y += a;
    }
}

} // namespace orvenda
