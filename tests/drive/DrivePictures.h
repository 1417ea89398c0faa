#pragma once

// Pictures orvenda-drive took, compared.

#include <QImage>
#include <QPoint>
#include <QString>

#include <filesystem>

namespace orvenda::test {

// Pixels that differ between two pictures of the same size, every second one looked at.
inline int changed(const std::filesystem::path& a, const std::filesystem::path& b)
{
    const QImage first(QString::fromStdString(a.string())), second(QString::fromStdString(b.string()));
    if (first.size() != second.size() || first.isNull())
        return -1;
    int n = 0;
    for (int y = 0; y < first.height(); y += 2)
        for (int x = 0; x < first.width(); x += 2)
            n += first.pixel(x, y) != second.pixel(x, y);
    return n;
}

// A pixel of the plots' green (the colour Y₁, Plot1( and ShadeNorm( take by default)
// within a few pixels of a point; shaded: the green of a fill at alpha 0.5 over black.
inline bool greenNear(const QImage& image, QPoint at, bool shaded = false)
{
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
            if (!image.valid(p))
                continue;
            const QRgb c = image.pixel(p);
            const bool green = shaded ? qGreen(c) > 90 && qGreen(c) < 170 : qGreen(c) > 180;
            if (green && qRed(c) < 100 && qBlue(c) < 100)
                return true;
        }
    return false;
}

} // namespace orvenda::test
