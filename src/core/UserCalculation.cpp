#include "core/UserCalculation.h"

#include "core/ArchiveValues.h"

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
    if (auto ops = archive.find("ops"); ops != archive.end())
        u.opcodes_ = ArchiveValues::ops(*ops).value_or(Ops());
    auto desc = archive.find("desc");
    if (desc != archive.end() && desc->is_string())
        u.desc_ = desc->get<std::string>();
    return u;
}

} // namespace orvenda
