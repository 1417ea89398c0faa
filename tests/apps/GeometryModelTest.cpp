#include "apps/GeometryModel.h"

#include "core/Calculator.h"
#include "language/ErrorNumbers.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace orvenda::test {
namespace {

constexpr double kPi = std::numbers::pi;
using G = GeometryModel;

struct Geometry : ::testing::Test {
    Calculator calc;
    GeometryModel model{calc};

    void SetUp() override { calc.setAngleFormat(0); }
    void set(int slot, double v) { calc.locked()->vars[static_cast<std::size_t>(slot)] = {v, 0.0}; }
    double at(int slot) const { return model.slot(slot); }
    // Types the values into the fields from the first, as Enter would.
    int type(std::initializer_list<std::pair<int, double>> values)
    {
        int error = 0;
        for (const auto& [field, value] : values) {
            model.setCurrentField(field);
            error = model.enterValue(value);
        }
        return error;
    }
    std::array<double, 52> slots() const
    {
        std::array<double, 52> out{};
        for (int s = 160; s < 212; ++s)
            out[static_cast<std::size_t>(s - 160)] = at(s);
        return out;
    }
};

TEST_F(Geometry, FieldsAndLabelsFollowTheFigureAndItsSubMode)
{
    model.setFigure(G::Triangle);
    EXPECT_EQ(model.numFields(), 6);
    EXPECT_EQ(model.fieldName(3), "∠A=");
    EXPECT_EQ(model.inputSlot(5), 182);
    EXPECT_EQ(model.inputSlot(6), 0);
    EXPECT_EQ(model.resultFieldName(0), "perim=");
    EXPECT_EQ(model.title(), "Triangle");
    model.setFigure(G::Line);
    EXPECT_EQ(model.numFields(), 4);
    EXPECT_EQ(model.numPoints(), 2);
    EXPECT_EQ(model.fieldName(0), "");
    model.setSubMode(1);
    EXPECT_EQ(at(G::kLineModeSlot), 1);
    EXPECT_EQ(model.numFields(), 6);
    EXPECT_EQ(model.pointName(2), "Pt");
    EXPECT_EQ(model.resultFieldName(0), "D=");
    model.setSubMode(2);
    EXPECT_EQ(model.numFields(), 8);
    EXPECT_EQ(model.pointName(2), "P3");
    EXPECT_EQ(model.resultFieldName(1), "Iy=");
    // The sub-mode comes back from its slot when the figure is chosen again.
    model.setFigure(G::Square);
    model.setFigure(G::Line);
    EXPECT_EQ(model.lineMode(), 2);
    model.setFigure(G::Circle);
    model.setSubMode(2);
    EXPECT_EQ(model.numFields(), 6);
    EXPECT_EQ(model.numPoints(), 3);
    EXPECT_EQ(model.resultFieldName(2), "Cy=");
    model.setSubMode(1);
    EXPECT_EQ(model.fieldName(1), "∠A=");
    EXPECT_EQ(model.resultFieldName(1), "L=");
    model.setFigure(0x41); // not a figure: the circle stays
    EXPECT_EQ(model.figure(), G::Circle);
}

// A program may store anything in a sub-mode slot: it is read as one of the three
// sub-modes (past the last as the last, what is no finite number as the first), so the
// line's points never reach the slots of other figures.
TEST_F(Geometry, ASubModeSlotHoldingAnythingIsReadAsOneOfTheThree)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    for (const double stored : {3.0, 2.99, 7.0, 1e300, kInf, -1.0, -kInf, std::numeric_limits<double>::quiet_NaN()}) {
        set(G::kLineModeSlot, stored);
        set(G::kCircleModeSlot, stored);
        model.setFigure(G::Line);
        const int expected = std::isfinite(stored) && stored >= 2 ? 2 : 0;
        EXPECT_EQ(model.lineMode(), expected) << stored;
        EXPECT_EQ(model.numFields(), 4 + 2 * expected) << stored;
        EXPECT_EQ(model.numPoints(), 2 + expected) << stored;
        EXPECT_EQ(model.inputSlot(model.numFields()), 0) << stored;
        // Every field typed: only the points' slots and the line's results change.
        const std::array<double, 52> before = slots();
        for (int field = 0; field < model.numFields(); ++field) {
            EXPECT_LT(model.inputSlot(field), 168) << stored;
            model.setCurrentField(field);
            model.enterValue(field + 1);
        }
        const std::array<double, 52> after = slots();
        for (int s = 168; s < 212; ++s) {
            if ((s >= 173 && s <= 175) || (s >= 202 && s <= 204) || s == G::kLineModeSlot || s == G::kCircleModeSlot)
                continue;
            const auto k = static_cast<std::size_t>(s - 160);
            EXPECT_TRUE(after[k] == before[k] || (std::isnan(after[k]) && std::isnan(before[k]))) << stored << " slot " << s;
        }
        model.setFigure(G::Circle);
        EXPECT_EQ(model.circleMode(), expected) << stored;
        EXPECT_LE(model.numFields(), 6) << stored;
    }
}

TEST_F(Geometry, ThreeFourFiveTriangleBySides)
{
    model.setFigure(G::Triangle);
    type({{0, 3}, {1, 4}});
    EXPECT_FALSE(model.triangleCanSolve(false));
    model.setCurrentField(2);
    // The field being typed counts as known.
    EXPECT_TRUE(model.triangleCanSolve(true));
    EXPECT_EQ(model.enterValue(5), 0);
    ASSERT_TRUE(model.triangleCanSolve(false));
    EXPECT_EQ(model.triangleTitle(), "SSS");
    ASSERT_EQ(model.compute(), 0);
    EXPECT_DOUBLE_EQ(at(182), kPi / 2);
    EXPECT_DOUBLE_EQ(at(168), 6);
    EXPECT_DOUBLE_EQ(at(170), 12);
    EXPECT_EQ(calc.formatReal(model.fieldValue(3)), "36.86989765");
    EXPECT_EQ(calc.formatReal(model.fieldValue(4)), "53.13010235");
    EXPECT_EQ(calc.formatReal(model.fieldValue(5)), "90");
    EXPECT_EQ(at(G::kTwoSolutionsSlot), 0);
    // Six values known: Solve is off.
    EXPECT_FALSE(model.triangleCanSolve(false));
    calc.setAngleFormat(1);
    EXPECT_DOUBLE_EQ(model.fieldValue(5), kPi / 2);
}

TEST_F(Geometry, AmbiguousTriangleAlternatesItsTwoSolutions)
{
    model.setFigure(G::Triangle);
    type({{3, 30}, {0, 4}, {1, 6}});
    EXPECT_EQ(model.triangleCase(model.triangleMask(false)), "SSA");
    ASSERT_EQ(model.compute(), ErrGeom2Triangle);
    EXPECT_EQ(at(G::kTwoSolutionsSlot), 1);
    EXPECT_EQ(model.title(), "SSA(1 of 2)");
    const double b1 = at(181), b2 = at(187);
    EXPECT_NEAR(b1 + b2, kPi, 1e-12); // the two angles at B are supplementary
    EXPECT_TRUE(model.triangleCanSolve(false));
    EXPECT_EQ(model.compute(), 0);
    EXPECT_EQ(model.title(), "SSA(2 of 2)");
    EXPECT_DOUBLE_EQ(at(181), b2);
    EXPECT_DOUBLE_EQ(at(187), b1);
    EXPECT_NEAR(at(168), 0.5 * at(177) * at(178) * std::sin(at(182)), 1e-12);
    EXPECT_EQ(model.compute(), 0);
    EXPECT_EQ(model.title(), "SSA(1 of 2)");
    EXPECT_DOUBLE_EQ(at(181), b1);
    model.clear();
    EXPECT_EQ(model.triangleTwoSolution(), 0);
    for (int s : {177, 178, 179, 180, 181, 182, 168, 170, G::kTwoSolutionsSlot})
        EXPECT_EQ(at(s), 0) << s;
}

TEST_F(Geometry, TriangleErrorsLeaveTheSlotsAsTheyWere)
{
    model.setFigure(G::Triangle);
    const auto expectUnchanged = [&](std::initializer_list<std::pair<int, double>> values, int error) {
        model.clear();
        type(values);
        const auto before = slots();
        EXPECT_EQ(model.compute(), error);
        EXPECT_EQ(slots(), before);
    };
    expectUnchanged({{0, 3}, {1, 4}}, ErrMissingArgument);
    expectUnchanged({{0, 3}, {1, 4}, {2, 5}, {3, 40}}, ErrTooManyArguments);
    expectUnchanged({{3, 60}, {4, 60}, {5, 60}}, ErrArgument);
    expectUnchanged({{0, 1}, {1, 1}, {2, 5}}, ErrGeomNoSolution);
    // Two angles summing to π or more: no triangle, no negative sides stored (AAS, ASA).
    expectUnchanged({{0, 3}, {3, 100}, {4, 80}}, ErrGeomNoSolution);
    expectUnchanged({{2, 3}, {3, 120}, {4, 70}}, ErrGeomNoSolution);
    for (int mask : {0, 3, 56, 63, 15})
        EXPECT_EQ(G::triangleCase(mask), "") << mask;
}

TEST_F(Geometry, TheOtherTriangleCases)
{
    model.setFigure(G::Triangle);
    type({{1, 4}, {2, 3}, {3, 90}}); // SAS
    ASSERT_EQ(model.compute(), 0);
    EXPECT_DOUBLE_EQ(at(177), 5);
    EXPECT_DOUBLE_EQ(at(168), 6);
    model.clear();
    type({{0, 5}, {3, 90}, {4, 30}}); // AAS
    ASSERT_EQ(model.compute(), 0);
    EXPECT_NEAR(at(178), 2.5, 1e-12);
    model.clear();
    type({{2, 2}, {3, 60}, {4, 60}}); // ASA
    ASSERT_EQ(model.compute(), 0);
    EXPECT_NEAR(at(177), 2, 1e-12);
    EXPECT_NEAR(at(168), std::sqrt(3.0), 1e-12);
}

TEST_F(Geometry, LinesSlopeInterceptDistanceFootAndIntersection)
{
    model.setFigure(G::Line);
    type({{0, 0}, {1, 1}, {2, 2}, {3, 5}});
    EXPECT_DOUBLE_EQ(at(173), 2);
    EXPECT_DOUBLE_EQ(at(174), 1);
    EXPECT_DOUBLE_EQ(at(175), std::hypot(2, 4));
    model.setSubMode(1);
    type({{4, 2}, {5, 0}}); // y = 2x + 1 and the point (2, 0)
    EXPECT_NEAR(at(202), 5 / std::sqrt(5.0), 1e-12);
    EXPECT_NEAR(at(203), 0, 1e-12);
    EXPECT_NEAR(at(204), 1, 1e-12);
    model.setSubMode(2);
    type({{4, 0}, {5, 4}, {6, 4}, {7, 0}}); // y = 4 − x meets y = 2x + 1 at (1, 3)
    EXPECT_NEAR(at(203), 1, 1e-12);
    EXPECT_NEAR(at(204), 3, 1e-12);
    type({{4, 0}, {5, 0}, {6, 1}, {7, 2}}); // parallel
    EXPECT_TRUE(std::isnan(at(203)));
    EXPECT_TRUE(std::isnan(at(204)));
    model.setSubMode(0);
    type({{0, 3}, {1, 1}, {2, 3}, {3, 5}}); // vertical
    EXPECT_FALSE(std::isfinite(at(173)));
    EXPECT_TRUE(std::isnan(at(174)));
    // A vertical line zooms to width 2 about it, plus margins.
    const G::Box box = G::fitted(model.fitBox(), 300, 300);
    EXPECT_NEAR(box.xMin, 3 - 1 - 1.0 / 6, 1e-12);
    EXPECT_NEAR(box.xMax, 3 + 1 + 1.0 / 6, 1e-12);
    EXPECT_NEAR(box.yMin, 1 - 4.0 / 12, 1e-12);
}

TEST_F(Geometry, RectangleSolvesForTheCurrentFieldOrReportsWhyNot)
{
    model.setFigure(G::Rectangle);
    type({{0, 3}, {4, 5}});
    model.setCurrentField(1);
    ASSERT_EQ(model.compute(), 0);
    EXPECT_DOUBLE_EQ(at(178), 4);
    EXPECT_DOUBLE_EQ(at(168), 12);
    EXPECT_DOUBLE_EQ(at(170), 14);
    const auto expectError = [&](std::initializer_list<std::pair<int, double>> values, int solveFor, int error) {
        for (int s : {177, 178, 168, 170, 172})
            set(s, 0);
        type(values);
        model.setCurrentField(solveFor);
        const auto before = slots();
        EXPECT_EQ(model.compute(), error);
        EXPECT_EQ(slots(), before);
    };
    expectError({{0, 6}, {4, 5}}, 1, ErrNonReal);         // side not shorter than the diagonal
    expectError({{0, 6}}, 1, ErrMissingArgument);          // nothing else known
    expectError({{2, 12}}, 1, ErrGeomMissingSide);         // no side to start from
    expectError({{2, 12}, {3, 14}}, 4, ErrGeomMissingSide);
}

TEST_F(Geometry, SquareAndParallelogramRefuseNegativeValues)
{
    model.setFigure(G::Square);
    EXPECT_EQ(type({{2, 16}}), 0);
    EXPECT_DOUBLE_EQ(at(176), 4);
    EXPECT_DOUBLE_EQ(at(170), 16);
    EXPECT_DOUBLE_EQ(at(172), std::hypot(4, 4));
    for (int field = 0; field < 4; ++field) {
        const auto before = slots();
        EXPECT_EQ(type({{field, -9}}), ErrNonReal) << field;
        EXPECT_EQ(slots(), before) << field;
    }
    model.setFigure(G::Parallelogram);
    set(168, 0); // the square's area would give the height
    EXPECT_EQ(type({{3, 30}, {0, 4}, {1, 3}}), 0); // nothing is stored before the angle
    EXPECT_DOUBLE_EQ(at(168), 12);
    EXPECT_NEAR(at(178), 6, 1e-12);
    EXPECT_NEAR(at(170), 20, 1e-12);
    for (int field = 0; field < 4; ++field) {
        const auto before = slots();
        EXPECT_EQ(type({{field, -2}}), ErrNonReal) << field;
        EXPECT_EQ(slots(), before) << field;
    }
}

TEST_F(Geometry, PolygonCircleAndSector)
{
    model.setFigure(G::Polygon);
    type({{0, 2.7}, {1, 2}});
    EXPECT_EQ(at(190), 3);
    type({{0, 6}});
    EXPECT_NEAR(at(192), 2, 1e-12);
    EXPECT_NEAR(at(170), 12, 1e-12);
    EXPECT_NEAR(at(168), 6 * std::sqrt(3.0), 1e-12);
    EXPECT_NEAR(model.resultFieldValue(1), 60, 1e-12);
    model.setFigure(G::Circle);
    model.setSubMode(0);
    type({{2, 2 * kPi * 3}});
    EXPECT_NEAR(at(191), 3, 1e-12);
    EXPECT_NEAR(at(168), 9 * kPi, 1e-12);
    model.setSubMode(1);
    set(180, 7);
    type({{0, 2}});
    EXPECT_DOUBLE_EQ(at(180), 2 * kPi); // clamped to a whole turn
    EXPECT_NEAR(at(209), 4 * kPi, 1e-12);
}

TEST_F(Geometry, ThreePointCircleIncludingARightAngle)
{
    model.setFigure(G::Circle);
    model.setSubMode(2);
    type({{0, 0}, {1, 0}, {2, 2}, {3, 0}, {4, 0}, {5, 2}});
    EXPECT_NEAR(at(191), std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(at(207), 1, 1e-12);
    EXPECT_NEAR(at(208), 1, 1e-12);
    type({{0, 1}, {1, 7}, {2, -5}, {3, -1}, {4, 2}, {5, 6}});
    EXPECT_NEAR(at(191), 5, 1e-12);
    EXPECT_NEAR(at(207), -2, 1e-12);
    EXPECT_NEAR(at(208), 3, 1e-12);
    // Points on one line have no circle.
    type({{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 3}, {5, 3}});
    EXPECT_EQ(at(191), 0);
    EXPECT_EQ(at(207), 0);
    const G::Box box = model.fitBox();
    EXPECT_TRUE(box.valid);
}

TEST_F(Geometry, ArcFromAnyTwoValues)
{
    model.setFigure(G::Arc);
    type({{0, 2}, {1, 90}});
    EXPECT_TRUE(model.arcCanSolve(false));
    ASSERT_EQ(model.compute(), 0);
    EXPECT_NEAR(at(193), kPi, 1e-12);
    EXPECT_NEAR(at(195), 2 * std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(at(194), 2 - std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(at(168), kPi - 2, 1e-12);
    model.clear();
    type({{2, 2 * std::sqrt(2.0)}, {3, 2 - std::sqrt(2.0)}});
    ASSERT_EQ(model.compute(), 0);
    EXPECT_NEAR(at(191), 2, 1e-12);
    EXPECT_NEAR(model.fieldValue(1), 90, 1e-9);
    model.clear();
    type({{2, 1}, {3, 1}});
    const auto before = slots();
    EXPECT_EQ(model.compute(), ErrGeomSrRatio);
    EXPECT_EQ(slots(), before);
    model.clear();
    type({{0, 1}});
    EXPECT_FALSE(model.arcCanSolve(false));
    model.setCurrentField(3);
    EXPECT_TRUE(model.arcCanSolve(true));
    EXPECT_EQ(model.compute(), ErrMissingArgument);
    // A chord longer than the diameter fits no arc.
    type({{2, 5}});
    EXPECT_EQ(model.compute(), ErrGeomNoSolution);
    // The angle is limited to π.
    model.clear();
    type({{0, 1}, {1, 300}});
    ASSERT_EQ(model.compute(), 0);
    EXPECT_DOUBLE_EQ(at(180), kPi);
}

TEST_F(Geometry, EllipseInBothAngleModes)
{
    model.setFigure(G::Ellipse);
    for (int mode : {0, 1}) {
        calc.setAngleFormat(mode);
        type({{0, 3}, {1, -2}});
        EXPECT_DOUBLE_EQ(at(197), 2);
        EXPECT_NEAR(at(200), std::sqrt(5.0), 1e-12);
        EXPECT_DOUBLE_EQ(at(199), -at(200));
        EXPECT_NEAR(at(198), std::sqrt(5.0) / 3, 1e-12);
        EXPECT_NEAR(at(168), 6 * kPi, 1e-12);
        EXPECT_NEAR(at(170), 15.86543958929059, 1e-10);
    }
    type({{0, 2}, {1, 2}});
    EXPECT_EQ(at(198), 0);
    EXPECT_EQ(at(200), 0);
    EXPECT_DOUBLE_EQ(at(170), 4 * kPi);
}

TEST_F(Geometry, EllipsesAtTheEdgeOfTheNumbersSolveOrReportWithNothingStored)
{
    model.setFigure(G::Ellipse);
    // The major axis's square overflows: the eccentricity comes from the axes' ratio.
    EXPECT_EQ(type({{0, 1e200}, {1, 1}}), 0);
    EXPECT_EQ(at(198), 1);
    EXPECT_DOUBLE_EQ(at(200), 1e200);
    EXPECT_DOUBLE_EQ(at(170), 4e200);
    EXPECT_DOUBLE_EQ(at(168), kPi * 1e200);
    EXPECT_EQ(type({{0, 1}, {1, 1e-300}}), 0);
    EXPECT_DOUBLE_EQ(at(170), 4);
    // An area beyond the largest number: reported, and neither the typed value nor any
    // result is kept.
    type({{0, 3}, {1, 2}});
    const auto solved = slots();
    EXPECT_EQ(type({{1, 1e308}}), ErrOverflow);
    EXPECT_EQ(slots(), solved);
    EXPECT_EQ(type({{0, -1e300}}), 0);
    EXPECT_EQ(type({{1, 1e10}}), ErrOverflow);
    EXPECT_EQ(at(197), 2);
}

TEST_F(Geometry, UnitCircleAndItsSliderSnapToQuarterTurns)
{
    model.setFigure(G::UnitCircle);
    type({{0, 90}});
    EXPECT_EQ(at(210), 1);
    EXPECT_EQ(at(211), 0);
    const double step = kPi / 4;
    model.trackSlider(3 * step + 0.05 * step);
    EXPECT_EQ(at(180), 3 * step);
    EXPECT_NEAR(at(211), -std::sqrt(0.5), 1e-12);
    model.trackSlider(3 * step + 0.2 * step);
    EXPECT_DOUBLE_EQ(at(180), 3.2 * step);
    EXPECT_EQ(G::snapQuarter(0.01), 0);
    model.setFigure(G::Polygon);
    model.trackSlider(7.8);
    EXPECT_EQ(at(190), 7);
}

TEST_F(Geometry, FittedBoxesHaveMarginsAndEqualScales)
{
    model.setFigure(G::Rectangle);
    type({{0, 12}, {1, 6}});
    G::Box box = G::fitted(model.fitBox(), 200, 200);
    EXPECT_DOUBLE_EQ(box.xMin, -1);
    EXPECT_DOUBLE_EQ(box.xMax, 13);
    // Equal scales: the height widened to the width's units per point, about its middle.
    EXPECT_DOUBLE_EQ(box.yMax - box.yMin, 14);
    EXPECT_DOUBLE_EQ(box.yMin + box.yMax, 6);
    model.setFigure(G::Line);
    model.setSubMode(0);
    type({{0, 0}, {1, 0}, {2, 12}, {3, 1}});
    box = G::fitted(model.fitBox(), 200, 200);
    EXPECT_DOUBLE_EQ(box.xMax - box.xMin, 14);
    EXPECT_NEAR(box.yMax - box.yMin, 7.0 / 6, 1e-12); // the line's own scales
}

} // namespace
} // namespace orvenda::test
