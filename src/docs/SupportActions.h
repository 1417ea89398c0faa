#pragma once

#include "platform/MailComposer.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>

namespace orvenda {

class Calculator;

// The support actions of the help screens and the menus: the support question and the
// bug report as mails with the diagnostics report attached, the store's review page and
// the product's web page (both only online: error 37 otherwise), and the help pages'
// links. Main thread.
class SupportActions {
public:
    static constexpr const char* kSupportAddress = "support@orvenda.app";
    static constexpr const char* kReviewAddress = "https://orvenda.app/review?action=write-review";
    static constexpr const char* kWebPage = "https://orvenda.app";
    static constexpr int kNoNetworkError = 37;

    explicit SupportActions(Calculator& calc);

    // The diagnostics report PDF (made elsewhere); empty when there is none.
    std::function<QByteArray()> diagnosticPDF;
    // The mail composer; "" when it opened, else what went wrong.
    std::function<QString(const MailComposer::Mail& mail)> compose;
    // Opens an address on the desktop.
    std::function<bool(const QUrl& url)> openUrl;
    // Messages for the user ("no mail service", a page that could not be opened).
    std::function<void(const QString& message)> tell;

    MailComposer::Mail questionMail() const;
    MailComposer::Mail bugReportMail() const;
    void mailTechSupport();
    void reportBug();
    // Both check the network first: offline reports error 37 and opens nothing; a page
    // the desktop cannot open is told.
    void leaveReview();
    void showWebPage();
    // A help page's link: "mailto" the support mail, "review" the review page, any
    // other opened on the desktop.
    void didClickOnURL(const QUrl& url);

private:
    void send(const MailComposer::Mail& mail);
    void open(const char* address, const QString& page);
    bool online();

    Calculator& calc_;
};

} // namespace orvenda
