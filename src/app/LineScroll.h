#pragma once

#include <vector>

namespace orvenda {

// Which lines of a column of lines (a form's fields, an app's lines) a view too short for
// them all shows: it scrolls, as little as it can, so that the line being typed shows
// whole, and back up when the lines fit again.
class LineScroll {
public:
    // The first line shown once `current` of `count` lines is brought into view among the
    // `shown` that fit (at least one).
    int follow(int current, int count, int shown);
    // The same for lines of their own heights (a formula's fraction makes its line taller)
    // in `room` points: the first line shown.
    int follow(int current, const std::vector<double>& heights, double room);
    // How many lines from `first` show whole in `room` (at least one while any is left).
    static int fitting(const std::vector<double>& heights, int first, double room);
    int first() const { return first_; }
    void reset() { first_ = 0; }

private:
    int first_ = 0;
};

} // namespace orvenda
