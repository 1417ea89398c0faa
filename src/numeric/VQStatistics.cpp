#include "numeric/VQStatistics.h"

#include "core/Calculator.h"
#include "core/NumberFormatter.h"
#include "core/VQMatrix.h"
#include "language/ErrorNumbers.h"
#include "numeric/CompensatedSum.h"
#include "numeric/DecimalCentering.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <numeric>

namespace orvenda {

namespace {

constexpr double kNaN = VQStatistics::kNaN;

// Values about their weighted mean.
struct Centred {
    double mean = kNaN;
    std::vector<double> dev;  // value - mean
    double ss = 0;            // Σ w·dev²
};

Centred centre(const std::vector<double>& v, const std::vector<double>& w, double n)
{
    Centred c;
    if (v.empty() || !(n > 0))
        return c;
    double ref = v[0];
    for (std::size_t i = 0; i < v.size(); ++i)
        if (w[i] > 0) {
            ref = v[i];
            break;
        }
    c.dev = DecimalCentering::deviations(v, ref);
    CompensatedSum s;
    for (std::size_t i = 0; i < v.size(); ++i)
        s.add(w[i] * c.dev[i]);
    const double shift = s.value() / n;
    c.mean = ref + shift;
    CompensatedSum ss;
    for (std::size_t i = 0; i < v.size(); ++i) {
        c.dev[i] -= shift;
        ss.add(w[i] * c.dev[i] * c.dev[i]);
    }
    c.ss = ss.value();
    return c;
}

double weightedSum(const std::vector<double>& v, const std::vector<double>& w, auto term)
{
    CompensatedSum s;
    for (std::size_t i = 0; i < v.size(); ++i)
        s.add(w[i] * term(i));
    return s.value();
}

// Smallest and largest value carrying weight.
void range(const std::vector<double>& v, const std::vector<double>& w, double& lo, double& hi)
{
    lo = hi = kNaN;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (!(w[i] > 0))
            continue;
        if (std::isnan(lo) || v[i] < lo)
            lo = v[i];
        if (std::isnan(hi) || v[i] > hi)
            hi = v[i];
    }
}

const VQList* findList(const Calculator& calc, const std::string& name)
{
    const auto it = calc.state().lists.find(name);
    return it == calc.state().lists.end() ? nullptr : &it->second;
}

// The regression line of v on u with weights: v = intercept + slope·u.
struct Line {
    double slope = kNaN, intercept = kNaN, r = kNaN;
};

bool fitLine(const std::vector<double>& u, const std::vector<double>& v, const std::vector<double>& w, Line& line)
{
    const double n = std::accumulate(w.begin(), w.end(), 0.0);
    const Centred cu = centre(u, w, n), cv = centre(v, w, n);
    int points = 0;
    for (double x : w)
        points += x > 0;
    if (points < 2 || !(cu.ss > 0) || !std::isfinite(cu.ss) || !std::isfinite(cv.ss))
        return false;
    const double suv = weightedSum(u, w, [&](std::size_t i) { return cu.dev[i] * cv.dev[i]; });
    line.slope = suv / cu.ss;
    line.intercept = cv.mean - line.slope * cu.mean;
    line.r = cv.ss > 0 ? suv / std::sqrt(cu.ss * cv.ss) : kNaN;
    return std::isfinite(line.slope) && std::isfinite(line.intercept);
}

// Weighted linear least squares through LAPACK: the rows of the design (as `row` fills
// them) times the unknowns against the targets. False when it cannot be solved. The design
// is given in long double and the solution refined once against it: LAPACK's answer differs
// in its last bits from one processor's kernels to another's, and data that lie exactly on
// the model should give the same coefficients everywhere.
bool leastSquares(std::size_t rows, std::size_t unknowns, const std::function<void(std::size_t, long double*)>& row,
                  const std::vector<double>& target, const std::vector<double>& w, std::vector<double>& solution)
{
    std::vector<long double> design(rows * unknowns);
    for (std::size_t i = 0; i < rows; ++i) {
        row(i, &design[i * unknowns]);
        const long double s = std::sqrt(static_cast<long double>(w[i]));
        for (std::size_t j = 0; j < unknowns; ++j)
            design[i * unknowns + j] *= s;
    }
    const auto solve = [&](const std::function<long double(std::size_t)>& rhs, std::vector<double>& x) {
        auto m = VQMatrix::matrixWithRow(rows, unknowns + 1);
        if (!m)
            return false;
        for (std::size_t i = 0; i < rows; ++i) {
            for (std::size_t j = 0; j < unknowns; ++j)
                m->set(static_cast<double>(design[i * unknowns + j]), i, j);
            m->set(static_cast<double>(rhs(i)), i, unknowns);
        }
        const auto out = m->dsv();
        if (!out)
            return false;
        x.assign(out->m(), out->m() + unknowns);
        return std::all_of(x.begin(), x.end(), [](double v) { return std::isfinite(v); });
    };
    const auto weighted = [&](std::size_t i) {
        return std::sqrt(static_cast<long double>(w[i])) * static_cast<long double>(target[i]);
    };
    if (!solve(weighted, solution))
        return false;
    // One step of refinement: the correction solves the system of the residual, taken in
    // long double, so the sum keeps the digits the first answer lost.
    std::vector<long double> residual(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        long double fitted = 0;
        for (std::size_t j = 0; j < unknowns; ++j)
            fitted += design[i * unknowns + j] * solution[j];
        residual[i] = weighted(i) - fitted;
    }
    std::vector<double> correction;
    if (!solve([&](std::size_t i) { return residual[i]; }, correction))
        return true;
    for (std::size_t j = 0; j < unknowns; ++j) {
        const double refined = static_cast<double>(static_cast<long double>(solution[j]) + correction[j]);
        if (std::isfinite(refined))
            solution[j] = refined;
    }
    return true;
}

// Levenberg-Marquardt on a model with a few parameters: `evaluate` gives the model's
// value and its derivatives by the parameters at point i. Minimises Σ w·(y - f)².
using ModelFn = std::function<double(std::size_t i, const std::vector<double>& p, double* grad)>;

double residualSquares(const ModelFn& f, const std::vector<double>& p, const std::vector<double>& y,
                       const std::vector<double>& w)
{
    std::vector<double> grad(p.size());
    CompensatedSum s;
    for (std::size_t i = 0; i < y.size(); ++i) {
        const double r = y[i] - f(i, p, grad.data());
        s.add(w[i] * r * r);
    }
    return s.value();
}

bool levenbergMarquardt(const ModelFn& f, std::vector<double>& p, const std::vector<double>& y,
                        const std::vector<double>& w)
{
    const std::size_t k = p.size(), rows = y.size();
    double sse = residualSquares(f, p, y, w);
    if (!std::isfinite(sse))
        return false;
    double lambda = 1e-3;
    std::vector<double> grad(k), jac(rows * k), res(rows), norm(k), step;
    for (int iteration = 0; iteration < 500 && sse > 0; ++iteration) {
        std::fill(norm.begin(), norm.end(), 0.0);
        for (std::size_t i = 0; i < rows; ++i) {
            const double s = std::sqrt(w[i]);
            res[i] = s * (y[i] - f(i, p, grad.data()));
            for (std::size_t j = 0; j < k; ++j) {
                jac[i * k + j] = s * grad[j];
                norm[j] += jac[i * k + j] * jac[i * k + j];
            }
        }
        bool improved = false;
        while (lambda < 1e16) {
            // min |J·δ - r|² + λ·|D·δ|², as one least-squares system with k damping rows.
            std::vector<double> ones(rows + k, 1.0), target(rows + k, 0.0);
            std::copy(res.begin(), res.end(), target.begin());
            const auto row = [&](std::size_t i, long double* cells) {
                for (std::size_t j = 0; j < k; ++j)
                    cells[j] = i < rows ? jac[i * k + j]
                                        : (i - rows == j ? std::sqrt(lambda * std::max(norm[j], 1e-300)) : 0.0);
            };
            if (!leastSquares(rows + k, k, row, target, ones, step)) {
                lambda *= 10;
                continue;
            }
            std::vector<double> trial = p;
            for (std::size_t j = 0; j < k; ++j)
                trial[j] += step[j];
            const double trialSse = residualSquares(f, trial, y, w);
            if (std::isfinite(trialSse) && trialSse <= sse) {
                const bool converged = sse - trialSse <= 1e-15 * sse;
                double change = 0;
                for (std::size_t j = 0; j < k; ++j)
                    change = std::max(change, std::fabs(step[j]) / std::max(std::fabs(p[j]), 1e-12));
                p = std::move(trial);
                sse = trialSse;
                lambda = std::max(lambda / 10, 1e-12);
                improved = true;
                if (converged && change < 1e-12)
                    return true;
                break;
            }
            lambda *= 10;
        }
        if (!improved)
            break;
    }
    return std::all_of(p.begin(), p.end(), [](double v) { return std::isfinite(v); });
}

// Token numbers of the fitted equations.
constexpr std::uint32_t kX = 0x58, kPlus = 0x70, kMinus = 0x71, kTimes = 0x82, kDivide = 0x83, kPower = 0xF0,
                        kOpen = 0x10, kClose = 0x11, kLn = 0xBE, kExp = 0xBF, kSin = 0xC2, kSquare = 0x0D,
                        kCube = 0x0F, kNegate = 0xB0, kOne = 0x31, kFour = 0x34;

double reduceAngle(double c)
{
    c = std::remainder(c, 2 * std::numbers::pi);
    return c <= -std::numbers::pi ? c + 2 * std::numbers::pi : c;
}

} // namespace

// ---- Building ----

bool VQStatistics::canWeight(const VQList& freq)
{
    if (freq.type() != 0 || freq.count() == 0)
        return false;
    bool positive = false;
    for (double f : freq.realList()) {
        if (!(f >= 0) || !std::isfinite(f))
            return false;
        positive = positive || f > 0;
    }
    return positive;
}

std::vector<double> VQStatistics::weights() const
{
    std::vector<double> w(static_cast<std::size_t>(listX.count()), 1.0);
    if (freq)
        for (std::size_t i = 0; i < w.size(); ++i)
            w[i] = i < static_cast<std::size_t>(freq->count()) ? freq->realAtIndex(int(i)) : 0.0;
    return w;
}

void VQStatistics::computeOneVar()
{
    const std::vector<double> x = listX.realList(), w = weights();
    n = std::accumulate(w.begin(), w.end(), 0.0);
    Xsum = weightedSum(x, w, [&](std::size_t i) { return x[i]; });
    X2sum = weightedSum(x, w, [&](std::size_t i) { return x[i] * x[i]; });
    const Centred cx = centre(x, w, n);
    Xmean = cx.mean;
    stdX = n > 1 ? std::sqrt(cx.ss / (n - 1)) : kNaN;
    popStdX = n > 0 ? std::sqrt(cx.ss / n) : kNaN;
    range(x, w, minX, maxX);
    VQNumber q1, med, q3;
    listX.quartilesQ1(q1, med, q3, freq ? &*freq : nullptr);
    Q1 = q1.r();
    medianX = med.r();
    Q3 = q3.r();
}

void VQStatistics::computeTwoVar()
{
    computeOneVar();
    const std::vector<double> x = listX.realList(), y = listY.realList(), w = weights();
    Ysum = weightedSum(y, w, [&](std::size_t i) { return y[i]; });
    Y2sum = weightedSum(y, w, [&](std::size_t i) { return y[i] * y[i]; });
    XYsum = weightedSum(x, w, [&](std::size_t i) { return x[i] * y[i]; });
    const Centred cy = centre(y, w, n);
    Ymean = cy.mean;
    stdY = n > 1 ? std::sqrt(cy.ss / (n - 1)) : kNaN;
    popStdY = n > 0 ? std::sqrt(cy.ss / n) : kNaN;
    range(y, w, minY, maxY);
}

std::shared_ptr<VQStatistics> VQStatistics::oneVar(const VQList& x, const VQList* freq)
{
    auto s = std::make_shared<VQStatistics>();
    s->listX = VQList::listWithList(x);
    if (freq) {
        s->freq = VQList::listWithList(*freq);
        s->listX.sortA(*s->freq);
    } else {
        s->listX.sortAscending();
    }
    s->computeOneVar();
    return s;
}

std::shared_ptr<VQStatistics> VQStatistics::twoVar(const VQList& x, const VQList& y, const VQList* freq)
{
    auto s = std::make_shared<VQStatistics>();
    s->listX = VQList::listWithList(x);
    s->listY = VQList::listWithList(y);
    if (freq)
        s->freq = VQList::listWithList(*freq);
    s->computeTwoVar();
    return s;
}

std::shared_ptr<VQStatistics> VQStatistics::oneVarName(const Calculator& calc, const std::string& xName,
                                                       const std::string& freqName, int& error)
{
    // The lists are read in place.
    const auto hold = calc.lockState();
    error = 0;
    const VQList* x = findList(calc, xName);
    const VQList* f = freqName == "1" ? nullptr : findList(calc, freqName);
    if (!x || x->count() == 0 || (freqName != "1" && !f)) {
        error = ErrListUndefined;
        return nullptr;
    }
    if (x->type() != 0) {
        error = ErrDataType;
        return nullptr;
    }
    if (f && (f->count() != x->count() || !canWeight(*f))) {
        error = ErrBadFrequencyList;
        return nullptr;
    }
    auto s = oneVar(*x, f);
    s->listXName = xName;
    if (f)
        s->freqName = freqName;
    return s;
}

std::shared_ptr<VQStatistics> VQStatistics::twoVarName(const Calculator& calc, const std::string& xName,
                                                       const std::string& yName,
                                                       const std::optional<std::string>& freqName, int& error)
{
    // The lists are read in place.
    const auto hold = calc.lockState();
    error = 0;
    const bool weighted = freqName && *freqName != "1";
    const VQList* x = findList(calc, xName);
    const VQList* y = findList(calc, yName);
    const VQList* f = weighted ? findList(calc, *freqName) : nullptr;
    if (!x || !y || x->count() == 0 || y->count() == 0 || (weighted && !f)) {
        error = ErrListUndefined;
        return nullptr;
    }
    if (x->count() != y->count()) {
        error = ErrDimMismatch;
        return nullptr;
    }
    if (x->type() != 0 || y->type() != 0) {
        error = ErrDataType;
        return nullptr;
    }
    if (f && (f->count() != x->count() || !canWeight(*f))) {
        error = ErrBadFrequencyList;
        return nullptr;
    }
    auto s = twoVar(*x, *y, f);
    s->listXName = xName;
    s->listYName = yName;
    if (f)
        s->freqName = *freqName;
    return s;
}

void VQStatistics::update(const Calculator& calc)
{
    // The lists are read in place.
    const auto hold = calc.lockState();
    const VQList* x = listXName ? findList(calc, *listXName) : nullptr;
    if (!x)
        return;
    const VQList* f = freqName ? findList(calc, *freqName) : nullptr;
    const VQList* y = listYName ? findList(calc, *listYName) : nullptr;
    // Pairs need both lists, of one length; frequencies one for each value.
    if (listYName && (!y || y->count() != x->count()))
        return;
    if (f && f->count() != x->count())
        return;
    const std::size_t count = static_cast<std::size_t>(x->count());
    // One permutation sorts x and carries the frequencies and y along.
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [x](std::size_t i, std::size_t j) { return x->realAtIndex(int(i)) < x->realAtIndex(int(j)); });
    const auto permuted = [&](const VQList& l) {
        VQList out;
        for (std::size_t i : order)
            if (const VQNumber* v = l.numberAtIndex(int(i)))
                out.addNumber(*v);
        return out;
    };
    listX = permuted(*x);
    freq.reset();
    if (f)
        freq = permuted(*f);
    if (y) {
        listY = permuted(*y);
        computeTwoVar();
    } else {
        computeOneVar();
    }
}

// ---- Fitting ----

void VQStatistics::clearFit()
{
    a = b = c = d = e = kNaN;
    r = r2 = R2 = kNaN;
    P1 = P2 = P3 = Point{};
    resid.reset();
    regEqu.clear();
    centred_.clear();
}

int VQStatistics::beginFit(Data& data)
{
    clearFit();
    if (listX.count() != listY.count())
        return ErrDimMismatch;
    if (listX.count() == 0)
        return ErrListUndefined;
    if (listX.type() != 0 || listY.type() != 0)
        return ErrDataType;
    data = {listX.realList(), listY.realList(), weights()};
    return 0;
}

int VQStatistics::regressionModel(int m)
{
    switch (m) {
    case LinRegABX:
    case LinRegAXB:
    case ExpReg:
    case LnReg:
    case PwrReg:
        return leastSquaresRegressionModel(m);
    case MedMed:
        return medMedRegression();
    case QuadReg:
    case CubicReg:
    case QuartReg:
        return polyRegressionModel(m);
    case Logistic:
        return logisticRegression();
    case SinReg:
        return sinRegressionFreq(0);
    default:
        return ErrArgument;
    }
}

int VQStatistics::leastSquaresRegressionModel(int m)
{
    Data data;
    if (const int error = beginFit(data))
        return error;
    std::vector<double>&u = data.x, &v = data.y;
    const std::vector<double>& w = data.w;
    const bool logX = m == LnReg || m == PwrReg, logY = m == ExpReg || m == PwrReg;
    for (std::size_t i = 0; i < u.size(); ++i) {
        if (!(w[i] > 0))
            continue;
        if ((logX && !(u[i] > 0)) || (logY && !(v[i] > 0)))
            return ErrDomain;
        if (logX)
            u[i] = std::log(u[i]);
        if (logY)
            v[i] = std::log(v[i]);
    }
    Line line;
    if (!fitLine(u, v, w, line))
        return ErrStat;
    model = m;
    switch (m) {
    case LinRegABX:
    case LnReg:
        a = line.intercept;
        b = line.slope;
        break;
    case LinRegAXB:
        a = line.slope;
        b = line.intercept;
        break;
    case ExpReg:
        a = std::exp(line.intercept);
        b = std::exp(line.slope);
        break;
    case PwrReg:
        a = std::exp(line.intercept);
        b = line.slope;
        break;
    default:
        break;
    }
    r = line.r;
    r2 = r * r;
    return finishFit();
}

int VQStatistics::medMedRegression()
{
    Data data;
    if (const int error = beginFit(data))
        return error;
    const std::vector<double>&x = data.x, &y = data.y, &w = data.w;
    // Each point as often as its (whole) frequency says, sorted by x.
    std::vector<std::pair<double, double>> points;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (w[i] != std::trunc(w[i]) || w[i] > 1e6)
            return ErrBadFrequencyList;
        points.insert(points.end(), static_cast<std::size_t>(w[i]), {x[i], y[i]});
    }
    const std::size_t count = points.size();
    if (count < 3)
        return ErrStat;
    std::stable_sort(points.begin(), points.end(), [](auto& p, auto& q) { return p.first < q.first; });
    // Three groups; an extra point goes to the middle, two extra to the outer groups.
    const std::size_t k = count / 3;
    std::size_t sizes[3] = {k, k, k};
    if (count % 3 == 1)
        sizes[1] += 1;
    else if (count % 3 == 2)
        sizes[0] += 1, sizes[2] += 1;
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        const std::size_t h = v.size() / 2;
        return v.size() % 2 ? v[h] : (v[h - 1] + v[h]) / 2;
    };
    Point summary[3];
    std::size_t at = 0;
    for (int g = 0; g < 3; ++g) {
        std::vector<double> gx, gy;
        for (std::size_t i = 0; i < sizes[g]; ++i, ++at) {
            gx.push_back(points[at].first);
            gy.push_back(points[at].second);
        }
        summary[g] = {median(gx), median(gy)};
    }
    if (!(summary[2].x != summary[0].x))
        return ErrStat;
    model = MedMed;
    a = (summary[2].y - summary[0].y) / (summary[2].x - summary[0].x);
    b = ((summary[0].y - a * summary[0].x) + (summary[1].y - a * summary[1].x) + (summary[2].y - a * summary[2].x)) / 3;
    P1 = summary[0];
    P2 = summary[1];
    P3 = summary[2];
    return finishFit();
}

int VQStatistics::polyRegressionModel(int m)
{
    Data data;
    if (const int error = beginFit(data))
        return error;
    const std::vector<double>&x = data.x, &y = data.y, &w = data.w;
    const std::size_t degree = static_cast<std::size_t>(m - 4);
    std::vector<double> distinct;
    for (std::size_t i = 0; i < x.size(); ++i)
        if (w[i] > 0)
            distinct.push_back(x[i]);
    std::sort(distinct.begin(), distinct.end());
    if (std::unique(distinct.begin(), distinct.end()) - distinct.begin() <= std::ptrdiff_t(degree))
        return ErrStat;

    // u = ((x - ref) - shift) / scale lies in [-1, 1], where the powers stay independent.
    const double total = std::accumulate(w.begin(), w.end(), 0.0);
    ref_ = distinct.front();
    const std::vector<double> dx = DecimalCentering::deviations(x, ref_);
    shift_ = weightedSum(dx, w, [&](std::size_t i) { return dx[i]; }) / total;
    scale_ = 0;
    for (std::size_t i = 0; i < x.size(); ++i)
        if (w[i] > 0)
            scale_ = std::max(scale_, std::fabs(dx[i] - shift_));
    if (!(scale_ > 0))
        return ErrStat;
    std::vector<double> solution;
    const auto row = [&](std::size_t i, long double* cells) {
        // In long double, so a point such as a third of the way is not rounded first.
        const long double u = (static_cast<long double>(dx[i]) - shift_) / scale_;
        long double power = 1;
        for (std::size_t j = 0; j <= degree; ++j, power *= u)
            cells[j] = power;
    };
    if (!leastSquares(x.size(), degree + 1, row, y, w, solution))
        return ErrStat;
    centred_ = solution;
    model = m;

    // Back to powers of x: Σ_k c_k·((x - μ)/s)^k with μ = ref + shift.
    const long double mu = static_cast<long double>(ref_) + shift_;
    std::vector<long double> monomial(degree + 1, 0.0L);
    for (std::size_t k = 0; k <= degree; ++k) {
        const long double ck = static_cast<long double>(solution[k]) / std::pow(static_cast<long double>(scale_), k);
        long double binomial = 1;  // C(k, j)
        for (std::size_t j = 0; j <= k; ++j) {
            monomial[j] += ck * binomial * std::pow(-mu, static_cast<long double>(k - j));
            binomial = binomial * static_cast<long double>(k - j) / static_cast<long double>(j + 1);
        }
    }
    double* coefficients[] = {&a, &b, &c, &d, &e};
    for (std::size_t j = 0; j <= degree; ++j)
        *coefficients[degree - j] = static_cast<double>(monomial[j]);
    return finishFit();
}

int VQStatistics::logisticRegression()
{
    Data data;
    if (const int error = beginFit(data))
        return error;
    const std::vector<double>&x = data.x, &y = data.y, &w = data.w;
    int points = 0;
    for (double v : w)
        points += v > 0;
    const double total = std::accumulate(w.begin(), w.end(), 0.0);
    const Centred cx = centre(x, w, total);
    if (points < 3 || !(cx.ss > 0))
        return ErrStat;
    const std::vector<double>& u = cx.dev;

    // y = c / (1 + e^(L - b·u)): parameters {c, b, L}. Start from the line through
    // ln(c/y - 1) with c just above the largest y.
    double top = -std::numeric_limits<double>::infinity(), bottom = -top, spread = 0;
    for (std::size_t i = 0; i < y.size(); ++i)
        if (w[i] > 0) {
            top = std::max(top, y[i]);
            bottom = std::min(bottom, y[i]);
            spread = std::max(spread, std::fabs(u[i]));
        }
    std::vector<double> p = {top, 4 / spread, 0};
    if (bottom > 0) {
        p[0] = top + (top - bottom) * 0.05 + top * 1e-3;
        std::vector<double> z(y.size());
        for (std::size_t i = 0; i < y.size(); ++i)
            z[i] = w[i] > 0 ? std::log(p[0] / y[i] - 1) : 0;
        Line line;
        if (fitLine(u, z, w, line)) {
            p[1] = -line.slope;
            p[2] = line.intercept;
        }
    }
    const ModelFn f = [&](std::size_t i, const std::vector<double>& q, double* grad) {
        const double E = std::exp(q[2] - q[1] * u[i]);
        const double g = 1 / (1 + E);
        grad[0] = g;
        grad[1] = q[0] * E * u[i] * g * g;
        grad[2] = -q[0] * E * g * g;
        return q[0] * g;
    };
    if (!levenbergMarquardt(f, p, y, w))
        return ErrStat;
    model = Logistic;
    c = p[0];
    b = p[1];
    // a·e^(-bx) = e^(L - b(x - mean)).
    a = std::exp(p[2] + b * cx.mean);
    centred_ = p;
    shift_ = cx.mean;
    return finishFit();
}

int VQStatistics::sinRegressionFreq(double period)
{
    Data data;
    if (const int error = beginFit(data))
        return error;
    const std::vector<double>&x = data.x, &y = data.y, &w = data.w;
    const double total = std::accumulate(w.begin(), w.end(), 0.0);
    const Centred cx = centre(x, w, total);
    std::vector<double> sorted;
    for (std::size_t i = 0; i < x.size(); ++i)
        if (w[i] > 0)
            sorted.push_back(cx.dev[i]);
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    if (sorted.size() < 4)
        return ErrStat;
    const std::vector<double>& u = cx.dev;
    const double span = sorted.back() - sorted.front();
    double gap = span;
    for (std::size_t i = 1; i < sorted.size(); ++i)
        gap = std::min(gap, sorted[i] - sorted[i - 1]);

    // The best a·sin(b·u + c) + d for a fixed b is linear in α = a·cos c, β = a·sin c and d.
    const auto fitAt = [&](double freq, std::vector<double>& coef) {
        std::vector<double> solution;
        const auto row = [&](std::size_t i, long double* cells) {
            cells[0] = std::sin(freq * u[i]);
            cells[1] = std::cos(freq * u[i]);
            cells[2] = 1;
        };
        if (!leastSquares(u.size(), 3, row, y, w, solution))
            return std::numeric_limits<double>::infinity();
        coef = solution;
        CompensatedSum s;
        for (std::size_t i = 0; i < u.size(); ++i) {
            const double rr = y[i] - (coef[0] * std::sin(freq * u[i]) + coef[1] * std::cos(freq * u[i]) + coef[2]);
            s.add(w[i] * rr * rr);
        }
        return s.value();
    };
    double best = 0;
    std::vector<double> coef;
    if (period > 0 && std::isfinite(period)) {
        best = 2 * std::numbers::pi / period;
        if (!std::isfinite(fitAt(best, coef)))
            return ErrStat;
    } else {
        // Scan from periods four times the data's span down to twice the smallest gap,
        // finely enough that one step changes the phase across the data by a quarter turn.
        const double low = std::numbers::pi / (2 * span), high = std::numbers::pi / gap;
        double step = std::numbers::pi / (4 * span);
        if ((high - low) / step > 4000)
            step = (high - low) / 4000;
        double bestSse = std::numeric_limits<double>::infinity();
        for (double freq = low; freq < high; freq += step) {
            std::vector<double> trial;
            const double sse = fitAt(freq, trial);
            if (sse < bestSse) {
                bestSse = sse;
                best = freq;
                coef = trial;
            }
        }
        if (!std::isfinite(bestSse))
            return ErrStat;
    }
    std::vector<double> p = {std::hypot(coef[0], coef[1]), best, std::atan2(coef[1], coef[0]), coef[2]};
    const ModelFn f = [&](std::size_t i, const std::vector<double>& q, double* grad) {
        const double phase = q[1] * u[i] + q[2];
        const double s = std::sin(phase), co = std::cos(phase);
        grad[0] = s;
        grad[1] = q[0] * co * u[i];
        grad[2] = q[0] * co;
        grad[3] = 1;
        return q[0] * s + q[3];
    };
    if (!levenbergMarquardt(f, p, y, w))
        return ErrStat;
    // a > 0 and b > 0: a·sin(θ) = -a·sin(θ + π), sin(-b·x + c) = sin(b·x - c + π).
    if (p[0] < 0) {
        p[0] = -p[0];
        p[2] += std::numbers::pi;
    }
    if (p[1] < 0) {
        p[1] = -p[1];
        p[2] = std::numbers::pi - p[2];
    }
    model = SinReg;
    a = p[0];
    b = p[1];
    c = reduceAngle(p[2] - p[1] * cx.mean);
    d = p[3];
    return finishFit();
}

double VQStatistics::valueAt(double x) const
{
    switch (model) {
    case LinRegABX:
        return a + b * x;
    case LinRegAXB:
    case MedMed:
        return a * x + b;
    case ExpReg:
        return a * std::pow(b, x);
    case LnReg:
        return a + b * std::log(x);
    case PwrReg:
        return a * std::pow(x, b);
    case QuadReg:
    case CubicReg:
    case QuartReg: {
        const double u = (DecimalCentering::difference(x, ref_) - shift_) / scale_;
        double v = 0;
        for (auto k = centred_.rbegin(); k != centred_.rend(); ++k)
            v = v * u + *k;
        return v;
    }
    case Logistic:
        return centred_.size() == 3 ? c / (1 + std::exp(centred_[2] - b * (x - shift_))) : kNaN;
    case SinReg:
        return a * std::sin(b * x + c) + d;
    default:
        return kNaN;
    }
}

double VQStatistics::sumOfSquaredResiduals() const
{
    const std::vector<double> x = listX.realList(), y = listY.realList(), w = weights();
    return weightedSum(x, w, [&](std::size_t i) {
        const double rr = y[i] - valueAt(x[i]);
        return rr * rr;
    });
}

double VQStatistics::totalSumOfSquares() const
{
    const std::vector<double> y = listY.realList(), w = weights();
    return centre(y, w, std::accumulate(w.begin(), w.end(), 0.0)).ss;
}

int VQStatistics::finishFit()
{
    if (model >= QuadReg) {
        const double sst = totalSumOfSquares();
        R2 = sst > 0 ? 1 - sumOfSquaredResiduals() / sst : kNaN;
    }
    VQList residuals;
    const std::vector<double> x = listX.realList(), y = listY.realList();
    for (std::size_t i = 0; i < x.size(); ++i)
        residuals.addReal(y[i] - valueAt(x[i]), 15, -15);
    resid = std::move(residuals);
    regEqu = equationOps(NumberFormatter());
    return 0;
}

VQStatistics::Ops VQStatistics::equationOps(const NumberFormatter& spelling) const
{
    Ops out;
    // The fit's own coefficients, so that the equation computes the fit: as the results show
    // them where that text is the value, else with the figures the value needs.
    const auto number = [&](double v) {
        const Ops digits = spelling.valueToOpcodes(v);
        out.insert(out.end(), digits.begin(), digits.end());
    };
    // "+ v" or "- |v|" after a first term.
    const auto signedNumber = [&](double v) {
        out.push_back(v < 0 ? kMinus : kPlus);
        number(std::fabs(v));
    };
    const auto append = [&](std::initializer_list<std::uint32_t> ops) { out.insert(out.end(), ops); };
    switch (model) {
    case LinRegABX:
        number(a), signedNumber(b), append({kX});
        break;
    case LinRegAXB:
    case MedMed:
        number(a), append({kX}), signedNumber(b);
        break;
    case ExpReg:
        number(a), append({kTimes}), number(b), append({kPower, kX});
        break;
    case LnReg:
        number(a), signedNumber(b), append({kLn, kX, kClose});
        break;
    case PwrReg:
        number(a), append({kTimes, kX, kPower}), number(b);
        break;
    case QuadReg:
        number(a), append({kX, kSquare}), signedNumber(b), append({kX}), signedNumber(c);
        break;
    case CubicReg:
        number(a), append({kX, kCube}), signedNumber(b), append({kX, kSquare}), signedNumber(c), append({kX}),
            signedNumber(d);
        break;
    case QuartReg:
        number(a), append({kX, kPower, kFour}), signedNumber(b), append({kX, kCube}), signedNumber(c),
            append({kX, kSquare}), signedNumber(d), append({kX}), signedNumber(e);
        break;
    case Logistic:
        number(c), append({kDivide, kOpen, kOne, kPlus}), number(a), append({kTimes, kExp, kNegate}), number(b),
            append({kX, kClose, kClose});
        break;
    case SinReg:
        number(a), append({kTimes, kSin}), number(b), append({kX}), signedNumber(c), append({kClose}),
            signedNumber(d);
        break;
    default:
        break;
    }
    return out;
}

// ---- Archive ----

nlohmann::json VQStatistics::encode() const
{
    nlohmann::json j = nlohmann::json::object();
    if (listXName)
        j["lx"] = *listXName;
    if (listYName)
        j["ly"] = *listYName;
    if (freqName)
        j["lf"] = *freqName;
    return j;
}

std::shared_ptr<VQStatistics> VQStatistics::decode(const nlohmann::json& archive)
{
    auto s = std::make_shared<VQStatistics>();
    if (!archive.is_object())
        return s;
    const auto text = [&](const char* key, std::optional<std::string>& into) {
        const auto it = archive.find(key);
        if (it != archive.end() && it->is_string())
            into = it->get<std::string>();
    };
    text("lx", s->listXName);
    text("ly", s->listYName);
    text("lf", s->freqName);
    return s;
}

} // namespace orvenda
