#pragma once

#include "core/Operand.h"

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <vector>

namespace orvenda {

class Calculator;
class Parser;
class VQList;
struct EvalRun;

// The seventeen test and interval commands (Z-Test( to LinRegTInt). Each takes its
// arguments off the evaluation stack, puts its inputs into the statistics variables, has
// StatTests compute from them and answers a result of its own kind (14 to 30), whose text
// reads those variables back.
//
// Arguments follow the calculator family's forms: summary statistics or data lists (with
// optional frequency lists, "1" for none), then the optional alternative (negative less
// than, 0 not equal, positive greater than), the pooled switch and a draw flag, or the
// confidence level (a fraction, or a percentage from 1 to 100; 0.95 when left out).
// Omitted lists are L₁ and L₂. The draw flag is accepted and has no effect here. On any
// error the statistics variables are as they were.
class StatTestCommands {
public:
    explicit StatTestCommands(Parser& parser);

    static bool handles(int token);
    // Fills R with the result or sets the error.
    void handle(EvalRun& run);

private:
    struct Arg {
        Operand raw;    // as popped (a variable reference stays one)
        Operand value;  // resolved, except equation references
    };

    bool popArguments(EvalRun& run, int min, int max);
    int count() const { return static_cast<int>(args_.size()); }
    bool fail(int error, int location);
    bool failAt(int error, std::size_t i);
    bool isList(std::size_t i) const;
    bool real(std::size_t i, double& v);
    // The list at i, or the named default when there are not that many arguments.
    const VQList* list(std::size_t i, const char* fallback);
    // The frequency list at i: none when left out or 1.
    bool frequencies(std::size_t i, const VQList* data, const VQList*& freq);
    // Count, mean and deviation of a data list (with its frequencies) into three slots.
    bool sample(std::size_t listAt, const char* fallback, std::size_t freqAt, int nSlot, int meanSlot, int sxSlot);
    bool reals(std::size_t first, std::initializer_list<int> slots);
    // The optional alternative at i into the variable and h.
    bool alternative(std::size_t i, int& h);
    bool flag(std::size_t i, bool& on);
    bool confidence(std::size_t i);
    bool needs(int least);
    // Where a procedure's samples stand and what they give: from argument `at` on either
    // one or two data lists (then their frequency lists; L₁ and L₂ when left out), or the
    // summary values into their variables.
    struct Form {
        std::size_t at;
        int lists;
        bool deviations;  // the data's Sx goes into the variables too
        std::initializer_list<int> summary;
        int dataMost;     // most arguments the data form takes
    };
    // rest is the index of the argument after the samples.
    bool samples(const Form& form, std::size_t& rest);
    bool zTest(EvalRun& run);
    bool tTest(EvalRun& run);
    bool twoSampZTest(EvalRun& run);
    bool twoSampTTest(EvalRun& run);
    bool onePropZTest(EvalRun& run);
    bool twoPropZTest(EvalRun& run);
    bool zInterval(EvalRun& run);
    bool tInterval(EvalRun& run);
    bool twoSampZInt(EvalRun& run);
    bool twoSampTInt(EvalRun& run);
    bool onePropZInt(EvalRun& run);
    bool twoPropZInt(EvalRun& run);
    bool chiSquareTest(EvalRun& run);
    bool chiSquareGof(EvalRun& run);
    bool twoSampFTest(EvalRun& run);
    bool linRegT(EvalRun& run, bool interval);
    bool computed(int error);

    Parser& p_;
    Calculator& calc_;
    std::vector<Arg> args_;
    int location_ = 0;
};

} // namespace orvenda
