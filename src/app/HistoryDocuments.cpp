#include "app/HistoryDocuments.h"

#include "app/HistoryEntry.h"
#include "app/HistoryModel.h"
#include "core/Calculator.h"
#include "pretty/FontMap.h"
#include "pretty/PrettyPrint.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <memory>

namespace orvenda {

namespace {

constexpr const char* kCreator = "Orvenda";
constexpr const char* kTextFace = "CourierNewPS-BoldMT";
constexpr double kTextSize = 9;
constexpr double kPrettySize = 9;
constexpr int kClassicColumns = 3;
constexpr int kPrettyColumns = 2;
constexpr double kGutter = 12;
constexpr int kOperandTextKind = 45;

// A PDF of pages of one size, 1 unit a point, written into a byte array.
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

QStringList resultLines(const HistoryEntry& item)
{
    return item.result.empty() ? QStringList() : QString::fromStdString(item.result).split(QLatin1Char('\n'));
}

// The input cut into pieces of 32 characters (code points, not UTF-16 units).
QStringList inputPieces(const QString& text)
{
    QStringList pieces;
    const QList<uint> codes = text.toUcs4();
    for (qsizetype i = 0; i < codes.size(); i += HistoryDocuments::kLineWidth) {
        const qsizetype n = std::min<qsizetype>(HistoryDocuments::kLineWidth, codes.size() - i);
        pieces << QString::fromUcs4(reinterpret_cast<const char32_t*>(codes.constData() + i), n);
    }
    return pieces;
}

// Draws result lines one per row from top: cut lines and text results at the left,
// others at the right; false once the rows run out.
void drawResultLines(QPainter& painter, const QStringList& lines, const HistoryEntry& item, double x, double width,
    double& top, double rowHeight, double bottom)
{
    for (const QString& line : lines) {
        if (top + rowHeight > bottom + 0.01)
            return;
        const QString shown = HistoryDocuments::cutLine(line);
        const bool left = item.startsAtLeft() || shown != line;
        painter.drawText(QRectF(x, top, width, rowHeight), (left ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
            shown);
        top += rowHeight;
    }
}

} // namespace

struct HistoryDocuments::Picture {
    std::unique_ptr<PrettyPrint> input = std::make_unique<PrettyPrint>();
    std::unique_ptr<PrettyPrint> answer;
    QStringList lines;
    QSizeF inputSize;
    QSizeF answerSize;
    bool startsAtLeft = false;
    int operandType = 0;
    double width() const { return std::max({inputSize.width(), answerSize.width(), kMinPictureWidth}); }
    double height() const { return inputSize.height() + answerSize.height() + 1; }
};

HistoryDocuments::HistoryDocuments(Calculator& calc, const HistoryModel& history)
    : calc_(calc), history_(history), now_([] { return QDateTime::currentDateTime(); })
{
}

QString HistoryDocuments::cutLine(const QString& line)
{
    const QList<uint> codes = line.toUcs4();
    if (codes.size() <= kLineWidth)
        return line;
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(codes.constData()), kLineWidth - 1) + QStringLiteral("…");
}

QString HistoryDocuments::inputText(const HistoryEntry& item) const
{
    return QString::fromStdString(calc_.stringFromOps(item.entry));
}

void HistoryDocuments::decoratePage(QPainter& painter, const QRectF& rect, int page) const
{
    const QDateTime now = now_();
    painter.setPen(QPen(Qt::black, 0.25));
    painter.setFont(FontMap::shared().font(kTextFace, kTextSize));
    const QRectF footer(rect.x(), rect.bottom() + 10, rect.width(), 12);
    painter.drawText(footer, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("-%1-").arg(page));
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignTop,
        QLocale().toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
            + QLocale().toString(now.time(), QLocale::ShortFormat));
    painter.setFont(FontMap::shared().font("Helvetica-Bold", 12));
    painter.drawText(QRectF(rect.x(), rect.y() - 24, rect.width(), 16), Qt::AlignHCenter | Qt::AlignTop,
        QStringLiteral("Lumbrix results"));
    painter.setFont(FontMap::shared().font(kTextFace, kTextSize));
}

QByteArray HistoryDocuments::historyPDF() const
{
    const Calculator::Rect page = calc_.pdfPageRect();
    PdfDocument pdf(QSizeF(page.width, page.height), QString());
    {
        QPainter painter(&pdf.writer);
        const QRectF content(36, 56, page.width - 72, page.height - 72 - 20 - 12);
        if (calc_.settings().mathPrint)
            prettyPdfInRect(painter, pdf.writer, content);
        else
            pdfInRect(painter, pdf.writer, content);
    }
    pdf.buffer.close();
    return pdf.data;
}

int HistoryDocuments::pdfInRect(QPainter& painter, QPagedPaintDevice& device, const QRectF& rect) const
{
    const int rows = std::max(1, static_cast<int>(rect.height() / kRowHeight));
    const double width = (rect.width() - 2 * kGutter) / kClassicColumns;
    int page = 1;
    const auto startPage = [&] {
        decoratePage(painter, rect, page);
        for (int i = 1; i < kClassicColumns; ++i) {
            const double x = rect.x() + i * (width + kGutter) - 6;
            painter.drawLine(QPointF(x, rect.y()), QPointF(x, rect.bottom()));
        }
    };
    startPage();
    int column = 0;
    int row = 0;
    const auto nextColumn = [&] {
        row = 0;
        if (++column < kClassicColumns)
            return;
        column = 0;
        device.newPage();
        ++page;
        startPage();
    };
    for (const HistoryEntry& item : history_.history()) {
        const int lines = item.numLines;
        if (lines <= 0)
            continue;
        if (lines > rows - row && row > 0)
            nextColumn();
        // An item taller than a whole column is drawn cut at the column's foot.
        const double x = rect.x() + column * (width + kGutter);
        double top = rect.y() + row * kRowHeight;
        const double bottom = rect.y() + rows * kRowHeight;
        painter.save();
        painter.setClipRect(QRectF(x, rect.y(), width, rect.height()));
        painter.drawLine(QPointF(x, top + 0.5), QPointF(x + width, top + 0.5));
        const int drawable = std::min(lines, rows - row);
        int used = 0;
        for (const QString& piece : inputPieces(inputText(item))) {
            if (used == drawable)
                break;
            painter.drawText(QRectF(x, top, width, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter, piece);
            top += kRowHeight;
            ++used;
        }
        QStringList results = resultLines(item);
        results = results.mid(0, std::max(0, drawable - used));
        drawResultLines(painter, results, item, x, width, top, kRowHeight, bottom);
        painter.restore();
        row += drawable;
        if (row >= rows)
            nextColumn();
    }
    return page;
}

int HistoryDocuments::prettyPdfInRect(QPainter& painter, QPagedPaintDevice& device, const QRectF& rect) const
{
    const double width = (rect.width() - kGutter) / kPrettyColumns;
    PrettyPrint input;
    PrettyPrint answer;
    int page = 1;
    const auto startPage = [&] {
        decoratePage(painter, rect, page);
        const double x = rect.x() + width + kGutter - 6;
        painter.drawLine(QPointF(x, rect.y()), QPointF(x, rect.bottom()));
    };
    startPage();
    int column = 0;
    double top = rect.y();
    const auto nextColumn = [&] {
        top = rect.y();
        if (++column < kPrettyColumns)
            return;
        column = 0;
        device.newPage();
        ++page;
        startPage();
    };
    for (const HistoryEntry& item : history_.history()) {
        const double inputHeight = input.setOps(item.entry, PrettyPrint::kNoCursor, 0, kPrettySize).height();
        const QStringList lines = resultLines(item);
        double answerWidth = 0;
        double answerHeight = kRowHeight * static_cast<double>(lines.size());
        if (item.answerOps) {
            const QRectF r = answer.setOps(*item.answerOps, PrettyPrint::kNoCursor, 0, kPrettySize);
            answerWidth = std::min(r.width(), width);
            answerHeight = r.height();
        }
        const double needed = 2 + inputHeight + answerHeight;
        if (top + needed > rect.bottom() && top > rect.y())
            nextColumn();
        const double x = rect.x() + column * (width + kGutter);
        const QRectF columnRect(x, rect.y(), width, rect.height());
        painter.save();
        painter.setClipRect(columnRect);
        painter.drawLine(QPointF(x, top + 0.5), QPointF(x + width, top + 0.5));
        top += 2;
        input.drawAt(painter, QPointF(x, top), columnRect);
        top += inputHeight;
        if (item.answerOps) {
            answer.drawAt(painter, QPointF(x + width - answerWidth, top), columnRect);
            top += answerHeight;
        } else {
            painter.setFont(FontMap::shared().font(kTextFace, kTextSize));
            painter.setPen(QPen(Qt::black, 0.25));
            drawResultLines(painter, lines, item, x, width, top, kRowHeight, rect.bottom() + kRowHeight * lines.size());
        }
        painter.restore();
        // An item taller than a whole column was drawn cut; the next one starts afresh.
        if (top >= rect.bottom())
            nextColumn();
    }
    return page;
}

std::optional<std::string> HistoryDocuments::lastCalculation() const
{
    if (history_.history().empty())
        return std::nullopt;
    const HistoryEntry& item = history_.history().back();
    return calc_.stringFromOps(item.entry) + "\n" + item.result;
}

std::optional<QString> HistoryDocuments::lastCalculationHTML() const
{
    if (history_.history().empty())
        return std::nullopt;
    const HistoryEntry& item = history_.history().back();
    const QString input = inputText(item).toHtmlEscaped();
    QString result = QString::fromStdString(item.result).toHtmlEscaped();
    result.replace(QLatin1Char(' '), QStringLiteral("&nbsp;"));
    const QString inputStyle = QStringLiteral(
        "background-color:#C3D6B1;width:300px;margin-bottom:0px;font-family:Courier New;font-size:14px;");
    const QString resultStyle = item.startsAtLeft()
        ? QStringLiteral("background-color:#C3D6B1;width:300px;margin-top:0px;font-family:Courier New;font-size:14px")
        : QStringLiteral(
              "background-color:#C3D6B1;margin-top:0px;width:300px;font-family:Courier New;font-size:14px;text-align:right");
    QString html = QStringLiteral("<html><p style=\"%1\">%2</p><p style=\"%3\">%4</p>")
                       .arg(inputStyle, input, resultStyle, result);
    html.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return html;
}

HistoryDocuments::Picture HistoryDocuments::measureLast(const HistoryEntry& item) const
{
    Picture p;
    const double size = calc_.baseFontSize;
    const QRectF in = p.input->setOps(item.entry, PrettyPrint::kNoCursor, 0, size);
    p.inputSize = in.size();
    p.startsAtLeft = item.startsAtLeft();
    p.operandType = item.operandType;
    std::optional<std::vector<std::uint32_t>> ops = item.answerOps;
    if (!ops)
        ops = item.resultOps();
    if (ops) {
        p.answer = std::make_unique<PrettyPrint>();
        p.answerSize = p.answer->setOps(*ops, PrettyPrint::kNoCursor, 0, size).size();
    } else {
        p.lines = resultLines(item);
        const QFontMetricsF metrics(FontMap::shared().font(kTextFace, size));
        double widest = 0;
        for (const QString& line : p.lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        p.answerSize = QSizeF(widest, size * static_cast<double>(p.lines.size()));
    }
    return p;
}

QSizeF HistoryDocuments::lastCalculationSize() const
{
    if (history_.history().empty())
        return {};
    const Picture p = measureLast(history_.history().back());
    return {p.width(), p.height()};
}

void HistoryDocuments::drawPicture(QPainter& painter, QPointF at, const Picture& p, bool bands) const
{
    const double w = p.width();
    const double size = calc_.baseFontSize;
    const QRectF all(at, QSizeF(w, p.height()));
    if (bands) {
        painter.fillRect(QRectF(at, QSizeF(w, p.inputSize.height())), QColor::fromRgbF(0.8, 0.8, 0.8));
        painter.fillRect(QRectF(at.x(), at.y() + p.inputSize.height(), w, p.answerSize.height() + 1),
            QColor::fromRgbF(0.9, 0.9, 0.9));
    } else {
        painter.fillRect(all, QColor::fromRgbF(0.9, 0.9, 0.9));
    }
    p.input->drawAt(painter, at, all);
    painter.setPen(QPen(Qt::black, 0.5));
    painter.drawLine(QPointF(at.x(), at.y() + p.inputSize.height()), QPointF(at.x() + w, at.y() + p.inputSize.height()));
    const double top = at.y() + p.inputSize.height() + 1;
    if (p.answer) {
        p.answer->drawAt(painter, QPointF(at.x() + w - p.answerSize.width(), top), all);
        return;
    }
    painter.setFont(FontMap::shared().font(kTextFace, size));
    double y = top;
    for (const QString& line : p.lines) {
        bool left = p.startsAtLeft;
        if (!left && p.operandType == kOperandTextKind)
            left = !line.startsWith(QLatin1Char(' '));
        painter.drawText(QRectF(at.x(), y, w, size), (left ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, line);
        y += size;
    }
}

QByteArray HistoryDocuments::lastCalculationPDF() const
{
    if (history_.history().empty())
        return {};
    const Picture p = measureLast(history_.history().back());
    PdfDocument pdf(QSizeF(p.width(), p.height()), QStringLiteral("Orvenda calculation"));
    {
        QPainter painter(&pdf.writer);
        drawPicture(painter, QPointF(0, 0), p, false);
    }
    pdf.buffer.close();
    return pdf.data;
}

void HistoryDocuments::drawLastCalculation(QPainter& painter, QPointF at) const
{
    if (history_.history().empty())
        return;
    drawPicture(painter, at, measureLast(history_.history().back()), true);
}

} // namespace orvenda
