#include "core/UserCalculation.h"

#include <limits>

namespace orvenda {

nlohmann::json UserCalculation::encode() const
{
    return nlohmann::json{{"ops", opcodes_}, {"desc", desc_}};
}

UserCalculation UserCalculation::decode(const nlohmann::json& archive)
{
    UserCalculation u;
    if (!archive.is_object())
        return u;
    auto ops = archive.find("ops");
    if (ops != archive.end() && ops->is_array()) {
        u.opcodes_.reserve(ops->size());
        for (const nlohmann::json& op : *ops) {
            if (op.is_number_integer() && op.get<std::int64_t>() >= 0
                && op.get<std::uint64_t>() <= std::numeric_limits<std::uint32_t>::max())
                u.opcodes_.push_back(static_cast<std::uint32_t>(op.get<std::uint64_t>()));
        }
    }
    auto desc = archive.find("desc");
    if (desc != archive.end() && desc->is_string())
        u.desc_ = desc->get<std::string>();
    return u;
}

} // namespace orvenda
