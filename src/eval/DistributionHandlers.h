#pragma once

namespace orvenda {

class Parser;
struct EvalRun;

// The distribution functions: normalcdf(, invNorm(, tcdf(, χ²cdf(, Fcdf(, binompdf(,
// binomcdf(, poissonpdf(, poissoncdf(, geometpdf(, geometcdf(, normalpdf(, Fpdf(, invT( and
// invBinom( (tpdf( and χ²pdf( are two-argument operators). Each validates its argument
// count, takes its arguments last first, checks their ranges and leaves a real, or a real
// list where x was a list, in R.
class DistributionHandlers {
public:
    explicit DistributionHandlers(Parser& parser) : p_(parser) {}

    static bool handles(int token);
    void handle(EvalRun& run);

private:
    void normalcdf(EvalRun& run);
    void invNorm(EvalRun& run);
    void tOrChiSquareCdf(EvalRun& run);
    void fcdf(EvalRun& run);
    void binomial(EvalRun& run);
    void poissonOrGeometric(EvalRun& run);
    void normalpdf(EvalRun& run);
    void fpdf(EvalRun& run);
    void invT(EvalRun& run);
    void invBinom(EvalRun& run);

    Parser& p_;
};

} // namespace orvenda
