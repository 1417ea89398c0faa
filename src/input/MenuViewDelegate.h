#pragma once

#include "platform/ShareRequest.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

// What the menu overlay hands back: a token to insert, a name, a matrix, a program, a
// graph database, a screen to open, or that it closed without a pick; and the share
// requests of the SHARE menus' selections (nothing to share unless overridden). Every
// message does nothing unless overridden. Main thread.
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

    // Programs: type 1 a listing PDF of the first, else one calculator file. Lists and
    // matrices: type 2 CSV, else a calculator file.
    virtual std::optional<ShareRequest> sharePrograms(const std::vector<std::string>& /*names*/, int /*type*/) { return {}; }
    virtual std::optional<ShareRequest> shareLists(const std::vector<std::string>& /*names*/, int /*type*/) { return {}; }
    virtual std::optional<ShareRequest> shareMatrices(const std::vector<std::uint32_t>& /*tokens*/, int /*type*/) { return {}; }
    virtual std::optional<ShareRequest> shareVars(const std::vector<std::uint32_t>& /*tokens*/) { return {}; }
    virtual std::optional<ShareRequest> shareEquations(const std::vector<std::uint32_t>& /*tokens*/) { return {}; }
    virtual std::optional<ShareRequest> shareStrings(const std::vector<std::uint32_t>& /*tokens*/) { return {}; }
    virtual std::optional<ShareRequest> shareGDBs(const std::vector<std::string>& /*names*/) { return {}; }
    virtual std::optional<ShareRequest> shareHistory() { return {}; }
    virtual std::optional<ShareRequest> shareLastCalculation() { return {}; }
    // The share sheet finished.
    virtual void completedActionDialog() {}
    // The about page's support actions: the question and the bug report mails, the review.
    virtual void askQuestion() {}
    virtual void reportBug() {}
    virtual void leaveReview() {}
};

} // namespace orvenda
