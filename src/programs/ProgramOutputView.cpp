#include "programs/ProgramOutputView.h"

#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "eval/Parser.h"
#include "pretty/FontMap.h"
#include "programs/ProgramOutputModel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace orvenda {

namespace {

constexpr const char* kFace = "CourierNewPS-BoldMT";
constexpr double kInset = 4;

} // namespace

ProgramOutputView::ProgramOutputView(Calculator& calc, const ProgramOutputModel& model, QWidget* parent)
    : QWidget(parent), calc_(calc), model_(model), fontSize_(calc.device == 1 ? 24 : 16),
      leading_(calc.device == 1 ? 22 : 15)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void ProgramOutputView::resizeEvent(QResizeEvent*)
{
    // Ten lines fill the height, and 33 characters never overflow the width.
    double size = std::max(1.0, height() / 10.0);
    const QFontMetricsF metrics(FontMap::shared().font(kFace, size));
    const double wide = metrics.horizontalAdvance(QStringLiteral("123456789012345678901234567890123"));
    if (wide > width() && wide > 0)
        size = std::max(1.0, size * width() / wide);
    fontSize_ = size;
    leading_ = 0.92 * size;
    // Ten lines set the size in a short, wide grid: the characters grow wider so the 33
    // columns still span it, and a right-aligned value ends where the pause mark stands.
    const double natural = QFontMetricsF(FontMap::shared().font(kFace, size)).horizontalAdvance(QLatin1Char(' '));
    pitch_ = std::max(natural, (width() - 2 * kInset) / 33.0);
}

double ProgramOutputView::cellWidth() const
{
    const double natural = QFontMetricsF(FontMap::shared().font(kFace, fontSize_)).horizontalAdvance(QLatin1Char(' '));
    return std::max(natural, pitch_);
}

bool ProgramOutputView::showsCursor() const
{
    if (!calc_.cursorVisible)
        return false;
    // A running program hides it unless it waits for an answer or a menu choice.
    return !calc_.programRunning || calc_.menuRunning || calc_.question().asks();
}

void ProgramOutputView::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0)
        return;
    const ProgramOutputModel::Snapshot shot = model_.snapshot();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QFont font = FontMap::shared().font(kFace, fontSize_);
    const double cell = cellWidth();
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    // A grid wider than its font's cells draws its letters wider, not apart.
    const double stretch = cell / std::max(1e-6, metrics.horizontalAdvance(QLatin1Char(' ')));
    const auto advance = [&](const QString& text) { return stretch * metrics.horizontalAdvance(text); };
    const auto draw = [&](double x, double baseline, const QString& text) {
        painter.save();
        painter.scale(stretch, 1);
        painter.drawText(QPointF(x / stretch, baseline), text);
        painter.restore();
    };
    const QColor ink = namedColor("fontColor");
    for (int n = 0; n < ProgramOutputModel::kLines; ++n) {
        const std::u32string& line = shot.lines[static_cast<std::size_t>(n)];
        if (line.empty())
            continue;
        const QString text = QString::fromUcs4(line.data(), static_cast<qsizetype>(line.size()));
        const double y = 2 + n * leading_;
        // The chosen item of a menu is shown in reverse.
        const bool chosen = shot.menuShown && n == shot.cursor.row && n > 0;
        if (chosen) {
            const int colon = text.indexOf(QLatin1Char(':'));
            const double w = advance(text.left(colon + 1));
            painter.fillRect(QRectF(kInset, y, w, leading_ + 1), ink);
            painter.setPen(QColor(Qt::white));
            draw(kInset, y + metrics.ascent(), text.left(colon + 1));
            painter.setPen(ink);
            draw(kInset + w, y + metrics.ascent(), text.mid(colon + 1));
            continue;
        }
        painter.setPen(ink);
        draw(kInset, y + metrics.ascent(), text);
    }
    if (calc_.pauseRunning && calc_.cursorVisible) {
        painter.setPen(QColor(Qt::black));
        draw(width() - 2 - advance(QStringLiteral("P")), metrics.ascent(), QStringLiteral("P"));
    }
    if (!showsCursor())
        return;
    const std::u32string& line = shot.lines[static_cast<std::size_t>(std::clamp(shot.cursor.row, 0, 9))];
    const std::u32string before = line.substr(0, std::min(line.size(), static_cast<std::size_t>(std::max(0, shot.cursor.column))));
    const double x = kInset + advance(QString::fromUcs4(before.data(), static_cast<qsizetype>(before.size())))
        + cell * std::max<std::ptrdiff_t>(0, shot.cursor.column - static_cast<std::ptrdiff_t>(before.size()));
    const QRectF at(x, shot.cursor.row * leading_ + 3, cell, leading_ + 1);
    QColor veil = ink;
    veil.setAlphaF(0.2f);
    painter.fillRect(at, veil);
    const QColor mark(255, 255, 255, 128);
    if (calc_.secondShift) {
        QPainterPath arrow;
        arrow.moveTo(at.center().x(), at.top() + 2);
        arrow.lineTo(at.center().x(), at.bottom() - 2);
        arrow.moveTo(at.left() + 2, at.top() + at.width() / 2);
        arrow.lineTo(at.center().x(), at.top() + 2);
        arrow.lineTo(at.right() - 2, at.top() + at.width() / 2);
        painter.strokePath(arrow, QPen(mark, 2));
    } else if (calc_.alphaShift) {
        painter.setPen(mark);
        painter.drawText(at, Qt::AlignCenter, QStringLiteral("A"));
    }
    if (calc_.insert != 0)
        painter.fillRect(QRectF(at.left(), at.bottom() - 2, at.width(), 2), ink);
}

} // namespace orvenda
