#pragma once

#include "drawing/VLaTeXObj.h"

#include <memory>
#include <string>

namespace orvenda {

// The tree of boxes a formula parses into, under one root of type -1 named "root".
class VLaTeXTree {
public:
    VLaTeXTree();

    VLaTeXObj& root() { return *root_; }
    const VLaTeXObj& root() const { return *root_; }
    // A fresh root in place of the old tree.
    void removeAllObjects();
    // A new node appended to the parent's children.
    static VLaTeXObj& addChildToParent(VLaTeXObj& parent);
    // The node after `node` in pre-order (children only), or nothing.
    static const VLaTeXObj* next(const VLaTeXObj& node);
    // The root's debug dump.
    std::string description() const;

private:
    std::unique_ptr<VLaTeXObj> root_;
};

} // namespace orvenda
