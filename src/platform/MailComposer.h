#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace orvenda {

// The desktop's stand-in for the phone's mail composer: the desktop's mail client through
// `xdg-email`, with the attachment written into the export folder first. Main thread.
class MailComposer {
public:
    // A mail to compose; what is empty is left out of the mail.
    struct Mail {
        QString to;
        QString subject;
        QString body;
        QByteArray attachment;
        // The attachment's file name (".pdf" is added when missing).
        QString pdfName;
    };
    // Finds a program on the PATH ("" when there is none); starts it detached.
    using Finder = std::function<QString(const QString& program)>;
    using Starter = std::function<bool(const QString& program, const QStringList& arguments)>;

    static constexpr const char* kNoMailService = "no mail service";

    explicit MailComposer(QString exportFolder);
    void setFinder(Finder finder) { finder_ = std::move(finder); }
    void setStarter(Starter starter) { starter_ = std::move(starter); }

    // "" when the mail client was started, else what went wrong ("no mail service" when
    // the desktop has no mail client).
    QString compose(const Mail& mail);
    // The arguments given to xdg-email for a mail whose attachment is at that path.
    static QStringList arguments(const Mail& mail, const QString& attachmentPath);

private:
    QString exportFolder_;
    Finder finder_;
    Starter starter_;
};

} // namespace orvenda
