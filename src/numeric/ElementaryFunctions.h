#pragma once

#include <cmath>

namespace orvenda {

// Rounding and the trigonometric functions that give exact values at quarter turns.
class ElementaryFunctions {
public:
    // For d in 0..9: x rounded half away from zero to d decimals; any other d returns x.
    // The scaled value is first taken to 15 significant figures so that a decimal tie
    // stored just below its half (2.345 is 2.34499...) still rounds up.
    static double round(double x, int precision);
    // x rounded to n significant figures for n in 1..14; a tie within 1e-13 of one half
    // goes to the even digit. Zero and other n return x.
    static double roundSF(double x, int digits);

    // The count of quarter turns in x radians when x lies within 1e-16 (in quarter turns)
    // of a whole number of them and |x| < 1e12: returns true with that count reduced to
    // -3..3 (the sign of the count). False when x is not at a quarter turn.
    static bool quarterTurn(double x, int& m);

    // Sine and cosine that answer exactly 0, 1, -1 at non-negative quarter turns.
    static double VQSin(double x);
    static double VQCos(double x);

    // Whether x is a finite whole number (an index, count or exponent as typed).
    static bool isWhole(double x) { return std::isfinite(x) && x == std::trunc(x); }

    // How many of begin, begin + step, begin + 2·step, ... do not pass end: 0 when the
    // step leads away from end or is NaN, infinite for a zero step toward end, possibly
    // huge. A term past end by no more than the rounding of decimal begin, end and step
    // (countTolerance) still counts, so that decimal steps, stored inexactly, reach their
    // end (0 to 1 by .1 is eleven terms, 0 to .3 by .1 four), while an end just below a
    // whole count is no term more (1 to 9.999999999 by 1 is nine).
    static double termCount(double begin, double end, double step);
    // How far below a whole number the count's quotient (end - begin) / step + 1 may fall
    // from rounding alone.
    static double countTolerance(double begin, double end, double step);
    // begin + k·step, and 0 where that cancels to within the rounding of its parts (-.3
    // by .1 reaches 0, not 5.6ᴱ-17): the k-th term of a sequence or a table's row.
    static double progressionTerm(double begin, double step, double k);
};

} // namespace orvenda
