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

#include <chrono>
#include <cstdlib>
#include <limits>
#include <utility>
#include <thread>

#include <sys/stat.h>

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

} // namespace

StateFile::Contents StateFile::read()
{
    seenDigest_.clear();
    Contents contents;
    QByteArray data;
    bool readable = false;
    for (std::chrono::milliseconds waited{0};; waited += kSettleStep) {
        seen_ = stamp();
        // A link to where no file is yet (a dotfiles folder set up before the first launch)
        // is no state yet: the first save makes it.
        if (!QFileInfo::exists(path_))
            return {};
        data.clear();
        // Never more than a state can be, whatever the name points at (a device has no end).
        const BoundedFile::Result read = BoundedFile::read(path_, kMaxBytes, data);
        readable = read != BoundedFile::Result::Unreadable;
        const std::span<const std::uint8_t> bytes = bytesOf(data);
        if (read == BoundedFile::Result::Read && isArchive(bytes)) {
            seenDigest_ = digest(data);
            contents.status = Status::Loaded;
            contents.bytes.assign(bytes.begin(), bytes.end());
            return contents;
        }
        // Another machine's state coming in slowly is not taken for damage.
        if (!readable || waited >= kLongestWait || !stillChanging(stamp()))
            break;
        settle_.wait(kSettleStep);
    }
    contents.status = Status::Damaged;
    keepAside(data, readable, contents);
    seen_ = stamp();
    return contents;
}

QString StateFile::freeName(const QString& kind) const
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir dir(folder_);
    QString name;
    for (int n = 0; name.isEmpty() || QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n) {
        const QString suffix = n == 0 ? QString() : QStringLiteral("-%1").arg(n);
        name = dir.filePath(QStringLiteral("memorySetting.%1-%2%3.cbor").arg(kind, stamp, suffix));
    }
    return name;
}

void StateFile::keepAside(const QByteArray& data, bool readable, Contents& contents) const
{
    const QString aside = freeName(QStringLiteral("damaged"));
    // A file that cannot be moved is copied; the next save then replaces the original. So is
    // a file behind a link, which stays for the next save (a link to a device is moved).
    const QFileInfo info(path_);
    const bool throughLink = info.isSymLink() && info.isFile();
    if ((!throughLink && QFile::rename(path_, aside)) || (readable && QFile::copy(path_, aside))) {
        contents.keptAs = aside;
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
    Failure failure = Failure::None;
    QByteArray found;
    bool readable = true;
    Contents aside;
    switch (onDisk(found, readable)) {
    case OnDisk::Changed:
        failure = Failure::ChangedElsewhere;
        // Kept where the user finds it, whichever file the user then keeps.
        if (sessionCopy_.isEmpty())
            sessionCopy_ = freeName(QStringLiteral("session"));
        sessionKeptAs_ = AtomicFile::write(sessionCopy_, bytes) ? sessionCopy_ : QString();
        break;
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
        seenDigest_ = digest({reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())});
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
        // A writer that pauses is not judged: its file is left to it as another's save is,
        // and looked at again by the next save.
        if (reread == kRereads)
            return stillChanging(stamp()) ? OnDisk::Changed : OnDisk::NoArchive;
        settle_.wait(kFirstReread * (1 << reread));
        now = stamp();
        if (!now.exists)
            return OnDisk::Own;
    }
}

namespace {

// The record of the kept sessions named: one line for each, its identity.
QSet<QString> toldRecord(const QString& path)
{
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
        AtomicFile::write(record, bytesOf(lines));
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
