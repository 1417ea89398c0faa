#pragma once

namespace orvenda {

// Number theory and counting on whole numbers held in doubles.
class Combinatorics {
public:
    // Greatest common divisor and least common multiple of two non-negative whole numbers
    // below 2^53; the callers check the ranges. gcd(0, 0) is 0 and lcm with 0 is 0.
    static double gcdArg1(double arg1, double arg2);
    static double lcmArg1(double arg1, double arg2);

    // Permutations and combinations of y items taken x at a time. x greater than y gives 0;
    // a negative or fractional argument gives NaN; a count beyond the double range gives +inf.
    static double permutationX(double x, double y);
    static double combinationX(double x, double y);
};

} // namespace orvenda
