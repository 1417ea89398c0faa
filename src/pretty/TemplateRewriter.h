#pragma once

#include "pretty/PrettyTree.h"
#include "pretty/TemplateIds.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace orvenda {

// Rewrites a built PrettyTree and writes it back as ops. restructure() turns the plain
// forms of the templates into templates: a bare or bracketed operand after ^, around ／
// and ˣ√, a number ␣ n ／ d, the function templates whose parts are split by plain commas
// (√( ³√( abs( e^( ₁₀^( logBASE( ∑( fnInt( nDeriv() and matrix literals. Operands are
// taken exactly as the parser's precedence groups them, so the value never changes. New
// templates get fresh IDs, smallest unused first; a bracket pair that becomes a template's
// delimiters lends it its ID. write() gives every template its canonical encoding and
// supplies every missing closer (before the statement end that left it open).
class TemplateRewriter {
public:
    using Ops = std::vector<std::uint32_t>;

    explicit TemplateRewriter(PrettyTree& tree);

    void restructure();
    Ops write() const;

    // The left operand of the operator `token` (／ or ˣ√) typed at the cursor `at` of a
    // built tree, as restructure() reads it from the one-line form: `from` where it starts
    // (a lone bracket pair stands for its inside, [innerFrom, innerTo)). `from` is `at`
    // when nothing before the cursor is an operand, −1 when the operand there belongs to
    // an operator before it that binds at least as tightly (the one-line form keeps the
    // operator plain).
    struct LeftOperand {
        int from = 0;
        int innerFrom = 0;
        int innerTo = 0;
    };
    LeftOperand operandBefore(int at, std::uint32_t token) const;

private:
    using Nodes = std::vector<int>;

    const PrettyNode& node(int i) const { return tree_.node(i); }
    std::uint32_t opAt(int i) const { return tree_.ops_[static_cast<std::size_t>(i)]; }
    int make(const PrettyNode& n, std::span<const int> kids);
    int make(const PrettyNode& n, std::initializer_list<int> kids)
    {
        return make(n, std::span<const int>(kids.begin(), kids.size()));
    }
    void setChildren(int i, const Nodes& kids);

    int restructureNode(int i);
    void restructureRow(int row);
    int convertBrackets(int i);
    int functionFrom(int i);
    int matrixFrom(int i);
    // A row's items split at its plain commas (not those in strings), without the boxes of
    // empty parts.
    std::vector<Nodes> splitAtCommas(int row) const;
    // Follows the quotes of a row: YES on a quote; a ➞ or new line ends a string.
    bool stringBoundary(int i, bool& inString) const;

    bool power(const Nodes& in, std::size_t& i, Nodes& out);
    bool fraction(const Nodes& in, std::size_t& i, Nodes& out, std::uint32_t bar);
    bool mixed(const Nodes& in, std::size_t& i, Nodes& out);

    // The part row made of the nodes [from, to), restructured unless they already are
    // (raw NO): a single "(" pair lends its inner row, and its ID (lentId) to the template.
    int wrap(const Nodes& nodes, std::size_t from, std::size_t to, bool raw = true);
    std::uint16_t lentId(const Nodes& nodes, std::size_t from, std::size_t to) const;
    std::uint16_t freshId(std::uint16_t id1, std::uint16_t id2);

    // Whether the nodes read the same inside a template part: a stray template closer or
    // separator left as a glyph (malformed ops) would end the part there.
    bool movable(int i) const;
    bool movable(const Nodes& nodes, std::size_t from, std::size_t to) const;
    bool isPlainGlyph(int i, std::uint32_t token) const;
    // ␣ and ° read differently after a number than after the ")" a template ends with.
    bool needsNumberBefore(const Nodes& in, std::size_t i) const;
    bool isOperand(int i) const;
    bool isParenGroup(int i) const;
    int precedence(int i) const;
    // Where the operand of an operator of precedence q that starts at in[i] ends; −1 when
    // none starts there.
    long operandEnd(const Nodes& in, std::size_t i, int q) const;
    std::size_t atomEnd(const Nodes& in, std::size_t i) const;
    // Where the left operand of an operator of precedence q, ending out's items, starts.
    long leftOperandStart(const Nodes& out, int q) const;

    void write(int i, Ops& out, bool& inString) const;

    PrettyTree& tree_;
    TemplateIds ids_;
};

} // namespace orvenda
