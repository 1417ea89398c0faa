#include "eval/NumericServices.h"

#include "core/Calculator.h"
#include "core/NumberFormatter.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/services/YEqManager.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "numeric/ElementDatabase.h"
#include "numeric/PolynomialRoots.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace orvenda {

namespace {

using Ops = std::vector<std::uint32_t>;

constexpr int kMaxCoefficients = 30;
constexpr std::uint32_t kX = 0x58, kSquare = 0x0D, kPower = 0xF0, kPlus = 0x70, kMinus = 0x71, kNegate = 0xB0;
constexpr std::uint32_t kComma = 0x2B, kListOpen = 0x08, kListClose = 0x09, kMatrixOpen = 0x06,
                        kMatrixClose = 0x07;

bool isFunctionEquation(int token)
{
    return token >= 0x5E10 && token <= 0x5E19;
}

void append(Ops& to, const Ops& from)
{
    to.insert(to.end(), from.begin(), from.end());
}

int propertyColumn(int token)
{
    switch (token) {
    case 0x5C53: return ElementDatabase::ColWeight;
    case 0x5C54: return ElementDatabase::ColMelt;
    case 0x5C55: return ElementDatabase::ColBoil;
    case 0x5C56: return ElementDatabase::ColDensity;
    default: return -1;
    }
}

} // namespace

std::shared_ptr<VQList> NumericServices::polySolve(const VQList* coefficients, int yEqu, int& error)
{
    if (!coefficients || coefficients->count() < 2) {
        error = ErrListUndefined;
        return nullptr;
    }
    if (coefficients->count() > kMaxCoefficients) {
        error = ErrTooManyArguments;
        return nullptr;
    }
    const std::vector<double> a = coefficients->realList();
    if (a.front() == 0) {
        error = ErrPolyCoef0;
        return nullptr;
    }
    for (double c : a) {
        if (!std::isfinite(c)) {
            error = ErrDomain;
            return nullptr;
        }
    }
    const auto zeros = PolynomialRoots::roots(a);
    if (zeros.empty()) {
        error = ErrArgument;
        return nullptr;
    }

    auto list = std::make_shared<VQList>();
    const bool real = std::all_of(zeros.begin(), zeros.end(), [](auto z) { return z.imag() == 0; });
    for (auto z : zeros) {
        if (real)
            list->addReal(z.real(), 15, -15);
        else
            list->addComplex(z);
    }
    if (isFunctionEquation(yEqu)) {
        if (const auto& equations = p_.calc.yEqManager) {
            equations->setYEqFunc(yEqu, polynomialOps(*coefficients));
            equations->setFunction(yEqu, true);
        }
    }
    return list;
}

Ops NumericServices::polynomialOps(const VQList& coefficients) const
{
    // Full precision, whatever the display mode.
    const NumberFormatter plain{NumberFormatter::Settings{}};
    Ops ops;
    const int degree = coefficients.count() - 1;
    for (int i = 0; i <= degree; ++i) {
        const double c = coefficients.realAtIndex(i);
        if (c == 0)
            continue;
        const int power = degree - i;
        if (ops.empty()) {
            if (c < 0)
                ops.push_back(kNegate);
        } else {
            ops.push_back(c < 0 ? kMinus : kPlus);
        }
        if (std::fabs(c) != 1 || power == 0)
            append(ops, plain.realToOpcodes(std::fabs(c)));
        if (power >= 1)
            ops.push_back(kX);
        if (power == 2) {
            ops.push_back(kSquare);
        } else if (power > 2) {
            ops.push_back(kPower);
            append(ops, plain.realToOpcodes(power));
        }
    }
    return ops;
}

double NumericServices::chemWeight(std::string_view formula, int& errLocation) const
{
    return ElementDatabase::elementDatabase().weight(formula, errLocation);
}

Operand NumericServices::chemProperty(int token, int first, int last) const
{
    Operand result;
    const int column = propertyColumn(token);
    if (column < 0) {
        result.error = ErrArgument;
        return result;
    }
    const ElementDatabase& table = ElementDatabase::elementDatabase();
    if (first == last) {
        result.kind = KindReal;
        result.value = {table.doubleValueCol(column, first), 0.0};
        return result;
    }
    auto list = std::make_shared<VQList>();
    for (int n = first; n <= last; ++n)
        list->addReal(table.doubleValueCol(column, n), 15, -15);
    result.kind = KindRealList;
    result.list = std::move(list);
    return result;
}

Operand NumericServices::toString(const Operand& value)
{
    Operand result;
    Ops ops;
    auto number = [&](std::complex<double> z) { append(ops, p_.complexToOps(z.real(), z.imag())); };
    switch (value.kind) {
    case KindReal:
    case KindComplex:
        number(value.value);
        break;
    case KindRealList:
    case KindComplexList: {
        ops.push_back(kListOpen);
        const int n = value.list ? value.list->count() : 0;
        for (int i = 0; i < n; ++i) {
            if (i)
                ops.push_back(kComma);
            number(value.list->complexAtIndex(i));
        }
        ops.push_back(kListClose);
        break;
    }
    case KindMatrix:
        ops.push_back(kMatrixOpen);
        if (value.matrix) {
            for (std::size_t r = 0; r < value.matrix->dimRow(); ++r) {
                ops.push_back(kMatrixOpen);
                for (std::size_t c = 0; c < value.matrix->dimCol(); ++c) {
                    if (c)
                        ops.push_back(kComma);
                    number(value.matrix->row(r, c));
                }
                ops.push_back(kMatrixClose);
            }
        }
        ops.push_back(kMatrixClose);
        break;
    case KindString:
        if (value.string)
            ops = value.string->toVector();
        break;
    default:
        p_.setError(ErrDataType);
        p_.setErrorToken(value.location);
        result.error = ErrDataType;
        return result;
    }
    result.kind = KindString;
    result.string = VQString(ops);
    return result;
}

} // namespace orvenda
