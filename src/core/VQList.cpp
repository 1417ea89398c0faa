#include "core/VQList.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace orvenda {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

VQNumber badNumber() { return VQNumber::numberWithReal(kNaN, 15, -15); }

void appendInt(std::string& out, long long x) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, x);
    out.append(buf, res.ptr);
}

void logSetOutOfRange(std::size_t count, int index) {
    std::string line = "List set out of range. count:";
    appendInt(line, static_cast<long long>(count));
    line += " index:";
    appendInt(line, index);
    line += '\n';
    std::fputs(line.c_str(), stderr);
}

// Sort key of an element: its real part in a real list, its modulus in a complex one.
double keyOf(const VQNumber& n, bool complexKeys) { return complexKeys ? std::abs(n.c()) : n.r(); }

// Element i of the result is element i - k of the list; past either end it is 0, or with
// `wrap` the list goes on from its other end.
VQList movedBy(const VQList& list, int k, bool wrap) {
    const std::span<const VQNumber> v = list.v();
    if (k == 0 || v.empty()) return VQList::listWithList(list);
    const long long n = list.count();
    VQList out;
    out.reserve(list.count());
    for (long long i = 0; i < n; ++i) {
        long long from = i - k;
        if (wrap) {
            from %= n;
            if (from < 0) from += n;
        }
        out.addComplex(from >= 0 && from < n ? v[static_cast<std::size_t>(from)].c() : 0.0);
    }
    return out;
}

// Whether key a goes before key b: the lesser first, or the greater with `greatest`.
bool before(double a, double b, bool greatest) { return greatest ? a > b : a < b; }

// A stable sort on the keys; NaN keys go last so the ordering stays strict and weak.
void sortByKey(std::span<VQNumber> v, bool complexKeys, bool descending) {
    std::stable_sort(v.begin(), v.end(), [complexKeys, descending](const VQNumber& a, const VQNumber& b) {
        const double ka = keyOf(a, complexKeys), kb = keyOf(b, complexKeys);
        if (std::isnan(ka)) return false;
        return std::isnan(kb) || before(ka, kb, descending);
    });
}

// The element of a non-empty run with the least (or greatest) key; the first of equals.
const VQNumber& extreme(std::span<const VQNumber> v, bool complexKeys, bool greatest) {
    const VQNumber* best = &v.front();
    double bestKey = keyOf(*best, complexKeys);
    for (const VQNumber& x : v) {
        const double key = keyOf(x, complexKeys);
        if (before(key, bestKey, greatest)) {
            best = &x;
            bestKey = key;
        }
    }
    return *best;
}

// Element by element the one of a and b with the lesser (or greater) key; a on a tie.
VQList pickEach(const VQList& a, const VQList& b, bool greatest) {
    const bool cx = a.type() == 1 || b.type() == 1;
    VQList out;
    out.reserve(a.count());
    for (std::size_t k = 0; k < a.v().size(); ++k)
        out.addNumber(before(keyOf(b.v()[k], cx), keyOf(a.v()[k], cx), greatest) ? b.v()[k] : a.v()[k]);
    return out;
}

// Average of two neighbours, keeping the coarser of their last significant digits.
VQNumber midpoint(const VQNumber& a, const VQNumber& b) {
    VQNumber m((a.c() + b.c()) / 2.0, 0, std::max(a.sigDec(), b.sigDec()));
    m.adjustSigFig();
    return m;
}

} // namespace

VQList VQList::list() { return VQList(); }

VQList VQList::listWithList(const VQList& other) {
    return other;
}

VQList VQList::listSeqStart(int start, int end) {
    VQList seq;
    if (end < start) return seq;
    seq.v_.reserve(static_cast<std::size_t>(static_cast<long long>(end) - start + 1));
    for (long long k = start; k <= end; ++k)
        seq.v_.push_back(VQNumber::numberWithReal(static_cast<double>(k), 15, -15));
    return seq;
}

void VQList::setList(const VQList& other) {
    if (&other == this) return;
    *this = other;
}

int VQList::resize(int n) {
    if (n <= 0)
        v_.clear();
    else
        v_.resize(static_cast<std::size_t>(n), VQNumber());
    changedFrom(v_.size());
    return n;
}

std::string VQList::description() const {
    std::string out;
    char buf[64];
    for (std::size_t k = 0; k < v_.size(); ++k) {
        out += '[';
        appendInt(out, static_cast<long long>(k));
        out += "] ";
        auto res = std::to_chars(buf, buf + sizeof buf, v_[k].r());
        out.append(buf, res.ptr);
        out += '\n';
    }
    return out;
}

std::vector<double> VQList::realList() const {
    std::vector<double> out;
    out.reserve(v_.size());
    for (const VQNumber& n : v_) out.push_back(n.r());
    return out;
}

void VQList::addNumber(const VQNumber& number) {
    v_.push_back(number);
    if (number.i() != 0) type_ = 1;
}

void VQList::insertNumber(const VQNumber& number, int atIndex) {
    if (atIndex < 0 || atIndex > count()) return;
    changedFrom(static_cast<std::size_t>(atIndex));
    v_.insert(static_cast<std::size_t>(atIndex), number);
    if (number.i() != 0) type_ = 1;
}

void VQList::addReal(double x, int sigFig, int sigDec) {
    v_.push_back(VQNumber::numberWithReal(x, sigFig, sigDec));
}

void VQList::insertReal(double x, int sigFig, int sigDec, int atIndex) {
    if (atIndex < 0 || atIndex > count()) return;
    changedFrom(static_cast<std::size_t>(atIndex));
    v_.insert(static_cast<std::size_t>(atIndex), VQNumber::numberWithReal(x, sigFig, sigDec));
}

void VQList::addComplex(std::complex<double> z) {
    v_.push_back(VQNumber::numberWithComplex(z));
    if (z.imag() != 0) type_ = 1;
}

void VQList::insertComplex(std::complex<double> z, int atIndex) {
    if (atIndex < 0 || atIndex > count()) return;
    changedFrom(static_cast<std::size_t>(atIndex));
    v_.insert(static_cast<std::size_t>(atIndex), VQNumber::numberWithComplex(z));
    if (z.imag() != 0) type_ = 1;
}

double VQList::realAtIndex(int index) const {
    const VQNumber* n = numberAtIndex(index);
    return n ? n->r() : kNaN;
}

std::complex<double> VQList::complexAtIndex(int index) const {
    const VQNumber* n = numberAtIndex(index);
    return n ? n->c() : std::complex<double>(kNaN, kNaN);
}

int VQList::sigFigAtIndex(int index) const {
    const VQNumber* n = numberAtIndex(index);
    return n ? n->sigFig() : 15;
}

int VQList::sigDecAtIndex(int index) const {
    const VQNumber* n = numberAtIndex(index);
    return n ? n->sigDec() : -15;
}

const VQNumber* VQList::numberAtIndex(int index) const {
    return index >= 0 && index < count() ? &v_[static_cast<std::size_t>(index)] : nullptr;
}

void VQList::setReal(double x, int sigFig, int sigDec, int atIndex) {
    if (atIndex < 0) {
        logSetOutOfRange(v_.size(), atIndex);
        return;
    }
    if (atIndex >= count()) {
        if (atIndex > count()) logSetOutOfRange(v_.size(), atIndex);
        addReal(x, sigFig, sigDec);
        return;
    }
    changedFrom(static_cast<std::size_t>(atIndex));
    VQNumber& n = v_.writable()[static_cast<std::size_t>(atIndex)];
    const bool wasComplex = n.i() != 0;
    n = VQNumber::numberWithReal(x, sigFig, sigDec);
    if (wasComplex) recomputeType();
}

void VQList::setComplex(std::complex<double> z, int atIndex) {
    if (atIndex < 0) return;
    if (atIndex >= count()) {
        addComplex(z);
        return;
    }
    changedFrom(static_cast<std::size_t>(atIndex));
    v_.writable()[static_cast<std::size_t>(atIndex)].setC(z);
    if (z.imag() != 0) type_ = 1;
}

void VQList::removeValueAtIndex(int index) {
    if (index < 0 || index >= count()) return;
    const bool wasComplex = v_[static_cast<std::size_t>(index)].i() != 0;
    changedFrom(static_cast<std::size_t>(index));
    v_.erase(static_cast<std::size_t>(index));
    if (wasComplex) recomputeType();
}

void VQList::removeAllValues() {
    v_.clear();
    type_ = 0;
    fullReal_ = 0;
}

void VQList::recomputeType() {
    type_ = std::any_of(v_.begin(), v_.end(), [](const VQNumber& n) { return n.i() != 0; }) ? 1 : 0;
}

void VQList::sortAscending() { sortByKey(writableV(), type_ == 1, false); }

void VQList::sortDescending() { sortByKey(writableV(), type_ == 1, true); }

void VQList::sortA(VQList& companion) { sortWithCompanion(companion, true); }

void VQList::sortD(VQList& companion) { sortWithCompanion(companion, false); }

void VQList::sortWithCompanion(VQList& companion, bool ascending) {
    if (companion.count() != count()) return;
    if (&companion == this) {
        ascending ? sortAscending() : sortDescending();
        return;
    }
    const bool cx = type_ == 1;
    const std::span<VQNumber> a = writableV();
    const std::span<VQNumber> b = companion.writableV();
    const std::size_t n = a.size();
    // Insertion sort on the list's keys, the companion moving along.
    for (std::size_t k = 1; k < n; ++k) {
        for (std::size_t j = k; j > 0 && before(keyOf(a[j], cx), keyOf(a[j - 1], cx), !ascending); --j) {
            std::swap(a[j], a[j - 1]);
            std::swap(b[j], b[j - 1]);
        }
    }
    // Runs of equal keys are then ordered by the companion.
    for (std::size_t k = 1; k < n; ++k) {
        for (std::size_t j = k; j > 0 && keyOf(a[j], cx) == keyOf(a[j - 1], cx) &&
                                before(keyOf(b[j], cx), keyOf(b[j - 1], cx), !ascending);
             --j) {
            std::swap(a[j], a[j - 1]);
            std::swap(b[j], b[j - 1]);
        }
    }
}

VQList VQList::joinedFull(std::span<const VQNumber> tail) {
    const auto fullReal = [](const VQNumber& n) { return n.sigFig() == 15 && n.sigDec() == -15 && n.i() == 0; };
    const std::span<const VQNumber> head = v();
    while (fullReal_ < head.size() && fullReal(head[fullReal_])) ++fullReal_;
    VQList out;
    if (fullReal_ == head.size()) {
        out.v_ = v_;
        out.fullReal_ = fullReal_;
    } else {
        out.reserve(count() + static_cast<int>(tail.size()));
        for (const VQNumber& e : head) out.addNumber(VQNumber(e.c(), 15, -15));
    }
    for (const VQNumber& e : tail) {
        const bool real = e.i() == 0;
        out.addNumber(VQNumber(e.c(), 15, -15));
        if (real && out.fullReal_ + 1 == out.v_.size()) ++out.fullReal_;
    }
    return out;
}

VQList VQList::cumulativeSum() const {
    VQList out;
    out.v_.reserve(v_.size());
    std::complex<double> s = 0;
    int dec = v_.empty() ? 0 : v_.front().sigDec();
    for (const VQNumber& x : v_) {
        s += x.c();
        dec = std::max(dec, x.sigDec());
        VQNumber n(s, 0, dec);
        n.adjustSigFig();
        out.addNumber(n);
    }
    return out;
}

VQList VQList::deltaList() const {
    VQList out;
    if (v_.size() < 2) return out;
    out.v_.reserve(v_.size() - 1);
    for (std::size_t k = 1; k < v_.size(); ++k) {
        VQNumber n(v_[k].c() - v_[k - 1].c(), 0, std::max(v_[k].sigDec(), v_[k - 1].sigDec()));
        n.adjustSigFig();
        out.addNumber(n);
    }
    return out;
}

VQList VQList::sigFig() const {
    VQList out;
    out.v_.reserve(v_.size());
    for (const VQNumber& x : v_) out.addReal(static_cast<double>(x.sigFig()), 15, -15);
    return out;
}

std::complex<double> VQList::min() const {
    if (type_ == 1) return complexMin();
    if (v_.empty()) return {kNaN, kNaN};
    return {extreme(v_, false, false).r(), 0.0};
}

std::complex<double> VQList::max() const {
    if (type_ == 1) return complexMax();
    if (v_.empty()) return {kNaN, kNaN};
    return {extreme(v_, false, true).r(), 0.0};
}

std::complex<double> VQList::complexMin() const {
    if (v_.empty()) return {kNaN, kNaN};
    return extreme(v_, true, false).c();
}

std::complex<double> VQList::complexMax() const {
    if (v_.empty()) return {kNaN, kNaN};
    return extreme(v_, true, true).c();
}

std::optional<VQList> VQList::minListB(const VQList& b) const {
    if (b.count() != count()) return std::nullopt;
    return pickEach(*this, b, false);
}

std::optional<VQList> VQList::maxListB(const VQList& b) const {
    if (b.count() != count()) return std::nullopt;
    return pickEach(*this, b, true);
}

std::optional<VQList> VQList::productWithList(const VQList& b) const {
    if (b.count() < count()) return std::nullopt;
    VQList out;
    out.v_.reserve(v_.size());
    for (std::size_t k = 0; k < v_.size(); ++k) {
        VQNumber n(v_[k].c() * b.v_[k].c(), std::min(v_[k].sigFig(), b.v_[k].sigFig()), 0);
        n.adjustSigDec();
        out.addNumber(n);
    }
    return out;
}

std::complex<double> VQList::sum() const {
    std::complex<double> s = 0;
    for (const VQNumber& x : v_) s += x.c();
    return s;
}

VQNumber VQList::sumStart(int start, int end) const {
    if (start < 1 || end < start || start > count() || end > count()) return badNumber();
    std::complex<double> s = 0;
    int dec = -10;
    for (int k = start - 1; k < end; ++k) {
        const VQNumber& x = v_[static_cast<std::size_t>(k)];
        s += x.c();
        dec = std::max(dec, x.sigDec());
    }
    VQNumber n(s, 0, dec);
    n.adjustSigFig();
    return n;
}

VQNumber VQList::prodStart(int start, int end) const {
    if (start < 1 || end < start || start > count() || end > count()) return badNumber();
    std::complex<double> p = 1;
    int fig = std::numeric_limits<int>::max();
    for (int k = start - 1; k < end; ++k) {
        const VQNumber& x = v_[static_cast<std::size_t>(k)];
        p *= x.c();
        fig = std::min(fig, x.sigFig());
    }
    VQNumber n(p, fig, 0);
    n.adjustSigDec();
    return n;
}

VQNumber VQList::mean() const {
    VQNumber s = sumStart(1, count());
    const double n = static_cast<double>(count());
    VQNumber m(s.c() / n, s.sigFig(), s.sigDec());
    m.adjustSigFig();
    return m;
}

VQNumber VQList::meanFreq(const VQList& freq) const {
    const std::optional<VQList> weighted = productWithList(freq);
    if (!weighted) return badNumber();
    const VQNumber top = weighted->sumStart(1, count());
    const VQNumber bottom = freq.sumStart(1, count());
    VQNumber m = VQNumber::numberWithReal(top.r() / bottom.r(), std::min(top.sigFig(), bottom.sigFig()), 0);
    m.adjustSigDec();
    return m;
}

VQNumber VQList::median() const {
    VQNumber q1, med, q3;
    quartilesQ1(q1, med, q3, nullptr);
    return med;
}

VQNumber VQList::Q1() const {
    VQNumber q1, med, q3;
    quartilesQ1(q1, med, q3, nullptr);
    return q1;
}

VQNumber VQList::Q3() const {
    VQNumber q1, med, q3;
    quartilesQ1(q1, med, q3, nullptr);
    return q3;
}

VQNumber VQList::medianFreq(const VQList& freq) const {
    VQNumber q1, med, q3;
    quartilesQ1(q1, med, q3, &freq);
    return med;
}

VQNumber VQList::Q1Freq(const VQList& freq) const {
    VQNumber q1, med, q3;
    quartilesQ1(q1, med, q3, &freq);
    return q1;
}

VQNumber VQList::Q3Freq(const VQList& freq) const {
    VQNumber q1, med, q3;
    quartilesQ1(q1, med, q3, &freq);
    return q3;
}

VQList VQList::sortedCopy() const {
    VQList x = listWithList(*this);
    x.sortAscending();
    return x;
}

void VQList::quartilesQ1(VQNumber& q1, VQNumber& median, VQNumber& q3, const VQList* freq) const {
    const std::size_t n = v_.size();
    if (freq == nullptr) {
        if (n == 0) {
            q1.setC(0);
            median.setC(0);
            q3.setC(0);
            return;
        }
        const VQList sorted = sortedCopy();
        const SharedArray<VQNumber>& x = sorted.v_;
        if (n == 1) {
            q1.setTo(x[0]);
            median.setTo(x[0]);
            q3.setTo(x[0]);
            return;
        }
        const std::size_t h = n / 2, q = n / 4, u = h + q + n % 2;
        median.setTo(n % 2 == 1 ? x[h] : midpoint(x[h - 1], x[h]));
        if (n % 4 <= 1) {
            q1.setTo(midpoint(x[q - 1], x[q]));
            q3.setTo(midpoint(x[u - 1], x[u]));
        } else {
            q1.setTo(x[q]);
            q3.setTo(x[u]);
        }
        return;
    }

    // Sorting skips a companion of another length, so the counts must agree.
    if (freq->count() != count()) {
        q1.setTo(badNumber());
        median.setTo(badNumber());
        q3.setTo(badNumber());
        return;
    }
    VQList x = listWithList(*this);
    VQList f = listWithList(*freq);
    x.sortA(f);
    double total = 0;
    for (const VQNumber& w : f.v_) total += w.r();
    VQNumber* outs[3] = {&q1, &median, &q3};
    for (int k = 1; k <= 3; ++k) {
        VQNumber result = VQNumber::numberWithReal(0, 15, -15);
        if (n > 0) {
            const double t = total * k / 4.0;
            double c = f.v_[0].r();
            if (t < c) {
                result = x.v_[0];
            } else {
                for (std::size_t i = 1; i < n; ++i) {
                    const double next = c + f.v_[i].r();
                    if (c < t && t < next) {
                        result = x.v_[i];
                        break;
                    }
                    if (t == c) {
                        result = midpoint(x.v_[i - 1], x.v_[i]);
                        break;
                    }
                    c = next;
                }
            }
        }
        outs[k - 1]->setTo(result);
    }
}

double VQList::variance() const {
    if (v_.size() < 2) return 0;
    double n = 0, mean = 0, m2 = 0;
    for (const VQNumber& v : v_) {
        const double x = v.r();
        n += 1;
        const double delta = x - mean;
        mean += delta / n;
        m2 += delta * (x - mean);
    }
    return m2 / (n - 1);
}

double VQList::standardDeviation() const { return std::sqrt(variance()); }

double VQList::varianceFreq(const VQList& freq) const {
    if (freq.count() < count()) return kNaN;
    double n = 0, mean = 0, m2 = 0;
    for (std::size_t k = 0; k < v_.size(); ++k) {
        const double w = freq.v_[k].r();
        if (w != std::trunc(w)) return kNaN;
        if (!(w > 0)) continue;
        // w repeated updates of the running mean and squared deviations, in one step.
        const double x = v_[k].r();
        n += w;
        const double delta = x - mean;
        mean += delta * w / n;
        m2 += w * delta * (x - mean);
    }
    return m2 / (n - 1);
}

double VQList::standardDeviationFreq(const VQList& freq) const { return std::sqrt(varianceFreq(freq)); }

double VQList::sumFreq(const VQList* freq) const {
    if (freq != nullptr && freq->count() < count()) return kNaN;
    double s = 0;
    for (std::size_t k = 0; k < v_.size(); ++k) s += freq ? v_[k].r() * freq->v_[k].r() : v_[k].r();
    return s;
}

std::complex<double> VQList::sumOfSquaresFreq(const VQList* freq) const {
    if (freq != nullptr && freq->count() < count()) return {kNaN, kNaN};
    std::complex<double> s = 0;
    for (std::size_t k = 0; k < v_.size(); ++k) {
        const std::complex<double> sq = v_[k].c() * v_[k].c();
        s += freq ? freq->v_[k].c() * sq : sq;
    }
    return s;
}

std::complex<double> VQList::sumOfXY(const VQList& y, const VQList* freq) const {
    if (y.count() < count() || (freq != nullptr && freq->count() < count())) return {kNaN, kNaN};
    std::complex<double> s = 0;
    for (std::size_t k = 0; k < v_.size(); ++k) {
        const std::complex<double> xy = v_[k].c() * y.v_[k].c();
        s += freq ? xy * freq->v_[k].c() : xy;
    }
    return s;
}

VQList VQList::shift(int k) const { return movedBy(*this, k, false); }

VQList VQList::rotate(int k) const { return movedBy(*this, k, true); }

double VQList::quantile(double p) const {
    if (v_.empty()) return 0;
    if (!(p >= 0 && p <= 1)) return kNaN;
    const VQList sorted = sortedCopy();
    const SharedArray<VQNumber>& x = sorted.v_;
    const double pos = static_cast<double>(x.size() - 1) * p;
    const std::size_t i = static_cast<std::size_t>(pos);
    if (i >= x.size() - 1) return x.back().r();
    const double f = pos - static_cast<double>(i);
    return (1 - f) * x[i].r() + f * x[i + 1].r();
}

double VQList::quantile(double p, const VQList* /*freq*/) const { return quantile(p); }

nlohmann::json VQList::encode() const {
    nlohmann::json elements = nlohmann::json::array();
    for (const VQNumber& n : v_) elements.push_back(n.encode());
    return nlohmann::json{{"type", type_}, {"v", std::move(elements)}};
}

VQList VQList::decode(const nlohmann::json& archive) {
    VQList out;
    if (!archive.is_object()) return out;
    auto t = archive.find("type");
    if (t != archive.end() && t->is_number()) {
        const double value = t->get<double>();
        out.type_ = value != 0 && !std::isnan(value) ? 1 : 0;
    }
    auto v = archive.find("v");
    if (v != archive.end() && v->is_array()) {
        out.v_.reserve(v->size());
        for (const nlohmann::json& element : *v) out.v_.push_back(VQNumber::decode(element));
    }
    return out;
}

} // namespace orvenda
