// The FORMAT screen's colour buttons open the colour picker over the display and the
// keyboard on the colour they name; every change reaches that colour only, at once, and
// Done, QUIT or Escape bring the FORMAT screen back. The Y= picker's colour controls are
// the same picker.

#include "PictureChecks.h"
#include "WidgetEvents.h"
#include "YEqScreenSupport.h"
#include "graphui/FormatColorLink.h"
#include "graphui/FormatScreen.h"
#include "input/ColorPickerScreen.h"
#include "input/VQColorSlider.h"

#include <QKeyEvent>
#include <QPushButton>

#include <tuple>

namespace orvenda::test {
namespace {

using RGB = std::tuple<double, double, double>;
RGB rgb(const VQColor& c) { return {c.r(), c.g(), c.b()}; }

class FormatColour : public YEqScreens {
protected:
    FormatColour()
    {
        root->screens().set(screens::Format, [this](QWidget* p) {
            auto* format = new FormatScreen(calc, shell, p);
            format->setDelegate(std::make_unique<FormatColorLink>(router()));
            return format;
        });
        root->screens().set(screens::ColorPicker, [this](QWidget* p) {
            auto* picker = new ColorPickerScreen(calc, p);
            picker->colorPickerViewDone = [this] { router().overlayDone(); };
            return picker;
        });
        calc.locked()->gridColor = VQColor::colorR(0.25, 0.5, 0.75, 1);
        calc.locked()->axesColor = VQColor::colorR(0, 0, 0, 1);
        calc.locked()->backgroundColor = VQColor::colorR(1, 1, 1, 1);
    }
    FormatScreen& format()
    {
        router().showScreen(screens::Format);
        return *static_cast<FormatScreen*>(router().controller(screens::Format));
    }
    ColorPickerScreen* picker()
    {
        return dynamic_cast<ColorPickerScreen*>(router().controller(screens::ColorPicker));
    }
    void clickButton(const QAbstractButton& button)
    {
        clickAt(*root, centreIn(*root, button));
        QCoreApplication::processEvents();
    }
};

TEST_F(FormatColour, TheGridButtonOpensThePaletteOnTheGridColourAndChangesOnlyIt)
{
    FormatScreen& screen = format();
    clickButton(screen.colorButton(FormatScreen::GridColor));
    ColorPickerScreen* sheet = picker();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->geometry(), router().menuRect().toRect()) << "over the display and the keyboard";
    EXPECT_EQ(sheet->title(), "Grid");
    EXPECT_EQ(rgb(sheet->picker().color()), RGB(0.25, 0.5, 0.75));
    EXPECT_EQ(sheet->picker().mode(), VQColorPicker::Palette);
    EXPECT_EQ(calc.currentScreen(), screens::Format) << "an overlay keeps the screen";

    // A touch on the palette's red cell: the grid turns red at once.
    VQColorPallet& pallet = sheet->picker().pallet();
    clickAt(*root, pallet.mapTo(root.get(), VQColorPallet::cellRect(QSizeF(pallet.size()), 3, 7).center().toPoint()));
    EXPECT_EQ(rgb(calc.settings().gridColor), RGB(1, 0, 0));
    EXPECT_EQ(rgb(calc.settings().axesColor), RGB(0, 0, 0));
    EXPECT_EQ(rgb(calc.settings().backgroundColor), RGB(1, 1, 1));

    clickButton(sheet->doneButton());
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(screen.isVisible());
    // The button shows its new colour.
    const QImage shot = screen.grab().toImage();
    const QPushButton& grid = screen.colorButton(FormatScreen::GridColor);
    const QRect area(grid.mapTo(&screen, QPoint(0, 0)) * shot.devicePixelRatio(), grid.size() * shot.devicePixelRatio());
    const QColor face = backgroundIn(shot, area);
    EXPECT_TRUE(face.red() > 150 && face.green() < 40 && face.blue() < 40) << face.name().toStdString();
}

TEST_F(FormatColour, BackgroundAndAxesOpenOnTheirOwnAndEscapeCloses)
{
    FormatScreen& screen = format();
    clickButton(screen.colorButton(FormatScreen::BackgroundColor));
    ASSERT_TRUE(picker());
    EXPECT_EQ(picker()->title(), "Background");
    EXPECT_EQ(rgb(picker()->picker().color()), RGB(1, 1, 1));
    picker()->picker().selectMode(VQColorPicker::RGB);
    picker()->picker().setColor(1, 0);
    EXPECT_EQ(rgb(calc.settings().backgroundColor), RGB(1, 0, 1));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(picker(), &escape);
    EXPECT_FALSE(picker()->isVisible());
    EXPECT_TRUE(screen.isVisible());

    clickButton(screen.colorButton(FormatScreen::AxesColor));
    EXPECT_EQ(picker()->title(), "Axes");
    EXPECT_EQ(rgb(picker()->picker().color()), RGB(0, 0, 0));
    picker()->picker().selectColor(VQColor::colorR(0, 0, 1, 1));
    EXPECT_EQ(rgb(calc.settings().axesColor), RGB(0, 0, 1));
    EXPECT_EQ(rgb(calc.settings().backgroundColor), RGB(1, 0, 1)) << "the background keeps its colour";
    // QUIT (the keyboard's showHome) leaves for the home screen, closing the picker.
    router().showHome();
    EXPECT_FALSE(picker()->isVisible());
}

TEST_F(FormatColour, TheYEqPickerEmbedsThePickerAndItsSamplesFollowIt)
{
    showYEq();
    router().showOverlay(screens::YEqColor, kY1);
    YEqColorPicker& sheet = *YEqScreens::picker();
    EXPECT_EQ(rgb(sheet.picker().color()), rgb(*eq->colorForFunction(kY1)));
    sheet.picker().selectMode(VQColorPicker::Palette);
    VQColorPallet& pallet = sheet.picker().pallet();
    clickAt(*root, pallet.mapTo(root.get(), VQColorPallet::cellRect(QSizeF(pallet.size()), 3, 7).center().toPoint()));
    // Segment 0's line runs through the sample's middle in the new colour.
    const QImage sample = sheet.sampleImage(0);
    bool red = false;
    for (int y = 0; y < 30; ++y)
        red = red || near(pixel(sample, {26, double(y)}), QColor(255, 0, 0), 40);
    EXPECT_TRUE(red);
    // Another segment keeps the colour being chosen.
    sheet.selectSegment(1);
    EXPECT_EQ(rgb(sheet.color()), RGB(1, 0, 0));
    EXPECT_NE(rgb(*eq->colorForFunction(kY1)), RGB(1, 0, 0)) << "nothing stored before Done";
    sheet.done();
    EXPECT_EQ(rgb(*eq->colorForFunction(kY1)), RGB(1, 0, 0));
}

// The equation's colour picker: leaving without Done keeps the old colour; after a change
// to green every preview draws in green.
TEST_F(FormatColour, LeavingWithoutDoneKeepsTheColourAndThePreviewsFollowTheChoice)
{
    eq->setYEqFunc(kY1, ops("X"));
    eq->setStyle(2, VQColor::colorR(0, 0, 1, 1), kY1);
    showYEq();
    router().showOverlay(screens::YEqColor, kY1);
    YEqColorPicker& sheet = *YEqScreens::picker();
    sheet.picker().selectColor(VQColor::colorR(1, 0, 0, 1));
    router().showHome();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(rgb(*eq->colorForFunction(kY1)), RGB(0, 0, 1)) << "no Done, no change";

    showYEq();
    router().showOverlay(screens::YEqColor, kY1);
    EXPECT_EQ(rgb(sheet.color()), RGB(0, 0, 1)) << "it opens on the stored colour again";
    sheet.picker().setMode(VQColorPicker::Palette);
    VQColorPallet& pallet = sheet.picker().pallet();
    ASSERT_EQ(rgb(*VQColorPallet::colorAt(3, 5)), RGB(0, 1, 0));
    clickAt(*root, pallet.mapTo(root.get(), VQColorPallet::cellRect(QSizeF(pallet.size()), 3, 5).center().toPoint()));
    ASSERT_EQ(sheet.segmentCount(), 6);
    for (int segment = 0; segment < sheet.segmentCount(); ++segment) {
        const QImage sample = sheet.sampleImage(segment);
        int green = 0, blue = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 48; ++x) {
                const QColor c = pixel(sample, {double(x), double(y)});
                green += c.green() > 150 && c.red() < 90 && c.blue() < 90;
                blue += c.blue() > 150 && c.red() < 90 && c.green() < 90;
            }
        EXPECT_GT(green, 20) << "segment " << segment;
        EXPECT_EQ(blue, 0) << "segment " << segment;
    }
}

} // namespace
} // namespace orvenda::test
