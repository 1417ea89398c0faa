#include "app/AppShell.h"

#include "AppTestSupport.h"
#include "Sanitized.h"

#include <QAbstractEventDispatcher>

#include <chrono>

namespace orvenda::test {
namespace {

class Shell : public HomeTest {
protected:
    Shell()
    {
        calc.viewDelegate = view;
        calc.prgmManager = programs;
        calc.prgmOutputMgr = output;
    }

    static std::vector<std::uint32_t> ops(const std::string& text)
    {
        std::string bad;
        return EntryText().toOps(text, bad).value_or(std::vector<std::uint32_t>{});
    }

    std::shared_ptr<FakeView> view = std::make_shared<FakeView>();
    std::shared_ptr<testing::MemoryProgramManager> programs = std::make_shared<testing::MemoryProgramManager>();
    std::shared_ptr<testing::RecordingOutput> output = std::make_shared<testing::RecordingOutput>(calc);
};

#ifdef NDEBUG
constexpr bool kOptimized = !kSanitized;
#else
constexpr bool kOptimized = false;
#endif
// The program's loop: long enough to be waited on a good while in every build, and far
// from the test's limit in the slowest (Debug under the sanitizers runs it some thirty
// times slower than an optimized build).
constexpr long long kLoopLength = kOptimized ? 10'000'000 : 300'000;

// The main thread waits for a running program in the event loop, blocked: it wakes for
// the program's reports and when the queue ends, a handful of times however long the
// program runs, never to look again on its own.
TEST_F(Shell, WaitingForAProgramLeavesTheMainThreadIdle)
{
    AppShell shell(calc);
    // The cursor's blink would wake it twice a second, as many times as the run is long.
    shell.blink().setStepped(true);
    const std::string n = std::to_string(kLoopLength);
    programs->store("LOOP", ops("0->A:For(I,1," + n + "):A+I->A:End:A"));
    int wakes = 0;
    const QObject counting;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, &counting,
                     [&wakes] { ++wakes; });
    calc.parser().startProgramThread(ops("prgmLOOP"));
    ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
    EXPECT_LT(wakes, 20);
    // 1 + 2 + ... + n = n (n + 1) / 2
    EXPECT_EQ(calc.ans.r(), static_cast<double>(kLoopLength) * (kLoopLength + 1) / 2);
}

} // namespace
} // namespace orvenda::test
