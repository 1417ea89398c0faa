#pragma once

namespace orvenda {

// A real function of one real variable as the numeric routines call it: an expression
// evaluated over a variable, or any function in tests.
class RealFunction {
public:
    virtual ~RealFunction() = default;

    // The value at x; NaN where the function has none, ±∞ where it has one too large for a
    // double (an overflow, which is no value either).
    virtual double value(double x) = 0;
    // Why the last value was not finite: an error number, or 0 when the function simply has
    // no value there.
    virtual int error() const { return 0; }
    // An error number once the routine must give up at once (the user stopped the run);
    // every value is NaN from then on.
    virtual int stopError() const { return 0; }

    // The error a point without a value ends a routine with: the stop, else the function's
    // own error, else the routine's.
    int errorOr(int otherwise) const
    {
        if (const int stop = stopError())
            return stop;
        return error() != 0 ? error() : otherwise;
    }
};

} // namespace orvenda
