#include "app/ImageButton.h"

#include "drawing/VImageDraw.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace orvenda {

ImageButton::ImageButton(QWidget* parent) : QPushButton(parent) {}

ImageButton::ImageButton(const QString& title, QWidget* parent) : QPushButton(title, parent) {}

void ImageButton::setBackgroundImage(const QImage& image)
{
    background_ = image;
    imageName_.clear();
    update();
}

void ImageButton::setBackgroundImageNamed(const std::string& name)
{
    if (name == imageName_)
        return;
    background_ = VImageDraw::vImageDraw().getImage(name, 1);
    imageName_ = name;
    update();
}

void ImageButton::setTitleColor(const QColor& color)
{
    if (color == titleColor_)
        return;
    titleColor_ = color;
    update();
}

void ImageButton::setTitleFont(const char* name, double size, double minimumScale)
{
    fontName_ = name;
    fontSize_ = size;
    minimumScale_ = std::clamp(minimumScale, 0.1, 1.0);
    update();
}

void ImageButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const QRectF box = rect();
    if (!background_.isNull())
        painter.drawImage(box, background_);
    if (isDown()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 70));
        painter.drawRoundedRect(box.adjusted(2, 2, -2, -2), 5, 5);
    }
    const QString title = text();
    if (title.isEmpty())
        return;
    const double room = box.width() - 6;
    QFont font = FontMap::shared().font(fontName_, fontSize_);
    const double wide = QFontMetricsF(font).horizontalAdvance(title);
    if (wide > room && wide > 0)
        font = FontMap::shared().font(fontName_, fontSize_ * std::max(minimumScale_, room / wide));
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(titleColor_);
    painter.drawText(box, Qt::AlignCenter, metrics.elidedText(title, Qt::ElideRight, room));
}

} // namespace orvenda
