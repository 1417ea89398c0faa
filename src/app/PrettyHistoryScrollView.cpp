#include "app/PrettyHistoryScrollView.h"

#include "app/HistoryModel.h"
#include "app/PrettyHistoryView.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"

#include <QMouseEvent>
#include <QScroller>
#include <QScrollerProperties>

namespace orvenda {

namespace {

// A tap lands this far below where the finger touched.
constexpr double kTapShift = 2;

} // namespace

PrettyHistoryScrollView::PrettyHistoryScrollView(Calculator& calc, QWidget* parent)
    : VQTableScrollView(parent), calc_(calc)
{
}

void PrettyHistoryScrollView::setHistoryView(PrettyHistoryView* view)
{
    view_ = view;
    setContentView(view);
}

void PrettyHistoryScrollView::tapped(QPointF contentPoint)
{
    auto* history = dynamic_cast<HistoryModel*>(calc_.historyManager.get());
    if (!view_ || !history)
        return;
    const PrettyHistoryView::Hit hit = view_->hitEntryAt(contentPoint + QPointF(0, kTapShift));
    if (hit.index < 0)
        return;
    history->setSelectedEntry(hit.index);
    history->setSelectedKind(hit.kind);
    calc_.notificationCenter().post(VQHistorySelectionChanged, this);
}

bool PrettyHistoryScrollView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && view_) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const PrettyHistoryView::Hit hit = view_->hitEntryAt(mouse->position() + contentOffset());
        if (hit.index >= 0) {
            // A wide item scrolls sideways without drifting up or down.
            QScroller* scroller = QScroller::scroller(viewport());
            QScrollerProperties properties = scroller->scrollerProperties();
            properties.setScrollMetric(QScrollerProperties::AxisLockThreshold, hit.rect.width() > view_->width() ? 0.5 : 0);
            scroller->setScrollerProperties(properties);
            view_->update();
        }
    }
    return VQTableScrollView::viewportEvent(event);
}

void PrettyHistoryScrollView::cursorAmount(double d)
{
    if (!view_)
        return;
    setContentSize(QSizeF(view_->selectedItemBounds().width(), contentSize().height()));
    setContentOffset(contentOffset() + QPointF(d, 0));
    view_->update();
}

} // namespace orvenda
