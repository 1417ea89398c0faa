#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

// Program storage and the program editor. Programs live in their own files, not in the
// calculator's archive.
//
// debug and opsFor are also called from the program queue, so an implementation guards
// what they read; the other calls come on the main thread.
class ProgramManager {
public:
    using Ops = std::vector<std::uint32_t>;

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
    // The stored program's tokens; nothing when there is no such program.
    virtual std::optional<Ops> opsFor(const std::string& name) const = 0;

    // Opens the named program in the editor; false when there is none.
    virtual bool loadProgram(const std::string& /*name*/) { return false; }
    virtual void setDebug(bool /*on*/) {}
    // The editor is running the open program one statement at a time.
    virtual bool stepping() const { return false; }
    // Puts the edit cursor on that token and makes it visible.
    virtual void showTokenNumber(int /*index*/) {}
};

} // namespace orvenda
