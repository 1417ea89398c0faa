#pragma once

#include <cstdint>
#include <string_view>

namespace orvenda {

// Display names of ops as views that stay valid for the life of the process, so layout
// and drawing can look names up without making strings. Any thread.
class GlyphNames {
public:
    // The vocabulary's display name (UTF-8); the high half counts only for the unit
    // conversion and constant tokens, whose names depend on it.
    static std::string_view name(std::uint32_t op);
};

} // namespace orvenda
