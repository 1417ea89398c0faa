#pragma once

#include <cmath>
#include <limits>
#include <numbers>

namespace orvenda {

// Rounding and the trigonometric functions that give exact values at quarter turns.
class ElementaryFunctions {
public:
    static constexpr double kQuarterTurn = std::numbers::pi / 2;

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
    static bool quarterTurn(double x, int& m)
    {
        if (!(std::fabs(x) < 1e12)) return false;
        const double q = x / kQuarterTurn;
        const double k = std::trunc(q);
        if (!(std::fabs(q - k) < 1e-16)) return false;
        m = static_cast<int>(std::fmod(k, 4.0));
        return true;
    }

    // Sine and cosine that answer exactly 0, 1, -1 at non-negative quarter turns. (Here,
    // so that the fast evaluator's loop has them at hand.)
    //
    // Within 1e12 a quarter turn is off k·π/2 by less than 3e-4, where the library's value
    // lies within 1e-3 of 0 or of ±1: elsewhere that value is the answer, without the
    // division the quarter-turn test takes.
    static double VQSin(double x)
    {
        static constexpr double kSin[] = {0.0, 1.0, 0.0, -1.0};
        const double v = std::sin(x);
        int m = 0;
        if (farFromQuarterTurn(v) || !quarterTurn(x, m) || m < 0) return v;
        return kSin[m];
    }
    static double VQCos(double x)
    {
        static constexpr double kCos[] = {1.0, 0.0, -1.0, 0.0};
        const double v = std::cos(x);
        int m = 0;
        if (farFromQuarterTurn(v) || !quarterTurn(x, m) || m < 0) return v;
        return kCos[m];
    }
    // Tangent that answers exactly 0 at even quarter turns and NaN (no value) at odd ones,
    // negative turns included: the library's tangent there is a huge finite number. (At a
    // quarter turn it lies within 1e-3 of 0 or beyond 1e3.)
    static double VQTan(double x)
    {
        const double v = std::tan(x);
        int m = 0;
        if ((std::fabs(v) > 1e-3 && std::fabs(v) < 1e3) || !quarterTurn(x, m)) return v;
        return m % 2 == 0 ? 0.0 : std::numeric_limits<double>::quiet_NaN();
    }

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

private:
    // A sine or cosine value farther than 1e-3 from 0 and from ±1.
    static bool farFromQuarterTurn(double v)
    {
        const double a = std::fabs(v);
        return a > 1e-3 && a < 0.999;
    }
};

} // namespace orvenda
