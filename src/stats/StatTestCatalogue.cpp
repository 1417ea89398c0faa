#include "stats/StatTestCatalogue.h"

namespace orvenda {

namespace {

using C = StatTestCatalogue;
using Span = std::span<const std::uint32_t>;

// ---- Fields: summary form, list form ----
constexpr std::uint32_t kZTestStats[] = {C::Mu0, C::Sigma, C::XBar, C::N};
constexpr std::uint32_t kZTestData[] = {C::Mu0, C::Sigma};
constexpr std::uint32_t kTTestStats[] = {C::Mu0, C::XBar, C::Sx, C::N};
constexpr std::uint32_t kTTestData[] = {C::Mu0};
constexpr std::uint32_t kZ2TestStats[] = {C::Sigma1, C::Sigma2, C::XBar1, C::N1, C::XBar2, C::N2};
constexpr std::uint32_t kZ2TestData[] = {C::Sigma1, C::Sigma2};
constexpr std::uint32_t kT2TestStats[] = {C::XBar1, C::Sx1, C::N1, C::XBar2, C::Sx2, C::N2};
constexpr std::uint32_t kProp1Test[] = {C::P0, C::X, C::N};
constexpr std::uint32_t kProp2Test[] = {C::X1, C::N1, C::X2, C::N2};
constexpr std::uint32_t kZIntStats[] = {C::Sigma, C::XBar, C::N, C::CLevel};
constexpr std::uint32_t kZIntData[] = {C::Sigma, C::CLevel};
constexpr std::uint32_t kTIntStats[] = {C::XBar, C::Sx, C::N, C::CLevel};
constexpr std::uint32_t kCLevelOnly[] = {C::CLevel};
constexpr std::uint32_t kZ2IntStats[] = {C::Sigma1, C::Sigma2, C::XBar1, C::N1, C::XBar2, C::N2, C::CLevel};
constexpr std::uint32_t kZ2IntData[] = {C::Sigma1, C::Sigma2, C::CLevel};
constexpr std::uint32_t kT2IntStats[] = {C::XBar1, C::Sx1, C::N1, C::XBar2, C::Sx2, C::N2, C::CLevel};
constexpr std::uint32_t kProp1Int[] = {C::X, C::N, C::CLevel};
constexpr std::uint32_t kProp2Int[] = {C::X1, C::N1, C::X2, C::N2, C::CLevel};
constexpr std::uint32_t kGOFData[] = {C::Df};
constexpr std::uint32_t kF2TestStats[] = {C::Sx1, C::N1, C::Sx2, C::N2};

// ---- Results ----
constexpr std::uint32_t kZP[] = {C::Z, C::P};
constexpr std::uint32_t kTP[] = {C::T, C::P};
constexpr std::uint32_t kTPDf[] = {C::T, C::P, C::Df};
constexpr std::uint32_t kTPDfSxp[] = {C::T, C::P, C::Df, C::Sxp};
constexpr std::uint32_t kZPPHat[] = {C::Z, C::P, C::PHat};
constexpr std::uint32_t kZPPHats[] = {C::Z, C::P, C::PHat1, C::PHat2, C::PHat};
constexpr std::uint32_t kInterval[] = {C::Lower, C::Upper};
constexpr std::uint32_t kIntervalDf[] = {C::Lower, C::Upper, C::Df};
constexpr std::uint32_t kIntervalDfSxp[] = {C::Lower, C::Upper, C::Df, C::Sxp};
constexpr std::uint32_t kIntervalPHat[] = {C::Lower, C::Upper, C::PHat};
constexpr std::uint32_t kIntervalPHats[] = {C::Lower, C::Upper, C::PHat1, C::PHat2};
constexpr std::uint32_t kChi2PDf[] = {C::Chi2, C::P, C::Df};
constexpr std::uint32_t kChi2P[] = {C::Chi2, C::P};
constexpr std::uint32_t kFP[] = {C::F, C::P};
constexpr std::uint32_t kLinRegTInt[] = {C::Lower, C::Upper, C::Df, C::S};
constexpr std::uint32_t kRR2[] = {C::R, C::R2};
constexpr std::uint32_t kBigR2[] = {C::BigR2};
constexpr std::uint32_t kLinRegTTestLeft[] = {C::A, C::A + 1, C::S, C::R2, C::R};
constexpr std::uint32_t kLinRegTIntLeft[] = {C::A, C::A + 1, C::R2, C::R};
constexpr std::uint32_t kCoefficients[] = {C::A, C::A + 1, C::A + 2, C::A + 3, C::A + 4};

constexpr std::array<const char*, 3> kMuTitles{"μ≠μ0", "μ<μ0", "μ>μ0"};
constexpr std::array<const char*, 3> kMu12Titles{"μ1≠μ2", "μ1<μ2", "μ1>μ2"};
constexpr std::array<const char*, 3> kPropTitles{"prop≠p0", "prop<p0", "prop>p0"};
constexpr std::array<const char*, 3> kP12Titles{"p1≠p2", "p1<p2", "p1>p2"};
constexpr std::array<const char*, 3> kSigmaTitles{"σ1≠σ2", "σ1<σ2", "σ1>σ2"};
constexpr std::array<const char*, 3> kBetaTitles{"β & ρ≠0", "β & ρ<0", "β & ρ>0"};

constexpr std::array<const char*, 3> kMuSuffixes{":μ≠%@", ":μ<%@", ":μ>%@"};
constexpr std::array<const char*, 3> kMu12Suffixes{":μ1≠μ2", ":μ1<μ2", ":μ1>μ2"};
constexpr std::array<const char*, 3> kPropSuffixes{":prop≠%@", ":prop<%@", ":prop>%@"};
constexpr std::array<const char*, 3> kP12Suffixes{":p₁≠p₂", ":p₁<p₂", ":p₁>p₂"};
constexpr std::array<const char*, 3> kSigmaSuffixes{":σ₁≠σ₂", ":σ₁<σ₂", ":σ₁>σ₂"};

// The regression models with the two lines r, r²; the others show R².
bool twoLineModel(int model) { return model == 0 || model == 1 || model == 3 || model == 4 || model == 5; }

} // namespace

const std::array<std::uint32_t, 18> StatTestCatalogue::kMenuOrder{ZTest, TTest, Z2Test, T2Test, PropZ1Test, PropZ2Test, ZInt,
    TInt, Z2Int, T2Int, PropZ1Int, PropZ2Int, Chi2Test, Chi2GOF, F2Test, LinRegTTest, LinRegTInt, Regression};
const std::array<int, 10> StatTestCatalogue::kButtonModels{0, 5, 4, 3, 9, 2, 6, 7, 8, 10};
const std::array<const char*, 10> StatTestCatalogue::kButtonTitles{"Lin", "Pwr", "Ln", "Exp", "Logistic", "Med", "Quad",
    "Cubic", "Quart", "Sin"};

Span StatTestCatalogue::fields(std::uint32_t op, bool stats)
{
    switch (op) {
    case ZTest: return stats ? Span(kZTestStats) : Span(kZTestData);
    case TTest: return stats ? Span(kTTestStats) : Span(kTTestData);
    case Z2Test: return stats ? Span(kZ2TestStats) : Span(kZ2TestData);
    case T2Test: return stats ? Span(kT2TestStats) : Span();
    case PropZ1Test: return kProp1Test;
    case PropZ2Test: return kProp2Test;
    case ZInt: return stats ? Span(kZIntStats) : Span(kZIntData);
    case TInt: return stats ? Span(kTIntStats) : Span(kCLevelOnly);
    case Z2Int: return stats ? Span(kZ2IntStats) : Span(kZ2IntData);
    case T2Int: return stats ? Span(kT2IntStats) : Span(kCLevelOnly);
    case PropZ1Int: return kProp1Int;
    case PropZ2Int: return kProp2Int;
    case Chi2GOF: return kGOFData;
    case F2Test: return stats ? Span(kF2TestStats) : Span();
    case LinRegTInt: return kCLevelOnly;
    default: return {};
    }
}

Span StatTestCatalogue::results(std::uint32_t op, bool stats, bool pooled, int model)
{
    switch (op) {
    case ZTest:
    case Z2Test: return kZP;
    case TTest: return kTP;
    case T2Test: return stats && pooled ? Span(kTPDfSxp) : Span(kTPDf);
    case PropZ1Test: return kZPPHat;
    case PropZ2Test: return kZPPHats;
    case ZInt:
    case TInt:
    case Z2Int: return kInterval;
    case T2Int: return stats && pooled ? Span(kIntervalDfSxp) : Span(kIntervalDf);
    case PropZ1Int: return kIntervalPHat;
    case PropZ2Int: return kIntervalPHats;
    case Chi2Test: return kChi2PDf;
    case Chi2GOF: return kChi2P;
    case F2Test: return kFP;
    case LinRegTTest: return kTPDf;
    case LinRegTInt: return kLinRegTInt;
    case Regression: return twoLineModel(model) ? Span(kRR2) : Span(kBigR2);
    default: return {};
    }
}

Span StatTestCatalogue::leftResults(std::uint32_t op, int model)
{
    switch (op) {
    case LinRegTTest: return kLinRegTTestLeft;
    case LinRegTInt: return kLinRegTIntLeft;
    case Regression: {
        int k = 5;
        if (model >= 0 && model <= 5)
            k = 2;
        else if (model == 6 || model == 9)
            k = 3;
        else if (model == 7 || model == 10)
            k = 4;
        return Span(kCoefficients).first(static_cast<std::size_t>(k));
    }
    default: return {};
    }
}

int StatTestCatalogue::numLists(std::uint32_t op, bool stats)
{
    if (op == Regression)
        return 3;
    if (stats && dataStatsShown(op))
        return 0;
    if (isOneSample(op))
        return 1;
    if (isTwoSample(op) || op == Chi2GOF || op == Chi2Test)
        return 2;
    if (isThreeList(op))
        return 3;
    return 0;
}

double StatTestCatalogue::rowFactor(std::uint32_t op)
{
    switch (op) {
    case ZTest:
    case TTest:
    case LinRegTTest:
    case LinRegTInt: return 7;
    case Z2Test:
    case T2Test: return 9;
    case PropZ1Test:
    case PropZ2Int: return 6;
    case Z2Int:
    case T2Int: return 10;
    case PropZ1Int: return 4.25;
    case Chi2Test:
    case Chi2GOF: return 6.25;
    case Regression: return 12;
    default: return 8;
    }
}

bool StatTestCatalogue::dataStatsShown(std::uint32_t op)
{
    return isOneSample(op) || isTwoSample(op);
}

bool StatTestCatalogue::summaryOnly(std::uint32_t op)
{
    return op == PropZ1Test || op == PropZ2Test || op == PropZ1Int || op == PropZ2Int;
}

bool StatTestCatalogue::isInterval(std::uint32_t op) { return op >= ZInt && op <= PropZ2Int; }
bool StatTestCatalogue::hasGraph(std::uint32_t op) { return !isInterval(op); }
bool StatTestCatalogue::hasKeypad(std::uint32_t op) { return op != Chi2Test && op != LinRegTTest && op != Regression; }
bool StatTestCatalogue::hasPool(std::uint32_t op) { return op == T2Test || op == T2Int; }
bool StatTestCatalogue::isOneSample(std::uint32_t op) { return op == ZTest || op == TTest || op == ZInt || op == TInt; }
bool StatTestCatalogue::isTwoSample(std::uint32_t op)
{
    return op == Z2Test || op == T2Test || op == Z2Int || op == T2Int || op == F2Test;
}
bool StatTestCatalogue::isThreeList(std::uint32_t op) { return op == LinRegTTest || op == LinRegTInt || op == Regression; }

const std::array<const char*, 3>* StatTestCatalogue::hypothesisTitles(std::uint32_t op)
{
    switch (op) {
    case ZTest:
    case TTest: return &kMuTitles;
    case Z2Test:
    case T2Test: return &kMu12Titles;
    case PropZ1Test: return &kPropTitles;
    case PropZ2Test: return &kP12Titles;
    case F2Test: return &kSigmaTitles;
    case LinRegTTest: return &kBetaTitles;
    default: return nullptr;
    }
}

const char* StatTestCatalogue::titleSuffix(std::uint32_t op, int h)
{
    if (h < 0 || h > 2)
        return nullptr;
    const auto at = static_cast<std::size_t>(h);
    switch (op) {
    case ZTest:
    case TTest: return kMuSuffixes[at];
    case Z2Test:
    case T2Test: return kMu12Suffixes[at];
    case PropZ1Test: return kPropSuffixes[at];
    case PropZ2Test: return kP12Suffixes[at];
    case F2Test: return kSigmaSuffixes[at];
    default: return nullptr;
    }
}

} // namespace orvenda
