#pragma once

#include <nlohmann/json.hpp>

namespace orvenda {

// How the calculator asks the root controller to show screens, errors and program state.
// Nothing is read back. Calls come on the main thread.
class ViewControlDelegate {
public:
    virtual ~ViewControlDelegate() = default;

    // Refresh the visible screen.
    virtual void VCUpdateDisplay() = 0;
    virtual void VCShowGraph(bool show) = 0;
    // The graph screen's content changed.
    virtual void VCGraphChanged() = 0;
    virtual void VCProgramRunning(bool running) = 0;
    virtual void VCPauseProgram() = 0;
    virtual void VCShowProgramOutput() = 0;
    virtual void VCShowDebugger(bool show) = 0;
    virtual void VCSuspendDebugger() = 0;
    // {"errorNum": n}, plus "programName" and "tokenLocation" for an error in a program.
    virtual void VCShowError(const nlohmann::json& error) = 0;
    virtual void VCShowPeriodicTable() = 0;
    virtual void VCShowStatTest(int token) = 0;
    virtual void VCShowGeometry(int token) = 0;
    // Graph the solver equation in the given window.
    virtual void VCShowSolverPlot(const nlohmann::json& window) = 0;
    // Show the table screen.
    virtual void VCShowTable() {}
};

} // namespace orvenda
