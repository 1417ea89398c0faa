#include "platform/StateFile.h"

#include "platform/AtomicFile.h"

#include "core/ArchiveValues.h"
#include "core/MemoryArchive.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <limits>

namespace orvenda {

StateFile::StateFile(const QString& dataFolder)
    : folder_(dataFolder)
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
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray data = file.readAll();
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
    contents.keptAs = keepAside();
    return contents;
}

QString StateFile::keepAside() const
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir dir(folder_);
    QString aside;
    for (int n = 0; aside.isEmpty() || QFile::exists(aside); ++n) {
        const QString suffix = n == 0 ? QString() : QStringLiteral("-%1").arg(n);
        aside = dir.filePath(QStringLiteral("memorySetting.damaged-%1%2.cbor").arg(stamp, suffix));
    }
    if (QFile::rename(path_, aside))
        return aside;
    // A file that cannot be moved is copied; the next save then replaces the original.
    return QFile::copy(path_, aside) ? aside : QString();
}

bool StateFile::write(std::span<const std::uint8_t> bytes) const { return AtomicFile::write(path_, bytes); }

} // namespace orvenda
