#include "programs/ProgramLayout.h"

#include "eval/ProgramTokens.h"

#include <algorithm>

namespace orvenda {

namespace {

using namespace ProgramTokens;

// One level less, keeping the continuation bit.
std::uint32_t outdented(std::uint32_t flags)
{
    const std::uint32_t level = flags & ProgramLayout::kIndentMask;
    return (flags & ProgramLayout::kContinuation) | (level > 0 ? level - 1 : 0);
}

} // namespace

ProgramLayout::ProgramLayout() : lineStarts_{0}, lineFlags_{0} {}

void ProgramLayout::update(std::span<const std::uint32_t> ops, int width, const NameLength& nameLength)
{
    lineStarts_.assign(1, 0);
    lineFlags_.assign(1, 0);
    int indent = 0;
    bool quoting = false;
    // An If (or IS>(, DS<() indents the one statement after it.
    bool oneStatement = false;
    // The characters of the current screen line so far: its margin and ":" or " ", then names.
    int measured = 1;
    const int count = static_cast<int>(ops.size());
    for (int k = 0; k < count; ++k) {
        const std::uint32_t t = token(ops[static_cast<std::size_t>(k)]);
        if (t == kNewLine) {
            quoting = false;
            int next = k + 1;
            if (next < count && token(ops[static_cast<std::size_t>(next)]) == kBreakpoint)
                ++next;
            const int then = next < count && token(ops[static_cast<std::size_t>(next)]) == kThen ? 1 : 0;
            lineStarts_.push_back(k + 1);
            lineFlags_.push_back(static_cast<std::uint32_t>(std::max(indent - then, 0)));
            measured = indent + 1;
            if (oneStatement) {
                indent = std::max(indent - 1, 0);
                oneStatement = false;
            }
            continue;
        }
        if (t == kQuote)
            quoting = !quoting;
        if (!quoting || t == kStore) {
            quoting = false;
            switch (t) {
            case kColon:
                if (oneStatement) {
                    indent = std::max(indent - 1, 0);
                    oneStatement = false;
                }
                break;
            case kIf:
            case kIncrementSkip:
            case kDecrementSkip:
                ++indent;
                oneStatement = true;
                break;
            case kThen:
            case kWhile:
            case kRepeat:
            case kFor:
                ++indent;
                break;
            case kElse:
                lineFlags_.back() = outdented(lineFlags_.back());
                break;
            case kEnd:
                lineFlags_.back() = outdented(lineFlags_.back());
                indent = std::max(indent - 1, 0);
                break;
            default:
                break;
            }
        }
        const int length = nameLength(ops[static_cast<std::size_t>(k)]);
        // A token at the start of a screen line stays there, however long.
        if (measured + length > width && lineStarts_.back() < k) {
            lineStarts_.push_back(k);
            lineFlags_.push_back(static_cast<std::uint32_t>(indent) | kContinuation);
            measured = indent + 1 + length;
        } else {
            measured += length;
        }
    }
}

int ProgramLayout::indentForLine(int n) const
{
    return validLine(n) ? static_cast<int>(lineFlags_[static_cast<std::size_t>(n)] & kIndentMask) : 0;
}

int ProgramLayout::statementLine(int n) const
{
    n = std::clamp(n, 0, numLines() - 1);
    while (n > 0 && isContinuation(n))
        --n;
    return n;
}

int ProgramLayout::lineForIndex(int index) const
{
    const auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), index);
    return std::max(0, static_cast<int>(after - lineStarts_.begin()) - 1);
}

} // namespace orvenda
