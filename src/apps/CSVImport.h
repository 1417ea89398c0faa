#pragma once

#include "core/services/CSVLoader.h"

#include <cstddef>
#include <string_view>

namespace orvenda {

class Calculator;

// Lists from comma-separated text handed to the app: each row one list, named by its first
// field when that is a list name (A–Z, 0–9 and θ, a letter first, cut to 5 characters; or
// L₁ to L₆), else "L1", "L2", ... (a number as first field is the first value). A name
// another row of the file already took is numbered too, so no row hides another. A field
// holds a real number, or a complex one as the export writes it (3+4ɩ̇, -2ɩ̇, ɩ̇).
class CSVImport {
public:
    // What the calculator holds: a list of at most 999 numbers, at most 999 lists from one
    // file, and no file longer than that many numbers can need.
    static constexpr int kMaxElements = 999;
    static constexpr int kMaxLists = 999;
    static constexpr std::size_t kMaxTextBytes = CSVLoader::kMaxTextBytes;
    // The numbers all the calculator's lists may hold together after an import, so that
    // imports one after another cannot grow the saved calculator past what a save writes
    // in a moment.
    static constexpr std::size_t kMaxHeldNumbers = 50'000;

    // All or nothing: 0 when every list was stored; 85 when the text holds no list; 86,
    // storing nothing, when it holds more than the calculator takes or a bad row (an empty
    // first field, a field that is no number after the first value, a number with anything
    // after it, as when the fields are separated by something else) or stops being
    // comma-separated text (a quote left open); 26, storing nothing, when the calculator's
    // lists would then hold more than kMaxHeldNumbers. Rows of names only, empty fields at the end
    // of a row and rows of empty fields hold nothing and are passed over.
    static int loadCSV(Calculator& calc, std::string_view text);

    // A number in plain or E notation ("1.50", "2.5E3", "1e-5"; "ᴱ" counts as "E") and its
    // significance: sigFig significant figures, sigDec the decimal place of the last one.
    // A trailing "x" marks it exact (15 and -15). Reading stops at any other character;
    // read, when given, takes the number of bytes read.
    // error: 0, 1 for text that is no number (a sign before the digits, a second point, an
    // exponent without digits or above 308, no digit at all, a letter first), 20 for "".
    static double parseNumString(std::string_view text, int& sigFig, int& sigDec, int& error,
        std::size_t* read = nullptr);
};

} // namespace orvenda
