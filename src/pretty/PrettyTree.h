#pragma once

#include "pretty/PrettyNode.h"

#include <cstdint>
#include <span>
#include <vector>

namespace orvenda {

class TemplateRewriter;

// The two-dimensional form of an op array. Ops whose structural tokens carry a template
// ID (the high 16 bits) become fractions, powers, roots and the other templates; plain ops
// become glyphs, number runs and stretchy brackets. Delimiters pair up by structure: an
// ID'd closer or separator ends the innermost template part, a plain closer the innermost
// plain bracket, and a statement end every open group. Malformed ops still give a tree:
// what does not fit a template is drawn as glyphs. Rebuilding reuses the storage.
class PrettyTree {
public:
    using Ops = std::vector<std::uint32_t>;
    using Kind = PrettyNode::Kind;

    void build(const Ops& ops);

    const Ops& ops() const { return ops_; }
    int root() const { return root_; }
    int size() const { return static_cast<int>(nodes_.size()); }
    const PrettyNode& node(int i) const { return nodes_[static_cast<std::size_t>(i)]; }
    std::span<const int> children(int i) const
    {
        const PrettyNode& n = node(i);
        return {children_.data() + n.firstChild, static_cast<std::size_t>(n.childCount)};
    }
    int child(int i, int k) const { return children(i)[static_cast<std::size_t>(k)]; }

private:
    friend class TemplateRewriter;
    class Builder;

    // Where the base of a power or postfix starts among a row's last items: the last
    // operand with the postfix glyphs that bind as tightly after it ("3!" of 3!²); the last
    // item when it can carry a superscript; `count` for none.
    std::size_t baseStart(const int* items, std::size_t count) const;
    int add(const PrettyNode& n);
    // Makes scratch_[mark..] the children of node i.
    void adopt(int i, std::size_t mark);

    Ops ops_;
    std::vector<PrettyNode> nodes_;
    std::vector<int> children_;
    std::vector<int> scratch_;
    std::vector<int> separators_;
    int root_ = -1;
};

} // namespace orvenda
