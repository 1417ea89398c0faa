#include "eval/BBDispatch.h"

#include "eval/DistributionHandlers.h"
#include "eval/EvalRun.h"
#include "eval/Evaluator.h"
#include "eval/FinanceHandlers.h"
#include "eval/RandomHandlers.h"
#include "eval/StatisticsHandlers.h"
#include "eval/StoredDataCommands.h"
#include "eval/StringHandlers.h"

#include <array>

namespace orvenda {

namespace {

using Route = BBDispatch::Route;

constexpr int kPageFirst = 0xBB00;
constexpr int kTableSize = 0x5E;  // 0xBB00..0xBB5D

constexpr std::array<Route, kTableSize> makeTable()
{
    std::array<Route, kTableSize> t{};
    for (auto& r : t)
        r = Route::Default;
    auto set = [&t](int first, int last, Route r) {
        for (int i = first; i <= last; ++i)
            t[static_cast<std::size_t>(i - kPageFirst)] = r;
    };
    set(0xBB00, 0xBB04, Route::Finance);       // npv( irr( bal( Σprn( ΣInt(
    set(0xBB20, 0xBB24, Route::Finance);       // tvm_Pmt .. tvm_FV
    set(0xBB05, 0xBB09, Route::TwoArguments);  // ▸Nom( ▸Eff( dbd( lcm( gcd(
    set(0xBB1C, 0xBB1D, Route::TwoArguments);  // tpdf( χ²pdf(
    set(0xBB0A, 0xBB0B, Route::Random);        // randInt( randBin(
    set(0xBB1F, 0xBB1F, Route::Random);        // randNorm(
    set(0xBB0C, 0xBB0C, Route::Strings);       // sub(
    set(0xBB0F, 0xBB0F, Route::Strings);       // inString(
    set(0xBB55, 0xBB56, Route::Strings);       // Equ▸String( String▸Equ(
    set(0xBB0D, 0xBB0E, Route::OneOrTwoArguments);  // stdDev( variance(
    set(0xBB10, 0xBB1B, Route::Distributions);
    set(0xBB1E, 0xBB1E, Route::Distributions);  // Fpdf(
    set(0xBB25, 0xBB30, Route::OneArgument);    // conj( .. ▸Polar
    set(0xBB5C, 0xBB5D, Route::OneArgument);    // expm1(, unit conversion
    set(0xBB32, 0xBB34, Route::Statistics);     // SinReg Logistic LinRegTTest
    set(0xBB3B, 0xBB44, Route::Statistics);     // tests and intervals
    set(0xBB46, 0xBB49, Route::Statistics);
    set(0xBB59, 0xBB59, Route::Statistics);     // ANOVA(
    set(0xBB35, 0xBB3A, Route::ListsAndGraphStyle);  // shading, Matr▸list(, List▸matr(
    set(0xBB45, 0xBB45, Route::ListsAndGraphStyle);  // GraphStyle(
    set(0xBB4A, 0xBB4A, Route::ListsAndGraphStyle);  // SetUpEditor
    set(0xBB54, 0xBB54, Route::ListsAndGraphStyle);  // DelVar
    return t;
}

constexpr std::array<Route, kTableSize> kTable = makeTable();

} // namespace

BBDispatch::Route BBDispatch::routeFor(int token)
{
    const int i = (token & 0xFFFF) - kPageFirst;
    if (i < 0 || i >= kTableSize)
        return Route::Default;
    return kTable[static_cast<std::size_t>(i)];
}

void BBDispatch::dispatch(Evaluator& evaluator, EvalRun& run)
{
    switch (routeFor(run.token)) {
    case Route::TwoArguments:
        evaluator.twoArgumentFunction(run);
        return;
    case Route::OneOrTwoArguments:
        evaluator.oneOrTwoArgumentFunction(run);
        return;
    case Route::OneArgument:
        evaluator.unaryFunction(run);
        return;
    case Route::Statistics:
        StatisticsHandlers(evaluator.parser()).handle(run);
        return;
    case Route::ListsAndGraphStyle:
        StoredDataCommands(evaluator.parser()).handle(run);
        return;
    case Route::Finance:
        FinanceHandlers(evaluator.parser()).handle(run);
        return;
    case Route::Random:
        RandomHandlers(evaluator.parser()).handle(run);
        return;
    case Route::Strings:
        StringHandlers(evaluator.parser()).handle(run);
        return;
    case Route::Distributions:
        DistributionHandlers(evaluator.parser()).handle(run);
        return;
    case Route::Default:
        evaluator.noHandler(run);
        return;
    }
}

} // namespace orvenda
