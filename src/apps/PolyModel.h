#pragma once

#include <memory>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;
class DrawObject;
class VQList;

// The polynomial root finder's data: the coefficients in the calculator's list "PCOEF"
// (the leading one first, degree = count − 1) and the zeros in "PZERO". Every change is
// checked before anything is written, so a refused degree or load leaves the coefficients
// as they were. Takes the state lock itself; main thread.
class PolyModel {
public:
    // SOLVE takes at most 30 coefficients, so the editor stops at degree 29.
    static constexpr int kMaxDegree = 29;
    static constexpr const char* kCoefficients = "PCOEF";
    static constexpr const char* kZeros = "PZERO";

    explicit PolyModel(Calculator& calc) : calc_(calc) {}

    // Makes both lists when missing: two zero coefficients, no zeros.
    void ensureLists();
    int degree() const;
    std::vector<double> coefficients() const;
    // Zeros as (re, im) pairs.
    std::vector<std::pair<double, double>> zeros() const;

    // A typed degree, truncated toward zero: 1…29 makes that many + 1 zero coefficients;
    // anything else is 88 and changes nothing.
    int setDegree(double value);
    void setCoefficient(int index, double value);
    // CLR: every coefficient 0.
    void clearCoefficients();
    // LOAD: a real list of 2…30 elements (degree 1…29) becomes the coefficients; else 27.
    int load(const VQList& list);
    // SOLVE: the zeros into "PZERO"; 35, 40, 87 or 17 (or 27 when none were found) and
    // nothing changed on a failure.
    int solve();
    // GRAPH: the polynomial drawn as a function of X on the graph, in place of the
    // drawing `previous` (the one this gave before, when still drawn); the new drawing, or
    // none when the coefficients give no function.
    std::shared_ptr<DrawObject> graph(const std::shared_ptr<DrawObject>& previous);
    // A list name typed on the store form: "" (store nothing), L1…L6, or 1…5 of A–Z and
    // digits not first, an optional leading "ʟ" dropped. 89 otherwise.
    static int checkListName(const std::string& typed, std::string& name);
    // SAVE: the coefficients and zeros under the names given (nothing for "" or their own
    // names), the polynomial into Y(n) (0 is Y₀). The error and the store line that failed
    // (0 coefficient name, 1 zero name, 2 equation number).
    struct SaveResult {
        int error = 0;
        int line = 0;
    };
    SaveResult save(const std::string& coefName, const std::string& zeroName, double equation);

private:
    Calculator& calc_;
};

} // namespace orvenda
