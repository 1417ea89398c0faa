#include "language/Localization.h"

namespace orvenda {

std::span<const Localization::Entry> Localization::descriptionTexts()
{
    static constexpr Entry kTexts[] = {
    {"F_NPV", "npv(interest rate,CF0,CFList[,CFFreq])"},
    };
    return kTexts;
}

} // namespace orvenda
