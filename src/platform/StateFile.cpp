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
#include <QTemporaryFile>

#include <limits>

#include <sys/stat.h>

namespace orvenda {

StateFile::StateFile(const QString& dataFolder, const QString& asideFolder)
    : folder_(dataFolder)
    , asideFolder_(asideFolder)
    , path_(QDir(dataFolder).filePath(QString::fromLatin1(kFileName)))
{
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

StateFile::Stamp StateFile::stamp() const
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path_).constData(), &info) != 0)
        return {};
    const auto nanoseconds = [](const timespec& time) { return std::int64_t(time.tv_sec) * 1000000000 + time.tv_nsec; };
    return {true, static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino), info.st_size,
        nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)};
}

namespace {

QByteArray digest(QByteArrayView bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256); }

} // namespace

StateFile::Contents StateFile::read()
{
    seen_ = stamp();
    seenDigest_.clear();
    if (!QFileInfo::exists(path_) && !QFileInfo(path_).isSymLink())
        return {};
    Contents contents;
    QByteArray data;
    // Never more than a state can be, whatever the name points at (a device has no end).
    const BoundedFile::Result read = BoundedFile::read(path_, kMaxBytes, data);
    const bool readable = read != BoundedFile::Result::Unreadable;
    if (readable) {
        const auto* begin = reinterpret_cast<const std::uint8_t*>(data.constData());
        const std::span<const std::uint8_t> bytes(begin, static_cast<std::size_t>(data.size()));
        if (read == BoundedFile::Result::Read && isArchive(bytes)) {
            seenDigest_ = digest(data);
            contents.status = Status::Loaded;
            contents.bytes.assign(bytes.begin(), bytes.end());
            return contents;
        }
    }
    contents.status = Status::Damaged;
    keepAside(data, readable, contents);
    seen_ = stamp();
    return contents;
}

void StateFile::keepAside(const QByteArray& data, bool readable, Contents& contents) const
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir dir(folder_);
    QString aside;
    for (int n = 0; aside.isEmpty() || QFile::exists(aside); ++n) {
        const QString suffix = n == 0 ? QString() : QStringLiteral("-%1").arg(n);
        aside = dir.filePath(QStringLiteral("memorySetting.damaged-%1%2.cbor").arg(stamp, suffix));
    }
    // A file that cannot be moved is copied; the next save then replaces the original.
    if (QFile::rename(path_, aside) || QFile::copy(path_, aside)) {
        contents.keptAs = aside;
        return;
    }
    // The data folder takes nothing, so the file stays and is read again at every launch:
    // the name of its copy elsewhere tells whether it was kept (and reported) before.
    if (asideFolder_.isEmpty() || !QDir().mkpath(asideFolder_))
        return;
    const QFileInfo info(path_);
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
    if (changedElsewhere()) {
        failure = Failure::ChangedElsewhere;
    } else {
        bool diskFull = false;
        if (AtomicFile::write(path_, bytes, &diskFull)) {
            seen_ = stamp();
            seenDigest_ = digest({reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())});
        } else {
            failure = diskFull ? Failure::DiskFull : Failure::Other;
        }
    }
    if (why)
        *why = failure;
    return failure == Failure::None;
}

bool StateFile::changedElsewhere()
{
    const Stamp now = stamp();
    if (now == seen_ || !now.exists)
        return false;
    // A copy, a touch or a sync changes what the folder says of the file, not its bytes.
    QByteArray data;
    if (seenDigest_.isEmpty() || BoundedFile::read(path_, kMaxBytes, data) != BoundedFile::Result::Read
        || digest(data) != seenDigest_)
        return true;
    seen_ = now;
    return false;
}

StateFile::Writability StateFile::writability() const
{
    if (!QDir().mkpath(folder_))
        return Writability::FolderReadOnly;
    // Made and removed again (unnamed where the system allows it).
    QTemporaryFile probe(AtomicFile::temporaryPrefix(path_) + QStringLiteral("XXXXXX"));
    if (!probe.open())
        return Writability::FolderReadOnly;
    return AtomicFile::fileWritable(path_) ? Writability::Writable : Writability::FileReadOnly;
}

void StateFile::removeLeftovers() const { AtomicFile::removeLeftovers(path_); }

} // namespace orvenda
