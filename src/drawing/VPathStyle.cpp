#include "drawing/VPathStyle.h"

#include "drawing/AssetColors.h"
#include "drawing/GraphicsContext.h"
#include "drawing/VContext.h"

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

QColor qColor(const VColor& c) { return GraphicsContext::color(c.r, c.g, c.b, c.a); }

// At least four numbers: r, g, b, a.
bool readColor(const VAttributes& attributes, const char* key, VColor& out)
{
    const auto items = VObject::componentsFromString(VObject::attribute(attributes, key));
    if (!attributes.contains(key) || items.size() < 4)
        return false;
    out = {VObject::floatValue(items[0]), VObject::floatValue(items[1]), VObject::floatValue(items[2]),
           VObject::floatValue(items[3])};
    return true;
}

// Exactly one item: the name.
bool readName(const VAttributes& attributes, const char* key, std::string& out)
{
    const auto items = VObject::componentsFromString(VObject::attribute(attributes, key));
    if (!attributes.contains(key) || items.size() != 1 || items[0].empty())
        return false;
    out = items[0];
    return true;
}

} // namespace

std::unique_ptr<VPathStyle> VPathStyle::pathStyleWithAttributes(const VAttributes& a)
{
    auto s = std::make_unique<VPathStyle>();
    if (readColor(a, "fc", s->fillColor))
        s->styleFlags |= kFillColor;
    if (readName(a, "fcn", s->fillColorName))
        s->styleFlags |= kFillColor;
    if (readColor(a, "SC", s->strokeColor))
        s->styleFlags |= kStrokeColor;
    if (readName(a, "SCn", s->strokeColorName))
        s->styleFlags |= kStrokeColor;
    if (a.contains("SW")) {
        const auto items = componentsFromString(attribute(a, "SW"));
        if (!items.empty() && !items[0].empty()) {
            s->width = floatValue(items[0]);
            s->styleFlags |= kStrokeWidth;
        }
    }
    if (a.contains("G")) {
        const auto items = componentsFromString(attribute(a, "G"));
        if (items.size() >= 5) {
            s->gradientColor = {floatValue(items[0]), floatValue(items[1]), floatValue(items[2]), floatValue(items[3])};
            s->gradientPercent = floatValue(items[4]);
            s->styleFlags |= kGradient;
        }
    }
    if (a.contains("Gn")) {
        const auto items = componentsFromString(attribute(a, "Gn"));
        if (items.size() >= 2 && !items[0].empty()) {
            s->gradientColorName = items[0];
            s->gradientPercent = floatValue(items[1]);
            s->styleFlags |= kGradient;
        }
    }
    if (a.contains("w")) {
        const auto items = componentsFromString(attribute(a, "w"));
        if (items.size() >= 3) {
            s->shadowX = floatValue(items[0]);
            s->shadowY = floatValue(items[1]);
            s->shadowBlur = floatValue(items[2]);
            s->styleFlags |= kShadow;
        }
    }
    if (readColor(a, "WC", s->shadowColor))
        s->styleFlags |= kShadow;
    if (readName(a, "WCn", s->shadowColorName))
        s->styleFlags |= kShadow;
    if (a.contains("ft")) {
        const auto items = componentsFromString(attribute(a, "ft"));
        if (items.size() >= 2 && !items[0].empty()) {
            s->fontName = items[0];
            s->fontSize = floatValue(items[1]);
            s->styleFlags |= kFont;
        }
    }
    return s;
}

VColor VPathStyle::resolve(const std::string& name, const VColor& color, const VColorTable& variables)
{
    if (name.empty())
        return color;
    if (name == "SysLabel") {
        const QColor c = AssetColors::systemText();
        return {c.redF(), c.greenF(), c.blueF(), c.alphaF()};
    }
    const auto it = variables.find(name);
    return it == variables.end() ? VColor{} : it->second;
}

void VPathStyle::renderInContext(GraphicsContext& context, VContext& record, const VColorTable& variables) const
{
    if (styleFlags & kStrokeColor) {
        const VColor c = resolve(strokeColorName, strokeColor, variables);
        context.setStrokeColor(qColor(c));
        record.strokeR = c.r, record.strokeG = c.g, record.strokeB = c.b, record.strokeA = c.a;
    }
    if (styleFlags & kStrokeWidth)
        context.setLineWidth(width);
    if (styleFlags & kFillColor) {
        const VColor c = resolve(fillColorName, fillColor, variables);
        context.setFillColor(qColor(c));
        record.fillR = c.r, record.fillG = c.g, record.fillB = c.b, record.fillA = c.a;
    }
    if (styleFlags & kFont) {
        record.hasFont = true;
        record.font = {fontName, fontSize};
        record.fontColor = GraphicsContext::color(record.fillR, record.fillG, record.fillB, record.fillA);
    }
    if (styleFlags & kShadow) {
        if (shadowBlur == 0)
            context.clearShadow();
        else
            context.setShadow(QPointF(shadowX, shadowY), shadowBlur, qColor(resolve(shadowColorName, shadowColor, variables)));
    }
    if (styleFlags & kGradient) {
        const VColor g = resolve(gradientColorName, gradientColor, variables);
        const VColor f = resolve(fillColorName, fillColor, variables);
        const VColor mean{(g.r + f.r) / 2, (g.g + f.g) / 2, (g.b + f.b) / 2, (g.a + f.a) / 2};
        const double at = std::isfinite(gradientPercent) ? std::clamp(gradientPercent, 0.0, 1.0) : 0.5;
        record.gradientRef = {{0.0, qColor(g)}, {at, qColor(mean)}, {1.0, qColor(f)}};
    }
}

} // namespace orvenda
