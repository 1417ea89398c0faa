// The images the application ships: every name a screen asks for is there and draws
// something, at any scale. With ORVENDA_DRAWING_PICTURES set to a folder, a contact sheet
// of every image (and the keyboard's legend sheets composed as the keyboard composes
// them) is written there to be looked at.

#include "DrawingTestSupport.h"

#include "core/ColorTables.h"
#include "drawing/MainScreen.h"
#include "drawing/VImageDraw.h"
#include "pretty/FontMap.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvenda::test {
namespace {

// The names the screens ask the library for.
const std::vector<std::string>& requiredNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n = {
            "NavbarItem", "NavbarItem2", "NavbarTab", "alpha1", "alpha1Shift", "askButton", "fArrowKeyDown",
            "fArrowKeyLeft", "fArrowKeyRight", "fArrowKeyUp", "fHelpHiKey", "fHelpKey", "fOnKey", "fTHelpHiKey",
            "fTHelpKey", "fTOnKey", "fTkeyNu", "fTkeyPar", "fTkeyTheta", "fTkeyX", "fkey", "fkeyBlack", "fkeyBlue",
            "fkeyGreen", "fkeyMoveDown", "fkeyNu", "fkeyPar", "fkeyQuit", "fkeyRun", "fkeyShort", "fkeyShort2",
            "fkeyStep", "fkeyT", "fkeyTBlack", "fkeyTBlue", "fkeyTGreen", "fkeyTYellow", "fkeyTheta", "fkeyUndo",
            "fkeyUndoNot", "fkeyX", "fkeyYellow", "hScalePlus", "vScalePlus", "scalePlus", "keys83", "keys84",
            "keys83yellow", "keys84yellow", "keys83yellowPretty", "keys84yellowPretty", "keys83yellowPrettyHi",
            "keys84yellowPrettyHi", "keys83greenPretty", "keys84greenPretty", "magnifier", "magnifierLock",
            "magnifierWhite", "magnifierWhiteLock", "offButton", "onButton", "redBar", "TredBar", "smUp",
            "smUpOutline", "styleFrame", "Stop2", "Stop3", "boxDot", "plusDot", "dotDot", "scatterPlot", "swatch",
            "swatchC", "tableDown", "tableLeft", "tableRight", "tableUp", "zPlus", "zPlusB", "zMinus", "zMinusB",
            "zHPlus", "zHPlusB", "zHMinus", "zHMinusB", "zVPlus", "zVPlusB", "zVMinus", "zVMinusB",
            // Asked for by the stat plot screens, the zoom menu and the compact keypad.
            "xyPlot", "barPlot", "modBoxPlot", "boxPlot", "normProbPlot", "Done"};
        for (int tag = 0; tag < 25; ++tag)
            n.push_back("skb" + std::to_string(tag));
        return n;
    }();
    return names;
}

// The theme's colours, as the keyboard enters them.
void themeColours(VImageDraw& images, int set)
{
    const char* names[] = {"blackKey", "blackKeyG", "blueKey", "blueKeyG", "blueKeyHi1", "blueKeyHi2", "lcd"};
    for (int i = 0; i < 7; ++i)
        images.setColor(ColorTables::interfaceColor(set, i), names[i]);
    images.setColor(ColorTables::interfaceColor(set, 2), "swatchC");
}

// Images drawn with the colours a screen gives them: the plot icons, the keypad labels and
// the legend layers.
QImage rendered(VImageDraw& images, const std::string& name, double scale)
{
    if (name.ends_with("Plot"))
        return images.getImage(name, scale, VColor{0.1, 0.4, 1, 1}, VColor{0, 0, 0, 1});
    if (name.starts_with("skb"))
        return images.getImage(name, scale, VColor{0, 0, 0, 0}, VColor{0.96, 0.4, 0, 1});
    if (name.starts_with("keys8") || name.starts_with("alpha1"))
        return images.getImages({VImageInfo::infoWithName(name, 1, 1, 1, 1, false)}, scale);
    return images.getImage(name, scale);
}

TEST(CalcImages, EveryNameTheScreensAskForDrawsSomething)
{
    VImageDraw& images = VImageDraw::vImageDraw();
    themeColours(images, 0);
    for (const std::string& name : requiredNames()) {
        ASSERT_NE(images.image(name), nullptr) << name;
        const QRectF bounds = images.boundsForImage(name);
        EXPECT_FALSE(bounds.isEmpty()) << name;
        const QImage one = rendered(images, name, 1);
        ASSERT_FALSE(one.isNull()) << name;
        EXPECT_EQ(one.size(), bounds.size().toSize()) << name;
        EXPECT_GT(inked(one), 12) << name;
    }
}

TEST(CalcImages, EveryImageDrawsAtTwiceTheScaleOnADenseScreen)
{
    VImageDraw& images = VImageDraw::vImageDraw();
    themeColours(images, 2);
    MainScreen::setScale(2);
    for (const std::string& name : images.imageNames()) {
        const QImage image = rendered(images, name, 1.5);
        EXPECT_EQ(image.devicePixelRatio(), 2) << name;
        EXPECT_NEAR(image.width(), images.boundsForImage(name).width() * 3, 1) << name;
        EXPECT_GT(inked(image), 0) << name;
    }
    MainScreen::setScale(0);
}

TEST(CalcImages, KeyFacesFollowTheTheme)
{
    VImageDraw& images = VImageDraw::vImageDraw();
    themeColours(images, 0);
    const QColor before = at(images.getImage("fkeyBlue", 1), 31, 24);
    themeColours(images, 2);
    const QColor after = at(images.getImage("fkeyBlue", 1), 31, 24);
    EXPECT_GT(after.green(), before.green() + 40);
}

TEST(CalcImages, AContactSheetOfEveryImage)
{
    VImageDraw& images = VImageDraw::vImageDraw();
    themeColours(images, 0);
    const std::vector<std::string> names = images.imageNames();
    const int cellWidth = 132, cellHeight = 112, columns = 8;
    const int rows = int(names.size() + columns - 1) / columns;
    QImage sheet(cellWidth * columns, cellHeight * rows, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(150, 150, 156));
    QPainter painter(&sheet);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.setFont(FontMap::shared().font("Helvetica", 11));
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QRectF cell(double(i % columns) * cellWidth, double(i / columns) * cellHeight, cellWidth, cellHeight);
        painter.fillRect(cell.adjusted(2, 2, -2, -2), (i / columns + i % columns) % 2 ? QColor(120, 124, 132) : QColor(228, 228, 232));
        const QImage image = rendered(images, names[i], 1);
        ASSERT_FALSE(image.isNull()) << names[i];
        QSizeF size = image.deviceIndependentSize();
        const double fit = std::min({1.0, (cellWidth - 12) / size.width(), (cellHeight - 26) / size.height()});
        size *= fit;
        painter.drawImage(QRectF(cell.center().x() - size.width() / 2, cell.top() + 6 + (cellHeight - 26 - size.height()) / 2,
                                 size.width(), size.height()), image);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(cell.left(), cell.bottom() - 18, cellWidth, 16), Qt::AlignCenter, QString::fromStdString(names[i]));
    }
    painter.end();
    // The keyboard's legend sheets as the keyboard composes them, over dark keys.
    QImage legends(660, 430, QImage::Format_ARGB32_Premultiplied);
    legends.fill(QColor(40, 40, 44));
    QPainter p(&legends);
    p.drawImage(QPointF(5, 5), images.getImages({VImageInfo::infoWithName("keys83", 1, 1, 1, 1, false),
                                                 VImageInfo::infoWithName("keys83yellowPretty", 0.9, 0.65, 0.06, 1, false),
                                                 VImageInfo::infoWithName("keys83greenPretty", 0.2, 0.78, 0.4, 1, false)}, 1));
    p.drawImage(QPointF(335, 5), images.getImages({VImageInfo::infoWithName("keys84", 1, 1, 1, 1, false),
                                                   VImageInfo::infoWithName("keys84yellowPrettyHi", 1, 0.75, 0.12, 0.9, true),
                                                   VImageInfo::infoWithName("keys84greenPretty", 0, 1, 0, 0.9, true)}, 1));
    p.end();
    EXPECT_GT(inked(legends), 0);
    const QByteArray folder = qgetenv("ORVENDA_DRAWING_PICTURES");
    if (!folder.isEmpty()) {
        sheet.save(QString::fromLocal8Bit(folder) + QStringLiteral("/calcImages.png"));
        legends.save(QString::fromLocal8Bit(folder) + QStringLiteral("/legendSheets.png"));
        // The alpha keyboard's two cases, with the case key's arrow where the keyboard puts it.
        QImage alpha(2 * 330, 2 * 250 * 2, QImage::Format_ARGB32_Premultiplied);
        alpha.setDevicePixelRatio(2);
        alpha.fill(QColor(40, 40, 44));
        QPainter a(&alpha);
        for (int lower = 0; lower < 2; ++lower) {
            const double y = 4 + 250.0 * lower;
            a.drawImage(QPointF(4, y), images.getImage(lower ? "alpha1Shift" : "alpha1", 1));
            a.drawImage(QRectF(4 + 19, y + 207, 16, 16), images.getImage(lower ? "smUpOutline" : "smUp", 1));
        }
        a.end();
        alpha.save(QString::fromLocal8Bit(folder) + QStringLiteral("/alphaSheets.png"));
    }
}

} // namespace
} // namespace orvenda::test
