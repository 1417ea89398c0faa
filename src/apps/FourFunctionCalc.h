#pragma once

#include "core/NumberFormatter.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace orvenda {

// The four-function desk calculator's arithmetic: plain doubles, evaluated left to right,
// independent of the main calculator's state. Keys by code: 0-9 digits, 10 point, 11 clear,
// 12 equals, 13 ÷, 14 ×, 15 +, 16 − (a minus at the start of an entry negates it).
// The text shows the number being typed or the last result; 0 ÷ 0 (and any other answer
// that is no number) reads "Error".
class FourFunctionCalc {
public:
    enum Key { Point = 10, Clear = 11, Equals = 12, Divide = 13, Times = 14, Plus = 15, Minus = 16, NoOp = 17 };

    // Results are shown in floating notation, at most 12 characters wide, in the given
    // settings otherwise (the thousands separator and the decimal point of the user's).
    explicit FourFunctionCalc(const NumberFormatter::Settings& settings);

    void key(int code);
    const std::string& text() const { return text_; }
    double value() const { return x_; }

    static constexpr std::string_view kErrorText = "Error";
    // The largest number of characters typed into one entry.
    static constexpr std::size_t kMaxDigits = 13;

private:
    void equal();
    void processOp(int code);
    void startEntryIfNeeded();

    NumberFormatter format_;
    double x_ = 0, y_ = 0, divisor_ = 10;
    int op_ = NoOp, sign_ = 1;
    bool startEntry_ = true, decimal_ = false;
    std::string text_ = "0";
};

} // namespace orvenda
