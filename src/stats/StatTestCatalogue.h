#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace orvenda {

// What the statistics test screen asks for and shows for each of its eighteen procedures:
// the menu order, the hypothesis choices and title suffixes, the input fields of the
// summary ("Stats") and list ("Data") forms, the data lists, the result lines, the form's
// height and which of the graph, keypad, pooled switch and model buttons it shows. Fields
// and results are statistics variable tokens; a token's variable slot is the token minus
// 24999. Pure tables, any thread.
class StatTestCatalogue {
public:
    enum Op : std::uint32_t {
        ZTest = 0x5C26, TTest = 0x5C27, Z2Test = 0x5C28, T2Test = 0x5C29, PropZ1Test = 0x5C2A, PropZ2Test = 0x5C4C,
        ZInt = 0x5C2B, TInt = 0x5C2C, Z2Int = 0x5C2D, T2Int = 0x5C2E, PropZ1Int = 0x5C2F, PropZ2Int = 0x5C30,
        Chi2Test = 0x5C31, Chi2GOF = 0x5C32, F2Test = 0x5C4E, LinRegTTest = 0x5C4D, LinRegTInt = 0x5C33, Regression = 0x5C50,
    };
    // Statistics variable tokens.
    enum Var : std::uint32_t {
        XBar = 0x6203, Sx = 0x6206, R = 0x6212, A = 0x6216, N = 0x6221, P = 0x6222, Z = 0x6223, T = 0x6224, Chi2 = 0x6225,
        F = 0x6226, Df = 0x6227, PHat = 0x6228, PHat1 = 0x6229, PHat2 = 0x622A, XBar1 = 0x622B, Sx1 = 0x622C, N1 = 0x622D,
        XBar2 = 0x622E, Sx2 = 0x622F, N2 = 0x6230, Sxp = 0x6231, Lower = 0x6232, Upper = 0x6233, S = 0x6234, R2 = 0x6235,
        BigR2 = 0x6236, Sigma = 0x623D, Sigma1 = 0x623E, Sigma2 = 0x623F, Mu0 = 0x6240, P0 = 0x6241, X = 0x6242, X1 = 0x6243,
        X2 = 0x6244, CLevel = 0x6245,
    };
    static constexpr int kTokenToSlot = 24999;
    static constexpr int slot(std::uint32_t token) { return static_cast<int>(token) - kTokenToSlot; }

    // The procedures in the order of the test menu.
    static const std::array<std::uint32_t, 18> kMenuOrder;
    // The regression models of the ten model buttons, in button order, and their titles.
    static const std::array<int, 10> kButtonModels;
    static const std::array<const char*, 10> kButtonTitles;

    // The input fields of the summary form (stats) or the list form; empty for none.
    static std::span<const std::uint32_t> fields(std::uint32_t op, bool stats);
    // The right-hand results (the regression's depend on its model: r, r² or R²).
    static std::span<const std::uint32_t> results(std::uint32_t op, bool stats, bool pooled, int model);
    // The left-hand results under the fields (LinRegTTest, LinRegTInt, the regression).
    static std::span<const std::uint32_t> leftResults(std::uint32_t op, int model);
    // The data lists of the form: 0..3.
    static int numLists(std::uint32_t op, bool stats);
    // The form's height in rows.
    static double rowFactor(std::uint32_t op);

    // The data/stats control is shown; summaryOnly: hidden with "Stats" kept; otherwise
    // hidden with "Data" selected.
    static bool dataStatsShown(std::uint32_t op);
    static bool summaryOnly(std::uint32_t op);
    static bool hasGraph(std::uint32_t op);
    static bool hasKeypad(std::uint32_t op);
    static bool hasPool(std::uint32_t op);
    static bool isInterval(std::uint32_t op);
    static bool isOneSample(std::uint32_t op);
    static bool isTwoSample(std::uint32_t op);
    static bool isThreeList(std::uint32_t op);
    // The three hypothesis segment titles; null when the control is hidden.
    static const std::array<const char*, 3>* hypothesisTitles(std::uint32_t op);
    // The title suffix of alternative h ("%@" stands for μ0 or p0); null for none.
    static const char* titleSuffix(std::uint32_t op, int h);
};

} // namespace orvenda
