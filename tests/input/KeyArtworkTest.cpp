// Self-drawn buttons, the display frame, the alpha keyboard and its balloon.

#include "KeyboardTestSupport.h"

#include "input/AlphaKeyboardView.h"
#include "input/FrameView.h"
#include "input/KeyPopoutView.h"
#include "input/VQButton.h"

#include <QImage>

namespace orvenda::test {
namespace {

void expectColor(const QColor& color, double r, double g, double b, const std::string& what)
{
    EXPECT_NEAR(color.redF(), r, 0.005) << what;
    EXPECT_NEAR(color.greenF(), g, 0.005) << what;
    EXPECT_NEAR(color.blueF(), b, 0.005) << what;
}

TEST(VQButtonTest, TheBackgroundChoosesTheScheme)
{
    struct Case {
        QColor background;
        int scheme;
        VQButton::State state;
        std::array<double, 3> glossTop, body;
    };
    const Case cases[] = {
        {QColor::fromRgbF(1, 0, 0, 1), 3, VQButton::kHighlighted, {0.76, 0.50, 0.54}, {0.60, 0.00, 0.07}},
        {QColor::fromRgbF(0, 0, 0, 1), 4, VQButton::kNormal, {0.70, 0.70, 0.70}, {0.10, 0.10, 0.10}},
        {QColor::fromRgbF(0, 0, 1, 1), 2, VQButton::kNormal, {0.57, 0.62, 0.83}, {0.12, 0.22, 0.66}},
        // Derived: zero channels take the fixed values.
        {QColor::fromRgbF(0.2f, 0, 0.4f, 1), 5, VQButton::kNormal, {0.34, 0.70, 0.68}, {0.26, 0.30, 0.52}},
        // Bright channels stay colours.
        {QColor::fromRgbF(0.9f, 0, 0.4f, 1), 5, VQButton::kNormal, {1.00, 0.70, 0.68}, {1.00, 0.30, 0.52}},
    };
    for (const Case& c : cases) {
        VQButton button(nullptr, 0, c.background);
        button.resize(80, 40);
        const std::string what = c.background.name().toStdString();
        EXPECT_EQ(button.colorScheme(), c.scheme) << what;
        const VQButton::Colors colors = button.colors(c.state);
        expectColor(colors.glossTop, c.glossTop[0], c.glossTop[1], c.glossTop[2], what + " gloss");
        expectColor(colors.body, c.body[0], c.body[1], c.body[2], what + " body");
        // Below the gloss the face shows the body colour.
        const QImage face = button.buttonImageForState(c.state);
        const QColor pixel = face.pixelColor(face.width() / 2, face.height() * 3 / 4);
        EXPECT_NEAR(pixel.redF(), c.body[0], 0.01) << what;
        EXPECT_NEAR(pixel.blueF(), c.body[2], 0.01) << what;
    }
}

TEST(FrameViewTest, EqualWidthsGetOneRectangleAndUnequalOnesAStep)
{
    FrameView frame(nullptr);
    frame.setRects(QRectF(0, 0, 400, 300), QRectF(3, 300, 396, 500));
    EXPECT_FALSE(frame.stepped());
    EXPECT_EQ(frame.framePath().boundingRect(), QRectF(-7, -6, 414, 812));
    // A narrower keyboard: the outline steps in beside it.
    frame.setRects(QRectF(0, 0, 400, 300), QRectF(40, 300, 320, 500));
    EXPECT_TRUE(frame.stepped());
    const QPainterPath path = frame.framePath();
    EXPECT_TRUE(path.contains(QPointF(200, 150)));
    EXPECT_TRUE(path.contains(QPointF(200, 600)));
    EXPECT_TRUE(path.contains(QPointF(10, 150)));
    EXPECT_FALSE(path.contains(QPointF(10, 600)));
    EXPECT_EQ(path.boundingRect(), QRectF(-7, -6, 414, 812));
}

class Alpha : public KeyboardTest {
protected:
    Alpha()
    {
        calc.alphaShift = true;
        keyboard.redraw();
        view = keyboard.alphaKeyboard();
    }
    QPointF centre(int key) const { return view->keyRects()[static_cast<std::size_t>(key)].center(); }

    AlphaKeyboardView* view = nullptr;
};

TEST_F(Alpha, ATapTypesTheKeyAndFlashesOneCell)
{
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->isHidden());
    EXPECT_TRUE(keyboard.button(31).isHidden());
    view->singleTap(centre(12));
    EXPECT_EQ(processed, std::vector<std::uint32_t>{0x45});
    EXPECT_EQ(view->balloon().keyCodes(), std::vector<std::uint32_t>{0x45});
    view->hidePop();
    EXPECT_EQ(view->trackKey(), -1);
}

TEST_F(Alpha, HoldingOffersAlternativesAndTypesTheOneUnderTheFinger)
{
    view->longTapBegan(centre(12));
    const KeyPopoutView& balloon = view->balloon();
    EXPECT_EQ(balloon.keyCodes(), (std::vector<std::uint32_t>{0x45, 0xBB77, 0xBB76, 0xBB78, 0xBB79, 0x3B}));
    ASSERT_TRUE(balloon.drawLeft());
    const QRectF frame = balloon.balloonFrame();
    view->pan(QPointF(frame.x() + 8 + 21 * 2 + 10, frame.y() + 10));
    EXPECT_EQ(balloon.selectedKey(), 2);
    view->longTapEnded();
    EXPECT_EQ(processed, std::vector<std::uint32_t>{0xBB76});
    // Past either end nothing is selected, and lifting there types nothing.
    processed.clear();
    view->longTapBegan(centre(12));
    view->pan(QPointF(frame.x() + 8 + 21 * 6 + 1, frame.y() + 10));
    EXPECT_EQ(balloon.selectedKey(), -1);
    view->pan(QPointF(frame.x() + 7, frame.y() + 10));
    EXPECT_EQ(balloon.selectedKey(), -1);
    view->longTapEnded();
    EXPECT_TRUE(processed.empty());
}

TEST_F(Alpha, RightOfTheMiddleTheBalloonOpensLeftwards)
{
    view->longTapBegan(centre(8));  // 9: 9 and ₉
    const KeyPopoutView& balloon = view->balloon();
    EXPECT_FALSE(balloon.drawLeft());
    const QRectF key = view->keyRects()[8];
    EXPECT_DOUBLE_EQ(balloon.balloonFrame().right(), key.right());
    // The rightmost cell is the key's own code.
    view->pan(QPointF(balloon.balloonFrame().x() + 8 + 21 + 10, key.y()));
    EXPECT_EQ(balloon.selectedCode(), 0x39u);
    view->longTapEnded();
}

TEST_F(Alpha, ThetaOffersGreekInEitherCase)
{
    view->longTapBegan(centre(42));
    EXPECT_EQ(view->balloon().keyCodes(),
              (std::vector<std::uint32_t>{0x5B, 0xBBDF, 0xBBA9, 0xBBA8, 0xAC, 0xBBAC, 0xBBA6, 0xBBA5, 0xBBAA, 0xBBA4,
                                          0xBBA2, 0xBBA1, 0xBBAE, 0xBBA0, 0xBB9F}));
    view->longTapEnded();
    calc.lowercaseLock = true;
    view->longTapBegan(centre(42));
    EXPECT_EQ(view->balloon().keyCodes(),
              (std::vector<std::uint32_t>{0x5B, 0xBBCC, 0xBBCB, 0xBBA8, 0xAC, 0xBBAC, 0xBBA6, 0xBBA5, 0xBBAA, 0xBBA4,
                                          0xBBA1, 0xBBA3, 0xBBDE, 0xBBA0, 0xBB9F}));
    view->longTapEnded();
}

TEST_F(Alpha, TheCaseKeyTogglesTheLockAndIsNeverTyped)
{
    view->singleTap(centre(39));
    EXPECT_TRUE(calc.lowercaseLock);
    EXPECT_TRUE(view->balloon().isHidden());
    view->singleTap(centre(20));
    EXPECT_EQ(processed, std::vector<std::uint32_t>{0xBBB0});
    // Space and ENTER show no balloon but are typed.
    view->singleTap(centre(40));
    EXPECT_TRUE(view->balloon().isHidden());
    EXPECT_EQ(processed.back(), 0x29u);
}

TEST_F(Alpha, AGestureBetweenKeysTypesNothing)
{
    view->longTapBegan(centre(12));
    view->longTapEnded();
    processed.clear();
    // The gap between keys 12 and 13.
    const QPointF gap(view->keyRects()[12].right() + 0.5, centre(12).y());
    ASSERT_EQ(view->keyAt(gap), -1);
    view->singleTap(gap);
    view->longTapBegan(gap);
    view->longTapEnded();
    EXPECT_TRUE(processed.empty());
}

} // namespace
} // namespace orvenda::test
