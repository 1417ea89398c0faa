#pragma once

#include "drawing/GraphicsContext.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <functional>
#include <memory>

namespace orvenda::test {

// A transparent picture of the size drawn into through a graphics context, 1 pixel a
// point unless the painter is scaled.
inline QImage picture(int width, int height, const std::function<void(GraphicsContext&)>& draw, bool antialias = false)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, antialias);
    GraphicsContext context(painter);
    draw(context);
    return image;
}

// The colour at a pixel, alpha unmultiplied.
inline QColor at(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

inline bool near(const QColor& c, int r, int g, int b, int slack = 3)
{
    return std::abs(c.red() - r) <= slack && std::abs(c.green() - g) <= slack && std::abs(c.blue() - b) <= slack;
}

// Pixels inside the rectangle with any ink.
inline int inked(const QImage& image, QRect area = QRect())
{
    if (area.isNull())
        area = image.rect();
    area &= image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return n;
}

// The rows and columns holding ink above the alpha.
inline QRect inkBounds(const QImage& image, int alpha = 0)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > alpha)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

} // namespace orvenda::test
