#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QWidget>

namespace orvenda {

class YEqView;

// The scroller of the equation rows: the rows' view always covers the visible area and
// draws the content from the scroll offset. A press is a touch on the rows at once (and
// widens the content to a wide row, so it scrolls sideways); a drag scrolls, locked to one
// direction while the touched row is wider than the view; the wheel scrolls. Main thread.
class YEqScrollView : public QWidget {
public:
    explicit YEqScrollView(QWidget* parent = nullptr);

    // The rows' view, made a child covering this one.
    void setContentView(YEqView* view);
    YEqView* contentView() const { return view_; }
    QSizeF contentSize() const { return contentSize_; }
    void setContentSize(QSizeF size);
    QPointF contentOffset() const { return offset_; }
    // Kept within the content.
    void setContentOffset(QPointF offset);
    // Scrolls the least that shows the rectangle (of the content).
    void scrollRectToVisible(const QRectF& rect);
    // Where a rectangle of the content is drawn now, in that widget's coordinates.
    QRect shownRect(const QRectF& rect, const QWidget& in) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    YEqView* view_ = nullptr;
    QSizeF contentSize_;
    QPointF offset_;
    // The drag under way.
    bool dragging_ = false;
    bool lockDirection_ = false;
    // 0 not yet known, 1 sideways, 2 up and down.
    int direction_ = 0;
    QPointF pressAt_;
    QPointF pressOffset_;
};

} // namespace orvenda
