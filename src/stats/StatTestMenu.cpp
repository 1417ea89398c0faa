#include "stats/StatTestMenu.h"

#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "pretty/FontMap.h"
#include "stats/StatTestCatalogue.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace orvenda {

StatTestMenu::StatTestMenu(Calculator& calc, QWidget* parent)
    : QWidget(parent), calc_(calc), cancel_(new QPushButton(QStringLiteral("Cancel"), this))
{
    cancel_->setFocusPolicy(Qt::NoFocus);
    cancel_->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    cancel_->setStyleSheet(QStringLiteral("QPushButton { color: white; background: transparent; border: none; }"));
    connect(cancel_, &QPushButton::clicked, this, [this] { hide(); });
}

void StatTestMenu::resizeEvent(QResizeEvent*) { cancel_->setGeometry(8, 0, 90, kBarHeight); }

double StatTestMenu::rowHeight() const
{
    return std::clamp((height() - kBarHeight) / static_cast<double>(StatTestCatalogue::kMenuOrder.size()), 24.0, 48.0);
}

QPointF StatTestMenu::rowCenter(int r) const { return {width() / 2.0, kBarHeight + (r + 0.5) * rowHeight()}; }

void StatTestMenu::pickRow(int r)
{
    if (r < 0 || r >= static_cast<int>(StatTestCatalogue::kMenuOrder.size()))
        return;
    hide();
    if (onSelect)
        onSelect(StatTestCatalogue::kMenuOrder[static_cast<std::size_t>(r)]);
}

void StatTestMenu::mousePressEvent(QMouseEvent* event)
{
    const double y = event->position().y() - kBarHeight;
    if (y >= 0)
        pickRow(static_cast<int>(y / rowHeight()));
}

void StatTestMenu::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), namedColor("docBackgroundColor"));
    p.fillRect(QRectF(0, 0, width(), kBarHeight), QColor(40, 80, 150));
    p.setPen(Qt::white);
    p.setFont(FontMap::shared().font("Helvetica-Bold", 17));
    p.drawText(QRectF(0, 0, width(), kBarHeight), Qt::AlignCenter, QStringLiteral("Tests"));
    const double h = rowHeight();
    const QFont name = FontMap::shared().font("CourierNewPS-BoldMT", std::min(16.0, h * 0.45));
    const QFont detail = FontMap::shared().font("Helvetica-Oblique", std::min(12.0, h * 0.33));
    const QColor text = namedColor("fontColor");
    for (std::size_t r = 0; r < StatTestCatalogue::kMenuOrder.size(); ++r) {
        const std::uint32_t op = StatTestCatalogue::kMenuOrder[r];
        const double top = kBarHeight + static_cast<double>(r) * h;
        p.setPen(text);
        p.setFont(name);
        p.drawText(QRectF(12, top, width() - 24, h * 0.58), Qt::AlignLeft | Qt::AlignBottom,
                   QString::fromStdString(calc_.nameForOpcode(op)));
        p.setFont(detail);
        p.drawText(QRectF(12, top + h * 0.58, width() - 24, h * 0.42), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromStdString(calc_.descriptionForOpcode(op)));
        p.setPen(QColor(200, 200, 200));
        p.drawLine(QPointF(0, top + h), QPointF(width(), top + h));
    }
}

} // namespace orvenda
