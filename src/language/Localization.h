#pragma once

#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

namespace orvenda {

// The user-visible texts behind the vocabulary's keys (error keys, "OPCODE_xx" descriptions,
// symbolic "F_" names) and the screens' own titles ("HELP_MENU_" topics). Built once; a key
// without a text comes back as itself so a missing translation shows up as its key rather
// than as nothing (or as the fallback given).
class Localization {
public:
    static const Localization& shared();

    std::string text(std::string_view key) const;
    // The text of the key, or the fallback when the table has none.
    std::string text(std::string_view key, std::string_view fallback) const;

private:
    struct Entry {
        std::string_view key;
        std::string_view text;
    };

    Localization();

    // One table per family, each in its own data file.
    static std::span<const Entry> errorTexts();
    static std::span<const Entry> opcodeTexts();
    static std::span<const Entry> descriptionTexts();
    static std::span<const Entry> interfaceTexts();

    std::unordered_map<std::string_view, std::string_view> table_;
};

} // namespace orvenda
