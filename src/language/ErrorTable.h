#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace orvenda {

// Error numbers become text only here. Each number 0-93 has a fixed localisation key; the
// English (or translated) texts are resolved once, on first use, and never change.
class ErrorTable {
public:
    static constexpr int count = 94;

    // The key of error `number`; empty outside 0..93.
    static std::string_view key(int number);
    static std::span<const std::string_view> keys();

    // The resolved texts, indexed by error number.
    static std::span<const std::string> errorStrings();

    // Text of error `number`; "Bad error" outside the table (program output screen).
    static const std::string& formatError(int number);
    // Text of error `number`; "Unknown error" outside the table (alerts).
    static const std::string& errString(int number);
};

} // namespace orvenda
