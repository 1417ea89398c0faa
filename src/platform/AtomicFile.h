#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <span>

#include <sys/types.h>

namespace orvenda {

// A file replaced whole: written beside the old one and renamed over it only when
// complete, so a crash or a full disk leaves the previous file as it was. A name that is a
// symbolic link (a dotfiles or sync folder) stays one: the file it leads to is replaced,
// beside itself.
class AtomicFile {
public:
    // Makes the folder when missing (never the folder a link leads to); false when nothing
    // could be written, also when the file is there but may not be written (its permissions
    // are the user's word). diskFull, when given, tells whether it failed for want of room
    // on the disk.
    static bool write(const QString& path, std::span<const std::uint8_t> bytes, bool* diskFull = nullptr);
    // The app's own record: written as a plain file of its folder. A link at that name (one
    // planted in a shared or synced folder) is replaced, never followed.
    static bool writeOwn(const QString& path, std::span<const std::uint8_t> bytes, bool* diskFull = nullptr);
    // The file a write of path replaces: path itself (absolute), or where its links lead,
    // whether or not a file is there; empty when the links go round in a loop.
    static QString target(const QString& path);
    // The system's write, through which every write goes (a test stands a full disk in).
    static inline ssize_t (*systemWrite)(int fd, const void* bytes, std::size_t count) = nullptr;
    // A new file of the app's own, beside others it keeps (a copy kept aside): filled in a
    // temporary file of temporaryFor's and only then given the first name of names(0),
    // names(1), ... that no file has, so that it appears under its name whole or not at all,
    // never over a file there. The name given; empty when it could not be written (names
    // may answer empty to stop).
    static QString writeNew(const QString& temporaryFor, const std::function<QString(int)>& names,
        const std::function<bool(int fd)>& fill, bool* diskFull = nullptr);
    // Removes the temporary files that writes of path left when the process was killed
    // before they finished (one process writes path at a time), and only those: their
    // names are no name a person would choose. Beside path and beside its link's target.
    // The number removed.
    static int removeLeftovers(const QString& path);
    // The same for every file of the folder whose name matches the wildcard pattern.
    static int removeLeftovers(const QString& folder, const QString& namePattern);
    // Writes every byte to fd, through systemWrite.
    static bool writeAll(int fd, std::span<const std::uint8_t> bytes);
    // The name a write of path gives its temporary file, before its six random characters.
    static QString temporaryPrefix(const QString& path);
    // Whether the file at path, when there, may be written (opened for writing, nothing
    // changed): false for a read-only file.
    static bool fileWritable(const QString& path);

private:
    // A new hidden file of the app's own beside path, open for writing, its name in
    // temporary; -1 (errno set) when none could be made.
    static int openTemporary(const QString& path, QByteArray& temporary);
    // Writes file whole and renames it over the name replaced.
    static bool replace(const QString& file, bool followed, std::span<const std::uint8_t> bytes, bool* diskFull);
};

} // namespace orvenda
