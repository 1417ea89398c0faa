// The vector image library: reading the XML, the elements and their drawing, bitmaps at
// any scale, named colours, and input that must stay harmless.

#include "DrawingTestSupport.h"

#include "drawing/MainScreen.h"
#include "drawing/VImageDraw.h"
#include "drawing/VLaTeX.h"
#include "drawing/VPath.h"
#include "drawing/VPathStyle.h"
#include "drawing/VText.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <string>

namespace orvenda::test {
namespace {

std::string doc(const std::string& body) { return "<images>" + body + "</images>"; }

// A library of its own holding the XML.
std::unique_ptr<VImageDraw> library(const std::string& body)
{
    auto images = std::make_unique<VImageDraw>();
    images->loadData(doc(body));
    return images;
}

TEST(VImageDrawReading, ListsSplitOnCommasBlanksAndLineBreaks)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(VObject::componentsFromString("1,2"), (V{"1", "2"}));
    EXPECT_EQ(VObject::componentsFromString("1, 2"), (V{"1", "2"}));
    EXPECT_EQ(VObject::componentsFromString("1 2"), (V{"1", "2"}));
    EXPECT_EQ(VObject::componentsFromString(" 1\n2\t3 "), (V{"1", "2", "3"}));
    EXPECT_EQ(VObject::componentsFromString("1,,2"), (V{"1", "", "2"}));
    EXPECT_EQ(VObject::componentsFromString(",1"), (V{"", "1"}));
    EXPECT_EQ(VObject::componentsFromString(""), (V{""}));
    EXPECT_EQ(VObject::floatValue(" 2.5e1x"), 25);
    EXPECT_EQ(VObject::floatValue("+3"), 3);
    EXPECT_EQ(VObject::floatValue("abc"), 0);
    EXPECT_EQ(VObject::floatValue("1e99"), 0);
    EXPECT_EQ(VObject::floatValue("nan"), 0);
    EXPECT_FLOAT_EQ(VObject::floatValue("0.1"), 0.1f);
}

TEST(VImageDrawReading, ImagesTheirElementsAndTheRulesOfReading)
{
    auto images = library(
        "<p d='M,0,0,L,1,1'/>"                        // before any image: dropped
        "<i n='a' b='0,0,10,10' extra='kept'><p d='M,0,0,L,5,5'/></i>"
        "<i b='0,0,5,5'/><r d='0,0,2,2' x='F'/>"       // no name: its elements go to "a"
        "<i n='b' b='1 2 3 4'/><unknown q='1'/><o d='0,0,3,3'/>"
        "<i n='a' b='0,0,20,20'/><t d='x' p='1,1'/>"  // "a" again replaces the first
        "<i n='c' b='0,0,5'/>");
    EXPECT_EQ(images->imageNames(), (std::vector<std::string>{"a", "b", "c"}));
    ASSERT_NE(images->image("a"), nullptr);
    EXPECT_EQ(images->image("a")->elements.size(), 1u);
    EXPECT_NE(dynamic_cast<const VText*>(images->image("a")->elements[0].get()), nullptr);
    EXPECT_FALSE(images->image("a")->attributes.contains("extra"));
    EXPECT_EQ(images->boundsForImage("a"), QRectF(0, 0, 20, 20));
    EXPECT_EQ(images->boundsForImage("b"), QRectF(1, 2, 3, 4));
    EXPECT_EQ(images->image("b")->elements.size(), 1u);
    // Three numbers make no bounds, and no bitmap.
    EXPECT_EQ(images->boundsForImage("c"), QRectF());
    EXPECT_TRUE(images->getImage("c", 1).isNull());
    EXPECT_TRUE(images->getImage("missing", 1).isNull());
    EXPECT_EQ(images->boundsForImage("missing"), QRectF());
}

TEST(VImageDrawReading, WhatWasReadBeforeAParseErrorStays)
{
    VImageDraw images;
    EXPECT_FALSE(images.loadData("<images><i n='one' b='0,0,4,4'/><s fc='1,0,0,1'/><i n='two' b='0,0,4,4'/><r d='0,0,4,4'"));
    EXPECT_EQ(images.imageNames(), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(images.image("one")->elements.size(), 1u);
    // Loading again starts from nothing.
    EXPECT_TRUE(images.loadData("<images/>"));
    EXPECT_TRUE(images.imageNames().empty());
    EXPECT_FALSE(images.loadFile("noSuchResource"));
}

TEST(VImageDrawElements, PathDataAndRenderCodes)
{
    VPath path;
    path.addPointsFromString("M,0,0,L,10,0,L,10,10,c,Z,7,Q,1,2,3,4,C,1,2,3,4,5,6");
    EXPECT_EQ(path.tags, (std::vector<int>{VPath::kMove, VPath::kLine, VPath::kLine, VPath::kClose, VPath::kQuadCurve, VPath::kCurve}));
    EXPECT_EQ(path.pts.size(), 3u + 2 + 3);
    // A last command without all its numbers adds nothing.
    VPath cut;
    cut.addPointsFromString("M,1,1,L,2,C,1,2,3");
    EXPECT_EQ(cut.tags, (std::vector<int>{VPath::kMove}));
    cut.addPointsFromString("L,,3,L,4,5,M");
    EXPECT_EQ(cut.tags, (std::vector<int>{VPath::kMove, VPath::kLine}));
    EXPECT_EQ(cut.pts.back(), QPointF(4, 5));
    VPath none;
    none.addRectFromString("1,2,3");
    none.addOvalFromString("");
    none.addRoundRectFromString("0,0,10,10,1,1,1");
    EXPECT_TRUE(none.tags.empty());
    // All radii 0: a move, three lines and a close.
    VPath square;
    square.addRoundRectFromString("0,0,10,10,0,0,0,0");
    EXPECT_EQ(square.tags, (std::vector<int>{VPath::kMove, VPath::kLine, VPath::kLine, VPath::kLine, VPath::kClose}));
    VPath rounded;
    rounded.addRoundRectFromString("0,0,10,10,2,0,3,0");
    EXPECT_EQ(rounded.tags, (std::vector<int>{VPath::kMove, VPath::kArc, VPath::kLine, VPath::kArc, VPath::kLine, VPath::kClose}));

    const auto code = [](const char* x) {
        VPath p;
        p.setRenderTypeFromString(x);
        return p.renderType;
    };
    EXPECT_EQ(code(""), VPath::kStroke);
    EXPECT_EQ(code("s"), VPath::kStroke);
    EXPECT_EQ(code("F"), VPath::kFill);
    EXPECT_EQ(code("Sxx"), VPath::kFillStroke);
    EXPECT_EQ(code("V"), VPath::kVerticalGradient);
    EXPECT_EQ(code("M"), VPath::kBrushedMetal);
    EXPECT_EQ(code("C"), VPath::kInnerStroke);
    EXPECT_EQ(code("f"), VPath::kFillInnerStroke);
    EXPECT_EQ(code("q"), VPath::kStroke);
}

TEST(VImageDrawElements, StyleValuesThatMissTheirCountAreIgnored)
{
    const auto style = [](VAttributes a) { return VPathStyle::pathStyleWithAttributes(a)->styleFlags; };
    EXPECT_EQ(style({{"fc", "1,0,0"}}), 0);
    EXPECT_EQ(style({{"fc", "1,0,0,1"}}), VPathStyle::kFillColor);
    EXPECT_EQ(style({{"fcn", "blueKey"}}), VPathStyle::kFillColor);
    EXPECT_EQ(style({{"fcn", "blue,Key"}}), 0);
    EXPECT_EQ(style({{"SC", "0,0,0,1"}, {"SW", "2"}}), VPathStyle::kStrokeColor | VPathStyle::kStrokeWidth);
    EXPECT_EQ(style({{"G", "1,1,1,1"}}), 0);
    EXPECT_EQ(style({{"Gn", "blueKey"}}), 0);
    EXPECT_EQ(style({{"Gn", "blueKey,0.5"}}), VPathStyle::kGradient);
    EXPECT_EQ(style({{"w", "1,1"}}), 0);
    EXPECT_EQ(style({{"w", "1,1,0"}}), VPathStyle::kShadow);
    EXPECT_EQ(style({{"ft", "Helvetica"}}), 0);
    EXPECT_EQ(style({{"ft", "Helvetica,12"}}), VPathStyle::kFont);
}

TEST(VImageDrawDrawing, BitmapsAtTheScreensScale)
{
    auto images = library("<i n='box' b='5,5,20,10'/><s fc='0,0,1,1'/><r d='5,5,20,10' x='F'/>");
    MainScreen::setScale(2);
    const QImage twice = images->getImage("box", 1);
    const QImage more = images->getImage("box", 1.5);
    MainScreen::setScale(0);
    EXPECT_EQ(twice.size(), QSize(40, 20));
    EXPECT_EQ(twice.devicePixelRatio(), 2);
    EXPECT_EQ(twice.deviceIndependentSize(), QSizeF(20, 10));
    // The bounds' origin lands on the bitmap's: every pixel blue.
    EXPECT_EQ(inked(twice), 40 * 20);
    EXPECT_TRUE(near(at(twice, 0, 0), 0, 0, 255));
    EXPECT_EQ(more.size(), QSize(60, 30));
}

TEST(VImageDrawDrawing, NamedColoursThatChange)
{
    auto images = library("<i n='key' b='0,0,10,10'/><s fcn='blueKey'/><r d='0,0,10,10' x='F'/>");
    // Not set yet: transparent black.
    EXPECT_EQ(inked(images->getImage("key", 1)), 0);
    images->setColorName("blueKey", 0, 0, 255, 1);
    EXPECT_TRUE(near(at(images->getImage("key", 1), 5, 5), 0, 0, 255));
    images->setColor({1, 0, 0, 1}, "blueKey");
    EXPECT_TRUE(near(at(images->getImage("key", 1), 5, 5), 255, 0, 0));
    EXPECT_EQ(images->uiColorForName("blueKey"), QColor(255, 0, 0));
    EXPECT_EQ(images->uiColorForName("nothing"), QColor::fromRgbF(0, 0, 0, 0));
}

TEST(VImageDrawDrawing, StyleGradientHasItsMeanAtThePercent)
{
    auto images = library("<i n='g' b='0,0,10,101'/><s fc='0,0,1,1' Gn='blueKey,0.5'/><r d='0,0,10,101' x='V'/>");
    images->setColorName("blueKey", 255, 0, 0, 1);
    const QImage image = images->getImage("g", 1);
    EXPECT_TRUE(near(at(image, 5, 0), 253, 0, 2, 6));
    EXPECT_TRUE(near(at(image, 5, 50), 128, 0, 128, 6));
    EXPECT_TRUE(near(at(image, 5, 100), 2, 0, 253, 6));
    ASSERT_EQ(images->vContext().gradientRef.size(), 3);
    EXPECT_EQ(images->vContext().gradientRef[1].first, 0.5);
}

TEST(VImageDrawDrawing, RoundedCornersAndTheDefaultStroke)
{
    auto images = library("<i n='r' b='0,0,30,30'/><s fc='0,0,0,1'/><R d='0,0,30,30,8,0,8,0' x='F'/>"
                          "<i n='line' b='0,0,20,20'/><s SC='1,0,0,1' SW='2'/><p d='M,0,10,L,20,10'/>");
    const QImage r = images->getImage("r", 1);
    EXPECT_EQ(qAlpha(r.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(r.pixel(29, 29)), 0);
    EXPECT_EQ(qAlpha(r.pixel(29, 0)), 255);
    EXPECT_EQ(qAlpha(r.pixel(0, 29)), 255);
    // A path without a render code is stroked.
    const QImage line = images->getImage("line", 1);
    EXPECT_TRUE(near(at(line, 10, 10), 255, 0, 0));
    EXPECT_EQ(inkBounds(line).height(), 2);
}

TEST(VImageDrawDrawing, ShadowsSetAndClearedByStyles)
{
    auto images = library("<i n='s' b='0,0,40,40'/><s fc='0,0,0,1' w='4,4,2' WC='1,0,0,1'/><r d='5,5,20,20' x='F'/>"
                          "<i n='none' b='0,0,40,40'/><s fc='0,0,0,1' w='4,4,2' WC='1,0,0,1'/><s w='4,4,0'/>"
                          "<r d='5,5,20,20' x='F'/>");
    const QImage shaded = images->getImage("s", 1);
    EXPECT_GT(at(shaded, 27, 27).red(), 100);
    const QImage plain = images->getImage("none", 1);
    EXPECT_EQ(inked(plain), 400);
}

TEST(VImageDrawDrawing, TextVerticalAndFormula)
{
    auto images = library("<i n='v' b='0,0,20,80'/><s fc='0,0,0,1' ft='Helvetica,12'/><t d='ABC' p='10,2,V,20'/>"
                          "<i n='plain' b='0,0,80,30'/><s fc='0,0,0,1' ft='Helvetica,20'/><t d='\\(' p='2,2'/>"
                          "<i n='formula' b='0,0,80,30'/><s fc='0,0,0,1' ft='Helvetica,20'/><t d='\\(x^2' p='2,2'/>"
                          "<i n='inner' b='0,0,120,30'/><s fc='0,0,0,1' ft='Helvetica,20'/><t d='ab\\(cd' p='2,2'/>");
    const QImage v = images->getImage("v", 1);
    const QRect ink = inkBounds(v);
    EXPECT_GT(ink.height(), 45);
    EXPECT_LT(ink.width(), 12);
    // "\(" alone is its two characters; "\(x^2" the formula x².
    const QImage plain = images->getImage("plain", 1);
    EXPECT_GT(inked(plain), 10);
    QImage expected(80, 30, QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::transparent);
    {
        QPainter p(&expected);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        GraphicsContext c(p);
        VLaTeX::vlaTeX().setString(QStringLiteral("x^2"), QPointF(2, 2), c, 0, 20);
    }
    EXPECT_EQ(images->getImage("formula", 1), expected);
    // Text that only holds "\(" somewhere is drawn whole, not cut.
    const QImage inner = images->getImage("inner", 1);
    EXPECT_GT(inkBounds(inner).width(), inkBounds(plain).width() * 2);
    EXPECT_LT(inkBounds(inner).left(), 5);
}

TEST(VImageDrawDrawing, AttributedTextRanges)
{
    auto images = library("<i n='a' b='0,0,120,40'/><s fc='0,0,0,1' ft='Helvetica,14'/>"
                          "<t d='10x' p='2,12' aFnt='Helvetica,8,2,1' aBl='6,2,1' aKr='4,0,1'/>"
                          "<i n='b' b='0,0,120,40'/><s fc='0,0,0,1' ft='Helvetica,14'/><t d='10x' p='2,12'/>"
                          "<i n='cut' b='0,0,120,40'/><s fc='0,0,0,1' ft='Helvetica,14'/>"
                          "<t d='10x' p='2,12' aFnt='Helvetica,8,2' aBl='6,99,5,1' aKr='1e9,0,1e9'/>");
    const QRect raised = inkBounds(images->getImage("a", 1));
    const QRect flat = inkBounds(images->getImage("b", 1));
    EXPECT_LT(raised.top(), flat.top());
    EXPECT_GT(raised.width(), 0);
    // Incomplete groups and ranges past the text are harmless.
    EXPECT_GT(inked(images->getImage("cut", 1)), 0);
}

TEST(VImageDrawDrawing, DrawnImagesAndTheirPlaces)
{
    auto images = library("<i n='dot' b='0,0,4,4'/><s fc='1,0,0,1'/><r d='0,0,4,4' x='F'/>"
                          "<i n='three' b='0,0,40,40'/><D n='dot' p='10, 20, 30'/>"
                          "<i n='pairs' b='0,0,40,40'/><D n='dot' p='0,0,,20,20'/>");
    const QImage three = images->getImage("three", 1);
    EXPECT_EQ(inked(three), 16);
    EXPECT_EQ(inkBounds(three), QRect(10, 20, 4, 4));
    EXPECT_EQ(inked(images->getImage("pairs", 1)), 32);
}

TEST(VImageDrawDrawing, StrokeAndBackColoursForImagesWithoutTheirOwn)
{
    auto images = library("<i n='icon' b='0,0,20,20'/><r d='2,2,16,16' x='S'/>");
    const QImage image = images->getImage("icon", 1, VColor{1, 0, 0, 1}, VColor{0, 0, 1, 1});
    EXPECT_TRUE(near(at(image, 10, 10), 0, 0, 255));
    EXPECT_TRUE(near(at(image, 1, 10), 255, 0, 0, 8));
    EXPECT_EQ(images->vContext().fillB, 1);
}

TEST(VImageDrawDrawing, LayersStackWithTheirOwnColours)
{
    auto images = library("<i n='base' b='0,0,20,20'/><r d='0,0,20,10' x='F'/>"
                          "<i n='top' b='0,0,10,10'/><r d='0,10,20,10' x='F'/>");
    const QImage image = images->getImages({VImageInfo::infoWithName("base", 1, 1, 1, 1, false),
                                            VImageInfo::infoWithName("top", 0, 1, 0, 1, true)}, 1);
    EXPECT_EQ(image.size(), QSize(20, 20));
    EXPECT_TRUE(near(at(image, 10, 5), 255, 255, 255));
    EXPECT_TRUE(near(at(image, 10, 15), 0, 255, 0));
}

TEST(VImageDrawDrawing, BrushedMetalStaysBright)
{
    auto images = library("<i n='metal' b='0,0,200,60'/><s fc='1,1,1,1' G='1,1,1,1,0.5'/><r d='0,0,200,60' x='M'/>");
    const QImage image = images->getImage("metal", 1);
    int darkest = 255, changed = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = at(image, x, y);
            darkest = std::min(darkest, c.red());
            changed += c.red() < 255 ? 1 : 0;
        }
    // Brightened white saturates; darkened by at most an eighth.
    EXPECT_GE(darkest, 215);
    EXPECT_GT(changed, 0);
}

TEST(VImageDrawRobustness, SelfReferenceAndCyclesEnd)
{
    auto images = library("<i n='self' b='0,0,10,10'/><s fc='0,0,0,1'/><r d='0,0,2,2' x='F'/><D n='self' p='1,1'/>"
                          "<i n='a' b='0,0,10,10'/><s fc='0,0,0,1'/><r d='0,0,1,1' x='F'/><D n='b' p='1,1'/>"
                          "<i n='b' b='0,0,10,10'/><D n='a' p='1,1,2,2'/>"
                          "<i n='wide' b='0,0,100,100'/><D n='wide' p='1,1,2,2,3,3,4,4'/><D n='b' p='0,0,1,1,2,2'/>");
    EXPECT_EQ(inked(images->getImage("self", 1)), 4);
    EXPECT_GT(inked(images->getImage("a", 1)), 0);
    EXPECT_GT(inked(images->getImage("b", 1)), 0);
    EXPECT_GT(inked(images->getImage("wide", 1)), 0);
}

TEST(VImageDrawRobustness, DeepChainsStopAtTheDepthLimit)
{
    std::string body;
    for (int i = 0; i < 40; ++i)
        body += "<i n='n" + std::to_string(i) + "' b='0,0,10,10'/><s fc='0,0,0,1'/><r d='0,0,1,1' x='F'/><D n='n"
                + std::to_string(i + 1) + "' p='0.2,0.2'/>";
    auto images = library(body);
    EXPECT_GT(inked(images->getImage("n0", 1)), 0);
}

TEST(VImageDrawRobustness, HugeBoundsAndIncompleteDataFinish)
{
    auto images = library("<i n='huge' b='0,0,1e9,1e9'/><s fc='0,0,0,1'/><r d='0,0,1e9,1e9' x='F'/>"
                          "<i n='metal' b='0,0,10,10'/><s G='1,1,1,1,0.5'/><r d='0,0,1e9,1e9' x='M'/>"
                          "<i n='bits' b='0,0,10,10'/><s SC='0,0,0,1'/><p d='M,1,L,2,2,C,1,Q'/><R d='0,0,1'/><o d='1'/>"
                          "<s fc='1,0' ft='Helvetica' w='1' G='1'/><t d='x' p='1'/><t d='y'/><D p='1,2'/>"
                          "<i n='far' b='-1e9,-1e9,10,10'/><s fc='0,0,0,1'/><r d='0,0,5,5' x='F'/>");
    EXPECT_TRUE(images->getImage("huge", 1).isNull());
    EXPECT_TRUE(images->getImage("huge", 1, true).isNull());
    EXPECT_FALSE(images->getImage("metal", 1).isNull());
    EXPECT_FALSE(images->getImage("bits", 1).isNull());
    EXPECT_EQ(inked(images->getImage("far", 1)), 0);
    // Drawn into a context of its own, a huge image is clipped to the device.
    const QImage into = picture(20, 20, [&](GraphicsContext& c) { images->drawImage(c, "huge", QPointF(0, 0)); });
    EXPECT_EQ(inked(into), 400);
}

TEST(VImageDrawDrawing, ItalicLeanAndTheImageCache)
{
    QStandardPaths::setTestModeEnabled(true);
    auto images = library("<i n='bar' b='0,0,20,40'/><s fc='0,0,0,1'/><r d='8,0,4,40' x='F'/>"
                          "<i n='../escape' b='0,0,4,4'/><s fc='0,0,0,1'/><r d='0,0,4,4' x='F'/>");
    // Leaning 5° like italic type: the top of a vertical bar sits right of its foot.
    const QImage leaning = images->getImage("bar", 1, true);
    ASSERT_FALSE(leaning.isNull());
    const auto inkLeft = [](const QImage& image, int y) {
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 128)
                return x;
        return -1;
    };
    EXPECT_GT(inkLeft(leaning, 1), inkLeft(leaning, 38) + 2);
    const QImage drawn = picture(40, 40, [&](GraphicsContext& c) { images->drawImage(c, "bar", QPointF(10, 0), 0.5); });
    EXPECT_EQ(inkBounds(drawn).height(), 20);

    // Rendered once, then read back from the cache folder; a name that is no plain file
    // name is rendered but never written.
    images->clearImageCache();
    const QImage first = images->getImageFile("bar", 1);
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/images");
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/bar.png")));
    EXPECT_EQ(images->getImageFile("bar", 1).convertToFormat(QImage::Format_ARGB32_Premultiplied), first);
    EXPECT_FALSE(images->getImageFile("../escape", 1).isNull());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("bar.png")});
    images->clearImageCache();
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());
    QStandardPaths::setTestModeEnabled(false);
}

} // namespace
} // namespace orvenda::test
