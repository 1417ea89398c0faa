#include "core/ArchiveCost.h"

namespace orvenda {

namespace {

// The bytes that say a length or hold a whole number in CBOR.
std::int64_t head(std::uint64_t n)
{
    return n < 24 ? 1 : n < 0x100 ? 2 : n < 0x10000 ? 3 : n < 0x100000000 ? 5 : 9;
}

std::int64_t text(std::string_view key) { return head(key.size()) + static_cast<std::int64_t>(key.size()); }

// An element: a map of "r" and "i" (each written in 9 bytes at most), "sf" and "sd" (ints,
// 5 at most).
constexpr std::int64_t kElementBytes = 1 + 2 + 9 + 2 + 9 + 3 + 5 + 3 + 5;
// Counted as the longest, so that elements add their own bytes only.
constexpr std::int64_t kLongestHead = 5;
// The most a token takes, and a string's count.
constexpr std::int64_t kTokenBytes = 5;

std::int64_t size(std::size_t n) { return static_cast<std::int64_t>(n); }

} // namespace

ArchiveCost& ArchiveCost::operator+=(const ArchiveCost& other)
{
    values += other.values;
    containers += other.containers;
    bytes += other.bytes;
    return *this;
}

ArchiveCost& ArchiveCost::operator-=(const ArchiveCost& other)
{
    values -= other.values;
    containers -= other.containers;
    bytes -= other.bytes;
    return *this;
}

bool ArchiveCost::within(const MemoryArchive::Bounds& bounds) const
{
    return values <= static_cast<std::int64_t>(bounds.values) && containers <= static_cast<std::int64_t>(bounds.containers)
        && bytes <= static_cast<std::int64_t>(bounds.bytes);
}

ArchiveCost ArchiveCost::ofTableList(std::size_t count)
{
    // {"type": 0 or 1, "v": [elements]}.
    return ArchiveCost{3, 2, 1 + text("type") + 1 + text("v") + kLongestHead} + ofListElements(count);
}

ArchiveCost ArchiveCost::ofList(std::string_view name, std::size_t count)
{
    // The name is a key (no value of its own); a byte more for the map of lists' count.
    ArchiveCost cost = ofTableList(count);
    cost.bytes += text(name) + 1;
    return cost;
}

ArchiveCost ArchiveCost::ofListElements(std::size_t count)
{
    return {5 * size(count), size(count), kElementBytes * size(count)};
}

ArchiveCost ArchiveCost::ofString(std::size_t tokens)
{
    return {1 + size(tokens), 1, kLongestHead + kTokenBytes * size(tokens)};
}

ArchiveCost ArchiveCost::ofMatrix(std::size_t rows, std::size_t cols)
{
    // {"row": rows, "col": cols, "m": the values' bytes, "mSig": the pairs' bytes}, the last
    // two only for a matrix with cells.
    ArchiveCost cost{3, 1, 1 + text("row") + head(rows) + text("col") + head(cols)};
    const std::uint64_t cells = rows * cols;
    if (cells == 0)
        return cost;
    cost.values += 2;
    cost.bytes += text("m") + head(8 * cells) + size(8 * cells) + text("mSig") + head(2 * cells) + size(2 * cells);
    return cost;
}

} // namespace orvenda
