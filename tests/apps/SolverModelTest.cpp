#include "apps/SolverModel.h"

#include "TestSupport.h"
#include "language/EntryText.h"
#include "language/ErrorNumbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>

namespace orvenda::test {
namespace {

struct Solver : ::testing::Test {
    Calculator calc;
    SolverModel model{calc};
    void equation(const std::string& text)
    {
        std::string bad;
        const auto ops = EntryText().toOps(text, bad);
        ASSERT_TRUE(ops) << bad;
        calc.locked()->solverEq = *ops;
    }
};

TEST_F(Solver, ALinePerVariableThenTheBounds)
{
    equation("X²-2");
    ASSERT_EQ(model.variables().size(), 1u);
    EXPECT_EQ(model.lineCount(), 4);
    EXPECT_EQ(model.slotOf(0), -1);
    EXPECT_EQ(model.slotOf(1), 23); // X
    EXPECT_EQ(model.slotOf(2), SolverModel::kLowerSlot);
    EXPECT_EQ(model.slotOf(3), SolverModel::kUpperSlot);
    EXPECT_EQ(model.slotOf(4), -1);
    equation("2+3");
    EXPECT_EQ(model.lineCount(), 1);
    double residual = 0;
    EXPECT_EQ(model.solve(0, residual), -1);
}

TEST_F(Solver, SolvesForTheVariableOfTheLineFromItsValue)
{
    equation("X²-2");
    model.setValue(23, 1);
    model.ensureBounds();
    EXPECT_EQ(model.value(SolverModel::kLowerSlot), -1e99);
    EXPECT_EQ(model.value(SolverModel::kUpperSlot), 1e99);
    double residual = 1;
    ASSERT_EQ(model.solve(1, residual), 0);
    EXPECT_NEAR(model.value(23), 1.414213562, 1e-9);
    EXPECT_NEAR(residual, 0, 1e-9);
    // The bound lines solve nothing.
    EXPECT_EQ(model.solve(2, residual), -1);
    EXPECT_NEAR(model.evaluate(), 0, 1e-9);
}

TEST_F(Solver, AFailedSolveLeavesTheVariable)
{
    equation("X²+1");
    model.setValue(23, 3);
    model.setValue(SolverModel::kLowerSlot, -10);
    model.setValue(SolverModel::kUpperSlot, 10);
    model.ensureBounds(); // bounds set stay
    EXPECT_EQ(model.value(SolverModel::kLowerSlot), -10);
    double residual = 0;
    const int error = model.solve(1, residual);
    EXPECT_TRUE(error == ErrBadGuess || error == ErrNoSignChange) << error;
    EXPECT_EQ(model.value(23), 3);
    // A guess outside the bounds.
    equation("X-1");
    model.setValue(23, 50);
    EXPECT_EQ(model.solve(1, residual), ErrGuessNotInRange);
    EXPECT_EQ(model.value(23), 50);
}

// The solver answers as the home line does: a mixed number is whole + numerator/denominator,
// an equation without a value anywhere is its error, not a root.
TEST_F(Solver, SolvesWithTheHomeLinesValues)
{
    struct Case {
        const char* text;
        int error;
        double root;
    };
    const Case cases[] = {
        {"1␣1／2-X", 0, 1.5},
        {"X-2␣3／4", 0, 2.75},
        {"X*1␣1／4-5", 0, 4},
        {"X+e^(ln(0))", ErrDomain, 0},
        {"X+not(e^(1000X+1000))", ErrOverflow, 0},
        {"gcd(X+.5,4)-1", ErrDomain, 0},
    };
    for (const Case& c : cases) {
        equation(c.text);
        model.setValue(23, 1);
        model.setValue(SolverModel::kLowerSlot, -10);
        model.setValue(SolverModel::kUpperSlot, 10);
        double residual = 7;
        EXPECT_EQ(model.solve(1, residual), c.error) << c.text;
        if (c.error == 0) {
            EXPECT_NEAR(model.value(23), c.root, 1e-12) << c.text;
            EXPECT_NEAR(residual, 0, 1e-12) << c.text;
        } else {
            EXPECT_EQ(model.value(23), 1) << c.text;
        }
    }
}

// An equation without a value between the bounds is the error the home line gives for it
// there (an overflow, +∞ or −∞, is Overflow), never a root; the variable, the bounds and
// the residual shown stay as they were.
TEST_F(Solver, AnEquationWithoutAValueIsItsErrorAndChangesNothing)
{
    struct Case {
        const char* text;
        int error;
    };
    const Case cases[] = {
        {"e^(1000+X)", ErrOverflow},
        {"-e^(1000+X)", ErrOverflow},
        {"ln(X-5)", ErrNonReal},
        {"1/(X-X)", ErrDivideBy0},
    };
    for (const Case& c : cases) {
        equation(c.text);
        model.setValue(23, .5);
        model.setValue(SolverModel::kLowerSlot, 0);
        model.setValue(SolverModel::kUpperSlot, 1);
        double residual = 7;
        EXPECT_EQ(model.solve(1, residual), c.error) << c.text;
        EXPECT_EQ(residual, 7) << c.text;
        EXPECT_EQ(calc.getVar(23).value, std::complex<double>(.5, 0)) << c.text;
        EXPECT_EQ(model.value(SolverModel::kLowerSlot), 0) << c.text;
        EXPECT_EQ(model.value(SolverModel::kUpperSlot), 1) << c.text;
    }
}

TEST_F(Solver, ABadEquationIsFoundBeforeSolving)
{
    equation("X+)");
    int at = -1;
    EXPECT_NE(model.check(at), 0);
    equation("X+1");
    EXPECT_EQ(model.check(at), 0);
}

TEST_F(Solver, PlotWindowsForFlatSlopedAndNonFiniteValues)
{
    auto expect = [](SolverModel::Window w, double l, double r, double b, double t) {
        EXPECT_DOUBLE_EQ(w.left, l);
        EXPECT_DOUBLE_EQ(w.right, r);
        EXPECT_NEAR(w.bottom, b, 1e-6);
        EXPECT_NEAR(w.top, t, 1e-6);
    };
    expect(SolverModel::plotWindow(1, 5, 5), -1, 3, 3, 7);
    expect(SolverModel::plotWindow(0, 1, 1 + 3e-5), -2, 2, 1 - 6, 1 + 6);
    const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    expect(SolverModel::plotWindow(2, nan, nan), 0, 4, -2, 2);
    expect(SolverModel::plotWindow(2, 3, inf), 0, 4, 1, 5);
    expect(SolverModel::plotWindow(2, inf, 3), 0, 4, -2, 2);
    expect(SolverModel::plotWindow(nan, 1, 1), -2, 2, -1, 3);
}

} // namespace
} // namespace orvenda::test
