// A program on the queue's worker and the main thread work the same calculator for a
// while: the program stores into variables, lists, matrices, strings, Ans and modes in a
// loop; the main thread evaluates fields, formats Ans and the variable listing, stores
// into the same names, presses a button and now and then stops and restarts the program.
// Meant to run under the thread and address sanitizers, which report what goes wrong.
// ORVENDA_STRESS_SECONDS sets how long (1 second when unset).

#include "ProgramTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>

namespace orvenda {
namespace {

using testing::ProgramHarness;

constexpr std::uint32_t kTokenA = 0x41;
constexpr std::uint32_t kTokenStr1 = 0xAA00;

// The output screen, counting what it shows and formatting each value as the real one
// would; a recording screen would grow without end.
class CountingOutput : public ProgramOutputManager {
public:
    explicit CountingOutput(Calculator& calc) : calc_(calc) {}
    void newLine() override {}
    void clearHome() override {}
    void displayOp(const Operand& value) override
    {
        if (!calc_.formatOperand(value).empty())
            ++shown;
    }
    void output(const std::string&, int, int) override {}
    void startProgram(const std::string&) override {}
    void clearMenu() override {}
    void setCursorPosition(CursorPosition) override {}
    std::string screenShot() const override { return {}; }

    std::atomic<int> shown{0};

private:
    Calculator& calc_;
};

std::chrono::seconds stressTime()
{
    const char* text = std::getenv("ORVENDA_STRESS_SECONDS");
    const int seconds = text ? std::atoi(text) : 0;
    return std::chrono::seconds(seconds > 0 ? seconds : 1);
}

TEST(ThreadStress, AProgramAndTheMainThreadShareTheCalculator)
{
    ProgramHarness h;
    auto output = std::make_shared<CountingOutput>(h.calc);
    h.calc.prgmOutputMgr = output;
    h.store("LOOP",
            "While 1\n"
            "I+1->I\n"
            "I->A\n"
            "{I,I+1,I+2}->L₁\n"
            "I->L₂(1)\n"
            "[[I,I][I,I]]->[A]\n"
            "\"12\"->Str1\n"
            "ɩ̇^2\n"
            "L₁\n"
            "[A]\n"
            "Radian\n"
            "Degree\n"
            "Pt-On(1,1)\n"
            "pxl-Test(1,1)\n"
            "randInt(1,6)->R\n"
            "1-Var Stats L₁\n"
            "Disp I\n"
            "End\n"
            "Lbl S\n"
            "W+1->W\n"
            "Return");
    // Fields the main thread evaluates, with what each must give whatever the program does.
    struct Field {
        const char* text;
        std::function<bool(const Operand&)> holds;
    };
    const Field fields[] = {
        {"A+1->B", [](const Operand& r) { return r.error == 0 && r.kind == KindReal; }},
        // A list is always one the program or this thread stored whole: its sum is a
        // multiple of 3.
        {"sum(L₁)", [](const Operand& r) { return r.error == 0 && std::fmod(r.re(), 3) == 0; }},
        {"[A]",
         [](const Operand& r) {
             return r.error == 0 && r.matrix && r.matrix->dimRow() == 2 && r.matrix->row(0, 0) == r.matrix->row(1, 1);
         }},
        {"Str1", [](const Operand& r) { return r.error == 0 && r.kind == KindString; }},
        {"{7,8}->L₁", [](const Operand& r) { return r.error == 0; }},
        // The program's imaginary unit never makes the main thread's arithmetic complex.
        {"√(-1)", [](const Operand& r) { return r.error == 15; }},
        {"rand", [](const Operand& r) { return r.error == 0 && r.re() >= 0 && r.re() < 1; }},
        {"Ans", [](const Operand& r) { return r.error == 0; }},
    };

    // A failed check leaves the loop stopped, not running into the harness's wait.
    struct StopOnExit {
        ProgramHarness& h;
        ~StopOnExit() { h.parser().stopProgramThread(); }
    } stopOnExit{h};

    h.enter("{7,8}->L₁:[[1,1][1,1]]->[A]");
    const auto deadline = std::chrono::steady_clock::now() + stressTime();
    auto lastRestart = std::chrono::steady_clock::now();
    h.parser().startProgramThread(h.ops("prgmLOOP"));
    int evaluations = 0;
    // The time only says how long to go on: the checks hold however far the program got,
    // and it goes on until the program has shown something.
    while (std::chrono::steady_clock::now() < deadline || output->shown == 0) {
        for (const Field& field : fields) {
            auto ops = h.ops(field.text);
            const Operand r = h.parser().eval(ops, false);
            ASSERT_TRUE(field.holds(r)) << field.text << " gave error " << r.error;
            ++evaluations;
        }
        h.calc.ans = VQValue(static_cast<double>(evaluations));
        EXPECT_FALSE(h.calc.getAns().empty());
        EXPECT_FALSE(h.calc.getVariable(kTokenA).empty());
        EXPECT_FALSE(h.calc.getStringVariable(kTokenStr1).empty());
        h.calc.setVar('B' - 'A', {{static_cast<double>(evaluations), 0.0}});
        h.parser().runSubroutine("S", "LOOP");
        h.main.pump();
        if (std::chrono::steady_clock::now() - lastRestart > std::chrono::milliseconds(200)) {
            h.parser().stopProgramThread();
            ASSERT_TRUE(h.settle());
            // The loop ran until it was stopped.
            ASSERT_EQ(h.finals.back().error, 43);
            h.parser().startProgramThread(h.ops("prgmLOOP"));
            lastRestart = std::chrono::steady_clock::now();
        }
    }
    h.parser().stopProgramThread();
    ASSERT_TRUE(h.settle());
    EXPECT_GT(output->shown, 0);
    EXPECT_EQ(h.calc.realCplxMode(), 0);
}

} // namespace
} // namespace orvenda
