#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

// Reading archived values that may be damaged: a value of the wrong type reads as nothing
// instead of raising. Also builds the archive's large keyed members.
class ArchiveValues {
public:
    using Ops = std::vector<std::uint32_t>;

    // An object of one member per entry of a map, in the map's order, each value
    // encode(entry's value). The keys differ, so each member is appended without the object's
    // own search for its key, which would make n members n²/2 key comparisons (saving
    // 100 000 lists took minutes).
    template <class Json, class Map, class Encode>
    static Json objectOf(const Map& map, Encode encode)
    {
        typename Json::object_t members;
        members.reserve(map.size());
        for (const auto& [key, value] : map)
            members.emplace_back(typename Json::string_t(key), encode(value));
        return Json(std::move(members));
    }

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

    // The member `key` of an object, or nothing when the archive is no object or lacks it.
    static const nlohmann::json* member(const nlohmann::json& archive, const char* key)
    {
        if (!archive.is_object())
            return nullptr;
        auto it = archive.find(key);
        return it == archive.end() ? nullptr : &*it;
    }

    // A number member (an archived NaN may come back as null and reads as NaN).
    static double number(const nlohmann::json& archive, const char* key, double fallback)
    {
        const nlohmann::json* value = member(archive, key);
        if (!value)
            return fallback;
        if (value->is_null())
            return std::numeric_limits<double>::quiet_NaN();
        return value->is_number() ? value->get<double>() : fallback;
    }

    static int whole(const nlohmann::json& archive, const char* key, int fallback)
    {
        const nlohmann::json* value = member(archive, key);
        if (!value)
            return fallback;
        auto x = integer(*value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        return x ? static_cast<int>(*x) : fallback;
    }

    static std::string text(const nlohmann::json& archive, const char* key)
    {
        const nlohmann::json* value = member(archive, key);
        return value && value->is_string() ? value->get<std::string>() : std::string();
    }
};

} // namespace orvenda
