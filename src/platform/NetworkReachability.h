#pragma once

#include "core/services/Reachability.h"

#include <QMetaObject>

#include <optional>

namespace orvenda {

class NotificationCenter;

// The desktop's reachability monitor on Qt's network information: the flags a monitor
// reads are made from the desktop's reachability (online, on the local network, off) and
// transport medium (a mobile network is WWAN). No request is sent to the host watched.
// A desktop without a network information backend reads no flags: not reachable.
// Main thread.
class NetworkReachability : public Reachability {
public:
    NetworkReachability(Target target, NotificationCenter& notifications);
    ~NetworkReachability() override;
    NetworkReachability(const NetworkReachability&) = delete;
    NetworkReachability& operator=(const NetworkReachability&) = delete;

    // Loads the desktop's backend (once) and makes every monitor from now on one of these.
    static void install(NotificationCenter& notifications);

    bool startNotifier() override;
    int currentReachabilityStatus() const override;
    // Nothing when the desktop cannot tell.
    std::optional<unsigned> flags() const;
    // The flags for a reachability and medium of Qt's network information, as numbers
    // (QNetworkInformation::Reachability, TransportMedium).
    static std::optional<unsigned> flagsFor(Target target, int reachability, int medium);
    // Posts the change notification with this monitor as its object.
    void changed();

private:
    Target target_;
    NotificationCenter& notifications_;
    QMetaObject::Connection reach_;
    QMetaObject::Connection medium_;
};

} // namespace orvenda
