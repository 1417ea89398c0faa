#pragma once

#include "core/VQList.h"

#include <optional>

namespace orvenda {

// The results of a statistics run that go into the statistics variables (one- and
// two-variable summaries, the last regression's coefficients and correlation).
struct StatisticsResults {
    struct Point {
        double x = 0, y = 0;
    };

    double n = 0;
    double Xmean = 0, Xsum = 0, X2sum = 0, stdX = 0, popStdX = 0, minX = 0, maxX = 0;
    double minY = 0, maxY = 0;
    double Ymean = 0, Ysum = 0, Y2sum = 0, stdY = 0, popStdY = 0;
    double XYsum = 0, r = 0, medianX = 0;
    double a = 0, b = 0, c = 0, d = 0, e = 0;
    Point P1, P2, P3;
    double r2 = 0, R2 = 0;
    // The regression's residuals; none before a regression.
    std::optional<VQList> resid;
};

} // namespace orvenda
