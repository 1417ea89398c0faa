#include "pretty/PrettyEditor.h"

#include "pretty/PrettyCursor.h"
#include "pretty/TemplateIds.h"
#include "pretty/TokenClass.h"

#include <algorithm>

namespace orvenda {

namespace {

using Kind = PrettyNode::Kind;
using TC = TokenClass;

constexpr std::uint32_t kAns = 0x72;

bool structural(std::uint32_t op)
{
    return TC::templateId(op) != 0;
}

} // namespace

PrettyEditor::Ops PrettyEditor::enterOp(std::uint32_t op, int at, const Ops& ops, int& adjust, int& insert)
{
    const int n = static_cast<int>(ops.size());
    at = std::clamp(at, 0, n);
    if (at < n) {
        const std::uint32_t here = ops[static_cast<std::size_t>(at)];
        if (structural(here))
            insert = 1;
        else if (TC::token(here) == kBox)
            insert = 0;
    }
    const std::uint32_t t = TC::token(op);
    if (TC::templateId(op) != 0 || !(t == TC::kFractionBar || t == TC::kMixedSeparator || t == TC::kPower
                                     || t == TC::kXRoot || TC::templatePartCount(t) > 0)) {
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
        return {I(TC::kOpenParen), I(TC::kCloseParen), I(TC::kFractionBar), I(TC::kOpenParen), I(TC::kCloseParen)};
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
        // On an empty line the base is Ans, brought here so that the cursor lands in the
        // exponent.
        if (ops.empty()) {
            adjust = 3;
            return {kAns, I(TC::kPower), I(TC::kOpenParen), I(TC::kCloseParen)};
        }
        adjust = 2;
        return {I(TC::kPower), I(TC::kOpenParen), I(TC::kCloseParen)};
    case TC::kXRoot:
        return {I(TC::kOpenParen), I(TC::kCloseParen), I(TC::kXRoot), I(TC::kOpenParen), I(TC::kCloseParen)};
    default: {
        Ops out = {I(t)};
        for (int k = 1; k < TC::templatePartCount(t); ++k)
            out.push_back(I(TC::kComma));
        out.push_back(I(TC::kCloseParen));
        return out;
    }
    }
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
            mode = 1;
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
    if (at != first)
        return settle(PrettyCursor::right(layout, at));

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
