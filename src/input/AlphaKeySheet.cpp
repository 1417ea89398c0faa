#include "input/AlphaKeySheet.h"

#include "input/AlphaKeyTables.h"
#include "input/KeyArtwork.h"
#include "input/KeyTables.h"
#include "language/Vocabulary.h"
#include "pretty/FontMap.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace orvenda {

AlphaKeySheet::AlphaKeySheet(bool lowercase, QWidget* parent) : QWidget(parent), lowercase_(lowercase)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void AlphaKeySheet::setKeyRects(const std::array<QRectF, 43>& rects, double k)
{
    rects_ = rects;
    k_ = k;
    update();
}

void AlphaKeySheet::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(40, 40, 44));
    const Vocabulary& vocabulary = Vocabulary::shared();
    for (int key = 0; key < AlphaKeyTables::kKeyCount; ++key) {
        const QRectF r = rects_[static_cast<std::size_t>(key)].adjusted(1, 1, -1, -1);
        if (r.isEmpty())
            continue;
        const std::uint32_t code = AlphaKeyTables::code(key, lowercase_);
        const bool enter = code == KeyTables::kEnter;
        QLinearGradient fill(r.topLeft(), r.bottomLeft());
        fill.setColorAt(0, enter ? QColor(70, 110, 200) : QColor(236, 236, 238));
        fill.setColorAt(1, enter ? QColor(40, 70, 160) : QColor(196, 196, 202));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 140));
        painter.drawRoundedRect(r.translated(0, 1.5), 5 * k_, 5 * k_);
        painter.setBrush(fill);
        painter.drawRoundedRect(r, 5 * k_, 5 * k_);
        if (code == KeyTables::kCaseKey) {
            // The case key: an upward arrow, filled in upper case and outlined in lower case.
            const double s = std::min(r.width(), r.height()) * 0.3;
            const QPointF c = r.center();
            QPainterPath arrow;
            arrow.moveTo(c.x(), c.y() - s);
            arrow.lineTo(c.x() + s, c.y());
            arrow.lineTo(c.x() + s * 0.45, c.y());
            arrow.lineTo(c.x() + s * 0.45, c.y() + s);
            arrow.lineTo(c.x() - s * 0.45, c.y() + s);
            arrow.lineTo(c.x() - s * 0.45, c.y());
            arrow.lineTo(c.x() - s, c.y());
            arrow.closeSubpath();
            painter.setPen(QPen(QColor(20, 20, 20), 1.5 * k_));
            painter.setBrush(lowercase_ ? Qt::NoBrush : QBrush(QColor(20, 20, 20)));
            painter.drawPath(arrow);
            continue;
        }
        QString name = code == KeyTables::kSpace ? QStringLiteral("space")
                                                 : QString::fromStdString(vocabulary.nameForOpcode(code)).trimmed();
        painter.setFont(KeyArtwork::fitted(
            FontMap::shared().font("Helvetica-Bold", r.height() * (name.size() > 2 ? 0.3 : 0.45)), name, r.width() * 0.9));
        painter.setPen(enter ? Qt::white : QColor(20, 20, 20));
        painter.drawText(r, Qt::AlignCenter, name);
    }
}

} // namespace orvenda
