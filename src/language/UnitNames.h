#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orvenda {

// The names behind the two parameterised tokens: 0xBB5D, a unit conversion (class in bits
// 26-30, from-unit in bits 21-25, to-unit in bits 16-20), and 0xBB5E, a physical constant
// (index in bits 16-31). Ops arrive from imported files too, so every field is checked
// before it indexes a table; a field out of range names the op by its fallback, "op(BB5D)"
// or "op(BB5E)".
class UnitNames {
public:
    static constexpr uint32_t kConversionToken = 0xBB5D;
    static constexpr uint32_t kConstantToken = 0xBB5E;
    static constexpr std::size_t kClassCount = 12;
    static constexpr std::size_t kConstantCount = 20;

    // Class captions, in class order.
    static std::span<const std::string_view> conversionType();
    // Per class, the short and the full unit names (parallel lists), in class order.
    static std::span<const std::span<const std::string_view>> conversionList();
    static std::span<const std::span<const std::string_view>> conversionFList();
    // Number of units of a class; 0 for a class out of range.
    static std::size_t unitCount(uint32_t unitClass);

    static std::span<const std::string_view> constNames();
    static std::span<const std::string_view> constFullNames();
    static std::span<const std::string_view> constDescription();

    struct Conversion {
        uint32_t unitClass;
        uint32_t from;
        uint32_t to;
    };
    // The fields of a conversion op, or none when it is not one or a field lies outside
    // the tables.
    static std::optional<Conversion> conversionForOp(uint32_t op);
    // The index of a constant op, or none when it is not one or the index is too large.
    static std::optional<uint32_t> constantForOp(uint32_t op);
    // Packs a conversion op; each field is cut to its width so none spills into another.
    static uint32_t opcodeForClass(uint32_t unitClass, uint32_t from, uint32_t to);

    // Display name: " ft▸m" for a conversion, the short name ("Na") for a constant.
    static std::string nameForOp(uint32_t op);
    // Spoken name: " ft to m" for a conversion, the short name for a constant.
    static std::string speakNameForOp(uint32_t op);
    // Full name: " foot▸meter" for a conversion, the short name for a constant.
    static std::string expandedNameForOp(uint32_t op);
    // Any of the above for an op it cannot name: "op(%X)" of the op's low 16 bits.
    static std::string fallbackName(uint32_t op);

    // The unit-conversion screen's memory: the from- and to-unit last chosen in each class,
    // one pair for every class.
    struct ToFrom {
        std::array<std::array<uint32_t, 2>, kClassCount> rows{};

        // 0 for a class out of range.
        uint32_t from(uint32_t unitClass) const;
        uint32_t to(uint32_t unitClass) const;
        // Refuses (false, nothing stored) a class or unit outside the tables.
        bool set(uint32_t unitClass, uint32_t from, uint32_t to);
    };
};

} // namespace orvenda
