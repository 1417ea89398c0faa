#pragma once

namespace orvenda {

// Which lines of a column of equal lines (a form's fields, an app's lines) a view too
// short for them all shows: it scrolls, as little as it can, so that the line being typed
// shows whole, and back up when the lines fit again.
class LineScroll {
public:
    // The first line shown once `current` of `count` lines is brought into view among the
    // `shown` that fit (at least one).
    int follow(int current, int count, int shown);
    int first() const { return first_; }
    void reset() { first_ = 0; }

private:
    int first_ = 0;
};

} // namespace orvenda
