#include "app/HelpPromptView.h"

#include "app/EntryModel.h"
#include "core/Calculator.h"
#include "pretty/FontMap.h"
#include "pretty/TokenClass.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace orvenda {

namespace {

using TC = TokenClass;

constexpr double kRadius = 6;
constexpr double kArrow = 4;
constexpr double kMathPrintTextSize = 14;

bool opener(const Calculator& calc, std::uint32_t t)
{
    return calc.hasLeftParen(t) || t == TC::kOpenBracket || t == TC::kOpenBrace;
}

bool closer(std::uint32_t t) { return t == TC::kCloseParen || t == TC::kCloseBracket || t == TC::kCloseBrace; }

// The box with its arrow notch in the bottom edge (above) or the top edge (below).
QPainterPath outline(const HelpPromptView::Bubble& b)
{
    const QRectF r = b.box;
    const double a = b.arrowX;
    QPainterPath path;
    path.moveTo(r.left() + kRadius, r.top());
    if (!b.above) {
        path.lineTo(a - kArrow, r.top());
        path.lineTo(a, r.top() - 2 * kArrow);
        path.lineTo(a + kArrow, r.top());
    }
    path.arcTo(QRectF(r.right() - 2 * kRadius, r.top(), 2 * kRadius, 2 * kRadius), 90, -90);
    path.arcTo(QRectF(r.right() - 2 * kRadius, r.bottom() - 2 * kRadius, 2 * kRadius, 2 * kRadius), 0, -90);
    if (b.above) {
        path.lineTo(a + kArrow, r.bottom());
        path.lineTo(a, r.bottom() + 2 * kArrow);
        path.lineTo(a - kArrow, r.bottom());
    }
    path.arcTo(QRectF(r.left(), r.bottom() - 2 * kRadius, 2 * kRadius, 2 * kRadius), 270, -90);
    path.arcTo(QRectF(r.left(), r.top(), 2 * kRadius, 2 * kRadius), 180, -90);
    path.closeSubpath();
    return path;
}

} // namespace

HelpPromptView::HelpPromptView(Calculator& calc, QWidget* parent)
    : QWidget(parent), calc_(calc), fontSize_(calc.device == 1 ? 24 : 16), leading_(calc.device == 1 ? 25 : 17)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void HelpPromptView::setEntryTop(double top)
{
    entryTop_ = top;
    update();
}

void HelpPromptView::setOriginOffset(QPointF offset)
{
    originOffset_ = offset;
    update();
}

void HelpPromptView::setMetricsForWidth(double width)
{
    Calculator::standardFontSize(fontSize_, leading_, {0, 0, width, 0});
}

int HelpPromptView::contextEnd(const Calculator& calc, const PrettyPrint::Ops& ops, int start)
{
    int depth = 0;
    for (int i = start; i < static_cast<int>(ops.size()); ++i) {
        const std::uint32_t t = ops[static_cast<std::size_t>(i)] & 0xFFFF;
        if (opener(calc, t))
            ++depth;
        else if (closer(t) && --depth == 0)
            return i;
    }
    return static_cast<int>(ops.size());
}

std::optional<HelpPromptView::Bubble> HelpPromptView::bubble()
{
    const auto* entry = dynamic_cast<const EntryModel*>(calc_.entryManager.get());
    if (!entry)
        return std::nullopt;
    const PrettyPrint::Ops& ops = entry->entryOps();
    const int c = entry->entryCursor();
    const int start = entry->parenContextStartForLocation(c);
    // Without a bracket around the cursor the context is empty.
    if (start < 0 || start >= static_cast<int>(ops.size()) || !opener(calc_, ops[static_cast<std::size_t>(start)] & 0xFFFF))
        return std::nullopt;
    const int length = contextEnd(calc_, ops, start) - start;
    if (length == 0 || c < start || c > start + length)
        return std::nullopt;
    const std::uint32_t op = ops[static_cast<std::size_t>(start)] & 0xFFFF;
    if (op == TC::kOpenBracket || op == TC::kOpenBrace || op == TC::kOpenParen)
        return std::nullopt;
    const QString text = QString::fromStdString(calc_.descriptionForOpcode(op));
    if (text.isEmpty())
        return std::nullopt;
    return calc_.locked()->mathPrint ? mathPrintBubble(ops, start, text) : classicBubble(ops, start, text);
}

std::optional<HelpPromptView::Bubble> HelpPromptView::mathPrintBubble(const PrettyPrint::Ops& ops, int start,
                                                                       const QString& text)
{
    const auto* entry = dynamic_cast<const EntryModel*>(calc_.entryManager.get());
    prettyPrint_.setMutableOps(ops, entry->entryCursor(), calc_.insert, calc_.baseFontSize);
    QRectF f = prettyPrint_.offsetHitRectForIndex(start).translated(-originOffset_);
    f.translate(0, entryTop_);
    const QFontMetricsF metrics(FontMap::shared().font("Helvetica-Oblique", kMathPrintTextSize));
    const QSizeF size(metrics.horizontalAdvance(text) + 8, metrics.height() + 4);
    Bubble b;
    b.text = text;
    b.arrowX = std::min(f.x() + f.width() / 2, f.x() + f.width() - 4);
    double left = std::max(f.x() - 4, 1.0);
    const double right = rect().x() + rect().width();
    if (left + size.width() > right)
        left = right - size.width();
    double top = f.y() - size.height() - 6;
    b.above = top > 0;
    if (!b.above)
        top = f.y() + f.height() + 6;
    b.box = QRectF(QPointF(left, top), size);
    return b;
}

std::optional<HelpPromptView::Bubble> HelpPromptView::classicBubble(const PrettyPrint::Ops& ops, int start,
                                                                    const QString& text) const
{
    const QFontMetricsF names(FontMap::shared().font("CourierNewPS-BoldMT", fontSize_));
    double x = 4;
    double dy = 0;
    double a = x;
    for (int i = 0; i <= start; ++i) {
        const double w = names.horizontalAdvance(QString::fromStdString(calc_.nameForOpcode(ops[static_cast<std::size_t>(i)])));
        if (x + w > width()) {
            dy += leading_;
            x = 4;
        }
        if (i == start)
            a = x + w / 2;
        else
            x += w;
    }
    const QFontMetricsF metrics(FontMap::shared().font("Helvetica-Oblique", fontSize_ - 2));
    const QSizeF size(metrics.horizontalAdvance(text) + 8, metrics.height() + 4);
    Bubble b;
    b.text = text;
    b.arrowX = a;
    double left = a - size.width() / 2;
    if (left <= 0)
        left = 1;
    const double right = rect().x() + rect().width();
    if (left + size.width() >= right)
        left = right - size.width() - 1;
    double top = rect().y() + entryTop_ + dy - size.height() - 4.5;
    b.above = top >= 0;
    if (!b.above)
        top = entryTop_ + dy + 2 * leading_ - 4.5;
    b.box = QRectF(QPointF(left, top), size);
    return b;
}

void HelpPromptView::paintEvent(QPaintEvent*)
{
    const std::optional<Bubble> b = bubble();
    if (!b)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = outline(*b);
    painter.fillPath(path, QColor::fromRgbF(0.8f, 0.8f, 0.8f, 0.8f));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawPath(path);
    const bool classic = !calc_.locked()->mathPrint;
    const QFont font = FontMap::shared().font("Helvetica-Oblique", classic ? fontSize_ - 2 : kMathPrintTextSize);
    painter.setFont(font);
    const QPointF at(b->box.left() + 4, b->box.top() + (classic ? 1 : 2));
    painter.drawText(QPointF(at.x(), at.y() + QFontMetricsF(font).ascent()), b->text);
}

} // namespace orvenda
