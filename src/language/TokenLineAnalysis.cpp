#include "language/TokenLineAnalysis.h"

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/services/YEqManager.h"
#include "eval/ScalarOperators.h"
#include "language/VariableSlots.h"

#include <algorithm>
#include <utility>

namespace orvenda {

namespace {

constexpr std::uint32_t kStore = 0x04, kLeftBracket = 0x06, kRightBracket = 0x07, kLeftBrace = 0x08,
                        kRightBrace = 0x09, kRightParen = 0x11, kQuote = 0x2A, kComma = 0x2B,
                        kColon = 0x3E, kNewLine = 0x3F;

constexpr std::pair<std::uint32_t, std::uint32_t> kLeftParenTokens[] = {
    {0x10, 0x10}, {0x12, 0x25}, {0x27, 0x28}, {0x2E, 0x2F}, {0x73, 0x73}, {0x93, 0x93},
    {0x9C, 0xA9}, {0xB1, 0xBA}, {0xBC, 0xCD}, {0xD3, 0xD3}, {0xDA, 0xDB}, {0xE0, 0xE0},
    {0xE2, 0xE4}, {0xE6, 0xE6}, {0xEC, 0xEE}, {0xF2, 0xFA}, {0xFF, 0xFF},
    {0xBB00, 0xBB2E}, {0xBB32, 0xBB49}, {0xBB55, 0xBB56}, {0xBB59, 0xBB59}, {0xBB5C, 0xBB5C},
    {0xBBFA, 0xBBFF},
    {0xEF02, 0xEF08}, {0xEF13, 0xEF15}, {0xEF32, 0xEF35}, {0xEF65, 0xEF65}, {0xEF67, 0xEF67},
    {0xEF95, 0xEF95}, {0xEF97, 0xEF98},
    {0x5C36, 0x5C39}, {0x5C3C, 0x5C3F}, {0x5C43, 0x5C43}, {0x5C52, 0x5C56}, {0x5C60, 0x5C62},
    {0x5C64, 0x5C64},
};

constexpr std::uint32_t kFirstLetter = 0x41, kTheta = 0x5B;
constexpr std::uint32_t kFirstEquation = 0x5E10, kLastEquation = 0x5E45;
constexpr std::uint32_t kFirstList = 0x5D00, kLastList = 0x5D05;
constexpr std::uint32_t kFirstMatrix = 0x5C00, kLastMatrix = 0x5C09;

bool inRange(std::uint32_t t, std::uint32_t first, std::uint32_t last)
{
    return t >= first && t <= last;
}

} // namespace

bool TokenLineAnalysis::hasLeftParen(std::uint32_t op)
{
    const std::uint32_t t = op & 0xFFFF;
    return std::any_of(std::begin(kLeftParenTokens), std::end(kLeftParenTokens),
        [t](const auto& range) { return inRange(t, range.first, range.second); });
}

int TokenLineAnalysis::programCallAt(std::span<const std::uint32_t> ops)
{
    constexpr std::uint32_t kProgram = 0x5F;
    // A string's text is a value, whatever tokens it holds: it runs nothing. A string ends
    // at its closing quote, at a store or at the end of the line.
    bool inString = false;
    for (std::size_t i = 0; i < ops.size(); ++i) {
        const std::uint32_t t = ops[i] & 0xFFFF;
        if (t == kQuote)
            inString = !inString;
        else if (t == kStore || t == kNewLine)
            inString = false;
        else if (t == kProgram && !inString)
            return static_cast<int>(i);
    }
    return -1;
}

TokenLineAnalysis::Range TokenLineAnalysis::parenContextInOps(std::span<const std::uint32_t> ops, int location)
{
    if (location < 0)
        return {};
    struct Opener {
        int index;
        std::uint32_t closer;
    };
    std::vector<Opener> open;
    int candidate = -1;
    std::size_t candidateDepth = 0;
    const int n = static_cast<int>(ops.size());
    for (int i = 0; i <= n; ++i) {
        if (i == location && candidate < 0 && !open.empty()) {
            candidate = open.back().index;
            candidateDepth = open.size();
        }
        if (i == n)
            break;
        const std::uint32_t t = ops[i] & 0xFFFF;
        const bool inString = !open.empty() && open.back().closer == kQuote;

        const bool statementEnd = t == kStore || t == kNewLine || (t == kColon && !inString);
        if (statementEnd) {
            if (i < location - 1)
                open.clear();
            else if (i >= location)
                return candidate < 0 ? Range{} : Range{candidate, i - candidate};
            continue;
        }

        std::uint32_t closes = 0;
        if (t == kQuote && inString)
            closes = kQuote;
        else if (t == kQuote)
            open.push_back({i, kQuote});
        else if (inString)
            continue;
        else if (t == kLeftBracket)
            open.push_back({i, kRightBracket});
        else if (t == kLeftBrace)
            open.push_back({i, kRightBrace});
        else if (hasLeftParen(t))
            open.push_back({i, kRightParen});
        else if (t == kRightParen || t == kRightBracket || t == kRightBrace)
            closes = t;
        if (closes == 0)
            continue;
        if (open.empty() || open.back().closer != closes)
            return {};
        open.pop_back();
        if (candidate >= 0 && open.size() < candidateDepth)
            return {candidate, i - candidate};
    }
    return candidate < 0 ? Range{} : Range{candidate, n - candidate};
}

void TokenLineAnalysis::getEquationVars(std::set<std::uint32_t>& vars, std::span<const std::uint32_t> ops) const
{
    std::set<std::uint32_t> followed;
    collectVars(vars, followed, ops);
}

void TokenLineAnalysis::collectVars(std::set<std::uint32_t>& vars, std::set<std::uint32_t>& followed,
    std::span<const std::uint32_t> ops) const
{
    for (std::uint32_t op : ops) {
        const std::uint32_t t = op & 0xFFFF;
        if (inRange(t, kFirstLetter, kTheta)) {
            vars.insert(t);
        } else if (inRange(t, kFirstEquation, kLastEquation) && calc_.yEqManager && followed.insert(t).second) {
            if (const auto equation = calc_.yEqManager->plotForFunction(static_cast<int>(t)))
                collectVars(vars, followed, *equation);
        }
    }
}

TokenLineAnalysis::Ops TokenLineAnalysis::solverVars() const
{
    std::set<std::uint32_t> vars;
    getEquationVars(vars, calc_.locked()->solverEq);
    return Ops(vars.begin(), vars.end());
}

TokenLineAnalysis::Ops TokenLineAnalysis::valueOpsForList(const VQList& list) const
{
    Ops out{kLeftBrace};
    const bool complex = list.type() != 0;
    for (int i = 0; i < list.count(); ++i) {
        if (i > 0)
            out.push_back(kComma);
        const std::complex<double> z = list.complexAtIndex(i);
        const Ops element = complex ? ScalarOperators::complexToOps(calc_, z.real(), z.imag())
                                    : ScalarOperators::numToOps(calc_, z.real());
        out.insert(out.end(), element.begin(), element.end());
    }
    out.push_back(kRightBrace);
    return out;
}

std::optional<TokenLineAnalysis::Ops> TokenLineAnalysis::valueOpsForVar(std::uint32_t token) const
{
    const std::uint32_t t = token & 0xFFFF;
    const auto hold = calc_.lockState();
    if (inRange(t, kFirstLetter, kTheta) || inRange(t, 0x6200, 0x623C) || inRange(t, 0x6300, 0x633C)) {
        const int slot = VariableSlots::varNumFromOpcode(t);
        if (slot == VariableSlots::kNoSlot)
            return std::nullopt;
        return ScalarOperators::numToOps(calc_, calc_.getVar(slot).value.real());
    }
    if (inRange(t, kFirstList, kLastList)) {
        const auto it = calc_.state().lists.find(calc_.nameForOpcode(t));
        if (it == calc_.state().lists.end())
            return std::nullopt;
        return valueOpsForList(it->second);
    }
    if (inRange(t, kFirstMatrix, kLastMatrix)) {
        const VQMatrix& m = calc_.state().matrices[t - kFirstMatrix];
        Ops out{kLeftBracket};
        for (std::size_t r = 0; r < m.dimRow(); ++r) {
            out.push_back(kLeftBracket);
            for (std::size_t c = 0; c < m.dimCol(); ++c) {
                if (c > 0)
                    out.push_back(kComma);
                const Ops cell = ScalarOperators::numToOps(calc_, m.row(r, c));
                out.insert(out.end(), cell.begin(), cell.end());
            }
            out.push_back(kRightBracket);
        }
        out.push_back(kRightBracket);
        return out;
    }
    return std::nullopt;
}

} // namespace orvenda
