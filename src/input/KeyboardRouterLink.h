#pragma once

#include "input/KeyboardViewDelegate.h"

namespace orvenda {

class ScreenRouter;

// The calculator keyboard's screen and menu keys as the screen router's show operations;
// a key touched in help mode opens its help screen. Main thread.
class KeyboardRouterLink : public KeyboardViewDelegate {
public:
    explicit KeyboardRouterLink(ScreenRouter& router) : router_(router) {}

    void displayChanged() override;
    void showYEQ() override;
    void showWindow() override;
    void showGraphView(bool show) override;
    void showMode() override;
    void showHome() override;
    void showMenu(int menuId) override;
    void showPlotMenu() override;
    void showTableSet() override;
    void showFormat() override;
    void showTable() override;
    void showConversions() override;
    void showCatalog(const std::string& search) override;
    void showMatrixPrompt() override;
    void showUserKeyCatalog() override;
    void showInfo() override;
    void showSolver() override;
    void showTVMSolver() override;
    void showChemSolver() override;
    void showPolySolver() override;
    void showSimulEqSolver() override;
    bool showHelpForOp(std::uint32_t op, QRectF keyFrame) override;
    bool overlayTakesKey(std::uint32_t op) override;

private:
    ScreenRouter& router_;
};

} // namespace orvenda
