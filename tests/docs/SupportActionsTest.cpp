// The support actions: the two support mails with the diagnostics report attached, "no
// mail service" told, and the online actions reporting error 37 when offline.

#include "docs/SupportActions.h"

#include "TestSupport.h"
#include "core/Calculator.h"
#include "core/services/Reachability.h"

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

class Monitor : public Reachability {
public:
    bool startNotifier() override { return true; }
    int currentReachabilityStatus() const override { return *online; }
    std::shared_ptr<int> online = std::make_shared<int>(0);
};

class SupportActionsTest : public ::testing::Test {
protected:
    SupportActionsTest()
    {
        Reachability::setFactory([this](Target, const std::string&) -> std::shared_ptr<Reachability> {
            auto m = std::make_shared<Monitor>();
            m->online = online;
            return m;
        });
        calc.startNetworkMonitors();
        calc.viewDelegate = view;
        support.diagnosticPDF = [] { return QByteArray("%PDF diagnostics"); };
        support.compose = [this](const MailComposer::Mail& mail) {
            mails.push_back(mail);
            return composeAnswer;
        };
        support.openUrl = [this](const QUrl& url) {
            opened.push_back(url.toString());
            return true;
        };
        support.tell = [this](const QString& message) { told.push_back(message); };
    }
    ~SupportActionsTest() override { Reachability::setFactory(nullptr); }
    using Target = Reachability::Target;

    std::shared_ptr<int> online = std::make_shared<int>(0);
    Calculator calc{kUS};
    std::shared_ptr<FakeView> view = std::make_shared<FakeView>();
    SupportActions support{calc};
    std::vector<MailComposer::Mail> mails;
    std::vector<QString> opened;
    std::vector<QString> told;
    QString composeAnswer;
};

TEST_F(SupportActionsTest, TheSupportQuestionAndTheBugReportCarryTheDiagnostics)
{
    const QString version = QString::fromStdString(calc.versionString());
    support.mailTechSupport();
    support.reportBug();
    ASSERT_EQ(mails.size(), 2u);
    EXPECT_EQ(mails[0].to, QString::fromLatin1(SupportActions::kSupportAddress));
    EXPECT_EQ(mails[0].subject, QStringLiteral("Orvenda v%1 support question").arg(version));
    EXPECT_TRUE(mails[0].body.startsWith(QStringLiteral("Dear Quillon:\n My question is: ")));
    EXPECT_EQ(mails[0].attachment, "%PDF diagnostics");
    EXPECT_EQ(mails[0].pdfName, QStringLiteral("Orvenda diagnostics"));
    EXPECT_EQ(mails[1].subject, QStringLiteral("Orvenda v%1 bug report").arg(version));
    EXPECT_EQ(mails[1].body, QStringLiteral("<describe the bug>"));
    EXPECT_EQ(mails[1].attachment, mails[0].attachment);
    EXPECT_TRUE(told.empty());

    composeAnswer = QStringLiteral("no mail service");
    support.reportBug();
    EXPECT_EQ(told, std::vector<QString>{QStringLiteral("no mail service")});
}

TEST_F(SupportActionsTest, OfflineTheReviewAndTheWebPageReport37)
{
    support.leaveReview();
    support.showWebPage();
    ASSERT_EQ(view->errors.size(), 2u);
    EXPECT_EQ(view->errors[0]["errorNum"], 37);
    EXPECT_TRUE(opened.empty()) << "nothing opens offline";
    *online = 1;
    support.leaveReview();
    EXPECT_EQ(opened, std::vector<QString>{QString::fromLatin1(SupportActions::kReviewAddress)});
    EXPECT_EQ(view->errors.size(), 2u);
}

// Online, a page the desktop cannot open (no browser) is told instead of passing silently.
TEST_F(SupportActionsTest, APageNothingCanOpenIsTold)
{
    *online = 1;
    support.openUrl = [this](const QUrl& url) {
        opened.push_back(url.toString());
        return false;
    };
    support.leaveReview();
    support.showWebPage();
    EXPECT_EQ(opened.size(), 2u);
    ASSERT_EQ(told.size(), 2u);
    EXPECT_TRUE(told[0].contains(QStringLiteral("review page"))) << told[0].toStdString();
    EXPECT_TRUE(told[0].contains(QString::fromLatin1(SupportActions::kReviewAddress)));
    EXPECT_TRUE(told[1].contains(QStringLiteral("web page"))) << told[1].toStdString();
    EXPECT_TRUE(view->errors.empty());
}

TEST_F(SupportActionsTest, HelpPageLinksMailReviewOrOpen)
{
    *online = 1;
    // Both words: the support mail wins.
    support.didClickOnURL(QUrl(QStringLiteral("mailto:review@orvenda.app")));
    EXPECT_EQ(mails.size(), 1u);
    EXPECT_TRUE(opened.empty());
    support.didClickOnURL(QUrl(QStringLiteral("https://orvenda.app/review")));
    support.didClickOnURL(QUrl(QStringLiteral("https://example.org/page")));
    EXPECT_EQ(opened, (std::vector<QString>{QString::fromLatin1(SupportActions::kReviewAddress),
                          QStringLiteral("https://example.org/page")}));
}

} // namespace
} // namespace orvenda::test
