#pragma once

#include "core/VQColor.h"

#include <QImage>
#include <QSlider>

#include <array>

namespace orvenda {

// One slider of the colour picker, 0 to 255, drawn over its coloured track: a gradient
// between two colours, or a strip of every hue at a colour's saturation and value. The
// thumb is a light disc carrying the slider's letter. A touch or drag puts the thumb under
// the finger. Main thread.
class VQColorSlider : public QSlider {
public:
    static constexpr int kThumbSize = 22;

    explicit VQColorSlider(QWidget* parent = nullptr);

    // The track runs from left to right through their mean.
    void gradientLeft(const VQColor& left, const VQColor& right);
    // The track is every hue at the colour's saturation and value.
    void showHSV(const VQColor& color);
    bool showsHSV() const { return showHSV_; }
    // The letter on the thumb ("" for none).
    void setThumbLabel(const QString& label);
    const QString& thumbLabel() const { return label_; }

    // The thumb: a 22 × 22 disc of gray 0.8 with the label, gray 0.2 (0.5 highlighted)
    // over a white shadow.
    static QImage thumbImage(const QString& label, bool highlight, double scale);
    // The track's span in the view: half a thumb in from either end.
    QRectF trackRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void moveTo(double x);

    bool showHSV_ = false;
    VQColor left_;
    VQColor right_;
    VQColor hsv_;
    QString label_;
    // The normal and the highlighted thumb, made when first drawn.
    std::array<QImage, 2> thumbs_;
    bool pressed_ = false;
};

} // namespace orvenda
