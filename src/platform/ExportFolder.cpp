#include "platform/ExportFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace orvenda {

QString ExportFolder::clear() const
{
    if (path_.isEmpty() || !QDir().mkpath(path_))
        return QStringLiteral("The folder %1 could not be made.").arg(path_);
    QDir dir(path_);
    for (const QFileInfo& entry : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        const bool removed = entry.isDir() && !entry.isSymLink() ? QDir(entry.filePath()).removeRecursively()
                                                                 : QFile::remove(entry.filePath());
        if (!removed)
            return QStringLiteral("%1 could not be removed.").arg(entry.filePath());
    }
    return {};
}

QString ExportFolder::write(const QString& fileName, const QByteArray& data, QString& error) const
{
    const QString path = QDir(path_).filePath(fileName);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        error = QStringLiteral("%1 could not be written: %2").arg(path, file.errorString());
        return {};
    }
    error.clear();
    return path;
}

} // namespace orvenda
