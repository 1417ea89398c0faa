#include "app/AppShell.h"

#include "AppTestSupport.h"

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

// The main thread waits for a running program in the event loop, blocked: it wakes for
// the program's reports and when the queue ends, a handful of times however long the
// program runs, never to look again on its own.
TEST_F(Shell, WaitingForAProgramLeavesTheMainThreadIdle)
{
    AppShell shell(calc);
    programs->store("LOOP", ops("0->A:For(I,1,10000000):A+I->A:End:A"));
    int wakes = 0;
    const QObject counting;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, &counting,
                     [&wakes] { ++wakes; });
    calc.parser().startProgramThread(ops("prgmLOOP"));
    ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
    EXPECT_LT(wakes, 20);
    // 1 + 2 + ... + 10⁷ = 10⁷ (10⁷ + 1) / 2
    EXPECT_EQ(calc.ans.r(), 50000005000000.0);
}

} // namespace
} // namespace orvenda::test
