#pragma once

namespace orvenda {

class Evaluator;
struct EvalRun;

// Where a token of the 0xBB page goes once the main loop has found no earlier rule for
// it: 0xBB00..0xBB5D through one table by token, the rest of the page to the default path
// (0xBB5E..0xBBD9) or the chain of the other pages (above 0xBBD9).
class BBDispatch {
public:
    // The handler families of the table.
    enum class Route : unsigned char {
        Finance,
        TwoArguments,
        Random,
        Strings,
        OneOrTwoArguments,
        Distributions,
        OneArgument,
        Statistics,
        ListsAndGraphStyle,
        Default,
    };

    // The route of token t (low 16 bits) in 0xBB00..0xBB5D; Default outside.
    static Route routeFor(int token);
    // Carries out run.token, which lies in 0xBB00..0xBBD9.
    static void dispatch(Evaluator& evaluator, EvalRun& run);
};

} // namespace orvenda
