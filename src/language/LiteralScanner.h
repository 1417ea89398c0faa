#pragma once

#include <cstdint>
#include <span>

namespace orvenda {

// Number literals typed as runs of tokens: decimal numbers with their significance pair,
// binary and hexadecimal numbers after their prefix token, and the minutes and seconds of
// a degree-minute-second angle. Each scanner starts at `next`, advances it past the tokens
// it used and reports failures as an error number and the token index where it arose.
// Digits are converted by our own code and std::from_chars, so no locale takes part.
class LiteralScanner {
public:
    using OpSpan = std::span<const std::uint32_t>;

    struct Cursor {
        int next = 0;
        int error = 0;
        int errorToken = 0;
    };

    struct Decimal {
        double value = 0;
        bool hasDecimal = false;
        int sigFig = 0;
        // Decimal exponent of the last significant digit.
        int digDec = 0;
    };

    // Digits, ".", "ᴱ", a negation right after "ᴱ" and the exactness mark "x".
    static Decimal parseNumber(OpSpan ops, Cursor& cursor);
    // "0" and "1" tokens, at most 32.
    static double parseBinary(OpSpan ops, Cursor& cursor);
    // 0-9 and A-F tokens, at most 8.
    static double parseHex(OpSpan ops, Cursor& cursor);

    // Minutes and seconds after "°"; `degrees` is the value already scanned before it.
    // True when minutes closed by "'" were found and applied to `degrees`. When no
    // minutes apply, nothing is consumed, so the tokens stay for the statement parser.
    static bool parseDMS(OpSpan ops, Cursor& cursor, double& degrees, bool& hasDecimal);

    static bool isDigit(std::uint32_t token) { return token >= 0x30 && token <= 0x39; }
};

} // namespace orvenda
