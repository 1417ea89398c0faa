#include "stats/StatTestMenu.h"

#include "app/HelpView.h"
#include "app/NamedColors.h"
#include "app/OverlaySlide.h"
#include "core/Calculator.h"
#include "input/HelpPage.h"
#include "pretty/FontMap.h"
#include "stats/StatTestCatalogue.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace orvenda {

namespace {

const QColor kDetailBlue(0, 122, 255);
constexpr int kRows = static_cast<int>(StatTestCatalogue::kMenuOrder.size());
constexpr double kLeastRowHeight = 24, kMostRowHeight = 48;

int rowsPerColumn(int columns) { return (kRows + columns - 1) / columns; }

} // namespace

StatTestMenu::StatTestMenu(Calculator& calc, QWidget* parent)
    : QWidget(parent), calc_(calc), cancel_(new QPushButton(QStringLiteral("Cancel"), this)),
      back_(new QPushButton(QStringLiteral("‹ Tests"), this)), help_(new HelpPage(calc, this))
{
    for (QPushButton* button : {cancel_, back_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setFont(FontMap::shared().font("Helvetica-Bold", 16));
        button->setStyleSheet(QStringLiteral("QPushButton { color: white; background: transparent; border: none; }"));
    }
    connect(cancel_, &QPushButton::clicked, this, [this] {
        click();
        hide();
    });
    connect(back_, &QPushButton::clicked, this, [this] { popHelp(); });
    back_->hide();
    help_->hide();
    // The page comes in from the right over the list, across the list's area as it stands.
    slide_ = new OverlaySlide(*this, [this](double in) {
        const QRect area = pageArea();
        help_->setGeometry(OverlaySlide::between(area.translated(area.width(), 0), area, in));
    });
    slide_->arrived = [this](bool in) {
        if (!in)
            help_->hide();
    };
}

void StatTestMenu::setPopover(bool popover)
{
    popover_ = popover;
    setWindowFlags(popover ? Qt::Popup : Qt::Widget);
    cancel_->setVisible(!popover && !helpShown_);
}

void StatTestMenu::click() const
{
    if (onClick)
        onClick();
}

QRect StatTestMenu::pageArea() const { return QRect(0, kBarHeight, width(), std::max(0, height() - kBarHeight)); }

void StatTestMenu::resizeEvent(QResizeEvent*)
{
    cancel_->setGeometry(8, 0, 90, kBarHeight);
    back_->setGeometry(8, 0, 90, kBarHeight);
    slide_->place();
}

QPointF StatTestMenu::detailCenter(int r) const { return {rowRect(r).right() - kDetailWidth / 2.0, rowCenter(r).y()}; }

void StatTestMenu::openHelp(int r)
{
    if (r < 0 || r >= kRows || helpShown_)
        return;
    click();
    const std::uint32_t op = StatTestCatalogue::kMenuOrder[static_cast<std::size_t>(r)];
    helpTitle_ = QString::fromStdString(calc_.nameForOpcode(op));
    const QString text = QString::fromStdString(calc_.descriptionForOpcode(op));
    help_->showFunction(helpTitle_, text);
    helpShown_ = true;
    cancel_->hide();
    back_->show();
    help_->show();
    help_->raise();
    slide_->slide(true);
    update();
}

void StatTestMenu::popHelp()
{
    if (!helpShown_)
        return;
    helpShown_ = false;
    back_->hide();
    cancel_->setVisible(!popover_);
    slide_->slide(false);
    update();
}

void StatTestMenu::updateView()
{
    if (!helpShown_)
        return;
    helpShown_ = false;
    slide_->jump(false);
    help_->hide();
    back_->hide();
    cancel_->setVisible(!popover_);
    update();
}

int StatTestMenu::columns() const
{
    const double room = height() - kBarHeight;
    int columns = 1;
    while (columns < kRows && room / rowsPerColumn(columns) < kLeastRowHeight)
        ++columns;
    return columns;
}

double StatTestMenu::rowHeight() const
{
    return std::clamp((height() - kBarHeight) / static_cast<double>(rowsPerColumn(columns())), kLeastRowHeight, kMostRowHeight);
}

QRectF StatTestMenu::rowRect(int r) const
{
    const int perColumn = rowsPerColumn(columns());
    const double w = width() / static_cast<double>(columns()), h = rowHeight();
    return {(r / perColumn) * w, kBarHeight + (r % perColumn) * h, w, h};
}

QPointF StatTestMenu::rowCenter(int r) const { return rowRect(r).center(); }

void StatTestMenu::pickRow(int r)
{
    if (r < 0 || r >= kRows)
        return;
    click();
    hide();
    if (onSelect)
        onSelect(StatTestCatalogue::kMenuOrder[static_cast<std::size_t>(r)]);
}

void StatTestMenu::mousePressEvent(QMouseEvent* event)
{
    // A popover closes at a tap outside it, as the desktop closes popups.
    if (!rect().contains(event->position().toPoint())) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (helpShown_)
        return;
    for (int r = 0; r < kRows; ++r) {
        const QRectF row = rowRect(r);
        if (!row.contains(event->position()))
            continue;
        if (event->position().x() >= row.right() - kDetailWidth)
            openHelp(r);
        else
            pickRow(r);
        return;
    }
}

void StatTestMenu::keyPressEvent(QKeyEvent* event)
{
    // The form and keypad under the menu are out of reach: no key passes to them.
    event->accept();
    // Escape closes the menu, a help page with it, as a tablet's popover closes.
    if (event->key() == Qt::Key_Escape) {
        click();
        hide();
    }
}

void StatTestMenu::hideEvent(QHideEvent*)
{
    if (onHidden)
        onHidden();
}

void StatTestMenu::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), namedColor("docBackgroundColor"));
    p.fillRect(QRectF(0, 0, width(), kBarHeight), QColor(40, 80, 150));
    p.setPen(Qt::white);
    p.setFont(FontMap::shared().font("Helvetica-Bold", 17));
    p.drawText(QRectF(0, 0, width(), kBarHeight), Qt::AlignCenter, helpShown_ ? helpTitle_ : QStringLiteral("Tests"));
    const double h = rowHeight();
    const QFont name = FontMap::shared().font("CourierNewPS-BoldMT", std::min(16.0, h * 0.45));
    const QFont detail = FontMap::shared().font("Helvetica-Oblique", std::min(12.0, h * 0.33));
    const QColor text = namedColor("fontColor");
    for (int r = 0; r < kRows; ++r) {
        const std::uint32_t op = StatTestCatalogue::kMenuOrder[static_cast<std::size_t>(r)];
        const QRectF row = rowRect(r);
        const double top = row.top(), left = row.left(), w = row.width();
        p.setPen(text);
        p.setFont(name);
        p.drawText(QRectF(left + 12, top, w - 24 - kDetailWidth, h * 0.58), Qt::AlignLeft | Qt::AlignBottom,
                   QString::fromStdString(calc_.nameForOpcode(op)));
        p.setFont(detail);
        p.drawText(QRectF(left + 12, top + h * 0.58, w - 24 - kDetailWidth, h * 0.42), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromStdString(calc_.descriptionForOpcode(op)));
        // The (i) button: a blue ring with an "i".
        const double d = std::min(22.0, h * 0.7);
        const QRectF ring(row.right() - kDetailWidth / 2.0 - d / 2, top + (h - d) / 2, d, d);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(kDetailBlue, 1.5));
        p.drawEllipse(ring);
        p.setFont(FontMap::shared().font("Helvetica-Bold", d * 0.6));
        p.drawText(ring, Qt::AlignCenter, QStringLiteral("i"));
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QColor(200, 200, 200));
        p.drawLine(QPointF(left, top + h), QPointF(left + w, top + h));
        if (left > 0)
            p.drawLine(QPointF(left, top), QPointF(left, top + h));
    }
    if (popover_) {
        // A popover over the screen: framed, so it reads as a sheet of its own.
        p.setPen(QColor(120, 120, 120));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace orvenda
