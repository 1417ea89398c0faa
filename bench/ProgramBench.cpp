// Programs as a user runs them, each beside python3 running the same algorithm: ENTER on
// "prgmNAME" submits the run to the program queue, and the main thread waits in an event
// loop, as the app's does, until the final report arrives. Each figure is the best run's
// time from ENTER to the report; python3 runs the same loop in a subprocess, timed around
// the algorithm alone (best of three), and "ratio" is ours / CPython. "main_cpu_%" is the
// main thread's processor time while it waits, as a share of one core.
//
// Also: entries 1+1+...+1 of 1 000 to 50 000 terms (time per term stays flat when
// parsing and evaluating grow linearly), and the time from a stop to the report of a
// running loop.

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "eval/MainQueue.h"
#include "eval/Parser.h"

#include "../tests/cases/EntryText.h"
#include "../tests/cases/ProgramSupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvenda {
namespace {

using Ops = std::vector<std::uint32_t>;
using Clock = std::chrono::steady_clock;

Ops tokens(const std::string& text)
{
    static const cases::EntryText entry;
    std::string bad;
    return entry.toOps(text, bad).value_or(Ops{});
}

// The main thread's event loop: it sleeps until work is posted.
class EventLoop : public MainQueue {
public:
    void post(std::function<void()> work) override
    {
        {
            std::lock_guard lock(mutex_);
            work_.push_back(std::move(work));
        }
        ready_.notify_one();
    }
    void postSync(std::function<void()> work) override
    {
        std::mutex m;
        std::condition_variable cv;
        bool finished = false;
        post([&] {
            work();
            std::lock_guard lock(m);
            finished = true;
            cv.notify_one();
        });
        std::unique_lock lock(m);
        cv.wait(lock, [&] { return finished; });
    }
    // Runs posted work until `done` holds after a piece of work.
    template <class Done>
    void runUntil(Done done)
    {
        while (!done()) {
            std::function<void()> work;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [this] { return !work_.empty(); });
                work = std::move(work_.front());
                work_.pop_front();
            }
            work();
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> work_;
};

// A calculator with programs in memory whose queue reports to the event loop.
struct Home {
    Home() : programs(std::make_shared<testing::MemoryProgramManager>())
    {
        calc.prgmManager = programs;
        parser().programQueue().setMainQueue(&loop);
        parser().programQueue().setResultHandler([this](const Operand& r) {
            if (calc.reportingDone) {
                last = r;
                ++reports;
            }
        });
    }
    Parser& parser() { return calc.parser(); }
    // ENTER on the entry; waits for its final report. The seconds it took.
    double enter(const Ops& entry)
    {
        const int before = reports;
        const auto start = Clock::now();
        parser().startProgramThread(entry);
        loop.runUntil([&] { return reports != before; });
        return std::chrono::duration<double>(Clock::now() - start).count();
    }

    // Before the calculator: its queue posts to the loop until it goes.
    EventLoop loop;
    NotificationCenter notifications;
    Calculator calc{LocaleFormats{}, notifications};
    std::shared_ptr<testing::MemoryProgramManager> programs;
    Operand last;
    int reports = 0;
};

// The best of three runs of the algorithm in python3, in seconds; 0 when python3 fails.
double pythonSeconds(const std::string& name, const std::string& source)
{
    static std::map<std::string, double> measured;
    if (auto found = measured.find(name); found != measured.end())
        return found->second;
    std::string escaped;
    for (char c : source)
        escaped += c == '\n' ? std::string("\\n") : c == '\'' ? std::string("\\'") : std::string(1, c);
    const std::string script = "import random,time\n"
                               "code=compile('" + escaped + "','bench','exec')\n"
                               "best=1e9\n"
                               "for _ in range(3):\n"
                               " g={'random':random}\n"
                               " t=time.perf_counter()\n"
                               " exec(code,g)\n"
                               " best=min(best,time.perf_counter()-t)\n"
                               "print(best)\n";
    const std::string path = "/tmp/orvenda-bench-" + name + ".py";
    if (FILE* f = std::fopen(path.c_str(), "w")) {
        std::fputs(script.c_str(), f);
        std::fclose(f);
    }
    double seconds = 0;
    if (FILE* p = popen(("python3 " + path).c_str(), "r")) {
        if (std::fscanf(p, "%lf", &seconds) != 1)
            seconds = 0;
        pclose(p);
    }
    std::remove(path.c_str());
    measured[name] = seconds;
    return seconds;
}

void runBeside(benchmark::State& state, const std::string& name, const std::string& program,
               const std::string& python)
{
    Home home;
    home.programs->store(name, tokens(program));
    const Ops entry = tokens("prgm" + name);
    double best = 1e9;
    double mainCpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpu = testing::threadSeconds();
        const double seconds = home.enter(entry);
        mainCpu += testing::threadSeconds() - cpu;
        wall += seconds;
        best = std::min(best, seconds);
        state.SetIterationTime(seconds);
    }
    if (home.last.error != 0) {
        state.SkipWithError(("the program failed with error " + std::to_string(home.last.error)).c_str());
        return;
    }
    const double py = pythonSeconds(name, python);
    state.counters["best_ms"] = best * 1e3;
    state.counters["python_ms"] = py * 1e3;
    state.counters["ratio"] = py > 0 ? best / py : 0;
    state.counters["main_cpu_%"] = wall > 0 ? 100 * mainCpu / wall : 0;
}

// Each program beside the same algorithm in python3.
struct Beside {
    const char* name;
    const char* program;
    const char* python;
};

const Beside kPrograms[] = {
    {"FORLOOP", "0->A:For(I,1,1000000):A+I->A:End",
     "A=0\n"
     "for I in range(1,1000001):\n"
     "    A=A+I\n"},
    {"WHILELOOP", "0->I:0->A:While I<1000000:I+1->I:If fPart(I/2)=0:A+I->A:End",
     "I=0\n"
     "A=0\n"
     "while I<1000000:\n"
     "    I=I+1\n"
     "    if (I/2)%1==0:\n"
     "        A=A+I\n"},
    // L₁(I) filled with I² for I up to 999, a thousand times.
    {"SQUARES", "999->dim(L₁):For(J,1,1000):For(I,1,999):I²->L₁(I):End:End",
     "L1=[0]*999\n"
     "for J in range(1,1001):\n"
     "    for I in range(1,1000):\n"
     "        L1[I-1]=I*I\n"},
    // The sieve of Eratosthenes to 999, a hundred times.
    {"SIEVE",
     "999->N\n"
     "For(K,1,100)\n"
     "N->dim(L₁)\n"
     "Fill(1,L₁)\n"
     "0->L₁(1)\n"
     "For(I,2,31)\n"
     "If L₁(I)\n"
     "Then\n"
     "For(J,I²,N,I)\n"
     "0->L₁(J)\n"
     "End\n"
     "End\n"
     "End\n"
     "sum(L₁)->P\n"
     "End",
     "N=999\n"
     "for K in range(1,101):\n"
     "    L1=[1]*N\n"
     "    L1[0]=0\n"
     "    for I in range(2,32):\n"
     "        if L1[I-1]:\n"
     "            for J in range(I*I,N+1,I):\n"
     "                L1[J-1]=0\n"
     "    P=sum(L1)\n"},
    // A random walk of 100 000 steps.
    {"WALK", "0->X:For(I,1,100000):X+2randInt(0,1)-1->X:End",
     "X=0\n"
     "for I in range(1,100001):\n"
     "    X=X+2*random.randint(0,1)-1\n"},
};

// Loops that grow a string or a list by one element per pass, at two lengths each: the
// time per pass stays flat when reading, joining, storing and Ans share the buffer and the
// newest copy grows in place. "N" in the program and its python3 twin is the length.
//
// The string loop's twin, as python3 runs it:
//     S="A"
//     for I in range(2,N+1):
//         S=S+"A"
// At module level (the twin beside it) CPython 3.11 makes a new string per pass; inside a
// function it resizes in place. "python_fn_ms" is the same loop in a function, the faster
// yardstick.
//
// Lists stop at 999 elements, so each list loop builds its list twenty times; the twins
// grow theirs in place (L1+=[I], L1.append(I)).
struct Growing {
    const char* name;
    const char* program;
    const char* python;
    bool inFunction;
};

const Growing kGrowing[] = {
    {"STRING", "\"A\"->Str1:For(I,2,N):Str1+\"A\"->Str1:End",
     "S=\"A\"\n"
     "for I in range(2,N+1):\n"
     "    S=S+\"A\"\n",
     true},
    {"AUGMENT", "For(K,1,20):{0}->L₁:For(I,2,N):augment(L₁,{I})->L₁:End:End",
     "for K in range(1,21):\n"
     "    L1=[0]\n"
     "    for I in range(2,N+1):\n"
     "        L1+=[I]\n",
     false},
    {"DIMPLUS", "For(K,1,20):ClrList L₁:For(I,1,N):I->L₁(dim(L₁)+1):End:End",
     "for K in range(1,21):\n"
     "    L1=[]\n"
     "    for I in range(1,N+1):\n"
     "        L1.append(I)\n",
     false},
};

std::string withLength(std::string text, int n)
{
    for (std::size_t at = text.find('N'); at != std::string::npos; at = text.find('N', at))
        text.replace(at, 1, std::to_string(n));
    return text;
}

// The twin's statements inside a function, called once per timed run.
std::string inFunction(const std::string& source)
{
    std::string body = "def f():\n";
    std::size_t start = 0;
    while (start < source.size()) {
        const std::size_t end = source.find('\n', start);
        body += "    " + source.substr(start, end - start) + "\n";
        start = end == std::string::npos ? source.size() : end + 1;
    }
    return body + "f()\n";
}

const bool kRegistered = [] {
    for (const Beside& b : kPrograms)
        benchmark::RegisterBenchmark((std::string("BM_Program/") + b.name).c_str(),
                                     [b](benchmark::State& state) { runBeside(state, b.name, b.program, b.python); })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0);
    for (const Growing& g : kGrowing) {
        const bool string = std::string(g.name) == "STRING";
        for (const int n : string ? std::vector<int>{10000, 30000} : std::vector<int>{250, 999}) {
            const std::string name = g.name + std::to_string(n);
            const std::string program = withLength(g.program, n);
            const std::string python = withLength(g.python, n);
            benchmark::RegisterBenchmark((std::string("BM_Growing/") + name).c_str(),
                                         [=](benchmark::State& state) {
                                             runBeside(state, name, program, python);
                                             const double passes = string ? n : 20.0 * n;
                                             state.counters["ns_per_pass"] = state.counters["best_ms"] * 1e6 / passes;
                                             if (g.inFunction) {
                                                 const double fn = pythonSeconds(name + "F", inFunction(python));
                                                 state.counters["python_fn_ms"] = fn * 1e3;
                                                 state.counters["ratio_fn"] = fn > 0 ? state.counters["best_ms"] / (fn * 1e3) : 0;
                                             }
                                         })
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.5);
        }
    }
    return true;
}();

// An entry of n terms 1+1+...+1, from ENTER to its report.
void BM_LongEntry(benchmark::State& state)
{
    Home home;
    const auto n = static_cast<int>(state.range(0));
    std::string text = "1";
    for (int i = 1; i < n; ++i)
        text += "+1";
    const Ops entry = tokens(text);
    double total = 0;
    for (auto _ : state) {
        const double seconds = home.enter(entry);
        total += seconds;
        state.SetIterationTime(seconds);
    }
    if (home.last.error != 0 || home.last.re() != n)
        state.SkipWithError("the entry gave another answer");
    state.counters["terms"] = n;
    state.counters["ns_per_term"] = total * 1e9 / (static_cast<double>(n) * static_cast<double>(state.iterations()));
}
BENCHMARK(BM_LongEntry)->Arg(1000)->Arg(10000)->Arg(50000)->UseManualTime()->Unit(benchmark::kMillisecond);

// ON while a loop runs: the time from the stop to the run's report (error 43).
void BM_StopLatency(benchmark::State& state)
{
    Home home;
    home.programs->store("SPIN", tokens("While 1:I+1->I:End"));
    const Ops entry = tokens("prgmSPIN");
    for (auto _ : state) {
        const int before = home.reports;
        home.parser().startProgramThread(entry);
        // Let the loop get going.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const auto start = Clock::now();
        home.parser().stopProgramThread();
        home.loop.runUntil([&] { return home.reports != before; });
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (home.last.error != 43)
            state.SkipWithError("the loop did not end with error 43");
    }
}
BENCHMARK(BM_StopLatency)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
} // namespace orvenda
