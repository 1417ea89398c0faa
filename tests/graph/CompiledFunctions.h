#pragma once

// Functions of X typed as text and compiled by the calculator's own parser, as the drawing
// commands keep them.

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "eval/Parser.h"
#include "language/EntryText.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace orvenda::testing {

inline std::vector<std::uint32_t> typed(const std::string& text)
{
    static const EntryText entry;
    std::string bad;
    auto tokens = entry.toOps(text, bad);
    EXPECT_TRUE(tokens) << "no token for " << bad;
    return tokens ? *tokens : std::vector<std::uint32_t>{};
}

inline std::shared_ptr<VQStack> compiled(Calculator& calc, const std::string& text)
{
    auto ops = typed(text);
    return std::make_shared<VQStack>(calc.parser().getRPNfor(ops));
}

} // namespace orvenda::testing
