// The desktop's mail composer: the mail client started with the mail's parts and its
// attachment written first, and "no mail service" when the desktop has no mail client.

#include "platform/ExportFolder.h"
#include "platform/MailComposer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

struct Started {
    QString program;
    QStringList arguments;
};

TEST(MailComposer, WithoutAMailClientItSaysSoAndWritesNothing)
{
    QTemporaryDir dir;
    MailComposer mail(dir.filePath(QStringLiteral("export")));
    mail.setFinder([](const QString&) { return QString(); });
    bool started = false;
    mail.setStarter([&](const QString&, const QStringList&) { return started = true; });
    MailComposer::Mail m;
    m.attachment = "%PDF";
    EXPECT_EQ(mail.compose(m), QStringLiteral("no mail service"));
    EXPECT_FALSE(started);
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("export"))).exists());
    // A client that does not start is no mail service either.
    mail.setFinder([](const QString&) { return QStringLiteral("/usr/bin/xdg-email"); });
    mail.setStarter([](const QString&, const QStringList&) { return false; });
    EXPECT_EQ(mail.compose(m), QStringLiteral("no mail service"));
}

TEST(MailComposer, StartsTheClientWithTheMailAndItsAttachment)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("export"));
    MailComposer mail(folder);
    mail.setFinder([](const QString& program) { return QStringLiteral("/usr/bin/") + program; });
    std::vector<Started> started;
    mail.setStarter([&](const QString& program, const QStringList& args) {
        started.push_back({program, args});
        return true;
    });
    MailComposer::Mail m{QStringLiteral("support@orvenda.app"), QStringLiteral("Orvenda v1 bug report"),
        QStringLiteral("<describe the bug>"), "%PDF-1.4 report", QStringLiteral("Orvenda diagnostics")};
    EXPECT_EQ(mail.compose(m), QString());
    ASSERT_EQ(started.size(), 1u);
    const QString attachment = QDir(folder).filePath(QStringLiteral("Orvenda diagnostics.pdf"));
    EXPECT_EQ(started[0].program, QStringLiteral("/usr/bin/xdg-email"));
    EXPECT_EQ(started[0].arguments,
        (QStringList{"--subject", "Orvenda v1 bug report", "--body", "<describe the bug>", "--attach", attachment,
            "support@orvenda.app"}));
    QFile written(attachment);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), m.attachment);

    // What the mail leaves out is left out of the client's arguments.
    EXPECT_EQ(MailComposer::arguments({{}, QStringLiteral("S"), {}, {}, {}}, {}), (QStringList{"--subject", "S"}));
}

TEST(ExportFolder, ClearsOnlyItsOwnContents)
{
    QTemporaryDir dir;
    QFile beside(dir.filePath(QStringLiteral("beside.txt")));
    ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
    beside.close();
    const ExportFolder folder(dir.filePath(QStringLiteral("export")));
    EXPECT_EQ(folder.clear(), QString()) << "made when missing";
    QString error;
    ASSERT_FALSE(folder.write(QStringLiteral("a.pdf"), "1", error).isEmpty());
    ASSERT_FALSE(folder.write(QStringLiteral("L1.CSV"), "1", error).isEmpty());
    ASSERT_FALSE(folder.write(QStringLiteral("VarA.lbxDat"), "1", error).isEmpty());
    ASSERT_FALSE(folder.write(QStringLiteral("Graph.png"), "1", error).isEmpty());
    // What the app never writes there stays: a folder and what it holds, another file, a link.
    QDir().mkpath(folder.path() + QStringLiteral("/sub"));
    ASSERT_FALSE(folder.write(QStringLiteral("sub/inner.pdf"), "1", error).isEmpty());
    ASSERT_FALSE(folder.write(QStringLiteral("notes.txt"), "1", error).isEmpty());
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("beside.txt")), folder.path() + QStringLiteral("/link.pdf")));
    EXPECT_EQ(folder.clear(), QString());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name),
              (QStringList{"link.pdf", "notes.txt", "sub"}));
    EXPECT_TRUE(QFile::exists(folder.path() + QStringLiteral("/sub/inner.pdf")));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("beside.txt"))));
    // A folder that cannot be made, and a file that cannot be written, are told.
    const ExportFolder blocked(dir.filePath(QStringLiteral("beside.txt")));
    EXPECT_FALSE(blocked.clear().isEmpty());
    EXPECT_TRUE(blocked.write(QStringLiteral("x"), "1", error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

// An export folder that is a link to another folder is refused, and nothing there is
// removed: neither its files (the app's kind or not) nor its sub-folders.
TEST(ExportFolder, ALinkedExportFolderIsRefusedWithNothingRemoved)
{
    QTemporaryDir dir;
    const QString elsewhere = dir.filePath(QStringLiteral("photos"));
    ASSERT_TRUE(QDir().mkpath(elsewhere + QStringLiteral("/2024")));
    for (const char* name : {"/holiday.pdf", "/list.csv", "/2024/a.pdf"}) {
        QFile file(elsewhere + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString data = dir.filePath(QStringLiteral("data"));
    ASSERT_TRUE(QDir().mkpath(data));
    ASSERT_TRUE(QFile::link(elsewhere, data + QStringLiteral("/export")));
    const ExportFolder folder(data + QStringLiteral("/export"));
    const QString error = folder.clear();
    EXPECT_NE(error.indexOf(QStringLiteral("nothing was removed")), -1) << error.toStdString();
    EXPECT_EQ(QDir(elsewhere).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{"2024", "holiday.pdf", "list.csv"}));
    EXPECT_TRUE(QFile::exists(elsewhere + QStringLiteral("/2024/a.pdf")));
}

} // namespace
} // namespace orvenda::test
