#include "eval/OperandOperators.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/VQStack.h"
#include "core/services/YEqManager.h"
#include "eval/ArgumentFetcher.h"
#include "eval/ListMatrixOperators.h"
#include "eval/Parser.h"
#include "eval/ScalarOperators.h"
#include "language/ErrorNumbers.h"
#include "numeric/ElementaryFunctions.h"

namespace orvenda {

namespace {

constexpr int kMaxMatrixDim = 99;

// expr( runs in progress on this thread: an expr( inside one is refused. Each thread
// evaluates in its own context, so the count is kept per thread.
thread_local int exprDepth = 0;

// A kind-1 number or a list whose elements are all real.
bool isRealOperand(const Operand& r)
{
    if (r.kind == KindReal)
        return true;
    return isList(r) && r.list->type() == 0;
}

// A matrix side asked for by identity( or randM(: anything that does not truncate to
// 1..99 (negative, NaN, huge) is refused before storage is taken.
bool isMatrixSide(double x)
{
    return x >= 1 && x < kMaxMatrixDim + 1;
}

// The whole part of x as an int; out-of-range and NaN values land at the ends, where the
// matrix operations refuse them.
int wholePart(double x)
{
    return std::isnan(x) ? INT_MIN : ArgumentFetcher::clampedInt(x);
}

std::int8_t pairByte(int v)
{
    return static_cast<std::int8_t>(std::clamp(v, -128, 127));
}

// Strings start with the string variables' token 0xAA00 (Str1).
int stringIndex(int token)
{
    const int index = token - 0xAA00;
    return index >= 0 && index < Calculator::kStringCount ? index : -1;
}

} // namespace

EvalContext& OperandOperators::ctx()
{
    return p_.ctx();
}

Calculator& OperandOperators::calc()
{
    return p_.calc;
}

int OperandOperators::calcMatrixError(const VQMatrix& matrix)
{
    switch (matrix.error()) {
    case VQMatrix::ErrorNotSquare: return ErrNonSquareMatrix;
    case VQMatrix::ErrorSingular: return ErrSingularMatrix;
    case VQMatrix::ErrorNoStorage: return ErrMemory;
    case VQMatrix::ErrorDimension: return ErrDimMismatch;
    case VQMatrix::ErrorPowerRange: return ErrDomain;
    default: return 0;
    }
}

// In Real mode a computation on real operands may not answer a complex value.
void OperandOperators::nonRealCheck(const Operand& result)
{
    EvalContext& c = ctx();
    if (c.error || calc().realCplxMode() != 0)
        return;
    switch (result.kind) {
    case KindComplex:
        c.error = ErrNonReal;
        break;
    case KindReal:
        if (result.im() != 0 || std::isnan(result.im()))
            c.error = ErrNonReal;
        break;
    case KindRealList:
    case KindComplexList:
        if (result.list && result.list->type() != 0)
            c.error = ErrNonReal;
        break;
    case KindError:
        c.error = result.error;
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------
// One operand

Operand OperandOperators::unaryOp(std::uint32_t opcode, const Operand& X)
{
    EvalContext& c = ctx();
    Operand result;
    c.errorToken = X.location;
    const std::uint32_t token = opcode & 0xFFFF;

    switch (X.kind) {
    case KindReal:
    case KindComplex:
        if (token == 0x5C64) { // roundSigFig( with one argument
            result.kind = KindReal;
            result.value = {ElementaryFunctions::roundSF(X.re(), X.sigFig), 0.0};
            result.sigFig = X.sigFig;
            result.sigDec = X.sigDec;
        } else if (token == 0x5C62) { // sigFig(
            result.kind = KindReal;
            result.value = {static_cast<double>(X.sigFig), 0.0};
        } else if (token == 0xB4 && !isMatrixSide(X.re())) { // identity(
            c.error = ErrInvalidDim;
        } else {
            result = ScalarOperators(p_).doOp(opcode, X);
        }
        if (X.kind == KindReal)
            nonRealCheck(result);
        break;
    case KindRealList:
    case KindComplexList:
        result = ListMatrixOperators(p_).doOp(opcode, X);
        result.location = X.location;
        c.errorToken = X.location;
        if (isRealOperand(X))
            nonRealCheck(result);
        break;
    case KindMatrix:
        result = ListMatrixOperators(p_).doOp(static_cast<int>(token), X.matrix);
        break;
    case KindString:
        result = stringUnaryOp(token, X);
        break;
    default:
        // Nothing here works on this kind; an empty record must not pass for a value.
        c.error = ErrDataType;
        break;
    }
    result.location = c.errorToken;
    result.error = c.error;
    return result;
}

Operand OperandOperators::stringUnaryOp(std::uint32_t token, const Operand& X)
{
    EvalContext& c = ctx();
    Operand result;
    static const VQString empty;
    const VQString& ops = X.string ? *X.string : empty;

    switch (token) {
    case 0xBB2B: // length(
        result.kind = KindReal;
        result.value = {static_cast<double>(ops.size()), 0.0};
        break;
    case 0xBB2A: { // expr(
        if (exprDepth > 0) {
            c.error = ErrIllegalNest;
            break;
        }
        // Cleared on every way out.
        struct ExprGuard {
            ExprGuard() { ++exprDepth; }
            ~ExprGuard() { --exprDepth; }
        } guard;
        if (ops.empty()) {
            c.error = ErrInvalid;
            break;
        }
        // Compile into the expression stack so the statement being run keeps its own
        // output; the parser appends the brackets it supplies, so it gets a copy.
        Operand::Ops text = ops.toVector();
        VQStack* saved = &c.rpnStack();
        c.setRpnStack(&c.exprStack);
        p_.infixToRPN(&text, 0, true);
        const VQStack compiled = c.exprStack;
        c.setRpnStack(saved);
        if (c.error) {
            c.error = ErrExprSyntax;
            c.errorToken += X.location;
            break;
        }
        result = p_.evalRPN(compiled, true, true);
        if (c.error) {
            // Positions inside the string count from the string's own position; an
            // operator left without its operand is the string's syntax fault.
            if (c.error == ErrSyntax)
                c.error = ErrExprSyntax;
            c.errorToken += X.location;
        }
        break;
    }
    case 0x5C52: { // molarMass(
        std::string formula;
        for (std::uint32_t op : ops)
            formula += calc().nameForOpcode(op);
        int at = 0;
        const double weight = p_.chemWeight(formula, at);
        result.kind = KindReal;
        result.value = {weight, 0.0};
        if (weight == -1.0) {
            c.error = ErrChemFormula;
            c.errorToken = std::min(c.errorToken + at + 1, c.nextToken);
        }
        break;
    }
    default:
        c.error = ErrDataType;
        c.errorToken = X.location;
        break;
    }
    return result;
}

// ---------------------------------------------------------------------------------------
// Two operands

Operand OperandOperators::binaryOp(int token, const Operand& X, const Operand& Y)
{
    EvalContext& c = ctx();
    c.errorToken = std::min(X.location, Y.location);
    NonRealCheck check = NonRealCheck::None;
    Operand result = binaryWork(token, X, Y, check);
    // The check that follows numeric work, when it applies; with a list on the right the
    // error then points at the left operand.
    if (check != NonRealCheck::None && !c.error && calc().realCplxMode() == 0 && isRealOperand(X)
        && isRealOperand(Y)) {
        if (check == NonRealCheck::PointAtY)
            c.errorToken = Y.location;
        nonRealCheck(result);
    }
    result.error = c.error;
    result.location = c.errorToken;
    return result;
}

// Each way out builds the result in place (no empty record assigned over).
Operand OperandOperators::binaryWork(int token, const Operand& X, const Operand& Y, NonRealCheck& check)
{
    if (X.kind == KindMatrix || Y.kind == KindMatrix)
        return matrixBinaryOp(token, X, Y);
    if (isNumber(X) && isNumber(Y)) {
        check = NonRealCheck::PointAtX;
        if (token == 0x20)
            return randomMatrix(X, Y);
        return ScalarOperators(p_).doOp(token, X, Y);
    }
    if (isNumber(X) && isList(Y)) {
        check = NonRealCheck::PointAtX;
        return ListMatrixOperators(p_).doOpXcYLc(token, X, Y);
    }
    if (isList(X) && isNumber(Y)) {
        check = NonRealCheck::PointAtY;
        return ListMatrixOperators(p_).doOpXLcYc(token, X, Y);
    }
    if (isList(X) && isList(Y)) {
        check = NonRealCheck::PointAtY;
        return ListMatrixOperators(p_).doOpXLcYLc(token, X, Y);
    }
    if (X.kind == KindVariable && (Y.kind == KindString || Y.kind == KindVariable))
        return equationStringOp(token, X, Y);
    if (X.kind == KindString && Y.kind == KindString)
        return stringBinaryOp(token, X, Y);
    ctx().error = ErrDataType;
    return Operand{};
}

// randM(: Y rows by X columns. Each side must be a real whole number, then 1..99; nothing
// is allocated for a side outside that.
Operand OperandOperators::randomMatrix(const Operand& X, const Operand& Y)
{
    EvalContext& c = ctx();
    auto whole = [](const Operand& r) { return r.im() == 0 && ElementaryFunctions::isWhole(r.re()); };
    Operand result;
    if (!whole(X)) {
        c.error = ErrArgument;
        c.errorToken = X.location;
    } else if (!whole(Y)) {
        c.error = ErrArgument;
        c.errorToken = Y.location;
    } else if (!isMatrixSide(X.re())) {
        c.error = ErrInvalidDim;
        c.errorToken = X.location;
    } else if (!isMatrixSide(Y.re())) {
        c.error = ErrInvalidDim;
        c.errorToken = Y.location;
    } else {
        result = ScalarOperators(p_).doOp(0x20, X, Y);
    }
    return result;
}

Operand OperandOperators::matrixBinaryOp(int token, const Operand& X, const Operand& Y)
{
    EvalContext& c = ctx();
    const Operand& M = X.kind == KindMatrix ? X : Y;
    const Operand& O = X.kind == KindMatrix ? Y : X;
    Operand result;
    result.kind = KindMatrix;
    if (!M.matrix || (O.kind == KindMatrix && !O.matrix)) {
        c.error = ErrDataType;
        result.kind = KindError;
        return result;
    }
    VQMatrix& m = *M.matrix;
    m.setError(0);

    switch (O.kind) {
    case KindMatrix:
        result = ListMatrixOperators(p_).doOp(token, *X.matrix, *Y.matrix);
        break;
    case KindRealList: {
        c.errorToken = O.location;
        // Only StoDim( takes a dimension list; any other operation of a matrix and a list
        // is a data type fault.
        if (token != 0x101C) {
            c.error = ErrDataType;
            break;
        }
        const VQList* dims = O.list.get();
        if (!dims || dims->count() != 2 || dims->type() != 0 || !ElementaryFunctions::isWhole(dims->realAtIndex(0)) ||
            !ElementaryFunctions::isWhole(dims->realAtIndex(1))) {
            c.error = ErrArgument;
            break;
        }
        const double rows = dims->realAtIndex(0), cols = dims->realAtIndex(1);
        if (!(rows >= 0 && rows <= kMaxMatrixDim && cols >= 0 && cols <= kMaxMatrixDim)) {
            c.error = ErrInvalidDim;
            break;
        }
        m.resizeRow(static_cast<std::size_t>(ArgumentFetcher::clampedInt(rows)),
                    static_cast<std::size_t>(ArgumentFetcher::clampedInt(cols)));
        result = O;
        break;
    }
    case KindReal: {
        c.errorToken = M.location;
        const SNum cell{pairByte(O.sigFig), pairByte(O.sigDec), O.re()};
        std::optional<VQMatrix> out;
        bool makesMatrix = true;
        switch (token) {
        case 0x82: out = m.multiplyConst(cell); break;
        case 0x12: out = m.round(wholePart(O.re())); break;
        case 0xF0: out = m.power(wholePart(O.re())); break;
        case 0xE2: // Fill(
            m.fill(cell);
            result.kind = KindDone;
            makesMatrix = false;
            break;
        default:
            c.error = ErrSyntax;
            c.errorToken = O.location;
            makesMatrix = false;
            break;
        }
        if (c.error)
            break;
        if (const int mapped = calcMatrixError(m))
            c.error = mapped;
        if (makesMatrix) {
            if (out)
                result.matrix = std::make_shared<VQMatrix>(std::move(*out));
            else if (!c.error)
                c.error = ErrMemory;
        }
        break;
    }
    default:
        c.error = ErrDataType;
        break;
    }
    if (c.error && result.kind == KindMatrix && !result.matrix)
        result.kind = KindError;
    return result;
}

// String▸Equ( and Equ▸String(: X is a variable reference; Y a string or a variable.
Operand OperandOperators::equationStringOp(int token, const Operand& X, const Operand& Y)
{
    EvalContext& c = ctx();
    Calculator& cal = calc();
    Operand result;
    YEqManager* yEq = cal.yEqManager.get();

    if (token == 0xBB56) { // String▸Equ(
        if (X.var.subKind != VarEquation) {
            c.error = ErrDataType;
            return result;
        }
        Operand::Ops ops;
        if (Y.kind == KindString) {
            if (Y.string)
                ops = Y.string->toVector();
        } else if (Y.var.subKind == VarString && stringIndex(Y.var.token) >= 0) {
            ops = cal.state().strings[static_cast<std::size_t>(stringIndex(Y.var.token))].toVector();
        } else {
            c.error = ErrDataType;
            return result;
        }
        if (yEq) {
            if (const int error = yEq->setYEqFunc(X.var.token, ops); error != 0) {
                c.error = error;
                return result;
            }
            yEq->setFunction(X.var.token, true);
        }
        result.kind = KindDone;
    } else if (token == 0xBB55) { // Equ▸String(
        if (Y.kind != KindVariable || Y.var.subKind != VarEquation || X.var.subKind != VarString ||
            stringIndex(X.var.token) < 0) {
            c.error = ErrDataType;
            return result;
        }
        Operand::Ops ops;
        if (yEq)
            ops = yEq->plotForFunction(Y.var.token).value_or(Operand::Ops{});
        if (!cal.storeString(static_cast<std::size_t>(stringIndex(X.var.token)), std::move(ops))) {
            c.error = ErrMemory;
            return result;
        }
        result.kind = KindDone;
    } else {
        c.error = ErrSyntax;
    }
    return result;
}

Operand OperandOperators::stringBinaryOp(int token, const Operand& X, const Operand& Y)
{
    EvalContext& c = ctx();
    static const VQString empty;
    const VQString& xs = X.string ? *X.string : empty;
    const VQString& ys = Y.string ? *Y.string : empty;
    Operand result;
    switch (token) {
    case 0x70: // +: the left string first, joined in place when it is its tokens' newest copy
        // A string no save could keep is never made.
        if (!calc().couldKeep(ArchiveCost::ofString(xs.size() + ys.size()))) {
            c.error = ErrMemory;
            break;
        }
        result.kind = KindString;
        result.string = ys;
        result.string->append(xs);
        break;
    case 0x6A: // =
    case 0x6F: { // ≠
        const bool equal = xs == ys;
        result.kind = KindReal;
        result.value = {(equal == (token == 0x6A)) ? 1.0 : 0.0, 0.0};
        break;
    }
    default:
        c.error = ErrSyntax;
        break;
    }
    return result;
}

} // namespace orvenda
