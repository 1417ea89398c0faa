#pragma once

#include "core/Operand.h"

namespace orvenda {

class Calculator;
class Parser;

// Terms of the sequences u, v and w (tokens 0x5E80..0x5E82). A sequence defines term η
// from earlier terms, so term n is found by stepping η from ηMin up to n and evaluating,
// at each step, every sequence the requested one depends on.
class SequenceEvaluator {
public:
    explicit SequenceEvaluator(Parser& parser);

    // Term n of the sequence `token`: kind 1 with its value, or kind 44 with the error
    // (27 for n below ηMin or another token, 15 for a term that is not real, or the
    // equation's own error). With out, the terms from ηMin to n are written to
    // out[0..n - ηMin], so a plot gets them all in one call. η keeps its value.
    Operand evalSeqNum(int token, double n, double* out);

private:
    // The sequence's equation evaluated at the current η into term; false on an error.
    bool evaluateTerm(int sequence, double& term);
    bool fail(int error, Operand& result);

    Parser& p_;
    Calculator& calc_;
};

} // namespace orvenda
