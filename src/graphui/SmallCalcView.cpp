#include "graphui/SmallCalcView.h"

#include "app/EntryModel.h"
#include "core/Calculator.h"
#include "drawing/VImageDraw.h"
#include "input/KeyArtwork.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace orvenda {
namespace {

constexpr std::int32_t kSecond = 1039, kDel = 1030, kIns = 1031, kClear = 1032, kLeft = 1033, kRight = 1034,
                       kUp = 1035, kDown = 1036, kQuit = 1042, kEnter = 1065;

struct CommandCode {
    const char* description;
    std::int32_t code;
};

// The hardware key commands: input (° for a comma), title, modifiers, action; and the code.
const CommandCode kCommands[] = {
    {"I,Insert,M,kChar:", kIns},
    {"S,sin,C,kChar:", 0xC2}, {"S,sin⁻¹,C^,kChar:", 0xC3},
    {"C,cos,C,kChar:", 0xC4}, {"C,cos⁻¹,C^,kChar:", 0xC5},
    {"T,tan,C,kChar:", 0xC6}, {"T,tan⁻¹,C^,kChar:", 0xC7},
    {"L,Ln,C,kChar:", 0xBE}, {"L,eˣ,C^,kChar:", 0xBF},
    {"G,Log,C,kChar:", 0xC0}, {"G,10ˣ,C^,kChar:", 0xC1},
    {"E,EE,C,kChar:", 0x3B},
    {"UIKeyInputEscape,,,kChar:", kQuit},
    {"UIKeyInputDownArrow,,,kChar:", kDown}, {"UIKeyInputUpArrow,,,kChar:", kUp},
    {"UIKeyInputLeftArrow,,,kChar:", kLeft}, {"UIKeyInputRightArrow,,,kChar:", kRight},
    {"0,,,kChar:", 0x30}, {"1,,,kChar:", 0x31}, {"2,,,kChar:", 0x32}, {"3,,,kChar:", 0x33}, {"4,,,kChar:", 0x34},
    {"5,,,kChar:", 0x35}, {"6,,,kChar:", 0x36}, {"7,,,kChar:", 0x37}, {"8,,,kChar:", 0x38}, {"9,,,kChar:", 0x39},
    {"(,,,kChar:", 0x10}, {"),,,kChar:", 0x11},
    {"+,,,kChar:", 0x70}, {"-,,,kChar:", 0x71}, {"*,,,kChar:", 0x82}, {"/,,,kChar:", 0x83},
    {".,,,kChar:", 0x3A}, {"^,,,kChar:", 0xF0},
    {"\b,,,kChar:", kDel}, {"\b,,^,kChar:", kClear},
    {"-,negate (-),O,kChar:", 0xB0}, {"v,√,O,kChar:", 0xBC}, {"2,²,O,kChar:", 0x0D},
    {"-,⁻¹,O^,kChar:", 0x0C}, {"p,π,O,kChar:", 0xAC},
    {"\r,,,kChar:", kEnter}, {"\r,,^,kChar:", kClear},
};

// The modifier letters in the order the key names use: command, control, option, shift.
std::string orderedModifiers(const std::string& letters)
{
    std::string out;
    for (char m : std::string("MCO^"))
        if (letters.find(m) != std::string::npos)
            out += m;
    return out;
}

std::string keyName(const std::string& input, const std::string& modifiers)
{
    const std::string m = orderedModifiers(modifiers);
    return m.empty() ? input : input + "," + m;
}

// A command's modifier letters.
std::string modifierLetters(int modifiers)
{
    std::string out;
    if (modifiers & KeyCommands::kCommand)
        out += 'M';
    if (modifiers & KeyCommands::kControl)
        out += 'C';
    if (modifiers & KeyCommands::kOption)
        out += 'O';
    if (modifiers & KeyCommands::kShift)
        out += '^';
    return out;
}

// The face of a key by its plain-layer code.
QString faceFor(std::int32_t code)
{
    if (code == kSecond)
        return QStringLiteral("fkeyYellow");
    if (code == 0x70 || code == 0x71 || code == 0x82 || code == 0x83 || (code >= kLeft && code <= kDown) || code == kEnter)
        return QStringLiteral("fkeyBlue");
    if ((code >= 0x30 && code <= 0x39) || code == 0x3A || code == 0xB0)
        return QStringLiteral("fkey");
    return QStringLiteral("fkeyBlack");
}

} // namespace

const std::array<std::array<std::int32_t, 25>, 2> SmallCalcView::kKeyCodes = {{
    {kSecond, kDel, 0x10, 0x11, 0x83,
     kLeft, 0x37, 0x38, 0x39, 0x82,
     kRight, 0x34, 0x35, 0x36, 0x71,
     kUp, 0x31, 0x32, 0x33, 0x70,
     kDown, 0x30, 0x3A, 0xB0, kEnter},
    {kSecond, kIns, 0xC2, 0xC4, 0xC6,
     kLeft, 0x0C, 0xC3, 0xC5, 0xC7,
     kRight, 0x0D, 0xF0, 0xBC, -1,
     kUp, 0xC1, 0xC0, 0xAC, 0x3B,
     kDown, 0xBF, 0xBE, 0x72, kClear},
}};

SmallCalcView::SmallCalcView(Calculator& calc, QWidget* parent) : QWidget(parent), calc_(calc)
{
    setFocusPolicy(Qt::StrongFocus);
    connect(&repeatTimer_, &QTimer::timeout, this, [this] { autoKey(); });
    for (const CommandCode& command : kCommands) {
        if (auto cmd = keyCmd(command.description)) {
            kDict_[keyName(cmd->input.toStdString(), modifierLetters(cmd->modifiers))] = command.code;
            keyCmds_.push_back(std::move(*cmd));
        }
    }
    KeyCommands::settleChords(keyCmds_);
}

SmallCalcView::~SmallCalcView() { repeatTimer_.stop(); }

std::optional<KeyCommands::Command> SmallCalcView::keyCmd(const std::string& description)
{
    return KeyCommands::keyCmd(description);
}

std::optional<std::int32_t> SmallCalcView::codeForKeyName(const std::string& name) const
{
    auto it = kDict_.find(name);
    if (it == kDict_.end())
        return std::nullopt;
    return it->second;
}

void SmallCalcView::keyDown(int tag)
{
    repeatTimer_.stop();
    if (tag < 0 || tag >= 25)
        return;
    const std::int32_t code = kKeyCodes[calc_.secondShift ? 1 : 0][tag];
    // The empty key of the 2nd layer does nothing.
    if (code < 0)
        return;
    if (code == kDel || (code >= kLeft && code <= kDown)) {
        repeatLastKey_ = code;
        repeatTimer_.start(500);
    }
    processOp(code);
}

void SmallCalcView::keyUp()
{
    repeatTimer_.stop();
    pressed_ = -1;
    update();
}

void SmallCalcView::processOp(std::int32_t code)
{
    if (code == kEnter) {
        auto* entry = dynamic_cast<EntryModel*>(calc_.entryManager.get());
        if (entry && entry->entryOps().empty())
            code = kDown;
    }
    calc_.processKeyOp(code);
    if (delegate)
        delegate->keyTouched();
    update();
}

void SmallCalcView::autoKey()
{
    calc_.processKeyOp(repeatLastKey_);
    if (delegate)
        delegate->keyTouched();
    if (repeatTimer_.interval() > 200)
        repeatTimer_.start(100);
    update();
}

void SmallCalcView::kChar(const std::string& input, const std::string& modifiers)
{
    const auto code = codeForKeyName(keyName(input, modifiers));
    if (!code)
        return;
    if (*code == kDel) {
        processOp(kLeft);
        processOp(kDel);
    } else if (*code == kQuit) {
        if (delegate)
            delegate->smallKeyboardDone();
        else
            processOp(kQuit);
    } else {
        processOp(*code);
    }
}

QRectF SmallCalcView::keyRect(int tag) const
{
    const int row = tag / 5, col = tag % 5;
    const double s = scale();
    const double top = calc_.device == 1 ? 2 : 3;
    return QRectF(col * 64 * s + 1, row * 36 * s + top, 62 * s, 34 * s);
}

double SmallCalcView::labelScale() const { return calc_.device == 1 && width() > 320 ? 1.25 : scale(); }


void SmallCalcView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    KeyArtwork::drawBackPanel(painter, rect());
    for (int tag = 0; tag < 25; ++tag)
        // The keypad prints no shift legends above its keys: the body fills the key.
        KeyArtwork::drawBody(painter, keyRect(tag), faceFor(kKeyCodes[0][tag]), calc_.keyboardColorSet, tag == pressed_);
    drawKeyLabels(painter);
}

const QImage& SmallCalcView::keyLabel(int tag)
{
    const bool second = calc_.secondShift;
    const double scale = labelScale();
    if (labels_.empty() || labelsScale_ != scale || labelsSecond_ != second) {
        // Each key's own legend, and its 2nd legend above it, outlined in orange while 2nd is on.
        const VColor stroke = second ? VColor{0.94, 0.52, 0.03, 0.5} : VColor{0, 0, 0, 0};
        const VColor back = second ? VColor{0.94, 0.52, 0.03, 1.0} : VColor{0.96, 0.4, 0.0, 1.0};
        VImageDraw& images = VImageDraw::vImageDraw();
        labels_.clear();
        for (int t = 0; t < 25; ++t)
            labels_.push_back(images.getImage("skb" + std::to_string(t), scale, stroke, back));
        labelsScale_ = scale;
        labelsSecond_ = second;
    }
    static const QImage none;
    return tag >= 0 && tag < 25 ? labels_[static_cast<std::size_t>(tag)] : none;
}

void SmallCalcView::drawKeyLabels(QPainter& painter)
{
    for (int tag = 0; tag < 25; ++tag) {
        const QImage& label = keyLabel(tag);
        const QRectF key = keyRect(tag);
        const QSizeF size = label.deviceIndependentSize();
        painter.drawImage(QRectF(key.center() - QPointF(size.width() / 2, size.height() / 2), size), label);
    }
}

void SmallCalcView::mousePressEvent(QMouseEvent* event)
{
    for (int tag = 0; tag < 25; ++tag)
        if (keyRect(tag).contains(event->position())) {
            pressed_ = tag;
            keyDown(tag);
            return;
        }
}

void SmallCalcView::mouseReleaseEvent(QMouseEvent*) { keyUp(); }

bool SmallCalcView::focusNextPrevChild(bool) { return false; }

void SmallCalcView::keyPressEvent(QKeyEvent* event)
{
    // Tab has no command: the keypad keeps the keys rather than hand them to a control
    // beside it.
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        return;
    // The keys answer to their own commands wherever the keypad has the keys, the letters
    // the keyboard gives other commands included (Ctrl+G is log( here, GRAPH there).
    if (const KeyCommands::Command* command = KeyCommands::match(keyCmds_, *event))
        kChar(command->input.toStdString(), modifierLetters(command->modifiers));
    else
        QWidget::keyPressEvent(event);
}

} // namespace orvenda
