#pragma once

#include "core/Operand.h"
#include "core/VQStack.h"
#include "eval/JoinStatement.h"
#include "eval/RealStatement.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;
class Parser;
class ProgramQueue;

// Runs an op array statement by statement on the program queue: an entry line, a
// program, a label started by a graph-screen control, or the continuation of a program
// that waited. Per statement it parses (or takes the cached RPN), evaluates, and acts on
// the kind of the result: it stores Ans, follows compiled jumps, keeps the frames of
// program calls, subroutines and waits, hands output to the main thread, and reports
// once at the end. It is the only place where program control flow happens.
class StatementInterpreter {
public:
    using Ops = std::vector<std::uint32_t>;

    StatementInterpreter(Parser& parser, ProgramQueue& queue) : p_(parser), q_(queue) {}

    // One run as the program queue submitted it.
    struct Run {
        // Given by the queue at submission; stop and clean-up cancel by it.
        std::uint64_t id = 0;
        // Null continues the top frame.
        std::shared_ptr<Ops> ops;
        std::string name;
        bool singleStep = false;
        // Negative: ops is an entry line (run from index 0, immediate mode).
        int start = 0;
        // A queued subroutine's own run, which takes no further queued ones.
        bool interrupt = false;
        // Without it the final report carries kind 54.
        bool report = true;
        // A widget's subroutine: it never unwinds the frames it found.
        bool widget = false;
    };

    // Runs on the worker, holding the calculator's state lock except while it waits for
    // the main thread; reports once at the end.
    void runProgramOps(const Run& run);

    // The index after the first "Lbl " with that label text, -1 when none.
    int findLabel(const std::string& label, const Ops& inOps);
    // Packs a label text as the parser reads labels: A-Z and digits keep their code, any
    // other character counts as θ.
    static unsigned packLabel(const std::string& label);
    // Moves the top frame to the label and, unless stepping, continues it with an entry
    // run of a new line. The index of the "Lbl " token; -1 without a frame or label.
    int jumpToLabel(unsigned label, bool stepping);

    // Keys while a menu is shown (main thread).
    void menuKey(int key);
    // Keys while paused (main thread).
    void pauseKey(int key);

    // Stores an answer typed at a prompt into the variable the prompt waits for.
    static void storeAnswer(Parser& parser, const Operand& value, const Operand& target);
    // An answer typed for a list or a string prompt gets its opening mark, unless it opens
    // as one (a list's name, a string variable) or is Ans holding one.
    static void markAnswer(Ops& ops, const Operand& wanted, const Calculator& calc);

    // Empties the RPN cache (the op array's indexes change meaning). The lines stay alive
    // until the statement being run has ended.
    void clearLineCache();

private:
    class Runner;

    struct CachedLine {
        VQStack rpn;
        int next = 0;
        // The same statement on plain reals, when it is one of those RealStatement takes.
        std::unique_ptr<RealStatement> real;
        // The same statement as a string join onto its variable, when it is one.
        std::unique_ptr<JoinStatement> join;
        // The For( statement as its End runs it again (the token stepped to ForNext(),
        // made on the first pass through that End.
        std::optional<VQStack> stepping;
        std::unique_ptr<RealStatement> steppingReal;
        // An End's loop statement (For( or Repeat) once the fast path has found it, cached
        // with it, and whether the End steps the For( variable.
        CachedLine* loop = nullptr;
        bool loopSteps = false;
    };

    // The statement starting at `at`, from the cache or parsed and cached (with its fast
    // form when `fast`); null on a parse error. The line stays valid until the next
    // statement starts, even when a nested compile empties the cache meanwhile.
    CachedLine* lineAt(Ops* ops, int at, bool fast)
    {
        const auto i = static_cast<std::size_t>(at);
        if (i < lines_.size() && lines_[i])
            return lines_[i].get();
        return parseLine(ops, at, fast);
    }
    CachedLine* parseLine(Ops* ops, int at, bool fast);
    // The statement starting at `at` when it is cached, else null.
    CachedLine* cachedAt(int at) const
    {
        const auto i = static_cast<std::size_t>(at);
        return i < lines_.size() ? lines_[i].get() : nullptr;
    }
    // The For( statement of a loop as its End runs it again.
    void makeStepping(CachedLine& loop);
    // Lines emptied from the cache while a statement ran, let go between statements.
    void releaseRetiredLines()
    {
        if (!retired_.empty())
            retired_.clear();
    }
    // Evaluates a statement's RPN as the statement being run, into `into`.
    void evalLine(const VQStack& rpn, bool immediate, Operand& into);

    Parser& p_;
    ProgramQueue& q_;
    // Statement start index -> its RPN and the index after it. Worker thread only.
    std::vector<std::unique_ptr<CachedLine>> lines_;
    std::vector<std::vector<std::unique_ptr<CachedLine>>> retired_;
};

} // namespace orvenda
