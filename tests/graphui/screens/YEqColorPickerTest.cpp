// The colour and style picker: segments by graph mode, the stored style's segment, Done's
// style and undo step, and the samples drawn in the colour being chosen.

#include "YEqScreenSupport.h"

#include <QSlider>

#include <tuple>

namespace orvenda::test {
namespace {

class YEqPicker : public YEqScreens {
protected:
    YEqColorPicker& open(int token)
    {
        showYEq();
        router().showOverlay(screens::YEqColor, token);
        return *picker();
    }
};

TEST_F(YEqPicker, SegmentsByModeOpenOnTheStoredStyle)
{
    const struct {
        int mode, token, style, segments, selected;
    } cases[] = {
        {0, kY1, 2, 6, 0},  {0, kY1, 10, 6, 3}, {0, kY1, 18, 6, 5}, {4, kXY1, 16, 6, 4},
        // A style set by a program or a file that the mode's segments do not have: the last.
        {2, kR1, 8, 2, 1},  {1, kX1T, 4, 2, 1}, {3, kU, 32, 3, 2},  {3, kU, 18, 3, 2},
    };
    for (const auto& c : cases) {
        calc.setGraphMode(c.mode);
        eq->setStyle(c.style, c.token);
        YEqColorPicker& sheet = open(c.token);
        EXPECT_EQ(sheet.segmentCount(), c.segments) << "mode " << c.mode;
        EXPECT_EQ(sheet.selectedSegment(), c.selected) << "mode " << c.mode << " style " << c.style;
        sheet.done();
    }
}

TEST_F(YEqPicker, DoneStoresTheSegmentsStyleInOneStepOrNone)
{
    const struct {
        int mode, token, segment, style;
    } cases[] = {{3, kU, 2, 32}, {0, kY1, 2, 8}, {0, kY1, 1, 4}, {4, kXY1, 5, 18}};
    for (const auto& c : cases) {
        calc.setGraphMode(c.mode);
        eq->setYEqFunc(c.token, ops("X"));
        eq->clearUndo();
        YEqColorPicker& sheet = open(c.token);
        sheet.done();
        EXPECT_FALSE(eq->canUndo()) << "an unchanged Done takes no step";
        open(c.token).selectSegment(c.segment);
        picker()->done();
        EXPECT_EQ(eq->styleForFunction(c.token), c.style) << "mode " << c.mode << " segment " << c.segment;
        eq->undo();
        EXPECT_EQ(eq->styleForFunction(c.token), 2) << "one step back is the plain line";
        EXPECT_FALSE(eq->canUndo());
    }
}

TEST_F(YEqPicker, DoneStoresTheColourOfTheControls)
{
    eq->setYEqFunc(kY1, ops("X"));
    eq->clearUndo();
    YEqColorPicker& sheet = open(kY1);
    const auto channels = sheet.findChildren<QSlider*>();
    ASSERT_EQ(channels.size(), 3);
    EXPECT_EQ(channels[1]->value(), 255) << "the controls start at the equation's green";
    channels[0]->setValue(255);
    channels[1]->setValue(0);
    channels[2]->setValue(51);
    sheet.done();
    const VQColor stored = eq->colorForFunction(kY1).value();
    EXPECT_EQ(std::tuple(stored.r(), stored.g(), stored.b(), stored.a()), std::tuple(1.0, 0.0, 0.2, 1.0));
    eq->undo();
    EXPECT_EQ(eq->colorForFunction(kY1)->g(), 1);
}

TEST_F(YEqPicker, SamplesFollowTheColourAndTheSelection)
{
    YEqColorPicker& sheet = open(kY1);
    const QImage before = sheet.sampleImage(2);
    sheet.changeColor(VQColor::colorR(1, 0, 0, 1));
    // Segment 2 shades above the curve: its top middle is the colour at 0.7 over the
    // graph background (black).
    const QImage after = sheet.sampleImage(2);
    EXPECT_TRUE(near(pixel(after, {24, 3}), QColor(179, 0, 0), 12)) << pixel(after, {24, 3}).name().toStdString();
    EXPECT_FALSE(near(pixel(before, {24, 3}), pixel(after, {24, 3})));
    // The selected segment's label is black, the others' white.
    const auto labelInk = [](const QImage& image) {
        int dark = 0, light = 0;
        for (int x = 16; x < 32; ++x)
            for (int y = 31; y < 38; ++y) {
                const QColor c = pixel(image, {double(x), double(y)});
                if (c.alpha() > 200)
                    (c.lightness() < 60 ? dark : light) += c.lightness() < 60 || c.lightness() > 200;
            }
        return std::pair(dark, light);
    };
    EXPECT_GT(labelInk(sheet.sampleImage(0)).first, 3);
    EXPECT_EQ(labelInk(sheet.sampleImage(0)).second, 0);
    EXPECT_GT(labelInk(sheet.sampleImage(1)).second, 3);
    EXPECT_EQ(labelInk(sheet.sampleImage(1)).first, 0);
}

} // namespace
} // namespace orvenda::test
