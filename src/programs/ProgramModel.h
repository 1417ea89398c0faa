#pragma once

#include "app/LineEditor.h"
#include "core/services/ProgramManager.h"
#include "eval/ProgramTokens.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramLayout.h"
#include "programs/VQProgram.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvenda {

class Calculator;

// The calculator's one program manager: the stored programs (through ProgramFiles), the
// program open in the editor and the debugger's driver.
//
// The open program is laid out as screen lines 32 characters wide (ProgramLayout) with an
// edit cursor (an opcode index from 0 to the length; the cursor stands before the opcode
// there), the column the cursor keeps moving up and down, and a selection. The keys of the
// program editor arrive as a LineEditor (key routing) and through the operations below;
// every edit takes an undo snapshot first (50 are kept), marks the program changed, lays
// it out again and posts VQMakeCursorVisible. Undo and redo post VQRedrawKeyboard. A
// program that is not editable (a sample, or flags other than 0) refuses every edit
// silently; an edit that would make a program longer than 65535 opcodes is refused with
// error 93 before anything changes.
//
// The debugger: breakpoint marks (token 0x5C58) at the start of statement lines, run and
// single step from the statement at the cursor on the program queue (the program is saved
// first), where a step stopped (showStepPC), and the answers typed for a stepped Input or
// Prompt (ENTER in debug mode). Metadata: tags, notes, description and flags, saved with
// the program.
//
// The program is written to its file when another one is loaded, before each run or step,
// and when the screens or the app ask (saveProgram); a write that fails keeps the changes
// and is reported once. Main thread, except debug() and opsFor(), which the program queue
// calls too.
class ProgramModel : public ProgramManager, public LineEditor {
public:
    using Ops = std::vector<std::uint32_t>;

    static constexpr int kLineWidth = 32;
    static constexpr std::size_t kMaxUndo = 50;
    static constexpr std::uint32_t kBreakpoint = ProgramTokens::kBreakpoint;
    static constexpr std::uint32_t kRCL = 1071;

    struct Range {
        int location = 0;
        int length = 0;
        bool operator==(const Range&) const = default;
    };
    // What undo goes back to.
    struct Snapshot {
        VQProgram program;
        int editCursor = 0;
        int textCursorCol = 1;
        Range selection;
    };
    // A statement line as the editor's bubble help reads it (opsForLine with a cursor).
    struct StatementLine {
        Ops ops;
        // The first screen line of the statement.
        int line = 0;
        // The cursor's offset in ops; -1 when it is not in this statement.
        int position = -1;
        // The brackets (or quotes) around the cursor; length 0 for none.
        Range parens;
    };

    ProgramModel(Calculator& calc, std::shared_ptr<const ProgramFiles> files);
    ~ProgramModel() override;
    ProgramModel(const ProgramModel&) = delete;
    ProgramModel& operator=(const ProgramModel&) = delete;

    const ProgramFiles& files() const { return *files_; }
    // The same files, for the managers of documents and pages that read them on their own.
    std::shared_ptr<const ProgramFiles> sharedFiles() const { return files_; }
    // Told once when the open program cannot be written (until a write succeeds again),
    // and when a program file is refused unread (once per program in the library).
    std::function<void(const std::string& message)> tell;

    // ---- The stored programs (ProgramManager) ----

    std::optional<Ops> opsFor(const std::string& name) const override { return files_->opsFor(name); }
    std::vector<std::string> programListOf(int kind) const override { return files_->programListOf(kind); }
    std::optional<std::vector<std::string>> tagsFor(const std::string& name) const override { return files_->tagsFor(name); }
    std::uint32_t flagsFor(const std::string& name) const override { return files_->flagsFor(name); }
    std::string descFor(const std::string& name) const override { return files_->descFor(name); }
    LibraryEntry libraryEntry(const std::string& name) const override;
    std::string notesFor(const std::string& name) const override { return files_->notesFor(name); }
    Added addFileNamed(const std::string& name, const std::string& desc, const std::string& notes,
        const std::string& tags) override;
    // The open program stays open (unsaved) when its file is removed.
    bool deleteProgramNamed(const std::string& name) override;
    void updatePrograms() override { files_->updatePrograms(); }
    // Stores a program's opcodes, keeping its other keys; the open program is saved first
    // and, when it is the one stored, reloaded. False when nothing was written.
    bool storeProgram(const std::string& name, std::span<const std::uint32_t> ops);
    // A program imported from a calculator file, written whole (opcodes, metadata and
    // flags), replacing any file of that name. The open program is saved first and, when it
    // is the one replaced, opened again, so the editor shows and keeps what arrived. Lines
    // typed into that program since it was opened are first kept as a program of a free
    // name like it ("PROG1"), and the user is told; when they cannot be kept, nothing is
    // replaced.
    bool importProgram(const std::string& name, const ProgramFiles::Dict& dict);

    // ---- The open program ----

    // Opens a program: a user file, a sample, or a name without a file as a new, empty
    // program. The open program is saved first when changed. A file in the older array
    // form is converted to the dictionary form. A file of more than ProgramFiles::kMaxOps
    // opcodes opens empty and read-only (tooLarge), its file untouched, and the editor's
    // manager reports error 93. A file refused unread (ProgramFiles::refused) opens the
    // same way, and the editor's manager tells so instead, naming the file. Always true.
    bool loadProgram(const std::string& name) override;
    // Writes the open program when it has a user program's name and unsaved changes.
    void saveProgram() override;
    std::string programName() const override { return programName_; }
    const VQProgram& program() const { return program_; }
    bool dirty() const { return dirty_; }
    // Not a sample, flags 0 and not too large.
    bool isEditable() const;
    bool tooLarge() const { return tooLarge_; }

    // ---- Layout ----

    // The share of its cell the store arrow keeps free on either side, in the editor and
    // the listing, so that its head keeps off the next letter.
    static constexpr double kStoreArrowInset = 0.12;

    // Lays the lines out again at a width (the editor always uses 32).
    void updateLines(int width);
    const ProgramLayout& layout() const { return layout_; }
    int numLines() const { return layout_.numLines(); }
    int indentForLine(int n) const { return layout_.indentForLine(n); }
    int numOpsForLine(int n) const;
    int firstOpOnLine(int n) const;
    // In debug mode the end of the program is a line after the last.
    int lineForIndex(int index) const;
    // The cursor's line.
    int textLine() const { return lineForIndex(cursor_); }
    // The line's indentation plus the lengths of the names before the index on its line.
    int columnForIndex(int index) const;
    // Indentation blanks, ":" (or " " on a continuation line), then the names of the line's
    // opcodes (a closing line break shows nothing); "" for the line after the last in
    // debug mode; nothing further on.
    std::optional<std::string> screenLine(int n) const;
    // The opcodes of a screen line; nothing past the last line.
    std::optional<Ops> opsForLine(int n) const;
    std::optional<Ops> lineContaining(int index) const { return opsForLine(lineForIndex(index)); }
    // The whole statement line shown on screen line n; nothing past the last line (in debug
    // mode the line after the last is empty, with the cursor at the end there).
    std::optional<StatementLine> statementForLine(int n) const;
    // The names of the line's opcodes, without margin or ":"; nothing past the last line.
    std::optional<std::string> pdfLine(int n) const;
    std::optional<Ops> pdfLineOps(int n) const { return opsForLine(n); }

    // ---- Cursor ----

    // The opcode before the cursor is RCL: a recall waits for its variable or program.
    bool processingRCL() const;
    void cursorUp() override;
    void cursorDown() override;
    void cursorLeft() override;
    void cursorRight() override;
    void cursorHome() override;
    void cursorEnd() override;
    void cursorTop() override;
    void cursorBottom() override;
    // The opcode index nearest a screen position (in debug mode statement starts only).
    int opNearLine(int line, int column) const;
    int opNumAtLine(int line, int column) const { return opNearLine(line, column); }
    // A touch: the cursor to the nearest opcode unless a recall waits.
    void setLine(int line, int column);
    // The cursor to a token (a program error's) and into view.
    void showTokenNumber(int index) override;
    int prgmEditCursor() const { return cursor_; }
    // Clamped to the program.
    void setPrgmEditCursor(int index) override;
    int textCursorCol() const { return textCursorCol_; }
    void setTextCursorCol(int column) { textCursorCol_ = column; }
    // The screen line and column of an index.
    void opNum(int index, int& line, int& column) const;

    // ---- Selection and clipboard (the calculator's program paste buffer) ----

    Range prgmSelection() const { return selection_; }
    void setPrgmSelection(Range selection) { selection_ = selection; }
    // A touch that starts a selection gesture: which end moves (0 free from the anchor, 1
    // the start, 2 the end).
    int beginSelectLine(int line, int column);
    void extendSelectLine(int line, int column, int direction);
    void select() { selection_ = {selectionAnchor_, 1}; }
    void selectAll();
    void clearSelection() { selection_ = {}; }
    void selectStartLine(int& line, int& column) const;
    void selectEndLine(int& line, int& column) const;
    // The moving end of the selection, the start of its screen line, and that line's
    // opcodes (for the magnifier).
    Ops getSelectAt(int& index, int& lineStart) const;
    void copyOps();
    void deleteOps();
    void cutOps();
    // Replaces the selection, or inserts at the cursor, with the paste buffer (or the
    // text pasted).
    void pasteOps();
    void pasteOps(const Ops& ops) override;

    // ---- Editing (the keys) ----

    void addOpcode(std::uint32_t op, bool insert) override;
    void prettyAddOp(std::uint32_t op) override;
    // A list name picked from a menu: L1..L6 as their tokens, others as the list-name
    // prefix and the name's letters, digits and θ.
    void addVariable(std::string_view name, bool insert) override;
    // A program call picked from the menu; after RCL the named program's whole body.
    void addProgramName(std::string_view name, bool insert) override;
    void deleteOpcode() override;
    void prettyDeleteOpcode() override { deleteOpcode(); }
    void prettyCursorLeft() override { cursorLeft(); }
    void prettyCursorRight() override { cursorRight(); }
    int entryCursor() const override { return cursor_; }
    void setEntryCursor(int cursor) override { setPrgmEditCursor(cursor); }
    std::optional<Ops> currentOps() const override { return program_.array(); }
    // CLEAR: the selection, else the cursor's program line (the line itself stays).
    void clear() override;
    // ENTER: a line break; in debug mode the entry line's answer or command.
    void enter() override;
    bool isQuoting() const override;
    std::uint32_t transformOp(std::uint32_t op) override;

    // ---- Undo ----

    void saveUndo();
    void undo() override;
    void redo() override;
    bool canUndo() const override { return !undo_.empty(); }
    bool canRedo() const override { return !redo_.empty(); }
    void undoClear();
    Snapshot getState() const;
    void setState(const Snapshot& state);
    const std::deque<Snapshot>& undoArray() const { return undo_; }
    const std::deque<Snapshot>& redoArray() const { return redo_; }

    // ---- Debugger ----

    void setDebug(bool on) override;
    bool debug() const override { return debug_.load(); }
    bool stepping() const override { return stepping_; }
    std::string runStartedIn() const override { return runStartedIn_; }
    bool pendingInput() const { return pendingInput_; }
    // Breakpoints sit at the start of the statement line shown on the screen line.
    void setBreak(bool on, int line);
    void toggleBreakForLine(int line);
    bool breakForLine(int line) const;
    void clearBreaks();
    // Runs the open program from the statement at the cursor; false (nothing started) at
    // the end of the program.
    bool run();
    // Run pressed while a stepped question waits: once its questions are answered the run
    // goes on as Run's, not as a step's.
    void setRunOnceAnswered(bool on) { runOnceAnswered_ = on; }
    // Runs one statement; false at the end (nothing started) and for an Input or Prompt
    // statement (started: its answer comes through ENTER).
    bool singleStep();
    // Where a step or a breakpoint stopped; an error of the step is reported once.
    void showStepPC(int index, const std::string& inProgram) override;
    // Where a run ended.
    void setPrgmCursor(int index, const std::string& inProgram) override;
    // The variables the program uses (tokens, sorted) and its user lists (names, sorted).
    Ops programVars() const;
    std::vector<std::string> programLists() const;

    // ---- Metadata (setters only for an editable program; they mark it changed) ----

    const std::vector<std::string>& programTags() const { return tags_; }
    std::string programTagString() const;
    static std::vector<std::string> tagArrayFromString(std::string_view text)
    {
        return ProgramFiles::tagArrayFromString(text);
    }
    void saveTags(std::string_view text);
    const std::string& programNotes() const { return notes_; }
    void saveProgramNotes(const std::string& text);
    const std::string& programDescription() const { return description_; }
    void saveProgramDescription(const std::string& text);
    std::uint32_t programFlags() const { return flags_; }
    void saveProgramFlags(std::uint32_t flags);

private:
    std::uint32_t opAt(int index) const { return program_.opcodeAtIndex(index); }
    int length() const { return program_.length(); }
    int nameLength(std::uint32_t op) const;
    std::string nameOf(std::uint32_t op) const;
    void relayout() { updateLines(kLineWidth); }
    // After an edit: the lines laid out again and the cursor brought into view.
    void edited();
    void post(std::string_view notification);
    void refuseTooLong();
    // Whether a program of that many opcodes may be made; error 93 otherwise.
    bool fits(std::size_t finalLength);
    // The cursor keys' common start: false when the key does nothing here.
    bool beginCursorKey(void (LineEditor::*entryKey)());
    // Removes the selection (no snapshot, no layout).
    void delOps();
    // The opcode after the nearest ":", line break or breakpoint at or before the index.
    int statementStart(int index) const;
    // An unused program name: the name's start and the lowest number that fits.
    std::string freeNameLike(const std::string& name) const;
    // Tells that the program's file was refused unread (ProgramFiles::refused), naming it.
    void tellRefused(const std::string& name) const;
    // A program file just written (when written) is opened again if it is the open one.
    bool reloadIfOpen(const std::string& name, bool written);
    // One opcode at the cursor, inserted or over the one there (appended at the end); the
    // cursor moves past it.
    void put(std::uint32_t op, bool inserting);
    // Undo (from the undo stack to the redo stack) or redo (the other way).
    void stepBack(std::deque<Snapshot>& from, std::deque<Snapshot>& to);
    // Takes away the RCL before the cursor and puts the recalled opcodes in its place.
    void replaceRecall(const Ops& recalled);
    // Starts a run or a step of the open program.
    bool start(bool step);
    // ENTER while debugging.
    void debugEnter();

    Calculator& calc_;
    std::shared_ptr<const ProgramFiles> files_;
    VQProgram program_;
    std::string programName_;
    ProgramLayout layout_;
    bool dirty_ = false;
    std::atomic<bool> debug_{false};
    bool stepping_ = false;
    bool pendingInput_ = false;
    bool runOnceAnswered_ = false;
    // The program the run in progress (its steps, Runs and breakpoint stops) started in.
    std::string runStartedIn_;
    int cursor_ = 0;
    Range selection_;
    int textCursorCol_ = 1;
    int selectionAnchor_ = 0;
    int trackingDirection_ = 0;
    std::deque<Snapshot> undo_;
    std::deque<Snapshot> redo_;
    std::vector<std::string> tags_;
    std::string notes_;
    std::string description_;
    std::uint32_t flags_ = 0;
    // When the open program was made (its file's "created"), kept by its saves.
    std::optional<QDateTime> created_;
    bool tooLarge_ = false;
    // The opcodes as the program was opened.
    Ops opened_;
    // A failed save has been told and not yet followed by a good one.
    bool saveFailureTold_ = false;
    // The programs whose files the library found refused, and told once.
    mutable std::set<std::string> refusedTold_;
    mutable std::unordered_map<std::uint32_t, int> nameLengths_;
};

} // namespace orvenda
