#include "drawing/VImageInfo.h"

#include "drawing/GraphicsContext.h"
#include "drawing/VContext.h"

namespace orvenda {

VImageInfo VImageInfo::infoWithName(const std::string& name, double red, double green, double blue, double alpha, bool glow)
{
    VImageInfo info;
    info.imageName = name;
    info.setFillColorRed(red, green, blue, alpha);
    info.setStrokeWidth(1, red, green, blue, alpha);
    if (glow)
        info.setShadowOffset(QSizeF(0, 0), 2, red, green, blue, alpha);
    return info;
}

void VImageInfo::setFillColorRed(double r, double g, double b, double a)
{
    _fillColor = {r, g, b, a};
    _settings |= kFillSet;
}

void VImageInfo::setStrokeWidth(double width, double r, double g, double b, double a)
{
    _strokeWidth = width;
    _strokeColor = {r, g, b, a};
    _settings |= kStrokeSet;
}

void VImageInfo::setShadowOffset(QSizeF offset, double blur, double r, double g, double b, double a)
{
    _shadowOffset = offset;
    _shadowBlur = blur;
    _shadowColor = {r, g, b, a};
    _settings |= kShadowSet;
}

void VImageInfo::setContext(GraphicsContext& context, VContext& record) const
{
    if (_settings & kFillSet) {
        context.setFillColor(GraphicsContext::color(_fillColor.r, _fillColor.g, _fillColor.b, _fillColor.a));
        record.fillR = _fillColor.r, record.fillG = _fillColor.g, record.fillB = _fillColor.b, record.fillA = _fillColor.a;
    }
    if (_settings & kStrokeSet) {
        context.setLineWidth(_strokeWidth);
        context.setStrokeColor(GraphicsContext::color(_strokeColor.r, _strokeColor.g, _strokeColor.b, _strokeColor.a));
        record.strokeR = _strokeColor.r, record.strokeG = _strokeColor.g, record.strokeB = _strokeColor.b;
        record.strokeA = _strokeColor.a;
    }
    if (_settings & kShadowSet)
        context.setShadow(QPointF(_shadowOffset.width(), _shadowOffset.height()), _shadowBlur,
                          GraphicsContext::color(_shadowColor.r, _shadowColor.g, _shadowColor.b, _shadowColor.a));
}

} // namespace orvenda
