#include "language/Localization.h"

namespace orvenda {

std::span<const Localization::Entry> Localization::errorTexts()
{
    static constexpr Entry kTexts[] = {
    {"ERROR_NONE", "No error"},
    {"PARSE_ERROR_SYNTAX", "Syntax error"},
    };
    return kTexts;
}

} // namespace orvenda
