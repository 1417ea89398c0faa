#include "language/TokenText.h"

#include "core/NumberFormatter.h"
#include "language/Utf8.h"
#include "language/Vocabulary.h"

namespace orvenda {

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
        if (const uint32_t op = NumberFormatter::opCodeForChar(Utf8::next(text, i)))
            ops.push_back(op);
    }
    return ops;
}

} // namespace orvenda
