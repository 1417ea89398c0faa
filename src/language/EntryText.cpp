#include "language/EntryText.h"

#include "language/UnitNames.h"
#include "language/Vocabulary.h"

#include <algorithm>
#include <functional>
#include <limits>

namespace orvenda {

namespace {

constexpr std::uint32_t kStore = 0x04;
constexpr std::uint32_t kSpace = 0x29;
constexpr std::uint32_t kQuote = 0x2A;
constexpr std::uint32_t kProgram = 0x5F;
constexpr std::uint32_t kSubtract = 0x71;
constexpr std::uint32_t kNegate = 0xB0;

// Whether a "-" right after this token subtracts.
bool endsValue(std::uint32_t op)
{
    const std::uint32_t t = op & 0xFFFF;
    if (t >= 0x30 && t <= 0x3A)  // digits and the decimal point
        return true;
    if (t >= 0x41 && t <= 0x5B)  // A..Z, θ
        return true;
    switch (t) {
    case 0x07: case 0x09: case 0x11:                      // closing brackets
    case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x0E: case 0x0F: case 0x2D:  // postfix
    case 0x2C: case 0x72: case 0xAC: case 0xAB: case 0xBB31: case 0xBBDA: case 0xBBAA:
    case kQuote:
        return true;
    default:
        break;
    }
    const std::uint32_t page = t >> 8;
    return page == 0x5C ? t <= 0x5C09
        : page == 0x5D || page == 0x5E || page == 0x60 || page == 0x61 || page == 0x62 || page == 0x63
            || page == 0xAA || (t >= 0xBBB0 && t <= 0xBBCA);
}

} // namespace

EntryText::EntryText()
{
    const Vocabulary& v = Vocabulary::shared();
    auto addRange = [&](std::uint32_t first, std::uint32_t last) {
        for (std::uint32_t op = first; op <= last; ++op) {
            const std::string name = v.nameForOpcode(op);
            if (name.empty() || name.starts_with("op("))
                continue;
            names_.try_emplace(name, op);
        }
    };
    // The order decides which token a name shared by two pages stands for.
    addRange(0x01, 0xFF);
    addRange(0xEF00, 0xEF9F);
    addRange(0xBB00, 0xBBFF);
    addRange(0x5C20, 0x5C68);
    addRange(0x5C00, 0x5C09);
    addRange(0x5D00, 0x5D05);
    addRange(0x6000, 0x6009);
    addRange(0x6100, 0x6109);
    addRange(0x6200, 0x6245);
    // "u(ηMin)" typed is the window variable; the sequence start tokens of the same
    // names only name equations.
    addRange(0x6300, 0x633C);
    addRange(0x5E00, 0x5EFF);
    addRange(0x7E00, 0x7E12);
    addRange(0xAA00, 0xAA09);
    // Unit conversions (" km▸mi"): each pair of units of each class is a token of its own.
    // The constants' short names ("c", "Na") are not: they would take letters typed alone.
    for (std::uint32_t unitClass = 0; unitClass < UnitNames::kClassCount; ++unitClass) {
        const std::size_t units = UnitNames::unitCount(unitClass);
        for (std::uint32_t from = 0; from < units; ++from)
            for (std::uint32_t to = 0; to < units; ++to) {
                const std::uint32_t op = UnitNames::opcodeForClass(unitClass, from, to);
                names_.try_emplace(UnitNames::nameForOp(op), op);
            }
    }
    // Names with blanks around them may be typed without.
    std::map<std::string, std::uint32_t, std::less<>> trimmed;
    for (const auto& [name, op] : names_) {
        const auto first = name.find_first_not_of(' ');
        const auto last = name.find_last_not_of(' ');
        if (first == std::string::npos)
            continue;
        std::string bare = name.substr(first, last - first + 1);
        if (bare != name)
            trimmed.try_emplace(std::move(bare), op);
    }
    for (auto& [name, op] : trimmed)
        names_.try_emplace(name, op);
    names_["->"] = kStore;
    names_["prgm"] = kProgram;
    for (const auto& [name, op] : names_)
        if (!name.empty())
            lengthsFrom_[static_cast<unsigned char>(name[0])].push_back(name.size());
    for (auto& lengths : lengthsFrom_) {
        std::sort(lengths.begin(), lengths.end(), std::greater<>());
        lengths.erase(std::unique(lengths.begin(), lengths.end()), lengths.end());
    }
}

std::optional<EntryText::Ops> EntryText::toOps(std::string_view text, std::string& bad) const
{
    bool tooLong = false;
    return toOps(text, bad, std::numeric_limits<std::size_t>::max(), tooLong);
}

std::optional<EntryText::Ops> EntryText::toOps(std::string_view text, std::string& bad, std::size_t maxOps,
                                               bool& tooLong) const
{
    tooLong = false;
    Ops ops;
    bool inString = false;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t len = 0;
        auto found = names_.end();
        for (const std::size_t length : lengthsFrom_[static_cast<unsigned char>(text[i])]) {
            if (length > text.size() - i)
                continue;
            if ((found = names_.find(text.substr(i, length))) != names_.end()) {
                len = length;
                break;
            }
        }
        if (found == names_.end()) {
            bad = std::string(text.substr(i));
            return std::nullopt;
        }
        i += len;
        std::uint32_t op = found->second;
        if (op == kSpace && !inString)
            continue;
        if (op == kNegate && !inString && !ops.empty() && endsValue(ops.back()))
            op = kSubtract;
        if (op == kQuote)
            inString = !inString;
        if (ops.size() == maxOps) {
            tooLong = true;
            return std::nullopt;
        }
        ops.push_back(op);
    }
    return ops;
}

} // namespace orvenda
