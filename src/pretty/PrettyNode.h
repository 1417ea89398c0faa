#pragma once

#include <cstdint>
#include <string_view>

namespace orvenda {

// One node of the two-dimensional form of an op array. Nodes live in a PrettyTree and
// refer to each other by index. Every node covers the ops [begin, end); a template's
// structural ops are the ones its children do not cover.
//
// Children by kind:
//   Row            the items, left to right
//   Fraction       numerator row, denominator row
//   MixedNumber    whole (a number, a box op or an empty box), numerator row, denominator row
//   Script         base, superscript row (token 0xF0 a power; ², ³, ⁻¹, ᵀ a postfix,
//                  whose row holds its glyph; 0xBF e^( and 0xC1 ₁₀^(, whose base is a
//                  glyph of the function op reading "e" or "10")
//   Radical        radicand row, then the index row for ˣ√ (token 0xBC √(, 0xBD ³√(, 0xF1 ˣ√)
//   AbsoluteValue  argument row
//   LogBase        argument row, base row
//   BigOperator    body, variable, lower and upper limit rows (token 0xEF33 ∑(, 0x24 fnInt()
//   Derivative     function, variable and point rows
//   Matrix         MatrixRow nodes; MatrixRow: one row per cell
//   Brackets       the inner row; token is the opener: ( [ { or a function whose name
//                  ends in "(" (drawn as its name with a stretchy bracket)
//   Glyph, Number, EmptyBox  none; a Number covers a run of digits, ".", ᴱ and the
//                  negation after ᴱ; an EmptyBox is an empty part (no ops) or the box op
struct PrettyNode {
    enum class Kind : std::uint8_t {
        Row,
        Glyph,
        Number,
        EmptyBox,
        Brackets,
        Fraction,
        MixedNumber,
        Script,
        Radical,
        AbsoluteValue,
        LogBase,
        BigOperator,
        Derivative,
        Matrix,
        MatrixRow,
    };

    Kind kind = Kind::Row;
    // NO when the closer of the template or bracket is missing from the ops.
    bool closed = true;
    // Template ID of the structural ops; 0 for plain brackets.
    std::uint16_t id = 0;
    std::uint32_t token = 0;
    int begin = 0;
    int end = 0;
    int parent = -1;
    // Into PrettyTree's child list.
    int firstChild = 0;
    int childCount = 0;
    // What a Glyph reads.
    std::string_view text;

    static PrettyNode of(Kind kind, int begin, int end, std::uint32_t token = 0, std::uint16_t id = 0,
                         bool closed = true)
    {
        PrettyNode n;
        n.kind = kind;
        n.begin = begin;
        n.end = end;
        n.token = token;
        n.id = id;
        n.closed = closed;
        return n;
    }
};

} // namespace orvenda
