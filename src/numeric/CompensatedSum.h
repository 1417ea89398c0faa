#pragma once

#include <cmath>

namespace orvenda {

// Neumaier's compensated sum: adds many terms of very different sizes without losing the
// small ones.
class CompensatedSum {
public:
    void add(double x)
    {
        const double t = sum_ + x;
        comp_ += std::fabs(sum_) >= std::fabs(x) ? (sum_ - t) + x : (x - t) + sum_;
        sum_ = t;
    }
    double value() const { return sum_ + comp_; }

private:
    double sum_ = 0.0;
    double comp_ = 0.0;
};

} // namespace orvenda
