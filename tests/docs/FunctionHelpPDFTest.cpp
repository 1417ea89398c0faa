// The help page renderer: finding pages, the tall and sliced PDFs read back with Qt PDF,
// the calculator's graph state around graph blocks, the commands a page may run, and the
// mock screens each drawing and moving the layout cursor.

#include "TestSupport.h"
#include "PdfReadBack.h"
#include "drawing/DrawingTestSupport.h"

#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "core/VQGraphPtArray.h"
#include "docs/FunctionHelpPDF.h"
#include "docs/HelpFile.h"
#include "docs/VQGraph.h"
#include "drawing/GraphicsContext.h"
#include "language/VariableSlots.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfDocument>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace orvenda {
namespace {

class FunctionHelpPDFTest : public ::testing::Test {
protected:
    FunctionHelpPDFTest() : calc(test::kUS)
    {
        renderer.setLanguage(QStringLiteral("en-US"));
        // Pictures on a clear background.
        calc.honorDarkMode = false;
    }

    // The page drawn 320 wide into a picture; the picture's ink.
    QImage draw(const QByteArray& xml, double width = 320, int height = 900)
    {
        renderer.loadPage(QStringLiteral("test"), xml);
        QImage image(int(width), height, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        GraphicsContext context(painter);
        renderer.setBounds(QRectF(0, 0, width, FunctionHelpPDF::kTallHeight));
        renderer.drawRect(context, renderer.bounds());
        return image;
    }

    using Read = PdfReadBack;
    static Read read(const QByteArray& pdf) { return readPdf(pdf); }

    Calculator calc;
    FunctionHelpPDF renderer{calc};
};

QByteArray page(const char* body) { return QByteArray("<F n=\"test\">") + body + "</F>"; }

TEST_F(FunctionHelpPDFTest, FindsAPageByItsNameAndTellsAnAbsentOne)
{
    renderer.changeFunction(QStringLiteral("sin("));
    EXPECT_TRUE(renderer.functionDefined());
    EXPECT_TRUE(renderer.pageData().startsWith("<F n=\"sin(\">"));
    EXPECT_TRUE(renderer.pageData().endsWith("</F>"));
    renderer.changeFunction(QStringLiteral("noSuchThing("));
    EXPECT_FALSE(renderer.functionDefined());
    EXPECT_TRUE(renderer.pageData().contains("<body>not defined</body>"));
    // The name already loaded keeps its page.
    renderer.changeFunction(QStringLiteral("noSuchThing("));
    EXPECT_TRUE(renderer.functionDefined());
}

TEST_F(FunctionHelpPDFTest, NamesWithXmlCharactersAreFoundByTheirEscapedForm)
{
    for (const char* name : {"<", "\"", "≤"}) {
        renderer.changeFunction(QString::fromUtf8(name));
        EXPECT_TRUE(renderer.functionDefined()) << name;
    }
    const std::string file = "<F n=\"a&amp;b\"><body>and</body></F><F n=\"x\"><body>x</body></F>";
    EXPECT_EQ(HelpFile::fragment(file, QStringLiteral("a&b")), QByteArray("<F n=\"a&amp;b\"><body>and</body></F>"));
    EXPECT_TRUE(HelpFile::fragment(file, QStringLiteral("a&amp;b")).isEmpty());
}

TEST_F(FunctionHelpPDFTest, TheNotDefinedPageEscapesTheWholeName)
{
    // A raw "<" or "&" after the first character broke the page.
    renderer.changeFunction(QStringLiteral("x<y&z\"'"));
    EXPECT_FALSE(renderer.functionDefined());
    QXmlStreamReader xml(renderer.pageData());
    while (!xml.atEnd())
        xml.readNext();
    EXPECT_FALSE(xml.hasError()) << renderer.pageData().toStdString();
    QImage image(320, 200, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    GraphicsContext context(painter);
    renderer.setBounds(QRectF(0, 0, 320, 1000));
    renderer.drawRect(context, renderer.bounds());
    EXPECT_EQ(renderer.parseErrors(), 0);
    EXPECT_GT(renderer.drawPoint().y(), 10);
}

TEST_F(FunctionHelpPDFTest, SpanishIsChosenByThePrimaryLanguageOnly)
{
    EXPECT_STREQ(HelpFile::resourceNameForLanguage("es"), "FunctionHelpSpanish");
    EXPECT_STREQ(HelpFile::resourceNameForLanguage("es-MX"), "FunctionHelpSpanish");
    EXPECT_STREQ(HelpFile::resourceNameForLanguage("es_419"), "FunctionHelpSpanish");
    // English as written in Spain, and languages whose codes merely hold the letters.
    EXPECT_STREQ(HelpFile::resourceNameForLanguage("en-ES"), "FunctionHelp");
    EXPECT_STREQ(HelpFile::resourceNameForLanguage("est"), "FunctionHelp");
    EXPECT_STREQ(HelpFile::resourceNameForLanguage("fr-es"), "FunctionHelp");
    renderer.setLanguage(QStringLiteral("es-MX"));
    renderer.changeFunction(QStringLiteral("FAQ"));
    EXPECT_TRUE(renderer.pageData().contains("Por qu"));
    FunctionHelpPDF english(calc);
    english.setLanguage(QStringLiteral("en-ES"));
    english.changeFunction(QStringLiteral("FAQ"));
    EXPECT_FALSE(english.pageData().contains("Por qu"));
}

TEST_F(FunctionHelpPDFTest, ATallPageIsAsWideAsAskedAndAsTallAsItsContent)
{
    const Read narrow = read(renderer.pdfName(QStringLiteral("sin("), QSizeF(0, 100), false, false));
    ASSERT_EQ(narrow.pages, 1);
    const double content = renderer.drawPoint().y();
    EXPECT_NEAR(narrow.sizes[0].width(), 320, 1);
    EXPECT_NEAR(narrow.sizes[0].height(), content + 5, 1);
    EXPECT_TRUE(narrow.texts[0].contains(QStringLiteral("sine"))) << narrow.texts[0].toStdString();
    // A short page is padded to the height asked for.
    const Read padded = read(renderer.pdfName(QStringLiteral("sin("), QSizeF(400, 5000), false, false));
    ASSERT_EQ(padded.pages, 1);
    EXPECT_NEAR(padded.sizes[0].width(), 400, 1);
    EXPECT_NEAR(padded.sizes[0].height(), 5000, 1);
}

// Every sliced page is framed by a border one point wide that lies wholly on the paper:
// rendered back at 8 pixels a point, the ink reaches about 8 pixels in from every edge.
::testing::AssertionResult framedInsideThePaper(const QByteArray& pdf, int page)
{
    constexpr int kScale = 8;
    const QImage picture = pdfPagePicture(pdf, page, kScale);
    if (picture.isNull())
        return ::testing::AssertionFailure() << "no page " << page;
    for (const int depth : inkFromTheEdges(picture))
        if (depth < kScale - 1 || depth > kScale + 1)
            return ::testing::AssertionFailure() << "page " << page << ": the border reaches " << depth << " pixels in";
    return ::testing::AssertionSuccess();
}

TEST_F(FunctionHelpPDFTest, SlicedPagesCarryTheNameTheNumberAndTheProduct)
{
    // A fresh renderer that never drew a tall page still slices the content.
    const QByteArray pdf = renderer.pdfName(QStringLiteral("sin("), QSizeF(), true, false);
    const Read sliced = read(pdf);
    ASSERT_EQ(sliced.pages, 1);
    EXPECT_NEAR(sliced.sizes[0].width(), 612, 1);
    EXPECT_NEAR(sliced.sizes[0].height(), 792, 1);
    EXPECT_TRUE(sliced.texts[0].contains(QStringLiteral("sin("))) << sliced.texts[0].toStdString();
    EXPECT_TRUE(sliced.texts[0].contains(QStringLiteral("Orvenda")));
    EXPECT_TRUE(sliced.texts[0].contains(QStringLiteral("sine")));
    // A document of one page is numbered and framed as a longer one's pages are.
    EXPECT_TRUE(sliced.texts[0].contains(QStringLiteral("-1-"))) << sliced.texts[0].toStdString();
    EXPECT_TRUE(framedInsideThePaper(pdf, 0));
    const QImage picture = pdfPagePicture(pdf, 0);
    // The page's own ink is there, inside its border.
    int ink = 0;
    for (int y = 2; y < picture.height() - 2; ++y)
        for (int x = 2; x < picture.width() - 2; ++x)
            ink += qGray(picture.pixel(x, y)) < 128;
    EXPECT_GT(ink, 500);
}

TEST_F(FunctionHelpPDFTest, ThePageCountFollowsTheContentWithNoBlankLastPage)
{
    QByteArray body;
    for (int i = 0; i < 60; ++i) {
        if (i == 30)
            body += "<pageBreak/>";
        body += "<body>Paragraph " + QByteArray::number(i) + " of a long page that runs over several paper pages.</body>";
    }
    renderer.loadPage(QStringLiteral("long"), page(body.constData()));
    const QRectF paper(0, 0, 612, 792);
    const QByteArray slicedPdf = renderer.pdfPageSize(paper);
    const Read sliced = read(slicedPdf);
    const double bodyHeight = 792 - 90;
    const int expected = int(std::ceil(renderer.drawPoint().y() / bodyHeight));
    ASSERT_GE(expected, 2);
    ASSERT_EQ(sliced.pages, expected);
    EXPECT_TRUE(sliced.texts.back().contains(QStringLiteral("Paragraph 59")));
    for (int i = 0; i < expected; ++i) {
        EXPECT_TRUE(sliced.texts[std::size_t(i)].contains(QStringLiteral("-%1-").arg(i + 1))) << i;
        EXPECT_TRUE(framedInsideThePaper(slicedPdf, i));
    }
    // A page break is for explicit pages only: slicing is by height.
    // The page carries a page break in its middle: slicing is by height all the same.
    EXPECT_TRUE(body.contains("<pageBreak/>"));
}

TEST_F(FunctionHelpPDFTest, ExplicitPagesBreakWherethePageSays)
{
    renderer.loadPage(QStringLiteral("two"), page("<body>First part.</body><pageBreak/><body>Second part.</body>"));
    const Read explicitPages = read(renderer.paginateRect(QRectF(0, 0, 612, 792)));
    ASSERT_EQ(explicitPages.pages, 2);
    EXPECT_TRUE(explicitPages.texts[0].contains(QStringLiteral("First part.")));
    EXPECT_TRUE(explicitPages.texts[0].contains(QStringLiteral("- 1 -")));
    EXPECT_TRUE(explicitPages.texts[1].contains(QStringLiteral("Second part.")));
    EXPECT_TRUE(explicitPages.texts[1].contains(QStringLiteral("Orvenda version")));
}

TEST_F(FunctionHelpPDFTest, MakingAPdfPutsTheDarkModeSettingBack)
{
    calc.honorDarkMode = false;
    renderer.pdfName(QStringLiteral("sin("), QSizeF(), false, true);
    EXPECT_FALSE(calc.honorDarkMode);
    renderer.pdfName(QStringLiteral("sin("), QSizeF(), true, true);
    EXPECT_FALSE(calc.honorDarkMode);
    calc.honorDarkMode = true;
    renderer.pdfName(QStringLiteral("sin("), QSizeF(), true, false);
    EXPECT_TRUE(calc.honorDarkMode);
}

TEST_F(FunctionHelpPDFTest, AGraphBlockIs280SquareOverTheDefaultWindow)
{
    const QImage image = draw(page("<graph><fn d=\"X\"/></graph>"));
    ASSERT_NE(renderer.graph(), nullptr);
    const QRectF frame = renderer.graph()->frame();
    EXPECT_DOUBLE_EQ(frame.width(), 280);
    EXPECT_DOUBLE_EQ(frame.height(), 280);
    EXPECT_DOUBLE_EQ(frame.x(), 20);
    EXPECT_DOUBLE_EQ(frame.y(), 4);
    const GraphTransform& t = renderer.graph()->t();
    EXPECT_DOUBLE_EQ(t.a, 280.0 / 6);
    EXPECT_DOUBLE_EQ(t.d, -280.0 / 6);
    EXPECT_DOUBLE_EQ(t.tx, 20 + 3 * 280.0 / 6);
    EXPECT_DOUBLE_EQ(t.ty, 4 + 4 * 280.0 / 6);
    EXPECT_DOUBLE_EQ(renderer.drawPoint().y(), frame.bottom());
    // The line y = x crosses the middle of the window in green.
    const QPointF origin(t.tx, t.ty);
    const QColor ink = image.pixelColor(int(origin.x() + t.a), int(origin.y() - t.a));
    EXPECT_GT(ink.green(), 150);
    EXPECT_LT(ink.red(), 100);
}

// The calculator's graph state as a graph block must leave it.
struct GraphState {
    std::vector<std::shared_ptr<DrawObject>> drawing;
    std::shared_ptr<VQGraphPtArray> points;
    std::array<VariableRecord, 4> window;
    bool grid, axes, labels;

    explicit GraphState(Calculator& calc)
        : drawing(calc.drawing), points(calc.graphPts()),
          window{calc.getVar(kSlotXmin), calc.getVar(kSlotXmax), calc.getVar(kSlotYmin), calc.getVar(kSlotYmax)},
          grid(calc.locked()->drawGrid), axes(calc.locked()->drawAxes), labels(calc.locked()->drawLabel)
    {
    }
    void expectSameAs(Calculator& calc) const
    {
        EXPECT_EQ(calc.drawing, drawing);
        EXPECT_EQ(calc.graphPts(), points);
        const int slots[] = {kSlotXmin, kSlotXmax, kSlotYmin, kSlotYmax};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(calc.getVar(slots[i]).value, window[std::size_t(i)].value);
            EXPECT_EQ(calc.getVar(slots[i]).sigFig, window[std::size_t(i)].sigFig);
        }
        EXPECT_EQ(calc.locked()->drawGrid, grid);
        EXPECT_EQ(calc.locked()->drawAxes, axes);
        EXPECT_EQ(calc.locked()->drawLabel, labels);
    }
};

TEST_F(FunctionHelpPDFTest, AGraphBlockGivesTheCalculatorsGraphStateBack)
{
    calc.drawing.push_back(std::make_shared<DrawLine>());
    calc.ptOnAtX(1, 1, 1, 0, 0, 0);
    calc.setVar(kSlotXmin, {{-7.5, 0}, 3, -1});
    calc.setVar(kSlotYmax, {{12, 0}});
    calc.locked()->drawGrid = false;
    calc.locked()->drawAxes = false;
    calc.locked()->drawLabel = false;
    const GraphState before(calc);
    draw(page("<graph gb=\"-5,5,-5,5\"><fn d=\"DrawF ©X©²\"/><fn d=\"Pt-On(©1©,©2©)\"/>"
              "<fn d=\"ShadeNorm(©-©1©,©1©)\" tail=\"1\"/></graph><body>after</body>"));
    EXPECT_EQ(renderer.parseErrors(), 0);
    before.expectSameAs(calc);
}

TEST_F(FunctionHelpPDFTest, APageThatEndsInsideAGraphBlockStillGivesTheStateBack)
{
    calc.drawing.push_back(std::make_shared<DrawCircle>());
    calc.locked()->drawAxes = false;
    calc.setVar(kSlotXmax, {{99, 0}});
    const GraphState before(calc);
    draw("<F n=\"cut\"><graph><fn d=\"DrawF ©X\"/><fn d=\"Pt-On(©0©,©0©)\"/>");
    EXPECT_EQ(renderer.parseErrors(), 1);
    before.expectSameAs(calc);
    // And one with an error inside the block.
    draw("<F n=\"bad\"><graph><fn d=\"DrawF ©X\"/><oops></graph></F>");
    EXPECT_EQ(renderer.parseErrors(), 1);
    before.expectSameAs(calc);
}

TEST_F(FunctionHelpPDFTest, AGraphRunsOnlyDrawingAndShadingCommands)
{
    calc.setVar(23 + 0, {{0, 0}});
    calc.locked()->lists["L1"] = VQList();
    const auto a = calc.getVar(kSlotXmin);
    // A store, a command on its own and a command after a drawing command are refused.
    draw(page("<graph><fn d=\"5©➞©Xmin\"/><fn d=\"ClrAllLists\"/>"
              "<fn d=\"Line(©0©,©0©,©1©,©1©)©:©5©➞©Xmin\"/><fn d=\"DrawF ©X©:©ClrAllLists\"/></graph>"));
    EXPECT_EQ(calc.getVar(kSlotXmin).value, a.value);
    EXPECT_EQ(renderer.graph()->plotFunctions().size(), 0u);
    // A drawing command alone draws.
    QImage drawn = draw(page("<graph><fn d=\"Line(©-©3©,©-©2©,©3©,©4©)\"/></graph>"));
    const QRectF frame = renderer.graph()->frame();
    EXPECT_GT(test::inked(drawn, frame.toRect()), 0);
}

TEST_F(FunctionHelpPDFTest, EveryMockScreenDrawsAndMovesTheCursorBelowItself)
{
    struct Case {
        const char* xml;
        double advance;
    };
    const Case cases[] = {
        {"<menu n=\"A©B©C\" s=\"1\"/>", 42},
        {"<menu n=\"A©B\" action=\"1\"/>", 42},
        {"<menu n=\"A©B\" add=\"1\"/>", 42},
        {"<menu addPrgm=\"1\"/>", 42 + 5 + 120},
        {"<menu n=\"A\"/><mm n=\"sin(\" d=\"sine\" i=\"2\"/>", 42 + 32},
        {"<menu n=\"A\"/><mm prgm=\"1\"/>", 42 + 38},
        {"<colorLst/>", 77},
        {"<triPic/>", 86},
        {"<seg b=\"20,5,200,30\" seg=\"One©Two\"/>", 35},
        {"<tvm v=\"10,5,-1000,0,0,1,1\" s=\"4\" b=\"0\"/>", 18 + 7 * 14},
        {"<polySolve t=\"POLY\" c=\"a=1,b=2\" m=\"Solve,Clear\" s=\"0\"/>", 18 + 4 * 14},
        {"<simulEq t=\"SIMUL\" tb=\"2,2\" ma=\"x1,x2,b*1,2,3*4,5,6\" m=\"Solve\" s=\"0\"/>", 14 + 7 * 14},
        {"<statEdit t=\"STATS\" n=\"2\" v=\"L1,L2\" L=\"4\" c=\"a,b\" ds=\"x,y\" reg=\"Lin,Quad\" regSel=\"1\"/>", 18 + 6 * 14},
        {"<statEdit t=\"STATS\" n=\"1\" v=\"L1,1,3,2,1.4,.5\" L=\"4\"/>", 18 + 6 * 14},
        {"<pscreen><p>F_2,F_ADD,F_3;5;F_4;4</p></pscreen>", 0},
        {"<screen>2+3<r>5</r><hBar/>\nAns<r>5</r><hEntry/></screen>", 0},
        {"<prgm n=\"SUM\">:1+1</prgm>", 0},
        {"<editor n=\"EDIT\">:1+1</editor>", 0},
        {"<errs>Divide by 0</errs>", 0},
        {"<syntax>sin(<i>value</i>)</syntax>", 0},
        {"<math n=\"\\frac{a}{b}\" just=\"C\"/>", 0},
        {"<drw n=\"askButton\"/>", 0},
        {"<img n=\"askButton\" fr=\"1\"/>", 0},
        {"<link title=\"Mail\" url=\"mailto:x\" type=\"button\" alignment=\"C\"/>", 25 + 3},
        {"<link url=\"https://example.org\"/>", 0},
    };
    for (const Case& c : cases) {
        const QImage image = draw(page(c.xml));
        EXPECT_EQ(renderer.parseErrors(), 0) << c.xml;
        EXPECT_GT(test::inked(image), 40) << c.xml;
        if (c.advance > 0)
            EXPECT_NEAR(renderer.drawPoint().y(), c.advance, 0.01) << c.xml;
        else
            EXPECT_GT(renderer.drawPoint().y(), 10) << c.xml;
    }
    // A button is remembered, not drawn.
    draw(page("<btn n=\"Ask\" id=\"0\"/><btn n=\"Ask\"/>"));
    EXPECT_EQ(renderer.buttons().size(), 1u);
    EXPECT_DOUBLE_EQ(renderer.drawPoint().y(), 74);
}

TEST_F(FunctionHelpPDFTest, MockScreenEdgeCases)
{
    // A segmented control outside the window draws nothing but still moves the cursor.
    const QImage far = draw(page("<seg b=\"20,2000,200,30\" seg=\"One©Two\"/>"), 320, 300);
    EXPECT_EQ(test::inked(far), 0);
    EXPECT_DOUBLE_EQ(renderer.drawPoint().y(), 2030);
    // A menu on a narrow page is 20 narrower than the window.
    draw(page("<menu n=\"A©B\"/>"), 250);
    EXPECT_DOUBLE_EQ(renderer.pageState().menuBox.width(), 230);
    // An "i" of one blank draws no info mark; "0" draws the mark without a number.
    const QImage blank = draw(page("<menu n=\"A\"/><mm n=\"x\" i=\" \"/>"));
    const QImage zero = draw(page("<menu n=\"A\"/><mm n=\"x\" i=\"0\"/>"));
    const QRect markArea(200, 42, 110, 32);
    EXPECT_EQ(test::inked(blank, markArea.adjusted(0, 2, -4, -3)), 0);
    EXPECT_GT(test::inked(zero, markArea.adjusted(0, 2, -4, -3)), 0);
    // A pretty screen with an odd number of items ends on an entry.
    draw(page("<pscreen><p>F_2;2;F_3</p></pscreen>"));
    EXPECT_EQ(renderer.parseErrors(), 0);
}

// A result of several lines (a matrix) has every line flush right on the screen, as one
// line has: rref([[1,1,3][1,-1,1]]) of the Simul Eqn Solver's page.
TEST_F(FunctionHelpPDFTest, EveryLineOfAScreenResultIsFlushRight)
{
    const QImage image = draw(page("<screen>x\n<r>[[1 0 2] \n [0 1 1]]</r></screen>"));
    // The screen's fill lies over the text at half alpha: the text is opaque, the rest not.
    QRect fill;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 128)
                fill |= QRect(x, y, 1, 1);
    const QRect inside = fill.adjusted(3, 3, -3, -3);
    std::vector<std::pair<int, int>> lines; // the leftmost and rightmost ink of each text line
    bool inLine = false;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        int left = -1, right = -1;
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (qAlpha(image.pixel(x, y)) > 200) {
                left = left < 0 ? x : left;
                right = x;
            }
        if (left >= 0 && !inLine)
            lines.emplace_back(left, right);
        else if (left >= 0)
            lines.back() = {std::min(lines.back().first, left), std::max(lines.back().second, right)};
        inLine = left >= 0;
    }
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_LT(lines[0].first, inside.center().x()) << "the entry at the left";
    for (const std::size_t line : {1u, 2u}) {
        EXPECT_GT(lines[line].first, inside.center().x()) << line;
        EXPECT_GT(lines[line].second, inside.right() - 20) << line;
    }
}

TEST_F(FunctionHelpPDFTest, TextBlocksFollowTheirRules)
{
    // A right-aligned result of more than 32 characters is set as it is.
    draw(page("<screen>1<r>123456789012345678901234567890123456</r></screen>"));
    EXPECT_EQ(renderer.parseErrors(), 0);
    // A block starting with a line break keeps its first line.
    draw(page("<body>\nfirst</body>"));
    const double withBreak = renderer.drawPoint().y();
    draw(page("<body>first</body>"));
    EXPECT_GT(withBreak, renderer.drawPoint().y());
    // hBar outside a block changes nothing.
    draw(page("<hBar/><body>x</body>"));
    EXPECT_EQ(renderer.parseErrors(), 0);
}

} // namespace
} // namespace orvenda
