#include "eval/StatPlotCommands.h"

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "core/services/StatGraphManager.h"
#include "core/services/YEqManager.h"
#include "eval/ArgumentFetcher.h"
#include "eval/EvalRun.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "numeric/ElementaryFunctions.h"
#include "numeric/VQStatistics.h"

#include <optional>
#include <string>

namespace orvenda {

namespace {

constexpr int kFnOn = 0x96, kFnOff = 0x97, kPlotsOn = 0xE9, kPlotsOff = 0xEA, kPlot1 = 0xEC, kPlot3 = 0xEE,
              kPlot4 = 0x5C44, kPlot6 = 0x5C46;
constexpr int kPlotCount = 6;
constexpr int kSlotX = 23, kSlotY = 24;

// The equations FnOn and FnOff number in each graph mode.
struct EquationSet {
    int highest;
    int lowest;
    int firstToken;
};

EquationSet equationsOf(int graphMode)
{
    switch (graphMode) {
    case 0: return {9, 0, 0x5E10};  // Y₁..Y₀
    case 1: return {6, 1, 0x5E20};  // X₁T..X₆T, each with its Y
    case 2: return {6, 1, 0x5E40};  // r₁..r₆
    case 3: return {3, 1, 0x5E80};  // u, v, w
    case 4: return {9, 0, 0x5EA0};
    default: return {0, 0, 0x5E10};
    }
}

// A plot type token with the argument counts it takes (the type included).
struct PlotType {
    int token;
    int type;
    int fewest;
    int most;
};

constexpr PlotType kPlotTypes[] = {
    {0xFE, StatGraphManager::Scatter, 3, 5},    {0xFD, StatGraphManager::XYLine, 3, 5},
    {0xFC, StatGraphManager::Histogram, 2, 4},  {0xBB5A, StatGraphManager::ModBoxplot, 2, 5},
    {0x05, StatGraphManager::Boxplot, 2, 4},    {0xBB5B, StatGraphManager::NormProbPlot, 2, 5},
};

const PlotType* plotTypeOf(const Operand* op)
{
    if (!op || op->kind != KindOpcode)
        return nullptr;
    for (const PlotType& t : kPlotTypes)
        if (static_cast<std::uint32_t>(t.token) == (op->opcode & 0xFFFF))
            return &t;
    return nullptr;
}

bool isListLiteral(const Operand& op)
{
    return op.kind == KindRealList && op.list;
}

bool isListVariable(const Operand& op)
{
    return op.kind == KindVariable && op.var.subKind == VarList;
}

} // namespace

StatPlotCommands::StatPlotCommands(Parser& parser) : p_(parser), calc_(parser.calc) {}

bool StatPlotCommands::handles(int t)
{
    return t == kFnOn || t == kFnOff || t == kPlotsOn || t == kPlotsOff || (t >= kPlot1 && t <= kPlot3)
        || (t >= kPlot4 && t <= kPlot6);
}

void StatPlotCommands::handle(EvalRun& run)
{
    switch (run.token) {
    case kPlotsOn:
    case kPlotsOff:
        switchPlots(run, run.token == kPlotsOn);
        break;
    case kFnOn:
    case kFnOff:
        switchFunctions(run, run.token == kFnOn);
        break;
    default:
        definePlot(run, run.token >= kPlot4 ? run.token - kPlot4 + 3 : run.token - kPlot1);
        break;
    }
    if (p_.error() == 0) {
        run.R.kind = KindDone;
        run.R.opcode = run.opcode;
    }
}

bool StatPlotCommands::fail(int error, int location)
{
    p_.setError(error);
    p_.setErrorToken(location);
    return false;
}

void StatPlotCommands::switchPlots(EvalRun& run, bool on)
{
    const int count = static_cast<int>(run.number);
    p_.validateArgsMin(0, kPlotCount, count, run.stack);
    if (p_.error() != 0)
        return;
    StatGraphManager* plots = calc_.statGraphManager.get();
    if (count == 0) {
        for (int n = 0; plots && n < kPlotCount; ++n)
            plots->setPlotVisible(n, on);
        return;
    }
    for (int k = 0; k < count; ++k) {
        const Operand v = p_.popValueFromStack(&run.stack);
        if (p_.error() != 0)
            return;
        if (v.kind != KindReal)
            return void(fail(ErrArgument, v.location));
        const auto n = ArgumentFetcher::wholeIn(v.re(), 1, kPlotCount);
        if (!n)
            return void(fail(ErrDomain, v.location));
        if (plots)
            plots->setPlotVisible(*n - 1, on);
    }
}

void StatPlotCommands::switchFunctions(EvalRun& run, bool on)
{
    const int count = static_cast<int>(run.number);
    p_.validateArgsMin(0, 9, count, run.stack);
    if (p_.error() != 0)
        return;
    const int mode = calc_.graphMode();
    const EquationSet set = equationsOf(mode);
    // Parametric equations come in X, Y pairs: number n names the X equation of pair n.
    const int stride = mode == 1 ? 2 : 1;
    YEqManager* equations = calc_.yEqManager.get();
    const auto tokenFor = [&](int n) { return set.firstToken + stride * (n == 0 ? set.highest : n - 1); };
    if (count == 0) {
        for (int n = set.lowest; equations && n <= set.highest; ++n)
            equations->setFunction(tokenFor(n), on);
        return;
    }
    for (int k = 0; k < count; ++k) {
        int n = 0;
        if (!p_.getInt(n, set.lowest, set.highest, run.stack))
            return;
        if (equations)
            equations->setFunction(tokenFor(n), on);
    }
}

void StatPlotCommands::definePlot(EvalRun& run, int plot)
{
    const int count = static_cast<int>(run.number);
    const int location = run.R.location;
    if (count < 2)
        return void(fail(ErrArgument, location));
    if (run.stack.count() < count)
        return void(fail(ErrMissingArgument, location));
    const Operand* typeRecord = run.stack.opAtIndex(run.stack.count() - count);
    const PlotType* type = plotTypeOf(typeRecord);
    if (!type)
        return void(fail(ErrArgument, typeRecord->location));
    if (count < type->fewest)
        return void(fail(ErrMissingArgument, location));
    if (count > type->most)
        return void(fail(ErrTooManyArguments, location));

    const bool paired = type->type == StatGraphManager::Scatter || type->type == StatGraphManager::XYLine;
    const bool normal = type->type == StatGraphManager::NormProbPlot;
    double r = 0, g = 1, b = 0;
    int mark = 0, axis = 0;
    std::optional<std::string> freqName;
    bool markSeen = false;
    for (int k = count; k > type->fewest; --k) {
        Operand raw;
        run.stack.pop(raw);
        bool ok = false;
        if (raw.kind == KindOpcode) {
            ok = Parser::getMark(mark, raw);
            markSeen = true;
        } else if (isListLiteral(raw)) {
            ok = p_.getColorR(r, g, b, raw);
        } else if (raw.kind == KindReal) {
            // A real standing before the mark of a one-list plot is its frequency, 1.
            ok = !paired && !normal && markSeen ? raw.re() == 1 : p_.getColorR(r, g, b, raw);
        } else if (normal && raw.kind == KindVariable && raw.var.subKind == VarReal
                   && (raw.var.index == kSlotX || raw.var.index == kSlotY)) {
            axis = raw.var.index == kSlotY ? 1 : 0;
            ok = true;
        } else if (!paired && !normal && isListVariable(raw) && !freqName) {
            freqName = raw.var.name;
            ok = true;
        }
        if (!ok)
            return void(fail(ErrArgument, raw.location));
    }
    std::optional<std::string> xName, yName;
    for (int k = paired ? 2 : 1; k > 0; --k) {
        Operand raw;
        run.stack.pop(raw);
        if (!isListVariable(raw))
            return void(fail(ErrArgument, raw.location));
        (k == 2 ? yName : xName) = raw.var.name;
    }
    run.stack.drop();

    StatGraphManager* plots = calc_.statGraphManager.get();
    if (!plots)
        return;
    plots->setPlotMark(plot, mark);
    plots->setPlotType(plot, type->type);
    plots->setPlotVisible(plot, true);
    plots->setPlotColor(plot, VQColor::colorR(r, g, b, 1.0));
    if (normal)
        plots->setPlotAxis(plot, axis);
    const auto info = plots->statInfo();
    if (plot >= 0 && plot < static_cast<int>(info.size()) && info[static_cast<std::size_t>(plot)]) {
        VQStatistics& s = *info[static_cast<std::size_t>(plot)];
        s.listXName = xName;
        s.listYName = yName;
        s.freqName = freqName;
    }
}

} // namespace orvenda
