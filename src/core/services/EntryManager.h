#pragma once

#include "language/ErrorNumbers.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orvenda {

// The entry line's model. Archived with the calculator under "entry". Calls come on the
// main thread.
class EntryManager {
public:
    // The most ops a line holds, however it comes (typed, pasted, recalled): a line runs as
    // a program does, and a compiled jump carries its target in 16 bits, so a line takes
    // what a program takes.
    static constexpr std::size_t kMaxOps = 65535;
    // The report of a line refused for its length: error 93, told of a line.
    static nlohmann::json tooLongReport()
    {
        return {{"errorNum", ErrProgramSize},
                {"message", "Line too long: a line holds at most " + std::to_string(kMaxOps) + " tokens."}};
    }

    virtual ~EntryManager() = default;

    // Characters per line for wrapping; 32 when created.
    virtual void setScreenWidth(int width) = 0;
    // The entry line's current text.
    virtual std::string text() const = 0;
    // Empties the entry line.
    virtual void clear() = 0;
    // The line's ops, and the line set back to them with the cursor at their end.
    virtual std::vector<std::uint32_t> lineOps() const = 0;
    virtual void restoreLine(const std::vector<std::uint32_t>& ops) = 0;
    // The line and its cursor taken out (the line left empty) and put back, without a word
    // to the screens.
    virtual std::pair<std::vector<std::uint32_t>, int> takeLineQuietly() = 0;
    virtual void putLineBackQuietly(std::vector<std::uint32_t> ops, int cursor) = 0;
    virtual void insertOpcode(std::uint32_t op, int at) = 0;
    // Cursor to the end without notifying.
    virtual void cursorEndSilent() = 0;
    // Begins a new, empty entry line.
    virtual void startNewEntry() = 0;
    // Forgets the stored entries.
    virtual void clearEntries() = 0;

    virtual nlohmann::json encode() const = 0;
    virtual void decode(const nlohmann::json& archive) = 0;
};

} // namespace orvenda
