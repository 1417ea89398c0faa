#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvenda {

// What the menu overlay hands back: a token to insert, a name, a matrix, a program, a
// graph database, a screen to open, or that it closed without a pick. Every message does
// nothing unless overridden. Main thread.
class MenuViewDelegate {
public:
    virtual ~MenuViewDelegate() = default;

    virtual void didPickOp(std::uint32_t /*op*/) {}
    virtual void didPickVariable(const std::string& /*name*/) {}
    virtual void didPickMatrix(int /*n*/, bool /*edit*/) {}
    virtual void executeProgram(const std::string& /*name*/) {}
    virtual void editProgram(const std::string& /*name*/) {}
    virtual void pasteOps(const std::vector<std::uint32_t>& /*ops*/) {}
    virtual void saveGDB(const std::string& /*name*/) {}
    virtual void recallGDB(const std::string& /*name*/) {}
    virtual void showStatTest(int /*token*/) {}
    virtual void showGeometry(int /*token*/) {}
    virtual void showPeriodicTable() {}
    virtual void showPolySolver() {}
    virtual void showSimulEqSolver() {}
    virtual void menuCanceled() {}
};

} // namespace orvenda
