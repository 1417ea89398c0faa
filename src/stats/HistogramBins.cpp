#include "stats/HistogramBins.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

// Jumps land within a bin or two of their place; these many steps put them right.
constexpr int kSettleSteps = 64;

bool isWidth(double w) { return w > 0 && std::isfinite(w); }

} // namespace

HistogramBins::HistogramBins(double left, double right, double wanted, double fallback)
    : left_(left), right_(right), width_(isWidth(wanted) ? wanted : isWidth(fallback) ? fallback : 1)
{
    double least = 0;
    const double span = right - left;
    if (isWidth(span))
        least = span / kMaxBins;
    // Edges far from zero move only by the numbers' precision.
    const double scale = std::max(std::isfinite(left) ? std::fabs(left) : 0.0, std::isfinite(right) ? std::fabs(right) : 0.0);
    least = std::max(least, scale * 1e-12);
    width_ = std::max(width_, least);
}

double HistogramBins::advance(double k, double x) const
{
    const double m = std::min(x, right_);
    if (!(edge(k) <= m))
        return k;
    double j = std::floor((m - left_) / width_);
    if (!(j > k))
        j = k + 1;
    for (int i = 0; i < kSettleSteps && j > k + 1 && edge(j - 1) > m; ++i)
        j -= 1;
    for (int i = 0; i < kSettleSteps && edge(j) <= m; ++i)
        j += 1;
    return j;
}

double HistogramBins::binOf(double x) const
{
    double k = std::floor((x - left_) / width_);
    if (std::isnan(k) || std::isinf(k))
        return k;
    for (int i = 0; i < kSettleSteps && left_ + k * width_ > x; ++i)
        k -= 1;
    for (int i = 0; i < kSettleSteps && edge(k) <= x; ++i)
        k += 1;
    return k;
}

} // namespace orvenda
