#pragma once

#include <span>

namespace orvenda {

// The bins of a histogram, [left + k·w, left + (k+1)·w) for whole k from 0 (k kept in a
// double). The width is positive and finite whatever it was asked to be, and never so
// small that the bins up to the data's right end number more than kMaxBins or that the
// edges stop moving at the numbers' precision, so a pass over sorted values walks the
// bins by jumps: its work is bounded by the number of values, not of bins.
class HistogramBins {
public:
    static constexpr double kMaxBins = 1e6;

    // wanted when it is a width, else fallback, else 1; widened to the least width the
    // span left..right allows.
    HistogramBins(double left, double right, double wanted, double fallback = 1);

    double left() const { return left_; }
    double width() const { return width_; }
    // The right edge of bin k.
    double edge(double k) const { return left_ + (k + 1) * width_; }
    // Where a pass stands after meeting x in bin k: the bins move on while the bin's right
    // edge is at or below both x and the right end (a NaN moves nothing).
    double advance(double k, double x) const;
    // The bin that holds x (floor of (x - left) / w; NaN for NaN).
    double binOf(double x) const;

    // Where a pass over values ended: the bin of the last value and that bin's total.
    struct Last {
        double bin = 0;
        double total = 0;
    };
    // One pass over values in ascending order with their frequencies (none: each 1):
    // left(k, total) for each bin the pass leaves behind, in order, with the total of
    // the values met in it; the bins it jumps over are empty. Values below the left edge
    // and NaN fall into no bin.
    template <class Left>
    Last pass(std::span<const double> values, std::span<const double> freq, Left left) const
    {
        Last at;
        for (std::size_t i = 0; i < values.size(); ++i) {
            const double x = values[i];
            if (!(x >= left_))
                continue;
            const double f = i < freq.size() ? freq[i] : 1.0;
            if (x < edge(at.bin)) {
                at.total += f;
                continue;
            }
            left(at.bin, at.total);
            at.bin = advance(at.bin, x);
            at.total = f;
        }
        return at;
    }

private:
    double left_;
    double right_;
    double width_;
};

} // namespace orvenda
