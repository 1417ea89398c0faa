#pragma once

#include "app/ScreenEditors.h"
#include "core/TypedKeys.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace orvenda {

class Calculator;
class CursorBlink;
class EntryEvaluator;
class ImpactFeedback;
class LineEditor;

// The one place where a key becomes an action: keeps the 2nd, alpha and alpha-lock shift
// layers, filters tokens against those that may be typed, and routes editing keys by the
// screen in front to its editor (entry line, Y= equation, program) or, for screens that
// edit their own fields, to a notification the screen observes. Also the key click and the
// cursor glyphs. Main thread.
//
// Screen groups: the field screens {3, 4, 5, 6, 7, 8, 11, 12, 14, 15, 16, 21, 23} edit the
// entry line one-line; the solver, polynomial and key-set screens {10, 20, 22} behave like
// the home screen (0), which in MathPrint edits in two-dimensional form and has the
// history selection.
class KeyRouter {
public:
    // Key codes.
    enum : std::uint32_t {
        kDel = 1030, kIns = 1031, kClear = 1032, kLeft = 1033, kRight = 1034, kUp = 1035, kDown = 1036,
        kHome = 1037, kEnd = 1038, kSecond = 1039, kAlpha = 1040, kAlphaLock = 1041, kEntry = 1063,
        kEnter = 1065, kFileTop = 1077, kFileBottom = 1078, kSolve = 4119, kBreak = 4123, kUndo = 4126,
        kRedo = 4127, kFontUp = 0x5C49, kFontDown = 0x5C4A,
    };
    // Cursor glyphs: the cell, the 2nd arrow, "A" and "a"; insert mode adds 4.
    static constexpr int kCursorCell = 224;
    static constexpr int kCursorSecond = 225;
    static constexpr int kCursorAlpha = 226;
    static constexpr int kCursorLowercase = 227;
    static constexpr int kInsertGlyphs = 4;

    KeyRouter(Calculator& calc, EntryEvaluator& evaluator, CursorBlink& blink);
    ~KeyRouter();
    KeyRouter(const KeyRouter&) = delete;
    KeyRouter& operator=(const KeyRouter&) = delete;

    // Routes one key op (a token or a key code); always true. While the ENTER of the
    // screen in front waits for its answer the op waits too (after the shift layers act),
    // and so does every key after it, in the order typed.
    bool processKeyOp(std::uint32_t op);
    // A key typed now must wait: a run the keys queued has not reported its end (the
    // screen in front waits for its ENTER's answer, or a program runs), or keys typed
    // before are still waiting. Screen keys too, the home screen's among them: left
    // before its answer came, a screen's line and the keys after it would reach a screen
    // they were not typed for. ON is never held: it stops a long run.
    bool holding() const;
    // A running program, or the menu it shows, takes the keys (no Input, Prompt or Pause
    // waits).
    bool programTakesKeys() const;
    // The keys are a program's to have: a run holds them, a pause in sight waits for them,
    // or it takes them as above. Every screen a program brings in front hands them to the keyboard.
    bool programOwnsKeys() const;
    // The key being handled in its turn was typed after the user stopped the run: an alert
    // the stop brought takes it, as it would have at a person's pace.
    bool keyAfterStop() const { return releasing_ && afterStop_; }
    // What a key of the keyboard does, once the keys held before it have been handled and
    // the run has not read it: the running program's getKey takes the key's code (0 for
    // none) first, in the order typed, and a key it took never acts.
    void press(std::function<void()> action, int getKeyCode);
    // The editor in front first rewrites the op (letters spelling a command name).
    void processRealKeyOp(std::uint32_t op);
    bool editIsQuoting() const;
    // The computer's Backspace, each key through send: LEFT (insert mode stays on), then
    // DEL unless in INS's insert mode, so it deletes the character before the cursor in
    // overwrite mode (and where a template's op makes typing insert) and only steps left
    // in insert mode. On an editor's empty line there is nothing to step over (a LEFT there
    // would move the list editor's or the table's cell cursor): DEL alone, which deletes
    // the element or row; at the start of a line of text, nothing.
    void backspace(const std::function<void(std::uint32_t op)>& send);
    // A list or variable name picked from a menu.
    void processVariable(std::string_view name);
    void processProgramName(std::string_view name);
    // Text pasted: typed where the keys type on the screen in front (the equation, the
    // program, the field or the line), as one undo step; refused whole where a key could
    // not type it.
    void paste(const std::vector<std::uint32_t>& ops);
    // A paste of more than any line takes (so not even read whole): error 93 where a paste
    // would be typed, the line in front as it was.
    void refuseLongPaste();
    // Empties the editor in front.
    void clear();
    // Tokens a key may type somewhere (the rest is ignored).
    static bool acceptsToken(std::uint32_t op);

    // Clicks (sound and light haptic) unless clicks are off or muted.
    void doKeyClick();
    // What plays the click sound; none by default.
    void setClickSound(std::function<void()> sound) { clickSound_ = std::move(sound); }
    // Whether an overlay (MODE, the key-set catalogue, a colour picker) hides the screen's
    // entry line: its keys (typing, editing, ENTER) then act on nothing. None by default.
    void setLineCovered(std::function<bool()> covered) { lineCovered_ = std::move(covered); }

    // The glyph of the blinking cursor: 0 in the off phase.
    int cursorChar() const;
    // The entry line in one-byte display codes with the cursor glyph at the cursor.
    std::vector<std::uint8_t> currentEntryWithCursor() const;

private:
    // The editor a key edits on the screen in front, and whether in two-dimensional form.
    struct Target {
        LineEditor* editor = nullptr;
        bool twoDimensional = false;
        // The screen has an editor (which the app may not have installed).
        bool editorScreen = false;
    };
    // In the program editor the entry line stands in while debugging for some keys.
    Target editorTarget(bool entryWhileDebugging) const;
    // The editor a paste is typed in; null where none takes it.
    LineEditor* pasteTarget() const;

    // Each answers whether the key was one of its kind.
    bool shiftKey(std::uint32_t t);
    void route(std::uint32_t op);
    // Clears the one-key shift layers (a lock stays) and restarts the blink.
    void spendShift();
    // Keys typed while an ENTER waits for its answer, in order.
    void hold(std::function<void()> action, int getKeyCode = 0);
    void releaseHeld();
    bool editingKey(std::uint32_t t);
    void enterKey();
    void deleteKey();
    void insertKey();
    void leftRight(bool left);
    // The insert mode a template's op switched on ends where the cursor of the editor in
    // front can overwrite again (off the template's ops, past its end, on another line).
    void settleTemplateInsert();
    // With MathPrint, the cursor of the editor in front on a template's op: the insert mode
    // that op switches on.
    void templateInsertAtCursor();
    void upDown(bool up);
    void homeEnd(bool home);
    void undoKey();
    void fileTop();
    void fileBottom();
    void fontSize(int step);
    void insertToken(std::uint32_t op);

    // The screen edits like the home screen (0, 10, 20, 22).
    bool homeLike(int screen) const;
    bool mathPrint() const;
    bool historySelected() const;
    void post(std::string_view name);
    // The pretty printer's line above (or below) the editor's cursor; -1 for none.
    int prettyLine(LineEditor& editor, bool up) const;
    int prettyEdge(LineEditor& editor, bool home) const;

    Calculator& calc_;
    EntryEvaluator& evaluator_;
    CursorBlink& blink_;
    ScreenEditors editors_;
    std::function<void()> clickSound_;
    std::function<bool()> lineCovered_;
    std::shared_ptr<ImpactFeedback> keyClicker_;
    struct Held {
        std::function<void()> action;
        // The key's place among the keys the program may read (0: none).
        TypedKeys::Id offered = 0;
        // Not a key: where a stop of the run came among the keys held.
        bool stop = false;
    };
    std::deque<Held> held_;
    // A held key is being handled: what it does (a screen's commit, its own key op) acts
    // at once.
    bool releasing_ = false;
    // The held keys being handled were typed after a stop: the break's alert, up by
    // then, is what they were typed for.
    bool afterStop_ = false;
};

} // namespace orvenda
