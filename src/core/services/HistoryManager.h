#pragma once

#include <nlohmann/json.hpp>

namespace orvenda {

// The history of entries and answers. Archived with the calculator under "history".
// Calls come on the main thread.
class HistoryManager {
public:
    virtual ~HistoryManager() = default;

    // Forgets every history entry.
    virtual void clearAll() = 0;

    virtual nlohmann::json encode() const = 0;
    virtual void decode(const nlohmann::json& archive) = 0;
};

} // namespace orvenda
