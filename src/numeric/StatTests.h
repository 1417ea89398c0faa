#pragma once

#include <memory>
#include <vector>

namespace orvenda {

class Calculator;
class VQList;
class VQMatrix;
class VQStatistics;

// The hypothesis tests, confidence intervals and one-way ANOVA. Every routine reads its
// inputs from the calculator's statistics variable slots (StatSlots.h) and writes its
// results there, so the test screen's fields, the home-screen commands and the result
// texts meet in one place. The alternative h is 0 two-sided, 1 less than, 2 greater than.
// Each returns 0, or the error number with the result slots left as they were: 17 for
// inputs outside their domain (a deviation or count that is not positive, a proportion
// outside 0..1), 82 for a confidence level outside 0..1.
class StatTests {
public:
    explicit StatTests(Calculator& calc) : calc_(calc) {}

    // Reads x̄, n, σ, μ0; writes z, p.
    int computeZTest(int h);
    // Reads x̄, Sx, n, μ0; writes t, p (df = n - 1).
    int computeTTest(int h);
    // Reads x̄1, n1, x̄2, n2, σ1, σ2; writes z, p.
    int computeZ2Test(int h);
    // Reads x̄1, Sx1, n1, x̄2, Sx2, n2; writes t, p, df and, pooled, Sxp.
    int computeT2Test(int h, bool pooled);
    // Reads n, p0, x; writes z, p, p̂.
    int compute1PropZTest(int h);
    // Reads n1, n2, x1, x2; writes z, p, p̂, p̂1, p̂2.
    int compute2PropZTest(int h);
    // Reads Sx1, n1, Sx2, n2; writes F, p and the range to shade in lower, upper.
    int computeF2Test(int h);

    // Reads x̄, n, σ, C-Level; writes the critical z, lower, upper.
    int computeZInterval();
    // Reads x̄, Sx, n, C-Level; writes the critical t, lower, upper.
    int computeTInterval();
    int computeZ2Interval();
    // Writes df, lower, upper and, pooled, Sxp.
    int computeT2IntervalPool(bool pooled);
    // Reads n, x, C-Level; writes z, p̂, lower, upper.
    int compute1PropZInterval();
    // Reads n1, n2, x1, x2, C-Level; writes z, p̂1, p̂2, lower, upper.
    int compute2PropZInterval();

    // χ², p and df of an observed table; the table of expected counts goes to `expected`.
    // 17 for a table smaller than 2×2 or with a negative count, 14 for a zero total or an
    // empty row or column.
    int computeX2TestMat1(const VQMatrix& observed, VQMatrix& expected);
    // χ², p and df; each cell's share of χ² goes to the list "CNTRB". 13 for lists of
    // unequal length, 17 for an expected count that is not positive or a df that is not a
    // positive whole number.
    int computeX2GOFTestObserved(const VQList& observed, const VQList& expected, double df);

    // The line y = a + bx fitted to the lists; writes t, p, df, s and a, b, r, r². The
    // fit is handed back for the caller to keep.
    std::shared_ptr<VQStatistics> computeLinRegTTestX(const VQList& x, const VQList& y, const VQList* freq,
                                                      int h, int& error);
    // The interval of the slope at the confidence level; writes the critical t, df,
    // lower, upper, s and a, b, r, r².
    std::shared_ptr<VQStatistics> computeLinRegTIntervalX(const VQList& x, const VQList& y, const VQList* freq,
                                                          double cLevel, int& error);

    // One-way analysis of variance of 2 or more real lists; writes F, p, Sxp and the
    // factor and error df, SS and MS. 24 for an empty list, 14 when no list has a second
    // value (no error degrees of freedom).
    int anova(const std::vector<const VQList*>& groups);

private:
    double get(int slot) const;
    void put(int slot, double value);
    // Standard error and degrees of freedom of the difference of two sample means, pooled
    // (writing Sxp) or not.
    void twoSampleError(bool pooled, double& se, double& df);
    std::shared_ptr<VQStatistics> fitLine(const VQList& x, const VQList& y, const VQList* freq, int& error,
                                          double& slopeError);

    Calculator& calc_;
};

} // namespace orvenda
