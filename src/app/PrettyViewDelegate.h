#pragma once

namespace orvenda {

// What an entry view asks of its screen when the user drags the entry field: move the split
// between history and entry by a vertical distance; the answer is the distance applied.
class PrettyViewDelegate {
public:
    virtual ~PrettyViewDelegate() = default;
    virtual double scrollEntryView(double distance) = 0;
};

} // namespace orvenda
