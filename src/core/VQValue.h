#pragma once

#include <complex>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/VQString.h"

namespace orvenda {

class VQList;
class VQMatrix;
struct Operand;

// One result of any value type in archivable form: the last answer and stored results.
// Converts to and from operand records. Lists, matrices and strings share their elements
// with the records they come from and go to (a copy of one costs no element copy, and
// changing one copy leaves the others as they are); the list or matrix object itself is
// this value's own, never one a record could change.
class VQValue {
public:
    using Ops = std::vector<std::uint32_t>;
    using Value = std::variant<std::monostate, std::shared_ptr<VQList>, std::shared_ptr<VQMatrix>, VQString>;

    enum Type : int {
        TypeReal = 0,
        TypeComplex = 1,
        TypeList = 2,
        TypeComplexList = 3,
        TypeMatrix = 4,
        TypeDone = 5,
        TypeString = 6,
    };

    // A real 0 with the pair (0, 0).
    VQValue() = default;
    // Real and complex numbers carry the full-precision pair (15, -15).
    explicit VQValue(double x);
    explicit VQValue(std::complex<double> z);

    static VQValue valWithReal(double x) { return VQValue(x); }
    static VQValue valWithComplex(std::complex<double> z) { return VQValue(z); }
    static VQValue valWithList(const VQList& list);
    static VQValue valWithCpxList(const VQList& list);
    // A matrix whose copy cannot be stored leaves the value without one.
    static VQValue valWithMatrix(const VQMatrix& matrix);
    static VQValue valWithString(const Ops& ops);
    static VQValue valWithDone();
    // The same type and the very same object; number, pair and display form are not taken.
    static VQValue valWithVal(const VQValue& other);

    int type() const { return type_; }
    void setType(int type) { type_ = type; }
    int displayMod() const { return displayMod_; }
    void setDisplayMod(int mod) { displayMod_ = mod; }
    int errNumber() const { return errNumber_; }
    void setErrNumber(int error) { errNumber_ = error; }
    const Value& value() const { return value_; }
    void setValue(Value value) { value_ = std::move(value); }
    // The held object of that kind; null when the value holds another or none.
    std::shared_ptr<VQList> list() const;
    std::shared_ptr<VQMatrix> matrix() const;
    std::optional<VQString> string() const;
    int sigFigures() const { return sigFigures_; }
    void setSigFigures(int sigFig) { sigFigures_ = sigFig; }
    int sigDecPlace() const { return sigDecPlace_; }
    void setSigDecPlace(int sigDec) { sigDecPlace_ = sigDec; }

    // The number of a real or complex value; the others read 0 (r, i) and 0 + 1i (c).
    double r() const;
    void setR(double r);
    double i() const;
    void setI(double i);
    std::complex<double> c() const;
    void setC(std::complex<double> z);

    std::string description() const;

    // The display form to keep: mod itself when set, else the form of the default display.
    static int fixMod(int mod, int defaultDisplay);

    // Takes a result as the last answer.
    void setANS(const Operand& op, int defaultDisplay);
    void setWithOperand(const Operand& op);
    // Writes the value, its display form and kind (and for numbers the pair) into the
    // record; other fields are left as they are. The record shares the held elements.
    void getOperand(Operand& op) const;

    nlohmann::json encode() const;
    static VQValue decode(const nlohmann::json& archive);

private:
    bool isNumber() const { return type_ == TypeReal || type_ == TypeComplex; }
    bool takeObject(const Operand& op);
    void takeNumber(const Operand& op);

    int type_ = TypeReal;
    int displayMod_ = 0;
    int errNumber_ = 0;
    Value value_;
    std::complex<double> c_{0.0, 0.0};
    int sigFigures_ = 0;
    int sigDecPlace_ = 0;
};

} // namespace orvenda
