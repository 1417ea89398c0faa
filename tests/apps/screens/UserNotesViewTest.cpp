// A program's notes page over the real program files: the notes rendered in the light look
// and drawn, finished HTML shown as it is, the file's dates, and saving through the
// manager that has the program open, so the editor never writes an older copy back.

#include "programs/ProgramTestSupport.h"

#include "apps/UserNotesInfoView.h"
#include "apps/UserNotesView.h"
#include "programs/NotesDocument.h"
#include "programs/NotesHtml.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextFrame>
#include <QTextList>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QApplication>
#include <QScrollBar>
#include <QTextBrowser>

#include <sys/stat.h>

namespace orvenda::test {
namespace {

class UserNotesViewTest : public ProgramModelTest {
protected:
    UserNotesViewTest()
    {
        page.resize(390, 600);
        page.show();
    }
    void store(const std::string& name, const std::string& text, const std::string& notes)
    {
        ASSERT_TRUE(model->storeProgram(name, programOps(text)));
        ASSERT_TRUE(files->setNotes(notes, name));
    }
    void typeNotes(const QString& text)
    {
        page.allowEditing(true, false);
        page.textView().setPlainText(text);
    }

    UserNotesView page{calc, files};
};

TEST_F(UserNotesViewTest, ShowsTheNotesAsAFramedScreenAndSwitchesToEditing)
{
    store("SUM", "Disp 1\n", "Adds two & three\n<screenShot>\n2+3\n5\n</screenShot>\nThat is all");
    files->setDesc("Adds", "SUM");
    page.setProgramName("SUM");
    EXPECT_FALSE(page.editing());
    EXPECT_TRUE(page.textView().isHidden());
    EXPECT_FALSE(page.webView().isHidden());
    const std::string expected = NotesHtml::adjustScale(
        NotesHtml::htmlForNote("Adds two & three\n<screenShot>\n2+3\n5\n</screenShot>\nThat is all", false), false);
    EXPECT_EQ(page.shownHtml().toStdString(), expected);
    EXPECT_TRUE(page.webView().toPlainText().contains(QStringLiteral("Adds two & three")));
    EXPECT_TRUE(page.webView().toPlainText().contains(QStringLiteral("2+3")));
    EXPECT_EQ(page.descField().text(), "Adds");
    // The panel is out of sight while reading, on top while editing.
    EXPECT_LT(page.infoPanel().geometry().bottom(), 0);
    page.allowEditing(true, false);
    EXPECT_TRUE(page.editing());
    EXPECT_EQ(page.infoPanel().y(), 0);
    EXPECT_EQ(page.textView().y(), page.infoPanel().height());
    EXPECT_FALSE(page.textView().isHidden());
    EXPECT_EQ(page.infoView().lines().size(), 2);
    EXPECT_TRUE(page.infoView().lines()[0].startsWith(QStringLiteral("Created: ")));
    EXPECT_TRUE(page.infoView().lines()[1].startsWith(QStringLiteral("Modifed: ")));
    // The panel's dates and labels read on its background, whatever the menu's colours.
    QPalette dark = page.palette();
    dark.setColor(QPalette::Window, Qt::black);
    dark.setColor(QPalette::WindowText, Qt::black);
    page.setPalette(dark);
    const QImage panel = page.infoPanel().grab().toImage();
    const QColor ground = panel.pixelColor(panel.width() - 2, 2);
    int ink = 0;
    for (int y = 0; y < panel.height(); ++y)
        for (int x = 0; x < panel.width() / 3; ++x)
            ink += std::abs(panel.pixelColor(x, y).lightness() - ground.lightness()) > 100;
    EXPECT_GT(ink, 100);
}

// "Created:" tells when the program was made, which its file keeps: after the page saves
// its notes, the editor saves its lines and the tags change, and on the next launch's page,
// it is the day the file says, not the time of the last save.
TEST_F(UserNotesViewTest, CreatedIsWhenTheProgramWasMadeAcrossSavesAndLaunches)
{
    QDir().mkpath(files->folder());
    QFile file(path("MADE"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
               "<key>prgm</key><array><integer>65</integer></array><key>notes</key><string>old</string>"
               "<key>created</key><date>2020-01-02T03:04:05Z</date></dict></plist>\n");
    file.close();
    const QDateTime made = QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5), Qt::UTC).toLocalTime();
    const QLocale locale;
    const QString created = QStringLiteral("Created: ") + locale.toString(made.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + locale.toString(made.time(), QLocale::ShortFormat);
    page.setProgramName("MADE");
    ASSERT_EQ(page.infoView().lines().size(), 2);
    EXPECT_EQ(page.infoView().lines()[0], created);
    typeNotes(QStringLiteral("new notes"));
    page.done();
    model->loadProgram("MADE");
    model->addOpcode(0x31, true);
    model->saveProgram();
    ASSERT_TRUE(files->setTags("a,b", "MADE"));
    EXPECT_EQ(files->notesFor("MADE"), "new notes");
    page.setProgramName("MADE");
    EXPECT_EQ(page.infoView().lines()[0], created);
    UserNotesView next(calc, std::make_shared<ProgramFiles>(files->folder()));
    next.setProgramName("MADE");
    EXPECT_EQ(next.infoView().lines()[0], created) << "the next launch";
}

// Long notes open at their top, read or edited, the first time and after another page was
// scrolled down; a long description and tags read from their start.
TEST_F(UserNotesViewTest, LongNotesOpenAtTheirTop)
{
    std::string notes;
    for (int i = 0; i < 120; ++i)
        notes += "Line " + std::to_string(i) + (i % 30 == 10 ? "\n<screenShot>\n2+3\n5\n</screenShot>\n" : "\n");
    const std::string longText = "Length of the graph of a function between two x values, found with fnInt(";
    store("LONGA", "Disp 1\n", notes);
    store("LONGB", "Disp 2\n", notes);
    for (const char* name : {"LONGA", "LONGB"}) {
        files->setDesc(longText, name);
        files->setTags(longText, name);
        page.setProgramName(name);
        QApplication::processEvents();
        EXPECT_GT(page.webView().verticalScrollBar()->maximum(), 0) << name;
        EXPECT_EQ(page.webView().verticalScrollBar()->value(), 0) << name << ": the notes read from their top";
        page.allowEditing(true, false);
        QApplication::processEvents();
        EXPECT_EQ(page.textView().verticalScrollBar()->value(), 0) << name << ": and are edited from it";
        for (const QLineEdit* field : {&page.descField(), &page.tagField()})
            EXPECT_EQ(field->cursorPosition(), 0) << name << ": " << field->text().toStdString();
        // Read down to the end, for the next page.
        page.textView().verticalScrollBar()->setValue(page.textView().verticalScrollBar()->maximum());
        page.allowEditing(false, false);
        page.webView().verticalScrollBar()->setValue(page.webView().verticalScrollBar()->maximum());
    }
}

TEST_F(UserNotesViewTest, FinishedHtmlIsShownAsItIsAndASampleHasNoDates)
{
    store("PAGE", "Disp 1\n", "<html><body><b>Bold</b> words</body></html>");
    page.setProgramName("PAGE");
    EXPECT_EQ(page.shownHtml(), QStringLiteral("<meta name = \"viewport\" content = \"initial-scale = 1.0\">"
                                               "<html><body><b>Bold</b> words</body></html>"));
    EXPECT_TRUE(page.webView().toPlainText().contains(QStringLiteral("Bold words")));
    const std::vector<std::string> samples = files->programListOf(2);
    ASSERT_FALSE(samples.empty());
    page.setProgramName(samples.front());
    EXPECT_TRUE(page.infoView().lines().isEmpty());
}

TEST_F(UserNotesViewTest, NotesOfTheEditorsProgramAreSavedThroughTheEditor)
{
    store("OPEN", "Disp 1\n", "old");
    model->loadProgram("OPEN");
    page.setProgramName("OPEN");
    typeNotes(QStringLiteral("new notes"));
    page.tagField().setText(QStringLiteral("b, a"));
    page.done();
    EXPECT_EQ(model->programNotes(), "new notes");
    EXPECT_EQ(files->notesFor("OPEN"), "new notes");
    // The editor's next save keeps them: it holds them.
    model->setPrgmEditCursor(0);
    model->addOpcode('A', true);
    model->saveProgram();
    EXPECT_EQ(files->notesFor("OPEN"), "new notes");
    EXPECT_EQ(files->tagStringFor("OPEN"), "a,b");
    EXPECT_EQ(files->opsFor("OPEN")->front(), static_cast<std::uint32_t>('A'));
}

TEST_F(UserNotesViewTest, NotesOfAnotherProgramAreSavedOverWhatTheFileHoldsNow)
{
    store("SHUT", "Disp 1\n", "old");
    model->loadProgram("SHUT");
    page.setProgramName("SHUT");
    // The editor changes the program and leaves it while the page is open.
    model->setPrgmEditCursor(0);
    model->addOpcode('B', true);
    model->loadProgram("OTHER");
    const auto edited = files->opsFor("SHUT");
    typeNotes(QStringLiteral("kept"));
    page.done();
    EXPECT_EQ(files->notesFor("SHUT"), "kept");
    EXPECT_EQ(files->opsFor("SHUT"), edited);
    EXPECT_EQ(model->programName(), "OTHER");
    // Nothing written for a program that may not be changed.
    ASSERT_TRUE(files->setFlags(ProgramManager::kProtected, "SHUT"));
    page.setProgramName("SHUT");
    typeNotes(QStringLiteral("refused"));
    page.done();
    EXPECT_EQ(files->notesFor("SHUT"), "kept");
}

// The box of a screen block: where its fill is, and whether a line of the ink colour runs
// round it.
bool framedIn(const QImage& picture, const QColor& fill, const QColor& ink)
{
    QRect box;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixelColor(x, y) == fill)
                box |= QRect(x, y, 1, 1);
    if (box.width() < 100 || box.height() < 10)
        return false;
    const auto inked = [&](int x, int y) {
        const QColor c = picture.pixelColor(x, y);
        return std::abs(c.lightness() - ink.lightness()) < 60;
    };
    int edges = 0;
    for (int x = box.left() + 4; x < box.right() - 4; ++x)
        edges += inked(x, box.top() - 1) && inked(x, box.bottom() + 1);
    for (int y = box.top() + 2; y < box.bottom() - 2; ++y)
        edges += inked(box.left() - 1, y) && inked(box.right() + 1, y);
    return edges >= (box.width() - 10) + (box.height() - 6) - 4;
}

TEST_F(UserNotesViewTest, TheScreenBoxIsFramedInTheLightAndTheDarkLookAtBothSizes)
{
    store("FRAME", "Disp 1\n", "Before\n<screenShot>\n2+3\n           5\n</screenShot>\nAfter");
    for (const QSize size : {QSize(390, 600), QSize(768, 900)}) {
        page.resize(size);
        page.setProgramName("FRAME");
        EXPECT_TRUE(framedIn(page.webView().viewport()->grab().toImage(), QColor(0xC3, 0xD6, 0xB1), Qt::black))
            << size.width();
        QPalette dark = QGuiApplication::palette();
        dark.setColor(QPalette::Window, Qt::black);
        QGuiApplication::setPalette(dark);
        page.setProgramName("FRAME");
        QGuiApplication::setPalette(QPalette());
        EXPECT_TRUE(framedIn(page.webView().viewport()->grab().toImage(), QColor(0x32, 0x59, 0x30), Qt::white))
            << size.width();
    }
}

TEST_F(UserNotesViewTest, TheScreenBoxIsDrawnInItsGreen)
{
    store("BOX", "Disp 1\n", "<screenShot>\nA = 1\n</screenShot>");
    page.setProgramName("BOX");
    const QImage picture = page.webView().viewport()->grab().toImage();
    int green = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            green += picture.pixelColor(x, y) == QColor(0xC3, 0xD6, 0xB1);
    EXPECT_GT(green, 100);
}

int frameDepth(const QTextFrame& frame)
{
    int deepest = 0;
    for (const QTextFrame* child : frame.childFrames())
        deepest = std::max(deepest, frameDepth(*child));
    return deepest + 1;
}

int deepestList(const QTextDocument& document)
{
    int deepest = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (const QTextList* list = block.textList())
            deepest = std::max(deepest, list->format().indent());
    return deepest;
}

TEST_F(UserNotesViewTest, ThePageLoadsNothingItsHtmlNames)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Even a picture that reads well stays unread.
    const QString png = dir.filePath(QStringLiteral("red.png"));
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(png));
    const std::string html = "<html><head><link rel=\"stylesheet\" href=\"file://" + fifo.toStdString()
        + "\"></head><body>seen<img src=\"file:///dev/zero\"><img src=\"file://" + fifo.toStdString() + "\"><img src=\""
        + png.toStdString() + "\" width=60 height=60><img src=\"http://127.0.0.1:9/x.png\"></body></html>";
    store("LINKS", "Disp 1\n", html);
    page.setProgramName("LINKS");
    EXPECT_TRUE(page.webView().toPlainText().contains(QStringLiteral("seen")));
    EXPECT_GE(page.notesDocument().refused(), 4);
    EXPECT_EQ(page.webView().document()->resource(QTextDocument::ImageResource, QUrl::fromLocalFile(png)).value<QImage>().size(),
        QSize(1, 1));
    const QImage picture = page.webView().viewport()->grab().toImage();
    int reds = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            reds += picture.pixelColor(x, y) == QColor(Qt::red);
    EXPECT_EQ(reds, 0);
}

TEST_F(UserNotesViewTest, DeepNestingAndHugeLinesOpenBoundedAndAreKeptWhole)
{
    const auto repeated = [](const std::string& part, int times) {
        std::string out;
        for (int i = 0; i < times; ++i)
            out += part;
        return out;
    };
    store("TABLES", "Disp 1\n", "<html>" + repeated("<table><tr><td>", 3000) + "deep</html>");
    page.setProgramName("TABLES");
    EXPECT_TRUE(page.webView().toPlainText().contains(QStringLiteral("deep")));
    EXPECT_LE(frameDepth(*page.webView().document()->rootFrame()), NotesHtml::kMaxTables + 1);
    store("LISTS", "Disp 1\n", "<html>" + repeated("<ul><li>", 20000) + "x</html>");
    page.setProgramName("LISTS");
    EXPECT_GE(deepestList(*page.webView().document()), 2);
    EXPECT_LE(deepestList(*page.webView().document()), NotesHtml::kMaxDepth);
    // One 200 KB line of notes: the page shows its start, the file and the editor keep it all.
    const std::string line(200000, 'x');
    store("LINE", "Disp 1\n", line);
    page.setProgramName("LINE");
    EXPECT_LE(page.webView().document()->characterCount(), static_cast<int>(NotesHtml::kMaxBytes));
    EXPECT_TRUE(page.webView().toPlainText().startsWith(QStringLiteral("xxxx")));
    page.allowEditing(true, false);
    EXPECT_EQ(page.textView().wordWrapMode(), QTextOption::WrapAnywhere);
    EXPECT_EQ(page.notesText().size(), 200000);
    page.done();
    EXPECT_EQ(files->notesFor("LINE"), line);
    // Ordinary notes still wrap at words.
    store("WORDS", "Disp 1\n", "a few words");
    page.setProgramName("WORDS");
    EXPECT_EQ(page.textView().wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

} // namespace
} // namespace orvenda::test
