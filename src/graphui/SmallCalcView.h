#pragma once

#include "input/KeyCommands.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;

// What the compact keypad tells the screen it sits on.
class SmallCalcViewDelegate {
public:
    virtual ~SmallCalcViewDelegate() = default;
    virtual void keyTouched() {}
    // Escape on a hardware keyboard.
    virtual void smallKeyboardDone() {}
};

// A compact keypad of 25 keys in 5 rows of 5 (2nd, editing and arrow keys, digits and the
// four operations; functions on the 2nd layer). Each key goes to the calculator's key
// handler as a key of the main keyboard would, then to the delegate. DEL and the arrows
// repeat while held: after 0.5 s, then every 0.1 s. It answers a hardware keyboard through
// 44 key commands. Main thread only.
class SmallCalcView : public QWidget {
public:
    // The keypad's size on the narrowest phone, 320 points wide: what the screens keep for
    // it on a phone on its side, where one as wide as the window would be taller than it.
    static constexpr double kNarrowWidth = 320, kNarrowHeight = 182;

    // The codes of the keys, layer 0 plain and 1 with 2nd, in reading order; -1 no key.
    static const std::array<std::array<std::int32_t, 25>, 2> kKeyCodes;

    SmallCalcView(Calculator& calc, QWidget* parent = nullptr);
    ~SmallCalcView() override;

    SmallCalcViewDelegate* delegate = nullptr;

    // "input,title,modifiers,action": a command, or nothing for another number of parts.
    static std::optional<KeyCommands::Command> keyCmd(const std::string& description);
    // The commands, each answering to the desktop's chord of the keyboard's commands (Ctrl
    // for Command as for Control).
    const std::vector<KeyCommands::Command>& keyCommands() const { return keyCmds_; }
    // The code a hardware key name ("input" or "input,MCO^" letters) stands for.
    std::optional<std::int32_t> codeForKeyName(const std::string& name) const;

    // The key of a tag pressed and released.
    void keyDown(int tag);
    void keyUp();
    void processOp(std::int32_t code);
    // The repeat timer's tick: the held key again.
    void autoKey();
    // A hardware key by the command's input and the modifier letters held.
    void kChar(const std::string& input, const std::string& modifiers);
    // A key's frame: a 64 by 36 grid scaled to the width, 3 points down on a phone and 2
    // on a tablet.
    QRectF keyRect(int tag) const;
    // The keys' size factor: the width over 320 points.
    double scale() const { return width() / 320.0; }
    // The legends' size factor: fixed at 1.25 on a tablet wider than 320 points.
    double labelScale() const;
    const QTimer& repeatTimer() const { return repeatTimer_; }
    // The label picture of a key ("skb" and its tag from the image library) at the
    // legends' scale, in the colours of the shift layer.
    const QImage& keyLabel(int tag);

protected:
    void paintEvent(QPaintEvent* event) override;
    void drawKeyLabels(QPainter& painter);
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    Calculator& calc_;
    QTimer repeatTimer_;
    std::int32_t repeatLastKey_ = 0;
    int pressed_ = -1;
    // The key labels, made again when the scale or the 2nd shift changes.
    std::vector<QImage> labels_;
    double labelsScale_ = 0;
    bool labelsSecond_ = false;
    std::vector<KeyCommands::Command> keyCmds_;
    std::map<std::string, std::int32_t> kDict_;
};

} // namespace orvenda
