#pragma once

#include "app/LineEditor.h"
#include "core/services/EntryManager.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda {

class Calculator;
class HistoryModel;
class PrettyPrint;

// The entry line: the ops being typed, the earlier entries ENTRY recalls, the cursor as an
// op index, as a column and line of the wrapped text and as a character offset, the text,
// and undo. The home screen and every screen that edits one field at a time share the
// calculator's one instance. Main thread only.
//
// Changes of the ops end in updateText, which posts VQEntryTextChanged; cursor moves,
// undo and the editing operations post the notifications their comments name, each with
// the model as poster.
class EntryModel : public EntryManager, public LineEditor {
public:
    using Ops = std::vector<std::uint32_t>;

    struct TextCursor {
        int col = 0;
        int line = 0;
        bool operator==(const TextCursor&) const = default;
    };
    // What undo goes back to.
    struct Snapshot {
        Ops ops;
        int cursor = 0;
        int insert = 0;
    };

    // Earlier entries kept for ENTRY, the current one included.
    static constexpr int kMaxEntries = 101;
    // What getOpAt answers outside the ops.
    static constexpr std::uint32_t kNoOp = 0xEFA0;
    static constexpr std::uint32_t kRCL = 1071;
    // The one op clearEntries leaves on the line.
    static constexpr std::uint32_t kClearEntries = 0xBB57;
    // Answers of getLowerCase/getTerminal for what is not a letter.
    static constexpr char32_t kNoLetter = U'_';

    // What the line accepts (filter).
    enum Filter { AnyOp = 0, Digits = 1, Name = 2, ListName = 3 };

    explicit EntryModel(Calculator& calc);
    EntryModel(const EntryModel&) = delete;
    EntryModel& operator=(const EntryModel&) = delete;

    // ---- State ----

    const Ops& entryOps() const { return entries_.back(); }
    const std::vector<Ops>& entries() const { return entries_; }
    void setEntries(std::vector<Ops> entries);
    int prevEntry() const { return prevEntry_; }
    const std::optional<Ops>& prevOps() const { return prevOps_; }
    int entryCursor() const override { return entryCursor_; }
    void setEntryCursor(int cursor) override { cursorSetIndex(cursor); }
    std::optional<Ops> currentOps() const override { return entryOps(); }
    TextCursor textCursor() const { return textCursor_; }
    int expandedCursor() const { return expandedCursor_; }
    std::string text() const override { return text_; }
    void setText(std::string text) { text_ = std::move(text); }
    int numLines() const { return numLines_; }
    int screenWidth() const { return screenWidth_; }
    // 0 turns wrapping off; a negative width counts as 0.
    void setScreenWidth(int width) override;
    int filter() const { return filter_; }
    void setFilter(int filter) { filter_ = filter; }
    // Kept for the screens; the model does not use it.
    int maxLen() const { return maxLen_; }
    void setMaxLen(int length) { maxLen_ = length; }
    bool prettyPrint() const { return prettyPrint_; }
    void setPrettyPrint(bool on) { prettyPrint_ = on; }
    const std::vector<Snapshot>& undoArray() const { return undo_; }
    const std::vector<Snapshot>& redoArray() const { return redo_; }

    // ---- Text and cursor ----

    // Rebuilds the text, the line count and the cursor coordinates, tells the program
    // output and posts VQEntryTextChanged.
    void updateText();
    // Rebuilds the text and the cursor coordinates and tells the program output (except on
    // the graph screen); posts nothing.
    void updateTextCursorRedraw(bool redraw);
    // The name of the op at the cursor; "" past the end.
    std::string opcodeAtCursor() const;
    // kNoOp outside the ops.
    std::uint32_t getOpAt(int i) const;
    std::vector<std::string> entryStrings() const;

    // ---- Cursor moves (none while an RCL waits for its variable) ----

    // VQCursorLeft / VQCursorRight, before the move on an empty line, after it otherwise.
    void cursorLeft() override;
    void cursorRight() override;
    // Up and down by text lines, to the closest column; past the first line to the start,
    // past the last to the end. VQCursorUp / VQCursorDown on an empty line, and when
    // leaving the text at either end.
    void cursorUp() override;
    void cursorDown() override;
    // VQCursorHome / VQCursorEnd only on an empty line (so a screen can leave the field).
    void cursorHome() override;
    void cursorEnd() override;
    void cursorEndSilent() override;
    // Clamped to the op count; a negative index does nothing. VQCursorMoved on a
    // non-empty line.
    void cursorSetIndex(int i);
    // The line and its cursor set aside, and put back, without a word: a save that keeps
    // the line as a field's, not as this one's, holds it for the moment of the archive.
    std::pair<Ops, int> takeLineQuietly() override;
    void putLineBackQuietly(Ops ops, int cursor) override;
    // Through the pretty printer's layout of the line; the text is not rebuilt.
    void prettyCursorLeft() override;
    void prettyCursorRight() override;
    // The cursor to an error's op (mapped to the two-dimensional form on the MathPrint
    // home, Y= and polynomial screens).
    void setErrorLocation(int i);
    // The op nearest the target column on the line textCursor().line names.
    void findClosestCol();

    // ---- Undo (VQRedrawKeyboard after each change of the stacks) ----

    void saveUndo();
    void undo() override;
    void redo() override;
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    void clearUndo();

    // ---- Entries ----

    void startNewEntry() override;
    // VQClearScreen when the line is already empty; otherwise undoable.
    void clear() override;
    // One empty entry, nothing to recall; undo stays.
    void clearAll();
    void clearEntries() override;
    // ENTRY: the next earlier entry, walking back and wrapping to the newest.
    void getPreviousEntry();
    // ENTRY from earlier entry i; an index outside the entries does nothing.
    void recallHistory(int i);
    void forceOps(const Ops& ops);
    void setOps(const Ops& ops);
    Ops lineOps() const override { return entryOps(); }
    void restoreLine(const Ops& ops) override;
    void editValue(double v);

    // ---- Editing ----

    void addOp(std::uint32_t op, bool insert, bool enableUndo);
    void addOpcode(std::uint32_t op, bool insert) override { addOp(op, insert, true); }
    void insertOpcode(std::uint32_t op, int at) override;
    // One undo step for all the ops.
    void addOps(const Ops& ops, bool insert, bool enableUndo);
    // Pasted text, history input or answer: one undo step.
    void pasteOps(const Ops& ops) override;
    // addOps with an undo step, the ops acting as their keys would: in MathPrint a ")" or
    // "," that closes nothing of the ops' own does at the cursor what its key does.
    void addOpsAsTyped(const Ops& ops, bool insert);
    // A list or variable name from a menu; with an RCL waiting, the named list's value.
    void addVariable(std::string_view name, bool insert) override;
    void addProgramName(std::string_view name, bool insert) override;
    // VQDel on an empty line.
    void deleteOpcode() override;
    void prettyDeleteOpcode() override;
    // A key's op entered in two-dimensional form, templates and all: one undo step.
    void prettyAddOp(std::uint32_t op) override;
    // VQIns on an empty line.
    void doInsertOp();
    // Lower-case letters typed before op that spell a catalogue name become its token.
    std::uint32_t transformOp(std::uint32_t op) override;
    // The letter of a lower-case letter token; 0 for anything else.
    static char32_t getLowerCase(std::uint32_t op);
    // Letters and digits as themselves, "(" for the opening parenthesis, else kNoLetter.
    static char32_t getTerminal(std::uint32_t op);
    static char32_t getLetter(std::uint32_t op) { return getTerminal(op); }
    // Each run of one-character ops that spells s becomes op (or goes, for key codes that
    // open screens and for the program token).
    void convertString(std::string_view s, std::uint32_t op);
    // Template IDs dropped (except on unit conversions and constants, whose high bits are
    // their units and index).
    void cleanTemplateIds();
    bool processingRCL() const;
    // Whether "-" typed here is a negation rather than a subtraction.
    bool shouldNegate() const;
    // 1 on an empty line, -1 at its start, else opClass of the op before the cursor.
    int preCharType() const;
    // 0 digits, 1 letters, 2 ")", 3 anything else.
    static int opClass(std::uint32_t op);
    // Inside a string: after an odd number of quotes since the statement began.
    bool isQuoting() const override;
    // The index of a program-only command on the line, or -1.
    int hasBasicOps() const;
    // The list name typed at the list editor's name prompt (the line is then cleared), or
    // nothing with the cursor on the offending op.
    std::optional<Ops> getListName();
    // The index of the innermost bracket opener whose group holds loc, or 0.
    int parenContextStartForLocation(int loc) const;

    nlohmann::json encode() const override;
    // Whatever the archive holds, the model comes out valid: at least one entry, indices
    // and cursor within range, no undo.
    void decode(const nlohmann::json& archive) override;

private:
    Ops& ops() { return entries_.back(); }
    int opCount() const { return static_cast<int>(entryOps().size()); }
    TextCursor coordinates(int p) const;
    // The text and the cursor coordinates from the ops; counts lines when asked.
    void rebuildText(bool countLines);
    void post(std::string_view name);
    void tellProgramOutput(bool updateText, bool redraw);
    void restore(Snapshot snapshot);
    // Undo or redo: back to the newest snapshot of `from`, the present kept on `to`.
    void step(std::vector<Snapshot>& from, std::vector<Snapshot>& to);
    Snapshot snapshot() const;
    // Adds ops at the cursor: appended at the end, else inserted or written over.
    void place(std::span<const std::uint32_t> ops, bool insert);
    // Whether the line takes `more` ops (kMaxOps); if not, error 93 is reported.
    bool fits(std::size_t more);
    bool accepts(std::uint32_t op) const;
    // Each op without its own undo, inserted after the first; the caller updates the text.
    void addEach(const Ops& ops, bool insert);
    // What both deletes do first: back onto a waiting RCL; on an empty line only VQDel
    // (false).
    bool beginDelete();
    HistoryModel* history() const;
    PrettyPrint& printer() const;
    // Loads the line into the shared pretty printer with the cursor and insert mode.
    void loadPrinter();
    // What a key's op does in two-dimensional form (PrettyPrint::enterOp), without an undo
    // step of its own.
    void enterPretty(std::uint32_t op);
    std::string nameOf(std::uint32_t op) const;

    Calculator& calc_;
    std::vector<Ops> entries_;
    int prevEntry_ = -1;
    std::optional<Ops> prevOps_;
    int entryCursor_ = 0;
    TextCursor textCursor_;
    int expandedCursor_ = 0;
    std::string text_;
    std::string temp_;
    int screenWidth_ = 32;
    int filter_ = AnyOp;
    int maxLen_ = 0;
    int numLines_ = 1;
    bool prettyPrint_ = false;
    std::vector<Snapshot> undo_;
    std::vector<Snapshot> redo_;
    // While above 0 the text is not rebuilt nor the screens told: a paste does it once.
    int textDeferred_ = 0;
};

} // namespace orvenda
