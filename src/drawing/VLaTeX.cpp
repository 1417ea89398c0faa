#include "drawing/VLaTeX.h"

#include "drawing/GraphicsContext.h"

#include <cmath>

namespace orvenda {

namespace {

bool letter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

int depthOf(const VLaTeXObj* node)
{
    int depth = 0;
    for (; node->parent; node = node->parent)
        ++depth;
    return depth;
}

} // namespace

VLaTeX& VLaTeX::vlaTeX()
{
    static VLaTeX shared;
    return shared;
}

std::optional<int> VLaTeX::getToken()
{
    const int length = static_cast<int>(input_.size());
    while (tokenPosition_ < length) {
        const char16_t c = input_.at(tokenPosition_).unicode();
        ++tokenPosition_;
        if (c == u' ')
            continue;
        if (c < 32 || c > 126 || c == u'@')
            return kBlank;
        if (c >= u'A' && c <= u'Z')
            return 133 + (c - u'A');
        if (c >= u'a' && c <= u'z')
            return 160 + (c - u'a');
        if (c >= u'0' && c <= u'9')
            return 117 + (c - u'0');
        switch (c) {
        case u'.': return kFullStop;
        case u'{': return kLArg;
        case u'}': return kRArg;
        case u'[': return 5;
        case u']': return 6;
        case u'(': return 276;
        case u')': return 277;
        case u'|': return 278;
        case u'^': return kSuperscript;
        case u'_': return kSubscript;
        case u'+': return kPlus;
        case u'*': return 212;
        case u'/': return 238;
        case u'<': return 239;
        case u'=': return kEquals;
        case u'>': return 240;
        case u',': return 127;
        case u';': return 129;
        case u':': return 130;
        case u'?': return 131;
        case u'!': return 132;
        case u'\'': return 320;
        case u'"': return 315;
        case u'#': return 316;
        case u'$': return 317;
        case u'%': return 318;
        case u'&': return 319;
        case u'`': return 322;
        case u'~': return 323;
        case u'-': {
            // A minus after an opening or an operator is a sign.
            const int before = tokenPosition_ - 2;
            const char16_t b = before >= 0 ? input_.at(before).unicode() : 0;
            const bool sign = b == u'(' || b == u'+' || b == u'-' || b == u'=' || b == u'[' || b == u'^' || b == u'{';
            return sign ? kSignMinus : kBinaryMinus;
        }
        case u'\\': return getCommand();
        default: return kBlank;
        }
    }
    return std::nullopt;
}

int VLaTeX::getCommand()
{
    const int length = static_cast<int>(input_.size());
    if (tokenPosition_ < length) {
        switch (input_.at(tokenPosition_).unicode()) {
        case u'{': ++tokenPosition_; return 3;
        case u'}': ++tokenPosition_; return 4;
        case u'|': ++tokenPosition_; return 102;
        case u',': ++tokenPosition_; return 280;
        case u':': ++tokenPosition_; return 281;
        case u';': ++tokenPosition_; return 282;
        case u'!': ++tokenPosition_; return 283;
        case u'\'': ++tokenPosition_; return 96;
        default: break;
        }
    }
    std::string name;
    while (tokenPosition_ < length && letter(input_.at(tokenPosition_)))
        name += static_cast<char>(input_.at(tokenPosition_++).unicode());
    const auto& table = commands();
    const auto it = table.find(name);
    return it == table.end() ? kEmpty : it->second;
}

VLaTeXObj& VLaTeX::add(VLaTeXObj& node, int code)
{
    VLaTeXObj& element = VLaTeXTree::addChildToParent(node);
    element.type = code;
    return element;
}

void VLaTeX::parse(const QString& formula)
{
    tokenPosition_ = 0;
    input_ = formula;
    tree_.removeAllObjects();
    VLaTeXObj* root = &tree_.root();
    VLaTeXObj* current = root;
    // Groups opened past the nesting limit: their braces are read as if not there.
    int flattened = 0;
    const auto roomFor = [&](int levels) { return depthOf(current) + levels <= kMaxNesting; };
    while (const std::optional<int> token = getToken()) {
        const int code = *token;
        switch (code) {
        case kSuperscript:
        case kSubscript: {
            VLaTeXObj* target = current->children.empty() ? current : current->children.back().get();
            auto container = VLaTeXObj::vLaTeXObj();
            container->type = code;
            container->parent = target;
            VLaTeXObj* script = container.get();
            (code == kSuperscript ? target->superScript : target->subScript) = std::move(container);
            const std::optional<int> next = getToken();
            if (!next)
                break;
            if (*next != kLArg)
                add(*script, *next);
            else if (depthOf(script) <= kMaxNesting)
                current = script;
            else
                ++flattened;
            break;
        }
        case kLArg: {
            if (!roomFor(2)) {
                ++flattened;
                break;
            }
            VLaTeXObj& owner = current->children.empty() ? *current : *current->children.back();
            current = &add(owner, kLArg);
            break;
        }
        case kRArg:
            if (flattened > 0) {
                --flattened;
            } else if (current != root) {
                // Out of the group and past its owner; a group with no owner leaves to the top.
                VLaTeXObj* up = current->parent->parent;
                current = up ? up : root;
            }
            break;
        case kLeft: {
            VLaTeXObj& group = add(*current, kLeft);
            if (roomFor(1))
                current = &group;
            else
                ++flattened;
            if (const std::optional<int> delimiter = getToken())
                add(group, *delimiter);
            break;
        }
        case kRight:
            if (const std::optional<int> delimiter = getToken())
                add(*current, *delimiter);
            if (flattened > 0)
                --flattened;
            else if (current->parent)
                current = current->parent;
            break;
        default: add(*current, code); break;
        }
    }
}

int VLaTeX::layout(const QString& formula, double fontSize)
{
    parse(formula);
    if (!(fontSize > 0) || !std::isfinite(fontSize))
        return kArgumentGroups;
    baseFontSize_ = fontSize;
    return compose(tree_.root(), kDisplay, 0, false);
}

void VLaTeX::setString(const QString& formula, QPointF at, GraphicsContext& context, int justification, double fontSize)
{
    if (layout(formula, fontSize) != kNoError)
        return;
    const double width = tree_.root().bounds.width();
    if (justification == 1)
        at.rx() -= width / 2;
    else if (justification == 2)
        at.rx() -= width;
    print(tree_.root(), at, context, false);
}

QRectF VLaTeX::boundsOf(const QString& formula, double fontSize)
{
    if (layout(formula, fontSize) != kNoError)
        return {};
    return tree_.root().bounds;
}

} // namespace orvenda
