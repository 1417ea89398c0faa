#pragma once

#include "input/MenuRouterLink.h"

namespace orvenda {

class SupportActions;

class ShareExport;

// The menus' picks as the router's, and their share selections as the export's share
// requests. Main thread.
class ShareMenuLink : public MenuRouterLink {
public:
    ShareMenuLink(ScreenRouter& router, ShareExport& exporter, SupportActions* support = nullptr)
        : MenuRouterLink(router), export_(exporter), support_(support)
    {
    }

    std::optional<ShareRequest> sharePrograms(const std::vector<std::string>& names, int type) override;
    std::optional<ShareRequest> shareLists(const std::vector<std::string>& names, int type) override;
    std::optional<ShareRequest> shareMatrices(const std::vector<std::uint32_t>& tokens, int type) override;
    std::optional<ShareRequest> shareVars(const std::vector<std::uint32_t>& tokens) override;
    std::optional<ShareRequest> shareEquations(const std::vector<std::uint32_t>& tokens) override;
    std::optional<ShareRequest> shareStrings(const std::vector<std::uint32_t>& tokens) override;
    std::optional<ShareRequest> shareGDBs(const std::vector<std::string>& names) override;
    std::optional<ShareRequest> shareHistory() override;
    std::optional<ShareRequest> shareLastCalculation() override;
    void askQuestion() override;
    void reportBug() override;
    void leaveReview() override;

private:
    ShareExport& export_;
    SupportActions* support_;
};

} // namespace orvenda
