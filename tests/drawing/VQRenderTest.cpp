// The drawing helper: half-grid snapping, per-corner rounded rectangles, three-stop
// gradients, attribute bits that leave no clip behind, shadows, lines and offscreen images.

#include "DrawingTestSupport.h"

#include "drawing/MainScreen.h"
#include "drawing/VQRender.h"

#include <gtest/gtest.h>

#include <limits>

namespace orvenda::test {
namespace {

TEST(VQRender, HalfGridPutsOneUnitLinesOnPixelCentres)
{
    EXPECT_EQ(VQRender::halfGrid(3.0), 3.5);
    EXPECT_EQ(VQRender::halfGrid(3.2), 3.5);
    EXPECT_EQ(VQRender::halfGrid(3.7), 3.5);
    EXPECT_EQ(VQRender::halfGrid(-0.2), -0.5);
    // Ties go to the even whole number, in single precision.
    EXPECT_EQ(VQRender::halfGrid(2.5), 2.5);
    EXPECT_EQ(VQRender::halfGrid(3.5), 3.5);
}

TEST(VQRender, ChannelsAreDividedInSinglePrecision)
{
    auto r = std::make_unique<VQRender>();
    r->RGBFillR(51, 102, 255, 0.25);
    EXPECT_EQ(r->fillColor().r, double(51.0f / 255.0f));
    EXPECT_EQ(r->fillColor().b, 1.0);
    EXPECT_EQ(r->fillColor().a, 0.25);
    r->RGBGradientR(0, 0, 255, 1, 0.3);
    EXPECT_EQ(r->gradientPercent(), 0.3);
}

TEST(VQRender, SquareAndRoundedCorners)
{
    const QImage square = picture(40, 40, [](GraphicsContext& c) {
        auto r = VQRender::vqRender(c);
        r->RGBFillR(255, 0, 0, 1);
        r->DrawRRect(QRectF(10, 10, 20, 20), 0, 0, 0, 0, VQRender::kFill);
    });
    EXPECT_EQ(inked(square), 400);
    EXPECT_TRUE(near(at(square, 10, 10), 255, 0, 0));
    EXPECT_TRUE(near(at(square, 29, 29), 255, 0, 0));
    EXPECT_EQ(qAlpha(square.pixel(9, 10)), 0);

    // Top corners of radius 3 rounded, bottom ones square.
    const QImage rounded = picture(40, 40, [](GraphicsContext& c) {
        auto r = VQRender::vqRender(c);
        r->RGBFillR(255, 0, 0, 1);
        r->DrawRRect(QRectF(10, 10, 20, 20), 3, 3, 0, 0, VQRender::kFill);
    });
    EXPECT_EQ(qAlpha(rounded.pixel(10, 10)), 0);
    EXPECT_EQ(qAlpha(rounded.pixel(29, 10)), 0);
    EXPECT_GT(qAlpha(rounded.pixel(10, 29)), 200);
    EXPECT_GT(qAlpha(rounded.pixel(29, 29)), 200);
    EXPECT_GT(qAlpha(rounded.pixel(20, 10)), 200);
    EXPECT_LT(inked(rounded), 400);
}

TEST(VQRender, VerticalGradientHasThreeStopsAndStaysInsideThePath)
{
    const QImage image = picture(40, 120, [](GraphicsContext& c) {
        auto r = VQRender::vqRender(c);
        r->RGBFillR(0, 0, 255, 1);
        r->RGBGradientR(255, 0, 0, 1, 0.5);
        r->DrawRect(QRectF(10, 10, 20, 101), VQRender::kVerticalGradient);
    });
    EXPECT_TRUE(near(at(image, 20, 10), 253, 0, 2, 6));    // the gradient colour on top
    EXPECT_TRUE(near(at(image, 20, 60), 128, 0, 128, 6));  // their mean half way
    EXPECT_TRUE(near(at(image, 20, 110), 2, 0, 253, 6));   // the fill colour at the bottom
    EXPECT_EQ(inked(image), 20 * 101);
    EXPECT_EQ(qAlpha(image.pixel(5, 60)), 0);
}

TEST(VQRender, HorizontalGradientRunsLeftToRight)
{
    const QImage image = picture(120, 20, [](GraphicsContext& c) {
        auto r = VQRender::vqRender(c);
        r->RGBFillR(0, 0, 255, 1);
        r->RGBGradientR(255, 0, 0, 1, 0.25);
        r->DrawRect(QRectF(10, 0, 101, 20), VQRender::kHorizontalGradient);
    });
    EXPECT_TRUE(near(at(image, 10, 10), 253, 0, 2, 6));
    EXPECT_TRUE(near(at(image, 35, 10), 128, 0, 128, 8));
    EXPECT_TRUE(near(at(image, 110, 10), 2, 0, 253, 6));
}

TEST(VQRender, ThreeStopGradientPutsTheMeanAtThePercent)
{
    VQRender r;
    r.setGradient({0, 0, 1, 1}, {1, 0, 0, 0.5}, 0.3);
    ASSERT_EQ(r.gradient().size(), 3);
    EXPECT_EQ(r.gradient()[0].first, 0.0);
    EXPECT_EQ(r.gradient()[0].second, QColor::fromRgbF(1, 0, 0, 0.5f));
    EXPECT_EQ(r.gradient()[1].first, 0.3);
    EXPECT_NEAR(r.gradient()[1].second.redF(), 0.5, 0.01);
    EXPECT_NEAR(r.gradient()[1].second.alphaF(), 0.75, 0.01);
    EXPECT_EQ(r.gradient()[2].second, QColor::fromRgbF(0, 0, 1, 1));
}

TEST(VQRender, InsetOutlineWithShadowStaysInsideAndLeavesNoClip)
{
    const QImage image = picture(60, 60, [](GraphicsContext& c) {
        auto r = VQRender::vqRender(c);
        r->RGBStrokeR(0, 0, 0, 1, 4);
        r->RGBShadowR(255, 0, 0, 1, QSizeF(3, 3), 2);
        r->DrawRect(QRectF(10, 10, 30, 30), VQRender::kStroke | VQRender::kClipToo);
        // Drawn after the call: the clip is gone, so this lands outside the rectangle.
        r->RGBShadowR(0, 0, 0, 0, QSizeF(0, 0), 0);
        r->RGBFillR(0, 255, 0, 1);
        r->DrawRect(QRectF(50, 50, 5, 5), VQRender::kFill);
    });
    EXPECT_TRUE(near(at(image, 52, 52), 0, 255, 0));
    // The inner half of the outline (2 wide) and the shadow inside, nothing outside.
    EXPECT_GT(qAlpha(image.pixel(11, 20)), 200);
    EXPECT_EQ(qAlpha(image.pixel(8, 20)), 0);
    EXPECT_EQ(qAlpha(image.pixel(42, 20)), 0);
    EXPECT_EQ(inked(image, QRect(0, 0, 10, 50)), 0);
    // The red shadow falls inside, down and right of the top-left inner edge.
    const QColor shadow = at(image, 14, 20);
    EXPECT_GT(shadow.red(), 100);
    EXPECT_LT(shadow.green(), 60);
}

TEST(VQRender, BlurZeroRemovesTheShadow)
{
    const auto draw = [](bool off) {
        return picture(40, 40, [off](GraphicsContext& c) {
            auto r = VQRender::vqRender(c);
            r->RGBShadowR(0, 0, 0, 1, QSizeF(5, 5), 3);
            if (off)
                r->RGBShadowR(0, 0, 0, 1, QSizeF(5, 5), 0);
            r->RGBFillR(255, 0, 0, 1);
            r->DrawRect(QRectF(5, 5, 20, 20), VQRender::kFill);
        });
    };
    const QImage shaded = draw(false), plain = draw(true);
    EXPECT_GT(qAlpha(shaded.pixel(28, 28)), 40);
    EXPECT_EQ(qAlpha(plain.pixel(28, 28)), 0);
    EXPECT_EQ(inked(plain), 400);
}

TEST(VQRender, ALineWithANaNOrInfiniteCoordinateDrawsNothing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const QImage image = picture(20, 20, [&](GraphicsContext& c) {
        auto r = VQRender::vqRender(c);
        r->RGBStrokeR(0, 0, 0, 1, 2);
        r->DrawLineP1(QPointF(nan, 2), QPointF(10, 10));
        r->DrawLineP1(QPointF(2, 2), QPointF(10, inf));
    });
    EXPECT_EQ(inked(image), 0);
    const QImage line = picture(20, 20, [&](GraphicsContext& c) {
        auto r = VQRender::vqRender(c);
        r->RGBStrokeR(0, 0, 0, 1, 1);
        r->DrawLineP1(QPointF(2, VQRender::halfGrid(5)), QPointF(18, VQRender::halfGrid(5)));
    });
    EXPECT_EQ(inked(line), 16);
}

TEST(VQRender, ClippedRoundedRectangleNeedsTheCallersRestore)
{
    const QImage image = picture(40, 40, [](GraphicsContext& c) {
        auto r = VQRender::vqRender(c);
        c.saveGState();
        r->ClipRRect(QRectF(10, 10, 10, 10), 0, 0, 0, 0);
        r->RGBFillR(0, 0, 255, 1);
        r->DrawRect(QRectF(0, 0, 40, 40), VQRender::kFill);
        c.restoreGState();
    });
    EXPECT_EQ(inked(image), 100);
}

TEST(VQRender, RendersIntoAnImageAtTheScreensScale)
{
    MainScreen::setScale(2);
    auto r = VQRender::vqRenderInBounds(QRectF(10, 20, 30, 40));
    r->RGBFillR(0, 255, 0, 1);
    r->DrawRect(QRectF(10, 20, 5, 5), VQRender::kFill);
    const QImage image = r->getImage();
    MainScreen::setScale(0);
    EXPECT_EQ(image.size(), QSize(60, 80));
    EXPECT_EQ(image.deviceIndependentSize(), QSizeF(30, 40));
    // The rectangle's origin lands on the image's, one point two pixels wide.
    EXPECT_TRUE(near(at(image, 0, 0), 0, 255, 0));
    EXPECT_TRUE(near(at(image, 9, 9), 0, 255, 0));
    EXPECT_EQ(qAlpha(image.pixel(10, 10)), 0);
    // The image is closed: nothing more is drawn, and no second image comes.
    r->DrawRect(QRectF(10, 20, 30, 40), VQRender::kFill);
    EXPECT_TRUE(r->getImage().isNull());
}

TEST(VQRender, AnImageTooLargeOrEmptyIsRefused)
{
    for (const QRectF& bounds : {QRectF(0, 0, 1e9, 1e9), QRectF(0, 0, 0, 10), QRectF(0, 0, qInf(), 5)}) {
        auto r = VQRender::vqRenderInBounds(bounds);
        r->RGBFillR(0, 0, 0, 1);
        r->DrawRect(QRectF(0, 0, 10, 10), VQRender::kFill);
        EXPECT_TRUE(r->getImage().isNull());
    }
}

} // namespace
} // namespace orvenda::test
