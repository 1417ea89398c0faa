#include "drawing/VObject.h"

#include <charconv>
#include <cmath>

namespace orvenda {

namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

} // namespace

VObject::~VObject() = default;

std::vector<std::string> VObject::componentsFromString(std::string_view list)
{
    std::vector<std::string> items;
    // Each stretch between commas gives its words, or one empty item when it has none.
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        const std::string_view part = list.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        const std::size_t before = items.size();
        std::size_t i = 0;
        while (i < part.size()) {
            while (i < part.size() && blank(part[i]))
                ++i;
            const std::size_t wordStart = i;
            while (i < part.size() && !blank(part[i]))
                ++i;
            if (i > wordStart)
                items.emplace_back(part.substr(wordStart, i - wordStart));
        }
        if (items.size() == before)
            items.emplace_back();
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return items;
}

double VObject::floatValue(std::string_view item)
{
    std::size_t i = 0;
    while (i < item.size() && blank(item[i]))
        ++i;
    if (i < item.size() && item[i] == '+')
        ++i;
    float value = 0;
    const auto result = std::from_chars(item.data() + i, item.data() + item.size(), value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0;
    return value;
}

std::string_view VObject::attribute(const VAttributes& attributes, const char* name)
{
    const auto it = attributes.find(name);
    return it == attributes.end() ? std::string_view() : std::string_view(it->second);
}

void VObject::renderInContext(GraphicsContext&, VContext&, const VColorTable&) const {}

} // namespace orvenda
