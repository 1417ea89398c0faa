#pragma once

#include "input/MenuRouterLink.h"

namespace orvenda {

class ShareExport;

// The menus' picks as the router's, and their share selections as the export's share
// requests. Main thread.
class ShareMenuLink : public MenuRouterLink {
public:
    ShareMenuLink(ScreenRouter& router, ShareExport& exporter) : MenuRouterLink(router), export_(exporter) {}

    std::optional<ShareRequest> sharePrograms(const std::vector<std::string>& names, int type) override;
    std::optional<ShareRequest> shareLists(const std::vector<std::string>& names, int type) override;
    std::optional<ShareRequest> shareMatrices(const std::vector<std::uint32_t>& tokens, int type) override;
    std::optional<ShareRequest> shareVars(const std::vector<std::uint32_t>& tokens) override;
    std::optional<ShareRequest> shareEquations(const std::vector<std::uint32_t>& tokens) override;
    std::optional<ShareRequest> shareStrings(const std::vector<std::uint32_t>& tokens) override;
    std::optional<ShareRequest> shareGDBs(const std::vector<std::string>& names) override;
    std::optional<ShareRequest> shareHistory() override;
    std::optional<ShareRequest> shareLastCalculation() override;

private:
    ShareExport& export_;
};

} // namespace orvenda
