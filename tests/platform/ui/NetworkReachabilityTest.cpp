// The desktop's reachability monitor: the flags it makes of Qt's network information, its
// change notification, and the calculator's statuses following it.

#include "platform/NetworkReachability.h"

#include "TestSupport.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"

#include <QNetworkInformation>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

using Info = QNetworkInformation;
using Target = Reachability::Target;

int status(Target target, Info::Reachability reach, Info::TransportMedium medium = Info::TransportMedium::Ethernet)
{
    const auto flags = NetworkReachability::flagsFor(target, static_cast<int>(reach), static_cast<int>(medium));
    if (!flags)
        return -1;
    return target == Target::LocalWiFi ? Reachability::localWiFiStatusForFlags(*flags)
                                        : Reachability::networkStatusForFlags(*flags);
}

TEST(NetworkReachability, FlagsFromTheDesktopsNetworkInformation)
{
    for (const Target target : {Target::Host, Target::Internet, Target::LocalWiFi})
        EXPECT_EQ(status(target, Info::Reachability::Online), 1);
    // On the local network only the local link answers.
    EXPECT_EQ(status(Target::Internet, Info::Reachability::Local), 0);
    EXPECT_EQ(status(Target::Host, Info::Reachability::Site), 0);
    EXPECT_EQ(status(Target::LocalWiFi, Info::Reachability::Local), 1);
    for (const Target target : {Target::Host, Target::Internet, Target::LocalWiFi})
        EXPECT_EQ(status(target, Info::Reachability::Disconnected), 0);
    // A desktop that cannot tell reads no flags at all.
    EXPECT_EQ(status(Target::Internet, Info::Reachability::Unknown), -1);
    const auto mobile = NetworkReachability::flagsFor(Target::Internet, static_cast<int>(Info::Reachability::Online),
        static_cast<int>(Info::TransportMedium::Cellular));
    ASSERT_TRUE(mobile);
    EXPECT_TRUE(*mobile & Reachability::kIsWWAN);
    EXPECT_EQ(Reachability::networkStatusForFlags(*mobile), 1);
}

// A monitor whose status the test sets.
class SetMonitor : public Reachability {
public:
    bool startNotifier() override { return true; }
    int currentReachabilityStatus() const override { return reachable; }
    int reachable = 0;
};

TEST(NetworkReachability, AChangePostsItsNotificationAndTheCalculatorFollows)
{
    NotificationCenter bus;
    NetworkReachability monitor(Target::Internet, bus);
    std::vector<const void*> posters;
    bus.addObserver(&posters, kNetworkReachabilityChangedNotification,
        [&posters](const Notification& n) { posters.push_back(n.poster); });
    monitor.changed();
    EXPECT_EQ(posters, std::vector<const void*>{&monitor}) << "the monitor is the notification's object";
    bus.removeObserver(&posters);

    auto internet = std::make_shared<SetMonitor>();
    Reachability::setFactory([internet](Target target, const std::string&) -> std::shared_ptr<Reachability> {
        return target == Target::Internet ? internet : nullptr;
    });
    Calculator calc{kUS, bus};
    EXPECT_EQ(calc.internetConnectionStatus, 0);
    internet->reachable = 1;
    bus.post(kNetworkReachabilityChangedNotification, internet.get());
    EXPECT_EQ(calc.internetConnectionStatus, 1);
    internet->reachable = 0;
    bus.post(kNetworkReachabilityChangedNotification, internet.get());
    EXPECT_EQ(calc.internetConnectionStatus, 0);
    Reachability::setFactory(nullptr);
}

} // namespace
} // namespace orvenda::test
