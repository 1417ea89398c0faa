#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace orvenda {

// A colour with its RGB and HSV forms kept in step, an alpha, a grey level and the
// palette entry it was picked from. Every component lies in 0..1; the hue is a
// fraction of a turn.
class VQColor {
public:
    VQColor() = default;

    static VQColor colorWithColor(const VQColor& color) { return color; }

    // Factories.
    static VQColor colorR(double r, double g, double b, double a);
    // Red, green and blue in 0..255; alpha in 0..1.
    static VQColor colorIntR(int r, int g, int b, double a);
    static VQColor colorH(double h, double s, double v, double a);
    static VQColor gray(double level, double a);

    // Recompute one form from the other.
    void computeHSV();
    void computeRGB();

    // Whole-colour assignments: the other form and the grey level follow, and the palette
    // choice is forgotten.
    void setR(double r, double g, double b, double a);
    void setH(double h, double s, double v, double a);
    void setGray(double level, double a);

    // One component, clamped to 0..1; the other form follows, the grey level stays.
    void setR(double r);
    void setG(double g);
    void setB(double b);
    void setH(double h);
    void setS(double s);
    void setV(double v);

    // A copy that stays legible drawn on this colour.
    VQColor contrastColor() const;

    double r() const { return r_; }
    double g() const { return g_; }
    double b() const { return b_; }
    double a() const { return a_; }
    void setA(double a) { a_ = a; }
    double h() const { return h_; }
    double s() const { return s_; }
    double v() const { return v_; }
    double gray() const { return gray_; }
    void setGray(double gray) { gray_ = gray; }

    // Empty when the colour was not picked from a palette.
    const std::string& palletName() const { return palletName_; }
    void setPalletName(std::string name) { palletName_ = std::move(name); }
    int palletIndex() const { return palletIndex_; }
    void setPalletIndex(int index) { palletIndex_ = index; }
    double ph() const { return ph_; }
    void setPh(double ph) { ph_ = ph; }
    double ps() const { return ps_; }
    void setPs(double ps) { ps_ = ps; }
    double pv() const { return pv_; }
    void setPv(double pv) { pv_ = pv; }

    // Components are archived as single precision, so a decoded colour carries float
    // precision; the HSV form and the grey level are recomputed on reading.
    nlohmann::json encode() const;
    static VQColor decode(const nlohmann::json& archive);

private:
    void componentsChanged();

    double r_ = 0, g_ = 0, b_ = 0, a_ = 0;
    double h_ = 0, s_ = 0, v_ = 0;
    double gray_ = 0;
    std::string palletName_;
    int palletIndex_ = 0;
    double ph_ = 0, ps_ = 0, pv_ = 0;
};

} // namespace orvenda
