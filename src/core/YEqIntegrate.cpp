#include "core/YEqIntegrate.h"

#include "core/ArchiveValues.h"

#include <cmath>

namespace orvenda {

nlohmann::json YEqIntegrate::encode() const
{
    return nlohmann::json{{"L", lower}, {"U", upper}, {"a", area}, {"T", tol}};
}

YEqIntegrate YEqIntegrate::decode(const nlohmann::json& archive)
{
    YEqIntegrate record;
    record.lower = ArchiveValues::number(archive, "L", 0);
    record.upper = ArchiveValues::number(archive, "U", 0);
    record.area = ArchiveValues::number(archive, "a", 0);
    record.tol = ArchiveValues::number(archive, "T", 0);
    // A tolerance of 0 (or a damaged one) could never be met.
    if (!(record.tol > 0) || !std::isfinite(record.tol))
        record.tol = kDefaultTolerance;
    return record;
}

} // namespace orvenda
