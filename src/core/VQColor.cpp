#include "core/VQColor.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

// Clamp to 0..1; a NaN becomes 0 so it cannot spread through the other form.
double unit(double x)
{
    if (std::isnan(x))
        return 0;
    return std::clamp(x, 0.0, 1.0);
}

// Archived components are single precision.
double asFloat(double x)
{
    if (std::isnan(x))
        return x;
    constexpr double largest = std::numeric_limits<float>::max();
    return static_cast<double>(static_cast<float>(std::clamp(x, -largest, largest)));
}

double number(const nlohmann::json& archive, const char* key, double fallback)
{
    auto it = archive.find(key);
    if (it == archive.end() || !it->is_number())
        return fallback;
    double x = it->get<double>();
    return std::isfinite(x) ? asFloat(x) : fallback;
}

int integer(const nlohmann::json& archive, const char* key, int fallback)
{
    auto it = archive.find(key);
    if (it == archive.end() || !it->is_number())
        return fallback;
    if (it->is_number_unsigned()) {
        auto x = it->get<unsigned long long>();
        return x > static_cast<unsigned long long>(std::numeric_limits<int>::max()) ? fallback : static_cast<int>(x);
    }
    if (it->is_number_integer()) {
        auto x = it->get<long long>();
        if (x < std::numeric_limits<int>::min() || x > std::numeric_limits<int>::max())
            return fallback;
        return static_cast<int>(x);
    }
    double x = it->get<double>();
    if (!std::isfinite(x) || x < std::numeric_limits<int>::min() || x > std::numeric_limits<int>::max())
        return fallback;
    return static_cast<int>(x);
}

} // namespace

VQColor VQColor::colorR(double r, double g, double b, double a)
{
    VQColor c;
    c.setR(r, g, b, a);
    return c;
}

VQColor VQColor::colorIntR(int r, int g, int b, double a)
{
    return colorR(r / 255.0, g / 255.0, b / 255.0, a);
}

VQColor VQColor::colorH(double h, double s, double v, double a)
{
    VQColor c;
    c.setH(h, s, v, a);
    return c;
}

VQColor VQColor::gray(double level, double a)
{
    VQColor c;
    c.setGray(level, a);
    return c;
}

void VQColor::computeHSV()
{
    double max = std::max({r_, g_, b_});
    double min = std::min({r_, g_, b_});
    v_ = max;
    s_ = max == 0 ? 0 : (max - min) / max;
    if (max == min) {
        h_ = 0;
        return;
    }
    double delta = max - min;
    if (max == r_)
        h_ = ((g_ - b_) / delta + (g_ < b_ ? 6 : 0)) / 6;
    else if (max == g_)
        h_ = ((b_ - r_) / delta + 2) / 6;
    else
        h_ = ((r_ - g_) / delta + 4) / 6;
}

void VQColor::computeRGB()
{
    // The hue is kept in 0..1, but a colour built from non-finite parts must not index
    // past the six sectors.
    double h = std::isfinite(h_) ? h_ : 0;
    double k = std::floor(6 * h);
    double f = 6 * h - k;
    int i = static_cast<int>(std::fmod(k, 6.0));
    if (i < 0)
        i += 6;
    double p = v_ * (1 - s_);
    double q = v_ * (1 - f * s_);
    double t = v_ * (1 - (1 - f) * s_);
    switch (i) {
    case 0: r_ = v_, g_ = t, b_ = p; break;
    case 1: r_ = q, g_ = v_, b_ = p; break;
    case 2: r_ = p, g_ = v_, b_ = t; break;
    case 3: r_ = p, g_ = q, b_ = v_; break;
    case 4: r_ = t, g_ = p, b_ = v_; break;
    default: r_ = v_, g_ = p, b_ = q; break;
    }
}

void VQColor::componentsChanged()
{
    palletName_.clear();
}

void VQColor::setR(double r, double g, double b, double a)
{
    r_ = r;
    g_ = g;
    b_ = b;
    a_ = a;
    computeHSV();
    gray_ = v_;
    componentsChanged();
}

void VQColor::setH(double h, double s, double v, double a)
{
    s_ = unit(s);
    v_ = unit(v);
    // Wrap into one turn; a whole turn (1) is left as it is.
    if (std::isnan(h) || std::isinf(h))
        h = 0;
    else if (h < 0 || h > 1)
        h -= std::floor(h);
    h_ = h;
    a_ = a;
    computeRGB();
    gray_ = v_;
    componentsChanged();
}

void VQColor::setGray(double level, double a)
{
    h_ = 0;
    s_ = 0;
    r_ = g_ = b_ = v_ = gray_ = level;
    a_ = a;
    componentsChanged();
}

void VQColor::setR(double r)
{
    r_ = unit(r);
    computeHSV();
    componentsChanged();
}

void VQColor::setG(double g)
{
    g_ = unit(g);
    computeHSV();
    componentsChanged();
}

void VQColor::setB(double b)
{
    b_ = unit(b);
    computeHSV();
    componentsChanged();
}

void VQColor::setH(double h)
{
    h_ = unit(h);
    computeRGB();
    componentsChanged();
}

void VQColor::setS(double s)
{
    s_ = unit(s);
    computeRGB();
    componentsChanged();
}

void VQColor::setV(double v)
{
    v_ = unit(v);
    computeRGB();
    componentsChanged();
}

VQColor VQColor::contrastColor() const
{
    VQColor c = *this;
    if (s_ < 0.25) {
        c.setV(v_ < 0.5 ? 1 : 0);
    } else if (v_ < 0.5) {
        c.setV(1);
    } else {
        double h = h_ + 0.5;
        if (h > 1)
            h -= 1;
        c.setH(h);
    }
    return c;
}

nlohmann::json VQColor::encode() const
{
    nlohmann::json archive = nlohmann::json::object();
    archive["r"] = asFloat(r_);
    archive["g"] = asFloat(g_);
    archive["b"] = asFloat(b_);
    archive["a"] = asFloat(a_);
    archive["pName"] = palletName_.empty() ? nlohmann::json() : nlohmann::json(palletName_);
    archive["pIndex"] = palletIndex_;
    archive["ph"] = asFloat(ph_);
    archive["ps"] = asFloat(ps_);
    archive["pv"] = asFloat(pv_);
    return archive;
}

VQColor VQColor::decode(const nlohmann::json& archive)
{
    VQColor c;
    if (!archive.is_object())
        return c;
    c.setR(number(archive, "r", 0), number(archive, "g", 0), number(archive, "b", 0),
        number(archive, "a", 0));
    // Read after the components, whose assignment forgets the palette choice.
    auto name = archive.find("pName");
    if (name != archive.end() && name->is_string())
        c.palletName_ = name->get<std::string>();
    c.palletIndex_ = integer(archive, "pIndex", 0);
    c.ph_ = number(archive, "ph", 0);
    c.ps_ = number(archive, "ps", 0);
    c.pv_ = number(archive, "pv", 0);
    return c;
}

} // namespace orvenda
