#include "eval/EquationApplier.h"

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/VQStack.h"
#include "core/services/YEqManager.h"
#include "eval/Parser.h"
#include "eval/SequenceEvaluator.h"
#include "language/ErrorNumbers.h"
#include "numeric/ElementaryFunctions.h"

#include <cmath>

namespace orvenda {

namespace {

constexpr int kSlotT = 19;
constexpr int kSlotX = 23;
constexpr int kSlotY = 24;
constexpr int kSlotTheta = 26;
constexpr int kSlotEta = 27;

// An equation applied inside its own definition would recurse without end.
constexpr int kMaxDepth = 32;
thread_local int depth = 0;

struct DepthGuard {
    DepthGuard() { ++depth; }
    ~DepthGuard() { --depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};

bool inRange(int t, int first, int last) { return t >= first && t <= last; }

bool isSequence(int token) { return inRange(token, 0x5E80, 0x5E82); }

// The slot of the equation's independent variable; -1 for a token without one.
int independentSlot(int token)
{
    if (inRange(token, 0x5E10, 0x5E19) || inRange(token, 0x5EA0, 0x5EA9))
        return kSlotX;
    if (inRange(token, 0x5E20, 0x5E2B))
        return kSlotT;
    if (inRange(token, 0x5E40, 0x5E45))
        return kSlotTheta;
    if (isSequence(token))
        return kSlotEta;
    return -1;
}

bool isNonReal(const Operand& r)
{
    return r.kind == KindComplex || r.im() != 0 || std::isnan(r.im());
}

// Gives a slot its record back when the application ends, whatever the path.
struct SlotKeeper {
    SlotKeeper(Calculator& calc, int slot) : calc(calc), slot(slot), saved(calc.getVar(slot)) {}
    ~SlotKeeper() { calc.setVar(slot, saved); }
    SlotKeeper(const SlotKeeper&) = delete;
    SlotKeeper& operator=(const SlotKeeper&) = delete;
    Calculator& calc;
    int slot;
    VariableRecord saved;
};

} // namespace

EquationApplier::EquationApplier(Parser& parser) : p_(parser), calc_(parser.calc) {}

Operand EquationApplier::evalSeqNum(int token, double n)
{
    return SequenceEvaluator(p_).evalSeqNum(token, n, nullptr);
}

Operand EquationApplier::evaluate(const VQStack& rpn)
{
    return p_.evalRPN(rpn, true, true);
}

Operand EquationApplier::valueAt(const VQStack& rpn, int slot, std::complex<double> z)
{
    calc_.setVar(slot, {z, 15, -15});
    return p_.evalRPN(rpn, true, true);
}

Operand EquationApplier::applyYEq(int token, const Operand& X)
{
    Operand result;
    result.kind = KindReal;
    result.location = X.location;
    auto fail = [&](int error, int location) {
        p_.setError(error);
        p_.setErrorToken(location);
        result.kind = KindError;
        result.error = error;
        return result;
    };

    const int slot = independentSlot(token);
    if (slot < 0)
        return fail(ErrArgument, X.location);
    if (depth >= kMaxDepth)
        return fail(ErrEqSelfReference, X.location);
    const DepthGuard guard;
    const SlotKeeper keeper(calc_, slot);

    const bool sequence = isSequence(token);
    std::shared_ptr<VQStack> rpn;
    if (!sequence) {
        YEqManager* yEq = calc_.yEqManager.get();
        rpn = yEq ? yEq->rpnForFunction(token) : nullptr;
        if (!rpn)
            return fail(ErrUndefined, X.location);
    }
    const bool realMode = calc_.realCplxMode() == 0;
    // The term of a sequence at a whole real index, else the equation at z.
    auto at = [&](std::complex<double> z, bool& ok) {
        ok = true;
        if (!sequence)
            return valueAt(*rpn, slot, z);
        if (z.imag() != 0 || !ElementaryFunctions::isWhole(z.real())) {
            ok = false;
            return Operand{};
        }
        return SequenceEvaluator(p_).evalSeqNum(token, z.real(), nullptr);
    };

    if (isNumber(X)) {
        bool ok = true;
        result = at(X.value, ok);
        if (!ok)
            return fail(ErrArgument, X.location);
        if (p_.error() == 0 && realMode && X.kind == KindReal && isNonReal(result))
            p_.setError(ErrNonReal);
    } else if (isList(X)) {
        auto list = std::make_shared<VQList>();
        const bool realList = X.list->type() == 0;
        for (const VQNumber& element : X.list->v()) {
            bool ok = true;
            const Operand value = at(element.c(), ok);
            if (!ok)
                return fail(ErrArgument, X.location);
            if (p_.error() != 0)
                break;
            if (!isNumber(value)) {
                p_.setError(ErrDataType);
                break;
            }
            if (realMode && realList && isNonReal(value)) {
                p_.setError(ErrNonReal);
                break;
            }
            list->addComplex(value.value);
        }
        result.reset();
        result.kind = list->type() == 0 ? KindRealList : KindComplexList;
        result.list = std::move(list);
    } else {
        return fail(ErrArgument, X.location);
    }
    if (p_.error() != 0) {
        result.location = X.location;
        p_.setErrorToken(X.location);
    }
    result.error = p_.error();
    return result;
}

Operand EquationApplier::applyXYEq(int token, double x, double y)
{
    YEqManager* yEq = calc_.yEqManager.get();
    const std::shared_ptr<VQStack> rpn = yEq ? yEq->rpnForFunction(token) : nullptr;
    Operand result;
    if (!rpn) {
        p_.setError(ErrUndefined);
        result.error = ErrUndefined;
        return result;
    }
    if (depth >= kMaxDepth) {
        p_.setError(ErrEqSelfReference);
        result.error = ErrEqSelfReference;
        return result;
    }
    const DepthGuard guard;
    const SlotKeeper keepX(calc_, kSlotX);
    const SlotKeeper keepY(calc_, kSlotY);
    calc_.setVar(kSlotY, {{y, 0.0}, 15, -15});
    return valueAt(*rpn, kSlotX, {x, 0.0});
}

} // namespace orvenda
