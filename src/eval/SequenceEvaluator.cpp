#include "eval/SequenceEvaluator.h"

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "core/services/YEqManager.h"
#include "eval/Parser.h"
#include "eval/ProgramQueue.h"
#include "language/ErrorNumbers.h"

#include <cmath>

namespace orvenda {

namespace {

constexpr int kFirstSequence = 0x5E80;  // u, then v and w
constexpr int kSlotEta = 27;
constexpr int kSlotEtaMin = 59;
// u(ηMin), v(ηMin), w(ηMin): the term one step back at the first step.
constexpr int kFirstStart[3] = {32, 33, 78};
// The term two steps back, for sequences that refer that far.
constexpr int kSecondStart[3] = {36, 37, 79};
// The earlier terms the compiled equations read: u1, u2, v1, v2, w1, w2.
constexpr int kHistory = 212;

int oneBack(int sequence) { return 1 << (2 * sequence); }
int twoBack(int sequence) { return 1 << (2 * sequence + 1); }
int bothBack(int sequence) { return oneBack(sequence) | twoBack(sequence); }

} // namespace

SequenceEvaluator::SequenceEvaluator(Parser& parser) : p_(parser), calc_(parser.calc) {}

bool SequenceEvaluator::fail(int error, Operand& result)
{
    p_.setError(error);
    result.kind = KindError;
    result.error = error;
    return false;
}

bool SequenceEvaluator::evaluateTerm(int sequence, double& term)
{
    YEqManager* yEq = calc_.yEqManager.get();
    const std::shared_ptr<VQStack> rpn = yEq ? yEq->rpnForFunction(kFirstSequence + sequence) : nullptr;
    if (!rpn) {
        p_.setError(ErrUndefined);
        return false;
    }
    const Operand r = p_.evalRPN(*rpn, true, true);
    if (p_.error() != 0)
        return false;
    if (r.kind != KindReal) {
        p_.setError(ErrNonReal);
        return false;
    }
    term = r.re();
    return true;
}

Operand SequenceEvaluator::evalSeqNum(int token, double n, double* out)
{
    Operand result;
    const int requested = token - kFirstSequence;
    const double etaMin = calc_.state().vars[kSlotEtaMin].real();
    const double start = etaMin > 0 ? std::trunc(etaMin) : 0.0;
    if (requested < 0 || requested > 2 || !(start <= n)) {
        fail(ErrArgument, result);
        return result;
    }
    YEqManager* yEq = calc_.yEqManager.get();
    if (!yEq) {
        fail(ErrUndefined, result);
        return result;
    }

    const VariableRecord savedEta = calc_.getVar(kSlotEta);
    struct RestoreEta {
        Calculator& calc;
        const VariableRecord& eta;
        ~RestoreEta() { calc.setVar(kSlotEta, eta); }
    } restore{calc_, savedEta};
    // A long stepping on the program queue ends when the user stops the program.
    ProgramQueue& queue = p_.programQueue();
    const bool stoppable = &p_.ctx() == &queue.runContext();
    // Between terms the main thread may take the state lock.
    auto stopped = [&] {
        if (!stoppable)
            return false;
        calc_.stateMutex().offerToWaiters();
        return !queue.takeSteps();
    };
    auto setEta = [&](double k) { calc_.setVar(kSlotEta, {{k, 0.0}, 15, -15}); };

    // What the requested sequence depends on, widened by one level through the others.
    static constexpr int kOthers[3][2] = {{1, 2}, {0, 2}, {0, 1}};
    int flags = yEq->seqFlagsFor(token);
    for (int other : kOthers[requested])
        if (flags & bothBack(other))
            flags |= yEq->seqFlagsFor(kFirstSequence + other);

    double last = 0;
    if (flags != 0) {
        bool takesPart[3];
        for (int s = 0; s < 3; ++s)
            takesPart[s] = (flags & bothBack(s)) != 0;
        // The requested sequence is evaluated even when it refers only to the others; its
        // first terms then come from its own initial values, and earlier terms of the
        // others before ηMin read as 0.
        if (!takesPart[requested]) {
            takesPart[requested] = true;
            const int count = yEq->numSeqInitializersFor(token);
            flags |= count >= 2 ? bothBack(requested) : count == 1 ? oneBack(requested) : 0;
        }
        for (int i = 0; i < 6; ++i)
            calc_.state().vars[kHistory + i] = 0;

        for (double k = start; k <= n; ++k) {
            if (stopped()) {
                fail(ErrBreak, result);
                return result;
            }
            setEta(k);
            double terms[3] = {0, 0, 0};
            for (int s = 0; s < 3; ++s) {
                if (!takesPart[s])
                    continue;
                if (flags & twoBack(s)) {
                    terms[s] = calc_.state().vars[kSecondStart[s]].real();
                    flags &= ~twoBack(s);
                } else if (flags & oneBack(s)) {
                    terms[s] = calc_.state().vars[kFirstStart[s]].real();
                    flags &= ~bothBack(s);
                } else if (!evaluateTerm(s, terms[s])) {
                    fail(p_.error(), result);
                    return result;
                }
            }
            if (out)
                out[static_cast<std::size_t>(k - start)] = terms[requested];
            for (int s = 0; s < 3; ++s) {
                calc_.state().vars[kHistory + 2 * s + 1] = calc_.state().vars[kHistory + 2 * s];
                calc_.state().vars[kHistory + 2 * s] = terms[s];
            }
        }
        last = calc_.state().vars[kHistory + 2 * requested].real();
    } else {
        // No earlier terms: only the terms asked for are evaluated, the first ones from
        // the initial values.
        int count = yEq->numSeqInitializersFor(token);
        double k = start;
        if (!out) {
            count -= static_cast<int>(std::fmin(n - start, 3.0));
            k = n;
        }
        for (; k <= n; ++k) {
            if (stopped()) {
                fail(ErrBreak, result);
                return result;
            }
            double term = 0;
            if (count == 2) {
                term = calc_.state().vars[kSecondStart[requested]].real();
                count = 1;
            } else if (count == 1) {
                term = calc_.state().vars[kFirstStart[requested]].real();
                count = 0;
            } else {
                setEta(k);
                if (!evaluateTerm(requested, term)) {
                    fail(p_.error(), result);
                    return result;
                }
            }
            if (out)
                out[static_cast<std::size_t>(k - start)] = term;
            last = term;
        }
    }
    result.kind = KindReal;
    result.value = {last, 0.0};
    result.error = p_.error();
    return result;
}

} // namespace orvenda
