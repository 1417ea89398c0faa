// Blurred and tinted copies of an image: the three box passes worked by hand on a step,
// the saturation matrix, the mask, the tint, the presets' settings and the three refusals.
#include "drawing/ImageEffects.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace orvenda {
namespace {

// Opaque black left of x = 5, white from there; every row alike.
QImage step(int width = 14, int height = 6)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, x < 5 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return image;
}

QImage filled(QRgb colour, int width = 12, int height = 8)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

// The warnings logged while it lives.
class LoggedWarnings {
public:
    LoggedWarnings() { previous_ = qInstallMessageHandler(&LoggedWarnings::record); }
    ~LoggedWarnings() { qInstallMessageHandler(previous_); }
    static QStringList& lines()
    {
        static QStringList all;
        return all;
    }

private:
    static void record(QtMsgType, const QMessageLogContext&, const QString& message) { lines() << message; }
    QtMessageHandler previous_;
};

TEST(ImageEffects, ThreeBoxPassesBlurAStep)
{
    // Radius 1: 1 x 3 x sqrt(2 pi) / 4 + 0.5 floors to 2, raised to the odd 3.
    EXPECT_EQ(ImageEffects::boxSize(1), 3);
    EXPECT_EQ(ImageEffects::boxSize(10), 19);
    EXPECT_EQ(ImageEffects::boxSize(2), 5);
    const auto blurred = ImageEffects::applyBlurWithRadius(step(), 1, QColor(), 1, nullptr);
    ASSERT_TRUE(blurred);
    ASSERT_EQ(blurred->size(), QSize(14, 6));
    // By hand: 0 0 85 170 255 after one pass, then 28 85 170 227, then these.
    const int expected[] = {0, 0, 9, 38, 94, 161, 217, 246, 255, 255};
    for (int y : {0, 5})
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(blurred->pixel(x, y), qRgb(expected[x], expected[x], expected[x])) << x << "," << y;
    // A uniform picture stays as it is: the edges are extended, not darkened.
    EXPECT_EQ(ImageEffects::applyBlurWithRadius(filled(qRgb(40, 90, 200)), 5, QColor(), 1, nullptr)->pixel(0, 0),
              qRgb(40, 90, 200));
}

TEST(ImageEffects, TheSaturationMatrixTurnsColoursOnlyUnderABlur)
{
    ImageEffects::Matrix m;
    ImageEffects::saturationMatrix(-1, m);
    EXPECT_EQ(m[2][2], -147) << "0.2126 - 0.7873, x 256, rounded";
    EXPECT_EQ(m[2][0], 109);
    EXPECT_EQ(m[3][3], 256);
    // Factor 0 makes greys of the luminance: red's 0.2126 is 54 / 256.
    const QImage red = filled(qRgb(255, 0, 0));
    EXPECT_EQ(ImageEffects::applyBlurWithRadius(red, 1, QColor(), 0, nullptr)->pixel(3, 3), qRgb(53, 53, 53));
    // Factor -1 turns red to its opposite across the grey: blue and green 255 x 109 / 256.
    EXPECT_EQ(ImageEffects::applyBlurWithRadius(red, 1, QColor(), -1, nullptr)->pixel(3, 3), qRgb(0, 108, 108));
    // Without a blur the changed colours are made but not drawn: the source comes back.
    EXPECT_EQ(ImageEffects::applyBlurWithRadius(red, 0, QColor(), -1, nullptr)->pixel(3, 3), qRgb(255, 0, 0));
}

TEST(ImageEffects, TheMaskLimitsTheBlurAndTheTintCoversAll)
{
    QImage mask(14, 6, QImage::Format_Grayscale8);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 14; ++x)
            mask.setPixel(x, y, x < 4 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const auto masked = ImageEffects::applyBlurWithRadius(step(), 1, QColor(), 1, &mask);
    ASSERT_TRUE(masked);
    EXPECT_EQ(masked->pixel(3, 2), qRgb(38, 38, 38)) << "blurred where the mask is white";
    EXPECT_EQ(masked->pixel(4, 2), qRgb(0, 0, 0)) << "the source where it is black";
    EXPECT_EQ(masked->pixel(5, 2), qRgb(255, 255, 255));

    // Black under the dark preset's grey 0.11 at alpha 0.73.
    const auto dark = ImageEffects::applyDarkEffect(filled(qRgb(0, 0, 0), 40, 40));
    ASSERT_TRUE(dark);
    EXPECT_NEAR(qRed(dark->pixel(20, 20)), 0.11 * 255 * 0.73, 1);
    const auto light = ImageEffects::applyLightEffect(filled(qRgb(0, 0, 0), 40, 40));
    EXPECT_NEAR(qRed(light->pixel(20, 20)), 255 * 0.3, 1);
    const auto extraLight = ImageEffects::applyExtraLightEffect(filled(qRgb(0, 0, 0), 40, 40));
    EXPECT_NEAR(qRed(extraLight->pixel(20, 20)), 0.97 * 255 * 0.82, 1);
}

TEST(ImageEffects, AnOpaqueRedTintIsRedAtSixTenthsOverABlurOfTenThatTurnsColours)
{
    QImage picture(400, 40, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 400; ++x)
            picture.setPixel(x, y, x < 200 ? qRgb(0, 0, 255) : qRgb(0, 200, 0));
    picture.setDevicePixelRatio(2);
    const auto tinted = ImageEffects::applyTintEffectWithColor(picture, QColor(255, 0, 0));
    ASSERT_TRUE(tinted);
    EXPECT_EQ(tinted->devicePixelRatio(), 2);
    const auto same = ImageEffects::applyBlurWithRadius(picture, 10, QColor::fromRgbF(1, 0, 0, 0.6f), -1, nullptr);
    EXPECT_EQ(*tinted, *same);
    EXPECT_NE(*tinted, *ImageEffects::applyBlurWithRadius(picture, 9, QColor::fromRgbF(1, 0, 0, 0.6f), -1, nullptr));
    EXPECT_NE(*tinted, *ImageEffects::applyBlurWithRadius(picture, 10, QColor::fromRgbF(1, 0, 0, 0.6f), 1, nullptr));
    EXPECT_NE(*tinted, *ImageEffects::applyBlurWithRadius(picture, 10, QColor::fromRgbF(1, 0, 0, 0.5f), -1, nullptr));
    // Far from the halves' edge blue stays uniform under the blur; factor -1 turns it to
    // (36, 36, 0) (255 x 37 / 256), and red at 0.6 goes over it.
    const QRgb p = tinted->pixel(2, 20);
    EXPECT_NEAR(qRed(p), 255 * 0.6 + 36 * 0.4, 1.5);
    EXPECT_NEAR(qGreen(p), 36 * 0.4, 1.5);
    EXPECT_EQ(qBlue(p), 0);
}

TEST(ImageEffects, TheThreeRefusals)
{
    LoggedWarnings logged;
    LoggedWarnings::lines().clear();
    // Half a point wide: one pixel at a scale of 2.
    QImage thin(1, 20, QImage::Format_ARGB32_Premultiplied);
    thin.fill(Qt::white);
    thin.setDevicePixelRatio(2);
    EXPECT_FALSE(ImageEffects::applyBlurWithRadius(thin, 10, QColor(), 1, nullptr));
    EXPECT_FALSE(ImageEffects::applyLightEffect(thin)) << "the presets pass it on";
    EXPECT_FALSE(ImageEffects::applyBlurWithRadius(QImage(), 10, QColor(), 1, nullptr));
    const QImage empty;
    EXPECT_FALSE(ImageEffects::applyBlurWithRadius(filled(qRgb(1, 2, 3)), 10, QColor(), 1, &empty));
    ASSERT_EQ(LoggedWarnings::lines().size(), 4);
    EXPECT_TRUE(LoggedWarnings::lines()[0].startsWith("*** error: invalid size: (0.50 x 10.00). Both dimensions must be >= 1: "))
        << LoggedWarnings::lines()[0].toStdString();
    EXPECT_TRUE(LoggedWarnings::lines()[2].startsWith("*** error: image must be backed by a CGImage: "));
    EXPECT_TRUE(LoggedWarnings::lines()[3].startsWith("*** error: maskImage must be backed by a CGImage: "));
}

} // namespace
} // namespace orvenda
