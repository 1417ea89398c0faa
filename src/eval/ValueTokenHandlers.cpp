#include "eval/ValueTokenHandlers.h"

#include "core/RandomSource.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/VQStack.h"
#include "core/VQValue.h"
#include "core/services/EntryManager.h"
#include "core/services/HistoryManager.h"
#include "eval/ArgumentFetcher.h"
#include "eval/EvalRun.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "language/Utf8.h"
#include "language/Vocabulary.h"
#include "numeric/ElementaryFunctions.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace orvenda {

namespace {

// Whole numbers beyond int reach are clamped; they are out of every range anyway.
int toIndex(double x)
{
    return ArgumentFetcher::clampedInt(x, -2000000000, 2000000000);
}

std::string utf8(const std::array<char32_t, 32>& name)
{
    std::string s;
    for (char32_t c : name) {
        if (c == 0)
            break;
        char buf[4];
        s.append(buf, static_cast<std::size_t>(Utf8::encode(c, buf)));
    }
    return s;
}

void setReal(Operand& R, double x)
{
    R.kind = KindReal;
    R.value = {x, 0.0};
    R.sigFig = 15;
    R.sigDec = -15;
}

} // namespace

ValueTokenHandlers::ValueTokenHandlers(Parser& parser)
    : p_(parser), calc_(parser.calc), clock_([] { return std::chrono::system_clock::now(); })
{
}

bool ValueTokenHandlers::isEarlyToken(int t)
{
    return t == 0x2C || t == 0x72 || t == 0xAD || t == 0x1000 || (t >= 0xEF09 && t <= 0xEF0D) || t == 0xFB
        || t == 0xBB52 || t == 0xBB57;
}

bool ValueTokenHandlers::isIndexedToken(int t) { return (t >= 0x1001 && t <= 0x1011) || t == 0x101D; }

bool ValueTokenHandlers::fail(int error, int location, EvalRun& run)
{
    p_.setError(error, location, run.R);
    return true;
}

Operand ValueTokenHandlers::ansOperand()
{
    Operand ans;
    calc_.ans.getOperand(ans);
    return ans;
}

// A complex Ans switches to complex arithmetic for the rest of the run; a fraction or
// mixed-number Ans keeps its display.
void ValueTokenHandlers::pushAnsRules(const Operand& ans)
{
    const bool complexList = (ans.kind == KindRealList || ans.kind == KindComplexList) && ans.list
        && ans.list->type() != 0;
    if (ans.kind == KindComplex || complexList)
        calc_.switchToComplexForEvaluation();
    if (ans.displayMod == 2)
        p_.ctx().f_und = true;
    else if (ans.displayMod == 1)
        p_.ctx().f_nd = true;
}

void ValueTokenHandlers::clockList(int a, int b, int c, Operand& R)
{
    auto list = std::make_shared<VQList>();
    list->addReal(a, 15, -15);
    list->addReal(b, 15, -15);
    list->addReal(c, 15, -15);
    R.kind = KindRealList;
    R.list = std::move(list);
}

bool ValueTokenHandlers::handleEarly(EvalRun& run)
{
    Operand& R = run.R;
    switch (run.token) {
    case 0x2C: // imaginary unit
        R.kind = KindComplex;
        R.value = {0.0, 1.0};
        R.sigFig = 15;
        R.sigDec = -15;
        calc_.switchToComplexForEvaluation();
        return true;
    case 0x72: { // Ans
        const int location = R.location;
        const bool decimal = R.hasDecimalPoint;
        R = ansOperand();
        R.location = location;
        R.hasDecimalPoint = decimal;
        pushAnsRules(R);
        return true;
    }
    case 0xAD: // getKey: the last key, which reading clears
        setReal(R, calc_.getKey());
        return true;
    case 0x1000: // rand without argument
        setReal(R, RandomSource::shared().uniform());
        return true;
    case 0xEF09:
    case 0xEF0A: {
        const std::time_t now = std::chrono::system_clock::to_time_t(clock_());
        std::tm local{};
        localtime_r(&now, &local);
        if (run.token == 0xEF09)
            clockList(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, R);
        else
            clockList(local.tm_hour, local.tm_min, local.tm_sec, R);
        return true;
    }
    case 0xEF0B: // startTmr
        setReal(R, std::chrono::duration<double>(clock_() - calc_.startTime).count());
        return true;
    case 0xEF0C: // getDtFmt
        setReal(R, calc_.state().dateFormat + 1);
        return true;
    case 0xEF0D: // getTmFmt
        setReal(R, calc_.state().timeFormat == 0 ? 12 : 24);
        return true;
    case 0xFB: // ClrTable
        calc_.state().tableList.removeAllValues();
        break;
    case 0xBB52: // ClrAllLists
        calc_.clearAllLists();
        break;
    case 0xBB57: // Clear Entries
        calc_.onMainThread([&calc = calc_] {
            if (calc.historyManager)
                calc.historyManager->clearAll();
            if (calc.entryManager)
                calc.entryManager->clearEntries();
        });
        break;
    default:
        return false;
    }
    R.kind = KindDone;
    R.opcode = static_cast<std::uint32_t>(run.token);
    return true;
}

bool ValueTokenHandlers::handleIndexed(EvalRun& run)
{
    const int t = run.token;
    if (t == 0x1001) {
        const Operand* record = run.rpn.opAtIndex(run.index);
        std::string name;
        if (record)
            name = record->var.name.empty() ? utf8(record->name) : record->var.name;
        return listElement(run, -1, name);
    }
    if (t >= 0x1002 && t <= 0x1007)
        return listElement(run, t - 0x1002,
                           Vocabulary::shared().nameForOpcode(static_cast<std::uint32_t>(t - 0x1002 + 0x5D00)));
    if (t >= 0x1008 && t <= 0x1011)
        return matrixElement(run, t - 0x1008);
    if (t == 0x101D)
        return ansElement(run);
    return false;
}

// An element index is a whole real number; true when it is not (the error is set).
bool ValueTokenHandlers::badIndex(const Operand& index, int location, EvalRun& run)
{
    if (index.kind != KindReal)
        return fail(ErrDimMismatch, location, run);
    if (!ElementaryFunctions::isWhole(index.re()))
        return fail(ErrInvalidDim, location, run);
    return false;
}

// Bounds are checked by whoever reads or stores through the reference.
VarRef& ValueTokenHandlers::elementReference(EvalRun& run, int subKind, int index, double elem1)
{
    Operand& R = run.R;
    R.kind = KindVariable;
    R.var = VarRef{};
    R.var.subKind = subKind;
    R.var.token = run.token;
    R.var.index = index;
    R.var.elem1 = toIndex(elem1) - 1;
    return R.var;
}

bool ValueTokenHandlers::listElement(EvalRun& run, int listIndex, const std::string& name)
{
    if (badIndex(run.X, run.X.location, run))
        return true;
    elementReference(run, VarListElement, listIndex, run.X.re()).name = name;
    return true;
}

bool ValueTokenHandlers::matrixElement(EvalRun& run, int matrixIndex)
{
    const Operand& X = run.X;
    if (badIndex(X, X.location, run))
        return true;
    const Operand row = p_.popValueFromStack(&run.stack);
    if (p_.error() != 0 || badIndex(row, X.location, run))
        return true;
    elementReference(run, VarMatrixElement, matrixIndex, X.re()).elem2 = toIndex(row.re()) - 1;
    return true;
}

bool ValueTokenHandlers::ansElement(EvalRun& run)
{
    Parser& args = p_;
    const int count = args.validateArgsMin(1, 2, static_cast<int>(run.number), run.stack);
    if (count == 0)
        return true;
    run.X = args.popValueFromStack(&run.stack);
    if (p_.error() != 0)
        return true;
    const Operand& X = run.X;
    Operand& R = run.R;
    const VQValue ans = calc_.ans.snapshot();

    if (ans.type() == VQValue::TypeMatrix) {
        const std::shared_ptr<VQMatrix> m = ans.matrix();
        if (count != 2)
            return fail(ErrDimMismatch, X.location, run);
        if (badIndex(X, X.location, run))
            return true;
        const Operand row = args.popValueFromStack(&run.stack);
        if (p_.error() != 0 || badIndex(row, X.location, run))
            return true;
        const double r = row.re(), c = X.re();
        if (!m || r < 1 || c < 1 || r > static_cast<double>(m->dimRow()) || c > static_cast<double>(m->dimCol()))
            return fail(ErrInvalidDim, X.location, run);
        setReal(R, m->row(static_cast<std::size_t>(r) - 1, static_cast<std::size_t>(c) - 1));
        return true;
    }

    if (ans.type() == VQValue::TypeList || ans.type() == VQValue::TypeComplexList) {
        const std::shared_ptr<VQList> list = ans.list();
        if (count != 1 || X.kind != KindReal)
            return fail(ErrDimMismatch, X.location, run);
        const double i = X.re();
        if (!list || !ElementaryFunctions::isWhole(i) || i < 1 || i > list->count())
            return fail(ErrInvalidDim, X.location, run);
        const int k = static_cast<int>(i) - 1;
        if (list->type() == 0) {
            setReal(R, list->realAtIndex(k));
        } else {
            R.kind = KindComplex;
            R.value = list->complexAtIndex(k);
            R.sigFig = 15;
            R.sigDec = -15;
        }
        return true;
    }

    // Any other Ans: Ans(3) is Ans × 3.
    Operand value = ansOperand();
    pushAnsRules(value);
    run.stack.pushOperand(std::move(value), R.location);
    run.token = 0x82;
    run.opcode = 0x82;
    run.redispatch = true;
    return true;
}

} // namespace orvenda

namespace orvenda {

void ValueTokenHandlers::storeDimension(EvalRun& run)
{
    const Operand target = run.X;
    Operand value = target.kind == KindVariable ? run.stack.getValueWithOp(&target) : target;
    if (value.kind == KindError && value.error != 0) {
        fail(value.error, value.location, run);
        return;
    }
    if (run.stack.count() == 0) {
        fail(ErrSyntax, run.R.location, run);
        return;
    }
    const Operand Y = p_.popValueFromStack(&run.stack);
    if (p_.error() != 0)
        return;
    // Resized in a copy of its own, so a list or matrix that is no variable (Ans) stays.
    if (target.kind != KindVariable) {
        if (value.list)
            value.list = std::make_shared<VQList>(*value.list);
        if (value.matrix)
            value.matrix = std::make_shared<VQMatrix>(*value.matrix);
    }
    const int location = run.R.location;
    run.R = p_.binaryOp(run.token, value, Y);
    if (p_.error() != 0 || (run.R.kind == KindError && run.R.error != 0))
        return;
    run.R.location = location;
    if (target.kind != KindVariable)
        return;
    bool stored = true;
    if (target.var.subKind == VarList && value.list && !target.var.name.empty())
        stored = calc_.storeList(target.var.name, *value.list);
    else if (target.var.subKind == VarMatrix && value.matrix && target.var.index >= 0
             && target.var.index < Calculator::kMatrixCount)
        stored = calc_.storeMatrix(static_cast<std::size_t>(target.var.index), *value.matrix);
    if (!stored)
        fail(ErrMemory, location, run);
}

} // namespace orvenda
