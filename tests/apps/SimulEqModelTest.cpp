#include "apps/SimulEqModel.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

std::vector<double> valuesOf(const VQMatrix& m)
{
    std::vector<double> all;
    for (std::size_t r = 0; r < m.dimRow(); ++r)
        for (std::size_t c = 0; c < m.dimCol(); ++c)
            all.push_back(m.row(r, c));
    return all;
}

struct Simul : ::testing::Test {
    Calculator calc;
    SimulEqModel model{calc};
    VQMatrix stored(int index) { return calc.locked()->matrices[static_cast<std::size_t>(index)]; }
};

TEST_F(Simul, AUniqueSolutionIsStoredOneRowPerUnknown)
{
    calc.simulMatrix = matrixOf({{1, 1, 3}, {1, -1, 1}});
    ASSERT_TRUE(model.solve());
    ASSERT_TRUE(model.hasSolution());
    EXPECT_EQ(valuesOf(*calc.simulRRefMatrix), (std::vector<double>{1, 0, 2, 0, 1, 1}));
    EXPECT_TRUE(model.storeSolution("[B]"));
    EXPECT_EQ(stored(1).dimRow(), 2u);
    EXPECT_EQ(stored(1).dimCol(), 1u);
    EXPECT_EQ(valuesOf(stored(1)), (std::vector<double>{2, 1}));
    EXPECT_TRUE(model.storeRRef("[J]"));
    EXPECT_EQ(valuesOf(stored(9)), valuesOf(*calc.simulRRefMatrix));
}

TEST_F(Simul, TheSolutionLinesUpWithTheUnknownsNotTheEquations)
{
    // x₁ is free and comes before the pivot of x₂ = 2: the RREF's last column (2, 0) would
    // give x₁ the value of x₂.
    calc.simulMatrix = matrixOf({{0, 1, 2}, {0, 2, 4}});
    ASSERT_TRUE(model.solve());
    ASSERT_TRUE(model.storeSolution("[A]"));
    EXPECT_EQ(valuesOf(stored(0)), (std::vector<double>{0, 2}));
    // Three equations in two unknowns: two rows, not three.
    calc.simulMatrix = matrixOf({{1, 1, 3}, {1, -1, 1}, {2, 0, 4}});
    ASSERT_TRUE(model.solve());
    ASSERT_TRUE(model.storeSolution("[C]"));
    EXPECT_EQ(valuesOf(stored(2)), (std::vector<double>{2, 1}));
}

TEST_F(Simul, NoSolutionStoresNothingAndBadNamesAreIgnored)
{
    calc.simulMatrix = matrixOf({{1, 1, 1}, {1, 1, 2}});
    ASSERT_TRUE(model.solve());
    EXPECT_FALSE(model.hasSolution());
    const VQMatrix before = stored(0);
    EXPECT_FALSE(model.storeSolution("[A]"));
    EXPECT_TRUE(stored(0).equal(before));
    calc.simulMatrix = matrixOf({{1, 1, 3}, {1, -1, 1}});
    ASSERT_TRUE(model.solve());
    for (const char* name : {"[K]", "L\u2081", "A", "", "[a]"})
        EXPECT_FALSE(model.storeSolution(name)) << name;
    EXPECT_EQ(SimulEqModel::matrixIndex("[A]"), 0);
    EXPECT_EQ(SimulEqModel::matrixIndex("[J]"), 9);
}

TEST_F(Simul, ClearKeepsTheSize)
{
    calc.simulMatrix = matrixOf({{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}});
    model.clear();
    EXPECT_EQ(calc.simulMatrix.dimRow(), 3u);
    EXPECT_EQ(calc.simulMatrix.dimCol(), 4u);
    EXPECT_EQ(valuesOf(calc.simulMatrix), std::vector<double>(12, 0.0));
}

} // namespace
} // namespace orvenda::test
