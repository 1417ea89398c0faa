#pragma once

#include <QImage>
#include <QSlider>

namespace orvenda {

// A horizontal slider drawn as a plain groove with a picture for its thumb (a lettered
// disc), one picture while it rests and one while it is held. The drawn disc is what a
// pointer grabs, wherever on it: the style's own handle is smaller and elsewhere. Main
// thread only.
class ThumbSlider : public QSlider {
public:
    explicit ThumbSlider(QWidget* parent = nullptr);

    void setThumb(const QImage& normal, const QImage& held);
    // Where the thumb is drawn for the value now.
    QRectF thumbRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QSizeF thumbSize() const;
    // The value whose thumb has its left edge at x.
    int valueAt(double x) const;

    QImage normal_;
    QImage held_;
    // Where on the thumb the pointer took it, from its left edge.
    double grabbedAt_ = 0;
};

} // namespace orvenda
