// The matrix dimension prompt as the app registers it: 2 × 2 on each opening, the arrow
// keys within 1…6, a drag snapping to a whole value, OK inserting the template at home.
#include "app/EntryModel.h"
#include "app/ScreenRouter.h"
#include "app/ui/ScreenTestSupport.h"
#include "apps/MatrixPromptScreen.h"
#include "core/NotificationNames.h"

#include <QImage>
#include <QSlider>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

class MatrixPrompt : public ScreensTest {
protected:
    MatrixPrompt()
    {
        root->screens().set(screens::MatrixPrompt, [this](QWidget* p) { return new MatrixPromptScreen(calc, router(), p); });
    }
    MatrixPromptScreen& open()
    {
        router().showScreen(screens::MatrixPrompt);
        QCoreApplication::processEvents();
        auto* prompt = dynamic_cast<MatrixPromptScreen*>(router().controller(screens::MatrixPrompt));
        EXPECT_TRUE(prompt);
        return *prompt;
    }
    void post(std::string_view name)
    {
        bus.post(name, &calc);
        QCoreApplication::processEvents();
    }
};

TEST_F(MatrixPrompt, TheArrowsKeepBothSizesWithinOneToSix)
{
    MatrixPromptScreen& prompt = open();
    EXPECT_EQ(prompt.rows(), 2);
    EXPECT_EQ(prompt.cols(), 2);
    EXPECT_EQ(prompt.rowText(), "2");
    for (int i = 0; i < 6; ++i)
        post(VQCursorRight);
    EXPECT_EQ(prompt.rows(), 6);
    EXPECT_EQ(prompt.rowText(), "6");
    // UP and DOWN both switch the slider.
    post(VQCursorDown);
    EXPECT_EQ(prompt.selectedSlider(), 1);
    for (int i = 0; i < 6; ++i)
        post(VQCursorLeft);
    EXPECT_EQ(prompt.cols(), 1);
    post(VQCursorUp);
    EXPECT_EQ(prompt.selectedSlider(), 0);
    post(VQCursorDown);
    // Shown again: 2 × 2, the selected slider kept.
    router().showHome();
    MatrixPromptScreen& again = open();
    EXPECT_EQ(again.rows(), 2);
    EXPECT_EQ(again.cols(), 2);
    EXPECT_EQ(again.selectedSlider(), 1);
}

TEST_F(MatrixPrompt, ADragSnapsToTheNearestWholeValue)
{
    MatrixPromptScreen& prompt = open();
    const QImage before = prompt.grab().toImage();
    prompt.colSlider().setValue(350);
    EXPECT_EQ(prompt.cols(), 4);
    EXPECT_EQ(prompt.colSlider().value(), 400);
    EXPECT_EQ(prompt.colText(), "4");
    EXPECT_NE(before, prompt.grab().toImage());
    prompt.colSlider().setValue(249);
    EXPECT_EQ(prompt.colText(), "2");
}

TEST_F(MatrixPrompt, TheLabelFollowsTheThumbWhileItIsDragged)
{
    MatrixPromptScreen& prompt = open();
    QSlider& slider = prompt.rowSlider();
    slider.setSliderDown(true);
    const QImage before = prompt.grab().toImage();
    slider.setValue(480);
    EXPECT_EQ(prompt.rowText(), "5");
    EXPECT_NE(before, prompt.grab().toImage());
    // The thumb stays under the finger until it is let go, then snaps.
    EXPECT_EQ(slider.value(), 480);
    slider.setValue(420);
    EXPECT_EQ(prompt.rowText(), "4");
    slider.setSliderDown(false);
    EXPECT_EQ(slider.value(), 400);
    EXPECT_EQ(prompt.rows(), 4);
}

TEST_F(MatrixPrompt, EnterInsertsTheTemplateAtHome)
{
    calc.locked()->mathPrint = true;
    open();
    post(VQCursorRight);
    post(VQEnter);
    EXPECT_EQ(calc.currentScreen(), screens::Home);
    EXPECT_FALSE(entry->entryOps().empty());
}

} // namespace
} // namespace orvenda::test
