#include "numeric/TVM.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

using orvenda::TVM;
using orvenda::TVMRecord;

namespace {

// The 30-year loan of 200000 at 6 % paid monthly, payment not yet known.
TVMRecord loan()
{
    TVMRecord r;
    r.n = 360;
    r.iPercent = 6;
    r.pv = 200000;
    r.py = r.cy = 12;
    return r;
}

constexpr double kLoanPayment = -1199.101050305505;

void expectRelative(double got, double expected, const char* what)
{
    EXPECT_NEAR(got, expected, std::fabs(expected) * 1e-12) << what;
}

} // namespace

// Typed forms are in tests/cases/finance.cases; here full precision. References: the
// examples given for the functions, else mpmath at 30 digits.
TEST(TVM, SolversToFullPrecision) {
    TVM tvm;
    TVMRecord r = loan();
    expectRelative(tvm.computePMT(r), kLoanPayment, "PMT");
    r.paymentAtBegin = true;
    expectRelative(tvm.computePMT(r), -1193.135373438313, "PMT at the beginning");

    r = loan();
    r.pmt = kLoanPayment;
    r.iPercent = 0;
    expectRelative(tvm.computeI(r), 6, "I%");
    r.cy = 2;
    expectRelative(tvm.computeI(r), 6.075501878753126, "I% compounded twice a year");
    r = loan();
    r.cy = 2;
    expectRelative(tvm.computePMT(r), -1189.6468405069, "PMT compounded twice a year");
    r = loan();
    r.pmt = kLoanPayment;
    r.pv = 0;
    expectRelative(tvm.computePV(r), 200000, "PV");

    const TVMRecord growth{10, 5, -1000, 0, 0, 1, 1, false};
    expectRelative(tvm.computeFV(growth), 1628.894626777441, "FV");
    const TVMRecord doubling{0, 5, -1000, 0, 2000, 1, 1, false};
    expectRelative(tvm.computeN(doubling), 14.20669908289047, "N");
    const TVMRecord savings{10, 5, 0, -100, 0, 1, 1, true};
    expectRelative(tvm.computeFV(savings), 1320.678716232627, "FV of payments at the beginning");
    const TVMRecord noInterest{10, 0, 0, -100, 0, 1, 1, false};
    expectRelative(tvm.computePV(noInterest), 1000, "PV without interest");
    EXPECT_EQ(tvm.error(), TVM::None);
}

TEST(TVM, SolverErrors) {
    struct Case {
        TVMRecord r;
        double (TVM::*solve)(const TVMRecord&);
        int error;
    };
    const Case cases[] = {
        {{10, 5, -1000, 0, 0, 0, 1, false}, &TVM::computeFV, TVM::OutOfRange},    // P/Y 0
        {{10, -1300, -1000, 0, 0, 12, 12, false}, &TVM::computeFV, TVM::OutOfRange},  // below -100 %
        {{10, 5, 0, 0, 0, 1, 1, false}, &TVM::computeI, TVM::RateNoValues},
        {{10, 5, 100, 0, 100, 1, 1, false}, &TVM::computeI, TVM::RateSameSign},
        {{0, 0, 100, 0, -100, 1, 1, false}, &TVM::computeN, TVM::CountNotFound},
        {{0, 5, -1000, 10, 0, 1, 1, false}, &TVM::computeN, TVM::CountNoSolution},
        {{0, 5, 100, 0, 0, 1, 1, false}, &TVM::computePMT, TVM::PaymentNotFound},
        {{1e6, 50, -1000, 0, 0, 1, 1, false}, &TVM::computeFV, TVM::FutureValueNotFound},
    };
    for (const Case& c : cases) {
        TVM tvm;
        (tvm.*c.solve)(c.r);
        EXPECT_EQ(tvm.error(), c.error) << c.error;
    }
}

TEST(TVM, CashFlows) {
    const std::vector<double> flows{300, 400, 500, 200};
    expectRelative(TVM::npv(10, -1000, flows, {}), 115.5658766477698, "npv");
    // The second flow twice: -1000 + 300v + 400v² + 400v³ + 500v⁴ + 200v⁵ at v = 1/1.1.
    const std::vector<double> counts{1, 2, 1, 1};
    expectRelative(TVM::npv(10, -1000, flows, counts), 369.5226977789644, "npv with counts");
    TVM tvm;
    expectRelative(tvm.irr(-1000, flows, {}), 15.32213787718154, "irr");
    // -100 + 230v - 132v² has the rates 10 % and 20 %: the one nearer 0 % is found.
    const std::vector<double> twoRates{230, -132};
    expectRelative(tvm.irr(-100, twoRates, {}), 10, "irr of two");
    tvm.irr(1000, flows, {});
    EXPECT_EQ(tvm.error(), TVM::IrrNoSignChange);
    // A flow counted 0 times is no flow at all.
    const std::vector<double> unpaid{-300};
    const std::vector<double> none{0};
    tvm.irr(1000, unpaid, none);
    EXPECT_EQ(tvm.error(), TVM::IrrNoSignChange);
}

TEST(TVM, Amortization) {
    TVMRecord r = loan();
    r.pmt = kLoanPayment;
    TVM tvm;
    // Each month's interest and balance rounded to the cent.
    const auto year = tvm.amortize(r, 1, 12, 2);
    EXPECT_DOUBLE_EQ(year.balance, 197543.99);
    EXPECT_DOUBLE_EQ(year.principal, -2456.01);
    EXPECT_DOUBLE_EQ(year.interest, -11933.19);
    // The second month alone: interest on 199800.90 is 999.00, the rest of 1199.10 principal.
    const auto second = tvm.amortize(r, 2, 2, 2);
    EXPECT_DOUBLE_EQ(second.interest, -999.0);
    EXPECT_DOUBLE_EQ(second.principal, -200.1);
    // Paid at the beginning, the first payment is all principal.
    r.paymentAtBegin = true;
    EXPECT_DOUBLE_EQ(tvm.amortize(r, 1, 1, 2).principal, -1199.1);
    // Without rounding the balance after the last payment is 0.
    r.paymentAtBegin = false;
    EXPECT_NEAR(tvm.amortize(r, 0, 360, -1).balance, 0.0, 1e-6);
}
