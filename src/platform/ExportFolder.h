#pragma once

#include <QByteArray>
#include <QString>

namespace orvenda {

// The app's own folder for the files it shares: each share empties it (only it, never the
// folder around it) and writes its file there, so a request leaves only its own file.
// Main thread.
class ExportFolder {
public:
    explicit ExportFolder(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }
    // Makes the folder when missing and removes what is in it; "" when done, else what
    // went wrong.
    QString clear() const;
    // Writes the file whole (a failed write leaves no part of it); its path, or "" with
    // the error told.
    QString write(const QString& fileName, const QByteArray& data, QString& error) const;

private:
    QString path_;
};

} // namespace orvenda
