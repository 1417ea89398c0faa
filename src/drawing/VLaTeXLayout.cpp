// The typesetter's layout (composition) and drawing of a parsed tree.

#include "drawing/AssetColors.h"
#include "drawing/GraphicsContext.h"
#include "drawing/VLaTeX.h"

#include <QPainter>
#include <QPen>
#include <QRawFont>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr const char* kRoman = "TimesNewRomanPSMT";
constexpr const char* kItalic = "TimesNewRomanPS-ItalicMT";
constexpr const char* kSans = "Helvetica";
// The integral sign's face: an italic serif in the role of the phone's Bodoni italic.
constexpr const char* kIntegralFace = "TimesNewRomanPS-ItalicMT";

// The spacing table, rows the left atom class and columns the right one: 0 none, 1 thin,
// 2 medium, 3 thick; negative only in display and text styles; 9 a pairing that takes
// none.
constexpr int kSpacing[8][8] = {
    {0, 1, -2, -3, 0, 0, 0, 1},
    {1, 1, 9, -3, 0, 0, 0, -1},
    {-2, -2, 9, 9, -2, 9, 9, -2},
    {-3, -3, 9, 0, -3, 0, 0, -3},
    {0, 0, 9, 0, 0, 0, 0, 0},
    {0, 1, -2, -3, 0, 0, 0, -1},
    {-1, -1, 9, -1, -1, -1, -1, -1},
    {-1, 1, -2, -3, -1, 0, -1, -1},
};

bool letterCode(int code) { return (code >= 44 && code <= 85) || (code >= 133 && code <= 158) || (code >= 160 && code <= 185); }

bool functionName(int code) { return code >= 12 && code <= 43; }

// Codes whose display text names them for the dump only.
bool structural(int code)
{
    return code == VLaTeX::kLArg || code == VLaTeX::kRArg || code == VLaTeX::kLeft || code == VLaTeX::kRight
        || code == VLaTeX::kMathrm || code == VLaTeX::kMathit || (code >= VLaTeX::kFrac && code <= VLaTeX::kSubscript);
}

QRectF unite(const QRectF& a, const QRectF& b)
{
    const QRectF p = a.normalized(), q = b.normalized();
    const double left = std::min(p.left(), q.left()), top = std::min(p.top(), q.top());
    return QRectF(left, top, std::max(p.right(), q.right()) - left, std::max(p.bottom(), q.bottom()) - top);
}

// The centre of the pixel row a one-point line at v belongs on.
double pixelCentre(double v)
{
    const double r = std::round(v);
    return r > v ? r - 0.5 : r + 0.5;
}

bool scriptOrFraction(int type) { return type == VLaTeX::kFrac || type == VLaTeX::kSuperscript || type == VLaTeX::kSubscript; }

} // namespace

double VLaTeX::sizeForStyle(int style, bool cramp) const
{
    const double factor = style == kScript ? 0.8 : style == kScriptScript ? 0.5 : 1.0;
    return baseFontSize_ * factor * (cramp ? 0.94 : 1.0);
}

TextFont VLaTeX::fontForStyle(int style, int fontStyle, bool cramp, int elementType) const
{
    const char* face = nullptr;
    if (elementType == kPlus || elementType == kBinaryMinus || elementType == 207 || elementType == 208
        || elementType == kEquals || elementType == kSignMinus)
        face = kSans;
    else if (letterCode(elementType))
        face = fontStyle == 1 ? kRoman : kItalic;
    else
        face = fontStyle == 2 && !functionName(elementType) ? kItalic : kRoman;
    return {face, sizeForStyle(style, cramp)};
}

double VLaTeX::spaceC1(int c1, int c2, int style, bool cramp) const
{
    int kind = kSpacing[charToTeXOrd(c1)][charToTeXOrd(c2)];
    if (kind == 9)
        return 0;
    if (kind < 0)
        kind = style <= kText ? -kind : 0;
    const double s = sizeForStyle(style, cramp);
    switch (kind) {
    case 1: return s / 6;
    case 2: return 2 * s / 9;
    case 3: return 5 * s / 18;
    default: return 0;
    }
}

void VLaTeX::Adjust(VLaTeXObj* box, double dv, double dh)
{
    if (!box || (dv == 0 && dh == 0))
        return;
    std::vector<VLaTeXObj*> pending{box};
    while (!pending.empty()) {
        VLaTeXObj* b = pending.back();
        pending.pop_back();
        b->bounds.translate(dh, dv);
        b->innerBounds.translate(dh, dv);
        for (auto& child : b->children)
            pending.push_back(child.get());
        if (b->superScript)
            pending.push_back(b->superScript.get());
        if (b->subScript)
            pending.push_back(b->subScript.get());
    }
}

bool VLaTeX::hasFractionOrScriptAncestor(const VLaTeXObj& box, const VLaTeXObj** found) const
{
    for (const VLaTeXObj* at = box.parent; at; at = at->parent)
        if (scriptOrFraction(at->type)) {
            if (found)
                *found = at;
            return true;
        }
    return false;
}

int VLaTeX::compose(VLaTeXObj& box, int style, int font, bool cramp)
{
    box.style = style;
    box.font = font;
    switch (box.type) {
    case -1:
    case kLArg:
    case kLeft: return composeChildrenOf(box, style, font, cramp);
    case kMathrm:
    case kMathit:
        box.font = box.type == kMathrm ? 1 : 2;
        return composeChildrenOf(box, style, box.font, cramp);
    case kFrac: return composeFraction(box, style, font, cramp);
    case kBinom: return composeBinomial(box, style, font, cramp);
    case kSqrt: {
        if (box.children.size() != 1)
            return kRootGroup;
        VLaTeXObj& child = *box.children.front();
        child.clipTop = box.clipTop;
        if (const int error = compose(child, style, font, cramp))
            return error;
        const double s = sizeForStyle(style, cramp);
        const QRectF before = child.bounds;
        Adjust(&child, 0, s / 2);
        box.bounds = QRectF(before.x(), before.y() - 1, before.width() + s / 2, before.height() + s / 8);
        return kNoError;
    }
    case kSum: return composeSum(box, style, font, cramp);
    case kInt: return composeIntegral(box, style, font, cramp);
    case kLim: return composeLimit(box, style, font, cramp);
    case kSuperscript:
    case kSubscript: {
        if (box.type == kSuperscript) {
            box.style = hasFractionOrScriptAncestor(box) ? kScriptScript : kScript;
            style = box.style;
        }
        const int error = composeChildrenOf(box, style, font, cramp);
        box.leftType = box.rightType = box.type;
        return error;
    }
    default: break;
    }
    if (box.type >= kQuad && box.type <= kNegativeSpace) {
        const double s = sizeForStyle(style, cramp);
        static constexpr double kWidths[] = {18, 3, 4, 5, -3};
        box.bounds = QRectF(0, 0, kWidths[box.type - kQuad] * s / 18, s);
        box.innerBounds = box.bounds;
        box.leftType = box.rightType = box.type;
        return kNoError;
    }
    const QString& text = structural(box.type) ? displayText(kEmpty) : displayText(box.type);
    if (const int error = composeGlyph(box, text, fontForStyle(style, font, cramp, box.type)))
        return error;
    return composeScriptOf(box, style, font, cramp);
}

int VLaTeX::composeGlyph(VLaTeXObj& box, const QString& text, const TextFont& font)
{
    const QSizeF size = DrawString::VQsizeWithFont(text, font);
    box.bounds = box.innerBounds = QRectF(QPointF(0, 0), size);
    box.leftType = box.rightType = box.type;
    return kNoError;
}

int VLaTeX::composeChildrenOf(VLaTeXObj& box, int style, int font, bool cramp)
{
    const VLaTeXObj* previous = nullptr;
    for (auto& child : box.children) {
        child->clipTop = box.clipTop;
        if (const int error = compose(*child, style, font, cramp))
            return error;
        if (!previous) {
            box.bounds = child->bounds;
        } else {
            Adjust(child.get(), 0, box.bounds.width() + spaceC1(previous->rightType, child->leftType, style, cramp));
            box.bounds = unite(box.bounds, child->bounds);
        }
        previous = child.get();
    }
    return composeScriptOf(box, style, font, cramp);
}

int VLaTeX::composeScriptOf(VLaTeXObj& box, int, int font, bool cramp)
{
    box.innerBounds = box.bounds;
    if (!box.superScript && !box.subScript)
        return kNoError;
    const bool nested = hasFractionOrScriptAncestor(box) && (box.style == kScript || box.style == kScriptScript);
    const int scriptStyle = nested ? kScriptScript : kScript;
    const QRectF inner = box.innerBounds;
    QRectF bounds = inner;
    if (VLaTeXObj* sub = box.subScript.get()) {
        if (const int error = compose(*sub, scriptStyle, font, cramp))
            return error;
        const double k = nested ? 0.9 : 0.7;
        Adjust(sub, inner.bottom() - k * sub->bounds.height() - sub->bounds.y(), inner.right() - sub->bounds.x());
        bounds = unite(bounds, sub->bounds);
    }
    if (VLaTeXObj* sup = box.superScript.get()) {
        if (const int error = compose(*sup, scriptStyle, font, cramp))
            return error;
        const double k = nested ? 0.5 : 0.65;
        const double bottom = inner.y() + k * sizeForStyle(box.style, cramp);
        Adjust(sup, bottom - sup->bounds.bottom(), inner.right() - sup->bounds.x());
        bounds = unite(bounds, sup->bounds);
    }
    box.bounds = bounds;
    return kNoError;
}

int VLaTeX::composeFraction(VLaTeXObj& box, int style, int font, bool cramp)
{
    if (box.children.size() != 2)
        return kArgumentGroups;
    const VLaTeXObj* ancestor = nullptr;
    int partStyle = kScript;
    bool denominatorCramp = false;
    double s = sizeForStyle(style, cramp);
    if (hasFractionOrScriptAncestor(box, &ancestor)) {
        partStyle = style == kScript || style == kScriptScript ? kScriptScript : kScript;
        denominatorCramp = true;
        s = sizeForStyle(ancestor->style, cramp);
    }
    VLaTeXObj& numerator = *box.children[0];
    VLaTeXObj& denominator = *box.children[1];
    numerator.clipTop = box.clipTop;
    if (const int error = compose(numerator, partStyle, font, cramp))
        return error;
    denominator.clipTop = true;
    if (const int error = compose(denominator, partStyle, font, denominatorCramp))
        return error;
    const double d = (numerator.bounds.width() - denominator.bounds.width()) / 2;
    Adjust(&numerator, 0.65 * s - numerator.bounds.bottom(), d < 0 ? -d : 0);
    Adjust(&denominator, 0.65 * s + 1 - denominator.bounds.top(), d > 0 ? d : 0);
    box.bounds = unite(numerator.bounds, denominator.bounds);
    numerator.leftType = numerator.rightType = denominator.leftType = denominator.rightType = 0;
    box.leftType = box.rightType = kFrac;
    return kNoError;
}

int VLaTeX::composeBinomial(VLaTeXObj& box, int style, int font, bool cramp)
{
    if (box.children.size() != 2)
        return kArgumentGroups;
    VLaTeXObj& top = *box.children[0];
    VLaTeXObj& bottom = *box.children[1];
    for (VLaTeXObj* part : {&top, &bottom}) {
        part->clipTop = box.clipTop;
        if (const int error = compose(*part, style, font, cramp))
            return error;
    }
    const double s = sizeForStyle(style, cramp);
    const double p = DrawString::VQsizeWithFont(QStringLiteral("("), fontForStyle(style, box.font, cramp, 133)).width();
    const double d = (top.bounds.width() - bottom.bounds.width()) / 2;
    Adjust(&top, s / 2 - top.bounds.bottom(), p + (d < 0 ? -d : 0));
    Adjust(&bottom, s / 2 - bottom.bounds.top(), p + (d > 0 ? d : 0));
    const QRectF both = unite(top.bounds, bottom.bounds);
    box.bounds = QRectF(0, both.y(), both.right() + p, both.height());
    top.leftType = top.rightType = bottom.leftType = bottom.rightType = 0;
    box.leftType = box.rightType = kBinom;
    return kNoError;
}

int VLaTeX::composeSum(VLaTeXObj& box, int style, int font, bool cramp)
{
    const double s = sizeForStyle(style, cramp);
    const QSizeF glyph = DrawString::VQsizeWithFont(QStringLiteral("Σ"), {kRoman, 2 * s});
    box.bounds = box.innerBounds = QRectF(0, -glyph.height() / 4, glyph.width(), glyph.height());
    VLaTeXObj* upper = box.superScript.get();
    VLaTeXObj* lower = box.subScript.get();
    for (VLaTeXObj* limit : {upper, lower})
        if (limit)
            if (const int error = compose(*limit, kScript, font, cramp))
                return error;
    double w = glyph.width();
    for (VLaTeXObj* limit : {upper, lower})
        if (limit)
            w = std::max(w, limit->bounds.width());
    if (w > glyph.width())
        box.innerBounds.translate((w - glyph.width()) / 2, 0);
    if (upper) {
        Adjust(upper, box.bounds.y() + 0.2 * glyph.height() - upper->bounds.bottom(),
               (w - upper->bounds.width()) / 2 - upper->bounds.x());
        box.bounds = unite(box.bounds, upper->bounds);
    }
    if (lower) {
        Adjust(lower, box.bounds.bottom() - 0.2 * glyph.height() - lower->bounds.top(),
               (w - lower->bounds.width()) / 2 - lower->bounds.x());
        box.bounds = unite(box.bounds, lower->bounds);
    }
    return kNoError;
}

int VLaTeX::composeIntegral(VLaTeXObj& box, int style, int font, bool cramp)
{
    if (box.children.size() > 2)
        return kArgumentGroups;
    const double s = sizeForStyle(style, cramp);
    const QSizeF glyph = DrawString::VQsizeWithFont(QStringLiteral("∫"), {kIntegralFace, 2 * s});
    const double w = 1.65 * glyph.width(), h = 0.75 * glyph.height(), y0 = -0.4 * s;
    // The nucleus keeps the box's place before the limits, which drawing puts the sign by.
    box.bounds = box.innerBounds = QRectF(0, y0, w, h);
    VLaTeXObj* lower = box.children.empty() ? nullptr : box.children[0].get();
    VLaTeXObj* upper = box.children.size() < 2 ? nullptr : box.children[1].get();
    for (VLaTeXObj* limit : {lower, upper})
        if (limit) {
            limit->clipTop = box.clipTop;
            if (const int error = compose(*limit, kScript, font, cramp))
                return error;
        }
    if (upper) {
        Adjust(upper, y0 - 0.4 * upper->bounds.height() - upper->bounds.top(), w - upper->bounds.x());
        box.bounds = unite(box.bounds, upper->bounds);
    }
    if (lower) {
        Adjust(lower, y0 + h - 0.6 * lower->bounds.height() - lower->bounds.top(), 0.6 * w - lower->bounds.x());
        box.bounds = unite(box.bounds, lower->bounds);
    }
    return kNoError;
}

int VLaTeX::composeLimit(VLaTeXObj& box, int style, int font, bool cramp)
{
    if (box.children.size() != 1)
        return kArgumentGroups;
    const TextFont face = fontForStyle(style, box.font, cramp, kLim);
    const QSizeF text = DrawString::VQsizeWithFont(QStringLiteral("lim"), face);
    box.bounds = box.innerBounds = QRectF(QPointF(0, 0), text);
    box.leftType = box.rightType = kLim;
    VLaTeXObj& child = *box.children.front();
    child.clipTop = box.clipTop;
    if (const int error = compose(child, kScript, font, cramp))
        return error;
    const double w = std::max(text.width(), child.bounds.width());
    if (child.bounds.width() >= text.width())
        box.innerBounds.translate((w - text.width()) / 2, 0);
    Adjust(&child, text.height() - 0.3 * face.size - child.bounds.top(), (w - child.bounds.width()) / 2 - child.bounds.x());
    child.innerBounds = child.bounds;
    box.bounds = unite(box.innerBounds, child.bounds);
    return kNoError;
}

// Drawing.

int VLaTeX::print(const VLaTeXObj& box, QPointF at, GraphicsContext& context, bool cramp)
{
    const QColor ink = AssetColors::systemText();
    const double s = sizeForStyle(box.style, cramp);
    switch (box.type) {
    case -1:
    case kLArg:
    case kMathrm:
    case kMathit:
    case kSuperscript:
    case kSubscript: return printChildrenOf(box, at, context, cramp);
    case kLeft: return printLeftGroup(box, at, context, cramp);
    case kFrac: {
        if (box.children.size() != 2)
            return kArgumentGroups;
        const VLaTeXObj& denominator = *box.children[1];
        if (const int error = print(*box.children[0], at, context, cramp))
            return error;
        if (const int error = print(denominator, at, context, true))
            return error;
        const double y = pixelCentre(at.y() + denominator.bounds.top() - 1);
        context.drawWithShadow(QRectF(at.x() + box.bounds.x(), y - 1, box.bounds.width(), 2), [&](QPainter& p) {
            p.setPen(QPen(ink, 1, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(at.x() + box.bounds.x(), y), QPointF(at.x() + box.bounds.right(), y));
        });
        return kNoError;
    }
    case kBinom: {
        if (box.children.size() != 2)
            return kArgumentGroups;
        if (const int error = print(*box.children[0], at, context, cramp))
            return error;
        if (const int error = print(*box.children[1], at, context, true))
            return error;
        const TextFont face{kRoman, s};
        const double p = DrawString::VQsizeWithFont(QStringLiteral("("), face).width();
        const double y = at.y() + box.bounds.y() - 0.15 * s;
        drawVector(context, QStringLiteral("("), QPointF(at.x() + box.bounds.x(), y), face, box.bounds.height());
        drawVector(context, QStringLiteral(")"), QPointF(at.x() + box.bounds.right() - p, y), face, box.bounds.height());
        return kNoError;
    }
    case kSqrt: {
        if (box.children.size() != 1)
            return kRootGroup;
        const VLaTeXObj& child = *box.children.front();
        if (const int error = print(child, at, context, cramp))
            return error;
        const double x = at.x() + box.bounds.x();
        const double b = at.y() + box.bounds.bottom() - 0.1 * s;
        const double t = pixelCentre(at.y() + box.bounds.y() + 1);
        QPainterPath tick;
        tick.moveTo(x, b - 0.3 * s);
        tick.lineTo(x + 2, b - 0.3 * s - 1.5);
        tick.lineTo(x + 0.3 * s, b - 1);
        tick.lineTo(x + 0.5 * s - 1, t);
        tick.lineTo(x + 0.5 * s + child.bounds.width(), t);
        context.drawWithShadow(tick.boundingRect().adjusted(-1, -1, 1, 1), [&](QPainter& p) {
            p.setPen(QPen(ink, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(tick);
        });
        return kNoError;
    }
    case kSum:
        DrawString::VQdrawAtPoint(context, QStringLiteral("Σ"), at + box.innerBounds.topLeft(), {kRoman, 2 * s}, ink);
        return printScripts(box, at, context, cramp);
    case kInt: {
        if (box.children.size() > 2)
            return kArgumentGroups;
        for (const auto& limit : box.children)
            if (const int error = print(*limit, at, context, cramp))
                return error;
        // The box's origin before its top was raised, wherever layout moved it since.
        const QPointF origin = at + box.innerBounds.topLeft() + QPointF(0, 0.4 * s);
        DrawString::VQdrawAtPoint(context, QStringLiteral("∫"), origin + QPointF(0.2 * s, -0.78 * s),
                                  {kIntegralFace, 2 * s}, ink);
        return kNoError;
    }
    case kLim: {
        if (box.children.size() != 1)
            return kArgumentGroups;
        DrawString::VQdrawAtPoint(context, QStringLiteral("lim"), at + box.innerBounds.topLeft(),
                                  fontForStyle(box.style, box.font, cramp, kLim), ink);
        return print(*box.children.front(), at, context, cramp);
    }
    default: break;
    }
    if (box.type >= kQuad && box.type <= kNegativeSpace)
        return kNoError;
    if (!structural(box.type))
        DrawString::VQdrawAtPoint(context, displayText(box.type), at + box.innerBounds.topLeft(),
                                  fontForStyle(box.style, box.font, cramp, box.type), ink);
    return printScripts(box, at, context, cramp);
}

int VLaTeX::printScripts(const VLaTeXObj& box, QPointF at, GraphicsContext& context, bool cramp)
{
    for (const VLaTeXObj* script : {box.subScript.get(), box.superScript.get()})
        if (script)
            if (const int error = print(*script, at, context, cramp))
                return error;
    return kNoError;
}

int VLaTeX::printChildrenOf(const VLaTeXObj& box, QPointF at, GraphicsContext& context, bool cramp)
{
    for (const auto& child : box.children)
        if (const int error = print(*child, at, context, cramp))
            return error;
    return printScripts(box, at, context, cramp);
}

int VLaTeX::printLeftGroup(const VLaTeXObj& box, QPointF at, GraphicsContext& context, bool cramp)
{
    if (box.children.empty())
        return kEmptyLeftGroup;
    const double s = sizeForStyle(box.style, cramp);
    const TextFont face{kRoman, s};
    const QRectF inner = box.innerBounds;
    const double y = at.y() + inner.y() - 0.15 * s;
    const auto delimiter = [&](const VLaTeXObj& d, bool right) {
        const QString& text = displayText(d.type);
        if (text.isEmpty() || text == QLatin1String(".") || structural(d.type))
            return;
        const double x = right ? at.x() + inner.right() - DrawString::VQsizeWithFont(text, face).width() : at.x() + inner.x();
        drawVector(context, text, QPointF(x, y), face, inner.height());
    };
    delimiter(*box.children.front(), false);
    if (box.children.size() > 1)
        delimiter(*box.children.back(), true);
    for (std::size_t i = 1; i + 1 < box.children.size(); ++i)
        if (const int error = print(*box.children[i], at, context, cramp))
            return error;
    return printScripts(box, at, context, cramp);
}

void VLaTeX::drawVector(GraphicsContext& context, const QString& glyph, QPointF at, const TextFont& font, double stretchHeight)
{
    if (!(stretchHeight != 0) || !std::isfinite(stretchHeight) || glyph.isEmpty() || !(font.size > 0))
        return;
    QRawFont raw = QRawFont::fromFont(DrawString::referenceFont(font.name));
    if (!raw.isValid())
        return;
    raw.setPixelSize(font.size);
    const QList<quint32> indexes = raw.glyphIndexesForString(glyph.left(glyph.at(0).isHighSurrogate() ? 2 : 1));
    if (indexes.isEmpty() || indexes.front() == 0)
        return;
    const QPainterPath outline = raw.pathForGlyph(indexes.front());
    if (outline.isEmpty())
        return;
    const double k = stretchHeight / font.size;
    const double top = outline.boundingRect().top();
    // The glyph's top stays where text drawn at the point has it; it stretches down.
    QTransform place;
    place.translate(at.x(), at.y() + raw.ascent() + top);
    place.scale(1, k);
    place.translate(0, -top);
    context.fillPath(place.map(outline));
}

void VLaTeX::drawRects(const VLaTeXObj& box, QPointF at, GraphicsContext& context)
{
    QPainter& p = context.painter();
    p.save();
    p.setPen(QPen(Qt::black, 0.1));
    p.setBrush(Qt::NoBrush);
    std::vector<const VLaTeXObj*> pending{&box};
    while (!pending.empty()) {
        const VLaTeXObj* b = pending.back();
        pending.pop_back();
        p.drawRect(b->bounds.translated(at));
        p.drawRect(b->innerBounds.translated(at));
        for (const auto& child : b->children)
            pending.push_back(child.get());
        for (const VLaTeXObj* script : {b->superScript.get(), b->subScript.get()})
            if (script)
                pending.push_back(script);
    }
    p.restore();
}

} // namespace orvenda
