// The records, points and pixels the drawing commands leave, and which thread they reach.
// Typed lines and their errors are in tests/cases/drawing.cases.
#include "ProgramTestSupport.h"
#include "TestSupport.h"

#include "core/DrawObject.h"
#include "core/VQGraphPtArray.h"

#include <array>
#include <cmath>
#include <limits>

namespace orvenda {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

class DrawingHandlersTest : public ::testing::Test {
protected:
    void SetUp() override { h.calc.viewDelegate = graphs; }

    template <class Record>
    Record& last()
    {
        EXPECT_FALSE(h.calc.drawing.empty());
        auto* record = dynamic_cast<Record*>(h.calc.drawing.back().get());
        EXPECT_NE(record, nullptr);
        return *record;
    }
    void draw(const std::string& text)
    {
        const Operand r = h.enter(text);
        EXPECT_EQ(r.error, 0) << text;
    }
    testing::ProgramHarness h;
    std::shared_ptr<test::FakeView> graphs = std::make_shared<test::FakeView>();
};

TEST_F(DrawingHandlersTest, LinesAndCirclesTakeTheirDefaultsAndArguments)
{
    const std::array<double, 3> red{1, 0, 0}; // TI colour 11, RED
    const struct {
        const char* text;
        DrawPoint p1, p2;
        float r, g, b, width;
        int style;
    } lines[] = {
        {"Line(0,0,1,1)", {0, 0}, {1, 1}, 0, 1, 0, 2, 0},
        {"Line(0,0,1,1,{1,0,0},25)", {0, 0}, {1, 1}, 1, 0, 0, 2, 0},
        {"Line(1,2,3,4,{0,0,1},5,3)", {1, 2}, {3, 4}, 0, 0, 1, 5, 3},
        {"Horizontal 3", {kInf, 3}, {kInf, 3}, 0, 1, 0, 2, 0},
        {"Vertical 3,RED,0", {3, kInf}, {3, kInf}, float(red[0]), float(red[1]), float(red[2]), 2, 0},
    };
    for (const auto& c : lines) {
        draw(c.text);
        const auto& line = last<DrawLine>();
        EXPECT_EQ(line.p1.x, c.p1.x) << c.text;
        EXPECT_EQ(line.p1.y, c.p1.y) << c.text;
        EXPECT_EQ(line.p2.x, c.p2.x) << c.text;
        EXPECT_EQ(line.p2.y, c.p2.y) << c.text;
        EXPECT_EQ(line.r, c.r) << c.text;
        EXPECT_EQ(line.g, c.g) << c.text;
        EXPECT_EQ(line.b, c.b) << c.text;
        EXPECT_EQ(line.lineWidth, c.width) << c.text;
        EXPECT_EQ(line.style, c.style) << c.text;
    }
    EXPECT_EQ(graphs->graphShown, 5);

    draw("Circle(1,2,3,{0,0,1},1,1.5)");
    const auto& circle = last<DrawCircle>();
    EXPECT_EQ(circle.center.x, 1);
    EXPECT_EQ(circle.center.y, 2);
    EXPECT_EQ(circle.radius, 3);
    EXPECT_EQ(circle.fillPercent, 1);
    EXPECT_EQ(circle.lineWidth, 1);
    EXPECT_EQ(circle.b, 1);

    draw("Polyline({1,2,3,4},{1,0,0},25,.5)");
    const auto& polyline = last<DrawPolyline>();
    EXPECT_EQ(polyline.points, (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(polyline.lineWidth, 2);
    EXPECT_EQ(polyline.fillPercent, 0.5);
    EXPECT_EQ(polyline.r, 1);

    // A failed command adds nothing.
    const std::size_t before = h.calc.drawing.size();
    EXPECT_EQ(h.enter("Line(0,0,1,1,{1,0,0},1,4)").error, 27);
    EXPECT_EQ(h.calc.drawing.size(), before);
}

TEST_F(DrawingHandlersTest, DrawnFunctionsKeepTheValuesTheirVariablesHadThen)
{
    auto valueAt = [&](const std::shared_ptr<VQStack>& fn, double x) {
        h.calc.setVar('X' - 'A', {{x, 0}});
        return h.parser().evalRPN(*fn, true, false).re();
    };
    draw("2->A:DrawF A*X");
    draw("5->A");
    EXPECT_EQ(valueAt(last<DrawFunc>().fn, 3), 6);
    EXPECT_FALSE(last<DrawFunc>().showTangent);

    draw("Tangent(A*X²,1.5,RED,3)");
    const auto& tangent = last<DrawFunc>();
    EXPECT_EQ(valueAt(tangent.fn, 2), 20);
    EXPECT_TRUE(tangent.showTangent);
    EXPECT_EQ(tangent.tangentX, 1.5);
    EXPECT_EQ(tangent.style, 2);
    EXPECT_EQ(tangent.lineWidth, 3);

    draw("DrawInv A+X");
    EXPECT_EQ(valueAt(last<DrawInv>().fn, 1), 6);

    // The function as typed stays with the record, for its label and trace heading: up to
    // the colour's comma, with nested functions whole.
    const struct {
        const char* text;
        const char* expression;
    } typed[] = {
        {"DrawInv A+X", "A+X"},
        {"DrawF 2X,RED", "2X"},
        {"DrawInv X²-1,BLUE,3", "X²—1"},
        {"DrawF fnInt(T,T,0,X)+sum(seq(X,I,1,2))", "fnInt(T,T,0,X)+sum(seq(X,I,1,2))"},
        {"Tangent(A*X²,1.5,RED,3)", "A*X²"},
        {"Tangent(X³,2)", "X³"},
        {"Shade(X,A*X,-1,2,{0,0,1})", "X|A*X"},
        {"Shade(-X,X²+1)", "-X|X²+1"},
    };
    for (const auto& c : typed) {
        draw(c.text);
        const DrawObject& record = *h.calc.drawing.back();
        const auto* inverse = dynamic_cast<const DrawInv*>(&record);
        const auto* function = dynamic_cast<const DrawFunc*>(&record);
        const auto* shade = dynamic_cast<const DrawShadeFn*>(&record);
        ASSERT_TRUE(inverse || function || shade) << c.text;
        const std::string text = shade ? h.calc.stringFromOps(shade->expressionLower) + "|" + h.calc.stringFromOps(shade->expressionUpper)
                                       : h.calc.stringFromOps(inverse ? inverse->expression : function->expression);
        EXPECT_EQ(text, c.expression) << c.text;
    }

    draw("Shade(X,A)");
    EXPECT_EQ(last<DrawShadeFn>().xLeft, -1e99);
    EXPECT_EQ(last<DrawShadeFn>().xRight, 1e99);
    draw("Shade(X,A*X,-1,2,{0,0,1})");
    const auto& shade = last<DrawShadeFn>();
    EXPECT_EQ(valueAt(shade.fnLower, 4), 4);
    EXPECT_EQ(valueAt(shade.fnUpper, 4), 20);
    EXPECT_EQ(shade.xLeft, -1);
    EXPECT_EQ(shade.xRight, 2);
    EXPECT_EQ(shade.b, 1);
}

TEST_F(DrawingHandlersTest, TextReadsAColourAndAlignmentLastAndReplacesTextAtItsPlace)
{
    draw("\"AB\"->Str1");
    const std::array<double, 3> five{0x66 / 255.0, 0xCC / 255.0, 1}; // standard colour 5, 66CCFF
    draw("Text(10,20,Str1,5)");
    {
        const auto& text = last<DrawText>();
        EXPECT_EQ(text.text, "AB5");  // the colour stays a text item too
        EXPECT_EQ(text.alignment, 0);
        EXPECT_EQ(text.tiTextColor, -1);
        EXPECT_EQ(text.r, float(five[0]));
        EXPECT_EQ(text.g, float(five[1]));
        EXPECT_EQ(text.b, float(five[2]));
    }
    draw("Text(10,20,Str1,2,{1,0,0})");
    const std::size_t count = h.calc.drawing.size();
    EXPECT_EQ(last<DrawText>().text, "AB");
    EXPECT_EQ(last<DrawText>().alignment, 2);
    EXPECT_EQ(last<DrawText>().r, 1);
    draw("Text(10,20,\"CD\",1.5,2,{0,0,1})");
    EXPECT_EQ(h.calc.drawing.size(), count);
    EXPECT_EQ(last<DrawText>().text, "CD1.5");
    EXPECT_EQ(last<DrawText>().b, 1);

    draw("Text(1,2,\"X\")");
    EXPECT_EQ(last<DrawText>().r + last<DrawText>().g + last<DrawText>().b, 0);  // black
    draw("TextColor(14):Text(3,4,\"Y\",RED)");
    EXPECT_EQ(last<DrawText>().text, "Y");
    EXPECT_EQ(last<DrawText>().tiTextColor, 14);

    // A number last that is far beyond any colour is only text.
    draw("Text(10,1,-1ᴱ12)");
    EXPECT_EQ(last<DrawText>().text, "-1" + test::kE + "12");
    EXPECT_EQ(last<DrawText>().r + last<DrawText>().g + last<DrawText>().b, 0);
    draw("Text(10,1,\"Z\",1ᴱ99)");
    EXPECT_EQ(last<DrawText>().text, "Z1" + test::kE + "99");
}

TEST_F(DrawingHandlersTest, ARunningProgramDrawsOnlyThroughTheMainQueue)
{
    const auto lines = h.calc.drawing.size();
    h.calc.pixelOnCol(7, 5, 0, 255, 0);
    h.queue().startProgramThread(testing::ProgramHarness::ops("Line(0,0,1,1):Pxl-Off(5,7):Pt-On(1,2)"));
    h.waitForWorker();
    EXPECT_EQ(h.calc.drawing.size(), lines);
    EXPECT_EQ(h.calc.pixelTestCol(7, 5), 1.0);
    EXPECT_EQ(h.calc.graphPts()->count(), 0u);
    h.settle();
    EXPECT_EQ(h.calc.drawing.size(), lines + 1);
    EXPECT_EQ(h.calc.pixelTestCol(7, 5), 0.0);
    EXPECT_EQ(h.calc.graphPts()->count(), 1u);

    // pxl-Test( sees the pixel a Pxl-On( just before it queued.
    const Operand r = h.enter("Pxl-On(5,7):pxl-Test(5,7)");
    EXPECT_EQ(r.kind, KindReal);
    EXPECT_EQ(r.re(), 1);
}

TEST_F(DrawingHandlersTest, PixelsAndPointsTakeColumnRowAndColour)
{
    draw("Pxl-On(5,7,{1,.5,0})");
    const std::size_t at = (5 * Calculator::kPixelSize + 7) * 4;
    EXPECT_EQ(h.calc.pixelBits[at], 255);
    EXPECT_EQ(h.calc.pixelBits[at + 1], 127);
    EXPECT_EQ(h.calc.pixelBits[at + 2], 0);
    EXPECT_TRUE(h.calc.pixelsVisible);
    draw("Pxl-Change(-1,1ᴱ99)");  // off the screen: nothing, and no wrap-around
    EXPECT_EQ(h.calc.pixelTestCol(0, 0), 0);

    draw("Pt-On(1,2,3,{1,0,0})");
    ASSERT_EQ(h.calc.graphPts()->count(), 1u);
    const auto& p = h.calc.graphPts()->points()[0];
    EXPECT_EQ(p.x, 1);
    EXPECT_EQ(p.y, 2);
    EXPECT_EQ(p.mark, 3);
    EXPECT_EQ(p.r, 255);
    draw("Pt-Change(1,2)");
    EXPECT_FALSE(p.on);
    draw("Pt-Change(1,2):Pt-Off(1,2,2)");
    EXPECT_FALSE(p.on);
}

TEST_F(DrawingHandlersTest, GraphDatabasesAreSavedAndFoundByName)
{
    auto databases = std::make_shared<test::FakeGDBs>();
    GDBManager::setShared(databases);
    draw("StoreGDB 3");
    draw("StoreGDB GDB1");
    draw("StoreGDB \"MINE\"");
    EXPECT_EQ(databases->saved, (std::set<std::string>{"GDB3", "GDB1", "MINE"}));

    draw("\"ab\"->Str1");
    EXPECT_EQ(h.enter("StoreGDB Str1").error, 27);
    databases->full = true;
    EXPECT_EQ(h.enter("StoreGDB 4").error, 26);
    EXPECT_FALSE(databases->saved.count("GDB4"));

    // The recall itself is result handling's: it receives the name.
    EXPECT_EQ(h.enter("RecallGDB GDB1").error, 0);
    ASSERT_FALSE(h.handedOver.empty());
    EXPECT_EQ(h.handedOver.back().kind, KindGDBRecall);
    EXPECT_EQ(h.handedOver.back().var.name, "GDB1");
    EXPECT_EQ(h.enter("RecallGDB 5").error, 69);
    GDBManager::setShared(nullptr);
}

} // namespace
} // namespace orvenda
