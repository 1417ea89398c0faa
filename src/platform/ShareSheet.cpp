#include "platform/ShareSheet.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QSaveFile>
#include <QStandardPaths>

namespace orvenda {

QString ShareSheet::share(const ShareRequest& request, QWidget* parent)
{
    last_ = request;
    delivered_.clear();
    if (request.files.isEmpty()) {
        auto* data = new QMimeData;
        if (!request.text.isEmpty())
            data->setText(request.text);
        if (!request.html.isEmpty())
            data->setHtml(request.html);
        if (!request.pdf.isEmpty())
            data->setData(QStringLiteral("application/pdf"), request.pdf);
        QApplication::clipboard()->setMimeData(data);
        return {};
    }
    // One dialog for the whole request: its first file goes where the user picks, the
    // others beside it under their own names, and one Cancel ends it.
    QString folder = outbox_;
    for (const QString& file : request.files) {
        QString target;
        if (folder.isEmpty()) {
            target = chooseTarget(file, request.subject, parent);
            if (target.isEmpty())
                return {};
            folder = QFileInfo(target).absolutePath();
        } else {
            target = QDir(folder).filePath(QFileInfo(file).fileName());
        }
        if (!outbox_.isEmpty() && !QDir().mkpath(outbox_))
            return QStringLiteral("The folder %1 could not be made.").arg(outbox_);
        const QString error = copyFile(file, target);
        if (!error.isEmpty())
            return error;
        delivered_ << target;
    }
    return {};
}

QString ShareSheet::chooseTarget(const QString& file, const QString& subject, QWidget* parent)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileDialog::getSaveFileName(parent, subject, QDir(documents).filePath(QFileInfo(file).fileName()));
}

QString ShareSheet::copyFile(const QString& from, const QString& to) const
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 could not be read: %2").arg(from, source.errorString());
    const QByteArray bytes = source.readAll();
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly) || target.write(bytes) != bytes.size() || !target.commit())
        return QStringLiteral("%1 could not be written: %2").arg(to, target.errorString());
    return {};
}

} // namespace orvenda
