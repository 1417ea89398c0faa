#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace orvenda {

// A program's opcodes laid out as numbered screen lines: where each line starts, its
// indentation and whether it continues a statement line wrapped at the width. Statement
// lines end at a line break; a line break followed by Then (past a breakpoint mark) is
// aligned with its If; If, IS>( and DS<( indent one statement, Then, While, Repeat and
// For( indent until their End; Else and End lines are outdented; nothing inside a string
// counts (a store arrow ends a string). A token is never split: a longer one gets a line
// of its own.
class ProgramLayout {
public:
    static constexpr std::uint32_t kContinuation = 0x8000;
    static constexpr std::uint32_t kIndentMask = 0x7FFF;
    // A token's display length in characters.
    using NameLength = std::function<int(std::uint32_t op)>;

    ProgramLayout();

    void update(std::span<const std::uint32_t> ops, int width, const NameLength& nameLength);

    int numLines() const { return static_cast<int>(lineStarts_.size()); }
    bool validLine(int n) const { return n >= 0 && n < numLines(); }
    // The line's first opcode.
    int firstOpOnLine(int n) const { return lineStarts_[static_cast<std::size_t>(n)]; }
    // The opcode after the line's last (the program's length for the last line).
    int lineEnd(int n, int length) const { return n + 1 < numLines() ? firstOpOnLine(n + 1) : length; }
    // 0 outside the lines.
    int indentForLine(int n) const;
    bool isContinuation(int n) const { return validLine(n) && (lineFlags_[static_cast<std::size_t>(n)] & kContinuation) != 0; }
    // The first screen line of the statement line that shows on line n.
    int statementLine(int n) const;
    // The last line whose start is at or before the index.
    int lineForIndex(int index) const;

    const std::vector<int>& lineStarts() const { return lineStarts_; }
    const std::vector<std::uint32_t>& lineFlags() const { return lineFlags_; }

private:
    std::vector<int> lineStarts_;
    std::vector<std::uint32_t> lineFlags_;
};

} // namespace orvenda
