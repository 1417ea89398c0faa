#pragma once

#include "core/VColor.h"

#include <QSizeF>

#include <string>

namespace orvenda {

class GraphicsContext;
struct VContext;

// One layer of a composed image: the image's name and the fill, stroke and shadow it is
// drawn with, each applied only when set.
class VImageInfo {
public:
    enum Settings { kFillSet = 1, kStrokeSet = 2, kShadowSet = 4 };

    // The image in one colour: filled with it, stroked 1 wide in it, and with glow a
    // shadow of it around the image (offset 0, blur 2).
    static VImageInfo infoWithName(const std::string& name, double red, double green, double blue, double alpha, bool glow);

    void setFillColorRed(double r, double g, double b, double a);
    void setStrokeWidth(double width, double r, double g, double b, double a);
    void setShadowOffset(QSizeF offset, double blur, double r, double g, double b, double a);
    // Applies what is set to the context and the record.
    void setContext(GraphicsContext& context, VContext& record) const;

    VColor _fillColor;
    VColor _strokeColor;
    double _strokeWidth = 0;
    VColor _shadowColor;
    QSizeF _shadowOffset;
    double _shadowBlur = 0;
    int _settings = 0;
    std::string imageName;
};

} // namespace orvenda
