#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;

// The whole calculator state as one keyed archive (CBOR), kept between launches: the
// modes, the variable store, lists, matrices, strings, Ans, the graph format, the user key
// sets and calculations, and the archives of the entry line, history, Y= equations and stat
// plots. Programs live in their own files.
//
// Reading never fails: a key that is missing, of the wrong type or out of range keeps the
// value the calculator had (or, for the keys always read, takes 0), so a damaged archive
// still gives a usable state.
class MemoryArchive {
public:
    static constexpr int kVersion = 39;
    // Bounds on what reading builds, far above the fullest state the calculator can save (a
    // history of 100 matrices of 99 x 99 beside ten such matrices: some 12 MB and 2.5 million
    // values, of which a few thousand lists and maps): the bytes of an archive, the values it
    // holds, the lists and maps among them (each costs what some ten numbers cost), and how
    // deep they nest.
    static constexpr std::size_t kMaxBytes = std::size_t(64) << 20;
    static constexpr std::size_t kMaxValues = 8'000'000;
    static constexpr std::size_t kMaxContainers = 1'000'000;
    static constexpr int kMaxDepth = 128;

    // The one set of bounds that writing keeps to and reading holds archives to (every
    // value counts, lists and maps among them; keys do not). Tests narrow them.
    struct Bounds {
        std::size_t bytes = kMaxBytes;
        std::size_t values = kMaxValues;
        std::size_t containers = kMaxContainers;
        int depth = kMaxDepth;
    };

    // What a save left out to stay within the bounds (the entry line's undo, never read
    // back, is not counted).
    struct LeftOut {
        // The oldest earlier entries ENTRY recalls, and the oldest history items.
        int entries = 0;
        int historyItems = 0;
        // Ans, a list, matrix or string (0 was saved instead).
        bool ans = false;
        // The lists, strings and matrices saved empty, by name ("L₁", "ʟABC", "Str1",
        // "[A]"), the largest first.
        std::vector<std::string> values;
        // Nothing could be saved.
        bool everything = false;

        bool any() const { return entries > 0 || historyItems > 0 || ans || !values.empty() || everything; }
    };

    // Saving and restoring take the state lock. What is saved is always read back: when the
    // state goes past the bounds (the calculator's own unless given), the entry line's undo
    // (never read back) goes first, then the oldest earlier entries ENTRY recalls, then the
    // oldest history items, then Ans when it is a list, matrix or string, then the stored
    // lists, strings and matrices, the largest first, until it fits; when even then it does
    // not, nothing (no bytes) is saved. What went is told in leftOut. Both tell the
    // calculator what the state takes of the bounds besides its stored values.
    static std::vector<std::uint8_t> save(const Calculator& calc, LeftOut* leftOut = nullptr);
    static std::vector<std::uint8_t> save(const Calculator& calc, const Bounds& bounds, LeftOut* leftOut = nullptr);
    // False, leaving the state untouched, when the bytes hold no archive.
    static bool restore(Calculator& calc, std::span<const std::uint8_t> bytes);

    // The archive's top-level map; nothing when the bytes are not CBOR, go past the bounds,
    // would take more memory than there is, or do not hold a map.
    static std::optional<nlohmann::json> parse(std::span<const std::uint8_t> bytes);
    static std::optional<nlohmann::json> parse(std::span<const std::uint8_t> bytes, const Bounds& bounds);
    // Restores from a parsed archive.
    static void apply(Calculator& calc, const nlohmann::json& archive);
};

} // namespace orvenda
