#pragma once

#include "drawing/VObject.h"

#include <QPointF>

#include <memory>
#include <string>
#include <vector>

namespace orvenda {

// Who draws the images a drawn-image element names: the library.
class VDrawImageDelegate {
public:
    virtual ~VDrawImageDelegate() = default;
    virtual void drawImage(GraphicsContext& context, const std::string& name, QPointF at) = 0;
};

// A drawn-image element of a vector image ("D"): another image of the library, drawn at
// each of its places.
class VDrawImage : public VObject {
public:
    static std::unique_ptr<VDrawImage> drawImageFromAttributes(const VAttributes& attributes);
    void renderInContext(GraphicsContext& context, VContext& record, const VColorTable& variables) const override;

    std::string imageName;
    std::vector<QPointF> locations;
    VDrawImageDelegate* delegate = nullptr;
};

} // namespace orvenda
