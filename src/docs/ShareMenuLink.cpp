#include "docs/ShareMenuLink.h"

#include "docs/ShareExport.h"
#include "docs/SupportActions.h"

namespace orvenda {

std::optional<ShareRequest> ShareMenuLink::sharePrograms(const std::vector<std::string>& names, int type)
{
    return export_.sharePrograms(names, type);
}

std::optional<ShareRequest> ShareMenuLink::shareLists(const std::vector<std::string>& names, int type)
{
    return export_.shareLists(names, type);
}

std::optional<ShareRequest> ShareMenuLink::shareMatrices(const std::vector<std::uint32_t>& tokens, int type)
{
    return export_.shareMatrices(tokens, type);
}

std::optional<ShareRequest> ShareMenuLink::shareVars(const std::vector<std::uint32_t>& tokens)
{
    return export_.shareVars(tokens);
}

std::optional<ShareRequest> ShareMenuLink::shareEquations(const std::vector<std::uint32_t>& tokens)
{
    return export_.shareEquations(tokens);
}

std::optional<ShareRequest> ShareMenuLink::shareStrings(const std::vector<std::uint32_t>& tokens)
{
    return export_.shareStrings(tokens);
}

std::optional<ShareRequest> ShareMenuLink::shareGDBs(const std::vector<std::string>& names)
{
    return export_.shareGDBs(names);
}

std::optional<ShareRequest> ShareMenuLink::shareHistory() { return export_.shareHistory(); }

std::optional<ShareRequest> ShareMenuLink::shareLastCalculation() { return export_.shareLastCalculation(); }

void ShareMenuLink::askQuestion()
{
    if (support_)
        support_->mailTechSupport();
}

void ShareMenuLink::reportBug()
{
    if (support_)
        support_->reportBug();
}

void ShareMenuLink::leaveReview()
{
    if (support_)
        support_->leaveReview();
}

} // namespace orvenda
