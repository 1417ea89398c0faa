#pragma once

namespace orvenda {

// What an entry view asks of its screen when the user drags the entry field: move the split
// between history and entry by a vertical distance; the answer is the distance applied.
class PrettyViewDelegate {
public:
    virtual ~PrettyViewDelegate() = default;
    virtual double scrollEntryView(double distance) = 0;
};

// The part of a move by d of a split at t that keeps it within 0 and limit.
inline double splitMoveWithin(double t, double d, double limit)
{
    if (t + d > limit)
        return limit - t;
    if (t + d < 0)
        return -t;
    return d;
}

} // namespace orvenda
