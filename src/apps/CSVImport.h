#pragma once

#include <string_view>

namespace orvenda {

class Calculator;

// Lists from comma-separated text handed to the app: each row one list, named by its first
// field or "L1", "L2", ... when that field is already a number.
class CSVImport {
public:
    // 0 when every row became a list; 85 when none did; 86 when some row was bad (an empty
    // first field, a field that is no number after the first value, a row of names only).
    // Lists stored before a bad row stay stored.
    static int loadCSV(Calculator& calc, std::string_view text);

    // A number in plain or E notation ("1.50", "2.5E3", "1e-5"; "ᴱ" counts as "E") and its
    // significance: sigFig significant figures, sigDec the decimal place of the last one.
    // A trailing "x" marks it exact (15 and -15). Reading stops at any other character.
    // error: 0, 1 for text that is no number (a sign before the digits, a second point, an
    // exponent without digits or above 308, no digit at all, a letter first), 20 for "".
    static double parseNumString(std::string_view text, int& sigFig, int& sigDec, int& error);
};

} // namespace orvenda
