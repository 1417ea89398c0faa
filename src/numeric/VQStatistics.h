#pragma once

#include "core/NumberFormatter.h"
#include "core/Operand.h"
#include "core/VQList.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;

// One set of statistics results: the one- or two-variable summary of data lists and the
// fit of a regression model to them. A statistics result carries one; the calculator
// keeps the last regression's as its `statistics`; each stat plot keeps one naming the
// lists it reads.
//
// Sums of squares are taken about the mean, on deviations computed in decimal
// (DecimalCentering), so data sharing many leading digits keep their spread. Frequencies
// weight each value; they need not be whole.
class VQStatistics : public OperandObject {
public:
    using Ops = std::vector<std::uint32_t>;

    struct Point {
        double x = std::numeric_limits<double>::quiet_NaN();
        double y = std::numeric_limits<double>::quiet_NaN();
    };

    // Regression models.
    enum Model : int {
        LinRegABX = 0,  // a + bx
        LinRegAXB = 1,  // ax + b
        MedMed = 2,     // ax + b through the three summary points
        ExpReg = 3,     // a·b^x
        LnReg = 4,      // a + b·ln x
        PwrReg = 5,     // a·x^b
        QuadReg = 6,
        CubicReg = 7,
        QuartReg = 8,
        Logistic = 9,   // c / (1 + a·e^(-bx))
        SinReg = 10,    // a·sin(bx + c) + d
    };

    // ---- Building ----

    // Whether a list can weight data: real, finite, nothing negative, something positive.
    static bool canWeight(const VQList& freq);

    // One-variable statistics of sorted copies of x (freq carried along); no names.
    static std::shared_ptr<VQStatistics> oneVar(const VQList& x, const VQList* freq);
    // Two-variable statistics of copies of the lists, in their order.
    static std::shared_ptr<VQStatistics> twoVar(const VQList& x, const VQList& y, const VQList* freq);
    // The same from the calculator's lists by name; freqName "1" means no frequencies.
    // Nothing with error 35 for a missing or empty list, 25 for a frequency list of
    // another length or with values that cannot weight (complex, negative, all 0), 12 for
    // complex data.
    static std::shared_ptr<VQStatistics> oneVarName(const Calculator& calc, const std::string& xName,
                                                    const std::string& freqName, int& error);
    // The same with error 13 for lists of unequal length.
    static std::shared_ptr<VQStatistics> twoVarName(const Calculator& calc, const std::string& xName,
                                                    const std::string& yName,
                                                    const std::optional<std::string>& freqName, int& error);

    // Reloads the named lists and recomputes: with a Y list two-variable statistics of the
    // lists sorted by x, without one the one-variable statistics. Missing lists, and X and
    // Y lists of unequal length, and a frequency list of another length, leave it unchanged.
    void update(const Calculator& calc);

    // ---- Fitting: 0, or the error number; coefficients, r, r², R², the residuals and the
    // equation are set on success ----

    int regressionModel(int model);
    // Models 0, 1, 3, 4, 5.
    int leastSquaresRegressionModel(int model);
    int medMedRegression();
    // Models 6, 7, 8.
    int polyRegressionModel(int model);
    int logisticRegression();
    // period <= 0 (or not finite): found from the data.
    int sinRegressionFreq(double period);

    // The fitted model's value at x (the last fit).
    double valueAt(double x) const;
    // The fitted equation as tokens of X, its coefficients spelled in the formatter's form
    // with every figure their values need.
    Ops equationOps(const NumberFormatter& spelling) const;

    // ---- Archive: the names of the lists (what a stat plot keeps) ----

    nlohmann::json encode() const;
    static std::shared_ptr<VQStatistics> decode(const nlohmann::json& archive);

    // ---- Data ----

    std::optional<std::string> listXName;
    std::optional<std::string> listYName;
    std::optional<std::string> freqName;
    VQList listX;
    VQList listY;
    std::optional<VQList> freq;
    // ---- Results (NaN where not formed) ----

    static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    double n = 0;
    double Xmean = kNaN, Xsum = 0, X2sum = 0, stdX = kNaN, popStdX = kNaN;
    double Ymean = kNaN, Ysum = 0, Y2sum = 0, stdY = kNaN, popStdY = kNaN, XYsum = 0;
    double minX = kNaN, maxX = kNaN, minY = kNaN, maxY = kNaN;
    double Q1 = kNaN, medianX = kNaN, Q3 = kNaN;

    int model = -1;
    double a = kNaN, b = kNaN, c = kNaN, d = kNaN, e = kNaN;
    double r = kNaN, r2 = kNaN, R2 = kNaN;
    Point P1, P2, P3;
    std::optional<VQList> resid;
    Ops regEqu;

private:
    void computeOneVar();
    void computeTwoVar();
    // The lists as numbers with their weights.
    struct Data {
        std::vector<double> x, y, w;
    };
    void clearFit();
    std::vector<double> weights() const;
    // Clears the last fit and takes the lists for a new one: 0, or 13 for lists of
    // unequal length, 35 for no data, 12 for complex data.
    int beginFit(Data& data);
    // Residuals, R² where the model has it, and the equation in the factory display's
    // form (the calculator spells it again in its mode's form); answers 0.
    int finishFit();
    double sumOfSquaredResiduals() const;
    double totalSumOfSquares() const;

    // Polynomial fits are kept centred and scaled for evaluation: p(x) is the polynomial
    // with coefficients `centred` (constant first) in u = ((x - ref) - shift) / scale.
    double ref_ = 0, shift_ = 0, scale_ = 1;
    std::vector<double> centred_;
};

} // namespace orvenda
