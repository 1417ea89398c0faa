// Spoken names of the one-byte, BB and EF pages where they differ from the display name.
// Until a page's list is filled in, every token of it is spoken as displayed.

#include "language/Vocabulary.h"

namespace orvenda {

std::span<const Vocabulary::CodeText> Vocabulary::singleByteSpeakOverrides()
{
    return {};
}

std::span<const Vocabulary::CodeText> Vocabulary::BBOpSpeakOverrides()
{
    return {};
}

std::span<const Vocabulary::CodeText> Vocabulary::EFOpSpeakOverrides()
{
    return {};
}

} // namespace orvenda
