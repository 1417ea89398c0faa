#include "eval/RandomHandlers.h"

#include "core/RandomSource.h"
#include "core/VQList.h"
#include "eval/ArgumentFetcher.h"
#include "eval/EvalRun.h"
#include "eval/NumericArguments.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "numeric/ElementaryFunctions.h"
#include "numeric/RandomDeviates.h"

#include <cmath>
#include <utility>

namespace orvenda {

namespace {

constexpr int kRandInt = 0xBB0A;
constexpr int kRandBin = 0xBB0B;
constexpr int kRandNorm = 0xBB1F;
constexpr int kRandIntNoRep = 0xEF35;
constexpr int kMaxTrials = 999;
// Whole numbers beyond this have gaps as doubles: no range of integers can be drawn there.
constexpr double kMaxBound = 9007199254740992.0;

bool drawable(double bound)
{
    return std::fabs(bound) < kMaxBound;
}

} // namespace

bool RandomHandlers::handles(int t)
{
    return t == kRandInt || t == kRandBin || t == kRandNorm || t == kRandIntNoRep;
}

void RandomHandlers::handle(EvalRun& run)
{
    NumericArguments args(p_, run);
    const int t = run.token;
    int n = 0;
    if (!args.count(2, t == kRandIntNoRep ? 2 : 3, n))
        return;
    double trials = 1.0, second = 0.0, first = 0.0;
    if (n == 3 && !args.real(trials))
        return;
    if (!args.real(second) || !args.real(first))
        return;
    if (!(trials >= 1.0 && trials <= kMaxTrials)) {
        args.failAtToken(ErrListLength);
        return;
    }
    const int count = ArgumentFetcher::clampedInt(trials);
    // Draws belong to the function token, not to its last argument.
    run.R.location = args.tokenLocation();
    RandomDeviates deviates(RandomSource::shared());

    switch (t) {
    case kRandInt: {
        const double lower = std::trunc(first), upper = std::trunc(second);
        if (!drawable(lower) || !drawable(upper)) {
            args.fail(ErrDomain);
            return;
        }
        if (n < 3) {
            args.result(deviates.randInt(lower, upper));
            return;
        }
        VQList draws;
        for (int i = 0; i < count; ++i)
            draws.addReal(deviates.randInt(lower, upper), 15, -15);
        args.result(std::move(draws));
        return;
    }
    case kRandBin:
    case kRandNorm: {
        if (t == kRandBin && (!(second >= 0.0 && second <= 1.0) || !(first >= 1.0) || !drawable(first))) {
            args.fail(ErrDomain);
            return;
        }
        auto draw = [&] { return t == kRandBin ? deviates.randBin(first, second) : deviates.randNorm(first, second); };
        if (n < 3) {
            args.result(draw());
            return;
        }
        VQList draws;
        for (int i = 0; i < count; ++i)
            draws.addReal(draw(), 15, -15);
        args.result(std::move(draws));
        return;
    }
    default: {  // randIntNoRep(
        double lower = first, upper = second;
        if (!ElementaryFunctions::isWhole(lower) || !ElementaryFunctions::isWhole(upper) || !drawable(lower)
            || !drawable(upper)) {
            args.fail(ErrDomain);
            return;
        }
        if (lower > upper)
            std::swap(lower, upper);
        if (upper - lower + 1.0 > kMaxTrials) {
            args.failAtToken(ErrListLength);
            return;
        }
        // The range in the order of random keys. The keys are uniform reals, not integers of
        // the range: tied keys would keep their numbers in order and favour some orders.
        VQList keys, sequence;
        for (double k = lower; k <= upper; k += 1.0) {
            keys.addReal(deviates.openUniform(), 15, -15);
            sequence.addReal(k, 15, -15);
        }
        keys.sortA(sequence);
        args.result(std::move(sequence));
        return;
    }
    }
}

} // namespace orvenda
