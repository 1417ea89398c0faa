// The colour picker: its four modes, the hue wheel (geometry, conversion, the disc drawn
// once), the palette's cells and touches, and the overlay that hands each change on.

#include "WidgetEvents.h"
#include "input/SegmentedControl.h"
#include "input/VQColorPicker.h"
#include "input/VQColorSlider.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <tuple>
#include <vector>

namespace orvenda::test {
namespace {

using RGB = std::tuple<double, double, double>;

RGB rgb(const VQColor& c) { return {c.r(), c.g(), c.b()}; }

struct Reports : VQColorPicker::Delegate {
    void changeColor(const VQColor& color) override { got.push_back(color); }
    std::vector<VQColor> got;
};

class ColorPickerTest : public ::testing::Test {
protected:
    ColorPickerTest()
    {
        picker.setDelegate(&reports);
        picker.resize(390, 560);
        picker.show();
    }

    VQColorPicker picker;
    Reports reports;
};

TEST_F(ColorPickerTest, GrayModeTurnsTheColourIntoTheGrayOfItsValueAndReportsIt)
{
    picker.initColor(VQColor::colorR(1, 0, 0, 0.5));
    picker.selectMode(VQColorPicker::Gray);
    ASSERT_EQ(reports.got.size(), 1u);
    EXPECT_EQ(rgb(reports.got[0]), RGB(1, 1, 1));
    EXPECT_EQ(picker.color().a(), 0.5) << "alpha is kept";
    EXPECT_TRUE(picker.slider(0).isVisible());
    EXPECT_FALSE(picker.slider(1).isVisible());
    EXPECT_EQ(picker.slider(0).thumbLabel(), "%");
    // The one slider sets all three channels.
    picker.setColor(0, 51);
    EXPECT_EQ(rgb(picker.color()), RGB(0.2, 0.2, 0.2));
    EXPECT_EQ(reports.got.size(), 2u);
}

TEST_F(ColorPickerTest, SlidersSetChannelsByModeAndNothingInPaletteMode)
{
    picker.initColor(VQColor::colorR(0, 0, 0, 1));
    picker.setColor(0, 255);
    picker.setColor(2, 51);
    EXPECT_EQ(rgb(picker.color()), RGB(1, 0, 0.2));
    EXPECT_EQ(picker.slider(2).thumbLabel(), "b");
    picker.selectMode(VQColorPicker::HSB);
    EXPECT_EQ(picker.slider(1).value(), 255) << "saturation of a pure colour";
    EXPECT_TRUE(picker.slider(0).showsHSV()) << "the hue track is a strip of hues";
    picker.setColor(2, 0);
    EXPECT_EQ(rgb(picker.color()), RGB(0, 0, 0)) << "value 0 is black";
    const std::size_t before = reports.got.size();
    picker.selectMode(VQColorPicker::Palette);
    const VQColor kept = picker.color();
    picker.slider(0).setValue(200);
    picker.setColor(1, 17);
    EXPECT_EQ(rgb(picker.color()), rgb(kept));
    EXPECT_EQ(reports.got.size(), before) << "a slider in palette mode reports nothing";
    EXPECT_FALSE(picker.slider(0).isVisible());
    EXPECT_TRUE(picker.pallet().isVisible());
    EXPECT_FALSE(picker.wheel().isVisible());
}

TEST_F(ColorPickerTest, AMouseOnASliderAndTheModeControlWorkAsAFingerWould)
{
    picker.initColor(VQColor::colorR(0, 0, 0, 1));
    VQColorSlider& red = picker.slider(0);
    const QRectF track = red.trackRect();
    clickAt(picker, red.mapTo(&picker, QPointF(track.right(), red.height() / 2.0).toPoint()));
    EXPECT_NEAR(picker.color().r(), 1, 0.01);
    EXPECT_EQ(picker.color().g(), 0);
    picker.modeControl().click(VQColorPicker::Gray);
    EXPECT_EQ(picker.mode(), VQColorPicker::Gray);
    EXPECT_EQ(rgb(picker.color()), RGB(1, 1, 1));
}

TEST(ColorWheel, GeometryHueAndSaturation)
{
    VQColorWheel wheel;
    wheel.resize(200, 212);
    EXPECT_EQ(wheel.wheelRect(), QRectF(0, 6, 200, 200));
    const QPointF centre(100, 106);
    EXPECT_EQ(wheel.hsvFromPt(centre).s, 0);
    EXPECT_EQ(wheel.hsvFromPt(centre + QPointF(300, 40)).s, 1) << "outside the disc";
    const auto right = wheel.hsvFromPt(centre + QPointF(50, 0));
    EXPECT_EQ(right.h, 1.0);
    EXPECT_EQ(right.s, 0.5);
    EXPECT_NEAR(wheel.hsvFromPt(centre + QPointF(0, -50)).h, 0.25, 1e-12) << "up is a quarter turn";
    // Hue 1.0 is sector 0 again: red; a third of a turn is green.
    EXPECT_EQ(VQColorWheel::computeRGB(1.0, 1, 1), (std::array<double, 3>{1, 0, 0}));
    EXPECT_EQ(VQColorWheel::computeRGB(1.0 / 3, 1, 1), (std::array<double, 3>{0, 1, 0}));
    const QPointF back = wheel.ptForColor(VQColor::colorH(0.25, 0.5, 1, 1));
    EXPECT_NEAR(back.x(), 100, 1e-9);
    EXPECT_NEAR(back.y(), 56, 1e-9);
}

// Every sixth of the hue circle against Qt's own conversion: a fault in any one sector
// (cyan to blue, say) shows at many hues, saturations and values.
TEST(ColorWheel, EverySectorConvertsAsQtDoes)
{
    int checked = 0;
    for (int step = 0; step <= 720; ++step) {
        const double h = step / 720.0;
        for (double s : {0.0, 0.2, 0.5, 0.8, 1.0})
            for (double v : {0.0, 0.35, 0.7, 1.0}) {
                const auto rgb = VQColorWheel::computeRGB(h, s, v);
                // Qt takes hues below one turn; 1.0 is red again.
                const QColor expected = QColor::fromHsvF(static_cast<float>(std::fmod(h, 1.0)), static_cast<float>(s),
                                                         static_cast<float>(v));
                ASSERT_TRUE(expected.isValid());
                EXPECT_NEAR(rgb[0], expected.redF(), 1e-4) << h << " " << s << " " << v;
                EXPECT_NEAR(rgb[1], expected.greenF(), 1e-4) << h << " " << s << " " << v;
                EXPECT_NEAR(rgb[2], expected.blueF(), 1e-4) << h << " " << s << " " << v;
                ++checked;
            }
    }
    EXPECT_EQ(checked, 721 * 20);
    // The six corners: red, yellow, green, cyan, blue, magenta.
    const std::array<double, 3> corners[] = {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}, {1, 0, 1}};
    for (int k = 0; k < 6; ++k)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(VQColorWheel::computeRGB(k / 6.0, 1, 1)[c], corners[k][c], 1e-12) << k;
}

TEST(ColorWheel, ATouchSetsHueAndSaturationKeepingValueAndAlpha)
{
    struct Wheel : VQColorWheel::Delegate {
        void selectColor(const VQColor& c) override { colors.push_back(c); }
        void finalizeColor(VQColorWheel&) override { ++ended; }
        std::vector<VQColor> colors;
        int ended = 0;
    } delegate;
    VQColorWheel wheel;
    wheel.resize(200, 212);
    wheel.setDelegate(&delegate);
    wheel.doTouch({150, 106}, false);
    EXPECT_TRUE(delegate.colors.empty()) << "no colour, no change";
    wheel.setColor(VQColor::colorH(0.5, 1, 0.5, 0.25));
    wheel.doTouch({100, 56}, false);
    wheel.doTouch({200, 106}, true);
    ASSERT_EQ(delegate.colors.size(), 2u);
    EXPECT_NEAR(delegate.colors[0].h(), 0.25, 1e-9);
    EXPECT_NEAR(delegate.colors[0].s(), 0.5, 1e-9);
    EXPECT_NEAR(delegate.colors[0].v(), 0.5, 1e-9);
    EXPECT_EQ(delegate.colors[0].a(), 0.25);
    EXPECT_NEAR(delegate.colors[1].r(), 0.5, 1e-9);
    EXPECT_NEAR(delegate.colors[1].g(), 0, 1e-9);
    EXPECT_EQ(delegate.ended, 1);
}

TEST(ColorWheel, TheDiscIsDrawnOnceKeptInItsFileAndDarkensWithTheValue)
{
    QTemporaryDir folder;
    VQColorWheel::setImageFolder(folder.path() + "/images");
    const int drawn = VQColorWheel::imagesDrawn();
    VQColorWheel first;
    first.resize(160, 172);
    VQColorWheel second;
    second.resize(160, 172);
    const QImage image = first.getImage();
    EXPECT_EQ(second.getImage().cacheKey(), image.cacheKey()) << "one image shared";
    EXPECT_EQ(VQColorWheel::imagesDrawn(), drawn + 1);
    EXPECT_TRUE(QFile::exists(folder.path() + "/images/colorWheel"));
    // A new run reads the file instead of drawing.
    VQColorWheel::setImageFolder(folder.path() + "/images");
    EXPECT_EQ(first.getImage().size(), image.size());
    EXPECT_EQ(VQColorWheel::imagesDrawn(), drawn + 1);
    VQColorWheel::setImageFolder({});

    // The picture: white at the centre, red right of it, and half as bright at value 0.5.
    first.setColor(VQColor::colorH(0, 0, 1, 1));
    QImage shown = first.grab().toImage();
    const auto pixel = [&](int x, int y) {
        return shown.pixelColor(QPoint(x, y) * shown.devicePixelRatio());
    };
    EXPECT_GT(pixel(80, 6 + 80 - 10).lightness(), 200) << "near the centre: pale";
    EXPECT_GT(pixel(150, 86).red(), 200);
    EXPECT_LT(pixel(150, 86).green(), 60);
    first.setColor(VQColor::colorH(0, 0, 0.5, 1));
    shown = first.grab().toImage();
    EXPECT_NEAR(pixel(150, 86).red(), 128, 20);
}

TEST(ColorPallet, CellsHoldTheStandardColoursAndTouchesSelectThem)
{
    EXPECT_EQ(rgb(*VQColorPallet::colorAt(0, 0)), RGB(0, 0, 0));
    EXPECT_EQ(rgb(*VQColorPallet::colorAt(0, 1)), RGB(1, 1, 1));
    EXPECT_EQ(rgb(*VQColorPallet::colorAt(3, 7)), RGB(1, 0, 0));
    EXPECT_FALSE(VQColorPallet::colorAt(6, 0));
    EXPECT_FALSE(VQColorPallet::colorAt(0, 8));
    EXPECT_FALSE(VQColorPallet::colorAt(-1, 0));

    struct Picks : VQColorPallet::Delegate {
        void selectColor(const VQColor& c) override { colors.push_back(c); }
        std::vector<VQColor> colors;
    } picks;
    int clicks = 0;
    VQColorPallet pallet;
    pallet.resize(320, 400);
    pallet.setDelegate(&picks);
    pallet.keyClick = [&] { ++clicks; };
    const QPointF red = VQColorPallet::cellRect(QSizeF(pallet.size()), 3, 7).center();
    pallet.doTouch(red, VQColorPallet::Touch::Began);
    EXPECT_EQ(clicks, 0);
    pallet.doTouch(red, VQColorPallet::Touch::Ended);
    EXPECT_EQ(clicks, 1) << "lifting the finger clicks";
    ASSERT_EQ(picks.colors.size(), 2u);
    EXPECT_EQ(rgb(picks.colors[1]), RGB(1, 0, 0));
    EXPECT_EQ(std::pair(pallet.selectCol(), pallet.selectRow()), std::pair(3, 7));
    // The margins around the 48 cells select nothing.
    for (const QPointF margin : {QPointF(10, 200), QPointF(160, 10), QPointF(310, 200), QPointF(160, 390)}) {
        pallet.doTouch(margin, VQColorPallet::Touch::Ended);
        EXPECT_EQ(picks.colors.size(), 2u) << margin.x() << "," << margin.y();
    }
    EXPECT_EQ(pallet.selectCol(), 3);
    // The picture: the cell in its colour, the selected one outlined in white.
    const QImage image = pallet.grab().toImage();
    const QRectF cell = VQColorPallet::cellRect(QSizeF(pallet.size()), 3, 7);
    const double s = image.devicePixelRatio();
    const QColor middle = image.pixelColor((cell.center() * s).toPoint());
    EXPECT_EQ(middle, QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor((QPointF(cell.x() + 3, cell.center().y()) * s).toPoint()), QColor(Qt::white));
}

TEST_F(ColorPickerTest, APaletteTouchKeepsTheAlphaAndReports)
{
    picker.initColor(VQColor::colorR(0, 0, 1, 0.75));
    picker.setMode(VQColorPicker::Palette);
    VQColorPallet& pallet = picker.pallet();
    const QPointF red = VQColorPallet::cellRect(QSizeF(pallet.size()), 3, 7).center();
    clickAt(picker, pallet.mapTo(&picker, red.toPoint()));
    ASSERT_FALSE(reports.got.empty());
    EXPECT_EQ(rgb(picker.color()), RGB(1, 0, 0));
    EXPECT_EQ(picker.color().a(), 0.75);
    EXPECT_EQ(picker.modeControl().selected(), VQColorPicker::Palette);
}

TEST(ColorSlider, ThumbsCarryTheirLetterAndTracksTheirColours)
{
    const QImage thumb = VQColorSlider::thumbImage("r", false, 1);
    EXPECT_EQ(thumb.size(), QSize(22, 22));
    EXPECT_EQ(thumb.pixelColor(2, 11), QColor(204, 204, 204)) << "gray 0.8 disc";
    int dark = 0;
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 22; ++x)
            dark += thumb.pixelColor(x, y).alpha() == 255 && thumb.pixelColor(x, y).lightness() < 100;
    EXPECT_GT(dark, 4) << "the letter in gray 0.2";

    VQColorSlider slider;
    slider.resize(278, 30);
    slider.gradientLeft(VQColor::colorR(0, 0, 0, 1), VQColor::colorR(1, 0, 0, 1));
    slider.setValue(0);
    QImage image = slider.grab().toImage();
    const QRectF track = slider.trackRect();
    const auto pixel = [&](double x) {
        return image.pixelColor((QPointF(x, track.top() + 2) * image.devicePixelRatio()).toPoint());
    };
    EXPECT_GT(pixel(track.right() - 3).red(), 230);
    EXPECT_NEAR(pixel(track.center().x()).red(), 128, 12);
    slider.showHSV(VQColor::colorR(1, 0, 0, 1));
    image = slider.grab().toImage();
    EXPECT_GT(pixel(track.left() + track.width() / 3).green(), 230) << "a third of the way: green";
}

} // namespace
} // namespace orvenda::test
