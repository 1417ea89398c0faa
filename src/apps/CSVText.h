#pragma once

#include <string>
#include <vector>

namespace orvenda {

class Calculator;

// Lists and matrices as comma-separated text for sharing (UTF-8, lines joined by "\n", no
// final line break), with the file names they are shared under. Numbers are written as the
// mode shows them, without a grouping mark and in decimal, so that the import reads them back.
class CSVText {
public:
    // One line per list: its name, then "," and each element; lists that do not exist are
    // left out.
    static std::string listsText(const Calculator& calc, const std::vector<std::string>& names);
    // The names run together (while the stem is under 80 characters) plus ".csv".
    static std::string listsFileName(const std::vector<std::string>& names);
    // The rows of each matrix (0 for [A] to 9 for [J]), one line each; numbers outside 0..9
    // are left out.
    static std::string matricesText(const Calculator& calc, const std::vector<int>& matrices);
    // "Matrix" and each matrix's letter plus ".csv": "MatrixAB.csv".
    static std::string matricesFileName(const std::vector<int>& matrices);
};

} // namespace orvenda
