#pragma once

#include "pretty/PrettyLayout.h"

#include <initializer_list>

namespace orvenda {

// Cursor moves over a laid-out two-dimensional form. Left and Right step through the stops
// in op order, so each box boundary is one stop and the template ops between parts are
// skipped. Up and Down move between a fraction's numerator and denominator, the rows of a
// matrix and the limits of ∑ and ∫, to the stop nearest in x; Up enters an exponent, Down
// leaves it after its power, Up leaves a lowered part (a log's base) before its template.
class PrettyCursor {
public:
    static int left(const PrettyLayout& layout, int cursor);
    static int right(const PrettyLayout& layout, int cursor);
    // −1 when there is no line in that direction.
    static int up(const PrettyLayout& layout, int cursor);
    static int down(const PrettyLayout& layout, int cursor);

private:
    static int vertical(const PrettyLayout& layout, int cursor, bool up);
    // The stop nearest to x among those on the given lines.
    static int nearest(const PrettyLayout& layout, std::initializer_list<int> lines, double x);
};

} // namespace orvenda
