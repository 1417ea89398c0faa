#pragma once

#include "docs/HelpPageState.h"
#include "docs/HelpText.h"

#include <QByteArray>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QXmlStreamAttributes>

class QPagedPaintDevice;

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace orvenda {

class Calculator;

class GraphicsContext;
class HelpGraphState;
class HelpMockScreens;
class PrettyPrint;
class VQGraph;

// The help page of one function, read from the help file and drawn top to bottom into
// any context: blocks of text (body, syntax, mock screens, program listings, errors,
// editors), pretty-printed home screens, small graphs, pictures, formulas, links and the
// mock screens of the apps. The same renderer measures a page, draws it as one tall PDF
// page for the screen, or slices it onto numbered paper pages for printing. It is reused
// from page to page: changeFunction() loads a page, drawRect() draws it.
//
// The view that shows a page (a later screen) needs only changeFunction(), functionName(),
// functionDefined() and pdfName(): the PDF is the page as the user sees it, and its links
// open through the PDF view. Main thread.
class FunctionHelpPDF {
public:
    // Element codes of the help XML (there is no 24).
    enum Element {
        kF = 1, kBody = 2, kSyntax = 3, kScreen = 4, kPrgm = 5, kErrs = 6, kBold = 7, kItalic = 8, kRight = 9,
        kEditor = 10, kSeg = 11, kHBar = 12, kHEntry = 13, kMenu = 14, kMenuRow = 15, kGraph = 16, kFn = 17,
        kColorList = 18, kStatEdit = 19, kStatItem = 20, kTVM = 21, kTriPic = 22, kImg = 23, kDrw = 25,
        kBtn = 26, kMath = 27, kPScreen = 28, kPretty = 29, kLink = 30, kPageBreak = 31, kPolySolve = 32,
        kSimulEq = 33,
    };
    // The kind of the open block.
    enum Style { kBodyStyle = 0, kSyntaxStyle = 1, kScreenStyle = 2, kProgramStyle = 3, kErrorStyle = 4,
                 kEditorStyle = 5, kGraphStyle = 6 };
    // How the page is being put on paper.
    enum class Output { Page, Sliced, Explicit };

    // The height of the area a page is measured in.
    static constexpr double kTallHeight = 12000;
    // Page slices, at most: a page is never longer than the tall area it is measured in.
    static constexpr int kMaxSlices = 1000;

    explicit FunctionHelpPDF(Calculator& calc);
    ~FunctionHelpPDF();
    FunctionHelpPDF(const FunctionHelpPDF&) = delete;
    FunctionHelpPDF& operator=(const FunctionHelpPDF&) = delete;

    // The language whose help file is read (a code such as "es-MX"); the user's first
    // preferred language unless set.
    void setLanguage(const QString& code) { language_ = code; }
    const QString& language() const { return language_; }

    // Loads the page of a name: functionDefined() tells whether the file has one; an
    // absent page reads "not defined". Loading the name already loaded keeps the page.
    void changeFunction(const QString& name);
    // Loads a page given as XML under a name, as if the file held it.
    void loadPage(const QString& name, const QByteArray& xml);
    const QString& functionName() const { return functionName_; }
    bool functionDefined() const { return functionDefined_; }
    // The XML of the loaded page; empty before any is loaded.
    const QByteArray& pageData() const { return funcData_; }

    const QRectF& bounds() const { return page_.bounds; }
    void setBounds(const QRectF& bounds) { page_.bounds = bounds; }
    double scale() const { return page_.scale; }
    void setScale(double scale) { page_.scale = scale; }
    // After a drawing: its y is the height of the page's content.
    QPointF drawPoint() const { return page_.drawPoint; }
    const QString& programName() const { return programName_; }
    // A link of the page: where it was drawn (in page coordinates) and its address.
    struct Link {
        QRectF rect;
        QString url;
    };
    // The links of the last drawing, for a view that follows clicks on them.
    const std::vector<Link>& links() const { return links_; }
    // The titles of the buttons the page asks for, for a view that shows them live.
    const std::vector<QString>& buttons() const { return buttons_; }
    // Where each of those buttons stands on the page and its action (0 support mail,
    // 1 bug report, 2 review, -1 none), as the last drawing placed them.
    struct ButtonPlace {
        QString title;
        int action = -1;
        QRectF frame;
    };
    const std::vector<ButtonPlace>& buttonPlaces() const { return buttonPlaces_; }

    // Drawing straight onto a screen: only the elements up to "math" are read (the others'
    // text goes to the open block), text is black on no background whatever the
    // appearance, and body and error text is set in Times.
    void setOnScreen(bool onScreen);
    bool onScreen() const { return onScreen_; }
    const QString& editorName() const { return editorName_; }
    const HelpPageState& pageState() const { return page_; }
    // The graph of graph blocks, made at the first one.
    VQGraph* graph() const { return graph_.get(); }
    // The parse errors of the last drawing.
    int parseErrors() const { return parseErrors_; }

    // Draws the loaded page into the context; the rectangle is only the area painted with
    // the page background in dark mode.
    void drawRect(GraphicsContext& context, const QRectF& rect);

    // The page of a name as PDF: one page as wide as size (320 when 0) and as tall as the
    // content (at least size's height), or sliced onto the calculator's paper size. The
    // calculator draws in dark mode or not, as asked, while it is made.
    QByteArray pdfName(const QString& name, QSizeF size, bool paginate, bool darkMode);
    // The loaded page sliced onto pages of that size, each with the name, the product's name
    // and, when there is more than one, its number.
    QByteArray pdfPageSize(const QRectF& pageRect);
    // Draws the part of the loaded page that falls on one paper page: the slice, in page
    // coordinates, into a context already moved and clipped to it.
    using SliceDrawer = std::function<void(GraphicsContext& context, const QRectF& slice)>;
    // The loaded page sliced onto pages of that size at a scale as pdfPageSize() does, with
    // the calculator in dark mode or not while it is made; each slice is drawn by
    // drawSlice, by the renderer itself when it is empty.
    QByteArray slicePages(const QRectF& pageRect, double scale, bool darkMode, const SliceDrawer& drawSlice);
    // The loaded page on pages broken where the page says ("pageBreak").
    QByteArray paginateRect(const QRectF& pageRect);

private:
    friend class HelpMockScreens;

    void pass(GraphicsContext& context, const QRectF& window);
    void startElement(GraphicsContext& context, int code, const QXmlStreamAttributes& attributes);
    void endElement(GraphicsContext& context, int code);
    void characters(const QString& text);

    // The text box of the open block, narrowed for the mock-screen blocks.
    QRectF textBox() const;
    QPointF getTextDepth(const HelpText& text, const QRectF& box, QPointF at) const;
    QPointF drawText(GraphicsContext& context, const HelpText& text, const QRectF& box, QPointF at) const;
    void drawTextKind(GraphicsContext& context, int code);
    void drawFrame(GraphicsContext& context, int code);
    void drawScreenFrame(GraphicsContext& context, const QRectF& frame);
    void drawPrettyText(GraphicsContext& context);
    QPointF drawPText(GraphicsContext& context, const QString& list, const QRectF& box, QPointF at);

    void startGraph(const QXmlStreamAttributes& attributes);
    void endGraph(GraphicsContext& context);
    void addFunction(const QXmlStreamAttributes& attributes);
    void drawImg(GraphicsContext& context, const QXmlStreamAttributes& attributes);
    void drawDrw(GraphicsContext& context, const QXmlStreamAttributes& attributes);
    void drawMath(GraphicsContext& context, const QXmlStreamAttributes& attributes);
    void drawLink(GraphicsContext& context, const QXmlStreamAttributes& attributes);
    void addButton(const QXmlStreamAttributes& attributes);
    void pageBreak(GraphicsContext& context);
    void drawHeader(GraphicsContext& context);
    void drawFooterPage(GraphicsContext& context, int page, bool showPage);

    TextFont fontForStyle() const;

    Calculator& calc_;
    std::unordered_map<std::string, int> elementNames_;
    QString language_;
    QByteArray funcData_;
    QString functionName_;
    bool functionDefined_ = false;
    HelpPageState page_;
    int style_ = kBodyStyle;
    bool doDraw_ = false;
    bool boldFont_ = false;
    bool italicFont_ = false;
    int justification_ = 0;
    bool prettyText_ = false;
    bool newStyle_ = false;
    HelpText outputString_;
    QString rightString_;
    std::optional<TextFont> rightFont_;
    QString prettyString_;
    QString programName_;
    QString editorName_;
    double historyBarLoc_ = -1;
    std::vector<double> historyEntryLoc_;
    std::unique_ptr<VQGraph> graph_;
    // The calculator's graph state while a graph block is open.
    std::unique_ptr<HelpGraphState> graphState_;
    // Titles of the buttons the page asked for.
    std::vector<QString> buttons_;
    std::vector<Link> links_;
    std::vector<ButtonPlace> buttonPlaces_;
    bool onScreen_ = false;
    std::unique_ptr<PrettyPrint> prettyPrint_;
    std::unique_ptr<HelpMockScreens> screens_;
    Output output_ = Output::Page;
    QRectF paginationRect_;
    int pageNum_ = 1;
    // The PDF writer of explicit pages, for page breaks.
    QPagedPaintDevice* device_ = nullptr;
    int parseErrors_ = 0;
};

} // namespace orvenda
