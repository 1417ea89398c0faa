#pragma once

namespace orvenda {

class RealFunction;

// What a routine found, or the error number that ended it (value NaN, or the best value
// found where the routine says so).
struct NumericResult {
    double value = 0;
    int error = 0;
};

// Integration, zeros, extrema and derivatives of a real function. Values the function
// cannot give (NaN, or ±∞ where its value overflowed) are handled as each routine says; no
// routine answers from them. A function that asks to stop (RealFunction::stopError) ends
// every routine at once with that error.
class Calculus {
public:
    // The definite integral from lower to upper (reversed bounds give the negated
    // integral, equal ones 0). It must be met within tolerance, taken absolute for
    // integrals below 1 in size and relative above: error 31 when it is not. A point where
    // the function has no value ends it with the function's error, or 32 when it has none;
    // a sum that overflows gives 33.
    static NumericResult integrate(RealFunction& f, double lower, double upper, double tolerance);

    // A zero between the bounds (either order) found from the guess: the nearest sign
    // change is searched for outward from the guess and refined by Brent's method. A guess
    // outside the bounds gives 62; equal bounds give their value when the function's
    // magnitude there is at most 1e-28, else 62 (its error when it has no value there); no
    // zero gives 61, or the function's own error at the guess when it had one there.
    static NumericResult findRoot(RealFunction& f, double lower, double upper, double guess);

    // The x of the smallest (findMin) or largest value between the bounds (either order)
    // by golden-section search of at most 1000 rounds, until the bracket is narrower than
    // the tolerance (its magnitude, clamped to 1e-16..0.001). Points without a value count
    // as the worst, an overflow away from the extremum too; an overflow toward it gives 18
    // (the extremum lies where the expression has no value), and no point with a value the
    // function's error. Equal bounds give the lower one when it has a value. A search that
    // ends without meeting the tolerance gives 31 with its best x.
    static NumericResult extremum(RealFunction& f, double lower, double upper, double tolerance, bool findMin);

    // (f(x + h) - f(x - h)) / 2h; a point without a value gives the function's error, or
    // 17 when it has none; a quotient past the largest double 18.
    static NumericResult derivative(RealFunction& f, double x, double h);
};

} // namespace orvenda
