#include "eval/NumericArguments.h"

#include "core/VQList.h"
#include "core/VQStack.h"
#include "eval/EvalRun.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"

#include <cmath>
#include <memory>

namespace orvenda {

namespace {

bool isRealList(const Operand& op)
{
    return op.kind == KindRealList && op.list;
}

bool isRealOrList(const Operand& op)
{
    return op.kind == KindReal || isRealList(op);
}

bool isString(const Operand& op)
{
    return op.kind == KindString && op.string;
}

} // namespace

bool NumericArguments::count(int min, int max, int& n)
{
    n = static_cast<int>(run_.number);
    p_.validateArgsMin(min, max, n, run_.stack);
    return p_.error() == 0;
}

bool NumericArguments::pop(Operand& into, bool (*accepts)(const Operand&))
{
    if (run_.stack.count() == 0)
        return fail(ErrArgument);
    into = p_.popValueFromStack(&run_.stack);
    if (p_.error() != 0)
        return false;
    return accepts(into) || fail(ErrArgument);
}

bool NumericArguments::real(double& value)
{
    Operand op;
    if (!pop(op, isReal))
        return false;
    value = op.re();
    return true;
}

bool NumericArguments::realOrList(Operand& into)
{
    return pop(into, isRealOrList);
}

bool NumericArguments::realList(Operand& into)
{
    return pop(into, isRealList);
}

bool NumericArguments::string(Operand& into)
{
    return pop(into, isString);
}

bool NumericArguments::fail(int error)
{
    p_.setError(error);
    return false;
}

int NumericArguments::tokenLocation() const
{
    const Operand* record = run_.rpn.opAtIndex(run_.index);
    return record ? record->location : run_.R.location;
}

bool NumericArguments::failAtToken(int error)
{
    p_.setErrorToken(tokenLocation());
    return fail(error);
}

void NumericArguments::result(double x)
{
    // Arguments at the edge of what a routine can compute come back as NaN: no answer.
    if (std::isnan(x)) {
        fail(ErrDomain);
        return;
    }
    Operand& R = run_.R;
    R.kind = KindReal;
    R.value = {x, 0.0};
    R.sigFig = 15;
    R.sigDec = -15;
}

void NumericArguments::result(VQList list)
{
    Operand& R = run_.R;
    R.kind = KindRealList;
    R.list = std::make_shared<VQList>(std::move(list));
}

} // namespace orvenda
