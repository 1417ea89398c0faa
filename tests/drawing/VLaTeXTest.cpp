// The formula typesetter: its tokens, the trees its inputs parse into (the debug dump), the
// layout numbers of fractions, scripts and big operators, drawing, and input that must stay
// harmless.

#include "DrawingTestSupport.h"

#include "core/Calculator.h"
#include "drawing/VLaTeX.h"

#include <QGuiApplication>
#include <QPalette>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvenda::test {
namespace {

VLaTeX& tex() { return VLaTeX::vlaTeX(); }

// The dump of the last layout with every box's bounds left out.
std::string shape(const QString& formula, double size = 20)
{
    EXPECT_EQ(tex().layout(formula, size), VLaTeX::kNoError) << formula.toStdString();
    const std::string dump = tex().parseTree().description();
    return QString::fromStdString(dump).replace(QRegularExpression(QStringLiteral("\\[[^\\]]*\\]")), QStringLiteral("[]")).toStdString();
}

const VLaTeXObj& child(const VLaTeXObj& box, std::size_t i) { return *box.children.at(i); }

QImage drawn(const QString& formula, double size, QPointF at = QPointF(20, 40), int justification = 0)
{
    return picture(240, 100, [&](GraphicsContext& c) { tex().setString(formula, at, c, justification, size); }, true);
}

TEST(VLaTeXTokens, CharactersCommandsAndTheTwoMinuses)
{
    const auto codes = [](const QString& formula) {
        std::vector<int> out;
        VLaTeX& t = tex();
        t.parse(formula);
        for (const auto& c : t.parseTree().root().children)
            out.push_back(c->type);
        return out;
    };
    EXPECT_EQ(codes(QStringLiteral("3.14")), (std::vector<int>{120, 128, 118, 121}));
    EXPECT_EQ(codes(QStringLiteral("a@b")), (std::vector<int>{160, 159, 161}));
    EXPECT_EQ(codes(QStringLiteral("a\tb")), (std::vector<int>{160, 159, 161}));
    EXPECT_EQ(codes(QStringLiteral("\\tan x")), (std::vector<int>{42, 183}));
    EXPECT_EQ(codes(QStringLiteral("\\tanh x")), (std::vector<int>{43, 183}));
    // A minus after an opening or an operator is the sign; elsewhere, and first, binary.
    EXPECT_EQ(codes(QStringLiteral("(-x)")), (std::vector<int>{276, 275, 183, 277}));
    EXPECT_EQ(codes(QStringLiteral("a=-b")), (std::vector<int>{160, 241, 275, 161}));
    EXPECT_EQ(codes(QStringLiteral("a-b")), (std::vector<int>{160, 206, 161}));
    EXPECT_EQ(codes(QStringLiteral("-x")), (std::vector<int>{206, 183}));
    // Control symbols: the four fixed spaces, the prime, braces and the double bar.
    EXPECT_EQ(codes(QStringLiteral("\\,\\:\\;\\!\\'\\{\\}\\|")), (std::vector<int>{280, 281, 282, 283, 96, 3, 4, 102}));
    // An unknown or empty command name is code 0; the character after "\" stays.
    EXPECT_EQ(codes(QStringLiteral("\\foo\\(")), (std::vector<int>{0, 0, 276}));
    EXPECT_EQ(codes(QStringLiteral("\"#$%&`~'")), (std::vector<int>{315, 316, 317, 318, 319, 322, 323, 320}));
}

TEST(VLaTeXTokens, TheCommandTableAndAtomClasses)
{
    EXPECT_EQ(VLaTeX::commands().size(), 315u);
    EXPECT_EQ(VLaTeX::commands().at("rightarrow"), 286);
    EXPECT_EQ(VLaTeX::commands().count("txt"), 1u);
    EXPECT_EQ(VLaTeX::nameForType(-1), "root");
    EXPECT_EQ(VLaTeX::nameForType(59), "π");
    EXPECT_EQ(VLaTeX::nameForType(317), "");
    EXPECT_EQ(VLaTeX::charToTeXOrd(183), 0);
    EXPECT_EQ(VLaTeX::charToTeXOrd(186), 1);
    EXPECT_EQ(VLaTeX::charToTeXOrd(206), 2);
    EXPECT_EQ(VLaTeX::charToTeXOrd(217), 6);
    EXPECT_EQ(VLaTeX::charToTeXOrd(241), 3);
    EXPECT_EQ(VLaTeX::charToTeXOrd(276), 4);
    EXPECT_EQ(VLaTeX::charToTeXOrd(277), 5);
    EXPECT_EQ(VLaTeX::charToTeXOrd(200), 7);
    EXPECT_EQ(VLaTeX::charToTeXOrd(290), 3);
    EXPECT_EQ(VLaTeX::charToTeXOrd(320), 0);
}

TEST(VLaTeXDump, TheTreeWalksInPreOrder)
{
    tex().parse(QStringLiteral("a\\frac{b}{c}d"));
    std::vector<std::string> names;
    for (const VLaTeXObj* node = &tex().parseTree().root(); node; node = VLaTeXTree::next(*node))
        names.push_back(VLaTeX::nameForType(node->type));
    EXPECT_EQ(names, (std::vector<std::string>{"root", "a", "frac", "LArg", "b", "LArg", "c", "d"}));
}

TEST(VLaTeXDump, SignAndBinaryMinus)
{
    EXPECT_EQ(shape(QStringLiteral("a-b")), "\nroot [] L: R: C:3\n•a [] L:a R:a\n•− [] L:− R:−\n•b [] L:b R:b");
    EXPECT_EQ(shape(QStringLiteral("a=-b")),
              "\nroot [] L: R: C:4\n•a [] L:a R:a\n•= [] L:= R:=\n•– [] L:– R:–\n•b [] L:b R:b");
}

TEST(VLaTeXDump, ScriptsTakeOneTokenOrAGroup)
{
    EXPECT_EQ(shape(QStringLiteral("x^2y")), "\nroot [] L: R: C:2\n•x [] L:x R:x Super\n••^ C:1\n•••2 [] L:2 R:2\n•y [] L:y R:y");
    EXPECT_EQ(shape(QStringLiteral("x^{2y}")), "\nroot [] L: R: C:1\n•x [] L:x R:x Super\n••^ C:2\n•••2 [] L:2 R:2\n•••y [] L:y R:y");
    EXPECT_EQ(shape(QStringLiteral("x_1^2")),
              "\nroot [] L: R: C:1\n•x [] L:x R:x Sub Super\n••^ C:1\n•••2 [] L:2 R:2\n••_ C:1\n•••1 [] L:1 R:1");
}

TEST(VLaTeXDump, FractionsIntegralsLimitsAndRoman)
{
    EXPECT_EQ(shape(QStringLiteral("\\frac{a}{b}")), "\nroot [] L: R: C:1\n•frac [] L:frac R:frac C:2\n••LArg [] L: R: C:1"
                                                     "\n•••a [] L:a R:a\n••LArg [] L: R: C:1\n•••b [] L:b R:b");
    EXPECT_EQ(shape(QStringLiteral("\\int{a}{b}")),
              "\nroot [] L: R: C:1\n•∫ [] L: R: C:2\n••LArg [] L: R: C:1\n•••a [] L:a R:a\n••LArg [] L: R: C:1\n•••b [] L:b R:b");
    EXPECT_EQ(shape(QStringLiteral("\\lim{x\\rightarrow0}")),
              "\nroot [] L: R: C:1\n•lim [] L:lim R:lim C:1\n••LArg [] L: R: C:3\n•••x [] L:x R:x\n•••→ [] L:→ R:→\n•••0 [] L:0 R:0");
    EXPECT_EQ(shape(QStringLiteral("\\mathrm{d}x")),
              "\nroot [] L: R: C:2\n•mathrm [] L: R: C:1\n••LArg [] L: R: C:1\n•••d [] L:d R:d\n•x [] L:x R:x");
}

TEST(VLaTeXDump, ControlSymbolSpacesHaveTheirWidths)
{
    ASSERT_EQ(tex().layout(QStringLiteral("a\\,b\\:c\\;d\\!e\\quad f"), 18), 0);
    const VLaTeXObj& root = tex().parseTree().root();
    ASSERT_EQ(root.children.size(), 11u);
    EXPECT_DOUBLE_EQ(child(root, 1).bounds.width(), 3);
    EXPECT_DOUBLE_EQ(child(root, 3).bounds.width(), 4);
    EXPECT_DOUBLE_EQ(child(root, 5).bounds.width(), 5);
    EXPECT_DOUBLE_EQ(child(root, 7).bounds.width(), -3);
    EXPECT_DOUBLE_EQ(child(root, 9).bounds.width(), 18);
    EXPECT_DOUBLE_EQ(child(root, 9).bounds.height(), 18);
    // An unknown command has no text and no width.
    ASSERT_EQ(tex().layout(QStringLiteral("\\nosuch"), 18), 0);
    EXPECT_EQ(child(tex().parseTree().root(), 0).bounds.width(), 0);
}

TEST(VLaTeXLayout, FractionAtTwentyPoints)
{
    ASSERT_EQ(tex().layout(QStringLiteral("\\frac{1}{2}"), 20), 0);
    const VLaTeXObj& frac = child(tex().parseTree().root(), 0);
    const VLaTeXObj& numerator = child(frac, 0);
    const VLaTeXObj& denominator = child(frac, 1);
    EXPECT_EQ(numerator.style, VLaTeX::kScript);
    EXPECT_EQ(denominator.style, VLaTeX::kScript);
    EXPECT_DOUBLE_EQ(tex().fontForStyle(numerator.style, 0, false, 118).size, 16);
    EXPECT_NEAR(numerator.bounds.bottom(), 13, 1e-9);
    EXPECT_NEAR(denominator.bounds.top(), 14, 1e-9);
    EXPECT_TRUE(denominator.clipTop);
    EXPECT_FALSE(numerator.clipTop);

    // The bar: one full pixel row at 13 below the drawing point (13.5 is a pixel centre).
    const int x = 20 + int(frac.bounds.width() / 2);
    const QImage image = drawn(QStringLiteral("\\frac{1}{2}"), 20);
    const int barRow = 40 + 13;
    EXPECT_GT(qAlpha(image.pixel(20 + 1, barRow)), 240);
    EXPECT_GT(qAlpha(image.pixel(x, barRow)), 240);
    EXPECT_EQ(qAlpha(image.pixel(20 + 1, barRow - 1)), 0);
    EXPECT_EQ(qAlpha(image.pixel(20 + 1, barRow + 1)), 0);
}

TEST(VLaTeXLayout, FractionsInScriptsTakeTheSmallerStyle)
{
    ASSERT_EQ(tex().layout(QStringLiteral("x^{\\frac{1}{2}}"), 20), 0);
    const VLaTeXObj& x = child(tex().parseTree().root(), 0);
    const VLaTeXObj& frac = child(*x.superScript, 0);
    EXPECT_EQ(x.superScript->style, VLaTeX::kScript);
    EXPECT_EQ(child(frac, 0).style, VLaTeX::kScriptScript);
    EXPECT_EQ(child(frac, 1).style, VLaTeX::kScriptScript);
    EXPECT_NEAR(child(frac, 1).bounds.top() - child(frac, 0).bounds.bottom(), 1, 1e-9);
    // A fraction at the top level keeps its parts in script style.
    ASSERT_EQ(tex().layout(QStringLiteral("\\frac{\\frac{1}{2}}{3}"), 20), 0);
    const VLaTeXObj& outer = child(tex().parseTree().root(), 0);
    EXPECT_EQ(child(outer, 0).style, VLaTeX::kScript);
    EXPECT_EQ(child(child(child(outer, 0), 0), 0).style, VLaTeX::kScriptScript);
}

TEST(VLaTeXLayout, ScriptFactors)
{
    // Top level: the subscript's top 0.7 of its height above x's bottom; the superscript's
    // bottom 0.65 of the size below x's top.
    ASSERT_EQ(tex().layout(QStringLiteral("x_1"), 20), 0);
    {
        const VLaTeXObj& x = child(tex().parseTree().root(), 0);
        const VLaTeXObj& sub = *x.subScript;
        EXPECT_NEAR(sub.bounds.top(), x.innerBounds.bottom() - 0.7 * sub.bounds.height(), 1e-9);
        EXPECT_NEAR(sub.bounds.left(), x.innerBounds.right(), 1e-9);
        EXPECT_EQ(sub.style, VLaTeX::kScript);
    }
    ASSERT_EQ(tex().layout(QStringLiteral("x^2"), 20), 0);
    {
        const VLaTeXObj& x = child(tex().parseTree().root(), 0);
        EXPECT_NEAR(x.superScript->bounds.bottom(), x.innerBounds.top() + 0.65 * 20, 1e-9);
    }
    // Inside a fraction: 0.9 and 0.5, in scriptscript.
    ASSERT_EQ(tex().layout(QStringLiteral("\\frac{x_1}{y^2}"), 20), 0);
    const VLaTeXObj& frac = child(tex().parseTree().root(), 0);
    const VLaTeXObj& x = child(child(frac, 0), 0);
    EXPECT_EQ(x.subScript->style, VLaTeX::kScriptScript);
    EXPECT_NEAR(x.subScript->bounds.top(), x.innerBounds.bottom() - 0.9 * x.subScript->bounds.height(), 1e-9);
    const VLaTeXObj& y = child(child(frac, 1), 0);
    EXPECT_NEAR(y.superScript->bounds.bottom(), y.innerBounds.top() + 0.5 * tex().sizeForStyle(y.style, false), 1e-9);
}

TEST(VLaTeXLayout, SumLimitsAreCentred)
{
    ASSERT_EQ(tex().layout(QStringLiteral("\\sum_{i=1}^{n}"), 20), 0);
    const VLaTeXObj& sum = child(tex().parseTree().root(), 0);
    const QRectF lower = sum.subScript->bounds, upper = sum.superScript->bounds;
    const double w = std::max({sum.innerBounds.width(), lower.width(), upper.width()});
    EXPECT_GT(lower.width(), sum.innerBounds.width() - 1e-9 - 100);
    EXPECT_NEAR(lower.center().x(), w / 2, 1e-9);
    EXPECT_NEAR(upper.center().x(), w / 2, 1e-9);
    EXPECT_NEAR(sum.innerBounds.center().x(), w / 2, 1e-9);
    EXPECT_LT(upper.bottom(), sum.innerBounds.top() + sum.innerBounds.height() / 2);
    EXPECT_GT(lower.top(), sum.innerBounds.top() + sum.innerBounds.height() / 2);
    EXPECT_EQ(lower.top(), sum.innerBounds.bottom() - 0.2 * sum.innerBounds.height());
}

TEST(VLaTeXLayout, SpacingFollowsTheAtomClasses)
{
    // a + b: medium spaces around the binary plus in text style, none in scripts.
    EXPECT_DOUBLE_EQ(tex().spaceC1(160, 205, VLaTeX::kText, false), 2 * tex().sizeForStyle(VLaTeX::kText, false) / 9);
    EXPECT_EQ(tex().spaceC1(160, 205, VLaTeX::kScript, false), 0);
    // Ord then Inner takes a thin space in every style.
    EXPECT_GT(tex().spaceC1(160, 200, VLaTeX::kScriptScript, false), 0);
    // A relation: thick; Bin next to Bin: none.
    EXPECT_DOUBLE_EQ(tex().spaceC1(160, 241, VLaTeX::kDisplay, false), 5 * tex().sizeForStyle(0, false) / 18);
    EXPECT_EQ(tex().spaceC1(205, 205, VLaTeX::kDisplay, false), 0);
}

TEST(VLaTeXLayout, FontsByElement)
{
    tex().layout(QStringLiteral("x"), 20);
    EXPECT_EQ(tex().fontForStyle(0, 0, false, 183).name, "TimesNewRomanPS-ItalicMT");
    EXPECT_EQ(tex().fontForStyle(0, 1, false, 183).name, "TimesNewRomanPSMT");
    EXPECT_EQ(tex().fontForStyle(0, 2, false, 39).name, "TimesNewRomanPSMT");
    EXPECT_EQ(tex().fontForStyle(0, 2, false, 120).name, "TimesNewRomanPS-ItalicMT");
    EXPECT_EQ(tex().fontForStyle(0, 2, false, 205).name, "Helvetica");
    EXPECT_EQ(tex().fontForStyle(0, 0, false, 275).name, "Helvetica");
    EXPECT_DOUBLE_EQ(tex().fontForStyle(3, 0, true, 183).size, 20 * 0.5 * 0.94);
}

TEST(VLaTeXDrawing, ErrorsDrawNothingAndMeasureEmpty)
{
    for (const char* formula : {"\\frac{a}", "\\sqrt x", "\\binom{n}", "\\lim x", "\\int{a}{b}{c}"}) {
        const QString f = QString::fromLatin1(formula);
        EXPECT_NE(tex().layout(f, 20), 0) << formula;
        EXPECT_EQ(tex().boundsOf(f, 20), QRectF()) << formula;
        EXPECT_EQ(inked(drawn(f, 20)), 0) << formula;
    }
    EXPECT_EQ(tex().layout(QStringLiteral("\\frac{a}"), 20), VLaTeX::kArgumentGroups);
    EXPECT_EQ(tex().layout(QStringLiteral("\\sqrt x"), 20), VLaTeX::kRootGroup);
}

TEST(VLaTeXDrawing, TheIntegralSignFollowsWhatComesBeforeIt)
{
    ASSERT_EQ(tex().layout(QStringLiteral("a\\int{0}{1}x"), 20), 0);
    const double aWidth = child(tex().parseTree().root(), 0).bounds.width();
    const double start = child(tex().parseTree().root(), 1).bounds.left();
    EXPECT_GE(start, aWidth);
    const QImage alone = drawn(QStringLiteral("a"), 20);
    const QImage with = drawn(QStringLiteral("a\\int{0}{1}x"), 20);
    // Beyond the a, ink from the sign's top to well below the a's baseline.
    const QRect a = inkBounds(alone);
    const QImage beyond = with.copy(a.right() + 2, 0, 60, 100);
    const QRect sign = inkBounds(beyond, 100);
    EXPECT_LT(sign.top(), a.top());
    EXPECT_GT(sign.bottom(), a.bottom());
}

TEST(VLaTeXDrawing, StretchedDelimiters)
{
    const QImage both = drawn(QStringLiteral("\\left(\\frac{a}{b}\\right)"), 20);
    const QImage rightOnly = drawn(QStringLiteral("\\left.\\frac{a}{b}\\right)"), 20);
    const QImage paren = drawn(QStringLiteral("("), 20);
    const QRect whole = inkBounds(both);
    // Each parenthesis is as tall as the fraction, far taller than one of text.
    const QImage leftColumn = both.copy(whole.left(), 0, 4, 100);
    EXPECT_GT(inkBounds(leftColumn).height(), inkBounds(paren).height() * 1.4);
    const QRect r = inkBounds(rightOnly);
    EXPECT_EQ(inked(rightOnly, QRect(r.left(), 0, 3, 100)) > 0, true);
    // Without the left one the ink starts where the fraction does.
    EXPECT_GT(r.left(), whole.left() + 3);
    EXPECT_NEAR(r.right(), whole.right(), 2);
}

TEST(VLaTeXDrawing, JustificationMovesTheFormula)
{
    const double width = tex().boundsOf(QStringLiteral("abc"), 20).width();
    const QRect left = inkBounds(drawn(QStringLiteral("abc"), 20, QPointF(120, 40), 0));
    const QRect centred = inkBounds(drawn(QStringLiteral("abc"), 20, QPointF(120, 40), 1));
    const QRect right = inkBounds(drawn(QStringLiteral("abc"), 20, QPointF(120, 40), 2));
    EXPECT_NEAR(left.left() - centred.left(), width / 2, 1.5);
    EXPECT_NEAR(left.left() - right.left(), width, 1.5);
    const QRect other = inkBounds(drawn(QStringLiteral("abc"), 20, QPointF(120, 40), 7));
    EXPECT_EQ(other, left);
}

TEST(VLaTeXDrawing, DarkModeDrawsInTheFontColour)
{
    Calculator& calc = Calculator::calculator();
    const QPalette saved = QGuiApplication::palette();
    QPalette dark = saved;
    dark.setColor(QPalette::Window, QColor(20, 20, 20));
    QGuiApplication::setPalette(dark);
    calc.honorDarkMode = true;
    const QImage light = drawn(QStringLiteral("\\frac{1}{2}"), 20);
    calc.honorDarkMode = false;
    const QImage black = drawn(QStringLiteral("\\frac{1}{2}"), 20);
    calc.honorDarkMode = true;
    QGuiApplication::setPalette(saved);
    const int row = 40 + 13;
    EXPECT_TRUE(near(at(light, 22, row), 235, 235, 235, 4));
    EXPECT_TRUE(near(at(black, 22, row), 0, 0, 0, 4));
}

TEST(VLaTeXRobustness, AnUnmatchedClosingBraceIsIgnored)
{
    EXPECT_EQ(shape(QStringLiteral("a}b")), "\nroot [] L: R: C:2\n•a [] L:a R:a\n•b [] L:b R:b");
    // A group with no owner leaves to the top: what follows it still lays out.
    ASSERT_EQ(tex().layout(QStringLiteral("{a}b}}c"), 20), 0);
    EXPECT_EQ(tex().parseTree().root().children.size(), 3u);
    EXPECT_GT(inked(drawn(QStringLiteral("{a}b}}c"), 20)), 0);
    ASSERT_EQ(tex().layout(QStringLiteral("\\right)x"), 20), 0);
}

int depth(const VLaTeXObj& box)
{
    int deepest = 0;
    for (const auto& c : box.children)
        deepest = std::max(deepest, depth(*c));
    for (const VLaTeXObj* s : {box.superScript.get(), box.subScript.get()})
        if (s)
            deepest = std::max(deepest, depth(*s));
    return deepest + 1;
}

TEST(VLaTeXRobustness, NestingIsCapped)
{
    const QString braces = QString(10000, QLatin1Char('{')) + QStringLiteral("x") + QString(10000, QLatin1Char('}'));
    const QString scripts = QStringLiteral("x^{").repeated(10000) + QStringLiteral("y") + QString(10000, QLatin1Char('}'));
    const QString fractions = QStringLiteral("\\frac{").repeated(5000) + QStringLiteral("1}{2}").repeated(5000);
    const QString lefts = QStringLiteral("\\left(").repeated(10000) + QStringLiteral("x") + QStringLiteral("\\right)").repeated(10000);
    for (const QString& formula : {braces, scripts, fractions, lefts}) {
        tex().layout(formula, 20);
        EXPECT_LE(depth(tex().parseTree().root()), VLaTeX::kMaxNesting + 4);
        drawn(formula, 20);
        tex().boundsOf(formula, 20);
    }
    // Text past the nesting limit still reads.
    EXPECT_EQ(tex().layout(braces, 20), 0);
    EXPECT_GT(inked(drawn(braces, 20)), 0);
}

TEST(VLaTeXRobustness, OddInputLaysOutOrFailsCleanly)
{
    for (const char* formula : {"", "^", "_", "x^", "\\", "\\left", "\\left(", "\\right", "}{", "\\frac", "\\sum^",
                                "\\int", "x^}", "\\sqrt{}", "\\binom{}{}", "\\lim{}", "^{_{^{", "\\left\\right"}) {
        const QString f = QString::fromLatin1(formula);
        tex().layout(f, 20);
        drawn(f, 20);
        tex().boundsOf(f, 0);
        tex().boundsOf(f, qQNaN());
    }
    EXPECT_EQ(tex().boundsOf(QStringLiteral("x"), qQNaN()), QRectF());
}

// A sheet of formulas of every kind, each with ink; with ORVENDA_DRAWING_PICTURES set to a
// folder it is written there to be looked at.
TEST(VLaTeXDrawing, ASheetOfFormulas)
{
    const char* formulas[] = {
        "x^2+y^2=r^2", "\\frac{-b\\pm\\sqrt{b^2-4ac}}{2a}", "\\sum_{i=1}^{n}i=\\frac{n(n+1)}{2}",
        "\\int{0}{\\pi}\\sin x\\,\\mathrm{d}x=2", "\\lim{x\\rightarrow0}\\frac{\\sin x}{x}=1",
        "\\binom{n}{k}=\\frac{n!}{k!(n-k)!}", "\\left(\\frac{a}{b}\\right)^{2}", "e^{i\\pi}+1=0",
        "\\alpha\\beta\\gamma\\Delta\\Omega\\infty\\leq\\geq\\neq", "a_{n+1}=a_n\\cdot r", "x_1^2",
        "\\left|x-\\mu\\right|<2\\sigma"};
    const int rowHeight = 70;
    QImage sheet(420, rowHeight * int(std::size(formulas)), QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    {
        QPainter painter(&sheet);
        painter.setRenderHint(QPainter::Antialiasing);
        GraphicsContext context(painter);
        for (std::size_t i = 0; i < std::size(formulas); ++i) {
            const QString f = QString::fromUtf8(formulas[i]);
            const QImage one = drawn(f, 20);
            EXPECT_GT(inked(one), 30) << formulas[i];
            tex().setString(f, QPointF(10, 30 + rowHeight * double(i)), context, 0, 20);
        }
    }
    const QByteArray folder = qgetenv("ORVENDA_DRAWING_PICTURES");
    if (!folder.isEmpty())
        sheet.save(QString::fromLocal8Bit(folder) + QStringLiteral("/formulas.png"));
}

} // namespace
} // namespace orvenda::test
