#include "eval/StatisticsHandlers.h"

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/VQStack.h"
#include "core/services/YEqManager.h"
#include "eval/EvalRun.h"
#include "eval/Parser.h"
#include "eval/StatTestCommands.h"
#include "language/ErrorNumbers.h"
#include "numeric/StatSlots.h"
#include "numeric/StatTests.h"
#include "numeric/VQStatistics.h"

#include <algorithm>
#include <vector>

namespace orvenda {

namespace {

constexpr int kOneVarStats = 0xF2;
constexpr int kTwoVarStats = 0xF3;
constexpr int kSinReg = 0xBB32;
constexpr int kAnova = 0xBB59;
constexpr const char* kL1 = "L₁";
constexpr const char* kL2 = "L₂";

void put(Calculator& calc, int slot, double value)
{
    calc.state().vars[static_cast<std::size_t>(slot)] = {value, 0.0};
}

void putOneVar(Calculator& calc, const VQStatistics& s)
{
    const double values[] = {s.n, s.Xmean, s.Xsum, s.X2sum, s.stdX, s.popStdX, s.minX, s.maxX};
    int slot = SlotN;
    for (double v : values)
        put(calc, slot++, v);
    put(calc, SlotMedian, s.medianX);
    put(calc, SlotQ1, s.Q1);
    put(calc, SlotQ3, s.Q3);
}

void putTwoVar(Calculator& calc, const VQStatistics& s)
{
    const double values[] = {s.n,    s.Xmean, s.Xsum,  s.X2sum, s.stdX, s.popStdX, s.minX,    s.maxX,
                             s.minY, s.maxY,  s.Ymean, s.Ysum,  s.Y2sum, s.stdY,   s.popStdY, s.XYsum};
    int slot = SlotN;
    for (double v : values)
        put(calc, slot++, v);
}

} // namespace

StatisticsHandlers::StatisticsHandlers(Parser& parser) : p_(parser), calc_(parser.calc) {}

bool StatisticsHandlers::handles(int t)
{
    return (t >= 0xF2 && t <= 0xF9) || t == 0x2E || t == 0x2F || t == 0xFF || t == 0xBB32 || t == 0xBB33
        || t == kAnova || StatTestCommands::handles(t);
}

int StatisticsHandlers::modelFor(int token)
{
    switch (token) {
    case 0xF4: return VQStatistics::LinRegABX;
    case 0xF8: return VQStatistics::MedMed;
    case 0xF5: return VQStatistics::ExpReg;
    case 0xF6: return VQStatistics::LnReg;
    case 0xF7: return VQStatistics::PwrReg;
    case 0xF9: return VQStatistics::QuadReg;
    case 0x2E: return VQStatistics::CubicReg;
    case 0x2F: return VQStatistics::QuartReg;
    case 0xBB33: return VQStatistics::Logistic;
    case kSinReg: return VQStatistics::SinReg;
    default: return VQStatistics::LinRegAXB;
    }
}

void StatisticsHandlers::handle(EvalRun& run)
{
    switch (run.token) {
    case kOneVarStats:
        oneVarStats(run);
        return;
    case kTwoVarStats:
        twoVarStats(run);
        return;
    case kSinReg:
        sinRegression(run);
        return;
    case kAnova:
        anova(run);
        return;
    default:
        break;
    }
    if (StatTestCommands::handles(run.token))
        StatTestCommands(p_).handle(run);
    else
        regression(run);
}

bool StatisticsHandlers::fail(int error, int location)
{
    p_.setError(error);
    p_.setErrorToken(location);
    return false;
}

std::optional<Operand> StatisticsHandlers::popList(EvalRun& run)
{
    Operand v = p_.popValueFromStack(&run.stack);
    if (p_.error() != 0)
        return std::nullopt;
    if (!isList(v)) {
        fail(ErrDataType, v.location);
        return std::nullopt;
    }
    return v;
}

bool StatisticsHandlers::checkFrequencies(const VQList& data, const Operand& freq)
{
    if (freq.list->count() != data.count())
        return fail(ErrInvalidDim, freq.location);
    return VQStatistics::canWeight(*freq.list) || fail(ErrInvalidFreqList, freq.location);
}

// ---- Summaries ----

void StatisticsHandlers::oneVarStats(EvalRun& run)
{
    const int count = static_cast<int>(run.number);
    p_.validateArgsMin(0, 2, count, run.stack);
    if (p_.error() != 0)
        return;
    std::optional<Operand> freq, data;
    if (count == 2 && !(freq = popList(run)))
        return;
    if (count >= 1 && !(data = popList(run)))
        return;
    if (!data) {
        data.emplace();
        data->list = std::make_shared<VQList>(calc_.state().lists[kL1]);
        data->location = run.R.location;
    }
    const VQList& x = *data->list;
    if (x.count() == 0) {
        fail(ErrInvalidDim, data->location);
        return;
    }
    if (x.type() != 0) {
        fail(ErrDataType, data->location);
        return;
    }
    if (freq && !checkFrequencies(x, *freq))
        return;
    const auto stats = VQStatistics::oneVar(x, freq ? freq->list.get() : nullptr);
    putOneVar(calc_, *stats);
    run.R.kind = KindOneVarStats;
    run.R.object = stats;
}

void StatisticsHandlers::twoVarStats(EvalRun& run)
{
    const int count = static_cast<int>(run.number);
    p_.validateArgsMin(0, 3, count, run.stack);
    if (p_.error() != 0)
        return;
    std::optional<Operand> freq, y, x;
    if (count == 3 && !(freq = popList(run)))
        return;
    if (count >= 1 && (!(y = popList(run)) || (count >= 2 && !(x = popList(run)))))
        return;
    if (count == 1)
        return void(fail(ErrMissingArgument, run.R.location));
    const auto stored = [&](const char* name) {
        Operand o;
        o.list = std::make_shared<VQList>(calc_.state().lists[name]);
        o.location = run.R.location;
        return o;
    };
    if (!x) {
        x = stored(kL1);
        y = stored(kL2);
    }
    if (x->list->count() == 0)
        return void(fail(ErrInvalidDim, x->location));
    if (y->list->count() != x->list->count())
        return void(fail(ErrInvalidDim, y->location));
    if (x->list->type() != 0 || y->list->type() != 0)
        return void(fail(ErrDataType, x->list->type() != 0 ? x->location : y->location));
    if (freq && !checkFrequencies(*x->list, *freq))
        return;
    const auto stats = VQStatistics::twoVar(*x->list, *y->list, freq ? freq->list.get() : nullptr);
    putTwoVar(calc_, *stats);
    run.R.kind = KindTwoVarStats;
    run.R.object = stats;
}

// ---- Regressions ----

std::optional<std::string> StatisticsHandlers::listName(const Operand& raw) const
{
    if (raw.kind != KindVariable || raw.var.subKind != VarList || !calc_.state().lists.contains(raw.var.name))
        return std::nullopt;
    return raw.var.name;
}

bool StatisticsHandlers::realArgument(EvalRun& run, const Operand& raw, double& value) const
{
    Operand v;
    if (raw.kind == KindVariable && raw.var.subKind == VarReal)
        run.stack.getValueWithOp(&raw, v);
    const Operand& r = raw.kind == KindVariable ? v : raw;
    if (r.kind != KindReal)
        return false;
    value = r.re();
    return true;
}

void StatisticsHandlers::regression(EvalRun& run)
{
    // [X list, Y list, frequency list or 1, equation variable]
    const int count = static_cast<int>(run.number);
    p_.validateArgsMin(0, 4, count, run.stack);
    if (p_.error() != 0)
        return;
    std::string x = kL1, y = kL2;
    std::optional<std::string> freq;
    int freqLocation = run.R.location, equation = -1, equations = 0;
    for (int k = count; k >= 1; --k) {
        Operand raw;
        run.stack.pop(raw);
        p_.setErrorToken(raw.location);
        if (k == 3 && raw.kind == KindReal) {
            if (raw.re() != 1)
                return void(fail(ErrArgument, raw.location));
            continue;
        }
        if (raw.kind == KindVariable && raw.var.subKind == VarEquation) {
            if (equations++ > 0)
                return void(fail(ErrArgument, raw.location));
            equation = raw.var.token;
            continue;
        }
        const std::optional<std::string> name = listName(raw);
        if (!name || count - equations < 2 || k == 4)
            return void(fail(ErrArgument, raw.location));
        if (k == 1) {
            x = *name;
        } else if (k == 2) {
            y = *name;
        } else {
            freq = *name;
            freqLocation = raw.location;
        }
    }
    fit(run, x, y, freq, freqLocation, equation, std::nullopt);
}

void StatisticsHandlers::sinRegression(EvalRun& run)
{
    // [iterations, X list, Y list, period, equation variable]
    const int count = static_cast<int>(run.number);
    p_.validateArgsMin(0, 5, count, run.stack);
    if (p_.error() != 0)
        return;
    std::string x = kL1, y = kL2;
    double period = 0, iterations = 0;
    int equation = -1;
    for (int k = count; k >= 1; --k) {
        Operand raw;
        run.stack.pop(raw);
        p_.setErrorToken(raw.location);
        bool ok = false;
        if (k == 5) {
            ok = raw.kind == KindVariable && raw.var.subKind == VarEquation;
            equation = raw.var.token;
        } else if (k == 4 || k == 1) {
            ok = realArgument(run, raw, k == 4 ? period : iterations);
        } else if (const auto name = listName(raw)) {
            ok = true;
            (k == 3 ? y : x) = *name;
        }
        if (!ok)
            return void(fail(ErrArgument, raw.location));
    }
    fit(run, x, y, std::nullopt, run.R.location, equation, period);
}

void StatisticsHandlers::fit(EvalRun& run, const std::string& x, const std::string& y,
                             const std::optional<std::string>& freq, int freqLocation, int equation,
                             const std::optional<double>& period)
{
    int error = 0;
    const auto stats = VQStatistics::twoVarName(calc_, x, y, freq, error);
    if (!stats)
        return void(fail(error, error == ErrBadFrequencyList ? freqLocation : run.R.location));
    error = period ? stats->sinRegressionFreq(*period) : stats->regressionModel(modelFor(run.token));
    if (error)
        return void(fail(error, run.R.location));
    calc_.spellFitEquation(*stats);
    calc_.state().statistics = stats;
    if (!calc_.syncStatVars(*stats))
        return void(fail(ErrMemory, run.R.location));
    if (equation >= 0 && calc_.yEqManager)
        calc_.yEqManager->setYEqFunc(equation, stats->regEqu);
    run.R.kind = KindRegression;
}

// ---- ANOVA ----

void StatisticsHandlers::anova(EvalRun& run)
{
    const int count = static_cast<int>(run.number);
    if (p_.validateArgsMin(2, 20, count, run.stack) == 0)
        return;
    std::vector<Operand> groups(static_cast<std::size_t>(count));
    for (Operand& g : groups) {
        g = p_.popValueFromStack(&run.stack);
        if (p_.error() != 0)
            return;
        if (!isList(g))
            return void(fail(ErrExprSyntax, g.location));
        if (g.list->type() != 0)
            return void(fail(ErrDataType, g.location));
        if (g.list->count() == 0)
            return void(fail(ErrInvalidDim, g.location));
    }
    std::vector<const VQList*> lists;
    for (const Operand& g : groups)
        lists.push_back(g.list.get());
    if (const int error = StatTests(calc_).anova(lists))
        return void(fail(error, run.R.location));
    run.R.kind = KindAnova;
}

} // namespace orvenda
