#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvenda {

// One field of a templated form: a number (or a list name) with its label, its place
// (column, row), its tab order (-1: shown, never edited) and a tag the form's owner reads
// (a variable slot). `solved` marks the value a solver just found.
struct VQTemplateField {
    enum Flags { Number = 0, ListName = 2, EquationVariable = 3 };

    double value = 0;
    std::vector<std::uint32_t> listValue;
    int flags = Number;
    int order = 0;
    int col = 0;
    int row = 0;
    std::string label;
    int tag = 0;
    bool solved = false;

    static VQTemplateField fieldValue(double value, int flags, int order, int col, int row, std::string label, int tag)
    {
        return {value, {}, flags, order, col, row, std::move(label), tag, false};
    }
    static VQTemplateField fieldListValue(std::vector<std::uint32_t> list, int flags, int order, int col, int row,
                                          std::string label, int tag)
    {
        return {0, std::move(list), flags, order, col, row, std::move(label), tag, false};
    }
    bool editable() const { return order >= 0; }
};

} // namespace orvenda
