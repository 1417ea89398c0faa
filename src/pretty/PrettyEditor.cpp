#include "pretty/PrettyEditor.h"

#include "pretty/PrettyCursor.h"
#include "pretty/TemplateIds.h"
#include "pretty/TemplateRewriter.h"
#include "pretty/TokenClass.h"

#include <algorithm>

namespace orvenda {

namespace {

using Kind = PrettyNode::Kind;
using TC = TokenClass;

// A line starting with this token is text as a whole; ":" ends a statement.
constexpr std::uint32_t kQuotedLine = 0xBBD1;
constexpr std::uint32_t kStatementSeparator = 0x3E;

bool structural(std::uint32_t op)
{
    return TC::templateId(op) != 0;
}

} // namespace

PrettyEditor::Ops PrettyEditor::enterOp(std::uint32_t op, int& at, const Ops& ops, int& adjust, int& insert, int& taken)
{
    const int n = static_cast<int>(ops.size());
    at = std::clamp(at, 0, n);
    taken = 0;
    const std::uint32_t t = TC::token(op);
    bool took = false;
    const int to = partEnd(op, at, ops, took);
    if (to != at) {
        at = to;
        // Out of the template: the insert mode it switched on ends with it.
        InsertMode::endTemplate(insert);
    }
    if (took) {
        adjust = kNoAdjustment;
        return {};
    }
    if (at < n) {
        const std::uint32_t here = ops[static_cast<std::size_t>(at)];
        if (structural(here))
            InsertMode::atTemplate(insert);
        else if (TC::token(here) == kBox)
            InsertMode::end(insert);
    }
    const bool templateKey = TC::templateId(op) == 0
        && (t == TC::kFractionBar || t == TC::kMixedSeparator || t == TC::kPower || t == TC::kXRoot
            || TC::templatePartCount(t) > 0);
    // In a string a key types its token: the string is text.
    if (!templateKey || inString(ops, at)) {
        adjust = 0;
        return {op};
    }
    const std::uint32_t id = TemplateIds::next(ops);
    if (id == TemplateIds::kNone) {
        adjust = kNoAdjustment;
        return {};
    }
    auto I = [&](std::uint32_t token) { return TC::withId(token, static_cast<std::uint16_t>(id)); };
    adjust = 1;
    switch (t) {
    case TC::kFractionBar:
    case TC::kXRoot: {
        // The operand before is the numerator or the index, as the one-line form reads it.
        PrettyTree tree;
        tree.build(ops);
        const TemplateRewriter::LeftOperand left = TemplateRewriter(tree).operandBefore(at, t);
        if (left.from < 0) {
            // Bound to an operator before it: the one-line form's plain operator.
            adjust = 0;
            return {op};
        }
        Ops out = {I(TC::kOpenParen)};
        out.insert(out.end(), ops.begin() + left.innerFrom, ops.begin() + left.innerTo);
        out.insert(out.end(), {I(TC::kCloseParen), I(t), I(TC::kOpenParen), I(TC::kCloseParen)});
        if (left.from < at) {
            adjust = left.innerTo - left.innerFrom + 4;
            taken = at - left.from;
            at = left.from;
        }
        return out;
    }
    case TC::kMixedSeparator: {
        Ops out = {I(TC::kMixedSeparator), I(TC::kOpenParen), I(TC::kCloseParen), I(TC::kFractionBar),
                   I(TC::kOpenParen), I(TC::kCloseParen)};
        // A number just before the cursor is the whole; else a box stands for it.
        const bool whole = at > 0 && TC::isNumberToken(ops[static_cast<std::size_t>(at - 1)]);
        if (whole) {
            adjust = 2;
        } else {
            out.insert(out.begin(), kBox);
            adjust = kNoAdjustment;
        }
        return out;
    }
    case TC::kPower:
        // The base is what stands before; on an empty home line the line's automatic Ans.
        adjust = 2;
        return {I(TC::kPower), I(TC::kOpenParen), I(TC::kCloseParen)};
    default: {
        Ops out = {I(t)};
        for (int k = 1; k < TC::templatePartCount(t); ++k)
            out.push_back(I(TC::kComma));
        out.push_back(I(TC::kCloseParen));
        return out;
    }
    }
}

int PrettyEditor::partEnd(std::uint32_t op, int at, const Ops& ops, bool& taken)
{
    taken = false;
    const std::uint32_t t = TC::token(op);
    const int n = static_cast<int>(ops.size());
    // Only a template's own op at `at` acts; the string test, which reads the line up to
    // `at`, comes after that one, so a key that acts as typed costs nothing of the line.
    if (TC::templateId(op) != 0 || (t != TC::kCloseParen && t != TC::kComma && t != TC::kFractionBar)
        || at < 0 || at >= n || !structural(ops[static_cast<std::size_t>(at)]) || inString(ops, at))
        return at;
    // A mixed number's own bar: n/d at the end of its numerator goes on to the denominator.
    if (t == TC::kFractionBar) {
        auto isId = [&](int i, std::uint32_t token) {
            return i >= 0 && i < n && TC::token(ops[static_cast<std::size_t>(i)]) == token
                && structural(ops[static_cast<std::size_t>(i)]);
        };
        if (!isId(at, TC::kCloseParen) || !isId(at + 1, TC::kFractionBar) || !isId(at + 2, TC::kOpenParen))
            return at;
        PrettyTree tree;
        tree.build(ops);
        const int owner = ownerOf(tree, at);
        if (tree.node(owner).kind != Kind::MixedNumber || tree.node(tree.child(owner, 1)).end != at)
            return at;
        taken = true;
        return at + 3;
    }
    PrettyTree tree;
    bool built = false;
    while (at >= 0 && at < n) {
        const std::uint32_t here = ops[static_cast<std::size_t>(at)];
        const std::uint32_t h = TC::token(here);
        if (!structural(here) || (h != TC::kCloseParen && h != TC::kComma))
            return at;
        if (!built) {
            tree.build(ops);
            built = true;
        }
        const int owner = ownerOf(tree, at);
        const PrettyNode& T = tree.node(owner);
        int part = -1;
        for (int c : tree.children(owner))
            if (tree.node(c).kind == Kind::Row && tree.node(c).end == at)
                part = c;
        if (part < 0 || ownBracketOpen(tree, part))
            return at;
        const bool last = T.closed && at == T.end - 1;
        if (hasOwnCloser(T)) {
            // Its closer takes a ")", its separators a ",".
            if (h != t)
                return at;
            taken = true;
            return at + 1;
        }
        if (!last || !(T.kind == Kind::Fraction || T.kind == Kind::MixedNumber
                       || (T.kind == Kind::Script && T.token == TC::kPower)
                       || (T.kind == Kind::Radical && T.token == TC::kXRoot)))
            return at;
        at = T.end;
    }
    return at;
}

std::vector<int> PrettyEditor::strayClosers(const Ops& ops)
{
    std::vector<int> out;
    PrettyTree tree;
    tree.build(ops);
    bool inString = false;
    for (int c : tree.children(tree.root())) {
        const PrettyNode& n = tree.node(c);
        if (n.kind != Kind::Glyph)
            continue;
        if (n.token == TC::kQuote)
            inString = !inString;
        else if (n.token == TC::kStore || n.token == TC::kNewLine)
            inString = false;
        else if (!inString && (n.token == TC::kCloseParen || n.token == TC::kComma)
                 && !structural(ops[static_cast<std::size_t>(n.begin)]))
            out.push_back(n.begin);
    }
    return out;
}

void PrettyEditor::pasteInTurn(const Ops& ops, const std::function<void(const Ops& run, bool first)>& add,
                               const std::function<void(std::uint32_t op)>& type)
{
    auto from = ops.begin();
    for (const int i : strayClosers(ops)) {
        add(Ops(from, ops.begin() + i), from == ops.begin());
        type(ops[static_cast<std::size_t>(i)]);
        from = ops.begin() + i + 1;
    }
    add(Ops(from, ops.end()), from == ops.begin());
}

bool PrettyEditor::inString(const Ops& ops, int at)
{
    if (!ops.empty() && TC::token(ops.front()) == kQuotedLine)
        return true;
    bool quoted = false;
    for (int i = 0; i < at && i < static_cast<int>(ops.size()); ++i) {
        const std::uint32_t t = TC::token(ops[static_cast<std::size_t>(i)]);
        if (t == TC::kQuote)
            quoted = !quoted;
        else if (t == TC::kStore || t == TC::kNewLine || t == kStatementSeparator)
            quoted = false;
    }
    return quoted;
}

bool PrettyEditor::hasOwnCloser(const PrettyNode& n)
{
    switch (n.kind) {
    case Kind::Radical: return n.token != TC::kXRoot;
    case Kind::AbsoluteValue: case Kind::LogBase: case Kind::BigOperator: case Kind::Derivative: return true;
    case Kind::Script: return n.token == TC::kExpE || n.token == TC::kExpTen;
    case Kind::Brackets: return n.id != 0 && TC::closerFor(n.token) == TC::kCloseParen;
    default: return false;
    }
}

bool PrettyEditor::ownBracketOpen(const PrettyTree& tree, int part)
{
    const auto kids = tree.children(part);
    return !kids.empty() && tree.node(kids.back()).kind == Kind::Brackets && !tree.node(kids.back()).closed;
}

bool PrettyEditor::canOverwriteAt(const Ops& ops, int at)
{
    return at < 0 || at >= static_cast<int>(ops.size()) || !structural(ops[static_cast<std::size_t>(at)]);
}

int PrettyEditor::ownerOf(const PrettyTree& tree, int i)
{
    int n = tree.root();
    for (;;) {
        int next = -1;
        for (int c : tree.children(n))
            if (tree.node(c).begin <= i && i < tree.node(c).end)
                next = c;
        if (next < 0)
            return n;
        n = next;
    }
}

int PrettyEditor::firstStructural(const PrettyTree& tree, int n)
{
    const PrettyNode& N = tree.node(n);
    if (N.kind == Kind::Script && N.token == TC::kPower)
        return tree.node(tree.child(n, 0)).end;
    if (N.kind == Kind::MixedNumber)
        return tree.node(tree.child(n, 0)).end;
    return N.begin;
}

int PrettyEditor::barKeeps(const PrettyTree& tree, int t, int at)
{
    const PrettyNode& T = tree.node(t);
    const bool fraction = T.kind == Kind::Fraction;
    if (!(fraction || (T.kind == Kind::Radical && T.token == TC::kXRoot)) || T.childCount < 2)
        return -1;
    // A fraction's parts are in op order; an ˣ√ holds its radicand first.
    const int kept = tree.child(t, fraction ? 0 : 1);
    const PrettyNode& last = tree.node(tree.child(t, fraction ? 1 : 0));
    return tree.node(kept).end == at && last.begin == last.end ? kept : -1;
}

int PrettyEditor::unwrapBar(Ops& ops, const PrettyTree& tree, int t, int kept)
{
    const PrettyNode& T = tree.node(t);
    const PrettyNode& K = tree.node(kept);
    Ops part(ops.begin() + K.begin, ops.begin() + K.end);
    const std::uint32_t bar = T.kind == Kind::Fraction ? TC::kFractionBar : TC::kXRoot;
    const int from = T.begin;
    ops.erase(ops.begin() + from, ops.begin() + T.end);
    ops.insert(ops.begin() + from, part.begin(), part.end());
    int end = from + static_cast<int>(part.size());
    if (part.empty())
        return end;
    // Where the key typed again would not take the part whole (1+2 of (1+2)／), the part
    // keeps the brackets it was taken from.
    PrettyTree line;
    line.build(ops);
    if (TemplateRewriter(line).operandBefore(end, bar).from > from) {
        ops.insert(ops.begin() + end, TC::kCloseParen);
        ops.insert(ops.begin() + from, TC::kOpenParen);
        end += 2;
    }
    return end;
}

int PrettyEditor::deleteAt(Ops& ops, const PrettyLayout& layout, int at, int& mode)
{
    const PrettyTree& tree = layout.tree();
    const int n = static_cast<int>(ops.size());
    if (at < 0 || at >= n)
        return at;
    auto erase = [&](int from, int to) { ops.erase(ops.begin() + from, ops.begin() + to); };
    auto settle = [&](int cursor) {
        cursor = std::min(cursor, static_cast<int>(ops.size()));
        if (cursor < static_cast<int>(ops.size()) && structural(ops[static_cast<std::size_t>(cursor)]))
            InsertMode::atTemplate(mode);
        return cursor;
    };
    if (!structural(ops[static_cast<std::size_t>(at)])) {
        erase(at, at + 1);
        return settle(at);
    }
    int t = ownerOf(tree, at);
    // e^( and ₁₀^( are the glyph of their own base.
    if (tree.node(t).kind == Kind::Glyph && tree.node(t).parent >= 0 && tree.node(tree.node(t).parent).kind == Kind::Script)
        t = tree.node(t).parent;
    // A matrix row's brackets and separators are the matrix's.
    if (tree.node(t).kind == Kind::MatrixRow)
        t = tree.node(t).parent;
    const PrettyNode& T = tree.node(t);
    if (T.kind == Kind::Row || T.kind == Kind::Glyph) {
        // A template op that belongs to no template: nothing holds it together.
        erase(at, at + 1);
        return settle(at);
    }
    const int first = firstStructural(tree, t);
    if (const int kept = barKeeps(tree, t, at); kept >= 0)
        return settle(unwrapBar(ops, tree, t, kept));
    // At the end of a part DEL has nothing of this part to take.
    if (at != first)
        return settle(layout.isStop(at) ? at : PrettyCursor::right(layout, at));

    // The parts: what the template's structural ops enclose.
    std::vector<int> parts;
    const auto kids = tree.children(t);
    const bool hasBase = T.kind == Kind::MixedNumber || (T.kind == Kind::Script);
    for (std::size_t k = hasBase ? 1 : 0; k < kids.size(); ++k) {
        if (T.kind == Kind::Matrix) {
            for (int cell : tree.children(kids[k]))
                parts.push_back(cell);
        } else {
            parts.push_back(kids[k]);
        }
    }
    const bool empty = std::all_of(parts.begin(), parts.end(),
                                   [&](int p) { return tree.node(p).begin == tree.node(p).end; });
    const bool onePart = !empty && parts.size() == 1
                         && (T.kind == Kind::Radical || T.kind == Kind::AbsoluteValue || T.kind == Kind::Script
                             || T.kind == Kind::Brackets);
    if (onePart) {
        const PrettyNode& keep = tree.node(parts.front());
        erase(keep.end, T.end);
        erase(first, keep.begin);
    } else {
        erase(first, T.end);
    }
    return settle(at);
}

} // namespace orvenda
