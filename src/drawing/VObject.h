#pragma once

#include "core/VColor.h"

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvenda {

class GraphicsContext;
struct VContext;

// An element's XML attributes, name to value.
using VAttributes = std::map<std::string, std::string>;
// The named colours images are drawn with.
using VColorTable = std::unordered_map<std::string, VColor>;

// The base of the elements of a vector image: each is made from one XML element's
// attributes and renders itself into a context, handing colours, gradient and font on
// through the shared record.
class VObject {
public:
    virtual ~VObject();

    // A list split on commas, blanks and line breaks alike: blanks around a comma belong to
    // it, and an empty item between two commas counts as an item.
    static std::vector<std::string> componentsFromString(std::string_view list);
    // A number read as a single-precision decimal from the item's start: 0 when there is
    // none, or when it is not finite.
    static double floatValue(std::string_view item);
    // The attribute's value, or empty.
    static std::string_view attribute(const VAttributes& attributes, const char* name);

    virtual void renderInContext(GraphicsContext& context, VContext& record, const VColorTable& variables) const;
};

} // namespace orvenda
