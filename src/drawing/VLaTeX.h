#pragma once

#include "drawing/DrawString.h"
#include "drawing/VLaTeXTree.h"

#include <QPointF>
#include <QRectF>
#include <QString>

#include <array>
#include <optional>
#include <string>
#include <unordered_map>

namespace orvenda {

class GraphicsContext;

// The small TeX-like formula typesetter of help pages and vector images. A formula such as
// \frac{a}{b}, x^{2}, \sum_{i=1}^{n} or \left(x\right) is read into a tree of boxes, laid
// out in the four TeX styles and drawn, or only measured. Text is drawn in the system's
// text colour; stretched delimiters are filled with the context's fill colour. A formula
// that does not lay out (a fraction, binomial, integral or limit without its argument
// groups, a root without its one group, an empty \left group) draws nothing and measures
// an empty rectangle. One shared instance holding the last call's tree. Main thread.
class VLaTeX {
public:
    // Element codes with rules of their own.
    enum Code {
        kEmpty = 0,
        kLArg = 1,
        kRArg = 2,
        kLeft = 7,
        kRight = 8,
        kMiddle = 9,
        kMathrm = 10,
        kMathit = 11,
        kLim = 30,
        kFullStop = 128,
        kBlank = 159,
        kSum = 186,
        kInt = 189,
        kFrac = 200,
        kBinom = 201,
        kSqrt = 202,
        kSuperscript = 203,
        kSubscript = 204,
        kPlus = 205,
        kBinaryMinus = 206,
        kEquals = 241,
        kSignMinus = 275,
        kQuad = 279,
        kNegativeSpace = 283,
        kLastCommand = 314,
        kTxt = 324,
    };
    // Layout errors.
    enum Error { kNoError = 0, kArgumentGroups = 4, kRootGroup = 5, kEmptyLeftGroup = 6 };
    enum Style { kDisplay = 0, kText = 1, kScript = 2, kScriptScript = 3 };
    // Deeper groups than this are read as if their braces were not there.
    static constexpr int kMaxNesting = 48;

    static VLaTeX& vlaTeX();

    // Parses, lays out and draws the formula at the point: justification 0 left, 1 centred
    // on it, 2 right-aligned to it (others left); nothing when layout fails.
    void setString(const QString& formula, QPointF at, GraphicsContext& context, int justification, double fontSize);
    // The formula's bounds with the drawing point at the origin; empty when layout fails.
    QRectF boundsOf(const QString& formula, double fontSize);
    // Parses and lays out only; the error, the tree staying for parseTree().
    int layout(const QString& formula, double fontSize);

    // The parser and its tokens.
    void parse(const QString& formula);
    std::optional<int> getToken();
    int getCommand();
    const VLaTeXTree& parseTree() const { return tree_; }
    VLaTeXTree& parseTree() { return tree_; }
    double baseFontSize() const { return baseFontSize_; }

    // 0 Ord, 1 Op, 2 Bin, 3 Rel, 4 Open, 5 Close, 6 Punct, 7 Inner.
    static int charToTeXOrd(int code);
    // Command name (without the backslash) to element code.
    static const std::unordered_map<std::string, int>& commands();
    // The display text of a code; empty for none.
    static const QString& displayText(int code);
    // "root" for -1, else the code's display text, as the debug dump names it.
    static std::string nameForType(int type);

    // Layout.
    double sizeForStyle(int style, bool cramp) const;
    TextFont fontForStyle(int style, int fontStyle, bool cramp, int elementType) const;
    double spaceC1(int c1, int c2, int style, bool cramp) const;
    // Moves a box with everything inside it down by dv and right by dh.
    static void Adjust(VLaTeXObj* box, double dv, double dh);
    int compose(VLaTeXObj& box, int style, int font, bool cramp);
    int composeChildrenOf(VLaTeXObj& box, int style, int font, bool cramp);
    int composeScriptOf(VLaTeXObj& box, int style, int font, bool cramp);

    // Drawing, every box relative to the same origin.
    int print(const VLaTeXObj& box, QPointF at, GraphicsContext& context, bool cramp);
    int printChildrenOf(const VLaTeXObj& box, QPointF at, GraphicsContext& context, bool cramp);
    // One delimiter glyph stretched vertically to the height, its top where text drawn at
    // `at` would have it.
    void drawVector(GraphicsContext& context, const QString& glyph, QPointF at, const TextFont& font, double stretchHeight);
    // Strokes every box's bounds and nucleus (a layout aid).
    void drawRects(const VLaTeXObj& box, QPointF at, GraphicsContext& context);

    VLaTeX(const VLaTeX&) = delete;
    VLaTeX& operator=(const VLaTeX&) = delete;

private:
    VLaTeX() = default;

    // Adds an element of the code to the node.
    static VLaTeXObj& add(VLaTeXObj& node, int code);
    bool hasFractionOrScriptAncestor(const VLaTeXObj& box, const VLaTeXObj** found = nullptr) const;
    int composeGlyph(VLaTeXObj& box, const QString& text, const TextFont& font);
    int composeFraction(VLaTeXObj& box, int style, int font, bool cramp);
    int composeBinomial(VLaTeXObj& box, int style, int font, bool cramp);
    int composeSum(VLaTeXObj& box, int style, int font, bool cramp);
    int composeIntegral(VLaTeXObj& box, int style, int font, bool cramp);
    int composeLimit(VLaTeXObj& box, int style, int font, bool cramp);
    int printScripts(const VLaTeXObj& box, QPointF at, GraphicsContext& context, bool cramp);
    int printLeftGroup(const VLaTeXObj& box, QPointF at, GraphicsContext& context, bool cramp);

    QString input_;
    int tokenPosition_ = 0;
    VLaTeXTree tree_;
    double baseFontSize_ = 12;
};

} // namespace orvenda
