#pragma once

#include <complex>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

namespace orvenda {

// A complex value with its significance pair: the count of significant figures and the
// decimal exponent of the least significant digit (0 units, -1 tenths). (15, -15) marks full
// precision; a plain number starts at (0, 0). A small value type: lists hold these directly.
class VQNumber {
public:
    VQNumber() = default;
    VQNumber(std::complex<double> value, int sigFig, int sigDec)
        : c_(value), sigFig_(sigFig), sigDec_(sigDec) {}

    static VQNumber numberWithReal(double r, int sigFig, int sigDec);
    static VQNumber numberWithComplex(std::complex<double> value);
    static VQNumber numberWithNumber(const VQNumber& other);

    void setTo(const VQNumber& other);

    double r() const { return c_.real(); }
    void setR(double r) { c_.real(r); }
    double i() const { return c_.imag(); }
    void setI(double i) { c_.imag(i); }
    std::complex<double> c() const { return c_; }
    void setC(std::complex<double> value) { c_ = value; }

    int sigFig() const { return sigFig_; }
    void setSigFig(int sigFig) { sigFig_ = sigFig; }
    int sigDec() const { return sigDec_; }
    void setSigDec(int sigDec) { sigDec_ = sigDec; }

    // Recompute one member of the pair from the real part and the other member.
    // A non-finite real part leaves the pair alone.
    void adjustSigDec();
    void adjustSigFig();

    // Diagnostics: "re+imi [sigFig:sigDec]" with the parts rounded to whole numbers.
    std::string description() const;

    nlohmann::json encode() const;
    // Missing or damaged values fall back to defaults; an archive without "sf" derives the
    // pair from the real part.
    static VQNumber decode(const nlohmann::json& archive);

    // The pair {sigFig, sigDec} a value written out in full would show.
    static std::pair<int, int> derivedPair(double r);

private:
    std::complex<double> c_{0.0, 0.0};
    int sigFig_ = 0;
    int sigDec_ = 0;
};

} // namespace orvenda
