#pragma once

#include "input/MenuViewDelegate.h"

namespace orvenda {

class ScreenRouter;

// The menus' picks as the screen router's pick operations. Main thread.
class MenuRouterLink : public MenuViewDelegate {
public:
    explicit MenuRouterLink(ScreenRouter& router) : router_(router) {}

    void didPickOp(std::uint32_t op) override;
    void didPickVariable(const std::string& name) override;
    void didPickMatrix(int n, bool edit) override;
    void executeProgram(const std::string& name) override;
    void editProgram(const std::string& name) override;
    void pasteOps(const std::vector<std::uint32_t>& ops) override;
    void saveGDB(const std::string& name) override;
    void recallGDB(const std::string& name) override;
    void showStatTest(int token) override;
    void showGeometry(int token) override;
    void showPeriodicTable() override;
    void showPolySolver() override;
    void showSimulEqSolver() override;
    void menuCanceled() override;
    void completedActionDialog() override;

private:
    ScreenRouter& router_;
};

} // namespace orvenda
