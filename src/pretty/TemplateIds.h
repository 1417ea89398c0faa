#pragma once

#include <bitset>
#include <cstdint>
#include <vector>

namespace orvenda {

// The template IDs in use in an op array (the high 16 bits of its ops of 0x10000 and
// above), and fresh ones handed out smallest first.
class TemplateIds {
public:
    static constexpr std::uint32_t kNone = 65536;

    explicit TemplateIds(const std::vector<std::uint32_t>& ops);

    // The smallest ID ≥ 1 not used by any op of ops; 65536 when all are used.
    static std::uint32_t next(const std::vector<std::uint32_t>& ops);

    // The smallest unused ID, now marked used; kNone when none is left.
    std::uint32_t take();
    bool used(std::uint32_t id) const { return id > 0 && id < kNone && used_.test(id); }

private:
    std::bitset<65536> used_;
    std::uint32_t from_ = 1;
};

} // namespace orvenda
