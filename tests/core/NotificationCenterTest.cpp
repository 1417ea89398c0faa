#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"

#include <gtest/gtest.h>
#include <atomic>
#include <future>
#include <thread>
#include <vector>

using namespace orvenda;

TEST(NotificationCenter, DeliversByNameWithPosterAndUserInfo)
{
    NotificationCenter center;
    int poster = 0, observer = 0;
    std::vector<std::string> seen;
    nlohmann::json info;
    const void* from = nullptr;
    center.addObserver(&observer, VQZoomPlot, [&](const Notification& n) {
        seen.push_back(n.name);
        info = n.userInfo;
        from = n.poster;
    });
    // Observers of one name run in the order added; the default user info is an empty object.
    std::string order;
    center.addObserver(&observer, VQEnter, [&](const Notification& n) {
        seen.push_back(n.name);
        order += 'a';
        EXPECT_TRUE(n.userInfo.is_object());
        EXPECT_TRUE(n.userInfo.empty());
    });
    center.addObserver(&poster, VQEnter, [&](const Notification&) { order += 'b'; });
    center.addObserver(&observer, VQEnter, [&](const Notification&) { order += 'c'; });

    center.post(VQZoomPlot, &poster, {{"zoom", 6}});
    center.post(VQBlinkCursor, &poster); // nobody listens
    center.post(VQEnter);
    EXPECT_EQ(seen, (std::vector<std::string>{"VQZoomPlot", "VQEnter"}));
    EXPECT_EQ(info["zoom"], 6);
    EXPECT_EQ(from, &poster);
    EXPECT_EQ(order, "abc");
}

TEST(NotificationCenter, RemoveObserverDropsAllItsObservations)
{
    NotificationCenter center;
    int a = 0, b = 0;
    int aCalls = 0, bCalls = 0;
    center.addObserver(&a, VQCursorUp, [&](const Notification&) { ++aCalls; });
    center.addObserver(&a, VQCursorDown, [&](const Notification&) { ++aCalls; });
    center.addObserver(&b, VQCursorUp, [&](const Notification&) { ++bCalls; });
    center.removeObserver(&a);
    center.removeObserver(&a); // twice is harmless
    center.post(VQCursorUp);
    center.post(VQCursorDown);
    EXPECT_EQ(aCalls, 0);
    EXPECT_EQ(bCalls, 1);
}

TEST(NotificationCenter, RemovalDuringDelivery)
{
    NotificationCenter center;
    int first = 0, second = 0, third = 0;
    int firstCalls = 0, secondCalls = 0, thirdCalls = 0;
    // The first removes itself and the second; the third is added on the way.
    center.addObserver(&first, VQEnter, [&](const Notification&) {
        ++firstCalls;
        center.removeObserver(&first);
        center.removeObserver(&second);
        center.addObserver(&third, VQEnter, [&](const Notification&) { ++thirdCalls; });
    });
    center.addObserver(&second, VQEnter, [&](const Notification&) { ++secondCalls; });
    center.post(VQEnter);
    EXPECT_EQ(firstCalls, 1);
    EXPECT_EQ(secondCalls, 0);
    EXPECT_EQ(thirdCalls, 0);
    center.post(VQEnter);
    EXPECT_EQ(firstCalls, 1);
    EXPECT_EQ(thirdCalls, 1);
}

TEST(NotificationCenter, PostingFromAnObserverNests)
{
    NotificationCenter center;
    int observer = 0;
    std::string trail;
    center.addObserver(&observer, VQEnter, [&](const Notification&) {
        trail += "enter(";
        center.post(VQEntryTextChanged);
        trail += ")";
    });
    center.addObserver(&observer, VQEntryTextChanged, [&](const Notification&) { trail += "text"; });
    center.post(VQEnter);
    EXPECT_EQ(trail, "enter(text)");
}

TEST(NotificationCenter, ConcurrentPostsAddsAndRemovals)
{
    NotificationCenter center;
    std::atomic<int> delivered{0};
    int steady = 0;
    center.addObserver(&steady, VQUpdatePgmOutput, [&](const Notification& n) {
        if (n.name == "VQUpdatePgmOutput")
            ++delivered;
    });

    constexpr int posters = 3, posts = 2000;
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < posters; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < posts; ++i)
                center.post(VQUpdatePgmOutput, nullptr, {{"i", i}});
        });
    // Observers come and go while the posters run.
    std::thread churn([&] {
        std::vector<int> tokens(16);
        while (!stop) {
            for (auto& token : tokens)
                center.addObserver(&token, VQUpdatePgmOutput, [](const Notification&) { });
            for (auto& token : tokens)
                center.removeObserver(&token);
        }
    });
    for (auto& t : threads)
        t.join();
    stop = true;
    churn.join();
    EXPECT_EQ(delivered, posters * posts);
}

TEST(NotificationCenter, RemovalWaitsForACallbackRunningOnAnotherThread)
{
    NotificationCenter center;
    int observer = 0;
    std::promise<void> entered;
    std::promise<void> leave;
    std::atomic<bool> callbackFinished{false};
    std::atomic<int> laterCalls{0};
    const std::thread::id main = std::this_thread::get_id();
    center.addObserver(&observer, VQEnter, [&, leaving = leave.get_future().share()](const Notification&) {
        // This thread's own posts only tell whether the observer is still there.
        if (std::this_thread::get_id() == main) {
            ++laterCalls;
            return;
        }
        entered.set_value();
        leaving.wait();
        callbackFinished = true;
    });
    std::thread poster([&] { center.post(VQEnter); });
    entered.get_future().wait();
    std::atomic<bool> removed{false};
    bool finishedWhenRemoved = false;
    std::thread remover([&] {
        center.removeObserver(&observer);
        finishedWhenRemoved = callbackFinished;
        removed = true;
    });
    // Once a post no longer reaches the observer the remover has taken it out, and waits.
    for (int seen = -1; seen != laterCalls.load(); std::this_thread::yield()) {
        seen = laterCalls.load();
        center.post(VQEnter);
    }
    EXPECT_FALSE(removed.load());
    leave.set_value();
    remover.join();
    poster.join();
    EXPECT_TRUE(finishedWhenRemoved);
}

TEST(NotificationCenter, DefaultCenterIsShared)
{
    int observer = 0;
    int calls = 0;
    NotificationCenter::defaultCenter().addObserver(&observer, VQGraphModeChanged,
        [&](const Notification&) { ++calls; });
    NotificationCenter separate;
    separate.post(VQGraphModeChanged);
    NotificationCenter::defaultCenter().post(VQGraphModeChanged);
    NotificationCenter::defaultCenter().removeObserver(&observer);
    NotificationCenter::defaultCenter().post(VQGraphModeChanged);
    EXPECT_EQ(calls, 1);
}
