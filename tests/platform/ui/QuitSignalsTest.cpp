// The desktop asking the app to end: each of SIGTERM, SIGINT and SIGHUP reaches the event
// loop as a quit, once: any ending signal after it is ignored, to the process's end.

#include "platform/QuitSignals.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

namespace orvenda::test {
namespace {

sighandler_t handlerOf(int signal)
{
    struct sigaction now {};
    EXPECT_EQ(::sigaction(signal, nullptr, &now), 0);
    return now.sa_handler;
}

TEST(QuitSignals, EachEndingSignalQuitsOnTheEventLoopOnce)
{
    const std::vector<int> all{SIGTERM, SIGINT, SIGHUP};
    for (const int signal : all) {
        std::vector<int> quits;
        {
            QuitSignals signals([&quits](int number) { quits.push_back(number); });
            ASSERT_EQ(::raise(signal), 0);
            // Not in the handler: on the event loop.
            EXPECT_TRUE(quits.empty());
            const QDeadlineTimer deadline(20000);
            while (quits.empty() && !deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            // Ending already: the same signal again, and the others, neither end the
            // process nor ask again.
            for (const int again : all)
                ASSERT_EQ(::raise(again), 0);
            QCoreApplication::processEvents();
        }
        EXPECT_EQ(quits, std::vector<int>{signal});
        for (const int again : all) {
            EXPECT_EQ(handlerOf(again), SIG_IGN) << "the process is ending";
            std::signal(again, SIG_DFL);
        }
    }
    // Gone without an ending signal, the system's own handling is back.
    { QuitSignals signals([](int) {}); }
    for (const int signal : all)
        EXPECT_EQ(handlerOf(signal), SIG_DFL);
}

} // namespace
} // namespace orvenda::test
