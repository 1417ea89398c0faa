#include "eval/ShadeEvaluation.h"

#include "core/DrawObject.h"
#include "core/VQList.h"
#include "core/VQStack.h"
#include "eval/ArgumentFetcher.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "numeric/Densities.h"
#include "numeric/Distributions.h"

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr int kShadeNorm = 0xBB35, kShadeT = 0xBB36, kShadeChi2 = 0xBB37, kShadeF = 0xBB38;

struct Arity {
    int fewest;
    int most;
};

Arity arityOf(int token)
{
    switch (token) {
    case kShadeNorm: return {2, 5};
    case kShadeT:
    case kShadeChi2: return {3, 4};
    default: return {4, 5};
    }
}

// The largest value of the F density over [0, 2]: it rises to its mode and falls after
// it, so it is largest at the mode moved into that range.
double fPeak(double numerDf, double denomDf)
{
    const double mode = numerDf > 2 ? (numerDf - 2) / numerDf * denomDf / (denomDf + 2) : 0.0;
    return Densities::fisherFPdf(std::clamp(mode, 0.0, 2.0), numerDf, denomDf);
}

ShadeEvaluation::Bounds chiSquareWindow(double df)
{
    const double xMax = 1.17 * df + 19.6;
    const double xMin = std::max(0.0, 2 * (df - 2) - 0.975 * xMax);
    // At 2 degrees of freedom and below the density starts at its top, where the curve's
    // formula has no value; 0.6 holds it.
    const double yMax = df > 2 ? std::min(0.6, 0.26 * std::pow(df - 2, -0.462264)) : 0.6;
    return {xMin, xMax, -yMax / 6, yMax};
}

} // namespace

std::shared_ptr<DrawDistribution> ShadeEvaluation::evalShadeFunction(VQStack& stack, double count, int token,
                                                                     Bounds& bounds)
{
    if (token < kShadeNorm || token > kShadeF)
        return nullptr;
    const int n = ArgumentFetcher::clampedInt(count);
    const Arity arity = arityOf(token);
    p_.validateArgsMin(arity.fewest, arity.most, n, stack);
    if (p_.error() != 0)
        return nullptr;
    if (token == kShadeNorm && n == 3) {
        p_.setError(ErrMissingArgument);
        return nullptr;
    }
    double r = 0, g = 1, b = 0;
    if (n == arity.most) {
        const auto colour = p_.getColorFromStack(stack);
        if (!colour) {
            if (p_.error() == 0)
                p_.setError(ErrArgument);
            return nullptr;
        }
        r = colour->realAtIndex(0);
        g = colour->realAtIndex(1);
        b = colour->realAtIndex(2);
    }
    // The numbers, last first.
    const int numbers = n == arity.most ? n - 1 : n;
    double v[4] = {0, 0, 0, 0};
    for (int i = numbers - 1; i >= 0; --i)
        if (!p_.getReal(v[i], stack))
            return nullptr;
    const double lower = v[0], upper = v[1];

    double area = 0, mu = 0, sigma = 0, dfNumer = 0, dfDenom = 0;
    switch (token) {
    case kShadeNorm:
        mu = numbers == 4 ? v[2] : 0;
        sigma = numbers == 4 ? v[3] : 1;
        if (!(sigma > 0)) {
            p_.setError(ErrDomain);
            return nullptr;
        }
        area = Distributions::normalcdf(lower, upper, mu, sigma);
        bounds = {mu - 3.125 * sigma, mu + 3.125 * sigma, -0.25 * 0.4 / sigma, 1.1 * 0.4 / sigma};
        break;
    case kShadeT:
    case kShadeChi2:
        dfNumer = v[2];
        if (!(dfNumer > 0)) {
            p_.setError(ErrDomain);
            return nullptr;
        }
        if (token == kShadeT) {
            area = Distributions::tcdf(lower, upper, dfNumer);
            bounds = {-4, 4, -0.1, 0.45};
        } else {
            area = Distributions::x2cdf(lower, upper, dfNumer);
            bounds = chiSquareWindow(dfNumer);
        }
        break;
    default: {
        dfNumer = v[2];
        dfDenom = v[3];
        if (!(dfNumer > 0) || !(dfDenom > 0)) {
            p_.setError(ErrDomain);
            return nullptr;
        }
        area = Distributions::fcdf(lower, upper, dfNumer, dfDenom);
        const double peak = dfNumer < 2 ? 2.5 : fPeak(dfNumer, dfDenom);
        bounds = {0, 4, -peak / 6, 1.1 * peak};
        break;
    }
    }
    auto record = DrawDistribution::drawDistributionType(token, lower, upper, area, sigma, mu, dfNumer, dfDenom);
    record->r = static_cast<float>(r);
    record->g = static_cast<float>(g);
    record->b = static_cast<float>(b);
    return record;
}

} // namespace orvenda
