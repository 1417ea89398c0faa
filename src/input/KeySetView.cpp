#include "input/KeySetView.h"

#include "app/EntryModel.h"
#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "core/KeySets.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace orvenda {

KeySetView::KeySetView(Calculator& calc, QWidget* parent)
    : QWidget(parent), calc_(calc), fontSize_(calc.device == 1 ? 22 : 15), leading_(calc.device == 1 ? 24 : 16)
{
}

void KeySetView::setKey(int key, int line)
{
    currentKey_ = key;
    currentLine_ = line;
    update();
}

QString KeySetView::prefix(int line)
{
    static const char* const kPrefixes[] = {"     title=", "      key=", "2ND title=", "2ND   key="};
    return QString::fromLatin1(kPrefixes[std::clamp(line, 0, kLines - 1)]);
}

QString KeySetView::lineText(int line) const
{
    const int slot = currentKey_ + (line >= 2 ? 5 : 0);
    std::optional<Calculator::Ops> ops = line % 2 == 0 ? KeySets::userKeyTitle(calc_, slot) : KeySets::userKeyOps(calc_, slot);
    if (line == currentLine_)
        if (const auto* entry = dynamic_cast<const EntryModel*>(calc_.entryManager.get()); entry && !entry->entryOps().empty())
            ops = entry->entryOps();
    return prefix(line) + (ops ? QString::fromStdString(calc_.stringFromOps(*ops)) : QString());
}

double KeySetView::lineStep() const { return leading_ + std::max(0.0, fontSize_ - leading_) + 4; }

int KeySetView::pageHeight() const { return static_cast<int>(std::ceil(4 + kLines * lineStep())) + kBannerHeight; }

void KeySetView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(rect()), 3, 3);
    painter.setClipPath(clip);
    painter.fillRect(rect(), namedColor("docBackgroundColor"));
    const QFont font = FontMap::shared().font("CourierNewPS-BoldMT", fontSize_);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const QColor ink = namedColor("fontColor");
    const auto* entry = dynamic_cast<const EntryModel*>(calc_.entryManager.get());
    double y = 4;
    for (int line = 0; line < kLines; ++line) {
        const double x = line == 0 ? 4 : 11;
        const QString text = lineText(line);
        painter.setPen(ink);
        painter.drawText(QPointF(x, y + metrics.ascent()), text);
        // The entry line's cursor, blinking, on the line being edited.
        if (line == currentLine_ && entry && calc_.cursorVisible) {
            std::int32_t cursor = entry->entryCursor();
            calc_.stringFromOps(entry->entryOps(), cursor);
            const double at = x + metrics.horizontalAdvance(prefix(line)) + cursor * metrics.horizontalAdvance(QLatin1Char('0'));
            painter.fillRect(QRectF(at, y + metrics.ascent() - 2, metrics.horizontalAdvance(QLatin1Char('0')), 2), ink);
        }
        y += lineStep();
    }
    const QRectF banner(0, height() - kBannerHeight, width(), kBannerHeight);
    painter.fillRect(banner, namedColor("bannerColor"));
    painter.setPen(Qt::white);
    painter.setFont(FontMap::shared().font("Helvetica-Bold", 14));
    painter.drawText(banner, Qt::AlignCenter, QStringLiteral("%1 Keys").arg(QString::fromStdString(calc_.userKeySetName)));
}

} // namespace orvenda
