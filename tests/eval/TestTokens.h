#pragma once

// Readable op arrays for tests: tokens by display name or by number.

#include "language/Vocabulary.h"

#include <gtest/gtest.h>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace orvenda::testing {

struct Tok {
    Tok(const char* name) : name(name) {}  // NOLINT: implicit by design
    Tok(std::uint32_t op) : op(op) {}      // NOLINT
    Tok(int op) : op(static_cast<std::uint32_t>(op)) {}  // NOLINT
    const char* name = nullptr;
    std::uint32_t op = 0;
};

inline std::uint32_t opFor(const Tok& t)
{
    if (!t.name)
        return t.op;
    const std::uint32_t op = Vocabulary::shared().opcodeForName(t.name);
    EXPECT_NE(op, Vocabulary::kNoOpcode) << "no token named \"" << t.name << "\"";
    return op;
}

inline std::vector<std::uint32_t> toks(std::initializer_list<Tok> list)
{
    std::vector<std::uint32_t> out;
    out.reserve(list.size());
    for (const Tok& t : list)
        out.push_back(opFor(t));
    return out;
}

// Digits of a number text ("12.5") as tokens.
inline std::vector<std::uint32_t> digits(const std::string& text)
{
    std::vector<std::uint32_t> out;
    for (char c : text)
        out.push_back(c == '.' ? 0x3Au : static_cast<std::uint32_t>(c));
    return out;
}

} // namespace orvenda::testing
