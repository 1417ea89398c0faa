#pragma once

#include <span>

namespace orvenda {

// The quantities of a time-value-of-money problem: N payments of PMT, present and future
// values, the annual interest rate I% compounded C/Y times a year with P/Y payments a year,
// paid at the end of each period or at its beginning. Money received is positive, money
// paid negative.
struct TVMRecord {
    double n = 0.0;
    double iPercent = 0.0;
    double pv = 0.0;
    double pmt = 0.0;
    double fv = 0.0;
    double py = 12.0;
    double cy = 12.0;
    bool paymentAtBegin = false;
};

// The finance calculator: the five time-value-of-money solvers, net present value and
// internal rate of return of cash flows, and amortization. Each solver leaves error() 0 or
// one of the numbers below; the calculator reports error e as error kErrorBase + e.
class TVM {
public:
    enum Error : int {
        None = 0,
        RateNoValues = 1,       // nothing to find a rate from
        RateSameSign = 2,       // every amount has one sign
        RateNoSolution = 3,
        RateNotConverged = 4,
        RateTwoSolutions = 5,
        OutOfRange = 6,         // P/Y or C/Y not positive, a rate at or below -100 %, ...
        CountNotFound = 7,
        CountNoSolution = 8,
        FutureValueNotFound = 9,
        PaymentNotFound = 10,
        PaymentNoSolution = 11,
        IrrNoSignChange = 12,
        IrrNoSolution = 13,
    };
    static constexpr int kErrorBase = 45;

    int error() const { return error_; }

    double computeN(const TVMRecord& r);
    double computeI(const TVMRecord& r);
    double computePV(const TVMRecord& r);
    double computePMT(const TVMRecord& r);
    double computeFV(const TVMRecord& r);

    // Net present value at `ratePercent` of CF0 now and then each flow of `flows` repeated
    // counts[j] times, one period apart (all once when counts is empty; the counts are
    // whole and not negative).
    static double npv(double ratePercent, double cf0, std::span<const double> flows, std::span<const double> counts);
    // The rate in percent at which the net present value is 0, the one nearest 0 % when
    // there are several.
    double irr(double cf0, std::span<const double> flows, std::span<const double> counts);

    struct Amortization {
        double balance = 0.0;
        double principal = 0.0;
        double interest = 0.0;
    };
    // The balance after payment `last` and the principal and interest paid by the payments
    // first..last of the loan PV, I%, PMT (N and FV are not read), every step rounded to
    // `digits` decimals (0..9; any other value does not round).
    Amortization amortize(const TVMRecord& r, int first, int last, int digits);

private:
    // Starts a computation: clears the error and gives the rate of one payment period as
    // x = ln(1 + i), or false with OutOfRange.
    bool begin(const TVMRecord& r, double& x);
    double fail(int error);

    int error_ = None;
};

} // namespace orvenda
