// The variables panel, the compact keypad and the program's controls on the graph, as
// widgets at fixed sizes.

#include "GraphPanelsTestSupport.h"
#include "app/YEqTestSupport.h"
#include "core/DrawObject.h"
#include "eval/ProgramTestSupport.h"
#include "graph/GraphView.h"
#include "graphui/GraphPanelDelegates.h"
#include "graphui/GraphProgramControls.h"
#include "graphui/GraphVarsView.h"
#include "PictureChecks.h"
#include "graphui/SmallCalcView.h"
#include "drawing/VImageDraw.h"
#include "drawing/VText.h"
#include "input/KeyArtwork.h"
#include "pretty/FontMap.h"
#include "app/ImageButton.h"

#include <gtest/gtest.h>

#include "graphui/ThumbSlider.h"
#include <QKeyEvent>
#include <QMouseEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <cmath>

namespace orvenda::test {
namespace {

using orvenda::testing::ProgramHarness;


// ---- Variables panel ----

class RecordingVars : public GraphVarsViewDelegate {
public:
    void showSlider(bool, double) override {}
    void startTrackingVar(int varNum) override { tracking.push_back(varNum); }
    void stopTrackingVar() override { ++stops; }
    void trace(double value, double) override { traced.push_back(value); }
    void valueChanged() override { ++changes; }
    void editVar(const YEqVarInfo&, int) override {}
    std::vector<int> tracking;
    std::vector<double> traced;
    int stops = 0, changes = 0;
};

class GraphVarsViewTest : public ::testing::Test, public YEqCalc {
protected:
    GraphVarsViewTest()
    {
        graph.resize(320, 320);
        graph.zoom({-10, 10, -10, 10});
        graph.updateWindowVars();
        vars.resize(320, 80);
    }
    PlotObject& plot(const std::string& text)
    {
        EXPECT_EQ(eq->setYEqFunc(kY1, ops(text)), 0);
        graph.updateDisplay();
        graph.selectEqNum(kY1, 1);
        return *graph.selectedPlotObj();
    }
    GraphView graph{calc};
    RecordingVars delegate;
    GraphVarsView vars{calc, delegate};
};

TEST_F(GraphVarsViewTest, AFunctionOfAGetsItsXAndAButtonsAndBumpsRoundToTheStep)
{
    PlotObject& p = plot("AX²");
    vars.showPlot(&p, {1, 0, 1});
    ASSERT_EQ(vars.buttonCount(), 2u);
    EXPECT_EQ(vars.buttonTitle(0), "X");
    EXPECT_EQ(vars.buttonTitle(1), "A");

    vars.showSlider(0);
    EXPECT_EQ(vars.editVar(), 23);
    EXPECT_EQ(vars.record(0).min, -10);
    EXPECT_EQ(vars.record(0).max, 10);
    EXPECT_DOUBLE_EQ(vars.record(0).step, 20.0 / 320);
    EXPECT_EQ(vars.record(0).value, 1);
    // Dragging the own variable traces and sends no tracking.
    vars.startTracking();
    vars.valueChanged(75);
    EXPECT_TRUE(delegate.tracking.empty());
    ASSERT_EQ(delegate.traced.size(), 1u);
    EXPECT_NEAR(delegate.traced[0], 5, 20.0 / 320);

    // A free variable with step 0.5 at 0.74: one bump up gives 1.0.
    vars.showSlider(1);
    ASSERT_EQ(vars.editVar(), 0);
    p.setVar(0, 0, 10, 0.74, 0.5);
    vars.sync();
    vars.bumpValue(1);
    EXPECT_EQ(p.varInfoArray.at(0).value, 1.0);
    EXPECT_EQ(calc.getVar(0).value.real(), 1.0);
    EXPECT_EQ(delegate.tracking, (std::vector<int>{0}));
    EXPECT_EQ(delegate.changes, 1);
    // Held: the first repeat after 0.5 s, then every 0.05 s.
    EXPECT_EQ(vars.repeatTimer().interval(), 500);
    vars.bumper();
    EXPECT_EQ(p.varInfoArray.at(0).value, 1.5);
    EXPECT_EQ(vars.repeatTimer().interval(), 50);
    vars.stopBumping();
    EXPECT_EQ(delegate.stops, 1);
    EXPECT_FALSE(vars.repeatTimer().isActive());
}

// The variables' buttons write white (green when open) on the strip's dark ground: each
// title reads against its button, open or not.
TEST_F(GraphVarsViewTest, TheVariableButtonsTitlesReadOnTheirButtons)
{
    PlotObject& p = plot("AX²");
    vars.showPlot(&p, {1, 0, 1});
    vars.show();
    for (const int open : {-1, 0}) {
        if (open >= 0)
            vars.showSlider(open);
        const QImage picture = vars.grab().toImage();
        int titled = 0;
        for (const QPushButton* button : vars.findChildren<QPushButton*>()) {
            if (button->text() != "X" && button->text() != "A")
                continue;
            ++titled;
            const QRect inside = button->geometry().adjusted(3, 3, -3, -3);
            EXPECT_GE(textContrast(picture, inside), 4.5) << button->text().toStdString() << " open " << open;
        }
        EXPECT_EQ(titled, 2);
    }
}

TEST_F(GraphVarsViewTest, TheButtonsAreTheBarItemsOfTheImageLibrary)
{
    PlotObject& p = plot("AX²");
    vars.showPlot(&p, {1, 0, 1});
    vars.resize(320, 80);
    vars.show();
    // A tab's image fills each variable button; the open one's title turns green.
    const QImage tab = VImageDraw::vImageDraw().getImage("NavbarTab", 1);
    const QImage picture = vars.grab().toImage();
    for (const QPoint at : {QPoint(21, 30), QPoint(3, 17), QPoint(21, 4)})
        EXPECT_EQ(picture.pixelColor(at).rgb() & 0xF0F0F0, tab.pixelColor(at).rgb() & 0xF0F0F0) << at.x() << "," << at.y();
    EXPECT_EQ(vars.buttonTitleColor(0), QColor(Qt::white));
    vars.showSlider(0);
    EXPECT_EQ(vars.buttonTitleColor(0), QColor(0, 230, 0));
    EXPECT_EQ(vars.buttonTitleColor(1), QColor(Qt::white));
    const QByteArray folder = qgetenv("ORVENDA_DRAWING_PICTURES");
    if (!folder.isEmpty())
        vars.grab().toImage().save(QString::fromLocal8Bit(folder) + QStringLiteral("/variablesStrip.png"));
}

// A histogram's tabs, "bar#", "width" and "≪≫", read whole at full size, side by side, on
// a phone's strip and a tablet's: a longer name widens its tab instead of being cut.
TEST_F(GraphVarsViewTest, AHistogramsTabsReadWhole)
{
    StandInHistogram histogram(calc);
    YEqVarInfo width, offset;
    width.name = "width";
    offset.name = "≪≫";
    histogram.varInfoArray = {width, offset};
    const QImage tab = VImageDraw::vImageDraw().getImage("NavbarTab", 1);
    const QFont font = FontMap::shared().font("Helvetica-Bold", 14);
    for (const int stripWidth : {390, 768}) {
        vars.resize(stripWidth, 80);
        vars.showPlot(&histogram, {0, 0, 0});
        vars.show();
        ASSERT_EQ(vars.buttonCount(), 3u);
        const QImage picture = vars.grab().toImage();
        const qreal ratio = picture.devicePixelRatio();
        int lastRight = -1;
        for (std::size_t i = 0; i < 3; ++i) {
            const ImageButton& button = vars.button(i);
            const QString title = vars.buttonTitle(i);
            EXPECT_EQ(title.toStdString(), i == 0 ? "bar#" : i == 1 ? "width" : "≪≫");
            const double advance = QFontMetricsF(font).horizontalAdvance(title);
            EXPECT_LE(advance, button.width() - 6) << title.toStdString() << " " << stripWidth;
            EXPECT_GT(button.x(), lastRight) << title.toStdString();
            lastRight = button.geometry().right();
            // The title's ink: where the picture differs from the tab's image alone.
            QImage bare(button.size() * ratio, QImage::Format_ARGB32_Premultiplied);
            bare.setDevicePixelRatio(ratio);
            bare.fill(Qt::transparent);
            QPainter painter(&bare);
            painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
            painter.drawImage(QRectF(QPointF(), button.size()), tab);
            painter.end();
            const QRect at(button.geometry().topLeft() * ratio, button.size() * ratio);
            int left = at.width(), right = -1;
            for (int y = 0; y < at.height(); ++y)
                for (int x = 0; x < at.width(); ++x) {
                    const QColor a(picture.pixel(at.topLeft() + QPoint(x, y))), b(bare.pixel(x, y));
                    if (std::abs(a.lightness() - b.lightness()) > 80) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
                }
            EXPECT_GE((right - left + 1) / ratio, 0.85 * advance) << title.toStdString() << " " << stripWidth;
        }
    }
}

TEST_F(GraphVarsViewTest, SliderMappingHoldsAnEmptyRangeAndAOnePointIndex)
{
    YEqVarInfo r;
    r.min = 2, r.max = 2, r.value = 2;
    EXPECT_EQ(GraphVarsView::sliderPosition(r), 0);
    r.min = 0, r.max = 10, r.value = 2.5;
    EXPECT_EQ(GraphVarsView::sliderPosition(r), 25);
    r.step = 0.5;
    EXPECT_EQ(GraphVarsView::sliderValue(r, 37), 3.5);   // 3.7 to the step
    EXPECT_EQ(GraphVarsView::sliderValue(r, 120), 10);   // clamped
    EXPECT_EQ(GraphVarsView::thumbLabel("bar#"), "ba");
    EXPECT_EQ(GraphVarsView::thumbLabel("θ"), "θ");
    EXPECT_EQ(GraphVarsView::thumbLabel("θ₁x"), "θ₁");
    r.min = -10, r.step = 3;
    EXPECT_EQ(GraphVarsView::sliderValue(r, 12.5), -9);  // -7.5 is 2.5 steps: away from zero

    // A scatter of one point: its index slider ranges 0..0 and cannot move.
    auto stats = std::make_shared<StatPlots>();
    stats->info[0] = VQStatistics::oneVar(reals({4}), nullptr);
    calc.statGraphManager = stats;
    PlotObject scatter(calc);
    scatter.plotType = PlotObject::PlotScatter;
    scatter.varNum = -3;
    scatter.eqNum = 0;
    vars.showPlot(&scatter, {4, 4, 0});
    EXPECT_EQ(vars.buttonTitle(0), "i");
    vars.showSlider(0);
    EXPECT_EQ(vars.record(0).max, 0);
    EXPECT_FALSE(vars.slider().isEnabled());
    EXPECT_EQ(vars.slider().value(), 0);
    calc.statGraphManager.reset();
}

// ---- Compact keypad ----

class KeypadTest : public ::testing::Test {
protected:
    KeypadTest()
    {
        calc.keyProcessor = [this](int key) { keys.push_back(key); };
        pad.resize(320, 190);
    }
    struct Done : SmallCalcViewDelegate {
        int touched = 0, done = 0;
        void keyTouched() override { ++touched; }
        void smallKeyboardDone() override { ++done; }
    };
    static int whiteIn(const QImage& image, const QRectF& r)
    {
        int n = 0;
        for (int y = int(r.top()); y < int(r.bottom()); ++y)
            for (int x = int(r.left()); x < int(r.right()); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += c.red() > 220 && c.green() > 220 && c.blue() > 220 ? 1 : 0;
            }
        return n;
    }
    Calculator calc;
    std::vector<int> keys;
    SmallCalcView pad{calc};
};

TEST_F(KeypadTest, KeysOfBothLayersReachTheKeyHandler)
{
    // (tag, 2nd, code): 7, ×, the arrows repeat; sin⁻¹( and Ans on 2nd.
    struct Case {
        int tag;
        bool second;
        int code;
    } cases[] = {{6, false, 0x37}, {9, false, 0x82}, {23, false, 0xB0}, {7, true, 0xC3}, {23, true, 0x72},
                 {24, true, 1032}, {1, true, 1031}, {17, true, 0xC0}};
    for (const Case& c : cases) {
        keys.clear();
        calc.secondShift = c.second;
        pad.keyDown(c.tag);
        pad.keyUp();
        EXPECT_EQ(keys, (std::vector<int>{c.code})) << c.tag;
    }
    // The empty key of the 2nd layer sends nothing.
    keys.clear();
    calc.secondShift = true;
    pad.keyDown(14);
    EXPECT_TRUE(keys.empty());
    calc.secondShift = false;
    // The keys lie on a 64 by 36 grid scaled to the width, 3 points down on a phone, 2 on a
    // tablet, where the legends keep a size of 1.25 once wider than 320 points.
    struct Layout {
        int device, width, height;
        QRectF key7;
        double labelScale;
    } layouts[] = {{0, 320, 190, {129, 39, 62, 34}, 1},
                   {1, 640, 380, {257, 74, 124, 68}, 1.25},
                   {1, 160, 95, {65, 20, 31, 17}, 0.5}};
    for (const Layout& l : layouts) {
        calc.device = l.device;
        pad.resize(l.width, l.height);
        EXPECT_EQ(pad.keyRect(7), l.key7) << l.device << " " << l.width;
        EXPECT_DOUBLE_EQ(pad.labelScale(), l.labelScale) << l.device << " " << l.width;
    }
}

// The keypad prints no shift legends above its keys: each key's face fills its whole
// rectangle, so its legend, centred in the rectangle, sits in the middle of the face.
TEST_F(KeypadTest, EachKeysFaceFillsItsRectangle)
{
    for (const auto& [device, width] : {std::pair{0, 390}, std::pair{1, 768}}) {
        calc.device = device;
        pad.resize(width, width * 180 / 320 + 6 + (device == 1 ? 30 : 0));
        const QImage picture = pad.grab().toImage();
        for (int tag = 0; tag < 25; ++tag) {
            if (tag % 5 == 4)
                continue;
            const QRectF key = pad.keyRect(tag);
            EXPECT_TRUE(QRectF(pad.rect()).contains(key)) << device << " key " << tag;
            // A fifth of the way down the key, beside the gap to the next key.
            const int y = static_cast<int>(key.top() + key.height() / 5);
            const QColor face = picture.pixelColor(static_cast<int>(key.left() + 6), y);
            const QColor gap = picture.pixelColor(static_cast<int>(key.right() + 1), y);
            EXPECT_GT(contrastRatio(face, gap), 1.15) << device << " key " << tag;
        }
    }
}

// The texts of a label image, the way its key table names them (raised exponents and EE
// written out).
std::vector<QString> labelTexts(int tag)
{
    std::vector<QString> texts;
    for (const auto& element : VImageDraw::vImageDraw().image("skb" + std::to_string(tag))->elements)
        if (const auto* text = dynamic_cast<const VText*>(element.get()))
            texts.push_back(text->text());
    return texts;
}

QString tableName(std::int32_t code)
{
    static const std::map<std::int32_t, QString> names = {{1039, "2nd"}, {1030, "DEL"}, {1031, "INS"},
        {1032, "CLEAR"}, {1065, "ENTER"}, {0x0C, "x-1"}, {0x0D, "x2"}, {0xC1, "10x"}, {0xBF, "ex"}, {0x3B, "EE"}};
    const auto it = names.find(code);
    return it != names.end() ? it->second : KeyArtwork::legendText(static_cast<std::uint32_t>(code));
}

TEST_F(KeypadTest, EachKeysLabelNamesWhatItsLayersDo)
{
    for (int tag = 0; tag < 25; ++tag) {
        const std::int32_t plain = SmallCalcView::kKeyCodes[0][tag], second = SmallCalcView::kKeyCodes[1][tag];
        std::vector<QString> expected;
        if (second >= 0 && second != plain)
            expected.push_back(tableName(second));
        // The arrows are drawn, not written.
        if (plain < 1033 || plain > 1036)
            expected.push_back(tableName(plain));
        EXPECT_EQ(labelTexts(tag), expected) << "skb" << tag;
    }
}

TEST_F(KeypadTest, TheTwoLegendsOfAKeyAndTheLit2ndLayer)
{
    const auto orange = [](QColor c) { return c.red() > 200 && c.green() > 80 && c.green() < 170 && c.blue() < 80; };
    const auto count = [&](const QImage& image, const QRectF& r) {
        int n = 0;
        for (int y = int(r.top()); y < int(r.bottom()); ++y)
            for (int x = int(r.left()); x < int(r.right()); ++x)
                n += orange(image.pixelColor(x, y)) ? 1 : 0;
        return n;
    };
    pad.resize(320, 190);
    calc.secondShift = false;
    const QImage off = pad.grab().toImage();
    calc.secondShift = true;
    const QImage on = pad.grab().toImage();
    calc.secondShift = false;
    // Key 6 (7, x⁻¹ on 2nd): the 2nd legend in orange above the white 7 either way...
    const QRectF key = pad.keyRect(6);
    const QRectF legend(key.left() + 16, key.top() + 1, 30, 12);
    EXPECT_GT(count(off, legend), 8);
    EXPECT_GT(count(on, legend), 8);
    const QRectF seven(key.left() + 20, key.top() + 15, 22, 16);
    EXPECT_GT(KeypadTest::whiteIn(off, seven), 10);
    // ...and framed in orange only while 2nd is on.
    const QRectF frameEdge(key.left() + 7, key.top() + 4, 3, 7);
    EXPECT_EQ(count(off, frameEdge), 0);
    EXPECT_GT(count(on, frameEdge), 2);
    const QByteArray folder = qgetenv("ORVENDA_DRAWING_PICTURES");
    if (!folder.isEmpty()) {
        off.save(QString::fromLocal8Bit(folder) + QStringLiteral("/keypad.png"));
        on.save(QString::fromLocal8Bit(folder) + QStringLiteral("/keypad2nd.png"));
    }
}

// What a key's picture shows of its two legends: the rows that hold the 2nd legend's
// orange, the rows that hold the key's own white legend, and how the legend's orange (its
// brightest pixel, where a glyph covers the pixel whole) stands out from the colour most of
// each of its rows has: the band it is printed on, at its worst.
struct KeyLegends {
    int secondRows = 0, ownRows = 0;
    double secondContrast = 21;
};
KeyLegends legendsIn(const QImage& picture, const QRectF& keyRect)
{
    const QRect key = keyRect.toAlignedRect() & picture.rect();
    const auto orange = [](const QColor& c) {
        const int hue = c.hsvHue();
        return hue >= 10 && hue <= 50 && c.hsvSaturationF() > 0.5 && c.valueF() > 0.35;
    };
    const auto white = [](const QColor& c) { return c.red() > 200 && c.green() > 200 && c.blue() > 200; };
    KeyLegends out;
    QColor legend;
    struct Row {
        int y, left, right;
    };
    std::vector<Row> rows;
    for (int y = key.top(); y <= key.bottom(); ++y) {
        int count = 0, left = key.right(), right = key.left();
        bool own = false;
        for (int x = key.left(); x <= key.right(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            own = own || white(c);
            if (!orange(c))
                continue;
            ++count;
            left = std::min(left, x);
            right = std::max(right, x);
            if (!legend.isValid() || c.valueF() > legend.valueF())
                legend = c;
        }
        out.ownRows += own;
        out.secondRows += count > 0;
        // A row that is mostly orange is the edge of the frame 2nd draws around the band.
        if (count > 0 && count < (right - left + 1) * 7 / 10)
            rows.push_back({y, left, right});
    }
    // The band: the colour most of the row's other pixels have.
    for (const Row& row : rows) {
        QHash<QRgb, int> counts;
        for (int x = std::max(key.left(), row.left - 3); x <= std::min(key.right(), row.right + 3); ++x)
            if (!orange(picture.pixelColor(x, row.y)))
                ++counts[picture.pixel(x, row.y)];
        const auto band = std::max_element(counts.cbegin(), counts.cend());
        if (band != counts.cend())
            out.secondContrast = std::min(out.secondContrast, contrastRatio(legend, QColor::fromRgb(band.key())));
    }
    return out;
}

// The 2nd legends read: orange against the key at 3 : 1 or more all the way down their
// glyphs, and as tall as the keys' own legends, on a phone's keypad and on a tablet's.
TEST_F(KeypadTest, SecondLegendsStandOutAndMatchTheKeysOwn)
{
    for (const auto& [device, width] : {std::pair{0, 390}, std::pair{1, 320}}) {
        calc.device = device;
        pad.resize(width, width * 180 / 320 + 6);
        for (const bool second : {false, true}) {
            calc.secondShift = second;
            const QImage picture = pad.grab().toImage();
            // A digit's legend, as tall as a capital.
            const int digitRows = legendsIn(picture, pad.keyRect(6)).ownRows;
            EXPECT_GE(digitRows, 8 * width / 320) << device;
            for (int tag = 1; tag < 25; ++tag) {
                const std::int32_t plain = SmallCalcView::kKeyCodes[0][tag], shifted = SmallCalcView::kKeyCodes[1][tag];
                if (shifted < 0 || shifted == plain)
                    continue;
                const KeyLegends legends = legendsIn(picture, pad.keyRect(tag));
                EXPECT_GE(legends.secondContrast, 3.0) << device << (second ? " 2nd" : "") << " key " << tag;
                // Capitals and digits (INS, 10ˣ, EE, Ans, CLEAR) against the digits; with 2nd
                // on, the band's orange frame adds rows of its own.
                if (!second && (tag == 1 || tag == 16 || tag == 19 || tag == 23 || tag == 24)) {
                    EXPECT_GE(legends.secondRows, digitRows) << device << " key " << tag;
                }
            }
        }
        calc.secondShift = false;
    }
}

TEST_F(KeypadTest, ArrowsRepeatAndHardwareKeysMapThroughTheirCommands)
{
    Done delegate;
    pad.delegate = &delegate;
    pad.keyDown(5);  // left
    EXPECT_EQ(pad.repeatTimer().interval(), 500);
    pad.autoKey();
    EXPECT_EQ(pad.repeatTimer().interval(), 100);
    pad.keyUp();
    EXPECT_FALSE(pad.repeatTimer().isActive());
    EXPECT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys.front(), 1033);

    EXPECT_EQ(pad.keyCommands().size(), 44u);
    EXPECT_FALSE(SmallCalcView::keyCmd("a,b,c"));
    struct Case {
        const char* input;
        const char* mods;
        std::vector<int> codes;
    } cases[] = {
        {"S", "^C", {0xC3}},  // modifiers in any order
        {"I", "M", {1031}},
        {"-", "O", {0xB0}},
        {"-", "", {0x71}},
        {"\b", "", {1033, 1030}},
        {"\b", "^", {1032}},
        {"q", "", {}},
    };
    for (const Case& c : cases) {
        keys.clear();
        pad.kChar(c.input, c.mods);
        EXPECT_EQ(keys, c.codes) << c.input << "," << c.mods;
    }
    keys.clear();
    pad.kChar("UIKeyInputEscape", "");
    EXPECT_TRUE(keys.empty());
    EXPECT_EQ(delegate.done, 1);
    // The desktop's chords, as the keyboard's commands take them: Ctrl for Command too, and
    // Alt+Shift on the minus key, whether the window system says "-" or "_".
    struct Chord {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* text;
        int code;
    } chords[] = {
        {Qt::Key_I, Qt::ControlModifier, "", 1031},
        {Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier, "", 0xC3},
        {Qt::Key_Minus, Qt::AltModifier, "-", 0xB0},
        {Qt::Key_Minus, Qt::AltModifier | Qt::ShiftModifier, "-", 0x0C},
        {Qt::Key_Underscore, Qt::AltModifier | Qt::ShiftModifier, "_", 0x0C},
        {Qt::Key_P, Qt::AltModifier, "p", 0xAC},
    };
    for (const Chord& c : chords) {
        keys.clear();
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, QString::fromUtf8(c.text));
        QCoreApplication::sendEvent(&pad, &press);
        EXPECT_EQ(keys, std::vector<int>{c.code}) << c.code;
    }
}

// The keypad's letters that are the keyboard's command chords too (Ctrl+G GRAPH, Ctrl+S
// STAT, Ctrl+C CATALOG, Ctrl+T TABLE, Ctrl+L LIST, Ctrl+Shift+G WINDOW, Ctrl+Shift+T
// TBLSET) are the keypad's own where it has the keys: they type its tokens and go no
// further, as do its letters the keyboard leaves free (EE, eˣ, cos⁻¹) and INS.
TEST_F(KeypadTest, TheKeyboardsCommandLettersAreTheKeypadsOwn)
{
    struct Chord {
        int key;
        Qt::KeyboardModifiers modifiers;
        std::vector<int> codes;
    } chords[] = {
        {Qt::Key_G, Qt::ControlModifier, {0xC0}}, {Qt::Key_S, Qt::ControlModifier, {0xC2}},
        {Qt::Key_C, Qt::ControlModifier, {0xC4}}, {Qt::Key_T, Qt::ControlModifier, {0xC6}},
        {Qt::Key_L, Qt::ControlModifier, {0xBE}}, {Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier, {0xC1}},
        {Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier, {0xC7}},
        {Qt::Key_E, Qt::ControlModifier, {0x3B}}, {Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier, {0xBF}},
        {Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier, {0xC5}}, {Qt::Key_I, Qt::ControlModifier, {1031}},
        // None of the keypad's: on to the screen.
        {Qt::Key_Y, Qt::ControlModifier, {}}, {Qt::Key_Q, Qt::ControlModifier, {}},
    };
    for (const Chord& c : chords) {
        keys.clear();
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers);
        QCoreApplication::sendEvent(&pad, &press);
        EXPECT_EQ(keys, c.codes) << c.key << " " << c.modifiers.toInt();
        EXPECT_EQ(press.isAccepted(), !c.codes.empty()) << c.key << " " << c.modifiers.toInt();
    }
}

// ---- Program controls ----

class ProgramControlsTest : public ::testing::Test {
protected:
    ProgramControlsTest()
    {
        host.resize(320, 480);
        graph.resize(320, 480);
    }
    template <class T>
    std::shared_ptr<T> add(double x, double y, double width)
    {
        auto record = std::make_shared<T>();
        record->x = x, record->y = y, record->width = width, record->prgmName = "P";
        h.calc.ioControls.push_back(record);
        return record;
    }
    ProgramHarness h;
    QWidget host;
    GraphView graph{h.calc, &host};
    GraphProgramControls controls{h.calc, graph, &host};
};

TEST_F(ProgramControlsTest, ControlsArePlacedFromTheEdgesAndSkipBadRecords)
{
    add<DrawButton>(-100, 10, 90);
    h.calc.ioControls.push_back(std::make_shared<DrawLine>());
    add<DrawSlider>(0, -40, 0)->varNum = 400;  // no such variable
    auto field = add<DrawInputField>(5, 50, 100);
    controls.updateIOControllers();
    ASSERT_EQ(controls.ioControls().size(), 2u);
    EXPECT_EQ(controls.ioControls()[0]->geometry(), QRect(220, 10, 90, 34));
    EXPECT_EQ(controls.ioControls()[1]->property("tag").toInt(), 1);
    EXPECT_EQ(controls.ioObj()[1], field);
    graph.resize(480, 320);
    controls.adjustLayout();
    EXPECT_EQ(controls.ioControls()[0]->geometry().right() + 1, 470);
    EXPECT_EQ(controls.adjustFrame(QRectF(0, -40, 0, 34)), QRectF(0, 280, 480, 34));
    controls.removeControllers(true);
    EXPECT_TRUE(h.calc.ioControls.empty());
}

TEST_F(ProgramControlsTest, AnInputFieldsNameStandsBesideItsBox)
{
    h.calc.locked()->axesColor = VQColor::colorR(1, 0, 0, 1);
    add<DrawInputField>(-110, 50, 100)->lblName = "Rate";
    add<DrawInputField>(5, 100, 100)->lblName = "N";  // no room on the left
    add<DrawInputField>(5, 150, 100);
    controls.updateIOControllers();
    ASSERT_EQ(controls.ioControls().size(), 3u);
    QLabel* rate = controls.fieldLabel(0);
    QLabel* n = controls.fieldLabel(1);
    ASSERT_TRUE(rate && n);
    EXPECT_EQ(controls.fieldLabel(2), nullptr);
    EXPECT_EQ(rate->text(), "Rate");
    EXPECT_TRUE(rate->isVisibleTo(&host));
    EXPECT_EQ(rate->geometry().right() + 1, 206);
    EXPECT_EQ(rate->geometry().top(), 50);
    EXPECT_EQ(rate->geometry().height(), 34);
    EXPECT_EQ(n->geometry().left(), 109);
    // The name is drawn in the axes' colour, as the axes' numbers are: it shows on whatever
    // ground the graph has (black on a black graph did not).
    const QImage picture = rate->grab().toImage();
    int drawn = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            drawn += c.red() > 200 && c.green() < 60 && c.blue() < 60;
        }
    EXPECT_GT(drawn, 10);
    // The name follows a box anchored to the right edge.
    graph.resize(480, 320);
    controls.adjustLayout();
    EXPECT_EQ(rate->geometry().right() + 1, 366);
    controls.removeControllers();
    EXPECT_TRUE(host.findChildren<QLabel*>().isEmpty());
}

TEST_F(ProgramControlsTest, SelectorsAndSlidersRunTheirLabels)
{
    h.store("P", "Stop:Lbl LA:1->K:Return:Lbl LB:2->K:Return:Lbl S:K+10->K:Return");
    auto selector = add<DrawSelector>(0, 0, 0);
    selector->titles = "A,B,C,D";
    selector->labels = "LA,LB,LC";
    auto slider = add<DrawSlider>(0, 40, 0);
    slider->min = 0, slider->max = 10, slider->varNum = 'V' - 'A', slider->lblName = "S";
    controls.updateIOControllers();
    constexpr int kK = 'K' - 'A', kV = 'V' - 'A';

    controls.ioSelector(0, 1);
    h.settle();
    EXPECT_EQ(h.calc.getVar(kK).value.real(), 2);
    // A fourth title has no label: nothing runs.
    controls.ioSelector(0, 3);
    h.settle();
    EXPECT_EQ(h.calc.getVar(kK).value.real(), 2);

    // Moving the slider to the value its variable holds asks for nothing.
    h.calc.setVar(kV, {{4, 0}});
    controls.ioSlider(1, 4);
    h.settle();
    EXPECT_EQ(h.calc.getVar(kK).value.real(), 2);
    controls.ioSlider(1, 6);
    EXPECT_EQ(graph.drawQuality, 1);
    EXPECT_EQ(h.calc.getVar(kV).value.real(), 6);
    h.settle();
    EXPECT_EQ(h.calc.getVar(kK).value.real(), 12);
    controls.ioSliderEndSlide(1, 7);
    EXPECT_EQ(graph.drawQuality, 0);
    h.settle();
    EXPECT_EQ(h.calc.getVar(kK).value.real(), 22);
    EXPECT_EQ(h.calc.getVar(kV).value.real(), 7);
}

// A drag takes the slider wherever on its drawn disc it starts, the centre included, and
// its label runs as it moves and once more where it is let go; a press beside the disc
// moves it a page.
TEST_F(ProgramControlsTest, ASliderIsDraggedFromAnyPointOfItsDisc)
{
    h.store("P", "Stop:Lbl S:K+1->K:Return");
    auto slider = add<DrawSlider>(0, 40, 0);
    slider->min = 0, slider->max = 10, slider->varNum = 'V' - 'A', slider->lblName = "S";
    controls.updateIOControllers();
    ASSERT_EQ(controls.ioControls().size(), 1u);
    auto* bar = dynamic_cast<ThumbSlider*>(controls.ioControls()[0]);
    ASSERT_NE(bar, nullptr);
    constexpr int kV = 'V' - 'A', kK = 'K' - 'A';
    const auto mouse = [bar](QEvent::Type type, QPointF at) {
        QMouseEvent event(type, at, bar->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &event);
    };
    const QRectF disc = bar->thumbRect();
    ASSERT_GT(disc.width(), 20);
    // From the disc's centre and from its right edge, half-way along and back.
    for (const double from : {disc.center().x(), disc.right() - 2}) {
        const QPointF start(from, disc.center().y());
        const double room = bar->width() - disc.width();
        mouse(QEvent::MouseButtonPress, start);
        mouse(QEvent::MouseMove, start + QPointF(room / 2, 0));
        EXPECT_NEAR(h.calc.getVar(kV).value.real(), 5, 0.1) << from;
        mouse(QEvent::MouseButtonRelease, start + QPointF(room / 2, 0));
        h.settle();
        EXPECT_FALSE(bar->isSliderDown());
        EXPECT_GE(h.calc.getVar(kK).value.real(), 2) << from;
        const QPointF half = bar->thumbRect().center();
        mouse(QEvent::MouseButtonPress, half);
        mouse(QEvent::MouseButtonRelease, half - QPointF(room / 2, 0));
        h.settle();
        EXPECT_NEAR(h.calc.getVar(kV).value.real(), 0, 0.1) << from;
    }
    // Beside the disc: a page toward the press, no drag.
    const int before = bar->value();
    mouse(QEvent::MouseButtonPress, QPointF(bar->width() - 3, disc.center().y()));
    EXPECT_FALSE(bar->isSliderDown());
    EXPECT_EQ(bar->value(), before + bar->pageStep());
}

} // namespace
} // namespace orvenda::test

namespace orvenda::test {
namespace {

// The polar trace's variable is θ (slot 26), on its button and its slider.
TEST_F(GraphVarsViewTest, APolarPlotsVariableButtonReadsTheta)
{
    calc.setGraphMode(2);
    ASSERT_EQ(eq->setYEqFunc(kR1, ops("θ")), 0);
    graph.updateDisplay();
    graph.selectEqNum(kR1, 1);
    PlotObject* polar = graph.selectedPlotObj();
    ASSERT_TRUE(polar);
    EXPECT_EQ(polar->varNum, 26);
    vars.showPlot(polar, {0, 0, 0});
    ASSERT_GE(vars.buttonCount(), 1u);
    EXPECT_EQ(vars.buttonTitle(0), "θ");
    vars.showSlider(0);
    EXPECT_EQ(vars.editVar(), 26);
}

} // namespace
} // namespace orvenda::test
