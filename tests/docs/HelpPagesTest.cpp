// Every page of the shipped help files: found by the name the catalogue, the help menu or
// the geometry menu asks for, read without an XML error, drawn, and every example's
// stated answer equal to what the calculator gives for its entry.

#include "Home.h"
#include "PdfReadBack.h"

#include "docs/FunctionHelpPDF.h"
#include "docs/HelpFile.h"
#include "drawing/GraphicsContext.h"
#include "language/Catalogue.h"
#include "language/EntryText.h"
#include "language/Vocabulary.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfDocument>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <set>
#include <tuple>
#include <string>
#include <vector>

namespace orvenda {
namespace {

using namespace std::chrono_literals;

struct Page {
    QString name;
    QByteArray xml;
};

std::vector<Page> pagesOf(std::string_view file)
{
    std::vector<Page> pages;
    const QString text = QString::fromUtf8(file.data(), qsizetype(file.size()));
    static const QRegularExpression tag(QStringLiteral("<F n=\"([^\"]*)\">"));
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        const qsizetype end = text.indexOf(QStringLiteral("</F>"), match.capturedEnd());
        if (end < 0)
            break;
        QString name = match.captured(1);
        name.replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
        name.replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&apos;"), QStringLiteral("'"));
        name.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        pages.push_back({name, text.mid(match.capturedStart(), end + 4 - match.capturedStart()).toUtf8()});
    }
    return pages;
}

// Every page of both help files, for a renderer of the shared calculator with that paper
// size (0 A4, 1 US Letter, 2 US Legal), set to each file's language.
template <class Visit>
void forEveryPage(int paper, Visit visit)
{
    Calculator& calc = Calculator::calculator();
    calc.pdfPageSize = paper;
    FunctionHelpPDF renderer(calc);
    for (const char* file : {"FunctionHelp", "FunctionHelpSpanish"}) {
        renderer.setLanguage(QString::fromLatin1(file == std::string_view("FunctionHelp") ? "en" : "es"));
        for (const Page& page : pagesOf(HelpFile::resource(file)))
            visit(renderer, std::string(file), page);
    }
}

// The first faults of a list, one a line.
std::string firstLines(const std::vector<std::string>& wrong, std::size_t most = 40)
{
    std::string report;
    for (std::size_t i = 0; i < wrong.size() && i < most; ++i)
        report += wrong[i] + "\n";
    return report;
}

// What a page asks the calculator: programs to store, then entries with their answers.
struct Example {
    enum Kind { Symbolic, Typed, Program };
    Kind kind = Typed;
    QString entry;
    QString answer;
};

std::vector<Example> examplesOf(const QByteArray& xml)
{
    std::vector<Example> out;
    QXmlStreamReader reader(xml);
    QString text, right, programName;
    bool inScreen = false, inRight = false, inPretty = false, inProgram = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            const auto name = reader.name();
            if (name == QLatin1String("screen")) {
                inScreen = true;
                text.clear();
            } else if (name == QLatin1String("r")) {
                inRight = true;
                right.clear();
            } else if (name == QLatin1String("p")) {
                inPretty = true;
                text.clear();
            } else if (name == QLatin1String("prgm")) {
                inProgram = true;
                programName = reader.attributes().value(QLatin1String("n")).toString();
                text.clear();
            }
            break;
        }
        case QXmlStreamReader::EndElement: {
            const auto name = reader.name();
            if (name == QLatin1String("r") && inScreen) {
                out.push_back({Example::Typed, text.trimmed(), right});
                text.clear();
                inRight = false;
            } else if (name == QLatin1String("screen")) {
                inScreen = false;
            } else if (name == QLatin1String("p") && inPretty) {
                const QStringList items = text.split(QLatin1Char(';'));
                for (qsizetype i = 0; i + 1 < items.size(); i += 2)
                    out.push_back({Example::Symbolic, items[i], items[i + 1]});
                inPretty = false;
            } else if (name == QLatin1String("prgm") && inProgram) {
                QStringList lines = text.split(QLatin1Char('\n'));
                for (QString& line : lines)
                    if (line.startsWith(QLatin1Char(':')))
                        line.remove(0, 1);
                out.push_back({Example::Program, programName, lines.join(QLatin1Char('\n'))});
                inProgram = false;
            }
            break;
        }
        case QXmlStreamReader::Characters:
            if (inRight)
                right += reader.text();
            else if (inScreen || inPretty || inProgram)
                text += reader.text();
            break;
        default:
            break;
        }
    }
    return out;
}

// ENTER on a line, as the home screen does it: the history item's answer text, or
// "ERROR n". A run that asks (Input, Prompt) is answered 1, as often as it asks, where
// it asks.
std::string enter(cases::Home& home, const std::vector<std::uint32_t>& ops)
{
    if (!home.entry->entryOps().empty())
        home.keys.processKeyOp(KeyRouter::kClear);
    home.entry->forceOps(ops);
    home.history->clearAll();
    const std::size_t errors = home.view->errors.size();
    home.keys.processKeyOp(KeyRouter::kEnter);
    bool answered = home.settle(20s);
    for (int asked = 0; answered && home.calc.question().waits() && asked < 8; ++asked) {
        home.calc.setCurrentScreen(home.calc.question().screen());
        home.keys.processKeyOp('1');
        home.keys.processKeyOp(KeyRouter::kEnter);
        answered = home.settle(20s);
    }
    home.calc.setCurrentScreen(0);
    if (!answered || home.calc.question().waits()) {
        home.calc.parser().programQueue().stopProgramThread();
        home.settle(5s);
        return "<no answer>";
    }
    if (home.view->errors.size() > errors)
        return "ERROR " + std::to_string(home.view->errors[errors].value("errorNum", 0));
    if (home.history->history().empty())
        return "<none>";
    return home.history->history().back().result;
}

TEST(HelpPages, EveryPageReadsAndDrawsWithoutAnXmlError)
{
    Calculator& calc = Calculator::calculator();
    FunctionHelpPDF renderer(calc);
    renderer.setLanguage(QStringLiteral("en-US"));
    for (const char* file : {"FunctionHelp", "FunctionHelpSpanish"}) {
        const auto pages = pagesOf(HelpFile::resource(file));
        ASSERT_GT(pages.size(), 0u) << file;
        renderer.setLanguage(QString::fromLatin1(file == std::string_view("FunctionHelp") ? "en" : "es"));
        for (const Page& page : pages) {
            renderer.changeFunction(page.name);
            ASSERT_TRUE(renderer.functionDefined()) << file << ": " << page.name.toStdString();
            QImage image(320, 460, QImage::Format_ARGB32_Premultiplied);
            QPainter painter(&image);
            GraphicsContext context(painter);
            renderer.setBounds(QRectF(0, 0, 320, FunctionHelpPDF::kTallHeight));
            renderer.drawRect(context, renderer.bounds());
            EXPECT_EQ(renderer.parseErrors(), 0) << file << ": " << page.name.toStdString();
            EXPECT_GT(renderer.drawPoint().y(), 20) << file << ": " << page.name.toStdString();
        }
    }
}

// The app finds a name's first page only: a second page under the same name could never
// be shown or shared.
TEST(HelpPages, EveryPageHasANameOfItsOwn)
{
    for (const char* file : {"FunctionHelp", "FunctionHelpSpanish"}) {
        std::set<QString> names;
        for (const Page& page : pagesOf(HelpFile::resource(file)))
            EXPECT_TRUE(names.insert(page.name).second) << file << ": two pages named \"" << page.name.toStdString() << "\"";
    }
}

// Where a page's examples run: typed on the classic home screen, on the MathPrint one,
// or each as the one line of a program started from the home screen.
enum class Way { Classic, MathPrint, Program };

// Every example gives the answer its page states, and every program listing that no
// example of its page runs runs to its end without an error, on both home screens and
// in a program.
TEST(HelpPages, EveryExampleAndListingRunsAsThePageSaysOnBothHomesAndInAProgram)
{
    const EntryText typed;
    const std::string wrapper = "HELPZ";
    int checked = 0, listingsRun = 0;
    std::vector<std::string> wrong;
    for (const Way way : {Way::Classic, Way::MathPrint, Way::Program}) {
        const std::string where = way == Way::Classic ? "classic home" : way == Way::MathPrint ? "MathPrint home" : "program";
        for (const char* file : {"FunctionHelp", "FunctionHelpSpanish"}) {
            for (const Page& page : pagesOf(HelpFile::resource(file))) {
                const auto examples = examplesOf(page.xml);
                if (examples.empty())
                    continue;
                // Each page starts from the factory state, as its reader's calculator might.
                cases::Home home(way == Way::MathPrint);
                const auto fail = [&](const std::string& what) {
                    wrong.push_back(std::string(file) + " " + page.name.toStdString() + " (" + where + "): " + what);
                };
                // In a program the line is the program's; the home line calls it.
                const auto run = [&](const std::vector<std::uint32_t>& ops) {
                    if (way != Way::Program)
                        return enter(home, ops);
                    home.programs->store(wrapper, ops);
                    std::string bad;
                    return enter(home, *typed.toOps("prgm" + wrapper, bad));
                };
                std::vector<std::string> listings;
                std::string entered;
                for (const Example& example : examples) {
                    std::string bad;
                    if (example.kind == Example::Program) {
                        const auto ops = typed.toOps(example.answer.toStdString(), bad);
                        if (!ops) {
                            fail("program " + example.entry.toStdString() + " has no token for " + bad);
                            continue;
                        }
                        home.programs->store(example.entry.toStdString(), *ops);
                        listings.push_back(example.entry.toStdString());
                        continue;
                    }
                    // The home screen's refusal of a command that runs only in programs.
                    if (way == Way::Program && example.answer == QLatin1String("ERROR 19"))
                        continue;
                    std::vector<std::uint32_t> ops;
                    if (example.kind == Example::Symbolic) {
                        ops = home.calc.opsFromString(example.entry.toStdString());
                    } else if (auto t = typed.toOps(example.entry.toStdString(), bad)) {
                        ops = *t;
                    } else {
                        fail("no token for " + bad);
                        continue;
                    }
                    const std::string got = run(ops);
                    ++checked;
                    entered += home.calc.stringFromOps(ops) + "\n";
                    if (got != example.answer.toStdString())
                        fail(home.calc.stringFromOps(ops) + " => " + got + "   (page says " + example.answer.toStdString() + ")");
                }
                for (const std::string& name : listings) {
                    std::string bad;
                    const std::vector<std::uint32_t> call = *typed.toOps("prgm" + name, bad);
                    if (entered.find(home.calc.stringFromOps(call)) != std::string::npos)
                        continue;
                    const std::string got = run(call);
                    ++listingsRun;
                    if (got.starts_with("ERROR") || got.starts_with("<"))
                        fail("prgm" + name + " => " + got);
                }
            }
        }
    }
    // 600 and more examples on each way; the Button( and Input listings among those run.
    EXPECT_GT(checked, 1700);
    EXPECT_GE(listingsRun, 6);
    std::string report;
    for (const std::string& line : wrong)
        report += line + "\n";
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " examples differ:\n" << report;
}

// A PDF's text read back: where a text stands on its pages, whatever line breaks the
// reading finds in it.
class PdfText {
public:
    explicit PdfText(const QByteArray& pdf) : data_(pdf)
    {
        buffer_.setData(data_);
        buffer_.open(QIODevice::ReadOnly);
        document_.load(&buffer_);
        for (int page = 0; page < document_.pageCount(); ++page) {
            // The text without its blanks and line breaks (the reading puts them where it
            // sees gaps), and where each of its characters was.
            const QString text = document_.getAllText(page).text();
            Flat flat;
            for (qsizetype i = 0; i < text.size(); ++i)
                if (!text[i].isSpace()) {
                    flat.text += text[i];
                    flat.at.push_back(i);
                }
            pages_.push_back(std::move(flat));
        }
    }
    // Where each occurrence of the text (blanks aside) stands: its bounding rectangle.
    std::vector<QRectF> find(const QString& what)
    {
        QString key = what;
        key.remove(QRegularExpression(QStringLiteral("\\s")));
        std::vector<QRectF> found;
        for (int page = 0; page < int(pages_.size()); ++page) {
            const Flat& flat = pages_[std::size_t(page)];
            for (qsizetype i = flat.text.indexOf(key); i >= 0 && !key.isEmpty(); i = flat.text.indexOf(key, i + 1)) {
                const qsizetype start = flat.at[std::size_t(i)], end = flat.at[std::size_t(i + key.size() - 1)] + 1;
                found.push_back(document_.getSelectionAtIndex(page, int(start), int(end - start)).boundingRectangle());
            }
        }
        return found;
    }

private:
    struct Flat {
        QString text;
        std::vector<qsizetype> at;
    };
    QByteArray data_;
    QBuffer buffer_;
    QPdfDocument document_;
    std::vector<Flat> pages_;
};

// What a page's screens show right-aligned, the way a help page shows it: every line of
// every answer is one row, whole, flush right in its screen, on the page shown on the
// screen (as wide as a phone's help view, and a tablet's) and on the page shared as PDF
// (sliced onto paper at its own scale). Every page of both help files with an answer.
TEST(HelpPages, EveryAnswerIsOneWholeRowOnScreenAndOnPaper)
{
    int answers = 0;
    std::vector<std::string> wrong;
    forEveryPage(1, [&](FunctionHelpPDF& renderer, const std::string& file, const Page& page) {
        QStringList lines;
        for (const Example& example : examplesOf(page.xml))
            if (example.kind == Example::Typed)
                for (const QString& line : example.answer.split(QLatin1Char('\n')))
                    if (!line.trimmed().isEmpty())
                        lines << line;
        if (lines.isEmpty())
            return;
        // Each document with the scale its text is set at.
        const std::tuple<const char*, double, QByteArray> documents[] = {
            {"phone screen", 1.0, renderer.pdfName(page.name, QSizeF(320, 0), false, false)},
            {"tablet screen", 1.25, renderer.pdfName(page.name, QSizeF(400, 0), false, false)},
            {"paper", 0.9, renderer.pdfName(page.name, QSizeF(), true, false)},
        };
        for (const auto& document : documents) {
            // Named, not bound: a lambda below takes the place's name.
            const char* where = std::get<0>(document);
            const double scale = std::get<1>(document);
            PdfText text(std::get<2>(document));
            const double lineHeight = 14 * scale, column = 0.6 * 14 * scale;
            const auto fail = [&](const QString& line, const std::string& why) {
                wrong.push_back(file + " " + page.name.toStdString() + " on the " + where + ": \""
                                + line.toStdString() + "\" " + why);
            };
            // The right ends of the answers' one-row occurrences; the screen's edge is
            // where most answers end furthest right (a short answer may also stand in
            // the text about it).
            std::vector<std::pair<QString, std::vector<double>>> ends;
            std::vector<double> furthest;
            for (const QString& line : lines) {
                ++answers;
                std::vector<double> rights;
                for (const QRectF& r : text.find(line))
                    if (r.height() < 1.5 * lineHeight)
                        rights.push_back(r.right());
                if (rights.empty()) {
                    fail(line, "is not whole on one row");
                    continue;
                }
                // A matrix's rows keep their columns: a row may end in a blank.
                if (!line.endsWith(QLatin1Char(' '))) {
                    furthest.push_back(*std::max_element(rights.begin(), rights.end()));
                    ends.emplace_back(line, std::move(rights));
                }
            }
            std::nth_element(furthest.begin(), furthest.begin() + std::ptrdiff_t(furthest.size() / 2), furthest.end());
            const double edge = furthest.empty() ? 0 : furthest[furthest.size() / 2];
            for (const auto& [line, rights] : ends)
                if (std::none_of(rights.begin(), rights.end(), [&](double r) { return std::abs(r - edge) < column / 2; }))
                    fail(line, "does not end at the screen's right edge");
        }
    });
    EXPECT_GT(answers, 600);
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " answer rows are not whole:\n" << firstLines(wrong);
}

// Every help page shared as PDF, read back: each of its sheets carries its number, a page
// alone "-1-" too, and a border wholly on the paper (rendered at a pixel a point, the
// line one point wide inks the outermost pixel of every edge whole; a line along the
// paper's very edge would ink half of it).
TEST(HelpPages, EveryHelpPdfIsNumberedAndFramedOnEveryPage)
{
    int documents = 0;
    std::vector<std::string> wrong;
    forEveryPage(0, [&](FunctionHelpPDF& renderer, const std::string& file, const Page& page) {
        const QByteArray pdf = renderer.pdfName(page.name, QSizeF(), true, false);
        const PdfReadBack read = readPdf(pdf);
        ++documents;
        const std::string name = file + " " + page.name.toStdString();
        if (read.pages < 1) {
            wrong.push_back(name + ": no page");
            return;
        }
        for (int i = 0; i < read.pages; ++i)
            if (!read.texts[std::size_t(i)].contains(QStringLiteral("-%1-").arg(i + 1)))
                wrong.push_back(name + ": sheet " + std::to_string(i + 1) + " carries no number");
        for (const int depth : inkFromTheEdges(pdfPagePicture(pdf, 0), 4))
            if (depth < 1) {
                wrong.push_back(name + ": the border is not wholly on the paper");
                break;
            }
    });
    EXPECT_GT(documents, 500);
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " faults:\n" << firstLines(wrong);
}

// An example's entry is shown as the calculator shows the line, with the store arrow, not
// as the help source types it.
TEST(HelpPages, ExamplesShowTheStoreArrow)
{
    const QString typedArrow = QStringLiteral("->");
    const QString arrow = QString::fromStdString(Vocabulary::shared().nameForOpcode(0x04));
    ASSERT_FALSE(arrow.isEmpty());
    int stores = 0;
    std::vector<std::string> typed;
    for (const char* file : {"FunctionHelp", "FunctionHelpSpanish"})
        for (const Page& page : pagesOf(HelpFile::resource(file)))
            for (const Example& example : examplesOf(page.xml)) {
                const QString& shown = example.kind == Example::Program ? example.answer : example.entry;
                if (shown.contains(typedArrow))
                    typed.push_back(std::string(file) + " " + page.name.toStdString() + ": " + shown.toStdString());
                stores += example.kind == Example::Typed && shown.contains(arrow);
            }
    EXPECT_TRUE(typed.empty()) << typed.size() << " examples show \"->\", the first: " << (typed.empty() ? "" : typed[0]);
    // "{1,2,3}➞L₁" among them.
    EXPECT_GE(stores, 20);
}

TEST(HelpPages, EveryNameTheMenusAskForHasAPage)
{
    const Vocabulary& v = Vocabulary::shared();
    std::vector<std::string> asked;
    for (const std::string& key : Catalogue::shared().keys()) {
        asked.push_back(key);
        asked.push_back(v.nameForOpcode(Catalogue::shared().dictionary().at(key)));
    }
    const std::vector<std::string> menu{"New Features", "FAQ", "Lists", "Arrays", "PRGM", "Sharing Data and Programs"};
    for (const std::string& name : menu)
        asked.push_back(name);
    for (std::uint32_t key : {1029u, 4117u, 4134u, 1056u, 1028u, 1026u, 1049u})
        asked.push_back(v.nameForOpcode(key));
    for (std::uint32_t figure : {0x5C59u, 0x5C5Au, 0x5C5Bu, 0x5C5Cu, 0x5C5Du, 0x5C21u, 0x5C22u, 0x5C23u, 0x5C24u, 0x5C25u})
        asked.push_back(v.nameForOpcode(figure));
    std::vector<std::string> missing;
    for (const std::string& name : asked)
        if (HelpFile::fragment(HelpFile::resource("FunctionHelp"), QString::fromStdString(name)).isEmpty())
            missing.push_back(name);
    std::vector<std::string> spanish;
    for (const std::string& name : menu)
        spanish.push_back(name);
    for (std::uint32_t key : {1029u, 4117u, 4134u, 1056u, 1028u, 1026u, 1049u})
        spanish.push_back(v.nameForOpcode(key));
    for (const std::string& name : spanish)
        if (HelpFile::fragment(HelpFile::resource("FunctionHelpSpanish"), QString::fromStdString(name)).isEmpty())
            missing.push_back("(es) " + name);
    std::string report;
    for (const std::string& name : missing)
        report += "[" + name + "] ";
    EXPECT_TRUE(missing.empty()) << missing.size() << " names have no page: " << report;
}

TEST(HelpPages, AMenusNameWithAnEllipsisFindsTheCommandsPage)
{
    const std::string_view file = HelpFile::resource("FunctionHelp");
    // The statistics menus name their rows "Z-Test…"; the pages are the commands'.
    for (const char* name : {"Z-Test…", "T-Test…", "2-SampTTest…", "1-PropZInt…", "LinRegTTest…"}) {
        const QString menuName = QString::fromUtf8(name);
        EXPECT_TRUE(HelpFile::exactFragment(file, menuName).isEmpty()) << name;
        const QByteArray page = HelpFile::fragment(file, menuName);
        const QString base = menuName.chopped(1);
        EXPECT_TRUE(page.startsWith(HelpFile::openingTag(base + "(")) || page.startsWith(HelpFile::openingTag(base + " "))
                    || page.startsWith(HelpFile::openingTag(base)))
            << name;
    }
    EXPECT_TRUE(HelpFile::fragment(file, QString::fromUtf8("NoSuchCommand…")).isEmpty());
    EXPECT_TRUE(HelpFile::fragment(file, QStringLiteral("NoSuchCommand(")).isEmpty());
}

} // namespace
} // namespace orvenda
