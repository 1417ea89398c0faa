// The four-function desk calculator: the arithmetic by its keys (left to right, the minus
// that negates, the digit limit, division by zero) and the panel clicked and typed on,
// drawn offscreen at the phone's and the tablet's sizes.

#include "apps/FourFunctionCalc.h"
#include "apps/FourFunctionPanel.h"
#include "core/Calculator.h"

#include "TestSupport.h"
#include "WidgetEvents.h"

#include <QKeyEvent>
#include <QPushButton>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

// Keys as written: digits, ".", "C", "=", "/", "*", "+", "-".
std::string run(const std::string& keys)
{
    FourFunctionCalc c{NumberFormatter::Settings{}};
    for (char k : keys) {
        switch (k) {
        case '.': c.key(FourFunctionCalc::Point); break;
        case 'C': c.key(FourFunctionCalc::Clear); break;
        case '=': c.key(FourFunctionCalc::Equals); break;
        case '/': c.key(FourFunctionCalc::Divide); break;
        case '*': c.key(FourFunctionCalc::Times); break;
        case '+': c.key(FourFunctionCalc::Plus); break;
        case '-': c.key(FourFunctionCalc::Minus); break;
        default: c.key(k - '0'); break;
        }
    }
    return c.text();
}

TEST(FourFunctionCalc, ArithmeticLeftToRight)
{
    EXPECT_EQ(run(""), "0");
    EXPECT_EQ(run("1+2*3="), "9");
    EXPECT_EQ(run("10-4/3="), "2");
    EXPECT_EQ(run("1.5+2.25="), "3.75");
    EXPECT_EQ(run("1..5"), "1.5") << "a second point does nothing";
    EXPECT_EQ(run("-5="), "-5");
    EXPECT_EQ(run("8*-2="), "-16") << "a minus at the start of an entry negates it";
    EXPECT_EQ(run("12+3C"), "0");
    EXPECT_EQ(run("12+3C4="), "4") << "clear forgets the pending operation";
    EXPECT_EQ(run("2+3=*4="), "20") << "a result goes on";
    EXPECT_EQ(run("1/3="), ".3333333333");
}

TEST(FourFunctionCalc, DigitLimitAndDivisionByZero)
{
    EXPECT_EQ(run("12345678901234"), "1234567890123") << "a fourteenth digit is ignored";
    EXPECT_EQ(run("7/0="), "infinity");
    EXPECT_EQ(run("-7/0="), "-infinity");
    EXPECT_EQ(run("0/0="), "Error");
    EXPECT_EQ(run("0/0=+1="), "Error") << "no number stays no number";
    EXPECT_EQ(run("0/0=C2+2="), "4") << "clear starts again";
}

struct Size {
    const char* name;
    QSize size;
};

class FourFunctionPanelTest : public ::testing::TestWithParam<Size> {
protected:
    FourFunctionPanelTest() : calc(kUS), panel(calc)
    {
        panel.resize(GetParam().size);
        panel.show();
    }
    void click(int tag) { clickAt(panel, centreIn(panel, *panel.button(tag))); }
    void type(const QString& text)
    {
        for (QChar ch : text) {
            QKeyEvent event(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(&panel, &event);
        }
    }

    Calculator calc;
    FourFunctionPanel panel;
};

TEST_P(FourFunctionPanelTest, ClicksAndKeysWorkItAndThePictureShowsTheText)
{
    // The displays above the buttons (whose press shading fades in the style's own time).
    const QRect displays(0, 0, panel.width(), panel.button(0)->y());
    const QImage start = panel.grab(displays).toImage();
    // 7 ÷ 0 = by clicks: tags 4 (7), 2 (÷), 16 (0), 15 (=).
    for (int tag : {4, 2, 16, 15})
        click(tag);
    EXPECT_EQ(panel.text(), "infinity");
    EXPECT_NE(panel.grab(displays).toImage(), start);
    click(0);
    EXPECT_EQ(panel.text(), "0");
    type("0/0=");
    EXPECT_EQ(panel.text(), "Error");
    type("c1+2*3");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&panel, &enter);
    EXPECT_EQ(panel.text(), "9");
}

INSTANTIATE_TEST_SUITE_P(Sizes, FourFunctionPanelTest,
    ::testing::Values(Size{"phone", {390, 500}}, Size{"tablet", {768, 600}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace orvenda::test
