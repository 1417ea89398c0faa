#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace orvenda {

// The factors of the unit-conversion classes and the values of the physical constants:
// what the 0xBB5D and 0xBB5E ops compute. Both arrive from files too, so every index is
// checked before it reads a table; an index outside them has no value (a domain error for
// the caller), never a made-up number.
class UnitConverter {
public:
    static constexpr std::size_t kClassCount = 12;
    static constexpr std::size_t kConstantCount = 20;
    static constexpr std::uint32_t kTemperature = 7;

    // x converted by a packed conversion (the op's high half: class in bits 10-14,
    // from-unit in bits 5-9, to-unit in bits 0-4): x·factor[from] / factor[to] within the
    // class, temperatures through Celsius. Nothing for a class or unit outside the tables.
    static std::optional<double> convert(double x, std::uint32_t packed);
    // The same with the fields apart.
    static std::optional<double> convert(double x, std::uint32_t unitClass, std::uint32_t from, std::uint32_t to);
    // Number of units of a class; 0 for a class out of range.
    static std::size_t unitCount(std::uint32_t unitClass);
    // The value of constant `index` in SI units; nothing for an index out of range.
    static std::optional<double> constant(std::uint32_t index);
};

} // namespace orvenda
