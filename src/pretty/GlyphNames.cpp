#include "pretty/GlyphNames.h"

#include "language/Vocabulary.h"

#include <mutex>
#include <string>
#include <unordered_map>

namespace orvenda {

std::string_view GlyphNames::name(std::uint32_t op)
{
    static std::mutex mutex;
    // Nodes of an unordered_map never move, so the views handed out stay valid.
    static std::unordered_map<std::uint32_t, std::string> names;
    const std::uint32_t token = op & 0xFFFFu;
    const std::uint32_t key = (token == 0xBB5D || token == 0xBB5E) ? op : token;
    std::lock_guard guard(mutex);
    auto it = names.find(key);
    if (it == names.end())
        it = names.emplace(key, Vocabulary::shared().nameForOpcode(key)).first;
    return it->second;
}

} // namespace orvenda
