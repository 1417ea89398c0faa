// The Y= screen: the inequality bar, following the model, the colour picker's round trip
// and its pictures at the phone's and the tablet's sizes.

#include "YEqScreenSupport.h"

#include <QToolButton>

namespace orvenda::test {
namespace {

using YEqScreenTest = YEqScreens;

TEST_F(YEqScreenTest, TheBarShowsInFunctionAndImplicitModeOutsideTestMode)
{
    YEqScreen& screen = showYEq();
    const struct {
        int mode, testMode;
        bool shown;
    } cases[] = {{0, 0, true}, {1, 0, false}, {2, 0, false}, {3, 0, false}, {4, 0, true}, {0, 1, false}, {4, 1, false}};
    for (const auto& c : cases) {
        calc.setGraphMode(c.mode);
        calc.testMode = c.testMode;
        screen.updateDisplay();
        EXPECT_EQ(screen.barShown(), c.shown) << "mode " << c.mode << " test " << c.testMode;
        EXPECT_EQ(screen.scroller().height(), c.shown ? screen.height() - YEqScreen::kBarHeight : screen.height());
    }
}

TEST_F(YEqScreenTest, TheBarSetsTheStyleAndTheRelation)
{
    YEqScreen& screen = showYEq();
    eq->setYEqFunc(kY1, ops("X²"));
    const auto segments = screen.findChildren<QToolButton*>();
    ASSERT_EQ(segments.size(), 5);
    // =, <, ≤, >, ≥ in turn.
    const int styles[] = {2, 16, 18, 8, 10};
    for (int i : {3, 1, 4, 2, 0}) {
        segments[i]->click();
        EXPECT_EQ(eq->styleForFunction(kY1), styles[i]) << "segment " << i;
        EXPECT_EQ(screen.selectedSegment(), i);
    }

    calc.setGraphMode(4);
    eq->setYEqFunc(kXY1, ops("Y=X"));
    screen.setInEquality(4);
    EXPECT_EQ(text(kXY1), "Y≥X");
    EXPECT_EQ(eq->styleForFunction(kXY1), 10);
    // Typing the relation moves the bar.
    eq->setEntryCursor(1);
    calc.setCurrentScreen(screens::YEq);
    typeKeys("<");
    EXPECT_EQ(screen.selectedSegment(), 1);
}

TEST_F(YEqScreenTest, KeepsTheCurrentEquationInViewAndStartsAtTheTopOfANewMode)
{
    YEqScreen& screen = showYEq();
    calc.setCurrentScreen(screens::YEq);
    for (int i = 0; i < 9; ++i)
        shell.keys().processKeyOp(KeyRouter::kDown);
    ASSERT_EQ(eq->selectedEqNum(), 0x5E19);
    const QRectF last = screen.view().frameForIndex(9);
    const QPointF offset = screen.scroller().contentOffset();
    EXPECT_GE(offset.y() + screen.scroller().height(), last.bottom()) << "Y0 is in view";
    EXPECT_GT(offset.y(), 0) << "ten rows do not fit the phone's display";
    calc.setGraphMode(3);
    EXPECT_EQ(screen.scroller().contentOffset(), QPointF(0, 0));
}

TEST_F(YEqScreenTest, TheStyleIconOpensThePickerWhoseDoneStoresStyleAndColour)
{
    YEqScreen& screen = showYEq();
    eq->setYEqFunc(kY2, ops("X"));
    screen.view().touchAt({50, screen.view().frameForIndex(1).center().y()});
    YEqColorPicker* sheet = picker();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->eqNum(), kY2);
    EXPECT_EQ(sheet->segmentCount(), 6);

    sheet->selectSegment(4);
    sheet->changeColor(VQColor::colorR(1, 0, 0, 1));
    sheet->done();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(screen.isVisible());
    EXPECT_EQ(eq->styleForFunction(kY2), 16);
    // Done takes the colour the controls stand at, not a colour only drawn.
    EXPECT_EQ(eq->colorForFunction(kY2)->r(), 0);
}

// The screen's picture: the rows' blue, the current row lighter, the typed equation in
// black after its label, a lit switch and the style icon in the equation's colour.
void checkPicture(YEqScreen& screen, const char* size)
{
    const QImage shot = screen.grab().toImage();
    // ORVENDA_SHOTS names a folder to keep the pictures in, for a look.
    if (const QString folder = qEnvironmentVariable("ORVENDA_SHOTS"); !folder.isEmpty())
        shot.save(folder + "/yeq-" + QString(size).replace(' ', '-') + ".png");
    const QRectF first = screen.view().frameForIndex(0);
    const QRectF second = screen.view().frameForIndex(1);
    auto at = [&](double x, double y) { return pixel(shot, {x, y}); };
    auto says = [&](const QColor& c) { return std::string(size) + " " + c.name().toStdString(); };
    // The rows' blue; the current row lifted by white at 0.3, the left column darkened by
    // black at 0.2.
    const QColor row = at(screen.width() - 8.0, second.center().y());
    const QColor current = at(screen.width() - 8.0, first.center().y());
    const QColor column = at(84, second.center().y());
    EXPECT_TRUE(near(row, QColor(115, 186, 255))) << says(row);
    EXPECT_TRUE(near(current, QColor(157, 207, 255))) << says(current);
    EXPECT_TRUE(near(column, QColor(92, 149, 204))) << says(column);
    // The style icon: the sample curve in the default green near the icon's middle, the
    // graph background (black) above it.
    const double icon = first.center().y() - 16 + 4;
    int green = 0;
    for (double y = icon + 9; y <= icon + 15; ++y)
        green += at(60, y).green() > 150 && at(60, y).red() < 100;
    EXPECT_GT(green, 0) << size;
    EXPECT_LT(at(60, icon + 3).lightness(), 40) << says(at(60, icon + 3));
    // The switch of a graphed equation is lit; an empty one's is not.
    EXPECT_LT(at(10, first.center().y()).lightness(), 140) << says(at(10, first.center().y()));
    EXPECT_GT(at(10, second.center().y()).lightness(), 170) << says(at(10, second.center().y()));
    // Dark text right of the label in the first row, none in the empty second one.
    int dark = 0;
    int darkEmpty = 0;
    for (int x = 170; x < 260; ++x)
        for (int dy = -8; dy <= 8; ++dy) {
            dark += at(x, first.center().y() + dy).lightness() < 60;
            darkEmpty += at(x, second.center().y() + dy).lightness() < 60;
        }
    EXPECT_GT(dark, 40) << size;
    EXPECT_EQ(darkEmpty, 0) << size;
}

TEST_F(YEqScreenTest, PicturesAtThePhonesAndTheTabletsSize)
{
    eq->setYEqFunc(kY1, ops("X²+2X+1"));
    for (bool mathPrint : {true, false}) {
        calc.locked()->mathPrint = mathPrint;
        YEqScreen& screen = showYEq();
        screen.updateDisplay();
        checkPicture(screen, mathPrint ? "phone MathPrint" : "phone classic");
    }
    calc.device = 1;
    auto tablet = std::make_shared<RootController>(calc, shell, true);
    tablet->screens().set(screens::YEq, [&](QWidget* p) { return new YEqScreen(calc, shell, tablet->router(), p); });
    tablet->resize(768, 1024);
    tablet->show();
    tablet->router().showScreen(screens::YEq);
    auto& screen = *static_cast<YEqScreen*>(tablet->router().controller(screens::YEq));
    EXPECT_GT(screen.width(), 700);
    checkPicture(screen, "tablet");
    calc.device = 0;
}

} // namespace
} // namespace orvenda::test
