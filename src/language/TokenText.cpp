#include "language/TokenText.h"

#include "core/NumberFormatter.h"
#include "language/Utf8.h"
#include "language/Vocabulary.h"

namespace orvenda {

namespace {

// Decodes the code point at s[i] and advances i past it. A malformed or truncated
// sequence yields U+FFFD and skips one byte, so decoding always makes progress.
char32_t nextCodePoint(std::string_view s, std::size_t& i)
{
    constexpr char32_t kBad = 0xFFFD;
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    std::size_t length;
    char32_t c;
    char32_t minimum;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, minimum = 0x10000;
    } else {
        ++i;
        return kBad;
    }
    if (i + length > s.size()) {
        ++i;
        return kBad;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return kBad;
        }
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return kBad;
    }
    i += length;
    return c;
}

} // namespace

std::string TokenText::stringFromOps(std::span<const uint32_t> ops)
{
    const Vocabulary& vocabulary = Vocabulary::shared();
    std::string text;
    text.reserve(ops.size() * 2);
    for (uint32_t op : ops)
        text += vocabulary.nameForOpcode(op);
    return text;
}

std::string TokenText::stringFromOps(std::span<const uint32_t> ops, int32_t& cursorPosition)
{
    const Vocabulary& vocabulary = Vocabulary::shared();
    const int32_t cursorToken = cursorPosition;
    std::string text;
    text.reserve(ops.size() * 2);
    std::size_t length = 0;
    bool found = false;
    cursorPosition = 0;
    for (std::size_t i = 0; i < ops.size(); ++i) {
        if (static_cast<int64_t>(i) == cursorToken) {
            cursorPosition = static_cast<int32_t>(length);
            found = true;
        }
        const std::string name = vocabulary.nameForOpcode(ops[i]);
        length += Utf8::codePointCount(name);
        text += name;
    }
    if (!found && cursorToken >= 0)
        cursorPosition = static_cast<int32_t>(length);
    return text;
}

std::string TokenText::speakFromOps(std::span<const uint32_t> ops)
{
    const Vocabulary& vocabulary = Vocabulary::shared();
    std::string text;
    for (uint32_t op : ops) {
        text += vocabulary.speakNameForOpcode(op);
        text += ' ';
    }
    return text;
}

std::vector<uint32_t> TokenText::stringToOps(std::string_view text)
{
    std::vector<uint32_t> ops;
    ops.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (const uint32_t op = NumberFormatter::opCodeForChar(nextCodePoint(text, i)))
            ops.push_back(op);
    }
    return ops;
}

} // namespace orvenda
