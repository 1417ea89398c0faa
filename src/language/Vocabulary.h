#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvenda {

// The token vocabulary: display name, spoken name and description of every token of every
// page, and the lookups between ops and names. Built once (descriptions are resolved through
// the localisation tables at that moment) and never changed afterwards, so any thread may
// read it.
//
// An op is a 32-bit word whose low 16 bits are the token. The high half is ignored except
// by the two parameterised tokens: 0xBB5E (a physical constant, index in bits 16-31) and
// 0xBB5D (a unit conversion: class in bits 26-30, from-unit in bits 21-25, to-unit in
// bits 16-20).
class Vocabulary {
public:
    static constexpr std::uint32_t kNoOpcode = 0xFFFFFFFFu;

    static const Vocabulary& shared();

    // Display name; never empty-handed: unknown tokens read "op(XXXX)".
    std::string nameForOpcode(std::uint32_t op) const;
    // Spoken name; the fallback is the same "op(XXXX)" (pictures and graph databases have
    // no spoken name at all).
    std::string speakNameForOpcode(std::uint32_t op) const;
    // Help line shown beside a token in menus and the catalogue.
    std::string descriptionForOpcode(std::uint32_t op) const;
    // Full name of a BB-page op (spells out conversions with full unit names); nothing for
    // any other page.
    std::optional<std::string> expandedNameForOpcode(std::uint32_t op) const;
    // Token whose display name equals name exactly (case-sensitive); kNoOpcode when none.
    // Searched pages, in order: one-byte, key operations, internal, EF, BB, own page.
    std::uint32_t opcodeForName(std::string_view name) const;

    // Symbolic name ("F_STO", "F_SIN") → token, for the one-byte page, page BB and
    // 0xEF00-0xEF40: 577 names, compared exactly.
    const std::unordered_map<std::string_view, std::uint32_t>& opcodeDB() const { return opcodeDB_; }
    // The tokens of a comma-separated list of symbolic names, in order. Pieces are looked up
    // as they are (no trimming, case-sensitive); those that name no token are skipped.
    std::vector<std::uint32_t> opsFromString(std::string_view text) const;

    // Regression caption for model 0-10; nothing above.
    std::optional<std::string> nameForRegression(int index) const;
    // Graph-compute name for 0-9; nothing for any other index.
    std::optional<std::string> nameForGCompute(int index) const;
    // Name of a variable slot: the display name of its token, an app-internal name for
    // slots 159-217, nothing above 217.
    std::optional<std::string> nameForVariable(std::int32_t slot) const;

    // Trimmed display names (two characters or more) of the one-byte tokens 0x00-0xFE.
    std::unordered_map<std::string, std::uint32_t> reservedWords() const;
    // A character (code point) in the calculator's one-byte character set.
    std::uint8_t translatedChar(char32_t c) const;
    // The string with every character replaced by one byte of the calculator's character
    // set (so the result has one byte per code point of s); '[', 'ʟ' and 'ᵀ' keep their
    // low 8 bits here.
    std::string recodeTo83Charsset(std::string_view s) const;
    int numArgsForOpcode(std::uint32_t op) const;

    // Diagnostic listings: "XXXX•order•name•description\n" per token.
    static std::string numToHexString(std::uint32_t op);
    std::string opStr(std::uint32_t op) const;
    std::string opcodeDescriptions() const;
    std::string opcodeFile() const;

    Vocabulary(const Vocabulary&) = delete;
    Vocabulary& operator=(const Vocabulary&) = delete;

private:
    Vocabulary();

    struct OwnPageEntry {
        std::string_view name;
        std::string_view spoken;
        std::string_view description;
    };
    struct CodeText {
        std::uint16_t code;
        std::string_view text;
    };

    // The literal tables, in their data files.
    static std::span<const std::string_view> singleByteNames();    // 0x00-0xFF
    static std::span<const std::string_view> systemOpNames();      // 0x0400-0x0438
    static std::span<const std::string_view> systemOpSpeakNames(); // 0x0400-0x0438
    static std::span<const std::string_view> synthNames();         // 0x1000-0x1026
    static std::span<const std::string_view> matrixNames();        // 0x5C00-0x5C09
    static std::span<const OwnPageEntry> lbxExtensions();          // 0x5C20-0x5C68
    static std::span<const std::string_view> listNames();          // 0x5D00-0x5D05
    static std::span<const std::string_view> listSpeakNames();     // 0x5D00-0x5D05
    static std::span<const std::string_view> equationNames();      // five families, 44
    static std::span<const std::string_view> picNames();           // 0x6000-0x6009
    static std::span<const std::string_view> gdbNames();           // 0x6100-0x6109
    static std::span<const std::string_view> statVarNames();       // 0x6200-0x6245
    static std::span<const std::string_view> winVarNames();        // 0x6300-0x633C
    static std::span<const std::string_view> graphOpNames();       // 0x7E00-0x7E12
    static std::span<const std::string_view> stringNames();        // 0xAA00-0xAA09
    static std::span<const std::string_view> BBOpNames();          // 0xBB00-0xBBFF
    static std::span<const std::string_view> EFOpNames();          // 0xEF00-0xEF9F
    static std::span<const std::string_view> regressionNames();    // 0-10
    static std::span<const std::string_view> gComputeNames();      // 0-9

    // Symbolic names, in code order: 0x00-0xFF, 0xBB00-0xBBFF, 0xEF00-0xEF40.
    static std::span<const std::string_view> singleByteSymbolicNames();
    static std::span<const std::string_view> BBOpSymbolicNames();
    static std::span<const std::string_view> EFOpSymbolicNames();

    // Spoken names of the one-byte, BB and EF pages where they differ from the display
    // name (an entry may be empty: spoken as nothing).
    static std::span<const CodeText> singleByteSpeakOverrides();
    static std::span<const CodeText> BBOpSpeakOverrides();
    static std::span<const CodeText> EFOpSpeakOverrides();

    // Description keys (resolved through the localisation tables) and plain descriptions of
    // the BB and EF pages beyond those keyed by their symbolic names; codes with neither
    // describe as their display name.
    static std::span<const CodeText> EFOpDescriptionKeys();
    static std::span<const CodeText> EFOpPlainDescriptions();

    static std::string fallbackName(std::uint32_t op);

    std::array<std::string_view, 256> singleByteSpeakNames_;
    std::array<std::string_view, 256> BBOpSpeakNames_;
    std::array<std::string_view, 160> EFOpSpeakNames_;
    std::array<std::string, 256> singleByteDescriptions_;
    std::array<std::string, 256> BBOpDescriptions_;
    std::array<std::string, 160> EFOpDescriptions_;
    std::unordered_map<std::string_view, std::uint32_t> opcodeByName_;
    std::unordered_map<std::string_view, std::uint32_t> opcodeDB_;
};

} // namespace orvenda
