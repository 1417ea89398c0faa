#pragma once

#include <QByteArray>
#include <QString>

namespace orvenda {

// The app's own folder for the files it shares: each share removes the app's earlier shared
// files from it (never a folder, a link or another file, nor anything around it) and
// writes its file there. Main thread.
class ExportFolder {
public:
    explicit ExportFolder(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }
    // Makes the folder when missing and removes the app's files in it; "" when done, else
    // what went wrong. A path that is a link, or not a folder, is refused with nothing removed.
    QString clear() const;
    // Writes the file whole (a failed write leaves no part of it); its path, or "" with
    // the error told.
    QString write(const QString& fileName, const QByteArray& data, QString& error) const;

private:
    QString path_;
};

} // namespace orvenda
