#include "eval/StoredDataCommands.h"

#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/VQStack.h"
#include "core/services/GDBManager.h"
#include "core/services/StatGraphManager.h"
#include "core/services/YEqManager.h"
#include "eval/ArgumentFetcher.h"
#include "eval/EvalRun.h"
#include "eval/Evaluator.h"
#include "eval/OwnPageHandlers.h"
#include "eval/Parser.h"
#include "eval/ShadeEvaluation.h"
#include "language/ErrorNumbers.h"
#include "language/VariableSlots.h"
#include "numeric/ElementaryFunctions.h"

#include <string>
#include <utility>
#include <vector>

namespace orvenda {

namespace {

constexpr int kMatrToList = 0xBB39, kListToMatr = 0xBB3A, kGraphStyle = 0xBB45, kSetUpEditor = 0xBB4A,
              kDelVar = 0xBB54, kFirstShade = 0xBB35;
constexpr int kFirstString = 0xAA00;
constexpr const char* kEditorLists[] = {"L₁", "L₂", "L₃", "L₄", "L₅", "L₆"};

bool isListVariable(const Operand& op)
{
    return op.kind == KindVariable && op.var.subKind == VarList;
}

bool isMatrixVariable(const Operand& op)
{
    return op.kind == KindVariable && op.var.subKind == VarMatrix && op.var.index >= 0
        && op.var.index < Calculator::kMatrixCount;
}

} // namespace

StoredDataCommands::StoredDataCommands(Parser& parser) : p_(parser), calc_(parser.calc) {}

bool StoredDataCommands::handles(int t)
{
    return (t >= kFirstShade && t <= kListToMatr) || t == kGraphStyle || t == kSetUpEditor || t == kDelVar;
}

void StoredDataCommands::handle(EvalRun& run)
{
    switch (run.token) {
    case kMatrToList: matrixToLists(run); break;
    case kListToMatr: listsToMatrix(run); break;
    case kSetUpEditor: setUpEditor(run); break;
    case kDelVar: deleteVariable(run); break;
    case kGraphStyle: graphStyle(run); break;
    default:
        shade(run);
        return;
    }
    if (p_.error() == 0) {
        run.R.kind = KindDone;
        run.R.opcode = run.opcode;
    }
}

bool StoredDataCommands::fail(int error, int location)
{
    p_.setError(error);
    p_.setErrorToken(location);
    return false;
}

void StoredDataCommands::matrixToLists(EvalRun& run)
{
    const int count = static_cast<int>(run.number);
    if (p_.validateArgsMin(2, 100, count, run.stack) == 0)
        return;
    // The matrix argument, looked at where it lies.
    const int base = run.stack.count() - count;
    const Operand* first = run.stack.opAtIndex(base);
    const Operand matrixValue = run.stack.getValueWithOp(first);
    if (matrixValue.kind != KindMatrix || !matrixValue.matrix)
        return void(fail(ErrArgument, first->location));
    const VQMatrix& m = *matrixValue.matrix;
    const Operand* second = run.stack.opAtIndex(base + 1);
    const bool columnForm =
        second->kind == KindReal || (second->kind == KindVariable && second->var.subKind == VarReal);

    std::vector<std::pair<std::string, VQList>> stores;
    if (columnForm) {
        // Matrix, column, list name.
        if (count != 3)
            return void(fail(ErrSyntax, second->location));
        Operand name;
        run.stack.pop(name);
        if (!isListVariable(name))
            return void(fail(ErrArgument, name.location));
        const Operand column = p_.popValueFromStack(&run.stack);
        if (p_.error() != 0)
            return;
        if (column.kind != KindReal || !ElementaryFunctions::isWhole(column.re()))
            return void(fail(ErrArgument, column.location));
        const auto index = ArgumentFetcher::wholeIn(column.re(), 1, static_cast<int>(m.dimCol()));
        if (!index)
            return void(fail(ErrDimMismatch, column.location));
        stores.emplace_back(name.var.name, *m.listForCol(static_cast<std::size_t>(*index) - 1));
    } else {
        // Matrix, then one list name per column from the first.
        if (double(m.dimCol()) < count - 1)
            return void(fail(ErrDimMismatch, run.R.location));
        for (int k = count - 2; k >= 0; --k) {
            Operand name;
            run.stack.pop(name);
            if (!isListVariable(name))
                return void(fail(ErrArgument, name.location));
            stores.emplace_back(name.var.name, *m.listForCol(static_cast<std::size_t>(k)));
        }
    }
    run.stack.drop();
    if (!calc_.storeLists(std::move(stores)))
        fail(ErrMemory, run.R.location);
}

void StoredDataCommands::listsToMatrix(EvalRun& run)
{
    const int count = static_cast<int>(run.number);
    if (p_.validateArgsMin(1, 100, count, run.stack) == 0)
        return;
    Operand target;
    run.stack.pop(target);
    if (!isMatrixVariable(target))
        return void(fail(ErrArgument, target.location));
    std::vector<VQList> lists(static_cast<std::size_t>(count - 1));
    for (int k = count - 2; k >= 0; --k) {
        const Operand l = p_.popValueFromStack(&run.stack);
        if (p_.error() != 0)
            return;
        if (!isList(l) || l.list->type() != 0)
            return void(fail(ErrArgument, l.location));
        lists[static_cast<std::size_t>(k)] = *l.list;
    }
    auto m = VQMatrix::matrixFromLists(lists);
    if (!m || !calc_.storeMatrix(static_cast<std::size_t>(target.var.index), std::move(*m)))
        return void(fail(ErrMemory, run.R.location));
}

void StoredDataCommands::setUpEditor(EvalRun& run)
{
    const int count = static_cast<int>(run.number);
    p_.validateArgsMin(0, 20, count, run.stack);
    if (p_.error() != 0)
        return;
    // The statement parser lays the names out with the first on top, so popping gives
    // the columns in the order the names were written.
    std::vector<std::string> columns;
    for (int k = 0; k < count; ++k) {
        Operand name;
        run.stack.pop(name);
        if (!isListVariable(name))
            return void(fail(ErrSyntax, name.location));
        columns.push_back(name.var.name);
    }
    if (count == 0)
        columns.assign(std::begin(kEditorLists), std::end(kEditorLists));
    calc_.state().statEditList = std::move(columns);
}

void StoredDataCommands::deleteVariable(EvalRun& run)
{
    const Operand& v = run.X;
    if (v.kind != KindVariable)
        return void(fail(ErrArgument, v.location));
    switch (v.var.subKind) {
    case VarReal:
        calc_.setVar(v.var.index, VariableRecord{});
        break;
    case VarList:
        calc_.eraseList(v.var.name);
        break;
    case VarMatrix:
        if (v.var.index < 0 || v.var.index >= Calculator::kMatrixCount)
            return void(fail(ErrArgument, v.location));
        calc_.storeMatrix(static_cast<std::size_t>(v.var.index), VQMatrix());
        break;
    case VarString: {
        const int n = v.var.index - kFirstString;
        if (n < 0 || n >= Calculator::kStringCount)
            return void(fail(ErrArgument, v.location));
        calc_.storeString(static_cast<std::size_t>(n), {});
        break;
    }
    case VarEquation:
        if (calc_.yEqManager)
            calc_.yEqManager->deleteEquation(v.var.token);
        break;
    case VarGDB:
        GDBManager::deleteGDB(calc_.nameForOpcode(static_cast<std::uint32_t>(v.var.token)));
        break;
    default:
        fail(ErrArgument, v.location);
        break;
    }
}

void StoredDataCommands::graphStyle(EvalRun& run)
{
    const int count = static_cast<int>(run.number);
    if (p_.validateArgsMin(2, 3, count, run.stack) == 0)
        return;
    double r = 0, g = 1, b = 0;
    if (count == 3) {
        const auto colour = p_.getColorFromStack(run.stack);
        if (!colour) {
            if (p_.error() == 0)
                fail(ErrArgument, p_.errorToken());
            return;
        }
        r = colour->realAtIndex(0);
        g = colour->realAtIndex(1);
        b = colour->realAtIndex(2);
    }
    // Style numbers 1..6 and the style codes they stand for.
    static constexpr int kCodes[] = {2, 4, 8, 16, 10, 18};
    int style = 0, number = 0;
    if (!p_.getInt(style, 1, 6, run.stack))
        return;
    const int mode = calc_.graphMode();
    const int lowest = mode >= 1 && mode <= 3 ? 1 : 0, highest = mode == 1 || mode == 2 ? 6 : mode == 3 ? 3 : 9;
    if (!p_.getInt(number, lowest, highest, run.stack))
        return;
    // Number 0 is the tenth equation.
    const int token = OwnPageHandlers::equationToken(mode, number == 0 ? 9 : number - 1);
    if (YEqManager* equations = calc_.yEqManager.get()) {
        const int word = kCodes[style - 1] | (equations->shouldPlotFunction(token) ? 1 : 0);
        equations->setStyle(word, VQColor::colorR(r, g, b, 1.0), token);
    }
}

void StoredDataCommands::shade(EvalRun& run)
{
    ShadeEvaluation::Bounds bounds{};
    auto record = ShadeEvaluation(p_).evalShadeFunction(run.stack, run.number, run.token, bounds);
    if (!record)
        return;
    Calculator& calc = calc_;
    p_.evaluator().drawOnMain(run, [&calc, record, bounds] {
        calc.drawing.push_back(record);
        const int slots[] = {kSlotXmin, kSlotXmax, kSlotYmin, kSlotYmax};
        for (int i = 0; i < 4; ++i)
            calc.setVar(slots[i], VariableRecord{{bounds[static_cast<std::size_t>(i)], 0.0}});
        if (calc.statGraphManager)
            calc.statGraphManager->windowChanged();
        calc.showGraphView(true);
    });
    run.R.kind = KindGraphShown;
}

} // namespace orvenda
