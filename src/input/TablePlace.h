#pragma once

namespace orvenda {

// A row of a sectioned list: its section and its row in that section.
struct TablePlace {
    int section = -1;
    int row = -1;
    bool valid() const { return section >= 0 && row >= 0; }
};

} // namespace orvenda
