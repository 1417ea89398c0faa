#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda {

// An entry line written as text, as test scripts and case files write one, back into
// tokens: the longest token name that matches at each place wins. "-" is a negation unless
// it directly follows a value, where it subtracts; "—" always subtracts; "->" stands for
// "➞" and "prgm" for the program token; blanks between tokens are dropped outside strings;
// a new line stays a new line.
class EntryText {
public:
    using Ops = std::vector<std::uint32_t>;

    EntryText();

    // Nothing when some text matches no token name; `bad` then holds the text from there.
    std::optional<Ops> toOps(std::string_view text, std::string& bad) const;
    // The same, reading no further than maxOps tokens: nothing, with `tooLong` set and `bad`
    // empty, when the text holds more.
    std::optional<Ops> toOps(std::string_view text, std::string& bad, std::size_t maxOps, bool& tooLong) const;

private:
    std::map<std::string, std::uint32_t, std::less<>> names_;
    // The lengths of the names that start with each byte, longest first: only those are
    // looked up at a place.
    std::array<std::vector<std::size_t>, 256> lengthsFrom_;
};

} // namespace orvenda
