// A tablet's larger text on the equation solver, the polynomial root finder, the TVM solver
// and the conversion picker (22 points to the phone's 15), and the captions of the
// conversion and key-set bars readable on their navy.

#include "PictureChecks.h"
#include "app/YEqTestSupport.h"
#include "app/ui/ScreenTestSupport.h"
#include "apps/ConversionScreen.h"
#include "apps/FinanceScreen.h"
#include "apps/PolyScreen.h"
#include "apps/SolverScreen.h"
#include "input/KeyCatalogScreen.h"

#include <QImage>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace orvenda::test {
namespace {

// The pixels of dark text in a picture: the screens' text is black on a light ground.
int textPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y).lightness() < 50;
    return n;
}

class TabletText : public ScreensTest {
protected:
    TabletText() { registerScreens(*root); }
    void registerScreens(RootController& window) override
    {
        window.screens().set(screens::Solver, [this](QWidget* p) { return new SolverScreen(calc, shell, p); });
        window.screens().set(screens::Polynomial, [this](QWidget* p) { return new PolyScreen(calc, shell, p); });
        window.screens().set(screens::Finance, [this](QWidget* p) { return new FinanceScreen(calc, shell, p); });
    }
    // The text drawn on the screen, as a count of its pixels.
    int textOf(int id)
    {
        router().showScreen(id);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
        calc.cursorVisible = false;
        QWidget* screen = router().controller(id);
        const int n = textPixels(screen->grab().toImage());
        router().showHome();
        return n;
    }
};

// The same lines at both sizes: their text takes at least 1.6 times the pixels (the
// square of about 1.3) on a tablet.
TEST_F(TabletText, TheEquationAppsDrawLargerTextOnATablet)
{
    calc.locked()->solverEq = ops("X²-2");
    const int ids[] = {screens::Solver, screens::Polynomial, screens::Finance};
    int phone[3];
    for (int i = 0; i < 3; ++i)
        phone[i] = textOf(ids[i]);
    becomeTablet();
    for (int i = 0; i < 3; ++i) {
        const int tablet = textOf(ids[i]);
        EXPECT_GT(phone[i], 100) << ids[i];
        EXPECT_GE(tablet, 1.6 * phone[i]) << "screen " << ids[i] << ": " << phone[i] << " phone, " << tablet << " tablet";
    }
    auto* solver = dynamic_cast<SolverScreen*>(router().controller(screens::Solver));
    ASSERT_TRUE(solver);
    EXPECT_NEAR(solver->fontSize(), 18 * 22.0 / 15, 1e-9);
    auto* finance = dynamic_cast<FinanceScreen*>(router().controller(screens::Finance));
    ASSERT_TRUE(finance);
    // The seven rows still fit the display.
    EXPECT_LE(finance->form().titleHeight() + 7 * finance->form().rowHeight(), finance->height());
}

// The conversion picker: larger text on a tablet, and at both sizes the bar's Done, Swap,
// Select and the segments' captions read on the bar; the same for the key-set catalogue.
TEST(TabletTextBars, TheConversionAndKeySetBarsCaptionsReadAndTheTabletsTextIsLarger)
{
    int phoneText = 0;
    for (const int device : {0, 1}) {
        Calculator calc;
        calc.device = device;
        ConversionScreen conversions(calc);
        conversions.resize(device == 1 ? QSize(768, 700) : QSize(390, 700));
        conversions.show();
        conversions.updateDisplay();
        QCoreApplication::processEvents();
        const QImage picture = conversions.grab().toImage();
        if (device == 0)
            phoneText = textPixels(picture);
        else
            EXPECT_GE(textPixels(picture), 1.6 * phoneText);
        const double dpr = picture.devicePixelRatio();
        for (const QAbstractButton* button : conversions.findChildren<QAbstractButton*>()) {
            if (!button->isVisible() || button->text().isEmpty())
                continue;
            const QRect at(button->mapTo(&conversions, QPoint(0, 0)) * dpr, button->size() * dpr);
            EXPECT_GE(textContrast(picture, at), 4.5) << button->text().toStdString() << " device " << device;
        }

        KeyCatalogScreen catalogue(calc);
        catalogue.resize(conversions.size());
        catalogue.show();
        catalogue.updateDisplay();
        QCoreApplication::processEvents();
        const QImage keys = catalogue.grab().toImage();
        int captions = 0;
        for (const QAbstractButton* button : catalogue.findChildren<QAbstractButton*>()) {
            if (!button->isVisible() || button->text().isEmpty() || button->mapTo(&catalogue, QPoint(0, 0)).y() > 50)
                continue;
            ++captions;
            const QRect at(button->mapTo(&catalogue, QPoint(0, 0)) * dpr, button->size() * dpr);
            EXPECT_GE(textContrast(keys, at), 4.5) << button->text().toStdString() << " device " << device;
        }
        EXPECT_GE(captions, 3) << device;
    }
}

} // namespace
} // namespace orvenda::test
