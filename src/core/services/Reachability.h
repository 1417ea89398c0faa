#pragma once

#include <functional>
#include <memory>
#include <string>

namespace orvenda {

// A network reachability monitor. Once started it posts
// kNetworkReachabilityChangedNotification on every change. The platform layer registers
// how monitors are made; with nothing registered none can be made.
class Reachability {
public:
    enum Status { NotReachable = 0, Reachable = 1 };
    // The reachability flags a monitor reads.
    enum Flag : unsigned {
        kReachable = 2,
        kConnectionRequired = 4,
        kConnectionOnTraffic = 8,
        kInterventionRequired = 16,
        kConnectionOnDemand = 32,
        kIsDirect = 0x20000,
        kIsWWAN = 0x40000,
    };
    enum class Target { Host, Internet, LocalWiFi };
    // host is empty except for Target::Host.
    using Factory = std::function<std::shared_ptr<Reachability>(Target target, const std::string& host)>;

    virtual ~Reachability() = default;

    static void setFactory(Factory factory);
    static std::shared_ptr<Reachability> reachabilityWithHostName(const std::string& host);
    static std::shared_ptr<Reachability> reachabilityForInternetConnection();
    static std::shared_ptr<Reachability> reachabilityForLocalWiFi();

    // True when notifications were started.
    virtual bool startNotifier() = 0;
    // 0 when not reachable.
    virtual int currentReachabilityStatus() const = 0;

    // The local link: reachable only directly.
    static int localWiFiStatusForFlags(unsigned flags);
    // A network: reachable, unless a connection is first required off the mobile network
    // and it is neither made on traffic or on demand without intervention.
    static int networkStatusForFlags(unsigned flags);
};

} // namespace orvenda
