// Sharing through orvenda-drive as a user does it: SHARE ▸ Var… with A picked and sent,
// the calculator file imported again; the history shared as a PDF, read back; the SHARE
// menus pictured at the phone's and the tablet's size.

#include "DriveSession.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPdfDocument>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

using nlohmann::json;

const std::string kOpenShare = "key 0xE7\nwait idle\n";

TEST(ShareDrive, AVariableSentAsACalculatorFileComesBackWithItsValue)
{
    const auto data = driveScratch("share-var");
    const std::string sent = (data / "shared" / "VarA.lbxDat").string();
    const DriveRun run = driveScript("type 3.14159->A\nkey ENTER\nwait idle\n" + kOpenShare + "dump\nkey 4\nwait idle\n"
            "key ENTER\ndump\npress Send\nwait idle\ndump\ntype 7->A\nkey ENTER\nwait idle\nfile " + sent
            + "\nkey ENTER\ntype A\nkey ENTER\nwait idle\ndump\n",
        "--data " + data.string());
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 4u) << run.output;
    EXPECT_EQ(run.dumps[0]["menu"], 19);
    const json rows = run.dumps[0]["share"]["rows"];
    ASSERT_EQ(rows.size(), 8u) << run.dumps[0];
    EXPECT_EQ(rows[6], "History");
    EXPECT_EQ(rows[7], "Last Calculation");
    EXPECT_EQ(run.dumps[1]["menu"], 23);
    EXPECT_EQ(run.dumps[1]["share"]["title"], "SHARE:variable");
    const json& picked = run.dumps[1]["share"]["picked"];
    ASSERT_EQ(picked.size(), 1u) << run.dumps[1]["share"];
    const std::string row = picked[0];
    EXPECT_TRUE(row.starts_with("A") && row.ends_with("3.14159")) << row;
    const json& shared = run.dumps[2]["shared"];
    EXPECT_EQ(shared["subject"], "Variables:A");
    EXPECT_EQ(shared["files"], json::array({sent}));
    EXPECT_EQ(shared["text"], "A=3.14159\n");
    EXPECT_EQ(run.dumps[2]["menu"], nullptr) << "sending closes the menu";
    EXPECT_TRUE(std::filesystem::exists(sent));
    const json& back = run.dumps[3];
    EXPECT_EQ(back["files"][0]["arrived"], json::array({"variable A"}));
    EXPECT_EQ(back["ans"], "3.14159") << "7 was replaced by the shared value";
}

// SHARE ▸ List… as CSV: L₁ and L₂ arrive as "L₁L₂.csv", subscripts kept; an empty list
// sent says its dimension is invalid, not that it is too large.
TEST(ShareDrive, ListsKeepTheirSubscriptsInTheFileNameAndAnEmptyOneSaysSo)
{
    const auto data = driveScratch("share-lists");
    const std::string sent = (data / "shared" / "L₁L₂.csv").string();
    const DriveRun run = driveScript("type {1,2}->L₁\nkey ENTER\nwait idle\ntype {3,4}->L₂\nkey ENTER\nwait idle\n" + kOpenShare
            + "key 2\nwait idle\nkey RIGHT\nkey 1\nkey 2\npress Send\nwait idle\ndump\n" + kOpenShare
            + "key 2\nwait idle\nkey 3\npress Send\nwait idle\ndump\n",
        "--data " + data.string());
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 2u) << run.output;
    const json& shared = run.dumps[0]["shared"];
    EXPECT_EQ(shared["subject"], "Lists:L₁,L₂");
    EXPECT_EQ(shared["files"], json::array({sent}));
    EXPECT_TRUE(std::filesystem::exists(sent));
    EXPECT_EQ(run.dumps[0]["error"], 0);
    EXPECT_EQ(run.dumps[1]["error"], 24);
    ASSERT_EQ(run.dumps[1]["alerts"].size(), 1u);
    EXPECT_EQ(run.dumps[1]["alerts"][0]["message"], "Invalid dimension");
}

TEST(ShareDrive, TheHistorysPDFHoldsEveryItem)
{
    const auto data = driveScratch("share-history");
    const DriveRun run = driveScript("type 11+1\nkey ENTER\nwait idle\ntype 22+2\nkey ENTER\nwait idle\ntype 33+3\n"
            "key ENTER\nwait idle\n" + kOpenShare + "key 7\nwait idle\ndump\n",
        "--data " + data.string());
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 1u) << run.output;
    const json& dump = run.dumps[0];
    EXPECT_EQ(dump["shared"]["subject"], "Lumbrix history");
    ASSERT_EQ(dump["shared"]["files"].size(), 1u) << dump;
    QFile file(QString::fromStdString(dump["shared"]["files"][0].get<std::string>()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QBuffer buffer;
    buffer.setData(file.readAll());
    buffer.open(QIODevice::ReadOnly);
    QPdfDocument pdf;
    pdf.load(&buffer);
    ASSERT_EQ(pdf.pageCount(), 1);
    // MathPrint glyphs read back one a line: only the characters count.
    QString text = pdf.getAllText(0).text();
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    std::size_t found = 0;
    for (const json& item : dump["history"]) {
        const QString input = QString::fromStdString(item["input"].get<std::string>());
        found += text.contains(input);
        EXPECT_TRUE(text.contains(input)) << input.toStdString() << " in " << text.toStdString();
    }
    EXPECT_EQ(dump["history"].size(), 3u);
    EXPECT_EQ(found, dump["history"].size()) << "as many entries as the history";
}

// SHARE ▸ Last Calculation with nothing in the history shares nothing and gives the home
// screen back: 1+1 entered next shows on the display, which is not left black.
TEST(ShareDrive, TheLastCalculationOfAnEmptyHistoryGivesTheDisplayBack)
{
    const auto shot = driveScratch("share-nothing.png");
    const DriveRun run = driveScript(kOpenShare + "key 8\nwait idle\ntype 1+1\nkey ENTER\nwait idle\ndump\nshot " + shot.string() + "\n");
    ASSERT_TRUE(endedWithDumps(run, 1));
    EXPECT_FALSE(run.dumps[0].contains("shared"));
    EXPECT_EQ(run.dumps[0]["top"]["id"], 0);
    const QImage display = QImage(QString::fromStdString(shot.string())).copy(0, 0, 390, run.dumps[0]["keyboard"]["rect"][1].get<int>());
    EXPECT_GT(qGray(display.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0)), 100) << "drawn, not black";
}

// Every SHARE menu that collects a selection, sent with nothing, one and two rows picked:
// nothing picked shares nothing and gives the home screen back (what is typed next shows
// there); a pick is shared under the subject that names it, a program's listing included.
TEST(ShareDrive, EveryShareKindWithNoneOneAndTwoPicked)
{
    struct Kind {
        int row;
        std::string tab, one, two;
    };
    // AA and AB sort before the sample programs.
    const std::vector<Kind> kinds{{1, "", "Programs:AA", "Programs:AA,AB"}, {1, "key RIGHT\nwait idle\n", "Programs:AA", "Programs:AA,AB"},
        {2, "", "Lists:L₁", "Lists:L₁,L₂"}, {3, "", "Matrix:A", "Matrix:A,B"}, {4, "", "Variables:A", "Variables:A,B"},
        {5, "", "Y₁", "Y₁,Y₂"}, {6, "", "Strings:1", "Strings:1,2"}};
    std::string script = "program AA\nDisp 1\nend\nprogram AB\nDisp 2\nend\n";
    for (const char* line : {"{1,2}->L₁", "{3}->L₂", "[[1]]->[A]", "[[2]]->[B]", "1->A", "2->B", "\"X\"->Y₁", "\"2X\"->Y₂", "\"S\"->Str1",
             "\"T\"->Str2"})
        script += std::string("type ") + line + "\nkey ENTER\nwait idle\n";
    // Nothing picked first: no share has been made yet.
    for (int picks = 0; picks <= 2; ++picks)
        for (const Kind& kind : kinds) {
            script += kOpenShare + "key " + std::to_string(kind.row) + "\nwait idle\n" + kind.tab;
            for (int k = 1; k <= picks; ++k)
                script += "key " + std::to_string(k) + "\n";
            script += "press Send\nwait idle\ntype 5\ndump\nkey CLEAR\n";
        }
    const DriveRun run = driveScript(script, "--data " + driveScratch("share-every").string());
    ASSERT_TRUE(endedWithDumps(run, 3 * kinds.size()));
    for (std::size_t n = 0; n < run.dumps.size(); ++n) {
        const json& dump = run.dumps[n];
        const Kind& kind = kinds[n % kinds.size()];
        const std::size_t picks = n / kinds.size();
        const std::string name = "row " + std::to_string(kind.row) + kind.tab + ", " + std::to_string(picks) + " picked";
        EXPECT_EQ(dump["top"]["id"], 0) << name << ": the home screen in front";
        EXPECT_EQ(dump["menu"], nullptr) << name;
        EXPECT_EQ(dump["entry"], "5") << name << ": typed on the home line";
        if (picks == 0)
            EXPECT_FALSE(dump.contains("shared")) << name;
        else
            EXPECT_EQ(dump["shared"]["subject"], picks == 1 ? kind.one : kind.two) << name;
    }
    EXPECT_TRUE(run.dumps[2 * kinds.size() + 1]["shared"]["files"][0].get<std::string>().ends_with("AA.pdf"));
}

// The documents made on their own program manager reach the share sheet: a program picked
// under SHARE ▸ Prgm… with the PDF tab, and the graph screen's Share.
TEST(ShareDrive, AProgramsListingAndTheGraphLeaveAsPDFs)
{
    const auto data = driveScratch("share-pdfs");
    const DriveRun run = driveScript("program ABC\nDisp 12345\nend\n" + kOpenShare + "key 1\nwait idle\nkey RIGHT\nwait idle\n"
            "key ENTER\npress Send\nwait idle\ndump\nkey GRAPH\nwait idle\npress Share\nwait idle\ndump\n",
        "--data " + data.string());
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 2u) << run.output;
    const auto readBack = [](const json& shared, QPdfDocument& pdf, QBuffer& buffer) {
        ASSERT_FALSE(shared["files"].empty()) << shared;
        QFile file(QString::fromStdString(shared["files"][0].get<std::string>()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        buffer.setData(file.readAll());
        buffer.open(QIODevice::ReadOnly);
        pdf.load(&buffer);
    };
    const json& program = run.dumps[0]["shared"];
    EXPECT_EQ(program["subject"], "Programs:ABC");
    QBuffer listingBytes;
    QPdfDocument listing;
    readBack(program, listing, listingBytes);
    ASSERT_EQ(listing.pageCount(), 1);
    EXPECT_TRUE(listing.getAllText(0).text().contains(QStringLiteral("12345"))) << listing.getAllText(0).text().toStdString();
    const json& graph = run.dumps[1]["shared"];
    EXPECT_EQ(graph["subject"], "Lumbrix Graph");
    QBuffer sheetBytes;
    QPdfDocument sheet;
    readBack(graph, sheet, sheetBytes);
    EXPECT_EQ(sheet.pageCount(), 1);
}

class GraphShare : public ::testing::TestWithParam<const char*> {};

// The graph screen's Share hands the share sheet two files: the worksheet and the picture
// of the screen above its bar, as the window shows it.
TEST_P(GraphShare, TheWorksheetAndAPictureOfTheScreenLeave)
{
    const std::string device = GetParam();
    const auto data = driveScratch("share-graph-" + device), shot = driveScratch("share-graph-" + device + ".png");
    const DriveRun run = driveScript("key Y=\ntype X²\nkey GRAPH\nwait idle\npress Share\nwait idle\ndump\nshot " + shot.string() + "\n",
        "--data " + data.string() + " --device " + device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 1u) << run.output;
    const json& shared = run.dumps[0]["shared"];
    EXPECT_EQ(shared["files"], json::array({(data / "shared" / "Graph.pdf").string(), (data / "shared" / "Graph.png").string()}));
    const QImage picture(QString::fromStdString(shared["files"][1].get<std::string>())), window(QString::fromStdString(shot.string()));
    ASSERT_FALSE(picture.isNull()) << device;
    const json& graph = run.dumps[0]["graph"];
    EXPECT_EQ(picture.size(), QSize(graph[2].get<int>(), graph[3].get<int>())) << device << ": the screen less its bar";
    int differ = 0;
    for (int y = 0; y < picture.height(); y += 2)
        for (int x = 0; x < picture.width(); x += 2)
            differ += picture.pixel(x, y) != window.pixel(x, y);
    EXPECT_LT(differ, picture.width() * picture.height() / 400) << device << ": as the window shows it";
}

INSTANTIATE_TEST_SUITE_P(Devices, GraphShare, ::testing::Values("phone", "tablet"));

class ShareMenuPictures : public ::testing::TestWithParam<const char*> {};

// SHARE and SHARE ▸ Var… as the window shows them: the menu covers display and keyboard,
// and picking a row changes the picture.
TEST_P(ShareMenuPictures, TheShareMenus)
{
    const std::string device = GetParam();
    const auto share = driveScratch("share-" + device + ".png"), vars = driveScratch("share-vars-" + device + ".png"),
               picked = driveScratch("share-picked-" + device + ".png");
    const DriveRun run = driveScript(kOpenShare + "shot " + share.string() + "\nkey 4\nwait idle\nshot " + vars.string()
            + "\nkey ENTER\nshot " + picked.string() + "\ndump\n",
        "--device " + device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const QImage a(QString::fromStdString(share.string())), b(QString::fromStdString(vars.string())),
        c(QString::fromStdString(picked.string()));
    ASSERT_FALSE(a.isNull());
    EXPECT_EQ(a.size(), device == std::string("tablet") ? QSize(768, 1024) : QSize(390, 844));
    ASSERT_EQ(a.size(), b.size());
    ASSERT_EQ(b.size(), c.size());
    int differ = 0;
    for (int y = 0; y < b.height(); y += 2)
        for (int x = 0; x < b.width(); x += 2)
            differ += b.pixel(x, y) != c.pixel(x, y);
    EXPECT_GT(differ, 50) << "the picked row is marked";
    EXPECT_EQ(run.dumps.back()["share"]["picked"].size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Devices, ShareMenuPictures, ::testing::Values("phone", "tablet"));

} // namespace
} // namespace orvenda::test
