#include "apps/PolyModel.h"

#include "TestSupport.h"
#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "language/ErrorNumbers.h"

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

struct Poly : ::testing::Test {
    Calculator calc;
    PolyModel model{calc};
    void SetUp() override { model.ensureLists(); }
    void setCoefficients(std::vector<double> a)
    {
        ASSERT_EQ(model.setDegree(static_cast<double>(a.size() - 1)), 0);
        for (std::size_t i = 0; i < a.size(); ++i)
            model.setCoefficient(static_cast<int>(i), a[i]);
    }
};

TEST_F(Poly, DegreeIsCheckedBeforeTheCoefficientsChange)
{
    EXPECT_EQ(model.degree(), 1);
    EXPECT_EQ(model.setDegree(2.7), 0);
    EXPECT_EQ(model.coefficients(), (std::vector<double>{0, 0, 0}));
    model.setCoefficient(0, 5);
    for (double refused : {0.5, 0.0, -3.0, 30.0, 31.0, 1e9, std::nan("")}) {
        EXPECT_EQ(model.setDegree(refused), ErrPolyDegree) << refused;
        EXPECT_EQ(model.coefficients(), (std::vector<double>{5, 0, 0})) << refused;
    }
    EXPECT_EQ(model.setDegree(29.9), 0);
    EXPECT_EQ(model.degree(), 29);
}

TEST_F(Poly, LoadTakesTwoToThirtyRealCoefficients)
{
    EXPECT_EQ(model.load(reals({1, -3, 2})), 0);
    EXPECT_EQ(model.coefficients(), (std::vector<double>{1, -3, 2}));
    VQList thirty, thirtyOne;
    for (int i = 0; i < 30; ++i)
        thirty.addReal(1, 0, 0);
    thirtyOne = thirty;
    thirtyOne.addReal(1, 0, 0);
    EXPECT_EQ(model.load(thirtyOne), ErrArgument);
    EXPECT_EQ(model.load(reals({4})), ErrArgument);
    EXPECT_EQ(model.load(complexes({{1, 1}, {2, 0}})), ErrArgument);
    EXPECT_EQ(model.coefficients(), (std::vector<double>{1, -3, 2}));
    // The longest list loaded solves.
    EXPECT_EQ(model.load(thirty), 0);
    EXPECT_EQ(model.solve(), 0);
    EXPECT_EQ(model.zeros().size(), 29u);
}

TEST_F(Poly, SolveFindsRealAndComplexZerosAndReportsBadCoefficients)
{
    setCoefficients({1, -3, 2});
    ASSERT_EQ(model.solve(), 0);
    const auto zeros = model.zeros();
    ASSERT_EQ(zeros.size(), 2u);
    EXPECT_NEAR(zeros[0].first, 2, 1e-12);
    EXPECT_NEAR(zeros[1].first, 1, 1e-12);
    EXPECT_EQ(zeros[0].second, 0);

    setCoefficients({1, 0, 1});
    ASSERT_EQ(model.solve(), 0);
    const auto i = model.zeros();
    ASSERT_EQ(i.size(), 2u);
    EXPECT_NEAR(std::abs(i[0].second), 1, 1e-12);
    EXPECT_NEAR(i[0].second, -i[1].second, 1e-12);

    // A failure leaves the zeros found before.
    setCoefficients({0, 1, 2});
    EXPECT_EQ(model.solve(), ErrPolyCoef0);
    setCoefficients({1, std::numeric_limits<double>::infinity(), 2});
    EXPECT_EQ(model.solve(), ErrDomain);
    EXPECT_EQ(model.zeros().size(), 2u);
    calc.locked()->lists[PolyModel::kCoefficients] = reals({3});
    EXPECT_EQ(model.solve(), ErrListUndefined);
    VQList many;
    for (int k = 0; k < 31; ++k)
        many.addReal(1, 0, 0);
    calc.locked()->lists[PolyModel::kCoefficients] = many;
    EXPECT_EQ(model.solve(), ErrTooManyArguments);
}

TEST_F(Poly, ListNamesFollowTheNameRules)
{
    std::string name;
    for (const char* good : {"", "A", "AB12", "ZZZZZ", "L\u2081", "L\u2086", "\u029FABC"})
        EXPECT_EQ(PolyModel::checkListName(good, name), 0) << good;
    PolyModel::checkListName("\u029FABC", name);
    EXPECT_EQ(name, "ABC");
    for (const char* bad : {"ABCDEF", "1AB", "ab", "A-B", "L\u2087"})
        EXPECT_EQ(PolyModel::checkListName(bad, name), ErrListNameBad) << bad;
}

TEST_F(Poly, SaveStoresTheListsAndWritesTheEquation)
{
    auto equations = std::make_shared<FakeYEq>();
    calc.yEqManager = equations;
    setCoefficients({1, -3, 2});
    ASSERT_EQ(model.solve(), 0);
    EXPECT_EQ(model.save("COEF", "", 0).error, 0);
    EXPECT_TRUE(calc.locked()->lists.contains("COEF"));
    EXPECT_EQ(calc.locked()->lists.count("ZEROS"), 0u);
    EXPECT_TRUE(equations->equations.contains(0x5E19)); // Y₀
    EXPECT_EQ(model.save("", "PZERO", 3).error, 0);
    EXPECT_TRUE(equations->equations.contains(0x5E12)); // Y₃
    // The check that fails names its line; nothing is stored.
    EXPECT_EQ(model.save("1A", "B", 1).error, ErrListNameBad);
    EXPECT_EQ(model.save("A", "TOOLONG", 1).line, 1);
    const auto bad = model.save("A", "B", 2.5);
    EXPECT_EQ(bad.error, ErrArgument);
    EXPECT_EQ(bad.line, 2);
    EXPECT_EQ(model.save("A", "B", 10).error, ErrArgument);
    EXPECT_FALSE(calc.locked()->lists.contains("A"));
}

} // namespace
} // namespace orvenda::test

namespace orvenda::test {
namespace {

// GRAPH draws the polynomial as a function of X and replaces its own earlier drawing, not
// the drawings of others; all-zero coefficients draw y = 0.
TEST_F(Poly, GraphReplacesItsEarlierDrawingOnly)
{
    auto other = std::make_shared<DrawLine>();
    calc.drawing.push_back(other);
    setCoefficients({1, 0, -4});
    const auto first = model.graph(nullptr);
    ASSERT_TRUE(first);
    const auto* fn = dynamic_cast<const DrawFunc*>(first.get());
    ASSERT_TRUE(fn && fn->fn);
    EXPECT_EQ(calc.stringFromOps(fn->expression), "X²\u20144"); // the minus shows as a long dash
    setCoefficients({0, 0});
    const auto second = model.graph(first);
    ASSERT_TRUE(second);
    EXPECT_EQ(calc.drawing.size(), 2u);
    EXPECT_EQ(calc.drawing.front(), other);
    EXPECT_EQ(calc.drawing.back(), second);
    EXPECT_EQ(calc.stringFromOps(dynamic_cast<const DrawFunc&>(*second).expression), "0");
}

} // namespace
} // namespace orvenda::test
