// TriSolve( lines in degrees are in tests/cases/own-page.cases; here the solver's cases.
#include "numeric/TriangleSolver.h"

#include <array>
#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

using orvenda::TriangleSolver;
using Buffer = std::array<double, TriangleSolver::kBufferSize>;

namespace {

constexpr double kPi = std::numbers::pi;
const double kA = std::asin(0.6);  // the angles of the 3-4-5 triangle
const double kB = std::asin(0.8);
const std::array<double, 6> k345{kA, kB, kPi / 2, 3, 4, 5};

Buffer given(std::array<double, 6> known)
{
    Buffer b{};
    std::copy(known.begin(), known.end(), b.begin());
    return b;
}

} // namespace

TEST(TriangleSolver, EveryKindOfThreeValuesSolvesTheSameTriangle) {
    const std::array<double, 6> cases[] = {
        {0, 0, 0, 3, 4, 5},          // three sides
        {0, 0, kPi / 2, 3, 4, 0},    // two sides and the angle between
        {kA, 0, 0, 0, 4, 5},         // the angle between b and c
        {kA, kB, 0, 3, 0, 0},        // a side, the angle facing it and another
        {0, kB, kPi / 2, 0, 0, 5},   // c facing the known C
        {kA, kB, 0, 0, 0, 5},        // the side between two angles
        {0, kB, kPi / 2, 3, 0, 0},   // a between B and C
        {0, 0, kPi / 2, 3, 0, 5},    // a right angle facing the longer side: one triangle
    };
    for (const auto& c : cases) {
        Buffer b = given(c);
        TriangleSolver solver;
        ASSERT_EQ(solver.triangleSolve(b), 0);
        EXPECT_EQ(solver.triangleTwoSolution(), 0);
        for (int i = 0; i < 6; ++i) {
            EXPECT_NEAR(b[i], k345[i], 1e-12) << i;
            EXPECT_EQ(b[i + 6], b[i]) << i;
        }
    }
}

TEST(TriangleSolver, AnAcuteAngleFacingTheShorterSideFitsTwoTriangles) {
    // A = 30°, a = 4, b = 6: c = 6·cos 30° ± √(16 − 9).
    Buffer b = given({kPi / 6, 0, 0, 4, 6, 0});
    TriangleSolver solver;
    EXPECT_EQ(solver.triangleSolve(b), 68);
    EXPECT_EQ(solver.triangleTwoSolution(), 2);
    const double near = 6 * std::cos(kPi / 6);
    EXPECT_NEAR(b[5], near + std::sqrt(7.0), 1e-12);
    EXPECT_NEAR(b[11], near - std::sqrt(7.0), 1e-12);
    EXPECT_NEAR(b[1], std::asin(0.75), 1e-12);
    EXPECT_NEAR(b[7], kPi - std::asin(0.75), 1e-12);
    EXPECT_NEAR(b[2] + b[1] + b[0], kPi, 1e-12);
    EXPECT_NEAR(b[8] + b[7] + b[6], kPi, 1e-12);
}

TEST(TriangleSolver, ImpossibleOrIncompleteDataFailsWithoutTouchingTheBuffer) {
    const struct {
        std::array<double, 6> known;
        int error;
    } cases[] = {
        {{0, 0, 0, 3, 4, 0}, 39},
        {{kA, 0, 0, 3, 4, 5}, 40},
        {{1, 1, 1, 0, 0, 0}, 27},
        {{0, 0, 0, 1, 2, 10}, 67},             // sides break the triangle inequality
        {{kPi / 6, 0, 0, 1, 6, 0}, 67},        // a too short to reach c's line
        {{1.9, 1.9, 0, 0, 0, 1}, 67},          // angles adding up beyond π
        {{2.5, 0, 0, 0, 4, 0}, 39},
        {{2.5, 0, 0, 3, 4, 0}, 67},            // an obtuse angle facing the shorter side
        {{kPi, 0.5, 0, 2, 0, 0}, 67},          // sin A = 0
    };
    for (const auto& c : cases) {
        Buffer b = given(c.known);
        const Buffer before = b;
        TriangleSolver solver;
        EXPECT_EQ(solver.triangleSolve(b), c.error) << c.known[0] << ' ' << c.known[3];
        EXPECT_EQ(b, before);
        EXPECT_EQ(solver.triangleTwoSolution(), 0);
    }
}
