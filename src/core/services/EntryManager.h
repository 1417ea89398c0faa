#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orvenda {

// The entry line's model. Archived with the calculator under "entry". Calls come on the
// main thread.
class EntryManager {
public:
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
