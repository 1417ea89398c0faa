#pragma once

#include "core/services/Reachability.h"

namespace orvenda {

// A reachability monitor that always reads one status: a driven app is online or offline
// as its script asks, whatever the machine's network is. Main thread.
class FixedReachability : public Reachability {
public:
    explicit FixedReachability(bool online) : online_(online) {}

    // Makes every monitor from now on one of these.
    static void install(bool online);

    bool startNotifier() override { return true; }
    int currentReachabilityStatus() const override { return online_ ? Reachable : NotReachable; }

private:
    bool online_;
};

} // namespace orvenda
