#include "app/PrettyScrollView.h"

#include "app/PrettyScrollPanDelegate.h"

#include <QMouseEvent>

#include <cmath>

namespace orvenda {

PrettyScrollView::PrettyScrollView(QWidget* parent)
    : VQTableScrollView(false, parent)
{
}

bool PrettyScrollView::viewportEvent(QEvent* event)
{
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return VQTableScrollView::viewportEvent(event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    QWidget* reference = panDelegate_ ? panDelegate_->panReferenceView() : nullptr;
    const QPointF location = reference ? reference->mapFromGlobal(mouse->globalPosition()) : mouse->globalPosition();
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        dragging_ = true;
        panning_ = false;
        basePoint_ = lastPoint_ = location;
    } else if (type == QEvent::MouseMove && dragging_) {
        const bool fits = !reference || contentSize().height() <= reference->height();
        if (!panning_ && fits && panDelegate_ && std::abs(location.y() - basePoint_.y()) > kPanThreshold)
            panning_ = true;
        if (panning_) {
            basePoint_.ry() += panDelegate_->panView(location.y() - basePoint_.y());
        } else {
            // The entry itself follows the finger.
            const QPointF moved = location - lastPoint_;
            setContentOffset(contentOffset() - moved);
        }
        lastPoint_ = location;
    } else if (type == QEvent::MouseButtonRelease) {
        dragging_ = panning_ = false;
    }
    return VQTableScrollView::viewportEvent(event);
}

} // namespace orvenda
