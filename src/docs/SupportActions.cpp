#include "docs/SupportActions.h"

#include "core/Calculator.h"

namespace orvenda {

SupportActions::SupportActions(Calculator& calc) : calc_(calc) {}

MailComposer::Mail SupportActions::questionMail() const
{
    MailComposer::Mail mail;
    mail.to = QString::fromLatin1(kSupportAddress);
    mail.subject = QStringLiteral("Orvenda v%1 support question").arg(QString::fromStdString(calc_.versionString()));
    mail.body = QStringLiteral("Dear Quillon:\n My question is: <describe your question / problem here>\n\n\n\n\n"
                               "<I understand the diagnostics file below will be used strictly to diagnose the "
                               "question / problem>");
    mail.attachment = diagnosticPDF ? diagnosticPDF() : QByteArray();
    mail.pdfName = QStringLiteral("Orvenda diagnostics");
    return mail;
}

MailComposer::Mail SupportActions::bugReportMail() const
{
    MailComposer::Mail mail = questionMail();
    mail.subject = QStringLiteral("Orvenda v%1 bug report").arg(QString::fromStdString(calc_.versionString()));
    // One body wherever the bug report is asked for.
    mail.body = QStringLiteral("<describe the bug>");
    return mail;
}

void SupportActions::send(const MailComposer::Mail& mail)
{
    const QString error = compose ? compose(mail) : QString::fromLatin1(MailComposer::kNoMailService);
    if (!error.isEmpty() && tell)
        tell(error);
}

void SupportActions::mailTechSupport() { send(questionMail()); }

void SupportActions::reportBug() { send(bugReportMail()); }

bool SupportActions::online()
{
    calc_.updateNetworkStatus();
    if (calc_.internetConnectionStatus != 0)
        return true;
    calc_.showError({{"errorNum", kNoNetworkError}});
    return false;
}

void SupportActions::open(const char* address, const QString& page)
{
    if (!online())
        return;
    const QUrl url(QString::fromLatin1(address));
    // A desktop with no browser opens nothing: the user hears why nothing happened.
    if ((!openUrl || !openUrl(url)) && tell)
        tell(QStringLiteral("Nothing on this computer could open %1 (%2).").arg(page, url.toString()));
}

void SupportActions::leaveReview() { open(kReviewAddress, QStringLiteral("the review page")); }

void SupportActions::showWebPage() { open(kWebPage, QStringLiteral("the web page")); }

void SupportActions::didClickOnURL(const QUrl& url)
{
    const QString text = url.toString();
    if (text.contains(QLatin1String("mailto")))
        mailTechSupport();
    else if (text.contains(QLatin1String("review")))
        leaveReview();
    else if (openUrl)
        openUrl(url);
}

} // namespace orvenda
