#pragma once

#include <QColor>
#include <QFont>

namespace orvenda {

// A font with the colour it is drawn in.
struct PrettyFont {
    QFont font;
    QColor color;
};

// The font metric set of one display size and colour, shared by every view that draws op
// arrays: the bold fixed-pitch display font at the size, its superscript (0.65×), an
// italic superscript for letters in exponents, and the fraction font (0.85×). Sets are
// made once per (size, colour) and kept for the life of the process. Lengths are layout
// units measured from the baseline, up positive.
class PrettyDrawInfo {
public:
    static constexpr double kSuperscriptScale = 0.65;
    static constexpr double kFractionScale = 0.85;

    // The set for `size` in the default text colour.
    static const PrettyDrawInfo& PrettyDrawInfoSize(double size);
    static const PrettyDrawInfo& PrettyDrawInfoSize(double size, const QColor& color);

    double size() const { return size_; }
    double ascent() const { return ascent_; }
    // Below the baseline, so negative.
    double descent() const { return descent_; }
    double capHeight() const { return capHeight_; }
    // Cap height of the superscript font.
    double superCapHeight() const { return superCapHeight_; }

    // The base font.
    const QFont& font() const { return base_.font; }
    const PrettyFont& baseFont() const { return base_; }
    const PrettyFont& superscriptFont() const { return superscript_; }
    const PrettyFont& superscriptItalicFont() const { return superscriptItalic_; }
    const PrettyFont& fractionFont() const { return fraction_; }

    PrettyDrawInfo(const PrettyDrawInfo&) = delete;
    PrettyDrawInfo& operator=(const PrettyDrawInfo&) = delete;

private:
    PrettyDrawInfo(double size, const QColor& color);

    double size_;
    double ascent_ = 0, descent_ = 0, capHeight_ = 0, superCapHeight_ = 0;
    PrettyFont base_, superscript_, superscriptItalic_, fraction_;
};

} // namespace orvenda
