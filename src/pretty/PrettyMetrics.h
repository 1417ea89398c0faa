#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace orvenda {

// What the two-dimensional layout measures text with, so that layout can be checked with
// fixed numbers and drawn with the real fonts. Sizes are layout units (pixels, points on
// paper); ascent and descent both count away from the baseline (positive).
class PrettyMetrics {
public:
    // The four fonts of a metric set (PrettyDrawInfo): the display font, the fraction
    // parts' (0.85×), the superscripts' (0.65×) and the superscripts' italic for letters.
    enum Role : unsigned char { Base, Fraction, Superscript, SuperscriptItalic };

    // Names a text view kept for the life of the process by its address and length, for
    // caches of what is measured or drawn of it.
    struct TextKey {
        const char* data;
        std::size_t size;
        bool operator==(const TextKey&) const = default;
    };
    struct TextKeyHash {
        std::size_t operator()(const TextKey& k) const
        {
            return std::hash<const void*>()(k.data) ^ (k.size * 0x9E3779B97F4A7C15ull);
        }
    };

    struct Font {
        double ascent = 0;
        double descent = 0;
        double capHeight = 0;
    };

    virtual ~PrettyMetrics() = default;

    // The role's font of the metric set for the base size `size`.
    virtual Font font(Role role, double size) const = 0;
    // The advance of UTF-8 text. Text views must stay valid for the life of the process
    // (glyph names and literals), so implementations may cache by address.
    virtual double advance(Role role, double size, std::string_view text) const = 0;

    // The size of the role's font for the base size.
    static double scaled(Role role, double size)
    {
        return role == Base ? size : role == Fraction ? size * 0.85 : size * 0.65;
    }
};

} // namespace orvenda
