#pragma once

#include "core/services/ProgramManager.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda {

// The stored programs: one property-list file per user program in a folder (the
// "programs" folder of the app's data), named by the program without an extension, and
// the read-only sample programs shipped with the app (SamplePrograms), whose names are 9
// characters or longer. A file holds a dictionary with "prgm" (the opcodes, each a signed
// 32-bit integer), "tags" (texts), "desc" and "notes" (texts), "flags" (an unsigned
// number, 0 for an ordinary program) and "created" (a date: when the program was made,
// which the file's own creation time, new at every save, does not keep; a file written
// once goes without); files of an older version hold a bare array of opcodes.
//
// Names are checked before they become paths: a user program's name is 1 to 8 of the
// program-name characters (A-Z, a-z, 0-9, θ); anything else is refused without touching the
// disk. Files are written whole and atomically, so a failed write leaves the previous file.
// Reading never fails loudly: what is missing, unreadable or of the wrong kind reads as the
// documented default. Reads may come from any thread; writes come from the main thread.
class ProgramFiles {
public:
    using Ops = std::vector<std::uint32_t>;
    using Added = ProgramManager::Added;

    // A program's dictionary; a key that is missing or of the wrong kind is empty.
    struct Dict {
        std::optional<Ops> prgm;
        std::optional<std::vector<std::string>> tags;
        std::optional<std::string> desc;
        std::optional<std::string> notes;
        std::optional<std::uint32_t> flags;
        // When the program was made; kept by every write of its file after it.
        std::optional<QDateTime> created = std::nullopt;
        bool operator==(const Dict&) const = default;
    };

    static constexpr int kMaxNameLength = 8;
    // The most opcodes a program may hold. Reading keeps every opcode a file holds, so a
    // longer program is never written back cut; writing more is refused.
    static constexpr std::size_t kMaxOps = 65535;
    // The largest program file read or written (a save of more fails). A program with what
    // an import brings fills at most about 2.5 MB (65 535 opcodes of at most 33 bytes of XML
    // each, and 64 KB of texts, escaped); a file beyond the bound was placed by hand and is
    // refused before it is read.
    static constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

    explicit ProgramFiles(QString folder);
    const QString& folder() const { return folder_; }

    // ---- Names ----

    // 1 to 8 program-name characters: a user program that may have a file.
    static bool isProgramName(std::string_view name);
    // One of the sample programs.
    static bool isSampleName(std::string_view name);
    // The program's tokens after the prgm token: A-Z, 0-9 and θ as themselves, a-z as the
    // lower-case letter tokens; other characters are dropped.
    static Ops nameOps(std::string_view name);
    // Comma-separated tags: each part trimmed of blanks (U+0020), empty parts and exact
    // repeats dropped, sorted ignoring case (parts that differ in case are both kept).
    static std::vector<std::string> tagArrayFromString(std::string_view text);
    // The tag text split at each "," as it is (setTags).
    static std::vector<std::string> tagsFromText(std::string_view text);
    // The tags joined by "," (no blanks).
    static std::string tagString(const std::vector<std::string>& tags);

    // ---- The file forms ----

    // A property list holding a dictionary; nothing for anything else.
    static std::optional<Dict> dictFromPlist(std::span<const char> bytes);
    // A property list holding a bare array of opcodes (the older form); nothing otherwise.
    static std::optional<Ops> opsFromPlistArray(std::span<const char> bytes);
    // The samples' JSON text of the same dictionary; nothing when it is no JSON object.
    static std::optional<Dict> dictFromJson(std::string_view text);
    // The XML property list of a dictionary, with the keys that are set.
    static std::string plistFor(const Dict& dict);
    // Pretty-printed JSON of a dictionary, with the keys that are set.
    static std::string jsonFor(const Dict& dict);

    // ---- Reading ----

    // 0 the user files (in name order) then the samples (in their order), 1 the user
    // files, 2 the samples; any other kind none. Files whose names are no program names
    // are not listed.
    std::vector<std::string> programListOf(int kind) const;
    // A user program's file read as a dictionary (nothing when missing, unreadable or in
    // the older form), or a sample's resource.
    std::optional<Dict> dictFor(const std::string& name) const;
    std::optional<Ops> opsFor(const std::string& name) const;
    std::string descFor(const std::string& name) const;
    std::string notesFor(const std::string& name) const;
    std::optional<std::vector<std::string>> tagsFor(const std::string& name) const;
    // The tags joined by "," (no blanks); "" when there are none.
    std::string tagStringFor(const std::string& name) const;
    std::uint32_t flagsFor(const std::string& name) const;
    // When a user program was made: its "created", or for a file without one the file's
    // own creation time; nothing when there is no file.
    std::optional<QDateTime> createdFor(const std::string& name) const;
    // A user file's "prgm", or the opcodes of a file in the older array form; nothing
    // otherwise (samples are not read here).
    std::optional<Ops> opsForProgramNamed(const std::string& name) const;
    // A user file's dictionary as the samples' JSON; nothing when there is none.
    std::optional<std::string> jsonForPrgm(const std::string& name) const;
    bool exists(const std::string& name) const;
    // A user program whose file is there but reads as missing because it is larger than
    // kMaxFileSize: larger than any program file the app writes.
    bool refused(const std::string& name) const;

    // ---- Writing (false when nothing was written) ----

    // Writes the dictionary as the user program's file, replacing any file of that name
    // (a dictionary without "created" keeps when the replaced program was made);
    // false when the file would be larger than kMaxFileSize. diskFull, when given, tells
    // whether the disk had no room for it.
    bool write(const std::string& name, const Dict& dict, bool* diskFull = nullptr) const;
    // A program file with the opcodes and empty tags, description and notes, replacing
    // any file of that name (a program imported from a calculator file). False for more
    // than kMaxOps opcodes, as for storeOps.
    bool addProgram(const std::string& name, std::span<const std::uint32_t> ops) const;
    // Replaces the opcodes of a user program, keeping its other keys (a new file when
    // there is none, or when the file is in the older form).
    bool storeOps(const std::string& name, std::span<const std::uint32_t> ops) const;
    // Change one key of an existing user file; nothing when the file is missing or no
    // dictionary. The tag text is split at each "," as it is.
    bool setDesc(const std::string& text, const std::string& name) const;
    bool setTags(const std::string& text, const std::string& name) const;
    bool setNotes(const std::string& text, const std::string& name) const;
    bool setFlags(std::uint32_t flags, const std::string& name) const;
    // A new, empty program with the form's description, notes and tag text (the tags
    // trimmed, unique and sorted); an existing program is left as it is.
    Added createProgram(const std::string& name, const std::string& desc, const std::string& notes,
        const std::string& tags) const;
    // Removes a user program's file.
    bool deleteProgram(const std::string& name) const;
    // Removes the temporary files that writes killed before they finished left in the
    // folder: only those named as a write of a program's file names them. The number
    // removed. For the launch, before anything is written.
    int removeLeftovers() const;

    // ---- Old token numbers ----

    // Moves the app's own tokens of an older version from the 0xEF page to the 0x5C
    // page in place; true when any opcode changed.
    static bool remapOps(Ops& ops);
    // Renumbers every user file; only files that changed are written.
    void updatePrograms() const;

private:
    QString path(const std::string& name) const;
    // The file's bytes; nothing when it is missing, too big or unreadable.
    std::optional<QByteArray> read(const std::string& name) const;
    // Reads a user file's dictionary, changes it and writes it back.
    template <class Change>
    bool change(const std::string& name, Change change) const;

    QString folder_;
};

} // namespace orvenda
