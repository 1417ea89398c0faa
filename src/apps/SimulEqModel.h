#pragma once

#include "core/VQMatrix.h"

#include <optional>
#include <string>

namespace orvenda {

class Calculator;

// The simultaneous equation solver's data: the augmented system (one row per equation,
// one column per unknown and the constants last), its reduced row-echelon form and its
// solution, kept in the calculator. Main thread.
class SimulEqModel {
public:
    explicit SimulEqModel(Calculator& calc) : calc_(calc) {}

    // SOLVE: the RREF and the solution; false (both cleared) when the reduction fails.
    bool solve();
    bool hasSolution() const;
    // The value of each unknown, one row per unknown (a free unknown takes 0), whatever
    // the order of the pivots and however many equations there are; none without a
    // solution.
    std::optional<VQMatrix> solutionColumn() const;
    // CLR: every element 0, the size kept.
    void clear();
    // "[A]"…"[J]" as 0…9; none for any other name.
    static std::optional<int> matrixIndex(const std::string& name);
    // STO SOLN and STO RREF into the matrix named; false (nothing stored) for a name
    // outside [A]…[J] or nothing to store.
    bool storeSolution(const std::string& name);
    bool storeRRef(const std::string& name);

private:
    bool store(const std::string& name, const std::optional<VQMatrix>& matrix);

    Calculator& calc_;
};

} // namespace orvenda
