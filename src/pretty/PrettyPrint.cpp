#include "pretty/PrettyPrint.h"

#include "pretty/TemplateRewriter.h"
#include "pretty/TokenClass.h"

#include <algorithm>
#include <iterator>

namespace orvenda {

PrettyPrint::Ops PrettyPrint::beautifyOps(const Ops& ops)
{
    PrettyTree tree;
    tree.build(ops);
    TemplateRewriter rewriter(tree);
    rewriter.restructure();
    return rewriter.write();
}

void PrettyPrint::closeParens(Ops& ops)
{
    PrettyTree tree;
    tree.build(ops);
    ops = TemplateRewriter(tree).write();
}

PrettyPrint::Ops PrettyPrint::cleanOps(const Ops& ops)
{
    Ops out;
    out.reserve(ops.size());
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(out), [](std::uint32_t op) {
        const std::uint32_t t = TokenClass::token(op);
        return t != 0x5C47 && t != 0x5C48 && t != TokenClass::kBox;
    });
    return out;
}

int PrettyPrint::opType(std::uint32_t op)
{
    return TokenClass::opType(op);
}

const PrettyTree& PrettyPrint::buildTree(const Ops& ops)
{
    tree_.build(ops);
    return tree_;
}

} // namespace orvenda
