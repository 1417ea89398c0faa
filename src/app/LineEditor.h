#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace orvenda {

// An editor of one token line as the keys drive it: the entry line on most screens, the
// current equation on the Y= screen, the open program in the program editor. Key routing
// finds the editor of the screen in front and sends it the editing keys. Main thread.
class LineEditor {
public:
    using Ops = std::vector<std::uint32_t>;

    virtual ~LineEditor() = default;

    // A typed token at the cursor, with an undo step.
    virtual void addOpcode(std::uint32_t op, bool insert) = 0;
    // A typed token in two-dimensional form: templates bring their parts; one undo step.
    virtual void prettyAddOp(std::uint32_t op) = 0;
    // A list name, or a program's name after the program token, picked from a menu.
    virtual void addVariable(std::string_view name, bool insert) = 0;
    virtual void addProgramName(std::string_view name, bool insert) = 0;
    // Text pasted at the cursor (over a selection): one undo step.
    virtual void pasteOps(const Ops& ops) = 0;

    virtual void deleteOpcode() = 0;
    // Delete in two-dimensional form: templates go whole or are unwrapped.
    virtual void prettyDeleteOpcode() = 0;

    virtual void cursorLeft() = 0;
    virtual void cursorRight() = 0;
    virtual void prettyCursorLeft() = 0;
    virtual void prettyCursorRight() = 0;
    virtual void cursorUp() = 0;
    virtual void cursorDown() = 0;
    virtual void cursorHome() = 0;
    virtual void cursorEnd() = 0;
    // The first and the last line of a multi-line editor; nothing elsewhere.
    virtual void cursorTop() {}
    virtual void cursorBottom() {}
    virtual int entryCursor() const = 0;
    virtual void setEntryCursor(int cursor) = 0;
    // The line being edited; nothing when there is none.
    virtual std::optional<Ops> currentOps() const = 0;

    virtual void undo() = 0;
    virtual void redo() = 0;
    virtual void clear() = 0;
    // ENTER in an editor that takes it itself (the Y= and program editors).
    virtual void enter() {}
    // The cursor stands inside a string.
    virtual bool isQuoting() const = 0;
    // A key's token as typed here (letters spelling a command name become its token).
    virtual std::uint32_t transformOp(std::uint32_t op) = 0;
};

} // namespace orvenda
