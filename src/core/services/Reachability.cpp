#include "core/services/Reachability.h"

#include <mutex>

namespace orvenda {

namespace {

std::mutex& lock()
{
    static std::mutex mutex;
    return mutex;
}

Reachability::Factory& registered()
{
    static Reachability::Factory factory;
    return factory;
}

std::shared_ptr<Reachability> make(Reachability::Target target, const std::string& host)
{
    Reachability::Factory factory;
    {
        std::lock_guard guard(lock());
        factory = registered();
    }
    return factory ? factory(target, host) : nullptr;
}

} // namespace

void Reachability::setFactory(Factory factory)
{
    std::lock_guard guard(lock());
    registered() = std::move(factory);
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
