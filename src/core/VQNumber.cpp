#include "core/VQNumber.h"

#include "core/NumberFormatter.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

// Truncates a double to int, saturating instead of overflowing.
int truncToInt(double x) {
    if (std::isnan(x)) return 0;
    if (x >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (x <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return static_cast<int>(x);
}

// A null stands for a non-finite double (that is how JSON text writes NaN and infinities).
double readDouble(const nlohmann::json& archive, const char* key) {
    auto it = archive.find(key);
    if (it == archive.end()) return 0.0;
    if (it->is_number()) return it->get<double>();
    if (it->is_null()) return std::numeric_limits<double>::quiet_NaN();
    return 0.0;
}

int readInt(const nlohmann::json& archive, const char* key) {
    auto it = archive.find(key);
    if (it == archive.end()) return 0;
    if (it->is_number_integer()) {
        const long long v = it->get<long long>();
        if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
        if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
        return static_cast<int>(v);
    }
    if (it->is_number_unsigned()) {
        const unsigned long long v = it->get<unsigned long long>();
        return v > static_cast<unsigned long long>(std::numeric_limits<int>::max())
                   ? std::numeric_limits<int>::max()
                   : static_cast<int>(v);
    }
    if (it->is_number_float()) return truncToInt(it->get<double>());
    return 0;
}

void appendWhole(std::string& out, double x) {
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 0);
    out.append(buf, res.ptr);
}

void appendInt(std::string& out, int x) {
    char buf[16];
    auto res = std::to_chars(buf, buf + sizeof buf, x);
    out.append(buf, res.ptr);
}

} // namespace

VQNumber VQNumber::numberWithReal(double r, int sigFig, int sigDec) {
    return VQNumber({r, 0.0}, sigFig, sigDec);
}

VQNumber VQNumber::numberWithComplex(std::complex<double> value) {
    return VQNumber(value, 0, 0);
}

VQNumber VQNumber::numberWithNumber(const VQNumber& other) {
    return other;
}

void VQNumber::setTo(const VQNumber& other) {
    *this = other;
}

void VQNumber::adjustSigDec() {
    const double r = c_.real();
    if (!std::isfinite(r)) return;
    if (r == 0.0) {
        // log10(0) has no exponent; treat zero like a number whose leading digit is in the units.
        sigDec_ = truncToInt(1.0 - static_cast<double>(sigFig_));
        return;
    }
    double l = std::log10(std::fabs(r));
    if (l < 0) l -= 1.0;
    const double e = std::trunc(l);
    sigDec_ = truncToInt(e + 1.0 - static_cast<double>(sigFig_));
}

void VQNumber::adjustSigFig() {
    const double r = c_.real();
    if (!std::isfinite(r)) return;
    if (r == 0.0) {
        sigFig_ = sigDec_ < 0 ? truncToInt(1.0 - static_cast<double>(sigDec_)) : 0;
        return;
    }
    const double e = std::trunc(std::log10(std::fabs(r)));
    sigFig_ = truncToInt(e + 1.0 - static_cast<double>(sigDec_));
}

std::string VQNumber::description() const {
    std::string out;
    out.reserve(48);
    appendWhole(out, c_.real());
    out += '+';
    appendWhole(out, c_.imag());
    out += "i [";
    appendInt(out, sigFig_);
    out += ':';
    appendInt(out, sigDec_);
    out += ']';
    return out;
}

nlohmann::json VQNumber::encode() const {
    return nlohmann::json{{"r", c_.real()}, {"i", c_.imag()}, {"sf", sigFig_}, {"sd", sigDec_}};
}

VQNumber VQNumber::decode(const nlohmann::json& archive) {
    VQNumber n;
    if (!archive.is_object()) return n;
    n.c_ = {readDouble(archive, "r"), readDouble(archive, "i")};
    if (archive.contains("sf")) {
        n.sigFig_ = readInt(archive, "sf");
        n.sigDec_ = readInt(archive, "sd");
    } else {
        const auto [sf, sd] = derivedPair(n.c_.real());
        n.sigFig_ = sf;
        n.sigDec_ = sd;
    }
    return n;
}

std::pair<int, int> VQNumber::derivedPair(double r) {
    int sigDec = 0;
    const int sigFig = NumberFormatter().sigFigFor(r, sigDec);
    return {sigFig, sigDec};
}

} // namespace orvenda
