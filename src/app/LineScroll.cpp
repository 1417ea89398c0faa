#include "app/LineScroll.h"

#include <algorithm>

namespace orvenda {

namespace {

// Heights summed in floating point: a line that fits exactly still fits.
constexpr double kSlack = 1e-6;

} // namespace

int LineScroll::follow(int current, int count, int shown)
{
    shown = std::max(1, shown);
    if (current >= 0 && current < first_)
        first_ = current;
    else if (current >= first_ + shown)
        first_ = current - shown + 1;
    // No blank below the last line while some above it are out of view.
    first_ = std::clamp(first_, 0, std::max(0, count - shown));
    return first_;
}

int LineScroll::follow(int current, const std::vector<double>& heights, double room)
{
    const int count = static_cast<int>(heights.size());
    first_ = std::clamp(first_, 0, std::max(0, count - 1));
    if (current >= 0 && current < count) {
        if (current < first_)
            first_ = current;
        double used = 0;
        for (int i = first_; i <= current; ++i)
            used += heights[static_cast<std::size_t>(i)];
        // Down as little as brings the current line's bottom into view; a line taller than
        // the room shows from its top.
        while (first_ < current && used > room + kSlack)
            used -= heights[static_cast<std::size_t>(first_++)];
    }
    // No blank below the last line while some above it are out of view.
    double below = 0;
    for (int i = first_; i < count; ++i)
        below += heights[static_cast<std::size_t>(i)];
    while (first_ > 0 && below + heights[static_cast<std::size_t>(first_ - 1)] <= room + kSlack)
        below += heights[static_cast<std::size_t>(--first_)];
    return first_;
}

int LineScroll::fitting(const std::vector<double>& heights, int first, double room)
{
    const int count = static_cast<int>(heights.size());
    int n = 0;
    double used = 0;
    for (int i = std::max(0, first); i < count; ++i) {
        used += heights[static_cast<std::size_t>(i)];
        if (used > room + kSlack)
            break;
        ++n;
    }
    return std::max(n, first < count ? 1 : 0);
}

} // namespace orvenda
