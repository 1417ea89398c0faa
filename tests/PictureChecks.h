#pragma once

// What a person sees in a picture of a widget: whether a text reads against what lies
// behind it.

#include <QColor>
#include <QHash>
#include <QImage>
#include <QRect>

#include <algorithm>
#include <cmath>

namespace orvenda::test {

// The relative luminance of a colour, 0 (black) to 1 (white).
inline double luminance(const QColor& c)
{
    const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// The contrast ratio of two colours, 1 (the same) to 21 (black on white).
inline double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour most pixels of the area have: the background of a text.
inline QColor backgroundIn(const QImage& image, QRect area)
{
    QHash<QRgb, int> counts;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y) | 0xFF000000u];
    QRgb most = 0;
    int best = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > best) {
            best = it.value();
            most = it.key();
        }
    return QColor::fromRgb(most);
}

// How well the text drawn in the area stands out: the contrast of its strongest pixel
// against the background. 1 when nothing is drawn there.
inline double textContrast(const QImage& image, QRect area)
{
    const QColor back = backgroundIn(image, area);
    double best = 1;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            best = std::max(best, contrastRatio(QColor::fromRgb(image.pixel(x, y)), back));
    return best;
}

// How a picture compares with an image drawn over the whole of it: the image's opaque
// pixels, and how many of them the picture shows in another colour.
struct ImageMatch {
    int opaque = 0;
    int differing = 0;
};
inline ImageMatch matchImage(const QImage& shown, const QImage& image, int tolerance = 24)
{
    ImageMatch out;
    if (shown.isNull() || image.isNull())
        return out;
    const QImage expected = image.scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                .convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb e = expected.pixel(x, y), g = shown.pixel(x, y);
            if (qAlpha(e) < 255)
                continue;
            ++out.opaque;
            out.differing += std::abs(qRed(e) - qRed(g)) > tolerance || std::abs(qGreen(e) - qGreen(g)) > tolerance
                || std::abs(qBlue(e) - qBlue(g)) > tolerance;
        }
    return out;
}

} // namespace orvenda::test
