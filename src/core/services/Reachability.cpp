#include "core/services/Reachability.h"

#include "core/services/ServiceSlot.h"

namespace orvenda {

namespace {

std::shared_ptr<Reachability> make(Reachability::Target target, const std::string& host)
{
    const Reachability::Factory factory = registeredFactory<Reachability>().get();
    return factory ? factory(target, host) : nullptr;
}

} // namespace

void Reachability::setFactory(Factory factory)
{
    registeredFactory<Reachability>().set(std::move(factory));
}

std::shared_ptr<Reachability> Reachability::reachabilityWithHostName(const std::string& host)
{
    return make(Target::Host, host);
}

std::shared_ptr<Reachability> Reachability::reachabilityForInternetConnection()
{
    return make(Target::Internet, {});
}

int Reachability::localWiFiStatusForFlags(unsigned flags)
{
    return (flags & kReachable) && (flags & kIsDirect) ? Reachable : NotReachable;
}

int Reachability::networkStatusForFlags(unsigned flags)
{
    if (!(flags & kReachable))
        return NotReachable;
    if (!((flags & kConnectionRequired) && !(flags & kIsWWAN)))
        return Reachable;
    const bool automatic = (flags & kConnectionOnTraffic) || (flags & kConnectionOnDemand);
    return automatic && !(flags & kInterventionRequired) ? Reachable : NotReachable;
}

std::shared_ptr<Reachability> Reachability::reachabilityForLocalWiFi()
{
    return make(Target::LocalWiFi, {});
}

} // namespace orvenda
