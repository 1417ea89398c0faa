#include "docs/FunctionHelpPDF.h"

#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "core/VQStack.h"
#include "docs/HelpFile.h"
#include "docs/HelpGraphState.h"
#include "docs/HelpMockScreens.h"
#include "docs/VQGraph.h"
#include "drawing/AssetColors.h"
#include "drawing/GraphicsContext.h"
#include "drawing/VImageDraw.h"
#include "drawing/VLaTeX.h"
#include "eval/Parser.h"
#include "graph/PlotFn.h"
#include "pretty/PrettyDrawInfo.h"
#include "pretty/PrettyPrint.h"
#include "pretty/TokenClass.h"

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QXmlStreamReader>
#include <QtDebug>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

// The graph variable of plotted functions.
constexpr int kSlotXVariable = 23;
constexpr std::uint32_t kNoOpcode = 0xFFFFFFFFu;
// The names of the elements with their codes.
constexpr std::pair<const char*, int> kElements[] = {
    {"F", FunctionHelpPDF::kF}, {"body", FunctionHelpPDF::kBody}, {"syntax", FunctionHelpPDF::kSyntax},
    {"screen", FunctionHelpPDF::kScreen}, {"prgm", FunctionHelpPDF::kPrgm}, {"errs", FunctionHelpPDF::kErrs},
    {"b", FunctionHelpPDF::kBold}, {"i", FunctionHelpPDF::kItalic}, {"r", FunctionHelpPDF::kRight},
    {"editor", FunctionHelpPDF::kEditor}, {"seg", FunctionHelpPDF::kSeg}, {"hBar", FunctionHelpPDF::kHBar},
    {"hEntry", FunctionHelpPDF::kHEntry}, {"menu", FunctionHelpPDF::kMenu}, {"mm", FunctionHelpPDF::kMenuRow},
    {"graph", FunctionHelpPDF::kGraph}, {"fn", FunctionHelpPDF::kFn}, {"colorLst", FunctionHelpPDF::kColorList},
    {"statEdit", FunctionHelpPDF::kStatEdit}, {"statItem", FunctionHelpPDF::kStatItem},
    {"tvm", FunctionHelpPDF::kTVM}, {"triPic", FunctionHelpPDF::kTriPic}, {"img", FunctionHelpPDF::kImg},
    {"drw", FunctionHelpPDF::kDrw}, {"btn", FunctionHelpPDF::kBtn}, {"math", FunctionHelpPDF::kMath},
    {"pscreen", FunctionHelpPDF::kPScreen}, {"p", FunctionHelpPDF::kPretty}, {"link", FunctionHelpPDF::kLink},
    {"pageBreak", FunctionHelpPDF::kPageBreak}, {"polySolve", FunctionHelpPDF::kPolySolve},
    {"simulEq", FunctionHelpPDF::kSimulEq},
};
// The width of the screen blocks' lines in characters.
constexpr int kScreenColumns = 32;
// The credit line of every help PDF.
constexpr const char* kCreator = "Orvenda help pages";
// The sliced pages' border: a thin line along the paper's edge.
constexpr double kBorderWidth = 1;

bool isDrawingCommand(std::uint32_t op)
{
    return op == 0x93 || (op >= 0x9C && op <= 0xA0) || (op >= 0xA4 && op <= 0xA9) || op == 0x5C3F;
}

bool isShadingCommand(std::uint32_t op) { return op >= 0xBB35 && op <= 0xBB38; }

// The columns a text takes on a mock screen: a mark over a letter (x̅, p̂) takes none.
int screenColumns(const QString& text)
{
    int columns = 0;
    for (const char32_t c : text.toUcs4())
        columns += QChar::isMark(c) ? 0 : 1;
    return columns;
}

// A statement of its own inside the ops: a store, a separator or a command.
bool holdsStatement(const std::vector<std::uint32_t>& ops, std::size_t from)
{
    for (std::size_t i = from; i < ops.size(); ++i)
        if (ops[i] == TokenClass::kStore || PrettyPrint::opType(ops[i]) == TokenClass::StatementStart)
            return true;
    return false;
}

double number(const QXmlStreamAttributes& attributes, const char* name, double fallback)
{
    bool ok = false;
    const double v = attributes.value(QLatin1String(name)).toDouble(&ok);
    return ok && std::isfinite(v) ? v : fallback;
}

// Comma-separated numbers; those that do not read are left as given.
template <std::size_t N>
std::array<double, N> numbers(const QXmlStreamAttributes& attributes, const char* name, std::array<double, N> values)
{
    const QStringList parts = attributes.value(QLatin1String(name)).toString().split(QLatin1Char(','));
    for (std::size_t i = 0; i < N && i < std::size_t(parts.size()); ++i) {
        bool ok = false;
        const double v = parts[qsizetype(i)].trimmed().toDouble(&ok);
        if (ok && std::isfinite(v))
            values[i] = v;
    }
    return values;
}

QColor rgb(double r, double g, double b, double a = 1) { return GraphicsContext::color(r, g, b, a); }

// Sets the calculator's dark-mode flag for a while and puts the previous one back.
class DarkMode {
public:
    DarkMode(Calculator& calc, bool dark) : calc_(calc)
    {
        const auto hold = calc_.lockState();
        saved_ = calc_.honorDarkMode;
        calc_.honorDarkMode = dark;
    }
    ~DarkMode()
    {
        const auto hold = calc_.lockState();
        calc_.honorDarkMode = saved_;
    }
    DarkMode(const DarkMode&) = delete;
    DarkMode& operator=(const DarkMode&) = delete;

private:
    Calculator& calc_;
    bool saved_ = true;
};

// A PDF document of pages of one size, 1 unit a point, written into a byte array.
struct PdfDocument {
    PdfDocument(QSizeF size, const QString& title) : writer(&buffer)
    {
        buffer.open(QIODevice::WriteOnly);
        writer.setResolution(72);
        writer.setTitle(title);
        writer.setCreator(QLatin1String(kCreator));
        writer.setPageSize(QPageSize(size, QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    }
    QByteArray data;
    QBuffer buffer{&data};
    QPdfWriter writer;
};

} // namespace

FunctionHelpPDF::FunctionHelpPDF(Calculator& calc)
    : calc_(calc), language_(HelpFile::preferredLanguage()), prettyPrint_(std::make_unique<PrettyPrint>()),
      screens_(std::make_unique<HelpMockScreens>(*this))
{
    for (const auto& [name, code] : kElements)
        elementNames_.emplace(name, code);
    rightString_.reserve(80);
    prettyString_.reserve(80);
    buttons_.reserve(3);
    page_.scale = calc_.device == 1 ? 1.25 : 1.0;
}

FunctionHelpPDF::~FunctionHelpPDF() = default;

void FunctionHelpPDF::changeFunction(const QString& name)
{
    functionDefined_ = false;
    if (name.isEmpty())
        return;
    if (name == functionName_ && !funcData_.isEmpty()) {
        functionDefined_ = true;
        return;
    }
    buttons_.clear();
    functionName_ = name;
    const std::string_view file = HelpFile::resource(HelpFile::resourceNameForLanguage(language_.toStdString()));
    funcData_ = HelpFile::fragment(file, name);
    functionDefined_ = !funcData_.isEmpty();
    if (!functionDefined_)
        funcData_ = HelpFile::notDefinedPage(name);
}

void FunctionHelpPDF::loadPage(const QString& name, const QByteArray& xml)
{
    buttons_.clear();
    functionName_ = name;
    funcData_ = xml;
    functionDefined_ = !xml.isEmpty();
}

// ---- Drawing ----

void FunctionHelpPDF::drawRect(GraphicsContext& context, const QRectF& rect)
{
    links_.clear();
    buttonPlaces_.clear();
    if (funcData_.isEmpty())
        return;
    if (output_ == Output::Page)
        page_.scale = page_.bounds.width() <= 320 ? 1.0 : 1.25;
    if (calc_.honorDarkMode && !onScreen_) {
        context.saveGState();
        context.painter().fillRect(rect, AssetColors::named("docBackgroundColor"));
        context.restoreGState();
        context.setFillColor(Qt::white);
    }
    const double h = page_.bounds.height();
    if (!(h > 0) || !std::isfinite(h))
        return;
    int passes = 0;
    for (double y = 0; y < page_.bounds.y() + h && passes < kMaxSlices; y += h, ++passes)
        pass(context, QRectF(page_.bounds.x(), y, page_.bounds.width(), h));
}

void FunctionHelpPDF::pass(GraphicsContext& context, const QRectF& window)
{
    doDraw_ = boldFont_ = italicFont_ = prettyText_ = false;
    justification_ = 0;
    style_ = kBodyStyle;
    outputString_.clear();
    rightFont_.reset();
    page_.drawPoint = QPointF(0, 0);
    page_.drawRect = window;
    page_.textColor = onScreen_ ? QColor(Qt::black) : AssetColors::systemText();
    parseErrors_ = 0;
    // The calculator's graph state goes back however the reading ends: a graph block left
    // open by an error or by the end of the text must not keep it.
    struct CloseGraph {
        FunctionHelpPDF& page;
        ~CloseGraph()
        {
            if (page.graph_)
                page.graph_->plotFunctions().clear();
            page.graphState_.reset();
        }
    } closeGraph{*this};

    QXmlStreamReader xml(funcData_);
    bool done = false;
    while (!done && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            const auto it = elementNames_.find(xml.name().toString().toStdString());
            // An unknown element is ignored; its text still goes to the open block.
            if (it != elementNames_.end())
                startElement(context, it->second, xml.attributes());
            break;
        }
        case QXmlStreamReader::EndElement: {
            const auto it = elementNames_.find(xml.name().toString().toStdString());
            if (it == elementNames_.end())
                break;
            if (it->second == kF)
                done = true;
            else if (doDraw_)
                endElement(context, it->second);
            break;
        }
        case QXmlStreamReader::Characters:
            if (doDraw_)
                characters(xml.text().toString());
            break;
        default:
            break;
        }
    }
    if (xml.hasError()) {
        ++parseErrors_;
        qWarning("Parse Error line:%d col:%d", int(xml.lineNumber()), int(xml.columnNumber()));
    }
}

void FunctionHelpPDF::startElement(GraphicsContext& context, int code, const QXmlStreamAttributes& attributes)
{
    const double s = page_.scale;
    QPointF& at = page_.drawPoint;
    const auto blockStart = [this] {
        doDraw_ = true;
        newStyle_ = true;
    };
    switch (code) {
    case kF:
        doDraw_ = false;
        return;
    case kBody:
        style_ = kBodyStyle;
        blockStart();
        return;
    case kSyntax:
        style_ = kSyntaxStyle;
        // The band starts where the syntax text does (text is set 5 below the cursor).
        page_.screenBox.moveTop(at.y() + 4.5);
        blockStart();
        return;
    case kScreen:
    case kPScreen:
        style_ = kScreenStyle;
        at.ry() += 10 * s;
        page_.screenBox.moveTop(at.y() - 0.5);
        historyBarLoc_ = -1;
        historyEntryLoc_.clear();
        blockStart();
        return;
    case kPrgm:
    case kEditor: {
        style_ = code == kPrgm ? kProgramStyle : kEditorStyle;
        const double y1 = at.y() + 10 * s;
        page_.screenBox.moveTop(y1 - 0.5);
        at.setY(y1 + 14);
        (code == kPrgm ? programName_ : editorName_) = attributes.value(QLatin1String("n")).toString();
        blockStart();
        return;
    }
    case kErrs:
        at.ry() += 18 * s;
        page_.screenBox.moveTop(at.y() - 0.5);
        style_ = kErrorStyle;
        blockStart();
        return;
    case kGraph:
        style_ = kGraphStyle;
        startGraph(attributes);
        doDraw_ = true;
        return;
    case kBold:
        boldFont_ = true;
        return;
    case kItalic:
        italicFont_ = true;
        return;
    case kRight:
        justification_ = 1;
        rightString_.clear();
        return;
    case kPretty:
        prettyText_ = true;
        prettyString_.clear();
        return;
    case kHBar:
    case kHEntry: {
        if (!doDraw_ || outputString_.isEmpty())
            return;
        const QRectF box = textBox();
        // Below the text as it is drawn: text sits at the box's top plus the depth.
        const double y = box.top() + getTextDepth(outputString_, box, at).y() + 3 * s;
        if (code == kHBar)
            historyBarLoc_ = y;
        else
            historyEntryLoc_.push_back(y);
        return;
    }
    case kPageBreak:
        // Only pages broken by the page itself take it: slices are cut by height.
        if (output_ == Output::Explicit)
            pageBreak(context);
        return;
    case kFn:
        addFunction(attributes);
        return;
    case kImg:
        drawImg(context, attributes);
        return;
    case kDrw:
        drawDrw(context, attributes);
        return;
    case kMath:
        drawMath(context, attributes);
        return;
    case kLink:
        drawLink(context, attributes);
        return;
    case kBtn:
        addButton(attributes);
        return;
    case kSeg:
        // Text of the open block goes first, and the block stays open below the control.
        if (!outputString_.isEmpty()) {
            at = drawText(context, outputString_, textBox(), at);
            outputString_.clear();
        }
        screens_->drawSegController(context, attributes);
        return;
    case kMenu:
        screens_->drawMenu(context, attributes);
        return;
    case kMenuRow:
        screens_->drawMenuEntry(context, attributes);
        return;
    case kColorList:
        screens_->drawColorList(context);
        return;
    case kTriPic:
        screens_->drawTrianglePicture(context);
        return;
    case kTVM:
        screens_->drawTVM(context, attributes);
        return;
    case kPolySolve:
        screens_->drawPlySmlt(context, attributes);
        return;
    case kSimulEq:
        screens_->drawSimulEq(context, attributes);
        return;
    case kStatEdit:
        screens_->drawStatEditor(context, attributes);
        return;
    default:
        return;
    }
}

TextFont FunctionHelpPDF::fontForStyle() const
{
    const double s = page_.scale;
    if (onScreen_) {
        const char* times = boldFont_ && italicFont_ ? "TimesNewRomanPS-BoldItalicMT"
            : boldFont_                              ? "TimesNewRomanPS-BoldMT"
            : italicFont_                            ? "TimesNewRomanPS-ItalicMT"
                                                     : "TimesNewRomanPSMT";
        switch (style_) {
        case kSyntaxStyle:
            return italicFont_ ? TextFont{"TimesNewRomanPS-ItalicMT", 17 * s} : TextFont{"Helvetica-Bold", 16 * s};
        case kErrorStyle:
            return {boldFont_ && !italicFont_ ? "Helvetica-Bold" : times, 14 * s};
        case kBodyStyle:
            return {times, 15 * s};
        default:
            break;
        }
    }
    switch (style_) {
    case kScreenStyle:
    case kProgramStyle:
    case kEditorStyle:
        if (italicFont_)
            return {boldFont_ ? "CourierNewPS-BoldItalicMT" : "CourierNewPS-ItalicMT", 14 * s};
        return {"CourierNewPS-BoldMT", 14 * s};
    case kSyntaxStyle:
        return italicFont_ ? TextFont{"HelveticaNeue-Italic", 17 * s} : TextFont{"Helvetica-Bold", 16 * s};
    case kErrorStyle:
        if (boldFont_ && italicFont_)
            return {"HelveticaNeue-BoldItalic", 14 * s};
        if (boldFont_)
            return {"Helvetica-Bold", 14 * s};
        return {italicFont_ ? "HelveticaNeue-Italic" : "HelveticaNeue", 14 * s};
    default:
        if (boldFont_ && italicFont_)
            return {"HelveticaNeue-BoldItalic", 15 * s};
        if (boldFont_)
            return {"HelveticaNeue-Bold", 15 * s};
        return {italicFont_ ? "HelveticaNeue-Italic" : "HelveticaNeue", 15 * s};
    }
}

void FunctionHelpPDF::characters(const QString& raw)
{
    if (style_ == kGraphStyle)
        return;
    const double s = page_.scale;
    const TextFont font = fontForStyle();
    QString text = raw;
    switch (style_) {
    case kScreenStyle:
    case kProgramStyle:
    case kEditorStyle: {
        page_.computerWidth = kScreenColumns * DrawString::VQsizeWithFont(QStringLiteral("0"), font).width();
        const double boxWidth = page_.bounds.width() - 15 * s;
        page_.screenBox.setX(page_.bounds.x() + 10 * s + (boxWidth - page_.computerWidth) / 2 - 1.5);
        page_.screenBox.setWidth(page_.computerWidth + 2);
        break;
    }
    case kErrorStyle:
        if (newStyle_) {
            text.prepend(QStringLiteral("Calc Errors\n"));
            newStyle_ = false;
        }
        [[fallthrough]];
    case kSyntaxStyle: {
        const double top = page_.screenBox.top();
        page_.screenBox = QRectF(page_.bounds.x(), top, page_.bounds.width(), page_.screenBox.height());
        break;
    }
    default:
        break;
    }
    if (prettyText_)
        prettyString_ += text;
    if (justification_ == 1) {
        rightString_ += text;
        rightFont_ = font;
        return;
    }
    if (text.isEmpty())
        return;
    if (outputString_.isEmpty() && (text.front() == QLatin1Char('\r') || text.front() == QLatin1Char('\n')))
        text.prepend(QLatin1Char(' '));
    outputString_.append(text, font, page_.textColor);
}

void FunctionHelpPDF::endElement(GraphicsContext& context, int code)
{
    switch (code) {
    case kBody:
    case kSyntax:
    case kScreen:
    case kPrgm:
    case kErrs:
    case kEditor:
        drawTextKind(context, code);
        return;
    case kPScreen:
        drawPrettyText(context);
        return;
    case kBold:
        boldFont_ = false;
        return;
    case kItalic:
        italicFont_ = false;
        return;
    case kRight: {
        // A result set flush right on a 32-column line, each line of a matrix on its own; a
        // longer one as it is.
        QStringList lines = rightString_.split(QLatin1Char('\n'));
        for (QString& line : lines)
            if (const int columns = screenColumns(line); columns < kScreenColumns)
                line.prepend(QString(kScreenColumns - columns, QLatin1Char(' ')));
        const QString padded = lines.join(QLatin1Char('\n'));
        outputString_.append(padded, rightFont_.value_or(fontForStyle()), page_.textColor);
        rightFont_.reset();
        justification_ = 0;
        return;
    }
    case kPretty:
        prettyText_ = false;
        return;
    case kGraph:
        endGraph(context);
        return;
    default:
        return;
    }
}

QRectF FunctionHelpPDF::textBox() const
{
    const double s = page_.scale;
    QRectF box(page_.bounds.x() + 10 * s, 5, page_.bounds.width() - 15 * s, page_.bounds.height());
    if (style_ == kScreenStyle || style_ == kProgramStyle || style_ == kEditorStyle) {
        box.setX(box.x() + (box.width() - page_.computerWidth) / 2);
        // Half a column more than the 32: no 33rd column fits, but a line of 32 does whole
        // when its last letter's ink passes its advance ("X") or the layout sets the font a
        // hair larger than measured (a fraction of a point, at print scale).
        box.setWidth(page_.computerWidth * (1 + 0.5 / kScreenColumns));
    }
    return box;
}

QPointF FunctionHelpPDF::getTextDepth(const HelpText& text, const QRectF& box, QPointF at) const
{
    const double height = std::min(text.measure(box.width()).height(), 4000.0);
    return {at.x(), at.y() + height};
}

QPointF FunctionHelpPDF::drawText(GraphicsContext& context, const HelpText& text, const QRectF& box, QPointF at) const
{
    const double height = std::min(text.measure(box.width()).height(), 4000.0);
    const QRectF drawn(box.x() + at.x(), box.top() + at.y(), box.width(), height);
    if (drawn.intersects(page_.drawRect))
        text.draw(context.painter(), drawn.topLeft(), box.width());
    return {at.x(), at.y() + height};
}

void FunctionHelpPDF::drawTextKind(GraphicsContext& context, int code)
{
    if (doDraw_ && !outputString_.isEmpty())
        page_.drawPoint = drawText(context, outputString_, textBox(), page_.drawPoint);
    outputString_.clear();
    italicFont_ = false;
    page_.drawPoint.setX(0);
    page_.drawPoint.ry() += 4 * page_.scale;
    doDraw_ = false;
    boldFont_ = false;
    drawFrame(context, code);
}

void FunctionHelpPDF::drawFrame(GraphicsContext& context, int code)
{
    if (code == kBody)
        return;
    QRectF frame = page_.screenBox;
    frame.setHeight(page_.drawPoint.y() - frame.top() + (code == kScreen ? 0 : 0.5));
    if (!frame.intersects(page_.drawRect))
        return;
    QPainter& p = context.painter();
    const double s = page_.scale;
    switch (code) {
    case kSyntax:
        p.fillRect(frame, rgb(0.6, 0.6, 0.6, 0.5));
        break;
    case kScreen:
        drawScreenFrame(context, frame);
        break;
    case kErrs:
        p.fillRect(frame, rgb(1.0, 0.85, 0.85, 0.5));
        break;
    case kPrgm:
    case kEditor: {
        p.fillRect(frame, code == kPrgm ? rgb(0.66, 0.84, 0.99, 0.5) : rgb(0.54, 0.68, 0.39, 0.5));
        const QRectF banner(frame.x(), frame.y(), frame.width(), 16.5 * s);
        p.fillRect(banner, AssetColors::named("bannerColor"));
        p.save();
        p.setPen(QPen(page_.textColor, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(frame);
        p.restore();
        const TextFont font{"CourierNewPS-BoldMT", 14};
        if (code == kPrgm) {
            DrawString::VQdrawAtPoint(context, QStringLiteral("Program:") + programName_,
                                      QPointF(frame.x() + 2, frame.y()), font, Qt::white);
        } else {
            const double w = DrawString::VQsizeWithFont(editorName_, font).width();
            DrawString::VQdrawAtPoint(context, editorName_, QPointF(frame.center().x() - w / 2, frame.y()), font,
                                      Qt::white);
        }
        break;
    }
    default:
        break;
    }
    context.setFillColor(Qt::black);
}

void FunctionHelpPDF::drawScreenFrame(GraphicsContext& context, const QRectF& frame)
{
    QPainter& p = context.painter();
    p.fillRect(frame, rgb(0.54, 0.68, 0.39, 0.5));
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(page_.textColor, 1));
    p.drawRect(frame);
    const double right = frame.right();
    if (historyBarLoc_ >= 0) {
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(QPointF(frame.x() + 1, historyBarLoc_), QPointF(right, historyBarLoc_));
        p.setPen(QPen(rgb(0.5, 0.5, 0.5), 1));
        p.drawLine(QPointF(frame.x() + 1, historyBarLoc_ + 1), QPointF(right, historyBarLoc_ + 1));
    }
    p.setPen(QPen(historyBarLoc_ >= 0 ? QColor(Qt::black) : page_.textColor, 1));
    for (double y : historyEntryLoc_)
        p.drawLine(QPointF(frame.x(), y), QPointF(right, y));
    p.restore();
    context.setFillColor(Qt::black);
}

// ---- Pretty screens ----

void FunctionHelpPDF::drawPrettyText(GraphicsContext& context)
{
    const double s = page_.scale;
    if (!outputString_.isEmpty()) {
        const QRectF box(page_.bounds.x() + 10 * s, 5, page_.bounds.width() - 15 * s, page_.bounds.height());
        page_.drawPoint = drawPText(context, prettyString_, box, page_.drawPoint);
    }
    outputString_.clear();
    prettyString_.clear();
    italicFont_ = false;
    page_.drawPoint.setX(0);
    page_.drawPoint.ry() += 4 * s;
    doDraw_ = false;
    QRectF frame = page_.screenBox;
    frame.setHeight(page_.drawPoint.y() - frame.top());
    if (frame.intersects(page_.drawRect))
        drawScreenFrame(context, frame);
}

QPointF FunctionHelpPDF::drawPText(GraphicsContext& context, const QString& list, const QRectF& box, QPointF at)
{
    const double size = 14 * page_.scale;
    if (page_.computerWidth <= 0)
        page_.computerWidth = kScreenColumns * DrawString::VQsizeWithFont(QStringLiteral("0"), page_.screenFont()).width();
    const double sx = box.x() + (box.width() - page_.computerWidth) / 2;
    page_.screenBox.setX(sx - 1.5);
    page_.screenBox.setWidth(page_.computerWidth + 2);
    QPainter& painter = context.painter();
    const QColor ink = page_.textColor;
    const PrettyDrawInfo& info = PrettyDrawInfo::PrettyDrawInfoSize(size);
    const QStringList items = list.split(QLatin1Char(';'));
    double y = at.y();
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString item = items[i].trimmed();
        const bool result = i % 2 == 1;
        if (result && !item.contains(QLatin1Char(','))) {
            const QFontMetricsF metrics(info.font());
            const double w = metrics.horizontalAdvance(item);
            const QRectF drawn(sx + page_.computerWidth + at.x() - w, box.top() + y, w, metrics.height());
            if (drawn.intersects(page_.drawRect)) {
                painter.save();
                painter.setFont(info.font());
                painter.setPen(ink);
                painter.drawText(QPointF(drawn.x(), drawn.y() + metrics.ascent()), item);
                painter.restore();
            }
            y += info.capHeight() + 6;
        } else {
            const Calculator::Ops ops = calc_.opsFromString(item.toStdString());
            const QRectF r = prettyPrint_->setOps(ops, 50000, 0, size);
            const double x = result ? sx + page_.computerWidth + at.x() - r.width() : sx + at.x();
            const QRectF drawn(x, box.top() + y, r.width(), r.height());
            if (drawn.intersects(page_.drawRect))
                prettyPrint_->drawAt(painter, drawn.topLeft(), page_.drawRect, ink);
            y += r.height();
        }
        // A line between one entry with its answer and the next.
        if (result && i + 1 < items.size()) {
            const double lineY = box.top() + y;
            if (lineY >= page_.drawRect.top() - 1 && lineY <= page_.drawRect.bottom() + 1) {
                painter.save();
                painter.setPen(QPen(ink, 1));
                painter.drawLine(QPointF(sx, lineY), QPointF(sx + page_.computerWidth, lineY));
                painter.restore();
            }
            y += 3;
        }
    }
    return {at.x(), y};
}

// ---- Graphs ----

void FunctionHelpPDF::startGraph(const QXmlStreamAttributes& attributes)
{
    const double s = page_.scale;
    const auto size = numbers<2>(attributes, "sz", {280, 280});
    const double w = size[0] * s, h = size[1] * s;
    const QRectF frame(page_.bounds.x() + (page_.bounds.width() - w) / 2, page_.drawPoint.y() + 4, w, h);
    if (!graph_)
        graph_ = std::make_unique<VQGraph>(calc_, frame);
    else
        graph_->setFrame(frame);
    graph_->reset();
    const auto window = numbers<4>(attributes, "gb", {-3, 3, -2, 4});
    graph_->zoom(window[0], window[1], window[2], window[3]);
    graphState_.reset();
    graphState_ = std::make_unique<HelpGraphState>(calc_);
}

void FunctionHelpPDF::endGraph(GraphicsContext& context)
{
    doDraw_ = false;
    if (!graph_)
        return;
    const QRectF frame = graph_->frame();
    if (frame.intersects(page_.drawRect))
        graph_->drawRect(context, frame);
    graph_->plotFunctions().clear();
    page_.drawPoint.setY(frame.bottom());
    graphState_.reset();
}

void FunctionHelpPDF::addFunction(const QXmlStreamAttributes& attributes)
{
    if (!graph_ || !graphState_ || !attributes.hasAttribute(QLatin1String("d")))
        return;
    Calculator::Ops ops;
    const QStringList names = attributes.value(QLatin1String("d")).toString().split(QChar(0x00A9));
    for (const QString& name : names) {
        const std::uint32_t op = calc_.opcodeForName(name.toStdString());
        // A misspelt page draws nothing rather than another curve.
        if (op == kNoOpcode)
            return;
        ops.push_back(op);
    }
    if (ops.empty())
        return;
    const bool select = attributes.hasAttribute(QLatin1String("select"));
    if (select)
        graph_->selectX(number(attributes, "select", std::numeric_limits<double>::quiet_NaN()));
    if (attributes.hasAttribute(QLatin1String("mag")))
        graph_->setMagnifierLock(int(number(attributes, "mag", 0)));
    const std::uint32_t first = ops.front();
    const auto hold = calc_.lockState();
    if (!isDrawingCommand(first) && !isShadingCommand(first)) {
        // An expression only: a store or a command would run at every sample.
        if (holdsStatement(ops, 0))
            return;
        Parser& parser = calc_.parser();
        const int savedError = parser.error();
        auto plot = std::make_shared<PlotFn>(calc_);
        plot->fn = std::make_shared<VQStack>(parser.getRPNfor(ops));
        const bool failed = parser.error() != 0;
        parser.setError(savedError);
        if (failed)
            return;
        plot->varNum = kSlotXVariable;
        plot->eqNum = -1;
        plot->style = 2;
        plot->lineWidth = 2;
        plot->expression = ops;
        const auto c = numbers<3>(attributes, "c", {0, 1, 0});
        plot->color = VQColor::colorR(c[0], c[1], c[2], 1);
        plot->setSelected(select);
        graph_->plotFunctions().push_back(std::move(plot));
        return;
    }
    // One drawing or shading command and nothing else: a page never stores, clears or runs.
    if (holdsStatement(ops, 1))
        return;
    const std::size_t before = calc_.drawing.size();
    {
        // The command draws into the borrowed drawing list; the graph screen is not called.
        auto delegate = std::move(calc_.viewDelegate);
        calc_.viewDelegate = nullptr;
        Parser& parser = calc_.parser();
        const int savedError = parser.error();
        parser.eval(ops, false);
        parser.setError(savedError);
        calc_.viewDelegate = std::move(delegate);
    }
    if (calc_.drawing.size() <= before)
        return;
    const auto& added = calc_.drawing.back();
    if (select)
        added->selected = true;
    if (isShadingCommand(first)) {
        if (auto distribution = std::dynamic_pointer_cast<DrawDistribution>(added))
            distribution->drawTails = attributes.hasAttribute(QLatin1String("tail"));
        const auto window = [this](int slot) { return calc_.getVar(slot).value.real(); };
        graph_->zoom(window(38), window(39), window(40), window(41));
    }
}

// ---- Placed pictures ----

void FunctionHelpPDF::drawImg(GraphicsContext& context, const QXmlStreamAttributes& attributes)
{
    const std::string name = attributes.value(QLatin1String("n")).toString().toStdString();
    const QRectF imageBounds = VImageDraw::vImageDraw().boundsForImage(name);
    if (imageBounds.isEmpty())
        return;
    const double s = page_.scale;
    const double w = 280 * s * number(attributes, "sc", 1);
    const double h = w * imageBounds.height() / imageBounds.width();
    const QRectF target(page_.bounds.x() + (page_.bounds.width() - w) / 2, page_.drawPoint.y(), w, h);
    if (target.intersects(page_.drawRect)) {
        context.saveGState();
        context.translate(target.x(), target.y());
        context.scale(w / imageBounds.width(), h / imageBounds.height());
        VImageDraw::vImageDraw().drawImage(context, name, -imageBounds.topLeft());
        context.restoreGState();
        const double frameWidth = number(attributes, "fr", 0);
        if (frameWidth > 0) {
            QPainter& p = context.painter();
            p.save();
            p.setPen(QPen(Qt::black, frameWidth));
            p.setBrush(Qt::NoBrush);
            p.drawRect(target);
            p.restore();
        }
    }
    page_.drawPoint.ry() += h;
}

void FunctionHelpPDF::drawDrw(GraphicsContext& context, const QXmlStreamAttributes& attributes)
{
    const std::string name = attributes.value(QLatin1String("n")).toString().toStdString();
    const QRectF b = VImageDraw::vImageDraw().boundsForImage(name);
    if (b.isEmpty())
        return;
    const QPointF origin(page_.bounds.x() + (page_.bounds.width() - b.width()) / 2, page_.drawPoint.y());
    if (QRectF(origin, b.size()).intersects(page_.drawRect))
        VImageDraw::vImageDraw().drawImage(context, name, origin - b.topLeft());
    page_.drawPoint.ry() += b.height();
}

void FunctionHelpPDF::drawMath(GraphicsContext& context, const QXmlStreamAttributes& attributes)
{
    const QString formula = attributes.value(QLatin1String("n")).toString();
    const double size = number(attributes, "size", 14) * page_.scale;
    const QString just = attributes.value(QLatin1String("just")).toString();
    int justification = 0;
    double x = 10;
    if (just.startsWith(QLatin1Char('R'))) {
        justification = 2;
        x = page_.bounds.width() - 10;
    } else if (just.startsWith(QLatin1Char('C'))) {
        justification = 1;
        x = page_.bounds.width() / 2;
    }
    VLaTeX& latex = VLaTeX::vlaTeX();
    const QRectF b = latex.boundsOf(formula, size);
    const QPointF at(page_.bounds.x() + x, page_.drawPoint.y() - b.top());
    if (!b.isEmpty() && QRectF(page_.bounds.x(), page_.drawPoint.y(), page_.bounds.width(), b.height()).intersects(page_.drawRect)) {
        // Stretched delimiters take the fill colour; glyphs follow the text colour.
        context.setFillColor(page_.textColor);
        latex.setString(formula, at, context, justification, size);
        context.setFillColor(Qt::black);
    }
    page_.drawPoint.ry() += b.height();
    page_.drawPoint.setX(0);
}

void FunctionHelpPDF::drawLink(GraphicsContext& context, const QXmlStreamAttributes& attributes)
{
    const double s = page_.scale;
    const QString url = attributes.value(QLatin1String("url")).toString();
    QString title = attributes.value(QLatin1String("title")).toString();
    if (title.isEmpty())
        title = url;
    QPainter& p = context.painter();
    double height = 0;
    if (attributes.value(QLatin1String("type")) == QLatin1String("button")) {
        const TextFont font{"Helvetica", 16 * s};
        const QSizeF text = DrawString::VQsizeWithFont(title, font);
        const double w = text.width() + 10 * s;
        height = 25 * s;
        const QString alignment = attributes.value(QLatin1String("alignment")).toString();
        double x = page_.bounds.x() + 10 * s;
        if (alignment.startsWith(QLatin1Char('C')))
            x = page_.bounds.x() + (page_.bounds.width() - w) / 2;
        else if (alignment.startsWith(QLatin1Char('R')))
            x = page_.bounds.right() - w;
        const QRectF button(x, page_.drawPoint.y(), w, height);
        links_.push_back({button, url});
        if (button.intersects(page_.drawRect)) {
            p.save();
            p.setPen(QPen(Qt::blue, 2));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(button, 4 * s, 4 * s);
            p.restore();
            HelpText label;
            label.append(title, font, page_.textColor, url);
            label.draw(p, QPointF(button.center().x() - text.width() / 2, button.center().y() - text.height() / 2),
                       text.width() + 1);
        }
    } else {
        const TextFont font{"Helvetica", 12 * s};
        const QSizeF text = DrawString::VQsizeWithFont(title, font);
        height = text.height();
        const QRectF line(page_.bounds.x() + 10 * s, page_.drawPoint.y(), text.width() + 5 * s, height);
        links_.push_back({line, url});
        if (line.intersects(page_.drawRect)) {
            HelpText label;
            label.append(title, font, QColor(Qt::blue), url);
            label.draw(p, line.topLeft(), line.width());
        }
    }
    page_.drawPoint.ry() += height + 3 * s;
}

void FunctionHelpPDF::setOnScreen(bool onScreen)
{
    onScreen_ = onScreen;
    elementNames_.clear();
    for (const auto& [name, code] : kElements)
        if (!onScreen || code <= kMath)
            elementNames_.emplace(name, code);
}

void FunctionHelpPDF::addButton(const QXmlStreamAttributes& attributes)
{
    const QString title = attributes.value(QLatin1String("n")).toString();
    if (std::find(buttons_.begin(), buttons_.end(), title) == buttons_.end())
        buttons_.push_back(title);
    const double s = page_.scale;
    bool numeric = false;
    const int action = attributes.value(QLatin1String("id")).toInt(&numeric);
    const QRectF frame(page_.bounds.x() + (page_.bounds.width() - 140 * s) / 2, page_.drawPoint.y(), 140 * s, 37 * s);
    if (std::none_of(buttonPlaces_.begin(), buttonPlaces_.end(), [&](const ButtonPlace& b) { return b.title == title; }))
        buttonPlaces_.push_back({title, numeric ? action : -1, frame});
    page_.drawPoint.ry() += 37 * page_.scale;
}

// ---- PDF ----

QByteArray FunctionHelpPDF::pdfName(const QString& name, QSizeF size, bool paginate, bool darkMode)
{
    changeFunction(name);
    page_.scale = 1.0;
    const DarkMode dark(calc_, darkMode);
    if (paginate) {
        const Calculator::Rect paper = calc_.pdfPageRect();
        return pdfPageSize(QRectF(paper.x, paper.y, paper.width, paper.height));
    }
    const double w = size.width() > 0 ? size.width() : 320;
    page_.bounds = QRectF(0, 0, w, kTallHeight);
    {
        // Only the height the page takes matters here.
        QImage scratch(int(std::ceil(w)), 460, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&scratch);
        GraphicsContext context(painter);
        drawRect(context, page_.bounds);
    }
    const double h = std::max(size.height(), page_.drawPoint.y() + 5);
    PdfDocument pdf(QSizeF(w, h), QStringLiteral("testPDF"));
    {
        QPainter painter(&pdf.writer);
        GraphicsContext context(painter);
        drawRect(context, QRectF(0, 0, w, h));
    }
    return pdf.data;
}

QByteArray FunctionHelpPDF::pdfPageSize(const QRectF& pageRect)
{
    return slicePages(pageRect, 0.9, calc_.honorDarkMode, {});
}

QByteArray FunctionHelpPDF::slicePages(const QRectF& pageRect, double scale, bool darkMode, const SliceDrawer& drawSlice)
{
    const double pw = pageRect.width(), ph = pageRect.height();
    const double margin = 36, cw = pw - 72, bodyHeight = ph - 90;
    if (!(cw > 0) || !(bodyHeight > 0))
        return {};
    const DarkMode dark(calc_, darkMode);
    const QRectF savedBounds = page_.bounds;
    const Output savedOutput = output_;
    output_ = Output::Sliced;
    page_.scale = scale;
    // The pass is as tall as the measuring area, whatever page was drawn before.
    page_.bounds = QRectF(0, 0, cw, kTallHeight);
    PdfDocument pdf(pageRect.size(), QString());
    {
        QPainter painter(&pdf.writer);
        GraphicsContext context(painter);
        const TextFont title{"Helvetica-Bold", 16};
        const TextFont footer{"Helvetica", 12};
        int pages = 1;
        for (int i = 0; i < pages; ++i) {
            if (i > 0)
                pdf.writer.newPage();
            // The border lies wholly on the paper: a stroke along its very edge would be
            // half cut off.
            QPainterPath border;
            border.addRect(QRectF(QPointF(0, 0), pageRect.size()).adjusted(kBorderWidth / 2, kBorderWidth / 2,
                                                                          -kBorderWidth / 2, -kBorderWidth / 2));
            context.saveGState();
            context.setStrokeColor(Qt::black);
            context.setLineWidth(kBorderWidth);
            context.strokePath(border);
            context.restoreGState();
            DrawString::VQdrawAtPoint(context, functionName_, QPointF(margin, 34), title, Qt::black);
            DrawString::VQdrawAtPoint(context, QStringLiteral("Orvenda"), QPointF(margin, bodyHeight + 56), footer, Qt::black);
            context.saveGState();
            context.translate(margin, 54 - i * bodyHeight);
            const QRectF slice(0, i * bodyHeight, cw, bodyHeight);
            context.clipToRect(slice);
            if (drawSlice) {
                drawSlice(context, slice);
            } else {
                if (calc_.honorDarkMode) {
                    painter.fillRect(slice, AssetColors::named("docBackgroundColor"));
                    context.setFillColor(Qt::white);
                }
                pass(context, slice);
            }
            if (i == 0)
                pages = std::clamp(int(std::ceil(page_.drawPoint.y() / bodyHeight)), 1, kMaxSlices);
            context.restoreGState();
            const QString number = QStringLiteral("-%1-").arg(i + 1);
            const double nw = DrawString::VQsizeWithFont(number, footer).width();
            DrawString::VQdrawAtPoint(context, number, QPointF(margin + (cw - nw) / 2, bodyHeight + 56), footer, Qt::black);
        }
    }
    page_.bounds = savedBounds;
    output_ = savedOutput;
    page_.scale = calc_.device == 1 ? 1.25 : 1.0;
    return pdf.data;
}

QByteArray FunctionHelpPDF::paginateRect(const QRectF& pageRect)
{
    paginationRect_ = pageRect.adjusted(36, 36, -36, -36).translated(0, 36);
    paginationRect_.setHeight(paginationRect_.height() - 36);
    if (paginationRect_.width() <= 0 || paginationRect_.height() <= 0)
        return {};
    const Output savedOutput = output_;
    output_ = Output::Explicit;
    page_.scale = 0.5;
    page_.bounds = QRectF(0, 0, paginationRect_.width(), kTallHeight);
    pageNum_ = 1;
    PdfDocument pdf(pageRect.size(), QStringLiteral("Orvenda Help"));
    {
        QPainter painter(&pdf.writer);
        GraphicsContext context(painter);
        device_ = &pdf.writer;
        drawHeader(context);
        context.saveGState();
        context.translate(paginationRect_.x(), paginationRect_.y());
        pass(context, QRectF(0, 0, paginationRect_.width(), kTallHeight));
        context.restoreGState();
        drawFooterPage(context, pageNum_, pageNum_ > 1);
        device_ = nullptr;
    }
    output_ = savedOutput;
    page_.scale = calc_.device == 1 ? 1.25 : 1.0;
    return pdf.data;
}

void FunctionHelpPDF::pageBreak(GraphicsContext& context)
{
    if (!device_ || pageNum_ >= kMaxSlices)
        return;
    if (doDraw_ && !outputString_.isEmpty()) {
        // The block's first part closes with its own frame; the rest goes on the next page.
        static constexpr int kCodeOfStyle[] = {kBody, kSyntax, kScreen, kPrgm, kErrs, kEditor, kBody};
        const int savedStyle = style_;
        drawTextKind(context, kCodeOfStyle[std::clamp(style_, 0, 6)]);
        style_ = savedStyle;
        doDraw_ = true;
    }
    QPainter& painter = context.painter();
    drawFooterPage(context, pageNum_, true);
    ++pageNum_;
    device_->newPage();
    drawHeader(context);
    painter.resetTransform();
    painter.translate(paginationRect_.x(), paginationRect_.y() - page_.drawPoint.y());
    page_.screenBox.moveTop(page_.drawPoint.y() - 0.5);
}

void FunctionHelpPDF::drawHeader(GraphicsContext& context)
{
    QPainter& painter = context.painter();
    painter.save();
    painter.resetTransform();
    const TextFont font{"Helvetica", 16};
    const double w = DrawString::VQsizeWithFont(functionName_, font).width();
    DrawString::VQdrawAtPoint(context, functionName_, QPointF(paginationRect_.x() + (paginationRect_.width() - w) / 2, 36),
                              font, Qt::black);
    painter.restore();
}

void FunctionHelpPDF::drawFooterPage(GraphicsContext& context, int page, bool showPage)
{
    QPainter& painter = context.painter();
    painter.save();
    painter.resetTransform();
    const TextFont font{"Helvetica", 12};
    // 72 points above the paper's bottom edge, wherever the content's origin is.
    const double y = paginationRect_.bottom() - 36;
    const QString version = QStringLiteral("Orvenda version %1").arg(QString::fromStdString(calc_.versionString()));
    DrawString::VQdrawAtPoint(context, version, QPointF(paginationRect_.x(), y), font, Qt::black);
    if (showPage) {
        const QString number = QStringLiteral("- %1 -").arg(page);
        const double w = DrawString::VQsizeWithFont(number, font).width();
        DrawString::VQdrawAtPoint(context, number, QPointF(paginationRect_.x() + (paginationRect_.width() - w) / 2, y),
                                  font, Qt::black);
    }
    painter.restore();
}

} // namespace orvenda
