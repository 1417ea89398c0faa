#include "numeric/StringFunctions.h"

#include <algorithm>
#include <cmath>

namespace orvenda {

std::optional<StringFunctions::Ops> StringFunctions::subString(Tokens string, double begin, double length)
{
    // Compared as doubles, so no huge value is converted before it is known to fit.
    const double count = static_cast<double>(string.size());
    if (!(begin >= 0.0) || begin >= count || !(length >= 0.0) || begin + length > count)
        return std::nullopt;
    const auto first = string.begin() + static_cast<std::ptrdiff_t>(begin);
    return Ops(first, first + static_cast<std::ptrdiff_t>(length));
}

double StringFunctions::inString(Tokens string, Tokens sub, double start)
{
    if (!(start >= 1.0) || start > static_cast<double>(string.size()))
        return 0.0;
    const auto from = string.begin() + static_cast<std::ptrdiff_t>(start) - 1;
    const auto found = std::search(from, string.end(), sub.begin(), sub.end());
    if (found == string.end())
        return 0.0;
    return static_cast<double>(found - string.begin() + 1);
}

} // namespace orvenda
