#pragma once

#include "core/LeafMutex.h"

#include "core/services/ProgramOutputManager.h"

#include <array>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda {

class Calculator;

// The program output screen's text: 10 lines of at most 32 characters that a running
// program's Disp, Output(, Input, Prompt, Menu( and error lines are written to, with the
// blinking cursor and the column where the user's answer starts. Every change posts
// VQUpdatePgmOutput (object: this model) unless noted. Calls come on the main thread;
// the view reads one snapshot per paint, so the text sits behind a leaf lock.
class ProgramOutputModel : public ProgramOutputManager {
public:
    static constexpr int kLines = 10;
    static constexpr int kColumns = 32;

    // What a paint needs, read at once.
    struct Snapshot {
        std::array<std::u32string, kLines> lines;
        CursorPosition cursor;
        bool menuShown = false;
    };

    explicit ProgramOutputModel(Calculator& calc);

    void newLine() override;
    void clearHome() override;
    void displayOp(const Operand& value) override;
    void output(const std::string& text, int x, int y) override;
    void startProgram(const std::string& name) override;
    void clearMenu() override;
    void setCursorPosition(CursorPosition position) override;
    std::string screenShot() const override;
    void displayResult(const std::string& text, int type) override;
    void doBreakError(int error) override;
    std::string done() const override;
    void inputPrompt(const Operand& request) override;
    void showMenu(const Operand& menu) override;
    void updateEntryText(const std::string& text, CursorPosition cursor) override;
    void setEntryCursor(CursorPosition cursor, bool redraw) override;

    // Every line empty, without a notification.
    void clear();
    // The entry line becomes the prompt and the entry, the result right-aligned below it.
    void addEntry(const std::string& entry, const std::string& result);

    Snapshot snapshot() const;
    // Line n as UTF-8 (an empty string outside 0…9).
    std::string line(int n) const;
    // The lines down to the last one that holds something, each without its outer blanks.
    std::vector<std::string> shownLines() const;
    CursorPosition cursorPosition() const;
    CursorPosition entryPosition() const;
    std::optional<std::string> promptString() const;
    std::string programName() const;

private:
    // The text an operand shows (in the display form its settings resolve to), and whether
    // it is a string (left-aligned).
    std::string textOf(const Operand& value, int kind) const;
    // Helpers that run with mutex_ held.
    void scrollUpLocked();
    void nextLineLocked();
    // The cursor's line, scrolling first when a move past the last line is pending.
    int rowLocked();
    void writeLineLocked(std::u32string_view text, bool left);
    void writeAtLocked(std::u32string text, int column, int line);
    void writeOverLocked(std::u32string_view text, int column, int line);
    void setEntryCursorLocked(CursorPosition offset);
    bool asked() const;
    void notify();

    Calculator& calc_;
    mutable LeafMutex mutex_;
    std::array<std::u32string, kLines> lines_;
    std::string programName_;
    std::optional<std::u32string> prompt_;
    CursorPosition cursor_;
    CursorPosition entry_;
    // The lines the entry text took last time, so a shorter text clears what it left.
    int entryLines_ = 0;
    // The screen under a shown menu.
    std::optional<std::array<std::u32string, kLines>> saved_;
    CursorPosition savedCursor_;
    CursorPosition savedEntry_;
};

} // namespace orvenda
