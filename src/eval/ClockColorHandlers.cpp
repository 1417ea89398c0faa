#include "eval/ClockColorHandlers.h"

#include "core/ColorTables.h"
#include "core/VQList.h"
#include "core/services/YEqManager.h"
#include "eval/ArgumentFetcher.h"
#include "eval/OwnPageHandlers.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "numeric/DateHelpers.h"
#include "numeric/ElementaryFunctions.h"

#include <algorithm>
#include <array>
#include <ctime>

namespace orvenda {

namespace {

constexpr int kSetDtFmt = 0xEF03;
constexpr int kSetTmFmt = 0xEF04;
constexpr int kDayOfWk = 0xEF06;
constexpr int kGetDtStr = 0xEF07;
constexpr int kGetTmStr = 0xEF08;
constexpr int kGridline = 0xEF5A;
constexpr int kBackgroundOn = 0xEF5B;
constexpr int kAxesOn = 0x7E08;
constexpr int kGraphColor = 0xEF65;
constexpr int kTextColor = 0xEF67;
constexpr int kToString = 0xEF97;

constexpr std::uint32_t kSlash = 0x83, kColon = 0x3E, kSpace = 0x29, kA = 0x41, kP = 0x50, kM = 0x4D;
constexpr int kColorMarker = -1;

std::tm localTime(Calculator::TimePoint at)
{
    const std::time_t t = Calculator::TimePoint::clock::to_time_t(at);
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

} // namespace

ClockColorHandlers::ClockColorHandlers(Parser& parser)
    : p_(parser), calc_(parser.calc), clock_([] { return Calculator::TimePoint::clock::now(); })
{
}

bool ClockColorHandlers::handles(int t)
{
    switch (t) {
    case kSetDtFmt: case kSetTmFmt: case kDayOfWk: case kGetDtStr: case kGetTmStr: case kGridline:
    case kBackgroundOn: case kAxesOn: case kGraphColor: case kTextColor: case kToString:
        return true;
    default:
        return false;
    }
}

void ClockColorHandlers::handle(EvalRun& run)
{
    switch (run.token) {
    case kSetDtFmt: dateFormat(run); break;
    case kSetTmFmt: timeFormat(run); break;
    case kDayOfWk: dayOfWeek(run); break;
    case kGetDtStr: dateString(run); break;
    case kGetTmStr: timeString(run); break;
    case kGridline: case kBackgroundOn: screenColor(run); break;
    case kAxesOn: axesOn(run); break;
    case kGraphColor: graphColor(run); break;
    case kTextColor: textColor(run); break;
    case kToString: {
        const int location = run.R.location;
        run.R = p_.toString(run.X);
        run.R.location = location;
        break;
    }
    default: break;
    }
}

bool ClockColorHandlers::wholeArgument(const EvalRun& run, int min, int max, int& value)
{
    const auto n = run.X.kind == KindReal ? ArgumentFetcher::wholeIn(run.X.re(), min, max) : std::nullopt;
    if (!n) {
        p_.setError(ErrDomain);
        return false;
    }
    value = *n;
    return true;
}

void ClockColorHandlers::done(EvalRun& run)
{
    run.R.kind = KindDone;
    run.R.opcode = static_cast<std::uint32_t>(run.token);
}

// ---- Clock ----

void ClockColorHandlers::dateFormat(EvalRun& run)
{
    int format = 0;
    if (!wholeArgument(run, 1, 3, format))
        return;
    calc_.state().dateFormat = format - 1;
    done(run);
}

void ClockColorHandlers::timeFormat(EvalRun& run)
{
    int hours = 0;
    if (!wholeArgument(run, 12, 24, hours) || (hours != 12 && hours != 24))
        return p_.setError(ErrDomain);
    calc_.state().timeFormat = hours == 12 ? 0 : 1;
    done(run);
}

void ClockColorHandlers::dayOfWeek(EvalRun& run)
{
    run.R.kind = KindReal;
    if (p_.validateArgsMin(3, 3, static_cast<int>(run.number), run.stack) == 0)
        return;
    // Day, month and year, popped last first.
    constexpr std::array<std::array<int, 2>, 3> bounds{{{1, 31}, {1, 12}, {0, 8000}}};
    std::array<int, 3> parts{};
    for (std::size_t i = 0; i < 3; ++i) {
        const Operand op = p_.popValueFromStack(&run.stack);
        if (p_.error() != 0)
            return;
        const auto part = op.kind == KindReal ? ArgumentFetcher::wholeIn(op.re(), bounds[i][0], bounds[i][1])
                                              : std::nullopt;
        if (!part)
            return p_.setError(ErrDate);
        parts[i] = *part;
    }
    const auto [day, month, year] = parts;
    if (!DateHelpers::validateYear(year, month, day))
        return p_.setError(ErrDate);
    run.R.value = {static_cast<double>(DateHelpers::dayOfWeekForYear(year, month, day)), 0.0};
}

void ClockColorHandlers::dateString(EvalRun& run)
{
    int format = 0;
    if (!wholeArgument(run, 1, 3, format))
        return;
    const std::tm now = localTime(clock_());
    const int year = now.tm_year + 1900, month = now.tm_mon + 1, day = now.tm_mday;
    const std::array<std::array<int, 3>, 3> orders{{{month, day, year}, {day, month, year}, {year, month, day}}};
    auto ops = std::make_shared<Operand::Ops>();
    for (int part : orders[static_cast<std::size_t>(format - 1)]) {
        if (!ops->empty())
            ops->push_back(kSlash);
        const auto digits = p_.numToOps(part);
        ops->insert(ops->end(), digits.begin(), digits.end());
    }
    run.R.kind = KindString;
    run.R.string = std::move(ops);
}

void ClockColorHandlers::timeString(EvalRun& run)
{
    int hours = 0;
    if (!wholeArgument(run, 12, 24, hours) || (hours != 12 && hours != 24))
        return p_.setError(ErrDomain);
    const std::tm now = localTime(clock_());
    int hour = now.tm_hour;
    if (hours == 12 && hour > 12)
        hour -= 12;
    auto ops = std::make_shared<Operand::Ops>(p_.numToOps(hour));
    ops->push_back(kColon);
    const auto minutes = p_.numToOps(now.tm_min);
    ops->insert(ops->end(), minutes.begin(), minutes.end());
    if (hours == 12)
        ops->insert(ops->end(), {kSpace, now.tm_hour < 12 ? kA : kP, kM});
    run.R.kind = KindString;
    run.R.string = std::move(ops);
}

// ---- Colours ----

void ClockColorHandlers::screenColor(EvalRun& run)
{
    const Operand& arg = run.X;
    std::array<double, 3> rgb{};
    if (arg.kind == KindReal) {
        if (!ElementaryFunctions::isWhole(arg.re()))
            return p_.setError(ErrDomain);
        const double n = arg.re();
        if (arg.sigFig == kColorMarker) {
            rgb = ColorTables::tiComponents(ArgumentFetcher::clampedInt(n));
        } else {
            const auto standard = ArgumentFetcher::wholeIn(n, 1, ColorTables::standardColorCount);
            if (!standard)
                return p_.setError(ErrDomain);
            rgb = ColorTables::standardComponents(*standard);
        }
    } else if (arg.kind == KindRealList && arg.list && arg.list->type() == 0) {
        if (arg.list->count() != 3)
            return p_.setError(ErrDomain);
        for (int i = 0; i < 3; ++i) {
            const double c = arg.list->realAtIndex(i);
            if (!(c >= 0 && c <= 1))
                return p_.setError(ErrDomain);
            rgb[static_cast<std::size_t>(i)] = c;
        }
    } else {
        return p_.setError(ErrArgument);
    }
    const VQColor color = VQColor::colorR(rgb[0], rgb[1], rgb[2], 1.0);
    if (run.token == kGridline)
        calc_.state().gridColor = color;
    else
        calc_.state().backgroundColor = color;
    done(run);
}

void ClockColorHandlers::axesOn(EvalRun& run)
{
    const int n = static_cast<int>(run.number);
    if (n != 0 && p_.validateArgsMin(0, 1, n, run.stack) == 0)
        return;
    if (n == 1) {
        const auto color = p_.getVQColorFromStack(run.stack);
        if (!color) {
            if (p_.error() == 0)
                p_.setError(ErrArgument);
            return;
        }
        calc_.state().axesColor = *color;
    }
    calc_.state().drawAxes = true;
    calc_.state().drawLabel = true;
    done(run);
}

void ClockColorHandlers::graphColor(EvalRun& run)
{
    if (p_.validateArgsMin(2, 2, static_cast<int>(run.number), run.stack) == 0)
        return;
    const auto color = p_.getVQColorFromStack(run.stack);
    if (!color) {
        if (p_.error() == 0)
            p_.setError(ErrArgument);
        return;
    }
    const int mode = calc_.graphMode();
    int number = 0;
    if (!p_.getInt(number, 1, OwnPageHandlers::equationCount(mode), run.stack))
        return;
    if (const auto& equations = calc_.yEqManager)
        equations->setColor(*color, OwnPageHandlers::equationToken(mode, number - 1));
    done(run);
}

void ClockColorHandlers::textColor(EvalRun& run)
{
    if (p_.validateArgsMin(1, 1, static_cast<int>(run.number), run.stack) == 0)
        return;
    const Operand op = p_.popValueFromStack(&run.stack);
    if (p_.error() != 0)
        return;
    if (op.kind != KindReal)
        return p_.setError(ErrArgument);
    const auto color = ArgumentFetcher::wholeIn(op.re(), ColorTables::firstTIColor, ColorTables::lastTIColor);
    if (!color)
        return p_.setError(ErrDomain);
    calc_.state().textColor = *color;
    done(run);
}

} // namespace orvenda
