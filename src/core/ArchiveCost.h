#pragma once

#include "core/MemoryArchive.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orvenda {

// What a part of the state takes of a save, counted as the archive's bounds count it: its
// values (the lists and maps among them), those lists and maps, and its bytes. The values
// and the lists and maps are exact; the bytes are never fewer than the part is written in
// (a number may be written shorter than it is counted here).
struct ArchiveCost {
    std::int64_t values = 0;
    std::int64_t containers = 0;
    std::int64_t bytes = 0;

    ArchiveCost& operator+=(const ArchiveCost& other);
    ArchiveCost& operator-=(const ArchiveCost& other);
    friend ArchiveCost operator+(ArchiveCost a, const ArchiveCost& b) { return a += b; }
    friend ArchiveCost operator-(ArchiveCost a, const ArchiveCost& b) { return a -= b; }
    bool operator==(const ArchiveCost&) const = default;

    // Within what a save holds.
    bool within(const MemoryArchive::Bounds& bounds) const;

    // A list (a map of its type and its elements, each a map of four numbers), kept in the
    // map of lists under its name.
    static ArchiveCost ofList(std::string_view name, std::size_t count);
    // The table's list, kept under a key of its own.
    static ArchiveCost ofTableList(std::size_t count);
    // What elements add to a list.
    static ArchiveCost ofListElements(std::size_t count);
    // A string: its tokens, one number each.
    static ArchiveCost ofString(std::size_t tokens);
    // A matrix: its shape and its cells' values and pairs, as bytes.
    static ArchiveCost ofMatrix(std::size_t rows, std::size_t cols);
};

} // namespace orvenda
