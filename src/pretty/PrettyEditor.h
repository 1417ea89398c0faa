#pragma once

#include "pretty/InsertMode.h"
#include "pretty/PrettyLayout.h"

#include <cstdint>
#include <functional>
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
    // What the key `op` does at `at` in ops: the ops to add at `at`, which may move (the
    // editor's cursor goes there first), in place of the `taken` ops from there.
    //  - A template key gives an empty template with the smallest unused ID and `adjust`
    //    the distance from `at` to its first box. n/d and ˣ√ take the operand before the
    //    cursor as their first part, as the one-line form reads it (`at` moves back to its
    //    start) and `adjust` reaches the second; an operand bound to an operator before it
    //    keeps the key the one-line form's plain operator. In a string a key types its token.
    //  - A ")" or "," at the end of a template's part: see partEnd. When the template takes
    //    it nothing is added, `at` is past it and `adjust` is kNoAdjustment.
    //  - Any other op is added as it is with adjust 0.
    // Standing on a structural op switches a template's insert mode on; standing on a box
    // op switches every mode off, so that typing replaces the box; leaving a template ends
    // the insert mode it switched on (InsertMode).
    static Ops enterOp(std::uint32_t op, int& at, const Ops& ops, int& adjust, int& insert, int& taken);
    // Where a ")" or "," (plain) typed at `at` acts. At the end of a template's part, with no
    // bracket of the part's own left open: a template with a bracket of its own in the one-
    // line form (√( ³√( abs( e^( ₁₀^( logBASE( nDeriv( ∑( fnInt( and bracket pairs) takes
    // a ")" at the end of its last part and a "," at the end of any other part, and the
    // answer is the stop past its closer or separator with `taken` YES; a power, fraction,
    // mixed number or ˣ√ is left at the end of its last part (the one-line form has no
    // closer there), and the key acts after it, which may again be the end of a part.
    // Likewise a mixed number takes an n/d at the end of its numerator: its own bar.
    // Elsewhere `at` itself.
    static int partEnd(std::uint32_t op, int at, const Ops& ops, bool& taken);
    // The ")" and "," of pasted ops that close nothing of the paste's own (outside its
    // brackets, templates and strings), in order: where the paste lands they act as typed.
    static std::vector<int> strayClosers(const Ops& ops);
    // Pasted ops in turn: each run between those closers handed to `add` (`first` for the
    // run the paste starts with), each closer to `type`.
    static void pasteInTurn(const Ops& ops, const std::function<void(const Ops& run, bool first)>& add,
                            const std::function<void(std::uint32_t op)>& type);
    // NO on a structural op: the caller inserts instead.
    static bool canOverwriteAt(const Ops& ops, int at);
    // Deletes at `at` and returns the new cursor (below). `mode` is switched to insert when
    // the new cursor stands on a structural op.
    //  - an ordinary op is removed;
    //  - on a template's first structural op: a template whose parts are all empty is
    //    removed, a one-part template (√, ³√, abs, e^, 10^, power) is unwrapped keeping its
    //    content, any other template is removed with its content (a power keeps its base,
    //    a mixed number its whole);
    //  - at the end of a fraction's numerator or an ˣ√'s index whose last part is empty, the
    //    bar goes as the one-line form's DEL takes its ／ or ˣ√: the first part stays in its
    //    place (in brackets where the key typed again would not take it whole);
    //  - at the end of any other part (the stop on its closer or separator) nothing happens: DEL
    //    takes nothing of the next part and leaves no template behind the cursor;
    //  - on a later structural op nothing is removed and the cursor moves to the next stop.
    static int deleteAt(Ops& ops, const PrettyLayout& layout, int at, int& mode);

private:
    // The node that owns op i: the innermost node whose range holds it while none of its
    // children's does.
    static int ownerOf(const PrettyTree& tree, int i);
    static int firstStructural(const PrettyTree& tree, int n);
    // The cursor stands inside a string (or a line that is text as a whole).
    static bool inString(const Ops& ops, int at);
    // The template's one-line form has a bracket of its own, which its closer stands for.
    static bool hasOwnCloser(const PrettyNode& n);
    // The part ends inside a bracket of its own that is still open.
    static bool ownBracketOpen(const PrettyTree& tree, int part);
    // The part a fraction or ˣ√ `t` keeps when `at` ends its first part and its last part is
    // empty; −1 otherwise.
    static int barKeeps(const PrettyTree& tree, int t, int at);
    // Replaces the template `t` by its part `kept`; the cursor after the part.
    static int unwrapBar(Ops& ops, const PrettyTree& tree, int t, int kept);
};

} // namespace orvenda
