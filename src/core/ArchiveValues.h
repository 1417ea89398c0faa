#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace orvenda {

// Reading archived values that may be damaged: a value of the wrong type reads as nothing
// instead of raising.
class ArchiveValues {
public:
    using Ops = std::vector<std::uint32_t>;

    // An array of ops; elements that are no 32-bit unsigned integer are dropped.
    static std::optional<Ops> ops(const nlohmann::json& archive)
    {
        if (!archive.is_array())
            return std::nullopt;
        Ops out;
        out.reserve(archive.size());
        for (const nlohmann::json& op : archive) {
            if (op.is_number_integer())
                if (auto x = integer(op, 0, std::numeric_limits<std::uint32_t>::max()))
                    out.push_back(static_cast<std::uint32_t>(*x));
        }
        return out;
    }

    // A whole number in [min, max]; a boolean reads as 0 or 1.
    static std::optional<std::int64_t> integer(const nlohmann::json& value, std::int64_t min, std::int64_t max)
    {
        std::int64_t x;
        if (value.is_number_unsigned()) {
            if (value.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
                return std::nullopt;
            x = static_cast<std::int64_t>(value.get<std::uint64_t>());
        } else if (value.is_number_integer()) {
            x = value.get<std::int64_t>();
        } else if (value.is_boolean()) {
            x = value.get<bool>() ? 1 : 0;
        } else {
            return std::nullopt;
        }
        if (x < min || x > max)
            return std::nullopt;
        return x;
    }
};

} // namespace orvenda
