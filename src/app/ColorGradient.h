#pragma once

#include "core/VColor.h"

#include <QGradientStops>

namespace orvenda {

// A three-stop gradient made from two colours: c1 at 1, their mean (alpha included) at
// `percent`, c2 at 0. The painter chooses the direction when it draws.
class ColorGradient {
public:
    ColorGradient(const VColor& c1, const VColor& c2, double percent) { set(c1, c2, percent); }

    void set(const VColor& c1, const VColor& c2, double percent);
    const QGradientStops& stops() const { return stops_; }

private:
    QGradientStops stops_;
};

} // namespace orvenda
