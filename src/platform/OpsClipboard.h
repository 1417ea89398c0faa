#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

// The clipboard for calculator lines. A line this app puts there carries its tokens beside
// its text, so that pasting it gives back the very tokens copied: its text alone cannot tell
// every token apart (a negation after a value reads as a subtraction). Text from elsewhere
// is read as typed. Main thread.
class OpsClipboard {
public:
    using Ops = std::vector<std::uint32_t>;

    // The MIME type the tokens travel under.
    static const char* const kOpsType;

    // Puts the line's text (what other apps read) and its tokens on the clipboard.
    static void put(const std::string& text, const Ops& ops);
    // The line on the clipboard as tokens: this app's own when it put them there, else the
    // text (trimmed) read back; nothing when it holds no calculator line, or (`tooLong` then
    // set) more tokens than a line takes (EntryManager::kMaxOps): those are read no further
    // than that, so a clipboard of any size costs no more than the longest line.
    static std::optional<Ops> line(bool* tooLong = nullptr);

    static QByteArray encode(const Ops& ops);
    // Nothing unless the bytes are tokens as encode writes them, no more than a line takes
    // (`tooLong` set when there are more).
    static std::optional<Ops> decode(const QByteArray& bytes, bool* tooLong = nullptr);
};

} // namespace orvenda
