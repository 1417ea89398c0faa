#include "app/EntryView.h"

#include "app/AppShell.h"
#include "app/EntryModel.h"
#include "app/HistoryModel.h"
#include "app/NamedColors.h"
#include "app/PrettyViewDelegate.h"
#include "core/Calculator.h"
#include "pretty/FontMap.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

// Moving farther than this turns a press into a drag.
constexpr double kDragSlop = 4;
constexpr double kTextInset = 4;

bool tabletIdiom(const Calculator& calc) { return calc.device == 1; }

} // namespace

EntryView::EntryView(Calculator& calc, AppShell& shell, QWidget* parent)
    : QWidget(parent), calc_(calc), shell_(shell), fontSize_(tabletIdiom(calc) ? 24 : 16),
      leading_(tabletIdiom(calc) ? 25 : 17), top_(tabletIdiom(calc) ? 6 : 3)
{
    layout_.setLeading(leading_);
    setAccessibleDescription(QStringLiteral("Entry field"));
}

EntryModel* EntryView::entry() const { return dynamic_cast<EntryModel*>(calc_.entryManager.get()); }

void EntryView::setOverlayStr(std::optional<std::string> overlay)
{
    overlay_ = std::move(overlay);
    update();
}

void EntryView::setPrefixStr(std::string prefix)
{
    prefix_ = std::move(prefix);
    update();
}

void EntryView::layoutForWidth(double width)
{
    double ignored = 0;
    Calculator::standardFontSize(fontSize_, ignored, {0, 0, width, 0});
    leading_ = ignored;
    top_ = static_cast<int>(tabletIdiom(calc_) ? fontSize_ * 6 / 24 : fontSize_ * 3 / 16);
    layout_.setLeading(leading_);
}

void EntryView::resizeEvent(QResizeEvent*) { layoutForWidth(width()); }

void EntryView::configure(double leading)
{
    if (!layout_.font())
        layout_.setFont(FontMap::shared().font("CourierNewPS-BoldMT", fontSize_));
    layout_.setLeading(leading);
    // 4 points in from each side, as the history's lines above it.
    // Below the separator drawn along the top (the room height() adds for it).
    layout_.setBounds(QRectF(kTextInset, top_, std::max(0.0, width() - 2 * kTextInset), std::max(0, QWidget::height() - top_)));
    const EntryModel* line = entry();
    layout_.setCursorPosition(line ? line->entryCursor() : -1);
    layout_.setOps(line ? line->entryOps() : LayoutManager::Ops());
    layout_.setPrefixStr(prefix_);
    layout_.setOverlayStr(overlay_);
}

double EntryView::height()
{
    configure(leading_);
    return layout_.height() + top_;
}

double EntryView::heightWithFontSize(double fontSize, double leading)
{
    configure(leading);
    const double h = layout_.height() + (tabletIdiom(calc_) ? fontSize * 6 / 24 : fontSize * 3 / 16);
    layout_.setLeading(leading_);
    return h;
}

void EntryView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRectF r = event->rect();
    const HistoryModel* history = dynamic_cast<const HistoryModel*>(calc_.historyManager.get());
    if (!history || history->selectedEntry() < 0) {
        const bool blackText = namedColor("fontColor").redF() == 0;
        painter.fillRect(r, blackText ? QColor::fromRgbF(1, 1, 1, 0.5f) : QColor::fromRgbF(0, 0, 0, 0.5f));
    }
    layout_.setFont(FontMap::shared().font("CourierNewPS-BoldMT", fontSize_));
    configure(leading_);
    layout_.setCursorChar(shell_.keys().cursorChar());
    layout_.setInsertMode(calc_.insert != 0);
    painter.setPen(namedColor("fontColor"));
    layout_.drawInContext(painter, r);
    if (const EntryModel* line = entry())
        setAccessibleName(QString::fromStdString(calc_.speakFromOps(line->entryOps())));

    painter.setPen(QPen(QColor::fromRgbF(0.8f, 0.8f, 0.8f), 1));
    painter.drawLine(QPointF(r.x() + 1.5, 0.5), QPointF(r.x() + r.width() - 2, 0.5));
    painter.setPen(QPen(QColor::fromRgbF(0.5f, 0.5f, 0.5f), 1));
    painter.drawLine(QPointF(r.x() + 1.5, 1.5), QPointF(r.x() + r.width() - 2, 1.5));
}

void EntryView::singleTap(QPointF point)
{
    EntryModel* line = entry();
    if (!line)
        return;
    if (overlay_) {
        LayoutManager::Ops ops = calc_.stringToOps(*overlay_);
        std::erase(ops, kOverlayOnly);
        line->setOps(ops);
        layout_.setOps(ops);
        overlay_.reset();
    }
    configure(leading_);
    const int index = layout_.touchAt(point);
    if (index >= 0) {
        line->cursorSetIndex(index);
        shell_.keys().doKeyClick();
        shell_.blink().resetBlink();
    }
    update();
}

QPointF EntryView::inDelegateView(QPointF point) const
{
    // The delegate is the screen holding the field.
    return parentWidget() ? mapToParent(point) : point;
}

void EntryView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    pressed_ = true;
    panning_ = false;
    pressedAt_ = event->position();
    basePoint_ = inDelegateView(event->position());
}

void EntryView::mouseMoveEvent(QMouseEvent* event)
{
    if (!pressed_ || !delegate_)
        return;
    const QPointF moved = event->position() - pressedAt_;
    if (!panning_ && std::hypot(moved.x(), moved.y()) <= kDragSlop)
        return;
    panning_ = true;
    const QPointF location = inDelegateView(event->position());
    basePoint_.ry() += delegate_->scrollEntryView(location.y() - basePoint_.y());
}

void EntryView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!pressed_ || event->button() != Qt::LeftButton)
        return;
    pressed_ = false;
    if (!panning_)
        singleTap(event->position());
    panning_ = false;
}

} // namespace orvenda
