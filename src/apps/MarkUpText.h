#pragma once

#include <QString>

#include <vector>

class QPainter;

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

    // Drawing in a font family at a size: raised and lowered runs at 0.6 of it, raised by
    // 0.3 of it and lowered by `drop` of it; the slash in bold. Each gives the width taken.
    static double draw(QPainter& painter, const std::vector<Run>& runs, double x, double baseline, const char* family,
                       double size, double drop = 0.3);
    static double width(const std::vector<Run>& runs, const char* family, double size);
    // The runs cut to fit `width` with "…" after them when they do not fit whole.
    static std::vector<Run> elide(std::vector<Run> runs, double width, const char* family, double size);
};

} // namespace orvenda
