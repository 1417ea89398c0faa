#pragma once

#include <cstdint>
#include <optional>

namespace orvenda {

class RandomSource;

// Random draws of the random-number functions, from the engine's random source.
class RandomDeviates {
public:
    explicit RandomDeviates(RandomSource& source) : source_(source) {}

    // A whole number from lower to upper, both included, in either order (both whole and
    // below 2^53 in magnitude).
    double randInt(double lower, double upper);
    // Normal with mean μ and deviation σ.
    double randNorm(double mu, double sigma);
    // Successes in n trials (truncated to a whole number) of probability p (0..1).
    double randBin(double n, double p);
    // Uniform in (0, 1): never 0, so an inverse cdf stays finite.
    double openUniform();

    // The engine seed a value stored to rand gives: the value truncated, each whole value
    // its own seed (negative and huge ones too); none for NaN or an infinity.
    static std::optional<std::uint64_t> seedFor(double value);

private:
    RandomSource& source_;
};

} // namespace orvenda
