#include "core/VQValue.h"

#include "core/ArchiveValues.h"
#include "core/Operand.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "language/ErrorNumbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace orvenda {

namespace {

void logLine(const char* text)
{
    std::fputs(text, stderr);
    std::fputc('\n', stderr);
}

void appendFixed(std::string& out, double x, int precision)
{
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, precision);
    out.append(buf, res.ptr);
}

std::shared_ptr<VQMatrix> matrixCopy(const VQMatrix& matrix)
{
    std::optional<VQMatrix> copy = VQMatrix::matrixWithMatrix(matrix);
    return copy ? std::make_shared<VQMatrix>(std::move(*copy)) : nullptr;
}

int intAt(const nlohmann::json& archive, const char* key, int fallback)
{
    auto it = archive.find(key);
    if (it == archive.end() || !it->is_number())
        return fallback;
    const double x = it->get<double>();
    if (!(x >= std::numeric_limits<int>::min() && x <= std::numeric_limits<int>::max()))
        return fallback;
    return static_cast<int>(x);
}

double doubleAt(const nlohmann::json& archive, const char* key)
{
    auto it = archive.find(key);
    return it != archive.end() && it->is_number() ? it->get<double>() : 0.0;
}

} // namespace

VQValue::VQValue(double x)
    : type_(TypeReal)
    , c_(x, 0.0)
    , sigFigures_(15)
    , sigDecPlace_(-15)
{
}

VQValue::VQValue(std::complex<double> z)
    : type_(TypeComplex)
    , c_(z)
    , sigFigures_(15)
    , sigDecPlace_(-15)
{
}

VQValue VQValue::valWithList(const VQList& list)
{
    VQValue v;
    v.type_ = TypeList;
    v.value_ = std::make_shared<VQList>(list);
    return v;
}

VQValue VQValue::valWithCpxList(const VQList& list)
{
    VQValue v = valWithList(list);
    v.type_ = TypeComplexList;
    return v;
}

VQValue VQValue::valWithMatrix(const VQMatrix& matrix)
{
    VQValue v;
    v.type_ = TypeMatrix;
    if (auto copy = matrixCopy(matrix))
        v.value_ = std::move(copy);
    return v;
}

VQValue VQValue::valWithString(const Ops& ops)
{
    VQValue v;
    v.type_ = TypeString;
    v.value_ = VQString(ops);
    return v;
}

VQValue VQValue::valWithDone()
{
    VQValue v;
    v.type_ = TypeDone;
    return v;
}

VQValue VQValue::valWithVal(const VQValue& other)
{
    VQValue v;
    v.type_ = other.type_;
    v.value_ = other.value_;
    return v;
}

std::shared_ptr<VQList> VQValue::list() const
{
    const auto* p = std::get_if<std::shared_ptr<VQList>>(&value_);
    return p ? *p : nullptr;
}

std::shared_ptr<VQMatrix> VQValue::matrix() const
{
    const auto* p = std::get_if<std::shared_ptr<VQMatrix>>(&value_);
    return p ? *p : nullptr;
}

std::optional<VQString> VQValue::string() const
{
    const auto* p = std::get_if<VQString>(&value_);
    return p ? std::optional<VQString>(*p) : std::nullopt;
}

// ---- Number accessors ----

double VQValue::r() const { return isNumber() ? c_.real() : 0.0; }

void VQValue::setR(double r)
{
    if (type_ == TypeComplex)
        c_.real(r);
    else if (type_ == TypeReal)
        c_ = {r, 0.0};
}

double VQValue::i() const { return type_ == TypeComplex ? c_.imag() : 0.0; }

void VQValue::setI(double i)
{
    if (isNumber())
        c_.imag(i);
}

std::complex<double> VQValue::c() const { return isNumber() ? c_ : std::complex<double>(0.0, 1.0); }

void VQValue::setC(std::complex<double> z)
{
    if (isNumber())
        c_ = z;
}

std::string VQValue::description() const
{
    std::string out;
    if (type_ == TypeReal) {
        appendFixed(out, c_.real(), 4);
    } else if (type_ == TypeComplex) {
        appendFixed(out, c_.real(), 4);
        out += '+';
        appendFixed(out, c_.imag(), 0);
        out += 'i';
    }
    return out;
}

// ---- Conversions ----

int VQValue::fixMod(int mod, int defaultDisplay)
{
    static constexpr int forDefault[] = {3, 3, 3, 1, 2};
    if (mod != 0)
        return mod;
    return defaultDisplay >= 0 && defaultDisplay < 5 ? forDefault[defaultDisplay] : 0;
}

// The number and pair of a real or complex record; a real's imaginary part is dropped.
void VQValue::takeNumber(const Operand& op)
{
    type_ = op.kind == KindReal ? TypeReal : TypeComplex;
    c_ = op.kind == KindReal ? std::complex<double>(op.value.real(), 0.0) : op.value;
    sigFigures_ = op.sigFig;
    sigDecPlace_ = op.sigDec;
}

// The list, matrix or string of a record, sharing its elements; NO (and nothing changed)
// when the record's object is missing or cannot be copied.
bool VQValue::takeObject(const Operand& op)
{
    switch (op.kind) {
    case KindRealList:
    case KindComplexList:
        if (!op.list)
            return false;
        value_ = std::make_shared<VQList>(*op.list);
        type_ = op.kind == KindRealList ? TypeList : TypeComplexList;
        return true;
    case KindMatrix: {
        auto copy = op.matrix ? matrixCopy(*op.matrix) : nullptr;
        if (!copy)
            return false;
        value_ = std::move(copy);
        type_ = TypeMatrix;
        return true;
    }
    case KindString:
        if (!op.string)
            return false;
        value_ = *op.string;
        type_ = TypeString;
        return true;
    default:
        return false;
    }
}

void VQValue::setANS(const Operand& op, int defaultDisplay)
{
    displayMod_ = op.displayMod;
    switch (op.kind) {
    case KindReal:
    case KindComplex:
        takeNumber(op);
        value_ = std::monostate{};
        displayMod_ = fixMod(op.displayMod, defaultDisplay);
        break;
    case KindRealList:
    case KindComplexList:
    case KindMatrix:
        if (takeObject(op))
            displayMod_ = fixMod(op.displayMod, defaultDisplay);
        break;
    case KindString:
        takeObject(op);
        break;
    default:
        break;
    }
}

void VQValue::setWithOperand(const Operand& op)
{
    if (isNumber())
        c_ = 0.0;
    value_ = std::monostate{};
    displayMod_ = op.displayMod;
    switch (op.kind) {
    case KindOpcode:
        logLine("ans with opcode");
        break;
    case KindReal:
    case KindComplex:
        takeNumber(op);
        break;
    case KindRealList:
    case KindComplexList:
    case KindMatrix:
    case KindString:
        takeObject(op);
        break;
    case KindVariable:
        logLine("ans with variable");
        break;
    case KindDone:
        type_ = TypeDone;
        break;
    default:
        break;
    }
}

void VQValue::getOperand(Operand& op) const
{
    op.value = c();
    op.displayMod = displayMod_;
    switch (type_) {
    case TypeReal:
    case TypeComplex:
        op.kind = type_ == TypeReal ? KindReal : KindComplex;
        op.sigFig = sigFigures_;
        op.sigDec = sigDecPlace_;
        break;
    case TypeList:
    case TypeComplexList:
        op.kind = type_ == TypeList ? KindRealList : KindComplexList;
        // A list and matrix object of the record's own: what the record's user changes in
        // place never reaches this value (their elements are shared until then).
        if (auto held = list())
            op.list = std::make_shared<VQList>(*held);
        else
            op.list.reset();
        break;
    case TypeMatrix:
        op.kind = KindMatrix;
        if (auto held = matrix())
            op.matrix = std::make_shared<VQMatrix>(*held);
        else
            op.matrix.reset();
        break;
    case TypeString:
        op.kind = KindString;
        op.string = string();
        break;
    case TypeDone:
        op.kind = KindDone;
        break;
    default:
        return;
    }
    // A list, matrix or string value that lost its object is undefined, never a record
    // of that kind without one.
    const bool missing = ((type_ == TypeList || type_ == TypeComplexList) && !op.list)
        || (type_ == TypeMatrix && !op.matrix) || (type_ == TypeString && !op.string);
    if (missing) {
        op.kind = KindError;
        op.error = ErrUndefined;
    }
}

// ---- Archive ----

nlohmann::json VQValue::encode() const
{
    nlohmann::json out = nlohmann::json::object();
    out["type"] = type_;
    switch (type_) {
    case TypeList:
    case TypeComplexList:
        if (auto l = list())
            out["value"] = l->encode();
        break;
    case TypeMatrix:
        if (auto m = matrix())
            out["value"] = m->encode();
        break;
    case TypeString:
        if (auto s = string())
            out["value"] = s->toVector();
        break;
    default:
        break;
    }
    out["r"] = c_.real();
    out["c"] = c_.imag();
    out["sf"] = sigFigures_;
    out["sd"] = sigDecPlace_;
    return out;
}

VQValue VQValue::decode(const nlohmann::json& archive)
{
    VQValue v;
    if (!archive.is_object()) {
        v.sigFigures_ = 15;
        v.sigDecPlace_ = -15;
        return v;
    }
    v.type_ = intAt(archive, "type", TypeReal);
    v.c_ = {doubleAt(archive, "r"), doubleAt(archive, "c")};
    v.sigFigures_ = intAt(archive, "sf", 15);
    v.sigDecPlace_ = intAt(archive, "sd", -15);

    // A damaged or missing object decodes as an empty one of the right type.
    auto it = archive.find("value");
    const nlohmann::json none;
    const nlohmann::json& value = it != archive.end() ? *it : none;
    switch (v.type_) {
    case TypeList:
    case TypeComplexList:
        v.value_ = std::make_shared<VQList>(VQList::decode(value));
        break;
    case TypeMatrix:
        v.value_ = std::make_shared<VQMatrix>(value.is_object() ? VQMatrix::decode(value) : VQMatrix());
        break;
    case TypeString:
        v.value_ = VQString(ArchiveValues::ops(value).value_or(Ops()));
        break;
    default:
        break;
    }
    return v;
}

} // namespace orvenda
