#pragma once

#include "core/MemoryArchive.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace orvenda {

// The saved calculator between launches, the desktop's stand-in for the user default
// "memorySetting": the memory archive as one CBOR file in the data folder, replaced
// atomically so a crash while saving leaves the previous file whole. A state file that is a
// symbolic link stays one: the file it leads to is replaced.
class StateFile {
public:
    static constexpr const char* kFileName = "memorySetting.cbor";
    // Far more than the fullest calculator saves; a longer file is damaged.
    static constexpr qint64 kMaxBytes = qint64(MemoryArchive::kMaxBytes);

    enum class Status {
        Missing,
        Loaded,
        Damaged,
        // Still being written by another program when the launch stopped waiting for it (the
        // user chose not to wait, or it went on past the longest wait): left to its writer,
        // neither loaded nor kept aside, and never saved over until it is seen whole (another
        // calculator) or standing still, judged as a save judges a file it finds changed.
        Busy,
    };
    struct Contents {
        Status status = Status::Missing;
        // The archive, when loaded.
        std::vector<std::uint8_t> bytes;
        // Where a damaged file was moved or copied; empty when it could be neither.
        QString keptAs;
        // A damaged file already kept, and so reported, at an earlier launch: one that
        // could not leave the data folder and stays there.
        bool keptBefore = false;
    };

    // The longest a launch waits for a file that is being written.
    static constexpr std::chrono::seconds kLongestWait{60};
    // A file that holds no whole calculator may be one a sync tool or a download is still
    // writing in place, pausing as it goes: it is judged only once it has stood unchanged
    // this long, and no program holds it open for writing. A test stands its own clock and
    // wait in.
    struct Settle {
        std::chrono::milliseconds still{10000};
        // The clock the file system keeps the folder's change times in, in nanoseconds since
        // the epoch: by default this machine's, set by how far ahead of it a file made there
        // for a moment is stamped (a network folder's server keeps its own clock), looked at
        // once for each read and write.
        std::function<std::int64_t()> now;
        std::function<void(std::chrono::milliseconds)> wait;
        // Asked after each pause of a launch's wait: false when the user stops waiting.
        std::function<bool()> keepWaiting;
        // The longest a launch waits.
        std::chrono::milliseconds longest{kLongestWait};
    };

    // asideFolder takes a copy of a damaged file that cannot be kept in the data folder
    // (none when empty).
    explicit StateFile(const QString& dataFolder, const QString& asideFolder = QString());
    StateFile(const QString& dataFolder, const QString& asideFolder, Settle settle);

    QString path() const { return path_; }
    // The folder a save writes in: the data folder, or the one the state file's link leads to.
    QString saveFolder() const;
    // A file still being written is waited for (at most Settle::longest by the clock, or until
    // Settle::keepWaiting says no), and is Busy if it is still being written then. A file that cannot
    // be read or holds no archive is moved aside (never read again, never overwritten) and
    // reported as damaged; behind a link it is copied, and the link stays for the next save.
    // When the data folder keeps it from being moved or copied, it is copied to the aside
    // folder under a name drawn from the file, so that the same damaged file is kept, and
    // reported, once. A link that leads nowhere yet is no state.
    Contents read();
    enum class Failure {
        None,
        Other,
        // The disk had no room for it.
        DiskFull,
        // The file's bytes changed on disk since this app read or wrote it: another app
        // saved, or a backup or a sync tool put other bytes there.
        ChangedElsewhere,
    };
    // False when the file could not be written; the previous one then stays, and why,
    // when asked, tells the cause. A file whose bytes changed since this app read or wrote
    // it into another archive is never replaced, whatever guards the folder (its lock file
    // may have been removed, or two launches guarded apart): the bytes are kept instead in
    // a file of their own beside it, sessionKeptAs(). One gone, or only touched or rewritten
    // with the same bytes, is replaced; so is one that holds no whole archive and has stood
    // so for Settle::still, once kept aside as read() keeps a damaged file (one changed since
    // is left to its writer, as another archive is). written() tells what a write that went
    // through found on the way.
    bool write(std::span<const std::uint8_t> bytes, Failure* why = nullptr);
    // Where the last write refused for a change on disk kept its bytes: one file for every
    // such write of this StateFile since the file was last written, named when first
    // needed (it appears whole). Empty when it could not.
    const QString& sessionKeptAs() const { return sessionKeptAs_; }
    // Writes refused for a change on disk keep the session in this kept session (the one a
    // launch went on from), rather than in one of their own.
    void keepSessionIn(const QString& path) { sessionCopy_ = path; }
    // Why the session could not be kept beside the file (DiskFull or Other) when
    // sessionKeptAs() is empty.
    Failure sessionFailure() const { return sessionFailure_; }
    // The last write refused for a change on disk found the file still being written (a
    // sync tool, a download, a backup put back), not another whole save.
    bool beingWritten() const { return beingWritten_; }
    struct Written {
        // The file held no whole archive (emptied, zeros, unreadable): kept aside as keptAs
        // (empty when it could not be) before it was replaced.
        bool replacedNoArchive = false;
        QString keptAs;
        // The first write to the file after writes refused for a change on disk, and the
        // file those kept the session in (none when they could not): removed, or, when it
        // could not be, left there older than the file.
        bool backInFile = false;
        QString sessionCopy;
        bool sessionCopyRemoved = false;
    };
    // What the last write that went through found and did besides.
    const Written& written() const { return written_; }
    // A session kept beside the file by a write refused for a change on disk, and when this
    // app kept it (its name says: a sync tool touching the file changes its times, not that).
    struct KeptSession {
        QString path;
        QDateTime saved;
        // This file as it was saved: a session kept there anew is another.
        QString identity;
    };
    // The kept sessions no launch has named yet, the newest first: work the file may not
    // hold, whatever the files' times say (a synced file may be newer, or come from a clock
    // that runs ahead).
    std::vector<KeptSession> untoldSessions() const;
    // Every session kept beside the file that holds a calculator, the newest kept first.
    std::vector<KeptSession> keptSessions() const;
    // Records that these sessions were named, so that only a session kept since is named
    // again. A record that cannot be written leaves them to be named again.
    void markTold(const std::vector<KeptSession>& sessions) const;
    static constexpr const char* kToldFileName = "memorySetting.sessions-told";
    // A word for the next launch, kept beside the file (what the quit's save could not
    // keep, said where the user sees it).
    static constexpr const char* kNoteFileName = "memorySetting.unsaved";
    void leaveNote(const QString& text) const;
    // The word left for this launch, removed as it is read; empty when none.
    QString takeNote() const;
    enum class Writability { Writable, FolderReadOnly, FileReadOnly, LinkLoop };
    // Whether a save can replace the file: the data folder exists, or can be made, and
    // takes new files, and the file, when there, may be written; no loop of links leads
    // round to the file's own name.
    Writability writability() const;
    // Removes what saves killed before they finished left beside the file (its own, kept
    // sessions' and the records').
    void removeLeftovers() const;

    // Whether the bytes hold a memory archive: a CBOR map with an integer format version.
    static bool isArchive(std::span<const std::uint8_t> bytes);

private:
    // What the folder says of the file: which file it is and when it last changed.
    struct Stamp {
        bool exists = false;
        std::uint64_t device = 0, inode = 0;
        std::int64_t size = 0, modified = 0, changed = 0;
        bool operator==(const Stamp&) const = default;
    };
    Stamp stamp() const;
    static Stamp stampOf(const QString& path);
    // The file as a write finds it: this app's own bytes (or none), another archive, or no
    // whole archive, whose bytes (as far as they could be read) are left in found.
    enum class OnDisk { Own, Changed, NoArchive };
    OnDisk onDisk(QByteArray& found, bool& readable);
    // Changed more recently than Settle::still ago, or held open for writing by a program:
    // perhaps still being written.
    bool stillChanging(const Stamp& stamp) const;
    void keepAside(const QByteArray& data, bool readable, Contents& contents) const;
    // A new file beside the state file, of that kind, under a name drawn from the time that
    // no other app or instant took, filled whole before it appears. Empty when it could not
    // be written.
    QString writeAside(const QString& kind, const std::function<bool(int fd)>& fill, bool* diskFull = nullptr) const;
    // The file moved to such a name, never over one taken; empty when it could not be.
    QString moveAside(const QString& kind) const;
    // The nth name of that kind for the clock's second.
    QString asideName(const QString& kind, int n) const;

    // Looks again how far the folder's clock runs ahead of this machine's (unless a test
    // gave its own clock).
    void setFolderClock() const;

    QString folder_;
    QString asideFolder_;
    QString path_;
    std::shared_ptr<std::atomic<std::int64_t>> folderClockAhead_;
    Settle settle_;
    // The file as this app last read or wrote it, and a digest of its bytes.
    Stamp seen_;
    QByteArray seenDigest_;
    QByteArray seenBytes_;
    // The file as it was when last found changed on disk: not waited for again.
    Stamp changed_;
    QString sessionCopy_;
    QString sessionKeptAs_;
    Failure sessionFailure_ = Failure::None;
    bool beingWritten_ = false;
    // The file is another program's, found being written (by the launch or a save): never
    // replaced until it is seen whole or standing still.
    bool leftToWriter_ = false;
    // What writes found since the last one that went through, and what that one found.
    Written pending_;
    Written written_;
};

} // namespace orvenda
