#include "platform/StateFile.h"

#include "platform/AtomicFile.h"

#include "core/ArchiveValues.h"
#include "core/MemoryArchive.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <limits>

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

StateFile::Contents StateFile::read() const
{
    QFile file(path_);
    if (!file.exists())
        return {};
    Contents contents;
    QByteArray data;
    if (file.open(QIODevice::ReadOnly)) {
        data = file.readAll();
        file.close();
        const auto* begin = reinterpret_cast<const std::uint8_t*>(data.constData());
        const std::span<const std::uint8_t> bytes(begin, static_cast<std::size_t>(data.size()));
        if (file.error() == QFileDevice::NoError && isArchive(bytes)) {
            contents.status = Status::Loaded;
            contents.bytes.assign(bytes.begin(), bytes.end());
            return contents;
        }
    }
    contents.status = Status::Damaged;
    keepAside(data, contents);
    return contents;
}

void StateFile::keepAside(const QByteArray& data, Contents& contents) const
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
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QFileInfo(path_).absoluteFilePath().toUtf8());
    hash.addData(data);
    const QString name = QStringLiteral("memorySetting.damaged-%1.cbor").arg(QString::fromLatin1(hash.result().toHex().left(16)));
    const QString copy = QDir(asideFolder_).filePath(name);
    contents.keptBefore = QFile::exists(copy);
    if (contents.keptBefore || QFile::copy(path_, copy))
        contents.keptAs = copy;
}

bool StateFile::write(std::span<const std::uint8_t> bytes) const { return AtomicFile::write(path_, bytes); }

bool StateFile::canWrite() const
{
    if (!QDir().mkpath(folder_))
        return false;
    // Made and removed again (unnamed where the system allows it).
    QTemporaryFile probe(path_ + QStringLiteral(".XXXXXX"));
    return probe.open();
}

void StateFile::removeLeftovers() const { AtomicFile::removeLeftovers(path_); }

} // namespace orvenda
