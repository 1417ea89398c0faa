#pragma once

namespace orvenda {

// The equation solver's model, created by the solver app when first used. The calculator
// only holds it.
class SolverManager {
public:
    virtual ~SolverManager() = default;
};

} // namespace orvenda
