#pragma once

namespace orvenda {

// A colour of the vector image library: four channels in 0..1.
struct VColor {
    double r = 0, g = 0, b = 0, a = 0;

    // Channels given as bytes 0..255.
    static VColor vColorR(int r, int g, int b, int a)
    {
        return VColor{r / 255.0, g / 255.0, b / 255.0, a / 255.0};
    }
};

} // namespace orvenda
