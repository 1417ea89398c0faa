#include "platform/ExportFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace orvenda {

namespace {

// What shares write: listings and pages (PDF), the graph's picture (PNG), lists and
// matrices (CSV) and variable files.
bool isOwnFile(const QFileInfo& entry)
{
    static const QStringList kSuffixes{QStringLiteral("pdf"), QStringLiteral("png"), QStringLiteral("csv"),
                                       QStringLiteral("lbxDat")};
    return entry.isFile() && !entry.isSymLink() && kSuffixes.contains(entry.suffix(), Qt::CaseInsensitive);
}

} // namespace

QString ExportFolder::clear() const
{
    if (path_.isEmpty())
        return QStringLiteral("The export folder has no name.");
    const QFileInfo folder(path_);
    // A link (or anything else that is not a folder) may lead to the user's own files:
    // nothing is removed there, nor written through it.
    if (folder.isSymLink() || (folder.exists() && !folder.isDir()))
        return QStringLiteral("%1 is not a folder of its own: nothing was removed.").arg(path_);
    if (!QDir().mkpath(path_))
        return QStringLiteral("The folder %1 could not be made.").arg(path_);
    QDir dir(path_);
    for (const QFileInfo& entry : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (isOwnFile(entry) && !QFile::remove(entry.filePath()))
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
