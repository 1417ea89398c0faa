// The help screens: the help view and the function help screen (pages, width, links,
// closing), the catalogue's detail mark, the HTML page screen, the help menu's topics on a
// phone and a tablet, and the keyboard guide's layers.

#include "PdfReadBack.h"
#include "PictureChecks.h"
#include "TestSupport.h"
#include "app/ScreenRegistry.h"
#include "app/ui/ScreenTestSupport.h"
#include "apps/FourFunctionPanel.h"
#include "core/Calculator.h"
#include "core/services/Reachability.h"
#include "docs/ContactScreen.h"
#include "docs/FunctionHelpPDF.h"
#include "docs/FunctionHelpPDFView.h"
#include "docs/FunctionHelpScreen.h"
#include "docs/FunctionHelpView.h"
#include "language/Localization.h"
#include "docs/GuideKeyboardScreen.h"
#include "docs/GuideKeyboardView.h"
#include "docs/HTMLPageScreen.h"
#include "docs/HelpMenuScreen.h"
#include "docs/SupportActions.h"
#include "input/CatalogScreen.h"
#include "input/HelpPage.h"
#include "input/KeyArtwork.h"
#include "input/KeyButton.h"
#include "input/KeyTables.h"
#include "input/MenuTables.h"
#include "input/MenuScreen.h"
#include "stats/StatTestCatalogue.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPdfDocument>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace orvenda::test {
namespace {

void sendKey(QWidget* to, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(to, &press);
}

// Pixels that stand out from the picture's background: the page's ink.
int inkIn(const QImage& image, QRect area)
{
    const QColor back = backgroundIn(image, area);
    int ink = 0;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ink += contrastRatio(QColor::fromRgb(image.pixel(x, y)), back) > 3;
    return ink;
}

class HelpScreensTest : public ScreensTest {
protected:
    HelpScreensTest()
    {
        HelpView::setFactory([](Calculator& c, QWidget* parent) { return new FunctionHelpPDFView(c, parent); });
        HelpView::setDesktopOpener([this](const QUrl& url) {
            opened.push_back(url.toString());
            return true;
        });
    }
    ~HelpScreensTest() override
    {
        HelpView::setFactory(nullptr);
        HelpView::setDesktopOpener(nullptr);
    }
    std::vector<QString> opened;
};

TEST_F(HelpScreensTest, TheViewShowsAPageAsWideAsItselfAndRebuildsItAtANewWidth)
{
    FunctionHelpPDFView view(calc);
    view.resize(390, 200);
    view.show();
    view.showFunctionName(QStringLiteral("sin("));
    EXPECT_TRUE(view.functionDefined());
    ASSERT_FALSE(view.picture().isNull());
    const int wide = view.picture().width();
    EXPECT_GE(wide, 380);
    EXPECT_LE(wide, 390);
    // The page reads: its text stands out from its background near the top.
    const QImage shown = view.grab().toImage();
    EXPECT_GT(inkIn(shown, QRect(0, 0, shown.width(), 120)), 200);
    EXPECT_GT(textContrast(shown, QRect(0, 0, shown.width(), 120)), 4.5);
    // Wider at the same scale (pages wider than 320 are drawn a quarter larger), the page
    // is made again shorter.
    const int tall = view.picture().height();
    view.resize(600, 200);
    QApplication::processEvents();
    EXPECT_GT(view.picture().width(), wide);
    EXPECT_LT(view.picture().height(), tall);
    // A name without a page shows the "not defined" page.
    view.showFunctionName(QStringLiteral("noSuchThing("));
    EXPECT_FALSE(view.functionDefined());
    EXPECT_GT(inkIn(view.grab().toImage(), QRect(0, 0, 600, 80)), 20);
}

TEST_F(HelpScreensTest, LinksOpenPagesHereAndTheRestOnTheDesktop)
{
    FunctionHelpPDFView view(calc);
    view.resize(320, 500);
    view.show();
    view.renderer().loadPage(QStringLiteral("links"),
        "<F n=\"links\"><body>Links:</body><link url=\"help:cos(\" title=\"cosine\"/>"
        "<link url=\"mailto:help@example.org?subject=review\" title=\"mail\"/>"
        "<link url=\"https://example.org/review\" type=\"button\" title=\"Review\"/></F>");
    view.reload();
    const auto links = view.renderer().links();
    ASSERT_EQ(links.size(), 3u);
    EXPECT_FALSE(view.clickAt(QPointF(300, 480)));
    // A click on the picture where the link is drawn follows it.
    QLabel* page = qobject_cast<QLabel*>(view.scrollArea().widget());
    ASSERT_NE(page, nullptr);
    const QPoint at = links[1].rect.center().toPoint();
    QMouseEvent press(QEvent::MouseButtonPress, at, page->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, page->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(page, &press);
    QApplication::sendEvent(page, &release);
    EXPECT_TRUE(view.clickAt(links[2].rect.center()));
    EXPECT_EQ(opened, (std::vector<QString>{"mailto:help@example.org?subject=review", "https://example.org/review"}));
    EXPECT_TRUE(view.clickAt(links[0].rect.center()));
    EXPECT_EQ(view.functionName(), "cos(");
    EXPECT_TRUE(view.functionDefined());
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(HelpScreensTest, TheHelpScreenShowsAnOpsPageScrollsAndClosesByDoneAndEscape)
{
    FunctionHelpScreen screen(calc);
    screen.resize(390, 844);
    screen.show();
    int closings = 0;
    screen.showOp(0xC3);
    EXPECT_EQ(screen.functionName(), QString::fromStdString(calc.nameForOpcode(0xC3)));
    EXPECT_TRUE(screen.helpView().functionDefined());
    QScrollBar* bar = screen.helpView().scrollArea().verticalScrollBar();
    sendKey(&screen, Qt::Key_PageDown);
    EXPECT_EQ(bar->value(), std::min(bar->maximum(), bar->pageStep()));
    sendKey(&screen, Qt::Key_Home);
    EXPECT_EQ(bar->value(), 0);
    // Ctrl+S shares the page; with no export folder it is told, and the screen stays.
    sendKey(&screen, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(screen.isVisible());
    // Without an opener the screen hides itself.
    sendKey(&screen, Qt::Key_Escape);
    EXPECT_FALSE(screen.isVisible());
    screen.show();
    screen.closed = [&] { ++closings; };
    screen.doneButton().click();
    sendKey(&screen, Qt::Key_Escape);
    EXPECT_EQ(closings, 2);
    // A request names its page by text or by token.
    screen.shown({0, QStringLiteral("FAQ")});
    EXPECT_EQ(screen.functionName(), "FAQ");
    screen.shown({0xC2, {}});
    EXPECT_EQ(screen.functionName(), "sin(");
}

// Share (and Ctrl+S) hands the share sheet the page as a PDF on the calculator's paper, in
// the export folder emptied first; the page's mail and review links go to the support
// actions.
TEST_F(HelpScreensTest, TheHelpScreenSharesItsPageAndItsLinksReachSupport)
{
    QTemporaryDir dir;
    FunctionHelpScreen screen(calc);
    screen.resize(390, 844);
    screen.show();
    screen.showOp(0xC2);
    screen.exportFolder = dir.filePath(QStringLiteral("export"));
    std::vector<ShareRequest> shared;
    screen.presentShare = [&](const ShareRequest& r) { shared.push_back(r); };
    sendKey(&screen, Qt::Key_S, Qt::ControlModifier);
    screen.shareButton().click();
    ASSERT_EQ(shared.size(), 2u);
    EXPECT_EQ(shared[0].subject, "sin(");
    ASSERT_EQ(shared[1].files.size(), 1u);
    EXPECT_EQ(QFileInfo(shared[1].files[0]).fileName(), "sin_.pdf");
    EXPECT_EQ(QDir(screen.exportFolder).entryList(QDir::Files), QStringList{"sin_.pdf"});
    QFile file(shared[1].files[0]);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QBuffer buffer;
    buffer.setData(file.readAll());
    buffer.open(QIODevice::ReadOnly);
    QPdfDocument pdf;
    pdf.load(&buffer);
    ASSERT_GE(pdf.pageCount(), 1);
    const Calculator::Rect paper = calc.pdfPageRect();
    EXPECT_NEAR(pdf.pagePointSize(0).width(), paper.width, 1) << "paginated on the paper";
    EXPECT_NEAR(pdf.pagePointSize(0).height(), paper.height, 1);

    SupportActions support(calc);
    std::vector<QString> mails, opened;
    support.compose = [&](const MailComposer::Mail& m) {
        mails.push_back(m.subject);
        return QString();
    };
    support.openUrl = [&](const QUrl& url) {
        opened.push_back(url.toString());
        return true;
    };
    screen.setSupport(&support);
    ASSERT_TRUE(screen.helpView().clickedUrl);
    screen.helpView().clickedUrl(QUrl(QStringLiteral("mailto:support@orvenda.app")));
    EXPECT_EQ(mails.size(), 1u);
    screen.helpView().clickedUrl(QUrl(QStringLiteral("help:cos(")));
    EXPECT_EQ(screen.helpView().functionName(), "cos(") << "help links stay in the screen";
    EXPECT_TRUE(opened.empty());
    screen.setSupport(nullptr);
}

TEST_F(HelpScreensTest, TheCataloguesDetailMarkOpensTheFunctionsPage)
{
    CatalogScreen catalog(calc, shell);
    catalog.resize(390, 700);
    catalog.show();
    catalog.selectString(QStringLiteral("sin"));
    catalog.openHelp(catalog.selection());
    ASSERT_TRUE(catalog.helpShown());
    ASSERT_NE(catalog.help().view(), nullptr);
    EXPECT_EQ(catalog.help().view()->functionName(), "sin(");
    EXPECT_TRUE(catalog.help().view()->functionDefined());
    shell.settle(std::chrono::seconds(5));
    // The page is there to read, not an empty area.
    const QImage page = catalog.help().view()->grab().toImage();
    EXPECT_GT(inkIn(page, QRect(0, 0, page.width(), 150)), 200);
    // Its PDF to share is the page on paper.
    QTemporaryDir folder;
    QString error;
    const QString path = catalog.help().writePdf(folder.path(), error);
    ASSERT_FALSE(path.isEmpty()) << error.toStdString();
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().startsWith("%PDF"));
}

// Every row with an ⓘ mark, in every menu and tab, as the home screen, the program editor
// and the graph screen show them in every graph mode, opens a page of its own.
TEST_F(HelpScreensTest, EveryMenuRowsDetailMarkHasAPage)
{
    MenuScreen menu(calc, shell);
    menu.resize(390, 700);
    menu.show();
    FunctionHelpPDF renderer(calc);
    int rows = 0;
    std::set<std::string> missing;
    for (const int screen : {screens::Home, screens::ProgramEditor, screens::ListEditor, screens::Graph}) {
        calc.setCurrentScreen(screen);
        for (int mode = 0; mode < 4; ++mode) {
            calc.setGraphMode(mode);
            for (int id = 0; id < MenuTables::kMenuCount; ++id) {
                if (id == MenuTables::kUserMenu)
                    continue;
                menu.showMenu(id);
                for (int tab = 0; tab < menu.tabTitles().size(); ++tab) {
                    menu.selectTab(tab);
                    // A program's mark opens its notes, not a help page.
                    if (menu.showsLibrary())
                        continue;
                    for (const MenuScreen::Section& section : menu.sections())
                        for (const MenuScreen::Row& row : section.rows) {
                            if (row.detail.isEmpty())
                                continue;
                            ++rows;
                            const QString name =
                                row.token ? QString::fromStdString(calc.nameForOpcode(row.token)) : row.title;
                            renderer.changeFunction(name);
                            if (!renderer.functionDefined())
                                missing.insert(name.toStdString());
                        }
                }
            }
        }
    }
    calc.setGraphMode(0);
    calc.setCurrentScreen(0);
    // The statistics tests' own menu marks its rows too.
    for (const std::uint32_t op : StatTestCatalogue::kMenuOrder) {
        ++rows;
        renderer.changeFunction(QString::fromStdString(calc.nameForOpcode(op)));
        if (!renderer.functionDefined())
            missing.insert(calc.nameForOpcode(op));
    }
    std::string report;
    for (const std::string& name : missing)
        report += "[" + name + "] ";
    EXPECT_GT(rows, 200);
    EXPECT_TRUE(missing.empty()) << missing.size() << " rows open \"not defined\": " << report;
    // The MATH menu's first row shows its page in the menu's help view.
    menu.showMenu(0);
    menu.openHelp({0, 0});
    ASSERT_TRUE(menu.helpShown());
    ASSERT_NE(menu.help().view(), nullptr);
    EXPECT_EQ(menu.help().view()->functionName(), QString::fromStdString(calc.nameForOpcode(menu.sections()[0].rows[0].token)));
    EXPECT_TRUE(menu.help().view()->functionDefined());
    const QImage page = menu.help().view()->grab().toImage();
    EXPECT_GT(inkIn(page, QRect(0, 0, page.width(), 150)), 200);
}

// Help mode takes every key of every layer but 2nd and ALPHA (? itself too), and the
// keypad guide every key of its three layers: each opens a page of its own.
TEST_F(HelpScreensTest, EveryKeyTheHelpModeTakesHasAPage)
{
    FunctionHelpPDF renderer(calc);
    std::set<std::string> missing;
    int keys = 0;
    const auto check = [&](std::uint32_t op, const char* where, int layer, int key) {
        if (op == 0 || op == KeyTables::kSecond || op == KeyTables::kAlpha)
            return;
        ++keys;
        const QString name = QString::fromStdString(calc.nameForOpcode(op));
        renderer.changeFunction(name);
        if (!renderer.functionDefined())
            missing.insert(name.toStdString() + " (" + where + " " + std::to_string(layer) + "/" + std::to_string(key) + ")");
    };
    for (int layer = 0; layer < KeyTables::kLayerCount; ++layer)
        for (int key = 0; key < KeyTables::kKeyCount; ++key)
            check(KeyTables::op(layer, key), "key", layer, key);
    for (int layer = 0; layer < 3; ++layer)
        for (int key = 0; key < GuideKeyboardView::kKeyCount; ++key)
            check(GuideKeyboardView::code(layer, key), "guide", layer, key);
    std::string report;
    for (const std::string& name : missing)
        report += "[" + name + "] ";
    EXPECT_GT(keys, 150);
    EXPECT_TRUE(missing.empty()) << missing.size() << " keys open \"not defined\": " << report;
}

TEST_F(HelpScreensTest, TheOnScreenViewKeepsItsStripsReadsFewerElementsAndHasLiveButtons)
{
    FunctionHelpView view(calc);
    view.resize(320, 600);
    QSizeF reported;
    std::vector<std::string> actions;
    view.contentSize = [&](QSizeF size) { reported = size; };
    view.mailTechSupport = [&] { actions.push_back("mail"); };
    view.reportBug = [&] { actions.push_back("bug"); };
    view.leaveReview = [&] { actions.push_back("review"); };
    view.loadPage(QStringLiteral("t"), "<F n=\"t\"><body>Hello <p>there</p></body><link url=\"help:x\" title=\"x\"/>"
                                      "<btn n=\"Ask\" id=\"0\"/><btn n=\"Bug\" id=\"1\"/><btn n=\"Rate\" id=\"2\"/>"
                                      "<btn n=\"Note\"/></F>");
    QImage image(320, 600, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    // The first area painted sets the strips' height; strips are drawn once.
    view.render(&image, QPoint(), QRegion(0, 0, 320, 50));
    EXPECT_EQ(view.imageCache().size(), 1u);
    view.render(&image);
    EXPECT_EQ(view.imageCache().size(), 12u);
    EXPECT_EQ(view.stripsDrawn(), 12);
    view.render(&image);
    EXPECT_EQ(view.stripsDrawn(), 12);
    // "link" and "p" are not read on screen: no link, the text stays in the body.
    EXPECT_TRUE(view.renderer().links().empty());
    EXPECT_EQ(reported.width(), 320);
    EXPECT_NEAR(reported.height(), view.renderer().drawPoint().y() + 5, 0.01);
    EXPECT_GT(reported.height(), 4 * 37);
    // Black text on the white behind it.
    int black = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 320; ++x)
            black += qGray(image.pixel(x, y)) < 80;
    EXPECT_GT(black, 40);
    ASSERT_EQ(view.liveButtons().size(), 4u);
    for (QPushButton* button : view.liveButtons())
        button->click();
    EXPECT_EQ(actions, (std::vector<std::string>{"mail", "bug", "review"}));
    EXPECT_EQ(view.liveButtons()[0]->text(), "Ask");
    EXPECT_EQ(view.liveButtons()[0]->width(), 140);
    // Another page forgets the strips and the buttons.
    view.changeFunction(QStringLiteral("sin("));
    EXPECT_TRUE(view.imageCache().empty());
    EXPECT_TRUE(view.liveButtons().empty());
}

// The on-screen view's page on paper: sliced as the renderer slices its own, drawn as the
// view draws it (full size, black on white, whatever the appearance).
TEST_F(HelpScreensTest, TheOnScreenViewSlicesItsPageOntoPaper)
{
    const QRectF paper(0, 0, 612, 792);
    const double bodyHeight = 792 - 90;
    const bool appearance = calc.honorDarkMode;
    calc.honorDarkMode = true;
    FunctionHelpView view(calc);
    view.resize(320, 600);
    view.changeFunction(QStringLiteral("sin("));
    const QByteArray shortPdf = view.pdfPageSize(paper);
    const PdfReadBack one = readPdf(shortPdf);
    ASSERT_EQ(one.pages, 1);
    EXPECT_NEAR(one.sizes[0].width(), 612, 1);
    EXPECT_NEAR(one.sizes[0].height(), 792, 1);
    EXPECT_TRUE(one.texts[0].contains(QStringLiteral("sin(")));
    EXPECT_TRUE(one.texts[0].contains(QStringLiteral("sine"))) << one.texts[0].toStdString();
    EXPECT_TRUE(one.texts[0].contains(QStringLiteral("Orvenda")));
    EXPECT_TRUE(one.texts[0].contains(QStringLiteral("-1-")));
    EXPECT_TRUE(calc.honorDarkMode) << "the appearance is put back";
    // Black text on white paper: no dark page background.
    const QImage picture = pdfPagePicture(shortPdf, 0);
    const QRect body(36, 54, 540, 200);
    EXPECT_GT(backgroundIn(picture, body).lightnessF(), 0.95);
    EXPECT_GT(textContrast(picture, body), 7);

    // A long page runs over numbered pages, at the view's full size: deeper than the
    // renderer's own slices at nine tenths.
    QByteArray xml("<F n=\"long\">");
    for (int i = 0; i < 60; ++i)
        xml += "<body>Paragraph " + QByteArray::number(i) + " of a long page that runs over several paper pages.</body>";
    xml += "</F>";
    view.loadPage(QStringLiteral("long"), xml);
    const PdfReadBack pages = readPdf(view.pdfPageSize(paper));
    const double depth = view.renderer().drawPoint().y();
    const int expected = int(std::ceil(depth / bodyHeight));
    ASSERT_GE(expected, 2);
    ASSERT_EQ(pages.pages, expected);
    for (int i = 0; i < expected; ++i)
        EXPECT_TRUE(pages.texts[std::size_t(i)].contains(QStringLiteral("-%1-").arg(i + 1))) << i;
    EXPECT_TRUE(pages.texts.back().contains(QStringLiteral("Paragraph 59")));
    FunctionHelpPDF own(calc);
    own.setOnScreen(true);
    own.loadPage(QStringLiteral("long"), xml);
    own.pdfPageSize(paper);
    EXPECT_GT(depth, own.drawPoint().y() * 1.05);
    // The screen's strips are drawn again after it, at the view's width.
    QImage image(320, 600, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    view.render(&image);
    EXPECT_FALSE(view.imageCache().empty());
    EXPECT_EQ(view.imageCache().front().width(), 320);
    EXPECT_GT(textContrast(image, QRect(0, 0, 320, 100)), 7);
    // Nothing loaded, nothing to print.
    FunctionHelpView empty(calc);
    EXPECT_TRUE(empty.pdfPageSize(paper).isEmpty());
    calc.honorDarkMode = appearance;
}

TEST(HTMLPageScreen, HeadsAreExactAndAPageWithAViewportGetsNoSecond)
{
    EXPECT_EQ(HTMLPageScreen::adjustScale(QStringLiteral("<p>x</p>"), false, true),
        "<html><head><style>body{background-color: #000000;font color=#FFFFFF}</style></head><body><p><font "
        "color=#FFFFFF><meta name = \"viewport\" content = \"initial-scale = 1.0\"><p>x</p>");
    EXPECT_EQ(HTMLPageScreen::adjustScale(QStringLiteral("<p>x</p>"), true, false),
        "<html><head><style>body{background-color: #FFFFFF;font-family:Helvetica;font-size:14px} div {width:300px; "
        "margin:auto;padding:4px; background:#C3D6B1;font-family:Courier New;font-size:15px; border:1px solid "
        "black;box-shadow: 5px 5px 2px grey;}</style></head><body><p><font color=#000000><meta name = \"viewport\" "
        "content = \"initial-scale = 1.5\"><p>x</p>");
    const QString own = QStringLiteral("<meta name=\"viewport\" content=\"initial-scale=2\">");
    const QString adjusted = HTMLPageScreen::adjustScale(own, true, true);
    EXPECT_TRUE(adjusted.endsWith(QStringLiteral("<font color=#FFFFFF>") + own));
    EXPECT_EQ(adjusted.count(QStringLiteral("viewport")), 1);
}

TEST(HTMLPageScreen, TheLightHeadsBlocksAreDrawnFramed)
{
    const QString page = HTMLPageScreen::adjustScale(QStringLiteral("<p>Type</p><div class=\"s\">1+1</DIV><p>then</p>"), false, false);
    const QString framed = HTMLPageScreen::framedBlocks(page);
    EXPECT_FALSE(framed.contains(QStringLiteral("<div"), Qt::CaseInsensitive));
    EXPECT_FALSE(framed.contains(QStringLiteral("</div"), Qt::CaseInsensitive));
    // Drawn, the block has a dark frame round its green cell; the div alone has none.
    const auto darkInk = [](const QString& html) {
        QTextDocument document;
        document.setHtml(html);
        document.setTextWidth(390);
        QImage image(390, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        document.drawContents(&painter);
        painter.end();
        int green = 0, dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                green += c == QColor(0xC3, 0xD6, 0xB1);
                // Frame pixels: dark and grey, not the text's glyph edges alone.
                dark += c.red() < 40 && c.green() < 40 && c.blue() < 40;
            }
        return std::pair{green, dark};
    };
    const auto [plainGreen, plainDark] = darkInk(page);
    const auto [framedGreen, framedDark] = darkInk(framed);
    EXPECT_GT(framedGreen, 1000);
    EXPECT_GT(framedDark, plainDark + 300) << "a 300-wide box framed on four sides";
    (void)plainGreen;
}

TEST_F(HelpScreensTest, TheIntroductionIsReadOnceAndItsLinksNamePages)
{
    HTMLPageScreen screen(calc, false);
    screen.resize(390, 800);
    screen.show();
    screen.loadPage(QStringLiteral("Introduction"));
    screen.appear(true);
    screen.appear(true);
    EXPECT_EQ(screen.reads(), 1);
    EXPECT_EQ(screen.title(), "Introduction");
    EXPECT_TRUE(screen.browser().toPlainText().contains(QStringLiteral("Welcome to Orvenda")));
    EXPECT_GT(inkIn(screen.grab().toImage(), QRect(0, 0, 390, 200)), 200);
    // Every page the introduction links to is there.
    const QString text = HTMLPageScreen::pageText(QStringLiteral("Introduction"));
    FunctionHelpPDF renderer(calc);
    int links = 0;
    for (const auto& match : QRegularExpression(QStringLiteral("href=\"help:([^\"]+)\"")).globalMatch(text)) {
        renderer.changeFunction(match.captured(1));
        EXPECT_TRUE(renderer.functionDefined()) << match.captured(1).toStdString();
        ++links;
    }
    EXPECT_GE(links, 3);
    QString asked;
    screen.openFunction = [&](const QString& name) { asked = name; };
    screen.browser().anchorClicked(QUrl(QStringLiteral("help:MODE")));
    EXPECT_EQ(asked, "MODE");
    screen.browser().anchorClicked(QUrl(QStringLiteral("https://example.org")));
    EXPECT_EQ(opened, (std::vector<QString>{"https://example.org"}));
    // A page that does not ship shows only the head.
    screen.loadPage(QStringLiteral("Nothing"));
    screen.appear(false);
    EXPECT_EQ(screen.reads(), 2);
    EXPECT_TRUE(screen.browser().toPlainText().trimmed().isEmpty());
}

// In the dark appearance the help page is dark with light text, and the introduction gets
// the dark style head.
TEST_F(HelpScreensTest, PagesFollowTheDarkAppearance)
{
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    QApplication::setPalette(dark);
    {
        FunctionHelpPDFView view(calc);
        view.resize(390, 300);
        view.show();
        view.showFunctionName(QStringLiteral("sin("));
        const QImage shown = view.grab().toImage();
        const QColor back = backgroundIn(shown, QRect(0, 0, 390, 120));
        EXPECT_LT(back.lightnessF(), 0.3);
        EXPECT_GT(textContrast(shown, QRect(0, 0, 390, 120)), 4.5);
        HelpMenuScreen menu(calc, true);
        menu.resize(768, 1024);
        menu.show();
        ASSERT_NE(menu.htmlPage(), nullptr);
        EXPECT_TRUE(menu.htmlPage()->html().startsWith(QStringLiteral("<html><head><style>body{background-color: #000000;")));
    }
    QApplication::setPalette(light);
    HelpMenuScreen menu(calc, true);
    EXPECT_TRUE(menu.htmlPage()->html().startsWith(QStringLiteral("<html><head><style>body{background-color: #FFFFFF;")));
}

TEST_F(HelpScreensTest, EveryTopicOpensADefinedPage)
{
    FunctionHelpPDF renderer(calc);
    for (int row = 0; row < HelpMenuScreen::kTopicCount; ++row) {
        const auto& topic = HelpMenuScreen::topics()[static_cast<std::size_t>(row)];
        QString name;
        if (topic.opens == HelpMenuScreen::Opens::Function)
            name = QString::fromUtf8(topic.page.data(), static_cast<qsizetype>(topic.page.size()));
        else if (topic.opens == HelpMenuScreen::Opens::FunctionOp)
            name = QString::fromStdString(calc.nameForOpcode(topic.op));
        else
            continue;
        renderer.changeFunction(name);
        EXPECT_TRUE(renderer.functionDefined()) << row << " " << name.toStdString();
    }
}

class FixedNetwork : public Reachability {
public:
    explicit FixedNetwork(std::shared_ptr<int> online) : online_(std::move(online)) {}
    bool startNotifier() override { return true; }
    int currentReachabilityStatus() const override { return *online_; }

private:
    std::shared_ptr<int> online_;
};

// Row 0 opens the contact page (its version, the support mail, the web page only online)
// and row 16 the four-function calculator, worked by its buttons, each drawn where the
// topics go, at both sizes; asked for again, the same contact page comes back.
TEST_F(HelpScreensTest, TheContactPageAndTheCalculatorOpenFromTheirRows)
{
    auto online = std::make_shared<int>(0);
    Reachability::setFactory([online](Reachability::Target, const std::string&) {
        return std::make_shared<FixedNetwork>(online);
    });
    calc.startNetworkMonitors();
    auto view = std::make_shared<FakeView>();
    calc.viewDelegate = view;
    SupportActions support(calc);
    std::vector<QString> subjects, urls;
    support.compose = [&subjects](const MailComposer::Mail& mail) {
        subjects.push_back(mail.subject);
        return QString();
    };
    support.openUrl = [&urls](const QUrl& url) {
        urls.push_back(url.toString());
        return true;
    };
    const QString version = QString::fromStdString(calc.versionString());
    for (const bool tablet : {false, true}) {
        SCOPED_TRACE(tablet ? "tablet" : "phone");
        *online = 0;
        subjects.clear();
        urls.clear();
        view->errors.clear();
        HelpMenuScreen menu(calc, tablet);
        menu.setSupport(&support);
        menu.resize(tablet ? QSize(768, 1024) : QSize(390, 844));
        menu.show();
        menu.focus(true);
        menu.index().itemClicked(menu.index().item(0));
        ContactScreen* contact = menu.contactPage();
        ASSERT_NE(contact, nullptr);
        EXPECT_EQ(menu.currentTopic(), 0);
        EXPECT_EQ(menu.currentPage(), contact);
        EXPECT_EQ(contact->versionLabel().text(), QStringLiteral("version %1").arg(version));
        // The phone's bar names the page; the tablet's page names itself.
        EXPECT_EQ(tablet ? contact->titleLabel().text() : menu.titleLabel().text(), "Orvenda");
        QImage shot = menu.grab().toImage();
        for (const QWidget* shown : std::initializer_list<const QWidget*>{&contact->versionLabel(), &contact->mailButton(),
                 &contact->webButton()}) {
            ASSERT_TRUE(shown->isVisible());
            EXPECT_GT(inkIn(shot, QRect(shown->mapTo(&menu, QPoint(0, 0)), shown->size())), 20);
        }
        contact->mailButton().click();
        EXPECT_EQ(subjects, std::vector<QString>{QStringLiteral("Orvenda v%1 support question").arg(version)});
        contact->webButton().click();
        ASSERT_EQ(view->errors.size(), 1u);
        EXPECT_EQ(view->errors[0]["errorNum"], 37);
        EXPECT_TRUE(urls.empty());
        *online = 1;
        contact->webButton().click();
        EXPECT_EQ(urls, std::vector<QString>{QString::fromLatin1(SupportActions::kWebPage)});
        menu.showPage(0);
        EXPECT_EQ(menu.contactPage(), contact);

        menu.showPage(16);
        FourFunctionPanel* panel = menu.calculator();
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(menu.currentPage(), panel);
        EXPECT_EQ(menu.currentTopic(), 16);
        // The index's bar leads back: the panel shows no Done of its own.
        EXPECT_EQ(panel->leaveControl(), nullptr);
        const QImage empty = menu.grab().toImage();
        // 7 ÷ 0 = is infinity; 0 ÷ 0 = is no number at all.
        for (const int tag : {4, 2, 16, 1})
            panel->button(tag)->click();
        EXPECT_EQ(panel->text(), "infinity");
        for (const int tag : {0, 16, 2, 16, 1})
            panel->button(tag)->click();
        EXPECT_EQ(panel->text(), "Error");
        shot = menu.grab().toImage();
        const QPushButton* seven = panel->button(4);
        ASSERT_TRUE(seven->isVisible());
        EXPECT_GT(inkIn(shot, QRect(seven->mapTo(&menu, QPoint(0, 0)), seven->size())), 20);
        int changed = 0;
        for (int y = 0; y < shot.height(); y += 2)
            for (int x = 0; x < shot.width(); x += 2)
                changed += shot.pixel(x, y) != empty.pixel(x, y);
        EXPECT_GT(changed, 20) << "the display shows the answer";
        // Escape goes back: to the index on a phone, out of the help on a tablet.
        int closings = 0;
        menu.closed = [&] { ++closings; };
        sendKey(panel, Qt::Key_Escape);
        EXPECT_EQ(tablet ? closings : int(menu.currentPage() == nullptr), 1);
    }
    calc.viewDelegate = root;
    Reachability::setFactory(nullptr);
}

// The index's rows read their titles from the localisation table by the rows' keys.
TEST_F(HelpScreensTest, TheIndexShowsTheLocalisedTitles)
{
    HelpMenuScreen menu(calc, false);
    QStringList shown;
    for (int i = 0; i < menu.index().count(); ++i) {
        const int row = menu.index().item(i)->data(Qt::UserRole).toInt();
        const std::string key(HelpMenuScreen::topics()[static_cast<std::size_t>(row)].key);
        EXPECT_EQ(menu.index().item(i)->text().toStdString(), Localization::shared().text(key)) << key;
        shown << menu.index().item(i)->text();
    }
    // All seventeen topics, the contact page first and the small calculator last.
    EXPECT_EQ(shown, (QStringList{"Contact", "Introduction", "New Features", "FAQ", "Keyboard", "Mode", "Home Screen",
                         "Menus", "Catalog", "Graph Screen", "Zoom", "Table", "Lists", "Arrays", "Programs",
                         "Sharing Data and Programs", "Calculator"}));
    for (int i = 0; i < menu.index().count(); ++i)
        EXPECT_EQ(menu.index().item(i)->data(Qt::UserRole).toInt(), i);
    EXPECT_EQ(HelpMenuScreen::title(17), "");
}

TEST_F(HelpScreensTest, OnAPhoneATopicIsPushedAndBackReturnsToTheIndex)
{
    HelpMenuScreen menu(calc, false);
    menu.resize(390, 844);
    menu.show();
    menu.focus(true);
    EXPECT_EQ(menu.currentPage(), nullptr);
    EXPECT_EQ(menu.index().count(), 17);
    // The fifth row is the keyboard guide.
    menu.index().setCurrentRow(4);
    menu.index().itemClicked(menu.index().item(4));
    EXPECT_EQ(menu.currentTopic(), 4);
    ASSERT_NE(menu.keyboardGuide(), nullptr);
    EXPECT_EQ(menu.currentPage(), menu.keyboardGuide());
    EXPECT_TRUE(menu.backButton().isVisible());
    menu.backButton().click();
    EXPECT_EQ(menu.currentPage(), nullptr);
    EXPECT_TRUE(menu.index().isVisible());
    menu.showPage(5);
    ASSERT_NE(menu.functionHelp(), nullptr);
    EXPECT_EQ(menu.functionHelp()->functionName(), QString::fromStdString(calc.nameForOpcode(1029)));
    EXPECT_EQ(menu.titleLabel().text(), "MODE");
    sendKey(menu.functionHelp(), Qt::Key_Escape);
    EXPECT_EQ(menu.currentPage(), nullptr);
    // A number outside the topics opens nothing but is remembered.
    menu.showPage(40);
    EXPECT_EQ(menu.currentPage(), nullptr);
    EXPECT_EQ(menu.currentTopic(), 40);
    // Losing the focus lets the pages go; Escape on the index and Done close it.
    menu.showPage(1);
    menu.focus(false);
    EXPECT_EQ(menu.functionHelp(), nullptr);
    EXPECT_EQ(menu.htmlPage(), nullptr);
    EXPECT_EQ(menu.keyboardGuide(), nullptr);
    int closings = 0;
    menu.closed = [&] { ++closings; };
    menu.show();
    sendKey(&menu, Qt::Key_Escape);
    EXPECT_EQ(closings, 1);
    EXPECT_FALSE(menu.isVisible());
}

// On a phone a key's page of the keyboard guide is pushed under the index's one bar: the
// bar names the page with one Done and leads back to the guide; no second bar shows.
TEST_F(HelpScreensTest, OnAPhoneTheGuidesKeyPageSharesTheIndexsBar)
{
    HelpMenuScreen menu(calc, false);
    menu.resize(390, 844);
    menu.show();
    menu.focus(true);
    menu.showPage(4);
    GuideKeyboardScreen* guide = menu.keyboardGuide();
    ASSERT_NE(guide, nullptr);
    const auto dones = [&menu] {
        int n = 0;
        for (const QPushButton* b : menu.findChildren<QPushButton*>())
            n += b->isVisible() && b->text() == QStringLiteral("Done");
        return n;
    };
    // CLEAR's key.
    guide->keyboardView().button(19).click();
    ASSERT_TRUE(guide->helpShown());
    EXPECT_EQ(guide->functionHelp()->functionName(), QString::fromStdString(calc.nameForOpcode(1032)));
    EXPECT_EQ(dones(), 1);
    EXPECT_EQ(menu.titleLabel().text(), guide->functionHelp()->functionName());
    EXPECT_EQ(menu.backButton().text(), "‹ Keyboard");
    const QRect bar(0, 0, 390, 40);
    EXPECT_EQ(guide->functionHelp()->mapTo(&menu, QPoint(0, 0)).y(), bar.bottom() + 1) << "the page right under the bar";
    // The picture: under the bar the page's own background, not a second bar.
    const QImage shot = menu.grab().toImage();
    const QColor barColour = backgroundIn(shot, bar.adjusted(100, 2, -100, -2));
    EXPECT_NE(backgroundIn(shot, QRect(100, 44, 190, 30)), barColour);
    menu.backButton().click();
    EXPECT_FALSE(guide->helpShown());
    EXPECT_EQ(menu.currentPage(), guide);
    EXPECT_EQ(menu.titleLabel().text(), "Keyboard");
    EXPECT_EQ(menu.backButton().text(), "‹ Help");
    // Escape on a page goes back to the guide too, and the bar follows.
    guide->keyboardView().button(21).click();
    ASSERT_TRUE(guide->helpShown());
    sendKey(guide->functionHelp(), Qt::Key_Escape);
    EXPECT_FALSE(guide->helpShown());
    EXPECT_EQ(menu.titleLabel().text(), "Keyboard");
    menu.backButton().click();
    EXPECT_EQ(menu.currentPage(), nullptr);
}

TEST_F(HelpScreensTest, OnATabletTheIntroductionShowsBesideTheIndexAndTheLastTopicComesBack)
{
    HelpMenuScreen menu(calc, true);
    menu.resize(768, 1024);
    menu.show();
    menu.focus(true);
    ASSERT_NE(menu.htmlPage(), nullptr);
    EXPECT_EQ(menu.currentPage(), menu.htmlPage());
    EXPECT_EQ(menu.htmlPage()->title(), "Introduction");
    EXPECT_TRUE(menu.index().isVisible());
    EXPECT_GE(menu.htmlPage()->mapTo(&menu, QPoint(0, 0)).x(), menu.index().width());
    menu.showPage(3);
    EXPECT_EQ(menu.currentPage(), menu.functionHelp());
    EXPECT_EQ(menu.functionHelp()->functionName(), "FAQ");
    menu.focus(false);
    EXPECT_EQ(menu.functionHelp(), nullptr);
    menu.focus(true);
    ASSERT_NE(menu.functionHelp(), nullptr);
    EXPECT_EQ(menu.functionHelp()->functionName(), "FAQ");
    EXPECT_EQ(menu.currentPage(), menu.functionHelp());
}

class GuideTest : public HelpScreensTest {
protected:
    GuideTest()
    {
        guide.resize(390, 804);
        guide.show();
        guide.keyboardView().showOp = [this](std::uint32_t code, QRectF) { shown.push_back(code); };
    }
    void touch(int key) { guide.keyboardView().button(key).pressed(); }

    GuideKeyboardScreen guide{calc, false};
    std::vector<std::uint32_t> shown;
};

TEST_F(GuideTest, ShiftsChooseTheLayerOfTheNextKeyAndClearAfterIt)
{
    GuideKeyboardView& keys = guide.keyboardView();
    touch(5);
    touch(21);
    touch(10);
    touch(11);
    touch(10);
    touch(10);
    touch(21);
    touch(5);
    touch(10);
    EXPECT_EQ(shown, (std::vector<std::uint32_t>{0xC3, 0xBBF8, 0xC2, 1041}));
    EXPECT_FALSE(keys.secondShift());
    EXPECT_FALSE(keys.alphaShift());
    // 2nd then ALPHA on the keypad leaves no shift on; 2nd twice goes back to plain.
    touch(5);
    touch(5);
    EXPECT_EQ(keys.layer(), 0);
    EXPECT_EQ(GuideKeyboardView::code(1, 45), 1055u);
    EXPECT_EQ(GuideKeyboardView::code(2, 12), 0xBBF9u);
    EXPECT_EQ(GuideKeyboardView::code(2, 21), 0xC2u);
}

// X,T,θ,n wears the graph mode's face as on the calculator keyboard: parametric, polar and
// sequence each draw their own key, at both sizes; the other keys stay as they are.
TEST_F(HelpScreensTest, TheGuidesXKeyFollowsTheGraphMode)
{
    for (const bool tablet : {false, true}) {
        std::vector<QImage> keys;
        QImage others;
        for (const int mode : {0, 1, 2, 3}) {
            calc.setGraphMode(mode);
            GuideKeyboardScreen guide(calc, tablet);
            guide.resize(tablet ? QSize(507, 984) : QSize(390, 804));
            guide.show();
            const KeyButton& x = guide.keyboardView().button(GuideKeyboardView::kXKey);
            EXPECT_EQ(x.face(), KeyArtwork::xKeyFace(mode, false)) << mode;
            const QImage picture = guide.grab().toImage();
            const QRect key = x.geometry().translated(guide.keyboardView().mapTo(&guide, QPoint(0, 0)));
            keys.push_back(picture.copy(key));
            // STAT, beside it, is drawn the same in every mode.
            const QRect stat = guide.keyboardView().button(12).geometry().translated(guide.keyboardView().mapTo(&guide, QPoint(0, 0)));
            if (others.isNull())
                others = picture.copy(stat);
            else
                EXPECT_EQ(picture.copy(stat), others) << mode;
        }
        for (int a = 0; a < 4; ++a)
            for (int b = a + 1; b < 4; ++b) {
                int differ = 0;
                for (int y = 0; y < keys[a].height(); ++y)
                    for (int px = 0; px < keys[a].width(); ++px)
                        differ += keys[a].pixel(px, y) != keys[b].pixel(px, y);
                EXPECT_GT(differ, 20) << (tablet ? "tablet " : "phone ") << "modes " << a << " and " << b;
            }
    }
    calc.setGraphMode(0);
}

TEST_F(GuideTest, AKeyOpensItsHelpOverTheGuideAndEscapeGoesBack)
{
    guide.keyboardView().showOp = [this](std::uint32_t code, QRectF frame) { guide.showOp(code, frame); };
    // Keys lie inside the keypad, the keypad at the bottom.
    const QRectF pad = guide.keyboardView().keypad();
    EXPECT_NEAR(pad.bottom(), 804, 1);
    for (int key = 0; key < GuideKeyboardView::kKeyCount; ++key)
        EXPECT_TRUE(pad.adjusted(-1, -1, 1, 1).contains(guide.keyboardView().button(key).geometry())) << key;
    guide.keyboardView().button(5).click();
    guide.keyboardView().button(21).click();
    ASSERT_TRUE(guide.helpShown());
    EXPECT_EQ(guide.functionHelp()->functionName(), QString::fromStdString(calc.nameForOpcode(0xC3)));
    EXPECT_EQ(guide.functionHelp()->geometry(), guide.rect());
    sendKey(&guide, Qt::Key_Escape);
    EXPECT_FALSE(guide.helpShown());
    int closings = 0;
    guide.closed = [&] { ++closings; };
    sendKey(&guide, Qt::Key_Escape);
    EXPECT_EQ(closings, 1);
}

} // namespace
} // namespace orvenda::test
