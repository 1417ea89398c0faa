#pragma once

#include <QString>

#include <vector>

namespace orvenda {

class Calculator;

// The small mark-up the equation apps write labels and numbers in: "<s" subscript, "<S"
// superscript, "<d" denominator, ">" back to normal; "⁄" stands alone in bold; "ɩ" (the
// imaginary unit of formatted numbers) is shown as "𝑖". Every other character passes
// through whole, whatever its code point (θ stays θ). A "<" followed by any other letter
// ends the text there.
class MarkUpText {
public:
    enum Style { Normal, Superscript, Subscript, Denominator, FractionSlash };
    struct Run {
        QString text;
        Style style = Normal;
        bool operator==(const Run&) const = default;
    };

    static std::vector<Run> parse(const QString& markUp);
    // The runs' characters without their styles.
    static QString plain(const std::vector<Run>& runs);
    // x as a fraction in mark-up ("-1<S1>⁄<d2>"), mixed or improper as fractionFormat asks
    // (3 improper); formatReal when no fraction fits.
    static QString fraction(const Calculator& calc, double x);
};

} // namespace orvenda
