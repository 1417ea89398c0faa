#include "platform/MailComposer.h"

#include <QDir>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace orvenda {

MailComposer::MailComposer(QString exportFolder)
    : exportFolder_(std::move(exportFolder)),
      finder_([](const QString& program) { return QStandardPaths::findExecutable(program); }),
      starter_([](const QString& program, const QStringList& arguments) {
          return QProcess::startDetached(program, arguments);
      })
{
}

QStringList MailComposer::arguments(const Mail& mail, const QString& attachmentPath)
{
    QStringList args;
    if (!mail.subject.isEmpty())
        args << QStringLiteral("--subject") << mail.subject;
    if (!mail.body.isEmpty())
        args << QStringLiteral("--body") << mail.body;
    if (!attachmentPath.isEmpty())
        args << QStringLiteral("--attach") << attachmentPath;
    if (!mail.to.isEmpty())
        args << mail.to;
    return args;
}

QString MailComposer::compose(const Mail& mail)
{
    // Asked before anything is written: without a mail client there is nothing to open.
    const QString program = finder_(QStringLiteral("xdg-email"));
    if (program.isEmpty())
        return QString::fromLatin1(kNoMailService);
    QString path;
    if (!mail.attachment.isEmpty()) {
        if (!QDir().mkpath(exportFolder_))
            return QStringLiteral("The folder %1 could not be made.").arg(exportFolder_);
        QString name = mail.pdfName.isEmpty() ? QStringLiteral("attachment") : mail.pdfName;
        if (!name.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
            name += QStringLiteral(".pdf");
        path = QDir(exportFolder_).filePath(name);
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(mail.attachment) != mail.attachment.size() || !file.commit())
            return QStringLiteral("%1 could not be written: %2").arg(path, file.errorString());
    }
    if (!starter_(program, arguments(mail, path)))
        return QString::fromLatin1(kNoMailService);
    return {};
}

} // namespace orvenda
