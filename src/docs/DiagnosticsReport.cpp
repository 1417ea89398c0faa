#include "docs/DiagnosticsReport.h"

#include "app/EntryModel.h"
#include "app/HistoryModel.h"
#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "drawing/DrawString.h"
#include "drawing/GraphicsContext.h"
#include "eval/ProgramTokens.h"
#include "numeric/VQStatistics.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramModel.h"
#include "stats/StatPlotModel.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSysInfo>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

const TextFont kFont{"CourierNewPS-BoldMT", 6};
const TextFont kItalic{"CourierNewPS-ItalicMT", 6};
const TextFont kHeader{"Helvetica", 14};
const TextFont kFooter{"Helvetica", 12};

const char* const kCheck = "\u2714\uFE0E";

std::string onOff(bool on) { return on ? "ON" : "OFF"; }

std::string colour(const char* name, const VQColor& c)
{
    return name + QStringLiteral("{%1,%2,%3}")
                      .arg(QString::number(c.r(), 'f', 2), QString::number(c.g(), 'f', 2), QString::number(c.b(), 'f', 2))
                      .toStdString();
}

} // namespace

// The place of the next line on the settings page: a column and a y in it.
struct DiagnosticsReport::Cursor {
    QRectF rect;
    double columnWidth = 0;
    double x = 0;
    double y = 0;
    // After a line: down one pitch, into the next column when the next line would reach
    // 6 points above the bottom.
    void next()
    {
        y += kPitch;
        if (y + kPitch >= rect.bottom() - kPitch) {
            x += columnWidth;
            y = rect.top();
        }
    }
    bool inside() const { return x + columnWidth <= rect.right() + 1; }
};

DiagnosticsReport::DiagnosticsReport(Calculator& calc, std::shared_ptr<const ProgramFiles> files)
    : calc_(calc), model_(std::make_unique<ProgramModel>(calc, std::move(files)))
{
}

DiagnosticsReport::~DiagnosticsReport() = default;

double DiagnosticsReport::charWidth() const { return DrawString::VQsizeWithFont(QStringLiteral("0"), kFont).width(); }

void DiagnosticsReport::write(GraphicsContext& context, const QString& text, QPointF at, bool italic)
{
    DrawString::VQdrawAtPoint(context, text, at, italic ? kItalic : kFont, Qt::black);
    written_.push_back({page_, text, at});
}

std::vector<std::string> DiagnosticsReport::settingsLines() const
{
    const Calculator::Settings s = calc_.settings();
    std::vector<std::string> lines;
    lines.push_back("Orvenda version " + calc_.versionString());
    lines.push_back(QSysInfo::machineHostName().toStdString());
    lines.push_back(QSysInfo::currentCpuArchitecture().toStdString() + " " + Calculator::deviceName() + " "
        + QSysInfo::prettyProductName().toStdString());
    lines.push_back("HM:" + std::to_string(calc_.sessions));
    static const char* const answers[] = {"AUTO", "DECIMAL", "FRACTION", "SigFig"};
    lines.push_back(std::string("Answers:") + answers[s.answerFormat >= 0 && s.answerFormat <= 3 ? s.answerFormat : 0]);
    lines.push_back(std::string("Decimals:") + (s.numFormat == 1 ? "Sci " : s.numFormat == 2 ? "Eng " : "Normal ")
        + (s.numDigits == -1 ? std::string("Float") : std::to_string(s.numDigits)));
    const char* grouping = s.thousandSeperator == u',' ? "1,000.0" : s.thousandSeperator == u'.' ? "1.000,0"
        : s.thousandSeperator == u'+' ? "SI" : "None";
    lines.push_back(std::string("Grouping:") + grouping);
    lines.push_back(std::string("Base:") + (s.numBase == 1 ? "BIN" : s.numBase == 2 ? "HEX" : "DEC"));
    lines.push_back(std::string("Fractions: ") + (s.fractionFormat == 4 ? "Un/d" : "n/d"));
    lines.push_back(std::string("Format: ") + (s.mathPrint ? "MathType" : "Classic"));
    lines.push_back("Bubble help:" + onOff(calc_.bubbleHelp));
    const int angle = calc_.angleFormat();
    lines.push_back(std::string("Angle:") + (angle == 1 ? "Radian" : angle == 2 ? "Gradian" : "Degree"));
    const int complex = calc_.realCplxMode();
    lines.push_back(std::string("Real/Imag:") + (complex == 1 ? "a+bi" : complex == 2 ? "re^\u03B8i" : "Real"));
    static const char* const modes[] = {"Func", "Par", "Polar", "Seq", "Imp"};
    const int mode = calc_.graphMode();
    lines.push_back(std::string("Graphing:") + modes[mode >= 1 && mode <= 4 ? mode : 0]);
    lines.push_back("Stat. Diagnosis:" + onOff(s.regressionDiagnostic));
    lines.push_back("Stat Wiz:" + onOff(calc_.statWiz));
    lines.push_back("Key Click Sound:" + onOff(calc_.clickPref));
    lines.push_back(std::string("Split:") + (s.screenSplit == 1 ? "G-T" : "Full") + " background:"
        + (s.whiteBackground ? "\u25FB\uFE0E" : "\u25FC\uFE0E"));
    const auto check = [](const char* name, bool on) { return std::string(name) + (on ? kCheck : ""); };
    lines.push_back(check("Coord", s.drawCoord) + check(" Axes", s.drawAxes) + check(" Label", s.drawLabel)
        + check(" Grid", s.drawGrid) + check(" Expr", s.drawExpr) + check(" dy/dx", s.drawDyDx));
    static const char* const sequences[] = {"time", "web", "uv", "vw", "uw"};
    const int seq = s.graphSequenceFormat;
    lines.push_back(std::string("Coord Format:") + (s.graphCoordFormat == 1 ? "Polar" : "Rect") + " seq:"
        + sequences[seq >= 1 && seq <= 4 ? seq : 0]);
    lines.push_back(colour("Backgrnd color:", s.backgroundColor));
    lines.push_back(colour("Axis color:", s.axesColor));
    lines.push_back(colour("Grid color:", s.gridColor));
    return lines;
}

void DiagnosticsReport::drawPage1(GraphicsContext& context, const QRectF& rect)
{
    QPainter& painter = context.painter();
    const double cw = charWidth();
    Cursor at{rect, kColumnCharacters * cw, rect.x(), rect.y()};
    // A line wider than a column goes on in the lines under it, clear of the next column.
    const auto line = [&](const QString& text) {
        for (const QString& piece : DrawString::columnPieces(text, kColumnCharacters)) {
            write(context, piece, QPointF(at.x, at.y));
            at.next();
        }
    };
    for (const std::string& text : settingsLines())
        line(QString::fromStdString(text));

    // The Y= equations of every graph mode.
    auto* equations = dynamic_cast<YEqModel*>(calc_.yEqManager.get());
    static constexpr struct {
        int first, count;
    } kGroups[] = {{0x5E10, 10}, {0x5E20, 12}, {0x5E40, 6}, {0x5E80, 3}, {0x5EA0, 10}};
    for (const auto& group : kGroups)
        for (int token = group.first; token < group.first + group.count; ++token) {
            int cursor = 0;
            const bool plotted = calc_.yEqManager && calc_.yEqManager->shouldPlotFunction(token);
            const std::string text = equations ? equations->equationString(token, cursor) : std::string();
            line(QString::fromUtf8(plotted ? kCheck : " ") + QString::fromStdString(text));
        }

    // The six stat plots.
    if (const StatPlotModel* plots = StatPlotModel::of(calc_)) {
        static const char* const types[] = {"Scatter,", "XYLine,", "Histogram,", "ModBoxPlot,", "BoxPlot,", "NormProbPlot,"};
        for (int p = 0; p < 6; ++p) {
            const int type = plots->plotType(p);
            const int mark = plots->plotMark(p);
            const auto stats = plots->stats(p);
            const std::string x = stats && stats->listXName ? *stats->listXName : std::string();
            std::string last;
            if (type >= 2 && type <= 4)
                last = stats && stats->freqName ? *stats->freqName : "1";
            else if (type == 5)
                last = plots->plotDataAxis(p) == 1 ? "Y Axis" : "X Axis";
            else
                last = stats && stats->listYName ? *stats->listYName : std::string();
            line(QString::fromUtf8(plots->plotVisible(p) ? kCheck : " ")
                + QString::fromUtf8(types[type >= 1 && type <= 5 ? type : 0])
                + QString::fromUtf8(mark == 0 ? "\u25A1," : mark == 2 ? "\u2022," : "+,") + QString::fromStdString(x)
                + QStringLiteral(",") + QString::fromStdString(last));
        }
    }

    // The variables in Float digits and decimals whatever the modes say.
    int digits = 0, base = 0;
    {
        const auto hold = calc_.lockState();
        digits = std::exchange(calc_.state().numDigits, -1);
        base = std::exchange(calc_.state().numBase, 0);
    }
    const TextFont& font = kFont;
    for (int slot = 0; slot < Calculator::kVarCount; ++slot) {
        const QString name = QString::fromStdString(calc_.nameForVariable(slot).value_or(std::string()));
        const auto value = calc_.getVar(slot).value;
        const QString text = QString::fromStdString(calc_.formatComplex(value.real(), value.imag(), false));
        const double w = DrawString::VQsizeWithFont(name, font).width();
        write(context, name, QPointF(at.x + 50 - w, at.y));
        write(context, text, QPointF(at.x + 55, at.y));
        at.next();
    }
    {
        const auto hold = calc_.lockState();
        calc_.state().numDigits = digits;
        calc_.state().numBase = base;
    }
    // The strings, 10 points left of the column.
    for (std::uint32_t token = 0xAA00; token <= 0xAA09; ++token)
        for (const QString& piece : DrawString::columnPieces(QString::fromStdString(calc_.getStringVariable(token)), kColumnCharacters)) {
            write(context, piece, QPointF(at.x - 10, at.y));
            at.next();
        }

    // The entry lines, each under a rule, in pieces of a column's width.
    const auto rule = [&] {
        painter.save();
        painter.setPen(QPen(Qt::black, 0.25));
        painter.drawLine(QPointF(at.x, at.y), QPointF(at.x + 31 * cw, at.y));
        painter.restore();
    };
    if (const auto* entry = dynamic_cast<const EntryModel*>(calc_.entryManager.get()))
        for (const auto& ops : entry->entries()) {
            rule();
            line(QString::fromStdString(calc_.stringFromOps(ops)));
        }
    if (at.y + 18 <= rect.bottom()) {
        painter.fillRect(QRectF(at.x, at.y + 3, at.columnWidth, 12), QColor::fromRgbF(0.6f, 0.6f, 0.6f));
        at.y += 18;
    } else {
        at.x += at.columnWidth;
        at.y = rect.top();
    }
    // The history, oldest first, while there is a column left.
    if (const auto* history = dynamic_cast<const HistoryModel*>(calc_.historyManager.get())) {
        for (const HistoryEntry& item : history->history()) {
            if (!at.inside())
                break;
            rule();
            line(QString::fromStdString(calc_.stringFromOps(item.entry)));
            for (const QString& result : QString::fromStdString(item.result).split(QLatin1Char('\n'))) {
                const QList<uint> chars = result.toUcs4();
                if (chars.size() > kColumnCharacters) {
                    line(QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData()), 31) + QStringLiteral("…"));
                } else if (item.startsAtLeft()) {
                    line(result);
                } else {
                    const double w = DrawString::VQsizeWithFont(result, font).width();
                    write(context, result, QPointF(at.x + 31 * cw - w, at.y));
                    at.next();
                }
            }
        }
    }
}

bool DiagnosticsReport::drawProgram(GraphicsContext& context, const QRectF& rect, int page)
{
    QPainter& painter = context.painter();
    const double cw = charWidth();
    const int perPage = static_cast<int>(2 * rect.height() / kPitch);
    const int first = page * perPage;
    const int last = std::min(first + perPage, model_->numLines());
    double x = rect.x(), y = rect.y();
    for (int n = first; n < last; ++n) {
        double at = x + model_->indentForLine(n) * 3 * cw;
        bool comment = false;
        for (const std::uint32_t op : model_->pdfLineOps(n).value_or(ProgramModel::Ops{})) {
            const std::uint32_t t = ProgramTokens::token(op);
            if (t == ProgramTokens::kComment)
                comment = true;
            else if (t == ProgramTokens::kColon || t == ProgramTokens::kNewLine)
                comment = false;
            if (t == ProgramTokens::kNewLine)
                continue;
            const QString name = QString::fromStdString(calc_.nameForOpcode(op));
            write(context, name, QPointF(at, y), comment);
            at += static_cast<double>(name.toUcs4().size()) * cw;
        }
        y += kPitch;
        // A column takes the lines that fit whole above the footer: half a page's.
        if (y + kPitch > rect.bottom() && n + 1 < last) {
            x += rect.width() / 2;
            y = rect.y();
            painter.save();
            painter.setPen(QPen(Qt::black, 0.25));
            painter.drawLine(QPointF(x - 2, rect.top()), QPointF(x - 2, rect.bottom()));
            painter.restore();
        }
    }
    return last >= model_->numLines();
}

QByteArray DiagnosticsReport::diagnosticPDF()
{
    written_.clear();
    page_ = 0;
    const QRectF page(0, 0, kPageWidth, kPageHeight);
    const QRectF header(18, 18, kPageWidth - 36, 20);
    const QRectF footer(18, kPageHeight - 38, kPageWidth - 36, 20);
    const QRectF content = contentRect();
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        writer.setTitle(QStringLiteral("Orvenda diagnostics"));
        writer.setCreator(QStringLiteral("Orvenda, a graphing calculator"));
        writer.setPageSize(QPageSize(page.size(), QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        GraphicsContext context(painter);
        const QLocale locale;
        const QDateTime now = QDateTime::currentDateTime();
        const QString stamp = locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
            + locale.toString(now.time(), QLocale::ShortFormat);
        const auto border = [&] {
            painter.save();
            painter.setPen(QPen(Qt::black, 0.25));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(page);
            painter.restore();
        };
        const auto begin = [&] {
            if (page_ > 0)
                writer.newPage();
            const QString title = QStringLiteral("Orvenda Diagnostics");
            DrawString::VQdrawAtPoint(context, title,
                QPointF(header.x() + (header.width() - DrawString::VQsizeWithFont(title, kHeader).width()) / 2, header.y()),
                kHeader, Qt::black);
            const QString number = QStringLiteral("-%1-").arg(page_);
            DrawString::VQdrawAtPoint(context, number,
                QPointF(footer.x() + (footer.width() - DrawString::VQsizeWithFont(number, kFooter).width()) / 2, footer.y()),
                kFooter, Qt::black);
            DrawString::VQdrawAtPoint(context, stamp, footer.topLeft(), kFooter, Qt::black);
            written_.push_back({page_, number, footer.topLeft()});
        };
        begin();
        drawPage1(context, content);
        bool listing = false;
        if (!calc_.lastPrgmName.empty() && model_->files().opsFor(calc_.lastPrgmName)) {
            // What the editor holds of the program is in its file first.
            if (calc_.prgmManager)
                calc_.prgmManager->saveProgram();
            model_->loadProgram(calc_.lastPrgmName);
            model_->updateLines(std::max(1, static_cast<int>(content.width() / 2 / charWidth()) - 1));
            listing = true;
        }
        border();
        // At most as many pages as the program has lines (and one for an empty program).
        for (int n = 0; listing && n <= model_->numLines(); ++n) {
            ++page_;
            begin();
            const bool end = drawProgram(context, content, n);
            border();
            if (end)
                break;
        }
    }
    return data;
}

int DiagnosticsReport::writeDiagnosticPDF(const QString& path)
{
    constexpr int kNotWritten = 70;
    const QByteArray pdf = diagnosticPDF();
    QFile file(path);
    if (pdf.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.flush())
        return kNotWritten;
    return 0;
}

} // namespace orvenda
