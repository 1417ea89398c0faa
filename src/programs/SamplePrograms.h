#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace orvenda {

// The read-only sample programs shipped with the app, in the order the program lists show
// them. Each is the JSON text of a program file's dictionary ("prgm", "tags", "desc",
// "notes", "flags"), made at build time from the readable program text in
// resources/programs (scripts/make-sample-programs.cpp).
class SamplePrograms {
public:
    static constexpr std::array<std::string_view, 29> kNames = {
        "ArcLength", "CoinFlipSimulation", "ConicSections", "DiceThrowSimulation", "Fibonacci", "FxyFunctions",
        "HistogramHelper", "IntTrapezoid", "iPadAppStoreFunctions", "JuliaSetPlot", "ODEsolver", "NextPrime",
        "ParametricFunctions", "PiecewiseGraph", "PolynomialFit", "PolynomialZeros", "PrimeFactors",
        "RegressionHelper", "RootBisectMethod", "RootNewtonMethod", "QuadraticFormula", "Sierpinski",
        "SignificantFigures", "SlopeFieldGraph", "SlopeIntercept", "Summation", "TrigFunctions", "VectorProduct",
        "VectorSum",
    };

    // The sample's JSON text; nothing for any other name.
    static std::optional<std::string_view> json(std::string_view name);
};

} // namespace orvenda
