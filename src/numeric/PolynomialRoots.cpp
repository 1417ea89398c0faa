#include "numeric/PolynomialRoots.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

// LAPACK's Fortran entry points (32-bit integers; character arguments carry a hidden length).
extern "C" {
void dgebal_(const char* job, const int* n, double* a, const int* lda, int* ilo, int* ihi, double* scale,
             int* info, std::size_t jobLength);
void dhseqr_(const char* job, const char* compz, const int* n, const int* ilo, const int* ihi, double* h,
             const int* ldh, double* wr, double* wi, double* z, const int* ldz, double* work, const int* lwork,
             int* info, std::size_t jobLength, std::size_t compzLength);
}

namespace orvenda {

namespace {

using Wide = std::complex<long double>;

constexpr int kPolishSteps = 4;
// A conjugate pair is taken for a double real zero when its real part is a zero as good
// as this many rounding units (or as good as the pair itself).
constexpr double kRealPairUnits = 16;

struct Value {
    Wide p;
    Wide dp;
};

Value evaluate(std::span<const double> a, Wide z)
{
    Wide p = a[0];
    Wide dp = 0;
    for (std::size_t i = 1; i < a.size(); ++i) {
        dp = dp * z + p;
        p = p * z + static_cast<long double>(a[i]);
    }
    return {p, dp};
}

// Newton steps kept only while they shrink the residual, so a zero the QR step found well
// is never made worse (a multiple zero stops the steps early).
std::complex<double> polish(std::span<const double> a, std::complex<double> start)
{
    Wide z(start.real(), start.imag());
    Value v = evaluate(a, z);
    long double residual = std::abs(v.p);
    for (int step = 0; step < kPolishSteps && residual > 0 && v.dp != Wide(0); ++step) {
        const Wide next = z - v.p / v.dp;
        const Value w = evaluate(a, next);
        const long double r = std::abs(w.p);
        if (!(r < residual))
            break;
        z = next;
        v = w;
        residual = r;
    }
    return {static_cast<double>(z.real()), static_cast<double>(z.imag())};
}

// Eigenvalues of the companion matrix of the monic polynomial with lower coefficients c.
bool companionEigenvalues(const std::vector<double>& c, std::vector<double>& wr, std::vector<double>& wi)
{
    const int n = static_cast<int>(c.size());
    std::vector<double> h(static_cast<std::size_t>(n) * static_cast<std::size_t>(n), 0.0);
    for (int j = 0; j < n; ++j) {
        h[static_cast<std::size_t>(j) * static_cast<std::size_t>(n)] = -c[static_cast<std::size_t>(j)];
        if (j + 1 < n)
            h[static_cast<std::size_t>(j + 1) + static_cast<std::size_t>(j) * static_cast<std::size_t>(n)] = 1.0;
    }
    // Scaling only: a permutation would break the Hessenberg form.
    int ilo = 1;
    int ihi = n;
    int info = 0;
    std::vector<double> scale(static_cast<std::size_t>(n));
    dgebal_("S", &n, h.data(), &n, &ilo, &ihi, scale.data(), &info, 1);
    if (info != 0)
        return false;

    wr.assign(static_cast<std::size_t>(n), 0.0);
    wi.assign(static_cast<std::size_t>(n), 0.0);
    double z = 0;
    const int one = 1;
    double workSize = 0;
    int query = -1;
    dhseqr_("E", "N", &n, &ilo, &ihi, h.data(), &n, wr.data(), wi.data(), &z, &one, &workSize, &query, &info, 1, 1);
    if (info != 0)
        return false;
    const int lwork = std::max(n, static_cast<int>(workSize));
    std::vector<double> work(static_cast<std::size_t>(lwork));
    dhseqr_("E", "N", &n, &ilo, &ihi, h.data(), &n, wr.data(), wi.data(), &z, &one, work.data(), &lwork, &info, 1,
            1);
    return info == 0;
}

} // namespace

double PolynomialRoots::backwardError(std::span<const double> a, std::complex<double> z)
{
    if (a.empty())
        return 0;
    const Value v = evaluate(a, Wide(z.real(), z.imag()));
    const long double r = std::abs(Wide(z.real(), z.imag()));
    long double size = std::fabs(static_cast<long double>(a[0]));
    for (std::size_t i = 1; i < a.size(); ++i)
        size = size * r + std::fabs(static_cast<long double>(a[i]));
    const long double residual = std::abs(v.p);
    if (size == 0)
        return residual == 0 ? 0.0 : std::numeric_limits<double>::infinity();
    return static_cast<double>(residual / size);
}

std::vector<std::complex<double>> PolynomialRoots::roots(std::span<const double> coefficients)
{
    std::vector<std::complex<double>> zeros;
    if (coefficients.size() < 2)
        return zeros;

    // Trailing zero coefficients are exact zeros at the origin.
    std::size_t size = coefficients.size();
    while (size > 1 && coefficients[size - 1] == 0)
        --size;
    const std::size_t atOrigin = coefficients.size() - size;
    const std::span<const double> a = coefficients.first(size);
    const std::size_t degree = size - 1;

    if (degree == 1) {
        zeros.emplace_back(-a[1] / a[0], 0.0);
    } else if (degree > 1) {
        std::vector<double> c(degree);
        for (std::size_t i = 0; i < degree; ++i) {
            c[i] = a[i + 1] / a[0];
            if (!std::isfinite(c[i]))
                return {};
        }
        std::vector<double> wr;
        std::vector<double> wi;
        if (!companionEigenvalues(c, wr, wi))
            return {};
        for (std::size_t j = 0; j < degree; ++j) {
            if (wi[j] == 0 || j + 1 == degree) {
                zeros.push_back(polish(a, {wr[j], 0.0}));
                continue;
            }
            // A conjugate pair, positive imaginary part first.
            std::complex<double> z = polish(a, {wr[j], std::fabs(wi[j])});
            const double pairError = backwardError(a, z);
            const double realError = backwardError(a, {z.real(), 0.0});
            const double rounding = kRealPairUnits * std::numeric_limits<double>::epsilon();
            if (realError <= std::max(pairError, rounding)) {
                // A double real zero split apart by rounding.
                zeros.emplace_back(z.real(), 0.0);
                zeros.emplace_back(z.real(), 0.0);
            } else {
                z = {z.real(), std::fabs(z.imag())};
                zeros.push_back(z);
                zeros.push_back(std::conj(z));
            }
            ++j;
        }
    }
    zeros.insert(zeros.end(), atOrigin, std::complex<double>(0.0, 0.0));

    std::stable_sort(zeros.begin(), zeros.end(), [](std::complex<double> x, std::complex<double> y) {
        if (x.real() != y.real())
            return x.real() > y.real();
        return x.imag() > y.imag();
    });
    return zeros;
}

} // namespace orvenda
