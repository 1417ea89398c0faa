#include "input/KeyboardRouterLink.h"

#include "app/ScreenRegistry.h"
#include "app/ScreenRouter.h"
#include "input/MenuScreen.h"

#include <QString>

namespace orvenda {

void KeyboardRouterLink::displayChanged() { router_.displayChanged(); }
void KeyboardRouterLink::showYEQ() { router_.showScreen(screens::YEq); }
void KeyboardRouterLink::showWindow() { router_.showScreen(screens::Window); }
void KeyboardRouterLink::showGraphView(bool show) { router_.showGraphView(show); }
void KeyboardRouterLink::showMode() { router_.showOverlay(screens::Mode); }
void KeyboardRouterLink::showHome() { router_.showHome(); }
void KeyboardRouterLink::showMenu(int menuId) { router_.showMenu(menuId); }
void KeyboardRouterLink::showPlotMenu() { router_.showScreen(screens::StatPlots); }
void KeyboardRouterLink::showTableSet() { router_.showScreen(screens::TableSetup); }
void KeyboardRouterLink::showFormat() { router_.showScreen(screens::Format); }
void KeyboardRouterLink::showTable() { router_.showScreen(screens::Table); }
void KeyboardRouterLink::showConversions() { router_.showOverlay(screens::Conversions); }
void KeyboardRouterLink::showCatalog(const std::string& search) { router_.showCatalog(QString::fromStdString(search)); }
void KeyboardRouterLink::showMatrixPrompt() { router_.showScreen(screens::MatrixPrompt); }
void KeyboardRouterLink::showUserKeyCatalog() { router_.showOverlay(screens::KeyCatalog); }
void KeyboardRouterLink::showInfo() { router_.showInfo(); }
void KeyboardRouterLink::showSolver() { router_.showScreen(screens::Solver); }
void KeyboardRouterLink::showTVMSolver() { router_.showScreen(screens::Finance); }
void KeyboardRouterLink::showChemSolver() { router_.showScreen(screens::Chemistry); }
void KeyboardRouterLink::showPolySolver() { router_.showScreen(screens::Polynomial); }
void KeyboardRouterLink::showSimulEqSolver() { router_.showScreen(screens::SimulEq); }

bool KeyboardRouterLink::showHelpForOp(std::uint32_t op, QRectF keyFrame)
{
    router_.showFunctionHelp(op, keyFrame.toAlignedRect());
    return true;
}

bool KeyboardRouterLink::overlayTakesKey(std::uint32_t op)
{
    if (router_.frontId() != screens::Menu)
        return false;
    auto* menu = dynamic_cast<MenuScreen*>(router_.controller(screens::Menu));
    if (!menu)
        return false;
    menu->processKeyOp(op);
    return true;
}

} // namespace orvenda
