#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>

namespace orvenda {

class DrawnView;

// The scroll view of the drawn screens (history, lists, matrices, tables, programs): it
// keeps its content view exactly the size of the visible area, moving the view's origin to
// the scroll offset and redrawing it on every scroll, so drawn views paint in content
// coordinates. Scrolls kinetically (drag and coast); can snap horizontal scrolling to whole
// columns and render its content into an image. Main thread.
class VQTableScrollView : public QAbstractScrollArea {
public:
    explicit VQTableScrollView(QWidget* parent = nullptr);
    // kinetic false: no drag scrolling of its own (a subclass handles drags).
    VQTableScrollView(bool kinetic, QWidget* parent);
    ~VQTableScrollView() override;

    // The nearest column edge to x; x itself when the column width is 0 or less (or not a
    // number), where there are no columns to snap to.
    static double snapToColumn(double x, double colWidth);

    // The view it scrolls, made a child of the visible area; not owned otherwise.
    DrawnView* contentView() const { return content_; }
    void setContentView(DrawnView* view);
    bool snapScroll() const { return snapScroll_; }
    void setSnapScroll(bool snap);
    double colWidth() const { return colWidth_; }
    void setColWidth(double width);
    // Rows under a pinned header: vertical scrolling stops only at origin + k·height, so
    // the first row under the header shows whole. A height of 0 or less stops anywhere.
    void setRowSnap(double origin, double height);

    QSizeF contentSize() const { return contentSize_; }
    void setContentSize(QSizeF size);
    QPointF contentOffset() const;
    // Clamped to the scrollable range.
    void setContentOffset(QPointF offset);
    // Scrolls as little as needed to show the rectangle (content coordinates), to a row
    // edge when rows snap.
    void scrollRectToVisible(const QRectF& rect);
    // The visible area's size.
    QSizeF visibleSize() const;
    // Where a rectangle of the content is drawn now, in that widget's coordinates.
    QRect shownRect(const QRectF& rect, const QWidget& in) const;
    // The cell of a rectangle given to scrollRectToVisible: its lower right cellSize, the
    // rest being the pinned header and column it keeps clear of.
    static QRectF cellOf(const QRectF& rect, QSizeF cellSize);

    // The content within g (content coordinates), drawn at the screen's scale.
    QImage getImage(const QRectF& g) const;

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // After every scroll, once the content view follows the offset.
    virtual void didScroll() {}
    // The drag or the coasting that followed it ended.
    void scrollingEnded();
    // A tap (a click that did not drag) at a point of the content; the content view's by
    // default.
    virtual void tapped(QPointF contentPoint);
    // Mouse presses, drags and releases on the visible area (the content view lets them
    // through); taps are recognised here.
    bool viewportEvent(QEvent* event) override;

private:
    void updateRanges();
    void followOffset();

    DrawnView* content_ = nullptr;
    bool snapScroll_ = false;
    double colWidth_ = 0;
    double rowOrigin_ = 0;
    double rowHeight_ = 0;
    QSizeF contentSize_;
    bool kinetic_;
    QPointF pressedAt_;
    bool pressed_ = false;
};

} // namespace orvenda
