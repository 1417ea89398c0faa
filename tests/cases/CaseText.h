#pragma once

// Text as the case files write it: lines trimmed of blanks, "\n" standing for a line break
// in an expected answer.

#include <string>
#include <string_view>

namespace orvenda::cases {

inline std::string trim(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r");
    return std::string(s.substr(first, last - first + 1));
}

inline std::string unescape(std::string_view s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

} // namespace orvenda::cases
