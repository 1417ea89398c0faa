#include "core/VQMatrix.h"

#include "core/RandomSource.h"
#include "core/VQNumber.h"

#include <cblas.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <new>
#include <utility>

// LAPACK's Fortran entry points (32-bit integers; character arguments carry a hidden length).
extern "C" {
void dgetrf_(const int* m, const int* n, double* a, const int* lda, int* ipiv, int* info);
void dgetri_(const int* n, double* a, const int* lda, const int* ipiv, double* work,
             const int* lwork, int* info);
double dlange_(const char* norm, const int* m, const int* n, const double* a, const int* lda,
               double* work, std::size_t normLength);
void dgecon_(const char* norm, const int* n, const double* a, const int* lda,
             const double* anorm, double* rcond, double* work, int* iwork, int* info,
             std::size_t normLength);
void dgelsd_(const int* m, const int* n, const int* nrhs, double* a, const int* lda, double* b,
             const int* ldb, double* s, const double* rcond, int* rank, double* work,
             const int* lwork, int* iwork, int* info);
void dgels_(const char* trans, const int* m, const int* n, const int* nrhs, double* a, const int* lda,
            double* b, const int* ldb, double* work, const int* lwork, int* info, std::size_t transLength);
void dgeev_(const char* jobvl, const char* jobvr, const int* n, double* a, const int* lda, double* wr,
            double* wi, double* vl, const int* ldvl, double* vr, const int* ldvr, double* work,
            const int* lwork, int* info, std::size_t jobvlLength, std::size_t jobvrLength);
}

namespace orvenda {

namespace {

constexpr double echelonEpsilon = 1e-14;
constexpr double zeroBelow = 1e-15;
constexpr double detZeroBelow = 1e-13;
constexpr double rcondLimit = 1e-12;

std::int8_t cut(long long v)
{
    return static_cast<std::int8_t>(std::clamp<long long>(v, INT8_MIN, INT8_MAX));
}

// Integer part of log10|v| for a finite nonzero v.
long long truncLog10(double v)
{
    return static_cast<long long>(std::trunc(std::log10(std::fabs(v))));
}

// Row-major product c = a (m x k) times b (k x n); c must not alias a or b.
void product(const double* a, const double* b, double* c, std::size_t m, std::size_t k,
             std::size_t n)
{
    if (m == 0 || n == 0)
        return;
    if (k == 0) {
        std::fill(c, c + m * n, 0.0);
        return;
    }
    cblas_dgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, int(m), int(n), int(k), 1.0, a,
                int(k), b, int(n), 0.0, c, int(n));
}

// Reads at most `limit` bytes from a binary value, or from the forms a binary value takes
// after a trip through JSON text ({"bytes": [...]}) or an array of byte numbers.
std::vector<std::uint8_t> bytesOf(const nlohmann::json& value, std::size_t limit)
{
    std::vector<std::uint8_t> out;
    if (value.is_binary()) {
        const auto& bin = value.get_binary();
        out.assign(bin.begin(), bin.begin() + std::min(limit, bin.size()));
        return out;
    }
    const nlohmann::json* list = &value;
    if (value.is_object()) {
        auto it = value.find("bytes");
        if (it == value.end())
            return out;
        list = &*it;
    }
    if (!list->is_array())
        return out;
    out.reserve(std::min(limit, list->size()));
    for (const auto& b : *list) {
        if (out.size() >= limit || !b.is_number_unsigned() || b.get<std::uint64_t>() > 255)
            break;
        out.push_back(static_cast<std::uint8_t>(b.get<std::uint64_t>()));
    }
    return out;
}

// A non-negative integer under `key`, else 0; a value too large for a size is SIZE_MAX.
std::size_t dimensionOf(const nlohmann::json& archive, const char* key)
{
    auto it = archive.find(key);
    if (it == archive.end())
        return 0;
    if (it->is_number_unsigned())
        return std::size_t(std::min<std::uint64_t>(it->get<std::uint64_t>(), SIZE_MAX));
    if (it->is_number_integer())
        return it->get<std::int64_t>() < 0 ? SIZE_MAX : std::size_t(it->get<std::int64_t>());
    return 0;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Storage

bool VQMatrix::fits(std::size_t row, std::size_t col)
{
    if (row > maxCells || col > maxCells)
        return false;
    return row == 0 || col == 0 || row * col <= maxCells;
}

bool VQMatrix::allocate(std::size_t row, std::size_t col)
{
    if (!fits(row, col))
        return false;
    std::size_t cells = row * col;
    try {
        SharedArray<double> values;
        values.resize(cells, 0.0);
        SharedArray<SigPair> pairs;
        pairs.resize(cells, SigPair{});
        m_ = std::move(values);
        sig_ = std::move(pairs);
    } catch (const std::bad_alloc&) {
        return false;
    }
    rows_ = row;
    cols_ = col;
    return true;
}

std::optional<VQMatrix> VQMatrix::matrixWithRow(std::size_t row, std::size_t col)
{
    VQMatrix out;
    if (!out.allocate(row, col))
        return std::nullopt;
    return out;
}

std::optional<VQMatrix> VQMatrix::matrixWithMatrix(const VQMatrix& other)
{
    return other.matrixCopy();
}

std::optional<VQMatrix> VQMatrix::matrixCopy() const
{
    try {
        VQMatrix out(*this);
        out.error_ = 0;
        return out;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<VQMatrix> VQMatrix::copyOrFail()
{
    try {
        VQMatrix out(*this);
        out.error_ = 0;
        // Cells of its own now, since it is about to be written: a failure to get them is
        // reported here rather than thrown from the first write.
        out.m_.writable();
        out.sig_.writable();
        return out;
    } catch (const std::bad_alloc&) {
        error_ = ErrorNoStorage;
        return std::nullopt;
    }
}

std::optional<VQMatrix> VQMatrix::identityDimension(std::size_t n)
{
    auto out = matrixWithRow(n, n);
    if (out && n > 0) {
        double* cells = out->m();
        for (std::size_t i = 0; i < n; ++i)
            cells[i * n + i] = 1.0;
    }
    return out;
}

std::optional<VQMatrix> VQMatrix::randomWithRow(std::size_t row, std::size_t col)
{
    auto out = matrixWithRow(row, col);
    if (out) {
        auto& source = RandomSource::shared();
        for (double& v : out->m_.writable())
            v = std::round(18.0 * source.uniform() - 9.0);
    }
    return out;
}

std::optional<VQMatrix> VQMatrix::matrixFromLists(const std::vector<VQList>& lists)
{
    std::size_t rows = 0;
    for (const VQList& list : lists)
        rows = std::max(rows, std::size_t(list.count()));
    auto out = matrixWithRow(rows, lists.size());
    if (!out)
        return out;
    std::size_t cols = lists.size();
    for (std::size_t j = 0; j < cols; ++j) {
        const auto& elements = lists[j].v();
        for (std::size_t i = 0; i < elements.size(); ++i)
            out->setNum(elements[i], i, j);
    }
    return out;
}

void VQMatrix::clear()
{
    m_.clear();
    sig_.clear();
    rows_ = cols_ = 0;
    error_ = 0;
}

// ---------------------------------------------------------------------------------------
// Archive

nlohmann::json VQMatrix::encode() const
{
    nlohmann::json out;
    out["row"] = rows_;
    out["col"] = cols_;
    if (m_.empty())
        return out;
    std::vector<std::uint8_t> values;
    values.reserve(m_.size() * 8);
    for (double v : m_) {
        auto bits = std::bit_cast<std::uint64_t>(v);
        for (int b = 0; b < 8; ++b)
            values.push_back(static_cast<std::uint8_t>(bits >> (8 * b)));
    }
    std::vector<std::uint8_t> pairs;
    pairs.reserve(sig_.size() * 2);
    for (const SigPair& p : sig_) {
        pairs.push_back(static_cast<std::uint8_t>(p.sigFig));
        pairs.push_back(static_cast<std::uint8_t>(p.sigDec));
    }
    out["m"] = nlohmann::json::binary(std::move(values));
    out["mSig"] = nlohmann::json::binary(std::move(pairs));
    return out;
}

VQMatrix VQMatrix::decode(const nlohmann::json& archive)
{
    VQMatrix out;
    if (!archive.is_object())
        return out;
    std::size_t row = dimensionOf(archive, "row");
    std::size_t col = dimensionOf(archive, "col");
    if (!out.allocate(row, col))
        return VQMatrix();
    std::size_t cells = row * col;
    if (cells == 0)
        return out;

    double* values = out.m();
    SigPair* sigs = out.mSig();
    if (auto it = archive.find("m"); it != archive.end()) {
        auto bytes = bytesOf(*it, cells * 8);
        for (std::size_t i = 0; i < bytes.size() / 8; ++i) {
            std::uint64_t bits = 0;
            for (int b = 0; b < 8; ++b)
                bits |= std::uint64_t(bytes[i * 8 + b]) << (8 * b);
            values[i] = std::bit_cast<double>(bits);
        }
    }
    std::size_t withPairs = 0;
    if (auto it = archive.find("mSig"); it != archive.end()) {
        auto bytes = bytesOf(*it, cells * 2);
        withPairs = bytes.size() / 2;
        for (std::size_t i = 0; i < withPairs; ++i)
            sigs[i] = {static_cast<std::int8_t>(bytes[2 * i]),
                           static_cast<std::int8_t>(bytes[2 * i + 1])};
    }
    // Cells archived without a pair get the one their value shows when written in full.
    for (std::size_t i = withPairs; i < cells; ++i) {
        auto [sigFig, sigDec] = VQNumber::derivedPair(values[i]);
        sigs[i] = {cut(sigFig), cut(sigDec)};
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// Element access

SNum VQMatrix::snumAtRow(std::size_t row, std::size_t col) const
{
    if (row >= rows_ || col >= cols_)
        return SNum{};
    const SigPair& p = sig_[index(row, col)];
    return SNum{p.sigFig, p.sigDec, m_[index(row, col)]};
}

VQNumber VQMatrix::numAtRow(std::size_t row, std::size_t col) const
{
    SNum cell = snumAtRow(row, col);
    return VQNumber::numberWithReal(cell.value, cell.sigFig, cell.sigDec);
}

void VQMatrix::setNum(const VQNumber& num, std::size_t atRow, std::size_t col)
{
    setSNum(SNum{cut(num.sigFig()), cut(num.sigDec()), num.r()}, atRow, col);
}

void VQMatrix::setSNum(const SNum& cell, std::size_t atRow, std::size_t col)
{
    if (atRow >= rows_ || col >= cols_)
        return;
    m()[index(atRow, col)] = cell.value;
    mSig()[index(atRow, col)] = SigPair{cell.sigFig, cell.sigDec};
}

void VQMatrix::setRow(std::size_t row, const VQList& with)
{
    if (row >= rows_ || std::size_t(with.count()) != cols_) {
        error_ = ErrorDimension;
        return;
    }
    for (std::size_t j = 0; j < cols_; ++j)
        setNum(with.v()[j], row, j);
}

std::optional<VQList> VQMatrix::listForCol(std::size_t col) const
{
    if (col >= cols_)
        return std::nullopt;
    try {
        VQList out;
        out.reserve(static_cast<int>(rows_));
        for (std::size_t i = 0; i < rows_; ++i)
            out.addNumber(numAtRow(i, col));
        return out;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<VQMatrix> VQMatrix::column(std::size_t col) const
{
    if (col >= cols_)
        return std::nullopt;
    auto out = matrixWithRow(rows_, 1);
    if (!out)
        return std::nullopt;
    double* values = out->m();
    SigPair* sigs = out->mSig();
    for (std::size_t i = 0; i < rows_; ++i) {
        values[i] = m_[index(i, col)];
        sigs[i] = sig_[index(i, col)];
    }
    return out;
}

void VQMatrix::fill(const SNum& cell)
{
    std::ranges::fill(m_.writable(), cell.value);
    std::ranges::fill(sig_.writable(), SigPair{cell.sigFig, cell.sigDec});
}

void VQMatrix::resizeRow(std::size_t row, std::size_t col)
{
    if (row == rows_ && col == cols_)
        return;
    VQMatrix grown;
    if (!grown.allocate(row, col)) {
        error_ = ErrorNoStorage;
        return;
    }
    std::size_t keepRows = std::min(row, rows_), keepCols = std::min(col, cols_);
    if (keepRows > 0 && keepCols > 0) {
        double* values = grown.m();
        SigPair* sigs = grown.mSig();
        for (std::size_t i = 0; i < keepRows; ++i)
            for (std::size_t j = 0; j < keepCols; ++j) {
                values[i * col + j] = m_[index(i, j)];
                sigs[i * col + j] = sig_[index(i, j)];
            }
    }
    m_ = std::move(grown.m_);
    sig_ = std::move(grown.sig_);
    rows_ = row;
    cols_ = col;
}

bool VQMatrix::equal(const VQMatrix& other) const
{
    return rows_ == other.rows_ && cols_ == other.cols_ && m_ == other.m_;
}

std::string VQMatrix::description() const
{
    std::string out;
    char buf[40];
    for (std::size_t i = 0; i < rows_; ++i) {
        for (std::size_t j = 0; j < cols_; ++j) {
            if (j > 0)
                out += ", ";
            auto res = std::to_chars(buf, buf + sizeof buf, m_[index(i, j)],
                                     std::chars_format::scientific, 6);
            for (char* c = buf; c < res.ptr; ++c)
                out += (*c >= 'a' && *c <= 'z') ? char(*c - 'a' + 'A') : *c;
        }
        out += '\n';
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// Significance

void VQMatrix::adjustSigFig(SNum& cell)
{
    cell.sigFig = 15;
    if (!std::isfinite(cell.value))
        return;
    if (cell.value == 0) {
        cell.sigFig = cell.sigDec < 0 ? cut(1 - cell.sigDec) : 0;
        return;
    }
    cell.sigFig = cut(truncLog10(cell.value) + 1 - cell.sigDec);
}

void VQMatrix::adjustSigDec(SNum& cell)
{
    cell.sigDec = -15;
    if (!std::isfinite(cell.value))
        return;
    if (cell.value == 0) {
        // Zero has no leading digit; count its figures from the units place.
        cell.sigDec = cut(1 - cell.sigFig);
        return;
    }
    double l = std::log10(std::fabs(cell.value));
    if (l < 0)
        l -= 1;
    cell.sigDec = cut(static_cast<long long>(std::trunc(l)) + 1 - cell.sigFig);
}

double VQMatrix::round(double x, int precision)
{
    double scale = std::pow(10.0, precision);
    if (scale == 0)
        return 0.0 * x;
    double t = x * scale;
    // Beyond 2^52 a double has no fraction left to round away.
    if (!std::isfinite(t) || std::fabs(t) >= 4503599627370496.0)
        return x;
    t += x >= 0 ? 0.5 : -0.5;
    return std::trunc(t) / scale;
}

// ---------------------------------------------------------------------------------------
// Element-wise and arithmetic operations

template <class Fn>
std::optional<VQMatrix> VQMatrix::mapCells(Fn fn)
{
    auto out = copyOrFail();
    if (out) {
        const std::span<double> values = out->m_.writable();
        const std::span<SigPair> sigs = out->sig_.writable();
        for (std::size_t i = 0; i < values.size(); ++i)
            fn(values[i], sigs[i]);
    }
    return out;
}

std::optional<VQMatrix> VQMatrix::transpose()
{
    auto out = matrixOrFail(cols_, rows_);
    if (!out || rows_ == 0 || cols_ == 0)
        return out;
    double* values = out->m();
    SigPair* sigs = out->mSig();
    for (std::size_t i = 0; i < rows_; ++i)
        for (std::size_t j = 0; j < cols_; ++j) {
            values[j * rows_ + i] = m_[index(i, j)];
            sigs[j * rows_ + i] = sig_[index(i, j)];
        }
    return out;
}

std::optional<VQMatrix> VQMatrix::augment(const VQMatrix& b)
{
    if (rows_ != b.rows_) {
        error_ = ErrorDimension;
        return std::nullopt;
    }
    std::size_t cols = cols_ + b.cols_;
    auto out = matrixOrFail(rows_, cols);
    if (!out)
        return out;
    double* values = out->m_.writable().data();
    SigPair* sigs = out->sig_.writable().data();
    for (std::size_t i = 0; i < rows_; ++i) {
        // Pointer arithmetic, not indexing: either side may have no columns.
        std::copy_n(m_.data() + index(i, 0), cols_, values + i * cols);
        std::copy_n(sig_.data() + index(i, 0), cols_, sigs + i * cols);
        std::copy_n(b.m_.data() + i * b.cols_, b.cols_, values + i * cols + cols_);
        std::copy_n(b.sig_.data() + i * b.cols_, b.cols_, sigs + i * cols + cols_);
    }
    return out;
}

std::optional<VQMatrix> VQMatrix::add(const VQMatrix& b)
{
    return sumWith(b, false);
}

std::optional<VQMatrix> VQMatrix::subtract(const VQMatrix& b)
{
    return sumWith(b, true);
}

std::optional<VQMatrix> VQMatrix::sumWith(const VQMatrix& b, bool subtracting)
{
    if (rows_ != b.rows_ || cols_ != b.cols_) {
        error_ = ErrorDimension;
        return std::nullopt;
    }
    std::size_t i = 0;
    return mapCells([&](double& v, SigPair& p) {
        SNum cell{p.sigFig, std::min(p.sigDec, b.sig_[i].sigDec), subtracting ? v - b.m_[i] : v + b.m_[i]};
        adjustSigFig(cell);
        v = cell.value;
        p = {cell.sigFig, cell.sigDec};
        ++i;
    });
}

std::optional<VQMatrix> VQMatrix::multiply(const VQMatrix& b)
{
    if (cols_ != b.rows_) {
        error_ = ErrorDimension;
        return std::nullopt;
    }
    auto out = matrixOrFail(rows_, b.cols_);
    if (!out)
        return out;
    product(m_.data(), b.m_.data(), out->m_.writable().data(), rows_, cols_, b.cols_);
    return out;
}

std::optional<VQMatrix> VQMatrix::multiplyConst(const SNum& k)
{
    return mapCells([&](double& v, SigPair& p) {
        SNum cell{std::min(k.sigFig, p.sigFig), p.sigDec, v * k.value};
        adjustSigDec(cell);
        v = cell.value;
        p = {cell.sigFig, cell.sigDec};
    });
}

std::optional<VQMatrix> VQMatrix::power(int p)
{
    if (rows_ != cols_) {
        error_ = ErrorNotSquare;
        return std::nullopt;
    }
    if (p == -1)
        return inverse();
    if (p < -1 || p > 255) {
        error_ = ErrorPowerRange;
        return std::nullopt;
    }
    if (p == 0) {
        auto out = identityDimension(rows_);
        if (!out)
            error_ = ErrorNoStorage;
        return out;
    }
    auto current = copyOrFail();
    if (!current || p == 1)
        return current;
    std::size_t n = rows_;
    SharedArray<double> scratch;
    try {
        scratch.resize(n * n, 0.0);
    } catch (const std::bad_alloc&) {
        error_ = ErrorNoStorage;
        return current;
    }
    for (int k = 1; k < p; ++k) {
        product(m_.data(), current->m_.data(), scratch.writable().data(), n, n, n);
        current->m_.swap(scratch);
    }
    return current;
}

std::optional<VQMatrix> VQMatrix::negate()
{
    return mapCells([](double& v, SigPair&) { v = -v; });
}

std::optional<VQMatrix> VQMatrix::abs()
{
    return mapCells([](double& v, SigPair&) { v = std::fabs(v); });
}

std::optional<VQMatrix> VQMatrix::iPart()
{
    return wholeCells([](double v) { return std::trunc(v); });
}

std::optional<VQMatrix> VQMatrix::intPart()
{
    return wholeCells([](double v) { return std::round(v); });
}

// Every cell made whole by `whole`; the figures below the units place leave the pair.
std::optional<VQMatrix> VQMatrix::wholeCells(double (*whole)(double))
{
    return mapCells([whole](double& v, SigPair& p) {
        v = whole(v);
        if (p.sigDec < 0)
            p = {cut(p.sigFig + p.sigDec), 0};
    });
}

std::optional<VQMatrix> VQMatrix::fPart()
{
    return mapCells([](double& v, SigPair& p) {
        double whole;
        v = std::modf(v, &whole);
        if (p.sigDec < 0) {
            SNum cell{p.sigFig, p.sigDec, v};
            adjustSigFig(cell);
            p = {cell.sigFig, cell.sigDec};
        } else {
            p = {0, 0};
        }
    });
}

std::optional<VQMatrix> VQMatrix::round(int n)
{
    return mapCells([n](double& v, SigPair& p) {
        v = round(v, n);
        // Digits below the n-th decimal are gone: drop them from the figure count.
        if (p.sigDec < 0 && -p.sigDec > n)
            p = {cut(p.sigFig + p.sigDec + static_cast<long long>(n)), cut(-static_cast<long long>(n))};
    });
}

std::optional<VQMatrix> VQMatrix::cumsum()
{
    auto out = copyOrFail();
    if (!out)
        return out;
    // The largest exponent runs on from one column to the next.
    std::int8_t largest = -15;
    double* values = out->m();
    SigPair* sigs = out->mSig();
    for (std::size_t j = 0; j < cols_; ++j) {
        double sum = 0;
        for (std::size_t i = 0; i < rows_; ++i) {
            largest = std::max(largest, sig_[index(i, j)].sigDec);
            sum += m_[index(i, j)];
            SNum cell{15, largest, sum};
            adjustSigFig(cell);
            values[index(i, j)] = sum;
            sigs[index(i, j)] = {cell.sigFig, cell.sigDec};
        }
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// Row operations

void VQMatrix::_swapRow(std::size_t a, std::size_t withRow)
{
    if (a >= rows_ || withRow >= rows_) {
        error_ = ErrorDimension;
        return;
    }
    if (a == withRow || cols_ == 0)
        return;
    double* values = m();
    SigPair* sigs = mSig();
    std::swap_ranges(values + index(a, 0), values + index(a, 0) + cols_, values + index(withRow, 0));
    std::swap_ranges(sigs + index(a, 0), sigs + index(a, 0) + cols_, sigs + index(withRow, 0));
}

void VQMatrix::_addRow(std::size_t a, std::size_t toRow)
{
    if (a >= rows_ || toRow >= rows_) {
        error_ = ErrorDimension;
        return;
    }
    for (std::size_t j = 0; j < cols_; ++j) {
        SNum from = snumAtRow(a, j), to = snumAtRow(toRow, j);
        SNum cell{15, std::max(from.sigDec, to.sigDec), from.value + to.value};
        adjustSigFig(cell);
        setSNum(cell, toRow, j);
    }
}

void VQMatrix::_multiplyRowNumber(std::size_t a, const SNum& by, std::size_t to)
{
    if (a >= rows_ || to >= rows_) {
        error_ = ErrorDimension;
        return;
    }
    for (std::size_t j = 0; j < cols_; ++j) {
        SNum from = snumAtRow(a, j);
        SNum cell{std::min(by.sigFig, from.sigFig), -15, from.value * by.value};
        adjustSigDec(cell);
        setSNum(cell, to, j);
    }
}

void VQMatrix::_multiplyRowNumberAddTo(std::size_t a, const SNum& by, std::size_t addTo)
{
    if (a >= rows_ || addTo >= rows_) {
        error_ = ErrorDimension;
        return;
    }
    for (std::size_t j = 0; j < cols_; ++j) {
        SNum from = snumAtRow(a, j), to = snumAtRow(addTo, j);
        SNum t{std::min(by.sigFig, from.sigFig), -15, from.value * by.value};
        adjustSigDec(t);
        t.value += to.value;
        if (std::fabs(t.value) < zeroBelow)
            t.value = 0;
        t.sigDec = std::max(t.sigDec, to.sigDec);
        adjustSigFig(t);
        setSNum(t, addTo, j);
    }
}

namespace {
// The receiver's copy (from copyOrFail) changed by op.
template <class Op>
std::optional<VQMatrix> onCopy(VQMatrix& receiver, std::optional<VQMatrix> out, Op op)
{
    if (!out)
        return out;
    op(*out);
    if (out->error() != 0) {
        receiver.setError(out->error());
        return std::nullopt;
    }
    return out;
}
} // namespace

std::optional<VQMatrix> VQMatrix::swapRow(std::size_t a, std::size_t withRow)
{
    return onCopy(*this, copyOrFail(), [&](VQMatrix& c) { c._swapRow(a, withRow); });
}

std::optional<VQMatrix> VQMatrix::addRow(std::size_t a, std::size_t toRow)
{
    return onCopy(*this, copyOrFail(), [&](VQMatrix& c) { c._addRow(a, toRow); });
}

std::optional<VQMatrix> VQMatrix::multiplyRowNumber(std::size_t a, const SNum& by, std::size_t to)
{
    return onCopy(*this, copyOrFail(), [&](VQMatrix& c) { c._multiplyRowNumber(a, by, to); });
}

std::optional<VQMatrix> VQMatrix::multiplyRowNumberAddTo(std::size_t a, const SNum& by,
                                                         std::size_t addTo)
{
    return onCopy(*this, copyOrFail(), [&](VQMatrix& c) { c._multiplyRowNumberAddTo(a, by, addTo); });
}

void VQMatrix::normalizeRowNumber(std::size_t r, std::size_t byCol)
{
    if (r >= rows_ || byCol >= cols_) {
        error_ = ErrorDimension;
        return;
    }
    const double p = m_[index(r, byCol)];
    // A zero or NaN pivot cannot scale the row.
    if (p == 1 || p == 0 || std::isnan(p))
        return;
    double* row = m() + index(r, 0);
    for (std::size_t j = 0; j < cols_; ++j) {
        if (j == byCol)
            row[j] = 1;
        else if (row[j] == 0 || std::isnan(row[j]))
            row[j] = 0;
        else
            row[j] /= p;
    }
}

// ---------------------------------------------------------------------------------------
// Echelon forms

void VQMatrix::rowEchelon()
{
    if (cols_ < rows_) {
        error_ = ErrorDimension;
        return;
    }
    if (rows_ > 1 && cols_ > 0) {
        std::size_t c = 0;
        for (std::size_t r = 0; r + 1 < rows_; ++r) {
            std::size_t pivot = r;
            double largest = 0;
            for (;;) {
                largest = 0;
                pivot = r;
                for (std::size_t i = r; i < rows_; ++i)
                    if (std::fabs(m_[index(i, c)]) > largest) {
                        largest = std::fabs(m_[index(i, c)]);
                        pivot = i;
                    }
                if (largest >= echelonEpsilon || c + 1 >= cols_)
                    break;
                ++c;
            }
            if (largest > echelonEpsilon) {
                _swapRow(r, pivot);
                normalizeRowNumber(r, c);
                for (std::size_t i = r + 1; i < rows_; ++i) {
                    SNum below = snumAtRow(i, c);
                    if (std::fabs(below.value) > echelonEpsilon) {
                        below.value = -below.value;
                        _multiplyRowNumberAddTo(r, below, i);
                    }
                }
            }
            if (r + 1 >= rows_ - 1 || ++c >= cols_)
                break;
        }
    }
    // The last row is normalised by its first entry that is not negligible.
    if (rows_ > 0) {
        std::size_t last = rows_ - 1;
        for (std::size_t j = 0; j < cols_; ++j)
            if (std::fabs(m_[index(last, j)]) > echelonEpsilon) {
                normalizeRowNumber(last, j);
                break;
            }
    }
}

std::optional<VQMatrix> VQMatrix::ref()
{
    if (cols_ < rows_) {
        error_ = ErrorDimension;
        return std::nullopt;
    }
    auto out = copyOrFail();
    if (out)
        out->rowEchelon();
    return out;
}

void VQMatrix::reducedRowEchelon()
{
    std::size_t c = 0;
    for (std::size_t r = 0; r < rows_ && c < cols_; ++r) {
        std::size_t pivot = rows_;
        for (; c < cols_; ++c) {
            double largest = 0;
            for (std::size_t i = r; i < rows_; ++i)
                if (std::fabs(m_[index(i, c)]) > largest) {
                    largest = std::fabs(m_[index(i, c)]);
                    pivot = i;
                }
            if (pivot < rows_)
                break;
        }
        if (pivot >= rows_)
            return;
        _swapRow(r, pivot);
        normalizeRowNumber(r, c);
        double* cells = m();
        const double* pivotRow = cells + index(r, 0);
        for (std::size_t i = 0; i < rows_; ++i) {
            if (i == r)
                continue;
            double* row = cells + index(i, 0);
            double f = row[c];
            row[c] = 0;
            for (std::size_t j = c + 1; j < cols_; ++j) {
                row[j] -= f * pivotRow[j];
                if (std::fabs(row[j]) < zeroBelow)
                    row[j] = 0;
            }
        }
        ++c;
    }
}

std::optional<VQMatrix> VQMatrix::rref()
{
    auto out = copyOrFail();
    if (out)
        out->reducedRowEchelon();
    return out;
}

// ---------------------------------------------------------------------------------------
// Determinant, inverse, least squares
//
// LAPACK is column-major; the row-major block read column-major is the transpose. The
// determinant of a transpose is the same, and the inverse of the transpose is the transpose
// of the inverse, so det and inverse hand LAPACK the block as stored and read the result
// back the same way.

double VQMatrix::det()
{
    if (rows_ != cols_) {
        error_ = ErrorNotSquare;
        return 0;
    }
    std::size_t n = rows_;
    if (n == 0)
        return 1;
    std::vector<double> a;
    std::vector<int> pivots;
    try {
        a = m_.toVector();
        pivots.resize(n);
    } catch (const std::bad_alloc&) {
        error_ = ErrorNoStorage;
        return 0;
    }
    int size = int(n), info = 0;
    dgetrf_(&size, &size, a.data(), &size, pivots.data(), &info);
    if (info < 0) {
        error_ = ErrorSingular;
        return 0;
    }
    if (info > 0)
        return 0;
    double d = 1;
    for (std::size_t i = 0; i < n; ++i) {
        if (pivots[i] != int(i) + 1)
            d = -d;
        d *= a[i * n + i];
    }
    return std::fabs(d) < detZeroBelow ? 0.0 : d;
}

std::optional<VQMatrix> VQMatrix::inverse()
{
    if (rows_ != cols_) {
        error_ = ErrorNotSquare;
        return std::nullopt;
    }
    std::size_t n = rows_;
    if (n == 0)
        return copyOrFail();
    std::vector<int> pivots;
    std::vector<double> work;
    try {
        pivots.resize(n);
        work.resize(100 * n);
    } catch (const std::bad_alloc&) {
        error_ = ErrorNoStorage;
        return std::nullopt;
    }
    auto out = copyOrFail();
    if (!out)
        return out;
    std::vector<int> iwork;
    try {
        iwork.resize(n);
    } catch (const std::bad_alloc&) {
        error_ = ErrorNoStorage;
        return out;
    }
    int size = int(n), lwork = int(100 * n), info = 0;
    double* a = out->m();
    double anorm = dlange_("1", &size, &size, a, &size, work.data(), 1);
    dgetrf_(&size, &size, a, &size, pivots.data(), &info);
    if (info != 0) {
        error_ = ErrorSingular;
        return std::nullopt;
    }
    double rcond = 0;
    dgecon_("1", &size, a, &size, &anorm, &rcond, work.data(), iwork.data(), &info, 1);
    // Ill-conditioned: still inverted and returned, the caller reads the error.
    if (info != 0 || !(rcond >= rcondLimit))
        error_ = ErrorSingular;
    dgetri_(&size, a, &size, pivots.data(), work.data(), &lwork, &info);
    return out;
}

std::optional<VQMatrix> VQMatrix::matrixOrFail(std::size_t row, std::size_t col)
{
    auto out = matrixWithRow(row, col);
    if (!out)
        error_ = ErrorNoStorage;
    return out;
}

bool VQMatrix::growWork(std::vector<double>& work, int& lwork)
{
    lwork = std::max(1, int(work[0]));
    try {
        work.resize(std::size_t(lwork));
    } catch (const std::bad_alloc&) {
        error_ = ErrorNoStorage;
        return false;
    }
    return true;
}

void VQMatrix::splitAugmented(double* a, double* b) const
{
    const std::size_t unknowns = cols_ - 1;
    for (std::size_t i = 0; i < rows_; ++i) {
        for (std::size_t j = 0; j < unknowns; ++j)
            a[j * rows_ + i] = m_[index(i, j)];
        b[i] = m_[index(i, unknowns)];
    }
}

std::optional<VQMatrix> VQMatrix::dsv()
{
    if (rows_ == 0 || cols_ < 2) {
        error_ = ErrorDimension;
        return std::nullopt;
    }
    std::size_t rows = rows_, unknowns = cols_ - 1;
    // The right-hand side buffer also receives the solution, so it holds max(rows, unknowns).
    std::size_t ldb = std::max(rows, unknowns);
    std::vector<double> a, b, s, work;
    std::vector<int> iwork;
    try {
        a.resize(rows * unknowns);
        b.assign(ldb, 0.0);
        s.resize(std::min(rows, unknowns));
        work.resize(1);
        iwork.resize(1);
    } catch (const std::bad_alloc&) {
        error_ = ErrorNoStorage;
        return std::nullopt;
    }
    splitAugmented(a.data(), b.data());
    int m = int(rows), n = int(unknowns), nrhs = 1, lda = int(rows), ldbInt = int(ldb);
    int rank = 0, lwork = -1, info = 0;
    double rcond = -1;
    dgelsd_(&m, &n, &nrhs, a.data(), &lda, b.data(), &ldbInt, s.data(), &rcond, &rank,
            work.data(), &lwork, iwork.data(), &info);
    if (info != 0) {
        error_ = ErrorDimension;
        return std::nullopt;
    }
    lwork = std::max(1, int(work[0]));
    try {
        work.resize(std::size_t(lwork));
        iwork.resize(std::size_t(std::max(1, iwork[0])));
    } catch (const std::bad_alloc&) {
        error_ = ErrorNoStorage;
        return std::nullopt;
    }
    dgelsd_(&m, &n, &nrhs, a.data(), &lda, b.data(), &ldbInt, s.data(), &rcond, &rank,
            work.data(), &lwork, iwork.data(), &info);
    if (info != 0) {
        error_ = ErrorSingular;
        return std::nullopt;
    }
    auto out = matrixOrFail(unknowns, 1);
    if (!out)
        return out;
    std::copy_n(b.begin(), unknowns, out->m());
    return out;
}

std::optional<VQMatrix> VQMatrix::rrefLAPACK()
{
    if (rows_ == 0 || cols_ < 2 || cols_ < rows_) {
        error_ = ErrorDimension;
        return std::nullopt;
    }
    const std::size_t rows = rows_, unknowns = cols_ - 1;
    // LAPACK writes the solution over the right-hand side, which has a row per equation:
    // more unknowns than that have no room (LAPACK would refuse the call).
    if (unknowns > rows) {
        error_ = ErrorSingular;
        return std::nullopt;
    }
    std::vector<double> a, b, work;
    try {
        a.resize(rows * unknowns);
        b.resize(rows);
        work.resize(1);
    } catch (const std::bad_alloc&) {
        error_ = ErrorNoStorage;
        return std::nullopt;
    }
    splitAugmented(a.data(), b.data());
    const int m = int(rows), n = int(unknowns), nrhs = 1, ld = int(rows);
    int lwork = -1, info = 0;
    dgels_("N", &m, &n, &nrhs, a.data(), &ld, b.data(), &ld, work.data(), &lwork, &info, 1);
    if (info == 0) {
        if (!growWork(work, lwork))
            return std::nullopt;
        dgels_("N", &m, &n, &nrhs, a.data(), &ld, b.data(), &ld, work.data(), &lwork, &info, 1);
    }
    // LAPACK stops only at an exactly zero pivot; a rank lost to rounding leaves one that
    // is tiny beside the largest, as the inverse's condition limit judges.
    double largest = 0, smallest = std::numeric_limits<double>::infinity();
    for (std::size_t k = 0; info == 0 && k < unknowns; ++k) {
        const double r = std::fabs(a[k * rows + k]);
        largest = std::max(largest, r);
        smallest = std::min(smallest, r);
    }
    if (info != 0 || !(smallest > rcondLimit * largest)) {
        error_ = ErrorSingular;
        return std::nullopt;
    }
    auto out = matrixOrFail(rows, cols_);
    if (!out)
        return out;
    double* values = out->m();
    std::fill_n(values, rows * cols_, 0.0);
    for (std::size_t i = 0; i < std::min(rows, unknowns); ++i) {
        values[i * cols_ + i] = 1;
        values[i * cols_ + unknowns] = b[i];
    }
    return out;
}

std::optional<VQMatrix> VQMatrix::eigenValue()
{
    if (rows_ != cols_ || rows_ == 0) {
        error_ = ErrorNotSquare;
        return std::nullopt;
    }
    const std::size_t n = rows_;
    std::vector<double> a, wr, wi, vl, vr, work;
    try {
        a.resize(n * n);
        wr.resize(n);
        wi.resize(n);
        vl.resize(n * n);
        vr.resize(n * n);
        work.resize(1);
    } catch (const std::bad_alloc&) {
        error_ = ErrorNoStorage;
        return std::nullopt;
    }
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            a[j * n + i] = m_[index(i, j)];
    const int order = int(n);
    int lwork = -1, info = 0;
    dgeev_("V", "V", &order, a.data(), &order, wr.data(), wi.data(), vl.data(), &order, vr.data(), &order,
           work.data(), &lwork, &info, 1, 1);
    if (info == 0) {
        if (!growWork(work, lwork))
            return std::nullopt;
        dgeev_("V", "V", &order, a.data(), &order, wr.data(), wi.data(), vl.data(), &order, vr.data(), &order,
               work.data(), &lwork, &info, 1, 1);
    }
    // A positive info: the QR iteration did not converge.
    if (info > 0) {
        error_ = ErrorSingular;
        return std::nullopt;
    }
    auto out = matrixOrFail(n, n);
    if (!out)
        return out;
    double* values = out->m();
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            values[i * n + j] = a[j * n + i];
    return out;
}

std::optional<VQMatrix> VQMatrix::matrixFromCol(std::size_t col) const
{
    if (col >= cols_)
        return std::nullopt;
    // The column asked for: always handing back the last one would answer every other
    // column wrongly.
    return column(col);
}

std::optional<VQMatrix> VQMatrix::rrefSolution() const
{
    if (rows_ < 2 || cols_ < 3)
        return std::nullopt;
    std::size_t coefficients = cols_ - 1;
    bool anyPivot = false;
    for (std::size_t j = 0; j < coefficients && !anyPivot; ++j) {
        std::size_t ones = 0, zeros = 0;
        for (std::size_t i = 0; i < rows_; ++i) {
            double v = m_[index(i, j)];
            ones += v == 1.0;
            zeros += v == 0.0;
        }
        anyPivot = ones == 1 && zeros == rows_ - 1;
    }
    if (!anyPivot)
        return std::nullopt;
    std::size_t rank = rows_;
    for (std::size_t i = 0; i < rows_; ++i) {
        const double* row = &m_[index(i, 0)];
        if (std::all_of(row, row + coefficients, [](double v) { return v == 0; })) {
            if (row[coefficients] != 0)
                return std::nullopt;  // 0 = nonzero: no solution
            --rank;
        }
    }
    if (rank < 1 || rank >= cols_)
        return std::nullopt;
    auto out = matrixWithRow(coefficients, cols_);
    if (!out)
        return out;
    std::size_t r = 0;
    double* values = out->m();
    SigPair* sigs = out->mSig();
    for (std::size_t j = 0; j < coefficients && r < rows_; ++j) {
        if (m_[index(r, j)] != 0) {
            std::copy(m_.data() + index(r, j), m_.data() + index(r, 0) + cols_, values + j * cols_ + j);
            std::copy(sig_.data() + index(r, j), sig_.data() + index(r, 0) + cols_, sigs + j * cols_ + j);
            ++r;
        }
    }
    return out;
}

} // namespace orvenda
