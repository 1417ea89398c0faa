#pragma once

#include "pretty/PrettyLayout.h"

#include <cstdint>
#include <vector>

namespace orvenda {

// Editing op arrays in the two-dimensional form: what a key adds, whether the op at the
// cursor may be overwritten, and deleting with templates kept whole. A structural op is an
// op that carries a template ID.
class PrettyEditor {
public:
    using Ops = std::vector<std::uint32_t>;

    // The cursor adjustment that moves nothing: the key added nothing, or the cursor stays
    // where the ops start (in the new mixed number's whole box).
    static constexpr int kNoAdjustment = 0x7FFFFFFF;
    // The box op, a placeholder for an empty whole the cursor can stand on.
    static constexpr std::uint32_t kBox = 0xEF1E;

    // The ops that the key `op` adds at `at` in ops. A template key gives an empty template
    // with the smallest unused ID and `adjust` the distance from `at` to the first box;
    // any other op is added as it is with adjust 0. Standing on a structural op switches
    // insert on; standing on a box op switches it off, so that typing replaces the box.
    static Ops enterOp(std::uint32_t op, int at, const Ops& ops, int& adjust, int& insert);
    // NO on a structural op: the caller inserts instead.
    static bool canOverwriteAt(const Ops& ops, int at);
    // Deletes at `at` and returns the new cursor (below). `mode` is switched to insert when
    // the new cursor stands on a structural op.
    //  - an ordinary op is removed;
    //  - on a template's first structural op: a template whose parts are all empty is
    //    removed, a one-part template (√, ³√, abs, e^, 10^, power) is unwrapped keeping its
    //    content, any other template is removed with its content (a power keeps its base,
    //    a mixed number its whole);
    //  - on a later structural op nothing is removed and the cursor moves to the next stop.
    static int deleteAt(Ops& ops, const PrettyLayout& layout, int at, int& mode);

private:
    // The node that owns op i: the innermost node whose range holds it while none of its
    // children's does.
    static int ownerOf(const PrettyTree& tree, int i);
    static int firstStructural(const PrettyTree& tree, int n);
};

} // namespace orvenda
