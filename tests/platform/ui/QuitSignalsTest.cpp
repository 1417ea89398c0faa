// The desktop asking the app to end: each of SIGTERM, SIGINT and SIGHUP reaches the event
// loop as a quit, and nothing once the handlers are gone.

#include "platform/QuitSignals.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

namespace orvenda::test {
namespace {

TEST(QuitSignals, EachEndingSignalQuitsOnTheEventLoop)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        std::vector<int> quits;
        {
            QuitSignals signals([&quits](int number) { quits.push_back(number); });
            ASSERT_EQ(::raise(signal), 0);
            // Not in the handler: on the event loop.
            EXPECT_TRUE(quits.empty());
            const QDeadlineTimer deadline(20000);
            while (quits.empty() && !deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        EXPECT_EQ(quits, std::vector<int>{signal});
        // Gone, the system's own handling is back (the signal is only looked at here).
        struct sigaction now {};
        ASSERT_EQ(::sigaction(signal, nullptr, &now), 0);
        EXPECT_EQ(now.sa_handler, SIG_DFL);
    }
}

} // namespace
} // namespace orvenda::test
