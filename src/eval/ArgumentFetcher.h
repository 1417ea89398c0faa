#pragma once

#include "core/Operand.h"
#include "core/VQColor.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

class Parser;
class VQList;
class VQStack;

// How token handlers take their arguments off the evaluation stack: resolved values,
// checked counts, whole numbers within bounds, colours, mark types and stored programs.
// Every routine reports failure through the parser's error and errorToken, so a handler
// only stops when a routine answers no (false, null or 0).
class ArgumentFetcher {
public:
    using Ops = std::vector<std::uint32_t>;

    explicit ArgumentFetcher(Parser& parser) : p_(parser) {}

    // The top record with variable references resolved. The parser's error and errorToken
    // become the record's error and location, so a clean record clears an earlier error.
    // A null stack gives a zeroed record (kind 0) and clears both.
    Operand popValueFromStack(VQStack* stack);
    // The same into an existing record (the evaluator's X and Y), without a temporary.
    void popValueFromStack(VQStack* stack, Operand& into);
    // The count when it lies within min..max and the stack holds that many records;
    // otherwise 0 with error 39 (too few, or too few records) or 40 (too many). An error
    // already set also gives 0.
    int validateArgsMin(int min, int max, int count, const VQStack& stack);
    // Kind of the top record, -1 for an empty stack.
    static int nextArgType(const VQStack& stack);
    // Pops a real; error 27 for an empty stack or another kind.
    bool getReal(double& value, VQStack& stack);
    // Pops a whole real within min..max; value is written even when out of bounds.
    bool getInt(int& value, int min, int max, VQStack& stack);
    // The real at index, without popping; errorToken becomes its location.
    bool getReal(double& value, int index, const VQStack* stack);

    // A colour argument as {red, green, blue} in 0..1: a list of three such reals, a
    // colour-command colour (a real marked with sigFig -1) or a standard colour 1..48.
    // Null when the argument is no colour; error 17 for a colour number that is not whole
    // or out of range.
    std::shared_ptr<VQList> getColorFromStack(VQStack& stack);
    // The same as an opaque colour, with stricter checks (error 27 for a bad list or
    // another kind) and standard colours 0..24.
    std::optional<VQColor> getVQColorFromStack(VQStack& stack);
    // The components a record denotes as a colour, without popping or raising an error.
    bool getColorR(double& r, double& g, double& b, const Operand& op) const;
    // Mark type 0, 1 or 2 of a square, plus or dot mark token; mark is left alone else.
    static bool getMark(int& mark, const Operand& op);
    // A copy of the stored program's ops; error 41 when there is none of that name.
    std::optional<Ops> getProgram(const std::string& name);

    // ---- Numbers as ints ----
    // The one place where a number a user gave becomes an int: converting a double beyond
    // int reach is undefined, so every such conversion goes through these.

    // x when it is a whole number within min..max; nothing for a fraction, NaN, an
    // infinity or any value out of bounds.
    static std::optional<int> wholeIn(double x, int min, int max)
    {
        if (!(x >= min && x <= max) || x != std::trunc(x))
            return std::nullopt;
        return static_cast<int>(x);
    }
    // x truncated toward zero and held within min..max; NaN counts as 0.
    static int clampedInt(double x, int min = INT_MIN, int max = INT_MAX)
    {
        const double t = std::isnan(x) ? 0.0 : std::trunc(x);
        if (t <= min)
            return min;
        if (t >= max)
            return max;
        return static_cast<int>(t);
    }

private:
    void fail(int error);

    Parser& p_;
};

} // namespace orvenda
