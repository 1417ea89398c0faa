// What the own-page commands leave behind: widgets, the Y= function PolyRoots( writes, the
// GraphVar( slider, both TriSolve( triangles and where molarMass( reports its fault.
// Typed lines are in tests/cases/own-page.cases.
#include "EvalTestSupport.h"
#include "ProgramTestSupport.h"

#include "core/DrawObject.h"

#include <cmath>
#include <numbers>

namespace orvenda {
namespace {

using Ops = std::vector<std::uint32_t>;

struct Slider {
    int token, var;
    double value, step, max, min;
    bool operator==(const Slider&) const = default;
};

class SliderYEq : public testing::RecordingYEq {
public:
    std::vector<Slider> sliders;
    int setYEqFunc(int token, const Ops& ops) override { return RecordingYEq::setYEqFunc(token, ops); }
    void setYEqFunc(int token, int var, double value, double step, double max, double min) override
    {
        sliders.push_back({token, var, value, step, max, min});
    }
};

class OwnPageHandlersTest : public ::testing::Test {
protected:
    void SetUp() override { h.calc.yEqManager = equations; }

    template <class Widget>
    const Widget& control(std::size_t i)
    {
        EXPECT_LT(i, h.calc.ioControls.size());
        auto* widget = dynamic_cast<const Widget*>(h.calc.ioControls.at(i).get());
        EXPECT_NE(widget, nullptr);
        return *widget;
    }

    testing::ProgramHarness h;
    std::shared_ptr<SliderYEq> equations = std::make_shared<SliderYEq>();
};

TEST_F(OwnPageHandlersTest, WidgetsJoinTheProgramsControls)
{
    const Operand r = h.run("InputField(1,2,30,B,\"IN\")\n"
                            "Button(3,4,5,\"GO\",\"LBL\")\n"
                            "Button(0,0,400,\"B\",\"L\")\n"
                            "Selector(5,6,400,\"T1\",\"L1\")\n"
                            "Slider(7,8,50,-1,9,C,\"SL\")");
    EXPECT_EQ(r.error, 0);
    ASSERT_EQ(h.calc.ioControls.size(), 5u);
    const auto& field = control<DrawInputField>(0);
    EXPECT_EQ(field.x, 1);
    EXPECT_EQ(field.y, 2);
    EXPECT_EQ(field.width, 30);
    EXPECT_EQ(field.varNum, 1);
    EXPECT_EQ(field.lblName, "IN");
    EXPECT_EQ(field.prgmName, "T") << "its label runs in the program that placed it";
    const auto& narrow = control<DrawButton>(1);
    EXPECT_EQ(narrow.width, 30);
    EXPECT_EQ(narrow.buttonName, "GO");
    EXPECT_EQ(narrow.lblName, "LBL");
    EXPECT_EQ(narrow.prgmName, "T");
    EXPECT_EQ(control<DrawButton>(2).width, 300);
    const auto& selector = control<DrawSelector>(3);
    EXPECT_EQ(selector.width, 400);
    EXPECT_EQ(selector.titles, "T1");
    EXPECT_EQ(selector.labels, "L1");
    const auto& slider = control<DrawSlider>(4);
    EXPECT_EQ(slider.min, -1);
    EXPECT_EQ(slider.max, 9);
    EXPECT_EQ(slider.varNum, 2);
    EXPECT_EQ(slider.width, 50);
    EXPECT_EQ(slider.lblName, "SL");

    // A failed widget adds nothing.
    EXPECT_EQ(h.run("Button(1,2,3,4,\"L\")").error, 27);
    EXPECT_EQ(h.calc.ioControls.size(), 5u);
}

TEST_F(OwnPageHandlersTest, PolyRootsWritesThePolynomialIntoTheEquation)
{
    const Operand real = h.enter("PolyRoots({1,-3,2},Y₁)");
    EXPECT_EQ(real.kind, KindRealList);
    EXPECT_EQ(equations->equations[0x5E10], (Ops{0x58, 0x0D, 0x71, 0x33, 0x58, 0x70, 0x32}));  // X²—3X+2
    EXPECT_TRUE(equations->visible[0x5E10]);

    const Operand complex = h.enter("PolyRoots({-1,0,-2.5},Y₀)");
    EXPECT_EQ(complex.kind, KindComplexList);
    ASSERT_TRUE(complex.list);
    EXPECT_NEAR(complex.list->complexAtIndex(0).imag(), std::sqrt(2.5), 1e-15);
    EXPECT_EQ(equations->equations[0x5E19], (Ops{0xB0, 0x58, 0x0D, 0x71, 0x32, 0x3A, 0x35}));  // -X²—2.5

    EXPECT_EQ(h.enter("PolyRoots({1,2},Xt₁)").error, 0);
    EXPECT_EQ(equations->equations.count(0x5E20), 0u);
}

TEST_F(OwnPageHandlersTest, GraphVarAttachesASliderToTheNumberedEquation)
{
    EXPECT_EQ(h.enter("GraphVar(-5,5,.5,1,A,10)").error, 0);
    h.calc.setGraphMode(1);
    EXPECT_EQ(h.enter("GraphVar(0,1,.1,.2,B,2)").error, 0);
    EXPECT_EQ(equations->sliders, (std::vector<Slider>{{0x5E19, 0, 1, .5, 5, -5}, {0x5E22, 1, .2, .1, 1, 0}}));
    EXPECT_EQ(h.enter("GraphVar(0,1,.1,.2,B,7)").error, 27);
    EXPECT_EQ(h.enter("GraphVar(0,1,.1,.2,L₁,1)").error, 27);
}

// Evaluated directly, as the editors do: the record keeps its value beside an error.
Operand evaluate(Parser& parser, const std::string& text)
{
    const Ops ops = testing::ProgramHarness::ops(text);
    parser.infixToRPN(&ops, 0);
    const VQStack rpn = parser.rpnStack();
    return parser.evalRPN(rpn, false, false);
}

TEST_F(OwnPageHandlersTest, TriSolveAnswersInTheAngleMode)
{
    h.calc.setAngleFormat(0);
    const Operand r = evaluate(h.parser(), "TriSolve(0,0,0,3,4,5)");
    ASSERT_TRUE(r.list);
    ASSERT_EQ(r.list->count(), 6);
    EXPECT_EQ(r.list->realAtIndex(0), 36.86989764584402);
    EXPECT_NEAR(r.list->realAtIndex(1), 53.13010235415598, 1e-13);
    EXPECT_EQ(r.list->realAtIndex(2), 90);
}

TEST_F(OwnPageHandlersTest, TwoTrianglesComeBackTogetherWithTheirError)
{
    const Operand r = evaluate(h.parser(), "TriSolve(30,0,0,4,6,0)");
    EXPECT_EQ(r.error, 68);
    ASSERT_TRUE(r.list);
    ASSERT_EQ(r.list->count(), 12);
    const double b = std::asin(0.75) * 180 / std::numbers::pi;
    EXPECT_NEAR(r.list->realAtIndex(1), b, 1e-10);
    EXPECT_NEAR(r.list->realAtIndex(7), 180 - b, 1e-10);
    EXPECT_NEAR(r.list->realAtIndex(5), 6 * std::cos(std::numbers::pi / 6) + std::sqrt(7.0), 1e-12);
    EXPECT_NEAR(r.list->realAtIndex(11), 6 * std::cos(std::numbers::pi / 6) - std::sqrt(7.0), 1e-12);
    EXPECT_EQ(r.list->realAtIndex(6), 30);
    EXPECT_EQ(r.list->realAtIndex(9), 4);
}

TEST_F(OwnPageHandlersTest, AnUnreadableFormulaIsReportedAtItsFaultyToken)
{
    // Tokens: molarMass( " H 2 X x " ) — the formula's fourth character, x, is token 5.
    const Operand r = h.enter("molarMass(\"H2Xx\")");
    EXPECT_EQ(r.error, 60);
    EXPECT_EQ(r.location, 5);
    EXPECT_EQ(h.enter("molarMass(\"H2O\"").re(), 2 * 1.008 + 15.999);
}

} // namespace
} // namespace orvenda
