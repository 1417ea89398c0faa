#pragma once

#include "input/KeyCommands.h"
#include "input/KeyboardGeometry.h"

#include <QDialog>
#include <QPointer>
#include <QRectF>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <utility>



namespace orvenda {

class AlphaKeyboardView;
class Calculator;
class KeyButton;
class KeyLegendView;
class KeyRouter;
class KeyboardViewDelegate;

// The calculator keyboard: 50 keys laid out like the classic graphing-calculator keypad
// with four shift layers (plain, 2nd, alpha, lower-case alpha), help mode (ON, then a key,
// shows that key's help), auto-repeat of the editing keys, program ownership of the keys
// while a program runs, and the indicators over the keys (2nd and alpha legends lit, the
// alpha keyboard, undo and redo, the X,T,θ,n key by graph mode, the test-mode bars). A
// key becomes a token or key code that goes to a running program, to the screen router
// (the delegate) or to the calculator's key routing. The computer's keyboard enters the
// same dispatch through the hardware key commands. Main thread.
class KeyboardView : public QWidget {
public:
    static constexpr int kFirstRepeatMs = 500;
    static constexpr int kRepeatMs = 50;

    KeyboardView(Calculator& calc, KeyRouter& keys, QWidget* parent = nullptr);
    ~KeyboardView() override;

    void setDelegate(KeyboardViewDelegate* delegate) { delegate_ = delegate; }
    KeyboardViewDelegate* delegate() const { return delegate_; }

    // The shift layer the calculator's shifts select: 2nd wins over alpha; the lower-case
    // lock makes alpha lower case.
    int currentLayer() const;

    // A soft key pressed and released.
    void keyDown(int key);
    void keyUp(int key);
    // An op from elsewhere (hardware keys): dispatched as the first key that has it.
    void doOp(std::uint32_t op);
    // A key of the alpha keyboard.
    void keyTouch(std::uint32_t op);
    // Brings the keys up to date with the calculator (shifts, colour set, undo state, graph
    // mode, test mode, help mode).
    void redraw();
    // Re-frames the keys for the current size.
    void layoutKeys();
    void setHelpKeyImage();

    // A hardware key press; true when a command took it, or the program that owns the keys
    // read it.
    bool handleKeyEvent(const QKeyEvent& event);
    const KeyCommands& keyCommands() const { return commands_; }
    // The titled hardware commands with their keys, in a window-modal dialog that does not
    // hold the caller; the open one, if any.
    void showShortcuts();
    QDialog* shortcuts() const { return shortcuts_; }

    // For the tests and the driver.
    KeyboardGeometry geometry() const;
    KeyButton& button(int key) const { return *buttons_[static_cast<std::size_t>(key)]; }
    AlphaKeyboardView* alphaKeyboard() const { return alphaView_; }
    const KeyLegendView& legendSheet() const { return *legendSheet_; }
    bool helpArmed() const { return showHelp_; }
    const QTimer& repeatTimer() const { return repeatTimer_; }
    // One firing of the repeat timer.
    void repeatTick();
    int repeatLastKey() const { return repeatLastKey_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void layoutButtons();
    void recolorButtons();
    void reNameButtons();
    void refreshLegends();
    void doKeyOp(std::uint32_t op, int key, int layer, QRectF frame, bool autoRepeat);
    // What a key does once it is its turn (see waitsItsTurn).
    void act(std::uint32_t op, bool autoRepeat);
    // A held key of the calculator keyboard, or of the computer's, once its turn comes.
    void actInTurn(std::uint32_t op);
    void typeInTurn(const KeyCommands::Command& command, int key, Qt::KeyboardModifiers modifiers, const QString& text);
    // A paused program or a program that owns the keys takes the key (its pause, its
    // menu, ON's stop, or only its getKey code); false when the key is not a program's.
    bool programTakes(std::uint32_t op, int code, bool autoRepeat);
    // A held arrow, DEL, Undo or Redo repeats its getKey code for the program.
    void repeatForProgram(std::uint32_t op, int code);
    // A key typed while a run the keys queued is under way waits for it, in the order
    // typed, the shift keys among them: its program may read it first. ON does not wait:
    // it stops the run.
    static bool waitsItsTurn(std::uint32_t op);
    // The getKey code a program reads for a computer key's command (0: none, a clipboard
    // command).
    int getKeyCodeOf(const KeyCommands::Command& command) const;
    // A typed character no command takes, while a program owns the keys: its getKey reads
    // it as a key on no key. False when it is not such a key.
    bool offerKeyOnNoKey(const QKeyEvent& event);
    bool answerHelp(std::uint32_t op, QRectF frame);
    bool screenKey(std::uint32_t op);
    void startRepeat(bool programKey);
    void stopRepeat();
    void autoCursor();
    void autoKey();
    // The calculator's state differs from what the keys last showed.
    bool stale() const;
    // Whether the screen in front can undo and redo (its entry line, equations or program).
    std::pair<bool, bool> undoState() const;
    void clearAlpha();
    void displayChanged();
    void runCommand(const KeyCommands::Command& command);
    void kChar(const KeyCommands::Command& command);
    void backspace();
    void cut();
    void copy();
    void paste();
    QString face(int key) const;
    QString tall(const char* name, const char* tallName) const;

    Calculator& calc_;
    KeyRouter& keys_;
    KeyboardViewDelegate* delegate_ = nullptr;
    std::array<KeyButton*, 50> buttons_{};
    KeyLegendView* legendSheet_ = nullptr;
    KeyLegendView* secondGlow_ = nullptr;
    KeyLegendView* alphaGlow_ = nullptr;
    AlphaKeyboardView* alphaView_ = nullptr;
    KeyCommands commands_;

    QTimer repeatTimer_;
    QPointer<QDialog> shortcuts_;
    bool repeatingProgramKey_ = false;
    std::uint32_t repeatKey_ = 0;
    int repeatLastKey_ = 0;
    bool showHelp_ = false;
    int helpKeyMode_ = 0;
    int currentColorSet_ = -1;
    bool secondShift_ = false;
    bool alphaShift_ = false;
    bool undoMode_ = false;
    bool redoMode_ = false;
    int graphMode_ = -1;
    int testMode_ = -1;
};

} // namespace orvenda
