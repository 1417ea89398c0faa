#include "eval/StatTestCommands.h"

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/VQStack.h"
#include "core/services/YEqManager.h"
#include "eval/EvalRun.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "numeric/StatSlots.h"
#include "numeric/StatTests.h"
#include "numeric/VQStatistics.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace orvenda {

namespace {

constexpr const char* kL1 = "L₁";
constexpr const char* kL2 = "L₂";
constexpr double kDefaultLevel = 0.95;
constexpr std::initializer_list<int> kTwoSampleSummary = {SlotXMean1, SlotSx1, SlotN1, SlotXMean2, SlotSx2, SlotN2};

// The statistics variables a command may write; kept to be put back on an error.
constexpr int kFirstSaved = SlotN;
constexpr int kSavedCount = SlotAlternative - SlotN + 1;

struct Command {
    int token;
    int kind;
};

constexpr Command kCommands[] = {
    {0xBB3B, 14}, {0xBB3C, 15}, {0xBB3D, 16}, {0xBB46, 17}, {0xBB3E, 18}, {0xBB3F, 19},
    {0xBB41, 20}, {0xBB48, 21}, {0xBB42, 22}, {0xBB49, 23}, {0xBB43, 24}, {0xBB44, 25},
    {0xBB47, 26}, {0xBB40, 27}, {0xEF14, 28}, {0xBB34, 29}, {0xEF15, 30},
};

int kindFor(int token)
{
    for (const Command& c : kCommands)
        if (c.token == token)
            return c.kind;
    return 0;
}

} // namespace

StatTestCommands::StatTestCommands(Parser& parser) : p_(parser), calc_(parser.calc) {}

bool StatTestCommands::handles(int token)
{
    return kindFor(token) != 0;
}

void StatTestCommands::handle(EvalRun& run)
{
    location_ = run.R.location;
    std::array<std::complex<double>, kSavedCount> saved;
    std::copy_n(calc_.state().vars.begin() + kFirstSaved, kSavedCount, saved.begin());

    bool ok = false;
    switch (run.token) {
    case 0xBB3B: ok = zTest(run); break;
    case 0xBB3C: ok = tTest(run); break;
    case 0xBB3D: ok = twoSampZTest(run); break;
    case 0xBB46: ok = twoSampTTest(run); break;
    case 0xBB3E: ok = onePropZTest(run); break;
    case 0xBB3F: ok = twoPropZTest(run); break;
    case 0xBB41: ok = zInterval(run); break;
    case 0xBB48: ok = tInterval(run); break;
    case 0xBB42: ok = twoSampZInt(run); break;
    case 0xBB49: ok = twoSampTInt(run); break;
    case 0xBB43: ok = onePropZInt(run); break;
    case 0xBB44: ok = twoPropZInt(run); break;
    case 0xBB47: ok = twoSampFTest(run); break;
    case 0xBB40: ok = chiSquareTest(run); break;
    case 0xEF14: ok = chiSquareGof(run); break;
    case 0xBB34: ok = linRegT(run, false); break;
    case 0xEF15: ok = linRegT(run, true); break;
    default: break;
    }
    if (!ok) {
        std::copy(saved.begin(), saved.end(), calc_.state().vars.begin() + kFirstSaved);
        if (p_.error() == 0)
            fail(ErrInvalid, location_);
        return;
    }
    run.R.kind = kindFor(run.token);
}

// ---- Arguments ----

bool StatTestCommands::fail(int error, int location)
{
    p_.setError(error);
    p_.setErrorToken(location);
    return false;
}

bool StatTestCommands::failAt(int error, std::size_t i)
{
    return fail(error, i < args_.size() ? args_[i].raw.location : location_);
}

bool StatTestCommands::popArguments(EvalRun& run, int min, int max)
{
    const int n = static_cast<int>(run.number);
    p_.validateArgsMin(min, max, n, run.stack);
    if (p_.error() != 0)
        return false;
    args_.assign(static_cast<std::size_t>(n), Arg{});
    for (int i = n - 1; i >= 0; --i) {
        Arg& a = args_[static_cast<std::size_t>(i)];
        run.stack.pop(a.raw);
        if (a.raw.kind == KindVariable && a.raw.var.subKind == VarEquation) {
            a.value = a.raw;
            continue;
        }
        run.stack.getValueWithOp(&a.raw, a.value);
        if (a.value.kind == KindError && a.value.error != 0)
            return fail(a.value.error, a.raw.location);
    }
    return true;
}

bool StatTestCommands::needs(int least)
{
    return count() >= least || fail(ErrMissingArgument, location_);
}

bool StatTestCommands::isList(std::size_t i) const
{
    return i < args_.size() && orvenda::isList(args_[i].value);
}

bool StatTestCommands::real(std::size_t i, double& v)
{
    if (i >= args_.size())
        return fail(ErrMissingArgument, location_);
    if (args_[i].value.kind != KindReal)
        return failAt(ErrDataType, i);
    v = args_[i].value.re();
    return true;
}

bool StatTestCommands::reals(std::size_t first, std::initializer_list<int> slots)
{
    for (int slot : slots) {
        double v = 0;
        if (!real(first++, v))
            return false;
        calc_.state().vars[static_cast<std::size_t>(slot)] = {v, 0.0};
    }
    return true;
}

const VQList* StatTestCommands::list(std::size_t i, const char* fallback)
{
    if (i < args_.size()) {
        if (!isList(i)) {
            failAt(ErrDataType, i);
            return nullptr;
        }
        return args_[i].value.list.get();
    }
    const auto it = calc_.state().lists.find(fallback);
    if (it == calc_.state().lists.end()) {
        fail(ErrListUndefined, location_);
        return nullptr;
    }
    return &it->second;
}

bool StatTestCommands::frequencies(std::size_t i, const VQList* data, const VQList*& freq)
{
    freq = nullptr;
    if (i >= args_.size())
        return true;
    const Operand& f = args_[i].value;
    if (f.kind == KindReal)
        return f.re() == 1 || failAt(ErrBadFrequencyList, i);
    if (!isList(i))
        return failAt(ErrDataType, i);
    if (f.list->count() != data->count())
        return failAt(ErrDimMismatch, i);
    if (!VQStatistics::canWeight(*f.list))
        return failAt(ErrBadFrequencyList, i);
    freq = f.list.get();
    return true;
}

bool StatTestCommands::sample(std::size_t listAt, const char* fallback, std::size_t freqAt, int nSlot, int meanSlot,
                              int sxSlot)
{
    const VQList* data = list(listAt, fallback);
    if (!data)
        return false;
    if (data->count() == 0)
        return failAt(ErrInvalidDim, listAt);
    if (data->type() != 0)
        return failAt(ErrDataType, listAt);
    const VQList* freq = nullptr;
    if (!frequencies(freqAt, data, freq))
        return false;
    const auto stats = VQStatistics::oneVar(*data, freq);
    calc_.state().vars[static_cast<std::size_t>(nSlot)] = {stats->n, 0.0};
    calc_.state().vars[static_cast<std::size_t>(meanSlot)] = {stats->Xmean, 0.0};
    if (sxSlot >= 0)
        calc_.state().vars[static_cast<std::size_t>(sxSlot)] = {stats->stdX, 0.0};
    return true;
}

bool StatTestCommands::alternative(std::size_t i, int& h)
{
    double a = 0;
    if (i < args_.size() && !real(i, a))
        return false;
    h = a < 0 ? 1 : a > 0 ? 2 : 0;
    calc_.state().vars[SlotAlternative] = {double(h), 0.0};
    return true;
}

bool StatTestCommands::flag(std::size_t i, bool& on)
{
    double v = 0;
    if (i < args_.size() && !real(i, v))
        return false;
    on = v != 0;
    return true;
}

bool StatTestCommands::confidence(std::size_t i)
{
    double c = kDefaultLevel;
    if (i < args_.size() && !real(i, c))
        return false;
    // A level may be typed as a percentage.
    if (c >= 1 && c <= 100)
        c /= 100;
    calc_.state().vars[SlotCLevel] = {c, 0.0};
    return true;
}

bool StatTestCommands::samples(const Form& form, std::size_t& rest)
{
    const std::size_t at = form.at;
    if (count() <= static_cast<int>(at) || isList(at)) {
        if (count() > form.dataMost)
            return fail(ErrTooManyArguments, location_);
        if (form.lists == 1) {
            rest = at + 2;
            return sample(at, kL1, at + 1, SlotTestN, SlotXMean, form.deviations ? SlotSx : -1);
        }
        rest = at + 4;
        return sample(at, kL1, at + 2, SlotN1, SlotXMean1, form.deviations ? SlotSx1 : -1)
            && sample(at + 1, kL2, at + 3, SlotN2, SlotXMean2, form.deviations ? SlotSx2 : -1);
    }
    rest = at + form.summary.size();
    return needs(static_cast<int>(rest)) && reals(at, form.summary);
}

bool StatTestCommands::computed(int error)
{
    return error == 0 || fail(error, location_);
}

// ---- The commands ----

bool StatTestCommands::zTest(EvalRun& run)
{
    // μ0, σ, then x̄, n or a list and its frequencies; alternative, draw flag.
    int h = 0;
    bool draw = false;
    std::size_t rest = 0;
    return popArguments(run, 2, 6) && reals(0, {SlotMu0, SlotSigma})
        && samples({2, 1, false, {SlotXMean, SlotTestN}, 6}, rest) && alternative(rest, h) && flag(rest + 1, draw)
        && computed(StatTests(calc_).computeZTest(h));
}

bool StatTestCommands::tTest(EvalRun& run)
{
    int h = 0;
    bool draw = false;
    std::size_t rest = 0;
    return popArguments(run, 1, 6) && reals(0, {SlotMu0})
        && samples({1, 1, true, {SlotXMean, SlotSx, SlotTestN}, 5}, rest) && alternative(rest, h)
        && flag(rest + 1, draw) && computed(StatTests(calc_).computeTTest(h));
}

bool StatTestCommands::twoSampZTest(EvalRun& run)
{
    int h = 0;
    bool draw = false;
    std::size_t rest = 0;
    return popArguments(run, 2, 8) && reals(0, {SlotSigma1, SlotSigma2})
        && samples({2, 2, false, {SlotXMean1, SlotN1, SlotXMean2, SlotN2}, 8}, rest) && alternative(rest, h)
        && flag(rest + 1, draw) && computed(StatTests(calc_).computeZ2Test(h));
}

bool StatTestCommands::twoSampTTest(EvalRun& run)
{
    int h = 0;
    bool pooled = false, draw = false;
    std::size_t rest = 0;
    return popArguments(run, 0, 9) && samples({0, 2, true, kTwoSampleSummary, 7}, rest) && alternative(rest, h)
        && flag(rest + 1, pooled) && flag(rest + 2, draw) && computed(StatTests(calc_).computeT2Test(h, pooled));
}

bool StatTestCommands::onePropZTest(EvalRun& run)
{
    int h = 0;
    bool draw = false;
    return popArguments(run, 3, 5) && reals(0, {SlotP0, SlotX, SlotTestN}) && alternative(3, h) && flag(4, draw)
        && computed(StatTests(calc_).compute1PropZTest(h));
}

bool StatTestCommands::twoPropZTest(EvalRun& run)
{
    int h = 0;
    bool draw = false;
    return popArguments(run, 4, 6) && reals(0, {SlotX1, SlotN1, SlotX2, SlotN2}) && alternative(4, h)
        && flag(5, draw) && computed(StatTests(calc_).compute2PropZTest(h));
}

bool StatTestCommands::zInterval(EvalRun& run)
{
    std::size_t rest = 0;
    return popArguments(run, 1, 4) && reals(0, {SlotSigma}) && samples({1, 1, false, {SlotXMean, SlotTestN}, 4}, rest)
        && confidence(rest) && computed(StatTests(calc_).computeZInterval());
}

bool StatTestCommands::tInterval(EvalRun& run)
{
    std::size_t rest = 0;
    return popArguments(run, 0, 4) && samples({0, 1, true, {SlotXMean, SlotSx, SlotTestN}, 3}, rest)
        && confidence(rest) && computed(StatTests(calc_).computeTInterval());
}

bool StatTestCommands::twoSampZInt(EvalRun& run)
{
    std::size_t rest = 0;
    return popArguments(run, 2, 7) && reals(0, {SlotSigma1, SlotSigma2})
        && samples({2, 2, false, {SlotXMean1, SlotN1, SlotXMean2, SlotN2}, 7}, rest) && confidence(rest)
        && computed(StatTests(calc_).computeZ2Interval());
}

bool StatTestCommands::twoSampTInt(EvalRun& run)
{
    bool pooled = false;
    std::size_t rest = 0;
    return popArguments(run, 0, 8) && samples({0, 2, true, kTwoSampleSummary, 6}, rest) && confidence(rest)
        && flag(rest + 1, pooled) && computed(StatTests(calc_).computeT2IntervalPool(pooled));
}

bool StatTestCommands::onePropZInt(EvalRun& run)
{
    return popArguments(run, 2, 3) && reals(0, {SlotX, SlotTestN}) && confidence(2)
        && computed(StatTests(calc_).compute1PropZInterval());
}

bool StatTestCommands::twoPropZInt(EvalRun& run)
{
    return popArguments(run, 4, 5) && reals(0, {SlotX1, SlotN1, SlotX2, SlotN2}) && confidence(4)
        && computed(StatTests(calc_).compute2PropZInterval());
}

bool StatTestCommands::twoSampFTest(EvalRun& run)
{
    int h = 0;
    bool draw = false;
    std::size_t rest = 0;
    return popArguments(run, 0, 6) && samples({0, 2, true, {SlotSx1, SlotN1, SlotSx2, SlotN2}, 6}, rest)
        && alternative(rest, h) && flag(rest + 1, draw) && computed(StatTests(calc_).computeF2Test(h));
}

bool StatTestCommands::chiSquareTest(EvalRun& run)
{
    // Observed matrix ([A]), the matrix variable that receives the expected counts ([B]).
    bool draw = false;
    if (!popArguments(run, 0, 3) || !flag(2, draw))
        return false;
    const VQMatrix* observed = &calc_.state().matrices[0];
    if (count() > 0) {
        if (args_[0].value.kind != KindMatrix || !args_[0].value.matrix)
            return failAt(ErrDataType, 0);
        observed = args_[0].value.matrix.get();
    }
    int target = 1;
    if (count() > 1) {
        const Operand& e = args_[1].raw;
        if (e.kind != KindVariable || e.var.subKind != VarMatrix || e.var.index < 0
            || e.var.index >= Calculator::kMatrixCount)
            return failAt(ErrDataType, 1);
        target = e.var.index;
    }
    VQMatrix expected;
    if (!computed(StatTests(calc_).computeX2TestMat1(*observed, expected)))
        return false;
    if (!calc_.storeMatrix(static_cast<std::size_t>(target), std::move(expected)))
        return computed(ErrMemory);
    return true;
}

bool StatTestCommands::chiSquareGof(EvalRun& run)
{
    bool draw = false;
    double df = 0;
    if (!popArguments(run, 3, 4))
        return false;
    for (std::size_t i = 0; i < 2; ++i)
        if (!isList(i) || args_[i].value.list->type() != 0)
            return failAt(ErrDataType, i);
    return real(2, df) && flag(3, draw)
        && computed(StatTests(calc_).computeX2GOFTestObserved(*args_[0].value.list, *args_[1].value.list, df));
}

bool StatTestCommands::linRegT(EvalRun& run, bool interval)
{
    // X list, Y list, frequencies, then the alternative or the level, and an equation
    // variable for the fitted line.
    if (!popArguments(run, 0, 5))
        return false;
    std::optional<int> equation;
    if (!args_.empty() && args_.back().raw.kind == KindVariable && args_.back().raw.var.subKind == VarEquation) {
        equation = args_.back().raw.var.token;
        args_.pop_back();
    }
    if (count() > 4)
        return fail(ErrTooManyArguments, location_);
    const VQList* x = list(0, kL1);
    const VQList* y = x ? list(1, kL2) : nullptr;
    if (!y)
        return false;
    if (x->count() == 0 || y->count() == 0)
        return failAt(ErrInvalidDim, x->count() == 0 ? 0 : 1);
    if (x->count() != y->count())
        return failAt(ErrDimMismatch, 1);
    const VQList* freq = nullptr;
    if (!frequencies(2, x, freq))
        return false;
    int h = 0, error = 0;
    std::shared_ptr<VQStatistics> fit;
    if (interval) {
        if (!confidence(3))
            return false;
        fit = StatTests(calc_).computeLinRegTIntervalX(*x, *y, freq, calc_.state().vars[SlotCLevel].real(), error);
    } else {
        if (!alternative(3, h))
            return false;
        fit = StatTests(calc_).computeLinRegTTestX(*x, *y, freq, h, error);
    }
    if (!fit)
        return computed(error ? error : ErrStat);
    calc_.spellFitEquation(*fit);
    calc_.state().statistics = fit;
    if (!calc_.syncStatVars(*fit))
        return computed(ErrMemory);
    if (equation && calc_.yEqManager)
        calc_.yEqManager->setYEqFunc(*equation, fit->regEqu);
    return true;
}

} // namespace orvenda
