#include "platform/FixedReachability.h"

#include <memory>

namespace orvenda {

void FixedReachability::install(bool online)
{
    Reachability::setFactory([online](Target, const std::string&) { return std::make_shared<FixedReachability>(online); });
}

} // namespace orvenda
