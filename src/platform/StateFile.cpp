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
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <utility>
#include <thread>

#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvenda {

namespace {

std::int64_t nanoseconds(const timespec& time) { return std::int64_t(time.tv_sec) * 1000000000 + time.tv_nsec; }

std::int64_t machineClock()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// How far the clock of the file system of the state file's folder runs ahead of this
// machine's (a network folder's server keeps its own): the time it gives a file made there
// now. None when nothing can be made there.
std::int64_t folderClockAhead(const QString& path)
{
    if (const QString file = AtomicFile::target(path); !file.isEmpty()) {
        QTemporaryFile probe(AtomicFile::temporaryPrefix(file) + QStringLiteral("XXXXXX"));
        struct stat info {};
        const std::int64_t before = machineClock();
        if (probe.open() && ::fstat(probe.handle(), &info) == 0)
            return nanoseconds(info.st_ctim) - (before + machineClock()) / 2;
    }
    return 0;
}

// Whether a program holds the file open for writing, as a tool that pauses half-way keeps
// it: the system then refuses a read lease. False where it gives no leases.
bool heldOpenForWriting(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    bool held = false;
    // A lease broken while it is held is told by a signal: one that is ignored unless caught,
    // never the one that would end the app.
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::fcntl(fd, F_SETSIG, SIGURG) == 0) {
        if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0)
            ::fcntl(fd, F_SETLEASE, F_UNLCK);
        else
            held = errno == EAGAIN;
    }
    ::close(fd);
    return held;
}

} // namespace

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
    if (!settle_.now) {
        // The folder's clock, as far ahead as it was found at the last read or write.
        folderClockAhead_ = std::make_shared<std::atomic<std::int64_t>>(0);
        settle_.now = [ahead = folderClockAhead_] { return machineClock() + ahead->load(); };
    }
    if (!settle_.wait)
        settle_.wait = [](std::chrono::milliseconds time) { std::this_thread::sleep_for(time); };
}

bool StateFile::stillChanging(const Stamp& stamp) const
{
    if (!stamp.exists)
        return false;
    // The change time is the system's own, whatever time a sync tool gives the file; one
    // far ahead (the clock was put back) is not waited for. A writer that pauses longer,
    // holding the file, is still writing it.
    const std::int64_t age = settle_.now() - stamp.changed;
    return std::abs(age) < std::chrono::nanoseconds(settle_.still).count() || heldOpenForWriting(path_);
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

void StateFile::setFolderClock() const
{
    if (folderClockAhead_)
        folderClockAhead_->store(folderClockAhead(path_));
}

StateFile::Contents StateFile::read()
{
    setFolderClock();
    seenDigest_.clear();
    seenBytes_.clear();
    leftToWriter_ = false;
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
        if (stopped || waited >= settle_.longest) {
            contents.status = Status::Busy;
            // What was seen of it is its writer's: no save takes it for this app's own.
            seen_ = {};
            leftToWriter_ = true;
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

QString StateFile::writeAside(const QString& kind, const std::function<bool(int fd)>& fill, bool* diskFull) const
{
    // Written where a killed save's leftovers are looked for, so nothing hidden stays.
    return AtomicFile::writeNew(
        path_, [&](int n) { return n < kMostNames ? asideName(kind, n) : QString(); }, fill, diskFull);
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
        // A folder whose system cannot rename so: a second name, which a taken one refuses,
        // then the first one gone.
        const QByteArray to = QFile::encodeName(name);
        if (::link(from.constData(), to.constData()) == 0) {
            if (::unlink(from.constData()) == 0)
                return name;
            ::unlink(to.constData());
            return {};
        }
        if (errno != EEXIST)
            return {};
    }
    return {};
}

namespace {

// Copies a file into an open one.
bool copyInto(const QString& from, int fd)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QByteArray chunk;
    while (!(chunk = in.read(1 << 16)).isEmpty())
        if (!AtomicFile::writeAll(fd, bytesOf(chunk)))
            return false;
    return in.error() == QFileDevice::NoError;
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
        contents.keptAs = writeAside(QStringLiteral("damaged"), [this](int fd) { return copyInto(path_, fd); });
        if (!contents.keptAs.isEmpty())
            return;
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
    setFolderClock();
    Failure failure = Failure::None;
    QByteArray found;
    bool readable = true;
    Contents aside;
    switch (onDisk(found, readable)) {
    case OnDisk::Changed: {
        failure = Failure::ChangedElsewhere;
        // Kept where the user finds it, whichever file the user then keeps: a new one
        // appears whole, named, or not at all.
        bool diskFull = false;
        if (sessionCopy_.isEmpty())
            sessionKeptAs_ = sessionCopy_ = writeAside(
                QStringLiteral("session"), [bytes](int fd) { return AtomicFile::writeAll(fd, bytes); }, &diskFull);
        else
            sessionKeptAs_ = AtomicFile::writeOwn(sessionCopy_, bytes, &diskFull) ? sessionCopy_ : QString();
        sessionFailure_ = sessionKeptAs_.isEmpty() ? (diskFull ? Failure::DiskFull : Failure::Other) : Failure::None;
        break;
    }
    case OnDisk::NoArchive:
        // No calculator to keep from saving over: kept aside as the launch keeps a damaged
        // file, and the session saved in its place; never replaced without its copy.
        keepAside(found, readable, aside);
        if (aside.keptAs.isEmpty() && readable && !found.isEmpty()) {
            failure = Failure::Other;
            break;
        }
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
        leftToWriter_ = false;
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
    beingWritten_ = false;
    if (now == changed_)
        return OnDisk::Changed;
    // A copy, a touch or a sync changes what the folder says of the file, not its bytes. A
    // tool rewriting it in place may be caught between emptying and filling it: what is no
    // whole archive is read again, a moment later, before it counts as none. One found being
    // written before is its writer's until it is seen whole or standing still, looked at
    // once (a save does not wait on it).
    const bool leftBefore = std::exchange(leftToWriter_, false);
    std::chrono::milliseconds paused{0};
    for (int reread = leftBefore ? kRereads : 0;; ++reread) {
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
            const bool ownComingBack = !leftBefore && readable && !found.isEmpty() && seenBytes_.startsWith(found);
            if (!ownComingBack || paused >= settle_.still) {
                leftToWriter_ = beingWritten_ = true;
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
    // When this app kept each: its name's time (UTC), then its number within that second.
    static const QRegularExpression kName(QStringLiteral("^memorySetting\\.session-(\\d{8}-\\d{6})(?:-(\\d+))?\\.cbor$"));
    struct Kept {
        KeptSession session;
        int number = 0;
    };
    std::vector<Kept> found;
    for (const QFileInfo& info :
        QDir(folder_).entryInfoList({QStringLiteral("memorySetting.session-*.cbor")}, QDir::Files | QDir::Hidden)) {
        // Only a whole calculator is a session to go on from.
        QByteArray data;
        if (BoundedFile::read(info.filePath(), kMaxBytes, data) != BoundedFile::Result::Read || !isArchive(bytesOf(data)))
            continue;
        const QRegularExpressionMatch name = kName.match(info.fileName());
        QDateTime kept(QDate::fromString(name.captured(1).left(8), QStringLiteral("yyyyMMdd")),
            QTime::fromString(name.captured(1).mid(9), QStringLiteral("HHmmss")), Qt::UTC);
        if (!name.hasMatch() || !kept.isValid())
            kept = info.lastModified();
        found.push_back({{info.filePath(), kept,
                             QStringLiteral("%1 %2").arg(info.fileName(), QString::fromLatin1(digest(data).toHex()))},
            name.captured(2).toInt()});
    }
    std::sort(found.begin(), found.end(), [](const Kept& a, const Kept& b) {
        return a.session.saved != b.session.saved ? a.session.saved > b.session.saved : a.number > b.number;
    });
    std::vector<KeptSession> sessions;
    for (Kept& kept : found)
        sessions.push_back(std::move(kept.session));
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

void StateFile::leaveNote(const QString& text) const
{
    const QByteArray bytes = text.toUtf8();
    AtomicFile::writeOwn(QDir(folder_).filePath(QString::fromLatin1(kNoteFileName)), bytesOf(bytes));
}

QString StateFile::takeNote() const
{
    // A word to the user, never more than a few lines.
    constexpr qint64 kLongestNote = 64 * 1024;
    const QString path = QDir(folder_).filePath(QString::fromLatin1(kNoteFileName));
    QByteArray data;
    if (BoundedFile::read(path, kLongestNote, data) == BoundedFile::Result::Unreadable)
        return {};
    QFile::remove(path);
    return QString::fromUtf8(data.left(kLongestNote)).trimmed();
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

void StateFile::removeLeftovers() const
{
    AtomicFile::removeLeftovers(path_);
    // Kept sessions, damaged copies and the record of sessions named are written there too.
    AtomicFile::removeLeftovers(folder_, QStringLiteral("memorySetting.*"));
}

} // namespace orvenda
