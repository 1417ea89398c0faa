#pragma once

#include "eval/GraphSampler.h"
#include "graph/GraphGeometry.h"

#include <cmath>
#include <span>

namespace orvenda {

// The hit tests of sampled plots: among the samples with a value, the one whose point (as
// `at` places it in graph coordinates) lies nearest to (x, y) by view distance through t.
// A later sample replaces an earlier one only when strictly nearer; best is that distance,
// 1e99 when no sample has a value (and then the result is null).
template <typename At>
const GraphSampler::XY* nearestSample(std::span<const GraphSampler::XY> samples, double x, double y,
                                      const GraphTransform& t, At at, double& best)
{
    best = 1e99;
    const GraphSampler::XY* nearest = nullptr;
    for (const GraphSampler::XY& s : samples) {
        if (!std::isfinite(s.y))
            continue;
        const GraphGeometry::Point p = at(s);
        const double distance = std::hypot(t.a * (p.x - x), t.d * (p.y - y));
        if (distance < best) {
            best = distance;
            nearest = &s;
        }
    }
    return nearest;
}

} // namespace orvenda
