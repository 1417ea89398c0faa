#include "graphui/YEqScrollView.h"

#include "graphui/YEqView.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

// A press moves this far before it becomes a drag.
constexpr double kDragStart = 6;

} // namespace

YEqScrollView::YEqScrollView(QWidget* parent) : QWidget(parent) {}

void YEqScrollView::setContentView(YEqView* view)
{
    view_ = view;
    view_->setParent(this);
    view_->setGeometry(rect());
    view_->setOffset(offset_);
    view_->show();
}

void YEqScrollView::setContentSize(QSizeF size)
{
    contentSize_ = size;
    setContentOffset(offset_);
}

void YEqScrollView::setContentOffset(QPointF offset)
{
    const double maxX = std::max(0.0, contentSize_.width() - width());
    const double maxY = std::max(0.0, contentSize_.height() - height());
    offset_ = QPointF(std::clamp(offset.x(), 0.0, maxX), std::clamp(offset.y(), 0.0, maxY));
    if (view_)
        view_->setOffset(offset_);
}

void YEqScrollView::scrollRectToVisible(const QRectF& r)
{
    QPointF to = offset_;
    if (r.right() > to.x() + width())
        to.setX(r.right() - width());
    if (r.left() < to.x())
        to.setX(r.left());
    if (r.bottom() > to.y() + height())
        to.setY(r.bottom() - height());
    if (r.top() < to.y())
        to.setY(r.top());
    setContentOffset(to);
}

QRect YEqScrollView::shownRect(const QRectF& rect, const QWidget& in) const
{
    return rect.translated(-offset_ + mapTo(&in, QPoint(0, 0))).toRect();
}

void YEqScrollView::resizeEvent(QResizeEvent*)
{
    if (view_)
        view_->setGeometry(rect());
    setContentOffset(offset_);
}

void YEqScrollView::mousePressEvent(QMouseEvent* event)
{
    if (!view_ || event->button() != Qt::LeftButton)
        return;
    const QRectF row = view_->touchAt(event->position() + offset_);
    lockDirection_ = row.width() > view_->width();
    setContentSize(QSizeF(std::max(row.width(), static_cast<double>(width())), contentSize_.height()));
    view_->update();
    dragging_ = true;
    direction_ = 0;
    pressAt_ = event->position();
    pressOffset_ = offset_;
}

void YEqScrollView::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_)
        return;
    QPointF moved = event->position() - pressAt_;
    if (direction_ == 0 && std::hypot(moved.x(), moved.y()) >= kDragStart)
        direction_ = std::abs(moved.x()) > std::abs(moved.y()) ? 1 : 2;
    if (direction_ == 0)
        return;
    if (lockDirection_)
        moved = direction_ == 1 ? QPointF(moved.x(), 0) : QPointF(0, moved.y());
    setContentOffset(pressOffset_ - moved);
}

void YEqScrollView::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

void YEqScrollView::wheelEvent(QWheelEvent* event)
{
    const QPoint pixels = event->pixelDelta();
    const QPointF step = !pixels.isNull() ? QPointF(pixels) : QPointF(event->angleDelta()) / 120.0 * 40.0;
    setContentOffset(offset_ - step);
    event->accept();
}

} // namespace orvenda
