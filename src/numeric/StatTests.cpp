#include "numeric/StatTests.h"

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "language/ErrorNumbers.h"
#include "numeric/DecimalCentering.h"
#include "numeric/Distributions.h"
#include "numeric/MathPolicy.h"
#include "numeric/StatSlots.h"
#include "numeric/VQStatistics.h"

#include <boost/math/distributions/fisher_f.hpp>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

using D = Distributions;

// Bounds of ±1e99 stand for infinite ones.
constexpr double kInfinite = 1e99;

// p-value from the two tail areas of a statistic: alternative 1 less than, 2 greater
// than, anything else two-sided.
double pValue(int h, double lowerTail, double upperTail)
{
    switch (h) {
    case 1: return lowerTail;
    case 2: return upperTail;
    default: return std::min(1.0, 2 * std::min(lowerTail, upperTail));
    }
}

double pNormal(int h, double z)
{
    return pValue(h, D::normalcdf(-kInfinite, z, 0, 1), D::normalcdf(z, kInfinite, 0, 1));
}

double pT(int h, double t, double df)
{
    return pValue(h, D::tcdf(-kInfinite, t, df), D::tcdf(t, kInfinite, df));
}

double fQuantile(double p, double numeratorDf, double denominatorDf)
{
    return boost::math::quantile(boost::math::fisher_f_distribution<double, MathPolicy>(numeratorDf, denominatorDf), p);
}


bool positive(double x)
{
    return x > 0 && std::isfinite(x);
}

bool whole(double x)
{
    return std::isfinite(x) && x == std::trunc(x);
}

// A count of successes out of n trials.
bool proportion(double x, double n)
{
    return whole(n) && n >= 1 && whole(x) && x >= 0 && x <= n;
}

bool level(double c)
{
    return c > 0 && c < 1;
}

// The two-sided critical value of the standard normal at confidence level c.
double criticalZ(double c)
{
    return D::invNorm((1 + c) / 2, 0, 1);
}

} // namespace

double StatTests::get(int slot) const
{
    return calc_.getVar(slot).value.real();
}

void StatTests::put(int slot, double value)
{
    // The slot keeps its significance pair.
    if (slot >= 0 && slot < Calculator::kVarCount)
        calc_.locked()->vars[static_cast<std::size_t>(slot)] = {value, 0.0};
}

void StatTests::twoSampleError(bool pooled, double& se, double& df)
{
    const double s1 = get(SlotSx1), n1 = get(SlotN1), s2 = get(SlotSx2), n2 = get(SlotN2);
    if (pooled) {
        const double sxp = std::sqrt(((n1 - 1) * s1 * s1 + (n2 - 1) * s2 * s2) / (n1 + n2 - 2));
        se = sxp * std::sqrt(1 / n1 + 1 / n2);
        df = n1 + n2 - 2;
        put(SlotSxp, sxp);
    } else {
        // Welch's degrees of freedom of the two variances of the mean.
        const double v1 = s1 * s1 / n1, v2 = s2 * s2 / n2;
        se = std::sqrt(v1 + v2);
        df = (v1 + v2) * (v1 + v2) / (v1 * v1 / (n1 - 1) + v2 * v2 / (n2 - 1));
    }
}

// ---- Tests ----

int StatTests::computeZTest(int h)
{
    const double mean = get(SlotXMean), n = get(SlotTestN), sigma = get(SlotSigma), mu0 = get(SlotMu0);
    if (!positive(sigma) || !(n >= 1))
        return ErrDomain;
    const double z = (mean - mu0) / (sigma / std::sqrt(n));
    put(SlotZ, z);
    put(SlotP, pNormal(h, z));
    return 0;
}

int StatTests::computeTTest(int h)
{
    const double mean = get(SlotXMean), sx = get(SlotSx), n = get(SlotTestN), mu0 = get(SlotMu0);
    if (!positive(sx) || !(n >= 2))
        return ErrDomain;
    const double t = (mean - mu0) / (sx / std::sqrt(n));
    put(SlotT, t);
    put(SlotP, pT(h, t, n - 1));
    return 0;
}

int StatTests::computeZ2Test(int h)
{
    const double m1 = get(SlotXMean1), n1 = get(SlotN1), m2 = get(SlotXMean2), n2 = get(SlotN2);
    const double s1 = get(SlotSigma1), s2 = get(SlotSigma2);
    if (!positive(s1) || !positive(s2) || !(n1 >= 1) || !(n2 >= 1))
        return ErrDomain;
    const double z = (m1 - m2) / std::sqrt(s1 * s1 / n1 + s2 * s2 / n2);
    put(SlotZ, z);
    put(SlotP, pNormal(h, z));
    return 0;
}

int StatTests::computeT2Test(int h, bool pooled)
{
    const double m1 = get(SlotXMean1), s1 = get(SlotSx1), n1 = get(SlotN1);
    const double m2 = get(SlotXMean2), s2 = get(SlotSx2), n2 = get(SlotN2);
    if (!positive(s1) || !positive(s2) || !(n1 >= 2) || !(n2 >= 2))
        return ErrDomain;
    double se = 0, df = 0;
    twoSampleError(pooled, se, df);
    const double t = (m1 - m2) / se;
    put(SlotT, t);
    put(SlotDf, df);
    put(SlotP, pT(h, t, df));
    return 0;
}

int StatTests::compute1PropZTest(int h)
{
    const double n = get(SlotTestN), p0 = get(SlotP0), x = get(SlotX);
    if (!proportion(x, n) || !(p0 > 0 && p0 < 1))
        return ErrDomain;
    const double pHat = x / n;
    const double z = (pHat - p0) / std::sqrt(p0 * (1 - p0) / n);
    put(SlotZ, z);
    put(SlotPHat, pHat);
    put(SlotP, pNormal(h, z));
    return 0;
}

int StatTests::compute2PropZTest(int h)
{
    const double n1 = get(SlotN1), n2 = get(SlotN2), x1 = get(SlotX1), x2 = get(SlotX2);
    if (!proportion(x1, n1) || !proportion(x2, n2))
        return ErrDomain;
    const double p1 = x1 / n1, p2 = x2 / n2, pooled = (x1 + x2) / (n1 + n2);
    const double z = (p1 - p2) / std::sqrt(pooled * (1 - pooled) * (1 / n1 + 1 / n2));
    put(SlotZ, z);
    put(SlotPHat, pooled);
    put(SlotPHat1, p1);
    put(SlotPHat2, p2);
    put(SlotP, pNormal(h, z));
    return 0;
}

int StatTests::computeF2Test(int h)
{
    const double s1 = get(SlotSx1), n1 = get(SlotN1), s2 = get(SlotSx2), n2 = get(SlotN2);
    if (!positive(s1) || !positive(s2) || !(n1 >= 2) || !(n2 >= 2))
        return ErrDomain;
    const double f = s1 * s1 / (s2 * s2), df1 = n1 - 1, df2 = n2 - 1;
    const double p = pValue(h, D::fcdf(0, f, df1, df2), D::fcdf(f, kInfinite, df1, df2));
    put(SlotF, f);
    put(SlotP, p);
    // The region as extreme as F: below it, above it, or both equal tails.
    double lower = 0, upper = f;
    if (h == 2) {
        lower = f;
        upper = kInfinite;
    } else if (h != 1) {
        lower = fQuantile(p / 2, df1, df2);
        upper = fQuantile(1 - p / 2, df1, df2);
    }
    put(SlotLower, lower);
    put(SlotUpper, upper);
    return 0;
}

// ---- Intervals ----

int StatTests::computeZInterval()
{
    const double mean = get(SlotXMean), n = get(SlotTestN), sigma = get(SlotSigma), c = get(SlotCLevel);
    if (!level(c))
        return ErrCLevel;
    if (!positive(sigma) || !(n >= 1))
        return ErrDomain;
    const double z = criticalZ(c), half = z * sigma / std::sqrt(n);
    put(SlotZ, z);
    put(SlotLower, mean - half);
    put(SlotUpper, mean + half);
    return 0;
}

int StatTests::computeTInterval()
{
    const double mean = get(SlotXMean), sx = get(SlotSx), n = get(SlotTestN), c = get(SlotCLevel);
    if (!level(c))
        return ErrCLevel;
    if (!positive(sx) || !(n >= 2))
        return ErrDomain;
    const double t = D::invT((1 + c) / 2, n - 1), half = t * sx / std::sqrt(n);
    put(SlotT, t);
    put(SlotLower, mean - half);
    put(SlotUpper, mean + half);
    return 0;
}

int StatTests::computeZ2Interval()
{
    const double m1 = get(SlotXMean1), n1 = get(SlotN1), m2 = get(SlotXMean2), n2 = get(SlotN2);
    const double s1 = get(SlotSigma1), s2 = get(SlotSigma2), c = get(SlotCLevel);
    if (!level(c))
        return ErrCLevel;
    if (!positive(s1) || !positive(s2) || !(n1 >= 1) || !(n2 >= 1))
        return ErrDomain;
    const double half = criticalZ(c) * std::sqrt(s1 * s1 / n1 + s2 * s2 / n2);
    put(SlotLower, m1 - m2 - half);
    put(SlotUpper, m1 - m2 + half);
    return 0;
}

int StatTests::computeT2IntervalPool(bool pooled)
{
    const double m1 = get(SlotXMean1), s1 = get(SlotSx1), n1 = get(SlotN1);
    const double m2 = get(SlotXMean2), s2 = get(SlotSx2), n2 = get(SlotN2), c = get(SlotCLevel);
    if (!level(c))
        return ErrCLevel;
    if (!positive(s1) || !positive(s2) || !(n1 >= 2) || !(n2 >= 2))
        return ErrDomain;
    double se = 0, df = 0;
    twoSampleError(pooled, se, df);
    const double half = D::invT((1 + c) / 2, df) * se;
    put(SlotDf, df);
    put(SlotLower, m1 - m2 - half);
    put(SlotUpper, m1 - m2 + half);
    return 0;
}

int StatTests::compute1PropZInterval()
{
    const double n = get(SlotTestN), x = get(SlotX), c = get(SlotCLevel);
    if (!level(c))
        return ErrCLevel;
    if (!proportion(x, n))
        return ErrDomain;
    const double pHat = x / n, z = criticalZ(c), half = z * std::sqrt(pHat * (1 - pHat) / n);
    put(SlotZ, z);
    put(SlotPHat, pHat);
    put(SlotLower, pHat - half);
    put(SlotUpper, pHat + half);
    return 0;
}

int StatTests::compute2PropZInterval()
{
    const double n1 = get(SlotN1), n2 = get(SlotN2), x1 = get(SlotX1), x2 = get(SlotX2), c = get(SlotCLevel);
    if (!level(c))
        return ErrCLevel;
    if (!proportion(x1, n1) || !proportion(x2, n2))
        return ErrDomain;
    const double p1 = x1 / n1, p2 = x2 / n2, z = criticalZ(c);
    const double half = z * std::sqrt(p1 * (1 - p1) / n1 + p2 * (1 - p2) / n2);
    put(SlotZ, z);
    put(SlotPHat1, p1);
    put(SlotPHat2, p2);
    put(SlotLower, p1 - p2 - half);
    put(SlotUpper, p1 - p2 + half);
    return 0;
}

// ---- χ² ----

int StatTests::computeX2TestMat1(const VQMatrix& observed, VQMatrix& expected)
{
    const std::size_t rows = observed.dimRow(), cols = observed.dimCol();
    if (rows < 2 || cols < 2)
        return ErrDomain;
    std::vector<double> rowSum(rows, 0.0), colSum(cols, 0.0);
    double total = 0;
    for (std::size_t i = 0; i < rows; ++i)
        for (std::size_t j = 0; j < cols; ++j) {
            const double o = observed.row(i, j);
            if (!(o >= 0) || !std::isfinite(o))
                return ErrDomain;
            rowSum[i] += o;
            colSum[j] += o;
            total += o;
        }
    auto table = VQMatrix::matrixWithRow(rows, cols);
    if (!table)
        return ErrMemory;
    double chi2 = 0;
    for (std::size_t i = 0; i < rows; ++i)
        for (std::size_t j = 0; j < cols; ++j) {
            const double e = total > 0 ? rowSum[i] * colSum[j] / total : 0;
            if (!(e > 0))
                return ErrDivideBy0;
            const double diff = observed.row(i, j) - e;
            chi2 += diff * diff / e;
            table->set(e, i, j);
        }
    const double df = double(rows - 1) * double(cols - 1);
    put(SlotChi2, chi2);
    put(SlotDf, df);
    put(SlotP, D::x2cdf(chi2, kInfinite, df));
    expected = std::move(*table);
    return 0;
}

int StatTests::computeX2GOFTestObserved(const VQList& observed, const VQList& expected, double df)
{
    if (observed.count() != expected.count())
        return ErrDimMismatch;
    if (!whole(df) || df < 1)
        return ErrDomain;
    VQList contributions;
    double chi2 = 0;
    for (int i = 0; i < observed.count(); ++i) {
        const double e = expected.realAtIndex(i), diff = observed.realAtIndex(i) - e;
        if (!positive(e))
            return ErrDomain;
        contributions.addReal(diff * diff / e, 15, -15);
        chi2 += diff * diff / e;
    }
    put(SlotChi2, chi2);
    put(SlotDf, df);
    put(SlotP, D::x2cdf(chi2, kInfinite, df));
    const auto hold = calc_.lockState();
    return calc_.storeList("CNTRB", std::move(contributions)) ? 0 : ErrMemory;
}

// ---- The regression line ----

std::shared_ptr<VQStatistics> StatTests::fitLine(const VQList& x, const VQList& y, const VQList* freq, int& error,
                                                 double& slopeError)
{
    if (x.count() != y.count() || (freq && freq->count() != x.count())) {
        error = ErrDimMismatch;
        return nullptr;
    }
    auto stats = VQStatistics::twoVar(x, y, freq);
    error = stats->regressionModel(VQStatistics::LinRegABX);
    if (error)
        return nullptr;
    const double n = stats->n, df = n - 2;
    if (!(df > 0)) {
        error = ErrDomain;
        return nullptr;
    }
    double sse = 0;
    for (int i = 0; i < stats->resid->count(); ++i) {
        const double w = freq ? freq->realAtIndex(i) : 1.0, rr = stats->resid->realAtIndex(i);
        sse += w * rr * rr;
    }
    const double s = std::sqrt(sse / df), sxx = stats->stdX * stats->stdX * (n - 1);
    slopeError = s / std::sqrt(sxx);
    put(SlotDf, df);
    put(SlotS, s);
    put(SlotA, stats->a);
    put(SlotA + 1, stats->b);
    put(SlotR, stats->r);
    put(SlotR2, stats->r2);
    return stats;
}

std::shared_ptr<VQStatistics> StatTests::computeLinRegTTestX(const VQList& x, const VQList& y, const VQList* freq,
                                                             int h, int& error)
{
    double slopeError = 0;
    auto stats = fitLine(x, y, freq, error, slopeError);
    if (!stats)
        return nullptr;
    const double df = stats->n - 2, t = stats->b / slopeError;
    put(SlotT, t);
    put(SlotP, pT(h, t, df));
    return stats;
}

std::shared_ptr<VQStatistics> StatTests::computeLinRegTIntervalX(const VQList& x, const VQList& y,
                                                                 const VQList* freq, double cLevel, int& error)
{
    if (!level(cLevel)) {
        error = ErrCLevel;
        return nullptr;
    }
    double slopeError = 0;
    auto stats = fitLine(x, y, freq, error, slopeError);
    if (!stats)
        return nullptr;
    const double t = D::invT((1 + cLevel) / 2, stats->n - 2), half = t * slopeError;
    put(SlotT, t);
    put(SlotLower, stats->b - half);
    put(SlotUpper, stats->b + half);
    return stats;
}

// ---- ANOVA ----

int StatTests::anova(const std::vector<const VQList*>& groups)
{
    // Deviations from one common value taken in decimal, so that data sharing many
    // leading digits keep their spread.
    double reference = 0;
    std::size_t total = 0;
    for (const VQList* g : groups) {
        if (!g || g->count() == 0)
            return ErrInvalidDim;
        if (total == 0)
            reference = g->realAtIndex(0);
        total += static_cast<std::size_t>(g->count());
    }
    const double k = double(groups.size()), N = double(total);
    if (N - k < 1)
        return ErrDivideBy0;
    std::vector<std::vector<double>> dev;
    std::vector<double> means;
    double grand = 0;
    for (const VQList* g : groups) {
        dev.push_back(DecimalCentering::deviations(g->realList(), reference));
        double sum = 0;
        for (double d : dev.back())
            sum += d;
        // One more pass takes out what the first sum lost.
        double mean = sum / double(dev.back().size()), correction = 0;
        for (double d : dev.back())
            correction += d - mean;
        mean += correction / double(dev.back().size());
        means.push_back(mean);
        grand += mean * double(dev.back().size());
    }
    grand /= N;
    double between = 0, within = 0;
    for (std::size_t i = 0; i < dev.size(); ++i) {
        const double shift = means[i] - grand;
        between += double(dev[i].size()) * shift * shift;
        for (double d : dev[i])
            within += (d - means[i]) * (d - means[i]);
    }
    const double dfFactor = k - 1, dfError = N - k;
    const double msFactor = between / dfFactor, msError = within / dfError, f = msFactor / msError;
    put(SlotFactorDf, dfFactor);
    put(SlotFactorDf + 1, between);
    put(SlotFactorDf + 2, msFactor);
    put(SlotErrorDf, dfError);
    put(SlotErrorDf + 1, within);
    put(SlotErrorDf + 2, msError);
    put(SlotF, f);
    put(SlotP, D::fcdf(f, kInfinite, dfFactor, dfError));
    put(SlotSxp, std::sqrt(msError));
    return 0;
}

} // namespace orvenda
