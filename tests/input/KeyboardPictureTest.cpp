// Pictures of the keyboard in every colour set and shift layer, at the phone and tablet
// sizes, each checked for a legend of the layer it shows. With ORVENDA_KEYBOARD_PICTURES
// set to a folder the pictures are also written there to be looked at.

#include "KeyboardTestSupport.h"

#include "app/ScreenRouter.h"
#include "input/AlphaKeyTables.h"
#include "input/AlphaKeyboardView.h"
#include "input/KeyArtwork.h"
#include "input/KeyLegendView.h"
#include "language/Vocabulary.h"
#include "pretty/FontMap.h"

#include <QDir>
#include <QFontMetricsF>
#include <QImage>
#include <QRawFont>
#include <QRegularExpression>

#include <algorithm>
#include <functional>

namespace orvenda::test {
namespace {

using Pictures = KeyboardTest;

// Pixels of the picture inside r that pass the test.
int count(const QImage& image, const QRectF& r, const std::function<bool(QColor)>& test)
{
    int n = 0;
    const QRect area = r.toAlignedRect().intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += test(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}

bool white(QColor c) { return c.red() > 235 && c.green() > 235 && c.blue() > 235; }
// The lit 2nd legends: brighter than the printed ones.
bool litYellow(QColor c) { return c.red() > 245 && c.green() > 165 && c.green() < 215 && c.blue() < 90; }
bool litGreen(QColor c) { return c.green() > 225 && c.red() < 80 && c.blue() < 80; }
bool dark(QColor c) { return c.red() < 60 && c.green() < 60 && c.blue() < 60; }

// The keyboards people meet: the phone's (390 × 844) and the tablet's upright and on its
// side, as the screen router frames them.
struct Device {
    const char* name;
    QSize window;
    int device;
};
constexpr Device kDevices[] = {{"phone", {390, 844}, 0}, {"tablet", {768, 1024}, 1}, {"tablet turned", {1024, 768}, 1}};

void useDevice(KeyboardView& keyboard, Calculator& calc, const Device& device)
{
    calc.device = device.device;
    calc.tallPhone = device.device == 0;
    keyboard.resize(ScreenRouter::layoutFrames(QSizeF(device.window), device.device == 1).keyboard.size().toSize());
    keyboard.layoutKeys();
}

// The sheet's own pixels, without the keys under it.
QImage sheetPixels(const KeyLegendView& sheet)
{
    QImage image(sheet.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const_cast<KeyLegendView&>(sheet).render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The rows and columns of the picture's ink inside r.
QRect inkBounds(const QImage& image, const QRectF& r)
{
    QRect ink;
    const QRect area = r.toAlignedRect().intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qAlpha(image.pixel(x, y)) > 96)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// Every legend, STAT PLOT, F1 to F4, INS, UserKeys and CONV among them, is printed as
// large as the ordinary 2nd legends (its capitals as tall as MATRIX's), at a size the strip
// above the keys gives, and each stays clear of the other legends, of every key and of the
// window's edges.
TEST_F(Pictures, EveryLegendIsAsLargeAsTheOrdinarySecondLegends)
{
    const KeyLegendView& sheet = keyboard.legendSheet();
    for (const Device& device : kDevices) {
        useDevice(keyboard, calc, device);
        const std::string what = device.name;
        const std::vector<KeyLegendView::Legend>& legends = sheet.legends();
        const QRectF matrixStrip = legends[20].strip;
        EXPECT_GE(sheet.legendFont().pixelSize(), matrixStrip.height() * 0.75) << what;
        const QImage pixels = sheetPixels(sheet);
        const int capitals = inkBounds(pixels, sheet.secondRect(20)).height();
        EXPECT_GE(capitals, sheet.legendFont().pixelSize() * 0.6) << what;
        std::vector<std::pair<QRectF, std::string>> printed;
        for (int key = 0; key < static_cast<int>(legends.size()); ++key)
            for (const bool second : {true, false}) {
                const QString& text = second ? legends[static_cast<std::size_t>(key)].second
                                             : legends[static_cast<std::size_t>(key)].alpha;
                const QRectF r = second ? sheet.secondRect(key) : sheet.alphaRect(key);
                if (text.isEmpty()) {
                    EXPECT_TRUE(r.isEmpty()) << what << " key " << key;
                    continue;
                }
                const std::string name = what + " " + text.toStdString();
                EXPECT_DOUBLE_EQ(r.width(), QFontMetricsF(sheet.legendFont()).horizontalAdvance(text)) << name;
                // Its ink is where it is said to be, inside the window.
                const QRect ink = inkBounds(pixels, r.adjusted(-3, -3, 3, 3));
                ASSERT_FALSE(ink.isEmpty()) << name;
                EXPECT_TRUE(r.adjusted(-1.5, -1.5, 1.5, 1.5).contains(QRectF(ink))) << name;
                EXPECT_GE(r.left(), 0) << name;
                EXPECT_LE(r.right(), keyboard.width()) << name;
                if (text.contains(QRegularExpression(QStringLiteral("^[A-Z]")))) {
                    EXPECT_GE(inkBounds(pixels, r).height(), capitals) << name;
                }
                printed.emplace_back(r, name);
            }
        for (std::size_t i = 0; i < printed.size(); ++i)
            for (std::size_t j = i + 1; j < printed.size(); ++j)
                EXPECT_FALSE(printed[i].first.intersects(printed[j].first))
                    << printed[i].second << " runs into " << printed[j].second;
        // No ink on a key's body.
        for (int key = 0; key < 50; ++key) {
            const KeyButton& b = keyboard.button(key);
            const QRectF body = KeyArtwork::body(b.geometry(), b.face());
            EXPECT_TRUE(inkBounds(pixels, body.adjusted(1, 1, -1, -1)).isEmpty()) << what << " on key " << key;
        }
    }
}

// Key faces: no label is smaller than most keys' (Home Screen breaks onto two lines to keep
// the size), and every label's ink stays on its key's body.
TEST_F(Pictures, KeyLabelsAreAsLargeAsTheOthersAndStayOnTheirKeys)
{
    for (const Device& device : kDevices) {
        useDevice(keyboard, calc, device);
        std::vector<int> sizes;
        for (int key = 0; key < 50; ++key)
            if (!keyboard.button(key).legend().isEmpty())
                sizes.push_back(keyboard.button(key).legendFont().pixelSize());
        std::vector<int> sorted = sizes;
        std::sort(sorted.begin(), sorted.end());
        const int usual = sorted[sorted.size() / 2];
        for (int key = 0; key < 50; ++key) {
            KeyButton& b = keyboard.button(key);
            if (b.legend().isEmpty())
                continue;
            const std::string name = std::string(device.name) + " " + b.legend().toStdString();
            EXPECT_GE(b.legendFont().pixelSize(), usual) << name;
            const QString legend = b.legend();
            const QImage with = b.grab().toImage();
            b.setLegend(QString());
            const QImage without = b.grab().toImage();
            b.setLegend(legend);
            QRect ink;
            for (int y = 0; y < with.height(); ++y)
                for (int x = 0; x < with.width(); ++x)
                    if (with.pixel(x, y) != without.pixel(x, y))
                        ink |= QRect(x, y, 1, 1);
            EXPECT_FALSE(ink.isEmpty()) << name;
            EXPECT_TRUE(KeyArtwork::body(QRectF(b.rect()), b.face()).contains(QRectF(ink))) << name;
        }
        EXPECT_EQ(keyboard.button(2).legendLines().toStdString(), "Home\nScreen") << device.name;
    }
}

// A legend or label whose character none of its fonts has would print an empty box: the
// fraction template's "／" over X,T,θ,n, the alpha keyboard's keys and their balloons.
TEST_F(Pictures, EveryLegendAndLabelHasItsGlyphs)
{
    const auto drawable = [](const QFont& font, char32_t c) {
        for (const QString& family : font.families()) {
            QFont one = font;
            one.setFamilies({family});
            const QRawFont raw = QRawFont::fromFont(one);
            if (raw.isValid() && raw.familyName() == family && raw.supportsCharacter(c))
                return true;
        }
        return false;
    };
    std::vector<std::pair<QString, QFont>> texts;
    const KeyLegendView& sheet = keyboard.legendSheet();
    for (const Device& device : kDevices) {
        useDevice(keyboard, calc, device);
        for (const KeyLegendView::Legend& legend : sheet.legends()) {
            texts.emplace_back(legend.second, sheet.legendFont());
            texts.emplace_back(legend.alpha, sheet.legendFont());
        }
        for (int mode = 0; mode < 4; ++mode) {
            calc.setGraphMode(mode);
            keyboard.redraw();
            for (int key = 0; key < 50; ++key)
                texts.emplace_back(keyboard.button(key).legend(), keyboard.button(key).legendFont());
        }
        calc.setGraphMode(0);
    }
    const QFont alphaFont = FontMap::shared().font("Helvetica-Bold", 14);
    const Vocabulary& vocabulary = Vocabulary::shared();
    for (const bool lowercase : {false, true})
        for (int key = 0; key < AlphaKeyTables::kKeyCount; ++key)
            for (const std::uint32_t code : AlphaKeyTables::alternatives(AlphaKeyTables::code(key, lowercase), lowercase))
                texts.emplace_back(QString::fromStdString(vocabulary.nameForOpcode(code)).trimmed(), alphaFont);
    ASSERT_GT(texts.size(), 300U);
    EXPECT_EQ(sheet.legends()[KeyTables::kXKey].alpha.toStdString(), "／");
    for (const auto& [text, font] : texts)
        for (const char32_t c : text.toUcs4())
            EXPECT_TRUE(drawable(font, c)) << text.toStdString() << " lacks U+" << std::hex << static_cast<unsigned>(c);
}

TEST_F(Pictures, EveryColourSetAndLayerShowsItsLegends)
{
    const QByteArray folder = qgetenv("ORVENDA_KEYBOARD_PICTURES");
    struct Size {
        const char* name;
        QSize size;
        int device;
        bool tall;
    };
    const Size sizes[] = {{"phone", {390, 509}, 0, true}, {"tablet", {720, 788}, 1, false}};
    const KeyLegendView& legends = keyboard.legendSheet();
    for (const Size& size : sizes) {
        calc.device = size.device;
        calc.tallPhone = size.tall;
        keyboard.resize(size.size);
        keyboard.layoutKeys();
        EXPECT_EQ(legends.legends()[21].second.toStdString(), "sin⁻¹");
        EXPECT_EQ(legends.legends()[0].alpha.toStdString(), "F1");
        for (int set = 0; set < 6; ++set) {
            calc.keyboardColorSet = set;
            std::array<QImage, 4> shots;
            for (int layer = 0; layer < 4; ++layer) {
                calc.secondShift = layer == 1;
                calc.alphaShift = layer >= 2;
                calc.lowercaseLock = layer == 3;
                keyboard.redraw();
                shots[static_cast<std::size_t>(layer)] = keyboard.grab().toImage();
                if (!folder.isEmpty())
                    shots[static_cast<std::size_t>(layer)].save(
                        QDir(QString::fromLocal8Bit(folder))
                            .filePath(QStringLiteral("keyboard-%1-set%2-layer%3.png").arg(size.name).arg(set).arg(layer)));
            }
            const std::string what = std::string(size.name) + " set " + std::to_string(set);
            const QImage& plain = shots[0];
            const QImage& second = shots[1];
            const QImage& alpha = shots[2];
            const QImage& lower = shots[3];
            // Plain: the 7 printed white on its key.
            EXPECT_GT(count(plain, keyboard.button(31).geometry(), white), 8) << what;
            // 2nd: sin⁻¹ lit above SIN, and only then.
            const QRectF sinLegend = legends.secondRect(21);
            EXPECT_GT(count(second, sinLegend, litYellow), 4) << what;
            EXPECT_EQ(count(plain, sinLegend, litYellow), 0) << what;
            // Alpha: F1 lit above Y=, and the alpha keyboard's A; lower case shows a.
            const QRectF f1 = legends.alphaRect(0);
            EXPECT_GT(count(alpha, f1, litGreen), 4) << what;
            EXPECT_EQ(count(plain, f1, litGreen), 0) << what;
            const QRectF aKey = keyboard.alphaKeyboard()->keyRects()[20].translated(keyboard.alphaKeyboard()->pos());
            EXPECT_GT(count(alpha, aKey, dark), 8) << what;
            EXPECT_NE(alpha.copy(aKey.toAlignedRect()), lower.copy(aKey.toAlignedRect())) << what;
            EXPECT_NE(count(alpha, aKey, dark), count(lower, aKey, dark)) << what;
        }
    }
}

} // namespace
} // namespace orvenda::test
