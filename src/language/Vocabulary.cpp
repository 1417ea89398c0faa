#include "language/Vocabulary.h"

#include "language/Localization.h"
#include "language/Precedence.h"
#include "language/UnitNames.h"
#include "language/VariableSlots.h"

#include <charconv>

namespace orvenda {

namespace {

constexpr std::uint32_t kUnitConversion = UnitNames::kConversionToken;
constexpr std::uint32_t kConstant = UnitNames::kConstantToken;

enum class Page {
    None,
    OneByte,
    KeyOps,
    Internal,
    BB,
    Strings,
    Matrices,
    Own,
    Lists,
    Equations,
    Pictures,
    GraphDatabases,
    StatVars,
    WinVars,
    GraphFormats,
    EF,
};

struct Location {
    Page page;
    std::size_t index; // into the page's table
};

// Which table names an op, tested in the one order every lookup shares.
Location locate(std::uint32_t op)
{
    const std::uint32_t t = op & 0xFFFF;
    auto in = [t](std::uint32_t first, std::uint32_t last) { return t >= first && t <= last; };
    if (t <= 0xFF)
        return {Page::OneByte, t};
    if (in(0x0400, 0x0438))
        return {Page::KeyOps, t - 0x0400};
    if ((op & 0xF000) == 0x1000 && t <= 0x1026)
        return {Page::Internal, t - 0x1000};
    if ((op & 0xFF00) == 0xBB00)
        return {Page::BB, t - 0xBB00};
    if (in(0xAA00, 0xAA09))
        return {Page::Strings, t - 0xAA00};
    if (in(0x5C00, 0x5C09))
        return {Page::Matrices, t - 0x5C00};
    if (in(0x5C20, 0x5C68))
        return {Page::Own, t - 0x5C20};
    if (in(0x5D00, 0x5D05))
        return {Page::Lists, t - 0x5D00};
    // The five equation families share one table.
    if (in(0x5E10, 0x5E19))
        return {Page::Equations, t - 0x5E10};
    if (in(0x5E20, 0x5E2B))
        return {Page::Equations, t - 0x5E16};
    if (in(0x5E40, 0x5E45))
        return {Page::Equations, t - 0x5E2A};
    if (in(0x5E80, 0x5E85))
        return {Page::Equations, t - 0x5E64};
    if (in(0x5EA0, 0x5EA9))
        return {Page::Equations, t - 0x5E7E};
    if (in(0x6000, 0x6009))
        return {Page::Pictures, t - 0x6000};
    if (in(0x6100, 0x6109))
        return {Page::GraphDatabases, t - 0x6100};
    if (in(0x6200, 0x6245))
        return {Page::StatVars, t - 0x6200};
    if (in(0x6300, 0x633C))
        return {Page::WinVars, t - 0x6300};
    if (in(0x7E00, 0x7E12))
        return {Page::GraphFormats, t - 0x7E00};
    if (in(0xEF00, 0xEF9F))
        return {Page::EF, t - 0xEF00};
    return {Page::None, 0};
}

// BB and EF codes whose description key is their symbolic name.
constexpr std::pair<std::uint32_t, std::uint32_t> kBBKeyedBySymbol[] = {
    {0xBB00, 0xBB4C}, {0xBB50, 0xBB5C}, {0xBBEF, 0xBBEF}, {0xBBF6, 0xBBFF}};
constexpr std::pair<std::uint32_t, std::uint32_t> kEFKeyedBySymbol[] = {
    {0xEF00, 0xEF10}, {0xEF13, 0xEF15}, {0xEF32, 0xEF35}};

// Upper-case hexadecimal of value, at least minDigits digits.
std::string hex(std::uint32_t value, int minDigits)
{
    char buf[8];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, 16);
    (void)ec;
    std::string out;
    const int digits = static_cast<int>(end - buf);
    if (digits < minDigits)
        out.assign(static_cast<std::size_t>(minDigits - digits), '0');
    for (const char* p = buf; p != end; ++p)
        out += (*p >= 'a' && *p <= 'f') ? static_cast<char>(*p - 'a' + 'A') : *p;
    return out;
}

// Next code point of s at pos (advancing pos). A malformed byte stands for itself.
char32_t nextCodePoint(std::string_view s, std::size_t& pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(pos);
    std::size_t extra = 0;
    char32_t c = lead;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        c = lead & 0x07;
    }
    if (extra == 0 || pos + extra >= s.size()) {
        ++pos;
        return lead;
    }
    for (std::size_t i = 1; i <= extra; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            ++pos;
            return lead;
        }
        c = (c << 6) | (byte(pos + i) & 0x3F);
    }
    pos += extra + 1;
    return c;
}

std::size_t codePointCount(std::string_view s)
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < s.size(); ++count)
        nextCodePoint(s, pos);
    return count;
}

} // namespace

const Vocabulary& Vocabulary::shared()
{
    static const Vocabulary instance;
    return instance;
}

Vocabulary::Vocabulary()
{
    const auto oneByte = singleByteNames();
    const auto bb = BBOpNames();
    const auto ef = EFOpNames();

    // Spoken names start as the display names; the listed differences replace them.
    for (std::size_t i = 0; i < oneByte.size(); ++i)
        singleByteSpeakNames_[i] = oneByte[i];
    for (std::size_t i = 0; i < bb.size(); ++i)
        BBOpSpeakNames_[i] = bb[i];
    for (std::size_t i = 0; i < ef.size(); ++i)
        EFOpSpeakNames_[i] = ef[i];
    for (const CodeText& e : singleByteSpeakOverrides())
        singleByteSpeakNames_[e.code] = e.text;
    for (const CodeText& e : BBOpSpeakOverrides())
        BBOpSpeakNames_[e.code - 0xBB00] = e.text;
    for (const CodeText& e : EFOpSpeakOverrides())
        EFOpSpeakNames_[e.code - 0xEF00] = e.text;

    // Descriptions are resolved once, here; an untranslated key stands for itself.
    const Localization& texts = Localization::shared();
    for (std::size_t i = 0; i < singleByteDescriptions_.size(); ++i)
        singleByteDescriptions_[i] = texts.text("OPCODE_" + hex(static_cast<std::uint32_t>(i), 2));
    for (std::size_t i = 0; i < bb.size(); ++i)
        BBOpDescriptions_[i] = std::string(bb[i]);
    for (auto [first, last] : kBBKeyedBySymbol)
        for (std::uint32_t t = first; t <= last; ++t)
            BBOpDescriptions_[t - 0xBB00] = texts.text(std::string(BBOpSymbolicNames()[t - 0xBB00]));
    for (std::size_t i = 0; i < ef.size(); ++i)
        EFOpDescriptions_[i] = std::string(ef[i]);
    for (auto [first, last] : kEFKeyedBySymbol)
        for (std::uint32_t t = first; t <= last; ++t)
            EFOpDescriptions_[t - 0xEF00] = texts.text(std::string(EFOpSymbolicNames()[t - 0xEF00]));
    for (const CodeText& e : EFOpDescriptionKeys())
        EFOpDescriptions_[e.code - 0xEF00] = texts.text(e.text);
    for (const CodeText& e : EFOpPlainDescriptions())
        EFOpDescriptions_[e.code - 0xEF00] = std::string(e.text);

    // Reverse lookup: the first page holding a name wins, so insert in search order.
    auto index = [this](std::span<const std::string_view> names, std::uint32_t base) {
        for (std::size_t i = 0; i < names.size(); ++i)
            opcodeByName_.emplace(names[i], base + static_cast<std::uint32_t>(i));
    };
    index(oneByte, 0x00);
    index(systemOpNames(), 0x0400);
    index(synthNames(), 0x1000);
    index(ef, 0xEF00);
    index(bb, 0xBB00);
    const auto own = lbxExtensions();
    for (std::size_t i = 0; i < own.size(); ++i)
        opcodeByName_.emplace(own[i].name, 0x5C20 + static_cast<std::uint32_t>(i));

    auto symbols = [this](std::span<const std::string_view> names, std::uint32_t base) {
        for (std::size_t i = 0; i < names.size(); ++i)
            opcodeDB_.emplace(names[i], base + static_cast<std::uint32_t>(i));
    };
    opcodeDB_.reserve(577);
    symbols(singleByteSymbolicNames(), 0x00);
    symbols(BBOpSymbolicNames(), 0xBB00);
    symbols(EFOpSymbolicNames(), 0xEF00);
}

std::string Vocabulary::fallbackName(std::uint32_t op)
{
    return "op(" + hex(op & 0xFFFF, 1) + ")";
}

std::string Vocabulary::nameForOpcode(std::uint32_t op) const
{
    const Location at = locate(op);
    switch (at.page) {
    case Page::OneByte: return std::string(singleByteNames()[at.index]);
    case Page::KeyOps: return std::string(systemOpNames()[at.index]);
    case Page::Internal: return std::string(synthNames()[at.index]);
    case Page::BB: {
        const std::uint32_t t = op & 0xFFFF;
        if (t == kUnitConversion || t == kConstant)
            return UnitNames::nameForOp(op);
        return std::string(BBOpNames()[at.index]);
    }
    case Page::Strings: return std::string(stringNames()[at.index]);
    case Page::Matrices: return std::string(matrixNames()[at.index]);
    case Page::Own: return std::string(lbxExtensions()[at.index].name);
    case Page::Lists: return std::string(listNames()[at.index]);
    case Page::Equations: return std::string(equationNames()[at.index]);
    case Page::Pictures: return std::string(picNames()[at.index]);
    case Page::GraphDatabases: return std::string(gdbNames()[at.index]);
    case Page::StatVars: return std::string(statVarNames()[at.index]);
    case Page::WinVars: return std::string(winVarNames()[at.index]);
    case Page::GraphFormats: return std::string(graphOpNames()[at.index]);
    case Page::EF: return std::string(EFOpNames()[at.index]);
    case Page::None: break;
    }
    return fallbackName(op);
}

std::string Vocabulary::speakNameForOpcode(std::uint32_t op) const
{
    const Location at = locate(op);
    switch (at.page) {
    case Page::OneByte: return std::string(singleByteSpeakNames_[at.index]);
    case Page::KeyOps: return std::string(systemOpSpeakNames()[at.index]);
    case Page::BB: {
        const std::uint32_t t = op & 0xFFFF;
        if (t == kUnitConversion || t == kConstant)
            return UnitNames::speakNameForOp(op);
        return std::string(BBOpSpeakNames_[at.index]);
    }
    case Page::Own: return std::string(lbxExtensions()[at.index].spoken);
    case Page::Lists: return std::string(listSpeakNames()[at.index]);
    case Page::EF: return std::string(EFOpSpeakNames_[at.index]);
    // Pictures and graph databases have no spoken name.
    case Page::Pictures:
    case Page::GraphDatabases:
    case Page::None: return fallbackName(op);
    default: return nameForOpcode(op);
    }
}

std::string Vocabulary::descriptionForOpcode(std::uint32_t op) const
{
    const Location at = locate(op);
    const std::uint32_t t = op & 0xFFFF;
    switch (at.page) {
    case Page::OneByte: return singleByteDescriptions_[at.index];
    case Page::BB:
        // A conversion or constant describes as its bare token: the parameter is dropped.
        if (t == kUnitConversion || t == kConstant)
            return nameForOpcode(t);
        return BBOpDescriptions_[at.index];
    case Page::EF: return EFOpDescriptions_[at.index];
    case Page::Own: return std::string(lbxExtensions()[at.index].description);
    default: return nameForOpcode(t);
    }
}

std::optional<std::string> Vocabulary::expandedNameForOpcode(std::uint32_t op) const
{
    if ((op & 0xFF00) != 0xBB00)
        return std::nullopt;
    const std::uint32_t t = op & 0xFFFF;
    if (t == kUnitConversion || t == kConstant)
        return UnitNames::expandedNameForOp(op);
    return nameForOpcode(op);
}

std::uint32_t Vocabulary::opcodeForName(std::string_view name) const
{
    auto it = opcodeByName_.find(name);
    return it == opcodeByName_.end() ? kNoOpcode : it->second;
}

std::vector<std::uint32_t> Vocabulary::opsFromString(std::string_view text) const
{
    std::vector<std::uint32_t> ops;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        const std::string_view piece = text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        if (auto it = opcodeDB_.find(piece); it != opcodeDB_.end())
            ops.push_back(it->second);
        if (comma == std::string_view::npos)
            return ops;
        start = comma + 1;
    }
}

std::optional<std::string> Vocabulary::nameForRegression(int index) const
{
    const auto names = regressionNames();
    if (index < 0 || static_cast<std::size_t>(index) >= names.size())
        return std::nullopt;
    return std::string(names[static_cast<std::size_t>(index)]);
}

std::optional<std::string> Vocabulary::nameForGCompute(int index) const
{
    const auto names = gComputeNames();
    if (index < 0 || static_cast<std::size_t>(index) >= names.size())
        return std::nullopt;
    return std::string(names[static_cast<std::size_t>(index)]);
}

std::optional<std::string> Vocabulary::nameForVariable(std::int32_t slot) const
{
    return VariableSlots::nameForVariable(slot, [this](std::uint32_t op) { return nameForOpcode(op); });
}

std::unordered_map<std::string, std::uint32_t> Vocabulary::reservedWords() const
{
    std::unordered_map<std::string, std::uint32_t> words;
    words.reserve(100);
    const auto names = singleByteNames();
    for (std::uint32_t t = 0; t < 0xFF; ++t) {
        std::string_view name = names[t];
        const auto first = name.find_first_not_of(' ');
        if (first == std::string_view::npos)
            continue;
        name = name.substr(first, name.find_last_not_of(' ') - first + 1);
        if (codePointCount(name) >= 2)
            words.insert_or_assign(std::string(name), t);
    }
    return words;
}

std::uint8_t Vocabulary::translatedChar(char32_t c) const
{
    switch (c) {
    case U'[': return 0xC1;
    case U'\u00B0': return 0x14; // °
    case U'\u00B2': return 0xD3; // ²
    case U'\u00B3': return 0x0E; // ³
    case U'\u00B9': return 0x11; // ¹
    case U'\u029F': return 0xDC; // ʟ
    case U'\u02B3': return 0x15; // ʳ
    case U'\u0394': return 0xBE; // Δ
    case U'\u03B8': return 0x5B; // θ
    case U'\u03C0': return 0xC4; // π
    case U'\u1D31': return 0x1B; // ᴱ
    case U'\u1D40': return 0x16; // ᵀ
    case U'\u1D49': return 0xDB; // ᵉ
    case U'\u2013': return 0x1A; // –
    case U'\u2192': return 0x1C; // →
    case U'\u221A': return 0x10; // √
    case U'\u2260': return 0x18; // ≠
    case U'\u2264': return 0x17; // ≤
    case U'\u2265': return 0x19; // ≥
    case U'\u2469': return 0x1D; // ⑩
    case U'\u27A4': return 0x05; // ➤
    default: return static_cast<std::uint8_t>(c & 0xFF);
    }
}

std::string Vocabulary::recodeTo83Charsset(std::string_view s) const
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t pos = 0; pos < s.size();) {
        const char32_t c = nextCodePoint(s, pos);
        const bool keepLowByte = c == U'[' || c == U'\u029F' || c == U'\u1D40';
        out += static_cast<char>(keepLowByte ? static_cast<std::uint8_t>(c & 0xFF)
                                             : translatedChar(c));
    }
    return out;
}

int Vocabulary::numArgsForOpcode(std::uint32_t /*op*/) const
{
    return 0;
}

std::string Vocabulary::numToHexString(std::uint32_t op)
{
    return hex(op & 0xFFFF, 4);
}

std::string Vocabulary::opStr(std::uint32_t op) const
{
    const std::int32_t order = Precedence::opOrder(static_cast<std::int32_t>(op & 0xFFFF));
    return numToHexString(op) + "•" + std::to_string(order) + "•" + nameForOpcode(op) + "•"
        + descriptionForOpcode(op) + "\n";
}

std::string Vocabulary::opcodeDescriptions() const
{
    std::string out;
    auto list = [&](std::uint32_t first, std::uint32_t last) {
        for (std::uint32_t t = first; t <= last; ++t)
            out += std::to_string(t) + "–" + descriptionForOpcode(t) + "\n";
    };
    list(0x00, 0xFF);
    list(0x5C20, 0x5C68);
    list(0xBB00, 0xBBFF);
    list(0xEF00, 0xEF9F);
    return out;
}

std::string Vocabulary::opcodeFile() const
{
    struct Section {
        std::uint32_t first;
        std::uint32_t last;
        std::string_view label;
    };
    static constexpr Section sections[] = {
        {0x0000, 0x00FF, "single byte opcodes"},
        {0x0400, 0x0438, "key opcodes"},
        {0x5C00, 0x5C09, "matrix opcodes"},
        {0x5C20, 0x5C68, "extension opcodes"},
        {0x5D00, 0x5D05, "list opcodes"},
        {0x5E10, 0x5E19, "function equation opcodes"},
        {0x5E20, 0x5E2B, "parametric equation opcodes"},
        {0x5E40, 0x5E45, "polar equation opcodes"},
        {0x5E80, 0x5E85, "sequence equation opcodes"},
        {0x5EA0, 0x5EA9, "implicit equation opcodes"},
        {0x6000, 0x6009, "picture opcodes"},
        {0x6100, 0x6109, "graph database opcodes"},
        {0x6200, 0x6245, "statistics variable opcodes"},
        {0x6300, 0x633C, "window variable opcodes"},
        {0x7E00, 0x7E12, "graph format opcodes"},
        {0xAA00, 0xAA09, "string opcodes"},
        {0xBB00, 0xBBFF, "BB opcodes"},
        {0xEF00, 0xEF9F, "EF opcodes"},
    };
    std::string out;
    for (const Section& s : sections) {
        out += "//:" + hex(s.first, 4) + " " + std::string(s.label) + "\n";
        for (std::uint32_t t = s.first; t <= s.last; ++t)
            out += opStr(t);
    }
    return out;
}

} // namespace orvenda
