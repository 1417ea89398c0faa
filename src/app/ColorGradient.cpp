#include "app/ColorGradient.h"

#include <QColor>

namespace orvenda {

namespace {

QColor qColor(const VColor& c)
{
    return QColor::fromRgbF(static_cast<float>(c.r), static_cast<float>(c.g), static_cast<float>(c.b),
        static_cast<float>(c.a));
}

} // namespace

void ColorGradient::set(const VColor& c1, const VColor& c2, double percent)
{
    const VColor mean{(c1.r + c2.r) / 2, (c1.g + c2.g) / 2, (c1.b + c2.b) / 2, (c1.a + c2.a) / 2};
    stops_ = {{0.0, qColor(c2)}, {percent, qColor(mean)}, {1.0, qColor(c1)}};
}

} // namespace orvenda
