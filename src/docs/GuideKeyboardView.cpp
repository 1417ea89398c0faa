#include "docs/GuideKeyboardView.h"

#include "core/Calculator.h"
#include "input/KeyArtwork.h"
#include "input/KeyButton.h"
#include "input/KeyLegendView.h"

#include <QPainter>

#include <algorithm>
#include <vector>

namespace orvenda {

namespace {

using Layer = std::array<std::uint32_t, GuideKeyboardView::kKeyCount>;

// The guide's key table: key codes of the keys and token codes of what they type, by layer.
constexpr Layer kPlainCodes{
    1024, 1028, 4117, 1049, 4126, 1039, 1029, 1030, 1033, 1035,
    1040, 1043, 1044, 1036, 1034, 1050, 1051, 1052, 1053, 1032,
    0x0C, 0xC2, 0xC4, 0xC6, 0xF0, 0x0D, 0x2B, 0x10, 0x11, 0x83,
    0xC0, 0x37, 0x38, 0x39, 0x82, 0xBE, 0x34, 0x35, 0x36, 0x71,
    0x04, 0x31, 0x32, 0x33, 0x70, 4123, 0x30, 0x3A, 0xB0, 1065};
constexpr Layer kSecondCodes{
    1045, 1025, 1047, 1046, 4127, 1039, 1042, 1031, 1037, 1035,
    1041, 231, 1058, 1036, 1038, 1059, 1060, 1061, 1062, 0xBB57,
    1054, 0xC3, 0xC5, 0xC7, 0xAC, 0xBC, 0x3B, 0x08, 0x09, 0xBB31,
    0xC1, 0x5E80, 0x5E81, 0x5E82, 0x06, 0xBF, 0x5D03, 0x5D04, 0x5D05, 0x07,
    1071, 0x5D00, 0x5D01, 0x5D02, 1072, 1055, 1056, 0x2C, 0x72, 1063};

// The keypad's size in points at scale 1.
constexpr double kWidth = 321;
constexpr double kHeight = 350;

bool arrowKey(int key) { return key == 8 || key == 9 || key == 13 || key == 14; }

} // namespace

std::uint32_t GuideKeyboardView::code(int layer, int key)
{
    if (key < 0 || key >= kKeyCount)
        return 0;
    const auto k = static_cast<std::size_t>(key);
    if (layer == 1)
        return kSecondCodes[k];
    // The alpha layer is the plain one but for the number prefixes beside ALPHA.
    if (layer == 2 && key == 11)
        return 0xBBF8;
    if (layer == 2 && key == 12)
        return 0xBBF9;
    return kPlainCodes[k];
}

QString GuideKeyboardView::face(int key)
{
    switch (key) {
    case 0: case 1: case 2: case 3: case 4: return QStringLiteral("fkeyShort");
    case 5: return QStringLiteral("fkeyYellow");
    case 10: return QStringLiteral("fkeyGreen");
    case 8: return QStringLiteral("fArrowKeyLeft");
    case 9: return QStringLiteral("fArrowKeyUp");
    case 13: return QStringLiteral("fArrowKeyDown");
    case 14: return QStringLiteral("fArrowKeyRight");
    case 16: case 29: case 34: case 39: case 44: case 49: return QStringLiteral("fkeyBlue");
    case 31: case 32: case 33: case 36: case 37: case 38: case 41: case 42: case 43: case 46: case 47: case 48:
        return QStringLiteral("fkey");
    case 11: return QStringLiteral("fkeyX");
    case 45: return QStringLiteral("fHelpKey");
    default: return QStringLiteral("fkeyBlack");
    }
}

GuideKeyboardView::GuideKeyboardView(Calculator& calc, bool tablet, QWidget* parent)
    : QWidget(parent), calc_(calc), tablet_(tablet), legends_(new KeyLegendView(KeyLegendView::Kind::Sheet, this))
{
    for (int key = 0; key < kKeyCount; ++key) {
        auto* b = new KeyButton(key, this);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFace(face(key), calc_.keyboardColorSet);
        if (!arrowKey(key))
            b->setLegend(KeyArtwork::legendText(code(0, key)));
        b->setTitle(KeyArtwork::legendText(code(0, key)));
        connect(b, &QAbstractButton::pressed, this, [this, key] { keyDown(key); });
        buttons_[static_cast<std::size_t>(key)] = b;
    }
    secondGlow_ = new KeyLegendView(KeyLegendView::Kind::SecondGlow, this);
    alphaGlow_ = new KeyLegendView(KeyLegendView::Kind::AlphaGlow, this);
    showGraphMode();
    showShifts();
}

void GuideKeyboardView::showGraphMode()
{
    // X,T,θ,n wears the graph mode's face and letter, as on the calculator keyboard.
    const int mode = calc_.graphMode();
    KeyButton& x = button(kXKey);
    x.setFace(KeyArtwork::xKeyFace(mode, false), calc_.keyboardColorSet);
    x.setLegend(KeyArtwork::xKeyLegend(mode));
    graphMode_ = mode;
}

void GuideKeyboardView::showEvent(QShowEvent*)
{
    if (calc_.graphMode() != graphMode_) {
        showGraphMode();
        layoutButtons();
    }
}

void GuideKeyboardView::keyDown(int key)
{
    const std::uint32_t op = code(layer(), key);
    if (op == 0)
        return;
    if (op == kSecond) {
        secondShift_ = !secondShift_;
        alphaShift_ = false;
        showShifts();
        return;
    }
    if (op == kAlpha) {
        alphaShift_ = !alphaShift_;
        secondShift_ = false;
        showShifts();
        return;
    }
    secondShift_ = alphaShift_ = false;
    showShifts();
    if (showOp)
        showOp(op, button(key).geometry());
}

void GuideKeyboardView::showShifts()
{
    secondGlow_->setVisible(secondShift_);
    alphaGlow_->setVisible(alphaShift_);
    update();
}

void GuideKeyboardView::resizeEvent(QResizeEvent*) { layoutButtons(); }

void GuideKeyboardView::layoutButtons()
{
    // A tablet shows the keypad half as large again; a phone as wide as it has room for.
    double s = std::min(width() / kWidth, height() / kHeight);
    if (tablet_)
        s = std::min(s, 1.5);
    const double x0 = (width() - kWidth * s) / 2;
    // On a phone the keypad sits at the bottom, on a tablet in the middle.
    const double y0 = tablet_ ? (height() - kHeight * s) / 2 : height() - kHeight * s;
    keypad_ = QRectF(x0, y0, kWidth * s, kHeight * s);
    for (int key = 0; key < kKeyCount; ++key) {
        const int row = key / 5, column = key % 5;
        QRectF frame((column * 64 + 1) * s, row * 35 * s, 62 * s, 34 * s);
        // The four arrows stand apart, a point between each: none lies over a part of
        // another a finger aims at.
        switch (key) {
        case 8: frame = QRectF(191 * s, 38 * s, 32 * s, 64 * s); break;
        case 9: frame = QRectF(224 * s, 35 * s, 62 * s, 34 * s); break;
        case 13: frame = QRectF(224 * s, 70 * s, 62 * s, 34 * s); break;
        case 14: frame = QRectF(287 * s, 38 * s, 32 * s, 64 * s); break;
        default: break;
        }
        button(key).setGeometry(frame.translated(x0, y0).toAlignedRect());
    }
    std::vector<KeyLegendView::Legend> legends(kKeyCount);
    for (int key = 0; key < kKeyCount; ++key) {
        auto& legend = legends[static_cast<std::size_t>(key)];
        legend.strip = KeyArtwork::legendStrip(button(key).geometry(), button(key).face());
        if (legend.strip.isEmpty())
            continue;
        const std::uint32_t plain = code(0, key), second = code(1, key), alpha = code(2, key);
        if (second != plain)
            legend.second = KeyArtwork::legendText(second);
        if (alpha != plain)
            legend.alpha = KeyArtwork::legendText(alpha);
    }
    for (KeyLegendView* view : {legends_, secondGlow_, alphaGlow_}) {
        view->setGeometry(rect());
        view->setLegends(legends);
    }
    legends_->lower();
    update();
}

void GuideKeyboardView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The keypad's body, under the top row of keys to the bottom.
    const double top = keypad_.top() + 35 * keypad_.width() / kWidth;
    KeyArtwork::drawBackPanel(painter, QRectF(keypad_.left(), top, keypad_.width(), height() - top));
}

} // namespace orvenda
