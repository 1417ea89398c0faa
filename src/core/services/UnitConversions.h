#pragma once

#include <cstdint>

namespace orvenda {

// The conversion factors and constant values of the unit-conversion app, by the indices
// packed into the 0xBB5D and 0xBB5E ops.
class UnitConversions {
public:
    virtual ~UnitConversions() = default;

    // The physical constant with the index carried in the high half of 0xBB5E.
    virtual double getConstant(int index) const = 0;
    // x converted by a packed conversion op (class, from-unit, to-unit): x·factor[from] /
    // factor[to] within the class, temperatures by their formulas.
    virtual double convertX(double x, std::uint32_t op) const = 0;
};

} // namespace orvenda
