#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace orvenda {

bool AtomicFile::write(const QString& path, std::span<const std::uint8_t> bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

int AtomicFile::removeLeftovers(const QString& path)
{
    // QSaveFile writes beside the file under its name and six random characters.
    const QFileInfo info(path);
    const QDir dir = info.absoluteDir();
    int removed = 0;
    for (const QString& name : dir.entryList({info.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden))
        removed += QFile::remove(dir.filePath(name)) ? 1 : 0;
    return removed;
}

} // namespace orvenda
