#pragma once

#include <string>

namespace orvenda {

struct Operand;

// The program output screen: 10 rows of 32 characters with a cursor. Changes post
// VQUpdatePgmOutput. Calls come on the main thread.
class ProgramOutputManager {
public:
    struct CursorPosition {
        int column = 0;
        int row = 0;
    };

    virtual ~ProgramOutputManager() = default;

    // Cursor to column 0 of the next row, scrolling up from the last.
    virtual void newLine() = 0;
    virtual void clearHome() = 0;
    // A Disp, Output( or Pause value in the calculator's display format.
    virtual void displayOp(const Operand& value) = 0;
    virtual void output(const std::string& text, int x, int y) = 0;
    // Records the running program's name and shows the output screen.
    virtual void startProgram(const std::string& name) = 0;
    // Removes a shown menu and restores the screen under it.
    virtual void clearMenu() = 0;
    virtual void setCursorPosition(CursorPosition position) = 0;
    // The screen as text between "<screenShot>" and "</screenShot>" lines, each row padded
    // to 32 characters.
    virtual std::string screenShot() const = 0;

    // The result that ends a run: type 0 right-aligned on the cursor line, 1 left-aligned,
    // 2 after what the line holds.
    virtual void displayResult(const std::string& /*text*/, int /*type*/) {}
    // Error n on a fresh line ("Break" for 0).
    virtual void doBreakError(int /*error*/) {}
    // The screen's text: what a finished program leaves in the history.
    virtual std::string done() const { return {}; }
    // A program waits at Input or Prompt (the request record) or shows a Menu( (the menu
    // record).
    virtual void inputPrompt(const Operand& /*request*/) {}
    virtual void showMenu(const Operand& /*menu*/) {}

    // The entry line's text and cursor (column and line), for a program waiting at Input.
    virtual void updateEntryText(const std::string& /*text*/, CursorPosition /*cursor*/) {}
    virtual void setEntryCursor(CursorPosition /*cursor*/, bool /*redraw*/) {}
};

} // namespace orvenda
