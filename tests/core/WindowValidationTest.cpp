#include "core/Calculator.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace orvenda;
using namespace orvenda::test;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double k2Pi = 2 * std::numbers::pi;

enum Slot { Xmin = 38, Xmax = 39, Ymin = 40, Ymax = 41, Tmin = 42, Tmax = 43, ThMin = 44, ThMax = 45, Tstep = 62, ThStep = 63 };

struct Case {
    const char* name;
    int mode;
    std::vector<std::pair<int, double>> before;
    std::vector<std::pair<int, double>> after;
    // Stored back (imaginary part cleared) rather than left alone.
    bool stored = true;
};

} // namespace

TEST(ValidateWindow, PutsTheWindowInOrder)
{
    const Case cases[] = {
        {"swapped X", 0, {{Xmin, 5}, {Xmax, -5}}, {{Xmin, -5}, {Xmax, 5}}},
        {"swapped Y", 0, {{Ymin, 2}, {Ymax, -3}}, {{Ymin, -3}, {Ymax, 2}}},
        {"empty X", 0, {{Xmin, 3}, {Xmax, 3}}, {{Xmin, 3}, {Xmax, 3.000001}}},
        {"parametric, empty range, no step", 1, {{Tmin, 0}, {Tmax, 0}, {Tstep, 0}}, {{Tmax, 1}, {Tstep, 0.005}}},
        {"polar, step away from the end", 2, {{ThMin, 0}, {ThMax, k2Pi}, {ThStep, -0.1}}, {{ThStep, 0.1}}},
        {"polar, too many steps", 2, {{ThMin, 0}, {ThMax, k2Pi}, {ThStep, 0.001}}, {{ThStep, k2Pi / 2000}}},
        {"polar, empty range", 2, {{ThMin, 1}, {ThMax, 1}, {ThStep, 0.1}}, {{ThMax, 1 + k2Pi}}},
        {"range running down keeps its direction", 1, {{Tmin, 5}, {Tmax, 1}, {Tstep, 0.5}}, {{Tmin, 5}, {Tmax, 1}, {Tstep, -0.5}}},
        {"almost empty downward range", 1, {{Tmin, 1}, {Tmax, 1 - 1e-9}, {Tstep, 0}}, {{Tmax, 1 - 1e-6}, {Tstep, -1e-6 / 200}}},
        {"parameter untouched in function mode", 0, {{Tmin, 0}, {Tmax, 0}, {Tstep, 0}}, {{Tmax, 0}, {Tstep, 0}}, false},
        // Non-finite values would make every sample of the graph undefined.
        {"infinite X", 0, {{Xmin, -kInf}, {Xmax, 4}}, {{Xmin, -10}, {Xmax, 10}}},
        {"NaN Y", 0, {{Ymin, 1}, {Ymax, kNaN}}, {{Ymin, -10}, {Ymax, 10}}},
        {"NaN parameter range", 2, {{ThMin, kNaN}, {ThMax, 3}, {ThStep, 0.5}}, {{ThMin, 0}, {ThMax, k2Pi}, {ThStep, k2Pi / 200}}},
        {"infinite step", 1, {{Tmin, 0}, {Tmax, 2}, {Tstep, kInf}}, {{Tstep, 0.01}}},
    };
    for (const Case& c : cases) {
        Calculator calc(kUS);
        calc.setGraphMode(c.mode);
        for (auto [slot, value] : c.before)
            calc.locked()->vars[slot] = {value, 7};
        calc.validateWindow();
        for (auto [slot, value] : c.after) {
            EXPECT_NEAR(calc.locked()->vars[slot].real(), value, 1e-15) << c.name << ", slot " << slot;
            EXPECT_EQ(calc.locked()->vars[slot].imag(), c.stored ? 0 : 7) << c.name << ", slot " << slot;
        }
    }
}
