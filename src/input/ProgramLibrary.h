#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda {

// The stored programs as the program library sees them: one property-list file per
// program in a folder ("programs" in the user's data), named by the program, holding a
// dictionary with "prgm" (token array), "desc", "notes", "tags" and "flags". Names are
// checked before they become paths. Main thread.
class ProgramLibrary {
public:
    enum class Added { Added, EmptyName, BadName, NameInUse, CouldNotSave };
    static constexpr unsigned kLocked = 2;
    // Longer names (the sample programs') cannot be deleted.
    static constexpr std::size_t kDeletableLength = 8;

    explicit ProgramLibrary(QString folder) : folder_(std::move(folder)) {}

    const QString& folder() const { return folder_; }
    // A name that stays inside the folder: not empty, no separators, NUL, "." or "..".
    static bool validName(std::string_view name);
    // 0 every program, 1 the user's own, 2 the sample programs (none are installed here);
    // names with a file extension do not count. In folder order.
    std::vector<std::string> programListOf(int type) const;
    // The "tags" array; nothing when missing or not an array of texts.
    std::optional<std::vector<std::string>> tagsFor(const std::string& name) const;
    // The "flags" number, 0 when the program or the key is missing.
    unsigned flagsFor(const std::string& name) const;
    // The "desc" text, "" when there is none.
    std::string descFor(const std::string& name) const;
    // The comma-separated tags trimmed of blanks, without duplicates, sorted ignoring case.
    static std::vector<std::string> tagArrayFromString(std::string_view text);

    // Writes a new, empty program; an existing one is left untouched.
    Added addProgram(const std::string& name, const std::string& desc, const std::string& notes,
        const std::string& tags);
    // Removes a deletable program's file; false when nothing was removed.
    bool deleteProgram(const std::string& name);
    // The user's message for what addProgram answered ("" when added).
    static QString message(Added result, const std::string& name);

private:
    QString path(const std::string& name) const;

    QString folder_;
};

} // namespace orvenda
