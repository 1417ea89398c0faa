#include "input/MenuRouterLink.h"

#include "app/ScreenRegistry.h"
#include "app/ScreenRouter.h"

namespace orvenda {

void MenuRouterLink::didPickOp(std::uint32_t op) { router_.didPickOp(op); }
void MenuRouterLink::didPickVariable(const std::string& name) { router_.didPickVariable(name); }
void MenuRouterLink::didPickMatrix(int n, bool edit) { router_.didPickMatrix(n, edit); }
void MenuRouterLink::executeProgram(const std::string& name) { router_.executeProgram(name); }
void MenuRouterLink::editProgram(const std::string& name) { router_.editProgram(name); }
void MenuRouterLink::pasteOps(const std::vector<std::uint32_t>& ops) { router_.pasteOps(ops); }
void MenuRouterLink::saveGDB(const std::string& name) { router_.saveGDB(name); }
void MenuRouterLink::recallGDB(const std::string& name) { router_.recallGDB(name); }
void MenuRouterLink::showStatTest(int token) { router_.showStatTest(token); }
void MenuRouterLink::showGeometry(int token) { router_.showGeometry(token); }
void MenuRouterLink::showPeriodicTable() { router_.showPeriodicTable(); }
void MenuRouterLink::showPolySolver() { router_.showScreen(screens::Polynomial); }
void MenuRouterLink::showSimulEqSolver() { router_.showScreen(screens::SimulEq); }
void MenuRouterLink::menuCanceled() { router_.overlayDone(); }
void MenuRouterLink::completedActionDialog() { router_.overlayDone(); }

} // namespace orvenda
