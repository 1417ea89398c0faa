#include "eval/GraphSampler.h"

#include "AllocationHooks.h"
#include "ProgramTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

namespace orvenda {
namespace {

using XY = GraphSampler::XY;
using XYT = GraphSampler::XYT;

constexpr int kY1 = 0x5E10, kY2 = 0x5E11, kY3 = 0x5E12, kX1T = 0x5E20, kY1T = 0x5E21, kR1 = 0x5E40, kU = 0x5E80;
constexpr int kSlotT = 19, kSlotX = 23, kSlotTheta = 26;

// Equations typed as text and compiled by the calculator's own parser.
class CompilingYEq : public test::FakeYEq {
public:
    explicit CompilingYEq(Calculator& c) { calc = &c; }
    void set(int token, const std::string& text)
    {
        Ops ops = testing::ProgramHarness::ops(text);
        compiled[token] = std::make_shared<VQStack>(calc->parser().getRPNfor(ops));
    }
    std::shared_ptr<VQStack> rpnForFunction(int token) override
    {
        auto it = compiled.find(token);
        return it == compiled.end() ? nullptr : it->second;
    }
    std::map<int, std::shared_ptr<VQStack>> compiled;
};

class GraphSamplerTest : public ::testing::Test {
protected:
    GraphSamplerTest()
    {
        calc.yEqManager = yEq;
        calc.locked()->vars[kSlotX] = {7, 0};
    }
    double x() const { return calc.locked()->vars[kSlotX].real(); }

    Calculator calc;
    std::shared_ptr<CompilingYEq> yEq = std::make_shared<CompilingYEq>(calc);
    GraphSampler sampler{calc};
};

TEST_F(GraphSamplerTest, FunctionSamplesStepByRepeatedAdditionAndLeaveXAlone)
{
    yEq->set(kY1, "X²");
    std::array<XY, 5> five;
    sampler.plotFunction(kY1, kSlotX, -1, 0.5, five);
    const std::array<XY, 5> expected{{{-1, 1}, {-0.5, 0.25}, {0, 0}, {0.5, 0.25}, {1, 1}}};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(five[i].x, expected[i].x);
        EXPECT_EQ(five[i].y, expected[i].y);
    }
    EXPECT_EQ(x(), 7);
    EXPECT_EQ(calc.locked()->vars[kSlotX].imag(), 0);

    // Eleven tenths added up fall short of 1, where 10 × 0.1 would not.
    std::array<XY, 11> tenths;
    sampler.plotFn(*yEq->compiled[kY1], kSlotX, 0, 0.1, tenths);
    EXPECT_EQ(tenths[10].x, 0.9999999999999999);

    sampler.plotFn(*yEq->compiled[kY1], kSlotX, 0, 1, std::span<XY>());  // a count of 0
    EXPECT_EQ(x(), 7);
}

TEST_F(GraphSamplerTest, APolynomialGoesThroughTheFastEvaluatorWithoutAllocating)
{
    yEq->set(kY1, "2X³-X+5");
    const VQStack& fn = *yEq->compiled[kY1];
    std::array<XY, 64> samples;
    sampler.plotFn(fn, kSlotX, -4, 0.125, samples);  // the program's storage, once
    {
        const test::CountAllocations allocations;
        sampler.plotFn(fn, kSlotX, -4, 0.125, samples);
        EXPECT_EQ(allocations.count(), 0);
    }
    for (const XY& p : samples)
        EXPECT_DOUBLE_EQ(p.y, 2 * p.x * p.x * p.x - p.x + 5);
    EXPECT_EQ(sampler.evalQuick(fn, kSlotX, 2), 19);
    EXPECT_EQ(x(), 7);
}

TEST_F(GraphSamplerTest, FailuresAndNonRealValuesBecomeNaNWithTheErrorCleared)
{
    yEq->set(kY1, "√(X)");
    yEq->set(kY2, "ln(X)");
    for (int mode : {0, 1}) {
        calc.setRealCplxMode(mode);
        std::array<XY, 3> samples;
        sampler.plotFunction(kY1, kSlotX, -1, 1, samples);
        EXPECT_TRUE(std::isnan(samples[0].y)) << "mode " << mode;
        EXPECT_EQ(samples[0].x, -1);
        EXPECT_EQ(samples[1].y, 0);
        EXPECT_EQ(samples[2].y, 1);
        EXPECT_EQ(calc.parser().error(), 0);
        EXPECT_TRUE(std::isnan(sampler.function(kY2, kSlotX, 0)));
        EXPECT_EQ(calc.parser().error(), 0);
    }
    EXPECT_EQ(sampler.function(kY2, kSlotX, 1), 0);
    EXPECT_EQ(x(), 7);
    // An equation that is not there, and a slot that is not one.
    EXPECT_TRUE(std::isnan(sampler.function(0x5E15, kSlotX, 1)));
    EXPECT_TRUE(std::isnan(sampler.function(kY2, -1, 1)));
}

TEST_F(GraphSamplerTest, TableValuesFailLikeEveryOtherSingleValue)
{
    yEq->set(kY2, "ln(X)");
    EXPECT_TRUE(std::isnan(sampler.dfunction(kY2, -1)));
    EXPECT_EQ(calc.parser().error(), 0);
    EXPECT_NEAR(sampler.dfunction(kY2, std::numbers::e), 1, 1e-14);
    EXPECT_EQ(sampler.dfunction(0x5E00, 3), 0);  // no variable
    EXPECT_EQ(x(), 7);
}

TEST_F(GraphSamplerTest, SlopesByCentralDifferences)
{
    yEq->set(kY1, "X³");
    yEq->set(kY2, "ln(X)");
    EXPECT_NEAR(sampler.slopeFn(*yEq->compiled[kY1], kSlotX, 2, 1e-5), 12, 1e-8);
    EXPECT_NEAR(sampler.dydxAt(2, kY1, 1e-5), 12, 1e-8);
    // A failed side: NaN, and the error stays for the caller.
    EXPECT_TRUE(std::isnan(sampler.slopeFn(*yEq->compiled[kY2], kSlotX, 0, 1e-5)));
    EXPECT_EQ(calc.parser().error(), 15) << "ln( left of 0";
    calc.parser().setError(0);

    yEq->set(kX1T, "T²");
    yEq->set(kY1T, "T³");
    EXPECT_NEAR(sampler.dydxAt(1, kY1T, 1e-5), 1.5, 1e-8);
    yEq->set(kR1, "1");
    calc.setAngleFormat(0);
    EXPECT_NEAR(sampler.dydxAt(45, kR1, 1e-3), -1, 1e-8);
    yEq->set(kR1, "θ");
    EXPECT_NEAR(sampler.drdThetaAt(30, kR1, 1e-3), 1, 1e-8);
    EXPECT_TRUE(std::isnan(sampler.dydxAt(1, kU, 1e-5)));
    EXPECT_TRUE(std::isnan(sampler.dydxAt(1, 0x5EA0, 1e-5)));
    EXPECT_EQ(x(), 7);
}

TEST_F(GraphSamplerTest, PolarAndParametricCurvesEndExactlyAtTheirMaximum)
{
    calc.locked()->vars[kSlotTheta] = {5, 0};
    calc.locked()->vars[kSlotT] = {6, 0};
    yEq->set(kR1, "2");
    calc.setAngleFormat(0);
    std::array<XYT, 1> one;
    sampler.plotPolar(kR1, 0, 90, 10, one);
    EXPECT_EQ(one[0].t, 90);
    EXPECT_NEAR(one[0].x, 0, 1e-15);
    EXPECT_EQ(one[0].y, 2);

    yEq->set(kX1T, "T");
    yEq->set(kY1T, "√(T-.5)");
    std::array<XYT, 4> curve;
    sampler.plotParametric(kX1T, 0, 1, 0.3, curve);
    EXPECT_EQ(curve[2].t, 0.6);
    EXPECT_EQ(curve[3].t, 1);
    EXPECT_EQ(curve[3].x, 1);
    EXPECT_EQ(curve[0].x, 0);
    EXPECT_TRUE(std::isnan(curve[0].y));  // each half judged on its own
    EXPECT_NEAR(curve[2].y, std::sqrt(0.1), 1e-15);
    EXPECT_EQ(calc.locked()->vars[kSlotTheta].real(), 5);
    EXPECT_EQ(calc.locked()->vars[kSlotT].real(), 6);
}

TEST_F(GraphSamplerTest, IntegralsAndExtremaOfAFunction)
{
    yEq->set(kY1, "X²");
    yEq->set(kY2, "(X-1)²");
    EXPECT_NEAR(sampler.integrateEqNum(kY1, 0, 3, 1e-5), 9, 1e-9);
    // The shading's area comes from the same quadrature: a singular bound is never reached.
    yEq->set(kY3, "1/√(X-1)");
    EXPECT_NEAR(sampler.integrateEqNum(kY3, 1, 999, 1e-5), 2 * std::sqrt(998.0), 1e-6);
    EXPECT_EQ(calc.parser().error(), 0);
    EXPECT_NEAR(sampler.minEqNum(kY2, -3, 3, 1e-5), 1, 1e-4);
    EXPECT_NEAR(sampler.maxEqNum(kY2, -3, 3, 1e-5), -3, 1e-4);
    EXPECT_EQ(calc.parser().error(), 0);
    EXPECT_TRUE(std::isnan(sampler.integrateEqNum(0x5E15, 0, 1, 1e-5)));
    EXPECT_EQ(calc.parser().error(), 19);
    calc.parser().setError(0);
    // A sequence term that cannot be had (no such sequence) is NaN like any failure.
    EXPECT_TRUE(std::isnan(sampler.function(kU, 27, 3)));
    EXPECT_EQ(calc.parser().error(), 0);
    EXPECT_EQ(x(), 7);
}

// Expressions on which the fast evaluator once went its own way: each curve, polar and
// parametric too, passes through every point the trace reads, and shows no point the trace
// has no value for.
TEST_F(GraphSamplerTest, CurvesPassThroughTheirTracedPoints)
{
    const char* const texts[] = {"1␣1／4", "X+2␣3／4", "remainder(X,4)", "gcd(X,4)", "lcm(X,6)", "round(X,1.5)",
                                 "round(X/7,2)", "roundSigFig(X/7,3)", "tan(X)", "sin(X*1ᴱ-20)*1ᴱ22",
                                 "cos(X)+sin(2X)", "X+e^(ln(0))", "not(ln(X))", "X+not(e^(1000X))", "X³-X",
                                 "X^2", "0^X", "(-8)^(X/3)", "³√(X)", "X*1ᴱ-20=2ᴱ-20", "√(X)", "1/X"};
    auto in = [](std::string text, const std::string& variable) {
        for (std::size_t at = text.find('X'); at != std::string::npos; at = text.find('X', at + variable.size()))
            text.replace(at, 1, variable);
        return text;
    };
    for (const char* text : texts) {
        yEq->set(kY1, text);
        yEq->set(kR1, in(text, "θ"));
        yEq->set(kX1T, "T");
        yEq->set(kY1T, in(text, "T"));
        for (int angle : {0, 1}) {
            calc.setAngleFormat(angle);
            // Quarter turns, halves and whole numbers, both signs.
            for (const auto& [from, step] : {std::pair{-360.0, 45.0}, std::pair{-5.0, 0.25}}) {
                std::array<XY, 41> curve;
                sampler.plotFunction(kY1, kSlotX, from, step, curve);
                std::array<XYT, 41> polar, parametric;
                sampler.plotPolar(kR1, from, from + 40 * step, step, polar);
                sampler.plotParametric(kX1T, from, from + 40 * step, step, parametric);
                const double toRadians = angle == 0 ? std::numbers::pi / 180 : 1;
                for (std::size_t i = 0; i < curve.size(); ++i) {
                    const double x = curve[i].x;
                    const double y = sampler.function(kY1, kSlotX, x);
                    EXPECT_TRUE(curve[i].y == y || (std::isnan(curve[i].y) && std::isnan(y)))
                        << text << " at " << x << " angle " << angle << ": drawn " << curve[i].y << ", traced " << y;
                    const double t = polar[i].t;
                    const double r = sampler.function(kR1, kSlotTheta, t);
                    const double px = r * std::cos(t * toRadians);
                    EXPECT_TRUE(polar[i].x == px || (std::isnan(polar[i].x) && std::isnan(px)))
                        << "polar " << text << " at " << t << ": drawn " << polar[i].x << ", traced " << px;
                    const double py = sampler.function(kY1T, kSlotT, parametric[i].t);
                    EXPECT_TRUE(parametric[i].y == py || (std::isnan(parametric[i].y) && std::isnan(py)))
                        << "parametric " << text << " at " << parametric[i].t << ": drawn " << parametric[i].y
                        << ", traced " << py;
                }
            }
        }
    }
    EXPECT_EQ(x(), 7);
}

// The calculate sheet's integral, zero, minimum and maximum give the home line's value or
// its error, never a value of an expression that has none.
TEST_F(GraphSamplerTest, CalculationsGiveTheHomeLinesValueOrError)
{
    calc.setAngleFormat(0);
    struct Case {
        const char* text;
        double integral;  // over 0..1
        int error;        // of every routine, where the text has no value anywhere on 0..1
    };
    const Case cases[] = {
        {"1␣1／4", 1.25, 0},
        {"X+1␣1／2", 2, 0},
        {"sin(X*1ᴱ-20)*1ᴱ22", 0, 0},
        {"X+e^(ln(0))", 0, 17},
        {"X+not(e^(1000X+1000))", 0, 18},
        {"gcd(X+1.5,4)", 0, 17},
        {"0^(X-2)", 0, 17},
    };
    for (const Case& c : cases) {
        yEq->set(kY1, c.text);
        const double area = sampler.integrateEqNum(kY1, 0, 1, 1e-5);
        const int integralError = calc.parser().error();
        calc.parser().setError(0);
        const double low = sampler.minEqNum(kY1, 0, 1, 1e-5);
        const int minError = calc.parser().error();
        calc.parser().setError(0);
        const double high = sampler.maxEqNum(kY1, 0, 1, 1e-5);
        const int maxError = calc.parser().error();
        calc.parser().setError(0);
        EXPECT_EQ(integralError, c.error) << c.text;
        EXPECT_EQ(minError, c.error) << c.text;
        EXPECT_EQ(maxError, c.error) << c.text;
        if (c.error == 0) {
            EXPECT_NEAR(area, c.integral, 1e-12) << c.text;
            EXPECT_FALSE(std::isnan(low)) << c.text;
            EXPECT_FALSE(std::isnan(high)) << c.text;
        }
    }
    // The zero: 1½ - X is 0 at 1.5; an expression without a value has no zero.
    // solve( runs inside an evaluation, which holds the state lock.
    yEq->set(kY1, "1␣1／2-X");
    {
        auto lock = calc.lockState();
        EXPECT_EQ(calc.parser().solve(*yEq->compiled[kY1], kSlotX, 0, 3, 1), 1.5);
    }
    EXPECT_EQ(calc.parser().error(), 0);
    yEq->set(kY1, "X+e^(ln(0))");
    {
        auto lock = calc.lockState();
        calc.parser().solve(*yEq->compiled[kY1], kSlotX, 0, 3, 1);
    }
    EXPECT_EQ(calc.parser().error(), 17);
    calc.parser().setError(0);
    EXPECT_EQ(x(), 7);
}

TEST_F(GraphSamplerTest, OnlyPlottedEquationsThatCompileArePlotted)
{
    yEq->set(kY1, "X+1");
    EXPECT_TRUE(sampler.shouldPlotFunction(kY1));
    EXPECT_FALSE(sampler.shouldPlotFunction(kY2));
    yEq->hidden.insert(kY1);
    EXPECT_FALSE(sampler.shouldPlotFunction(kY1));
    EXPECT_EQ(sampler.varNumForPlotFunction(0x5E2B), 19);
    EXPECT_EQ(sampler.varNumForPlotFunction(0x5E82), 27);
    EXPECT_EQ(sampler.varNumForPlotFunction(0x5E2C), -1);
}

TEST(GraphSamplerDistributions, DensitiesAndAreas)
{
    struct Case {
        int token;
        double p1, p2, x, density;
    };
    // Independent references (closed forms evaluated to 30 digits).
    for (const Case& c : {Case{0xBB35, 0, -2, 1, 0.176032663382150}, Case{0xBB36, 3, 0, 1.5, 0.120017174513587},
                          Case{0xBB37, 5, 0, 3, 0.154180329803769}, Case{0xBB37, 2, 0, 1, 0.303265329856317},
                          Case{0xBB38, 3, 7, 2.5, 0.0947861989643671}, Case{0xBB39, 1, 1, 0, 0}})
        EXPECT_NEAR(GraphSampler::shadeFunction(c.token, c.p1, c.p2, c.x), c.density, 5e-10) << std::hex << c.token;

    EXPECT_NEAR(GraphSampler::shadeFunctionArea(0xBB35, 0, 1, -1, 1), 0.6826894921, 5e-11);
    EXPECT_NEAR(GraphSampler::shadeFunctionArea(0xBB36, 10, 0, -2, 2), 0.9266119652, 5e-11);
    EXPECT_EQ(GraphSampler::shadeFunctionArea(0x5E10, 0, 1, -1, 1), 0);

    // Any other token samples the normal density.
    std::array<XY, 3> samples;
    GraphSampler::distributionFunction(0x5E10, 0, 1, -1, 1, samples);
    EXPECT_EQ(samples[2].x, 1);
    EXPECT_NEAR(samples[1].y, 0.398942280401433, 5e-10);
}

} // namespace
} // namespace orvenda

namespace orvenda {
namespace {

// A program stores into X and reads it back while the main thread samples over X: each
// sampling call holds the calculator's state, so the program never sees a sample's X and
// no sample sees the program's.
TEST(GraphSamplerThreads, SamplingBesideAProgramThatStoresX)
{
    testing::ProgramHarness h;
    auto yEq = std::make_shared<CompilingYEq>(h.calc);
    h.calc.yEqManager = yEq;
    yEq->set(kY1, "X²");
    h.store("T", "0->E:For(I,1,4000):I->X:If X≠I:E+1->E:End");
    h.queue().startProgramThread(testing::ProgramHarness::ops("prgmT"));
    GraphSampler sampler(h.calc);
    std::array<XY, 40> samples;
    int wrong = 0, calls = 0;
    while (h.queue().programQueueCount() > 0) {
        sampler.plotFunction(kY1, kSlotX, -1, 0.05, samples);
        for (const XY& p : samples)
            wrong += p.y != p.x * p.x;
        ++calls;
        h.main.pump();
    }
    h.settle();
    ASSERT_FALSE(h.finals.empty());
    EXPECT_NE(h.finals.back().kind, KindError) << h.finals.back().error;
    EXPECT_GT(calls, 0);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(h.var('E'), 0);
    EXPECT_EQ(h.var('X'), 4000);
}

} // namespace
} // namespace orvenda
