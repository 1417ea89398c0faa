#include "numeric/VQStatistics.h"

#include "core/Calculator.h"
#include "language/ErrorNumbers.h"
#include "language/TokenText.h"

#include "TestSupport.h"
#include "numeric/ReferenceData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <numbers>

// The summaries and fits by their numbers; their texts are in tests/cases/statistics.cases.

namespace orvenda {
namespace {

using test::reals;

VQList listOf(const std::vector<double>& xs)
{
    VQList l;
    for (double x : xs)
        l.addReal(x, 15, -15);
    return l;
}

void expectRelative(double got, double want, double tolerance, const char* what)
{
    EXPECT_LE(std::fabs(got - want), tolerance * std::fabs(want)) << what << ": " << got << " against " << want;
}

TEST(VQStatisticsTest, OneVarKeepsTheDigitsOfDataWithManyLeadingDigits)
{
    const auto s = VQStatistics::oneVar(reals({10000001, 10000003, 10000002}), nullptr);
    EXPECT_EQ(s->Xmean, 10000002);
    EXPECT_EQ(s->stdX, 1);

    std::vector<double> xs = {1000000000.2};
    for (int i = 0; i < 500; ++i) {
        xs.push_back(1000000000.1);
        xs.push_back(1000000000.3);
    }
    const auto t = VQStatistics::oneVar(listOf(xs), nullptr);
    EXPECT_EQ(t->Xmean, 1000000000.2);
    expectRelative(t->stdX, 0.1, 1e-9, "Sx");
    EXPECT_EQ(t->n, 1001);
}

TEST(VQStatisticsTest, FrequenciesWeightAndZeroWeightsDropOut)
{
    // The data 1, 1, 3: the 2 has no weight; sorting carries the weights along.
    const VQList freq = reals({0, 2, 1});
    const auto s = VQStatistics::oneVar(reals({2, 1, 3}), &freq);
    EXPECT_EQ(s->n, 3);
    EXPECT_DOUBLE_EQ(s->Xmean, 5.0 / 3);
    EXPECT_DOUBLE_EQ(s->stdX, std::sqrt(4.0 / 3));
    EXPECT_EQ(s->minX, 1);
    EXPECT_EQ(s->maxX, 3);
    EXPECT_EQ(s->Xsum, 5);
    EXPECT_EQ(s->X2sum, 11);
}

TEST(VQStatisticsTest, OneValueHasNoSampleDeviation)
{
    const auto s = VQStatistics::oneVar(reals({4}), nullptr);
    EXPECT_TRUE(std::isnan(s->stdX));
    EXPECT_EQ(s->popStdX, 0);
}

TEST(VQStatisticsTest, NorrisLineMatchesItsCertifiedValues)
{
    const testing::ReferenceData norris = testing::readReferenceData("Norris.dat");
    ASSERT_EQ(norris.first.size(), 36u);
    const auto s = VQStatistics::twoVar(listOf(norris.second), listOf(norris.first), nullptr);
    ASSERT_EQ(s->regressionModel(VQStatistics::LinRegABX), 0);
    expectRelative(s->a, -0.262323073774029, 1e-12, "a");
    expectRelative(s->b, 1.00211681802045, 1e-12, "b");
    expectRelative(s->r2, 0.999993745883712, 1e-12, "r²");
}

// NIST StRD Pontius: a quadratic over x up to 3·10⁶, whose x⁴ reaches 8·10²⁵.
TEST(VQStatisticsTest, PontiusQuadraticMatchesItsCertifiedValues)
{
    const testing::ReferenceData pontius = testing::readReferenceData("Pontius.dat");
    ASSERT_EQ(pontius.first.size(), 40u);
    const auto s = VQStatistics::twoVar(listOf(pontius.second), listOf(pontius.first), nullptr);
    ASSERT_EQ(s->regressionModel(VQStatistics::QuadReg), 0);
    expectRelative(s->c, 0.673565789473684e-3, 1e-10, "c (B0)");
    expectRelative(s->b, 0.732059160401003e-6, 1e-10, "b (B1)");
    expectRelative(s->a, -0.316081871345029e-14, 1e-9, "a (B2)");
    expectRelative(s->R2, 0.999999900178537, 1e-12, "R²");
    // The residuals square to the certified residual sum of squares.
    double squares = 0;
    for (int i = 0; i < s->resid->count(); ++i)
        squares += s->resid->realAtIndex(i) * s->resid->realAtIndex(i);
    expectRelative(squares, 0.155761768796992e-5, 1e-8, "residual squares");
}

// NIST StRD Rat42 (higher difficulty): the logistic curve b1 / (1 + e^(b2 - b3·x)), which is
// c / (1 + a·e^(-b·x)) with c = b1, a = e^b2, b = b3. Certified to 11 figures.
TEST(VQStatisticsTest, Rat42LogisticMatchesItsCertifiedValues)
{
    const testing::ReferenceData rat42 = testing::readReferenceData("Rat42.dat");
    ASSERT_EQ(rat42.first.size(), 9u);
    const auto s = VQStatistics::twoVar(listOf(rat42.second), listOf(rat42.first), nullptr);
    ASSERT_EQ(s->regressionModel(VQStatistics::Logistic), 0);
    expectRelative(s->c, 7.2462237576e+01, 1e-10, "c (b1)");
    expectRelative(std::log(s->a), 2.6180768402e+00, 1e-10, "ln a (b2)");
    expectRelative(s->b, 6.7359200066e-02, 1e-10, "b (b3)");
    double squares = 0;
    for (int i = 0; i < s->resid->count(); ++i)
        squares += s->resid->realAtIndex(i) * s->resid->realAtIndex(i);
    expectRelative(squares, 8.0565229338e+00, 1e-10, "residual squares");
}

// The fitted equation keeps every digit of its coefficients: stored in Y= it gives what the
// fit gives, even where the shown coefficients would cancel (2u² - 3u + 5, u = x - 10⁶,
// shows c as 2.000003ᴱ12), and a coefficient the display shows whole stays as shown.
TEST(VQStatisticsTest, FittedEquationKeepsEveryDigit)
{
    const auto s = VQStatistics::twoVar(reals({999997, 999998, 999999, 1000000, 1000001, 1000002, 1000003}),
                                        reals({32, 19, 10, 5, 4, 7, 14}), nullptr);
    ASSERT_EQ(s->regressionModel(VQStatistics::QuadReg), 0);
    EXPECT_EQ(s->a, 2);
    EXPECT_EQ(s->b, -4000003);
    EXPECT_EQ(s->c, 2000003000005);
    EXPECT_EQ(TokenText::stringFromOps(s->regEqu), "2X²—4000003X+2000003000005");
    const auto fraction = VQStatistics::twoVar(reals({1, 2, 3, 4}), reals({1, 1, 2, 2}), nullptr);
    ASSERT_EQ(fraction->regressionModel(VQStatistics::LinRegAXB), 0);
    EXPECT_EQ(TokenText::stringFromOps(fraction->regEqu), ".4X+.5");
    const auto tiny = VQStatistics::twoVar(reals({0, 1}), reals({1, 1 + 1e-13}), nullptr);
    ASSERT_EQ(tiny->regressionModel(VQStatistics::LinRegABX), 0);
    EXPECT_EQ(TokenText::stringFromOps(tiny->regEqu), "1+1" + test::kE + "-13X");
}

// Exact polynomial data 10⁶ away from the origin: the fit must give back the polynomial's
// coefficients in powers of x (a first).
struct PolyCase {
    int model;
    std::function<double(double)> q;  // of t = x - 10⁶
    std::vector<double> coefficients;
};

TEST(VQStatisticsTest, PolynomialFitsRecoverExactDataFarFromTheOrigin)
{
    const PolyCase cases[] = {
        {VQStatistics::QuadReg, [](double t) { return 2 * t * t - 3 * t + 1; }, {2, -4000003, 2000003000001}},
        {VQStatistics::CubicReg,
         [](double t) { return t * t * t - 2 * t * t + 0.5 * t + 4; },
         {1, -3000002, 3000004000000.5, -1.0000020000005e+18}},
        {VQStatistics::QuartReg,
         [](double t) { return 0.25 * t * t * t * t - t * t * t + 2 * t * t - 3 * t + 5; },
         {0.25, -1000001, 1500003000002, -1.000003000004e+18, 2.5000100000200002e+23}},
    };
    for (const PolyCase& c : cases) {
        std::vector<double> x, y;
        for (int t = -5; t <= 5; ++t) {
            x.push_back(1e6 + t);
            y.push_back(c.q(t));
        }
        const auto s = VQStatistics::twoVar(listOf(x), listOf(y), nullptr);
        ASSERT_EQ(s->regressionModel(c.model), 0);
        const double got[] = {s->a, s->b, s->c, s->d, s->e};
        for (std::size_t k = 0; k < c.coefficients.size(); ++k)
            expectRelative(got[k], c.coefficients[k], 1e-9, "coefficient");
        EXPECT_NEAR(s->R2, 1, 1e-12);
        for (int i = 0; i < s->resid->count(); ++i)
            EXPECT_NEAR(s->resid->realAtIndex(i), 0, 1e-8);
    }
}

// Each model fitted to data it describes exactly: the coefficients come back.
struct ExactCase {
    int model;
    std::function<double(double)> f;
    std::vector<double> x;
    std::vector<double> coefficients;
};

TEST(VQStatisticsTest, NonlinearModelsRecoverExactData)
{
    const std::vector<double> positive = {0.5, 1, 2, 3, 4, 5, 7, 9};
    std::vector<double> span;
    for (int i = 0; i <= 15; ++i)
        span.push_back(i);
    std::vector<double> wave;
    for (int i = 1; i <= 20; ++i)
        wave.push_back(i);
    const ExactCase cases[] = {
        {VQStatistics::LinRegAXB, [](double x) { return 2.5 * x - 4; }, positive, {2.5, -4}},
        {VQStatistics::ExpReg, [](double x) { return 3 * std::pow(1.5, x); }, positive, {3, 1.5}},
        {VQStatistics::LnReg, [](double x) { return 1 + 2 * std::log(x); }, positive, {1, 2}},
        {VQStatistics::PwrReg, [](double x) { return 2 * std::pow(x, 1.7); }, positive, {2, 1.7}},
        {VQStatistics::MedMed, [](double x) { return 2 * x + 1; }, positive, {2, 1}},
        {VQStatistics::Logistic, [](double x) { return 50 / (1 + 20 * std::exp(-0.8 * x)); }, span, {20, 0.8, 50}},
        {VQStatistics::SinReg, [](double x) { return 3 * std::sin(0.5 * x + 1) + 2; }, wave, {3, 0.5, 1, 2}},
    };
    for (const ExactCase& c : cases) {
        std::vector<double> y;
        for (double x : c.x)
            y.push_back(c.f(x));
        const auto s = VQStatistics::twoVar(listOf(c.x), listOf(y), nullptr);
        ASSERT_EQ(s->regressionModel(c.model), 0) << "model " << c.model;
        const double got[] = {s->a, s->b, s->c, s->d};
        for (std::size_t k = 0; k < c.coefficients.size(); ++k)
            expectRelative(got[k], c.coefficients[k], 1e-8, "coefficient");
    }
}

// The median-median line splits the points, sorted by x, in three groups: one point over
// a multiple of three goes to the middle group, two go one to each outer group. Data off
// a line, so that another split gives another line.
TEST(VQStatisticsTest, MedMedGroupsTakeTheExtraPointsWhereTheyBelong)
{
    struct Case {
        const char* name;
        VQList x, y;
        std::optional<VQList> freq;
        double a, b;
        VQStatistics::Point p1, p2, p3;
    };
    const Case cases[] = {
        // Groups 1, 2, 1 (the extra point in the middle would give a = 1.2 at the start).
        {"four points", reals({1, 2, 3, 4}), reals({0, 2, 3, 4}), std::nullopt, 4.0 / 3, -7.0 / 6, {1, 0}, {2.5, 2.5}, {4, 4}},
        {"four points unsorted", reals({4, 1, 3, 2}), reals({4, 0, 3, 2}), std::nullopt, 4.0 / 3, -7.0 / 6, {1, 0}, {2.5, 2.5}, {4, 4}},
        {"four points by frequency", reals({1, 2, 4}), reals({0, 2, 4}), reals({1, 2, 1}), 4.0 / 3, -10.0 / 9, {1, 0}, {2, 2}, {4, 4}},
        // Groups 2, 1, 2.
        {"five points", reals({1, 2, 3, 4, 5}), reals({0, 2, 3, 4, 8}), std::nullopt, 5.0 / 3, -5.0 / 3, {1.5, 1}, {3, 3}, {4.5, 6}},
        // Groups 2, 2, 2.
        {"six points", reals({1, 2, 3, 4, 5, 6}), reals({0, 2, 3, 3, 7, 9}), std::nullopt, 1.75, -2.125, {1.5, 1}, {3.5, 3}, {5.5, 8}},
    };
    for (const Case& c : cases) {
        const auto s = VQStatistics::twoVar(c.x, c.y, c.freq ? &*c.freq : nullptr);
        ASSERT_EQ(s->regressionModel(VQStatistics::MedMed), 0) << c.name;
        EXPECT_NEAR(s->a, c.a, 1e-12) << c.name;
        EXPECT_NEAR(s->b, c.b, 1e-12) << c.name;
        for (const auto& [got, want] : {std::pair{s->P1, c.p1}, std::pair{s->P2, c.p2}, std::pair{s->P3, c.p3}}) {
            EXPECT_DOUBLE_EQ(got.x, want.x) << c.name;
            EXPECT_DOUBLE_EQ(got.y, want.y) << c.name;
        }
    }
}

TEST(VQStatisticsTest, SinRegTakesAPeriodHint)
{
    std::vector<double> x, y;
    for (int i = 0; i < 12; ++i) {
        x.push_back(i);
        y.push_back(std::sin(2 * std::numbers::pi / 6 * i - 0.5));
    }
    const auto s = VQStatistics::twoVar(listOf(x), listOf(y), nullptr);
    ASSERT_EQ(s->sinRegressionFreq(6), 0);
    expectRelative(s->b, std::numbers::pi / 3, 1e-9, "b");
    expectRelative(s->c, -0.5, 1e-9, "c");
}

TEST(VQStatisticsTest, FitsRefuseDataOutsideTheirModel)
{
    struct Case {
        int model;
        VQList x, y;
        int error;
    };
    const Case cases[] = {
        {VQStatistics::ExpReg, reals({1, 2, 3}), reals({1, 0, 2}), ErrDomain},
        {VQStatistics::LnReg, reals({-1, 2, 3}), reals({1, 2, 2}), ErrDomain},
        {VQStatistics::PwrReg, reals({1, 2, 3}), reals({1, -2, 2}), ErrDomain},
        {VQStatistics::QuadReg, reals({1, 2, 2}), reals({1, 2, 3}), ErrStat},
        {VQStatistics::LinRegABX, reals({3, 3, 3}), reals({1, 2, 3}), ErrStat},
        {VQStatistics::MedMed, reals({1, 2}), reals({1, 2}), ErrStat},
    };
    for (const Case& c : cases) {
        const auto s = VQStatistics::twoVar(c.x, c.y, nullptr);
        EXPECT_EQ(s->regressionModel(c.model), c.error) << "model " << c.model;
        EXPECT_FALSE(s->resid);
    }
}

TEST(VQStatisticsTest, ListsByNameAreChecked)
{
    Calculator calc;
    calc.locked()->lists["L₁"] = reals({1, 2, 3});
    calc.locked()->lists["L₂"] = reals({1, 2});
    calc.locked()->lists["L₃"] = reals({1, -1, 1});
    calc.locked()->lists["L₄"] = test::complexes({{1, 1}, {2, 0}, {3, 0}});
    struct Case {
        const char *x, *y;
        std::optional<std::string> freq;
        int error;
    };
    const Case cases[] = {
        {"L₁", "L₂", std::nullopt, ErrDimMismatch},
        {"L₁", "L₁", "L₃", ErrBadFrequencyList},
        {"L₁", "L₁", "L₂", ErrBadFrequencyList},
        {"L₁", "none", std::nullopt, ErrListUndefined},
        {"L₁", "L₄", std::nullopt, ErrDataType},
        {"L₁", "L₁", "1", 0},
    };
    for (const Case& c : cases) {
        int error = -1;
        const auto s = VQStatistics::twoVarName(calc, c.x, c.y, c.freq, error);
        EXPECT_EQ(error, c.error) << c.x << " " << c.y;
        EXPECT_EQ(s != nullptr, c.error == 0);
    }
}

TEST(VQStatisticsTest, ResidualsFollowTheListsOrder)
{
    const auto s = VQStatistics::twoVar(reals({3, 1, 2}), reals({7, 3, 6}), nullptr);
    ASSERT_EQ(s->regressionModel(VQStatistics::LinRegAXB), 0);
    // y = 2x + 4/3: residuals -1/3, 1/3... in the given order.
    EXPECT_NEAR(s->resid->realAtIndex(0), 7 - (2 * 3 + 4.0 / 3), 1e-14);
    EXPECT_NEAR(s->resid->realAtIndex(1), 3 - (2 * 1 + 4.0 / 3), 1e-14);
    EXPECT_NEAR(s->resid->realAtIndex(2), 6 - (2 * 2 + 4.0 / 3), 1e-14);
}

TEST(VQStatisticsTest, FittedEquationIsTokensOfX)
{
    const auto s = VQStatistics::twoVar(reals({0, 1, 2}), reals({1, -1, -3}), nullptr);
    ASSERT_EQ(s->regressionModel(VQStatistics::LinRegABX), 0);
    EXPECT_EQ(TokenText::stringFromOps(s->regEqu), "1—2X");
    ASSERT_EQ(s->regressionModel(VQStatistics::LinRegAXB), 0);
    EXPECT_EQ(TokenText::stringFromOps(s->regEqu), "-2X+1");
}

TEST(VQStatisticsTest, UpdateRereadsTheNamedListsSortedByX)
{
    Calculator calc;
    calc.locked()->lists["L₁"] = reals({3, 1, 2});
    calc.locked()->lists["L₂"] = reals({30, 10, 20});
    calc.locked()->lists["L₃"] = reals({1, 2, 3});
    VQStatistics s;
    s.listXName = "L₁";
    s.listYName = "L₂";
    s.freqName = "L₃";
    s.update(calc);
    EXPECT_EQ(s.listX.realList(), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(s.listY.realList(), (std::vector<double>{10, 20, 30}));
    EXPECT_EQ(s.freq->realList(), (std::vector<double>{2, 3, 1}));
    EXPECT_EQ(s.n, 6);
    EXPECT_EQ(s.maxY, 30);

    s.listYName = "gone";
    calc.locked()->lists["L₁"] = reals({5});
    s.update(calc);
    EXPECT_EQ(s.listX.count(), 3);

    // A Y list of another length made pairs out of range: the statistics stay.
    for (const VQList& y : {reals({7, 8}), reals({1, 2, 3, 4, 5, 6, 7})}) {
        s.listYName = "L₂";
        calc.locked()->lists["L₂"] = y;
        s.update(calc);
        EXPECT_EQ(s.listX.count(), 3);
        EXPECT_EQ(s.maxY, 30);
    }
}

TEST(VQStatisticsTest, ArchiveKeepsTheListNames)
{
    VQStatistics s;
    s.listXName = "L₁";
    s.freqName = "FREQ";
    const auto back = VQStatistics::decode(s.encode());
    EXPECT_EQ(back->listXName, "L₁");
    EXPECT_FALSE(back->listYName);
    EXPECT_EQ(back->freqName, "FREQ");
}

} // namespace
} // namespace orvenda
