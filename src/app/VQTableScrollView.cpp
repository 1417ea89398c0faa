#include "app/VQTableScrollView.h"

#include "app/DrawnView.h"
#include "platform/KeptForProcess.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QScroller>
#include <QScrollerProperties>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr int kSnapMs = 200;
// Farther than this between press and release is a drag, not a tap.
constexpr double kTapSlop = 6;
// How far a notch of the mouse wheel scrolls where there are no rows: a line, as the Y=
// list's notch does.
constexpr double kWheelLine = 40;

} // namespace

VQTableScrollView::VQTableScrollView(QWidget* parent)
    : VQTableScrollView(true, parent)
{
}

VQTableScrollView::VQTableScrollView(bool kinetic, QWidget* parent)
    : QAbstractScrollArea(parent), kinetic_(kinetic)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    viewport()->setAttribute(Qt::WA_TranslucentBackground);
    if (!kinetic_)
        return;
    // Qt keeps the recognizer it registers for the grab past the application's end.
    keptForProcess([this] { QScroller::grabGesture(viewport(), QScroller::LeftMouseButtonGesture); });
    QScroller* scroller = QScroller::scroller(viewport());
    QScrollerProperties properties = scroller->scrollerProperties();
    // A tap reaches the content at once; only a drag scrolls.
    properties.setScrollMetric(QScrollerProperties::MousePressEventDelay, 0);
    properties.setScrollMetric(QScrollerProperties::OvershootDragResistanceFactor, 0.3);
    scroller->setScrollerProperties(properties);
    connect(scroller, &QScroller::stateChanged, this, [this](QScroller::State state) {
        if (state == QScroller::Inactive)
            scrollingEnded();
    });
}

VQTableScrollView::~VQTableScrollView()
{
    if (kinetic_)
        QScroller::ungrabGesture(viewport());
}

double VQTableScrollView::snapToColumn(double x, double colWidth)
{
    if (!(colWidth > 0))
        return x;
    return colWidth * std::trunc((x + colWidth / 2) / colWidth);
}

void VQTableScrollView::setContentView(DrawnView* view)
{
    content_ = view;
    if (content_) {
        content_->setParent(viewport());
        content_->setAttribute(Qt::WA_TransparentForMouseEvents);
        content_->show();
    }
    followOffset();
}

void VQTableScrollView::setSnapScroll(bool snap)
{
    snapScroll_ = snap;
    setColWidth(colWidth_);
}

void VQTableScrollView::setColWidth(double width)
{
    colWidth_ = width;
    if (!kinetic_)
        return;
    QScroller* scroller = QScroller::scroller(viewport());
    if (snapScroll_ && colWidth_ > 0)
        scroller->setSnapPositionsX(0, colWidth_);
    else
        scroller->setSnapPositionsX(QList<qreal>());
}

void VQTableScrollView::setRowSnap(double origin, double height)
{
    rowOrigin_ = origin;
    rowHeight_ = height;
    if (!kinetic_)
        return;
    QScroller* scroller = QScroller::scroller(viewport());
    if (rowHeight_ > 0)
        scroller->setSnapPositionsY(rowOrigin_ - std::floor(rowOrigin_ / rowHeight_) * rowHeight_, rowHeight_);
    else
        scroller->setSnapPositionsY(QList<qreal>());
}

void VQTableScrollView::setContentSize(QSizeF size)
{
    contentSize_ = size;
    updateRanges();
}

QSizeF VQTableScrollView::visibleSize() const { return QSizeF(viewport()->size()); }

QRect VQTableScrollView::shownRect(const QRectF& rect, const QWidget& in) const
{
    return rect.translated(-contentOffset() + viewport()->mapTo(&in, QPoint(0, 0))).toRect();
}

QRectF VQTableScrollView::cellOf(const QRectF& rect, QSizeF cellSize)
{
    return {rect.right() - cellSize.width(), rect.bottom() - cellSize.height(), cellSize.width(), cellSize.height()};
}

QPointF VQTableScrollView::contentOffset() const
{
    return QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void VQTableScrollView::setContentOffset(QPointF offset)
{
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(offset.x())));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(offset.y())));
    followOffset();
}

void VQTableScrollView::scrollRectToVisible(const QRectF& rect)
{
    const QSizeF visible = visibleSize();
    QPointF offset = contentOffset();
    auto axis = [](double at, double extent, double start, double length) {
        if (start + length > at + extent)
            at = start + length - extent;
        if (start < at)
            at = start;
        return at;
    };
    offset.setX(axis(offset.x(), visible.width(), rect.x(), rect.width()));
    offset.setY(axis(offset.y(), visible.height(), rect.y(), rect.height()));
    if (rowHeight_ > 0) {
        // The row edge above, unless that loses the rectangle's bottom: then the one below.
        const double rows = (offset.y() - rowOrigin_) / rowHeight_;
        double y = rowOrigin_ + std::floor(rows + 1e-6) * rowHeight_;
        if (rect.bottom() > y + visible.height() + 1e-6)
            y = rowOrigin_ + std::ceil(rows - 1e-6) * rowHeight_;
        offset.setY(y);
    }
    setContentOffset(offset);
}

void VQTableScrollView::updateRanges()
{
    const QSizeF visible = visibleSize();
    horizontalScrollBar()->setRange(0, static_cast<int>(std::max(0.0, std::ceil(contentSize_.width() - visible.width()))));
    verticalScrollBar()->setRange(0, static_cast<int>(std::max(0.0, std::ceil(contentSize_.height() - visible.height()))));
    horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
    verticalScrollBar()->setPageStep(std::max(1, viewport()->height()));
    followOffset();
}

void VQTableScrollView::followOffset()
{
    if (!content_)
        return;
    content_->setGeometry(viewport()->rect());
    content_->setOrigin(contentOffset());
    content_->update();
}

void VQTableScrollView::scrollContentsBy(int, int)
{
    followOffset();
    didScroll();
}

void VQTableScrollView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateRanges();
}

void VQTableScrollView::wheelEvent(QWheelEvent* event)
{
    // A notch moves a line (a row where rows snap); a touchpad's pixels move as far as the
    // fingers do.
    const QPoint pixels = event->pixelDelta();
    const double line = rowHeight_ > 0 ? rowHeight_ : kWheelLine;
    const QPointF step = !pixels.isNull() ? QPointF(pixels) : QPointF(event->angleDelta()) / 120.0 * line;
    setContentOffset(contentOffset() - step);
    event->accept();
}

void VQTableScrollView::scrollingEnded()
{
    if (!snapScroll_)
        return;
    const QPointF offset = contentOffset();
    const double x = snapToColumn(offset.x(), colWidth_);
    if (x != offset.x() && kinetic_)
        QScroller::scroller(viewport())->scrollTo(QPointF(x, offset.y()), kSnapMs);
}

void VQTableScrollView::tapped(QPointF contentPoint)
{
    if (content_)
        content_->tap(contentPoint);
}

bool VQTableScrollView::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            pressed_ = true;
            pressedAt_ = mouse->position();
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (pressed_ && mouse->button() == Qt::LeftButton) {
            pressed_ = false;
            const QPointF moved = mouse->position() - pressedAt_;
            if (std::hypot(moved.x(), moved.y()) <= kTapSlop)
                tapped(mouse->position() + contentOffset());
        }
        break;
    }
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

QImage VQTableScrollView::getImage(const QRectF& g) const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double s = screen && screen->devicePixelRatio() > 0 ? screen->devicePixelRatio() : 1;
    QImage image((g.size() * s).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(s);
    image.fill(Qt::transparent);
    if (!content_)
        return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-g.topLeft());
    content_->paintContent(painter, g);
    return image;
}

} // namespace orvenda
