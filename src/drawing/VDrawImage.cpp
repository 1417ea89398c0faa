#include "drawing/VDrawImage.h"

namespace orvenda {

std::unique_ptr<VDrawImage> VDrawImage::drawImageFromAttributes(const VAttributes& attributes)
{
    auto d = std::make_unique<VDrawImage>();
    d->imageName = attribute(attributes, "n");
    std::vector<double> values;
    for (const std::string& item : componentsFromString(attribute(attributes, "p")))
        if (!item.empty())
            values.push_back(floatValue(item));
    for (std::size_t i = 0; i + 1 < values.size(); i += 2)
        d->locations.emplace_back(values[i], values[i + 1]);
    return d;
}

void VDrawImage::renderInContext(GraphicsContext& context, VContext&, const VColorTable&) const
{
    if (!delegate)
        return;
    for (const QPointF& at : locations)
        delegate->drawImage(context, imageName, at);
}

} // namespace orvenda
