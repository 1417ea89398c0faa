#include "core/StatisticsText.h"

#include "core/Calculator.h"
#include "core/NumberFormatter.h"
#include "core/Operand.h"
#include "numeric/StatSlots.h"
#include "numeric/VQStatistics.h"

#include <cmath>
#include <initializer_list>
#include <string_view>

namespace orvenda {

namespace {

// The summaries' numbers are at most this wide.
constexpr int kSummaryWidth = 10;

// Texts of the three alternatives: less than, greater than, not equal.
struct Hypotheses {
    std::string_view less, greater, other;
};

class Builder {
public:
    Builder(const Calculator& calc, const NumberFormatter& format) : calc_(calc), format_(format) {}

    std::string number(double x) const { return format_.formatReal(x); }
    // A deviation that cannot be formed leaves its cell without a number, still filled.
    std::string deviation(double x) const { return std::isnan(x) ? std::string() : number(x); }
    double slot(int n) const { return calc_.getVar(n).value.real(); }
    std::string value(int n) const { return number(slot(n)); }

    Builder& text(std::string_view s)
    {
        out_ += s;
        return *this;
    }
    // label and the slot's number, then a line break.
    Builder& line(std::string_view label, int n)
    {
        out_ += label;
        out_ += value(n);
        out_ += '\n';
        return *this;
    }
    // label and the slot's number, no line break.
    Builder& last(std::string_view label, int n)
    {
        out_ += label;
        out_ += value(n);
        return *this;
    }
    // A left cell (label and number) filled with blanks past its width, then the right
    // label and number, and a line break unless this ends the text.
    Builder& pair(std::string_view left, const std::string& leftNumber, int width, std::string_view right,
                  const std::string& rightNumber, bool lineBreak = true)
    {
        std::string cell(left);
        cell += leftNumber;
        NumberFormatter::pad(cell, width);
        out_ += cell;
        out_ += right;
        out_ += rightNumber;
        if (lineBreak)
            out_ += '\n';
        return *this;
    }
    Builder& pairSlots(std::string_view left, int leftSlot, int width, std::string_view right, int rightSlot,
                       bool lineBreak = true)
    {
        return pair(left, value(leftSlot), width, right, value(rightSlot), lineBreak);
    }
    Builder& hypothesis(const Hypotheses& h)
    {
        const double x = slot(SlotAlternative);
        const int alternative = std::isfinite(x) && std::fabs(x) < 1e9 ? static_cast<int>(x) : 0;
        out_ += alternative == 1 ? h.less : alternative == 2 ? h.greater : h.other;
        return *this;
    }
    Builder& interval(std::string_view title)
    {
        out_ += title;
        out_ += '(';
        out_ += value(SlotLower);
        out_ += ',';
        out_ += value(SlotUpper);
        out_ += ")\n";
        return *this;
    }
    std::string take() { return std::move(out_); }

private:
    const Calculator& calc_;
    const NumberFormatter& format_;
    std::string out_;
};

NumberFormatter summaryFormat(const Calculator& calc)
{
    NumberFormatter format = calc.numberFormatter();
    format.settings.maxWidth = kSummaryWidth;
    return format;
}

constexpr Hypotheses kMean{"μ<", "μ>", "μ≠"};
constexpr Hypotheses kTwoMeans{"μ1<μ2\n", "μ1>μ2\n", "μ1≠μ2\n"};

} // namespace

std::string StatisticsText::format(const Operand& op) const
{
    const auto* stats = dynamic_cast<const VQStatistics*>(op.object.get());
    switch (op.kind) {
    case KindOneVarStats:
        return stats ? format1VarStat(*stats) : std::string();
    case KindTwoVarStats:
        return stats ? format2VarStat(*stats) : std::string();
    case KindRegression:
        return formatRegression();
    default:
        return formatFromSlots(op.kind);
    }
}

std::string StatisticsText::format1VarStat(const VQStatistics& s) const
{
    const NumberFormatter format = summaryFormat(calc_);
    Builder b(calc_, format);
    const auto deviation = [&](double x) { return b.deviation(x); };
    b.pair("x̅:", b.number(s.Xmean), 16, "minX:", b.number(s.minX))
        .pair("∑x:", b.number(s.Xsum), 15, "Q1:", b.number(s.Q1))
        .pair("∑x²:", b.number(s.X2sum), 15, "Med:", b.number(s.medianX))
        .pair("Sx:", deviation(s.stdX), 15, "Q3:", b.number(s.Q3))
        .pair("σx:", deviation(s.popStdX), 15, "maxX:", b.number(s.maxX))
        .text("n:")
        .text(b.number(s.n));
    return b.take();
}

std::string StatisticsText::format2VarStat(const VQStatistics& s) const
{
    const NumberFormatter format = summaryFormat(calc_);
    Builder b(calc_, format);
    const auto deviation = [&](double x) { return b.deviation(x); };
    b.pair("x̅:", b.number(s.Xmean), 16, "y̅:", b.number(s.Ymean))
        .pair("∑x:", b.number(s.Xsum), 15, "∑y:", b.number(s.Ysum))
        .pair("∑x²:", b.number(s.X2sum), 15, "∑y²:", b.number(s.Y2sum))
        .pair("Sx:", deviation(s.stdX), 15, "Sy:", deviation(s.stdY))
        .pair("σx:", b.number(s.popStdX), 15, "σy:", b.number(s.popStdY))
        .pair("n:", b.number(s.n), 15, "∑xy:", b.number(s.XYsum))
        .pair("minX:", b.number(s.minX), 15, "minY:", b.number(s.minY))
        .pair("maxX:", b.number(s.maxX), 15, "maxY:", b.number(s.maxY), false);
    return b.take();
}

std::string StatisticsText::formatRegression() const
{
    const auto hold = calc_.lockState();
    const VQStatistics* s = calc_.state().statistics.get();
    if (!s)
        return {};
    static constexpr std::string_view kModels[] = {
        " y=a+bx",           " y=ax+b", " y=ax+b", " y=a*b^x", " y=a+blnx", " y=a*x^b", " y=ax²+bx+c",
        " y=ax³+bx²+cx+d", " y=ax⁴+bx³+cx²+dx+e", " y=c/(1+ae^(-bx))", " y=a*sin(bx+c)+d",
    };
    static constexpr int kCoefficients[] = {2, 2, 2, 2, 2, 2, 3, 4, 5, 3, 4};
    if (s->model < 0 || s->model > VQStatistics::SinReg)
        return {};
    const NumberFormatter format = calc_.numberFormatter();
    Builder b(calc_, format);
    b.text(kModels[s->model]);
    const double coefficients[] = {s->a, s->b, s->c, s->d, s->e};
    static constexpr std::string_view kNames[] = {"\n a=", "\n b=", "\n c=", "\n d=", "\n e="};
    for (int i = 0; i < kCoefficients[s->model]; ++i)
        b.text(kNames[i]).text(b.number(coefficients[i]));
    if (calc_.state().regressionDiagnostic) {
        if (s->model <= VQStatistics::PwrReg && s->model != VQStatistics::MedMed)
            b.text("\n r²=").text(b.number(s->r2)).text("\n r=").text(b.number(s->r));
        else if (s->model >= VQStatistics::QuadReg)
            b.text("\n R²=").text(b.number(s->R2));
    }
    return b.take();
}

std::string StatisticsText::formatFromSlots(int kind) const
{
    const NumberFormatter format = calc_.numberFormatter();
    Builder b(calc_, format);
    switch (kind) {
    case KindAnova:
        b.text("One-way ANOVA\n")
            .pairSlots(" F=", SlotF, 15, " Sxp=", SlotSxp)
            .line(" p=", SlotP)
            .text("    Factor         Error\n")
            .pairSlots(" df ", SlotFactorDf, 18, "", SlotErrorDf)
            .pairSlots(" SS ", SlotFactorDf + 1, 18, "", SlotErrorDf + 1)
            .pairSlots(" MS ", SlotFactorDf + 2, 18, "", SlotErrorDf + 2, false);
        break;
    case 14:  // Z-Test
        b.text("Z-Test:").hypothesis(kMean).line("", SlotMu0);
        b.line("z=", SlotZ).line("p=", SlotP).line("x̅=", SlotXMean).last("n=", SlotTestN);
        break;
    case 15:  // T-Test
        b.text("T-Test:").hypothesis(kMean).line("", SlotMu0);
        b.line("t=", SlotT).line("p=", SlotP).line("x̅=", SlotXMean).line("Sx=", SlotSx).last("n=", SlotTestN);
        break;
    case 16:  // 2-SampZTest
        b.text("2-SampZTest:").hypothesis(kTwoMeans).line("z=", SlotZ).line("p=", SlotP);
        b.pairSlots("x̅₁=", SlotXMean1, 16, " x̅₂=", SlotXMean2).pairSlots("n₁=", SlotN1, 15, " n₂=", SlotN2);
        break;
    case 17:  // 2-SampTTest
        b.text("2-SampTTest:").hypothesis(kTwoMeans).pairSlots("t=", SlotT, 14, " df=", SlotDf).line("p=", SlotP);
        b.pairSlots("x̅₁=", SlotXMean1, 15, " x̅₂=", SlotXMean2)
            .pairSlots("Sx₁=", SlotSx1, 14, " Sx₂=", SlotSx2)
            .pairSlots("n₁=", SlotN1, 14, " n₂=", SlotN2, false);
        break;
    case 18:  // 1-PropZTest
        b.text("1-PropZTest:").hypothesis({"prop<", "prop>", "prop≠"}).line("", SlotP0);
        b.line("z=", SlotZ).line("p=", SlotP).line("p̂=", SlotPHat).last("n=", SlotTestN);
        break;
    case 19:  // 2-PropZTest
        b.text("2-PropZTest:").hypothesis({"p₁<p₂\n", "p₁>p₂\n", "p₁≠p₂\n"}).line("z=", SlotZ);
        b.pairSlots("p=", SlotP, 13, " p̂ =", SlotPHat)
            .pairSlots("p̂₁=", SlotPHat1, 15, " p̂₂=", SlotPHat2)
            .pairSlots("n₁=", SlotN1, 14, " n₂=", SlotN2, false);
        break;
    case 20:  // ZInterval
        b.interval("ZInterval\n").line("x̅=", SlotXMean).last("n=", SlotTestN);
        break;
    case 21:  // TInterval
        b.interval("TInterval\n").line("x̅=", SlotXMean).line("Sx=", SlotSx).last("n=", SlotTestN);
        break;
    case 22:  // 2-SampZInt
        b.interval("2-SampZInt\n")
            .pairSlots("x̅₁=", SlotXMean1, 15, " x̅₂=", SlotXMean2)
            .pairSlots("n₁=", SlotN1, 14, " n₂=", SlotN2, false);
        break;
    case 23:  // 2-SampTInt
        b.interval("2-SampTInt\n")
            .line("df=", SlotDf)
            .pairSlots("x̅₁=", SlotXMean1, 15, " x̅₂=", SlotXMean2)
            .pairSlots("Sx₁=", SlotSx1, 14, " Sx₂=", SlotSx2)
            .pairSlots("n₁=", SlotN1, 14, " n₂=", SlotN2, false);
        break;
    case 24:  // 1-PropZInt
        b.interval("1-PropZInt\n").line("p̂=", SlotPHat).last("n=", SlotTestN);
        break;
    case 25:  // 2-PropZInt
        b.interval("2-PropZInt\n")
            .pairSlots("p̂₁=", SlotPHat1, 15, " p̂₂=", SlotPHat2)
            .pairSlots("n₁=", SlotN1, 14, " n₂=", SlotN2, false);
        break;
    case 26:  // 2-SampFTest
        b.text("2-SampFTest:").hypothesis({"σ₁<σ₂\n", "σ₁>σ₂\n", "σ₁≠σ₂\n"}).line("F=", SlotF).line("p=", SlotP);
        b.pairSlots("Sx₁=", SlotSx1, 14, " Sx₂=", SlotSx2).pairSlots("n₁=", SlotN1, 14, " n₂=", SlotN2, false);
        break;
    case 27:  // χ²-Test
    case 28:  // χ²GOF-Test
        b.text(kind == 27 ? "χ²-Test\n" : "χ²GOF-Test\n").line("χ²=", SlotChi2).line("p=", SlotP).last("df=", SlotDf);
        break;
    case 29:  // LinRegTTest
        b.text("y=a+bx, ").hypothesis({"β<0 and ρ<0, ", "β>0 and ρ>0, ", "β≠0 and ρ≠0, "}).line("df=", SlotDf);
        b.line("t=", SlotT).line("p=", SlotP).last("a=", SlotA).text(", ").line("b=", SlotA + 1);
        b.line("s=", SlotS).last("r²=", SlotR2).text(", ").last("r=", SlotR);
        break;
    case 30:  // LinRegTInt
        b.interval("y=a+bx\n").line("df=", SlotDf).last("a=", SlotA).text(", ").line("b=", SlotA + 1);
        b.line("s=", SlotS).last("r²=", SlotR2).text(", ").last("r=", SlotR);
        break;
    default:
        break;
    }
    return b.take();
}

} // namespace orvenda
