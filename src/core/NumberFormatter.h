#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda {

class VQList;
class VQMatrix;

// Every text in which the calculator shows a number: reals by the mode settings and by a
// value's display mode, complex numbers, lists and matrices, and the tokens that spell a
// number. The output never depends on the process locale.
//
// Display modes: 0 and 3 the mode settings, 1 fraction, 2 mixed number, 4 binary,
// 5 hexadecimal, 6 polar complex, 7 rectangular complex, 8 degrees-minutes-seconds,
// 9 significant figures.
class NumberFormatter {
public:
    // The mode settings the texts follow, with the calculator's field names and factory values.
    struct Settings {
        int numFormat = 0;                 // 0 Normal, 1 Sci, 2 Eng
        int numDigits = -1;                // -1 Float, 0..9 fixed decimals
        int numBase = 0;                   // 0 decimal, 1 binary, 2 hexadecimal
        int maxWidth = 15;                 // widest number text in characters
        char16_t thousandSeperator = u' '; // ' ' none, ',' commas, '.' decimal comma, '+' blanks
        int maxDenominator = 9999;
        bool fixDenominator = false;       // YES: never form a fraction
        int realCplxMode = 0;              // 0 Real, 1 a+bi, 2 re^θi
        int angleFormat = 0;               // 0 Degree, 1 Radian, 2 Gradian
    };

    using Ops = std::vector<std::uint32_t>;

    NumberFormatter() = default;
    explicit NumberFormatter(const Settings& settings) : settings(settings) {}

    Settings settings;

    // ---- Reals ----

    std::string formatReal(double x) const;
    // By a display mode; modes without a form of their own use the settings.
    std::string formatReal(double x, int format) const;
    // With numDigits and numFormat replaced for this one call.
    std::string formatReal(double x, int digits, int format) const;
    std::string formatTable(double x) const;
    // Rounded to the figures (ties to even) with U+0332 after the last significant digit.
    std::string formatSigFig(double x, int sigFig) const;
    // "n/d" improper fraction, or the decimal text when no fraction fits.
    std::string formatFraction(double x) const;
    // Mixed number with superscript numerator and subscript denominator.
    std::string formatABC(double x) const;
    // Mixed number "w␣n/d".
    std::string format84ABC(double x) const;
    // Degrees, minutes and seconds of an angle in degrees.
    std::string formatDMS(double x) const;
    // x as "%.*f", "%.*e" or "%.*g" write it under the C locale, but rounded as round(
    // rounds: the text of numbers outside the mode settings (axis labels, element data).
    static std::string printText(double x, std::chars_format format, int precision);
    // "0b" and the bits of x as an unsigned 32-bit integer (saturating, negatives 0).
    static std::string formatBinary(double x);
    // "0h" and the upper-case hexadecimal digits of the same integer.
    static std::string formatHex(double x);

    // x rounded half away from zero to the decimal places (negative: tens, hundreds...), as
    // round( rounds: every fixed and significant-digit text rounds through it.
    static double roundDecimal(double x, int places);
    // x rounded half away from zero to the significant figures; x itself when that would
    // need fewer than 1 or more than 14 decimals.
    static double roundSigFigures(double x, int figures);
    // x rounded half away from zero to the decimal places, or to that many significant
    // figures when the whole part is too large for the places.
    static double roundPrecision(double x, int places);

    // Splits |x| into its whole part (returned) and a fraction numerator/denominator found by
    // continued fractions; both 0 when no fraction within maxDenominator fits.
    double convertToFraction2(double x, long long& numerator, long long& denominator) const;
    // The convergent of the continued fraction terms[0..depth-1].
    static void makeFraction(const double* terms, int depth, double& numerator, double& denominator);

    // The significant figures of x's full text and the power of ten of its last one.
    int sigFigFor(double x, int& sigDec) const;

    // ---- Complex numbers ----

    // Polar "r" or "re^(θɩ̇)" (θ in the angle unit), or rectangular "a+bɩ̇".
    std::string formatComplex(double re, double im, bool polar) const;
    // By a display mode; other modes follow realCplxMode.
    std::string formatComplex(double re, double im, int format) const;
    std::string formatCPLXFraction(double re, double im) const;
    std::string formatCPLXABC(double re, double im) const;

    // ---- Lists and matrices ----

    // Elements in braces, one blank apart: "{1 2.5}"; "" for no list, "{}" for an empty one.
    // Complex lists by formatComplex with the mode; real lists by formatReal with the mode,
    // or each element's own significant figures for mode 9.
    std::string formatList(const VQList* list, int format) const;
    // Complex lists polar when realCplxMode is 2.
    std::string formatList(const VQList* list) const;
    std::string formatListFract(const VQList* list) const;
    std::string formatListABC(const VQList* list) const;
    std::string formatComplexList(const VQList* list, bool polar) const;
    std::string formatListCPLXFraction(const VQList* list) const;
    std::string formatListCPLXABC(const VQList* list) const;
    // Row by row, "[[1 2] \n [3 4]]", every column starting at the same position in each
    // row; "" for no matrix or one without cells. Mode 9 shows each cell's own figures.
    std::string formatMatrix(const VQMatrix* matrix, int format) const;
    std::string formatMatrix(const VQMatrix* matrix) const;

    // ---- Padding and tokens ----

    // Characters of a text, not counting the significant-figure mark U+0332.
    static int strDisplayWidth(std::string_view text);
    // formatReal with blanks appended up to the width.
    std::string padReal(double x, int width) const;
    // Appends blanks until the text is longer than the width; returns the same text.
    static std::string& pad(std::string& text, int width);

    // The number tokens spelling formatReal of x (digits, negation, point, exponent).
    Ops realToOpcodes(double x) const;
    // The number tokens spelling x as the display shows it when that text reads back as x,
    // else with the fewest figures that do, in the display's notation (Normal, Sci, Eng):
    // for values kept as tokens, such as a fitted equation's coefficients.
    Ops valueToOpcodes(double x) const;
    // The number tokens spelling x with the fewest figures that read back as x, as plain
    // decimals where x is near 1 and with an exponent elsewhere.
    static Ops exactRealToOpcodes(double x);
    // The token typing one character, 0 for none.
    static std::uint32_t opCodeForChar(char32_t c);

private:
    // formatReal of x appended to out.
    void appendReal(std::string& out, double x) const;
    void appendReal(std::string& out, double x, int format) const;
};

} // namespace orvenda
