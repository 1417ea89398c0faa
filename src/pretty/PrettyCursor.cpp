#include "pretty/PrettyCursor.h"

#include "pretty/TokenClass.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

using Kind = PrettyNode::Kind;
using TC = TokenClass;

bool raises(const PrettyNode& n)
{
    return n.kind == Kind::Script && (n.token == TC::kPower || n.token == TC::kExpE || n.token == TC::kExpTen);
}

int indexIn(const PrettyTree& tree, int parent, int child)
{
    const auto kids = tree.children(parent);
    return static_cast<int>(std::find(kids.begin(), kids.end(), child) - kids.begin());
}

} // namespace

int PrettyCursor::right(const PrettyLayout& layout, int cursor)
{
    for (int i = std::max(cursor + 1, 0); i <= layout.opCount(); ++i)
        if (layout.isStop(i))
            return i;
    return layout.opCount();
}

int PrettyCursor::left(const PrettyLayout& layout, int cursor)
{
    for (int i = std::min(cursor, layout.opCount() + 1) - 1; i >= 0; --i)
        if (layout.isStop(i))
            return i;
    return 0;
}

int PrettyCursor::up(const PrettyLayout& layout, int cursor)
{
    return vertical(layout, cursor, true);
}

int PrettyCursor::down(const PrettyLayout& layout, int cursor)
{
    return vertical(layout, cursor, false);
}

int PrettyCursor::nearest(const PrettyLayout& layout, std::initializer_list<int> lines, double x)
{
    int best = -1;
    double distance = std::numeric_limits<double>::infinity();
    for (int i = 0; i <= layout.opCount(); ++i) {
        if (!layout.isStop(i))
            continue;
        const PrettyLayout::Stop& s = layout.stop(i);
        if (std::find(lines.begin(), lines.end(), s.line) == lines.end())
            continue;
        if (std::abs(s.x - x) < distance) {
            distance = std::abs(s.x - x);
            best = i;
        }
    }
    return best;
}

int PrettyCursor::vertical(const PrettyLayout& layout, int cursor, bool up)
{
    const PrettyTree& tree = layout.tree();
    const int at = layout.stopAtOrAfter(cursor);
    const PrettyLayout::Stop& s = layout.stop(at);
    const double x = s.x;
    // Just after a power, Up enters its exponent.
    if (up && tree.node(s.owner).kind == Kind::Row) {
        for (int c : tree.children(s.owner))
            if (tree.node(c).end == at && raises(tree.node(c)))
                return nearest(layout, {tree.child(c, 1)}, x);
    }
    for (int child = s.owner, p = tree.node(child).parent; p >= 0; child = p, p = tree.node(p).parent) {
        const PrettyNode& P = tree.node(p);
        const int k = indexIn(tree, p, child);
        auto part = [&](int i) { return tree.child(p, i); };
        switch (P.kind) {
        case Kind::Fraction:
            if (up ? k == 1 : k == 0)
                return nearest(layout, {part(up ? 0 : 1)}, x);
            break;
        case Kind::MixedNumber:
            if (up ? k == 2 : k == 1)
                return nearest(layout, {part(up ? 1 : 2)}, x);
            break;
        case Kind::Script:
            if (!raises(P))
                break;
            if (up && k == 0)
                return nearest(layout, {part(1)}, x);
            // Out of the exponent, however short: on after the power, never into its base.
            if (!up && k == 1)
                return layout.stopAtOrAfter(P.end);
            break;
        case Kind::LogBase:
        case Kind::Derivative:
            // Up out of a lowered part, on the line the template stands on, at the side the
            // part stands at: before it from a log's base or a derivative's variable (under
            // the d), after it from a derivative's point (at its right end).
            if (up && P.kind == Kind::Derivative && k == 2)
                return layout.stopAtOrAfter(P.end);
            if (up && k > 0 && layout.isStop(P.begin))
                return P.begin;
            break;
        case Kind::BigOperator: {
            const int lower = P.token == TC::kSum ? part(1) : part(2);
            if (up && k != 3)
                return nearest(layout, {part(3)}, x);
            if (!up && (k == 0 || k == 3))
                return nearest(layout, {lower, part(2)}, x);
            break;
        }
        case Kind::MatrixRow: {
            const int matrix = P.parent;
            const int row = indexIn(tree, matrix, p);
            const int target = up ? row - 1 : row + 1;
            if (target < 0 || target >= tree.node(matrix).childCount)
                break;
            const int other = tree.child(matrix, target);
            int best = -1;
            double distance = std::numeric_limits<double>::infinity();
            for (int cell : tree.children(other)) {
                const int i = nearest(layout, {cell}, x);
                if (i >= 0 && std::abs(layout.stop(i).x - x) < distance) {
                    distance = std::abs(layout.stop(i).x - x);
                    best = i;
                }
            }
            return best;
        }
        default:
            break;
        }
    }
    return -1;
}

} // namespace orvenda
