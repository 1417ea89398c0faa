#pragma once

#include <array>
#include <memory>

namespace orvenda {

class DrawDistribution;
class Parser;
class VQStack;

// The distribution shading commands ShadeNorm(, Shade_t(, Shadeχ²( and ShadeF(: the
// shaded area's drawing record and a window that shows the density.
class ShadeEvaluation {
public:
    // {Xmin, Xmax, Ymin, Ymax}.
    using Bounds = std::array<double, 4>;

    explicit ShadeEvaluation(Parser& parser) : p_(parser) {}

    // Takes the token's arguments off the stack (count of them) and answers the record
    // with the area between the bounds, coloured as given (green by default), and the
    // window into `bounds`. Null with the error set: 39/40 for a count outside the token's
    // range (ShadeNorm( with three arguments is 39), 27 for an argument that is no real
    // or no colour, 17 for a deviation or degrees of freedom that are not positive.
    std::shared_ptr<DrawDistribution> evalShadeFunction(VQStack& stack, double count, int token, Bounds& bounds);

private:
    Parser& p_;
};

} // namespace orvenda
