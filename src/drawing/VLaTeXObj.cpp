#include "drawing/VLaTeXObj.h"

#include "drawing/VLaTeX.h"

#include <charconv>

namespace orvenda {

namespace {

void appendNumber(std::string& out, double v)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v == 0 ? 0.0 : v, std::chars_format::fixed, 2);
    out.append(buffer, result.ec == std::errc() ? result.ptr : buffer);
}

bool scriptContainer(int type) { return type == VLaTeX::kSuperscript || type == VLaTeX::kSubscript; }

} // namespace

std::unique_ptr<VLaTeXObj> VLaTeXObj::vLaTeXObj() { return std::make_unique<VLaTeXObj>(); }

VLaTeXObj::~VLaTeXObj()
{
    // Deeply nested trees are taken apart level by level onto a list of their own.
    std::vector<std::unique_ptr<VLaTeXObj>> pending;
    const auto take = [&pending](VLaTeXObj& node) {
        for (auto& child : node.children)
            pending.push_back(std::move(child));
        node.children.clear();
        if (node.superScript)
            pending.push_back(std::move(node.superScript));
        if (node.subScript)
            pending.push_back(std::move(node.subScript));
    };
    take(*this);
    while (!pending.empty()) {
        std::unique_ptr<VLaTeXObj> node = std::move(pending.back());
        pending.pop_back();
        take(*node);
    }
}

void VLaTeXObj::print(std::string& out, int level) const
{
    out += '\n';
    for (int i = 0; i < level; ++i)
        out += "\xE2\x80\xA2";
    out += VLaTeX::nameForType(type);
    if (!scriptContainer(type)) {
        out += " [";
        appendNumber(out, bounds.x());
        out += ',';
        appendNumber(out, bounds.y());
        out += ',';
        appendNumber(out, bounds.width());
        out += ',';
        appendNumber(out, bounds.height());
        out += "] L:";
        out += VLaTeX::nameForType(leftType);
        out += " R:";
        out += VLaTeX::nameForType(rightType);
    }
    if (!children.empty())
        out += " C:" + std::to_string(children.size());
    if (subScript)
        out += " Sub";
    if (superScript)
        out += " Super";
    if (superScript)
        superScript->print(out, level + 1);
    if (subScript)
        subScript->print(out, level + 1);
    for (const auto& child : children)
        child->print(out, level + 1);
}

} // namespace orvenda
