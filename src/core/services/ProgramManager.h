#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

// Program storage and the program editor. Programs live in their own files, not in the
// calculator's archive: one file per user program (names of at most 8 program-name
// characters), and the read-only sample programs (longer names) shipped with the app.
//
// debug and opsFor are also called from the program queue, so an implementation guards
// what they read; the other calls come on the main thread. The operations over the stored
// files (the program library's) answer the neutral defaults below unless overridden.
class ProgramManager {
public:
    using Ops = std::vector<std::uint32_t>;

    // What creating a program from the program menu came to.
    enum class Added { Added, EmptyName, BadName, NameInUse, CouldNotSave };
    // A program with these flags may not be edited, printed or sent (an imported
    // protected program).
    static constexpr std::uint32_t kProtected = 2;

    virtual ~ProgramManager() = default;

    // Writes the program open in the editor when it has unsaved changes.
    virtual void saveProgram() = 0;
    // Converts every stored program to the current token numbering.
    virtual void updatePrograms() = 0;
    // The editor is in debug mode.
    virtual bool debug() const = 0;
    // The editor's cursor token index.
    virtual void setPrgmEditCursor(int index) = 0;
    // Loads the named program into the editor when another is open, then sets the cursor.
    virtual void setPrgmCursor(int index, const std::string& inProgram) = 0;
    // Shows the step in the debugger, or, when the parser holds an error, stops the program
    // display and reports the error.
    virtual void showStepPC(int index, const std::string& inProgram) = 0;
    // The program open in the editor.
    virtual std::string programName() const = 0;
    // The stored program's tokens (a user file's or a sample's); nothing when there is no
    // such program.
    virtual std::optional<Ops> opsFor(const std::string& name) const = 0;

    // Opens the named program in the editor (a name without a file opens as a new, empty
    // program); false when there is no editor.
    virtual bool loadProgram(const std::string& /*name*/) { return false; }
    virtual void setDebug(bool /*on*/) {}
    // The editor is running the open program one statement at a time.
    virtual bool stepping() const { return false; }
    // The program the debugger's run in progress started in (its steps and Runs are one
    // run until it ends, whatever program they stand in); empty when none is.
    virtual std::string runStartedIn() const { return {}; }
    // Puts the edit cursor on that token and makes it visible.
    virtual void showTokenNumber(int /*index*/) {}
    // The editor's undo and redo stacks hold a step (the keyboard lights its keys by them).
    virtual bool canUndo() const { return false; }
    virtual bool canRedo() const { return false; }

    // ---- The stored programs (the program library) ----

    // 0 the user's programs then the sample programs, 1 the user's only, 2 the samples
    // only; any other kind lists none.
    virtual std::vector<std::string> programListOf(int /*kind*/) const { return {}; }
    // The "tags" array; nothing when the program has no dictionary or no tags array.
    virtual std::optional<std::vector<std::string>> tagsFor(const std::string& /*name*/) const
    {
        return std::nullopt;
    }
    // The "flags" number; 0 when the program or the key is missing.
    virtual std::uint32_t flagsFor(const std::string& /*name*/) const { return 0; }
    // The one-line description and the user notes; "" when there are none.
    virtual std::string descFor(const std::string& /*name*/) const { return {}; }
    // What the program library shows of a program, read at once.
    struct LibraryEntry {
        std::optional<std::vector<std::string>> tags;
        std::string desc;
        std::uint32_t flags = 0;
    };
    virtual LibraryEntry libraryEntry(const std::string& name) const
    {
        return {tagsFor(name), descFor(name), flagsFor(name)};
    }
    virtual std::string notesFor(const std::string& /*name*/) const { return {}; }
    // A new, empty program from the program menu's form: the description and notes as
    // given, the tags from the comma-separated text. An existing program is left as it is.
    virtual Added addFileNamed(const std::string& /*name*/, const std::string& /*desc*/,
        const std::string& /*notes*/, const std::string& /*tags*/)
    {
        return Added::CouldNotSave;
    }
    // Removes a user program's file; false when nothing was removed (samples stay).
    virtual bool deleteProgramNamed(const std::string& /*name*/) { return false; }
};

} // namespace orvenda
