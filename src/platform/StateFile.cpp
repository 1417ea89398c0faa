#include "platform/StateFile.h"

#include "platform/AtomicFile.h"
#include "platform/BoundedFile.h"

#include "core/ArchiveValues.h"
#include "core/MemoryArchive.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <utility>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvenda {

StateFile::StateFile(const QString& dataFolder, const QString& asideFolder)
    : StateFile(dataFolder, asideFolder, Settle{})
{
}

StateFile::StateFile(const QString& dataFolder, const QString& asideFolder, Settle settle)
    : folder_(dataFolder)
    , asideFolder_(asideFolder)
    , path_(QDir(dataFolder).filePath(QString::fromLatin1(kFileName)))
    , settle_(std::move(settle))
{
    if (!settle_.now)
        settle_.now = [] {
            return std::int64_t(
                std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
                    .count());
        };
    if (!settle_.wait)
        settle_.wait = [](std::chrono::milliseconds time) { std::this_thread::sleep_for(time); };
}

bool StateFile::stillChanging(const Stamp& stamp) const
{
    // The change time is the system's own, whatever time a sync tool gives the file; one
    // far ahead (the clock was put back) is not waited for.
    const std::int64_t age = settle_.now() - stamp.changed;
    return stamp.exists && std::abs(age) < std::chrono::nanoseconds(settle_.still).count();
}

bool StateFile::isArchive(std::span<const std::uint8_t> bytes)
{
    const auto archive = MemoryArchive::parse(bytes);
    if (!archive)
        return false;
    auto version = archive->find("ver");
    return version != archive->end()
        && ArchiveValues::integer(*version, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

QString StateFile::saveFolder() const
{
    const QString file = AtomicFile::target(path_);
    return file.isEmpty() ? folder_ : QFileInfo(file).absolutePath();
}

StateFile::Stamp StateFile::stamp() const { return stampOf(path_); }

StateFile::Stamp StateFile::stampOf(const QString& path)
{
    // The file a link leads to: the one saves replace.
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    const auto nanoseconds = [](const timespec& time) { return std::int64_t(time.tv_sec) * 1000000000 + time.tv_nsec; };
    return {true, static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino), info.st_size,
        nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)};
}

namespace {

QByteArray digest(QByteArrayView bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256); }

std::span<const std::uint8_t> bytesOf(const QByteArray& data)
{
    return {reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())};
}

// A file emptied and filled again in place, as some sync tools and `cp` rewrite one, is read
// again this many times, the first after this long and each after twice as long as before.
constexpr int kRereads = 7;
constexpr std::chrono::milliseconds kFirstReread{10};
// A file being written is read again this often until it is whole or stands still.
constexpr std::chrono::milliseconds kSettleStep{100};
// Names tried in one second before none is taken.
constexpr int kMostNames = 1000;

} // namespace

StateFile::Contents StateFile::read()
{
    seenDigest_.clear();
    seenBytes_.clear();
    Contents contents;
    QByteArray data;
    bool readable = false;
    // The wait is bounded by the clock, reads and all, and by the pauses alone for a clock
    // that stands still.
    const std::int64_t start = settle_.now();
    std::chrono::milliseconds paused{0};
    Stamp lastRead, lastLook;
    bool stopped = false;
    for (;;) {
        seen_ = stamp();
        // A link to where no file is yet (a dotfiles folder set up before the first launch)
        // is no state yet: the first save makes it.
        if (!QFileInfo::exists(path_))
            return {};
        // Read again only once it changed: a large file coming in slowly is not read over
        // and over while it pauses.
        if (!lastRead.exists || seen_ != lastRead) {
            lastRead = seen_;
            data.clear();
            // Never more than a state can be, whatever the name points at (a device has no end).
            const BoundedFile::Result read = BoundedFile::read(path_, kMaxBytes, data);
            readable = read != BoundedFile::Result::Unreadable;
            const std::span<const std::uint8_t> bytes = bytesOf(data);
            if (read == BoundedFile::Result::Read && isArchive(bytes)) {
                seenDigest_ = digest(data);
                seenBytes_ = data;
                contents.status = Status::Loaded;
                contents.bytes.assign(bytes.begin(), bytes.end());
                return contents;
            }
        }
        // Another machine's state coming in slowly is not taken for damage: it changed a
        // moment ago, or since the last look.
        const Stamp now = stamp();
        const bool writing = stillChanging(now) || (lastLook.exists && now != lastLook);
        lastLook = now;
        if (!readable || !writing)
            break;
        const std::chrono::milliseconds waited = std::max(paused,
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::nanoseconds(settle_.now() - start)));
        if (stopped || waited >= kLongestWait) {
            contents.status = Status::Busy;
            return contents;
        }
        settle_.wait(kSettleStep);
        paused += kSettleStep;
        // One more look after the user stops waiting: the file may be whole by now.
        stopped = settle_.keepWaiting && !settle_.keepWaiting();
    }
    contents.status = Status::Damaged;
    keepAside(data, readable, contents);
    seen_ = stamp();
    return contents;
}

QString StateFile::asideName(const QString& kind, int n) const
{
    const QString stamp = QDateTime::fromMSecsSinceEpoch(settle_.now() / 1000000, Qt::UTC)
                              .toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString suffix = n == 0 ? QString() : QStringLiteral("-%1").arg(n);
    return QDir(folder_).filePath(QStringLiteral("memorySetting.%1-%2%3.cbor").arg(kind, stamp, suffix));
}

QString StateFile::reserveName(const QString& kind) const
{
    for (int n = 0; n < kMostNames; ++n) {
        const QString name = asideName(kind, n);
        // Taken, whoever made it (another app quitting in the same second), or not there.
        const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST)
            return {};
    }
    return {};
}

QString StateFile::moveAside(const QString& kind) const
{
    const QByteArray from = QFile::encodeName(path_);
    for (int n = 0; n < kMostNames; ++n) {
        const QString name = asideName(kind, n);
        // Never over a name another app or instant took.
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, QFile::encodeName(name).constData(), RENAME_NOREPLACE) == 0)
            return name;
        if (errno == EEXIST)
            continue;
        if (errno != EINVAL && errno != ENOSYS)
            return {};
        // A folder whose system cannot rename so: a name made first, then renamed over.
        const QString reserved = reserveName(kind);
        if (reserved.isEmpty())
            return {};
        if (std::rename(from.constData(), QFile::encodeName(reserved).constData()) == 0)
            return reserved;
        QFile::remove(reserved);
        return {};
    }
    return {};
}

namespace {

// Copies a file into one made for it (never through a link the name may have become).
bool copyInto(const QString& from, const QString& to)
{
    QFile in(from);
    const int fd = ::open(QFile::encodeName(to).constData(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    QFile out;
    bool copied = in.open(QIODevice::ReadOnly) && out.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
    if (!copied)
        ::close(fd);
    QByteArray chunk;
    while (copied && !(chunk = in.read(1 << 16)).isEmpty())
        copied = out.write(chunk) == chunk.size();
    return copied && in.error() == QFileDevice::NoError && out.flush();
}

} // namespace

void StateFile::keepAside(const QByteArray& data, bool readable, Contents& contents) const
{
    // A file that cannot be moved is copied; the next save then replaces the original. So is
    // a file behind a link, which stays for the next save (a link to a device is moved).
    const QFileInfo info(path_);
    const bool throughLink = info.isSymLink() && info.isFile();
    if (!throughLink) {
        contents.keptAs = moveAside(QStringLiteral("damaged"));
        if (!contents.keptAs.isEmpty())
            return;
    }
    if (readable) {
        const QString copy = reserveName(QStringLiteral("damaged"));
        if (!copy.isEmpty() && copyInto(path_, copy)) {
            contents.keptAs = copy;
            return;
        }
        if (!copy.isEmpty())
            QFile::remove(copy);
    }
    // The data folder takes nothing, so the file stays and is read again at every launch:
    // the name of its copy elsewhere tells whether it was kept (and reported) before.
    if (asideFolder_.isEmpty() || !QDir().mkpath(asideFolder_))
        return;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(info.absoluteFilePath().toUtf8());
    hash.addData(data);
    if (!readable) {
        // Nothing of it could be read: what the folder says of it tells one such file
        // from the next.
        hash.addData(QByteArray::number(info.size()));
        hash.addData(QByteArray::number(info.lastModified().toMSecsSinceEpoch()));
    }
    const QString key = QString::fromLatin1(hash.result().toHex().left(16));
    const QDir asideDir(asideFolder_);
    const QString copy = asideDir.filePath(QStringLiteral("memorySetting.damaged-%1.cbor").arg(key));
    // A file that cannot even be copied leaves a note instead, so that it is reported once.
    const QString note = asideDir.filePath(QStringLiteral("memorySetting.unreadable-%1").arg(key));
    if (QFile::exists(copy)) {
        contents.keptBefore = true;
        contents.keptAs = copy;
    } else if (readable && QFile::copy(path_, copy)) {
        contents.keptAs = copy;
    } else if (QFile::exists(note)) {
        contents.keptBefore = true;
    } else {
        QFile noteFile(note);
        if (noteFile.open(QIODevice::WriteOnly))
            noteFile.write(QFile::encodeName(info.absoluteFilePath()) + '\n');
    }
}

bool StateFile::write(std::span<const std::uint8_t> bytes, Failure* why)
{
    Failure failure = Failure::None;
    QByteArray found;
    bool readable = true;
    Contents aside;
    switch (onDisk(found, readable)) {
    case OnDisk::Changed: {
        failure = Failure::ChangedElsewhere;
        // Kept where the user finds it, whichever file the user then keeps.
        const bool reserved = sessionCopy_.isEmpty();
        if (reserved)
            sessionCopy_ = reserveName(QStringLiteral("session"));
        // No name made: the folder is full, or takes no file.
        bool diskFull = sessionCopy_.isEmpty() && (errno == ENOSPC || errno == EDQUOT);
        sessionKeptAs_ = !sessionCopy_.isEmpty() && AtomicFile::writeOwn(sessionCopy_, bytes, &diskFull)
            ? sessionCopy_
            : QString();
        sessionFailure_ = sessionKeptAs_.isEmpty() ? (diskFull ? Failure::DiskFull : Failure::Other) : Failure::None;
        // An empty name made for this write is no session: an earlier copy stays.
        if (sessionKeptAs_.isEmpty() && reserved && !sessionCopy_.isEmpty()) {
            QFile::remove(sessionCopy_);
            sessionCopy_.clear();
        }
        break;
    }
    case OnDisk::NoArchive:
        // No calculator to keep from saving over: kept aside as the launch keeps a damaged
        // file, and the session saved in its place.
        keepAside(found, readable, aside);
        pending_.replacedNoArchive = true;
        pending_.keptAs = aside.keptAs;
        [[fallthrough]];
    case OnDisk::Own: {
        bool diskFull = false;
        if (!AtomicFile::write(path_, bytes, &diskFull)) {
            failure = diskFull ? Failure::DiskFull : Failure::Other;
            break;
        }
        seen_ = stamp();
        seenBytes_ = QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        seenDigest_ = digest(seenBytes_);
        if (!sessionCopy_.isEmpty()) {
            // The session is in the file again: its copy beside it would only grow older.
            pending_.backInFile = true;
            if (QFileInfo::exists(sessionCopy_)) {
                pending_.sessionCopy = sessionCopy_;
                pending_.sessionCopyRemoved = QFile::remove(sessionCopy_);
            }
            sessionCopy_.clear();
            sessionKeptAs_.clear();
        }
        written_ = std::exchange(pending_, {});
        break;
    }
    }
    if (why)
        *why = failure;
    return failure == Failure::None;
}

StateFile::OnDisk StateFile::onDisk(QByteArray& found, bool& readable)
{
    Stamp now = stamp();
    if (now == seen_ || !now.exists)
        return OnDisk::Own;
    if (now == changed_)
        return OnDisk::Changed;
    // A copy, a touch or a sync changes what the folder says of the file, not its bytes. A
    // tool rewriting it in place may be caught between emptying and filling it: what is no
    // whole archive is read again, a moment later, before it counts as none.
    beingWritten_ = false;
    std::chrono::milliseconds paused{0};
    for (int reread = 0;; ++reread) {
        found.clear();
        const BoundedFile::Result result = BoundedFile::read(path_, kMaxBytes, found);
        readable = result != BoundedFile::Result::Unreadable;
        const bool whole = result == BoundedFile::Result::Read;
        if (whole && !seenDigest_.isEmpty() && digest(found) == seenDigest_) {
            seen_ = now;
            return OnDisk::Own;
        }
        if (whole && isArchive(bytesOf(found))) {
            changed_ = stamp();
            return OnDisk::Changed;
        }
        std::chrono::milliseconds pause = kFirstReread * (1 << std::min(reread, kRereads));
        if (reread >= kRereads) {
            if (!stillChanging(stamp()))
                return OnDisk::NoArchive;
            // A writer that pauses is not judged: its file is left to it as another's save
            // is, and looked at again by the next save. This app's own bytes coming back in
            // place (a backup put back, a copy of the same file) are waited for, as long as a
            // file is given to settle: the save then goes on as if nothing happened.
            const bool ownComingBack = readable && !found.isEmpty() && seenBytes_.startsWith(found);
            if (!ownComingBack || paused >= settle_.still) {
                beingWritten_ = true;
                return OnDisk::Changed;
            }
            pause = kSettleStep;
        }
        settle_.wait(pause);
        paused += pause;
        now = stamp();
        if (!now.exists)
            return OnDisk::Own;
    }
}

namespace {

// The record of the kept sessions named: one line for each, its identity.
QSet<QString> toldRecord(const QString& path)
{
    // The app's own record is a plain file: a link planted in its place is none.
    if (QFileInfo(path).isSymLink())
        return {};
    QByteArray data;
    if (BoundedFile::read(path, StateFile::kMaxBytes, data) != BoundedFile::Result::Read)
        return {};
    const QStringList lines = QString::fromUtf8(data).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return {lines.begin(), lines.end()};
}

} // namespace

std::vector<StateFile::KeptSession> StateFile::keptSessions() const
{
    std::vector<KeptSession> sessions;
    // Newest first.
    for (const QFileInfo& info : QDir(folder_).entryInfoList(
             {QStringLiteral("memorySetting.session-*.cbor")}, QDir::Files | QDir::Hidden, QDir::Time)) {
        const Stamp kept = stampOf(info.filePath());
        sessions.push_back({info.filePath(), info.lastModified(),
            QStringLiteral("%1 %2 %3 %4 %5")
                .arg(info.fileName())
                .arg(kept.device)
                .arg(kept.inode)
                .arg(kept.size)
                .arg(kept.modified)});
    }
    return sessions;
}

std::vector<StateFile::KeptSession> StateFile::untoldSessions() const
{
    const QSet<QString> told = toldRecord(QDir(folder_).filePath(QString::fromLatin1(kToldFileName)));
    std::vector<KeptSession> sessions = keptSessions();
    std::erase_if(sessions, [&](const KeptSession& session) { return told.contains(session.identity); });
    return sessions;
}

void StateFile::markTold(const std::vector<KeptSession>& sessions) const
{
    const QString record = QDir(folder_).filePath(QString::fromLatin1(kToldFileName));
    QSet<QString> told = toldRecord(record);
    for (const KeptSession& session : sessions)
        told.insert(session.identity);
    // Only sessions still there: the record never outgrows them.
    QByteArray lines;
    for (const KeptSession& session : keptSessions())
        if (told.contains(session.identity))
            lines += session.identity.toUtf8() + '\n';
    if (lines.isEmpty())
        QFile::remove(record);
    else
        AtomicFile::writeOwn(record, bytesOf(lines));
}

StateFile::Writability StateFile::writability() const
{
    // A link's folder is its maker's, never made here.
    const QString file = AtomicFile::target(path_);
    if (file.isEmpty())
        return Writability::LinkLoop;
    const bool linked = file != QFileInfo(path_).absoluteFilePath();
    if (linked ? !QFileInfo(QFileInfo(file).absolutePath()).isDir() : !QDir().mkpath(folder_))
        return Writability::FolderReadOnly;
    // Made and removed again (unnamed where the system allows it).
    QTemporaryFile probe(AtomicFile::temporaryPrefix(file) + QStringLiteral("XXXXXX"));
    if (!probe.open())
        return Writability::FolderReadOnly;
    return AtomicFile::fileWritable(file) ? Writability::Writable : Writability::FileReadOnly;
}

void StateFile::removeLeftovers() const { AtomicFile::removeLeftovers(path_); }

} // namespace orvenda
