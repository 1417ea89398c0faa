// The calculator answers names, colours and op texts under its own names; one check per
// forwarder that it reaches the right table, and the logic of its own it adds.
#include "core/Calculator.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace orvenda;
using namespace orvenda::test;

TEST(CalculatorForwardersTest, NamesAndOpText)
{
    Calculator calc(kUS);
    EXPECT_EQ(calc.nameForOpcode(0xC2), "sin(");
    EXPECT_EQ(calc.speakNameForOpcode(0x6000), "op(6000)");
    EXPECT_EQ(calc.descriptionForOpcode(0xBB5E + (5u << 16)), calc.nameForOpcode(0xBB5E));
    EXPECT_EQ(calc.expandedNameForOpcode(0xBB5E + (3u << 16)), "Na");
    EXPECT_FALSE(calc.expandedNameForOpcode(0xC2).has_value());
    EXPECT_EQ(calc.opcodeForName("[A]"), 0xFFFFFFFFu);
    EXPECT_EQ(calc.nameForRegression(0), "LinReg(a+bx)");
    EXPECT_EQ(calc.nameForGCompute(9), "dr/dθ");
    EXPECT_EQ(calc.nameForVariable(0), "A");
    EXPECT_FALSE(calc.nameForVariable(218).has_value());

    const Calculator::Ops ops{0xC2, 0x31, 0x11}; // sin( 1 )
    std::int32_t cursor = 1;
    EXPECT_EQ(calc.stringFromOps(ops, cursor), "sin(1)");
    EXPECT_EQ(cursor, 4);
    EXPECT_EQ(calc.stringFromOps(calc.stringToOps("12")), "12");
}

TEST(CalculatorForwardersTest, ColoursFollowTheKeyboardColourSet)
{
    Calculator calc(kUS);
    auto expectSame = [](const VColor& a, const VColor& b) {
        EXPECT_EQ(a.r, b.r);
        EXPECT_EQ(a.g, b.g);
        EXPECT_EQ(a.b, b.b);
        EXPECT_EQ(a.a, b.a);
    };
    expectSame(calc.interfaceColorIndex(3), VColor::vColorR(61, 110, 201, 255));
    calc.keyboardColorSet = 2;
    expectSame(calc.interfaceColorIndex(3), VColor::vColorR(74, 164, 86, 255));
    expectSame(calc.interfaceColorIndex(7), VColor::vColorR(10, 77, 1, 255));
    calc.keyboardColorSet = 6; // no such set: the default one
    expectSame(calc.interfaceColorIndex(3), VColor::vColorR(61, 110, 201, 255));
    expectSame(calc.interfaceColor(5, 2), VColor::vColorR(0, 128, 255, 255));

    EXPECT_EQ(calc.standardColor(0).realList(), (std::vector<double>{1, 1, 1}));
    EXPECT_EQ(calc.tiColor(11).realList(), (std::vector<double>{1, 0, 0}));
    const VQColor red = calc.stdVQColor(31);
    EXPECT_EQ(red.r(), 1);
    EXPECT_EQ(red.g(), 0);
    EXPECT_EQ(red.a(), 1);
}
