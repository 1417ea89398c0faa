#pragma once

#include "core/VColor.h"
#include "core/VQList.h"
#include "core/VQColor.h"

#include <array>

namespace orvenda {

// The calculator's constant colour tables: the interface colour sets of the keyboard and
// screens, the 48-colour standard palette (colour numbers 1..48) and the numbered colours
// of the colour commands (10..24). Every lookup answers for any number.
class ColorTables {
public:
    static constexpr int interfaceSetCount = 6;
    static constexpr int interfaceColorCount = 8;
    static constexpr int standardColorCount = 48;
    static constexpr int firstTIColor = 10;
    static constexpr int lastTIColor = 24;

    // Colour n (0..7) of interface set `set` (1..5; any other set is the default set 0).
    // An n outside 0..7 gives colour 0 of the set.
    static VColor interfaceColor(int set, int n);

    // Red, green and blue in 0..1 of standard colour n (1..48); any other n gives colour 2,
    // white.
    static std::array<double, 3> standardComponents(int n);
    // The same as a list of three full-precision reals, as colour arguments are passed.
    static VQList standardColor(int n);
    // Standard colour at zero-based index i (0..47), opaque; any other i gives white.
    static VQColor stdVQColor(int i);

    // Red, green and blue in 0..1 of colour-command colour n (10..24); any other n gives
    // BLACK (12).
    static std::array<double, 3> tiComponents(int n);
    static VQList tiColor(int n);
};

} // namespace orvenda
