#include "programs/ProgramListingPDF.h"

#include "core/Calculator.h"
#include "drawing/DrawString.h"
#include "drawing/GraphicsContext.h"
#include "eval/ProgramTokens.h"
#include "pretty/FontMap.h"
#include "programs/NotesHtml.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramModel.h"

#include <QBuffer>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

const TextFont kListingFont{"CourierNewPS-BoldMT", 10};
const TextFont kCommentFont{"CourierNewPS-ItalicMT", 10};
const TextFont kHeaderFont{"Helvetica-Bold", 16};
const TextFont kFooterFont{"Helvetica-Bold", 14};
const TextFont kNotesFont{"Times-Roman", 12};
const TextFont kBlockFont{"Courier", 12};

double zeroWidth(const TextFont& font) { return DrawString::VQsizeWithFont(QStringLiteral("0"), font).width(); }

std::vector<QString> splitLines(const std::string& text)
{
    std::vector<QString> lines;
    for (const QString& line : QString::fromStdString(text).split(QLatin1Char('\n')))
        lines.push_back(line);
    return lines;
}

// A word in pieces no wider than width in that font (one character at least each).
std::vector<QString> widthPieces(const QString& word, const TextFont& font, double width)
{
    std::vector<QString> pieces;
    QString rest = word;
    // No line of the paper holds more characters than this.
    constexpr qsizetype kMostOnALine = 512;
    while (rest.size() > 1 && DrawString::VQsizeWithFont(rest.left(kMostOnALine + 1), font).width() > width) {
        qsizetype fits = 1, over = std::min(rest.size(), kMostOnALine + 1);
        while (over - fits > 1) {
            const qsizetype mid = (fits + over) / 2;
            (DrawString::VQsizeWithFont(rest.left(mid), font).width() <= width ? fits : over) = mid;
        }
        // Never between the halves of a character outside the basic plane.
        if (fits < rest.size() && rest[fits].isLowSurrogate() && fits > 1)
            --fits;
        pieces.push_back(rest.left(fits));
        rest.remove(0, fits);
    }
    pieces.push_back(rest);
    return pieces;
}

void drawCentred(GraphicsContext& context, const QString& text, const QRectF& rect, const TextFont& font)
{
    const double w = DrawString::VQsizeWithFont(text, font).width();
    DrawString::VQdrawAtPoint(context, text, QPointF(rect.x() + (rect.width() - w) / 2, rect.y()), font, Qt::black);
}

} // namespace

ProgramListingPDF::ProgramListingPDF(Calculator& calc, std::shared_ptr<const ProgramFiles> files)
    : calc_(calc), model_(std::make_unique<ProgramModel>(calc, std::move(files)))
{
}

ProgramListingPDF::~ProgramListingPDF() = default;

bool ProgramListingPDF::load(const std::string& name)
{
    if (name.empty() || !model_->files().opsFor(name))
        return false;
    // What the editor holds of the program is in its file first.
    if (calc_.prgmManager)
        calc_.prgmManager->saveProgram();
    model_->loadProgram(name);
    return true;
}

QRectF ProgramListingPDF::pageRect() const
{
    const Calculator::Rect page = calc_.pdfPageRect();
    return {0, 0, page.width, page.height};
}

QRectF ProgramListingPDF::contentRect(bool tallSinglePage) const
{
    const QRectF page = pageRect();
    return {kMargin, kContentTop, page.width() - 2 * kMargin, page.height() - 104 + (tallSinglePage ? 12 : 0)};
}

int ProgramListingPDF::linesPerPage(const QRectF& content) const
{
    return std::max(1, static_cast<int>(std::floor(content.height() / kLinePitch)));
}

int ProgramListingPDF::numberOfPages(const QRectF& content)
{
    model_->updateLines(std::max(1, static_cast<int>(content.width() / zeroWidth(kListingFont))));
    const int lines = model_->numLines();
    const int perPage = linesPerPage(content);
    return (lines + perPage - 1) / perPage;
}

bool ProgramListingPDF::singlePage()
{
    return model_->programNotes().empty() && numberOfPages(contentRect(true)) <= 1;
}

std::vector<ProgramListingPDF::Line> ProgramListingPDF::pageLines(int page, const QRectF& content) const
{
    std::vector<Line> lines;
    const int perPage = linesPerPage(content);
    const int first = page * perPage;
    const int last = std::min(first + perPage, model_->numLines());
    const double indent = 3 * zeroWidth(kListingFont);
    for (int n = first; n < last; ++n)
        lines.push_back({n, QPointF(content.x() + model_->indentForLine(n) * indent, content.y() + (n - first) * kLinePitch)});
    return lines;
}

std::vector<ProgramListingPDF::NotesPage> ProgramListingPDF::notesPages(const QRectF& content) const
{
    std::vector<NotesPage> pages;
    const std::string& notes = model_->programNotes();
    if (notes.empty())
        return pages;
    const std::vector<QString> lines = splitLines(notes);
    const double ascent = DrawString::ascent(kNotesFont);
    const double blank = DrawString::VQsizeWithFont(QStringLiteral(" "), kNotesFont).width();
    const double cw = zeroWidth(kBlockFont);
    const double bottom = content.bottom();
    // y is the baseline of the next text line.
    double y = 0;
    const auto newPage = [&] {
        pages.emplace_back();
        y = content.y() + kNotesPitch;
    };
    newPage();
    const QString open = QString::fromUtf8(NotesHtml::kOpen.data(), static_cast<qsizetype>(NotesHtml::kOpen.size()));
    const QString close = QString::fromUtf8(NotesHtml::kClose.data(), static_cast<qsizetype>(NotesHtml::kClose.size()));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        std::size_t end = lines.size();
        if (line.contains(open))
            for (std::size_t j = i + 1; j < lines.size() && end == lines.size(); ++j)
                if (lines[j].contains(close))
                    end = j;
        if (end < lines.size()) {
            // A screen block: a box of its lines, moved to a new page when it does not fit
            // (a block taller than a page is drawn there, cut at the bottom). A line wider
            // than the box goes on in the next, as the calculator's screen wraps it.
            std::vector<QString> shown;
            for (std::size_t k = i + 1; k < end; ++k)
                for (const QString& piece : DrawString::columnPieces(lines[k], kBlockColumns - 1))
                    shown.push_back(piece);
            const double boxWidth = kBlockColumns * cw;
            const double height = static_cast<double>(shown.size()) * kNotesPitch;
            double top = y - kNotesPitch + 6;
            if (top + height > bottom && top > content.y() + 6) {
                newPage();
                top = content.y() + 6;
            }
            const QRectF box(content.x() + (content.width() - boxWidth) / 2, top, boxWidth, height);
            pages.back().boxes.push_back(box);
            for (std::size_t k = 0; k < shown.size(); ++k)
                pages.back().items.push_back({shown[k], QPointF(box.x() + cw / 2, top + static_cast<double>(k) * kNotesPitch), true});
            y = box.bottom() + 6 + kNotesPitch;
            i = end;
            continue;
        }
        if (y >= bottom - 2)
            newPage();
        double x = content.x();
        for (const QString& whole : line.split(QLatin1Char(' '))) {
            // A word wider than the paper is broken where the line ends.
            for (const QString& word : widthPieces(whole, kNotesFont, content.width())) {
                const double w = DrawString::VQsizeWithFont(word, kNotesFont).width();
                if (x > content.x() && x + w > content.right()) {
                    x = content.x();
                    y += kNotesPitch;
                    if (y >= bottom - 2)
                        newPage();
                }
                if (!word.isEmpty())
                    pages.back().items.push_back({word, QPointF(x, y - ascent), false});
                x += w + blank;
            }
        }
        y += kNotesPitch;
    }
    return pages;
}

void ProgramListingPDF::drawListingPage(QPainter& painter, int page, const QRectF& content) const
{
    GraphicsContext context(painter);
    const double cw = zeroWidth(kListingFont);
    for (const Line& line : pageLines(page, content)) {
        const auto ops = model_->pdfLineOps(line.index);
        if (!ops)
            continue;
        double x = line.at.x();
        bool comment = false;
        for (const std::uint32_t op : *ops) {
            const std::uint32_t t = ProgramTokens::token(op);
            if (t == ProgramTokens::kNewLine)
                continue;
            if (t == ProgramTokens::kComment)
                comment = true;
            else if (t == ProgramTokens::kColon)
                comment = false;
            const QString name = QString::fromStdString(calc_.nameForOpcode(op));
            const TextFont& font = comment ? kCommentFont : kListingFont;
            if (t == ProgramTokens::kStore) {
                // The arrow's glyph is wider than its cell: narrowed to the cell, less a gap
                // on either side, its head keeps off the next letter.
                painter.save();
                painter.setTransform(DrawString::fitToCell(FontMap::shared().font(font.name, font.size), name, x, cw,
                                                           ProgramModel::kStoreArrowInset),
                                     true);
                DrawString::VQdrawAtPoint(context, name, QPointF(0, line.at.y()), font, Qt::black);
                painter.restore();
            } else {
                DrawString::VQdrawAtPoint(context, name, QPointF(x, line.at.y()), font, Qt::black);
            }
            // Fixed pitch: each character one "0" wide, as the layout counted them.
            x += static_cast<double>(name.toUcs4().size()) * cw;
        }
    }
}

QByteArray ProgramListingPDF::programPDF()
{
    const QRectF page = pageRect();
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        writer.setTitle(QString());
        writer.setCreator(QStringLiteral("Orvenda, a graphing calculator"));
        writer.setPageSize(QPageSize(page.size(), QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        GraphicsContext context(painter);
        const QString title = QString::fromStdString(model_->programName());
        const QRectF header(kMargin, kMargin, page.width() - 2 * kMargin, 20);
        const QRectF footer(kMargin, page.height() - 48, page.width() - 2 * kMargin, 12);
        int pagesStarted = 0;
        const auto startPage = [&] {
            if (pagesStarted++ > 0)
                writer.newPage();
        };
        const auto number = [&](int n) { drawCentred(context, QStringLiteral("-%1-").arg(n), footer, kFooterFont); };

        const QRectF content = contentRect(false);
        const std::vector<NotesPage> notes = notesPages(content);
        for (std::size_t k = 0; k < notes.size(); ++k) {
            startPage();
            if (k == 0)
                drawCentred(context, title, header, kHeaderFont);
            if (k > 0)
                number(static_cast<int>(k) + 1);
            painter.save();
            painter.setClipRect(content);
            for (const QRectF& box : notes[k].boxes) {
                painter.fillRect(box, QColor::fromRgbF(0, 1, 0, 0.1));
                painter.setPen(QPen(Qt::black, 1));
                painter.drawRect(box);
            }
            for (const NotesItem& item : notes[k].items)
                DrawString::VQdrawAtPoint(context, item.text, item.at, item.block ? kBlockFont : kNotesFont, Qt::black);
            painter.restore();
        }
        const int n = static_cast<int>(notes.size());
        const QRectF listing = n == 0 && singlePage() ? contentRect(true) : content;
        const int pages = numberOfPages(listing);
        for (int i = 0; i < pages; ++i) {
            startPage();
            drawCentred(context, title, header, kHeaderFont);
            drawListingPage(painter, i, listing);
            if (n + i >= 1)
                number(n + i + 1);
        }
        // An empty program still makes a page with its name.
        if (pagesStarted == 0)
            drawCentred(context, title, header, kHeaderFont);
    }
    return data;
}

int ProgramListingPDF::writeProgramPDF(const std::string& name, const QString& path)
{
    constexpr int kProtected = 84;
    constexpr int kNoData = 70;
    if (!load(name))
        return kNoData;
    if (model_->programFlags() == ProgramManager::kProtected)
        return kProtected;
    const QByteArray pdf = programPDF();
    QFile file(path);
    if (pdf.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.flush())
        return kNoData;
    return 0;
}

} // namespace orvenda
