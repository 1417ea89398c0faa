#pragma once

namespace orvenda {

class Parser;
struct EvalRun;

// The random-number functions randInt(, randBin(, randNorm( and randIntNoRep(: two
// parameters and an optional number of trials (1 to 999); one draw is a real, several a
// real list. The draws come from the engine's random source, so a seeded run repeats.
class RandomHandlers {
public:
    explicit RandomHandlers(Parser& parser) : p_(parser) {}

    static bool handles(int token);
    void handle(EvalRun& run);

private:
    Parser& p_;
};

} // namespace orvenda
