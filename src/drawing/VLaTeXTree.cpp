#include "drawing/VLaTeXTree.h"

namespace orvenda {

VLaTeXTree::VLaTeXTree() { removeAllObjects(); }

void VLaTeXTree::removeAllObjects()
{
    root_ = VLaTeXObj::vLaTeXObj();
    root_->type = -1;
}

VLaTeXObj& VLaTeXTree::addChildToParent(VLaTeXObj& parent)
{
    auto node = VLaTeXObj::vLaTeXObj();
    node->parent = &parent;
    parent.children.push_back(std::move(node));
    return *parent.children.back();
}

const VLaTeXObj* VLaTeXTree::next(const VLaTeXObj& node)
{
    if (!node.children.empty())
        return node.children.front().get();
    for (const VLaTeXObj* at = &node; at->parent; at = at->parent) {
        const auto& siblings = at->parent->children;
        for (std::size_t i = 0; i + 1 < siblings.size(); ++i)
            if (siblings[i].get() == at)
                return siblings[i + 1].get();
    }
    return nullptr;
}

std::string VLaTeXTree::description() const
{
    std::string out;
    root_->print(out, 0);
    return out;
}

} // namespace orvenda
