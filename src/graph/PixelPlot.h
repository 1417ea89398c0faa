#pragma once

#include <QImage>
#include <QWidget>

#include <vector>

namespace orvenda {

class Calculator;

// The transparent layer over the graph that shows the calculator's 284 × 284 pixel screen
// (Pxl-On( and friends), each pixel 2 × 2 points whatever the view's size. It keeps its
// own copy of the pixels, refreshed when it is asked to redisplay while the calculator
// has pixels to show.
class PixelPlot : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSide = 284;

    explicit PixelPlot(Calculator& calc, QWidget* parent = nullptr);

    // Takes a fresh copy of the pixels, then repaints.
    void setNeedsDisplay();
    void saveImageData();
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Calculator& calc_;
    std::vector<unsigned char> bitmap_;
    // Over bitmap_: r, g, b, alpha per pixel.
    QImage image_;
};

} // namespace orvenda
