#pragma once

#include <QRectF>

#include <memory>
#include <string>
#include <vector>

namespace orvenda {

// One box of a typeset formula: an element code with what layout wrote into it (style,
// font, its bounds and its nucleus's, the codes the spacing sees on each side) and what is
// attached to it (scripts, children). Coordinates are the formula's, y down.
class VLaTeXObj {
public:
    static std::unique_ptr<VLaTeXObj> vLaTeXObj();

    // Everything attached to the element, and its own nucleus (what scripts are placed
    // against).
    QRectF bounds;
    QRectF innerBounds;
    // Set on a fraction's denominator and handed to its children.
    bool clipTop = false;
    // The element code; -1 for the root.
    int type = 0;
    // 0 display, 1 text, 2 script, 3 scriptscript.
    int style = 0;
    // 0 default, 1 roman, 2 italic.
    int font = 0;
    int leftType = 0;
    int rightType = 0;

    VLaTeXObj* parent = nullptr;
    std::unique_ptr<VLaTeXObj> superScript;
    std::unique_ptr<VLaTeXObj> subScript;
    std::vector<std::unique_ptr<VLaTeXObj>> children;

    // Appends the debug dump of this box and everything under it, one line a box.
    void print(std::string& out, int level) const;

    // Frees the subtree without recursing as deep as it is nested.
    ~VLaTeXObj();
};

} // namespace orvenda
