// Every service interface must stand on its own; the registered ones must behave when
// nothing, or something, is registered.
#include "core/services/EntryManager.h"
#include "core/services/GDBManager.h"
#include "core/services/HistoryManager.h"
#include "core/services/ProgramManager.h"
#include "core/services/ProgramOutputManager.h"
#include "core/services/Reachability.h"
#include "core/services/SolverManager.h"
#include "core/services/StatGraphManager.h"
#include "core/services/TIFileIO.h"
#include "core/services/ViewControlDelegate.h"
#include "core/services/YEqManager.h"

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <set>
#include <thread>
#include <vector>

using namespace orvenda;

namespace {

class FakeMonitor : public Reachability {
public:
    FakeMonitor(Target target, std::string host) : target(target), host(std::move(host)) { }
    bool startNotifier() override { return true; }
    int currentReachabilityStatus() const override { return target == Target::Host ? 2 : 1; }
    Target target;
    std::string host;
};

} // namespace

TEST(GDBManager, NothingRegisteredMeansNoDatabases)
{
    GDBManager::setShared(nullptr);
    EXPECT_FALSE(GDBManager::isSavedGDB("GDB1"));
    EXPECT_FALSE(GDBManager::saveGDB("GDB1"));
    GDBManager::deleteGDB("GDB1");
    EXPECT_FALSE(GDBManager::isSavedGDB("GDB1"));
}

TEST(GDBManager, CallsReachTheRegisteredManager)
{
    auto manager = std::make_shared<test::FakeGDBs>();
    GDBManager::setShared(manager);
    EXPECT_TRUE(GDBManager::saveGDB("GDB3"));
    EXPECT_TRUE(GDBManager::isSavedGDB("GDB3"));
    EXPECT_FALSE(GDBManager::isSavedGDB("GDB4"));
    GDBManager::deleteGDB("GDB3");
    EXPECT_FALSE(GDBManager::isSavedGDB("GDB3"));

    // Replacing the manager while another thread asks must be safe.
    std::thread asker([] {
        for (int i = 0; i < 2000; ++i)
            GDBManager::isSavedGDB("GDB0");
    });
    for (int i = 0; i < 2000; ++i)
        GDBManager::setShared(i % 2 ? nullptr : std::make_shared<test::FakeGDBs>());
    asker.join();
    GDBManager::setShared(nullptr);
}

TEST(TIFileIO, ReaderOnlyForDataTheFactoryAccepts)
{
    TIFileIO::setFactory(nullptr);
    EXPECT_EQ(TIFileIO::tiFileIOWithData({1, 2, 3}), nullptr);

    TIFileIO::setFactory([](const std::vector<std::uint8_t>& data) -> std::unique_ptr<TIFileIO> {
        if (data.empty() || data[0] != '*')
            return nullptr;
        return std::make_unique<test::FakeTIFile>(data.size() > 1 ? 0 : 1);
    });
    EXPECT_EQ(TIFileIO::tiFileIOWithData({'x'}), nullptr);
    auto reader = TIFileIO::tiFileIOWithData({'*', '*'});
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->loadVars(), 0);
    EXPECT_EQ(TIFileIO::tiFileIOWithData({'*'})->loadVars(), 1);
    TIFileIO::setFactory(nullptr);
}

TEST(Reachability, MonitorsForEachTarget)
{
    Reachability::setFactory(nullptr);
    EXPECT_EQ(Reachability::reachabilityForInternetConnection(), nullptr);

    Reachability::setFactory([](Reachability::Target target, const std::string& host) {
        return std::make_shared<FakeMonitor>(target, host);
    });
    auto host = std::dynamic_pointer_cast<FakeMonitor>(Reachability::reachabilityWithHostName("example.org"));
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->target, Reachability::Target::Host);
    EXPECT_EQ(host->host, "example.org");
    auto wifi = std::dynamic_pointer_cast<FakeMonitor>(Reachability::reachabilityForLocalWiFi());
    ASSERT_NE(wifi, nullptr);
    EXPECT_EQ(wifi->target, Reachability::Target::LocalWiFi);
    EXPECT_TRUE(wifi->host.empty());
    EXPECT_EQ(Reachability::reachabilityForInternetConnection()->currentReachabilityStatus(), 1);
    Reachability::setFactory(nullptr);
}

TEST(Reachability, FlagRules)
{
    using R = Reachability;
    // Only reachable: the network answers, the local link does not (it is not direct).
    EXPECT_EQ(R::networkStatusForFlags(R::kReachable), 1);
    EXPECT_EQ(R::localWiFiStatusForFlags(R::kReachable), 0);
    EXPECT_EQ(R::localWiFiStatusForFlags(R::kReachable | R::kIsDirect), 1);
    EXPECT_EQ(R::localWiFiStatusForFlags(R::kIsDirect), 0);
    EXPECT_EQ(R::networkStatusForFlags(0), 0);
    EXPECT_EQ(R::networkStatusForFlags(R::kIsDirect | R::kConnectionOnTraffic), 0) << "nothing without reachable";
    // A connection first required: made on demand or on traffic, unless someone must act.
    EXPECT_EQ(R::networkStatusForFlags(R::kReachable | R::kConnectionRequired), 0);
    EXPECT_EQ(R::networkStatusForFlags(R::kReachable | R::kConnectionRequired | R::kConnectionOnDemand), 1);
    EXPECT_EQ(R::networkStatusForFlags(R::kReachable | R::kConnectionRequired | R::kConnectionOnTraffic), 1);
    EXPECT_EQ(R::networkStatusForFlags(
                  R::kReachable | R::kConnectionRequired | R::kConnectionOnDemand | R::kInterventionRequired),
        0);
    // On the mobile network a required connection is no obstacle.
    EXPECT_EQ(R::networkStatusForFlags(R::kReachable | R::kConnectionRequired | R::kIsWWAN), 1);
}
