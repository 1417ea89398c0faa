#pragma once

#include <QRectF>

#include <cstdint>
#include <string>

namespace orvenda {

// What the calculator keyboard asks of the screen router: redraw after a key, a key's help
// page, and the screen and menu keys. Every message is optional (does nothing unless
// overridden); showHelpForOp answers whether it showed the help. Main thread.
class KeyboardViewDelegate {
public:
    virtual ~KeyboardViewDelegate() = default;

    virtual void displayChanged() {}
    // False when help pages cannot be shown; help mode then ends silently. keyFrame is the
    // touched key in global coordinates (empty for a key typed on the computer).
    virtual bool showHelpForOp(std::uint32_t /*op*/, QRectF /*keyFrame*/) { return false; }
    // A key held while an ENTER waited, its turn come while a menu covers the keyboard: the
    // menu takes it as its keypad. False when nothing over the keyboard took it.
    virtual bool overlayTakesKey(std::uint32_t /*op*/) { return false; }
    virtual void showYEQ() {}
    virtual void showWindow() {}
    virtual void showGraphView(bool /*show*/) {}
    virtual void showMode() {}
    virtual void showHome() {}
    // Menu ids 0..36.
    virtual void showMenu(int /*menuId*/) {}
    virtual void showPlotMenu() {}
    virtual void showTableSet() {}
    virtual void showFormat() {}
    virtual void showTable() {}
    virtual void showConversions() {}
    // "" from the CATALOG key; the typed letter from a hardware key.
    virtual void showCatalog(const std::string& /*search*/) {}
    virtual void showMatrixPrompt() {}
    virtual void showUserKeyCatalog() {}
    virtual void showInfo() {}
    virtual void showSolver() {}
    virtual void showTVMSolver() {}
    virtual void showChemSolver() {}
    virtual void showPolySolver() {}
    virtual void showSimulEqSolver() {}
};

} // namespace orvenda
