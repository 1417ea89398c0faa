#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

class VQColor;
class VQList;
class VQStack;

// The Y= equations: their tokens, compiled forms, styles, colours and plot switches.
// Equations are named by their token (Y1, X1T, r1, u, ...). Archived under "yEq".
//
// Programs store, switch and evaluate equations on the program queue while the screens
// read and edit them on the main thread: every call here is thread-safe and may come
// from either thread. An implementation calls nothing outside itself (parser, screens,
// notifications) while it holds its own lock, so callers may hold the calculator's locks.
// changeMode comes on the main thread.
class YEqManager {
public:
    using Ops = std::vector<std::uint32_t>;

    virtual ~YEqManager() = default;

    // Clears every equation.
    virtual void clearAll() = 0;
    // The equation's display text; empty when none.
    virtual std::string eqString(int token) const = 0;
    // Puts the editor cursor on the first equation of the graph mode.
    virtual void changeMode(int graphMode) = 0;

    // The equation's tokens; nothing when the token names no equation. An empty array is
    // an undefined equation, one holding its own token a self-reference.
    virtual std::optional<Ops> plotForFunction(int token) const = 0;
    // The compiled equation, compiled on first use and cached; null when the token names
    // no equation, the equation is empty or does not compile. The caller evaluates it.
    virtual std::shared_ptr<VQStack> rpnForFunction(int token) = 0;
    // Dependency flags of u, v or w (compiling it when needed); 0 for other tokens.
    virtual int seqFlagsFor(int token) = 0;
    // Number of initial values (0, 1 or 2) of u, v or w; 0 for other tokens.
    virtual int numSeqInitializersFor(int token) const = 0;

    // Replaces an equation's tokens: 0, or 29 (equation unchanged) when the tokens hold the
    // equation's own token (only a sequence may refer to itself), 26 when they are more
    // than a line takes (EntryManager::kMaxOps).
    virtual int setYEqFunc(int token, const Ops& ops) = 0;
    // Attaches a slider for a real variable to an equation.
    virtual void setYEqFunc(int token, int varNum, double value, double step, double max, double min) = 0;
    virtual void setFunction(int token, bool plotVisible) = 0;
    // Initial values of u, v or w from a list of 1 or 2 reals (null for none): 0, or 15 for
    // a complex list, 13 for no list or another length.
    virtual int initSeq(int token, const VQList* list) = 0;
    // The Y= editor is left: what its rows show and is not yet taken (a sequence's initial
    // values typed) is taken now; a value that fails tells its error and stays on its row.
    // Main thread.
    virtual void enterShownValues() {}
    // Style word (style code, bit 0 = selected) and colour.
    virtual void setStyle(int style, const VQColor& color, int forFunction) = 0;
    virtual void setColor(const VQColor& color, int forFunction) = 0;
    // Whether the equation is selected for plotting.
    virtual bool shouldPlotFunction(int token) const = 0;
    // The variable slot the equation solver's function (0x5E1A) is a function of.
    virtual int solverVar() const { return 23; }
    virtual void deleteEquation(int token) = 0;

    virtual nlohmann::json encode() const = 0;
    virtual void decode(const nlohmann::json& archive) = 0;
};

} // namespace orvenda
