#include "language/Localization.h"

namespace orvenda {

std::span<const Localization::Entry> Localization::opcodeTexts()
{
    static constexpr Entry kTexts[] = {
    {"OPCODE_00", ""},
    };
    return kTexts;
}

} // namespace orvenda
