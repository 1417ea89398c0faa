// Descriptions of the EF page beyond the codes keyed by their symbolic names: the other
// localisation keys and the few plain texts.

#include "language/Vocabulary.h"

#include <iterator>

namespace orvenda {

std::span<const Vocabulary::CodeText> Vocabulary::EFOpDescriptionKeys()
{
    static constexpr CodeText keys[] = {
        {0xEF41, "F_BLUE"},
        {0xEF42, "F_RED"},
        {0xEF43, "F_BLACK"},
        {0xEF44, "F_MAGENTA"},
        {0xEF45, "F_GREEN"},
        {0xEF46, "F_ORANGE"},
        {0xEF47, "F_BROWN"},
        {0xEF48, "F_NAVY"},
        {0xEF49, "F_LTBLUE"},
        {0xEF4A, "F_YELLOW"},
        {0xEF4B, "F_WHITE"},
        {0xEF4C, "F_LTGREY"},
        {0xEF4D, "F_MEDGREY"},
        {0xEF4E, "F_GREY"},
        {0xEF4F, "F_DARKGREY"},
        {0xEF5A, "F_GRIDLINE"},
        {0xEF5B, "F_BACKGROUND_ON"},
        {0xEF64, "F_BACKGROUND_OFF"},
        {0xEF65, "F_GRAPH_COLOR"},
        {0xEF67, "F_TEXT_COLOR"},
        {0xEF6C, "F_BORDER_COLOR"},
        {0xEF92, "F_LEFT_TAIL"},
        {0xEF93, "F_CENTER_TAIL"},
        {0xEF94, "F_RIGHT_TAIL"},
        {0xEF95, "F_INV_BINOM"},
        {0xEF97, "F_TO_STRING"},
        {0xEF98, "F_EVAL"},
    };
    static_assert(std::size(keys) == 27);
    return keys;
}

std::span<const Vocabulary::CodeText> Vocabulary::EFOpPlainDescriptions()
{
    static constexpr CodeText texts[] = {
        {0xEF11, "OpenLib(library)"},
        {0xEF38, "n/d"},
        {0xEF39, "U␣n/d"},
        {0xEF3A, "AUTO answer"},
        {0xEF3B, "DEC answer"},
        {0xEF3C, "FRAC answer"},
    };
    return texts;
}

} // namespace orvenda
