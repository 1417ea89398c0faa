// The conversion picker drawn offscreen at the phone's and the tablet's sizes: taps and
// keys pick a class and its units, each class keeps its own pair, the label converts the
// entry's number, and Select hands on the op the evaluator converts with.

#include "apps/ConversionScreen.h"
#include "core/Calculator.h"
#include "language/UnitNames.h"

#include "TestSupport.h"
#include "WidgetEvents.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

struct Size {
    const char* name;
    QSize size;
    int device;
};

const Size kSizes[] = {{"phone", {390, 400}, 0}, {"tablet", {768, 500}, 1}};

class ConversionScreenTest : public ::testing::TestWithParam<Size> {
protected:
    ConversionScreenTest() : calc(kUS)
    {
        calc.device = GetParam().device;
        make();
    }
    void make()
    {
        screen = std::make_unique<ConversionScreen>(calc);
        screen->picked = [this](std::uint32_t op) { picked.push_back(op); };
        screen->resize(GetParam().size);
        screen->show();
        screen->updateDisplay();
    }
    // A tap on row `row` of column k.
    void tapRow(int k, int row)
    {
        QListWidget* list = screen->list(k);
        const QRect item = list->visualItemRect(list->item(row));
        clickAt(*screen, list->viewport()->mapTo(screen.get(), item.center()));
    }
    void press(int key)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(screen.get(), &event);
    }

    Calculator calc;
    std::unique_ptr<ConversionScreen> screen;
    std::vector<std::uint32_t> picked;
};

TEST_P(ConversionScreenTest, TapsPickAClassAndUnitsAndSelectHandsOnTheOp)
{
    const QImage before = screen->grab().toImage();
    tapRow(0, 3);  // Length
    EXPECT_EQ(screen->unitClass(), 3);
    EXPECT_EQ(screen->list(1)->count(), 20);
    tapRow(2, 6);  // to m (mi is the from-unit Length starts with)
    EXPECT_EQ(screen->resultText(), "1 mi▸m = 1609.344");
    EXPECT_EQ(screen->fullText(), " mile▸meter");
    EXPECT_NE(screen->grab().toImage(), before) << "the picture shows the new columns";
    screen->select();
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0], 0xBB5Du | (3078u << 16));
    // The choice is remembered for the next opening.
    EXPECT_EQ(calc.m_lastClass, 3u);
    EXPECT_EQ(calc.m_lastTo, 6u);
    make();
    EXPECT_EQ(screen->unitClass(), 3);
    EXPECT_EQ(screen->to(), 6);
}

TEST_P(ConversionScreenTest, EachClassKeepsItsOwnPairAndSwapExchangesThem)
{
    screen->pickClass(7);          // Temp
    screen->pickUnits(1, 0);       // °C ▸ °F
    screen->pickClass(11);         // SI Prefix
    screen->pickUnits(7, 10);      // k ▸ one
    screen->pickClass(7);
    EXPECT_EQ(screen->from(), 1);
    EXPECT_EQ(screen->to(), 0);
    EXPECT_EQ(screen->resultText(), "1 °C▸°F = 33.8");
    screen->swap();
    EXPECT_EQ(screen->from(), 0);
    EXPECT_EQ(screen->to(), 1);
    screen->pickClass(11);
    EXPECT_EQ(screen->from(), 7);
    EXPECT_EQ(screen->to(), 10);
    // A pair a damaged file brought is no unit of the class: the first unit stands in.
    calc.toFrom[4] = {99, 3};
    screen->pickClass(4);
    EXPECT_EQ(screen->from(), 0);
    EXPECT_EQ(screen->to(), 3);
}

TEST_P(ConversionScreenTest, KeysMoveThroughTheColumnsAndReturnSelects)
{
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    EXPECT_EQ(screen->unitClass(), 3);
    press(Qt::Key_Right);
    for (int k = 0; k < 5; ++k)
        press(Qt::Key_Down);
    press(Qt::Key_Right);
    press(Qt::Key_Right);  // no fourth column
    EXPECT_EQ(screen->column(), 2);
    EXPECT_EQ(screen->from(), 5);
    press(Qt::Key_Up);  // the first row stays the first
    EXPECT_EQ(screen->to(), 0);
    press(Qt::Key_Return);
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0], UnitNames::opcodeForClass(3, 5, 0));
}

TEST_P(ConversionScreenTest, ConstantsShowTheirDescriptionsWithoutSwap)
{
    QPushButton* swap = nullptr;
    for (QPushButton* b : screen->findChildren<QPushButton*>())
        if (b->text() == "Swap")
            swap = b;
    ASSERT_NE(swap, nullptr);
    EXPECT_TRUE(swap->isVisible());
    screen->setMode(ConversionScreen::Constants);
    EXPECT_FALSE(swap->isVisible());
    EXPECT_EQ(screen->list(0)->count(), 20);
    EXPECT_FALSE(screen->list(1)->isVisible());
    EXPECT_EQ(screen->list(0)->width(), screen->width()) << "one column the picker's width";
    tapRow(0, 0);
    EXPECT_EQ(screen->resultText(), "299792458 m/s");
    EXPECT_EQ(screen->fullText(), "");
    screen->select();
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0], 0xBB5Eu);
    screen->pickConstant(19);
    screen->pickConstant(20);  // past the table: nothing changes
    EXPECT_EQ(screen->constant(), 19);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ConversionScreenTest, ::testing::ValuesIn(kSizes),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace orvenda::test
