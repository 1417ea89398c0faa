#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/SharedArray.h"
#include "core/VQList.h"
#include "core/VQNumber.h"

namespace orvenda {

// Significance pair of one matrix cell, two signed bytes: significant figures, then the
// decimal exponent of the least significant digit. (15, -15) is full, unknown precision.
struct SigPair {
    std::int8_t sigFig = 15;
    std::int8_t sigDec = -15;
    bool operator==(const SigPair&) const = default;
};
static_assert(sizeof(SigPair) == 2);

// A cell together with its pair, as the element-wise and row operations take and give it.
struct SNum {
    std::int8_t sigFig = 15;
    std::int8_t sigDec = -15;
    double value = 0;
};

// Dense real matrix with a significance pair per cell. Values are one row-major block (so
// rows swap and index cheaply and the block goes straight to BLAS/LAPACK); pairs live in a
// parallel block. Copies share both blocks (SharedArray): a copy costs no cell copy, and the
// first write to a shared matrix gives it blocks of its own. The writing accessors (m(),
// r(), ... on a non-const matrix) are that write, so reads go through const ones.
// Operations never throw: a failed one returns nothing (or leaves the receiver unchanged)
// and records its code in error().
class VQMatrix {
public:
    enum Error : int {
        ErrorNone = 0,
        ErrorNotSquare = 1,
        ErrorSingular = 2,
        ErrorNoStorage = 3,
        ErrorDimension = 4,
        ErrorPowerRange = 5,
    };

    // Largest cell count (and largest single dimension) ever allocated; anything larger is
    // treated as storage that cannot be obtained.
    static constexpr std::size_t maxCells = std::size_t(1) << 22;

    VQMatrix() = default;

    // Construction. Each gives nothing when the storage cannot be obtained.
    static std::optional<VQMatrix> matrixWithRow(std::size_t row, std::size_t col);
    static std::optional<VQMatrix> matrixWithMatrix(const VQMatrix& other);
    static std::optional<VQMatrix> identityDimension(std::size_t n);
    static std::optional<VQMatrix> randomWithRow(std::size_t row, std::size_t col);
    // One column per list, as many rows as the longest list; cells past a shorter list
    // stay 0 with (15, -15). Complex elements give their real part.
    static std::optional<VQMatrix> matrixFromLists(const std::vector<VQList>& lists);
    std::optional<VQMatrix> matrixCopy() const;
    void clear();

    // Archive coding: "row", "col", and when there are cells "m" (doubles) and "mSig"
    // (two signed bytes per cell), both as binary values of little-endian bytes.
    nlohmann::json encode() const;
    static VQMatrix decode(const nlohmann::json& archive);

    // Fields.
    std::size_t dimRow() const { return rows_; }
    std::size_t dimCol() const { return cols_; }
    int error() const { return error_; }
    void setError(int error) { error_ = error; }
    double* m() { return m_.empty() ? nullptr : m_.writable().data(); }
    const double* m() const { return m_.empty() ? nullptr : m_.data(); }
    SigPair* mSig() { return sig_.empty() ? nullptr : sig_.writable().data(); }
    const SigPair* mSig() const { return sig_.empty() ? nullptr : sig_.data(); }
    // Start of row i inside m() / mSig(); null for a row that does not exist.
    double* r(std::size_t i) { return i < rows_ && cols_ ? m() + i * cols_ : nullptr; }
    const double* r(std::size_t i) const { return i < rows_ && cols_ ? m() + i * cols_ : nullptr; }
    SigPair* rSig(std::size_t i) { return i < rows_ && cols_ ? mSig() + i * cols_ : nullptr; }
    const SigPair* rSig(std::size_t i) const { return i < rows_ && cols_ ? mSig() + i * cols_ : nullptr; }
    // Both read the same cells.
    bool sharesWith(const VQMatrix& other) const { return m_.sharesWith(other.m_); }

    // Element access, 0-based. Reads outside the matrix give 0 (or a (15, -15) zero cell);
    // writes outside it do nothing.
    double row(std::size_t row, std::size_t col) const
    {
        return row < rows_ && col < cols_ ? m_[row * cols_ + col] : 0.0;
    }
    void set(double value, std::size_t atRow, std::size_t col)
    {
        if (atRow < rows_ && col < cols_)
            m()[atRow * cols_ + col] = value;
    }
    // The cell with its pair; pair members outside -128..127 are clamped to the byte range.
    VQNumber numAtRow(std::size_t row, std::size_t col) const;
    void setNum(const VQNumber& num, std::size_t atRow, std::size_t col);
    SNum snumAtRow(std::size_t row, std::size_t col) const;
    void setSNum(const SNum& cell, std::size_t atRow, std::size_t col);
    // Error 4 unless the row exists and the list has exactly dimCol() elements.
    void setRow(std::size_t row, const VQList& with);
    // Nothing for a column that does not exist.
    std::optional<VQList> listForCol(std::size_t col) const;
    std::optional<VQMatrix> column(std::size_t col) const;
    void fill(const SNum& cell);
    void resizeRow(std::size_t row, std::size_t col);
    bool equal(const VQMatrix& other) const;
    std::string description() const;

    // Element-wise and arithmetic operations: a new matrix, the receiver unchanged.
    std::optional<VQMatrix> transpose();
    std::optional<VQMatrix> augment(const VQMatrix& b);
    std::optional<VQMatrix> add(const VQMatrix& b);
    std::optional<VQMatrix> subtract(const VQMatrix& b);
    std::optional<VQMatrix> multiply(const VQMatrix& b);
    std::optional<VQMatrix> multiplyConst(const SNum& k);
    std::optional<VQMatrix> power(int p);
    std::optional<VQMatrix> square() { return power(2); }
    std::optional<VQMatrix> cube() { return power(3); }
    std::optional<VQMatrix> negate();
    std::optional<VQMatrix> abs();
    std::optional<VQMatrix> iPart();
    std::optional<VQMatrix> intPart();
    std::optional<VQMatrix> fPart();
    std::optional<VQMatrix> round(int n);
    std::optional<VQMatrix> cumsum();

    // x rounded to n decimals, halves away from zero.
    static double round(double x, int precision);
    // Recompute one member of a cell's pair from its value and the other member.
    static void adjustSigFig(SNum& cell);
    static void adjustSigDec(SNum& cell);

    // Row operations. The underscored forms change the receiver (error 4 for a row that
    // does not exist); the others return a changed copy.
    void _swapRow(std::size_t a, std::size_t withRow);
    std::optional<VQMatrix> swapRow(std::size_t a, std::size_t withRow);
    void _addRow(std::size_t a, std::size_t toRow);
    std::optional<VQMatrix> addRow(std::size_t a, std::size_t toRow);
    void _multiplyRowNumber(std::size_t a, const SNum& by, std::size_t to);
    std::optional<VQMatrix> multiplyRowNumber(std::size_t a, const SNum& by, std::size_t to);
    void _multiplyRowNumberAddTo(std::size_t a, const SNum& by, std::size_t addTo);
    std::optional<VQMatrix> multiplyRowNumberAddTo(std::size_t a, const SNum& by, std::size_t addTo);
    void normalizeRowNumber(std::size_t r, std::size_t byCol);

    // Echelon forms, determinant, inverse and least squares.
    void rowEchelon();
    std::optional<VQMatrix> ref();
    void reducedRowEchelon();
    std::optional<VQMatrix> rref();
    double det();
    std::optional<VQMatrix> inverse();
    std::optional<VQMatrix> dsv();
    std::optional<VQMatrix> rrefSolution() const;
    // The LAPACK forms nothing in the app calls. rrefLAPACK: an augmented [A | b] with
    // cols ≥ rows solved by least squares (QR): rows × cols with 1 on the diagonal and the
    // solution in the last column (error 4 for fewer columns, 2 when A has not full rank,
    // within the inverse's condition limit, or the solution does not fit the rows). eigenValue: the real Schur form LAPACK's
    // eigen-driver leaves of a square matrix (the real eigenvalues on its diagonal, a
    // complex pair as a 2 × 2 block); error 1 when not square, 2 when it does not converge.
    // eigenVector: none. matrixFromCol: column col, when it is one.
    std::optional<VQMatrix> rrefLAPACK();
    std::optional<VQMatrix> eigenValue();
    std::optional<VQMatrix> eigenVector() const { return std::nullopt; }
    std::optional<VQMatrix> matrixFromCol(std::size_t col) const;

private:
    static bool fits(std::size_t row, std::size_t col);
    bool allocate(std::size_t row, std::size_t col);
    std::size_t index(std::size_t row, std::size_t col) const { return row * cols_ + col; }
    // An augmented [A | b] as LAPACK takes it: A column by column into a (rows × (cols - 1)),
    // the last column into b (rows values).
    void splitAugmented(double* a, double* b) const;
    // A new matrix of row × col; sets error 3 when it cannot be made.
    std::optional<VQMatrix> matrixOrFail(std::size_t row, std::size_t col);
    // After a LAPACK workspace query: lwork from the size it asked for, work grown to it;
    // false with error 3 when it cannot be.
    bool growWork(std::vector<double>& work, int& lwork);
    // A same-shaped copy with cells of its own, for results written in place; sets error 3
    // when it cannot be made.
    std::optional<VQMatrix> copyOrFail();
    template <class Fn>
    std::optional<VQMatrix> mapCells(Fn fn);
    // Cell by cell this + b, or this - b.
    std::optional<VQMatrix> sumWith(const VQMatrix& b, bool subtracting);
    std::optional<VQMatrix> wholeCells(double (*whole)(double));

    SharedArray<double> m_;
    SharedArray<SigPair> sig_;
    std::size_t rows_ = 0;
    std::size_t cols_ = 0;
    int error_ = 0;
};

} // namespace orvenda
