#include "numeric/StatTests.h"

#include "core/Calculator.h"
#include "language/ErrorNumbers.h"
#include "numeric/StatSlots.h"
#include "numeric/VQStatistics.h"

#include "TestSupport.h"
#include "numeric/ReferenceData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <utility>
#include <vector>

// Expected values are 30-digit computations of the same formulas (incomplete beta and
// gamma functions), and the certified results of the reference data sets.

namespace orvenda {
namespace {

using test::reals;
using Slots = std::vector<std::pair<int, double>>;

class StatTestsTest : public ::testing::Test {
protected:
    void set(const Slots& inputs)
    {
        for (auto [slot, value] : inputs)
            calc.locked()->vars[static_cast<std::size_t>(slot)] = {value, 0.0};
    }
    double get(int slot) const { return calc.locked()->vars[static_cast<std::size_t>(slot)].real(); }
    void expect(const Slots& results, double tolerance = 1e-10)
    {
        for (auto [slot, want] : results)
            EXPECT_LE(std::fabs(get(slot) - want), tolerance * std::fabs(want))
                << "slot " << slot << ": " << get(slot) << " against " << want;
    }

    Calculator calc;
    StatTests tests{calc};
};

struct Case {
    const char* name;
    Slots inputs;
    std::function<int(StatTests&)> run;
    Slots results;
};

TEST_F(StatTestsTest, TestsAndIntervalsMatchReferenceValues)
{
    const Slots twoSamples = {{SlotXMean1, 10}, {SlotSx1, 2}, {SlotN1, 20}, {SlotXMean2, 11}, {SlotSx2, 3}, {SlotN2, 25}};
    const Case cases[] = {
        {"Z-Test", {{SlotMu0, 100}, {SlotSigma, 15}, {SlotXMean, 105}, {SlotTestN, 36}},
         [](StatTests& t) { return t.computeZTest(0); }, {{SlotZ, 2}, {SlotP, 0.0455002638963584144}}},
        {"T-Test", {{SlotMu0, 5}, {SlotXMean, 5.35}, {SlotSx, 0.450396650583841328}, {SlotTestN, 8}},
         [](StatTests& t) { return t.computeTTest(0); },
         {{SlotT, 2.19795038967965738}, {SlotP, 0.0639241229388649188}}},
        {"2-SampZTest <",
         {{SlotSigma1, 2}, {SlotSigma2, 3}, {SlotXMean1, 10}, {SlotN1, 20}, {SlotXMean2, 11}, {SlotN2, 25}},
         [](StatTests& t) { return t.computeZ2Test(1); },
         {{SlotZ, -1.33630620956212192}, {SlotP, 0.0907246038607101663}}},
        {"2-SampTTest", twoSamples, [](StatTests& t) { return t.computeT2Test(0, false); },
         {{SlotT, -1.33630620956212192}, {SlotDf, 41.7840112201963534}, {SlotP, 0.188681210907514550}}},
        {"2-SampTTest > pooled", twoSamples, [](StatTests& t) { return t.computeT2Test(2, true); },
         {{SlotT, -1.27915021258734608}, {SlotDf, 43}, {SlotP, 0.896147965269733191}, {SlotSxp, 2.60589671215468643}}},
        {"1-PropZTest >", {{SlotP0, 0.5}, {SlotX, 60}, {SlotTestN, 100}},
         [](StatTests& t) { return t.compute1PropZTest(2); },
         {{SlotZ, 2}, {SlotP, 0.0227501319481792072}, {SlotPHat, 0.6}}},
        {"2-PropZTest", {{SlotX1, 45}, {SlotN1, 100}, {SlotX2, 30}, {SlotN2, 90}},
         [](StatTests& t) { return t.compute2PropZTest(0); },
         {{SlotZ, 1.64272661287192920}, {SlotP, 0.100439509979635490}, {SlotPHat, 0.394736842105263158}}},
        {"ZInterval", {{SlotSigma, 15}, {SlotXMean, 105}, {SlotTestN, 36}, {SlotCLevel, 0.95}},
         [](StatTests& t) { return t.computeZInterval(); },
         {{SlotLower, 100.100090038649864}, {SlotUpper, 109.899909961350136}}},
        {"TInterval", {{SlotXMean, 5.35}, {SlotSx, 0.4}, {SlotTestN, 8}, {SlotCLevel, 0.9}},
         [](StatTests& t) { return t.computeTInterval(); },
         {{SlotLower, 5.08206612416998114}, {SlotUpper, 5.61793387583001886}}},
        {"2-SampZInt",
         {{SlotSigma1, 2}, {SlotSigma2, 3}, {SlotXMean1, 10}, {SlotN1, 20}, {SlotXMean2, 11}, {SlotN2, 25},
          {SlotCLevel, 0.95}},
         [](StatTests& t) { return t.computeZ2Interval(); },
         {{SlotLower, -2.46670274411303620}, {SlotUpper, 0.466702744113036197}}},
        {"2-SampTInt", twoSamples, [](StatTests& t) { return t.computeT2IntervalPool(false); },
         {{SlotLower, -2.51042537269740316}, {SlotUpper, 0.510425372697403162}}},
        {"2-SampTInt pooled", twoSamples, [](StatTests& t) { return t.computeT2IntervalPool(true); },
         {{SlotLower, -2.57658747141873743}, {SlotUpper, 0.576587471418737428}}},
        {"1-PropZInt", {{SlotX, 60}, {SlotTestN, 100}}, [](StatTests& t) { return t.compute1PropZInterval(); },
         {{SlotLower, 0.503981766472893794}, {SlotUpper, 0.696018233527106206}}},
        {"2-PropZInt", {{SlotX1, 45}, {SlotN1, 100}, {SlotX2, 30}, {SlotN2, 90}},
         [](StatTests& t) { return t.compute2PropZInterval(); },
         {{SlotLower, -0.0211473169819627365}, {SlotUpper, 0.254480650315296070}}},
        {"2-SampFTest", twoSamples, [](StatTests& t) { return t.computeF2Test(0); },
         {{SlotF, 4.0 / 9}, {SlotP, 0.0754339710180420459}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        set({{SlotCLevel, 0.95}});
        set(c.inputs);
        ASSERT_EQ(c.run(tests), 0);
        expect(c.results);
    }
}

TEST_F(StatTestsTest, ChiSquareTestsGiveTheirTablesAndContributions)
{
    VQMatrix expected;
    ASSERT_EQ(tests.computeX2TestMat1(test::matrixOf({{10, 20}, {30, 40}}), expected), 0);
    expect({{SlotChi2, 50.0 / 63}, {SlotP, 0.372998483613487117}, {SlotDf, 1}});
    EXPECT_EQ(std::vector<double>(expected.m(), expected.m() + 4), (std::vector<double>{12, 18, 28, 42}));

    ASSERT_EQ(tests.computeX2GOFTestObserved(reals({10, 20, 30}), reals({15, 15, 30}), 2), 0);
    expect({{SlotChi2, 10.0 / 3}, {SlotP, 0.188875602837561838}, {SlotDf, 2}});
    EXPECT_EQ(calc.locked()->lists["CNTRB"].realList(), (std::vector<double>{25.0 / 15, 25.0 / 15, 0}));
}

TEST_F(StatTestsTest, SlopeTestAndIntervalMatchReferenceValues)
{
    const VQList x = reals({1, 2, 3, 4, 5, 6}), y = reals({1.2, 1.9, 3.2, 3.8, 5.1, 6.3});
    int error = -1;
    ASSERT_TRUE(tests.computeLinRegTTestX(x, y, nullptr, 0, error));
    expect({{SlotT, 20.0405838238310812}, {SlotP, 3.65876906913079526e-5}, {SlotS, 0.212916258968950827},
            {SlotA, 0.0133333333333333333}, {SlotA + 1, 1.02}, {SlotR2, 0.990138674884437596}, {SlotDf, 4}});
    ASSERT_TRUE(tests.computeLinRegTIntervalX(x, y, nullptr, 0.95, error));
    expect({{SlotLower, 0.878688048601950725}, {SlotUpper, 1.16131195139804928}});
}

TEST_F(StatTestsTest, BadInputsGiveTheirErrorsAndLeaveTheResults)
{
    struct Bad {
        const char* name;
        Slots inputs;
        std::function<int(StatTests&)> run;
        int error;
    };
    const Bad cases[] = {
        {"σ 0", {{SlotSigma, 0}, {SlotTestN, 36}}, [](StatTests& t) { return t.computeZTest(0); }, ErrDomain},
        {"n 1", {{SlotSx, 1}, {SlotTestN, 1}}, [](StatTests& t) { return t.computeTTest(0); }, ErrDomain},
        {"x above n", {{SlotP0, 0.5}, {SlotX, 7}, {SlotTestN, 5}},
         [](StatTests& t) { return t.compute1PropZTest(0); }, ErrDomain},
        {"p0 1", {{SlotP0, 1}, {SlotX, 2}, {SlotTestN, 5}}, [](StatTests& t) { return t.compute1PropZTest(0); },
         ErrDomain},
        {"C-Level 1.5", {{SlotSigma, 1}, {SlotTestN, 4}, {SlotCLevel, 1.5}},
         [](StatTests& t) { return t.computeZInterval(); }, ErrCLevel},
    };
    for (const Bad& c : cases) {
        SCOPED_TRACE(c.name);
        set({{SlotP, 7}, {SlotLower, 7}});
        set(c.inputs);
        EXPECT_EQ(c.run(tests), c.error);
        EXPECT_EQ(get(SlotP), 7);
        EXPECT_EQ(get(SlotLower), 7);
    }
    VQMatrix expected;
    EXPECT_EQ(tests.computeX2TestMat1(test::matrixOf({{1, 2, 3}}), expected), ErrDomain);
    EXPECT_EQ(tests.computeX2TestMat1(test::matrixOf({{1, 0}, {2, 0}}), expected), ErrDivideBy0);
    EXPECT_EQ(tests.computeX2GOFTestObserved(reals({1, 2}), reals({1}), 1), ErrDimMismatch);
    EXPECT_EQ(tests.computeX2GOFTestObserved(reals({1, 2}), reals({1, 0}), 1), ErrDomain);
    EXPECT_EQ(tests.computeX2GOFTestObserved(reals({1, 2}), reals({1, 2}), 0.5), ErrDomain);
}

// The groups of a reference ANOVA data set, by their treatment number.
std::vector<VQList> groupsOf(const char* file)
{
    const testing::ReferenceData data = testing::readReferenceData(file);
    std::map<double, VQList> groups;
    for (std::size_t i = 0; i < data.first.size(); ++i)
        groups[data.first[i]].addReal(data.second[i], 15, -15);
    std::vector<VQList> out;
    for (auto& [key, list] : groups)
        out.push_back(list);
    return out;
}

struct AnovaCase {
    const char* file;
    double f, betweenSS, withinSS;
    double tolerance;
};

TEST_F(StatTestsTest, AnovaMatchesCertifiedResults)
{
    const AnovaCase cases[] = {
        {"SmLs01.dat", 21, 1.68, 1.8, 1e-10},
        {"SmLs04.dat", 21, 1.68, 1.8, 1e-10},
        {"AtmWtAg.dat", 15.9467335677930, 3.63834187500000e-09, 1.04951729166667e-08, 1e-8},
    };
    for (const AnovaCase& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<VQList> groups = groupsOf(c.file);
        std::vector<const VQList*> lists;
        for (const VQList& g : groups)
            lists.push_back(&g);
        ASSERT_EQ(tests.anova(lists), 0);
        expect({{SlotF, c.f}, {SlotFactorDf + 1, c.betweenSS}, {SlotErrorDf + 1, c.withinSS}}, c.tolerance);
    }
}

TEST_F(StatTestsTest, AnovaNeedsErrorDegreesOfFreedom)
{
    const VQList one = reals({1}), two = reals({2}), none;
    EXPECT_EQ(tests.anova({&one, &two}), ErrDivideBy0);
    EXPECT_EQ(tests.anova({&one, &none}), ErrInvalidDim);
}

} // namespace
} // namespace orvenda
