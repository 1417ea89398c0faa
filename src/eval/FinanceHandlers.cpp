#include "eval/FinanceHandlers.h"

#include "core/Calculator.h"
#include "core/VQList.h"
#include "eval/ArgumentFetcher.h"
#include "eval/EvalRun.h"
#include "eval/NumericArguments.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "language/VariableSlots.h"
#include "numeric/ElementaryFunctions.h"

#include <array>
#include <cmath>
#include <vector>

namespace orvenda {

namespace {

constexpr int kNpv = 0xBB00;
constexpr int kIrr = 0xBB01;
constexpr int kBal = 0xBB02;
constexpr int kSumPrn = 0xBB03;
constexpr int kFirstSolver = 0xBB20;  // tvm_Pmt
constexpr int kLastSolver = 0xBB24;   // tvm_FV
constexpr double kPaymentLimit = 10000.0;

using Field = double TVMRecord::*;
// Each solver's arguments in their order: the four other quantities, then P/Y and C/Y.
constexpr std::array<std::array<Field, 6>, 5> kSolverArguments{{
    {&TVMRecord::n, &TVMRecord::iPercent, &TVMRecord::pv, &TVMRecord::fv, &TVMRecord::py, &TVMRecord::cy},
    {&TVMRecord::n, &TVMRecord::pv, &TVMRecord::pmt, &TVMRecord::fv, &TVMRecord::py, &TVMRecord::cy},
    {&TVMRecord::n, &TVMRecord::iPercent, &TVMRecord::pmt, &TVMRecord::fv, &TVMRecord::py, &TVMRecord::cy},
    {&TVMRecord::iPercent, &TVMRecord::pv, &TVMRecord::pmt, &TVMRecord::fv, &TVMRecord::py, &TVMRecord::cy},
    {&TVMRecord::n, &TVMRecord::iPercent, &TVMRecord::pv, &TVMRecord::pmt, &TVMRecord::py, &TVMRecord::cy},
}};

std::vector<double> values(const VQList& list)
{
    std::vector<double> out;
    out.reserve(static_cast<std::size_t>(list.count()));
    for (int i = 0; i < list.count(); ++i)
        out.push_back(list.realAtIndex(i));
    return out;
}

} // namespace

FinanceHandlers::FinanceHandlers(Parser& parser) : p_(parser), calc_(parser.calc) {}

bool FinanceHandlers::handles(int t)
{
    return (t >= kNpv && t <= 0xBB04) || (t >= kFirstSolver && t <= kLastSolver);
}

TVMRecord FinanceHandlers::record(const Calculator& calc)
{
    TVMRecord r;
    r.n = calc.getVar(kSlotTvmN).value.real();
    r.iPercent = calc.getVar(kSlotTvmIPercent).value.real();
    r.pv = calc.getVar(kSlotTvmPV).value.real();
    r.pmt = calc.getVar(kSlotTvmPMT).value.real();
    r.fv = calc.getVar(kSlotTvmFV).value.real();
    r.py = calc.getVar(kSlotPY).value.real();
    r.cy = calc.getVar(kSlotCY).value.real();
    r.paymentAtBegin = std::trunc(calc.getVar(kSlotPaymentTiming).value.real()) == 0.0;
    return r;
}

void FinanceHandlers::handle(EvalRun& run)
{
    const int t = run.token;
    if (t == kNpv)
        npv(run);
    else if (t == kIrr)
        irr(run);
    else if (t >= kFirstSolver)
        solve(run);
    else
        amortization(run);
}

void FinanceHandlers::finish(NumericArguments& args, const TVM& tvm, double value)
{
    if (tvm.error() != TVM::None)
        args.fail(TVM::kErrorBase + tvm.error());
    else
        args.result(value);
}

bool FinanceHandlers::frequencies(NumericArguments& args, std::vector<double>& counts)
{
    Operand list;
    if (!args.realList(list))
        return false;
    counts = values(*list.list);
    for (double& f : counts) {
        f = std::trunc(f);
        if (!(f >= 0.0) || !std::isfinite(f))
            return args.fail(ErrDomain);
    }
    return true;
}

bool FinanceHandlers::digits(NumericArguments& args, int& d)
{
    double x = 0.0;
    if (!args.real(x))
        return false;
    if (!ElementaryFunctions::isWhole(x))
        return args.fail(ErrArgument);
    const auto n = ArgumentFetcher::wholeIn(x, 0, 9);
    if (!n)
        return args.fail(ErrDomain);
    d = *n;
    return true;
}

void FinanceHandlers::npv(EvalRun& run)
{
    NumericArguments args(p_, run);
    int n = 0;
    if (!args.count(3, 4, n))
        return;
    std::vector<double> counts;
    if (n == 4 && !frequencies(args, counts))
        return;
    Operand flows;
    double cf0 = 0.0, rate = 0.0;
    if (!args.realList(flows) || !args.real(cf0) || !args.real(rate))
        return;
    if (n == 4 && counts.size() != static_cast<std::size_t>(flows.list->count())) {
        args.fail(ErrDimMismatch);
        return;
    }
    finish(args, TVM(), TVM::npv(rate, cf0, values(*flows.list), counts));
}

void FinanceHandlers::irr(EvalRun& run)
{
    NumericArguments args(p_, run);
    int n = 0;
    if (!args.count(2, 3, n))
        return;
    std::vector<double> counts;
    if (n == 3 && !frequencies(args, counts))
        return;
    Operand flows;
    if (!args.realList(flows))
        return;
    if (n == 3 && counts.size() != static_cast<std::size_t>(flows.list->count())) {
        args.fail(ErrDimMismatch);
        return;
    }
    double cf0 = 0.0;
    if (!args.real(cf0))
        return;
    TVM tvm;
    const double rate = tvm.irr(cf0, values(*flows.list), counts);
    finish(args, tvm, rate);
}

void FinanceHandlers::amortization(EvalRun& run)
{
    NumericArguments args(p_, run);
    const bool balance = run.token == kBal;
    int n = 0;
    if (!args.count(balance ? 1 : 2, balance ? 2 : 3, n))
        return;
    // bal( rounds to the display digits, 9 in Float; the sums pass Float's -1 on (no rounding).
    int d = calc_.state().numDigits < 0 && balance ? 9 : calc_.state().numDigits;
    if (n == (balance ? 2 : 3) && !digits(args, d))
        return;
    double first = 0.0, last = 0.0;
    if (!args.real(last))
        return;
    if (balance) {
        if (last < 0.0 || last >= kPaymentLimit) {
            args.fail(ErrDomain);
            return;
        }
    } else {
        if (!args.real(first))
            return;
        if (last >= kPaymentLimit || first >= kPaymentLimit || last < 0.0 || first > last || first < 0.0) {
            args.fail(ErrDomain);
            return;
        }
    }
    TVM tvm;
    const auto a = tvm.amortize(record(calc_), ArgumentFetcher::clampedInt(first), ArgumentFetcher::clampedInt(last), d);
    finish(args, tvm, balance ? a.balance : run.token == kSumPrn ? a.principal : a.interest);
}

void FinanceHandlers::solve(EvalRun& run)
{
    NumericArguments args(p_, run);
    int n = 0;
    if (!args.count(0, 6, n))
        return;
    TVMRecord r = record(calc_);
    const auto& fields = kSolverArguments[static_cast<std::size_t>(run.token - kFirstSolver)];
    for (int k = n; k >= 1; --k) {
        if (!args.real(r.*fields[static_cast<std::size_t>(k - 1)]))
            return;
    }
    TVM tvm;
    double value = 0.0;
    switch (run.token) {
    case kFirstSolver: value = tvm.computePMT(r); break;
    case 0xBB21: value = tvm.computeI(r); break;
    case 0xBB22: value = tvm.computePV(r); break;
    case 0xBB23: value = tvm.computeN(r); break;
    default: value = tvm.computeFV(r); break;
    }
    finish(args, tvm, value);
}

} // namespace orvenda
