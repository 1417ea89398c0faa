#include "eval/StoreHandler.h"

#include "core/Calculator.h"
#include "core/RandomSource.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/VQStack.h"
#include "core/services/StatGraphManager.h"
#include "core/services/YEqManager.h"
#include "eval/EvalRun.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "language/VariableSlots.h"
#include "language/Vocabulary.h"
#include "numeric/RandomDeviates.h"

#include <algorithm>
#include <cstdint>

namespace orvenda {

namespace {

// Code points in a UTF-8 name; the first one comes back in `first`.
int codePoints(const std::string& s, char32_t& first)
{
    int n = 0;
    first = 0;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
        if (n == 0) {
            char32_t cp = len == 1 ? c : c & (0x7F >> len);
            for (std::size_t k = 1; k < len && i + k < s.size(); ++k)
                cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
            first = cp;
        }
        i += len;
        ++n;
    }
    return n;
}

VariableRecord recordOf(const Operand& v)
{
    return {v.value, static_cast<std::int8_t>(v.sigFig), static_cast<std::int8_t>(v.sigDec)};
}

} // namespace

StoreHandler::StoreHandler(Parser& parser) : p_(parser), calc_(parser.calc) {}

bool StoreHandler::isEquationToken(int t)
{
    return (t >= 0x5E10 && t <= 0x5E19) || (t >= 0x5E20 && t <= 0x5E2B) || (t >= 0x5E40 && t <= 0x5E45)
        || (t >= 0x5E80 && t <= 0x5E82) || (t >= 0x5EA0 && t <= 0x5EA9);
}

int StoreHandler::slotForReference(const VarRef& var)
{
    if (var.index >= 0)
        return var.index;
    char32_t c = 0;
    if (codePoints(var.name, c) != 1)
        return -2;
    if (c >= U'A' && c <= U'Z')
        return static_cast<int>(c - U'A');
    if (c == U'θ')
        return kSlotTheta;
    return -1;
}

void StoreHandler::handle(EvalRun& run)
{
    store(run.X, run.stack, run.R);
}

bool StoreHandler::fail(int error, int location, Operand& R)
{
    p_.setError(error, location, R);
    return false;
}

void StoreHandler::store(const Operand& target, VQStack& stack, Operand& R)
{
    if (stack.count() == 0) {
        fail(ErrSyntax, R.location, R);
        return;
    }
    if (target.kind != KindVariable) {
        fail(ErrArgument, target.location, R);
        return;
    }
    const Operand value = p_.popValueFromStack(&stack);
    if (p_.error() != 0) {
        R.kind = KindError;
        R.error = p_.error();
        return;
    }

    Operand typed = target;
    if (typed.var.subKind == VarNone) {
        if (isNumber(value))
            typed.var.subKind = VarReal;
        else if (isList(value))
            typed.var.subKind = VarList;
        else if (value.kind == KindString)
            typed.var.subKind = VarString;
        else {
            fail(ErrSyntax, value.location, R);
            return;
        }
    }

    bool stored = false;
    switch (typed.var.subKind) {
    case VarReal: stored = storeReal(typed, value, R); break;
    case VarList: stored = storeList(typed, value, R); break;
    case VarMatrix: stored = storeMatrix(typed, value, R); break;
    case VarSeed: stored = storeSeed(value, R); break;
    case VarListElement: stored = storeListElement(typed, value, R); break;
    case VarMatrixElement: stored = storeMatrixCell(typed, value, R); break;
    case VarString: stored = storeString(typed, value, R); break;
    case VarEquation: stored = storeEquation(typed, value, R); break;
    default:
        // Dimensions, pictures and databases are not stored through the arrow.
        stored = fail(ErrArgument, value.location, R);
        break;
    }
    if (!stored)
        return;

    const int location = R.location;
    const bool decimal = R.hasDecimalPoint;
    R = value;
    R.location = location;
    R.hasDecimalPoint = decimal;
    R.error = 0;
}

bool StoreHandler::storeReal(const Operand& target, const Operand& value, Operand& R)
{
    const int slot = slotForReference(target.var);
    if (slot == -2)
        return fail(ErrSyntax, value.location, R);
    if (slot >= Calculator::kVarCount)
        return fail(ErrArgument, value.location, R);

    if (slot == kSlotUStart || slot == kSlotVStart || slot == kSlotWStart)
        return storeSequenceStart(slot, value, R);

    if (slot == kSlotTblInput) {
        if (!isList(value))
            return fail(ErrArgument, value.location, R);
        if (!calc_.storeTableList(*value.list))
            return fail(ErrMemory, value.location, R);
        return true;
    }

    if (isList(value)) {
        // A list stored into a real variable is kept as a list of the variable's name.
        const std::string name = target.var.token != 0
            ? Vocabulary::shared().nameForOpcode(static_cast<std::uint32_t>(target.var.token))
            : target.var.name;
        if (name.empty())
            return fail(ErrSyntax, value.location, R);
        if (!calc_.storeList(name, VQList::listWithList(*value.list)))
            return fail(ErrMemory, value.location, R);
        return true;
    }
    if (!isNumber(value))
        return fail(ErrArgument, value.location, R);
    // A one-character name that names no variable slot.
    if (slot < 0)
        return fail(ErrSyntax, value.location, R);
    return storeWindow(slot, value, R);
}

bool StoreHandler::storeWindow(int slot, const Operand& value, Operand& R)
{
    if (!storeSlot(slot, value, R))
        return false;
    // A histogram's bins follow the window, whoever changes it.
    static constexpr int kWindow[] = {kSlotXmin, kSlotXmax, kSlotYmin, kSlotYmax, kSlotDeltaX, kSlotDeltaY, kSlotXscl, kSlotYscl};
    if (calc_.statGraphManager && std::find(std::begin(kWindow), std::end(kWindow), slot) != std::end(kWindow))
        calc_.statGraphManager->windowChanged();
    return true;
}

bool StoreHandler::storeSlot(int slot, const Operand& value, Operand& R)
{
    auto& vars = calc_.state().vars;
    const std::complex<double> z = value.value;
    switch (slot) {
    case kSlotXmin:
    case kSlotXmax:
    case kSlotYmin:
    case kSlotYmax: {
        if (z.imag() != 0)
            return fail(ErrDomain, value.location, R);
        vars[slot] = z;
        const bool x = slot == kSlotXmin || slot == kSlotXmax;
        const int lo = x ? kSlotXmin : kSlotYmin;
        const int hi = x ? kSlotXmax : kSlotYmax;
        if (vars[hi].real() > vars[lo].real())
            vars[x ? kSlotDeltaX : kSlotDeltaY] = (vars[hi] - vars[lo]) / vars[x ? kSlotScrWidth : kSlotScrHeight];
        return true;
    }
    case kSlotDeltaX:
    case kSlotDeltaY: {
        if (z.imag() != 0 || !(z.real() >= 0))
            return fail(ErrDomain, value.location, R);
        vars[slot] = z;
        if (slot == kSlotDeltaX)
            vars[kSlotXmax] = vars[kSlotXmin] + z * vars[kSlotScrWidth];
        else
            vars[kSlotYmax] = vars[kSlotYmin] + z * vars[kSlotScrHeight];
        return true;
    }
    case kSlotScrWidth:
    case kSlotScrHeight:
        return fail(ErrArgument, value.location, R);
    case kSlotPY:
        calc_.setVar(kSlotCY, recordOf(value));
        break;
    default:
        break;
    }
    calc_.setVar(slot, recordOf(value));
    return true;
}

bool StoreHandler::storeSequenceStart(int slot, const Operand& value, Operand& R)
{
    YEqManager* yEq = calc_.yEqManager.get();
    const int token = slot == kSlotUStart ? 0x5E83 : slot == kSlotVStart ? 0x5E84 : 0x5E85;
    VQList one;
    const VQList* list = nullptr;
    if (isList(value))
        list = value.list.get();
    else if (value.kind == KindReal) {
        one.addReal(value.re(), 15, -15);
        list = &one;
    }
    if (!list || !yEq)
        return fail(ErrArgument, value.location, R);
    if (const int error = yEq->initSeq(token, list); error != 0)
        return fail(error, value.location, R);
    return true;
}

bool StoreHandler::storeList(const Operand& target, const Operand& value, Operand& R)
{
    if (!isList(value))
        return fail(ErrArgument, value.location, R);
    if (target.var.name.empty())
        return fail(ErrSyntax, value.location, R);
    if (!calc_.storeList(target.var.name, VQList::listWithList(*value.list)))
        return fail(ErrMemory, value.location, R);
    return true;
}

bool StoreHandler::storeListElement(const Operand& target, const Operand& value, Operand& R)
{
    if (!isNumber(value))
        return fail(ErrArgument, value.location, R);
    const std::string& name = target.var.name;
    if (name.empty())
        return fail(ErrSyntax, value.location, R);
    const int position = target.var.elem1;
    VQList* list = listForElement(calc_, name, position);
    if (!list)
        return fail(inReach(calc_, name, position) ? ErrMemory : ErrInvalidDim, value.location, R);
    if (value.kind == KindReal)
        list->setReal(value.re(), value.sigFig, value.sigDec, position);
    else
        list->setComplex(value.value, position);
    return true;
}

bool StoreHandler::inReach(const Calculator& calc, const std::string& name, int position)
{
    const auto it = calc.state().lists.find(name);
    const int length = it == calc.state().lists.end() ? 0 : it->second.count();
    return position >= 0 && position < kMaxListLength && position <= length;
}

VQList* StoreHandler::listForElement(Calculator& calc, const std::string& name, int position)
{
    if (!inReach(calc, name, position))
        return nullptr;
    auto it = calc.state().lists.find(name);
    if (it != calc.state().lists.end() && position < it->second.count())
        return &it->second;
    // The list is made, or grows, only once the store is sure to happen.
    return calc.listToGrow(name, 1);
}

bool StoreHandler::storeMatrix(const Operand& target, const Operand& value, Operand& R)
{
    const int n = target.var.index;
    if (n < 0 || n >= Calculator::kMatrixCount || value.kind != KindMatrix || !value.matrix)
        return fail(ErrArgument, value.location, R);
    std::optional<VQMatrix> copy = VQMatrix::matrixWithMatrix(*value.matrix);
    if (!copy || !calc_.storeMatrix(static_cast<std::size_t>(n), std::move(*copy)))
        return fail(ErrMemory, value.location, R);
    return true;
}

bool StoreHandler::storeMatrixCell(const Operand& target, const Operand& value, Operand& R)
{
    const int n = target.var.index;
    if (n < 0 || n >= Calculator::kMatrixCount || value.kind != KindReal)
        return fail(ErrArgument, value.location, R);
    VQMatrix& m = calc_.state().matrices[static_cast<std::size_t>(n)];
    const int col = target.var.elem1;
    const int row = target.var.elem2;
    if (col < 0 || static_cast<std::size_t>(col) >= m.dimCol() || row < 0 || static_cast<std::size_t>(row) >= m.dimRow())
        return fail(ErrInvalidDim, value.location, R);
    m.setSNum({static_cast<std::int8_t>(value.sigFig), static_cast<std::int8_t>(value.sigDec), value.re()},
              static_cast<std::size_t>(row), static_cast<std::size_t>(col));
    return true;
}

bool StoreHandler::storeString(const Operand& target, const Operand& value, Operand& R)
{
    const int n = target.var.index - 0xAA00;
    if (n < 0 || n >= Calculator::kStringCount || value.kind != KindString || !value.string)
        return fail(ErrArgument, value.location, R);
    if (!calc_.storeString(static_cast<std::size_t>(n), *value.string))
        return fail(ErrMemory, value.location, R);
    return true;
}

bool StoreHandler::storeEquation(const Operand& target, const Operand& value, Operand& R)
{
    YEqManager* yEq = calc_.yEqManager.get();
    if (!isEquationToken(target.var.index) || value.kind != KindString || !value.string || !yEq)
        return fail(ErrArgument, value.location, R);
    if (const int error = yEq->setYEqFunc(target.var.index, value.string->toVector()); error != 0)
        return fail(error, value.location, R);
    return true;
}

bool StoreHandler::storeSeed(const Operand& value, Operand& R)
{
    if (value.kind != KindReal)
        return fail(ErrArgument, value.location, R);
    // Truncated, each whole value a seed of its own (none folded onto another).
    const auto seed = RandomDeviates::seedFor(value.re());
    if (!seed)
        return fail(ErrDomain, value.location, R);
    RandomSource::shared().seed(*seed);
    return true;
}

} // namespace orvenda
