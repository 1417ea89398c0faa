#pragma once

#include <string>

namespace orvenda {

// One labelled number of a panel form: its value, where it sits (column, row), its tab
// order (-1: read-only, skipped by tab) and the tag that says which quantity it shows.
struct GraphFormField {
    double value = 0;
    int flags = 0;
    int order = -1;
    int col = 0;
    int row = 0;
    std::string label;
    int tag = 0;

    static GraphFormField fieldValue(double value, int flags, int order, int col, int row, std::string label, int tag)
    {
        return {value, flags, order, col, row, std::move(label), tag};
    }
    bool editable() const { return order >= 0; }
};

} // namespace orvenda
