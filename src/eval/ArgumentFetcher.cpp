#include "eval/ArgumentFetcher.h"

#include "core/Calculator.h"
#include "core/ColorTables.h"
#include "core/VQList.h"
#include "core/VQStack.h"
#include "core/services/ProgramManager.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "numeric/ElementaryFunctions.h"

#include <cmath>

namespace orvenda {

namespace {

// A colour-command colour number reaches the stack marked with sigFig -1.
constexpr int kColorMarker = -1;

bool inUnitRange(double x)
{
    return x >= 0.0 && x <= 1.0;
}

// A real list of exactly three elements, each within 0..1.
bool isColorList(const VQList* list)
{
    if (!list || list->type() != 0 || list->count() != 3)
        return false;
    for (int i = 0; i < 3; ++i)
        if (!inUnitRange(list->realAtIndex(i)))
            return false;
    return true;
}

} // namespace

void ArgumentFetcher::fail(int error)
{
    p_.setError(error);
}

Operand ArgumentFetcher::popValueFromStack(VQStack* stack)
{
    Operand op;
    popValueFromStack(stack, op);
    return op;
}

void ArgumentFetcher::popValueFromStack(VQStack* stack, Operand& into)
{
    EvalContext& c = p_.ctx();
    if (!stack) {
        into.reset();
        into.kind = KindOpcode;
        into.sigFig = 0;
        into.sigDec = 0;
        c.error = 0;
        c.errorToken = 0;
        return;
    }
    stack->popValue(into);
    c.error = into.error;
    c.errorToken = into.location;
}

int ArgumentFetcher::validateArgsMin(int min, int max, int count, const VQStack& stack)
{
    if (count < min)
        fail(ErrMissingArgument);
    else if (count > max)
        fail(ErrTooManyArguments);
    if (stack.count() < count) {
        fail(ErrMissingArgument);
        return 0;
    }
    return p_.error() == 0 ? count : 0;
}

int ArgumentFetcher::nextArgType(const VQStack& stack)
{
    const Operand* top = stack.peek();
    return top ? top->kind : -1;
}

bool ArgumentFetcher::getReal(double& value, VQStack& stack)
{
    if (stack.count() == 0) {
        fail(ErrArgument);
        return false;
    }
    const Operand op = popValueFromStack(&stack);
    if (op.error)
        return false;
    if (op.kind != KindReal) {
        fail(ErrArgument);
        return false;
    }
    value = op.re();
    return true;
}

bool ArgumentFetcher::getInt(int& value, int min, int max, VQStack& stack)
{
    double x = 0;
    if (!getReal(x, stack))
        return false;
    if (!ElementaryFunctions::isWhole(x)) {
        fail(ErrArgument);
        return false;
    }
    value = clampedInt(x);
    if (!wholeIn(x, min, max)) {
        fail(ErrArgument);
        return false;
    }
    return true;
}

bool ArgumentFetcher::getReal(double& value, int index, const VQStack* stack)
{
    if (!stack) {
        p_.setErrorToken(0);
        fail(ErrArgument);
        return false;
    }
    const Operand op = stack->getValueAt(index);
    p_.setErrorToken(op.location);
    if (op.kind != KindReal) {
        fail(ErrArgument);
        return false;
    }
    value = op.re();
    return true;
}

std::shared_ptr<VQList> ArgumentFetcher::getColorFromStack(VQStack& stack)
{
    if (stack.count() == 0) {
        fail(ErrArgument);
        return nullptr;
    }
    const Operand op = popValueFromStack(&stack);
    if (op.error)
        return nullptr;
    if (op.kind == KindRealList && op.list)
        return isColorList(op.list.get()) ? op.list : nullptr;
    if (op.kind == KindReal) {
        const double x = op.re();
        if (!ElementaryFunctions::isWhole(x)) {
            fail(ErrDomain);
            return nullptr;
        }
        if (op.sigFig == kColorMarker)
            return std::make_shared<VQList>(ColorTables::tiColor(clampedInt(x)));
        const auto n = wholeIn(x, 1, ColorTables::standardColorCount);
        if (!n) {
            fail(ErrDomain);
            return nullptr;
        }
        return std::make_shared<VQList>(ColorTables::standardColor(*n));
    }
    return nullptr;
}

std::optional<VQColor> ArgumentFetcher::getVQColorFromStack(VQStack& stack)
{
    if (stack.count() == 0) {
        fail(ErrArgument);
        return std::nullopt;
    }
    const Operand op = popValueFromStack(&stack);
    if (op.error)
        return std::nullopt;
    if (op.kind == KindRealList && op.list) {
        if (!isColorList(op.list.get())) {
            fail(ErrArgument);
            return std::nullopt;
        }
        const VQList& l = *op.list;
        return VQColor::colorR(l.realAtIndex(0), l.realAtIndex(1), l.realAtIndex(2), 1.0);
    }
    if (op.kind == KindReal) {
        const double x = op.re();
        if (!ElementaryFunctions::isWhole(x)) {
            fail(ErrDomain);
            return std::nullopt;
        }
        VQList list;
        if (op.sigFig == kColorMarker) {
            list = ColorTables::tiColor(clampedInt(x));
        } else {
            const auto n = wholeIn(x, 0, ColorTables::lastTIColor);
            if (!n) {
                fail(ErrDomain);
                return std::nullopt;
            }
            list = ColorTables::standardColor(*n);
        }
        if (list.count() < 3)
            return std::nullopt;
        return VQColor::colorR(list.realAtIndex(0), list.realAtIndex(1), list.realAtIndex(2), 1.0);
    }
    fail(ErrArgument);
    return std::nullopt;
}

bool ArgumentFetcher::getColorR(double& r, double& g, double& b, const Operand& op) const
{
    if (op.kind == KindRealList && isColorList(op.list.get())) {
        r = op.list->realAtIndex(0);
        g = op.list->realAtIndex(1);
        b = op.list->realAtIndex(2);
        return true;
    }
    if (op.kind != KindReal || !ElementaryFunctions::isWhole(op.re()))
        return false;
    // Far-off numbers are no colour; held in int reach they still read as none.
    const int n = clampedInt(op.re());
    std::array<double, 3> c{};
    if (op.sigFig == kColorMarker)
        c = ColorTables::tiComponents(n);
    else if (n >= 1 && n <= ColorTables::standardColorCount)
        c = ColorTables::standardComponents(n);
    else
        return false;
    r = c[0];
    g = c[1];
    b = c[2];
    return true;
}

bool ArgumentFetcher::getMark(int& mark, const Operand& op)
{
    if (op.kind != KindOpcode)
        return false;
    switch (op.opcode) {
    case 0x7F: mark = 0; return true;
    case 0x80: mark = 1; return true;
    case 0x81: mark = 2; return true;
    default: return false;
    }
}

std::optional<ArgumentFetcher::Ops> ArgumentFetcher::getProgram(const std::string& name)
{
    std::optional<Ops> ops;
    if (const auto& programs = p_.calc.prgmManager)
        ops = programs->opsFor(name);
    if (!ops)
        fail(ErrProgramNotFound);
    return ops;
}

} // namespace orvenda
