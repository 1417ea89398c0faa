#pragma once

namespace orvenda {

// A real function of one real variable as the numeric routines call it: an expression
// evaluated over a variable, or any function in tests.
class RealFunction {
public:
    virtual ~RealFunction() = default;

    // The value at x; NaN where the function has none.
    virtual double value(double x) = 0;
    // Why the last value was NaN: an error number, or 0 when the function simply has no
    // value there.
    virtual int error() const { return 0; }
    // An error number once the routine must give up at once (the user stopped the run);
    // every value is NaN from then on.
    virtual int stopError() const { return 0; }
};

} // namespace orvenda
