// The program listing document read back with Qt PDF: the paper's geometry, lines per page,
// the unnumbered first page, the notes pages before the listing, and the editor's program
// left as it was.

#include "programs/ProgramTestSupport.h"
#include "PdfReadBack.h"

#include "drawing/DrawString.h"
#include "programs/ProgramListingPDF.h"

#include <QImage>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

using Read = PdfReadBack;
Read read(const QByteArray& pdf) { return readPdf(pdf); }

std::string statements(int n)
{
    std::string text;
    for (int i = 0; i < n; ++i)
        text += (i > 0 ? "\nDisp " : "Disp ") + std::to_string(i);
    return text;
}

class ProgramListingPDFTest : public ProgramModelTest {
protected:
    ProgramListingPDFTest() { calc.pdfPageSize = 0; }
    void store(const std::string& name, const std::string& text, const std::string& notes = {})
    {
        ASSERT_TRUE(model->storeProgram(name, programOps(text)));
        if (!notes.empty()) {
            ASSERT_TRUE(files->setNotes(notes, name));
        }
    }
    ProgramListingPDF listing{calc, files};
};

TEST_F(ProgramListingPDFTest, AFourPagesHoldSeventyThreeLinesAndALoneOneSeventyFour)
{
    store("LONG", statements(74));
    ASSERT_TRUE(listing.load("LONG"));
    const QRectF content = listing.contentRect(false);
    EXPECT_EQ(content, QRectF(36, 56, 595 - 72, 841 - 104));
    EXPECT_EQ(listing.linesPerPage(content), 73);
    EXPECT_EQ(listing.linesPerPage(listing.contentRect(true)), 74);
    EXPECT_EQ(listing.numberOfPages(content), 2);
    ASSERT_EQ(listing.model().numLines(), 74);
    // Alone, 74 lines are one page, without a number.
    Read doc = read(listing.programPDF());
    ASSERT_EQ(doc.pages, 1);
    EXPECT_EQ(doc.sizes[0], QSizeF(595, 841));
    EXPECT_TRUE(doc.texts[0].contains(QStringLiteral("LONG")));
    EXPECT_TRUE(doc.texts[0].contains(QStringLiteral("Disp 73")));
    EXPECT_FALSE(doc.texts[0].contains(QStringLiteral("-1-")));

    store("LONGER", statements(75));
    ASSERT_TRUE(listing.load("LONGER"));
    doc = read(listing.programPDF());
    ASSERT_EQ(doc.pages, 2);
    EXPECT_TRUE(doc.texts[0].contains(QStringLiteral("Disp 72")));
    EXPECT_FALSE(doc.texts[0].contains(QStringLiteral("Disp 73")));
    EXPECT_FALSE(doc.texts[0].contains(QStringLiteral("-1-")));
    EXPECT_TRUE(doc.texts[1].contains(QStringLiteral("Disp 74")));
    EXPECT_TRUE(doc.texts[1].contains(QStringLiteral("-2-")));
    // The second page's lines start at the content's top, 10 points apart.
    const auto lines = listing.pageLines(1, content);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].at, QPointF(36, 56));
    EXPECT_EQ(lines[1].at.y(), 66);
}

TEST_F(ProgramListingPDFTest, LinesAreIndentedByThreeCharactersAndWrappedToThePage)
{
    store("LOOP", "For(I,1,3)\nDisp I\nEnd\n");
    ASSERT_TRUE(listing.load("LOOP"));
    const QRectF content = listing.contentRect(false);
    listing.numberOfPages(content);
    const auto lines = listing.pageLines(0, content);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0].at.x(), 36);
    EXPECT_GT(lines[1].at.x(), 36 + 17);
    EXPECT_EQ(lines[2].at.x(), 36);
    // A page is 87 characters of 10-point Courier wide: a longer statement wraps once.
    store("WIDE", "Disp \"" + std::string(100, 'A') + "\"");
    ASSERT_TRUE(listing.load("WIDE"));
    listing.numberOfPages(content);
    EXPECT_EQ(listing.model().numLines(), 2);
}

TEST_F(ProgramListingPDFTest, NotesComeFirstWithTheirScreenBoxesAndTheListingIsNumberedAfterThem)
{
    store("NOTED", "Disp 1\n", "Adds & shows\n<screenShot>\n2+3\n5\n  8\n</screenShot>\nDone");
    ASSERT_TRUE(listing.load("NOTED"));
    const QRectF content = listing.contentRect(false);
    const auto notes = listing.notesPages(content);
    ASSERT_EQ(notes.size(), 1u);
    ASSERT_EQ(notes[0].boxes.size(), 1u);
    // Three block lines: a box 36 high, 33 Courier characters wide, centred.
    const QRectF box = notes[0].boxes[0];
    EXPECT_DOUBLE_EQ(box.height(), 36);
    EXPECT_NEAR(box.center().x(), content.center().x(), 1e-9);
    const Read doc = read(listing.programPDF());
    ASSERT_EQ(doc.pages, 2);
    EXPECT_TRUE(doc.texts[0].contains(QStringLiteral("Adds")));
    EXPECT_TRUE(doc.texts[0].contains(QStringLiteral("2+3")));
    EXPECT_FALSE(doc.texts[0].contains(QStringLiteral("screenShot")));
    EXPECT_FALSE(doc.texts[0].contains(QStringLiteral("-1-")));
    EXPECT_TRUE(doc.texts[1].contains(QStringLiteral("Disp 1")));
    EXPECT_TRUE(doc.texts[1].contains(QStringLiteral("-2-")));
}

TEST_F(ProgramListingPDFTest, TheNotesPageDrawsItsBoxInLightGreenUnderTheName)
{
    store("BOX", "Disp 1", "<screenShot>\nA = 1\n</screenShot>");
    ASSERT_TRUE(listing.load("BOX"));
    // On white paper.
    const QImage page = pdfPagePicture(listing.programPDF(), 0);
    ASSERT_FALSE(page.isNull());
    const auto notes = listing.notesPages(listing.contentRect(false));
    ASSERT_EQ(notes.size(), 1u);
    ASSERT_EQ(notes[0].boxes.size(), 1u);
    const QRectF box = notes[0].boxes[0];
    // Inside the box, away from its text: green at a tenth over white.
    const QColor fill = page.pixelColor(int(box.right()) - 4, int(box.center().y()));
    EXPECT_GT(fill.green(), fill.red() + 10);
    EXPECT_GT(fill.red(), 200);
    // Its frame, and the name on top.
    EXPECT_LT(page.pixelColor(int(box.left()), int(box.center().y())).lightness(), 128);
    int ink = 0;
    for (int y = 36; y < 56; ++y)
        for (int x = 250; x < 345; ++x)
            ink += page.pixelColor(x, y).lightness() < 128;
    EXPECT_GT(ink, 20);
}

// The store arrow keeps off the letters beside it on the page too: "2", "→" and "A" are
// three marks.
TEST_F(ProgramListingPDFTest, TheStoreArrowsHeadKeepsOffTheNextLetter)
{
    store("ARROW", "2->A");
    ASSERT_TRUE(listing.load("ARROW"));
    const QRectF content = listing.contentRect(false);
    ASSERT_EQ(listing.numberOfPages(content), 1);
    const auto lines = listing.pageLines(0, content);
    ASSERT_EQ(lines.size(), 1u);
    const QByteArray pdf = listing.programPDF();
    ASSERT_EQ(read(pdf).pages, 1);
    constexpr int kScale = 8;
    const QImage page = pdfPagePicture(pdf, 0, kScale);
    ASSERT_FALSE(page.isNull());
    const QPointF at = lines[0].at * kScale;
    const int top = static_cast<int>(at.y());
    const int bottom = static_cast<int>(at.y() + 10 * kScale);
    // The line's marks from its start over five cells ("0" is 6 points wide in 10-point
    // Courier): the arrow's three parts and any colon before them.
    int runs = 0;
    bool inked = false;
    for (int x = static_cast<int>(at.x()); x < static_cast<int>(at.x() + 30 * kScale); ++x) {
        bool dark = false;
        for (int y = top; y <= bottom && !dark; ++y)
            dark = qGray(page.pixel(x, y)) < 110;
        if (dark && !inked)
            ++runs;
        inked = dark;
    }
    EXPECT_GE(runs, 3);
}

TEST_F(ProgramListingPDFTest, LongNotesAndABlockTallerThanAPageEndOnTheirPages)
{
    std::string notes;
    for (int i = 0; i < 80; ++i)
        notes += "line " + std::to_string(i) + "\n";
    notes += "<screenShot>\n";
    for (int i = 0; i < 90; ++i)
        notes += "row\n";
    notes += "</screenShot>\nafter";
    store("MANY", "Disp 1\n", notes);
    ASSERT_TRUE(listing.load("MANY"));
    const auto pages = listing.notesPages(listing.contentRect(false));
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[2].boxes.size(), 1u);
    const Read doc = read(listing.programPDF());
    ASSERT_EQ(doc.pages, 5);
    EXPECT_TRUE(doc.texts[1].contains(QStringLiteral("-2-")));
    EXPECT_TRUE(doc.texts[4].contains(QStringLiteral("-5-")));
}

// A screen line wider than its box goes on in the box's next line, and a word wider than
// the paper on the next line of text: on every paper size, every line of the notes lies
// inside its box and the paper, and the block's text is all there, in order.
TEST_F(ProgramListingPDFTest, EveryNotesLineStaysInsideItsBoxAndThePaper)
{
    const QString wide = QStringLiteral("{1 2 3 4 5 6 7 8 9 10 11 12 13 14 15}");
    store("WIDE", "Disp 1\n",
          "<screenShot>\nseq(X,X,1,15)\n" + wide.toStdString() + "\n</screenShot>\n" + std::string(300, 'W') + " end");
    for (const int paper : {0, 1, 2}) {
        calc.pdfPageSize = paper;
        ASSERT_TRUE(listing.load("WIDE"));
        const QRectF content = listing.contentRect(false);
        const auto pages = listing.notesPages(content);
        ASSERT_EQ(pages.size(), 1u);
        ASSERT_EQ(pages[0].boxes.size(), 1u);
        const QRectF box = pages[0].boxes[0];
        QString block;
        for (const auto& item : pages[0].items) {
            const double right = item.at.x() + DrawString::VQsizeWithFont(item.text, item.block ? TextFont{"Courier", 12} : TextFont{"Times-Roman", 12}).width();
            EXPECT_LE(right, (item.block ? box : content).right() + 0.01) << paper << " " << item.text.toStdString();
            if (item.block)
                block += item.text;
            else
                EXPECT_GE(item.at.x(), content.left()) << paper;
        }
        EXPECT_EQ(block, QStringLiteral("seq(X,X,1,15)") + wide) << paper;
        EXPECT_DOUBLE_EQ(box.height(), 3 * ProgramListingPDF::kNotesPitch) << "two lines for the answer";
    }
}

TEST_F(ProgramListingPDFTest, WritingLeavesTheEditorsProgramAndItsUndoAsTheyWere)
{
    store("OTHER", statements(3));
    open("MINE", "Disp 1\n");
    model->setPrgmEditCursor(0);
    model->addOpcode('A', true);
    const auto undo = model->undoArray().size();
    const auto lines = model->numLines();
    const QString path = folder.path() + QStringLiteral("/OTHER.pdf");
    EXPECT_EQ(listing.writeProgramPDF("OTHER", path), 0);
    EXPECT_EQ(read(readBytes(path)).pages, 1);
    EXPECT_EQ(model->programName(), "MINE");
    EXPECT_EQ(model->undoArray().size(), undo);
    EXPECT_EQ(model->numLines(), lines);
    // The editor's unsaved change is in the document of its own program.
    EXPECT_EQ(listing.writeProgramPDF("MINE", path), 0);
    EXPECT_TRUE(read(readBytes(path)).texts[0].contains(QStringLiteral("ADisp 1")));

    ASSERT_TRUE(files->setFlags(ProgramManager::kProtected, "OTHER"));
    EXPECT_EQ(listing.writeProgramPDF("OTHER", path), 84);
    EXPECT_EQ(listing.writeProgramPDF("NONE", path), 70);
    EXPECT_EQ(listing.writeProgramPDF("MINE", folder.path() + QStringLiteral("/no/such/folder/x.pdf")), 70);
}

} // namespace
} // namespace orvenda::test
