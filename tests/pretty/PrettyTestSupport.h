#pragma once

// Op arrays from typed text and template ops written by hand, for the pretty-printing tests.

#include "cases/EntryText.h"

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

} // namespace orvenda::test
