#pragma once

#include <QColor>
#include <QImage>

#include <optional>

namespace orvenda {

// Blurred and tinted copies of an image, as frosted panels are made: a blur of three box
// passes, a change of saturation, the source under the blur (through an optional mask) and
// a tint over all. The image's device pixel ratio is the screen's scale. Each returns a new
// image, or nothing when the input is refused (logged). Main thread or any: no state.
class ImageEffects {
public:
    static std::optional<QImage> applyLightEffect(const QImage& image);
    static std::optional<QImage> applyExtraLightEffect(const QImage& image);
    static std::optional<QImage> applyDarkEffect(const QImage& image);
    // The colour at alpha 0.6 over a blur of 10 that turns the colours grey.
    static std::optional<QImage> applyTintEffectWithColor(const QImage& image, const QColor& tint);
    // radius in points; an invalid tint is none; a saturation factor of 1 keeps the colours;
    // the mask's grey (times its alpha) is where the blur shows, null for everywhere.
    // Refused: an image without pixels, one smaller than 1 x 1 point, an empty mask.
    static std::optional<QImage> applyBlurWithRadius(const QImage& image, double radius, const QColor& tint,
                                                     double saturationDeltaFactor, const QImage* mask);

    // The box size of the blur for a radius in pixels: odd, about the radius x 1.88.
    static int boxSize(double radiusPixels);
    // The saturation matrix in 1/256ths, rows and columns in the order blue, green, red,
    // alpha (a row is the input channel, a column the output channel).
    using Matrix = int[4][4];
    static void saturationMatrix(double factor, Matrix& matrix);
};

} // namespace orvenda
