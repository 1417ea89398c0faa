#include "app/AppShell.h"

#include "AppTestSupport.h"

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

// The main thread waits for a running program in the event loop, blocked: it does next
// to no work until the program's report wakes it, and it is woken when the queue ends.
TEST_F(Shell, WaitingForAProgramLeavesTheMainThreadIdle)
{
    AppShell shell(calc);
    programs->store("LOOP", ops("0->A:For(I,1,10000000):A+I->A:End:A"));
    calc.parser().startProgramThread(ops("prgmLOOP"));
    const double cpu = testing::threadSeconds();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(testing::threadSeconds() - cpu, 0.05 * wall) << "over " << wall << " s";
    // 1 + 2 + ... + 10⁷ = 10⁷ (10⁷ + 1) / 2
    EXPECT_EQ(calc.ans.r(), 50000005000000.0);
}

} // namespace
} // namespace orvenda::test
