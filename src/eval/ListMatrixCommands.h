#pragma once

#include "core/Operand.h"

#include <optional>

namespace orvenda {

class Calculator;
class Parser;
class VQStack;
struct EvalRun;

// The one-byte tokens that build and change lists and matrices: the list and row literals
// { and [, the matrix closer ], ClrList, SortA( and SortD(, Fill(, sum( and prod(, and the row
// operations rowSwap(, row+(, *row( and *row+(. Each finds its argument count in the
// run's number, takes its arguments last-first off the evaluation stack and fills R.
//
// Commands that change a stored list or matrix (ClrList, the sorts, Fill() work on the
// variable itself, so the change outlasts the command.
class ListMatrixCommands {
public:
    explicit ListMatrixCommands(Parser& parser);

    static bool handles(int token);
    // False for a token not of this family; otherwise R is filled or the error is set.
    bool handle(EvalRun& run);

private:
    bool fail(int error, int location, EvalRun& run);
    std::optional<Operand> popArgument(EvalRun& run, bool (*accepts)(const Operand&), int error);
    bool opFailed(const Operand& result, EvalRun& run);
    void buildList(EvalRun& run, int maxCount);
    void buildMatrix(EvalRun& run);
    void clearLists(EvalRun& run);
    void sort(EvalRun& run);
    void fill(EvalRun& run);
    void sumOrProduct(EvalRun& run);
    void rowOperation(EvalRun& run);
    // Takes an argument raw, so a list or matrix variable can be written back after it
    // was changed; a list or matrix that is no variable (Ans, a literal) gets a copy of its
    // own to change.
    std::optional<Operand> popTarget(EvalRun& run, Operand& raw);
    // Stores a variable's changed value; false, with the Memory error, when it cannot be.
    bool writeBack(const Operand& raw, const Operand& value, EvalRun& run);

    Parser& p_;
    Calculator& calc_;
};

} // namespace orvenda
