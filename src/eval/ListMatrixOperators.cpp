#include "eval/ListMatrixOperators.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "eval/OperandOperators.h"
#include "eval/Parser.h"
#include "eval/ScalarOperators.h"
#include "language/ErrorNumbers.h"
#include "numeric/ElementaryFunctions.h"

namespace orvenda {

namespace {

constexpr int kMaxListLength = 999;

// The record a list element is handed to the scalar operators as.
Operand elementRecord(const VQNumber& e, int location)
{
    Operand r;
    r.kind = e.i() != 0 ? KindComplex : KindReal;
    r.value = e.c();
    r.sigFig = e.sigFig();
    r.sigDec = e.sigDec();
    r.location = location;
    return r;
}

VQNumber resultNumber(const Operand& r)
{
    return VQNumber(r.value, r.sigFig, r.sigDec);
}

Operand listResult(VQList&& list)
{
    Operand r;
    r.kind = list.type() != 0 ? KindComplexList : KindRealList;
    r.list = std::make_shared<VQList>(std::move(list));
    return r;
}

Operand numberResult(std::complex<double> value)
{
    Operand r;
    r.kind = value.imag() != 0 ? KindComplex : KindReal;
    r.value = value;
    return r;
}

bool isComplexList(const Operand& rec)
{
    return rec.list && rec.list->type() != 0;
}

// A matrix code as the one-matrix functions report it: a shape fault is an invalid
// dimension here rather than the non-square error of the other matrix work.
int oneMatrixError(int code)
{
    switch (code) {
    case VQMatrix::ErrorNotSquare: return ErrInvalidDim;
    case VQMatrix::ErrorSingular: return ErrSingularMatrix;
    case VQMatrix::ErrorNoStorage: return ErrMemory;
    case VQMatrix::ErrorDimension: return ErrDimMismatch;
    case VQMatrix::ErrorPowerRange: return ErrDomain;
    default: return 0;
    }
}

std::int8_t clampByte(int v)
{
    return static_cast<std::int8_t>(std::clamp(v, -128, 127));
}

// int( of a matrix: the greatest integer of every cell, as int( of a number gives; the
// figures below the units place are dropped from the pair.
std::optional<VQMatrix> floorCells(VQMatrix& m)
{
    auto out = m.matrixCopy();
    if (!out) {
        m.setError(VQMatrix::ErrorNoStorage);
        return out;
    }
    const std::size_t cells = out->dimRow() * out->dimCol();
    double* v = out->m();
    SigPair* s = out->mSig();
    for (std::size_t i = 0; i < cells; ++i) {
        v[i] = std::floor(v[i]);
        if (s[i].sigDec < 0)
            s[i] = {clampByte(s[i].sigFig + s[i].sigDec), 0};
    }
    return out;
}

// The end of a matrix operation: the matrix it made (when it makes one), or the error it
// met in place of a matrix.
Operand matrixResult(EvalContext& c, Operand result, std::optional<VQMatrix>& out, bool makesMatrix)
{
    if (makesMatrix) {
        if (out)
            result.matrix = std::make_shared<VQMatrix>(std::move(*out));
        else if (!c.error)
            c.error = ErrMemory;
    }
    if (c.error && result.kind == KindMatrix && !result.matrix)
        result.kind = KindError;
    result.error = c.error;
    return result;
}

} // namespace

EvalContext& ListMatrixOperators::ctx()
{
    return p_.ctx();
}

Calculator& ListMatrixOperators::calc()
{
    return p_.calc;
}

bool ListMatrixOperators::displayModFor(std::uint32_t token, int& displayMod)
{
    switch (token) {
    case 0x01: displayMod = 8; return true;
    case 0x02: displayMod = 3; return true;
    case 0x03: displayMod = 1; return true;
    case 0x5C63: displayMod = 9; return true;
    case 0xBB2F: displayMod = 7; return true;
    case 0xBB30: displayMod = 6; return true;
    case 0xBBEF: displayMod = 2; return true;
    case 0xBBF6: displayMod = 4; return true;
    case 0xBBF7: displayMod = 5; return true;
    case 0xEF30: displayMod = ctx().f_und ? 1 : 2; return true;
    case 0xEF31:
        if (ctx().f_nd || ctx().f_und)
            displayMod = 3;
        else
            displayMod = calc().state().fractionFormat == 4 ? 2 : 1;
        return true;
    default: return false;
    }
}

// ---------------------------------------------------------------------------------------
// One list

Operand ListMatrixOperators::doOp(std::uint32_t opcode, const Operand& XLc)
{
    EvalContext& c = ctx();
    Operand result;
    if (!XLc.list) {
        c.error = ErrDataType;
        result.error = c.error;
        return result;
    }
    const std::shared_ptr<VQList>& list = XLc.list;
    const int n = list->count();
    const bool complexList = list->type() != 0;

    // Failures come back as an empty record carrying the error.
    auto fail = [&](int error) {
        c.error = error;
        result = Operand();
    };

    int displayMod = 0;
    if (displayModFor(opcode, displayMod)) {
        result.kind = complexList ? KindComplexList : KindRealList;
        result.list = list;
        result.displayMod = displayMod;
    } else {
        switch (opcode) {
        case 0x19: // max(
        case 0x1A: // min(
            if (n == 0)
                fail(ErrInvalidDim);
            else
                result = numberResult(opcode == 0x19 ? list->max() : list->min());
            break;
        case 0x1F: // median(
        case 0x21: // mean(
            if (n == 0) {
                fail(ErrInvalidDim);
            } else if (complexList) {
                fail(ErrDataType);
            } else {
                VQNumber v = opcode == 0x21 ? list->mean() : list->median();
                result = numberResult(v.c());
                result.sigFig = v.sigFig();
                result.sigDec = v.sigDec();
            }
            break;
        case 0xB5: // dim(
            result = numberResult(n);
            break;
        case 0xE3: // SortA(
        case 0xE4: // SortD(
            if (opcode == 0xE3)
                list->sortAscending();
            else
                list->sortDescending();
            result.kind = KindDone;
            break;
        case 0x5C62: { // sigFig(
            result = listResult(list->sigFig());
            result.kind = XLc.kind;
            break;
        }
        case 0xBB0D: // stdDev(
        case 0xBB0E: // variance(
            if (n == 0)
                fail(ErrInvalidDim);
            else if (complexList)
                fail(ErrDataType);
            else
                result = numberResult(opcode == 0xBB0D ? list->standardDeviation() : list->variance());
            break;
        case 0xBB29: // cumSum(
            result = listResult(list->cumulativeSum());
            break;
        case 0xBB2C: // ΔList(
            if (n <= 1)
                fail(ErrInvalidDim);
            else
                result = listResult(list->deltaList());
            break;
        case 0xBBFA: // shift( with one argument
            result = listResult(list->shift(-1));
            break;
        case 0xBBFB: // rotate( with one argument
            result = listResult(list->rotate(-1));
            break;
        default: {
            ScalarOperators scalar(p_);
            VQList out;
            out.reserve(n);
            for (const VQNumber& e : list->v()) {
                Operand r = scalar.op(opcode, elementRecord(e, XLc.location));
                if (c.error)
                    break;
                out.addNumber(resultNumber(r));
            }
            if (c.error)
                fail(c.error);
            else
                result = listResult(std::move(out));
            break;
        }
        }
    }
    result.error = c.error;
    return result;
}

// ---------------------------------------------------------------------------------------
// One matrix

Operand ListMatrixOperators::doOp(int token, const std::shared_ptr<VQMatrix>& XM)
{
    EvalContext& c = ctx();
    Operand result;
    result.kind = KindMatrix;
    if (!XM) {
        c.error = ErrDataType;
        result.kind = KindError;
        result.error = c.error;
        return result;
    }
    VQMatrix& m = *XM;
    m.setError(0);

    std::optional<VQMatrix> out;
    bool makesMatrix = true;
    int displayMod = 0;
    if (token == 0xEF30) {
        result.matrix = XM;
        result.displayMod = c.f_und ? 1 : 2;
        makesMatrix = false;
    } else if (displayModFor(static_cast<unsigned>(token), displayMod)) {
        result.matrix = XM;
        result.displayMod = displayMod;
        makesMatrix = false;
    } else {
        switch (token) {
        case 0x0C: out = m.inverse(); break;
        case 0x0D: out = m.square(); break;
        case 0x0F: out = m.cube(); break;
        case 0x0E: out = m.transpose(); break;
        case 0x12: {
            // Float mode keeps every digit, as round( of a number does.
            const int digits = calc().state().numDigits;
            out = digits >= 0 ? m.round(digits) : m.matrixCopy();
            break;
        }
        case 0xB0: out = m.negate(); break;
        case 0xB1: out = floorCells(m); break;
        case 0xB2: out = m.abs(); break;
        case 0xB9: out = m.iPart(); break;
        case 0xBA: out = m.fPart(); break;
        case 0xB3: { // det(
            const double d = m.det();
            result = numberResult({d, 0.0});
            makesMatrix = false;
            break;
        }
        case 0xB5: { // dim(
            VQList dims;
            dims.addReal(static_cast<double>(m.dimRow()), 15, -15);
            dims.addReal(static_cast<double>(m.dimCol()), 15, -15);
            result = listResult(std::move(dims));
            makesMatrix = false;
            break;
        }
        case 0xBB29: out = m.cumsum(); break;
        case 0xBB2D: // ref(
            if (m.dimCol() >= m.dimRow())
                out = m.ref();
            else
                c.error = ErrInvalidDim;
            break;
        case 0xBB2E: // rref(
            if (m.dimCol() < 2 || m.dimRow() < 2)
                c.error = ErrInvalidDim;
            out = m.rref();
            if (!out)
                c.error = ErrMemory;
            break;
        default:
            c.error = ErrDataType;
            c.errorToken = c.nextToken;
            makesMatrix = false;
            break;
        }
    }

    if (const int mapped = oneMatrixError(m.error()))
        c.error = mapped;
    return matrixResult(c, std::move(result), out, makesMatrix);
}

// ---------------------------------------------------------------------------------------
// Two matrices

Operand ListMatrixOperators::doOp(int token, VQMatrix& XM, VQMatrix& YM)
{
    EvalContext& c = ctx();
    Operand result;
    result.kind = KindMatrix;
    VQMatrix& a = YM;
    VQMatrix& b = XM;
    a.setError(0);
    b.setError(0);

    std::optional<VQMatrix> out;
    bool makesMatrix = true;
    switch (token) {
    case 0x14: out = a.augment(b); break;
    case 0x70: out = a.add(b); break;
    case 0x71: out = a.subtract(b); break;
    case 0x82: out = a.multiply(b); break;
    case 0x6A:
    case 0x6F: {
        const bool equal = a.equal(b);
        result = numberResult((equal == (token == 0x6A)) ? 1.0 : 0.0);
        makesMatrix = false;
        break;
    }
    default:
        c.error = ErrDataType;
        c.errorToken = c.nextToken;
        makesMatrix = false;
        break;
    }

    if (!c.error)
        c.error = OperandOperators::calcMatrixError(a);
    return matrixResult(c, std::move(result), out, makesMatrix);
}

// ---------------------------------------------------------------------------------------
// A number with a list

Operand ListMatrixOperators::elementwise(int token, const Operand& number, const Operand& listRec,
                                         bool listOnLeft)
{
    EvalContext& c = ctx();
    const VQList& list = *listRec.list;
    VQList out;
    out.reserve(list.count());
    ScalarOperators scalar(p_);
    for (const VQNumber& e : list.v()) {
        const Operand el = elementRecord(e, listRec.location);
        Operand r = listOnLeft ? scalar.op(token, number, el) : scalar.op(token, el, number);
        if (c.error)
            break;
        out.addNumber(resultNumber(r));
    }
    Operand result;
    if (!c.error) {
        // The list's type tells whether the elements came out complex.
        result.kind = KindRealList;
        result.list = std::make_shared<VQList>(std::move(out));
    }
    return result;
}

Operand ListMatrixOperators::doOpXcYLc(int token, const Operand& Xc, const Operand& YLc)
{
    EvalContext& c = ctx();
    c.errorToken = std::min(Xc.location, YLc.location);
    Operand result;
    if (!YLc.list)
        c.error = ErrDataType;
    else
        result = elementwise(token, Xc, YLc, true);
    result.location = c.errorToken;
    result.error = c.error;
    return result;
}

Operand ListMatrixOperators::doOpXLcYc(int token, const Operand& XLc, const Operand& Yc)
{
    EvalContext& c = ctx();
    c.errorToken = std::min(XLc.location, Yc.location);
    Operand result;
    if (!XLc.list) {
        c.error = ErrDataType;
    } else if (token == 0x101C) { // StoDim(
        const double n = Yc.re();
        if (Yc.im() != 0 || (!ElementaryFunctions::isWhole(n) && !std::isinf(n))) {
            c.error = ErrArgument;
        } else if (!(n >= 0 && n <= kMaxListLength)) {
            c.error = ErrInvalidDim;
        } else {
            XLc.list->resize(static_cast<int>(n));
            result = numberResult({n, 0.0});
        }
    } else if (token == 0xE2) { // Fill(
        VQList& list = *XLc.list;
        for (VQNumber& e : list.writableV())
            e = VQNumber(Yc.value, Yc.sigFig, Yc.sigDec);
        list.setType(Yc.im() != 0 && !list.v().empty() ? 1 : 0);
        result.kind = KindDone;
    } else {
        result = elementwise(token, Yc, XLc, false);
    }
    result.location = c.errorToken;
    result.error = c.error;
    return result;
}

// ---------------------------------------------------------------------------------------
// Two lists

Operand ListMatrixOperators::frequencyStat(int token, const Operand& XLc, const Operand& YLc)
{
    EvalContext& c = ctx();
    const VQList& data = *YLc.list;
    const VQList& freq = *XLc.list;
    Operand result;
    switch (token) {
    case 0x1F: // median(
        c.errorToken = XLc.location;
        if (isComplexList(XLc)) {
            c.error = ErrDataType;
        } else if (isComplexList(YLc)) {
            c.error = ErrDataType;
            c.errorToken = YLc.location;
        } else if (data.count() != freq.count()) {
            c.error = ErrDimMismatch;
        } else {
            VQNumber v = data.medianFreq(freq);
            result = numberResult({v.r(), 0.0});
            result.sigFig = v.sigFig();
            result.sigDec = v.sigDec();
        }
        break;
    case 0x21: // mean(
        if (isComplexList(XLc) || isComplexList(YLc)) {
            c.error = ErrDataType;
            c.errorToken = XLc.location;
        } else if (data.count() != freq.count()) {
            c.error = ErrDimMismatch;
        } else if (freq.sum().real() == 0) {
            c.error = ErrDivideBy0;
        } else {
            VQNumber v = data.meanFreq(freq);
            result = numberResult({v.r(), 0.0});
            result.sigFig = v.sigFig();
            result.sigDec = v.sigDec();
        }
        break;
    default: { // stdDev(, variance(
        c.errorToken = XLc.location;
        if (isComplexList(XLc) || isComplexList(YLc)) {
            c.error = ErrDataType;
            break;
        }
        if (data.count() != freq.count()) {
            c.error = ErrDimMismatch;
            break;
        }
        double total = 0;
        bool valid = true;
        for (const VQNumber& f : freq.v()) {
            if (!(f.r() >= 0) || !ElementaryFunctions::isWhole(f.r()))
                valid = false;
            total += f.r();
        }
        if (!valid || !(total >= 2)) {
            c.error = ErrDomain;
            break;
        }
        const double v = token == 0xBB0D ? data.standardDeviationFreq(freq) : data.varianceFreq(freq);
        result = numberResult({v, 0.0});
        break;
    }
    }
    return result;
}

Operand ListMatrixOperators::doOpXLcYLc(int token, const Operand& XLc, const Operand& YLc)
{
    EvalContext& c = ctx();
    c.errorToken = std::min(XLc.location, YLc.location);
    Operand result;
    if (!XLc.list || !YLc.list) {
        c.error = ErrDataType;
        result.location = c.errorToken;
        result.error = c.error;
        return result;
    }
    VQList& l1 = *YLc.list;
    VQList& l2 = *XLc.list;
    const bool sameCount = l1.count() == l2.count();

    switch (token) {
    case 0x14: // augment(
        // Every list holds at most 999 elements, however it grows.
        if (l1.count() + l2.count() > kMaxListLength) {
            c.error = ErrInvalidDim;
            break;
        }
        result = listResult(l1.joinedFull(l2));
        result.kind = KindRealList;
        break;
    case 0x19: // max(
    case 0x1A: { // min(
        std::optional<VQList> out = token == 0x19 ? l1.maxListB(l2) : l1.minListB(l2);
        if (!sameCount || !out) {
            c.error = ErrDimMismatch;
        } else {
            result = listResult(std::move(*out));
            result.kind = KindRealList;
        }
        break;
    }
    case 0xE3: // SortA(
    case 0xE4: // SortD(
        if (!sameCount) {
            c.error = ErrDimMismatch;
        } else {
            if (token == 0xE3)
                l1.sortA(l2);
            else
                l1.sortD(l2);
            result.kind = KindDone;
        }
        break;
    case 0x1F:
    case 0x21:
    case 0xBB0D:
    case 0xBB0E:
        result = frequencyStat(token, XLc, YLc);
        break;
    default: {
        if (!sameCount) {
            c.error = ErrDimMismatch;
            break;
        }
        ScalarOperators scalar(p_);
        VQList out;
        out.reserve(l1.count());
        for (std::size_t i = 0; i < l1.v().size(); ++i) {
            const Operand x = elementRecord(l2.v()[i], XLc.location);
            const Operand y = elementRecord(l1.v()[i], YLc.location);
            Operand r = scalar.op(token, x, y);
            if (c.error)
                break;
            out.addNumber(resultNumber(r));
        }
        if (!c.error) {
            result.kind = KindRealList;
            result.list = std::make_shared<VQList>(std::move(out));
        }
        break;
    }
    }
    result.location = c.errorToken;
    result.error = c.error;
    return result;
}

} // namespace orvenda
