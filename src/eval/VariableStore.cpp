#include "eval/VariableStore.h"

#include "core/Calculator.h"
#include "core/RandomSource.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/services/YEqManager.h"
#include "eval/Parser.h"
#include "eval/StoreHandler.h"
#include "language/ErrorNumbers.h"
#include "numeric/BitOps.h"

namespace orvenda {

namespace {
constexpr int kTblInput = 0x632A;
}

VariableStore::VariableStore(Parser& parser) : p_(parser), calc_(parser.calc) {}

bool VariableStore::fail(int error, int location)
{
    p_.setError(error);
    p_.setErrorToken(location);
    return false;
}

void VariableStore::store(const Operand& value, const Operand& target)
{
    if (target.kind != KindVariable) {
        fail(ErrArgument, target.location);
        return;
    }
    int subKind = target.var.subKind;
    if (subKind == VarNone) {
        if (isNumber(value))
            subKind = VarReal;
        else if (value.kind == KindRealList || value.kind == KindComplexList)
            subKind = VarList;
        else if (value.kind == KindString)
            subKind = VarString;
        else {
            fail(ErrSyntax, value.location);
            return;
        }
    }
    if (p_.error() != 0)
        return;

    const int index = target.var.index;
    switch (subKind) {
    case VarReal:
        storeReal(value, target);
        return;
    case VarList:
        if (value.kind != KindRealList || !value.list || target.var.name.empty()) {
            fail(ErrArgument, value.location);
            return;
        }
        if (!calc_.storeList(target.var.name, VQList::listWithList(*value.list)))
            fail(ErrMemory, value.location);
        return;
    case VarMatrix:
        if (value.kind != KindMatrix || !value.matrix || index < 0 || index >= Calculator::kMatrixCount) {
            fail(ErrArgument, value.location);
            return;
        }
        if (!calc_.storeMatrix(static_cast<std::size_t>(index), *value.matrix))
            fail(ErrMemory, value.location);
        return;
    case VarSeed:
        if (value.kind != KindReal) {
            fail(ErrArgument, value.location);
            return;
        }
        RandomSource::shared().seed(BitOps::toUInt32(value.re()));
        return;
    case VarListElement:
        storeListElement(value, target);
        return;
    case VarMatrixElement:
        storeMatrixCell(value, target);
        return;
    case VarString:
        if (index - 0xAA00 < 0 || index - 0xAA00 >= Calculator::kStringCount)
            return;
        if (value.kind != KindString || !value.string) {
            fail(ErrArgument, value.location);
            return;
        }
        if (!calc_.storeString(static_cast<std::size_t>(index - 0xAA00), *value.string))
            fail(ErrMemory, value.location);
        return;
    case VarEquation: {
        if (!StoreHandler::isEquationToken(index))
            return;
        YEqManager* yEq = calc_.yEqManager.get();
        if (value.kind != KindString || !value.string || !yEq) {
            fail(ErrArgument, value.location);
            return;
        }
        yEq->setYEqFunc(index, value.string->toVector());
        return;
    }
    default:
        // Dimensions, pictures and databases take no answer.
        return;
    }
}

void VariableStore::storeReal(const Operand& value, const Operand& target)
{
    if (target.var.token == kTblInput) {
        if (!isList(value)) {
            fail(ErrArgument, value.location);
            return;
        }
        if (!calc_.storeTableList(*value.list))
            fail(ErrMemory, value.location);
        return;
    }
    const int slot = StoreHandler::slotForReference(target.var);
    // A name that is not one character, or one that names no variable.
    if (slot < 0) {
        fail(ErrSyntax, value.location);
        return;
    }
    if (!isNumber(value)) {
        fail(ErrArgument, value.location);
        return;
    }
    calc_.setVar(slot, {value.value, static_cast<std::int8_t>(value.sigFig), static_cast<std::int8_t>(value.sigDec)});
}

void VariableStore::storeListElement(const Operand& value, const Operand& target)
{
    auto it = calc_.state().lists.find(target.var.name);
    const int position = target.var.elem1;
    if (it == calc_.state().lists.end() || position < 0 || position >= it->second.count()) {
        fail(ErrInvalidDim, value.location);
        return;
    }
    if (value.kind == KindComplex)
        it->second.setComplex(value.value, position);
    else if (value.kind == KindReal)
        it->second.setReal(value.re(), value.sigFig, value.sigDec, position);
    else
        fail(ErrArgument, value.location);
}

void VariableStore::storeMatrixCell(const Operand& value, const Operand& target)
{
    const int n = target.var.index;
    if (n < 0 || n >= Calculator::kMatrixCount) {
        fail(ErrArgument, value.location);
        return;
    }
    VQMatrix& m = calc_.state().matrices[static_cast<std::size_t>(n)];
    const int col = target.var.elem1;
    const int row = target.var.elem2;
    if (col < 0 || static_cast<std::size_t>(col) >= m.dimCol() || row < 0 || static_cast<std::size_t>(row) >= m.dimRow()) {
        fail(ErrInvalidDim, value.location);
        return;
    }
    if (value.kind != KindReal) {
        fail(ErrArgument, value.location);
        return;
    }
    m.set(value.re(), static_cast<std::size_t>(row), static_cast<std::size_t>(col));
}

} // namespace orvenda
