#include "eval/DistributionHandlers.h"

#include "core/VQList.h"
#include "eval/ArgumentFetcher.h"
#include "eval/EvalRun.h"
#include "eval/NumericArguments.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "numeric/Densities.h"
#include "numeric/Distributions.h"
#include "numeric/ElementaryFunctions.h"

#include <cmath>
#include <memory>
#include <utility>

namespace orvenda {

namespace {

constexpr int kLeftTail = 0xEF92;
constexpr int kCenter = 0xEF93;
constexpr int kRightTail = 0xEF94;
constexpr double kInfiniteBound = 1e99;
// Binomial trials from 2^32 on are refused: counts of that size are no trials anyone makes,
// and beyond 2^53 successive counts are no longer told apart.
constexpr double kMaxTrials = 4294967296.0;

bool inUnitRange(double x)
{
    return x >= 0.0 && x <= 1.0;
}

// Takes a real that must lie in 0..1 (17 otherwise).
bool probability(NumericArguments& args, double& p)
{
    return args.real(p) && (inUnitRange(p) || args.fail(ErrDomain));
}

// Takes degrees of freedom, which must be positive (17 otherwise).
bool degreesOfFreedom(NumericArguments& args, double& df)
{
    return args.real(df) && (df > 0.0 || args.fail(ErrDomain));
}

// Takes a deviation, which must not be 0 (17 otherwise).
bool deviation(NumericArguments& args, double& sigma)
{
    return args.real(sigma) && (sigma != 0.0 || args.fail(ErrDomain));
}

// The argument count within min..max; `refused`, a count in that range the function does
// not take, gives 27.
bool counted(NumericArguments& args, int min, int max, int refused, int& n)
{
    return args.count(min, max, n) && (n != refused || args.fail(ErrArgument));
}

// f at x, or at every element of the list x.
template <class F>
void atEach(NumericArguments& args, const Operand& x, F f)
{
    if (x.kind == KindReal) {
        args.result(f(x.re()));
        return;
    }
    VQList out;
    for (int i = 0; i < x.list->count(); ++i)
        out.addReal(f(x.list->realAtIndex(i)), 15, -15);
    args.result(std::move(out));
}

} // namespace

bool DistributionHandlers::handles(int t)
{
    return (t >= 0xBB10 && t <= 0xBB1B) || t == 0xBB1E || t == 0xEF13 || t == 0xEF95;
}

void DistributionHandlers::handle(EvalRun& run)
{
    switch (run.token) {
    case 0xBB10: normalcdf(run); break;
    case 0xBB11: invNorm(run); break;
    case 0xBB12:
    case 0xBB13: tOrChiSquareCdf(run); break;
    case 0xBB14: fcdf(run); break;
    case 0xBB15:
    case 0xBB16: binomial(run); break;
    case 0xBB17:
    case 0xBB18:
    case 0xBB19:
    case 0xBB1A: poissonOrGeometric(run); break;
    case 0xBB1B: normalpdf(run); break;
    case 0xBB1E: fpdf(run); break;
    case 0xEF13: invT(run); break;
    case 0xEF95: invBinom(run); break;
    default: break;
    }
}

void DistributionHandlers::normalcdf(EvalRun& run)
{
    NumericArguments args(p_, run);
    int n = 0;
    if (!counted(args, 2, 4, 3, n))
        return;
    double mu = 0.0, sigma = 1.0, lower = 0.0, upper = 0.0;
    if (n == 4 && (!deviation(args, sigma) || !args.real(mu)))
        return;
    if (!args.real(upper) || !args.real(lower))
        return;
    args.result(Distributions::normalcdf(lower, upper, mu, sigma));
}

void DistributionHandlers::invNorm(EvalRun& run)
{
    NumericArguments args(p_, run);
    int n = 0;
    if (!counted(args, 1, 4, 2, n))
        return;
    int tail = kLeftTail;
    double mu = 0.0, sigma = 1.0, area = 0.0;
    if (n == 4) {
        double t = 0.0;
        if (!args.real(t))
            return;
        tail = ArgumentFetcher::clampedInt(t);
        if (tail != kLeftTail && tail != kCenter && tail != kRightTail) {
            args.fail(ErrArgument);
            return;
        }
    }
    if (n >= 3 && (!deviation(args, sigma) || !args.real(mu)))
        return;
    if (!probability(args, area))
        return;
    if (tail == kCenter)
        area = (1.0 - area) * 0.5;
    else if (tail == kRightTail)
        area = 1.0 - area;
    double x;
    if (area == 0.0)
        x = -kInfiniteBound;
    else if (area == 1.0)
        x = kInfiniteBound;
    else
        x = Distributions::invNorm(area, mu, sigma);
    if (tail != kCenter) {
        args.result(x);
        return;
    }
    VQList interval;
    interval.addReal(x, 15, -15);
    interval.addReal(2.0 * mu - x, 15, -15);
    args.result(std::move(interval));
}

void DistributionHandlers::tOrChiSquareCdf(EvalRun& run)
{
    NumericArguments args(p_, run);
    int n = 0;
    double df = 0.0, lower = 0.0, upper = 0.0;
    if (!args.count(3, 3, n) || !degreesOfFreedom(args, df) || !args.real(upper) || !args.real(lower))
        return;
    args.result(run.token == 0xBB12 ? Distributions::tcdf(lower, upper, df) : Distributions::x2cdf(lower, upper, df));
}

void DistributionHandlers::fcdf(EvalRun& run)
{
    NumericArguments args(p_, run);
    int n = 0;
    double numeratorDf = 0.0, denominatorDf = 0.0, lower = 0.0, upper = 0.0;
    if (!args.count(4, 4, n) || !degreesOfFreedom(args, denominatorDf) || !degreesOfFreedom(args, numeratorDf)
        || !args.real(upper) || !args.real(lower))
        return;
    args.result(Distributions::fcdf(lower, upper, numeratorDf, denominatorDf));
}

void DistributionHandlers::binomial(EvalRun& run)
{
    NumericArguments args(p_, run);
    int n = 0;
    if (!args.count(2, 3, n))
        return;
    Operand x;
    if (n == 3 && !args.realOrList(x))
        return;
    double p = 0.0, trials = 0.0;
    if (!probability(args, p) || !args.real(trials))
        return;
    if (trials < 1.0 || !ElementaryFunctions::isWhole(trials) || trials >= kMaxTrials) {
        args.fail(ErrDomain);
        return;
    }
    const bool listX = x.kind == KindRealList;
    if (trials >= 1e6 && (listX || (n == 3 && x.re() > 0.0 && x.re() < trials)) && p > 0.0 && p < 1.0) {
        args.fail(ErrDomain);
        return;
    }
    if (n == 2) {
        if (trials >= 1000.0) {
            args.fail(ErrMemory);
            return;
        }
        VQList counts;
        for (int k = 0, last = ArgumentFetcher::clampedInt(trials); k <= last; ++k)
            counts.addReal(k, 15, -15);
        x.kind = KindRealList;
        x.list = std::make_shared<VQList>(std::move(counts));
    }
    const bool cdf = run.token == 0xBB16;
    atEach(args, x, [&](double k) {
        return cdf ? Distributions::binomcdf(trials, p, k) : Distributions::binompdf(trials, p, k);
    });
}

void DistributionHandlers::poissonOrGeometric(EvalRun& run)
{
    NumericArguments args(p_, run);
    int n = 0;
    Operand x;
    double parameter = 0.0;
    if (!args.count(2, 2, n) || !args.realOrList(x) || !args.real(parameter))
        return;
    const bool geometric = run.token >= 0xBB19;
    if (parameter < 0.0 || (geometric && parameter > 1.0)) {
        args.fail(ErrDomain);
        return;
    }
    switch (run.token) {
    case 0xBB17: atEach(args, x, [&](double k) { return Distributions::poissonpdf(parameter, k); }); break;
    case 0xBB18: atEach(args, x, [&](double k) { return Distributions::poissoncdf(parameter, k); }); break;
    case 0xBB19: atEach(args, x, [&](double k) { return Distributions::geometpdf(parameter, k); }); break;
    default: atEach(args, x, [&](double k) { return Distributions::geometcdf(parameter, k); }); break;
    }
}

void DistributionHandlers::normalpdf(EvalRun& run)
{
    NumericArguments args(p_, run);
    int n = 0;
    if (!counted(args, 1, 3, 2, n))
        return;
    double mu = 0.0, sigma = 1.0, x = 0.0;
    if (n == 3 && (!deviation(args, sigma) || !args.real(mu)))
        return;
    if (!args.real(x))
        return;
    args.result(Densities::normalPdf(x, mu, sigma));
}

void DistributionHandlers::fpdf(EvalRun& run)
{
    NumericArguments args(p_, run);
    int n = 0;
    double numeratorDf = 0.0, denominatorDf = 0.0, x = 0.0;
    if (!args.count(3, 3, n) || !degreesOfFreedom(args, denominatorDf) || !degreesOfFreedom(args, numeratorDf)
        || !args.real(x))
        return;
    args.result(Densities::fisherFPdf(x, numeratorDf, denominatorDf));
}

void DistributionHandlers::invT(EvalRun& run)
{
    NumericArguments args(p_, run);
    int n = 0;
    double df = 0.0, area = 0.0;
    if (!args.count(2, 2, n) || !degreesOfFreedom(args, df) || !probability(args, area))
        return;
    args.result(Distributions::invT(area, df));
}

void DistributionHandlers::invBinom(EvalRun& run)
{
    NumericArguments args(p_, run);
    int n = 0;
    double p = 0.0, trials = 0.0, area = 0.0;
    if (!args.count(3, 3, n) || !probability(args, p) || !args.real(trials))
        return;
    if (trials < 0.0 || !ElementaryFunctions::isWhole(trials) || trials >= kMaxTrials) {
        args.fail(ErrDomain);
        return;
    }
    if (!probability(args, area))
        return;
    args.result(Distributions::invBinom(area, trials, p));
}

} // namespace orvenda
