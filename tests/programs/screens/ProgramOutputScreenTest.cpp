// The program output screen drawn offscreen: what a program shows, asks and offers is in
// the picture, at the phone's and the tablet's sizes.

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/VQMenu.h"
#include "eval/MenuObject.h"
#include "eval/ProgramTokens.h"
#include "programs/ProgramOutputModel.h"
#include "programs/ProgramOutputScreen.h"
#include "programs/ProgramOutputView.h"

#include "PictureChecks.h"
#include "TestSupport.h"
#include "WidgetEvents.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

struct Size {
    const char* name;
    QSize size;
    int device;
};

const Size kSizes[] = {{"phone", {390, 300}, 0}, {"tablet", {768, 420}, 1}};

class ProgramOutputScreenTest : public ::testing::TestWithParam<Size> {
protected:
    ProgramOutputScreenTest() : calc(kUS), model(calc)
    {
        calc.device = GetParam().device;
        screen = std::make_unique<ProgramOutputScreen>(calc, model);
        screen->resize(GetParam().size);
        screen->show();
        screen->focus(true);
        model.startProgram("DEMO");
    }
    ~ProgramOutputScreenTest() override { screen->focus(false); }

    Operand real(double x) const
    {
        Operand op;
        op.kind = KindReal;
        op.value = x;
        op.displayMod = 3;
        return op;
    }
    // Line n of the grid in the screen's picture, from column `from` for `columns` columns.
    QRect cells(int n, int from = 0, int columns = 32) const
    {
        const ProgramOutputView& view = screen->view();
        const double cell = view.width() / 33.0;
        return QRectF(view.x() + 4 + from * cell, view.y() + 3 + n * view.leading(), columns * cell, view.leading() - 1)
            .toRect();
    }
    QImage picture() const { return screen->grab().toImage(); }

    Calculator calc;
    ProgramOutputModel model;
    std::unique_ptr<ProgramOutputScreen> screen;
};

TEST_P(ProgramOutputScreenTest, ResultsAndAPromptAreReadableWhereTheModelPutsThem)
{
    model.displayOp(real(42));
    Operand request;
    request.string = VQString{'A', ProgramTokens::kEqual, ProgramTokens::kQuestionMark};
    calc.programRunning = true;
    model.inputPrompt(request);
    const QImage image = picture();
    // "42" at the right of line 0, "A=?" at the left of line 1, nothing below.
    EXPECT_GT(textContrast(image, cells(0, 28, 4)), 3.0);
    EXPECT_LT(textContrast(image, cells(0, 0, 20)), 1.5);
    EXPECT_GT(textContrast(image, cells(1, 0, 3)), 3.0);
    EXPECT_LT(textContrast(image, cells(4)), 1.5);
    // The program's name and the Quit button are in the title band, above the grid.
    EXPECT_TRUE(screen->quitButton().isVisible());
    EXPECT_LT(screen->quitButton().geometry().bottom(), screen->view().y());
    EXPECT_GT(screen->quitButton().geometry().right(), GetParam().size.width() / 2);
    EXPECT_LE(screen->view().fontSize(), screen->view().height() / 10.0 + 0.01);
}

TEST_P(ProgramOutputScreenTest, AMenuShowsItsTitleItemsAndTheChosenItemReversed)
{
    auto menu = std::make_shared<VQMenu>();
    menu->title = "PICK";
    menu->prompts = {"RED", "BLUE"};
    menu->labels = {'A', 'B'};
    Operand record;
    record.kind = KindMenu;
    record.object = std::make_shared<MenuObject>(menu);
    model.showMenu(record);
    model.setCursorPosition({0, 2});
    const QImage image = picture();
    EXPECT_GT(textContrast(image, cells(0, 0, 4)), 3.0);
    // The chosen item's number is a filled block; the other's is ink on the display.
    const auto filled = [&](QRect area) {
        const QColor back = image.pixelColor(cells(6).center());
        int dark = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                dark += contrastRatio(image.pixelColor(x, y), back) > 3;
        return static_cast<double>(dark) / (area.width() * area.height());
    };
    EXPECT_GT(filled(cells(2, 0, 2).adjusted(0, 2, 0, -2)), 0.5);
    EXPECT_LT(filled(cells(1, 0, 2).adjusted(0, 2, 0, -2)), 0.4);
    model.clearMenu();
    EXPECT_LT(textContrast(picture(), cells(0)), 1.5);
}

TEST_P(ProgramOutputScreenTest, APausedProgramShowsPInTheBlinksVisiblePhase)
{
    model.newLine();
    model.displayOp(real(7));
    calc.pauseRunning = true;
    calc.programRunning = true;
    const ProgramOutputView& view = screen->view();
    const QRect corner(view.x() + view.width() - static_cast<int>(view.fontSize()), view.y(),
                       static_cast<int>(view.fontSize()) - 2, static_cast<int>(view.leading()) - 1);
    calc.cursorVisible = true;
    EXPECT_GT(textContrast(picture(), corner), 3.0);
    calc.cursorVisible = false;
    EXPECT_LT(textContrast(picture(), corner), 1.5);
    // The value Pause showed stays on the screen.
    EXPECT_GT(textContrast(picture(), cells(1, 30, 2)), 3.0);
    calc.pauseRunning = false;
    calc.programRunning = false;
}

// The title band runs from 0, 102, 204 at the top to 37, 81, 193 at its foot and the
// display from 168, 214, 253 to 196, 227, 253, each through the mean of its two colours
// half-way down.
TEST_P(ProgramOutputScreenTest, TheTitleBandAndTheDisplayAreGradients)
{
    const QImage image = picture();
    const int x = GetParam().size.width() * 3 / 5;
    const int band = calc.device == 1 ? 34 : 25;
    const auto near = [&](int y, QColor wanted) {
        const QColor got = image.pixelColor(x, y);
        return std::abs(got.red() - wanted.red()) <= 4 && std::abs(got.green() - wanted.green()) <= 4
            && std::abs(got.blue() - wanted.blue()) <= 4;
    };
    const auto between = [](QColor a, QColor b, double t) {
        return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                                static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                                static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
    };
    const auto shade = [&](int top, int height, QColor first, QColor last) {
        // The colour at a fraction of the way down (away from the frame's shadow): first
        // to the mean over the upper half, the mean to last over the lower.
        const QColor mean = between(first, last, 0.5);
        for (const double t : {0.3, 0.5, 0.7}) {
            const int y = top + static_cast<int>(std::lround(t * height));
            const QColor wanted = t <= 0.5 ? between(first, mean, t / 0.5) : between(mean, last, (t - 0.5) / 0.5);
            EXPECT_TRUE(near(y, wanted)) << "at " << y << ": " << image.pixelColor(x, y).name().toStdString()
                                         << " wanted " << wanted.name().toStdString();
        }
    };
    shade(3, band, QColor(0, 102, 204), QColor(37, 81, 193));
    const int displayTop = 3 + band;
    shade(displayTop, GetParam().size.height() - 3 - displayTop, QColor(168, 214, 253), QColor(196, 227, 253));
    // The band's top is plainly darker in red than its foot: no flat fill covers it.
    EXPECT_GT(image.pixelColor(x, 3 + band - 3).red() - image.pixelColor(x, 5).red(), 20);
}

TEST_P(ProgramOutputScreenTest, QuitWithNoProgramLeavesTheScreenAndZeroSizeDrawsNothing)
{
    int hides = 0;
    calc.notificationCenter().addObserver(this, VQHideProgramOutput, [&](const Notification&) { ++hides; });
    clickAt(*screen, centreIn(*screen, screen->quitButton()));
    EXPECT_EQ(hides, 1);
    calc.notificationCenter().removeObserver(this);
    screen->resize(0, 0);
    EXPECT_NO_FATAL_FAILURE(screen->grab());
    screen->resize(2, 2);
    EXPECT_NO_FATAL_FAILURE(screen->grab());
}

INSTANTIATE_TEST_SUITE_P(Sizes, ProgramOutputScreenTest, ::testing::ValuesIn(kSizes),
    [](const ::testing::TestParamInfo<Size>& info) { return std::string(info.param.name); });

} // namespace
} // namespace orvenda::test
