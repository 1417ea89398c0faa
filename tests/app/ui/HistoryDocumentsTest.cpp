// The history taken out of the app: its PDF pages (classic and MathPrint), read back with
// Qt PDF, and the last calculation as text, HTML and a one-page PDF.

#include "app/AppTestSupport.h"
#include "PdfReadBack.h"
#include "app/HistoryDocuments.h"
#include "core/Operand.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfDocument>
#include <QRegularExpression>

namespace orvenda::test {
namespace {

constexpr std::uint32_t kOne = 0x31, kPlus = 0x70, kLess = 0x6B;

struct Read {
    int pages = 0;
    std::vector<QSizeF> sizes;
    QString text;
};

Read read(const QByteArray& pdf)
{
    const PdfReadBack back = readPdf(pdf);
    Read out{back.pages, back.sizes, {}};
    for (const QString& text : back.texts)
        out.text += text;
    // MathPrint glyphs read back one a line: only the characters count.
    out.text.remove(QRegularExpression(QStringLiteral("\\s")));
    return out;
}

class HistoryDocumentsTest : public HomeTest {
protected:
    HistoryDocumentsTest() { documents.setClock([] { return QDateTime(QDate(2026, 3, 14), QTime(9, 26)); }); }

    void add(const std::vector<std::uint32_t>& input, const std::string& result, int type = 0, int kind = KindReal)
    {
        Operand record = operandOf(kind);
        history->addEntry(input, result, type, record);
    }

    HistoryDocuments documents{calc, *history};
};

TEST_F(HistoryDocumentsTest, AnEmptyHistoryIsOnePageWithItsNumberAndNoLastCalculation)
{
    for (const bool mathPrint : {false, true}) {
        calc.locked()->mathPrint = mathPrint;
        const Read pdf = read(documents.historyPDF());
        ASSERT_EQ(pdf.pages, 1) << mathPrint;
        const Calculator::Rect paper = calc.pdfPageRect();
        EXPECT_NEAR(pdf.sizes[0].width(), paper.width, 0.5);
        EXPECT_NEAR(pdf.sizes[0].height(), paper.height, 0.5);
        EXPECT_TRUE(pdf.text.contains(QStringLiteral("-1-")));
        EXPECT_TRUE(pdf.text.contains(QStringLiteral("Lumbrixresults"))) << "the title, its blank read away";
    }
    EXPECT_FALSE(documents.lastCalculation());
    EXPECT_FALSE(documents.lastCalculationHTML());
    EXPECT_TRUE(documents.lastCalculationPDF().isEmpty()) << "empty data";
    EXPECT_TRUE(documents.lastCalculationSize().isEmpty());
    QImage canvas(40, 40, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        documents.drawLastCalculation(painter, QPointF(0, 0));
    }
    EXPECT_EQ(canvas.pixel(20, 20), qRgba(0, 0, 0, 0)) << "nothing drawn";
}

TEST_F(HistoryDocumentsTest, LongResultLinesEndIn31CharactersAndAnEllipsis)
{
    const QString forty = QStringLiteral("1234567890").repeated(4);
    EXPECT_EQ(HistoryDocuments::cutLine(forty), forty.left(31) + QStringLiteral("…"));
    EXPECT_EQ(HistoryDocuments::cutLine(forty.left(32)), forty.left(32)) << "32 characters fit";
    EXPECT_EQ(HistoryDocuments::cutLine(QStringLiteral("θ").repeated(33)), QStringLiteral("θ").repeated(31) + QStringLiteral("…"))
        << "characters, not bytes";
    add({kOne}, forty.toStdString(), 1);
    const Read pdf = read(documents.historyPDF());
    EXPECT_TRUE(pdf.text.contains(forty.left(31) + QStringLiteral("…"))) << pdf.text.toStdString();
    EXPECT_FALSE(pdf.text.contains(forty.left(32)));
}

TEST_F(HistoryDocumentsTest, EveryItemIsOnThePagesOldestFirstInBothLayouts)
{
    // Inputs Q1000, Q1001, ... with results Z1000, Z1001, ...: the letters keep the numbers
    // apart however the text reads back.
    for (int k = 0; k < 100; ++k) {
        const std::string n = std::to_string(1000 + k);
        std::vector<std::uint32_t> input{'Q'};
        for (char c : n)
            input.push_back(static_cast<std::uint32_t>(c));
        // Two result lines: three rows an item, so a hundred take two pages.
        add(input, "Z" + n + "\n-", 0, KindString);
    }
    for (const bool mathPrint : {false, true}) {
        calc.locked()->mathPrint = mathPrint;
        history->recomputeDepth();
        const Read pdf = read(documents.historyPDF());
        EXPECT_GE(pdf.pages, 2) << "a hundred items take more than a page";
        qsizetype at = 0;
        for (int k = 0; k < 100; ++k) {
            const QString n = QString::number(1000 + k);
            for (const QString& part : {QStringLiteral("Q") + n, QStringLiteral("Z") + n}) {
                EXPECT_EQ(pdf.text.count(part), 1) << part.toStdString() << (mathPrint ? " MathPrint" : " classic");
                const qsizetype next = pdf.text.indexOf(part, at);
                EXPECT_GE(next, at) << part.toStdString() << " in order";
                at = std::max(at, next);
            }
        }
        EXPECT_TRUE(pdf.text.contains(QStringLiteral("-%1-").arg(pdf.pages)));
    }
}

TEST_F(HistoryDocumentsTest, AnItemTallerThanAColumnIsCutAndTheNextGoesOn)
{
    // Far more input lines than a column has rows (an A4 column holds about 70).
    std::vector<std::uint32_t> input(32 * 200, kOne);
    add(input, "7");
    add({kOne, kPlus, kOne}, "2");
    for (const bool mathPrint : {false, true}) {
        calc.locked()->mathPrint = mathPrint;
        history->recomputeDepth();
        const Read pdf = read(documents.historyPDF());
        EXPECT_LE(pdf.pages, 2) << "no endless pages";
        EXPECT_TRUE(pdf.text.contains(QStringLiteral("1+1"))) << "the next item is drawn";
    }
}

TEST_F(HistoryDocumentsTest, TheLastCalculationAsTextAndEscapedHTML)
{
    add({kOne, kLess, kOne}, "0");
    add({kOne, kPlus, kOne}, "a <b> & c\nd", 1);
    EXPECT_EQ(documents.lastCalculation(), "1+1\na <b> & c\nd");
    EXPECT_EQ(documents.lastCalculationHTML(),
        QStringLiteral("<html><p style=\"background-color:#C3D6B1;width:300px;margin-bottom:0px;font-family:Courier "
                       "New;font-size:14px;\">1+1</p><p style=\"background-color:#C3D6B1;width:300px;margin-top:0px;"
                       "font-family:Courier New;font-size:14px\">a&nbsp;&lt;b&gt;&nbsp;&amp;&nbsp;c<br>d</p>"));
    add({kOne, kLess, kOne}, "1");
    const QString html = *documents.lastCalculationHTML();
    EXPECT_TRUE(html.contains(QStringLiteral(">1&lt;1</p>"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("text-align:right\">1</p>"))) << "a value sits on the right";
}

TEST_F(HistoryDocumentsTest, TheLastCalculationPDFIsOnePageAtLeast320Wide)
{
    for (const bool mathPrint : {false, true}) {
        calc.locked()->mathPrint = mathPrint;
        add({kOne, kPlus, kOne}, "2");
        const QSizeF size = documents.lastCalculationSize();
        EXPECT_GE(size.width(), 320);
        const Read pdf = read(documents.lastCalculationPDF());
        ASSERT_EQ(pdf.pages, 1);
        EXPECT_NEAR(pdf.sizes[0].width(), size.width(), 1);
        EXPECT_NEAR(pdf.sizes[0].height(), size.height(), 1);
        EXPECT_GE(pdf.sizes[0].width(), 320);
    }
    // A wide input makes the page wider.
    add(std::vector<std::uint32_t>(80, kOne), "1");
    EXPECT_GT(documents.lastCalculationSize().width(), 320);
    EXPECT_GT(read(documents.lastCalculationPDF()).sizes.at(0).width(), 320);
}

TEST_F(HistoryDocumentsTest, TheLastCalculationPictureShowsTheInputOverTheAnswer)
{
    add({kOne, kPlus, kOne}, "2");
    const QSizeF size = documents.lastCalculationSize();
    QImage canvas(size.toSize() + QSize(2, 2), QImage::Format_ARGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        documents.drawLastCalculation(painter, QPointF(0, 0));
    }
    // The input band is darker than the answer band, both drawn.
    const QRgb inputBand = canvas.pixel(static_cast<int>(size.width()) - 2, 1);
    const QRgb answerBand = canvas.pixel(1, static_cast<int>(size.height()) - 2);
    EXPECT_LT(qGray(inputBand), qGray(answerBand));
    EXPECT_NE(qGray(answerBand), 255);
}

} // namespace
} // namespace orvenda::test
