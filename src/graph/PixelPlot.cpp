#include "graph/PixelPlot.h"

#include "core/Calculator.h"

#include <QPainter>

#include <algorithm>

namespace orvenda {

PixelPlot::PixelPlot(Calculator& calc, QWidget* parent)
    : QWidget(parent), calc_(calc), bitmap_(Calculator::kPixelBytes, 0),
      image_(bitmap_.data(), kSide, kSide, kSide * 4, QImage::Format_RGBA8888_Premultiplied)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void PixelPlot::setNeedsDisplay()
{
    saveImageData();
    update();
}

void PixelPlot::saveImageData()
{
    if (calc_.pixelsVisible && calc_.pixelBits.size() == bitmap_.size())
        std::copy(calc_.pixelBits.begin(), calc_.pixelBits.end(), bitmap_.begin());
}

void PixelPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(QRectF(0, 0, 2 * kSide, 2 * kSide), image_);
}

} // namespace orvenda
