// Pictures of the keyboard in every colour set and shift layer, at the phone and tablet
// sizes, each checked for a legend of the layer it shows. With ORVENDA_KEYBOARD_PICTURES
// set to a folder the pictures are also written there to be looked at.

#include "KeyboardTestSupport.h"

#include "input/AlphaKeyboardView.h"
#include "input/KeyLegendView.h"

#include <QDir>
#include <QImage>

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

// On the phone no legend is shrunk far below the others: the long ones that share a key
// (STAT PLOT with F1, INS with UserKeys, WINDOW with F2) keep at least two thirds of the
// size most legends have, and the key faces' labels (Home Screen among them) likewise.
TEST_F(Pictures, LongLegendsStayAsLegibleAsTheOthers)
{
    calc.device = 0;
    calc.tallPhone = true;
    keyboard.resize(390, 509);
    keyboard.layoutKeys();
    const KeyLegendView& legends = keyboard.legendSheet();
    std::vector<int> sizes;
    for (const KeyLegendView::Legend& legend : legends.legends())
        if (!legend.second.isEmpty() || !legend.alpha.isEmpty())
            sizes.push_back(legends.fontFor(legend).pixelSize());
    ASSERT_FALSE(sizes.empty());
    std::vector<int> sorted = sizes;
    std::sort(sorted.begin(), sorted.end());
    const int usual = sorted[sorted.size() / 2];
    std::size_t i = 0;
    for (const KeyLegendView::Legend& legend : legends.legends())
        if (!legend.second.isEmpty() || !legend.alpha.isEmpty()) {
            EXPECT_GE(sizes[i] * 3, usual * 2) << legend.second.toStdString() << " " << legend.alpha.toStdString();
            ++i;
        }
    std::vector<int> faces;
    for (int key = 0; key < 50; ++key)
        if (!keyboard.button(key).legend().isEmpty())
            faces.push_back(keyboard.button(key).legendFont().pixelSize());
    std::sort(faces.begin(), faces.end());
    const int usualFace = faces[faces.size() / 2];
    for (int key = 0; key < 50; ++key)
        if (!keyboard.button(key).legend().isEmpty())
            EXPECT_GE(keyboard.button(key).legendFont().pixelSize() * 3, usualFace * 2)
                << keyboard.button(key).legend().toStdString();
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
