#pragma once

#include <nlohmann/json.hpp>

namespace orvenda {

// The shaded integral under one of the functions Y1..Y0: its interval, its value and the
// tolerance it was computed to. Shown only when lower and upper differ and the area is
// finite; dirty asks for the area to be computed again before it is shown.
class YEqIntegrate {
public:
    static constexpr double kDefaultTolerance = 0.001;

    double lower = 0;
    double upper = 0;
    double area = 0;
    double tol = kDefaultTolerance;
    bool dirty = true;

    // Removes the shading (the equation changed).
    void reset() { area = upper = lower = 0; }

    // dirty is not archived: a decoded record is always dirty, and a tolerance of 0 reads
    // as the default.
    nlohmann::json encode() const;
    static YEqIntegrate decode(const nlohmann::json& archive);
};

} // namespace orvenda
