#include "drawing/ImageEffects.h"

#include <QDebug>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace orvenda {

namespace {

// Below this a radius or a change of saturation does nothing (single-precision epsilon).
constexpr double kEpsilon = 1.0 / (1 << 23);

QString describe(const QImage& image)
{
    return QStringLiteral("<QImage %1 x %2 @%3x>").arg(image.width()).arg(image.height()).arg(image.devicePixelRatio());
}

// One n x n box average from `in` to `out` (both premultiplied ARGB of one size), the edge
// pixels repeated beyond the border; each channel alone. `sums` is scratch.
void boxConvolve(const QImage& in, QImage& out, int n, std::vector<std::uint32_t>& sums)
{
    const int w = in.width(), h = in.height(), r = n / 2;
    const std::uint32_t area = static_cast<std::uint32_t>(n) * static_cast<std::uint32_t>(n);
    sums.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    const auto channel = [](QRgb p, int c) -> std::uint32_t {
        return c == 0 ? qBlue(p) : c == 1 ? qGreen(p) : c == 2 ? qRed(p) : qAlpha(p);
    };
    // Across each row.
    for (int y = 0; y < h; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(in.constScanLine(y));
        std::uint32_t* rowSums = sums.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 4;
        for (int c = 0; c < 4; ++c) {
            std::uint32_t s = 0;
            for (int k = -r; k <= r; ++k)
                s += channel(row[std::clamp(k, 0, w - 1)], c);
            for (int x = 0; x < w; ++x) {
                rowSums[x * 4 + c] = s;
                s += channel(row[std::min(x + r + 1, w - 1)], c);
                s -= channel(row[std::max(x - r, 0)], c);
            }
        }
    }
    // Down each column, divided once.
    for (int x = 0; x < w; ++x) {
        const auto at = [&](int y, int c) { return sums[(static_cast<std::size_t>(std::clamp(y, 0, h - 1)) * w + x) * 4 + c]; };
        std::uint32_t s[4] = {0, 0, 0, 0};
        for (int c = 0; c < 4; ++c)
            for (int k = -r; k <= r; ++k)
                s[c] += at(k, c);
        for (int y = 0; y < h; ++y) {
            std::uint32_t v[4];
            for (int c = 0; c < 4; ++c) {
                v[c] = (s[c] + area / 2) / area;
                s[c] += at(y + r + 1, c);
                s[c] -= at(y - r, c);
            }
            reinterpret_cast<QRgb*>(out.scanLine(y))[x] = qRgba(static_cast<int>(v[2]), static_cast<int>(v[1]),
                                                                static_cast<int>(v[0]), static_cast<int>(v[3]));
        }
    }
}

void applyMatrix(const QImage& in, QImage& out, const ImageEffects::Matrix& m)
{
    for (int y = 0; y < in.height(); ++y) {
        const QRgb* from = reinterpret_cast<const QRgb*>(in.constScanLine(y));
        QRgb* to = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < in.width(); ++x) {
            const int p[4] = {qBlue(from[x]), qGreen(from[x]), qRed(from[x]), qAlpha(from[x])};
            int v[4];
            for (int j = 0; j < 4; ++j) {
                int s = 0;
                for (int i = 0; i < 4; ++i)
                    s += p[i] * m[i][j];
                v[j] = std::clamp(s / 256, 0, 255);
            }
            // A premultiplied colour cannot pass its alpha.
            for (int j = 0; j < 3; ++j)
                v[j] = std::min(v[j], v[3]);
            to[x] = qRgba(v[2], v[1], v[0], v[3]);
        }
    }
}

} // namespace

int ImageEffects::boxSize(double radiusPixels)
{
    int n = static_cast<int>(std::floor(radiusPixels * 3.0 * std::sqrt(2 * std::numbers::pi) / 4 + 0.5));
    if (n % 2 == 0)
        ++n;
    return n;
}

void ImageEffects::saturationMatrix(double s, Matrix& matrix)
{
    const double f[4][4] = {
        {0.0722 + 0.9278 * s, 0.0722 - 0.0722 * s, 0.0722 - 0.0722 * s, 0},
        {0.7152 - 0.7152 * s, 0.7152 + 0.2848 * s, 0.7152 - 0.7152 * s, 0},
        {0.2126 - 0.2126 * s, 0.2126 - 0.2126 * s, 0.2126 + 0.7873 * s, 0},
        {0, 0, 0, 1},
    };
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            matrix[i][j] = static_cast<int>(std::lround(f[i][j] * 256));
}

std::optional<QImage> ImageEffects::applyLightEffect(const QImage& image)
{
    return applyBlurWithRadius(image, 30, QColor::fromRgbF(1, 1, 1, 0.3f), 1.8, nullptr);
}

std::optional<QImage> ImageEffects::applyExtraLightEffect(const QImage& image)
{
    return applyBlurWithRadius(image, 20, QColor::fromRgbF(0.97f, 0.97f, 0.97f, 0.82f), 1.8, nullptr);
}

std::optional<QImage> ImageEffects::applyDarkEffect(const QImage& image)
{
    return applyBlurWithRadius(image, 20, QColor::fromRgbF(0.11f, 0.11f, 0.11f, 0.73f), 1.8, nullptr);
}

std::optional<QImage> ImageEffects::applyTintEffectWithColor(const QImage& image, const QColor& tint)
{
    QColor effectColor = tint;
    // A colour whose components cannot be read is used as it is.
    if (tint.isValid())
        effectColor.setAlphaF(0.6f);
    return applyBlurWithRadius(image, 10, effectColor, -1.0, nullptr);
}

std::optional<QImage> ImageEffects::applyBlurWithRadius(const QImage& image, double radius, const QColor& tint,
                                                        double saturationDeltaFactor, const QImage* mask)
{
    if (image.isNull()) {
        qWarning().noquote() << QStringLiteral("*** error: image must be backed by a CGImage: %1").arg(describe(image));
        return std::nullopt;
    }
    const QSizeF points = image.deviceIndependentSize();
    if (points.width() < 1 || points.height() < 1) {
        qWarning().noquote() << QString::asprintf("*** error: invalid size: (%.2f x %.2f). Both dimensions must be >= 1: ",
                                                  points.width(), points.height())
                                    + describe(image);
        return std::nullopt;
    }
    if (mask && mask->isNull()) {
        qWarning().noquote() << QStringLiteral("*** error: maskImage must be backed by a CGImage: %1").arg(describe(*mask));
        return std::nullopt;
    }
    const double scale = image.devicePixelRatio();
    const bool blurred = radius > kEpsilon;
    const bool saturated = std::fabs(saturationDeltaFactor - 1.0) > kEpsilon;

    QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    source.setDevicePixelRatio(1);
    QImage effect;
    if (blurred || saturated) {
        QImage input = source;
        QImage output(source.size(), QImage::Format_ARGB32_Premultiplied);
        bool inOutput = false;
        if (blurred) {
            const int n = boxSize(radius * scale);
            std::vector<std::uint32_t> sums;
            boxConvolve(input, output, n, sums);
            boxConvolve(output, input, n, sums);
            boxConvolve(input, output, n, sums);
            inOutput = true;
        }
        if (saturated) {
            Matrix m;
            saturationMatrix(saturationDeltaFactor, m);
            if (inOutput)
                applyMatrix(output, input, m);
            else
                applyMatrix(input, output, m);
            inOutput = !inOutput;
        }
        effect = inOutput ? output : input;
    }

    QImage result(source.size(), QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    {
        QPainter painter(&result);
        painter.drawImage(0, 0, source);
        if (blurred) {
            if (mask) {
                // Where the mask is white the blur shows, where black the source stays.
                QImage coverage = mask->convertToFormat(QImage::Format_ARGB32).scaled(source.size());
                for (int y = 0; y < coverage.height(); ++y) {
                    QRgb* row = reinterpret_cast<QRgb*>(coverage.scanLine(y));
                    for (int x = 0; x < coverage.width(); ++x) {
                        const int a = qGray(row[x]) * qAlpha(row[x]) / 255;
                        row[x] = qRgba(0, 0, 0, a);
                    }
                }
                QPainter clip(&effect);
                clip.setCompositionMode(QPainter::CompositionMode_DestinationIn);
                clip.drawImage(0, 0, coverage);
            }
            painter.drawImage(0, 0, effect);
        }
        if (tint.isValid())
            painter.fillRect(result.rect(), tint);
    }
    result.setDevicePixelRatio(scale);
    return result;
}

} // namespace orvenda
