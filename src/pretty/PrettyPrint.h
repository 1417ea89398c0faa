#pragma once

#include "pretty/PrettyTree.h"

#include <cstdint>
#include <vector>

namespace orvenda {

// The two-dimensional (MathPrint) form of op arrays: templates written into an op array
// with their IDs in the high 16 bits, and the tree that form is laid out from.
//
// Template encodings ((t) marks the template ID): fraction (t)( n (t)) (t)／ (t)( d (t));
// power (t)^ (t)( e (t)) after its base; mixed number w (t)␣ (t)( n (t)) (t)／ (t)( d (t));
// matrix (t)[, each row (t)[ cells joined by (t), (t)], then (t)]; √( ³√( abs( e^( ₁₀^(
// (t)f x (t)); ˣ√ (t)( n (t)) (t)ˣ√ (t)( x (t)); logBASE( (t)f x (t), b (t)); ∑( fnInt(
// (t)f body (t), var (t), low (t), high (t)); nDeriv( (t)f body (t), var (t), at (t)).
// Read without the IDs, each is an ordinary token line with the same value.
class PrettyPrint {
public:
    using Ops = std::vector<std::uint32_t>;

    // A cursor position that shows no cursor.
    static constexpr int kNoCursor = 50000;

    // A copy for display: the plain forms of the templates become templates with fresh
    // IDs (the smallest unused first), existing IDs stay, and missing closers are
    // supplied. Applying it to its own result changes nothing.
    static Ops beautifyOps(const Ops& ops);
    // Supplies every missing closing bracket: a statement's before the ➞, ":" or new line
    // that ends it, the last one's at the end.
    static void closeParens(Ops& ops);
    // A copy without the ops only the two-dimensional form uses (0x5C47, 0x5C48 and the box
    // 0xEF1E).
    static Ops cleanOps(const Ops& ops);
    // The type code of a token (TokenClass::Type).
    static int opType(std::uint32_t op);

    // The tree of ops, kept until the next call.
    const PrettyTree& buildTree(const Ops& ops);
    const PrettyTree& tree() const { return tree_; }

private:
    PrettyTree tree_;
};

} // namespace orvenda
