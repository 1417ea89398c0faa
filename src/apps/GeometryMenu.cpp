#include "apps/GeometryMenu.h"

#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "input/HelpPage.h"
#include "pretty/FontMap.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace orvenda {

GeometryMenu::GeometryMenu(Calculator& calc, QWidget* parent)
    : QWidget(parent), calc_(calc), cancel_(new QPushButton(QStringLiteral("Cancel"), this)),
      done_(new QPushButton(QStringLiteral("Done"), this)), help_(new HelpPage(calc, this))
{
    for (QPushButton* button : {cancel_, done_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setFont(FontMap::shared().font("Helvetica-Bold", 16));
        button->setStyleSheet(QStringLiteral("QPushButton { color: white; background: transparent; border: none; }"));
    }
    connect(cancel_, &QPushButton::clicked, this, [this] {
        click();
        if (helpShown())
            back();
        else
            hide();
    });
    connect(done_, &QPushButton::clicked, this, [this] {
        click();
        hide();
    });
    help_->hide();
    done_->hide();
}

void GeometryMenu::click()
{
    if (onClick)
        onClick();
}

QRect GeometryMenu::listArea() const { return QRect(0, kBarHeight, width(), std::max(0, height() - kBarHeight)); }

void GeometryMenu::resizeEvent(QResizeEvent*)
{
    cancel_->setGeometry(8, 0, 90, kBarHeight);
    done_->setGeometry(width() - 88, 0, 80, kBarHeight);
    help_->setGeometry(helpShown() ? listArea() : listArea().translated(width(), 0));
}

void GeometryMenu::showMenu()
{
    helpRow_ = -1;
    help_->hide();
    done_->hide();
    cancel_->setText(QStringLiteral("Cancel"));
    help_->setGeometry(listArea().translated(width(), 0));
    update();
}

double GeometryMenu::rowHeight() const
{
    return std::clamp((height() - kBarHeight) / static_cast<double>(kItems.size()), 30.0, 56.0);
}

QPointF GeometryMenu::rowCenter(int r) const { return {width() / 2.0, kBarHeight + (r + 0.5) * rowHeight()}; }

QRectF GeometryMenu::helpButtonRect(int r) const
{
    const double h = rowHeight();
    return {width() - 44.0, kBarHeight + r * h, 44.0, h};
}

void GeometryMenu::pickRow(int r)
{
    if (r < 0 || r >= static_cast<int>(kItems.size()) || helpShown())
        return;
    click();
    calc_.secondShift = false;
    hide();
    if (onSelect)
        onSelect(kItems[static_cast<std::size_t>(r)]);
}

void GeometryMenu::showHelp(int r)
{
    if (r < 0 || r >= static_cast<int>(kItems.size()))
        return;
    click();
    const std::uint32_t token = kItems[static_cast<std::size_t>(r)];
    helpRow_ = r;
    help_->showFunction(QString::fromStdString(calc_.nameForOpcode(token)), QString::fromStdString(calc_.descriptionForOpcode(token)));
    help_->setGeometry(listArea());
    help_->show();
    help_->raise();
    cancel_->setText(QStringLiteral("Back"));
    // On a tablet the menu closes by a tap outside it; a phone has Done.
    done_->setVisible(calc_.device != 1);
    update();
}

void GeometryMenu::back()
{
    showMenu();
}

void GeometryMenu::mousePressEvent(QMouseEvent* event)
{
    if (helpShown())
        return;
    const QPointF at = event->position();
    const double y = at.y() - kBarHeight;
    if (y < 0)
        return;
    const int r = static_cast<int>(y / rowHeight());
    if (helpButtonRect(r).contains(at))
        showHelp(r);
    else
        pickRow(r);
}

void GeometryMenu::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(Qt::white));
    p.fillRect(QRectF(0, 0, width(), kBarHeight), QColor(40, 80, 150));
    if (isWindow()) {
        // A popover over the graph: framed, so it reads as a sheet of its own.
        p.setPen(QPen(QColor(120, 120, 120), 1));
        p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
    p.setPen(Qt::white);
    p.setFont(FontMap::shared().font("Helvetica-Bold", 17));
    const QString title = helpShown() ? QString::fromStdString(calc_.nameForOpcode(kItems[static_cast<std::size_t>(helpRow_)]))
                                      : QStringLiteral("Geometry");
    p.drawText(QRectF(100, 0, width() - 200, kBarHeight), Qt::AlignCenter, title);
    if (helpShown())
        return;
    const double h = rowHeight();
    const QFont name = FontMap::shared().font("CourierNewPS-BoldMT", 16);
    const QFont detail = FontMap::shared().font("Helvetica-Oblique", 12);
    for (std::size_t r = 0; r < kItems.size(); ++r) {
        const std::uint32_t op = kItems[r];
        const double top = kBarHeight + static_cast<double>(r) * h;
        p.setPen(Qt::black);
        p.setFont(name);
        p.drawText(QRectF(12, top, width() - 60, h * 0.58), Qt::AlignLeft | Qt::AlignBottom, QString::fromStdString(calc_.nameForOpcode(op)));
        p.setFont(detail);
        p.drawText(QRectF(12, top + h * 0.58, width() - 60, h * 0.42), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromStdString(calc_.descriptionForOpcode(op)));
        // The detail button: a circled i.
        const QRectF button = helpButtonRect(static_cast<int>(r));
        const QPointF c = button.center();
        p.setPen(QPen(QColor(0, 0, 0), 1.5));
        p.drawEllipse(c, 9, 9);
        p.setFont(FontMap::shared().font("Helvetica-Bold", 13));
        p.drawText(QRectF(c.x() - 9, c.y() - 9, 18, 18), Qt::AlignCenter, QStringLiteral("i"));
        p.setPen(QColor(200, 200, 200));
        p.drawLine(QPointF(0, top + h), QPointF(width(), top + h));
    }
}

} // namespace orvenda
