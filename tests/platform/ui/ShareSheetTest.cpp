// The desktop's share sheet: files saved where the user picks (or into the outbox without
// asking), texts put on the clipboard, and a copy that fails told.

#include "platform/ShareSheet.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

// Picks the place a file dialog would, without a dialog; "" cancels.
class PickingSheet : public ShareSheet {
public:
    QString target;
    QStringList asked;

protected:
    QString chooseTarget(const QString& file, const QString& subject, QWidget*) override
    {
        asked << subject + QLatin1Char(':') + file;
        return target;
    }
};

QString write(const QString& path, const QByteArray& data)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
    return path;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

TEST(ShareSheet, SavesAFileWhereThePickedPlaceIsAndNothingWhenCancelled)
{
    QTemporaryDir dir;
    const QString file = write(dir.filePath(QStringLiteral("VarA.lbxDat")), "data");
    PickingSheet sheet;
    sheet.target = dir.filePath(QStringLiteral("saved.lbxDat"));
    ShareRequest request;
    request.files << file;
    request.subject = QStringLiteral("Variables:A");
    EXPECT_EQ(sheet.share(request, nullptr), QString());
    EXPECT_EQ(readAll(sheet.target), "data");
    EXPECT_EQ(sheet.asked, QStringList{QStringLiteral("Variables:A:") + file});
    EXPECT_EQ(sheet.delivered(), QStringList{sheet.target});
    EXPECT_EQ(sheet.last().subject, request.subject);

    sheet.target.clear();
    EXPECT_EQ(sheet.share(request, nullptr), QString()) << "a cancelled dialog is no failure";
    EXPECT_TRUE(sheet.delivered().isEmpty());

    sheet.target = dir.filePath(QStringLiteral("no/such/folder/x"));
    EXPECT_FALSE(sheet.share(request, nullptr).isEmpty()) << "a failed copy is told";
}

TEST(ShareSheet, TheOutboxTakesFilesWithoutAsking)
{
    QTemporaryDir dir;
    const QString file = write(dir.filePath(QStringLiteral("MatrixAC.csv")), "1,2");
    PickingSheet sheet;
    sheet.setOutbox(dir.filePath(QStringLiteral("shared")));
    ShareRequest request;
    request.files << file;
    EXPECT_EQ(sheet.share(request, nullptr), QString());
    EXPECT_TRUE(sheet.asked.isEmpty());
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("shared/MatrixAC.csv"))), "1,2");
}

// The graph's worksheet and picture: one dialog for both, the second saved beside the
// first; one Cancel ends the request.
TEST(ShareSheet, ARequestOfTwoFilesAsksOnceAndOneCancelEndsIt)
{
    QTemporaryDir dir;
    const QString pdf = write(dir.filePath(QStringLiteral("Graph.pdf")), "pdf"), png = write(dir.filePath(QStringLiteral("Graph.png")), "png");
    QDir().mkpath(dir.filePath(QStringLiteral("out")));
    PickingSheet sheet;
    sheet.target = dir.filePath(QStringLiteral("out/sheet.pdf"));
    ShareRequest request;
    request.files << pdf << png;
    request.subject = QStringLiteral("Lumbrix Graph");
    EXPECT_EQ(sheet.share(request, nullptr), QString());
    EXPECT_EQ(sheet.asked, QStringList{QStringLiteral("Lumbrix Graph:") + pdf});
    EXPECT_EQ(sheet.delivered(), (QStringList{sheet.target, dir.filePath(QStringLiteral("out/Graph.png"))}));
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("out/Graph.png"))), "png");

    sheet.asked.clear();
    sheet.target.clear();
    EXPECT_EQ(sheet.share(request, nullptr), QString());
    EXPECT_EQ(sheet.asked.size(), 1) << "no second dialog after a Cancel";
    EXPECT_TRUE(sheet.delivered().isEmpty());
}

TEST(ShareSheet, ATextGoesOnTheClipboardWithItsHTMLOrPDF)
{
    PickingSheet sheet;
    ShareRequest request;
    request.text = QStringLiteral("1+1\n2");
    request.html = QStringLiteral("<html><p>1+1</p>");
    EXPECT_EQ(sheet.share(request, nullptr), QString());
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(data);
    EXPECT_EQ(data->text(), request.text);
    EXPECT_EQ(data->html(), request.html);
    request.html.clear();
    request.pdf = "%PDF-1.4";
    sheet.share(request, nullptr);
    EXPECT_EQ(QApplication::clipboard()->mimeData()->data(QStringLiteral("application/pdf")), request.pdf);
    EXPECT_TRUE(sheet.asked.isEmpty()) << "no dialog for a text";
}

} // namespace
} // namespace orvenda::test
