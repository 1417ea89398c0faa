#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QWidget>

namespace orvenda {

// The dark frame around the display and the keyboard: one rounded rectangle around both
// when they are (nearly) as wide as each other, else an outline that steps between the two
// widths. The rectangles are in this view's coordinates. Takes no mouse input.
class FrameView : public QWidget {
public:
    explicit FrameView(QWidget* parent);

    void setRects(QRectF display, QRectF keyboard);
    // Whether the widths differ enough for the stepped outline.
    bool stepped() const;
    // The outline of the display above the keyboard, each grown by 13 left and right and
    // 12 up and down, pulled in by offset, with every corner rounded.
    QPainterPath pathWithOffset(QSizeF offset, double cornerRadius) const;
    // The path the frame strokes.
    QPainterPath framePath() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF display_;
    QRectF keyboard_;
};

} // namespace orvenda
