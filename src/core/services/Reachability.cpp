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

std::shared_ptr<Reachability> Reachability::reachabilityForLocalWiFi()
{
    return make(Target::LocalWiFi, {});
}

} // namespace orvenda
