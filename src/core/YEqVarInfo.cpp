#include "core/YEqVarInfo.h"

#include "core/ArchiveValues.h"

namespace orvenda {

nlohmann::json YEqVarInfo::encode() const
{
    return nlohmann::json{{"vn", varNum}, {"mi", min}, {"mx", max}, {"st", step}, {"va", value}, {"na", name}};
}

YEqVarInfo YEqVarInfo::decode(const nlohmann::json& archive)
{
    YEqVarInfo info;
    info.varNum = ArchiveValues::whole(archive, "vn", 0);
    info.min = ArchiveValues::number(archive, "mi", 0);
    info.max = ArchiveValues::number(archive, "mx", 0);
    info.step = ArchiveValues::number(archive, "st", 0);
    info.value = ArchiveValues::number(archive, "va", 0);
    info.name = ArchiveValues::text(archive, "na");
    return info;
}

} // namespace orvenda
