#pragma once

#include "app/ScreenController.h"

#include <array>
#include <functional>
#include <string>

class QPushButton;
class QToolButton;

namespace orvenda {

class AppShell;
class KeySetView;

// The key-set editor (screen 22): the set in use, one key at a time. Each key has four
// lines (label, ops, 2nd-layer label, 2nd-layer ops); the line being edited lives in the
// entry line, so every key, menu and catalogue pick edits it, and the cursor keys move
// between lines, storing the one left. The five buttons choose the key; Done stores the
// line and goes home. MathPrint is off while the editor is in front; a menu, the catalogue
// or MODE over it has the user's setting back and leaves the line and its cursor waiting
// for the pick. Main thread.
class KeySetEditorScreen : public ScreenController {
public:
    static constexpr int kButtonRowHeight = 31;
    // The lowest the row of keys becomes on a short display.
    static constexpr int kLeastButtonRowHeight = 24;

    KeySetEditorScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);
    ~KeySetEditorScreen() override;

    void updateDisplay() override;
    void focus(bool gained) override;
    nlohmann::json typedPlace() const override { return {{"key", currentKey_}, {"line", currentLine_}}; }
    void restoreTypedPlace(const nlohmann::json& place) override;

    void selectKey(int key);
    void cursorUp();
    void cursorDown();
    // ENTER: an ENTER op at the line's end, stored.
    void enter();
    void done();
    // The entry line into the current line, and the current line into the entry line.
    void getEntry();
    void changeEntry();

    int currentKey() const { return currentKey_; }
    int currentLine() const { return currentLine_; }
    const KeySetView& keySetView() const { return *view_; }
    const QPushButton& doneButton() const { return *done_; }

    std::function<void()> keySetDone;
    // The MathPrint setting came back while another screen was coming forward (QUIT): the
    // display is redone, so that the home screen of the setting shows. Called afterwards,
    // from the event loop.
    std::function<void()> mathPrintRestored;

protected:
    void subscribe() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void redraw();
    // Gives MathPrint back its setting; true when that changed it.
    bool restoreMathPrint();
    // The entry line into the current line, the entry line left as it is.
    void storeLine();

    AppShell& shell_;
    KeySetView* view_;
    QPushButton* done_;
    std::array<QToolButton*, 5> userButtons_{};
    int currentKey_ = 0;
    int currentLine_ = 0;
    bool mathPrintSave_ = true;
    bool mathPrintOff_ = false;
    // An overlay stands over the editor: the set in use then, and whether the line was empty.
    bool covered_ = false;
    std::string coveredSet_;
    bool coveredEmpty_ = false;
    // Where the line's cursor stood when an overlay came over the editor.
    int coveredCursor_ = 0;
};

} // namespace orvenda
