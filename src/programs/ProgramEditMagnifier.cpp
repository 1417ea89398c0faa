#include "programs/ProgramEditMagnifier.h"

#include "core/Calculator.h"
#include "eval/ProgramTokens.h"
#include "pretty/FontMap.h"
#include "programs/ProgramModel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace orvenda {

namespace {

constexpr double kStripHeight = ProgramEditMagnifier::kFontSize;
// The strip's centre stands this far above the pressed line's top.
constexpr double kLift = 20;

} // namespace

ProgramEditMagnifier::ProgramEditMagnifier(Calculator& calc, const ProgramModel& model, QWidget* parent)
    : QWidget(parent), calc_(calc), model_(model)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void ProgramEditMagnifier::magnifyAt(QPointF point)
{
    focus_ = point;
    update();
}

void ProgramEditMagnifier::paintEvent(QPaintEvent*)
{
    strip_ = {};
    const ProgramModel::Range selection = model_.prgmSelection();
    if (selection.length <= 0 || width() <= 0 || height() <= 0)
        return;
    int index = 0, lineStart = 0;
    const ProgramModel::Ops ops = model_.getSelectAt(index, lineStart);
    if (ops.empty())
        return;
    // The end of the selection moving: the text up to and with it ends at the point.
    const bool endMoves = selection.length > 1 && index == selection.location + selection.length - 1;
    const int before = index - lineStart + (endMoves ? 1 : 0);

    const QFont font = FontMap::shared().font("CourierNewPS-BoldMT", kFontSize);
    const QFontMetricsF metrics(font);
    const double cell = metrics.horizontalAdvance(QLatin1Char('H'));
    double top = focus_.y() - kLift - kStripHeight / 2;
    if (top < 0)
        top = focus_.y() + kLift + kStripHeight / 2;
    strip_ = QRectF(0, top, width(), kStripHeight);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath frame;
    frame.addRoundedRect(strip_.adjusted(1, -3, -1, 3), 8, 8);
    painter.fillPath(frame, QColor(235, 240, 225));
    painter.strokePath(frame, QPen(QColor(51, 51, 51), 2));
    painter.setClipPath(frame);

    // The names, line breaks left out, and where the moving end's text ends.
    double textWidth = 0;
    for (int k = 0; k < std::min(before, static_cast<int>(ops.size())); ++k)
        if (ProgramTokens::token(ops[static_cast<std::size_t>(k)]) != ProgramTokens::kNewLine)
            textWidth += static_cast<double>(QString::fromStdString(calc_.nameForOpcode(ops[static_cast<std::size_t>(k)])).size()) * cell;
    double x = focus_.x() - textWidth;
    const double baseline = top + (kStripHeight + metrics.ascent() - metrics.descent()) / 2;
    painter.setFont(font);
    const int last = selection.location + selection.length - 1;
    for (std::size_t k = 0; k < ops.size(); ++k) {
        const std::uint32_t op = ops[k];
        if (ProgramTokens::token(op) == ProgramTokens::kNewLine)
            continue;
        const QString name = QString::fromStdString(calc_.nameForOpcode(op));
        const double w = static_cast<double>(name.size()) * cell;
        const int at = lineStart + static_cast<int>(k);
        if (at >= selection.location && at <= last)
            painter.fillRect(QRectF(x, top, w, kStripHeight), QColor(255, 255, 0));
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x, baseline), name);
        // The handles: above the selection's start, below its end.
        if (at == selection.location || at == last) {
            const bool start = at == selection.location;
            const double hx = start ? x : x + w;
            painter.setPen(QPen(Qt::black, 1.5));
            painter.drawLine(QPointF(hx, top), QPointF(hx, top + kStripHeight));
            painter.setBrush(QColor(255, 255, 255, 128));
            painter.drawEllipse(QRectF(hx - 4, start ? top : top + kStripHeight - 8, 8, 8));
            painter.setBrush(Qt::NoBrush);
        }
        x += w;
    }
}

} // namespace orvenda
