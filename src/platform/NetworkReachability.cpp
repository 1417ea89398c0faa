#include "platform/NetworkReachability.h"

#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "platform/KeptForProcess.h"

#include <QNetworkInformation>

namespace orvenda {

namespace {

using Info = QNetworkInformation;

} // namespace

NetworkReachability::NetworkReachability(Target target, NotificationCenter& notifications)
    : target_(target), notifications_(notifications)
{
}

NetworkReachability::~NetworkReachability()
{
    QObject::disconnect(reach_);
    QObject::disconnect(medium_);
}

void NetworkReachability::install(NotificationCenter& notifications)
{
    // The backend keeps a bus connection and its thread for the life of the process.
    static const bool loaded = keptForProcess([] { return Info::loadBackendByFeatures(Info::Feature::Reachability); });
    (void)loaded;
    Reachability::setFactory([&notifications](Target target, const std::string&) -> std::shared_ptr<Reachability> {
        return std::make_shared<NetworkReachability>(target, notifications);
    });
}

bool NetworkReachability::startNotifier()
{
    Info* info = Info::instance();
    if (!info)
        return false;
    reach_ = QObject::connect(info, &Info::reachabilityChanged, info, [this] { changed(); });
    medium_ = QObject::connect(info, &Info::transportMediumChanged, info, [this] { changed(); });
    return static_cast<bool>(reach_);
}

void NetworkReachability::changed()
{
    notifications_.post(kNetworkReachabilityChangedNotification, this);
}

std::optional<unsigned> NetworkReachability::flagsFor(Target target, int reachability, int medium)
{
    unsigned flags = 0;
    switch (static_cast<Info::Reachability>(reachability)) {
    case Info::Reachability::Unknown:
        return std::nullopt;
    case Info::Reachability::Disconnected:
        return 0u;
    case Info::Reachability::Online:
        flags = kReachable | kIsDirect;
        if (static_cast<Info::TransportMedium>(medium) == Info::TransportMedium::Cellular)
            flags |= kIsWWAN;
        break;
    case Info::Reachability::Local:
    case Info::Reachability::Site:
        // The local link answers; the internet would first need a connection made.
        flags = target == Target::LocalWiFi ? kReachable | kIsDirect : kReachable | kConnectionRequired;
        break;
    }
    return flags;
}

std::optional<unsigned> NetworkReachability::flags() const
{
    const Info* info = Info::instance();
    if (!info)
        return std::nullopt;
    return flagsFor(target_, static_cast<int>(info->reachability()), static_cast<int>(info->transportMedium()));
}

int NetworkReachability::currentReachabilityStatus() const
{
    const auto read = flags();
    if (!read)
        return NotReachable;
    return target_ == Target::LocalWiFi ? localWiFiStatusForFlags(*read) : networkStatusForFlags(*read);
}

} // namespace orvenda
