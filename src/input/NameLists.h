#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;

// The lists of names the menus build from the calculator's state: letter sections of
// list, graph-database and program names, the ten matrix rows and the Y-variables of a
// graph mode.
class NameLists {
public:
    struct Section {
        QString title;
        std::vector<std::string> names;
    };
    // For each letter "A" to "Z" the names whose upper-cased first character is that
    // letter, in the given order; with hashSection the names starting with anything else
    // form the section "#", first; without it they are left out.
    static std::vector<Section> letterSections(const std::vector<std::string>& names, bool hashSection);
    // "[A] 2×3" for a matrix with columns, else "[A]"; always ten rows, [A] to [J].
    static std::vector<std::string> matrixNames(const Calculator& calc);
    // The Y-variable tokens of a graph mode (0 function to 4 implicit); none for others.
    static std::vector<std::uint32_t> yVarsForMode(int graphMode);
    // The user menu's rows (0 to 3; others mean 0): names and op arrays.
    static const std::vector<std::string>& userNames(const Calculator& calc, int menu);
    static const std::vector<std::vector<std::uint32_t>>& userOps(const Calculator& calc, int menu);
};

} // namespace orvenda
