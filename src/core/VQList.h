#pragma once

#include <algorithm>
#include <complex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/SharedArray.h"
#include "core/VQNumber.h"

namespace orvenda {

// An ordered list of numbers with their significance pairs, plus the list functions and
// statistics helpers built on it. `type` is 1 once a complex element went in (0 = real).
// Indexes are 0-based except for sumStart/prodStart, whose bounds are 1-based and inclusive.
// Nothing here raises: a bad index or range gives NaN (or nothing), so callers can report.
// Copies share their elements (SharedArray): copying a list costs no element copy, and a
// change to one copy never shows in another.
class VQList {
public:
    VQList() = default;

    static VQList list();
    static VQList listWithList(const VQList& other);
    // The integers start..end as full-precision reals; empty when end < start.
    static VQList listSeqStart(int start, int end);

    void setList(const VQList& other);
    // Keeps the first n elements and pads with 0 of pair (0, 0); n <= 0 empties. Returns n.
    int resize(int n);

    int count() const { return static_cast<int>(v_.size()); }
    int type() const { return type_; }
    void setType(int type) { type_ = type; }
    std::span<const VQNumber> v() const { return v_.span(); }
    // The elements to change in place; a list that shares them takes its own copy first.
    std::span<VQNumber> writableV()
    {
        fullReal_ = 0;
        return v_.writable();
    }
    // Room for n elements, for a list about to be filled.
    void reserve(int n) { v_.reserve(n > 0 ? static_cast<std::size_t>(n) : 0); }
    // Both read the same elements (the store and the stack share a list this way).
    bool sharesWith(const VQList& other) const { return v_.sharesWith(other.v_); }

    std::string description() const;
    std::vector<double> realList() const;

    // Element access. Inserts at an index outside 0..count do nothing.
    void addNumber(const VQNumber& number);
    void insertNumber(const VQNumber& number, int atIndex);
    void addReal(double x, int sigFig, int sigDec);
    void insertReal(double x, int sigFig, int sigDec, int atIndex);
    void addComplex(std::complex<double> z);
    void insertComplex(std::complex<double> z, int atIndex);

    // A bad index reads NaN (the pair (15, -15)); numberAtIndex gives nullptr.
    double realAtIndex(int index) const;
    std::complex<double> complexAtIndex(int index) const;
    int sigFigAtIndex(int index) const;
    int sigDecAtIndex(int index) const;
    const VQNumber* numberAtIndex(int index) const;

    // index == count appends; index > count logs and appends; a negative index logs only.
    void setReal(double x, int sigFig, int sigDec, int atIndex);
    // index >= count appends; a negative index does nothing. Never lowers `type`.
    void setComplex(std::complex<double> z, int atIndex);
    void removeValueAtIndex(int index);
    void removeAllValues();

    // By real part for a real list, by modulus for a complex one; NaN goes last.
    void sortAscending();
    void sortDescending();
    // Sorts and moves the companion's elements along; equal keys are ordered by the companion.
    // A companion of another length leaves both lists alone.
    void sortA(VQList& companion);
    void sortD(VQList& companion);

    // This list followed by tail, every element real or complex as it is but with the full
    // pair (15, -15) (augment('s result). When this list's elements already are so, the
    // result shares them, and the tail goes in place after them when this list is their
    // newest copy: a loop that keeps augmenting its list is linear.
    VQList joinedFull(const VQList& tail) { return joinedFull(tail.v()); }
    VQList joinedFull(std::span<const VQNumber> tail);

    VQList cumulativeSum() const;
    VQList deltaList() const;
    VQList sigFig() const;
    // NaN on an empty list.
    std::complex<double> min() const;
    std::complex<double> max() const;
    std::complex<double> complexMin() const;
    std::complex<double> complexMax() const;
    // Nothing when the counts differ.
    std::optional<VQList> minListB(const VQList& b) const;
    std::optional<VQList> maxListB(const VQList& b) const;
    // Nothing when b is shorter than the receiver.
    std::optional<VQList> productWithList(const VQList& b) const;

    std::complex<double> sum() const;
    // NaN with (15, -15) for a bad range.
    VQNumber sumStart(int start, int end) const;
    VQNumber prodStart(int start, int end) const;
    VQNumber mean() const;

    // The frequency forms give NaN with (15, -15) (or NaN) when the frequency list is shorter
    // than the receiver; the quartiles need equal lengths.
    VQNumber meanFreq(const VQList& freq) const;
    VQNumber median() const;
    VQNumber Q1() const;
    VQNumber Q3() const;
    VQNumber medianFreq(const VQList& freq) const;
    VQNumber Q1Freq(const VQList& freq) const;
    VQNumber Q3Freq(const VQList& freq) const;
    void quartilesQ1(VQNumber& q1, VQNumber& median, VQNumber& q3, const VQList* freq) const;

    double variance() const;
    double standardDeviation() const;
    double varianceFreq(const VQList& freq) const;
    double standardDeviationFreq(const VQList& freq) const;
    double sumFreq(const VQList* freq) const;
    std::complex<double> sumOfSquaresFreq(const VQList* freq) const;
    std::complex<double> sumOfXY(const VQList& y, const VQList* freq) const;

    VQList shift(int k) const;
    VQList rotate(int k) const;
    // NaN for p outside 0..1.
    double quantile(double p) const;
    double quantile(double p, const VQList* freq) const;

    nlohmann::json encode() const;
    static VQList decode(const nlohmann::json& archive);

private:
    void recomputeType();
    void sortWithCompanion(VQList& companion, bool ascending);
    VQList sortedCopy() const;

    // Drops what is known of the elements from index `from` on.
    void changedFrom(std::size_t from) { fullReal_ = std::min(fullReal_, from); }

    int type_ = 0;
    SharedArray<VQNumber> v_;
    // The first fullReal_ elements are known to be real with the pair (15, -15): joinedFull
    // looks only at those after them.
    std::size_t fullReal_ = 0;
};

} // namespace orvenda
