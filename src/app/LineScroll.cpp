#include "app/LineScroll.h"

#include <algorithm>

namespace orvenda {

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

} // namespace orvenda
