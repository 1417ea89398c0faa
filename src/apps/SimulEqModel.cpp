#include "apps/SimulEqModel.h"

#include "core/Calculator.h"

namespace orvenda {

bool SimulEqModel::solve()
{
    calc_.simulRRefMatrix.reset();
    calc_.simulSolution.reset();
    VQMatrix system = calc_.simulMatrix;
    auto reduced = system.rref();
    if (!reduced || system.error() != 0)
        return false;
    calc_.simulSolution = reduced->rrefSolution();
    calc_.simulRRefMatrix = std::move(reduced);
    return true;
}

bool SimulEqModel::hasSolution() const { return calc_.simulSolution.has_value(); }

std::optional<VQMatrix> SimulEqModel::solutionColumn() const
{
    // The solution has a row per unknown (its pivot row moved onto the unknown's diagonal,
    // zeros for a free unknown): its last column lines up with the unknowns, while the
    // RREF's last column follows the equations.
    const auto& solution = calc_.simulSolution;
    if (!solution || solution->dimCol() == 0)
        return std::nullopt;
    return solution->column(solution->dimCol() - 1);
}

void SimulEqModel::clear() { calc_.simulMatrix.fill(SNum{0, 0, 0}); }

std::optional<int> SimulEqModel::matrixIndex(const std::string& name)
{
    if (name.size() == 3 && name[0] == '[' && name[2] == ']' && name[1] >= 'A' && name[1] <= 'J')
        return name[1] - 'A';
    return std::nullopt;
}

bool SimulEqModel::store(const std::string& name, const std::optional<VQMatrix>& matrix)
{
    const auto index = matrixIndex(name);
    if (!index || !matrix)
        return false;
    const auto hold = calc_.lockState();
    return calc_.storeMatrix(static_cast<std::size_t>(*index), *matrix);
}

bool SimulEqModel::storeSolution(const std::string& name) { return store(name, solutionColumn()); }

bool SimulEqModel::storeRRef(const std::string& name) { return store(name, calc_.simulRRefMatrix); }

} // namespace orvenda
