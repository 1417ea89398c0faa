#pragma once

#include "drawing/VObject.h"

#include <QColor>

#include <memory>
#include <string>

namespace orvenda {

// A style element of a vector image ("s"): sets what the elements after it draw with, each
// part only when its attribute was given: stroke colour, stroke width, fill colour, text
// font, shadow and a three-stop gradient. A colour by name is looked up among the named
// colours ("SysLabel" is the system's text colour; an unknown name is transparent black).
class VPathStyle : public VObject {
public:
    enum Flags { kFillColor = 1, kStrokeColor = 2, kStrokeWidth = 4, kGradient = 8, kShadow = 16, kFont = 32 };

    static std::unique_ptr<VPathStyle> pathStyleWithAttributes(const VAttributes& attributes);
    void renderInContext(GraphicsContext& context, VContext& record, const VColorTable& variables) const override;

    // A colour by name, or the channels given when there is no name.
    static VColor resolve(const std::string& name, const VColor& color, const VColorTable& variables);

    VColor fillColor, strokeColor, gradientColor, shadowColor;
    double width = 0;
    double gradientPercent = 0;
    double shadowX = 0, shadowY = 0, shadowBlur = 0;
    std::string fillColorName, strokeColorName, gradientColorName, shadowColorName, fontName;
    double fontSize = 0;
    int styleFlags = 0;
};

} // namespace orvenda
