#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <vector>

namespace orvenda {

class Calculator;
class VQList;

// What editors learn about an op array without evaluating it: the bracket context around
// the cursor, the variables an equation uses, and a variable's value written as tokens.
class TokenLineAnalysis {
public:
    using Ops = std::vector<std::uint32_t>;

    struct Range {
        int location = 0;
        int length = 0;
        bool operator==(const Range&) const = default;
    };

    explicit TokenLineAnalysis(const Calculator& calc)
        : calc_(calc)
    {
    }

    // Tokens that open an argument group: "(" and the functions and commands written with
    // one ("sin(", "For("). "[" and "{" are not among them.
    static bool hasLeftParen(std::uint32_t op);
    // The innermost bracket or string context around the location: the opener's index and
    // the distance to its closer (or to the statement end or the array end while open);
    // {0, 0} for none or a negative location. Statement ends ("➞", a new line, ":") start a
    // fresh context; a closer that matches no opener ends the search.
    static Range parenContextInOps(std::span<const std::uint32_t> ops, int location);
    // The index of the first program call (prgm) in the ops, outside a string; -1 for none.
    static int programCallAt(std::span<const std::uint32_t> ops);

    // Adds the letters A-Z and θ the ops use, following the Y= equations they name, each
    // equation once.
    void getEquationVars(std::set<std::uint32_t>& vars, std::span<const std::uint32_t> ops) const;
    // The variables of the solver's equation, A first and θ last.
    Ops solverVars() const;

    // "{", the elements separated by ",", "}".
    Ops valueOpsForList(const VQList& list) const;
    // The current value of a letter, statistics or window variable (its real part), of
    // L₁-L₆ or of [A]-[J] as tokens; nothing for any other token.
    std::optional<Ops> valueOpsForVar(std::uint32_t token) const;

private:
    void collectVars(std::set<std::uint32_t>& vars, std::set<std::uint32_t>& followed,
        std::span<const std::uint32_t> ops) const;

    const Calculator& calc_;
};

} // namespace orvenda
