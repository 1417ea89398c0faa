#pragma once

// Op arrays from typed text and template ops written by hand, for the pretty-printing tests.

#include "cases/EntryText.h"

#include "pretty/PrettyMetrics.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvenda::test {

using Ops = std::vector<std::uint32_t>;

// Typed text in the calculator's token names ("-" negates, "—" subtracts, "／" is the
// fraction bar, "␣" the mixed-number separator).
inline Ops ops(const std::string& text)
{
    static const cases::EntryText entry;
    std::string bad;
    auto result = entry.toOps(text, bad);
    return result ? *result : Ops{0xFFFFFFFFu};
}

// A token carrying template ID id.
constexpr std::uint32_t T(std::uint32_t token, std::uint32_t id = 1)
{
    return (id << 16) | token;
}

// Metrics by rule of thumb, so that expected positions can be worked out by hand: a font of
// size s (the base size scaled by the role) has ascent 0.8 s, descent 0.2 s, cap height
// 0.7 s, and every character advances 0.6 s.
class FixedMetrics : public PrettyMetrics {
public:
    Font font(Role role, double size) const override
    {
        const double s = scaled(role, size);
        return {0.8 * s, 0.2 * s, 0.7 * s};
    }
    double advance(Role role, double size, std::string_view text) const override
    {
        double chars = 0;
        for (unsigned char c : text)
            chars += (c & 0xC0) != 0x80;  // one per UTF-8 lead byte
        return chars * 0.6 * scaled(role, size);
    }
};

} // namespace orvenda::test
